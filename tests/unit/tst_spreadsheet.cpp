#include "GuiApp.h"
#include "ScriptedMessages.h"
#include "Sheets.h"

#include "spreadsheet/Excel.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>

using excel::Font;
using excel::Kind;
using excel::Width;

Q_DECLARE_METATYPE(excel::Kind)

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
    void eachExportHoldsItsOwnWorkbook();
    void sheetNamedForWhatItHolds_data();
    void sheetNamedForWhatItHolds();
};

void TstSpreadsheet::sheetNamedForWhatItHolds_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("expected");
    QTest::newRow("the title") << "Табель сделка"
                               << ""
                               << "Табель сделка";
    QTest::newRow("a name of its own") << "Отчет 01.11.2026"
                                       << "По рабочим"
                                       << "По рабочим";
    QTest::newRow("characters a sheet may not have") << "Отчет 01/11/2026: [итог]?"
                                                     << ""
                                                     << "Отчет 01 11 2026 итог";
    QTest::newRow("cut to 31 characters") << "Сводный отчет по изделиям за ноябрь 2026"
                                          << ""
                                          << "Сводный отчет по изделиям за но";
    QTest::newRow("no title") << ""
                              << ""
                              << "Лист1";
}

void TstSpreadsheet::sheetNamedForWhatItHolds()
{
    QFETCH(QString, title);
    QFETCH(QString, sheet);
    QFETCH(QString, expected);
    SheetsFixture sheets;
    ScriptedMessages msgs;
    excel::Export book;
    QVERIFY(book.open(title, sheet));
    QVERIFY(book.write(1, 1, "1"));
    book.show();
    QVERIFY(msgs.shown.isEmpty());
    QCOMPARE(sheets.readLast()["title"].toString(), expected);
}

void TstSpreadsheet::cellTypes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<excel::Kind>("kind");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("format");

    const excel::Kind value = excel::Kind::Value, text = excel::Kind::Text,
                      money = excel::Kind::Money;
    const QString nb(QChar(0x00A0));
    QTest::newRow("decimal comma") << "12,5" << value << "number" << QVariant(12.5) << "General";
    QTest::newRow("mark kept as typed") << "0012" << text << "text" << QVariant("0012") << "@";
    QTest::newRow("mark as number") << "0012" << value << "number" << QVariant(12) << "General";
    QTest::newRow("negative") << "-3" << value << "number" << QVariant(-3) << "General";
    QTest::newRow("plus sign") << "+7" << value << "number" << QVariant(7) << "General";
    QTest::newRow("decimal as text") << "12,5" << text << "text" << QVariant("12,5") << "@";
    QTest::newRow("point is not the separator")
        << "1.5" << value << "text" << QVariant("1.5") << "General";
    QTest::newRow("separator alone") << "," << value << "text" << QVariant(",") << "General";
    QTest::newRow("two separators") << "1,2,3" << value << "text" << QVariant("1,2,3") << "General";
    // A spreadsheet keeps digits beyond the largest number as the text they are.
    QTest::newRow("beyond the number range")
        << QString(400, QLatin1Char('9')) << value << "text"
        << QVariant(QString(400, QLatin1Char('9'))) << "General";
    QTest::newRow("name") << "Иванов И.И." << value << "text" << QVariant("Иванов И.И.")
                          << "General";
    QTest::newRow("apostrophe") << "O'Neil" << text << "text" << QVariant("O'Neil") << "@";
    // Money as the windows show it goes in as a number that shows its cents and thousands.
    QTest::newRow("money shown grouped")
        << "918" + nb + "906,66" << money << "number" << QVariant(918906.66) << "#,##0.00";
    QTest::newRow("money whole") << "44" << money << "number" << QVariant(44) << "#,##0.00";
    QTest::newRow("grouped figure as a value")
        << "1" + nb + "254" << value << "number" << QVariant(1254) << "General";
    QTest::newRow("money that is not a number")
        << "нет" << money << "text" << QVariant("нет") << "#,##0.00";
    QTest::newRow("ordinary space is not a group")
        << "12 34" << value << "text" << QVariant("12 34") << "General";
}

