#pragma once

#include "ui/EditMode.h"
#include "ui/Form.h"

class QComboBox;
class QLineEdit;
class QPushButton;

// The editor of one operation: product, kind and product type.
class OperationEditor : public ui::Form {
    Q_OBJECT
public:
    explicit OperationEditor(QWidget *parent = nullptr);

    ui::EditMode mode = ui::EditMode::Add; // Change: the operation current in the list
    int productId = 0;                     // set by the product pick or by the list's change
    int kindId = 0;                        // set by the kind pick or by the list's change
    int operationId = 0;
    QString rowVersion; // of the operation being changed, as the list read it
    int addedId = 0;    // the operation the last add created (0: none)

    QLineEdit *productEdit, *kindEdit;
    QComboBox *typeBox;
    QPushButton *saveButton, *cancelButton, *productPickButton, *kindPickButton;

    // An operation as the list shows it: what a change starts from.
    struct Operation {
        int id = 0;
        QString rowVersion;
        int productId = 0;
        QString product; // the product's mark
        int kindId = 0;
        QString kind;
        int type = 0; // 0 finished products, 1 blanks
    };
    // A new operation: empty boxes, finished products.
    void startAdd();
    // A change of the operation: its product, kind and type shown.
    void startChange(const Operation &operation);

    void FormActivate() override;
    void saveClick();
    void productPickClick();
    void kindPickClick();
};

extern OperationEditor *operationEditor;
