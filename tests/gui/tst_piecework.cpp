// The monthly timesheets with earnings in their four modes, opened from the journal's menu,
// on a small shop whose December 2023 is known to the cent.
#include "Drive.h"
#include "GuiApp.h"
#include "ScriptedMessages.h"
#include "Sheets.h"
#include "TestDb.h"
#include "db/Connection.h"
#include "journal/ShiftJournalWindow.h"
#include "text/Figures.h"
#include "timesheets/PieceworkTimesheetWindow.h"
#include "ui/DBGrid.h"
#include "ui/LookupCombo.h"

#include <QAccessible>
#include <QComboBox>
#include <QJsonObject>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSqlQuery>
#include <QTableView>

using drive::click;
using drive::whileShown;

namespace {

// Alekseev (501): shift entries on 1 and 31 December worth 80.00 for 15 hours, maintenance
// by day (7 h, 800.00) and by night (3 h, 360.00), average piecework 6 h at 80.50.
// Borisov (502): average piecework 8 h at 50.00, and a timesheet day holding 0.
// Entries on 30 November and 1 January lie outside December.
const char *const kShop = R"(
insert into accounts_dep.person (id, fio) values (501, 'Алексеев А.А.'), (502, 'Борисов Б.Б.');
insert into accounts_dep.vid_oper (id, vid) values (40, 'Резка');
insert into accounts_dep.smena (w_id, data, smena, time, kol_vo, brak, cena, ok) values
  (501, '01.12.2023', 1, 8, 10, 2, 5.5, 'ok'),
  (501, '01.12.2023', 2, 3, 2, 0, 3, 'ok'),
  (501, '31.12.2023', 1, 4, 3, 0, 10, 'ok'),
  (501, '30.11.2023', 1, 20, 100, 0, 100, 'ok'),
  (501, '01.01.2024', 1, 20, 100, 0, 100, 'ok');
insert into accounts_dep.fatigue (id_o, id_p, d_date, cnt, price, i_night) values
  (7777, 501, '04.12.2023', 5, 100, 0),
  (7777, 501, '05.12.2023', 2, 150, 0),
  (7777, 501, '06.12.2023', 3, 120, 1),
  (7778, 501, '07.12.2023', 6, 80.5, 0),
  (7778, 502, '11.12.2023', 8, 50, 0),
  (7777, 501, '30.11.2023', 9, 1000, 0),
  (7777, 501, '01.01.2024', 9, 1000, 0),
  (7778, 502, '05.03.2024', 2, 10, 0);
insert into accounts_dep.h_tabel (w_id, smena, i_type, i_night, month, year, d1, d31) values
  (501, 1, 0, 0, 12, 2023, 8, 4);
insert into accounts_dep.h_tabel (w_id, smena, i_type, i_night, month, year, d1) values
  (501, 2, 0, 0, 12, 2023, 3);
insert into accounts_dep.h_tabel (w_id, i_type, i_night, month, year, d4, d5, d6, d7) values
  (501, 7777, 0, 12, 2023, 5, 2, null, null),
  (501, 7777, 1, 12, 2023, null, null, 3, null),
  (501, 7778, 0, 12, 2023, null, null, null, 6);
insert into accounts_dep.h_tabel (w_id, i_type, i_night, month, year, d11, d12) values
  (502, 7778, 0, 12, 2023, 8, 0);
)";

// January 2024 for the rebuild: stale maintenance rows to go, a shift row and February's
// maintenance row to stay, and entries of several kinds, two on one day, one of 0 hours,
// on the month's first and last days and just beyond it.
const char *const kJanuary = R"(
insert into accounts_dep.h_tabel (w_id, smena, i_type, i_night, month, year, d15) values
  (501, 0, 7777, 0, 1, 2024, 99), (502, 0, 7778, 1, 1, 2024, 98), (501, 1, 0, 0, 1, 2024, 7),
  (502, 0, 7777, 0, 2, 2024, 5);
