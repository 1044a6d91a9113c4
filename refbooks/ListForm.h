#pragma once

#include "ui/DBGrid.h"
#include "ui/Form.h"

#include <functional>

class QLineEdit;
class QPushButton;
namespace db {
class Command;
class Dataset;
} // namespace db

// A reference list over a shared dataset: browse mode (add, change, delete) or pick mode
// (choose a row for the window that opened it), with a search box that filters the rows
// already read.
class ListForm : public ui::Form {
    Q_OBJECT
public:
    enum class Search { Prefix, Anywhere };
    // Which keys the search box gives up: every key but typing and Backspace, or only the
    // two arrows that walk the list.
    // ConsumeEvery takes Enter as well: in a list whose default button adds a row, Enter typed
    // after a search must not add one.
    enum class SearchKeys { ConsumeEvery, ConsumeAll, ArrowsOnly };
    enum class Arrangement { SearchInButtonBar, SearchBelowGrid };

    struct Setup {
        const char *name;
        QString caption;
        db::Dataset *dataset;
        QVector<ui::ColumnDef> columns;
        QString searchField;
        Search search;
        SearchKeys keys;
        Arrangement arrangement;
        bool searchVisible;
        int height = 480;       // the window's height at first showing
        bool resizable = false; // a dialog keeps the size it opens with
    };
    using HandBack = std::function<void(const db::Dataset &)>;

    explicit ListForm(const Setup &setup, QWidget *parent = nullptr);

    int mode = 0; // 0 browse; otherwise the pick mode of the caller
    db::Dataset *const dataset;
    ui::DBGrid *rowsGrid;
    QLineEdit *searchEdit;
    QPushButton *addButton, *changeButton, *deleteButton, *exitButton;

    // Browse mode from the main menu: the list opened, shown modally, closed afterwards.
    void browseFrom(ui::Form *caller);
    // Pick mode: handBack receives the current row when the user chooses one.
    void pickFrom(ui::Form *caller, int pickMode, HandBack handBack);

    void FormActivate() override;
    // Filters the rows by the search box.
    virtual void searchChange();
    void changeOrChooseClick();

protected:
    virtual void addClick() = 0;
    virtual void changeCurrent() = 0;
    virtual void deleteClick() = 0;
    // Close and open the dataset, back on the given record.
    void reread(int recNo);
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    const Setup setup_;
    HandBack handBack_;
};

// Runs an editor's update of the row id as it was read: the statement names the version by
// ":row_ver" and rowVer is bound to it. When another user changed or deleted the row since
// it was read, db::RowChanged goes on to the caller after the list is re-read and rowVer set
// to the row's new version (kept when the row is gone), so that a repeated save is checked
// against the row as the user now sees it.
void updateRowAsRead(db::Command &update, db::Dataset *list, const QVariant &id, QString &rowVer);
