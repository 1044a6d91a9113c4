#pragma once

#include <QString>

// Access roles chosen by the code typed at login, and what each of them may do.
enum class Role { Administrator, Viewer, Foreman, Warehouse, Refused };

// What a user may or may not do; each window maps these to its own controls.
enum class Action {
    AddEntry,      // add a shift entry
    ChangeEntry,   // change a shift entry
    DeleteEntry,   // delete a shift entry
    AcceptEntry,   // mark a shift entry accepted or take the mark back
    BrowseEntries, // move about the journal's list of entries
    ChooseShift,   // show another shift of the journal
    ChooseDate,    // show another date of the journal
    MarkDayOff,    // mark the journal's date as a day off
    RefreshJournal,
    OpenRefbooks,   // the reference books: workers, products, prices, operations
    OpenTimesheets, // the timesheets, the closing of a month and the change history
    ReportByWorkers,
    ReportByProducts,
    DetailByWorkers,
    DetailByProducts,
    ExportReport, // the output by product to a workbook
};

// The role of a typed code: compared trimmed, letter case included.
Role roleOf(const QString &typed);

// Whether the role may do the action. A refused code may do nothing but accept (it never
// reaches a window); acceptance is taken from the foreman alone.
bool allows(Role role, Action action);
// Whether the role's reports are held to finished products (the kind choice fixed on it).
bool reportsFinishedOnly(Role role);
// Whether the role of the typed code may toggle acceptance of an entry.
bool mayAccept(const QString &accessRole);
// The name of a role as people call it: the change history records it as the user.
QString roleName(Role role);

// The database's group role that holds what the role's windows do: tabel_admin,
// tabel_viewer, tabel_foreman, tabel_warehouse.
QString groupOf(Role role);
// Empty when the session's login may work in the role: a member of its group, the owner of
// the database or a superuser (a site without the group roles works as before). Otherwise
// the sentence that refuses the code.
QString loginRefusal(Role role);
