#include "WorkersReport.h"

#include "ReportStatements.h"
#include "db/Dataset.h"
#include "report/Printout.h"

using namespace report;

WorkersReport *workersReport = nullptr;

WorkersReport::WorkersReport(QObject *parent) : ReportForm("workersReport", parent)
{
    workersReport = this;
    t_Report = newDataset("t_Report", QString::fromLatin1(reports::sql::kByWorkers));

    ReportDef def = frame::page();
    def.bands << frame::reportHeader(
        8.4, Font{QStringLiteral("Arial"), 10, true}, 190,
        {frame::caption(0.3, 44, QStringLiteral("Вид продукции"), 9),
         frame::caption(44.4, 40.2, QStringLiteral("Операция"), 9).aligned(Align::Center),
         frame::caption(84.7, 32.7, QStringLiteral("Цвет"), 9),
         frame::caption(117.5, 20.5, QStringLiteral("Кол-во"), 9).aligned(Align::Center),
         frame::caption(138.1, 24.9, QStringLiteral("Сумма"), 9).aligned(Align::Center),
         frame::caption(163.2, 26.8, QStringLiteral("Сумма без Р/К"), 9).aligned(Align::Center)});

    Band fio = frame::groupHeader(QStringLiteral("fio"), 6.6, QStringLiteral("t_Report.fio"),
                                  frame::kGroup);
    // One group per worker, not per name: two workers of one name stay two groups.
    fio.expression = QStringLiteral("t_Report.w_id");
    Band nom =
        frame::groupHeader(QStringLiteral("nom"), 5.3, QStringLiteral("t_Report.nom"), Qt::white);

    Band detail = band(BandKind::Detail, QStringLiteral("detail"), 4.2);
    detail.font = Font{QStringLiteral("Arial"), 9, false};
    detail.elements
        << expr(0.3, 44, QStringLiteral("IF(naimen=0,'Готовая продукция','Заготовки')"))
        << field(44.4, 40.2, QStringLiteral("vid")).aligned(Align::Center)
        << expr(84.7, 32.7,
                QStringLiteral("if(color>0,if(color=1,' (грунт)',' (RAL: '+STR(color)+')'),' ')"))
        << field(117.5, 20.5, QStringLiteral("kolvo"))
               .masked(frame::kQuantity)
               .aligned(Align::Center)
        << field(138.1, 24.9, QStringLiteral("summa")).masked(frame::kMoney).aligned(Align::Center);

    // The maintenance and average-piecework amounts as they stand on the group's record.
    Band nomFoot = frame::groupFooter(QStringLiteral("nom"), 5.3);
    nomFoot.elements
        << label(0.3, 38, QStringLiteral("Итого по группе:"))
        << label(38.6, 15.6, QStringLiteral("Хоз.р.:"))
        << field(54.2, 24.4, QStringLiteral("f_sum7")).masked(frame::kMoney).aligned(Align::Center)
        << label(78.8, 14.6, QStringLiteral("Ср. сд.:"))
        << field(93.4, 24.1, QStringLiteral("f_sum8")).masked(frame::kMoney).aligned(Align::Center)
        << frame::total(117.5, 20.3, QStringLiteral("sum(kolvo)"), frame::kQuantity, true,
                        Align::Center)
        << frame::total(137.8, 25.4, QStringLiteral("sum(summa)"), frame::kMoney, true,
                        Align::Center)
        << frame::total(163.2, 26.8, QStringLiteral("sum(summa/1.2)"), frame::kMoney, true,
                        Align::Center);
    for (Element &e : nomFoot.elements)
        e.sized(9);

    Band fioFoot = frame::groupFooter(QStringLiteral("fio"), 6.1);
    fioFoot.edges = BottomEdge;
    fioFoot.elements << label(0.3, 120, QStringLiteral("Итого по рабочему:"))
                     << frame::total(137.8, 25.4, QStringLiteral("sum(summa)"), frame::kMoney, true,
                                     Align::Center)
                     << frame::total(163.2, 26.8, QStringLiteral("sum(summa/1.2)"), frame::kMoney,
                                     true, Align::Center);

    Band foot = frame::reportFooter(5.8, QStringLiteral("note"));
    foot.elements << label(114.8, 14.6, QStringLiteral("Итого:"))
                  << frame::total(129.4, 29.6, QStringLiteral("sum(summa)"), frame::kMoney, false,
                                  Align::Center)
                  << frame::total(159.0, 31.0, QStringLiteral("sum(summa/1.2)"), frame::kMoney,
                                  false, Align::Center);
    // What the last column is, said once under the totals.
    Band note = band(BandKind::Child, QStringLiteral("note"), 5);
    note.child = report::kSignatures;
    note.elements << label(0, 190,
                           QStringLiteral("Сумма без Р/К — сумма без районного коэффициента "
                                          "(сумма, делённая на 1,2)."))
                         .sized(8)
                         .box(1, 4);

    def.bands << fio << nom << detail << nomFoot << fioFoot << foot << note << frame::pageFooter();
    printout->def() = def;
}
