#include "Startup.h"

#include "BuildInfo.h"
#include "LoginWindow.h"

#include "db/Connection.h"
#include "db/Settings.h"
#include "db/SqlError.h"
#include "history/ChangeHistoryWindow.h"
#include "journal/ShiftEntryEditor.h"
#include "journal/ShiftJournalWindow.h"
#include "maintenance/MaintenanceEntryEditor.h"
#include "maintenance/MaintenanceJournalWindow.h"
#include "maintenance/NomenclaturePicker.h"
#include "refbooks/CalendarWindow.h"
#include "refbooks/NormsWindow.h"
#include "refbooks/OperationEditor.h"
#include "refbooks/OperationKindEditor.h"
#include "refbooks/OperationKindList.h"
#include "refbooks/OperationList.h"
#include "refbooks/OrganisationWindow.h"
#include "refbooks/ProductEditor.h"
#include "refbooks/ProductList.h"
#include "refbooks/WorkerEditor.h"
#include "refbooks/WorkerList.h"
#include "reports/PayStatementWindow.h"
#include "reports/ProductsDetailReport.h"
#include "reports/ProductsReport.h"
#include "reports/ReportsWindow.h"
#include "reports/WorkersDetailReport.h"
#include "reports/WorkersReport.h"
#include "shop/DataModule.h"
#include "timesheets/AbsencesWindow.h"
#include "timesheets/MonthClosingWindow.h"
#include "timesheets/PieceworkTimesheetWindow.h"
#include "timesheets/ShiftTimesheetPrint.h"
#include "timesheets/ShiftTimesheetWindow.h"
#include "timesheets/WorkTimeSheetWindow.h"
#include "ui/Messages.h"

#include <QCoreApplication>

namespace {

// The data module and the program's connection, as the command line and the settings
// describe it. When it cannot be opened, says what was tried and where to change it, for
// whoever sets up the site.
bool openConnection(const QStringList &args)
{
    dataModule = new DataModule(QCoreApplication::instance());
    const db::SettingsSources sources = db::defaultSources();
    db::ConnectionParams params;
    const QStringList warnings = db::settingsWarnings(sources);
    for (const QString &w : warnings)
        qWarning("%s", qPrintable(w));
    try {
        params = DataModule::settingsFor(args, sources);
        dataModule->connectWith(params);
        return true;
    } catch (const db::SettingsError &e) {
        // Settings that cannot be used: said as they are, and no other server is tried.
        ui::messages().error(e.text(), QStringLiteral("Ошибка!"));
        return false;
    } catch (const db::SqlError &e) {
        QString details =
            QStringLiteral("Не удалось подключиться: %1.\nСообщение сервера: %2\nНастройки "
                           "подключения: %3 (для всех пользователей: %4).")
                .arg(db::describe(params), e.text(), sources.userFile, sources.systemFile);
        for (const QString &w : warnings)
            details += QLatin1Char('\n') + w;
        ui::messages().error(QStringLiteral("Нет подключения к базе данных.\n") +
                                 db::connectionProblem(e.text()),
                             QStringLiteral("Ошибка!"), details);
        return false;
    }
}

} // namespace

bool createForms(const QStringList &args)
{
    if (!openConnection(args))
        return false;
    new ShiftJournalWindow();
    const BuildStamp stamp = buildStamp();
    shiftJournalWindow->buildDate = stamp.date;
    shiftJournalWindow->buildTime = stamp.time;
    new LoginWindow();
    shiftJournalWindow->setVersionCheck([] { loginWindow->CheckVersion(); });
    ui::Form::setMainForm(shiftJournalWindow);
    new WorkerEditor();
    new ProductList();
    new OperationList();
    new WorkerList();
    new ProductEditor();
    new OperationKindList();
    new OperationKindEditor();
    new OperationEditor();
    new ShiftEntryEditor();
    new ReportsWindow();
    new ShiftTimesheetWindow();
    new ProductsDetailReport();
    new ShiftTimesheetPrint();
    new WorkersReport();
    new ProductsReport();
    new WorkersDetailReport();
    new NormsWindow();
    new MaintenanceEntryEditor();
    new MaintenanceJournalWindow();
    new NomenclaturePicker();
    new PieceworkTimesheetWindow();
    new MonthClosingWindow();
    new ChangeHistoryWindow();
    new PayStatementWindow();
    new OrganisationWindow();
    new CalendarWindow();
    new AbsencesWindow();
    new WorkTimeSheetWindow();
    return true;
}
