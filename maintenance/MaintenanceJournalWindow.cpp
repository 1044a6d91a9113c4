#include "MaintenanceJournalWindow.h"

#include "MaintenanceIcon.h"

#include "MaintenanceEntryEditor.h"
#include "db/Dataset.h"
#include "db/SqlError.h"
#include "db/SqlText.h"
#include "db/Transaction.h"
#include "history/ChangeHistoryWindow.h"
#include "shop/Calendar.h"
#include "shop/ClosedMonths.h"
#include "shop/DataModule.h"
#include "shop/MaintenanceEntries.h"
#include "shop/PayStatement.h"
#include "ui/Application.h"
#include "ui/DBGrid.h"
#include "ui/Messages.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>

MaintenanceJournalWindow *maintenanceJournalWindow = nullptr;

namespace {

// The production calendar's day off; Saturday or Sunday while the server cannot say.
bool isDayOff(const QDate &d)
{
    bool off = d.dayOfWeek() == Qt::Saturday || d.dayOfWeek() == Qt::Sunday;
    ui::guarded([&] { off = shop::calendar::isDayOff(d); });
    return off;
}

} // namespace

MaintenanceJournalWindow::MaintenanceJournalWindow(QWidget *parent) : ui::Form(parent)
{
    maintenanceJournalWindow = this;
    setObjectName(QStringLiteral("maintenanceJournalWindow"));
    setWindowTitle(QStringLiteral("Хоз. работы (25)"));
    setWindowIcon(maintenanceIcon());
    setPlacement(Placement::Screen);

    fatigue = new db::Dataset(QStringLiteral("fatigue"), this);
    fatigue->setSql(QStringLiteral(R"(
        select distinct vo.vid, p.fio, i.s_caption, (f.cnt*f.price) as summ, f.*,
               f.xmin::text as row_ver, case when f.i_holiday=0 then '' else '+' end as s_holiday,
               case when f.i_night=0 then '' else '+' end as s_night
        from accounts_dep.fatigue f, cmn_classifier.item i, accounts_dep.person p,
             accounts_dep.vid_oper vo, accounts_dep.oper o
        where f.id_nom =i.id
          and p.id=f.id_p
          and vo.id = f.id_o
          and o.i_id >=7777
          and o.vid >=7777
          and f.d_date = :d_date
        order by p.fio, f.id)"));

    entriesGrid = new ui::DBGrid(QStringLiteral("entriesGrid"), this);
    entriesGrid->setAccessibleName(QStringLiteral("Хоз. работы за день"));
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    const Qt::Alignment centre = Qt::AlignCenter;
    entriesGrid->setColumns({
        {QStringLiteral("fio"), QStringLiteral("ФИО"), 200},
        {QStringLiteral("s_caption"), QStringLiteral("Номенклатура"), 190},
        {QStringLiteral("vid"), QStringLiteral("Работа"), 120},
        {QStringLiteral("price"), QStringLiteral("Цена"), 70, right, true, 2},
        {QStringLiteral("cnt"), QStringLiteral("Кол-во"), 55, right},
        {QStringLiteral("summ"), QStringLiteral("Итого"), 80, right, true, 2},
        {QStringLiteral("s_holiday"), QStringLiteral("Вых."), 40, centre},
        {QStringLiteral("s_night"), QStringLiteral("Ноч."), 40, centre},
    });
    entriesGrid->setDataset(fatigue);
    entriesGrid->setTabKeyNavigation(false);
    connect(entriesGrid, &ui::DBGrid::rowDoubleClicked, this,
            &MaintenanceJournalWindow::changeClick);

    addButton = newButton("addButton", QStringLiteral("Добавить"));
    changeButton = newButton("changeButton", QStringLiteral("Изменить"));
    deleteButton = newButton("deleteButton", QStringLiteral("Удалить"));
    averagePricesButton = newButton("averagePricesButton", QStringLiteral("Рассчитать ср.сд."));
    historyButton = newButton("historyButton", QStringLiteral("История"));
    whyAmountButton = newButton("whyAmountButton", QStringLiteral("Почему такая сумма?"));
    exitButton = newButton("exitButton", QStringLiteral("Выход"));
    for (QPushButton *b : {addButton, changeButton, deleteButton, averagePricesButton,
                           historyButton, whyAmountButton, exitButton})
        b->setAutoDefault(false);
    setCancelButton(exitButton);

    dateEdit = new QDateEdit(QDate::currentDate(), this);
    dateEdit->setObjectName(QStringLiteral("dateEdit"));
    dateEdit->setAccessibleName(QStringLiteral("Дата"));
    dateEdit->setCalendarPopup(true);
    dateEdit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    dayOffBox = new QCheckBox(QStringLiteral("Выходной"), this);
    dayOffBox->setObjectName(QStringLiteral("dayOffBox"));
    dayOffBox->setChecked(isDayOff(dateEdit->date()));
    dayOffClick();

    bindListKeys(entriesGrid, {addButton, changeButton, deleteButton, nullptr});
    connect(addButton, &QPushButton::clicked, this, &MaintenanceJournalWindow::addClick);
    connect(changeButton, &QPushButton::clicked, this, &MaintenanceJournalWindow::changeClick);
    connect(deleteButton, &QPushButton::clicked, this, &MaintenanceJournalWindow::deleteClick);
    connect(averagePricesButton, &QPushButton::clicked, this,
            &MaintenanceJournalWindow::averagePricesClick);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(whyAmountButton, &QPushButton::clicked, this, &MaintenanceJournalWindow::explainAmount);
    connect(historyButton, &QPushButton::clicked, this, [this] {
        if (!fatigue->isEmpty())
            changeHistoryWindow->openForRow(this, QStringLiteral("fatigue"),
                                            fatigue->value(QStringLiteral("id")).toLongLong());
    });
    connect(dateEdit, &QDateEdit::dateChanged, this, &MaintenanceJournalWindow::dateChange);
    connect(dayOffBox, &QCheckBox::toggled, this, &MaintenanceJournalWindow::dayOffClick);

    // A closed month: the server's sentence under the list, in red.
    closedLabel = new QLabel(this);
    closedLabel->setObjectName(QStringLiteral("closedLabel"));
    closedLabel->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold"));

    auto *root = new QVBoxLayout(this);
    root->addWidget(entriesGrid, 1);
    root->addWidget(closedLabel);
    amountExplanation = new QLabel(this);
    amountExplanation->setObjectName(QStringLiteral("amountExplanation"));
    amountExplanation->setWordWrap(true);
    amountExplanation->setTextInteractionFlags(Qt::TextSelectableByMouse);
    root->addWidget(amountExplanation);
    auto *bar = new QHBoxLayout;
    for (QWidget *w : std::initializer_list<QWidget *>{addButton, changeButton, deleteButton,
                                                       averagePricesButton, historyButton,
                                                       whyAmountButton, dateEdit, dayOffBox})
        bar->addWidget(w);
    bar->addStretch();
    bar->addWidget(exitButton);
    root->addLayout(bar);

    resize(entriesGrid->contentWidth() + 2 * entriesGrid->frameWidth() + 40, 460);
    // A dialog border: the user does not resize the window.
    setFixedSize(size().expandedTo(minimumSizeHint()));
}

void MaintenanceJournalWindow::showDate(const QDate &date)
{
    dateEdit->setDate(date);
}

QDate MaintenanceJournalWindow::shownDate() const
{
    return dateEdit->date();
}

bool MaintenanceJournalWindow::dayOff() const
{
    return dayOffBox->isChecked();
}

void MaintenanceJournalWindow::openList()
{
    amountExplanation->clear();
    fatigue->close();
    fatigue->setParam(QStringLiteral("d_date"), shownDate());
    fatigue->open();
    // Nothing of a closed month is added, changed, deleted or recomputed.
    const bool closed = closing::isClosed(shownDate());
    closedLabel->setText(closed ? closing::sentence(shownDate()) : QString());
    for (QPushButton *b : {addButton, changeButton, deleteButton, averagePricesButton}) {
        b->setEnabled(!closed);
        b->setToolTip(closed ? closing::sentence(shownDate()) : QString());
    }
}

void MaintenanceJournalWindow::FormActivate()
{
    smena = 1;
    openList();
    entriesGrid->setFocus();
}

void MaintenanceJournalWindow::dateChange()
{
    dayOffBox->setChecked(isDayOff(shownDate()));
    // A hidden window reads its list when it is shown.
    if (isVisible())
        openList();
}

void MaintenanceJournalWindow::dayOffClick()
{
    const bool on = dayOffBox->isChecked();
    dayOffBox->setStyleSheet(
        on ? QStringLiteral("QCheckBox { background-color: #ff0000; color: white; }") : QString());
    QFont f = dayOffBox->font();
    f.setBold(on);
    dayOffBox->setFont(f);
}

shop::EntryContext MaintenanceJournalWindow::entryContext() const
{
    return {shownDate(), smena, dayOff()};
}

void MaintenanceJournalWindow::editEntry(const std::function<void()> &start)
{
    // The list is read again after a save, and while the editor is up when its save found
    // the entry changed by another user.
    const QMetaObject::Connection changed =
        connect(maintenanceEntryEditor, &MaintenanceEntryEditor::entriesChanged, this,
                &MaintenanceJournalWindow::reread);
    const auto done = qScopeGuard([&] { disconnect(changed); });
    start();
    const int result = showChild(maintenanceEntryEditor);
    if (result == QDialog::Accepted)
        reread();
}

void MaintenanceJournalWindow::addClick()
{
    if (ui::refuse(closing::refusal(shownDate())))
        return;
    editEntry([] { maintenanceEntryEditor->startAdd(maintenanceJournalWindow->entryContext()); });
}

void MaintenanceJournalWindow::changeClick()
{
    if (fatigue->isEmpty() || ui::refuse(closing::refusal(shownDate())))
        return;
    editEntry([this] { maintenanceEntryEditor->startChange(*fatigue, entryContext()); });
}

void MaintenanceJournalWindow::deleteClick()
{
    if (fatigue->isEmpty() || ui::refuse(closing::refusal(shownDate())))
        return;
    // The question names the entry: worker, work and nomenclature.
    const QString entry = QStringList{fatigue->asString(QStringLiteral("fio")).trimmed(),
                                      fatigue->asString(QStringLiteral("vid")).trimmed(),
                                      fatigue->asString(QStringLiteral("s_caption")).trimmed()}
                              .join(QStringLiteral(", "));
    if (!ui::askYesNo(QStringLiteral("Удалить позицию «%1» из списка?").arg(entry),
                      QStringLiteral("Удаление")))
        return;
    try {
        shop::MaintenanceEntries::remove(fatigue->value(QStringLiteral("id")).toLongLong(),
                                         fatigue->asString(QStringLiteral("row_ver")));
    } catch (const db::SqlError &) {
        reread();
        throw;
    }
    reread();
}

void MaintenanceJournalWindow::averagePricesClick()
{
    const int m = shownDate().month();
    const int y = shownDate().year();
    if (ui::refuse(closing::refusal(m, y)))
        return;
    shop::MaintenanceEntries::recomputeAverages(m, y);
    reread();
}

void MaintenanceJournalWindow::explainAmount()
{
    if (fatigue->isEmpty()) {
        amountExplanation->clear();
        return;
    }
    const shop::pay::HourLine line =
        shop::pay::readHourLine(fatigue->value(QStringLiteral("id")).toLongLong());
    amountExplanation->setText(line.id == 0 ? QStringLiteral("Запись удалена другим пользователем.")
                                            : fatigue->asString(QStringLiteral("fio")).trimmed() +
                                                  QStringLiteral(", ") + line.kindName +
                                                  QStringLiteral(", ") + line.group +
                                                  QStringLiteral(": ") + shop::pay::explain(line));
}

void MaintenanceJournalWindow::reread()
{
    amountExplanation->clear();
    const int rec = fatigue->recNo();
    fatigue->close();
    fatigue->open();
    if (!fatigue->isEmpty() && rec > 0)
        fatigue->setRecNo(rec);
}
