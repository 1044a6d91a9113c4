#include "app/LoginWindow.h"
#include "app/Startup.h"
#include "db/Dataset.h"
#include "db/Settings.h"
#include "db/SqlError.h"
#include "shop/DataModule.h"
#include "ui/Application.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <iterator>

namespace {

void say(FILE *to, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fputc('\n', to);
}

const char *const kHelp =
    "Использование: tabel [база [сервер]] [--check-connection] [--version] [--help]\n"
    "\n"
    "Учёт сдельной работы цеха: журналы смен, хоз. работ и среднесдельной, табели, отчёты.\n"
    "\n"
    "  база сервер          база данных и сервер PostgreSQL (оба, или ни одного)\n"
    "  --check-connection   проверить подключение к базе и выйти\n"
    "  --version            показать версию и выйти\n"
    "  --help               показать эту справку и выйти\n"
    "\n"
    "Настройки подключения (по убыванию старшинства): командная строка,\n"
    "~/.config/tabel/tabel.conf, /etc/tabel/tabel.conf, переменные окружения PGHOST,\n"
    "PGPORT, PGDATABASE, PGUSER, PGPASSWORD, встроенные значения. Файлы настроек: формат INI,\n"
    "раздел [database], ключи host, port, name, user, password. Без пароля используется файл\n"
    "паролей сервера (~/.pgpass или PGPASSFILE). Пароль из файла настроек, доступного\n"
    "на чтение группе или всем, не используется.";

// Connects as the program would, runs the version guard's query and tells the outcome.
int checkConnection(const QStringList &args)
{
    const db::SettingsSources sources = db::defaultSources();
    db::ConnectionParams params;
    try {
        params = DataModule::settingsFor(args, sources);
    } catch (const db::SettingsError &e) {
        say(stderr, e.text());
        return 1;
    }
    const QStringList warnings = db::settingsWarnings(sources);
    for (const QString &w : warnings)
        say(stderr, w);
    try {
        DataModule module;
        module.connectWith(params);
        db::Dataset ver;
        ver.setSql(QStringLiteral("select d, t from accounts_dep.ver"));
        ver.open();
        say(stdout, QStringLiteral("Подключение в порядке: %1. Версия в базе: %2 %3.")
                        .arg(db::describe(params), ver.asString(QStringLiteral("d")),
                             ver.asString(QStringLiteral("t"))));
        return 0;
    } catch (const db::SqlError &e) {
        say(stderr, QStringLiteral("Не удалось подключиться: %1.\n%2\nСообщение сервера: %3\n"
                                   "Настройки подключения: %4 (для всех пользователей: %5).")
                        .arg(db::describe(params), db::connectionProblem(e.text()), e.text(),
                             sources.userFile, sources.systemFile));
        return 1;
    }
}

// What the command line asks for. Read before any application object exists, so that a
// wrong line is answered with the usage also where there is no display.
struct CommandLine {
    enum class Action { Run, Version, Help, CheckConnection, Refuse } action = Action::Run;
    QStringList places; // the database and the server, both or neither
    QString refusal;    // what is wrong with the line
};

CommandLine readCommandLine(int argc, char **argv)
{
    // The window system's own options, each with its value, are left to it.
    static const char *const qtOptions[] = {"-platform", "-style", "-display", "-qwindowgeometry",
                                            "-qwindowtitle"};
    CommandLine line;
    bool check = false;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--version"))
            return {CommandLine::Action::Version, {}, {}};
        if (arg == QLatin1String("--help"))
            return {CommandLine::Action::Help, {}, {}};
        if (arg == QLatin1String("--check-connection")) {
            check = true;
            continue;
        }
        if (std::any_of(std::begin(qtOptions), std::end(qtOptions),
                        [&](const char *o) { return arg == QLatin1String(o); }) &&
            i + 1 < argc) {
            ++i;
            continue;
        }
        if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            line.action = CommandLine::Action::Refuse;
            line.refusal = QStringLiteral("неизвестный параметр «%1».").arg(arg);
            return line;
        }
        line.places << arg;
    }
    if (line.places.size() == 1) {
        line.action = CommandLine::Action::Refuse;
        line.refusal = QStringLiteral("база данных «%1» названа без сервера: укажите оба, "
                                      "базу и сервер, или ни одного.")
                           .arg(line.places[0]);
    } else if (line.places.size() > 2) {
        line.action = CommandLine::Action::Refuse;
        line.refusal = QStringLiteral("лишний параметр «%1».").arg(line.places[2]);
    } else if (check) {
        line.action = CommandLine::Action::CheckConnection;
    }
    return line;
}

} // namespace

int main(int argc, char **argv)
{
    const CommandLine line = readCommandLine(argc, argv);
    switch (line.action) {
    case CommandLine::Action::Version:
        std::printf("tabel %s\n", TABEL_VERSION);
        return 0;
    case CommandLine::Action::Help:
        std::puts(kHelp);
        return 0;
    case CommandLine::Action::Refuse:
        say(stderr, QStringLiteral("tabel: ") + line.refusal + QLatin1Char('\n'));
        say(stderr, QString::fromUtf8(kHelp));
        return 2;
    case CommandLine::Action::CheckConnection: {
        QCoreApplication app(argc, argv);
        return checkConnection(line.places);
    }
    case CommandLine::Action::Run:
        break;
    }
    ui::Application app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    if (!createForms(line.places))
        return 1;
    // Shown from inside the event loop, so that an end asked for at once ends it.
    QTimer::singleShot(0, [] { loginWindow->show(); });
    return app.exec();
}
