#include "Startup.h"

#include "BuildInfo.h"
#include "LoginWindow.h"

#include "journal/ChangeHistoryWindow.h"
#include "journal/ShiftEntryEditor.h"
#include "journal/ShiftJournalWindow.h"
#include "maintenance/MaintenanceEntryEditor.h"
#include "maintenance/MaintenanceJournalWindow.h"
#include "maintenance/NomenclaturePicker.h"
#include "refbooks/NormsWindow.h"
#include "refbooks/OperationEditor.h"
#include "refbooks/OperationKindEditor.h"
#include "refbooks/OperationKindList.h"
#include "refbooks/OperationList.h"
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
#include "timesheets/MonthClosingWindow.h"
#include "timesheets/PieceworkTimesheetWindow.h"
#include "timesheets/ShiftTimesheetPrint.h"
#include "timesheets/ShiftTimesheetWindow.h"

#include <QCoreApplication>

namespace {
std::function<void()> endHandler;
}

bool createForms(const QStringList &args)
{
    new ShiftJournalWindow(args);
    if (!shiftJournalWindow->connected())
        return false;
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
    return true;
}

void endProgram()
{
    if (endHandler) {
        endHandler();
        return;
    }
    QCoreApplication::exit(0);
}

void setEndProgramHandler(std::function<void()> handler)
{
    endHandler = std::move(handler);
}
