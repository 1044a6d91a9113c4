#include "Roles.h"

#include "db/Dataset.h"

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

QString groupOf(Role role)
{
    switch (role) {
    case Role::Administrator:
        return QStringLiteral("tabel_admin");
    case Role::Viewer:
        return QStringLiteral("tabel_viewer");
    case Role::Foreman:
        return QStringLiteral("tabel_foreman");
    case Role::Warehouse:
        return QStringLiteral("tabel_warehouse");
    default:
        return QString();
    }
}

QString loginRefusal(Role role)
{
    db::Dataset q(QStringLiteral("loginRole"));
    q.setSql(QStringLiteral(R"(
        select session_user::text as login,
               exists (select 1 from pg_roles r
                       where r.rolname=:grp and pg_has_role(session_user, r.oid, 'MEMBER'))
               or exists (select 1 from pg_roles s
                          where s.rolname=session_user and s.rolsuper)
               or exists (select 1 from pg_database d
                          where d.datname=current_database()
                            and pg_has_role(session_user, d.datdba, 'MEMBER')) as holds)"));
    q.setParam(QStringLiteral("grp"), groupOf(role));
    q.open();
    if (q.value(QStringLiteral("holds")).toBool())
        return QString();
    return QStringLiteral("Код доступа роли «%1» не действует для пользователя базы данных «%2»: "
                          "он не входит в группу %3. Обратитесь к администратору базы данных.")
        .arg(roleName(role), q.asString(QStringLiteral("login")), groupOf(role));
}
