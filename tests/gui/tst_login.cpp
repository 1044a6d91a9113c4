// Login, access roles and the version guard, driven through the login window.
#include "Drive.h"
#include "GuiApp.h"
#include "Modal.h"
#include "ScriptedMessages.h"
#include "TestDb.h"
#include "app/LoginWindow.h"
#include "app/ProgramEnd.h"
#include "app/Startup.h"
#include "db/Connection.h"
#include "journal/ShiftEntryEditor.h"
#include "journal/ShiftJournalWindow.h"
#include "reports/ReportsWindow.h"
#include "shop/DataModule.h"
#include "ui/DBGrid.h"
#include "ui/RadioGroup.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

namespace {

const QString kNewerVersion = QStringLiteral(
    "В базе данных записана более новая версия программы. Эта копия закрывается: запустите новую "
    "версию.");

const QStringList kJournalControls = {
    "addButton",         "changeButton",  "deleteButton",   "exitButton",
    "maintenanceButton", "refreshButton", "shift1Radio",    "shift2Radio",
    "shift3Radio",       "overtimeRadio", "dayOffBox",      "entriesGrid",
    "dateEdit",          "refbooksMenu",  "timesheetsMenu", "reportsMenu"};

bool enabled(const QString &name)
{
    if (auto *menu = shiftJournalWindow->findChild<QMenu *>(name))
        return menu->menuAction()->isEnabled();
    return shiftJournalWindow->findChild<QWidget *>(name)->isEnabled();
}

// A message box that stays up until something ends the loop it runs.
class BlockingMessages : public ui::MessageService {
public:
    QEventLoop loop;
    bool open = false;
    void error(const QString &, const QString &, const QString &) override
    {
        open = true;
        loop.exec();
        open = false;
    }
    bool question(const QString &, const QString &) override { return false; }
    void information(const QString &, const QString &) override {}
};

} // namespace

class LoginTest : public gui::Fixture {
    Q_OBJECT

    void resetJournal()
    {
        for (const QString &n : kJournalControls) {
            if (auto *menu = shiftJournalWindow->findChild<QMenu *>(n))
                menu->menuAction()->setEnabled(true);
            else
                shiftJournalWindow->findChild<QWidget *>(n)->setEnabled(true);
        }
    }
    void setVersion(const QString &d, const QString &t, const QString &delim = "'.'")
    {
        testdb::run(db_, "delete from accounts_dep.ver");
        if (!d.isEmpty())
            testdb::run(db_, QStringLiteral(
                                 "insert into accounts_dep.ver (d, t, delim) values (%1, %2, %3)")
                                 .arg(d, t, delim));
    }
    QString version()
    {
        return testdb::scalar(db_,
                              "select coalesce(d,-1)||'.'||coalesce(t,-1) from accounts_dep.ver")
            .toString();
    }
    // Logs in with a code; returns the names of the journal controls enabled while it shows.
    QStringList loginAndLook(const QString &code, bool *opened = nullptr)
    {
        QStringList on;
        bool shown = false;
        modal::when<ShiftJournalWindow>(
            [&](ShiftJournalWindow *f) {
                shown = true;
                for (const QString &n : kJournalControls)
                    if (enabled(n))
                        on << n;
                f->exitButton->click();
            },
            1500);
        loginWindow->codeEdit->setText(code);
        loginWindow->enterButton->click();
        modal::cancelPending();
        if (opened)
            *opened = shown;
        return on;
    }

private slots:
    void initTestCase()
    {
        startProgram();
        shiftJournalWindow->buildDate = 20261201;
        shiftJournalWindow->buildTime = 3600;
    }
    void init()
    {
        Fixture::init();
        gui::resetEndRequests();
        loginWindow->endTimer->stop();
        setVersion("0", "0");
    }

    void loginWindowShape()
    {
        QCOMPARE(loginWindow->codeEdit->echoMode(), QLineEdit::Password);
        // The code shows as asterisks.
        loginWindow->codeEdit->clear();
        QTest::keyClicks(loginWindow->codeEdit, "0264");
        QCOMPARE(loginWindow->codeEdit->displayText(), QStringLiteral("****"));
        loginWindow->codeEdit->clear();
        QVERIFY(loginWindow->enterButton->isDefault());
        QCOMPARE(loginWindow->enterButton->text(), QStringLiteral("Вход"));
        QCOMPARE(loginWindow->cancelButton->text(), QStringLiteral("Отмена"));
        QCOMPARE(loginWindow->endTimer->interval(), 5000);
        QVERIFY(!loginWindow->endTimer->isActive());
        loginWindow->FormActivate();
        QCOMPARE(loginWindow->windowTitle(), QStringLiteral("Авторизация (build: 20261201.3600)"));
        QCOMPARE(dataModule->ServerDelim, QStringLiteral("."));
    }

