#include "ShiftJournalWindow.h"

#include "db/SqlError.h"
#include "db/Transaction.h"
#include "journal/ChangeHistoryWindow.h"
#include "journal/Closing.h"
#include "journal/ShiftEntryEditor.h"
#include "maintenance/MaintenanceEntryEditor.h"
#include "refbooks/OperationKindList.h"
#include "refbooks/OperationList.h"
#include "refbooks/ProductList.h"
#include "refbooks/WorkerList.h"
#include "reports/PayStatementWindow.h"
#include "reports/ReportsWindow.h"
#include "shop/DataModule.h"
#include "shop/PayStatement.h"
#include "shop/Roles.h"
#include "shop/ShiftEntries.h"
#include "timesheets/MonthClosingWindow.h"
#include "timesheets/PieceworkTimesheetWindow.h"
#include "timesheets/ShiftTimesheetWindow.h"
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

bool isWeekend(const QDate &d)
{
    return d.dayOfWeek() == Qt::Saturday || d.dayOfWeek() == Qt::Sunday;
}

} // namespace

ShiftJournalWindow::ShiftJournalWindow(const QStringList &args, QWidget *parent) : ui::Form(parent)
{
    shiftJournalWindow = this;
    setObjectName(QStringLiteral("shiftJournalWindow"));
    setPlacement(Placement::Screen);

    // FormCreate: the data module and the connection.
    dataModule = new DataModule(this);
    const db::SettingsSources sources = db::defaultSources();
    db::ConnectionParams params;
    try {
        params = DataModule::settingsFor(args, sources);
        dataModule->connectWith(params);
        connected_ = true;
    } catch (const db::SettingsError &e) {
        // Settings that cannot be used: said as they are, and no other server is tried.
        ui::messages().error(e.text(), QStringLiteral("Ошибка!"));
    } catch (const db::SqlError &e) {
        // What was tried and where to change it, for whoever sets up the site.
        ui::messages().error(
            QStringLiteral("Нет подключения к базе данных."), QStringLiteral("Ошибка!"),
            QStringLiteral("Не удалось подключиться: %1.\n%2\nНастройки "
                           "подключения: %3 (для всех пользователей: %4).")
                .arg(db::describe(params), e.text(), sources.userFile, sources.systemFile));
    }

    updtOK.setSql(QStringLiteral("update accounts_dep.smena set ok=:ok where id=:id"));
    buildUi();
    current = dataModule->Smena1;
}

