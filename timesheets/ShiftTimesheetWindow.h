#pragma once

#include "timesheets/Period.h"
#include "ui/Form.h"

#include <QColor>
#include <QVector>

class QComboBox;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QWidget;
namespace db {
class Dataset;
}
namespace ui {
class DBGrid;
struct ColumnDef;
struct CellStyle;
} // namespace ui

// The monthly timesheet of the shift journal: hours per worker and day on one tab per
// shift, rebuilt from the entries, printed and exported with all shifts added up.
class ShiftTimesheetWindow : public ui::Form {
    Q_OBJECT
public:
    explicit ShiftTimesheetWindow(QWidget *parent = nullptr);

    QTabWidget *shiftTabs;
    QWidget *shift1Tab, *shift2Tab, *shift3Tab;
    ui::DBGrid *shift1Grid, *shift2Grid, *shift3Grid;
    QPushButton *rebuildButton, *exportButton, *exitButton, *refreshButton, *printButton;
    QProgressBar *progressBar;
    QComboBox *monthBox, *yearBox;
    db::Dataset *maxYear;

    // Opens the window from caller on the month and year of date; afterwards the three
    // grid queries are closed.
    void openFrom(ui::Form *caller, const QDate &date);
    // Fills the year list: from 2007 to one year past the later of this year and the
    // latest year of the timesheet table; the chosen year stays chosen when it is listed.
    void fillYears(int mustHold);
    timesheet::MonthPeriod period() const;

    void FormActivate() override;
    void periodChange();
    void rebuildClick();
    void exportClick();
    void refreshClick();
    void printClick();

    // Recreates the month's timesheet rows with a shift number from the shift entries as
    // one unit, moving bar along day by day; rows of other kinds stay as they are.
    static void rebuildMonth(const timesheet::MonthPeriod &period, QProgressBar *bar);

    // How a day column is shown for the chosen month.
    enum class DayKind { Workday, Weekend, Beyond };
    DayKind dayKind(int day) const { return dayKinds_[day]; }
    // The drawing rules of a day cell holding value (empty = 0) in a column of kind.
    static void styleDay(DayKind kind, int value, ui::CellStyle &style);

    static constexpr int kFirstYear = 2007;

private:
    void buildUi();
    ui::DBGrid *newGrid(const char *name, db::Dataset *ds, QWidget *tab);
    void applyColumns();
    QList<db::Dataset *> datasets() const;
    QList<ui::DBGrid *> grids() const { return {shift1Grid, shift2Grid, shift3Grid}; }

    QVector<ui::ColumnDef> cols_;
    DayKind dayKinds_[32] = {};
};

extern ShiftTimesheetWindow *shiftTimesheetWindow;