    void rolesDisableJournalControls_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QStringList>("disabled");
        const QStringList none;
        const QStringList viewer = {
            "addButton",   "changeButton", "deleteButton",  "refreshButton", "shift1Radio",
            "shift2Radio", "shift3Radio",  "overtimeRadio", "dayOffBox",     "entriesGrid",
            "dateEdit",    "refbooksMenu", "timesheetsMenu"};
        QTest::newRow("administrator") << "61370482" << none;
        QTest::newRow("administrator, spaces") << "  0264  " << none;
        QTest::newRow("viewer") << "vardel" << viewer;
        QTest::newRow("foreman") << " pilgrun"
                                 << QStringList{"changeButton", "deleteButton", "refbooksMenu",
                                                "timesheetsMenu"};
        QTest::newRow("warehouse") << "fomir"
                                   << QStringList{"addButton", "changeButton", "deleteButton",
                                                  "refbooksMenu", "timesheetsMenu"};
    }
    void rolesDisableJournalControls()
    {
        QFETCH(QString, code);
        QFETCH(QStringList, disabled);
        resetJournal();
        shiftJournalWindow->shift3Radio->setChecked(true);
        bool opened = false;
        const QStringList on = loginAndLook(code, &opened);
        QVERIFY(opened);
        QVERIFY(msg_->shown.isEmpty());
        QStringList expected;
        for (const QString &n : kJournalControls)
            if (!disabled.contains(n))
                expected << n;
        QCOMPARE(on, expected);
        QCOMPARE(shiftJournalWindow->accessRole, code.trimmed());
        QCOMPARE(shiftJournalWindow->shift, 1);
        for (auto *q : dataModule->journals())
            QCOMPARE(q->param("ok").toString(), QStringLiteral("ta"));
        // Closing the journal closes the login window, which ends the program.
        QCOMPARE(gui::endRequests(), 1);
        QVERIFY(!loginWindow->isVisible());
    }

    // The summary reports window keeps what a role takes from it.
    void rolesRestrictTheReportsWindow_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QStringList>("enabled");
        QTest::addColumn<bool>("finishedOnly");
        const QStringList all = {"workersDetailButton", "productsButton", "productsDetailButton",
                                 "workersButton",       "exitButton",     "exportButton"};
        QTest::newRow("administrator") << "0264" << all << false;
        QTest::newRow("viewer") << "vardel" << all << false;
        QTest::newRow("foreman") << "pilgrun" << QStringList{"productsDetailButton", "exitButton"}
                                 << false;
        QTest::newRow("warehouse")
            << "fomir" << QStringList{"productsDetailButton", "exitButton"} << true;
    }
    void rolesRestrictTheReportsWindow()
    {
        QFETCH(QString, code);
        QFETCH(QStringList, enabled);
        QFETCH(bool, finishedOnly);
        QPushButton *const buttons[] = {
            reportsWindow->workersDetailButton,  reportsWindow->productsButton,
            reportsWindow->productsDetailButton, reportsWindow->workersButton,
            reportsWindow->exitButton,           reportsWindow->exportButton};
        for (QPushButton *b : buttons)
            b->setEnabled(true);
        reportsWindow->kindGroup->setEnabled(true);
        reportsWindow->kindGroup->setItemIndex(0);
        bool opened = false;
        loginAndLook(code, &opened);
        QVERIFY(opened);
        QStringList on;
        for (QPushButton *b : buttons)
            if (b->isEnabled())
                on << b->objectName();
        QCOMPARE(on, enabled);
        QCOMPARE(reportsWindow->kindGroup->isEnabled(), !finishedOnly);
        QCOMPARE(reportsWindow->kindGroup->itemIndex(), finishedOnly ? 1 : 0);
        resetJournal();
    }

    void refusedCodesThenValidOne()
    {
        resetJournal();
        for (const char *code : {"Vardel", "PILGRUN", "12345", ""}) {
            msg_->clear();
            bool opened = true;
            loginAndLook(code, &opened);
            QVERIFY2(!opened, qPrintable(code));
            QCOMPARE(msg_->texts(), QStringList{"Введены неверные данные."});
            QCOMPARE(msg_->shown[0].caption, QStringLiteral("Ошибка"));
            QVERIFY(!enabled("timesheetsMenu"));
            QCOMPARE(gui::endRequests(), 0);
        }
        msg_->clear();
        bool opened = false;
        const QStringList on = loginAndLook("0264", &opened);
        QVERIFY(opened);
        QVERIFY(on.contains("timesheetsMenu"));
        QVERIFY(msg_->shown.isEmpty());
    }

    // The server holds the rights, so a code works only for a login that holds its role's:
    // a foreman's login gets the foreman's code and the viewer's (a foreman may do what a
    // viewer does), not the administrator's nor the warehouse's; a superuser gets every code.
    void codeOfARoleTheLoginDoesNotHold_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("refusal");
        const QString foreman = QStringLiteral("login_foreman_") + db_.right(8);
        QTest::newRow("foreman: administrator's code")
            << foreman << "0264"
            << "Код доступа роли «Администратор» не действует для пользователя базы данных «" +
                   foreman +
                   "»: он не входит в группу tabel_admin. Обратитесь к администратору "
                   "базы данных.";
        QTest::newRow("foreman: warehouse's code")
            << foreman << "fomir"
            << "Код доступа роли «Склад» не действует для пользователя базы данных «" + foreman +
                   "»: он не входит в группу tabel_warehouse. Обратитесь к администратору базы "
                   "данных.";
        QTest::newRow("foreman: own code") << foreman << "pilgrun" << QString();
        QTest::newRow("foreman: viewer's code") << foreman << "vardel" << QString();
        QTest::newRow("superuser: administrator's code") << "sys"
                                                         << "0264" << QString();
    }
    void codeOfARoleTheLoginDoesNotHold()
    {
        QFETCH(QString, user);
        QFETCH(QString, code);
        QFETCH(QString, refusal);
        if (user != QLatin1String("sys"))
            testdb::run(db_, QStringLiteral("do $$ begin if not exists (select 1 from pg_roles "
                                            "where rolname='%1') then create role %1 login; "
                                            "grant tabel_foreman to %1; end if; end $$")
                                 .arg(user));
        db::openConnection({db_, testdb::host(), testdb::port(), user, QString()});
        resetJournal();
        bool opened = false;
        loginAndLook(code, &opened);
        db::openConnection({db_, testdb::host(), testdb::port(), "tabel_test", "wexapol"});
        QCOMPARE(opened, refusal.isEmpty());
        QCOMPARE(msg_->texts(), refusal.isEmpty() ? QStringList() : QStringList{refusal});
        if (user != QLatin1String("sys"))
            testdb::run(QStringLiteral("postgres"), QStringLiteral("drop role %1").arg(user));
    }

    void versionGuard_data()
    {
        QTest::addColumn<QString>("d");
        QTest::addColumn<QString>("t");
        QTest::addColumn<QString>("after");
        QTest::addColumn<bool>("refused");
        QTest::newRow("empty table: first row") << ""
                                                << ""
                                                << "20261201.3600" << false;
        QTest::newRow("nulls count as 0") << "null"
                                          << "null"
                                          << "20261201.3600" << false;
        QTest::newRow("older day") << "20261130"
                                   << "86000"
                                   << "20261201.3600" << false;
        QTest::newRow("older time") << "20261201"
                                    << "3599"
                                    << "20261201.3600" << false;
        QTest::newRow("same build") << "20261201"
                                    << "3600"
                                    << "20261201.3600" << false;
        QTest::newRow("newer time") << "20261201"
                                    << "3601"
                                    << "20261201.3601" << true;
        QTest::newRow("newer day") << "20261202"
                                   << "0"
                                   << "20261202.0" << true;
    }
    void versionGuard()
    {
        QFETCH(QString, d);
        QFETCH(QString, t);
        QFETCH(QString, after);
        QFETCH(bool, refused);
        setVersion(d, t);
        loginWindow->CheckVersion();
        QCOMPARE(version(), after);
        QCOMPARE(testdb::scalar(db_, "select count(*) from accounts_dep.ver").toInt(), 1);
        QCOMPARE(dataModule->ServerDelim, d.isEmpty() ? QString() : QStringLiteral("."));
        QCOMPARE(loginWindow->endTimer->isActive(), refused);
        QCOMPARE(gui::endRequests(), refused ? 1 : 0);
        if (refused) {
            QCOMPARE(msg_->texts(), QStringList{kNewerVersion});
            QCOMPARE(msg_->shown[0].caption, QStringLiteral("Версия программы"));
        } else {
            QVERIFY(msg_->shown.isEmpty());
        }
    }

    void refusedBuildEndsWithinFiveSecondsWhileMessageIsUp()
    {
        BlockingMessages box;
        ui::installMessages(&box);
        QElapsedTimer clock;
        qint64 endedAt = -1;
        bool boxWasOpen = false;
        setEndProgramHandler([&] {
            if (endedAt < 0) {
                endedAt = clock.elapsed();
                boxWasOpen = box.open;
            }
            box.loop.quit(); // the program ending takes the box with it
        });
        setVersion("20991231", "0");
        clock.start();
        loginWindow->CheckVersion();
        ui::installMessages(msg_);
        gui::recordEnds();
        QVERIFY(boxWasOpen);
        QVERIFY2(endedAt >= 4500 && endedAt < 6500, qPrintable(QString::number(endedAt)));
    }

    void journalTimerRunsTheGuard()
    {
        int ends = 0;
        setEndProgramHandler([&] { ++ends; });
        resetJournal();
        bool stamped = false;
        modal::when<ShiftJournalWindow>([&](ShiftJournalWindow *f) {
            f->versionTimer->setInterval(50);
            setVersion("20991231", "0"); // a newer build has run meanwhile
            QTimer::singleShot(400, f, [&, f] {
                stamped = msg_->texts().contains(kNewerVersion);
                f->versionTimer->setInterval(30000);
                f->exitButton->click();
            });
        });
        loginWindow->codeEdit->setText("0264");
        loginWindow->enterButton->click();
        QVERIFY(stamped);
        QVERIFY(ends >= 1);
        gui::recordEnds();
    }

    void wholeRoadFromStartUp()
    {
        int ends = 0;
        setEndProgramHandler([&] { ++ends; });
        resetJournal();
        shiftJournalWindow->dateEdit->setDate(QDate(2020, 1, 1));
        QDate shownDate;
        int shownShift = 0;
        bool gridFilled = false;
        modal::when<ShiftJournalWindow>([&](ShiftJournalWindow *f) {
            shownDate = f->dateEdit->date();
            shownShift = f->shift;
            gridFilled = f->entriesGrid->dataset() == dataModule->Smena1 &&
                         dataModule->Smena1->recordCount() > 0;
            msg_->answer({true});
            QTest::keyClick(f, Qt::Key_Escape); // asks, then leaves
        });
        loginWindow->show(); // start-up shows the login window
        QCOMPARE(loginWindow->windowTitle(), QStringLiteral("Авторизация (build: 20261201.3600)"));
        loginWindow->codeEdit->clear();
        QTest::keyClicks(loginWindow->codeEdit, "0264");
        QTest::keyClick(loginWindow->codeEdit, Qt::Key_Return);
        QCOMPARE(shownDate, QDate::currentDate());
        QCOMPARE(shownShift, 1);
        QVERIFY(gridFilled);
        QCOMPARE(ends, 1);
        QCOMPARE(msg_->texts(), QStringList{"Выйти из программы?"});
        QVERIFY(!loginWindow->isVisible());
        gui::recordEnds();
    }

    // Esc and the close button of the journal ask before the program ends; "Нет" keeps it.
    void leavingAsksFirst_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("Esc") << true;
        QTest::newRow("close button") << false;
    }
    void leavingAsksFirst()
    {
        QFETCH(bool, byKey);
        resetJournal();
        bool stayed = false;
        int asked = 0;
        modal::when<ShiftJournalWindow>([&](ShiftJournalWindow *f) {
            auto leave = [&] {
                if (byKey)
                    QTest::keyClick(f, Qt::Key_Escape);
                else
                    f->close();
            };
            msg_->answer({false, true});
            leave();
            stayed = f->isVisible();
            leave();
            asked = int(msg_->shown.size());
            if (f->isVisible())
                f->exitButton->click();
        });
        loginWindow->codeEdit->setText("0264");
        loginWindow->enterButton->click();
        QVERIFY(stayed);
        QCOMPARE(asked, 2);
        QCOMPARE(msg_->texts(), (QStringList{"Выйти из программы?", "Выйти из программы?"}));
        QCOMPARE(gui::endRequests(), 1);
    }

    // A newer version found while an editor holds typed work: the user is asked; "Нет" keeps
    // the editor with what he typed and the copy ends once the editor is closed, "Да" ends it
    // at once.
    void newerVersionWaitsForTypedWork_data()
    {
        QTest::addColumn<bool>("endNow");
        QTest::newRow("save or cancel first") << false;
        QTest::newRow("end now") << true;
    }
    void newerVersionWaitsForTypedWork()
    {
        QFETCH(bool, endNow);
        shiftEntryEditor->presetAdd({QDate(2020, 3, 2), 1, false});
        int endsWhileOpen = -1;
        QString typed;
        modal::when<ShiftEntryEditor>([&](ShiftEntryEditor *f) {
            QTest::keyClicks(f->quantityEdit, "12");
            setVersion("20991231", "0");
            msg_->answer({endNow});
            loginWindow->CheckVersion();
            if (!endNow)
                loginWindow->CheckVersion(); // the next check asks nothing again
            endsWhileOpen = gui::endRequests();
            typed = f->quantityEdit->text();
            if (f->isVisible())
                drive::click(f->cancelButton);
        });
        shiftJournalWindow->showChild(shiftEntryEditor);
        QTest::qWait(50);
        QCOMPARE(msg_->shown.size(), 1);
        QCOMPARE(msg_->shown[0].kind, QStringLiteral("question"));
        QVERIFY(msg_->shown[0].text.contains("несохранённые данные"));
        QCOMPARE(endsWhileOpen, endNow ? 1 : 0);
        QCOMPARE(typed, QStringLiteral("12"));
        QCOMPARE(gui::endRequests(), 1);
        QVERIFY(!loginWindow->endTimer->isActive());
    }

    void cancelEndsTheProgram_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("Отмена") << false;
        QTest::newRow("Esc") << true;
    }
    void cancelEndsTheProgram()
    {
        QFETCH(bool, byKey);
        loginWindow->show();
        QVERIFY(QTest::qWaitForWindowExposed(loginWindow));
        if (byKey)
            QTest::keyClick(loginWindow, Qt::Key_Escape);
        else
            drive::click(loginWindow->cancelButton);
        QVERIFY(!loginWindow->isVisible());
        QCOMPARE(gui::endRequests(), 1);
        QVERIFY(msg_->shown.isEmpty());
    }

    // Settings that cannot be used (in the user's file, found through XDG_CONFIG_HOME) are said
    // with the file, the key and the value, and no connection is made in their place.
    void badSettingsAreSaidAndNothingConnects()
    {
        QTemporaryDir config;
        QVERIFY(QDir().mkpath(config.filePath("tabel")));
        QFile file(config.filePath("tabel/tabel.conf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("[database]\nhost=%1\nport=abc\n").arg(testdb::host()).toUtf8());
        file.close();
        const QByteArray before = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        msg_->clear();
        const bool connected = createForms({});
        qputenv("XDG_CONFIG_HOME", before);
        QVERIFY(!connected);
        QCOMPARE(msg_->shown.size(), 1);
        const QString said = msg_->shown[0].text;
        for (const QString &part :
             {file.fileName(), QStringLiteral("ключ port"), QStringLiteral("«abc»")})
            QVERIFY2(said.contains(part), qPrintable(said));
    }

    void noConnectionSaysSoAndEnds()
    {
        msg_->clear();
        DataModule::setPortOverride(1);
        QVERIFY(!createForms({db_, testdb::host()}));
        // Why, in a Russian sentence; the server's own words under the details.
        QCOMPARE(msg_->texts(),
                 QStringList{"Нет подключения к базе данных.\nСервер не отвечает по этому "
                             "адресу и порту: он не запущен или недоступен."});
        QCOMPARE(msg_->shown[0].caption, QStringLiteral("Ошибка!"));
        QVERIFY2(msg_->shown[0].details.contains("Сообщение сервера: "),
                 qPrintable(msg_->shown[0].details));
    }
};

TABEL_TEST_MAIN(LoginTest)
#include "tst_login.moc"
