#include "ShiftTimesheetPrint.h"

#include "db/Dataset.h"
#include "report/Printout.h"

#include <QDate>

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
    return QStringLiteral(R"(
        select person.s_caption fio, %1
        from accounts_dep.h_tabel, cmn_contractor.person person
        where h_tabel.w_id=person.s_code::t_integer
          and month=:mnth
          and year=:yea
        group by h_tabel.w_id, person.s_caption
        order by fio, h_tabel.w_id)")
        .arg(sums.join(QStringLiteral(", ")));
}

ShiftTimesheetPrint::ShiftTimesheetPrint(QObject *parent)
    : ReportForm("shiftTimesheetPrint", parent)
{
    shiftTimesheetPrint = this;
    H_Tabel = newDataset("H_Tabel", tabelSql());
    layOut(31);
}

// The columns of the days the month has: no day 31 in November, no 29 in a common February.
void ShiftTimesheetPrint::layOut(int days)
{
    // Texts set before keep their place in the new layout.
    const QString month = printout->labelText(kMonthLabel);
    const QStringList kept = {
        kOrganisationLabel,           kDepartmentLabel,      kTitleLabel, kPeriodLabel,
        QStringLiteral("preparedBy"), QStringLiteral("head")};
    QStringList texts;
    for (const QString &name : kept)
        texts << printout->labelText(name);

    ReportDef def; // Arial 10 pt, margins 10 mm
    def.page.landscape = true;
    const double right = def.page.width() - def.page.left - def.page.right;
    const Font bold10{QStringLiteral("Arial"), 10, true};
    const Font plain9{QStringLiteral("Arial"), 9, false};
    const Font bold9{QStringLiteral("Arial"), 9, true};

    // The day captions over the names on every page; a header without an expression never
    // changes, so it stays open for the whole report and its footer holds the totals.
    Band head = groupHeader(QStringLiteral("head"), 6.6, QString(), QStringLiteral("foot"));
    head.reprintOnNewPage = true;
    head.edges = TopEdge | BottomEdge;
    head.font = bold10;
    head.elements << label(kMonthLabel, 0, kFirstDay - 0.8,
                           month.isEmpty() ? QStringLiteral("Данные за:") : month);

    Band detail = band(BandKind::Detail, QStringLiteral("detail"), 6.4);
    detail.edges = TopEdge | BottomEdge;
    detail.font = plain9;
    detail.elements << field(0, 80.4, QStringLiteral("fio")).sized(10);

    Band foot = band(BandKind::GroupFooter, QStringLiteral("foot"), 6.4);
    foot.edges = TopEdge | BottomEdge;
    foot.font = bold9;
    foot.child = kSignatures;
    foot.elements << label(0, 80.4, QStringLiteral("Всего")).sized(10);

    QStringList sums;
    for (int d = 1; d <= days; ++d) {
        const double left = kFirstDay + (d - 1) * kDayWidth;
        const QString day = QString::number(d);
        const QString field = QStringLiteral("sd") + day;
        const int edges = d % 2 ? LeftEdge | RightEdge : NoEdge;
        head.elements << label(left, kDayWidth, day).aligned(Align::Center).framed(AllEdges);
        detail.elements << report::field(left, kDayWidth, field)
                               .masked(frame::kQuantity)
                               .aligned(Align::Center)
                               .framed(edges);
        foot.elements << expr(left, kDayWidth, QStringLiteral("sum(%1)").arg(field))
                             .masked(frame::kQuantity)
                             .aligned(Align::Center)
                             .framed(edges);
        sums << field;
    }
    head.elements << label(kTotal, right - kTotal, QStringLiteral("Итого"));
    // Each line's own total, no running one; the days of other months are not there.
    const QString lineTotal = sums.join(QLatin1Char('+'));
    Element total = expr(kTotal, right - kTotal, lineTotal).masked(frame::kQuantity);
    total.font = bold9;
    detail.elements << total.aligned(Align::Center);
    foot.elements << expr(kTotal, right - kTotal, QStringLiteral("sum(%1)").arg(lineTotal))
                         .masked(frame::kQuantity)
                         .aligned(Align::Center);

    Band signatures = frame::signatures(def, QStringLiteral("Табель составил"));

    def.bands << headingBand(def,
                             {QString(), QString(), QStringLiteral("Табель по сменам"), QString()})
              << head << detail << foot << signatures << pageFooterBand(def);
    printout->def() = def;
    for (int i = 0; i < kept.size(); ++i)
        printout->setLabel(kept[i], texts[i]);
    if (printout->labelText(kTitleLabel).isEmpty())
        printout->setLabel(kTitleLabel, QStringLiteral("Табель по сменам"));
    days_ = days;
}

void ShiftTimesheetPrint::openMonth(int month, int year)
{
    const int days = QDate(year, month, 1).daysInMonth();
    if (days != days_)
        layOut(days);
    H_Tabel->close();
    H_Tabel->setParam(QStringLiteral("mnth"), month);
    H_Tabel->setParam(QStringLiteral("yea"), year);
    H_Tabel->open();
}

void ShiftTimesheetPrint::setMonthLabel(const QString &text)
{
    printout->setLabel(kMonthLabel, text);
    // The heading names the month and the shifts the lines add up.
    printout->setLabel(kPeriodLabel, QStringLiteral("за %1, все смены").arg(text));
}
