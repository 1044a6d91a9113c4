#pragma once

#include "ui/Form.h"

#include <QHash>
#include <QVariant>

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
namespace db {
class Dataset;
}
namespace ui {
class DBGrid;
}

// "История изменений": who changed what and when, one line per changed field with its
// value before and after. Opened for one entry ("История" of the shift journal and of the
// maintenance journal) or, by an administrator, for every record, filtered by period,
// user and kind of record, with an export to a workbook.
class ChangeHistoryWindow : public ui::Form {
    Q_OBJECT
public:
    explicit ChangeHistoryWindow(QWidget *parent = nullptr);

    db::Dataset *Log;
    ui::DBGrid *changesGrid;
    QLabel *fromLabel, *toLabel, *userLabel, *kindLabel;
    QDateEdit *fromDateEdit, *toDateEdit;
    QComboBox *userBox, *kindBox;
    QPushButton *showButton, *exportButton, *exitButton;

    // The changes of one row of a table ("smena", "fatigue", ...).
    void openForRow(ui::Form *from, const QString &table, qlonglong rowId);
    // Every change, with the filters.
    void openAll(ui::Form *from);
    void FormActivate() override;
    void showClick();   // show with the filters
    void exportClick(); // export to a workbook

private:
    void showFilters(bool shown);
    // The condition on the change log l, with its values bound by name.
    struct Filter {
        QString where;
        QHash<QString, QVariant> params;
    };
    void query(const Filter &filter);
    Filter chosenFilter() const;
};

extern ChangeHistoryWindow *changeHistoryWindow;
