#pragma once

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

    ui::RadioGroup *RadioGroup1;
    QGroupBox *GroupBox1;
    QLabel *Label1, *Label2;
    QDateEdit *DTPicker1, *DTPicker2;
    QPushButton *Button4, *Button2, *Button1, *Button3, *Button6, *Button5;
    db::Dataset *XLS_Rep;

    // Shows the window over caller with the period set to the previous calendar month.
    void openFrom(ui::Form *caller);

    void Button4Click();
    void Button2Click();
    void Button1Click();
    void Button3Click();
    void Button6Click();

private:
    void applyKind(db::Dataset *ds) const;
    QDate periodEnd() const;
    // Says so when the period starts after it ends.
    bool periodReversed();
    void runReport(ReportForm *form, const QStringList &starts, const QStringList &ends,
                   const QString &titleStart);
};

extern ReportsWindow *reportsWindow;
