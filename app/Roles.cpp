#include "Roles.h"

Role roleOf(const QString &typed)
{
    const QString code = typed.trimmed();
    if (code == QLatin1String("61370482") || code == QLatin1String("0264"))
        return Role::Administrator;
    if (code == QLatin1String("vardel"))
        return Role::Viewer;
    if (code == QLatin1String("pilgrun"))
        return Role::Foreman;
    if (code == QLatin1String("fomir"))
        return Role::Warehouse;
    return Role::Refused;
}

QStringList disabledInJournal(Role role)
{
    switch (role) {
    case Role::Viewer:
        return {"Button1",      "Button2",      "Button3", "RadioButton1", "RadioButton2",
                "RadioButton3", "RadioButton4", "CBox1",   "Button8",      "DBGrid2",
                "DateT",        "N2",           "N11"};
    case Role::Foreman:
        return {"Button2", "Button3", "N2", "N11"};
    case Role::Warehouse:
        return {"Button1", "Button2", "Button3", "N2", "N11"};
    default:
        return {};
    }
}

QStringList disabledInReports(Role role)
{
    switch (role) {
    case Role::Foreman:
    case Role::Warehouse:
        return {"Button1", "Button2", "Button4", "Button6"};
    default:
        return {};
    }
}

bool reportsFinishedOnly(Role role)
{
    return role == Role::Warehouse;
}

bool mayAccept(const QString &accessRole)
{
    return roleOf(accessRole) != Role::Foreman;
}

QString roleName(Role role)
{
    switch (role) {
    case Role::Administrator:
        return QStringLiteral("Администратор");
    case Role::Viewer:
        return QStringLiteral("Просмотр");
    case Role::Foreman:
        return QStringLiteral("Мастер");
    case Role::Warehouse:
        return QStringLiteral("Склад");
    default:
        return QString();
    }
}
