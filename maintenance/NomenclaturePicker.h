#pragma once

#include "ui/Form.h"

class QLineEdit;
class QPushButton;
namespace db {
class Dataset;
}
namespace ui {
class DBGrid;
}

// The nomenclature picker "Номенклатура (26)": items of the classifier's second level,
// with a search by the start of the name that stays set between showings.
class NomenclaturePicker : public ui::Form {
    Q_OBJECT
public:
    explicit NomenclaturePicker(QWidget *parent = nullptr);

    db::Dataset *item;
    ui::DBGrid *itemsGrid;
    QLineEdit *searchEdit;
    QPushButton *chooseButton, *exitButton;

    void FormActivate() override;
    void searchChange();
    void chooseClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

extern NomenclaturePicker *nomenclaturePicker;
