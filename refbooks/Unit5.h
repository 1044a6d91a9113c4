#pragma once

#include "ListForm.h"

// The workers list "Список рабочих".
class TForm5 : public ListForm {
    Q_OBJECT
public:
    explicit TForm5(QWidget *parent = nullptr);

    void Button1Click() override; // add
    void changeCurrent() override;
    void Button3Click() override; // delete
};

extern TForm5 *Form5;