insert into accounts_dep.fatigue (id_o, id_p, d_date, cnt, price, i_night) values
  (7777, 501, '01.01.2024', 3, 1000, 0),
  (7777, 501, '31.01.2024', 4, 100, 1),
  (40, 502, '10.01.2024', 2, 100, 0),
  (7778, 502, '10.01.2024', 0, 100, 0),
  (7778, 502, '12.01.2024', 5, 100, 0),
  (7778, 502, '01.02.2024', 5, 100, 0),
  (7777, 502, '31.12.2023', 6, 100, 0);
)";

} // namespace

class PieceworkTest : public gui::Fixture {
    Q_OBJECT

    QString tabel() { return testdb::timesheet(db_); }
    // The month's maintenance rows rebuilt one entry group and one statement at a time, as
    // the shop always did; the outcome is read and then undone.
    QString rebuiltOneByOne(int month, int year)
    {
        return testdb::rebuiltOneByOne(
            db_, month, year,
            {"smena=0",
             "select f.id_p as w_id, f.id_o as i_type, f.i_night, sum(f.cnt) as hours from "
             "accounts_dep.fatigue f where f.d_date=:date group by f.id_p, f.id_o, f.i_night",
             {"i_type", "w_id", "i_night"}});
    }
    static void choose(PieceworkTimesheetWindow *f, int month, int year)
    {
        f->yearBox->setKeyValue(year);
        f->monthBox->setCurrentIndex(month - 1);
        emit f->monthBox->activated(month - 1);
    }
    static QString cell(PieceworkTimesheetWindow *f, int row, const QString &field)
    {
        const auto &cols = f->timesheetGrid->gridModel()->columns();
        for (int c = 0; c < cols.size(); ++c)
            if (cols[c].field == field)
                return f->timesheetGrid->gridModel()->cellText(row, c);
        return QStringLiteral("no column ") + field;
    }
    // Fields of a grid row joined by "/".
    static QString line(PieceworkTimesheetWindow *f, int row, const QStringList &fields)
    {
        QStringList out;
        for (const QString &field : fields)
            out << cell(f, row, field);
        return out.join(QLatin1Char('/'));
    }
    QAction *menuItem(int mode)
    {
        switch (mode) {
        case 14:
            return shiftJournalWindow->maintenanceTimesheetAction;
        case 15:
            return shiftJournalWindow->averageRateTimesheetAction;
        case 17:
            return shiftJournalWindow->generalTimesheetAction;
        default:
            return shiftJournalWindow->pieceworkTimesheetAction;
        }
    }
    void inMode(int mode, std::function<void(PieceworkTimesheetWindow *)> act)
    {
        QVERIFY(whileShown<PieceworkTimesheetWindow>([&] { menuItem(mode)->trigger(); }, act));
    }

private slots:
    void initTestCase()
    {
        startProgram(QStringLiteral("tabel_schema"));
        testdb::run(db_, QString::fromUtf8(kShop));
        shiftJournalWindow->show();
    }

