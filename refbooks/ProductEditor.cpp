#include "ProductEditor.h"

#include "ListForm.h"
#include "db/Command.h"
#include "db/Dataset.h"
#include "db/SqlError.h"
#include "db/SqlText.h"
#include "db/Transaction.h"
#include "shop/ClosedBooks.h"
#include "shop/DataModule.h"
#include "shop/Products.h"
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
// What is saved: a number with at most one separator.
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

    markEdit = new QLineEdit(this);
    markEdit->setObjectName(QStringLiteral("markEdit"));
    markEdit->setMaxLength(254);
    markEdit->setMinimumWidth(260);
    rateEdit = new QLineEdit(this);
    rateEdit->setObjectName(QStringLiteral("rateEdit"));
    rateEdit->setMaximumWidth(90);
    rateEdit->setAlignment(Qt::AlignRight);
    rateEdit->installEventFilter(this);
    // Pasted text is held to the same characters as typed text.
    rateEdit->setValidator(new QRegularExpressionValidator(kNumberChars, rateEdit));

    item = new db::Dataset(QStringLiteral("item"), this);
    item->setSql(QString::fromLatin1(products::kNomenclatureGroupsSql));
    itemBox = new LookupCombo(QStringLiteral("itemBox"), item, QStringLiteral("id"),
                              QStringLiteral("s_caption"), this);
    itemBox->setAccessibleName(QStringLiteral("Номенклатура"));

    auto *frame = new QGroupBox(QStringLiteral("Данные об изделии"), this);
    auto *grid = new QGridLayout(frame);
    auto *l1 = new QLabel(QStringLiteral("Марка"), frame);
    l1->setBuddy(markEdit);
    auto *l2 = new QLabel(QStringLiteral("Расценка"), frame);
    l2->setBuddy(rateEdit);
    grid->addWidget(l1, 0, 0);
    grid->addWidget(l2, 0, 1);
    grid->addWidget(markEdit, 1, 0);
    grid->addWidget(rateEdit, 1, 1);
    grid->addWidget(itemBox, 2, 0, 1, 2);

    const EditorButtons buttons = layOutEditor(frame, false);
    saveButton = buttons.save;
    cancelButton = buttons.cancel;
    connect(saveButton, &QPushButton::clicked, this, &ProductEditor::saveClick);

    setTabOrder(markEdit, rateEdit);
    setTabOrder(rateEdit, itemBox);
    setTabOrder(itemBox, saveButton);
    setTabOrder(saveButton, cancelButton);
}

void ProductEditor::FormActivate()
{
    markEdit->setFocus();
}

void ProductEditor::startAdd()
{
    markEdit->clear();
    rateEdit->clear();
    setWindowTitle(QStringLiteral("Заведение нового изделия (7)"));
    mode = ui::EditMode::Add;
    itemBox->reload();
}

void ProductEditor::startChange(const Product &product)
{
    setWindowTitle(QStringLiteral("Изменение данных изделия (7)"));
    mode = ui::EditMode::Change;
    markEdit->setText(product.mark);
    rateEdit->setText(product.number.isNull() ? QString() : numberText(product.number.toDouble()));
    productId = product.id;
    rowVer = product.rowVer;
    itemBox->reload();
    itemBox->setKeyValue(product.itemId);
}

void ProductEditor::done(int result)
{
    ui::Form::done(result);
    item->close();
}

bool ProductEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == rateEdit && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        if (text.size() == 1 && text[0].isPrint() && !(key->modifiers() & Qt::ControlModifier)) {
            const QChar c = text[0];
            if (c == QLatin1Char('.') || c == QLatin1Char(',')) {
                rateEdit->insert(QStringLiteral("."));
                return true;
            }
            if (!(c >= QLatin1Char('0') && c <= QLatin1Char('9')))
                return true; // only digits and the separator are typed
        }
    }
    return ui::Form::eventFilter(watched, event);
}

void ProductEditor::saveClick()
{
    const QString mark = markEdit->text().trimmed();
    const QString number = rateEdit->text().trimmed();
    const QVariant key = itemBox->keyValue();
    if (mark.isEmpty() || number.isEmpty() || key.isNull() || key.toLongLong() == 0 ||
        !kNumber.match(number).hasMatch()) {
        ui::showError(QStringLiteral("Все поля должны быть заполнены!"), QStringLiteral("Ошибка"));
        return;
    }
    const QString upper = mark.toUpper();
    db::Dataset *izdel = dataModule->Izdel;
    // Another product of the same mark; on a change, other than the one changed.
    QString check = QStringLiteral(R"(
        select count(*) as cnt
        from accounts_dep.izdel
        where upper(marka)=:mark)");
    if (mode == ui::EditMode::Change)
        check += QStringLiteral("\n          and id<>:id");
    if (dataModule->CountCheck(
            check, QStringLiteral("Такая марка изделия уже заведена!"),
            {{QStringLiteral("mark"), upper}, {QStringLiteral("id"), productId}}) == 1)
        return;

    if (mode == ui::EditMode::Change) {
        const QString refused = shop::closedBooks::productChangeRefusal(
            productId, key.toLongLong(),
            QString(number).replace(QLatin1Char(','), QLatin1Char('.')));
        if (!refused.isEmpty()) {
            ui::showError(refused);
            return;
        }
    }
    db::transaction([&] {
        if (mode == ui::EditMode::Add) {
            products::add(mark, number, key.toLongLong());
        } else {
            try {
                products::change(productId, rowVer, mark, number, key.toLongLong());
            } catch (const db::RowChanged &) {
                // Refused: the editor stays open with what was typed, and a second save
                // changes the product as it is now.
                izdel->reopen();
                if (izdel->locate(QStringLiteral("id"), productId))
                    rowVer = izdel->asString(QStringLiteral("row_ver"));
                throw;
            }
        }
    });
    izdel->reopen();
    accept();
}
