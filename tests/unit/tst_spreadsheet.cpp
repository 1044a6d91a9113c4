#include "GuiApp.h"
#include "ScriptedMessages.h"
#include "Sheets.h"

#include "spreadsheet/Excel.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>

class TstSpreadsheet : public QObject {
    Q_OBJECT

private slots:
    void cellTypes_data();
    void cellTypes();
    void fontAndEmptyText();
    void fittedWidthsFollowTheLongestText();
    void cellFailures_data();
    void cellFailures();
    void noWorkbookCanBeCreated();
    void filesAreNewAndReadable();
    void unopenableWorkbookIsReported();
    void desktopOpenerDoesNotHoldTheWindow();
    void pieceworkHoldsItsOwnWorkbook();
};

void TstSpreadsheet::cellTypes_data()
{
    QTest::addColumn<QString>("instance");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("textFormat");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("format");

    QTest::newRow("plain decimal comma") << "plain"
                                         << "12,5" << 0 << "number" << QVariant(12.5) << "General";
    QTest::newRow("plain mark kept as typed") << "plain"
                                              << "0012" << 1 << "text" << QVariant("0012") << "@";
    QTest::newRow("plain mark as number") << "plain"
                                          << "0012" << 0 << "number" << QVariant(12) << "General";
    QTest::newRow("negative") << "tabel"
                              << "-3" << 0 << "number" << QVariant(-3) << "General";
    QTest::newRow("plus sign") << "tabel"
                               << "+7" << 0 << "number" << QVariant(7) << "General";
    QTest::newRow("decimal with text format") << "tabel"
                                              << "12,5" << 1 << "text" << QVariant("12,5") << "@";
    QTest::newRow("point is not the separator")
        << "tabel"
        << "1.5" << 0 << "text" << QVariant("1.5") << "General";
    QTest::newRow("separator alone") << "tabel"
                                     << "," << 0 << "text" << QVariant(",") << "General";
    QTest::newRow("two separators") << "tabel"
                                    << "1,2,3" << 0 << "text" << QVariant("1,2,3") << "General";
    // A spreadsheet keeps digits beyond the largest number as the text they are.
    QTest::newRow("beyond the number range")
        << "tabel" << QString(400, QLatin1Char('9')) << 0 << "text"
        << QVariant(QString(400, QLatin1Char('9'))) << "General";
    QTest::newRow("name") << "piece"
                          << "Иванов И.И." << 0 << "text" << QVariant("Иванов И.И.") << "General";
    QTest::newRow("apostrophe") << "plain"
                                << "O'Neil" << 1 << "text" << QVariant("O'Neil") << "@";
}

void TstSpreadsheet::cellTypes()
{
    QFETCH(QString, instance);
    QFETCH(QString, text);
    QFETCH(int, textFormat);
    QFETCH(QString, type);
    QFETCH(QVariant, value);
    QFETCH(QString, format);

    SheetsFixture sheets;
    ScriptedMessages msgs;
    excel::Application app;
    if (instance == "plain") {
        QCOMPARE(excel::plain::OpenWorkbook(QString()), 1);
        QCOMPARE(excel::plain::WriteCell(1, 2, 3, text, textFormat), 1);
        excel::plain::SetVisible(true);
    } else if (instance == "tabel") {
        QCOMPARE(excel::tabel::OpenWorkbook(QString()), 1);
        excel::tabel::SetVisible(false);
        QCOMPARE(excel::tabel::WriteCell(1, 2, 3, text, textFormat, 0, 0), 1);
        excel::tabel::SetVisible(true);
    } else {
        QCOMPARE(excel::piece::OpenWorkbook(QString(), app), 1);
        QCOMPARE(excel::piece::WriteCell(1, 2, 3, text, textFormat, 0, 0, app), 1);
        excel::piece::SetVisible(true, app);
    }
    QVERIFY(msgs.shown.isEmpty());
    QCOMPARE(sheets.opened.size(), 1);
    const QJsonObject book = sheets.readLast();
    QCOMPARE(book["sheets"].toInt(), 1);
    const QJsonObject cell = book["cells"].toObject()["B3"].toObject();
    QCOMPARE(cell["type"].toString(), type);
    QCOMPARE(cell["value"].toVariant(), value);
    QCOMPARE(cell["format"].toString(), format);
    QCOMPARE(book["cells"].toObject().size(), 1);
}

