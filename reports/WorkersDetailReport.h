#pragma once

#include "ReportForm.h"

// Detailed output by worker.
class WorkersDetailReport : public ReportForm {
    Q_OBJECT
public:
    explicit WorkersDetailReport(QObject *parent = nullptr);
    db::Dataset *w_Report;
    db::Dataset *dataset() const override { return w_Report; }
};

extern WorkersDetailReport *workersDetailReport;
