#pragma once

#include "shop/Roles.h"
#include "ui/Form.h"

#include <QDate>

class QDateEdit;
class QGroupBox;
class QLabel;
class QPushButton;
class ReportForm;
namespace db {
class Dataset;
}
namespace ui {
class RadioGroup;
}

// The summary reports of the shift journal for a period: two by worker, two by product, and
// the output by product to a spreadsheet.
class ReportsWindow : public ui::Form {
    Q_OBJECT
public:
    explicit ReportsWindow(QWidget *parent = nullptr);

    ui::RadioGroup *kindGroup;
    QGroupBox *periodGroup;
    QLabel *fromLabel, *toLabel;
    QDateEdit *fromDateEdit, *toDateEdit;
    QPushButton *workersButton, *productsButton, *workersDetailButton, *productsDetailButton,
        *exportButton, *exitButton;
    db::Dataset *XLS_Rep;

    // Shows the window over caller with the period set to the previous calendar month.
    void openFrom(ui::Form *caller);

    // Takes from the window what the role may not do; a role held to finished products
    // finds the kind chosen and fixed.
    void applyRole(Role role);

    void workersClick();
    void productsClick();
    void workersDetailClick();
    void productsDetailClick();
    void exportClick();

private:
    void applyKind(db::Dataset *ds) const;
    QDate periodEnd() const;
    // Says so when the period starts after it ends.
    bool periodReversed();
    void runReport(ReportForm *form, const QStringList &starts, const QStringList &ends,
                   const QString &titleStart);
};

extern ReportsWindow *reportsWindow;
