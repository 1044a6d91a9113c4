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
        8.4, Font{QStringLiteral("Arial"), 10, true}, 190,
        {frame::caption(0.3, 45, QStringLiteral("Изделие"), 9),
         frame::caption(45.5, 29, QStringLiteral("Вид продукции"), 9),
         frame::caption(74.8, 31, QStringLiteral("Операция"), 9).aligned(Align::Center),
         frame::caption(106, 27.4, QStringLiteral("Цвет"), 9),
         frame::caption(133.6, 29.4, QStringLiteral("Коробки"), 9).aligned(Align::Center),
         frame::caption(163.0, 27, QStringLiteral("Количество"), 9).aligned(Align::Center)});

    Band nom = frame::groupHeader(QStringLiteral("nom"), 5.3, QStringLiteral("nom"), frame::kGroup);

    Band detail = band(BandKind::Detail, QStringLiteral("detail"), 4.2);
    detail.font = Font{QStringLiteral("Arial"), 9, false};
    detail.elements
        << field(0.3, 45, QStringLiteral("marka"))
        << expr(45.5, 29, QStringLiteral("IF(naimen=0,'Готовая продукция','Заготовки')"))
        << field(74.8, 31, QStringLiteral("vid")).aligned(Align::Center)
        << expr(106, 27.4,
                QStringLiteral("if(color>0,if(color=1,' (грунт)',' (RAL: '+STR(color)+')'),' ')"))
        << field(133.6, 29.4, QStringLiteral("mass"))
               .masked(frame::kQuantity)
               .aligned(Align::Center)
        << field(163.0, 27, QStringLiteral("kolvo"))
               .masked(frame::kQuantity)
               .aligned(Align::Center);

    Band nomFoot = frame::groupFooter(QStringLiteral("nom"), 5.3);
    nomFoot.elements << label(0.3, 100, QStringLiteral("Итого по группе:"))
                     << frame::total(133.6, 29.4, QStringLiteral("sum(mass)"), frame::kQuantity,
                                     true, Align::Center)
                     << frame::total(163.0, 27, QStringLiteral("sum(kolvo)"), frame::kQuantity,
                                     true, Align::Center);

    Band foot = frame::reportFooter(5.8);
    foot.elements << label(106.4, 24.8, QStringLiteral("Итого:"))
                  << frame::total(131.2, 29.7, QStringLiteral("sum(mass)"), frame::kQuantity, false,
                                  Align::Center)
                  << frame::total(160.9, 29.1, QStringLiteral("sum(kolvo)"), frame::kQuantity,
                                  false, Align::Center);

    def.bands << nom << detail << nomFoot << foot << frame::pageFooter();
    printout->def() = def;
}
