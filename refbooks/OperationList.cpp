#include "OperationList.h"

#include "NormsWindow.h"
#include "OperationEditor.h"
#include "db/Dataset.h"
#include "db/SqlError.h"
#include "db/SqlText.h"
#include "shop/DataModule.h"
#include "shop/Price.h"
#include "shop/ProductKind.h"
#include "spreadsheet/Excel.h"
#include "ui/Application.h"
#include "ui/Messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

OperationList *operationList = nullptr;

namespace {

QVector<ui::ColumnDef> columns()
{
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    QVector<ui::ColumnDef> c = {
        {QStringLiteral("MARKA"), QStringLiteral("Марка"), 180},
        {QStringLiteral("VID"), QStringLiteral("Операция"), 220},
        {QStringLiteral("cena"), QStringLiteral("Цена (min)"), 80, right},
        {QStringLiteral("nmn"), QStringLiteral("Вид"), 130},
        {QStringLiteral("norma"), QStringLiteral("Нормы (шт.)"), 80, right},
    };
    for (const char *key : {"id", "i_id", "oper_vid"}) {
        ui::ColumnDef hidden{QLatin1String(key), QLatin1String(key)};
        hidden.visible = false;
        c << hidden;
    }
    return c;
}

} // namespace

OperationList::OperationList(QWidget *parent)
    : ListForm({"operationList", QStringLiteral("Операции"), dataModule->Oper, columns(),
                QStringLiteral("marka"), Search::Anywhere, SearchKeys::ConsumeEvery,
                Arrangement::SearchBelowGrid, true},
               parent)
{
    operationList = this;
    XLS_Rep = new db::Dataset(QStringLiteral("XLS_Rep"), this);
    XLS_Rep->setSql(QStringLiteral(R"(
        select izdel.MARKA, vid_oper.VID, oper.NAIMEN, %1 as nmn, oper.CENA_new as cena, oper.id,
               oper.i_id, oper.VID as oper_vid
        from accounts_dep.OPER, accounts_dep.IZDEL, accounts_dep.VID_OPER
        where OPER.i_id=IZDEL.id
          and oper.vid=vid_oper.id
        order by izdel.marka, vid_oper.vid, oper.naimen)")
                        .arg(shop::productKindSql()));

    exportButton = newButton("exportButton", QStringLiteral("Excel"));
    pricesBox = new QCheckBox(QStringLiteral("Цены"), this);
    pricesBox->setObjectName(QStringLiteral("pricesBox"));
    auto *root = static_cast<QBoxLayout *>(layout());
    auto *bar = static_cast<QBoxLayout *>(root->itemAt(root->count() - 1)->layout());
    const int exit = bar->indexOf(exitButton);
    bar->insertWidget(exit, pricesBox);
    bar->insertWidget(exit, exportButton);
    setTabOrder(exitButton, exportButton);
    setTabOrder(exportButton, pricesBox);
    connect(exportButton, &QPushButton::clicked, this, &OperationList::exportClick);

    disconnect(rowsGrid, &ui::DBGrid::rowDoubleClicked, this, nullptr);
    connect(rowsGrid, &ui::DBGrid::rowDoubleClicked, this, &OperationList::doubleClickRule);
}

double OperationList::finalPrice(double base, bool dayOff, int shift)
{
    return price::shiftPrice(base, dayOff, shift); // the entry editor rounds it, ties to even
}

OperationList::Picked OperationList::picked(const db::Dataset &oper,
                                            const shop::EntryContext &context)
{
    Picked p;
    p.productId = oper.asInteger(QStringLiteral("i_id"));
    p.operationId = oper.asInteger(QStringLiteral("id"));
    p.naimen = oper.asInteger(QStringLiteral("naimen"));
    p.basePrice = oper.asFloat(QStringLiteral("cena"));
    p.price = finalPrice(p.basePrice, context.dayOff, context.shift);
    db::Dataset *control = dataModule->Control;
    control->close();
    control->setSql(QStringLiteral("select marka from accounts_dep.izdel where id=:id"));
    control->setParam(QStringLiteral("id"), p.productId);
    control->open();
    p.text = control->asString(QStringLiteral("marka")).trimmed() + QStringLiteral("; ") +
             oper.asString(QStringLiteral("vid")).trimmed() + QStringLiteral("; ") +
             shop::productKindText(p.naimen);
    control->close();
    return p;
}

// The operations of the maintenance and average-piecework kinds are no shop work: their norm
// is the hour price of those kinds.
bool OperationList::isHourPrice(const db::Dataset &oper)
{
    const int kind = oper.asInteger(QStringLiteral("oper_vid"));
    return kind == 7777 || kind == 7778;
}

