#include "ShiftJournalWindow.h"

#include "db/SqlError.h"
#include "db/Transaction.h"
#include "history/ChangeHistoryWindow.h"
#include "journal/ShiftEntryEditor.h"
#include "maintenance/MaintenanceJournalWindow.h"
#include "refbooks/CalendarWindow.h"
#include "refbooks/OperationKindList.h"
#include "refbooks/OperationList.h"
#include "refbooks/OrganisationWindow.h"
#include "refbooks/ProductList.h"
#include "refbooks/WorkerList.h"
#include "reports/PayStatementWindow.h"
#include "reports/ReportsWindow.h"
#include "shop/Calendar.h"
#include "shop/ClosedMonths.h"
#include "shop/DataModule.h"
#include "shop/PayStatement.h"
#include "shop/Roles.h"
#include "shop/ShiftEntries.h"
#include "timesheets/AbsencesWindow.h"
#include "timesheets/MonthClosingWindow.h"
#include "timesheets/PieceworkTimesheetWindow.h"
#include "timesheets/ShiftTimesheetWindow.h"
#include "timesheets/WorkTimeSheetWindow.h"
#include "ui/Application.h"
#include "ui/DBGrid.h"
#include "ui/Messages.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

ShiftJournalWindow *shiftJournalWindow = nullptr;

namespace {

const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);

// A chosen shift button or a ticked day-off box: coloured background, bold caption.
void paintChoice(QWidget *w, const QColor *background)
{
    w->setStyleSheet(
        background ? QStringLiteral("background-color: %1; color: white;").arg(background->name())
                   : QString());
    QFont f = w->font();
    f.setBold(background != nullptr);
    w->setFont(f);
}

} // namespace

ShiftJournalWindow::ShiftJournalWindow(QWidget *parent) : ui::Form(parent)
{
    shiftJournalWindow = this;
    setObjectName(QStringLiteral("shiftJournalWindow"));
    setPlacement(Placement::Screen);

    buildUi();
    current = dataModule->Smena1;
}