void ShiftJournalWindow::buildUi()
{
    setWindowTitle(QStringLiteral("Табель"));
    auto *root = new QVBoxLayout(this);

    auto *bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("MainMenu1"));
    root->setMenuBar(bar);
    auto action = [this](QMenu *menu, const char *name, const QString &text) {
        QAction *a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    N2 = bar->addMenu(QStringLiteral("Справочники"));
    N2->setObjectName(QStringLiteral("N2"));
    N1 = action(N2, "N1", QStringLiteral("Рабочие"));
    N3 = action(N2, "N3", QStringLiteral("Изделия"));
    N4 = action(N2, "N4", QStringLiteral("Цены"));
    N6 = action(N2, "N6", QStringLiteral("Операции"));
    N8 = action(N2, "N8", QStringLiteral("Внеурочное"));
    N11 = bar->addMenu(QStringLiteral("Табель"));
    N11->setObjectName(QStringLiteral("N11"));
    N9 = action(N11, "N9", QStringLiteral("Табель сделка"));
    N13 = action(N11, "N13", QStringLiteral("Табель по сменам"));
    N14 = action(N11, "N14", QStringLiteral("Табель хоз. работ"));
    N15 = action(N11, "N15", QStringLiteral("Табель ср. сдельная"));
    N17 = action(N11, "N17", QStringLiteral("Общий табель"));
    N11->addSeparator();
    N18 = action(N11, "N18", QStringLiteral("Закрытие периода"));
    N19 = action(N11, "N19", QStringLiteral("История изменений"));
    N7 = bar->addMenu(QStringLiteral("Отчеты"));
    N7->setObjectName(QStringLiteral("N7"));
    N10 = action(N7, "N10", QStringLiteral("Сводные отчеты"));
    payStatementsAction =
        action(N7, "payStatementsAction", QStringLiteral("Расчетные листки сдельщиков"));
    N5 = bar->addAction(QStringLiteral("Выход"));
    N5->setObjectName(QStringLiteral("N5"));

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
    RadioButton1 = radio("RadioButton1", QStringLiteral("Смена №1"), 1);
    RadioButton2 = radio("RadioButton2", QStringLiteral("Смена №2"), 2);
    RadioButton3 = radio("RadioButton3", QStringLiteral("Смена №3"), 3);
    RadioButton4 = radio("RadioButton4", QStringLiteral("Переработка"), 4);
    top->addSpacing(20);
    DateT = new QDateEdit(QDate::currentDate(), this);
    DateT->setObjectName(QStringLiteral("DateT"));
    DateT->setAccessibleName(QStringLiteral("Дата журнала"));
    DateT->setCalendarPopup(true);
    DateT->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    DateT->installEventFilter(this);
    // The journal lists the date the picker shows: a typed date is taken when the picker
    // loses the focus (its text box has it), a date chosen in the calendar when the
    // calendar closes, by mouse or by keyboard.
    if (auto *text = DateT->findChild<QLineEdit *>())
        text->installEventFilter(this);
    QCalendarWidget *calendar = DateT->calendarWidget();
    const auto chosen = [this] { calendarChose_ = true; };
    connect(calendar, &QCalendarWidget::clicked, this, chosen);
    connect(calendar, &QCalendarWidget::activated, this, chosen);
    calendar->window()->installEventFilter(this);
    top->addWidget(DateT);
    CBox1 = new QCheckBox(QStringLiteral("Выходной"), this);
    CBox1->setObjectName(QStringLiteral("CBox1"));
    connect(CBox1, &QCheckBox::toggled, this, &ShiftJournalWindow::CBox1Click);
    top->addWidget(CBox1);
    top->addSpacing(20);
    // A closed month: the server's sentence beside the date, in red.
    LabelClosed = new QLabel(this);
    LabelClosed->setObjectName(QStringLiteral("LabelClosed"));
    LabelClosed->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold"));
    LabelClosed->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    top->addWidget(LabelClosed, 1);
    root->addLayout(top);

    DBGrid2 = new ui::DBGrid(QStringLiteral("DBGrid2"), this);
    DBGrid2->setAccessibleName(QStringLiteral("Журнал смены"));
    // Tab leaves the grid for the next control instead of walking its cells.
    DBGrid2->setTabKeyNavigation(false);
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
        {QStringLiteral("summa"), QStringLiteral("Итого (р.)"), 78, right, true, 2},
        {QStringLiteral("prize"), QStringLiteral("Премия (%)"), 64, right, false},
        {QStringLiteral("ok"), QStringLiteral("OK"), 37, centre},
        {QStringLiteral("vvod"), QStringLiteral("Заведен"), 72, centre, true, -1, true},
    };
    DBGrid2->setColumns(cols);
    DBGrid2->gridModel()->setTitleStyle(true, Qt::AlignCenter);
    DBGrid2->gridModel()->setStyler(
        [](const db::Dataset &ds, int row, const ui::ColumnDef &col, ui::CellStyle &style) {
            if (col.field != QLatin1String("ok"))
                return;
            const QString ok = ds.valueAt(row, QStringLiteral("ok")).toString();
            const bool accepted = ok == QLatin1String("ok") || ok == QStringLiteral("да");
            style.foreground = QBrush(accepted ? kGreen : kRed);
            QFont f;
            f.setBold(true);
            style.font = f;
        });
    connect(DBGrid2, &ui::DBGrid::rowDoubleClicked, this, &ShiftJournalWindow::DBGrid2DblClick);
    root->addWidget(DBGrid2, 1);
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
    Button1 = button("Button1", QStringLiteral("Добавить"));
    Button2 = button("Button2", QStringLiteral("Изменить"));
    Button3 = button("Button3", QStringLiteral("Удалить"));
    Button8 = button("Button8", QStringLiteral("Обновить"));
    Button5 = button("Button5", QStringLiteral("Ср.сд./хоз. работы"));
    Button9 = button("Button9", QStringLiteral("История"));
    whyAmountButton = button("whyAmountButton", QStringLiteral("Почему такая сумма?"));
    bottom->addStretch();
    Button4 = button("Button4", QStringLiteral("Выход"));
    setCancelButton(Button4);
    root->addLayout(bottom);

    connect(Button1, &QPushButton::clicked, this, &ShiftJournalWindow::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &ShiftJournalWindow::Button2Click);
    connect(Button8, &QPushButton::clicked, this, &ShiftJournalWindow::Button8Click);
    connect(Button3, &QPushButton::clicked, this, &ShiftJournalWindow::Button3Click);
    connect(whyAmountButton, &QPushButton::clicked, this, &ShiftJournalWindow::explainAmount);
    connect(Button4, &QPushButton::clicked, this, &QDialog::accept);
    connect(N5, &QAction::triggered, this, &QDialog::accept);
    connect(N1, &QAction::triggered, this, &ShiftJournalWindow::openWorkers);
    connect(N3, &QAction::triggered, this, &ShiftJournalWindow::openProducts);
    connect(N6, &QAction::triggered, this, &ShiftJournalWindow::openKinds);
    connect(Button5, &QPushButton::clicked, this, [this] {
        maintenanceEntryEditor->DTPcker1->setDate(journalDate());
        showChild(maintenanceEntryEditor);
    });
    const std::pair<QAction *, int> timesheets[] = {{N9, 9}, {N14, 14}, {N15, 15}, {N17, 17}};
    for (const auto &[item, mode] : timesheets)
        connect(item, &QAction::triggered, this,
                [this, m = mode] { pieceworkTimesheetWindow->openFrom(this, m); });
    connect(N13, &QAction::triggered, this,
            [this] { shiftTimesheetWindow->openFrom(this, journalDate()); });
    connect(N4, &QAction::triggered, this, [this] { operationList->browseFrom(this); });
    connect(N10, &QAction::triggered, this, [this] { reportsWindow->openFrom(this); });
    connect(payStatementsAction, &QAction::triggered, this, [this] {
        payStatementWindow->openFor(this, 0, QString(), journalDate().month(),
                                    journalDate().year());
    });
    connect(N18, &QAction::triggered, this, [this] {
        monthClosingWindow->openFrom(this, roleOf(accessRole) == Role::Administrator);
        showMonthState();
    });
    connect(N19, &QAction::triggered, this, [this] { changeHistoryWindow->openAll(this); });
    connect(Button9, &QPushButton::clicked, this, [this] {
        const db::Dataset *q = dataModule->smena(shift);
        if (!q->isEmpty())
            changeHistoryWindow->openForRow(this, QStringLiteral("smena"),
                                            q->asInteger(QStringLiteral("id")));
    });

    RadioButton1->setChecked(true);
    CBox1Click();

    // The window keeps the size its grid needs.
    const int width = DBGrid2->contentWidth() + 2 * DBGrid2->frameWidth() + 40;
    setFixedSize(width, 620);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(30000);
    connect(Timer1, &QTimer::timeout, this, [this] {
        if (versionCheck_)
            ui::guarded(versionCheck_);
    });
    Timer1->start();
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

