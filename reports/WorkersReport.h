#pragma once

#include "ReportForm.h"

// Output and pay by worker and product, with the maintenance and average-piecework amounts of each.
class WorkersReport : public ReportForm {
    Q_OBJECT
public:
    explicit WorkersReport(QObject *parent = nullptr);
    db::Dataset *t_Report;
    db::Dataset *dataset() const override { return t_Report; }
};

extern WorkersReport *workersReport;
