// The report engine on small record sets built here: what lands on which page, where, and
// with which text.
#include "GuiApp.h"
#include "report/Report.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace report;

namespace {

// Band name and text of every text on the pages, in printing order.
QStringList printed(const Report &r)
{
    QStringList out;
    for (const Page &p : r.pages())
        for (const Primitive &item : p.items)
            if (item.kind == Primitive::Text)
                out << QStringLiteral("%1:%2").arg(item.band, item.text);
    return out;
}

// The number of the page holding the first text of the band, 0 when it is nowhere.
int pageOf(const Report &r, const QString &band, const QString &text)
{
    for (const Page &p : r.pages())
        for (const Primitive &item : p.items)
            if (item.kind == Primitive::Text && item.band == band && item.text == text)
                return p.number;
    return 0;
}

std::shared_ptr<TableSource> rows(const QStringList &fields, const QVector<QVector<QVariant>> &data)
{
    auto src = std::make_shared<TableSource>(QStringLiteral("t_Report"), fields);
    for (const auto &row : data)
        src->addRow(row);
    return src;
}

// Report header and footer, groups by worker and product, one detail line per record.
ReportDef twoGroups()
{
    ReportDef def;
    Band head = groupHeader("head", 6, QString(), "foot");
    head.elements << label("QRLabel1", 0, 100, "Отчет");
    Band byFio = groupHeader("fio", 5, "t_Report.fio", "fioFoot");
    byFio.elements << field(0, 60, "fio");
    Band byNom = groupHeader("nom", 5, "nom", "nomFoot");
    byNom.linkedBand = "nomFoot";
    byNom.elements << field(0, 60, "nom");
    Band detail = band(BandKind::Detail, "detail", 4);
    detail.elements << field(100, 20, "summa").masked("#0.00");
    Band nomFoot = band(BandKind::GroupFooter, "nomFoot", 5);
    // A footer shows the fields of its group's last record.
    nomFoot.elements << field(60, 30, "nom")
                     << expr(100, 20, "sum(summa)").masked("#0.00").resetting()
                     << expr(130, 20, "sum(summa/1.2)").masked("#0.000").resetting();
    Band fioFoot = band(BandKind::GroupFooter, "fioFoot", 5);
    fioFoot.elements << expr(100, 20, "sum(summa)").masked("#0.00").resetting();
    Band foot = band(BandKind::GroupFooter, "foot", 6);
    foot.elements << label(80, 20, "Итого:") << expr(100, 20, "sum(summa)").masked("#0.00")
                  << expr(130, 20, "sum(summa/1.2)").masked("#0.00");
    Band pageFoot = band(BandKind::PageFooter, "page", 5);
    pageFoot.elements << pageNumber(176, 14);
    Band title = band(BandKind::Title, "title", 0);
    title.elements << label(0, 50, "невидимый");
    // Only the order of the group headers counts: outermost first.
    def.bands << pageFoot << foot << head << fioFoot << byFio << nomFoot << detail << byNom
              << title;
    return def;
}

// One band of the given height with a numbered text per record, under a report header,
// in groups of the field g; the page holds few lines.
ReportDef paged(bool linked, bool reprintGroup)
{
    ReportDef def;
    Band head = groupHeader("head", 15, QString(), QString());
    head.reprintOnNewPage = true;
    head.elements << label(0, 50, "Шапка");
    Band g = groupHeader("g", 5, "g", "gFoot");
    g.reprintOnNewPage = reprintGroup;
    if (linked)
        g.linkedBand = "gFoot";
    g.elements << field(0, 50, "g");
    Band detail = band(BandKind::Detail, "detail", 10);
    detail.elements << field(0, 50, "n");
    Band gFoot = band(BandKind::GroupFooter, "gFoot", 5);
    gFoot.elements << expr(0, 50, "sum(1)").resetting();
    Band pageFoot = band(BandKind::PageFooter, "page", 5);
    pageFoot.elements << expr(176, 14, "PAGENUMBER");
    def.bands << head << g << detail << gFoot << pageFoot;
    return def;
}

} // namespace