QDate ShiftJournalWindow::journalDate() const
{
    return DateT->date();
}

shop::EntryContext ShiftJournalWindow::entryContext() const
{
    return {journalDate(), shift, CBox1->isChecked()};
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
    LabelClosed->setText(closed ? closing::sentence(listedDate_) : QString());
    // A button a role took away stays disabled in an open month.
    for (QPushButton *b : {Button1, Button2, Button3}) {
        b->setEnabled(!closed && !b->property("takenByRole").toBool());
        b->setToolTip(closed ? closing::sentence(listedDate_) : QString());
    }
}

void ShiftJournalWindow::applyShownDate(bool always)
{
    if (always || journalDate() != listedDate_)
        DateTChange();
}

void ShiftJournalWindow::FormActivate()
{
    // The day-off box follows the date when the journal moves to today; on the same date
    // the user's own tick stays.
    const QDate today = QDate::currentDate();
    const bool moved = today != listedDate_;
    DateT->setDate(today);
    if (moved)
        CBox1->setChecked(isWeekend(today));
    for (db::Dataset *q : dataModule->journals()) {
        q->close();
        q->setFiltered(false);
    }
    reopenJournals(true);
}

void ShiftJournalWindow::DateTChange()
{
    {
        const ui::WaitCursor wait;
        reopenJournals(true);
        CBox1->setChecked(isWeekend(journalDate()));
    }
    DBGrid2->setFocus();
}

