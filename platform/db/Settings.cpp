#include "Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <optional>

namespace db {

namespace {

struct Layer {
    std::optional<QString> host, port, name, user, password;
};

Layer fromFile(const QString &path)
{
    Layer l;
    if (path.isEmpty() || !QFileInfo::exists(path))
        return l;
    QSettings s(path, QSettings::IniFormat);
    s.beginGroup(QStringLiteral("database"));
    auto take = [&s](const char *key, std::optional<QString> &into) {
        const QString k = QLatin1String(key);
        if (s.contains(k))
            into = s.value(k).toString();
    };
    take("host", l.host);
    take("port", l.port);
    take("name", l.name);
    take("user", l.user);
    take("password", l.password);
    return l;
}

Layer fromEnvironment(const QProcessEnvironment &env)
{
    Layer l;
    auto take = [&env](const char *key, std::optional<QString> &into) {
        const QString k = QLatin1String(key);
        if (env.contains(k))
            into = env.value(k);
    };
    take("PGHOST", l.host);
    take("PGPORT", l.port);
    take("PGDATABASE", l.name);
    take("PGUSER", l.user);
    take("PGPASSWORD", l.password);
    return l;
}

} // namespace

SettingsSources defaultSources()
{
    return {QDir::homePath() + QStringLiteral("/.config/tabel/tabel.conf"),
            QStringLiteral("/etc/tabel/tabel.conf"), QProcessEnvironment::systemEnvironment()};
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
    auto first = [&layers](std::optional<QString> Layer::*key) -> std::optional<QString> {
        for (const Layer &l : layers)
            if (l.*key && !(l.*key)->isEmpty())
                return l.*key;
        return std::nullopt;
    };
    ConnectionParams p = builtIn;
    if (const auto v = first(&Layer::host))
        p.host = *v;
    if (const auto v = first(&Layer::port)) {
        bool ok = false;
        const int port = v->toInt(&ok);
        if (ok && port > 0 && port < 65536)
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

QString describe(const ConnectionParams &p)
{
    return QStringLiteral("сервер %1, порт %2, база %3, пользователь %4")
        .arg(p.host.isEmpty() ? QStringLiteral("localhost") : p.host)
        .arg(p.port)
        .arg(p.database, p.user);
}

} // namespace db
