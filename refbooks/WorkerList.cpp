#include "WorkerList.h"

#include "WorkerEditor.h"
#include "db/Command.h"
#include "db/Dataset.h"
#include "db/SqlError.h"
#include "shop/DataModule.h"
#include "ui/Messages.h"

#include <QLineEdit>

WorkerList *workerList = nullptr;

WorkerList::WorkerList(QWidget *parent)
    : ListForm({"workerList",
                QStringLiteral("Список рабочих"),
                dataModule->Workers,
                {{QStringLiteral("fio"), QStringLiteral("ФИО"), 260},
                 {QStringLiteral("s_staffpos_hl"), QStringLiteral("Должность"), 240}},
                QStringLiteral("fio"),
                Search::Prefix,
                SearchKeys::ConsumeAll,
                Arrangement::SearchInButtonBar,
                true},
               parent)
{
    workerList = this;
}

void WorkerList::addClick()
{
    workerEditor->startAdd();
    showChild(workerEditor);
    dataset->reopen();
}

void WorkerList::changeCurrent()
{
    const int rec = dataset->recNo();
    workerEditor->startChange({dataset->asInteger(QStringLiteral("id")),
                               dataset->asString(QStringLiteral("row_ver")),
                               dataset->asString(QStringLiteral("fio")).trimmed(),
                               dataset->asString(QStringLiteral("s_staffpos_hl")).trimmed()});
    showChild(workerEditor);
    reread(rec);
    // After a change the user is back in the main window.
    reject();
}

void WorkerList::deleteClick()
{
    if (dataset->isEmpty())
        return;
    if (!ui::askYesNo(QStringLiteral("Удалить работника?"), QStringLiteral("Удаление")))
        return;
    const int rec = dataset->recNo();
    db::Command del(QStringLiteral(R"(
        delete from accounts_dep.person
        where id=:id
          and xmin=:row_ver::xid)"));
    del.setParam(QStringLiteral("id"), dataset->asInteger(QStringLiteral("id")));
    del.setParam(QStringLiteral("row_ver"), dataset->asString(QStringLiteral("row_ver")));
    try {
        del.executeOne();
    } catch (const db::RowChanged &) {
        reread(rec);
        throw;
    }
    reread(rec);
}
