#pragma once

#include "shop/Organisation.h"
#include "ui/Form.h"

class QLineEdit;
class QLabel;
class QPushButton;

// "Реквизиты организации": the organisation's name, department, ОКПО and the signatories of
// the printed forms, kept once. The administrator changes them; every other role reads them.
class OrganisationWindow : public ui::Form {
    Q_OBJECT
public:
    explicit OrganisationWindow(QWidget *parent = nullptr);

    QLineEdit *nameEdit, *departmentEdit, *okpoEdit;
    QLineEdit *responsiblePositionEdit, *responsibleNameEdit;
    QLineEdit *headPositionEdit, *headNameEdit;
    QLineEdit *hrPositionEdit, *hrNameEdit;
    QLabel *stateLabel; // who may change the details
    QPushButton *saveButton, *cancelButton;

    void openFrom(ui::Form *from, bool administrator);
    void FormActivate() override;
    void save();
    shop::Organisation typed() const;

private:
    void showDetails(const shop::Organisation &o);
    bool administrator_ = false;
};

extern OrganisationWindow *organisationWindow;
