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
    Edit1 = field(0, "Edit1", QStringLiteral("Марка изделия"));
    Button3 = newButton("Button3", QStringLiteral("..."));
    Button3->setAccessibleName(QStringLiteral("Выбрать изделие"));
    grid->addWidget(Button3, 0, 2);
    Edit2 = field(1, "Edit2", QStringLiteral("Операция"));
    Button4 = newButton("Button4", QStringLiteral("..."));
    Button4->setAccessibleName(QStringLiteral("Выбрать операцию"));
    grid->addWidget(Button4, 1, 2);
    ComboBox1 = new QComboBox(frame);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItems({QStringLiteral("Готовая продукция"), QStringLiteral("Заготовки")});
    auto *typeLabel = new QLabel(QStringLiteral("Вид"), frame);
    typeLabel->setBuddy(ComboBox1);
    grid->addWidget(typeLabel, 2, 0);
    grid->addWidget(ComboBox1, 2, 1);
    for (QPushButton *b : {Button3, Button4})
        b->setFixedWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);

    const EditorButtons buttons = layOutEditor(frame, false);
    Button1 = buttons.save;
    Button2 = buttons.cancel;
    connect(Button1, &QPushButton::clicked, this, &OperationEditor::Button1Click);
    connect(Button3, &QPushButton::clicked, this, &OperationEditor::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &OperationEditor::Button4Click);
    setTabOrder(Button3, Button4);
    setTabOrder(Button4, ComboBox1);
    setTabOrder(ComboBox1, Edit1);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Button1);
    setTabOrder(Button1, Button2);
}

void OperationEditor::FormActivate()
{
    Button3->setFocus();
}

void OperationEditor::Button3Click()
{
    productList->pickFrom(this, 1, [this](const db::Dataset &izdel) {
        Edit1->setText(izdel.asString(QStringLiteral("marka")).trimmed());
        productId = izdel.asInteger(QStringLiteral("id"));
    });
    FormActivate();
}

void OperationEditor::Button4Click()
{
    operationKindList->pickFrom(this, 1, [this](const db::Dataset &kinds) {
        Edit2->setText(kinds.asString(QStringLiteral("vid")).trimmed());
        kindId = kinds.asInteger(QStringLiteral("id"));
    });
    FormActivate();
}

void OperationEditor::Button1Click()
{
    if (Edit1->text().trimmed().isEmpty() || Edit2->text().trimmed().isEmpty()) {
        ui::showError(QStringLiteral("Все поля должны быть заполнены!"), QStringLiteral("Ошибка"));
        return;
    }
    const QString kind = QString::number(kindId);
    const QString flag = QString::number(ComboBox1->currentIndex());
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
