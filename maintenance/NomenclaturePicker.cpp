#include "NomenclaturePicker.h"

#include "MaintenanceIcon.h"
#include "db/Dataset.h"
#include "db/SqlText.h"
#include "shop/Products.h"
#include "ui/DBGrid.h"
#include "ui/SearchKeys.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

NomenclaturePicker *nomenclaturePicker = nullptr;

NomenclaturePicker::NomenclaturePicker(QWidget *parent) : ui::Form(parent)
{
    nomenclaturePicker = this;
    setObjectName(QStringLiteral("nomenclaturePicker"));
    setWindowTitle(QStringLiteral("Номенклатура (26)"));
    setWindowIcon(maintenanceIcon());
    setPlacement(Placement::Screen);

    item = new db::Dataset(QStringLiteral("item"), this);
    item->setSql(QString::fromLatin1(products::kNomenclatureGroupsSql));

    itemsGrid = new ui::DBGrid(QStringLiteral("itemsGrid"), this);
    itemsGrid->setAccessibleName(QStringLiteral("Номенклатура"));
    itemsGrid->setColumns({{QStringLiteral("s_caption"), QStringLiteral("Наименование"), 320}});
    itemsGrid->setDataset(item);
    itemsGrid->setTabKeyNavigation(false);
    itemsGrid->horizontalHeader()->setStretchLastSection(true);
    connect(itemsGrid, &ui::DBGrid::rowDoubleClicked, this, &NomenclaturePicker::chooseClick);

    searchEdit = new QLineEdit(this);
    searchEdit->setObjectName(QStringLiteral("searchEdit"));
    searchEdit->setAccessibleName(QStringLiteral("Поиск"));
    searchEdit->setPlaceholderText(QStringLiteral("Поиск"));
    searchEdit->installEventFilter(this);
    connect(searchEdit, &QLineEdit::textChanged, this, &NomenclaturePicker::searchChange);

    chooseButton = newButton("chooseButton", QStringLiteral("Выбрать"));
    exitButton = newButton("exitButton", QStringLiteral("Выход"));
    makeDefault(chooseButton);
    setCancelButton(exitButton);
    connect(chooseButton, &QPushButton::clicked, this, &NomenclaturePicker::chooseClick);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);

    auto *root = new QVBoxLayout(this);
    root->addWidget(itemsGrid, 1);
    auto *bar = new QHBoxLayout;
    bar->addWidget(chooseButton);
    bar->addWidget(searchEdit, 1);
    bar->addWidget(exitButton);
    root->addLayout(bar);
    setTabOrder(searchEdit, itemsGrid);
    setTabOrder(itemsGrid, chooseButton);
    setTabOrder(chooseButton, exitButton);

    resize(itemsGrid->contentWidth() + 2 * itemsGrid->frameWidth() + 40, 420);
    // A dialog border: the user does not resize the window.
    setFixedSize(size().expandedTo(minimumSizeHint()));
}

void NomenclaturePicker::FormActivate()
{
    searchEdit->setFocus();
}

void NomenclaturePicker::searchChange()
{
    const QString text = searchEdit->text();
    if (text.isEmpty()) {
        item->setFiltered(false);
        return;
    }
    // A quote, '%' or '_' typed here is a plain character of the name.
    item->setFilter(QStringLiteral("s_caption like ") +
                    db::quote(db::likeLiteral(text) + QLatin1Char('%')) +
                    QStringLiteral(" escape '\\'"));
    item->setFiltered(true);
}

void NomenclaturePicker::pickFrom(ui::Form *caller, HandBack handBack)
{
    handBack_ = std::move(handBack);
    item->open();
    caller->showChild(this);
    item->close();
    handBack_ = nullptr;
}

void NomenclaturePicker::chooseClick()
{
    if (handBack_)
        handBack_(item->isEmpty() ? 0 : item->value(QStringLiteral("id")).toInt(),
                  item->asString(QStringLiteral("s_caption")).trimmed());
    accept();
}

bool NomenclaturePicker::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == searchEdit && event->type() == QEvent::KeyPress &&
        ui::searchBoxKey(static_cast<QKeyEvent *>(event), item, true))
        return true;
    return ui::Form::eventFilter(watched, event);
}
