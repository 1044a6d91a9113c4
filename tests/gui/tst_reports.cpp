// The summary reports window and its four printed reports on the demo shop: what the
// pages say against the same sums computed by the server.
#include "Drive.h"
#include "GuiApp.h"
#include "Modal.h"
#include "PdfText.h"
#include "ScriptedMessages.h"
#include "Sheets.h"
#include "TestDb.h"
#include "app/LoginWindow.h"
#include "db/Dataset.h"
#include "journal/ShiftJournalWindow.h"
#include "report/Preview.h"
#include "reports/ProductsDetailReport.h"
#include "reports/ProductsReport.h"
#include "reports/ReportsWindow.h"
#include "reports/WorkersDetailReport.h"
#include "reports/WorkersReport.h"
#include "text/Figures.h"
#include "ui/RadioGroup.h"

#include <QDateEdit>
#include <QDir>
#include <QGroupBox>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

using drive::whileShown;

namespace {

ReportForm *formOf(const QString &name)
{
    if (name == "workersReport")
        return workersReport;
    if (name == "productsReport")
        return productsReport;
    if (name == "workersDetailReport")
        return workersDetailReport;
    return productsDetailReport;
}

const QStringList kReportButtons = {"workersButton", "productsButton", "workersDetailButton",
                                    "productsDetailButton", "exportButton"};

} // namespace

class ReportsTest : public gui::Fixture {
    Q_OBJECT
    QDate from_, to_;

    // FROM stands for the entries of the period and kind with their product, operation,
    // kind of operation and (unless withWorker is false) worker.
    QString sql(QString text, int kind, bool withWorker = true)
    {
        static const QString kinds[] = {"", " and o.naimen=0", " and o.naimen=1"};
        text.replace("FROM", "from accounts_dep.smena s join accounts_dep.izdel i on "
                             "i.id=s.i_id join accounts_dep.oper o on o.id=s.o_id join "
                             "accounts_dep.vid_oper v on v.id=o.vid " +
                                 QString(withWorker ? "join cmn_contractor.person p on "
                                                      "s.w_id=p.s_code::integer "
                                                    : "") +
                                 "where s.data>='" + from_.toString(Qt::ISODate) +
                                 "' and s.data<='" + to_.toString(Qt::ISODate) + "'" + kinds[kind]);
        QString value = testdb::scalar(db_, text).toString();
        static const QRegularExpression number("^-?[0-9]+\\.[0-9]+$");
        if (number.match(value).hasMatch())
            value.replace('.', QLocale().decimalPoint());
        return value;
    }
    // A figure the server computed as the reports print it: thousands apart, a decimal
    // comma, the decimals it has (two at most); the space between thousands as a PDF's text
    // gives it back.
    static QString printed(QString value)
    {
        static const QRegularExpression number("^-?[0-9]+(,([0-9]{1,2}))?$");
        const QRegularExpressionMatch m = number.match(value);
        if (m.hasMatch())
            value = figures::number(QString(value).replace(',', '.').toDouble(),
                                    int(m.captured(2).size()));
        return value.replace(QChar(0x00A0), ' ');
    }
    // Runs a report button of the window opened from the menu; act sees the preview.
    void runReport(const QString &button, int kind, std::function<void(ReportsWindow *)> period,
                   std::function<void(report::PreviewWindow *)> act)
    {
        QVERIFY(whileShown<ReportsWindow>(
            [] { shiftJournalWindow->summaryReportsAction->trigger(); },
            [&](ReportsWindow *f) {
                f->kindGroup->setItemIndex(kind);
                if (period)
                    period(f);
                auto *b = f->findChild<QPushButton *>(button);
                QVERIFY(whileShown<report::PreviewWindow>([b] { b->click(); }, act));
            }));
    }

private slots:
    void initTestCase()
    {
        startProgram();
        const QDate today = QDate::currentDate();
        // The previous calendar month, its last day included.
        from_ = QDate(today.year(), today.month(), 1).addMonths(-1);
        to_ = from_.addMonths(1).addDays(-1);
        shiftJournalWindow->show();
    }

