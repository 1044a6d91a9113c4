#include "OperationEditor.h"

#include "OperationKindList.h"
#include "ProductList.h"
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
    const QString kind = QString::number(kindId);
    const QString flag = QString::number(typeBox->currentIndex());
    const QString product = QString::number(productId);
    const QString duplicate = QStringLiteral("Операция с такими параметрами уже заведена!");
    db::Dataset *oper = dataModule->Oper;
    const int rec = oper->recNo();
    const auto reread = [oper, rec] {
        oper->reopen();
        if (!oper->isEmpty())
            oper->setRecNo(rec);
    };
    if (mode == ui::EditMode::Add) {
        if (dataModule->CountCheck(
                QStringLiteral("select count(ID) as cnt from accounts_dep.OPER where vid=") + kind +
                    QStringLiteral(" and naimen=") + flag + QStringLiteral(" and i_id=") + product,
                duplicate) == 1)
            return;
        db::Dataset *control = dataModule->Control;
        control->close();
        control->setSql(QStringLiteral("insert into accounts_dep.oper(vid, naimen, i_id, "
                                       "cena_new)values (") +
                        kind + QStringLiteral(", ") + flag + QStringLiteral(", ") + product +
                        QStringLiteral(", 0) returning id"));
        control->open();
        addedId = control->asInteger(QStringLiteral("id"));
        control->close();
    } else {
        if (dataModule->CountCheck(
                QStringLiteral("select count(*) as cnt from accounts_dep.OPER where vid=") + kind +
                    QStringLiteral(" and naimen=") + flag + QStringLiteral(" and i_id=") + product +
                    QStringLiteral(" and id<>") + QString::number(operationId),
                duplicate) == 1)
            return;
        // Refused when another user changed or deleted the operation since it was listed.
        db::Command &update = dataModule->Oper_ed;
        update.setSql(QStringLiteral("update accounts_dep.oper set vid=") + kind +
                      QStringLiteral(", naimen=") + flag + QStringLiteral(",  i_id=") + product +
                      QStringLiteral(" where id=") + QString::number(operationId) +
                      QStringLiteral(" and xmin=:row_ver::xid"));
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
