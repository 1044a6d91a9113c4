#pragma once

#include "TestDb.h"
#include "ui/Application.h"
#include "ui/Form.h"

#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

class ScriptedMessages;

// The program's windows started as the program starts them, on a fresh copy of a
// template database; the end of the program is recorded instead of carried out.
namespace gui {

QString start(const QString &templateName = QStringLiteral("tabel_demo"));
void stop(const QString &dbName);
// How many times the program asked to end since start().
int endRequests();
void resetEndRequests();
// Puts the counting of end requests back after a test used its own handler.
void recordEnds();

// A test of the program's windows. initTestCase() calls startProgram() and lays out its own
// data before it shows the journal; the fixture hides the journal and drops the copy at the
// end, and forgets the messages shown before each test (a test's own init() calls
// Fixture::init()).
class Fixture : public QObject {
    Q_OBJECT
protected:
    QString db_;
    ScriptedMessages *msg_ = nullptr; // stands in for the message boxes
    testdb::Shop shop;                // lays out workers, operations and entries in db_

    // First column of the first row of a statement, beside the program's connection.
    QVariant sql(const QString &text) const { return testdb::scalar(db_, text); }

    void startProgram(const QString &templateName = QStringLiteral("tabel_demo"));
    // What the login with this code sets before the journal opens.
    static void loggedInAs(const QString &code);
    // Hides the journal and puts the message boxes back; the database stays.
    void closeProgram();

protected slots:
    void cleanupTestCase();
    void init();
};

} // namespace gui

// A test program with the program's own application object (Russian number format,
// database errors shown through the message service).
#define TABEL_TEST_MAIN(TestClass)                                                                 \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        ui::Application app(argc, argv);                                                           \
        app.setQuitOnLastWindowClosed(false);                                                      \
        QTemporaryDir places;                                                                      \
        ui::Form::setGeometryFile(places.filePath(QStringLiteral("windows.conf")));                \
        TestClass tc;                                                                              \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
