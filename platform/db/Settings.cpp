#include "Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <functional>
#include <optional>

namespace db {

namespace {

struct Layer {
    std::optional<QString> host, port, name, user, password;
};

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

Layer fromFile(const QString &path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return {};
    QSettings s(path, QSettings::IniFormat);
    s.beginGroup(QStringLiteral("database"));
    return layerOf(
        [&s](const QString &k) {
            return s.contains(k) ? std::optional<QString>(s.value(k).toString()) : std::nullopt;
        },
        {"host", "port", "name", "user", "password"});
}

Layer fromEnvironment(const QProcessEnvironment &env)
{
    return layerOf(
        [&env](const QString &k) {
            return env.contains(k) ? std::optional<QString>(env.value(k)) : std::nullopt;
        },
        {"PGHOST", "PGPORT", "PGDATABASE", "PGUSER", "PGPASSWORD"});
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
