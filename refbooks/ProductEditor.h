#pragma once

#include "ui/EditMode.h"
#include "ui/Form.h"

#include <QVariant>

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

    // A product as the list shows it: what a change starts from.
    struct Product {
        qlonglong id = 0;
        QString rowVer;
        QString mark;
        QVariant number; // massa; null when none is stored
        QVariant itemId; // the nomenclature item
    };
    // A new product: empty boxes, the items read again.
    void startAdd();
    // A change of the product: its mark, number and item shown.
    void startChange(const Product &product);

    void FormActivate() override;
    void saveClick();
    // Closing puts the items away again.
    void done(int result) override;
    // A stored number as the number box shows it: plain decimal digits, no exponent, the
    // regional separator.
    static QString numberText(double value);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

extern ProductEditor *productEditor;
