#pragma once

#include "ReportForm.h"

// Detailed output by product.
class ProductsDetailReport : public ReportForm {
    Q_OBJECT
public:
    explicit ProductsDetailReport(QObject *parent = nullptr);
    db::Dataset *i_Report;
    db::Dataset *dataset() const override { return i_Report; }
};

extern ProductsDetailReport *productsDetailReport;