void ShiftJournalWindow::CBox1Click()
{
    paintChoice(CBox1, CBox1->isChecked() ? &kRed : nullptr);
}

void ShiftJournalWindow::chooseShift(int number)
{
    // A list that cannot be read is shown empty (the error told), under its own button.
    db::Dataset *q = dataModule->smena(number);
    ui::guarded([q] { q->settle(); });
    DBGrid2->setDataset(q);
    amountExplanation->clear();
    QRadioButton *buttons[] = {RadioButton1, RadioButton2, RadioButton3, RadioButton4};
    for (int i = 0; i < 4; ++i)
        paintChoice(buttons[i], i + 1 == number ? &kGreen : nullptr);
    shift = number;
}

void ShiftJournalWindow::Button1Click()
{
    current = dataModule->smena(shift);
    shiftEntryEditor->presetAdd(entryContext());
    showChild(shiftEntryEditor);
}

void ShiftJournalWindow::Button2Click()
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

void ShiftJournalWindow::Button8Click()
{
    const ui::WaitCursor wait;
    reopenJournals(false);
}

void ShiftJournalWindow::Button3Click()
{
    db::Dataset *q = dataModule->smena(shift);
    if (q->asString(QStringLiteral("id")).isEmpty())
        return;
    if (!ui::askYesNo(QStringLiteral("Удалить позицию из списка?"), QStringLiteral("Удаление"))) {
        q->reopen();
        return;
    }
    try {
        shop::ShiftEntries::remove(q->asInteger(QStringLiteral("id")));
    } catch (const db::RowChanged &) {
        q->reopen();
        throw;
    }
    q->reopen();
}

void ShiftJournalWindow::DBGrid2DblClick()
{
    if (!mayAccept(accessRole))
        return;
    db::Dataset *q = dataModule->smena(shift);
    current = q;
    if (q->isEmpty() || closing::refuse(listedDate_))
        return;
    const QString ok = q->asString(QStringLiteral("ok"));
    const bool accepted = ok == QStringLiteral("да") || ok == QLatin1String("ok");
    updtOK.setParam(QStringLiteral("ok"), accepted ? QStringLiteral("no") : QStringLiteral("ok"));
    updtOK.setParam(QStringLiteral("id"), q->asInteger(QStringLiteral("id")));
    updtOK.execute();
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
    if (event->type() == QEvent::FocusOut && (watched == DateT || watched->parent() == DateT) &&
        !DateT->hasFocus()) {
        DateT->interpretText();
        ui::guarded([this] { applyShownDate(false); });
    }
    // The calendar puts its date into the picker only as it closes.
    if (event->type() == QEvent::Hide && watched == DateT->calendarWidget()->window()) {
        QTimer::singleShot(0, this, [this] {
            const bool chose = calendarChose_;
            calendarChose_ = false;
            ui::guarded([this, chose] { applyShownDate(chose); });
        });
    }
    if (watched == DateT && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            DateT->interpretText();
            DateTChange();
            return true;
        }
    }
    return ui::Form::eventFilter(watched, event);
}
