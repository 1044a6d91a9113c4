#include "OperationKindList.h"

#include "OperationKindEditor.h"
#include "db/Command.h"
#include "db/Dataset.h"
#include "db/SqlError.h"
#include "shop/DataModule.h"
#include "ui/Messages.h"

#include <QLineEdit>

OperationKindList *operationKindList = nullptr;

OperationKindList::OperationKindList(QWidget *parent)
    : ListForm({"operationKindList",
                QStringLiteral("Виды операций (8)"),
                dataModule->Vid_oper,
                {{QStringLiteral("vid"), QStringLiteral("Операции"), 300}},
                QStringLiteral("vid"),
                Search::Prefix,
                SearchKeys::ConsumeAll,
                Arrangement::SearchBelowGrid,
                false,
                360,
                true},
               parent)
{
    operationKindList = this;
    setSizeGripEnabled(true);
}

void OperationKindList::addClick()
{
    operationKindEditor->startAdd();
    showChild(operationKindEditor);
}

void OperationKindList::changeCurrent()
{
    operationKindEditor->startChange(dataset->asInteger(QStringLiteral("id")),
                                     dataset->asString(QStringLiteral("row_ver")),
                                     dataset->asString(QStringLiteral("vid")).trimmed());
    showChild(operationKindEditor);
}

void OperationKindList::deleteClick()
{
    if (dataset->isEmpty())
        return;
    if (!ui::askYesNo(QStringLiteral("Удалить вид операции?"), QStringLiteral("Удаление")))
        return;
    db::Command del(QStringLiteral(R"(
        delete from accounts_dep.vid_oper
        where id=:id
          and xmin=:row_ver::xid)"));
    del.setParam(QStringLiteral("id"), dataset->asInteger(QStringLiteral("id")));
    del.setParam(QStringLiteral("row_ver"), dataset->asString(QStringLiteral("row_ver")));
    try {
        del.executeOne();
    } catch (const db::RowChanged &) {
        dataset->reopen();
        throw;
    }
    dataset->reopen();
}
