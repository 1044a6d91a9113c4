#pragma once

#include "ListForm.h"

// The products list "Изделия (3)".
class ProductList : public ListForm {
    Q_OBJECT
public:
    explicit ProductList(QWidget *parent = nullptr);

    void addClick() override;
    void changeCurrent() override;
    void deleteClick() override;
};

extern ProductList *productList;
