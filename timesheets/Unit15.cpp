#include "Unit15.h"

#include "db/Dataset.h"

#include <QStringList>

TForm15 *Form15 = nullptr;

QString TForm15::tabelSql()
{
    QStringList sums;
    for (int d = 1; d <= 31; ++d)
        sums << QStringLiteral("sum(d%1) as sd%1").arg(d);
    return QStringLiteral("select person.s_caption fio,") + sums.join(QLatin1Char(',')) +
           QStringLiteral(" from accounts_dep.h_tabel, cmn_contractor.person person where "
                          "h_tabel.w_id=person.s_code::t_integer and month=:mnth and year=:yea "
                          "group by fio order by fio");
}

TForm15::TForm15(QObject *parent) : QObject(parent)
{
    Form15 = this;
    setObjectName(QStringLiteral("Form15"));
    H_Tabel = new db::Dataset(QStringLiteral("H_Tabel"), this);
    H_Tabel->setSql(tabelSql());
}

void TForm15::openMonth(int month, int year)
{
    H_Tabel->close();
    H_Tabel->setParam(QStringLiteral("mnth"), month);
    H_Tabel->setParam(QStringLiteral("yea"), year);
    H_Tabel->open();
}