    void modes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("nameWidth");
        QTest::addColumn<bool>("night");
        QTest::addColumn<bool>("average");
        QTest::addColumn<QStringList>("rows");
        // fio/s_night/i_time/f_price/average_price/d1/d2/d4/d5/d6/d7/d11/d12/d31
        QTest::newRow("piecework, shifts added up by day")
            << 9 << "Табель сделка (27)" << 238 << false << true
            << QStringList{"Алексеев А.А.//15/80,00/5,33/11////////4"};
        QTest::newRow("maintenance, day and night on two lines")
            << 14 << "Табель хоз. работы (27)" << 208 << true << true
            << QStringList{"Алексеев А.А./дн./7/800,00/114,29///5/2/////",
                           "Алексеев А.А./ноч./3/360,00/120,00/////3////"};
        QTest::newRow("average piecework, a day of 0 shows nothing")
            << 15 << "Табель ср. сдельная (27)" << 208 << true << true
            << QStringList{"Алексеев А.А./дн./6/483,00/80,50//////6///",
                           "Борисов Б.Б./дн./8/400,00/50,00///////8//"};
        QTest::newRow("both journals together")
            << 17 << "Общий табель (27)" << 304 << false << false
            << QStringList{"Алексеев А.А.//31/1\u00A0723,00//11//5/2/3/6///4",
                           "Борисов Б.Б.//8/400,00////////8//"};
    }
    void modes()
    {
        QFETCH(int, mode);
        QFETCH(QString, caption);
        QFETCH(int, nameWidth);
        QFETCH(bool, night);
        QFETCH(bool, average);
        QFETCH(QStringList, rows);
        const QStringList fields = {"fio", "s_night", "i_time", "f_price", "average_price",
                                    "d1",  "d2",      "d4",     "d5",      "d6",
                                    "d7",  "d11",     "d12",    "d31"};
        inMode(mode, [&](PieceworkTimesheetWindow *f) {
            QCOMPARE(f->windowTitle(), caption);
            // Opened on today's month and year; the year list has the table's years and today's.
            QCOMPARE(f->monthBox->currentIndex(), QDate::currentDate().month() - 1);
            QCOMPARE(f->yearBox->keyValue().toInt(), QDate::currentDate().year());
            QStringList years, expected = {"2023", QString::number(QDate::currentDate().year())};
            for (int i = 0; i < f->yearBox->count(); ++i)
                years << f->yearBox->itemText(i);
            QCOMPARE(years, expected);

            choose(f, 12, 2023);
            QCOMPARE(f->timesheetGrid->dataset(), f->current);
            QStringList shown;
            for (int r = 0; r < f->current->recordCount(); ++r)
                shown << line(f, r, fields);
            QCOMPARE(shown, rows);
            QCOMPARE(f->timesheetGrid->isColumnHidden(1), !night);
            QCOMPARE(f->timesheetGrid->isColumnHidden(35), !average);
            // The name column is as wide as the mode has it, or narrower (never under 170)
            // where the days and the month's figures would leave the window otherwise.
            const auto namesFit = [f](int wanted) {
                const ui::DBGrid *g = f->timesheetGrid;
                const int w = g->columnWidth(0);
                return w == wanted ||
                       (w < wanted && w >= 170 && g->contentWidth() <= g->viewport()->width());
            };
            QVERIFY2(namesFit(nameWidth),
                     qPrintable(QString::number(f->timesheetGrid->columnWidth(0))));
            // No column is cut at 1366 x 768: the grid needs no sideways scrolling.
            QVERIFY(f->timesheetGrid->contentWidth() <= f->timesheetGrid->viewport()->width());

            // Month switches: each hidden day widens the name column by 20, never more.
            const struct {
                int month, year, hidden;
            } months[] = {{2, 2023, 3}, {4, 2023, 1}, {2, 2024, 2}, {2, 2023, 3}, {12, 2023, 0}};
            for (const auto &m : months) {
                choose(f, m.month, m.year);
                QVERIFY(namesFit(nameWidth + 20 * m.hidden));
                for (int d = 28; d <= 31; ++d)
                    QCOMPARE(f->timesheetGrid->isColumnHidden(d + 1), d > 31 - m.hidden);
            }
        });
        QVERIFY(!pieceworkTimesheetWindow->current->isActive() &&
                !pieceworkTimesheetWindow->q_year->isActive());
        QVERIFY(pieceworkTimesheetWindow->timesheetGrid->columnWidth(0) <= 208);
        QVERIFY(!pieceworkTimesheetWindow->timesheetGrid->isColumnHidden(1) &&
                !pieceworkTimesheetWindow->timesheetGrid->isColumnHidden(35));
    }

    void look()
    {
        inMode(9, [&](PieceworkTimesheetWindow *f) {
            choose(f, 12, 2023);
            auto *model = f->timesheetGrid->gridModel();
            // 1 December 2023 is a Friday: the 2nd and 3rd are the weekend, in red.
            const auto red = [&](int day) {
                const QVariant title =
                    model->headerData(day + 1, Qt::Horizontal, Qt::ForegroundRole);
                const QVariant cell = model->data(model->index(0, day + 1), Qt::ForegroundRole);
                return title.value<QBrush>().color() == Qt::red &&
                       cell.value<QBrush>().color() == Qt::red;
            };
            QVERIFY(!red(1) && red(2) && red(3) && !red(4) && !red(29) && red(30) && red(31));
            QCOMPARE(model->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), "1");
            QVERIFY(f->timesheetGrid->columnWidth(2) >= 20);
            for (int c = 33; c <= 35; ++c) {
                const QModelIndex at = model->index(0, c);
                // The month's pay is wider: a five-figure sum with its cents.
                const int width = c == 33 ? 84 : 66;
                QCOMPARE(model->columns()[c].width, width); // or what the title needs
                QVERIFY(f->timesheetGrid->columnWidth(c) >= width);
                QCOMPARE(model->data(at, Qt::BackgroundRole).value<QBrush>().color(),
                         QColor(0xE1, 0xE4, 0xFF));
                QVERIFY(model->data(at, Qt::FontRole).value<QFont>().bold());
            }
            QCOMPARE(model->headerData(33, Qt::Horizontal, Qt::DisplayRole).toString(),
                     "Итого (р.)");
            QCOMPARE(model->headerData(34, Qt::Horizontal, Qt::DisplayRole).toString(),
                     "Итого (ч.)");
            QCOMPARE(model->headerData(35, Qt::Horizontal, Qt::DisplayRole).toString(), "Час (р.)");
            // The name stays in place while the days scroll to the month's figures; the
            // totals row adds up the days, the hours and the pay of the rows shown.
            QCOMPARE(f->timesheetGrid->frozenColumns(), 2);
            auto *frozen = f->timesheetGrid->findChild<QTableView *>("timesheetGridFrozen");
            QVERIFY(frozen && frozen->isVisible());
            QScrollBar *sideways = f->timesheetGrid->horizontalScrollBar();
            sideways->setValue(sideways->maximum());
            QVERIFY(sideways->maximum() > 0 ||
                    f->timesheetGrid->contentWidth() <= f->timesheetGrid->width());
            QCOMPARE(frozen->geometry().left(), f->timesheetGrid->viewport()->geometry().left());
            QCOMPARE(frozen->geometry().width(), f->timesheetGrid->columnWidth(0));
            QVERIFY(!frozen->isColumnHidden(0) && frozen->isColumnHidden(2));
            QCOMPARE(f->timesheetGrid->totalText(0), "Итого");
            double pay = 0, hours = 0, day2 = 0;
            for (int r = 0; r < f->current->recordCount(); ++r) {
                pay += f->current->valueAt(r, "f_price").toDouble();
                hours += f->current->valueAt(r, "i_time").toDouble();
                day2 += f->current->valueAt(r, "d2").toDouble();
            }
            QVERIFY(pay > 0);
            QCOMPARE(f->timesheetGrid->totalText(33), figures::money(pay));
            QCOMPARE(f->timesheetGrid->totalText(34), figures::quantity(hours));
            // A day nobody worked adds up to nothing rather than 0.
            QCOMPARE(f->timesheetGrid->totalText(3),
                     day2 > 0 ? figures::quantity(day2) : QString());
            QCOMPARE(f->timesheetGrid->totalText(35), QString()); // an average adds up to nothing
            // The totals stand at the foot of the rows, in sight, and the last worker scrolls
            // up from under them.
            ui::DBGrid *grid = f->timesheetGrid;
            auto *totals = grid->findChild<QWidget *>("totalsRow");
            QVERIFY(totals && totals->isVisible());
            QCOMPARE(totals->geometry().bottom(), grid->viewport()->geometry().bottom());
            QVERIFY(totals->height() >= grid->rowHeight(0));
            const int last = f->current->recordCount() - 1;
            static_cast<QAbstractItemView *>(grid)->scrollTo(grid->model()->index(last, 0));
            QVERIFY(grid->visualRect(grid->model()->index(last, 0)).bottom() <
                    grid->viewport()->height() - grid->totalsHeight());
            QCOMPARE(frozen->geometry().bottom() + 1, totals->geometry().top());
            // A row added elsewhere shows after "Обновить".
            testdb::run(db_, "insert into accounts_dep.h_tabel (w_id, smena, month, year, d2) "
                             "values (502, 1, 12, 2023, 5)");
            QCOMPARE(f->current->recordCount(), 1);
            click(f->refreshButton);
            QCOMPARE(f->current->recordCount(), 2);
            testdb::run(db_, "delete from accounts_dep.h_tabel where w_id=502 and smena=1");
            QTest::keyClick(f, Qt::Key_Escape);
            QVERIFY(!f->isVisible());
        });
    }

    void totals_data()
    {
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("year");
        QTest::addColumn<QStringList>("shown"); // Итого, Сделка, Хоз. работы, Ср. сдел.
        QTest::newRow("December") << 12 << 2023
                                  << QStringList{"2\u00A0123,00", "80,00", "1\u00A0160,00",
                                                 "883,00"};
        QTest::newRow("only average piecework")
            << 3 << 2024 << QStringList{"20,00", "", "", "20,00"};
        QTest::newRow("nothing") << 6 << 2023 << QStringList{"", "", "", ""};
    }
    void totals()
    {
        QFETCH(int, month);
        QFETCH(int, year);
        QFETCH(QStringList, shown);
        inMode(17, [&](PieceworkTimesheetWindow *f) {
            choose(f, month, year);
            QCOMPARE((QStringList{f->grandTotal->text(), f->pieceworkTotal->text(),
                                  f->maintenanceTotal->text(), f->averageRateTotal->text()}),
                     shown);
            // Assistive tools read each figure itself, labelled by its caption (an empty
            // figure reads as its caption alone).
            const QLabel *values[] = {f->grandTotal, f->pieceworkTotal, f->maintenanceTotal,
                                      f->averageRateTotal};
            for (int i = 0; i < 4; ++i)
                if (!shown[i].isEmpty())
                    QCOMPARE(QAccessible::queryAccessibleInterface(const_cast<QLabel *>(values[i]))
                                 ->text(QAccessible::Name),
                             shown[i]);
            QCOMPARE(f->totalLabel->buddy(), f->grandTotal);
        });
    }

    void exportGrid_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("row");           // the grid's row when the export starts
        QTest::addColumn<QStringList>("cells"); // address=value, "-" for an empty cell
        QTest::newRow("piecework: no column 2") << 9 << 0 << QStringList{"A1=Декабрь 2023",
                                                                         "A3=Алексеев А.А.",
                                                                         "B3=-",
                                                                         "C3=11",
                                                                         "D3=-",
                                                                         "AG3=4",
                                                                         "AH3=15",
                                                                         "AI3=80",
                                                                         "AJ2=Час (р.)",
                                                                         "AJ3=5.33",
                                                                         "A4=-"};
        QTest::newRow("maintenance: day and night")
            << 14 << 1 << QStringList{"B3=дн.", "B4=ноч.", "F3=5",    "H4=3",
                                      "AH4=3",  "AI4=360", "AJ4=120", "A5=-"};
        QTest::newRow("all together: no column 36")
            << 17 << 1 << QStringList{"A4=Борисов Б.Б.", "B4=-",  "M4=8",  "N4=-", "AH4=8",
                                      "AI4=400",         "AJ2=-", "AJ3=-", "AJ4=-"};
    }
    void exportGrid()
    {
        QFETCH(int, mode);
        QFETCH(int, row);
        QFETCH(QStringList, cells);
        SheetsFixture sheets;
        inMode(mode, [&](PieceworkTimesheetWindow *f) {
            choose(f, 12, 2023);
            f->timesheetGrid->selectRow(row);
            click(f->exportButton);
            const int all = f->current->recordCount();
            QCOMPARE(f->exportButton->text(), QStringLiteral("Excel (%1 из %1)").arg(all));
            QCOMPARE(f->timesheetGrid->dataset(), f->current); // the grid is back where it was
            QCOMPARE(f->current->recNo(), row + 1);
            QVERIFY(f->exportButton->isEnabled() && f->rebuildButton->isEnabled());
            QTest::keyClick(f, Qt::Key_Escape);
            QCOMPARE(f->exportButton->text(), QStringLiteral("Excel"));
        });
        QVERIFY(msg_->shown.isEmpty());
        QCOMPARE(sheets.opened.size(), 1);
        const QJsonObject book = sheets.readLast();
        const QJsonObject written = book["cells"].toObject();
        for (const QString &c : cells) {
            const QString at = c.section('=', 0, 0), value = c.section('=', 1);
            if (value == "-")
                QVERIFY2(!written.contains(at), qPrintable(at));
            else
                QCOMPARE(written[at].toObject()["value"].toVariant().toString(), value);
        }
        // Titles bold, the name as text, days and money as numbers in regular type.
        const auto cellOf = [&](const char *at) { return written[at].toObject(); };
        QCOMPARE(cellOf("A2")["value"].toString(), QStringLiteral("Фамилия И.О."));
        QVERIFY(cellOf("A1")["bold"].toBool() && cellOf("C2")["bold"].toBool());
        QCOMPARE(cellOf("C2")["type"].toString(), QStringLiteral("number"));
        QCOMPARE(cellOf("AG2")["value"].toVariant().toString(), QStringLiteral("31"));
        QCOMPARE(cellOf("AH2")["value"].toString(), QStringLiteral("Итого (ч.)"));
        QCOMPARE(cellOf("AI2")["value"].toString(), QStringLiteral("Итого (р.)"));
        QCOMPARE(cellOf("A3")["format"].toString(), QStringLiteral("@"));
        QCOMPARE(cellOf("AI3")["type"].toString(), QStringLiteral("number"));
        QVERIFY(!cellOf("AI3")["bold"].toBool());
    }

    void rebuild()
    {
        testdb::run(db_, QString::fromUtf8(kJanuary));
        const QString before = tabel();
        const QString expected = rebuiltOneByOne(1, 2024);
        QCOMPARE(tabel(), before);
        QVERIFY(expected != before);
        QVERIFY(expected.contains("(501,1,0,0,1,2024,")); // the shift row stays
        inMode(14, [&](PieceworkTimesheetWindow *f) {
            choose(f, 1, 2024);
            QCOMPARE(f->current->recordCount(), 1);
            QCOMPARE(line(f, 0, {"s_night", "d1", "d15", "d31"}), "дн.//99/");
            click(f->rebuildButton);
            QVERIFY(msg_->shown.isEmpty());
            QCOMPARE(tabel(), expected);
            QVERIFY(f->progressBar->isHidden());
            QCOMPARE(f->progressBar->maximum(), 31);
            QCOMPARE(f->progressBar->value(), 31);
            // The grid is read again: the stale rows are gone, the day's entries added up.
            QCOMPARE(f->current->recordCount(), 2);
            QCOMPARE(line(f, 0, {"s_night", "d1", "d15", "d31"}), "дн./12//");
            QCOMPARE(line(f, 1, {"s_night", "d1", "d15", "d31"}), "ноч.///4");
        });
        QVERIFY(expected.contains("(502,0,7778,0,1,2024,,,,,,,,,,0,,5,")); // a day of 0 hours
        QVERIFY(expected.contains("(502,0,40,0,1,2024,")); // every kind gets its rows
    }

    void failedRebuildChangesNothing()
    {
        // Another user holds the month beyond the connection's lock timeout: the rebuild is
        // refused in a sentence and changes nothing.
        testdb::run(db_, "update accounts_dep.h_tabel set d3=1 where smena=0 and month=1");
        const QString before = tabel();
        QSqlQuery holder(testdb::side(db_));
        QVERIFY(holder.exec("select pg_advisory_lock_shared(202401, 0)"));
        db::setSessionSetting(QStringLiteral("lock_timeout"), QStringLiteral("200ms"));
        inMode(15, [&](PieceworkTimesheetWindow *f) {
            choose(f, 1, 2024);
            const int rows = f->current->recordCount();
            click(f->rebuildButton);
            QCOMPARE(msg_->texts(), QStringList{"Месяц сейчас перестраивается другим "
                                                "пользователем, повторите позже."});
            QCOMPARE(msg_->shown[0].kind, QStringLiteral("error"));
            QCOMPARE(tabel(), before);
            QVERIFY(f->progressBar->isHidden());
            QVERIFY(f->current->isActive());
            QCOMPARE(f->current->recordCount(), rows);
        });
        db::setSessionSetting(QStringLiteral("lock_timeout"), QStringLiteral("10s"));
        QVERIFY(holder.exec("select pg_advisory_unlock_shared(202401, 0)"));
    }
};

TABEL_TEST_MAIN(PieceworkTest)
#include "tst_piecework.moc"