class ReportTest : public QObject {
    Q_OBJECT
private slots:
    void groupsAndTotals_data()
    {
        QTest::addColumn<QVector<QVector<QVariant>>>("data");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("two workers, two products")
            << QVector<QVector<QVariant>>{{"Иванов", "Болт", 10.0},
                                          {"Иванов", "Болт", 20.0},
                                          {"Иванов", "Гайка", 6.0},
                                          {"Петров", "Болт", 1.5}}
            << QStringList{"head:Отчет",    "fio:Иванов",    "nom:Болт",      "detail:10,00",
                           "detail:20,00",  "nomFoot:Болт",  "nomFoot:30,00", "nomFoot:25,000",
                           "nom:Гайка",     "detail:6,00",   "nomFoot:Гайка", "nomFoot:6,00",
                           "nomFoot:5,000", "fioFoot:36,00", "fio:Петров",    "nom:Болт",
                           "detail:1,50",   "nomFoot:Болт",  "nomFoot:1,50",  "nomFoot:1,250",
                           "fioFoot:1,50",  "foot:Итого:",   "foot:37,50",    "foot:31,25",
                           "page:1"};
        // The inner group starts again when the outer one changes, even on the same value.
        QTest::newRow("same product under the next worker")
            << QVector<QVector<QVariant>>{{"А", "Болт", 1.0}, {"Б", "Болт", 2.0}}
            << QStringList{
                   "head:Отчет",   "fio:А",         "nom:Болт",     "detail:1,00",   "nomFoot:Болт",
                   "nomFoot:1,00", "nomFoot:0,833", "fioFoot:1,00", "fio:Б",         "nom:Болт",
                   "detail:2,00",  "nomFoot:Болт",  "nomFoot:2,00", "nomFoot:1,667", "fioFoot:2,00",
                   "foot:Итого:",  "foot:3,00",     "foot:2,50",    "page:1"};
        QTest::newRow("no records: report header and footer only")
            << QVector<QVector<QVariant>>{}
            << QStringList{"head:Отчет", "foot:Итого:", "foot:0,00", "foot:0,00", "page:1"};
    }
    void groupsAndTotals()
    {
        QFETCH(QVector<QVector<QVariant>>, data);
        QFETCH(QStringList, expected);
        Report r(twoGroups());
        r.setSource(rows({"fio", "nom", "summa"}, data));
        r.prepare();
        QCOMPARE(r.pages().size(), 1);
        QCOMPARE(printed(r), expected);
        // Prepared again, the totals start from zero.
        r.prepare();
        QCOMPARE(printed(r), expected);
    }

    void positions()
    {
        Report r(twoGroups());
        r.setLabel("QRLabel1", "Отчет за период");
        r.setSource(rows({"fio", "nom", "summa"}, {{"Иванов", "Болт", 10.0}}));
        r.prepare();
        const Page &p = r.pages().first();
        // Bands stack from the top margin; elements sit at their offsets from the left one.
        QCOMPARE(p.find("Отчет за период")->rect, QRectF(10, 10, 100, 6));
        QCOMPARE(p.find("Иванов")->rect, QRectF(10, 16, 60, 5));
        QCOMPARE(p.find("Болт")->rect, QRectF(10, 21, 60, 5));
        QCOMPARE(p.find("10,00")->rect, QRectF(110, 26, 20, 4));
        QCOMPARE(p.find("Итого:")->rect, QRectF(90, 40, 20, 6));
        // The page footer at the bottom of the page, above the bottom margin.
        QCOMPARE(p.find("1")->rect, QRectF(186, 282, 14, 5));
        QCOMPARE(p.find("невидимый"), nullptr);
    }

    void pageBreaks_data()
    {
        QTest::addColumn<bool>("linked");
        QTest::addColumn<bool>("reprintGroup");
        QTest::addColumn<int>("secondHeaderPage");
        QTest::addColumn<QStringList>("page2Top");
        // Group 1 with its 24 records ends 7 mm above the page footer: room for the 5 mm
        // header of group 2 but not for it and its 5 mm footer.
        QTest::newRow("linked header moves on")
            << true << false << 2 << QStringList{"Шапка", "2", "25"};
        QTest::newRow("unlinked header stays at the foot")
            << false << false << 1 << QStringList{"Шапка", "25", "26"};
        QTest::newRow("group header reprinted")
            << false << true << 1 << QStringList{"Шапка", "2", "25"};
    }
    void pageBreaks()
    {
        QFETCH(bool, linked);
        QFETCH(bool, reprintGroup);
        QFETCH(int, secondHeaderPage);
        QFETCH(QStringList, page2Top);
        QVector<QVector<QVariant>> data;
        for (int n = 1; n <= 60; ++n)
            data << QVector<QVariant>{n <= 24 ? 1 : 2, n};
        Report r(paged(linked, reprintGroup));
        r.setSource(rows({"g", "n"}, data));
        r.prepare();
        QCOMPARE(pageOf(r, "g", "2"), secondHeaderPage);
        QCOMPARE(r.pages().size(), 3);
        for (const Page &p : r.pages()) {
            // Each page starts with the report header and ends with its number.
            const QStringList texts = p.texts();
            QCOMPARE(texts.first(), QStringLiteral("Шапка"));
            QCOMPARE(p.find("Шапка")->rect.top(), 10.0);
            QCOMPARE(texts.last(), QString::number(p.number));
            QCOMPARE(p.items.last().rect.top(), 282.0);
            // Nothing runs into the page footer.
            for (const Primitive &item : p.items)
                if (item.band != "page")
                    QVERIFY2(item.rect.bottom() <= 282 + 1e-9, qPrintable(item.text));
        }
        QCOMPARE(r.pages()[1].texts().mid(0, 3), page2Top);
        // The footer of group 1 counts its own records; group 2 counts the rest.
        QCOMPARE(pageOf(r, "gFoot", "24"), 1);
        QVERIFY(pageOf(r, "gFoot", "36") > 0);
    }

