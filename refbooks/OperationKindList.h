#pragma once

#include "ListForm.h"

// The operation kinds list "Виды операций (8)".
class OperationKindList : public ListForm {
    Q_OBJECT
public:
    explicit OperationKindList(QWidget *parent = nullptr);

    void addClick() override;
    void changeCurrent() override;
    void deleteClick() override;
};

extern OperationKindList *operationKindList;