void ShiftJournalWindow::buildUi()
{
    setWindowTitle(QStringLiteral("Табель"));
    auto *root = new QVBoxLayout(this);

    auto *bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("menuBar"));
    root->setMenuBar(bar);
    auto action = [this](QMenu *menu, const char *name, const QString &text) {
        QAction *a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    refbooksMenu = bar->addMenu(QStringLiteral("&Справочники"));
    refbooksMenu->setObjectName(QStringLiteral("refbooksMenu"));
    workersAction = action(refbooksMenu, "workersAction", QStringLiteral("&Рабочие"));
    productsAction = action(refbooksMenu, "productsAction", QStringLiteral("&Изделия"));
    pricesAction = action(refbooksMenu, "pricesAction", QStringLiteral("&Цены"));
    operationKindsAction =
        action(refbooksMenu, "operationKindsAction", QStringLiteral("&Операции"));
    overtimeAction = action(refbooksMenu, "overtimeAction", QStringLiteral("&Внеурочное"));
    overtimeAction->setEnabled(false); // nothing behind it yet: shown, not offered
    refbooksMenu->addSeparator();
    organisationAction =
        action(refbooksMenu, "organisationAction", QStringLiteral("Рекви&зиты организации"));
    calendarAction =
        action(refbooksMenu, "calendarAction", QStringLiteral("&Производственный календарь"));
    timesheetsMenu = bar->addMenu(QStringLiteral("&Табель"));
    timesheetsMenu->setObjectName(QStringLiteral("timesheetsMenu"));
    pieceworkTimesheetAction =
        action(timesheetsMenu, "pieceworkTimesheetAction", QStringLiteral("Табель &сделка"));
    shiftTimesheetAction =
        action(timesheetsMenu, "shiftTimesheetAction", QStringLiteral("Табель по с&менам"));
    maintenanceTimesheetAction =
        action(timesheetsMenu, "maintenanceTimesheetAction", QStringLiteral("Табель &хоз. работ"));
    averageRateTimesheetAction = action(timesheetsMenu, "averageRateTimesheetAction",
                                        QStringLiteral("Табель ср. с&дельная"));
    generalTimesheetAction =
        action(timesheetsMenu, "generalTimesheetAction", QStringLiteral("&Общий табель"));
    workTimeSheetAction = action(timesheetsMenu, "workTimeSheetAction",
                                 QStringLiteral("Табель учета рабочего времени (&Т-13)"));
    absencesAction = action(timesheetsMenu, "absencesAction", QStringLiteral("&Неявки"));
    timesheetsMenu->addSeparator();
    monthClosingAction =
        action(timesheetsMenu, "monthClosingAction", QStringLiteral("&Закрытие периода"));
    changeHistoryAction =
        action(timesheetsMenu, "changeHistoryAction", QStringLiteral("&История изменений"));
    reportsMenu = bar->addMenu(QStringLiteral("&Отчеты"));
    reportsMenu->setObjectName(QStringLiteral("reportsMenu"));
    summaryReportsAction =
        action(reportsMenu, "summaryReportsAction", QStringLiteral("&Сводные отчеты"));
    payStatementsAction =
        action(reportsMenu, "payStatementsAction", QStringLiteral("&Расчетные листки сдельщиков"));
    exitAction = bar->addAction(QStringLiteral("&Выход"));
    exitAction->setObjectName(QStringLiteral("exitAction"));

    auto *top = new QHBoxLayout;
    auto radio = [this, top](const char *name, const QString &text, int number) {
        auto *r = new QRadioButton(text, this);
        r->setObjectName(QLatin1String(name));
        connect(r, &QRadioButton::toggled, this, [this, number](bool on) {
            if (on)
                chooseShift(number);
        });
        top->addWidget(r);
        return r;
    };
    shift1Radio = radio("shift1Radio", QStringLiteral("Смена №1"), 1);
    shift2Radio = radio("shift2Radio", QStringLiteral("Смена №2"), 2);
    shift3Radio = radio("shift3Radio", QStringLiteral("Смена №3"), 3);
    overtimeRadio = radio("overtimeRadio", QStringLiteral("Переработка"), 4);
    top->addSpacing(20);
    dateEdit = new QDateEdit(QDate::currentDate(), this);
    dateEdit->setObjectName(QStringLiteral("dateEdit"));
    dateEdit->setAccessibleName(QStringLiteral("Дата журнала"));
    dateEdit->setCalendarPopup(true);
    dateEdit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    dateEdit->installEventFilter(this);
    // The journal lists the date the picker shows: a typed date is taken when the picker
    // loses the focus (its text box has it), a date chosen in the calendar when the
    // calendar closes, by mouse or by keyboard.
    if (auto *text = dateEdit->findChild<QLineEdit *>())
        text->installEventFilter(this);
    QCalendarWidget *calendar = dateEdit->calendarWidget();
    const auto chosen = [this] { calendarChose_ = true; };
    connect(calendar, &QCalendarWidget::clicked, this, chosen);
    connect(calendar, &QCalendarWidget::activated, this, chosen);
    calendar->window()->installEventFilter(this);
    top->addWidget(dateEdit);
    dayOffBox = new QCheckBox(QStringLiteral("Выходной"), this);
    dayOffBox->setObjectName(QStringLiteral("dayOffBox"));
    connect(dayOffBox, &QCheckBox::toggled, this, &ShiftJournalWindow::dayOffClick);
    top->addWidget(dayOffBox);
    top->addSpacing(20);
    // A closed month: the server's sentence beside the date, in red.
    closedLabel = new QLabel(this);
    closedLabel->setObjectName(QStringLiteral("closedLabel"));
    closedLabel->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold"));
    closedLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    top->addWidget(closedLabel, 1);
    root->addLayout(top);

    entriesGrid = new ui::DBGrid(QStringLiteral("entriesGrid"), this);
    entriesGrid->setAccessibleName(QStringLiteral("Журнал смены"));
    // Tab leaves the grid for the next control instead of walking its cells.
    entriesGrid->setTabKeyNavigation(false);
    const Qt::Alignment centre = Qt::AlignCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    QVector<ui::ColumnDef> cols = {
        {QStringLiteral("fio"), QStringLiteral("Фамилия И.О."), 250},
        {QStringLiteral("marka"), QStringLiteral("Марка изделия"), 260},
        {QStringLiteral("vid"), QStringLiteral("Операция"), 155},
        {QStringLiteral("nmn"), QStringLiteral("Вид"), 157},
        {QStringLiteral("color"), QStringLiteral("Цвет"), 64, centre},
        {QStringLiteral("time"), QStringLiteral("Часы"), 64, right},
        {QStringLiteral("kol_vo"), QStringLiteral("Кол-во"), 57, right},
        {QStringLiteral("brak"), QStringLiteral("Брак"), 49, right},
        {QStringLiteral("summa"), QStringLiteral("Итого (р.)"), 78, right},
        {QStringLiteral("prize"), QStringLiteral("Премия (%)"), 64, right, false},
        {QStringLiteral("ok"), QStringLiteral("OK"), 37, centre},
        {QStringLiteral("vvod"), QStringLiteral("Заведен"), 72, centre, true, -1, true},
    };
    // Figures as the accountants write them, the shift's pieces, hours and pay under them;
    // the stored acceptance mark shown as a word.
    for (ui::ColumnDef &c : cols) {
        if (c.field == QLatin1String("summa"))
            c.figure = ui::Figure::Money;
        else if (c.field == QLatin1String("ok"))
            c.figure = ui::Figure::Accepted;
        else if (c.align == right && c.field != QLatin1String("prize"))
            c.figure = ui::Figure::Quantity;
        c.summed = c.figure == ui::Figure::Money || c.figure == ui::Figure::Quantity;
    }
    entriesGrid->setColumns(cols);
    entriesGrid->setTotalsRow(true);
    entriesGrid->gridModel()->setTitleStyle(true, Qt::AlignCenter);
    entriesGrid->gridModel()->setStyler(
        [](const db::Dataset &ds, int row, const ui::ColumnDef &col, ui::CellStyle &style) {
            if (col.field != QLatin1String("ok"))
                return;
            const QString ok = ds.valueAt(row, QStringLiteral("ok")).toString();
            const bool accepted = shop::ShiftEntries::isAccepted(ok);
            style.foreground = QBrush(accepted ? kGreen : kRed);
            QFont f;
            f.setBold(true);
            style.font = f;
        });
    connect(entriesGrid, &ui::DBGrid::rowDoubleClicked, this,
            &ShiftJournalWindow::entriesGridDoubleClick);
    root->addWidget(entriesGrid, 1);
    amountExplanation = new QLabel(this);
    amountExplanation->setObjectName(QStringLiteral("amountExplanation"));
    amountExplanation->setWordWrap(true);
    amountExplanation->setTextInteractionFlags(Qt::TextSelectableByMouse);
    root->addWidget(amountExplanation);

    auto *bottom = new QHBoxLayout;
    auto button = [this, bottom](const char *name, const QString &text) {
        QPushButton *b = newButton(name, text);
        b->setAutoDefault(false);
        bottom->addWidget(b);
        return b;
    };
    addButton = button("addButton", QStringLiteral("Добавить"));
    changeButton = button("changeButton", QStringLiteral("Изменить"));
    deleteButton = button("deleteButton", QStringLiteral("Удалить"));
    refreshButton = button("refreshButton", QStringLiteral("Обновить"));
    maintenanceButton = button("maintenanceButton", QStringLiteral("Ср.сд./хоз. работы"));
    historyButton = button("historyButton", QStringLiteral("История"));
    whyAmountButton = button("whyAmountButton", QStringLiteral("Почему такая сумма?"));
    bottom->addStretch();
    exitButton = button("exitButton", QStringLiteral("Выход"));
    setCancelButton(exitButton);
    root->addLayout(bottom);

    bindListKeys(entriesGrid, {addButton, changeButton, deleteButton, refreshButton});
    connect(addButton, &QPushButton::clicked, this, &ShiftJournalWindow::addClick);
    connect(changeButton, &QPushButton::clicked, this, &ShiftJournalWindow::changeClick);
    connect(refreshButton, &QPushButton::clicked, this, &ShiftJournalWindow::refreshClick);
    connect(deleteButton, &QPushButton::clicked, this, &ShiftJournalWindow::deleteClick);
    connect(whyAmountButton, &QPushButton::clicked, this, &ShiftJournalWindow::explainAmount);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(exitAction, &QAction::triggered, this, &QDialog::accept);
    connect(workersAction, &QAction::triggered, this, &ShiftJournalWindow::openWorkers);
    connect(productsAction, &QAction::triggered, this, &ShiftJournalWindow::openProducts);
    connect(operationKindsAction, &QAction::triggered, this, &ShiftJournalWindow::openKinds);
    connect(maintenanceButton, &QPushButton::clicked, this, [this] {
        maintenanceJournalWindow->showDate(journalDate());
        showChild(maintenanceJournalWindow);
    });
    const std::pair<QAction *, int> timesheets[] = {{pieceworkTimesheetAction, 9},
                                                    {maintenanceTimesheetAction, 14},
                                                    {averageRateTimesheetAction, 15},
                                                    {generalTimesheetAction, 17}};
    for (const auto &[item, mode] : timesheets)
        connect(item, &QAction::triggered, this,
                [this, m = mode] { pieceworkTimesheetWindow->openFrom(this, m); });
    connect(shiftTimesheetAction, &QAction::triggered, this,
            [this] { shiftTimesheetWindow->openFrom(this, journalDate()); });
    connect(pricesAction, &QAction::triggered, this, [this] { operationList->browseFrom(this); });
    connect(summaryReportsAction, &QAction::triggered, this,
            [this] { reportsWindow->openFrom(this); });
    connect(payStatementsAction, &QAction::triggered, this, [this] {
        payStatementWindow->openFor(this, 0, QString(), journalDate().month(),
                                    journalDate().year());
    });
    connect(monthClosingAction, &QAction::triggered, this, [this] {
        monthClosingWindow->openFrom(this, roleOf(accessRole) == Role::Administrator);
        showMonthState();
    });
    connect(organisationAction, &QAction::triggered, this, [this] {
        organisationWindow->openFrom(this, roleOf(accessRole) == Role::Administrator);
    });
    connect(calendarAction, &QAction::triggered, this, [this] {
        calendarWindow->openFrom(this, journalDate().year(),
                                 roleOf(accessRole) == Role::Administrator);
    });
    connect(workTimeSheetAction, &QAction::triggered, this,
            [this] { workTimeSheetWindow->openFrom(this, journalDate()); });
    connect(absencesAction, &QAction::triggered, this, [this] {
        absencesWindow->openFrom(this, journalDate(), roleOf(accessRole) == Role::Administrator);
    });
    connect(changeHistoryAction, &QAction::triggered, this,
            [this] { changeHistoryWindow->openAll(this); });
    connect(historyButton, &QPushButton::clicked, this, [this] {
        const db::Dataset *q = dataModule->smena(shift);
        if (!q->isEmpty())
            changeHistoryWindow->openForRow(this, QStringLiteral("smena"),
                                            q->asInteger(QStringLiteral("id")));
    });

    shift1Radio->setChecked(true);
    dayOffClick();

    // The window keeps the size its grid needs.
    const int width = entriesGrid->contentWidth() + 2 * entriesGrid->frameWidth() + 40;
    setFixedSize(width, 620);

    versionTimer = new QTimer(this);
    versionTimer->setObjectName(QStringLiteral("versionTimer"));
    versionTimer->setInterval(30000);
    connect(versionTimer, &QTimer::timeout, this, [this] {
        if (versionCheck_)
            ui::guarded(versionCheck_);
    });
    versionTimer->start();
}

