#pragma once

#include "db/Command.h"
#include "shop/EntryContext.h"
#include "shop/Roles.h"
#include "ui/Form.h"

#include <QDate>
#include <functional>

class QCheckBox;
class QDateEdit;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QTimer;
class QAction;
namespace db {
class Dataset;
}
namespace ui {
class DBGrid;
}

// The shift journal: the entries of one date and shift, and the hub that opens every
// other window.
class ShiftJournalWindow : public ui::Form {
    Q_OBJECT
public:
    explicit ShiftJournalWindow(QWidget *parent = nullptr);

    // State read and set by other windows.
    int shift = 1;
    QString accessRole;
    db::Dataset *current = nullptr; // the current journal query
    // The moment this program was built (YYYYMMDD, seconds of the day), set at start-up.
    int buildDate = 0;
    int buildTime = 0;

    QRadioButton *shift1Radio, *shift2Radio, *shift3Radio, *overtimeRadio;
    QDateEdit *dateEdit;
    QCheckBox *dayOffBox;
    ui::DBGrid *entriesGrid;
    QPushButton *addButton, *changeButton, *deleteButton, *refreshButton, *maintenanceButton,
        *historyButton, *exitButton;
    QLabel *closedLabel;          // the sentence of a closed month beside the date
    QPushButton *whyAmountButton; // "Почему такая сумма?" on the current entry
    QLabel *amountExplanation;    // its answer, under the list
    QMenu *refbooksMenu, *timesheetsMenu, *reportsMenu;
    QAction *workersAction, *productsAction, *pricesAction, *operationKindsAction, *overtimeAction,
        *pieceworkTimesheetAction, *shiftTimesheetAction, *maintenanceTimesheetAction,
        *averageRateTimesheetAction, *generalTimesheetAction, *monthClosingAction,
        *changeHistoryAction, *summaryReportsAction, *exitAction;
    QAction *payStatementsAction; // "Расчетные листки сдельщиков"
    QAction *organisationAction, *calendarAction, *absencesAction, *workTimeSheetAction;
    QTimer *versionTimer;

    // What versionTimer runs every 30 seconds: the guard against an older build of the program.
    void setVersionCheck(std::function<void()> check);

    // A login with the typed code: shift 1 shown (its button chosen with it), the timesheets
    // menu for those whose role allows it.
    void startSession(const QString &typedCode);
    // Takes from the controls what the role may not do. What a role takes away stays taken
    // until the program ends; a closed month gives back only what no role took.
    void applyRole(Role role);

    QDate journalDate() const;
    // What the entry editors work in: the journal's date, shift and day-off flag.
    shop::EntryContext entryContext() const;

    void FormActivate() override;
    void dateChange();
    void dayOffClick();
    void chooseShift(int shift);
    void addClick();
    void changeClick();
    void refreshClick();
    void deleteClick();
    void entriesGridDoubleClick(); // accept toggle
    // Explains the current entry's amount in one sentence under the list.
    void explainAmount();
    void openWorkers();
    void openProducts();
    void openKinds();
    // Shows whether the listed date's month is closed; a closed month takes away
    // "Добавить", "Изменить" and "Удалить".
    void showMonthState();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Esc and the window's close button leave the program only when the user says so;
    // "Выход" leaves at once.
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildUi();
    bool leaveAsked();
    void reopenJournals(bool setDate);
    // Runs the date change when the picker shows another date than the journal lists
    // (always: also on the same date).
    void applyShownDate(bool always);
    QDate listedDate_; // the date whose entries the journal lists
    bool calendarChose_ = false;
    std::function<void()> versionCheck_;
};

extern ShiftJournalWindow *shiftJournalWindow;
