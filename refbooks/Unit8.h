#pragma once

#include "ListForm.h"

// The operation kinds list "Виды операций (8)".
class TForm8 : public ListForm {
    Q_OBJECT
public:
    explicit TForm8(QWidget *parent = nullptr);

    void Button1Click() override; // add
    void changeCurrent() override;
    void Button3Click() override; // delete
};

extern TForm8 *Form8;
