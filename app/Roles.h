#pragma once

#include <QString>
#include <QStringList>

// Access roles chosen by the code typed at login, and what each of them takes away.
enum class Role { Administrator, Viewer, Foreman, Warehouse, Refused };

// The role of a typed code: compared trimmed, letter case included.
Role roleOf(const QString &typed);

// Object names of the journal window's controls and menus a role disables.
QStringList disabledInJournal(Role role);
// Object names of the summary reports window's controls a role disables.
QStringList disabledInReports(Role role);
// Whether the role's reports are held to finished products (the kind choice fixed on it).
bool reportsFinishedOnly(Role role);
// Whether the role may toggle acceptance of an entry.
bool mayAccept(const QString &accessRole);
// The name of a role as people call it: the change history records it as the user.
QString roleName(Role role);
