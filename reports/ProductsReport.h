#pragma once

#include "ReportForm.h"

// Output by product.
class ProductsReport : public ReportForm {
    Q_OBJECT
public:
    explicit ProductsReport(QObject *parent = nullptr);
    db::Dataset *t_Report;
    db::Dataset *dataset() const override { return t_Report; }
};

extern ProductsReport *productsReport;
