#include "Period.h"

#include "db/Dataset.h"

#include <QProgressBar>
#include <QScopeGuard>

namespace timesheet {

bool MonthPeriod::weekend(int day) const
{
    const int w = QDate(year, month, day).dayOfWeek();
    return w == Qt::Saturday || w == Qt::Sunday;
}

const QStringList &monthNames()
{
    static const QStringList names = {
        QStringLiteral("Январь"),  QStringLiteral("Февраль"), QStringLiteral("Март"),
        QStringLiteral("Апрель"),  QStringLiteral("Май"),     QStringLiteral("Июнь"),
        QStringLiteral("Июль"),    QStringLiteral("Август"),  QStringLiteral("Сентябрь"),
        QStringLiteral("Октябрь"), QStringLiteral("Ноябрь"),  QStringLiteral("Декабрь")};
    return names;
}

void bindPeriod(db::Dataset &ds, const MonthPeriod &period, int pairs)
{
    for (int k = 1; k <= pairs; ++k) {
        ds.setParam(QStringLiteral("d_date%1").arg(2 * k - 1), period.next());
        ds.setParam(QStringLiteral("d_date%1").arg(2 * k), period.first());
    }
}

QString yearListSql()
{
    return QStringLiteral(R"(
        select distinct ht.year
        from accounts_dep.h_tabel ht
        union
        select :this_year::smallint
        order by year)");
}

void bindYearList(db::Dataset &ds)
{
    ds.setParam(QStringLiteral("this_year"), QDate::currentDate().year());
}

void byDay(QProgressBar *bar, int days, const std::function<void(int day)> &work)
{
    const auto hide = qScopeGuard([bar] { bar->hide(); });
    bar->setMinimum(1);
    bar->setMaximum(days);
    bar->setValue(1);
    bar->show();
    for (int day = 1; day <= days; ++day) {
        work(day);
        bar->setValue(day);
    }
}

} // namespace timesheet
