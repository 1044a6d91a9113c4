#include "ProductsDetailReport.h"

#include "ReportStatements.h"
#include "db/Dataset.h"

using namespace report;

ProductsDetailReport *productsDetailReport = nullptr;

ProductsDetailReport::ProductsDetailReport(QObject *parent)
    : ReportForm("productsDetailReport", parent)
{
    productsDetailReport = this;
    i_Report = newDataset("i_Report", QString::fromLatin1(reports::sql::kDetailByProducts));

    ReportDef def = frame::page();
    def.bands << frame::reportHeader(
        7.7, Font{QStringLiteral("Arial"), 9, true}, 190,
        {frame::caption(1.1, 51.8, QStringLiteral("Изделие"), 9),
         frame::caption(52.9, 28.3, QStringLiteral("Операция"), 9),
         frame::caption(81.2, 18.3, QStringLiteral("Цвет"), 9).aligned(Align::Center),
         frame::caption(99.5, 24.9, QStringLiteral("Вид продукции"), 9),
         frame::caption(124.4, 10.5, QStringLiteral("Брак"), 9),
         frame::caption(134.9, 18.6, QStringLiteral("Коробки"), 9).aligned(Align::Center),
         frame::caption(153.5, 16.4, QStringLiteral("Кол-во"), 9).aligned(Align::Center),
         frame::caption(169.9, 20.1, QStringLiteral("Сумма"), 9).aligned(Align::Right)});

    Band nom = frame::groupHeader(QStringLiteral("nom"), 5.3, QStringLiteral("nom"), frame::kGroup);

    Band detail = band(BandKind::Detail, QStringLiteral("detail"), 4.2);
    detail.font = Font{QStringLiteral("Arial"), 9, false};
    detail.elements
        << field(1.1, 51.8, QStringLiteral("marka")) << field(52.9, 28.3, QStringLiteral("vid"))
        << field(81.2, 18.3, QStringLiteral("color")).aligned(Align::Center)
        << expr(99.5, 25.9, QStringLiteral("IF(naimen=0,'Готовая продукция','Заготовки')"))
        << field(125.4, 8.2, QStringLiteral("brk")).masked(frame::kQuantity)
        << field(133.6, 18.5, QStringLiteral("mass")).masked(frame::kQuantity)
        << field(152.1, 17.8, QStringLiteral("kolvo")).masked(frame::kQuantity)
        << field(169.9, 20.1, QStringLiteral("summa")).masked(frame::kMoney).aligned(Align::Right);

    Band nomFoot = frame::groupFooter(QStringLiteral("nom"), 5.3);
    nomFoot.elements << label(1.1, 98, QStringLiteral("Итого по группе:"))
                     << frame::total(124.4, 8.4, QStringLiteral("sum(brk)"), frame::kQuantity, true,
                                     Align::Left)
                     << frame::total(132.8, 19.3, QStringLiteral("sum(mass)"), frame::kQuantity,
                                     true, Align::Left)
                     << frame::total(152.1, 17.8, QStringLiteral("sum(kolvo)"), frame::kQuantity,
                                     true, Align::Left)
                     << frame::total(169.9, 20.1, QStringLiteral("sum(summa)"), frame::kMoney, true,
                                     Align::Right);

    Band foot = frame::reportFooter(6.6);
    foot.elements << label(99.7, 24.7, QStringLiteral("Итого:"))
                  << frame::total(124.4, 8.4, QStringLiteral("sum(brk)"), frame::kQuantity, false,
                                  Align::Left)
                  << frame::total(132.8, 19.3, QStringLiteral("sum(mass)"), frame::kQuantity, false,
                                  Align::Left)
                  << frame::total(152.1, 17.8, QStringLiteral("sum(kolvo)"), frame::kQuantity,
                                  false, Align::Left)
                  << frame::total(169.9, 20.1, QStringLiteral("sum(summa)"), frame::kMoney, false,
                                  Align::Right);

    def.bands << nom << detail << nomFoot << foot << frame::pageFooter();
    printout->def() = def;
}