bool ShiftJournalWindow::leaveAsked()
{
    return ui::askYesNo(QStringLiteral("Выйти из программы?"), QStringLiteral("Выход"));
}

void ShiftJournalWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (leaveAsked())
            accept();
        return;
    }
    ui::Form::keyPressEvent(event);
}

void ShiftJournalWindow::closeEvent(QCloseEvent *event)
{
    if (!leaveAsked()) {
        event->ignore();
        return;
    }
    ui::Form::closeEvent(event);
}

void ShiftJournalWindow::setVersionCheck(std::function<void()> check)
{
    versionCheck_ = std::move(check);
}

void ShiftJournalWindow::startSession(const QString &typedCode)
{
    shift1Radio->setChecked(true);
    shift = 1;
    accessRole = typedCode;
    timesheetsMenu->menuAction()->setEnabled(allows(roleOf(accessRole), Action::OpenTimesheets));
}

void ShiftJournalWindow::applyRole(Role role)
{
    const std::pair<Action, QList<QWidget *>> controls[] = {
        {Action::AddEntry, {addButton}},
        {Action::ChangeEntry, {changeButton}},
        {Action::DeleteEntry, {deleteButton}},
        {Action::BrowseEntries, {entriesGrid}},
        {Action::ChooseShift, {shift1Radio, shift2Radio, shift3Radio, overtimeRadio}},
        {Action::ChooseDate, {dateEdit}},
        {Action::MarkDayOff, {dayOffBox}},
        {Action::RefreshJournal, {refreshButton}},
    };
    for (QWidget *w : findChildren<QWidget *>())
        w->setProperty("takenByRole", QVariant());
    for (const auto &[action, widgets] : controls) {
        if (allows(role, action))
            continue;
        for (QWidget *w : widgets) {
            w->setEnabled(false);
            w->setProperty("takenByRole", true);
        }
    }
    const std::pair<Action, QMenu *> menus[] = {{Action::OpenRefbooks, refbooksMenu},
                                                {Action::OpenTimesheets, timesheetsMenu}};
    for (const auto &[action, menu] : menus)
        if (!allows(role, action))
            menu->menuAction()->setEnabled(false);
}