void TstSpreadsheet::fontAndEmptyText()
{
    SheetsFixture sheets;
    ScriptedMessages msgs;
    QCOMPARE(excel::tabel::OpenWorkbook(QString()), 1);
    excel::tabel::SetVisible(false);
    QCOMPARE(excel::tabel::WriteCell(1, 1, 1, "Итого", 1, 1, 1), 1);
    QCOMPARE(excel::tabel::WriteCell(1, 1, 2, "8", 0, 0, 0), 1);
    // An empty text leaves the cell as it was: no value, no format, no font, no fit.
    QCOMPARE(excel::tabel::WriteCell(1, 1, 2, "", 1, 1, 1), 1);
    QCOMPARE(excel::tabel::WriteCell(1, 5, 5, "", 1, 1, 1), 1);
    excel::tabel::SetVisible(true);
    QVERIFY(msgs.shown.isEmpty());

    const QJsonObject book = sheets.readLast();
    const QJsonObject cells = book["cells"].toObject();
    QCOMPARE(cells.keys(), QStringList({"A1", "A2"}));
    QCOMPARE(cells["A1"].toObject()["bold"].toBool(), true);
    QCOMPARE(cells["A1"].toObject()["format"].toString(), "@");
    QCOMPARE(cells["A2"].toObject()["bold"].toBool(), false);
    QCOMPARE(cells["A2"].toObject()["value"].toInt(), 8);
    QCOMPARE(cells["A2"].toObject()["format"].toString(), "General");
    QCOMPARE(book["widths"].toObject().keys(), QStringList({"A"}));
}

void TstSpreadsheet::fittedWidthsFollowTheLongestText()
{
    SheetsFixture sheets;
    ScriptedMessages msgs;
    QCOMPARE(excel::tabel::OpenWorkbook(QString()), 1);
    excel::tabel::WriteCell(1, 1, 1, "Ф", 1, 1, 0);
    excel::tabel::WriteCell(1, 2, 1, "Фамилия", 1, 1, 0);
    excel::tabel::WriteCell(1, 3, 1, "Фамилия Имя Отчество", 1, 1, 0);
    excel::tabel::WriteCell(1, 3, 2, "короче", 1, 1, 0); // a shorter text keeps the width
    excel::tabel::WriteCell(1, 4, 1, "Фамилия Имя Отчество", 1, 0, 0); // never fitted
    excel::tabel::WriteCell(1, 5, 1, "Фамилия", 1, 1, 1);              // bold is wider
    excel::tabel::SetVisible(true);

    const QJsonObject w = sheets.readLast()["widths"].toObject();
    QCOMPARE(w.keys(), QStringList({"A", "B", "C", "E"}));
    QVERIFY(w["A"].toDouble() < w["B"].toDouble());
    QVERIFY(w["B"].toDouble() < w["C"].toDouble());
    QVERIFY(w["B"].toDouble() < w["E"].toDouble());
    QVERIFY(w["C"].toDouble() >= 20);
    QVERIFY(w["A"].toDouble() < 8.43); // a fit narrows a column below the default as well
}

void TstSpreadsheet::cellFailures_data()
{
    QTest::addColumn<bool>("open");
    QTest::addColumn<int>("sheet");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("caption");

    const QString badSheet = "Ошибочный номер листа Microsoft Excel";
    const QString badCell = "Ошибка Microsoft Excel";
    QTest::newRow("second sheet") << true << 2 << 1 << 1 << badSheet;
    QTest::newRow("sheet zero") << true << 0 << 1 << 1 << badSheet;
    QTest::newRow("no workbook yet") << false << 1 << 1 << 1 << badSheet;
    QTest::newRow("row zero") << true << 1 << 1 << 0 << badCell;
    QTest::newRow("column zero") << true << 1 << 0 << 4 << badCell;
    QTest::newRow("past the last column") << true << 1 << 16385 << 1 << badCell;
    QTest::newRow("column that wraps in 16 bits") << true << 1 << 65537 << 1 << badCell;
    QTest::newRow("past the last row") << true << 1 << 1 << 1048577 << badCell;
}