void OperationList::pickFrom(ui::Form *caller, int pickMode, const shop::EntryContext &context,
                             OperationHandBack handBack)
{
    ListForm::pickFrom(caller, pickMode, [context, handBack](const db::Dataset &oper) {
        if (isHourPrice(oper)) {
            ui::showError(QStringLiteral("Операции хоз. работ и среднесдельной задают цену часа "
                                         "и в смену не заводятся."),
                          QStringLiteral("Ошибка"));
            return;
        }
        const Picked p = picked(oper, context);
        if (handBack)
            handBack(p);
    });
}

void OperationList::searchChange()
{
    const QString text = searchEdit->text();
    if (text.trimmed().isEmpty()) {
        dataset->setFiltered(false);
        return;
    }
    // Each word typed is looked for in the product's mark, the operation and the kind
    // together ("ДМ-2 сварка"), as it stands: '%' and '_' are no wildcards here.
    QStringList conditions;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        conditions << QStringLiteral("search like ") +
                          db::quote(QLatin1Char('%') + db::likeLiteral(word) + QLatin1Char('%')) +
                          QStringLiteral(" escape '\\'");
    dataset->setFilter(conditions.join(QStringLiteral(" and ")));
    dataset->setFiltered(true);
}

void OperationList::doubleClickRule()
{
    if (mode == 0 && pricesBox->isChecked()) {
        if (!dataset->isEmpty())
            openNorms(dataset->asInteger(QStringLiteral("id")));
        return;
    }
    changeOrChooseClick();
}

void OperationList::openNorms(int operationId)
{
    normsWindow->showFor(this, operationId);
}

void OperationList::addClick()
{
    operationEditor->startAdd();
    showChild(operationEditor);
    // A new operation gets its first norm at once: without one it is neither listed nor
    // can it be picked.
    const int added = operationEditor->addedId;
    if (added > 0) {
        openNorms(added);
        dataset->locate(QStringLiteral("id"), added);
    }
}

void OperationList::changeCurrent()
{
    operationEditor->startChange({dataset->asInteger(QStringLiteral("id")),
                                  dataset->asString(QStringLiteral("row_ver")),
                                  dataset->asInteger(QStringLiteral("i_id")),
                                  dataset->asString(QStringLiteral("marka")).trimmed(),
                                  dataset->asInteger(QStringLiteral("oper_vid")),
                                  dataset->asString(QStringLiteral("vid")).trimmed(),
                                  dataset->asInteger(QStringLiteral("naimen"))});
    showChild(operationEditor);
}

void OperationList::deleteClick()
{
    if (dataset->isEmpty())
        return;
    if (isHourPrice(*dataset)) {
        ui::showError(QStringLiteral("Эту операцию удалить нельзя: её норма задаёт цену часа хоз. "
                                     "работ и среднесдельной."),
                      QStringLiteral("Ошибка"));
        return;
    }
    if (!ui::askYesNo(QStringLiteral("Удалить операцию?"), QStringLiteral("Удаление")))
        return;
    const int rec = dataset->recNo();
    dataModule->Oper_del.setParam(QStringLiteral("id"), dataset->asInteger(QStringLiteral("id")));
    try {
        dataModule->Oper_del.executeOne();
    } catch (const db::RowChanged &) {
        reread(rec);
        throw;
    }
    reread(rec);
}

void OperationList::exportClick()
{
    XLS_Rep->open();
    const ui::WaitCursor wait;
    excel::Export book;
    if (!book.open(QStringLiteral("Операции"))) {
        XLS_Rep->close();
        return;
    }
    const QStringList header = {QStringLiteral("Марка"), QStringLiteral("Операция"),
                                QStringLiteral("Цена"), QStringLiteral("Вид")};
    for (int c = 0; c < header.size(); ++c)
        book.write(c + 1, 1, header[c], excel::kText);
    // Marks and names keep their text (a mark "0012" stays as typed); the price is a number.
    int row = 2;
    for (XLS_Rep->first(); !XLS_Rep->eof(); XLS_Rep->next(), ++row) {
        book.write(1, row, XLS_Rep->asString(QStringLiteral("marka")).trimmed(), excel::kText);
        book.write(2, row, XLS_Rep->asString(QStringLiteral("vid")).trimmed(), excel::kText);
        book.write(3, row, QLocale().toString(XLS_Rep->asFloat(QStringLiteral("cena")), 'g', 15),
                   excel::kValue);
        book.write(4, row, shop::productKindText(XLS_Rep->asInteger(QStringLiteral("naimen"))),
                   excel::kText);
    }
    book.show();
    XLS_Rep->close();
}
