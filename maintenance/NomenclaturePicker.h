#pragma once

#include "ui/Form.h"

#include <functional>

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

    // What the picker hands back: the chosen item's id (0 when the list is empty) and name.
    using HandBack = std::function<void(int id, const QString &name)>;
    // Shows the items over caller, read for the showing; handBack hears the choice.
    void pickFrom(ui::Form *caller, HandBack handBack);

    void FormActivate() override;
    void searchChange();
    void chooseClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    HandBack handBack_;
};

extern NomenclaturePicker *nomenclaturePicker;
