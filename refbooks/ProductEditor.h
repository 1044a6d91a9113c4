#pragma once

#include "ui/EditMode.h"
#include "ui/Form.h"

class QLineEdit;
class QPushButton;
class LookupCombo;
namespace db {
class Dataset;
}

// The editor of one product: mark, the number kept in massa, nomenclature item.
class ProductEditor : public ui::Form {
    Q_OBJECT
public:
    explicit ProductEditor(QWidget *parent = nullptr);

    ui::EditMode mode = ui::EditMode::Add; // Change: the product productId
    qlonglong productId = 0;
    QString rowVer; // the version of the product's row as read
    QLineEdit *markEdit;
    QLineEdit *rateEdit;
    db::Dataset *item; // nomenclature items of level 2
    LookupCombo *itemBox;
    QPushButton *saveButton, *cancelButton;

    void FormActivate() override;
    void saveClick();
    // A stored number as the number box shows it: plain decimal digits, no exponent, the
    // regional separator.
    static QString numberText(double value);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

extern ProductEditor *productEditor;
