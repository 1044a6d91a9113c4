#pragma once

#include "ListForm.h"

// The operation kinds list "Виды операций (8)".
class OperationKindList : public ListForm {
    Q_OBJECT
public:
    explicit OperationKindList(QWidget *parent = nullptr);

    void Button1Click() override; // add
    void changeCurrent() override;
    void Button3Click() override; // delete
};

extern OperationKindList *operationKindList;
