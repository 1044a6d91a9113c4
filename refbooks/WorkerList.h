#pragma once

#include "ListForm.h"

// The workers list "Список рабочих".
class WorkerList : public ListForm {
    Q_OBJECT
public:
    explicit WorkerList(QWidget *parent = nullptr);

    void addClick() override;
    void changeCurrent() override;
    void deleteClick() override;
};

extern WorkerList *workerList;
