#include "Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <cstring>
#include <functional>
#include <optional>

namespace db {

namespace {

struct Layer {
    std::optional<QString> host, port, name, user, password;
    // Where a value of the layer comes from, said with its key: "в файле настроек <file>
    // (раздел [database]) ключ port" or "переменная окружения PGPORT"; none for the command
    // line.
    std::function<QString(const char *key)> where;
};

const char *const kFileKeys[5] = {"host", "port", "name", "user", "password"};
const char *const kEnvironmentKeys[5] = {"PGHOST", "PGPORT", "PGDATABASE", "PGUSER", "PGPASSWORD"};

// The five settings as one source names them; lookup answers a key it holds.
Layer layerOf(const std::function<std::optional<QString>(const QString &)> &lookup,
              const char *const (&keys)[5])
{
    Layer l;
    std::optional<QString> Layer::*const fields[] = {&Layer::host, &Layer::port, &Layer::name,
                                                     &Layer::user, &Layer::password};
    for (int i = 0; i < 5; ++i)
        l.*fields[i] = lookup(QLatin1String(keys[i]));
    return l;
}

// A line that an INI file cannot hold: neither empty, a comment, a [section] nor key=value.
int firstGarbledLine(QFile &file)
{
    int number = 0;
    while (!file.atEnd()) {
        ++number;
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) ||
            line.startsWith(QLatin1Char('#')) ||
            (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            return number;
    }
    return 0;
}

// A file that group or others may read (or write, or open) keeps no secret.
bool openToOthers(const QString &path)
{
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                            QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                            QFileDevice::WriteOther | QFileDevice::ExeOther;
    return (QFileInfo(path).permissions() & others) != 0;
}

Layer readFile(const QString &path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return {};
    const QFileInfo info(path);
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        throw SettingsError(QStringLiteral("Файл настроек %1 не удалось прочитать: %2. Исправьте "
                                           "права на файл или уберите его.")
                                .arg(path, !info.isFile() ? QStringLiteral("это не файл")
                                           : !info.isReadable()
                                               ? QStringLiteral("нет прав на чтение")
                                               : file.errorString()));
    const int garbled = firstGarbledLine(file);
    file.close();
    QSettings s(path, QSettings::IniFormat);
    if (garbled > 0 || s.status() != QSettings::NoError)
        throw SettingsError(
            QStringLiteral("Файл настроек %1 испорчен%2: ожидаются строки вида "
                           "«ключ=значение» в разделе [database].")
                .arg(path, garbled > 0 ? QStringLiteral(" (строка %1)").arg(garbled) : QString()));
    s.beginGroup(QStringLiteral("database"));
    Layer l = layerOf(
        [&s](const QString &k) {
            return s.contains(k) ? std::optional<QString>(s.value(k).toString()) : std::nullopt;
        },
        kFileKeys);
    l.where = [path](const char *key) {
        return QStringLiteral("в файле настроек %1 (раздел [database]) ключ %2")
            .arg(path, QLatin1String(key));
    };
    return l;
}

// A password in a file that others may read is not used, as the client library does with
// its own password file.
Layer fromFile(const QString &path)
{
    Layer l = readFile(path);
    if (l.password && openToOthers(path))
        l.password.reset();
    return l;
}

Layer fromEnvironment(const QProcessEnvironment &env)
{
    Layer l = layerOf(
        [&env](const QString &k) {
            return env.contains(k) ? std::optional<QString>(env.value(k)) : std::nullopt;
        },
        kEnvironmentKeys);
    l.where = [](const char *key) {
        for (int i = 0; i < 5; ++i)
            if (std::strcmp(key, kFileKeys[i]) == 0)
                return QStringLiteral("переменная окружения %1")
                    .arg(QLatin1String(kEnvironmentKeys[i]));
        return QString();
    };
    return l;
}

} // namespace

SettingsSources defaultSources()
{
    // The user's settings live where the desktop keeps them: $XDG_CONFIG_HOME when it names
    // an absolute folder, else ~/.config.
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QString config = env.value(QStringLiteral("XDG_CONFIG_HOME"));
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return {config + QStringLiteral("/tabel/tabel.conf"), QStringLiteral("/etc/tabel/tabel.conf"),
            env};
}

ConnectionParams resolveConnection(const ConnectionParams &builtIn, const QString &database,
                                   const QString &host, const SettingsSources &sources)
{
    Layer given;
    if (!database.isEmpty())
        given.name = database;
    if (!host.isEmpty())
        given.host = host;
    const Layer layers[] = {given, fromFile(sources.userFile), fromFile(sources.systemFile),
                            fromEnvironment(sources.environment)};
    const Layer *from = nullptr; // the layer the last value asked for came from
    auto first = [&layers, &from](std::optional<QString> Layer::*key) -> std::optional<QString> {
        for (const Layer &l : layers)
            if (l.*key && !(l.*key)->isEmpty()) {
                from = &l;
                return l.*key;
            }
        return std::nullopt;
    };
    ConnectionParams p = builtIn;
    if (const auto v = first(&Layer::host))
        p.host = *v;
    if (const auto v = first(&Layer::port)) {
        bool ok = false;
        const int port = v->trimmed().toInt(&ok);
        if (!ok || port < 1 || port > 65535)
            throw SettingsError(
                QStringLiteral("Неверная настройка подключения: %1 имеет значение «%2», а номер "
                               "порта — целое число от 1 до 65535. Исправьте значение; "
                               "программа не подключается, пока оно неверно.")
                    .arg(from->where ? from->where("port") : QStringLiteral("порт"), *v));
        p.port = port;
    }
    if (const auto v = first(&Layer::name))
        p.database = *v;
    const auto user = first(&Layer::user);
    const auto password = first(&Layer::password);
    if (user) {
        p.user = *user;
        // The built-in password belongs to the built-in user only.
        p.password = password ? *password : QString();
    } else if (password) {
        p.password = *password;
    }
    return p;
}

QStringList settingsWarnings(const SettingsSources &sources)
{
    QStringList warnings;
    for (const QString &path : {sources.userFile, sources.systemFile}) {
        Layer l;
        try {
            l = readFile(path);
        } catch (const SettingsError &) {
            continue; // resolveConnection says what is wrong with the file
        }
        if (l.password && !l.password->isEmpty() && openToOthers(path))
            warnings << QStringLiteral("Пароль из файла %1 не используется: файл доступен на "
                                       "чтение группе или всем (оставьте доступ только "
                                       "владельцу: chmod 600 %1).")
                            .arg(path);
    }
    return warnings;
}

QString describe(const ConnectionParams &p)
{
    return QStringLiteral("сервер %1, порт %2, база %3, пользователь %4")
        .arg(p.host.isEmpty() ? QStringLiteral("localhost") : p.host)
        .arg(p.port)
        .arg(p.database, p.user);
}

QString connectionProblem(const QString &serverText)
{
    const QString t = serverText.toLower();
    const auto has = [&t](const char *part) { return t.contains(QLatin1String(part)); };
    if (has("password authentication failed") || has("no password supplied") ||
        has("authentication failed"))
        return QStringLiteral("Сервер не принял имя пользователя или пароль.");
    if (has("database") && has("does not exist"))
        return QStringLiteral("На сервере нет такой базы данных.");
    if (has("role") && has("does not exist"))
        return QStringLiteral("На сервере нет такого пользователя.");
    if (has("no pg_hba.conf entry"))
        return QStringLiteral("Сервер не допускает подключение этого пользователя с этого "
                              "компьютера.");
    if (has("permission denied"))
        return QStringLiteral("У пользователя нет права подключаться к этой базе данных.");
    if (has("could not translate host name") || has("name or service not known") ||
        has("temporary failure in name resolution"))
        return QStringLiteral("Имя сервера не найдено в сети.");
    if (has("connection refused"))
        return QStringLiteral("Сервер не отвечает по этому адресу и порту: он не запущен или "
                              "недоступен.");
    if (has("timeout") || has("timed out"))
        return QStringLiteral("Сервер не ответил вовремя.");
    if (has("too many connections") || has("remaining connection slots"))
        return QStringLiteral("На сервере заняты все подключения: повторите попытку позже.");
    if (has("the database system is starting up") || has("shutting down"))
        return QStringLiteral("Сервер базы данных запускается или останавливается: повторите "
                              "попытку позже.");
    return QStringLiteral("Сервер базы данных отказал в подключении.");
}

} // namespace db
