#pragma once

#include "ReportForm.h"

// Detailed output by product.
class TForm21 : public ReportForm {
    Q_OBJECT
public:
    explicit TForm21(QObject *parent = nullptr);
    db::Dataset *i_Report;
    db::Dataset *dataset() const override { return i_Report; }
};

extern TForm21 *Form21;
