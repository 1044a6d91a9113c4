#pragma once

#include "shop/EntryContext.h"
#include "shop/MaintenanceEntries.h"
#include "ui/EditMode.h"
#include "ui/Form.h"

#include <QDate>

class QCheckBox;
class QLineEdit;
class QPushButton;
class LookupCombo;
namespace db {
class Dataset;
}

// The editor of one maintenance or average-piecework entry
// "Хоз. работы/среднесдельная (24)".
class MaintenanceEntryEditor : public ui::Form {
    Q_OBJECT
public:
    explicit MaintenanceEntryEditor(QWidget *parent = nullptr);

    ui::EditMode mode = ui::EditMode::Add; // Change: the entry read by startChange
    int nomId = 0;                         // nomenclature item; 0 none chosen
    int workerId = 0;                      // 0 none chosen

    db::Dataset *type_work;
    QLineEdit *workerEdit, *nomenclatureEdit, *hoursEdit, *priceEdit, *sumEdit;
    QPushButton *workerPickButton, *nomenclaturePickButton, *saveButton, *cancelButton;
    LookupCombo *workKindBox;
    QCheckBox *nightBox;

    // What the journal sets before showing the editor: a new entry in the journal's context
    // (its date, shift and day-off flag), or the entry read in that context.
    void startAdd(const shop::EntryContext &context);
    void startChange(const db::Dataset &entry, const shop::EntryContext &context);

    void FormActivate() override;
    // Closing puts the kinds of work away again.
    void done(int result) override;
    void workerPickClick();
    void nomenclaturePickClick();
    void saveClick();

    // The hour price a save stores, and the day-off flag it stores with it.
    double priceToStore() const;
    bool dayOff() const;

signals:
    // The stored entries differ from what the journal shows: a save found its entry changed
    // by another user. The journal re-reads; the editor stays open with what was typed.
    void entriesChanged();

private:
    shop::EntryContext context_;
    void showPrice();
    // The entry being changed, as it was read: what the store checks and the cell it leaves,
    // and what its price was made from.
    struct Former {
        shop::StoredMaintenance stored;
        int nom = 0;
        double price = 0;
        bool dayOff = false;
    } former_;
};

extern MaintenanceEntryEditor *maintenanceEntryEditor;
