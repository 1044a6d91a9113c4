#include "ProductList.h"

#include "ProductEditor.h"
#include "ProductHistory.h"
#include "db/Command.h"
#include "db/Dataset.h"
#include "db/SqlError.h"
#include "db/Transaction.h"
#include "shop/DataModule.h"
#include "shop/Timesheet.h"
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
    Izdel_Smena = new db::Dataset(QStringLiteral("Izdel_Smena"), this);
    Izdel_Smena->setSql(QStringLiteral("select count(*) as cnt from accounts_dep.smena s where "
                                       "s.i_id =:id_ii and s.\"data\">=:dt"));
    ii_oper = new db::Dataset(QStringLiteral("ii_oper"), this);
    ii_oper->setSql(
        QStringLiteral("select count(*) as cnt from accounts_dep.oper o where o.i_id =:id_ii"));
}

QString ProductList::startDateText(const QDate &today)
{
    const int m = today.month() == 1 ? 13 : today.month();
    return QStringLiteral("01.") + QString::number(m - 1) + QStringLiteral(".2000");
}

void ProductList::addClick()
{
    const int rec = dataset->recNo();
    productEditor->markEdit->clear();
    productEditor->rateEdit->clear();
    productEditor->setWindowTitle(QStringLiteral("Заведение нового изделия (7)"));
    productEditor->mode = ui::EditMode::Add;
    productEditor->itemBox->reload();
    showChild(productEditor);
    productEditor->item->close();
    dataset->setRecNo(rec);
}

void ProductList::changeCurrent()
{
    const int rec = dataset->recNo();
    productEditor->setWindowTitle(QStringLiteral("Изменение данных изделия (7)"));
    productEditor->mode = ui::EditMode::Change;
    productEditor->markEdit->setText(dataset->asString(QStringLiteral("marka")).trimmed());
    productEditor->rateEdit->setText(
        dataset->isNull(QStringLiteral("massa"))
            ? QString()
            : ProductEditor::numberText(dataset->asFloat(QStringLiteral("massa"))));
    productEditor->productId = dataset->value(QStringLiteral("id")).toLongLong();
    productEditor->rowVer = dataset->asString(QStringLiteral("row_ver"));
    productEditor->itemBox->reload();
    productEditor->itemBox->setKeyValue(dataset->value(QStringLiteral("id_class_item")));
    showChild(productEditor);
    productEditor->item->close();
    dataset->setRecNo(rec);
}

void ProductList::deleteClick()
{
    if (dataset->isEmpty())
        return;
    const QString p = QString::number(dataset->value(QStringLiteral("id")).toLongLong());
    const auto ask = [](const QString &text) {
        return ui::askYesNo(text, QStringLiteral("Удаление"));
    };
    db::Command del;

    Izdel_Smena->close();
    Izdel_Smena->setParam(QStringLiteral("id_ii"), p.toLongLong());
    Izdel_Smena->setParam(QStringLiteral("dt"), startDateText(QDate::currentDate()));
    Izdel_Smena->open();
    const int entries = Izdel_Smena->asInteger(QStringLiteral("cnt"));
    Izdel_Smena->close();

    ii_oper->close();
    ii_oper->setParam(QStringLiteral("id_ii"), p.toLongLong());
    ii_oper->open();
    const int operations = ii_oper->asInteger(QStringLiteral("cnt"));
    ii_oper->close();

    const bool dropOperations =
        operations > 0 && ask(QStringLiteral("По изделию есть расценки они будут удалены!!!"));
    bool dropEntries = false;
    bool dropProduct = false;
    if (entries > 0) {
        dropEntries = dropProduct =
            ask(QStringLiteral("По изделию есть операции в текущем, предыдущем месяцах и ранее, "
                               "они будут удалены. Удалить изделие? "));
    } else {
        dropProduct = ask(QStringLiteral("Удалить изделие? "));
    }
    if (!dropOperations && !dropProduct) {
        dataset->reopen();
        return;
    }

    db::Dataset *control = dataModule->Control;
    // Operations go only together with every shift entry that uses them: an entry without
    // its operation would vanish from the journal.
    if (dropOperations) {
        control->setSql(QStringLiteral("select count(*) as cnt from accounts_dep.smena s, "
                                       "accounts_dep.oper o where s.o_id=o.id and o.i_id=") +
                        p + (dropEntries ? QStringLiteral(" and s.i_id<>") + p : QString()));
        control->open();
        const int kept = control->asInteger(QStringLiteral("cnt"));
        control->close();
        if (kept > 0) {
            ui::showError(QStringLiteral("Ничего не удалено: расценки изделия используются в "
                                         "записях журнала смен, которые остаются."));
            dataset->reopen();
            return;
        }
    }

    const QString rowVer = dataset->asString(QStringLiteral("row_ver"));
    try {
        db::transaction([&] {
            if (dropOperations) {
                del.setSql(QStringLiteral("delete from accounts_dep.oper o where o.i_id =") + p);
                del.execute();
            }
            if (dropEntries) {
                // The days whose timesheet cells lose hours.
                struct Day {
                    int worker, shift;
                    QDate date;
                };
                QVector<Day> days;
                control->setSql(QStringLiteral("select distinct w_id, smena, data from "
                                               "accounts_dep.smena where i_id=") +
                                p + QStringLiteral(" and smena is not null and data is not null"));
                control->open();
                for (control->first(); !control->eof(); control->next())
                    days.append({control->asInteger(QStringLiteral("w_id")),
                                 control->asInteger(QStringLiteral("smena")),
                                 control->asDate(QStringLiteral("data"))});
                control->close();
                del.setSql(QStringLiteral("delete from accounts_dep.smena s where s.i_id =") + p);
                del.execute();
                for (const Day &d : days)
                    shop::timesheet::writeShiftDay(d.worker, d.shift, d.date, false);
            }
            if (dropProduct) {
                const QString before = products::rowOf(p.toLongLong());
                del.setSql(QStringLiteral("delete from cmn_gds_and_srv.gds_and_srv  where id=") +
                           p + QStringLiteral(" and xmin=:row_ver::xid"));
                del.setParam(QStringLiteral("row_ver"), rowVer);
                del.executeOne();
                products::noteChange(p.toLongLong(), QStringLiteral("delete"), before);
            }
        });
    } catch (const db::RowChanged &) {
        dataset->reopen();
        throw;
    }
    dataset->reopen();
}
