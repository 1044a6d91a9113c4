#include "ShiftTimesheetPrint.h"

#include "db/Dataset.h"

#include <QStringList>

using namespace report;

ShiftTimesheetPrint *shiftTimesheetPrint = nullptr;

namespace {
const QString kMonthLabel = QStringLiteral("QRLabel33");
// Millimetres from the left margin: day 1's cell, the width of a day's cell, the total.
constexpr double kFirstDay = 81.2;
constexpr double kDayWidth = 5.3;
constexpr double kTotal = 264.6;
} // namespace

QString ShiftTimesheetPrint::tabelSql()
{
    QStringList sums;
    for (int d = 1; d <= 31; ++d)
        sums << QStringLiteral("sum(d%1) as sd%1").arg(d);
    return QStringLiteral("select person.s_caption fio,") + sums.join(QLatin1Char(',')) +
           QStringLiteral(" from accounts_dep.h_tabel, cmn_contractor.person person where "
                          "h_tabel.w_id=person.s_code::t_integer and month=:mnth and year=:yea "
                          "group by h_tabel.w_id, person.s_caption order by fio, h_tabel.w_id");
}

ShiftTimesheetPrint::ShiftTimesheetPrint(QObject *parent)
    : ReportForm("shiftTimesheetPrint", parent)
{
    shiftTimesheetPrint = this;
    H_Tabel = newDataset("H_Tabel", tabelSql());

    ReportDef def; // Arial 10 pt, margins 10 mm
    def.page.landscape = true;
    const double right = def.page.width() - def.page.left - def.page.right;
    const Font bold10{QStringLiteral("Arial"), 10, true};
    const Font plain9{QStringLiteral("Arial"), 9, false};
    const Font bold9{QStringLiteral("Arial"), 9, true};

    // The day captions over the names on every page; a header without an expression never
    // changes, so it stays open for the whole report.
    Band head = groupHeader(QStringLiteral("head"), 6.6, QString(), QString());
    head.reprintOnNewPage = true;
    head.edges = TopEdge | BottomEdge;
    head.font = bold10;
    head.elements << label(kMonthLabel, 0, kFirstDay - 0.8, QStringLiteral("Данные за:"));

    Band detail = band(BandKind::Detail, QStringLiteral("detail"), 6.4);
    detail.edges = TopEdge | BottomEdge;
    detail.font = plain9;
    detail.elements << field(0, 80.4, QStringLiteral("fio")).sized(10);

    QStringList days;
    for (int d = 1; d <= 31; ++d) {
        const double left = kFirstDay + (d - 1) * kDayWidth;
        const QString day = QString::number(d);
        head.elements << label(left, kDayWidth, day).aligned(Align::Center).framed(AllEdges);
        detail.elements << field(left, kDayWidth, QStringLiteral("sd") + day)
                               .aligned(Align::Center)
                               .framed(d % 2 ? LeftEdge | RightEdge : NoEdge);
        days << QStringLiteral("sd") + day;
    }
    head.elements << label(kTotal, right - kTotal, QStringLiteral("Итого"));
    // Each line's own total, no running one.
    Element total = expr(kTotal, right - kTotal, days.join(QLatin1Char('+')));
    total.font = bold9;
    detail.elements << total.aligned(Align::Center);

    Band pageFoot = band(BandKind::PageFooter, QStringLiteral("pageFoot"), 5);
    pageFoot.elements << pageNumber(right - 30, 30).aligned(Align::Right);

    def.bands << head << detail << pageFoot;
    printout->def() = def;
}

void ShiftTimesheetPrint::openMonth(int month, int year)
{
    H_Tabel->close();
    H_Tabel->setParam(QStringLiteral("mnth"), month);
    H_Tabel->setParam(QStringLiteral("yea"), year);
    H_Tabel->open();
}

void ShiftTimesheetPrint::setMonthLabel(const QString &text)
{
    printout->setLabel(kMonthLabel, text);
}
