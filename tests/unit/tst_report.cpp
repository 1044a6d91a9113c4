// The report engine on small record sets built here: what lands on which page, where, and
// with which text.
#include "GuiApp.h"
#include "ScriptedMessages.h"
#include "report/PageView.h"
#include "report/Preview.h"
#include "report/Printout.h"
#include "report/Report.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
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

Q_DECLARE_METATYPE(report::Element)
Q_DECLARE_METATYPE(report::Font)
Q_DECLARE_METATYPE(report::Align)

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
        // header of group 2 but not for it and its first 10 mm line (nor its 5 mm footer),
        // so the header moves on, linked or not, and opens the next page.
        QTest::newRow("linked header moves on")
            << true << false << 2 << QStringList{"Шапка", "2", "25"};
        QTest::newRow("unlinked header moves on with its first line")
            << false << false << 2 << QStringList{"Шапка", "2", "25"};
        QTest::newRow("group header reprinted")
            << false << true << 2 << QStringList{"Шапка", "2", "25"};
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

    // What makes a printout one to hand over: the heading once, a group carried over to
    // the next page named again as continued, the date and "стр. N из M" on every page, the
    // signatures after the last total.
    void printoutFurniture()
    {
        ReportDef def = paged(false, true);
        def.bands.removeLast(); // the plain page number
        for (Band &b : def.bands)
            if (b.name == "g")
                b.elements[0].continued();
            else if (b.name == "head")
                b.footer = "headFoot";
        Band headFoot = band(BandKind::GroupFooter, "headFoot", 5);
        headFoot.elements << label(0, 50, "Всего");
        headFoot.child = kSignatures;
        def.bands << headingBand(def) << headFoot << pageFooterBand(def)
                  << signatureBand(def, {{"Составил", "Петрова А.А."}, {"Начальник цеха", ""}});
        Report r(def);
        setHeading(r, {"ООО Завод", "Цех 3", "Отчет по рабочим", "за ноябрь 2026 г."});
        r.setPrintDate(QDate(2026, 12, 11));
        QVector<QVector<QVariant>> data;
        for (int n = 1; n <= 60; ++n)
            data << QVector<QVariant>{n <= 24 ? 1 : 2, n};
        r.setSource(rows({"g", "n"}, data));
        r.prepare();
        QCOMPARE(r.pages().size(), 3);
        QCOMPARE(r.pages()[0].texts().mid(0, 6),
                 QStringList({"ООО Завод", "Цех 3", "Отчет по рабочим", "за ноябрь 2026 г.",
                              "Шапка", "1"}));
        QCOMPARE(r.pages()[1].texts().mid(0, 2), QStringList({"Шапка", "1 (продолжение)"}));
        QCOMPARE(r.pages()[2].texts().mid(0, 2), QStringList({"Шапка", "2 (продолжение)"}));
        for (const Page &p : r.pages()) {
            QCOMPARE(p.texts().mid(p.texts().size() - 2),
                     QStringList({"Дата печати: 11.12.2026",
                                  QStringLiteral("стр. %1 из 3").arg(p.number)}));
            QCOMPARE(p.find("ООО Завод") != nullptr, p.number == 1);
        }
        const QStringList last = r.pages()[2].texts();
        const int total = int(last.indexOf("Всего"));
        QVERIFY(total > 0);
        QCOMPARE(last.mid(total, 6), QStringList({"Всего", "Составил", "Петрова А.А.", "(подпись)",
                                                  "Начальник цеха", "(подпись)"}));
    }

    // A group header needs room for the headers of the groups inside it and the first
    // detail line; whichever page it lands on, it is never the last band there.
    void headerNeverLastOnPage_data()
    {
        QTest::addColumn<int>("firstGroupRows");
        // Rows of the first worker before the second one starts; with 4 mm lines and 5 mm
        // headers this walks the second worker's header across the foot of page 1, the spot
        // where his product header needs its linked 5 mm footer more than the 4 mm line included.
        for (int n = 50; n <= 64; ++n)
            QTest::newRow(qPrintable(QStringLiteral("%1 rows").arg(n))) << n;
    }
    void headerNeverLastOnPage()
    {
        QFETCH(int, firstGroupRows);
        ReportDef def = twoGroups();
        QVector<QVector<QVariant>> data;
        for (int n = 0; n < firstGroupRows; ++n)
            data << QVector<QVariant>{"Иванов", QStringLiteral("Болт %1").arg(n / 20), 1.0};
        for (int n = 0; n < 5; ++n)
            data << QVector<QVariant>{"Петров", "Гайка", 2.0};
        Report r(def);
        r.setSource(rows({"fio", "nom", "summa"}, data));
        r.prepare();
        for (const Page &p : r.pages()) {
            QString last;
            double bottom = -1;
            for (const Primitive &item : p.items)
                if (item.band != "page" && item.rect.bottom() >= bottom) {
                    bottom = item.rect.bottom();
                    last = item.band;
                }
            QVERIFY2(last != "fio" && last != "nom",
                     qPrintable(QStringLiteral("page %1 ends with %2").arg(p.number).arg(last)));
        }
        // The second worker's header is followed by his product's header on its page.
        const int page = pageOf(r, "fio", "Петров");
        QCOMPARE(pageOf(r, "nom", "Гайка"), page);
        QCOMPARE(pageOf(r, "detail", "2,00"), page);
    }

    // A band taller than what is left of the page starts the next one instead of running
    // into the page footer.
    void tallBandMovesOn()
    {
        ReportDef def = paged(false, false);
        Band tall = band(BandKind::GroupFooter, "gFoot", 30);
        tall.elements << expr(0, 50, "sum(1)").resetting();
        def.bands[3] = tall;
        QVector<QVector<QVariant>> data;
        for (int n = 1; n <= 24; ++n)
            data << QVector<QVariant>{1, n};
        Report r(def);
        r.setSource(rows({"g", "n"}, data));
        r.prepare();
        QCOMPARE(r.pages().size(), 2);
        QCOMPARE(pageOf(r, "gFoot", "24"), 2);
        for (const Page &p : r.pages())
            for (const Primitive &item : p.items)
                if (item.band != "page")
                    QVERIFY2(item.rect.bottom() <= 282 + 1e-9, qPrintable(item.text));
    }

    // A group that starts a page: each group from the top of a page of its own (the first one
    // on the first page), its header reprinted on its further pages.
    void groupStartsPage()
    {
        ReportDef def = paged(false, true);
        def.bands[1].startsPage = true;
        QVector<QVector<QVariant>> data;
        for (int n = 1; n <= 3; ++n)
            data << QVector<QVariant>{1, n};
        for (int n = 4; n <= 30; ++n)
            data << QVector<QVariant>{2, n};
        data << QVector<QVariant>{3, 31};
        Report r(def);
        r.setSource(rows({"g", "n"}, data));
        r.prepare();
        QCOMPARE(pageOf(r, "detail", "1"), 1);
        QCOMPARE(pageOf(r, "detail", "4"), 2);
        QCOMPARE(pageOf(r, "detail", "30"), 3);
        QCOMPARE(pageOf(r, "detail", "31"), 4);
        QCOMPARE(r.pages().size(), 4);
        QCOMPARE(r.pages()[2].texts().mid(0, 2), (QStringList{"Шапка", "2"}));
    }

    // Laid out on demand, a page asked for in any order is the page the walk lays out at once:
    // the same texts in the same places, the same continued groups and "стр. N из M"; a report
    // with sums is laid out at once all the same, its totals right. Pages may count within
    // each group that starts a page of its own.
    void pagesOnDemand_data()
    {
        QTest::addColumn<bool>("withSums");
        QTest::addColumn<bool>("perGroup");
        QTest::newRow("no sums") << false << false;
        QTest::newRow("sums") << true << false;
        QTest::newRow("no sums, pages per group") << false << true;
        QTest::newRow("sums, pages per group") << true << true;
    }
    void pagesOnDemand()
    {
        QFETCH(bool, withSums);
        QFETCH(bool, perGroup);
        ReportDef def = paged(false, true);
        def.pagesPerGroup = perGroup;
        def.bands.removeLast(); // the plain page number
        def.bands[1].startsPage = true;
        def.bands[1].elements[0].continued();
        if (!withSums)
            def.bands[3].elements = {field(0, 50, "n")};
        def.bands << headingBand(def) << pageFooterBand(def);
        QVector<QVector<QVariant>> data;
        for (int n = 1; n <= 60; ++n)
            data << QVector<QVariant>{n <= 24 ? 1 : n <= 50 ? 2 : 3, n};
        const auto layout = [&](bool onDemand) {
            auto r = std::make_unique<Report>(def);
            r->setLaidOutOnDemand(onDemand);
            setHeading(*r, {"ООО Завод", "Цех 3", "Отчет", "за ноябрь 2026 г."});
            r->setSource(rows({"g", "n"}, data));
            r->prepare();
            return r;
        };
        const auto atOnce = layout(false);
        const auto onDemand = layout(true);
        QCOMPARE(onDemand->pageCount(), atOnce->pageCount());
        QCOMPARE(atOnce->pageCount(), 5);
        const auto same = [](const Page &a, const Page &b) {
            if (a.number != b.number || a.items.size() != b.items.size())
                return false;
            for (int i = 0; i < a.items.size(); ++i)
                if (a.items[i].text != b.items[i].text || a.items[i].rect != b.items[i].rect ||
                    a.items[i].kind != b.items[i].kind || a.items[i].band != b.items[i].band)
                    return false;
            return true;
        };
        for (int i = onDemand->pageCount() - 1; i >= 0; --i)
            QVERIFY2(same(onDemand->page(i), atOnce->pages()[i]), qPrintable(QString::number(i)));
        QVERIFY(onDemand->page(1).texts().contains("1 (продолжение)"));
        QVERIFY(onDemand->page(3).texts().contains("2 (продолжение)"));
        // Groups 1 and 2 take two pages each, group 3 one.
        const QStringList counted = perGroup
                                        ? QStringList{"стр. 1 из 2", "стр. 2 из 2", "стр. 1 из 2",
                                                      "стр. 2 из 2", "стр. 1 из 1"}
                                        : QStringList{"стр. 1 из 5", "стр. 2 из 5", "стр. 3 из 5",
                                                      "стр. 4 из 5", "стр. 5 из 5"};
        for (int i = 0; i < counted.size(); ++i)
            QVERIFY2(onDemand->page(i).texts().contains(counted[i]) &&
                         atOnce->pages()[i].texts().contains(counted[i]),
                     qPrintable(counted[i]));
        if (withSums)
            QCOMPARE(pageOf(*onDemand, "gFoot", "26"), 4);
    }

    // Text is measured with the font it is drawn in: what does not fit shrinks to the floor
    // size and is then cut with an ellipsis; it never leaves its box.
    void textFits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("width");
        QTest::addColumn<Align>("align");
        QTest::addColumn<QString>("fits"); // "as is", "smaller", "cut"
        QTest::newRow("short") << "Болт" << 25.9 << Align::Left << "as is";
        // About 28 mm at 9 pt in a 25.9 mm box.
        QTest::newRow("a little too long")
            << "Готовая продукция" << 25.9 << Align::Left << "smaller";
        QTest::newRow("a little too long, right")
            << "Готовая продукция" << 25.9 << Align::Right << "smaller";
        QTest::newRow("far too long") << QString("Константинопольский-Переяславский О'Брайен")
                                      << 25.9 << Align::Center << "cut";
        QTest::newRow("four-digit total in a narrow box")
            << "12345,67" << 8.0 << Align::Right << "cut";
    }
    void textFits()
    {
        QFETCH(QString, text);
        QFETCH(double, width);
        QFETCH(Align, align);
        QFETCH(QString, fits);
        ReportDef def;
        Band detail = band(BandKind::Detail, "detail", 4.2);
        detail.font = Font{"Arial", 9, false};
        detail.elements << field(10, width, "name").aligned(align)
                        << label(10 + width, 20, "сосед");
        def.bands << detail;
        Report r(def);
        r.setSource(rows({"name"}, {{text}}));
        r.prepare();
        const Page &p = r.pages().first();
        const Primitive &t = p.items.first();
        QCOMPARE(t.rect, QRectF(20, 10, width, 4.2));
        if (fits == "as is") {
            QCOMPARE(t.text, text);
            QCOMPARE(t.font.size, 9.0);
        } else if (fits == "smaller") {
            QCOMPARE(t.text, text);
            QVERIFY(t.font.size < 9 && t.font.size >= kMinFontSize);
        } else {
            QCOMPARE(t.font.size, kMinFontSize);
            QVERIFY2(t.text.endsWith(QChar(0x2026)) && t.text.size() < text.size(),
                     qPrintable(t.text));
        }
        const QRectF ink = textExtent(t);
        QVERIFY2(t.rect.contains(ink), qPrintable(t.text));
        QVERIFY(!ink.intersects(textExtent(*p.find("сосед"))));
        QCOMPARE(t.font.bold, false);
        QCOMPARE(t.font.family, QStringLiteral("Arial"));
    }

    // An element's font starts from its band's; the helpers change only what they name.
    void fontsInherit_data()
    {
        QTest::addColumn<Element>("element");
        QTest::addColumn<Font>("drawn");
        QTest::newRow("band's font") << label(0, 40, "a") << Font{"Arial", 9, true};
        QTest::newRow("size only") << label(0, 40, "a").sized(10) << Font{"Arial", 10, true};
        QTest::newRow("weight only") << label(0, 40, "a").bold(false) << Font{"Arial", 9, false};
        Element own = label(0, 40, "a");
        own.font = Font{"Times", 11, false};
        QTest::newRow("own font, then bold") << own.bold() << Font{"Times", 11, true};
    }
    void fontsInherit()
    {
        QFETCH(Element, element);
        QFETCH(Font, drawn);
        ReportDef def;
        Band foot = groupHeader("head", 5, QString(), QString());
        foot.font = Font{"Arial", 9, true};
        foot.elements << element;
        def.bands << foot;
        Report r(def);
        r.prepare();
        QVERIFY(r.pages().first().find("a")->font == drawn);
    }

    // Records fall into one group when their values are equal, whatever their types print as.
    void groupKeysCompareValues_data()
    {
        QTest::addColumn<QVariant>("a");
        QTest::addColumn<QVariant>("b");
        QTest::addColumn<bool>("same");
        QTest::newRow("2 and 2.0") << QVariant(2) << QVariant(2.0) << true;
        QTest::newRow("padded text") << QVariant("Иванов") << QVariant("Иванов   ") << true;
        QTest::newRow("apostrophe kept") << QVariant("О'Нил") << QVariant("ОНил") << false;
        QTest::newRow("dates") << QVariant(QDate(2026, 3, 1)) << QVariant(QDate(2026, 3, 1))
                               << true;
        QTest::newRow("no value and an empty text") << QVariant() << QVariant("") << false;
        QTest::newRow("close amounts") << QVariant(0.1 + 0.2) << QVariant(0.3) << false;
    }
    void groupKeysCompareValues()
    {
        QFETCH(QVariant, a);
        QFETCH(QVariant, b);
        QFETCH(bool, same);
        ReportDef def;
        Band g = groupHeader("g", 5, "k", "gFoot");
        g.elements << label(0, 20, "группа");
        Band gFoot = band(BandKind::GroupFooter, "gFoot", 5);
        gFoot.elements << expr(0, 20, "sum(1)").resetting();
        def.bands << g << gFoot;
        Report r(def);
        r.setSource(rows({"k"}, {{a}, {b}}));
        r.prepare();
        QCOMPARE(printed(r), same ? QStringList({"g:группа", "gFoot:2"})
                                  : QStringList({"g:группа", "gFoot:1", "g:группа", "gFoot:1"}));
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
        QTest::newRow("#,##0.00 groups thousands")
            << QVariant(0) << "summa*1000"
            << "#,##0.00" << QStringLiteral("12\u00A0500,00");
        QTest::newRow("#,##0.## decimals when not zero") << QVariant(0) << "summa"
                                                         << "#,##0.##"
                                                         << "12,5";
        QTest::newRow("#,##0.## whole") << QVariant(0) << "kolvo"
                                        << "#,##0.##"
                                        << "3";
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

    // A long report in the preview: it opens on page 1 having drawn only what is in sight,
    // the buttons walk the pages, zooming keeps the page in view, and a page far down is
    // drawn when it is reached.
    void previewDrawsPagesAsShown()
    {
        QVector<QVector<QVariant>> data;
        for (int n = 1; n <= 20000; ++n)
            data << QVector<QVariant>{n / 100, n};
        Report r(paged(false, false));
        r.setSource(rows({"g", "n"}, data));
        r.prepare();
        const int count = int(r.pages().size());
        QVERIFY(count > 500);
        PreviewWindow w(r);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *view = w.findChild<PageView *>("Pages");
        auto *label = w.findChild<QLabel *>("PageLabel");
        QVERIFY(view && label);
        const auto inkOf = [view] {
            const QImage shot = view->viewport()->grab().toImage();
            int ink = 0;
            for (int y = 0; y < shot.height(); y += 2)
                for (int x = 0; x < shot.width(); x += 2)
                    ink += qGray(shot.pixel(x, y)) < 64;
            return ink;
        };
        QVERIFY(inkOf() > 0);
        QVERIFY2(view->pagesDrawn() <= 3, qPrintable(QString::number(view->pagesDrawn())));
        QCOMPARE(w.currentPage(), 1);
        QCOMPARE(label->text(), QStringLiteral("Стр. 1 из %1").arg(count));

        const auto click = [&w](const char *name) {
            auto *b = w.findChild<QPushButton *>(name);
            QVERIFY(b);
            b->click();
        };
        click("Next");
        click("Next");
        QCOMPARE(w.currentPage(), 3);
        click("Prior");
        QCOMPARE(label->text(), QStringLiteral("Стр. 2 из %1").arg(count));
        const double fitWidth = view->scale();
        click("ZoomIn");
        QCOMPARE(view->scale(), fitWidth * 1.25);
        QCOMPARE(w.currentPage(), 2);
        click("FitPage");
        QCOMPARE(w.currentPage(), 2);
        // The whole page is in sight.
        QVERIFY(297 * view->scale() <= view->viewport()->height());
        QVERIFY(view->scale() < fitWidth);
        click("Last");
        QCOMPARE(w.currentPage(), count);
        QCOMPARE(label->text(), QStringLiteral("Стр. %1 из %1").arg(count));
        QVERIFY(inkOf() > 0);
        QVERIFY2(view->pagesDrawn() <= 12, qPrintable(QString::number(view->pagesDrawn())));
        click("First");
        QCOMPARE(w.currentPage(), 1);
        // Zoomed out until many pages are in sight at once, the last page is still the one
        // gone to.
        for (int i = 0; i < 8; ++i)
            click("ZoomOut");
        QVERIFY(view->viewport()->height() > 3 * 297 * view->scale());
        click("Last");
        QCOMPARE(label->text(), QStringLiteral("Стр. %1 из %1").arg(count));
        click("Prior");
        QCOMPARE(w.currentPage(), count - 1);
        // Scrolled back to the top by hand: one of the pages in sight there is current.
        view->verticalScrollBar()->setValue(0);
        QVERIFY(w.currentPage() <= view->viewport()->height() / (297 * view->scale()) + 1);
        QCOMPARE(label->text(), QStringLiteral("Стр. %1 из %2").arg(w.currentPage()).arg(count));
        click("FitWidth");
        click("First");
        QCOMPARE(w.currentPage(), 1);
        // Zoomed as far as it goes a page is far larger than a picture worth keeping: it is
        // drawn straight onto the screen, every time it is painted.
        for (int i = 0; i < 30; ++i)
            click("ZoomIn");
        QVERIFY(210 * view->scale() > 8000);
        // The report's header ("Шапка", 10 mm from the top and the left) in sight.
        view->verticalScrollBar()->setValue(int(8 * view->scale()));
        view->horizontalScrollBar()->setValue(int(8 * view->scale()));
        const int before = view->pagesDrawn();
        QVERIFY(inkOf() > 0);
        QVERIFY(inkOf() > 0);
        QCOMPARE(view->pagesDrawn(), before + 2);
        click("FitWidth");
        QVERIFY(inkOf() > 0);
    }

    // Saving as PDF from the preview: the name with its extension is what the replace
    // question is about, a refused or failed write leaves the old file, a failure says why.
    void savePdf()
    {
        ScriptedMessages msg;
        Report r(twoGroups());
        r.setSource(rows({"fio", "nom", "summa"}, {{"Иванов", "Болт", 10.0}}));
        r.setDocumentName("Отчет по рабочим 01.11.2026-30.11.2026");
        r.prepare();
        PreviewWindow w(r);
        QTemporaryDir dir;
        const QString march = dir.filePath("март.pdf");
        const auto content = [&] {
            QFile f(march);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        {
            QFile old(march);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old");
        }
        // Typed without the extension: asked about "март.pdf"; No keeps it.
        msg.answer({false});
        QVERIFY(!w.savePdfTo(dir.filePath("март")));
        QCOMPARE(msg.shown.size(), 1);
        QCOMPARE(msg.shown[0].kind, QStringLiteral("question"));
        QVERIFY(msg.shown[0].text.contains("март.pdf"));
        QCOMPARE(content(), QByteArray("old"));
        // Yes replaces it with the report.
        msg.clear();
        msg.answer({true});
        QVERIFY(w.savePdfTo(dir.filePath("март")));
        QVERIFY(content().startsWith("%PDF"));
        // The next save proposes the report's name in the folder just used.
        QCOMPARE(w.proposedPdfPath(),
                 QDir(dir.path()).filePath("Отчет по рабочим 01.11.2026-30.11.2026.pdf"));
        // A folder that cannot exist (a file stands in its place): a failure with a reason.
        msg.clear();
        QString reason;
        QVERIFY(!r.writePdf(march + "/x.pdf", &reason));
        QVERIFY(!reason.isEmpty());
        QVERIFY(!w.savePdfTo(march + "/x.pdf"));
        QCOMPARE(msg.shown.size(), 1);
        QCOMPARE(msg.shown[0].kind, QStringLiteral("error"));
        QVERIFY2(msg.shown[0].text.contains(reason), qPrintable(msg.shown[0].text));
        QVERIFY(content().startsWith("%PDF"));
        // A refused rewrite counts as a failure and leaves the file as it was.
        if (QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner) &&
            !QFileInfo(dir.path()).isWritable()) {
            QVERIFY(!r.writePdf(march, &reason));
            QVERIFY(content().startsWith("%PDF"));
        }
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

TABEL_TEST_MAIN(ReportTest)
#include "tst_report.moc"
