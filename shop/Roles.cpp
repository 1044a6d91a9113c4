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

bool allows(Role role, Action action)
{
    if (action == Action::AcceptEntry)
        return role != Role::Foreman;
    switch (role) {
    case Role::Administrator:
        return true;
    case Role::Viewer:
        switch (action) {
        case Action::AddEntry:
        case Action::ChangeEntry:
        case Action::DeleteEntry:
        case Action::BrowseEntries:
        case Action::ChooseShift:
        case Action::ChooseDate:
        case Action::MarkDayOff:
        case Action::RefreshJournal:
        case Action::OpenRefbooks:
        case Action::OpenTimesheets:
            return false;
        default:
            return true;
        }
    case Role::Foreman:
    case Role::Warehouse:
        switch (action) {
        case Action::AddEntry:
            return role == Role::Foreman;
        case Action::ChangeEntry:
        case Action::DeleteEntry:
        case Action::OpenRefbooks:
        case Action::OpenTimesheets:
        case Action::ReportByWorkers:
        case Action::ReportByProducts:
        case Action::DetailByWorkers:
        case Action::ExportReport:
            return false;
        default:
            return true;
        }
    case Role::Refused:
        return false;
    }
    return false;
}

bool reportsFinishedOnly(Role role)
{
    return role == Role::Warehouse;
}

bool mayAccept(const QString &accessRole)
{
    return allows(roleOf(accessRole), Action::AcceptEntry);
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
