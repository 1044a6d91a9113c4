#pragma once

#include "ui/Application.h"

#include <QString>
#include <QTest>

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

} // namespace gui

// A test program with the program's own application object (Russian number format,
// database errors shown through the message service).
#define TABEL_TEST_MAIN(TestClass)                                                                 \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        ui::Application app(argc, argv);                                                           \
        app.setQuitOnLastWindowClosed(false);                                                      \
        TestClass tc;                                                                              \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
