#pragma once

#include "shop/EntryContext.h"
#include "ui/Form.h"

#include <QDate>
#include <functional>

class QCheckBox;
class QLabel;
class QDateEdit;
class QPushButton;
namespace db {
class Dataset;
}
namespace ui {
class DBGrid;
}

// The maintenance journal "Хоз. работы (25)": the maintenance and average-piecework entries
// of one date.
class MaintenanceJournalWindow : public ui::Form {
    Q_OBJECT
public:
    explicit MaintenanceJournalWindow(QWidget *parent = nullptr);

    // The shift of new entries.
    int smena = 1;
    db::Dataset *fatigue;
    ui::DBGrid *entriesGrid;
    QPushButton *addButton, *changeButton, *deleteButton, *averagePricesButton, *historyButton,
        *exitButton;
    QLabel *closedLabel;          // the sentence of a closed month
    QPushButton *whyAmountButton; // "Почему такая сумма?" on the current entry
    QLabel *amountExplanation;    // its answer, under the list
    QDateEdit *dateEdit;
    QCheckBox *dayOffBox;

    // The date the list shows next (the journal's date as it opens the list).
    void showDate(const QDate &date);
    QDate shownDate() const;
    bool dayOff() const;
    // What the entry editor works in: the list's date, the shift of new entries, the day-off
    // flag.
    shop::EntryContext entryContext() const;

    void FormActivate() override;
    void dateChange();
    void dayOffClick();
    void addClick();
    void changeClick();
    void deleteClick();
    void averagePricesClick(); // average piecework prices of the month
    // Explains the current entry's amount in one sentence under the list.
    void explainAmount();
    // Close and open the list, back on the record it was on.
    void reread();

private:
    // Starts the editor by start, shows it, and re-reads the list after a save.
    void editEntry(const std::function<void()> &start);
    void openList();
};

extern MaintenanceJournalWindow *maintenanceJournalWindow;
