#pragma once

#include "ui/EditMode.h"
#include "ui/Form.h"

class QLineEdit;
class QPushButton;

// The editor of one operation kind's name.
class OperationKindEditor : public ui::Form {
    Q_OBJECT
public:
    explicit OperationKindEditor(QWidget *parent = nullptr);

    ui::EditMode mode = ui::EditMode::Add; // Change: the kind kindId
    int kindId = 0;
    QString rowVer; // the version of the kind's row as read
    QLineEdit *nameEdit;
    QPushButton *saveButton, *cancelButton;

    // A new kind: an empty name.
    void startAdd();
    // A change of the kind id, read with the version rowVer, named name.
    void startChange(int id, const QString &rowVer, const QString &name);

    void FormActivate() override;
    void saveClick();
};

extern OperationKindEditor *operationKindEditor;
