#pragma once

#include "ReportForm.h"

// Detailed output by worker.
class TForm20 : public ReportForm {
    Q_OBJECT
public:
    explicit TForm20(QObject *parent = nullptr);
    db::Dataset *w_Report;
    db::Dataset *dataset() const override { return w_Report; }
};

extern TForm20 *Form20;
