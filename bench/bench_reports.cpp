// Laying out the report by workers over 10,000 records held in memory: the report engine
// alone, without the query.
#include "Bench.h"

#include "reports/WorkersReport.h"

TABEL_BENCH("report by workers: prepare 10,000 records")
{
    auto src = std::make_shared<report::TableSource>(
        QStringLiteral("t_Report"), QStringList{"fio", "w_id", "kolvo", "vid", "summa", "nom",
                                                "naimen", "color", "f_sum7", "f_sum8"});
    // 25 workers with 20 products each, 20 operation lines a product.
    for (int i = 0; i < 10000; ++i)
        src->addRow({QStringLiteral("Работник %1").arg(i / 400, 3, 10, QChar('0')), i / 400,
                     double(i % 17), QStringLiteral("Операция %1").arg(i % 7), (i % 17) * 12.345,
                     QStringLiteral("Изделие %1").arg(i / 20 % 20, 2, 10, QChar('0')), i % 2, i % 5,
                     10.5, 0.0});
    report::Report &rep = *workersReport->printout;
    rep.setSource(src);
    workersReport->setTitle(
        QStringLiteral("   Отчет по рабочим за период с 01.11.2026 по 01.12.2026"));
    run.measure([&] { rep.prepare(); });
    qsizetype items = 0;
    for (const report::Page &p : rep.pages())
        items += p.items.size();
    run.setSize(QStringLiteral("10000 records: %1 pages, %2 primitives of %3 bytes")
                    .arg(rep.pages().size())
                    .arg(items)
                    .arg(sizeof(report::Primitive)));
    rep.setSource(nullptr);
}
