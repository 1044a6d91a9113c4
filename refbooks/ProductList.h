#pragma once

#include "ListForm.h"

// The products list "Изделия (3)".
class ProductList : public ListForm {
    Q_OBJECT
public:
    explicit ProductList(QWidget *parent = nullptr);

    db::Dataset *Izdel_Smena; // recent shift entries of a product
    db::Dataset *ii_oper;     // operations of a product

    void addClick() override;
    void changeCurrent() override;
    void deleteClick() override;
    // The first day of the previous month of the year 2000, as the delete counts from it.
    static QString startDateText(const QDate &today);
};

extern ProductList *productList;
