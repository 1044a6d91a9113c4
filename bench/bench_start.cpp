// From starting the program's process until its login window is on the screen; the floor is
// the same build showing an empty window without touching the database.
#include "Bench.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <stdexcept>

TABEL_BENCH("start to login window")
{
    const QString probe = QCoreApplication::applicationDirPath() + "/tabel_startprobe";
    run.setSize(QStringLiteral("process start"));
    const auto startUntilShown = [&](const QStringList &args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TABEL_PGPORT"), QString::number(run.port()));
        p.setProcessEnvironment(env);
        QElapsedTimer t;
        t.start();
        p.start(probe, args);
        while (!p.canReadLine() && p.waitForReadyRead(20000)) {
        }
        const double ms = t.nsecsElapsed() / 1e6;
        const QByteArray line = p.readLine().trimmed();
        p.waitForFinished(5000);
        if (line != "login")
            throw std::runtime_error("the login window did not come up: " +
                                     p.readAllStandardError().toStdString());
        return ms;
    };
    run.measureMs(
        [&] {
            return startUntilShown({run.database(), run.host()});
        },
        [&] { return startUntilShown({QStringLiteral("--bare")}); });
}