QDate ShiftJournalWindow::journalDate() const
{
    return dateEdit->date();
}

shop::EntryContext ShiftJournalWindow::entryContext() const
{
    return {journalDate(), shift, dayOffBox->isChecked()};
}

void ShiftJournalWindow::reopenJournals(bool setDate)
{
    amountExplanation->clear();
    const auto journals = dataModule->journals();
    for (db::Dataset *q : journals)
        q->close();
    if (setDate)
        listedDate_ = journalDate();
    // Only the shown shift's list is read at once; the others are read when chosen (or
    // first asked for), with the date they were opened with.
    for (db::Dataset *q : journals) {
        if (setDate)
            q->setParam(QStringLiteral("data"), listedDate_);
        if (q == dataModule->smena(shift))
            q->open();
        else
            q->openLater();
    }
    if (setDate)
        showMonthState();
}

void ShiftJournalWindow::showMonthState()
{
    const bool closed = closing::isClosed(listedDate_);
    closedLabel->setText(closed ? closing::sentence(listedDate_) : QString());
    // A button a role took away stays disabled in an open month.
    for (QPushButton *b : {addButton, changeButton, deleteButton}) {
        b->setEnabled(!closed && !b->property("takenByRole").toBool());
        b->setToolTip(closed ? closing::sentence(listedDate_) : QString());
    }
}

