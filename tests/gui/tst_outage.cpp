// The program on a server of its own that is stopped and started again while a worker
// is being typed into the editor.
#include "Drive.h"
#include "GuiApp.h"
#include "ScriptedMessages.h"
#include "TestDb.h"
#include "db/Connection.h"
#include "journal/ShiftJournalWindow.h"
#include "refbooks/WorkerEditor.h"
#include "refbooks/WorkerList.h"
#include "shop/DataModule.h"

#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

using drive::click;
using drive::type;
using drive::whileShown;

class OutageTest : public gui::Fixture {
    Q_OBJECT
    QTemporaryDir work_;
    QString data_;
    QString port_;

    // Runs shell text with the cluster functions of the scripts at hand.
    void pg(const QString &script)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start("bash",
                {"-c", ". '" TABEL_SOURCE_DIR "/scripts/pg.sh' && cd '" TABEL_SOURCE_DIR "' && " +
                           script});
        QVERIFY(p.waitForFinished(180000));
        QVERIFY2(p.exitCode() == 0, p.readAll().constData());
    }
    void startServer() { pg(QString("pg_start '%1' %2").arg(data_, port_)); }
    void stopServer() { pg(QString("pg_stop '%1'").arg(data_)); }

private slots:
    void initTestCase()
    {
        QVERIFY(work_.isValid());
        QFile::setPermissions(work_.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                QFileDevice::ExeOther);
        data_ = work_.path() + "/data";
        QProcess free;
        free.start("bash", {"-c", ". '" TABEL_SOURCE_DIR "/scripts/pg.sh' && pg_free_port 28432"});
        QVERIFY(free.waitForFinished());
        port_ = QString::fromLatin1(free.readAll()).trimmed();
        pg(QString("pg_init '%1' && pg_start '%1' %2 -c fsync=off && "
                   "pg_create_sys %2 superuser '%1/sock' >/dev/null && "
                   "TABEL_TIMESHEETS='" TABEL_TIMESHEETS
                   "' pg_load_demo %2 tabel_demo app/grants.sql && "
                   "pg_create_login %2 tabel_test wexapol tabel_admin")
               .arg(data_, port_));
        qputenv("TABEL_PGPORT", port_.toLatin1());
        startProgram();
        shiftJournalWindow->show();
    }
    void cleanupTestCase()
    {
        closeProgram();
        // The whole cluster goes; its databases need no drop.
        db::closeConnection();
        pg(QString("pg_stop '%1'").arg(data_));
    }

    void workerTypedDuringOutageIsSavedAfterwards()
    {
        const QString name = "Перезапуск С.С.";
        bool edited = false;
        QVERIFY(whileShown<WorkerList>(
            [] { shiftJournalWindow->workersAction->trigger(); },
            [&](WorkerList *list) {
                QVERIFY(whileShown<WorkerEditor>(
                    [&] { click(list->addButton); },
                    [&](WorkerEditor *e) {
                        edited = true;
                        type(e->nameEdit, name);
                        stopServer();
                        click(e->saveButton);
                        QCOMPARE(msg_->shown.size(), 1);
                        QVERIFY(msg_->shown[0].text.startsWith("Нет связи с сервером"));
                        QVERIFY(!msg_->shown[0].details.isEmpty());
                        QVERIFY(e->isVisible());
                        QCOMPARE(e->nameEdit->text(), name);

                        // The version guard's ticks while the server is
                        // away show nothing.
                        shiftJournalWindow->versionTimer->setInterval(20);
                        QTest::qWait(150);
                        shiftJournalWindow->versionTimer->setInterval(30000);
                        QCOMPARE(msg_->shown.size(), 1);

                        startServer();
                        click(e->saveButton);
                        QCOMPARE(msg_->shown.size(), 1);
                        QVERIFY(!e->isVisible());
                    }));
            }));
        QVERIFY(edited);
        QCOMPARE(
            testdb::scalar(db_, "select count(*) from accounts_dep.person where fio='" + name + "'")
                .toInt(),
            1);
    }
};

TABEL_TEST_MAIN(OutageTest)
#include "tst_outage.moc"
