// Where the program finds its server: the command line, the user's and the system's settings
// files, the PG* environment, the built-in values, in that order; and a real server reached
// through a settings file.
#include "GuiApp.h"
#include "TestDb.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Settings.h"
#include "db/SqlError.h"
#include "shop/DataModule.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>

namespace {

// Written for its owner alone, as a file holding a password must be.
void write(const QString &path, const QString &text)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text.toUtf8());
    QVERIFY(f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
}

QString shown(const db::ConnectionParams &p)
{
    return QStringLiteral("%1:%2/%3 %4:%5")
        .arg(p.host)
        .arg(p.port)
        .arg(p.database, p.user, p.password);
}

} // namespace

class SettingsTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString db_;

    db::SettingsSources sources(const QString &user, const QString &system, const QStringList &env)
    {
        // New names each time: settings files are read once per name and process.
        static int n = 0;
        ++n;
        db::SettingsSources s{dir_.filePath(QString("user%1.conf").arg(n)),
                              dir_.filePath(QString("system%1.conf").arg(n)),
                              {}};
        if (!user.isNull())
            write(s.userFile, "[database]\n" + user);
        if (!system.isNull())
            write(s.systemFile, "[database]\n" + system);
        for (const QString &kv : env)
            s.environment.insert(kv.section('=', 0, 0), kv.section('=', 1));
        return s;
    }