    void expressions_data()
    {
        QTest::addColumn<QVariant>("color");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("expected");
        const QString kind = "IF(naimen=0,'Готовая продукция','Заготовки')";
        const QString paint = "if(color>0,if(color=1,' (грунт)',' (RAL: '+STR(color)+')'),' ')";
        QTest::newRow("IF true") << QVariant(0) << kind << ""
                                 << "Готовая продукция";
        QTest::newRow("colour 7") << QVariant(7) << paint << ""
                                  << " (RAL: 7)";
        QTest::newRow("colour 1") << QVariant(1) << paint << ""
                                  << " (грунт)";
        QTest::newRow("colour 0: blank") << QVariant(0) << paint << ""
                                         << "";
        QTest::newRow("colour null: blank") << QVariant() << paint << ""
                                            << "";
        QTest::newRow("qualified, padding dropped") << QVariant(0) << "t_Report.fio"
                                                    << ""
                                                    << "Иванов И.И.";
        QTest::newRow("#0.000") << QVariant(0) << "summa"
                                << "#0.000"
                                << "12,500";
        QTest::newRow("#0.00 halves up") << QVariant(0) << "kolvo/8"
                                         << "#0.00"
                                         << "0,38";
        QTest::newRow("#0") << QVariant(0) << "summa"
                            << "#0"
                            << "13";
        QTest::newRow("no mask: as many digits as it has") << QVariant(0) << "summa/1.2"
                                                           << ""
                                                           << "10,4166666666667";
        QTest::newRow("whole number") << QVariant(0) << "kolvo"
                                      << ""
                                      << "3";
        QTest::newRow("texts joined") << QVariant(0) << "STR(kolvo)+' шт.'"
                                      << ""
                                      << "3 шт.";
        QTest::newRow("> and parentheses") << QVariant(0) << "IF((kolvo+1)*2>7,'да','нет')"
                                           << ""
                                           << "да";
        QTest::newRow("page number") << QVariant(0) << "'стр. '+STR(PAGENUMBER)"
                                     << ""
                                     << "стр. 1";
        QTest::newRow("apostrophe in a text") << QVariant(0) << "'Д''Артаньян'"
                                              << ""
                                              << "Д'Артаньян";
    }
    void expressions()
    {
        QFETCH(QVariant, color);
        QFETCH(QString, text);
        QFETCH(QString, mask);
        QFETCH(QString, expected);
        ReportDef def;
        Band detail = band(BandKind::Detail, "detail", 4);
        detail.elements << expr(0, 50, text).masked(mask);
        def.bands << detail;
        Report r(def);
        r.setSource(rows({"fio", "naimen", "color", "summa", "kolvo"},
                         {{"Иванов И.И.   ", 0, color, 12.5, 3}}));
        r.prepare();
        QCOMPARE(r.pages().size(), 1);
        QCOMPARE(r.pages()[0].texts(), expected.isEmpty() ? QStringList() : QStringList{expected});
    }

    void badExpressions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("unknown field") << "nosuch";
        QTest::newRow("unclosed text") << "'abc";
        QTest::newRow("IF with two arguments") << "IF(kolvo>1,'a')";
        QTest::newRow("trailing text") << "kolvo kolvo";
        QTest::newRow("unknown function") << "avg(kolvo)";
    }
    void badExpressions()
    {
        QFETCH(QString, text);
        ReportDef def;
        Band detail = band(BandKind::Detail, "detail", 4);
        detail.elements << expr(0, 50, text);
        def.bands << detail;
        Report r(def);
        r.setSource(rows({"kolvo"}, {{1}}));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, r.prepare());
    }

    void pdf()
    {
        Report r(twoGroups());
        r.setSource(rows({"fio", "nom", "summa"}, {{"Иванов", "Болт", 10.0}}));
        r.prepare();
        QTemporaryDir dir;
        const QString path = dir.filePath("r.pdf");
        QVERIFY(r.writePdf(path));
        QProcess text;
        text.start("pdftotext", {"-layout", path, "-"});
        QVERIFY(text.waitForFinished(10000));
        const QString out = QString::fromUtf8(text.readAllStandardOutput());
        for (const char *s : {"Отчет", "Иванов", "Болт", "Итого:", "8,33"})
            QVERIFY2(out.contains(QString::fromUtf8(s)), s);
    }
};

TABEL_TEST_MAIN(ReportTest)
#include "tst_report.moc"
