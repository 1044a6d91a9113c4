#pragma once

#include "ListForm.h"
#include "shop/EntryContext.h"

class QCheckBox;

// The operations list "Операции": operations with their count of norms and lowest price.
class OperationList : public ListForm {
    Q_OBJECT
public:
    explicit OperationList(QWidget *parent = nullptr);

    // What the choose step hands to the window that asked for an operation.
    struct Picked {
        int operationId;
        int productId;
        int naimen;       // 0 finished product, otherwise blanks
        double basePrice; // the lowest norm price
        double price;     // the base price with the day-off and shift factors
        QString text; // "mark; kind; Готовая продукция" (or "Заготовки")
    };
    // The choose step on the current row of the operations query, priced by the journal's
    // day-off box and shift as they stand now.
    // The operation of the list's current row, priced for the context's shift and day.
    static Picked picked(const db::Dataset &oper, const shop::EntryContext &context);
    static bool isHourPrice(const db::Dataset &oper);
    using OperationHandBack = std::function<void(const Picked &)>;

    // Pick mode (1 for the shift entry editor): handBack receives the chosen operation; it
    // is not called when the window is left without a choice or the list shown is empty.
    void pickFrom(ui::Form *caller, int pickMode, const shop::EntryContext &context,
                  OperationHandBack handBack);
    // The final price of an operation whose lowest norm price is base, by the journal's
    // day-off box and shift.
    static double finalPrice(double base, bool dayOff, int shift);

    QPushButton *exportButton;
    QCheckBox *pricesBox;
    db::Dataset *XLS_Rep;

    void addClick() override;
    void changeCurrent() override;
    void deleteClick() override;
    void exportClick();
    void searchChange() override;
    // Opens the norms of an operation.
    void openNorms(int operationId);

private:
    void doubleClickRule();
};

extern OperationList *operationList;