    void windowFromMenu()
    {
        QVERIFY(whileShown<ReportsWindow>(
            [] { shiftJournalWindow->summaryReportsAction->trigger(); },
            [&](ReportsWindow *f) {
                QCOMPARE(f->windowTitle(), QStringLiteral("Отчеты (8)"));
                // The previous calendar month.
                QCOMPARE(f->fromDateEdit->date(), from_);
                QCOMPARE(f->toDateEdit->date(), to_);
                QCOMPARE(f->kindGroup->itemIndex(), 0);
                QCOMPARE(f->exportButton->text(), QStringLiteral("Excel (0 из 0)"));
                QCOMPARE(f->fromLabel->buddy(), f->fromDateEdit);
                QCOMPARE(f->toLabel->buddy(), f->toDateEdit);
                // Top to bottom as listed.
                QList<QWidget *> order = {f->kindGroup,           f->periodGroup,
                                          f->workersButton,       f->productsButton,
                                          f->workersDetailButton, f->productsDetailButton,
                                          f->exportButton,        f->exitButton};
                for (int i = 1; i < order.size(); ++i)
                    QVERIFY(order[i - 1]->geometry().bottom() < order[i]->geometry().top());
                f->kindGroup->setItemIndex(2);
                f->fromDateEdit->setDate(QDate(2020, 5, 5));
                QTest::keyClick(f, Qt::Key_Escape);
                QVERIFY(!f->isVisible());
            }));
        // The kind of product stays as chosen; the period is the previous month again.
        QVERIFY(
            whileShown<ReportsWindow>([] { shiftJournalWindow->summaryReportsAction->trigger(); },
                                      [&](ReportsWindow *f) {
                                          QCOMPARE(f->kindGroup->itemIndex(), 2);
                                          QCOMPARE(f->fromDateEdit->date(), from_);
                                          f->kindGroup->setItemIndex(0);
                                          f->exitButton->click();
                                          QVERIFY(!f->isVisible());
                                      }));
    }

