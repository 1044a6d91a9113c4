#include "WorkersDetailReport.h"

#include "ReportStatements.h"
#include "db/Dataset.h"

using namespace report;

WorkersDetailReport *workersDetailReport = nullptr;

WorkersDetailReport::WorkersDetailReport(QObject *parent)
    : ReportForm("workersDetailReport", parent)
{
    workersDetailReport = this;
    w_Report = newDataset("w_Report", QString::fromLatin1(reports::sql::kDetailByWorkers));

    ReportDef def = frame::page();
    def.bands << frame::reportHeader(
        7.7, Font{QStringLiteral("Arial"), 10, true}, 190,
        {frame::caption(0.3, 42.6, QStringLiteral("Изделие"), 9),
         frame::caption(42.9, 30.7, QStringLiteral("Операция"), 9).aligned(Align::Center),
         frame::caption(73.6, 17.7, QStringLiteral("Цвет"), 9).aligned(Align::Center),
         frame::caption(91.3, 36.8, QStringLiteral("Вид продукции"), 9),
         frame::caption(128.1, 18.2, QStringLiteral("Брак"), 9),
         frame::caption(146.3, 23.6, QStringLiteral("Количество"), 9),
         frame::caption(169.9, 20.1, QStringLiteral("Сумма"), 9).aligned(Align::Center)});

    Band fio = frame::groupHeader(QStringLiteral("fio"), 5.3, QStringLiteral("fio"), frame::kGroup);
    // One group per worker, not per name: two workers of one name stay two groups.
    fio.expression = QStringLiteral("w_id");

    Band detail = band(BandKind::Detail, QStringLiteral("detail"), 4.2);
    detail.font = Font{QStringLiteral("Arial"), 8, false};
    detail.elements
        << field(0.3, 42.6, QStringLiteral("marka"))
        << field(42.9, 30.7, QStringLiteral("vid")).aligned(Align::Center)
        << field(73.6, 17.7, QStringLiteral("color")).aligned(Align::Center)
        << expr(91.3, 36.8, QStringLiteral("IF(naimen=0,'Готовая продукция','Заготовки')"))
        << field(128.1, 18.2, QStringLiteral("brk")).masked(frame::kQuantity)
        << field(146.3, 23.6, QStringLiteral("kolvo")).masked(frame::kQuantity)
        << field(169.9, 20.1, QStringLiteral("summa")).masked(frame::kMoney).aligned(Align::Center);

    Band fioFoot = frame::groupFooter(QStringLiteral("fio"), 6.3);
    fioFoot.elements << label(0.3, 100, QStringLiteral("Итого по рабочему:"))
                     << frame::total(128.3, 17.2, QStringLiteral("sum(brk)"), frame::kQuantity,
                                     true, Align::Left)
                     << frame::total(145.5, 24.4, QStringLiteral("sum(kolvo)"), frame::kQuantity,
                                     true, Align::Left)
                     << frame::total(169.9, 20.1, QStringLiteral("sum(summa)"), frame::kMoney, true,
                                     Align::Center);

    Band foot = frame::reportFooter(5.8);
    foot.elements << label(106.1, 25.9, QStringLiteral("Итого:"))
                  << frame::total(132.0, 13, QStringLiteral("sum(brk)"), frame::kQuantity, false,
                                  Align::Left)
                  << frame::total(145.0, 20.9, QStringLiteral("sum(kolvo)"), frame::kQuantity,
                                  false, Align::Left)
                  << frame::total(165.9, 24.1, QStringLiteral("sum(summa)"), frame::kMoney, false,
                                  Align::Center);

    def.bands << fio << detail << fioFoot << foot << frame::pageFooter();
    printout->def() = def;
}