void TstSpreadsheet::cellFailures()
{
    QFETCH(bool, open);
    QFETCH(int, sheet);
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(QString, caption);

    SheetsFixture sheets;
    ScriptedMessages msgs;
    excel::Application app;
    if (open)
        QCOMPARE(excel::piece::OpenWorkbook(QString(), app), 1);
    QCOMPARE(excel::piece::WriteCell(sheet, column, row, "x", 0, 1, 1, app), -1);
    QCOMPARE(msgs.shown.size(), 1);
    QCOMPARE(msgs.shown[0].caption, caption);
    QCOMPARE(msgs.shown[0].text, QString("Ошибка при записи: лист %1, столбец %2, строка %3")
                                     .arg(sheet)
                                     .arg(column)
                                     .arg(row));
    if (!open)
        return;
    // The export goes on with the next cell.
    QCOMPARE(excel::piece::WriteCell(1, 1, 1, "дальше", 0, 0, 0, app), 1);
    excel::piece::SetVisible(true, app);
    QCOMPARE(sheets.readLast()["cells"].toObject().keys(), QStringList({"A1"}));
    // A workbook handed to the user takes no more cells.
    msgs.clear();
    QCOMPARE(excel::piece::WriteCell(1, 1, 2, "поздно", 0, 0, 0, app), -1);
    QCOMPARE(msgs.shown.size(), 1);
    QCOMPARE(msgs.shown[0].caption, "Ошибка Microsoft Excel");
}

void TstSpreadsheet::noWorkbookCanBeCreated()
{
    SheetsFixture sheets;
    ScriptedMessages msgs;
    excel::Application app;
    // SetVisible before any workbook does nothing.
    QCOMPARE(excel::piece::SetVisible(true, app), 1);

    QFile blocker(sheets.folder() + "/file");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    excel::setDocumentsFolder(blocker.fileName() + "/Документы");
    QCOMPARE(excel::piece::OpenWorkbook(QString(), app), -1);
    QCOMPARE(msgs.texts(), QStringList({"Невозможно открыть Microsoft Excel.",
                                        "Ошибка открытия файла Microsoft Excel."}));
    QCOMPARE(msgs.shown[0].caption, "Ошибка");
    QCOMPARE(msgs.shown[1].caption, "Ошибка");
    QVERIFY(app.isEmpty());
    QCOMPARE(excel::piece::SetVisible(true, app), 1);
    QVERIFY(sheets.opened.isEmpty());
}

void TstSpreadsheet::filesAreNewAndReadable()
{
    SheetsFixture sheets;
    ScriptedMessages msgs;
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(excel::plain::OpenWorkbook(QString(), "Операции"), 1);
        excel::plain::WriteCell(1, 1, 1, QString::number(i), 0);
        excel::plain::SetVisible(true);
        excel::plain::SetVisible(true); // once shown, the workbook is not written again
    }
    QVERIFY(msgs.shown.isEmpty());
    QCOMPARE(sheets.opened.size(), 3);
    QCOMPARE(QSet<QString>(sheets.opened.begin(), sheets.opened.end()).size(), 3);
    const QString today = QDate::currentDate().toString("yyyy-MM-dd");
    for (int i = 0; i < 3; ++i) {
        const QFileInfo file(sheets.opened[i]);
        QCOMPARE(file.absolutePath(), QFileInfo(excel::documentsFolder()).absoluteFilePath());
        QVERIFY2(file.fileName().startsWith("Операции " + today), qPrintable(file.fileName()));
        QVERIFY(file.fileName().endsWith(".xlsx"));
        QCOMPARE(SheetsFixture::read(file.filePath())["cells"]
                     .toObject()["A1"]
                     .toObject()["value"]
                     .toInt(),
                 i);
    }
    // Nothing but the three workbooks is left in the folder.
    QCOMPARE(QDir(excel::documentsFolder()).entryList(QDir::Files | QDir::Hidden).size(), 3);
    // A workbook never shown leaves nothing behind when the next one is opened.
    QCOMPARE(excel::plain::OpenWorkbook(QString()), 1);
    excel::plain::WriteCell(1, 1, 1, "черновик", 0);
    QCOMPARE(excel::plain::OpenWorkbook(QString()), 1);
    QCOMPARE(QDir(excel::documentsFolder()).entryList(QDir::Files | QDir::Hidden).size(), 3);
}