private slots:
    void cleanupTestCase()
    {
        db::closeConnection();
        if (!db_.isEmpty())
            testdb::drop(db_);
    }

    void precedence_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("user");   // the user's file below [database]; null: none
        QTest::addColumn<QString>("system"); // the system's file
        QTest::addColumn<QStringList>("env");
        QTest::addColumn<QString>("expected"); // host:port/database user:password
        const QString none;
        // The program holds no password: the built-in user gets his from the password file.
        QTest::newRow("built-in") << QStringList{} << none << none << QStringList{}
                                  << "localhost:5432/vesk_erp sys:";
        QTest::newRow("environment over built-in")
            << QStringList{} << none << none
            << QStringList{"PGHOST=db.local", "PGPORT=6543", "PGDATABASE=erp", "PGUSER=clerk",
                           "PGPASSWORD=p1"}
            << "db.local:6543/erp clerk:p1";
        QTest::newRow("system file over environment")
            << QStringList{} << none << "host=sys.local\nport=7000\nuser=acc\npassword=p2\n"
            << QStringList{"PGHOST=db.local", "PGPORT=6543", "PGDATABASE=erp"}
            << "sys.local:7000/erp acc:p2";
        QTest::newRow("user file over system file, key by key")
            << QStringList{} << "host=my.local\n"
            << "host=sys.local\nname=shop\nuser=acc\npassword=p2\n"
            << QStringList{} << "my.local:5432/shop acc:p2";
        QTest::newRow("command line over everything")
            << QStringList{"cli_db", "cli.local"} << "host=my.local\nname=mine\n"
            << none << QStringList{"PGHOST=db.local"} << "cli.local:5432/cli_db sys:";
        QTest::newRow("a database without a server names nothing")
            << QStringList{"cli_db"} << none << none << QStringList{}
            << "localhost:5432/vesk_erp sys:";
        QTest::newRow("a user without a password: the password file's turn")
            << QStringList{} << "user=clerk\n"
            << none << QStringList{} << "localhost:5432/vesk_erp clerk:";
        QTest::newRow("a bad port below a good one is not read")
            << QStringList{} << "port=6000\n"
            << "port=http\n"
            << QStringList{"PGPORT=70000"} << "localhost:6000/vesk_erp sys:";
    }
    void precedence()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, user);
        QFETCH(QString, system);
        QFETCH(QStringList, env);
        QFETCH(QString, expected);
        QCOMPARE(shown(DataModule::settingsFor(args, sources(user, system, env))), expected);
    }

    // Settings that cannot be used are refused with a sentence that names the file (or the
    // variable), the key and the value; no connection is made in their place.
    void unusableSettingsAreSaid_data()
    {
        QTest::addColumn<QString>("user"); // the whole user's file; null: none
        QTest::addColumn<QStringList>("env");
        QTest::addColumn<QStringList>("said"); // "<file>" stands for the user's file
        QTest::newRow("a port that is no number")
            << "[database]\nport=abc\n"
            << QStringList{} << QStringList{"<file>", "ключ port", "«abc»", "от 1 до 65535"};
        QTest::newRow("a port out of range in the environment")
            << QString() << QStringList{"PGPORT=70000"}
            << QStringList{"переменная окружения PGPORT", "«70000»"};
        QTest::newRow("a file over a good environment")
            << "[database]\nport=5432x\n"
            << QStringList{"PGPORT=5432"} << QStringList{"<file>", "ключ port", "«5432x»"};
        QTest::newRow("a garbled file")
            << "[database]\nhost 127.0.0.1\nport=5432\n"
            << QStringList{} << QStringList{"<file>", "испорчен", "строка 2"};
        QTest::newRow("a file that cannot be read")
            << "<folder>" << QStringList{} << QStringList{"<file>", "не удалось прочитать"};
    }
    void unusableSettingsAreSaid()
    {
        QFETCH(QString, user);
        QFETCH(QStringList, env);
        QFETCH(QStringList, said);
        db::SettingsSources s = sources(QString(), QString(), env);
        // Root reads every file whatever its mode: a folder in the file's place stands for
        // a file that cannot be read.
        if (user == QLatin1String("<folder>"))
            QVERIFY(QDir().mkpath(s.userFile));
        else if (!user.isNull())
            write(s.userFile, user);
        try {
            const db::ConnectionParams p = DataModule::settingsFor({}, s);
            QFAIL(qPrintable("taken: " + shown(p)));
        } catch (const db::SettingsError &e) {
            for (QString part : said)
                QVERIFY2(e.text().contains(part.replace("<file>", s.userFile)),
                         qPrintable(e.text()));
        }
    }

    // The user's file lives under XDG_CONFIG_HOME when that names a folder.
    void userFileFollowsTheDesktop()
    {
        const QByteArray before = qgetenv("XDG_CONFIG_HOME");
        const auto restore = qScopeGuard([&] { qputenv("XDG_CONFIG_HOME", before); });
        qputenv("XDG_CONFIG_HOME", dir_.filePath("xdg").toUtf8());
        QCOMPARE(db::defaultSources().userFile, dir_.filePath("xdg/tabel/tabel.conf"));
        qunsetenv("XDG_CONFIG_HOME");
        QCOMPARE(db::defaultSources().userFile, QDir::homePath() + "/.config/tabel/tabel.conf");
    }

    // A password in a settings file that group or others may read is not used, and the
    // warning names the file.
    void passwordInAFileOthersMayRead_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("warned");
        QTest::newRow("owner only") << 0600 << "localhost:5432/vesk_erp acc:p2" << false;
        QTest::newRow("group may read") << 0640 << "localhost:5432/vesk_erp acc:" << true;
        QTest::newRow("everybody may read") << 0644 << "localhost:5432/vesk_erp acc:" << true;
        QTest::newRow("group may write") << 0620 << "localhost:5432/vesk_erp acc:" << true;
    }
    void passwordInAFileOthersMayRead()
    {
        QFETCH(int, mode);
        QFETCH(QString, expected);
        QFETCH(bool, warned);
        db::SettingsSources s = sources("user=acc\npassword=p2\n", none(), {});
        QFile::Permissions p;
        const QFileDevice::Permission bits[] = {
            QFileDevice::ReadOwner, QFileDevice::WriteOwner, QFileDevice::ExeOwner,
            QFileDevice::ReadGroup, QFileDevice::WriteGroup, QFileDevice::ExeGroup,
            QFileDevice::ReadOther, QFileDevice::WriteOther, QFileDevice::ExeOther};
        for (int i = 0; i < 9; ++i)
            if (mode & (0400 >> i))
                p |= bits[i];
        QVERIFY(QFile::setPermissions(s.userFile, p));
        QCOMPARE(shown(DataModule::settingsFor({}, s)), expected);
        const QStringList warnings = db::settingsWarnings(s);
        QCOMPARE(warnings.size(), warned ? 1 : 0);
        if (warned)
            QVERIFY2(warnings[0].contains(s.userFile) && warnings[0].contains("не используется"),
                     qPrintable(warnings[0]));
    }

    // A real server, its host, port, user and password given by the user's file alone; a
    // wrong user there is not rescued by the right one in the system's file.
    void realServerThroughTheFile()
    {
        db_ = testdb::create();
        const QString right = QStringLiteral("host=%1\nport=%2\nname=%3\n")
                                  .arg(testdb::host())
                                  .arg(testdb::port())
                                  .arg(db_);
        db::openConnection(DataModule::settingsFor(
            {}, sources(right + "user=sys\npassword=wexapol\n", none(), {"PGUSER=nosuch"})));
        db::Dataset ver;
        ver.setSql("select count(*) as n from accounts_dep.ver");
        ver.open();
        QCOMPARE(ver.asInteger("n"), 1);
        ver.close();
        db::closeConnection();
        try {
            db::openConnection(DataModule::settingsFor(
                {}, sources(right + "user=nosuch\n", "user=sys\npassword=wexapol\n", {})));
            QFAIL("the user's file must win");
        } catch (const db::SqlError &e) {
            QVERIFY2(e.text().contains("nosuch"), qPrintable(e.text()));
        }
    }

private:
    static QString none() { return QString(); }
};

TABEL_TEST_MAIN(SettingsTest)
#include "tst_settings.moc"
