#include "ProductEditor.h"

#include "ListForm.h"
#include "ProductHistory.h"
#include "db/Dataset.h"
#include "db/SqlText.h"
#include "db/Transaction.h"
#include "shop/DataModule.h"
#include "ui/LookupCombo.h"
#include "ui/Messages.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

ProductEditor *productEditor = nullptr;

namespace {
// What the number box may hold: a sign that a stored number brought, digits and separators.
const QRegularExpression kNumberChars(QStringLiteral("^-?[0-9.,]*$"));
// What is saved: a number with at most one separator. The text goes into the statement as
// it stands, so nothing else passes.
const QRegularExpression kNumber(QStringLiteral("^-?([0-9]+([.,][0-9]*)?|[.,][0-9]+)$"));
} // namespace

QString ProductEditor::numberText(double value)
{
    QString text = QString::number(value, 'f', 6);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text.replace(QLatin1Char('.'), QLocale().decimalPoint());
}

ProductEditor::ProductEditor(QWidget *parent) : ui::Form(parent)
{
    productEditor = this;
    setObjectName(QStringLiteral("productEditor"));
    setHoldsTypedWork(true);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(254);
    Edit1->setMinimumWidth(260);
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setMaximumWidth(90);
    Edit2->setAlignment(Qt::AlignRight);
    Edit2->installEventFilter(this);
    // Pasted text is held to the same characters as typed text.
    Edit2->setValidator(new QRegularExpressionValidator(kNumberChars, Edit2));

    item = new db::Dataset(QStringLiteral("item"), this);
    item->setSql(
        QStringLiteral("select * from cmn_classifier.item where id_level=2 order by s_caption"));
    cb_item = new LookupCombo(QStringLiteral("cb_item"), item, QStringLiteral("id"),
                              QStringLiteral("s_caption"), this);
    cb_item->setAccessibleName(QStringLiteral("Номенклатура"));

    auto *frame = new QGroupBox(QStringLiteral("Данные об изделии"), this);
    auto *grid = new QGridLayout(frame);
    auto *l1 = new QLabel(QStringLiteral("Марка"), frame);
    l1->setBuddy(Edit1);
    auto *l2 = new QLabel(QStringLiteral("Расценка"), frame);
    l2->setBuddy(Edit2);
    grid->addWidget(l1, 0, 0);
    grid->addWidget(l2, 0, 1);
    grid->addWidget(Edit1, 1, 0);
    grid->addWidget(Edit2, 1, 1);
    grid->addWidget(cb_item, 2, 0, 1, 2);

    const EditorButtons buttons = layOutEditor(frame, false);
    Button1 = buttons.save;
    Button2 = buttons.cancel;
    connect(Button1, &QPushButton::clicked, this, &ProductEditor::Button1Click);

    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, cb_item);
    setTabOrder(cb_item, Button1);
    setTabOrder(Button1, Button2);
}

void ProductEditor::FormActivate()
{
    Edit1->setFocus();
}

bool ProductEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Edit2 && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        if (text.size() == 1 && text[0].isPrint() && !(key->modifiers() & Qt::ControlModifier)) {
            const QChar c = text[0];
            if (c == QLatin1Char('.') || c == QLatin1Char(',')) {
                Edit2->insert(QStringLiteral("."));
                return true;
            }
            if (!(c >= QLatin1Char('0') && c <= QLatin1Char('9')))
                return true; // only digits and the separator are typed
        }
    }
    return ui::Form::eventFilter(watched, event);
}

void ProductEditor::Button1Click()
{
    const QString mark = Edit1->text().trimmed();
    const QString number = Edit2->text().trimmed();
    const QVariant key = cb_item->keyValue();
    if (mark.isEmpty() || number.isEmpty() || key.isNull() || key.toLongLong() == 0 ||
        !kNumber.match(number).hasMatch()) {
        ui::showError(QStringLiteral("Все поля должны быть заполнены!"), QStringLiteral("Ошибка"));
        return;
    }
    const QString upper = mark.toUpper();
    db::Dataset *izdel = dataModule->Izdel;
    const QString id = QString::number(productId);
    const QString itemId = QString::number(key.toLongLong());
    QString check = QStringLiteral("select count(*) as cnt from accounts_dep.izdel where "
                                   "upper(marka)=") +
                    db::quote(upper);
    if (mode == ui::EditMode::Change)
        check += QStringLiteral("and id<>") + id;
    if (dataModule->CountCheck(check, QStringLiteral("Такая марка изделия уже заведена!")) == 1)
        return;

    auto &cmd = dataModule->SQL_exec;
    db::transaction([&] {
        if (mode == ui::EditMode::Add) {
            cmd.setSql(QStringLiteral("INSERT INTO cmn_gds_and_srv.gds_and_srv(s_caption, "
                                      "s_description, id_msm_bs, massa, id_class_item)VALUES(") +
                       db::quote(mark) + QStringLiteral(", '', 6, ") +
                       // typed separators are points already; a pasted comma becomes one too
                       QString(number).replace(QLatin1Char(','), QLatin1Char('.')) +
                       QStringLiteral(",") + itemId + QStringLiteral(")"));
            cmd.execute();
            products::noteChange(products::lastInserted(), QStringLiteral("insert"), QString());
        } else {
            const QString before = products::rowOf(productId);
            cmd.setSql(QStringLiteral("UPDATE cmn_gds_and_srv.gds_and_srv SET s_caption=") +
                       db::quote(mark) + QStringLiteral(", s_description='', id_msm_bs=6, massa=") +
                       dataModule->FixDecimal(number) + QStringLiteral(", id_class_item=") +
                       itemId + QStringLiteral(" where id=") + id +
                       QStringLiteral(" and xmin=:row_ver::xid"));
            // Refused: the editor stays open with what was typed.
            updateRowAsRead(cmd, izdel, productId, rowVer);
            products::noteChange(productId, QStringLiteral("update"), before);
        }
    });
    izdel->reopen();
    accept();
}
