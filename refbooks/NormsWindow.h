#pragma once

#include "ui/Form.h"

#include <QAbstractTableModel>
#include <QTableView>
#include <QVariant>
#include <QVector>

class QPushButton;
namespace db {
class Dataset;
}

// The norm rows of one operation as the norms grid edits them: the stored rows in ascending
// norm order and, last, an empty row for a new norm.
class NormModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Row {
        int id = 0; // 0: the new row
        QVariant values[3];
        QString version;
        bool dirty = false;
    };
    enum Column { Norma, Price, Prize };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void load(const db::Dataset &norm);
    const Row &row(int r) const { return rows_[r]; }
    bool isNewRow(int r) const { return r == rows_.size() - 1; }
    int rowOf(int id) const;
    // A row stored under that id and version; a saved new row gets a new empty row after it.
    void markSaved(int r, int id, const QString &version);
    int storedRows() const { return int(rows_.size()) - 1; }
    // The row the grid's cursor is on, marked in the row indicator.
    void setCurrentRow(int r);

private:
    QVector<Row> rows_;
    int current_ = -1;
};

// The editable grid of the norms window.
class NormGrid : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;
    // Hands a value still in a cell editor to the model.
    void commitEditing();
};

// "Норматив": the norm rows of one operation. A row is saved when the cursor leaves the
// column or the row it was changed in, and by "Сохранить"; a new row always belongs to the
// operation shown, and a row without a price or with a negative value is refused.
class NormsWindow : public ui::Form {
    Q_OBJECT
public:
    explicit NormsWindow(QWidget *parent = nullptr);

    db::Dataset *norm; // the rows of the operation shown
    NormGrid *normsGrid;
    NormModel *model;
    QPushButton *saveButton, *deleteButton;
    int operationId = 0;
    bool newRowFlag = false; // the cursor stands on the new row

    // Shows the norms of an operation modally.
    void showFor(ui::Form *caller, int operationId);
    void saveClick();   // save and close
    void deleteClick(); // delete the current row, never the last one

private:
    void cellLeft(const QModelIndex &current, const QModelIndex &previous);
    // Saves a changed row; false (after telling the user) when it cannot be stored. A row
    // still being typed is kept unsaved while the cursor stays in it.
    bool saveRow(int r, bool leavingRow);
    // Re-reads the rows and puts the cursor on the row with that id (0: the new row).
    void reload(int currentId, int column);

    bool moving_ = false;
};

extern NormsWindow *normsWindow;
