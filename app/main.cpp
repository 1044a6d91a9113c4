#include "app/LoginWindow.h"
#include "app/Startup.h"
#include "db/Dataset.h"
#include "db/SqlError.h"
#include "shop/DataModule.h"
#include "ui/Application.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>
#include <cstring>

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
    "паролей сервера (~/.pgpass или PGPASSFILE).";

// Connects as the program would, runs the version guard's query and tells the outcome.
int checkConnection(const QStringList &args)
{
    const db::SettingsSources sources = db::defaultSources();
    const db::ConnectionParams params = DataModule::settingsFor(args, sources);
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
        say(stderr, QStringLiteral("Не удалось подключиться: %1.\n%2\nНастройки подключения: %3 "
                                   "(для всех пользователей: %4).")
                        .arg(db::describe(params), e.text(), sources.userFile, sources.systemFile));
        return 1;
    }
}

} // namespace

int main(int argc, char **argv)
{
    // The answers that need no display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("tabel %s\n", TABEL_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::puts(kHelp);
            return 0;
        }
        if (std::strcmp(argv[i], "--check-connection") == 0) {
            QCoreApplication app(argc, argv);
            QStringList args = app.arguments();
            args.removeFirst();
            args.removeAll(QStringLiteral("--check-connection"));
            return checkConnection(args);
        }
    }
    ui::Application app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    QStringList args = app.arguments();
    args.removeFirst();
    if (!createForms(args))
        return 1;
    // Shown from inside the event loop, so that an end asked for at once ends it.
    QTimer::singleShot(0, [] { loginWindow->show(); });
    return app.exec();
}
