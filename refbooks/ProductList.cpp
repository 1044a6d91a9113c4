#include "ProductList.h"

#include "ProductEditor.h"
#include "db/Dataset.h"
#include "db/SqlError.h"
#include "shop/ClosedBooks.h"
#include "shop/DataModule.h"
#include "shop/Products.h"
#include "ui/LookupCombo.h"
#include "ui/Messages.h"

#include <QDate>
#include <QLineEdit>

ProductList *productList = nullptr;

ProductList::ProductList(QWidget *parent)
    : ListForm({"productList",
                QStringLiteral("Изделия (3)"),
                dataModule->Izdel,
                {{QStringLiteral("marka"), QStringLiteral("Марка изделия"), 220},
                 {QStringLiteral("nom"), QStringLiteral("Номенклатурная группа"), 220},
                 {QStringLiteral("massa"), QStringLiteral("Коробки"), 80}},
                QStringLiteral("marka"),
                Search::Prefix,
                SearchKeys::ArrowsOnly,
                Arrangement::SearchBelowGrid,
                true},
               parent)
{
    productList = this;
}

void ProductList::addClick()
{
    const int rec = dataset->recNo();
    productEditor->startAdd();
    showChild(productEditor);
    dataset->setRecNo(rec);
}

void ProductList::changeCurrent()
{
    const int rec = dataset->recNo();
    productEditor->startChange({dataset->value(QStringLiteral("id")).toLongLong(),
                                dataset->asString(QStringLiteral("row_ver")),
                                dataset->asString(QStringLiteral("marka")).trimmed(),
                                dataset->isNull(QStringLiteral("massa"))
                                    ? QVariant()
                                    : QVariant(dataset->asFloat(QStringLiteral("massa"))),
                                dataset->value(QStringLiteral("id_class_item"))});
    showChild(productEditor);
    dataset->setRecNo(rec);
}

void ProductList::deleteClick()
{
    if (dataset->isEmpty())
        return;
    const qlonglong id = dataset->value(QStringLiteral("id")).toLongLong();
    const auto ask = [](const QString &text) {
        return ui::askYesNo(text, QStringLiteral("Удаление"));
    };
    if (ui::refuse(shop::closedBooks::productDeleteRefusal(id)))
        return;
    const products::Usage usage = products::usageOf(id, QDate::currentDate());
    products::Deletion what;
    what.operations = usage.operations > 0 &&
                      ask(QStringLiteral("По изделию есть расценки они будут удалены!!!"));
    if (usage.entries > 0) {
        what.entries = what.product =
            ask(QStringLiteral("По изделию есть операции в текущем, предыдущем месяцах и ранее, "
                               "они будут удалены. Удалить изделие? "));
    } else {
        what.product = ask(QStringLiteral("Удалить изделие? "));
    }
    if (!what.operations && !what.product) {
        dataset->reopen();
        return;
    }
    try {
        if (ui::refuse(products::remove(id, dataset->asString(QStringLiteral("row_ver")), what))) {
            dataset->reopen();
            return;
        }
    } catch (const db::RowChanged &) {
        dataset->reopen();
        throw;
    }
    dataset->reopen();
}
