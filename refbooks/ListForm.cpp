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

    DBGrid1 = new ui::DBGrid(QStringLiteral("DBGrid1"), this);
    DBGrid1->setAccessibleName(setup.caption);
    DBGrid1->setColumns(setup.columns);
    DBGrid1->setDataset(dataset);
    // Tab leaves the grid for the next control instead of walking its cells.
    DBGrid1->setTabKeyNavigation(false);
    // The last column takes up what the others leave of the window's width.
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    connect(DBGrid1, &ui::DBGrid::rowDoubleClicked, this, &ListForm::Button2Click);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setAccessibleName(QStringLiteral("Поиск"));
    Edit1->setPlaceholderText(QStringLiteral("Поиск"));
    Edit1->installEventFilter(this);
    Edit1->setVisible(setup.searchVisible);
    connect(Edit1, &QLineEdit::textChanged, this, &ListForm::Edit1Change);

    Button1 = newButton("Button1", QStringLiteral("Добавить"));
    Button2 = newButton("Button2", QStringLiteral("Изменить"));
    Button3 = newButton("Button3", QStringLiteral("Удалить"));
    Button4 = newButton("Button4", QStringLiteral("Выход"));
    makeDefault(Button1);
    setCancelButton(Button4);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, &ListForm::Button2Click);
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(Button4, &QPushButton::clicked, this, &QDialog::reject);

    auto *root = new QVBoxLayout(this);
    auto *bar = new QHBoxLayout;
    root->addWidget(DBGrid1, 1);
    bar->addWidget(Button1);
    bar->addWidget(Button2);
    bar->addWidget(Button3);
    if (setup.arrangement == Arrangement::SearchInButtonBar) {
        bar->addWidget(Edit1, 1);
        bar->addStretch();
        bar->addWidget(Button4);
        setTabOrder(Button1, Button2);
        setTabOrder(Button2, Button3);
        setTabOrder(Button3, Button4);
        setTabOrder(Button4, Edit1);
        setTabOrder(Edit1, DBGrid1);
    } else {
        root->addWidget(Edit1);
        bar->addStretch();
        bar->addWidget(Button4);
        setTabOrder(Edit1, DBGrid1);
        setTabOrder(DBGrid1, Button1);
        setTabOrder(Button1, Button2);
        setTabOrder(Button2, Button3);
        setTabOrder(Button3, Button4);
    }
    root->addLayout(bar);

    // Sized to show its columns whole.
    resize(DBGrid1->contentWidth() + 2 * DBGrid1->frameWidth() + 40, setup.height);
}

void ListForm::browseFrom(ui::Form *caller)
{
    mode = 0;
    handBack_ = nullptr;
    // A list opened from the menu has its search box as at program start, and shows all its
    // rows unless that box tells otherwise.
    Edit1->setVisible(setup_.searchVisible);
    if (Edit1->isHidden()) {
        Edit1->clear();
        dataset->setFiltered(false);
    }
    dataset->open();
    makeDefault(Button1);
    Button2->setText(QStringLiteral("Изменить"));
    Button1->show();
    Button3->show();
    caller->showChild(this);
    dataset->close();
}

void ListForm::pickFrom(ui::Form *caller, int pickMode, HandBack handBack)
{
    mode = pickMode;
    handBack_ = std::move(handBack);
    dataset->open();
    Button2->setText(QStringLiteral("Выбрать"));
    makeDefault(Button2);
    Button1->hide();
    Button3->hide();
    Edit1->show();
    Edit1->clear();
    caller->showChild(this);
    handBack_ = nullptr;
    // What was typed to find the row served this pick only.
    Edit1->clear();
    dataset->close();
}

void ListForm::FormActivate()
{
    if (Edit1->isVisible())
        Edit1->setFocus();
}

void ListForm::Edit1Change()
{
    const QString text = Edit1->text();
    if (text.isEmpty()) {
        dataset->setFiltered(false);
        return;
    }
    const QString pattern = setup_.search == Search::Prefix
                                ? text + QLatin1Char('%')
                                : QLatin1Char('%') + text + QLatin1Char('%');
    dataset->setFilter(setup_.searchField + QStringLiteral(" like ") + db::quote(pattern));
    dataset->setFiltered(true);
}

void ListForm::Button2Click()
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
    if (watched == Edit1 && event->type() == QEvent::KeyPress &&
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