void TstSpreadsheet::cellTypes()
{
    QFETCH(QString, text);
    QFETCH(excel::Kind, kind);
    QFETCH(QString, type);
    QFETCH(QVariant, value);
    QFETCH(QString, format);

    SheetsFixture sheets;
    ScriptedMessages msgs;
    excel::Export book;
    QVERIFY(book.open());
    QVERIFY(book.write(2, 3, text, {kind}));
    book.show();
    QVERIFY(msgs.shown.isEmpty());
    QCOMPARE(sheets.opened.size(), 1);
    const QJsonObject workbook = sheets.readLast();
    QCOMPARE(workbook["sheets"].toInt(), 1);
    const QJsonObject cell = workbook["cells"].toObject()["B3"].toObject();
    QCOMPARE(cell["type"].toString(), type);
    QCOMPARE(cell["value"].toVariant(), value);
    QCOMPARE(cell["format"].toString(), format);
    QCOMPARE(workbook["cells"].toObject().size(), 1);
}

void TstSpreadsheet::fontAndEmptyText()
{
    SheetsFixture sheets;
    ScriptedMessages msgs;
    const excel::Cell heading{Kind::Text, Font::Bold, Width::Fit};
    excel::Export book;
    QVERIFY(book.open());
    QVERIFY(book.write(1, 1, "Итого", heading));
    QVERIFY(book.write(1, 2, "8", {Kind::Value, Font::Regular, Width::Kept}));
    // An empty text leaves the cell as it was: no value, no format, no font, no fit.
    QVERIFY(book.write(1, 2, "", heading));
    QVERIFY(book.write(5, 5, "", heading));
    book.show();
    QVERIFY(msgs.shown.isEmpty());

    const QJsonObject workbook = sheets.readLast();
    const QJsonObject cells = workbook["cells"].toObject();
    QCOMPARE(cells.keys(), QStringList({"A1", "A2"}));
    QCOMPARE(cells["A1"].toObject()["bold"].toBool(), true);
    QCOMPARE(cells["A1"].toObject()["format"].toString(), "@");
    QCOMPARE(cells["A2"].toObject()["bold"].toBool(), false);
    QCOMPARE(cells["A2"].toObject()["value"].toInt(), 8);
    QCOMPARE(cells["A2"].toObject()["format"].toString(), "General");
    QCOMPARE(workbook["widths"].toObject().keys(), QStringList({"A"}));
}

void TstSpreadsheet::fittedWidthsFollowTheLongestText()
{
    SheetsFixture sheets;
    ScriptedMessages msgs;
    const excel::Cell fitted{Kind::Text, Font::Regular, Width::Fit};
    excel::Export book;
    QVERIFY(book.open());
    book.write(1, 1, "Ф", fitted);
    book.write(2, 1, "Фамилия", fitted);
    book.write(3, 1, "Фамилия Имя Отчество", fitted);
    book.write(3, 2, "короче", fitted);                     // a shorter text keeps the width
    book.write(4, 1, "Фамилия Имя Отчество", excel::kText); // never fitted
    book.write(5, 1, "Фамилия", {Kind::Text, Font::Bold, Width::Fit}); // bold is wider
    book.show();

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
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("caption");

    const QString badSheet = "Ошибочный номер листа Microsoft Excel";
    const QString badCell = "Ошибка Microsoft Excel";
    QTest::newRow("no workbook yet") << false << 1 << 1 << badSheet;
    QTest::newRow("row zero") << true << 1 << 0 << badCell;
    QTest::newRow("column zero") << true << 0 << 4 << badCell;
    QTest::newRow("past the last column") << true << 16385 << 1 << badCell;
    QTest::newRow("column that wraps in 16 bits") << true << 65537 << 1 << badCell;
    QTest::newRow("past the last row") << true << 1 << 1048577 << badCell;
}

