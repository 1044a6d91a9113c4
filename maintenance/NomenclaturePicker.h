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
    ui::DBGrid *DBGrid1;
    QLineEdit *Edit1;
    QPushButton *Button1, *Button4;

    void FormActivate() override;
    void Edit1Change();
    void Button1Click(); // choose

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

extern NomenclaturePicker *nomenclaturePicker;
