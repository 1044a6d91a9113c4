#pragma once

#include "timesheets/Period.h"
#include "ui/DatasetModel.h"
#include "ui/Form.h"

class LookupCombo;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
namespace db {
class Dataset;
}
namespace ui {
class DBGrid;
}

// The monthly timesheets with earnings: piecework (mode 9), maintenance work (14), average
// piecework (15) and all of them together (17).
class PieceworkTimesheetWindow : public ui::Form {
    Q_OBJECT
public:
    explicit PieceworkTimesheetWindow(QWidget *parent = nullptr);

    int mode = 9;
    db::Dataset *current = nullptr;
    db::Dataset *H_Tabel0, *H_Tabel7777, *H_Tabel7778, *H_Tabel_all;
    db::Dataset *all_price, *price, *price7, *price8;
    db::Dataset *q_year;

    ui::DBGrid *timesheetGrid;
    QComboBox *monthBox;
    LookupCombo *yearBox;
    QLabel *pieceworkLabel, *maintenanceLabel, *totalLabel, *averageRateLabel;
    QLabel *grandTotal, *pieceworkTotal, *maintenanceTotal, *averageRateTotal;
    QLabel *normLabel, *normValue; // the month's norm of hours at 40 hours a week
    QPushButton *exitButton, *exportButton, *rebuildButton, *refreshButton;
    QPushButton *payStatementButton; // the current worker's pay statement for the month
    QProgressBar *progressBar;

    // Caption, current dataset and grid layout of a mode.
    void setMode(int mode);
    // Opens the window in a mode from caller on today's month and year; afterwards the
    // dataset and the year list are closed and the grid layout is the standard one again.
    void openFrom(ui::Form *caller, int mode);
    // The chosen month and year.
    timesheet::MonthPeriod period() const;

    void FormActivate() override;
    void periodChange();
    void rebuildClick();
    void exportClick();
    void refreshClick();

    // Column 0 width the mode gives before days are hidden.
    int nameWidth() const { return nameWidth_; }

    // Recreates the month's maintenance and average-piecework rows (smena 0) from the
    // maintenance entries, as one unit, moving bar along day by day.
    static void rebuildMonth(const timesheet::MonthPeriod &period, QProgressBar *bar);

    void done(int result) override;

private:
    int normHours_ = 0;
    void buildUi();
    void applyColumns();
    void showTotals();

    QVector<ui::ColumnDef> cols_;
    int nameWidth_ = 208;
    timesheet::MonthPeriod shown_;
};

extern PieceworkTimesheetWindow *pieceworkTimesheetWindow;
