#include "Unit5.h"

#include "Unit2.h"
#include "db/Dataset.h"
#include "db/SqlError.h"
#include "shop/Unit6.h"
#include "ui/Messages.h"

#include <QLineEdit>

TForm5 *Form5 = nullptr;

TForm5::TForm5(QWidget *parent)
    : ListForm({"Form5",
                QStringLiteral("Список рабочих"),
                DataModule6->Workers,
                {{QStringLiteral("fio"), QStringLiteral("ФИО"), 260},
                 {QStringLiteral("s_staffpos_hl"), QStringLiteral("Должность"), 240}},
                QStringLiteral("fio"),
                Search::Prefix,
                SearchKeys::ConsumeAll,
                Arrangement::SearchInButtonBar,
                true},
               parent)
{
    Form5 = this;
}

void TForm5::Button1Click()
{
    Form2->Edit1->clear();
    Form2->setWindowTitle(QStringLiteral("Заведение данных нового работника"));
    Form2->mode = ui::EditMode::Add;
    Form2->reopenLookups();
    showChild(Form2);
    dataset->reopen();
}

void TForm5::changeCurrent()
{
    const int rec = dataset->recNo();
    Form2->setWindowTitle(QStringLiteral("Изменение данных работника"));
    Form2->mode = ui::EditMode::Change;
    Form2->reopenLookups();
    Form2->showDepartment(dataset->asString(QStringLiteral("s_staffpos_hl")).trimmed());
    Form2->Edit1->setText(dataset->asString(QStringLiteral("fio")).trimmed());
    Form2->personId = dataset->asInteger(QStringLiteral("id"));
    Form2->rowVer = dataset->asString(QStringLiteral("row_ver"));
    showChild(Form2);
    reread(rec);
    // After a change the user is back in the main window.
    reject();
}

void TForm5::Button3Click()
{
    if (dataset->isEmpty())
        return;
    if (!ui::askYesNo(QStringLiteral("Удалить работника?"), QStringLiteral("Удаление")))
        return;
    const int rec = dataset->recNo();
    db::Command &del = Form2->cmd_person;
    del.setSql(QStringLiteral("delete from accounts_dep.person where id =") +
               QString::number(dataset->asInteger(QStringLiteral("id"))) +
               QStringLiteral(" and xmin=:row_ver::xid"));
    del.setParam(QStringLiteral("row_ver"), dataset->asString(QStringLiteral("row_ver")));
    try {
        del.executeOne();
    } catch (const db::RowChanged &) {
        reread(rec);
        throw;
    }
    reread(rec);
}
