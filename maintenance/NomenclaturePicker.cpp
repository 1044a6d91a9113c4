#include "NomenclaturePicker.h"

#include "MaintenanceEntryEditor.h"
#include "MaintenanceJournalWindow.h"
#include "db/Dataset.h"
#include "db/SqlText.h"
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
    item->setSql(
        QStringLiteral("select * from cmn_classifier.item where id_level=2 order by s_caption"));

    DBGrid1 = new ui::DBGrid(QStringLiteral("DBGrid1"), this);
    DBGrid1->setAccessibleName(QStringLiteral("Номенклатура"));
    DBGrid1->setColumns({{QStringLiteral("s_caption"), QStringLiteral("Наименование"), 320}});
    DBGrid1->setDataset(item);
    DBGrid1->setTabKeyNavigation(false);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    connect(DBGrid1, &ui::DBGrid::rowDoubleClicked, this, &NomenclaturePicker::Button1Click);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setAccessibleName(QStringLiteral("Поиск"));
    Edit1->setPlaceholderText(QStringLiteral("Поиск"));
    Edit1->installEventFilter(this);
    connect(Edit1, &QLineEdit::textChanged, this, &NomenclaturePicker::Edit1Change);

    Button1 = newButton("Button1", QStringLiteral("Выбрать"));
    Button4 = newButton("Button4", QStringLiteral("Выход"));
    makeDefault(Button1);
    setCancelButton(Button4);
    connect(Button1, &QPushButton::clicked, this, &NomenclaturePicker::Button1Click);
    connect(Button4, &QPushButton::clicked, this, &QDialog::reject);

    auto *root = new QVBoxLayout(this);
    root->addWidget(DBGrid1, 1);
    auto *bar = new QHBoxLayout;
    bar->addWidget(Button1);
    bar->addWidget(Edit1, 1);
    bar->addWidget(Button4);
    root->addLayout(bar);
    setTabOrder(Edit1, DBGrid1);
    setTabOrder(DBGrid1, Button1);
    setTabOrder(Button1, Button4);

    resize(DBGrid1->contentWidth() + 2 * DBGrid1->frameWidth() + 40, 420);
    // A dialog border: the user does not resize the window.
    setFixedSize(size().expandedTo(minimumSizeHint()));
}

void NomenclaturePicker::FormActivate()
{
    Edit1->setFocus();
}

void NomenclaturePicker::Edit1Change()
{
    const QString text = Edit1->text();
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

void NomenclaturePicker::Button1Click()
{
    maintenanceJournalWindow->nomId =
        item->isEmpty() ? 0 : item->value(QStringLiteral("id")).toInt();
    maintenanceJournalWindow->Edit2->setText(item->asString(QStringLiteral("s_caption")).trimmed());
    accept();
}

bool NomenclaturePicker::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Edit1 && event->type() == QEvent::KeyPress &&
        ui::searchBoxKey(static_cast<QKeyEvent *>(event), item, true))
        return true;
    return ui::Form::eventFilter(watched, event);
}
