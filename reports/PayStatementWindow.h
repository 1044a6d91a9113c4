#pragma once

#include "report/Report.h"
#include "shop/PayStatement.h"
#include "ui/Form.h"

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

// "Расчетный листок сдельщика": a worker's pay of a month line by line (or every worker's of
// the month, one after another, each from a new page), printed through the report engine or
// exported to a workbook.
class PayStatementWindow : public ui::Form {
    Q_OBJECT
public:
    explicit PayStatementWindow(QWidget *parent = nullptr);

    QLabel *workerLabel;
    QComboBox *monthCombo;
    QSpinBox *yearSpin;
    QCheckBox *allWorkersCheck;
    QPushButton *previewButton, *excelButton, *closeButton;

    // Opens the window over caller for one worker (name as the caller shows it), or for every
    // worker of the month with worker 0.
    void openFor(ui::Form *caller, int worker, const QString &name, int month, int year);

    // The statements chosen, read and laid out into the report (without showing it).
    void prepare();
    const QVector<shop::pay::Statement> &statements() const { return statements_; }
    report::Report &report() { return report_; }

    void previewClick(); // preview, print, PDF
    void excelClick();   // the same lines in a workbook

    // What each line of a statement shows, in the report's columns; the workbook writes the
    // same texts.
    class Lines;

private:
    int worker_ = 0;
    QString workerName_;
    QVector<shop::pay::Statement> statements_;
    std::shared_ptr<Lines> lines_;
    report::Report report_;
    void read();
};

extern PayStatementWindow *payStatementWindow;