void ShiftJournalWindow::applyShownDate(bool always)
{
    if (always || journalDate() != listedDate_)
        dateChange();
}

void ShiftJournalWindow::FormActivate()
{
    // The day-off box follows the date when the journal moves to today; on the same date
    // the user's own tick stays.
    const QDate today = QDate::currentDate();
    const bool moved = today != listedDate_;
    dateEdit->setDate(today);
    if (moved)
        dayOffBox->setChecked(shop::calendar::isDayOff(today));
    for (db::Dataset *q : dataModule->journals()) {
        q->close();
        q->setFiltered(false);
    }
    reopenJournals(true);
}

void ShiftJournalWindow::dateChange()
{
    {
        const ui::WaitCursor wait;
        reopenJournals(true);
        dayOffBox->setChecked(shop::calendar::isDayOff(journalDate()));
    }
    entriesGrid->setFocus();
}

void ShiftJournalWindow::dayOffClick()
{
    paintChoice(dayOffBox, dayOffBox->isChecked() ? &kRed : nullptr);
}

void ShiftJournalWindow::chooseShift(int number)
{
    // A list that cannot be read is shown empty (the error told), under its own button.
    db::Dataset *q = dataModule->smena(number);
    ui::guarded([q] { q->settle(); });
    entriesGrid->setDataset(q);
    amountExplanation->clear();
    QRadioButton *buttons[] = {shift1Radio, shift2Radio, shift3Radio, overtimeRadio};
    for (int i = 0; i < 4; ++i)
        paintChoice(buttons[i], i + 1 == number ? &kGreen : nullptr);
    shift = number;
}

