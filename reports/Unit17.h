#pragma once

#include "ReportForm.h"

// Output by product.
class TForm17 : public ReportForm {
    Q_OBJECT
public:
    explicit TForm17(QObject *parent = nullptr);
    db::Dataset *t_Report;
    db::Dataset *dataset() const override { return t_Report; }
};

extern TForm17 *Form17;
