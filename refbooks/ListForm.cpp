#include "ListForm.h"

#include "db/Command.h"
#include "db/Dataset.h"
#include "db/SqlError.h"
#include "db/SqlText.h"
#include "ui/SearchKeys.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ListForm::ListForm(const Setup &setup, QWidget *parent)
    : ui::Form(parent), dataset(setup.dataset), setup_(setup)
{
    setObjectName(QLatin1String(setup.name));
    setWindowTitle(setup.caption);

    rowsGrid = new ui::DBGrid(QStringLiteral("rowsGrid"), this);
    rowsGrid->setAccessibleName(setup.caption);
    rowsGrid->setColumns(setup.columns);
    rowsGrid->setDataset(dataset);
    // Tab leaves the grid for the next control instead of walking its cells.
    rowsGrid->setTabKeyNavigation(false);
    // The last column takes up what the others leave of the window's width.
    rowsGrid->horizontalHeader()->setStretchLastSection(true);
    connect(rowsGrid, &ui::DBGrid::rowDoubleClicked, this, &ListForm::changeOrChooseClick);

    searchEdit = new QLineEdit(this);
    searchEdit->setObjectName(QStringLiteral("searchEdit"));
    searchEdit->setAccessibleName(QStringLiteral("Поиск"));
    searchEdit->setPlaceholderText(QStringLiteral("Поиск"));
    searchEdit->installEventFilter(this);
    searchEdit->setVisible(setup.searchVisible);
    connect(searchEdit, &QLineEdit::textChanged, this, &ListForm::searchChange);

    addButton = newButton("addButton", QStringLiteral("Добавить"));
    changeButton = newButton("changeButton", QStringLiteral("Изменить"));
    deleteButton = newButton("deleteButton", QStringLiteral("Удалить"));
    exitButton = newButton("exitButton", QStringLiteral("Выход"));
    makeDefault(addButton);
    setCancelButton(exitButton);
    connect(addButton, &QPushButton::clicked, this, [this] { addClick(); });
    connect(changeButton, &QPushButton::clicked, this, &ListForm::changeOrChooseClick);
    connect(deleteButton, &QPushButton::clicked, this, [this] { deleteClick(); });
    connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);
    bindListKeys(rowsGrid, {addButton, changeButton, deleteButton, nullptr});

    auto *root = new QVBoxLayout(this);
    auto *bar = new QHBoxLayout;
    root->addWidget(rowsGrid, 1);
    bar->addWidget(addButton);
    bar->addWidget(changeButton);
    bar->addWidget(deleteButton);
    if (setup.arrangement == Arrangement::SearchInButtonBar) {
        bar->addWidget(searchEdit, 1);
        bar->addStretch();
        bar->addWidget(exitButton);
        setTabOrder(addButton, changeButton);
        setTabOrder(changeButton, deleteButton);
        setTabOrder(deleteButton, exitButton);
        setTabOrder(exitButton, searchEdit);
        setTabOrder(searchEdit, rowsGrid);
    } else {
        root->addWidget(searchEdit);
        bar->addStretch();
        bar->addWidget(exitButton);
        setTabOrder(searchEdit, rowsGrid);
        setTabOrder(rowsGrid, addButton);
        setTabOrder(addButton, changeButton);
        setTabOrder(changeButton, deleteButton);
        setTabOrder(deleteButton, exitButton);
    }
    root->addLayout(bar);

    // Sized to show its columns whole.
    resize(rowsGrid->contentWidth() + 2 * rowsGrid->frameWidth() + 40, setup.height);
}

void ListForm::browseFrom(ui::Form *caller)
{
    mode = 0;
    handBack_ = nullptr;
    // A list opened from the menu has its search box as at program start, and shows all its
    // rows unless that box tells otherwise.
    searchEdit->setVisible(setup_.searchVisible);
    if (searchEdit->isHidden()) {
        searchEdit->clear();
        dataset->setFiltered(false);
    }
    dataset->open();
    makeDefault(addButton);
    changeButton->setText(QStringLiteral("Изменить"));
    addButton->show();
    deleteButton->show();
    caller->showChild(this);
    dataset->close();
}

void ListForm::pickFrom(ui::Form *caller, int pickMode, HandBack handBack)
{
    mode = pickMode;
    handBack_ = std::move(handBack);
    dataset->open();
    changeButton->setText(QStringLiteral("Выбрать"));
    makeDefault(changeButton);
    addButton->hide();
    deleteButton->hide();
    searchEdit->show();
    searchEdit->clear();
    caller->showChild(this);
    handBack_ = nullptr;
    // What was typed to find the row served this pick only.
    searchEdit->clear();
    dataset->close();
}

void ListForm::FormActivate()
{
    if (searchEdit->isVisible())
        searchEdit->setFocus();
}

void ListForm::searchChange()
{
    const QString text = searchEdit->text();
    if (text.isEmpty()) {
        dataset->setFiltered(false);
        return;
    }
    // What is typed is looked for as it stands: '%' and '_' are no wildcards here.
    const QString typed = db::likeLiteral(text);
    const QString pattern = setup_.search == Search::Prefix
                                ? typed + QLatin1Char('%')
                                : QLatin1Char('%') + typed + QLatin1Char('%');
    dataset->setFilter(setup_.searchField + QStringLiteral(" like ") + db::quote(pattern) +
                       QStringLiteral(" escape '\\'"));
    dataset->setFiltered(true);
}

void ListForm::changeOrChooseClick()
{
    if (mode == 0) {
        if (!dataset->isEmpty())
            changeCurrent();
        return;
    }
    if (!dataset->isEmpty() && handBack_)
        handBack_(*dataset);
    accept();
}

void ListForm::reread(int recNo)
{
    dataset->reopen();
    if (!dataset->isEmpty())
        dataset->setRecNo(recNo);
}

void ListForm::showEvent(QShowEvent *event)
{
    // A dialog's border does not let the user resize it; it grows only when the buttons shown
    // in this mode need more room.
    if (!setup_.resizable)
        setFixedSize(size().expandedTo(minimumSizeHint()));
    ui::Form::showEvent(event);
}

bool ListForm::eventFilter(QObject *watched, QEvent *event)
{
    // Enter in the search box of a picker picks the row found, in every list alike.
    if (watched == searchEdit && event->type() == QEvent::KeyPress && mode != 0) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (changeButton->isVisible() && changeButton->isEnabled())
                changeOrChooseClick();
            return true;
        }
    }
    if (watched == searchEdit && event->type() == QEvent::KeyPress &&
        ui::searchBoxKey(static_cast<QKeyEvent *>(event), dataset,
                         setup_.keys != SearchKeys::ArrowsOnly,
                         setup_.keys == SearchKeys::ConsumeEvery))
        return true;
    return ui::Form::eventFilter(watched, event);
}

void updateRowAsRead(db::Command &update, db::Dataset *list, const QVariant &id, QString &rowVer)
{
    update.setParam(QStringLiteral("row_ver"), rowVer);
    try {
        update.executeOne();
    } catch (const db::RowChanged &) {
        list->reopen();
        if (list->locate(QStringLiteral("id"), id))
            rowVer = list->asString(QStringLiteral("row_ver"));
        throw;
    }
}