    void reports_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("form");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("expectedSql"); // texts that the pages must show
        const QString money = "to_char(%1,'FM999999990.00')";
        QTest::newRow("by workers")
            << "workersButton"
            << "workersReport" << 0 << "Отчет по рабочим за период с "
            << QStringList{
                   "select min(p.s_caption) FROM", "select max(p.s_caption) FROM",
                   "select " + money.arg("sum(x)") +
                       " from (select sum((kol_vo-brak)*cena)::numeric(10,2) x FROM group by "
                       "p.s_caption, i.nom, v.vid, s.w_id, i.id_nom, o.naimen, s.color) q",
                   "select " + money.arg("round(sum(x/1.2),2)") +
                       " from (select sum((kol_vo-brak)*cena)::numeric(10,2) x FROM group by "
                       "p.s_caption, i.nom, v.vid, s.w_id, i.id_nom, o.naimen, s.color) q"};
        QTest::newRow("by products, finished")
            << "productsButton"
            << "productsReport" << 1 << "Отчет по продукции за период с "
            << QStringList{"select min(i.nom) FROM",
                           "select trim_scale(sum(x))::text from (select "
                           "round((i.massa*sum(s.kol_vo-s.brak))::numeric,2) x FROM group by "
                           "i.nom, s.color, o.naimen, v.vid, i.massa) q",
                           "select sum(kol_vo-brak)::text FROM"};
        QTest::newRow("detailed by workers")
            << "workersDetailButton"
            << "workersDetailReport" << 0 << "Детальный отчет по рабочим за период с "
            << QStringList{"select min(p.s_caption) FROM", "select sum(brak)::text FROM",
                           "select sum(kol_vo)::text FROM",
                           "select " + money.arg("round(sum((kol_vo-brak)*cena)::numeric,2)") +
                               " FROM"};
        QTest::newRow("detailed by products, blanks")
            << "productsDetailButton"
            << "productsDetailReport" << 2 << "Детальный отчет по продукции за период с "
            << QStringList{"select min(i.nom) FROM", "select sum(kol_vo)::text FROM",
                           "select " + money.arg("round(sum((kol_vo-brak)*cena)::numeric,2)") +
                               " FROM"};
    }
    void reports()
    {
        QFETCH(QString, button);
        QFETCH(QString, form);
        QFETCH(int, kind);
        QFETCH(QString, title);
        QFETCH(QStringList, expectedSql);
        ReportForm *rf = formOf(form);
        db::Dataset *ds = rf->dataset();
        runReport(button, kind, nullptr, [&](report::PreviewWindow *w) {
            const QString period =
                from_.toString("dd.MM.yyyy") + " по " + to_.toString("dd.MM.yyyy");
            QCOMPARE(rf->title(), "   " + title + period);
            QVERIFY(ds->isActive());
            QVERIFY(ds->recordCount() > 0);
            // The kind of product filters the records the report walks.
            if (kind > 0)
                for (int r = 0; r < ds->recordCount(); ++r)
                    QCOMPARE(ds->valueAt(r, "naimen").toInt(), kind - 1);
            QCOMPARE(&w->report(), rf->printout);
            QVERIFY(w->pageCount() >= 1);
            const QString text = pdfText(w->report(), form).replace(QChar(0x00A0), ' ');
            QVERIFY2(text.contains(title + period), qPrintable(text.left(300)));
            QVERIFY(text.contains("Итого:"));
            for (const QString &q : expectedSql) {
                const QString expected = printed(sql(q, kind).trimmed());
                QVERIFY2(!expected.isEmpty() && text.contains(expected),
                         qPrintable(q + " -> " + expected));
            }
            if (kind == 1)
                QVERIFY(!text.contains("Заготовки"));
            if (kind == 2)
                QVERIFY(!text.contains("Готовая продукция"));
        });
        // Closed, the report holds neither its records nor its pages.
        QVERIFY(!ds->isActive());
        QVERIFY(rf->printout->pages().isEmpty());
        QVERIFY(msg_->shown.isEmpty());
    }

    void emptyPeriod()
    {
        runReport(
            "productsDetailButton", 0,
            [](ReportsWindow *f) {
                f->fromDateEdit->setDate(QDate(1990, 1, 1)); // a day with no entries
                f->toDateEdit->setDate(QDate(1990, 1, 1));
            },
            [&](report::PreviewWindow *w) {
                QCOMPARE(productsDetailReport->i_Report->recordCount(), 0);
                QCOMPARE(w->report().pages().size(), 1);
                const QStringList texts = w->report().pages()[0].texts();
                // The organisation and department as kept, then the title.
                QCOMPARE(texts.mid(0, 2),
                         (QStringList{"ООО \"Весна-Металл\"", "Цех металлоконструкций"}));
                QVERIFY(texts.at(2).startsWith("   Детальный отчет по продукции"));
                // The totals, the signature lines with the names kept, the print date and the
                // page of pages.
                QCOMPARE(texts.mid(texts.indexOf("Итого:")),
                         (QStringList{"Итого:", "0", "0", "0", "0,00", "Составил", "Иванова Т.С.",
                                      "(подпись)", "Начальник цеха", "Петров А.В.", "(подпись)",
                                      "Дата печати: " + QDate::currentDate().toString("dd.MM.yyyy"),
                                      "стр. 1 из 1"}));
            });
    }

    // A period that starts after it ends is refused with a sentence by every report and the
    // export: no empty report, no workbook.
    void reversedPeriodIsRefused()
    {
        SheetsFixture sheets;
        QStringList said;
        bool previewed = false;
        QVERIFY(whileShown<ReportsWindow>(
            [] { shiftJournalWindow->summaryReportsAction->trigger(); },
            [&](ReportsWindow *f) {
                f->fromDateEdit->setDate(QDate(2020, 3, 2));
                f->toDateEdit->setDate(QDate(2020, 3, 1));
                for (QPushButton *b :
                     {f->workersDetailButton, f->productsButton, f->productsDetailButton,
                      f->workersButton, f->exportButton}) {
                    modal::when<report::PreviewWindow>(
                        [&](report::PreviewWindow *w) {
                            previewed = true;
                            w->close();
                        },
                        1000);
                    b->click();
                    modal::cancelPending();
                }
                said = msg_->texts();
                f->fromDateEdit->setDate(from_);
                f->toDateEdit->setDate(to_);
            }));
        QVERIFY(!previewed);
        QCOMPARE(sheets.opened.size(), 0);
        QCOMPARE(said, QStringList(5, "Начало периода (02.03.2020) позже его конца (01.03.2020): "
                                      "укажите в поле «с» день не позже дня в поле «по»."));
    }

    void byWorkersGroupsAndTotals()
    {
        // One worker in March 2001: two entries on doors (one of them with rejects and a
        // primer colour) and one on windows; maintenance hours booked on doors only.
        const int w = shop.worker("Юнусов Я.Я.");
        testdb::run(db_, "insert into cmn_classifier.item (id, id_level, s_caption) values "
                         "(9001, 2, 'Группа А'), (9002, 2, 'Группа Б')");
        testdb::run(db_, "insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, massa, "
                         "id_class_item) values (9101, 'Изд-А', 2, 9001), (9102, 'Изд-Б', 1, "
                         "9002)");
        testdb::run(db_, "insert into accounts_dep.vid_oper (vid) values ('Окраска-т')");
        const int kind =
            testdb::scalar(db_, "select id from accounts_dep.vid_oper where vid='Окраска-т'")
                .toInt();
        const int doors = shop.operation(kind, 9101, 0);
        const int windows = shop.operation(kind, 9102, 1);
        const auto entry = [&](int product, int operation, double price, int made, int rejects,
                               int day, int color) {
            shop.entry(w)
                .operation(operation, product)
                .price(price)
                .made(made, rejects)
                .on(QDate(2001, 3, day), 1)
                .color(color)
                .hours(8)
                .insert();
        };
        entry(9101, doors, 1.5, 10, 0, 5, 0);
        entry(9101, doors, 2, 7, 1, 6, 1);
        entry(9102, windows, 3, 4, 0, 7, 0);
        testdb::run(db_, QStringLiteral("insert into accounts_dep.fatigue (id_nom, id_o, id_p, "
                                        "d_date, i_mnth, i_year, cnt, price) values (9001, "
                                        "7777, %1, '12.03.2001', 3, 2001, 2, 10)")
                             .arg(w));
        runReport(
            "workersButton", 0,
            [](ReportsWindow *f) {
                f->fromDateEdit->setDate(QDate(2001, 3, 1));
                f->toDateEdit->setDate(QDate(2001, 3, 31));
            },
            [&](report::PreviewWindow *w) {
                QStringList texts;
                for (const auto &page : w->report().pages())
                    texts << page.texts();
                // One worker header, a header and a footer per product, the worker's footer,
                // the report's footer. The maintenance amount stands on its nomenclature's
                // footer only and enters no total; the column without the 1.2 factor divides
                // each record before adding up.
                const QStringList bands = {
                    "Вид продукции|Операция|Цвет|Кол-во|Сумма|Сумма без Р/К", // captions
                    "Юнусов Я.Я.",                                            // worker
                    "Группа А",                                               // product
                    "Готовая продукция|Окраска-т|10|15,00",                   // entries
                    "Готовая продукция|Окраска-т| (грунт)|6|12,00",
                    "Итого по группе:|Хоз.р.:|20,00|Ср. сд.:|0,00|16|27,00|22,50", // footer
                    "Группа Б",
                    "Заготовки|Окраска-т|4|12,00",
                    "Итого по группе:|Хоз.р.:|0,00|Ср. сд.:|0,00|4|12,00|10,00",
                    "Итого по рабочему:|39,00|32,50", // worker's footer
                    "Итого:|39,00|32,50",             // report's footer
                    "Сумма без Р/К — сумма без районного коэффициента (сумма, делённая на 1,2).",
                    "Составил|Иванова Т.С.|(подпись)|Начальник цеха|Петров А.В.|(подпись)",
                    "Дата печати: " + QDate::currentDate().toString("dd.MM.yyyy"),
                    "стр. 1 из 1"};
                // The organisation, the department and the title come first.
                QCOMPARE(texts.mid(0, 2).join('|'),
                         QStringLiteral("ООО \"Весна-Металл\"|Цех металлоконструкций"));
                QCOMPARE(texts.mid(3).join('|'), bands.join('|'));
            });
        QVERIFY(msg_->shown.isEmpty());
    }

    void exportByProduct_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("emptyPeriod");
        QTest::newRow("all kinds") << 0 << false;
        QTest::newRow("blanks") << 2 << false;
        QTest::newRow("empty period: the header row alone") << 0 << true;
    }
    void exportByProduct()
    {
        QFETCH(int, kind);
        QFETCH(bool, emptyPeriod);
        SheetsFixture sheets;
        int records = -1;
        QVERIFY(whileShown<ReportsWindow>(
            [] { shiftJournalWindow->summaryReportsAction->trigger(); },
            [&](ReportsWindow *f) {
                f->kindGroup->setItemIndex(kind);
                if (emptyPeriod) { // a day with no entries
                    f->fromDateEdit->setDate(QDate(1990, 1, 1));
                    f->toDateEdit->setDate(QDate(1990, 1, 1));
                }
                f->exportButton->click();
                records = sql("select count(*) from (select 1 FROM group by i.nom, s.color, "
                              "o.naimen, v.vid, i.massa) q",
                              emptyPeriod ? 0 : kind, false)
                              .toInt();
                if (emptyPeriod)
                    records = 0;
                QCOMPARE(f->exportButton->text(), QStringLiteral("Excel (%1 из %1)").arg(records));
                QVERIFY(!f->XLS_Rep->isActive());
                f->kindGroup->setItemIndex(0);
            }));
        QCOMPARE(sheets.opened.size(), 1);
        const QJsonObject cells = sheets.readLast()["cells"].toObject();
        auto cell = [&](char column, int row) {
            return cells[QString("%1%2").arg(column).arg(row)].toObject();
        };
        QStringList header;
        for (char c = 'A'; c <= 'E'; ++c)
            header << cell(c, 1)["value"].toString();
        QCOMPARE(header,
                 (QStringList{"Наименование", "Операция", "Вид продукции", "Коробки", "Кол-во"}));
        QCOMPARE(cells.size(), 5 * (records + 1));
        if (emptyPeriod)
            return;
        // Every row against the server's own grouping, in any order within a product.
        QStringList rows;
        double mass = 0;
        for (int r = 2; r < records + 2; ++r) {
            QCOMPARE(cell('D', r)["type"].toString(), QStringLiteral("number"));
            QCOMPARE(cell('E', r)["type"].toString(), QStringLiteral("number"));
            mass += cell('D', r)["value"].toDouble();
            rows << QStringList{cell('A', r)["value"].toString(), cell('B', r)["value"].toString(),
                                cell('C', r)["value"].toString(),
                                QString::number(cell('E', r)["value"].toDouble())}
                        .join('|');
        }
        rows.sort();
        const QString expected = sql(
            "select string_agg(line, E'\\n' order by line collate \"C\") from (select "
            "trim(i.nom)||'|'||trim(v.vid)||case when s.color=1 then ' (грунт)' when s.color>1 "
            "then ' (цвет: '||s.color||')' else '' end||'|'||case when o.naimen=0 then 'Готовая "
            "продукция' else 'Заготовки' end||'|'||sum(s.kol_vo-s.brak) line FROM group by i.nom, "
            "s.color, o.naimen, v.vid, i.massa) q",
            kind, false);
        QStringList sortedC = expected.split('\n');
        std::sort(sortedC.begin(), sortedC.end());
        QCOMPARE(rows, sortedC);
        QVERIFY(rows.join('\n').contains(" (грунт)|") == (kind != 2));
        QVERIFY(rows.join('\n').contains(" (цвет: 9003)|") == (kind != 2));
        QCOMPARE(mass, sql("select sum(x) from (select i.massa*sum(s.kol_vo-s.brak) x FROM "
                           "group by i.nom, s.color, o.naimen, v.vid, i.massa) q",
                           kind, false)
                           .replace(',', '.')
                           .toDouble());
    }

    void roles_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QStringList>("disabled");
        QTest::addColumn<bool>("finishedOnly");
        const QStringList four = {"workersButton", "productsButton", "workersDetailButton",
                                  "exportButton"};
        QTest::newRow("administrator") << "0264" << QStringList() << false;
        QTest::newRow("viewer") << "vardel" << QStringList() << false;
        QTest::newRow("foreman") << "pilgrun" << four << false;
        QTest::newRow("warehouse") << "fomir" << four << true;
    }
    void roles()
    {
        QFETCH(QString, code);
        QFETCH(QStringList, disabled);
        QFETCH(bool, finishedOnly);
        // What an earlier login took away.
        for (QWidget *w : reportsWindow->findChildren<QWidget *>())
            w->setEnabled(true);
        reportsWindow->kindGroup->setItemIndex(2);
        shiftJournalWindow->hide();
        modal::when<ShiftJournalWindow>([](ShiftJournalWindow *f) { f->exitButton->click(); },
                                        3000);
        loginWindow->codeEdit->setText(code);
        loginWindow->enterButton->click();
        modal::cancelPending();
        shiftJournalWindow->show();
        QStringList off;
        for (const QString &n : kReportButtons)
            if (!reportsWindow->findChild<QPushButton *>(n)->isEnabled())
                off << n;
        QCOMPARE(off, disabled);
        QVERIFY(reportsWindow->productsDetailButton->isEnabled() &&
                reportsWindow->exitButton->isEnabled());
        QCOMPARE(reportsWindow->kindGroup->isEnabled(), !finishedOnly);
        QCOMPARE(reportsWindow->kindGroup->itemIndex(), finishedOnly ? 1 : 2);
        reportsWindow->kindGroup->setEnabled(true);
        reportsWindow->kindGroup->setItemIndex(0);
    }
};

TABEL_TEST_MAIN(ReportsTest)
#include "tst_reports.moc"