void TstSpreadsheet::cellFailures()
{
    QFETCH(bool, open);
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(QString, caption);

    SheetsFixture sheets;
    ScriptedMessages msgs;
    excel::Export book;
    if (open)
        QVERIFY(book.open());
    QVERIFY(!book.write(column, row, "x", {Kind::Value, Font::Bold, Width::Fit}));
    QCOMPARE(msgs.shown.size(), 1);
    QCOMPARE(msgs.shown[0].caption, caption);
    QCOMPARE(
        msgs.shown[0].text,
        QString("Ошибка при записи: лист %1, столбец %2, строка %3").arg(1).arg(column).arg(row));
    if (!open)
        return;
    // The export goes on with the next cell.
    QVERIFY(book.write(1, 1, "дальше"));
    book.show();
    QCOMPARE(sheets.readLast()["cells"].toObject().keys(), QStringList({"A1"}));
    // A workbook handed to the user takes no more cells.
    msgs.clear();
    QVERIFY(!book.write(1, 2, "поздно"));
    QCOMPARE(msgs.shown.size(), 1);
    QCOMPARE(msgs.shown[0].caption, "Ошибка Microsoft Excel");
}

void TstSpreadsheet::noWorkbookCanBeCreated()
{
    SheetsFixture sheets;
    ScriptedMessages msgs;
    excel::Export book;
    // Showing before any workbook does nothing.
    book.show();

    QFile blocker(sheets.folder() + "/file");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    excel::setDocumentsFolder(blocker.fileName() + "/Документы");
    QVERIFY(!book.open());
    QCOMPARE(msgs.texts(), QStringList({"Невозможно открыть Microsoft Excel.",
                                        "Ошибка открытия файла Microsoft Excel."}));
    QCOMPARE(msgs.shown[0].caption, "Ошибка");
    QCOMPARE(msgs.shown[1].caption, "Ошибка");
    QVERIFY(book.isEmpty());
    book.show();
    QVERIFY(sheets.opened.isEmpty());
}

void TstSpreadsheet::filesAreNewAndReadable()
{
    SheetsFixture sheets;
    ScriptedMessages msgs;
    excel::Export book;
    for (int i = 0; i < 3; ++i) {
        QVERIFY(book.open("Операции"));
        book.write(1, 1, QString::number(i));
        book.show();
        book.show(); // once shown, the workbook is not written again
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
    QVERIFY(book.open());
    book.write(1, 1, "черновик");
    QVERIFY(book.open());
    QCOMPARE(QDir(excel::documentsFolder()).entryList(QDir::Files | QDir::Hidden).size(), 3);
}

void TstSpreadsheet::unopenableWorkbookIsReported()
{
    SheetsFixture sheets;
    ScriptedMessages msgs;
    sheets.canOpen = false;
    excel::Export book;
    QVERIFY(book.open("Отчёт: выпуск/сдача"));
    book.write(1, 1, "Марка", excel::kText);
    book.show();
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

    excel::Export book;
    QVERIFY(book.open("Выпуск"));
    book.write(1, 1, "Марка", excel::kText);
    book.show();
    // Back in the window while the opener still waits.
    QVERIFY(!QFileInfo::exists(bin.filePath("shown")));
    QVERIFY(msgs.shown.isEmpty());

    QFile go(bin.filePath("go"));
    QVERIFY(go.open(QIODevice::WriteOnly));
    go.close();
    QTRY_COMPARE_WITH_TIMEOUT(msgs.shown.size(), 1, 10000);
    QVERIFY(msgs.shown[0].text.contains("нет программы, которая может её показать"));
    QCOMPARE(msgs.shown[0].kind, QStringLiteral("information"));
    QVERIFY(QFileInfo::exists(bin.filePath("shown")));
    qputenv("PATH", path);
}

void TstSpreadsheet::eachExportHoldsItsOwnWorkbook()
{
    SheetsFixture sheets;
    ScriptedMessages msgs;
    excel::Export first, second, third;
    QVERIFY(first.open());
    QVERIFY(second.open());
    QVERIFY(third.open());
    first.write(1, 1, "первая");
    second.write(1, 1, "вторая");
    third.write(1, 1, "табель");
    second.show();
    first.show();
    third.show();
    QCOMPARE(sheets.opened.size(), 3);
    QStringList values;
    for (const QString &p : sheets.opened)
        values << SheetsFixture::read(p)["cells"].toObject()["A1"].toObject()["value"].toString();
    QCOMPARE(values, QStringList({"вторая", "первая", "табель"}));
}

TABEL_TEST_MAIN(TstSpreadsheet)
#include "tst_spreadsheet.moc"
