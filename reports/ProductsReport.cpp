#include "ProductsReport.h"

#include "ReportStatements.h"
#include "db/Dataset.h"

using namespace report;

ProductsReport *productsReport = nullptr;

ProductsReport::ProductsReport(QObject *parent) : ReportForm("productsReport", parent)
{
    productsReport = this;
    t_Report = newDataset("t_Report", QString::fromLatin1(reports::sql::kByProducts));

    ReportDef def = frame::page();
    def.bands << frame::reportHeader(
        7.7, Font{QStringLiteral("Arial"), 10, true}, 190,
        {frame::caption(136.3, 26, QStringLiteral("Коробки"), 10).aligned(Align::Center),
         frame::caption(165.1, 24.9, QStringLiteral("Количество"), 10).aligned(Align::Center)});

    Band nom = frame::groupHeader(QStringLiteral("nom"), 5.3, QStringLiteral("nom"), frame::kGroup);

    Band detail = band(BandKind::Detail, QStringLiteral("detail"), 4.2);
    detail.font = Font{QStringLiteral("Arial"), 9, false};
    detail.elements
        << expr(13.2, 41.6, QStringLiteral("IF(naimen=0,'Готовая продукция','Заготовки')"))
        << field(54.8, 37.8, QStringLiteral("vid")).aligned(Align::Center)
        << expr(92.6, 41,
                QStringLiteral("if(color>0,if(color=1,' (грунт)',' (RAL: '+STR(color)+')'),' ')"))
        << field(133.6, 29.4, QStringLiteral("mass")).aligned(Align::Center)
        << field(163.0, 27, QStringLiteral("kolvo")).aligned(Align::Center);

    Band nomFoot = frame::groupFooter(QStringLiteral("nom"), 5.3);
    nomFoot.elements << frame::total(133.6, 29.4, QStringLiteral("sum(mass)"), QString(), true,
                                     Align::Center)
                     << frame::total(163.0, 27, QStringLiteral("sum(kolvo)"), QString(), true,
                                     Align::Center);

    Band foot = frame::reportFooter(5.8);
    foot.elements << label(106.4, 24.8, QStringLiteral("Итого:"))
                  << frame::total(131.2, 29.7, QStringLiteral("sum(mass)"), "#0", false,
                                  Align::Center)
                  << frame::total(160.9, 29.1, QStringLiteral("sum(kolvo)"), QString(), false,
                                  Align::Center);

    def.bands << nom << detail << nomFoot << foot << frame::pageFooter();
    printout->def() = def;
}