void TstSpreadsheet::unopenableWorkbookIsReported()
{
    SheetsFixture sheets;
    ScriptedMessages msgs;
    sheets.canOpen = false;
    QCOMPARE(excel::plain::OpenWorkbook(QString(), "Отчёт: выпуск/сдача"), 1);
    excel::plain::WriteCell(1, 1, 1, "Марка", 1);
    QCOMPARE(excel::plain::SetVisible(true), 1);
    QCOMPARE(sheets.opened.size(), 1);
    const QString path = sheets.opened[0];
    QVERIFY(QFileInfo::exists(path));
    QVERIFY2(QFileInfo(path).fileName().startsWith("Отчёт_ выпуск_сдача "), qPrintable(path));
    QCOMPARE(msgs.shown.size(), 1);
    QVERIFY2(msgs.shown[0].text.contains(QDir::toNativeSeparators(path)),
             qPrintable(msgs.shown[0].text));
}

// The desktop's opener runs beside the program: the export returns while the opener still
// works, and an opener that finds no program is told about when it answers.
void TstSpreadsheet::desktopOpenerDoesNotHoldTheWindow()
{
    SheetsFixture sheets;
    ScriptedMessages msgs;
    QTemporaryDir bin;
    QFile fake(bin.filePath("xdg-open"));
    QVERIFY(fake.open(QIODevice::WriteOnly));
    fake.write(QStringLiteral("#!/bin/sh\nwhile [ ! -e '%1/go' ]; do sleep 0.05; done\n"
                              "echo \"$1\" > '%1/shown'\nexit 3\n")
                   .arg(bin.path())
                   .toUtf8());
    fake.close();
    fake.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toUtf8() + ':' + path);
    excel::setOpener(nullptr);

    QCOMPARE(excel::plain::OpenWorkbook(QString(), "Выпуск"), 1);
    excel::plain::WriteCell(1, 1, 1, "Марка", 1);
    QCOMPARE(excel::plain::SetVisible(true), 1);
    // Back in the window while the opener still waits.
    QVERIFY(!QFileInfo::exists(bin.filePath("shown")));
    QVERIFY(msgs.shown.isEmpty());

    QFile go(bin.filePath("go"));
    QVERIFY(go.open(QIODevice::WriteOnly));
    go.close();
    QTRY_COMPARE_WITH_TIMEOUT(msgs.shown.size(), 1, 10000);
    QVERIFY(msgs.shown[0].text.contains("нет программы, которая может её показать"));
    QVERIFY(QFileInfo::exists(bin.filePath("shown")));
    qputenv("PATH", path);
}

void TstSpreadsheet::pieceworkHoldsItsOwnWorkbook()
{
    SheetsFixture sheets;
    ScriptedMessages msgs;
    excel::Application first, second;
    QCOMPARE(excel::piece::OpenWorkbook(QString(), first), 1);
    QCOMPARE(excel::piece::OpenWorkbook(QString(), second), 1);
    QCOMPARE(excel::tabel::OpenWorkbook(QString()), 1);
    excel::piece::WriteCell(1, 1, 1, "первая", 0, 0, 0, first);
    excel::piece::WriteCell(1, 1, 1, "вторая", 0, 0, 0, second);
    excel::tabel::WriteCell(1, 1, 1, "табель", 0, 0, 0);
    excel::piece::SetVisible(true, second);
    excel::piece::SetVisible(true, first);
    excel::tabel::SetVisible(true);
    QCOMPARE(sheets.opened.size(), 3);
    QStringList values;
    for (const QString &p : sheets.opened)
        values << SheetsFixture::read(p)["cells"].toObject()["A1"].toObject()["value"].toString();
    QCOMPARE(values, QStringList({"вторая", "первая", "табель"}));
}

TABEL_TEST_MAIN(TstSpreadsheet)
#include "tst_spreadsheet.moc"
