#include "Unit8.h"

#include "Unit9.h"
#include "db/Command.h"
#include "db/Dataset.h"
#include "db/SqlError.h"
#include "shop/Unit6.h"
#include "ui/Messages.h"

#include <QLineEdit>

TForm8 *Form8 = nullptr;

TForm8::TForm8(QWidget *parent)
    : ListForm({"Form8",
                QStringLiteral("Виды операций (8)"),
                DataModule6->Vid_oper,
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
    Form8 = this;
    setSizeGripEnabled(true);
}

void TForm8::Button1Click()
{
    Form9->Edit1->clear();
    Form9->setWindowTitle(QStringLiteral("Заведение нового вида операций"));
    Form9->mode = ui::EditMode::Add;
    showChild(Form9);
}

void TForm8::changeCurrent()
{
    Form9->setWindowTitle(QStringLiteral("Изменение данных вида операции"));
    Form9->mode = ui::EditMode::Change;
    Form9->Edit1->setText(dataset->asString(QStringLiteral("vid")).trimmed());
    Form9->kindId = dataset->asInteger(QStringLiteral("id"));
    Form9->rowVer = dataset->asString(QStringLiteral("row_ver"));
    showChild(Form9);
}

void TForm8::Button3Click()
{
    if (dataset->isEmpty())
        return;
    if (!ui::askYesNo(QStringLiteral("Удалить вид операции?"), QStringLiteral("Удаление")))
        return;
    db::Command del(QStringLiteral("delete from accounts_dep.vid_oper where id=:id and "
                                   "xmin=:row_ver::xid"));
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
