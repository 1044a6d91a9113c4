#pragma once

#include "ListForm.h"

// The workers list "Список рабочих".
class WorkerList : public ListForm {
    Q_OBJECT
public:
    explicit WorkerList(QWidget *parent = nullptr);

    void Button1Click() override; // add
    void changeCurrent() override;
    void Button3Click() override; // delete
};

extern WorkerList *workerList;
