#pragma once

#include "refbooks/OperationList.h"
#include "shop/EntryContext.h"
#include "ui/EditMode.h"
#include "ui/Form.h"

#include <QDate>

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
namespace db {
class Dataset;
}

// The editor of one shift entry (a row of accounts_dep.smena): worker, operation, quantity,
// rejects, colour, hours and date. Saving also writes the worker's hours of the day into
// the timesheet.
class ShiftEntryEditor : public ui::Form {
    Q_OBJECT
public:
    explicit ShiftEntryEditor(QWidget *parent = nullptr);

    // What the operations list hands back when the user chooses an operation.
    using PickedOperation = OperationList::Picked;

    ui::EditMode mode = ui::EditMode::Add; // Change: the entry selected in the journal
    int workerId = 0;
    int operationId = 0;
    int productId = 0;
    double finalPrice = 0;
    // Shown in "Цена база": that of the operation picked, or of the entry's own once the
    // operations list has shown it; 0 before.
    double basePrice = 0;

    QLineEdit *workerEdit, *operationEdit, *quantityEdit, *rejectsEdit, *colourEdit, *hoursEdit,
        *finalPriceEdit, *basePriceEdit, *sumEdit;
    QLabel *colourLabel; // the colour box's label
    QDateEdit *dateEdit;
    QPushButton *saveButton, *cancelButton, *workerPickButton, *operationPickButton;

    // The journal's presets: a new entry in the journal's context (its date, shift and
    // day-off flag), or the entry of the journal row q in that context.
    void presetAdd(const shop::EntryContext &context);
    void presetEdit(const db::Dataset &q, const shop::EntryContext &context);

    void FormActivate() override;
    void workerPickClick();
    void operationPickClick();
    void saveClick();
    void takeWorker(const db::Dataset &workers);
    void takeOperation(const PickedOperation &op);
    // The colour box serves painting operations only.
    void applyColourRule();
    void recompute();
    static bool isPainting(const QString &operationText);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Entry { // the entry being changed, as the journal showed it
        int id = 0;
        QString rowVer;
        int workerId = 0;
        int operationId = 0;
        QDate date;
    };
    bool fieldsFilled();
    // The whole numbers typed, read; false (and the user told) when one is no whole number,
    // is past its limit, or is unusual and the user does not confirm it.
    struct Numbers {
        double quantity = 0, rejects = 0, hours = 0, colour = 0;
    };
    bool numbersInRange(Numbers &n);
    void refreshJournal(db::Dataset *q);
    Entry entry_;
    shop::EntryContext context_;
};

extern ShiftEntryEditor *shiftEntryEditor;
