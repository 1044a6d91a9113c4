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
class MaintenanceEntryEditor : public ui::Form {
    Q_OBJECT
public:
    explicit MaintenanceEntryEditor(QWidget *parent = nullptr);

    // The shift of new entries.
    int smena = 1;
    db::Dataset *fatigue;
    ui::DBGrid *DBGrid1;
    QPushButton *Button5, *Button6, *Button7, *Button1, *Button9, *Button8;
    QLabel *LabelClosed;          // the sentence of a closed month
    QPushButton *whyAmountButton; // "Почему такая сумма?" on the current entry
    QLabel *amountExplanation;    // its answer, under the list
    QDateEdit *DTPcker1;
    QCheckBox *CBox1;

    QDate date() const;
    bool dayOff() const;
    // What the entry editor works in: the list's date, the shift of new entries, the day-off
    // flag.
    shop::EntryContext entryContext() const;

    void FormActivate() override;
    void DTPcker1Change();
    void CBox1Click();
    void Button5Click(); // add
    void Button6Click(); // change
    void Button7Click(); // delete
    void Button1Click(); // average piecework prices of the month
    // Explains the current entry's amount in one sentence under the list.
    void explainAmount();
    // Close and open the list, back on the record it was on.
    void reread();

private:
    // Starts the editor by start, shows it, and re-reads the list after a save.
    void editEntry(const std::function<void()> &start);
    void openList();
};

extern MaintenanceEntryEditor *maintenanceEntryEditor;