void ShiftJournalWindow::addClick()
{
    current = dataModule->smena(shift);
    shiftEntryEditor->presetAdd(entryContext());
    showChild(shiftEntryEditor);
}

void ShiftJournalWindow::changeClick()
{
    db::Dataset *q = dataModule->smena(shift);
    current = q;
    const int rec = q->recNo();
    if (q->isEmpty())
        return;
    shiftEntryEditor->presetEdit(*q, entryContext());
    dataModule->Oper->close();
    showChild(shiftEntryEditor);
    q->setRecNo(rec);
}

void ShiftJournalWindow::refreshClick()
{
    const ui::WaitCursor wait;
    reopenJournals(false);
}

void ShiftJournalWindow::deleteClick()
{
    db::Dataset *q = dataModule->smena(shift);
    if (q->asString(QStringLiteral("id")).isEmpty())
        return;
    // The question names the entry: worker, product and operation.
    const QString entry = QStringList{q->asString(QStringLiteral("fio")).trimmed(),
                                      q->asString(QStringLiteral("marka")).trimmed(),
                                      q->asString(QStringLiteral("vid")).trimmed()}
                              .join(QStringLiteral(", "));
    if (!ui::askYesNo(QStringLiteral("Удалить позицию «%1» из списка?").arg(entry),
                      QStringLiteral("Удаление"))) {
        q->reopen();
        return;
    }
    try {
        shop::ShiftEntries::remove(q->asInteger(QStringLiteral("id")),
                                   q->asString(QStringLiteral("row_ver")));
    } catch (const db::RowChanged &) {
        q->reopen();
        throw;
    }
    q->reopen();
}

void ShiftJournalWindow::entriesGridDoubleClick()
{
    if (!mayAccept(accessRole))
        return;
    db::Dataset *q = dataModule->smena(shift);
    current = q;
    if (q->isEmpty() || ui::refuse(closing::refusal(listedDate_)))
        return;
    // The mark wanted is the other one than the list shows: asked again after a lost
    // connection, the same request changes nothing.
    const bool accepted = shop::ShiftEntries::isAccepted(q->asString(QStringLiteral("ok")));
    try {
        shop::ShiftEntries::setAccepted(q->asInteger(QStringLiteral("id")), !accepted);
    } catch (const db::RowChanged &) {
        q->reopen();
        throw;
    }
    const int rec = q->recNo();
    q->reopen();
    q->setRecNo(rec);
}

void ShiftJournalWindow::explainAmount()
{
    const db::Dataset *q = dataModule->smena(shift);
    if (q->isEmpty()) {
        amountExplanation->clear();
        return;
    }
    const shop::pay::ShiftLine line =
        shop::pay::readShiftLine(q->value(QStringLiteral("id")).toLongLong());
    amountExplanation->setText(line.id == 0 ? QStringLiteral("Запись удалена другим пользователем.")
                                            : q->asString(QStringLiteral("fio")).trimmed() +
                                                  QStringLiteral(", ") + line.product +
                                                  QStringLiteral(", ") + line.operation +
                                                  QStringLiteral(": ") + shop::pay::explain(line));
}

void ShiftJournalWindow::openWorkers()
{
    workerList->browseFrom(this);
}

void ShiftJournalWindow::openProducts()
{
    productList->browseFrom(this);
}

void ShiftJournalWindow::openKinds()
{
    dataModule->Vid_oper->setFiltered(false);
    operationKindList->browseFrom(this);
}

bool ShiftJournalWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut &&
        (watched == dateEdit || watched->parent() == dateEdit) && !dateEdit->hasFocus()) {
        dateEdit->interpretText();
        ui::guarded([this] { applyShownDate(false); });
    }
    // The calendar puts its date into the picker only as it closes.
    if (event->type() == QEvent::Hide && watched == dateEdit->calendarWidget()->window()) {
        QTimer::singleShot(0, this, [this] {
            const bool chose = calendarChose_;
            calendarChose_ = false;
            ui::guarded([this, chose] { applyShownDate(chose); });
        });
    }
    if (watched == dateEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            dateEdit->interpretText();
            dateChange();
            return true;
        }
    }
    return ui::Form::eventFilter(watched, event);
}
