#include "OperationEditor.h"

#include "OperationKindList.h"
#include "ProductList.h"
#include "db/Command.h"
#include "db/Dataset.h"
#include "db/SqlError.h"
#include "shop/DataModule.h"
#include "ui/Messages.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

OperationEditor *operationEditor = nullptr;

OperationEditor::OperationEditor(QWidget *parent) : ui::Form(parent)
{
    operationEditor = this;
    setObjectName(QStringLiteral("operationEditor"));
    setHoldsTypedWork(true);

    auto *frame = new QGroupBox(QStringLiteral("Цена операции"), this);
    auto *grid = new QGridLayout(frame);
    auto field = [&](int row, const char *name, const QString &label) {
        auto *edit = new QLineEdit(frame);
        edit->setObjectName(QLatin1String(name));
        edit->setReadOnly(true);
        edit->setMinimumWidth(260);
        auto *l = new QLabel(label, frame);
        l->setBuddy(edit);
        grid->addWidget(l, row, 0);
        grid->addWidget(edit, row, 1);
        return edit;
    };
    productEdit = field(0, "productEdit", QStringLiteral("Марка изделия"));
    productPickButton = newButton("productPickButton", QStringLiteral("..."));
    productPickButton->setAccessibleName(QStringLiteral("Выбрать изделие"));
    grid->addWidget(productPickButton, 0, 2);
    kindEdit = field(1, "kindEdit", QStringLiteral("Операция"));
    kindPickButton = newButton("kindPickButton", QStringLiteral("..."));
    kindPickButton->setAccessibleName(QStringLiteral("Выбрать операцию"));
    grid->addWidget(kindPickButton, 1, 2);
    typeBox = new QComboBox(frame);
    typeBox->setObjectName(QStringLiteral("typeBox"));
    typeBox->addItems({QStringLiteral("Готовая продукция"), QStringLiteral("Заготовки")});
    auto *typeLabel = new QLabel(QStringLiteral("Вид"), frame);
    typeLabel->setBuddy(typeBox);
    grid->addWidget(typeLabel, 2, 0);
    grid->addWidget(typeBox, 2, 1);
    for (QPushButton *b : {productPickButton, kindPickButton})
        b->setFixedWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);

    const EditorButtons buttons = layOutEditor(frame, false);
    saveButton = buttons.save;
    cancelButton = buttons.cancel;
    connect(saveButton, &QPushButton::clicked, this, &OperationEditor::saveClick);
    connect(productPickButton, &QPushButton::clicked, this, &OperationEditor::productPickClick);
    connect(kindPickButton, &QPushButton::clicked, this, &OperationEditor::kindPickClick);
    setTabOrder(productPickButton, kindPickButton);
    setTabOrder(kindPickButton, typeBox);
    setTabOrder(typeBox, productEdit);
    setTabOrder(productEdit, kindEdit);
    setTabOrder(kindEdit, saveButton);
    setTabOrder(saveButton, cancelButton);
}

void OperationEditor::startAdd()
{
    productEdit->clear();
    kindEdit->clear();
    typeBox->setCurrentIndex(0);
    setWindowTitle(QStringLiteral("Заведение новой цены за операцию"));
    mode = ui::EditMode::Add;
    addedId = 0;
}

void OperationEditor::startChange(const Operation &operation)
{
    setWindowTitle(QStringLiteral("Изменение данных о цене за операцию"));
    mode = ui::EditMode::Change;
    productEdit->setText(operation.product);
    kindEdit->setText(operation.kind);
    typeBox->setCurrentIndex(operation.type == 0 ? 0 : 1);
    productId = operation.productId;
    kindId = operation.kindId;
    operationId = operation.id;
    rowVersion = operation.rowVersion;
}

void OperationEditor::FormActivate()
{
    productPickButton->setFocus();
}

void OperationEditor::productPickClick()
{
    productList->pickFrom(this, 1, [this](const db::Dataset &izdel) {
        productEdit->setText(izdel.asString(QStringLiteral("marka")).trimmed());
        productId = izdel.asInteger(QStringLiteral("id"));
    });
    FormActivate();
}

void OperationEditor::kindPickClick()
{
    operationKindList->pickFrom(this, 1, [this](const db::Dataset &kinds) {
        kindEdit->setText(kinds.asString(QStringLiteral("vid")).trimmed());
        kindId = kinds.asInteger(QStringLiteral("id"));
    });
    FormActivate();
}

void OperationEditor::saveClick()
{
    if (productEdit->text().trimmed().isEmpty() || kindEdit->text().trimmed().isEmpty()) {
        ui::showError(QStringLiteral("Все поля должны быть заполнены!"), QStringLiteral("Ошибка"));
        return;
    }
    const QHash<QString, QVariant> values = {{QStringLiteral("vid"), kindId},
                                             {QStringLiteral("naimen"), typeBox->currentIndex()},
                                             {QStringLiteral("i_id"), productId},
                                             {QStringLiteral("id"), operationId}};
    const QString duplicate = QStringLiteral("Операция с такими параметрами уже заведена!");
    // Another operation of the same kind, type and product; on a change, other than the one
    // changed.
    QString check = QStringLiteral(R"(
        select count(*) as cnt
        from accounts_dep.oper
        where vid=:vid
          and naimen=:naimen
          and i_id=:i_id)");
    if (mode == ui::EditMode::Change)
        check += QStringLiteral("\n          and id<>:id");
    if (dataModule->CountCheck(check, duplicate, values) == 1)
        return;
    db::Dataset *oper = dataModule->Oper;
    const int rec = oper->recNo();
    const auto reread = [oper, rec] {
        oper->reopen();
        if (!oper->isEmpty())
            oper->setRecNo(rec);
    };
    if (mode == ui::EditMode::Add) {
        db::Dataset insert(QStringLiteral("operationInsert"));
        insert.setSql(QStringLiteral(R"(
            insert into accounts_dep.oper (vid, naimen, i_id, cena_new)
            values (:vid, :naimen, :i_id, 0)
            returning id)"));
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            insert.setParam(it.key(), it.value());
        insert.open();
        addedId = insert.asInteger(QStringLiteral("id"));
    } else {
        // Refused when another user changed or deleted the operation since it was listed.
        db::Command update(QStringLiteral(R"(
            update accounts_dep.oper
            set vid=:vid, naimen=:naimen, i_id=:i_id
            where id=:id
              and xmin=:row_ver::xid)"));
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            update.setParam(it.key(), it.value());
        update.setParam(QStringLiteral("row_ver"), rowVersion);
        try {
            update.executeOne();
        } catch (const db::RowChanged &) {
            reread();
            throw;
        }
    }
    reread();
    accept();
}
