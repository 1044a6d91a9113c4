#include "MaintenanceEntryEditor.h"

#include "MaintenanceJournalWindow.h"
#include "db/Dataset.h"
#include "db/SqlError.h"
#include "db/SqlText.h"
#include "db/Transaction.h"
#include "journal/ChangeHistoryWindow.h"
#include "journal/Closing.h"
#include "shop/DataModule.h"
#include "shop/MaintenanceEntries.h"
#include "shop/PayStatement.h"
#include "shop/Price.h"
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

MaintenanceEntryEditor *maintenanceEntryEditor = nullptr;

QIcon maintenanceIcon()
{
    return QIcon(QStringLiteral(":/Icon_1.xpm"));
}

namespace {

bool isWeekend(const QDate &d)
{
    return d.dayOfWeek() == Qt::Saturday || d.dayOfWeek() == Qt::Sunday;
}

QString num(qlonglong n)
{
    return QString::number(n);
}

} // namespace

MaintenanceEntryEditor::MaintenanceEntryEditor(QWidget *parent) : ui::Form(parent)
{
    maintenanceEntryEditor = this;
    setObjectName(QStringLiteral("maintenanceEntryEditor"));
    setWindowTitle(QStringLiteral("Хоз. работы (25)"));
    setWindowIcon(maintenanceIcon());
    setPlacement(Placement::Screen);

    fatigue = new db::Dataset(QStringLiteral("fatigue"), this);
    fatigue->setSql(QStringLiteral(
        "select distinct vo.vid, p.fio, i.s_caption, (f.cnt*f.price) as summ,  f.*, "
        "f.xmin::text as row_ver, case when f.i_holiday=0 then '' else '+' end as s_holiday, "
        "case when f.i_night=0 then '' else '+' end as s_night from accounts_dep.fatigue f, "
        "cmn_classifier.item i, accounts_dep.person p,accounts_dep.vid_oper vo, "
        "accounts_dep.oper o where f.id_nom =i.id and p.id=f.id_p and vo.id = f.id_o and "
        "o.i_id >=7777 and o.vid >=7777 and f.d_date = :d_date order by p.fio, f.id"));

    DBGrid1 = new ui::DBGrid(QStringLiteral("DBGrid1"), this);
    DBGrid1->setAccessibleName(QStringLiteral("Хоз. работы за день"));
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    const Qt::Alignment centre = Qt::AlignCenter;
    DBGrid1->setColumns({
        {QStringLiteral("fio"), QStringLiteral("ФИО"), 200},
        {QStringLiteral("s_caption"), QStringLiteral("Номенклатура"), 190},
        {QStringLiteral("vid"), QStringLiteral("Работа"), 120},
        {QStringLiteral("price"), QStringLiteral("Цена"), 70, right, true, 2},
        {QStringLiteral("cnt"), QStringLiteral("Кол-во"), 55, right},
        {QStringLiteral("summ"), QStringLiteral("Итого"), 80, right, true, 2},
        {QStringLiteral("s_holiday"), QStringLiteral("Вых."), 40, centre},
        {QStringLiteral("s_night"), QStringLiteral("Ноч."), 40, centre},
    });
    DBGrid1->setDataset(fatigue);
    DBGrid1->setTabKeyNavigation(false);
    connect(DBGrid1, &ui::DBGrid::rowDoubleClicked, this, &MaintenanceEntryEditor::Button6Click);

    Button5 = newButton("Button5", QStringLiteral("Добавить"));
    Button6 = newButton("Button6", QStringLiteral("Изменить"));
    Button7 = newButton("Button7", QStringLiteral("Удалить"));
    Button1 = newButton("Button1", QStringLiteral("Рассчитать ср.сд."));
    Button9 = newButton("Button9", QStringLiteral("История"));
    whyAmountButton = newButton("whyAmountButton", QStringLiteral("Почему такая сумма?"));
    Button8 = newButton("Button8", QStringLiteral("Выход"));
    for (QPushButton *b : {Button5, Button6, Button7, Button1, Button9, whyAmountButton, Button8})
        b->setAutoDefault(false);
    setCancelButton(Button8);

    DTPcker1 = new QDateEdit(QDate::currentDate(), this);
    DTPcker1->setObjectName(QStringLiteral("DTPcker1"));
    DTPcker1->setAccessibleName(QStringLiteral("Дата"));
    DTPcker1->setCalendarPopup(true);
    DTPcker1->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    CBox1 = new QCheckBox(QStringLiteral("Выходной"), this);
    CBox1->setObjectName(QStringLiteral("CBox1"));
    CBox1->setChecked(isWeekend(DTPcker1->date()));
    CBox1Click();

    connect(Button5, &QPushButton::clicked, this, &MaintenanceEntryEditor::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &MaintenanceEntryEditor::Button6Click);
    connect(Button7, &QPushButton::clicked, this, &MaintenanceEntryEditor::Button7Click);
    connect(Button1, &QPushButton::clicked, this, &MaintenanceEntryEditor::Button1Click);
    connect(Button8, &QPushButton::clicked, this, &QDialog::reject);
    connect(whyAmountButton, &QPushButton::clicked, this, &MaintenanceEntryEditor::explainAmount);
    connect(Button9, &QPushButton::clicked, this, [this] {
        if (!fatigue->isEmpty())
            changeHistoryWindow->openForRow(this, QStringLiteral("fatigue"),
                                            fatigue->value(QStringLiteral("id")).toLongLong());
    });
    connect(DTPcker1, &QDateEdit::dateChanged, this, &MaintenanceEntryEditor::DTPcker1Change);
    connect(CBox1, &QCheckBox::toggled, this, &MaintenanceEntryEditor::CBox1Click);

    // A closed month: the server's sentence under the list, in red.
    LabelClosed = new QLabel(this);
    LabelClosed->setObjectName(QStringLiteral("LabelClosed"));
    LabelClosed->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold"));

    auto *root = new QVBoxLayout(this);
    root->addWidget(DBGrid1, 1);
    root->addWidget(LabelClosed);
    amountExplanation = new QLabel(this);
    amountExplanation->setObjectName(QStringLiteral("amountExplanation"));
    amountExplanation->setWordWrap(true);
    amountExplanation->setTextInteractionFlags(Qt::TextSelectableByMouse);
    root->addWidget(amountExplanation);
    auto *bar = new QHBoxLayout;
    for (QWidget *w : std::initializer_list<QWidget *>{Button5, Button6, Button7, Button1, Button9,
                                                       whyAmountButton, DTPcker1, CBox1})
        bar->addWidget(w);
    bar->addStretch();
    bar->addWidget(Button8);
    root->addLayout(bar);

    resize(DBGrid1->contentWidth() + 2 * DBGrid1->frameWidth() + 40, 460);
    // A dialog border: the user does not resize the window.
    setFixedSize(size().expandedTo(minimumSizeHint()));
}

QDate MaintenanceEntryEditor::date() const
{
    return DTPcker1->date();
}

bool MaintenanceEntryEditor::dayOff() const
{
    return CBox1->isChecked();
}

void MaintenanceEntryEditor::openList()
{
    amountExplanation->clear();
    fatigue->close();
    fatigue->setParam(QStringLiteral("d_date"), date());
    fatigue->open();
    // Nothing of a closed month is added, changed, deleted or recomputed.
    const bool closed = closing::isClosed(date());
    LabelClosed->setText(closed ? closing::sentence(date()) : QString());
    for (QPushButton *b : {Button5, Button6, Button7, Button1}) {
        b->setEnabled(!closed);
        b->setToolTip(closed ? closing::sentence(date()) : QString());
    }
}

void MaintenanceEntryEditor::FormActivate()
{
    smena = 1;
    openList();
    DBGrid1->setFocus();
}

void MaintenanceEntryEditor::DTPcker1Change()
{
    CBox1->setChecked(isWeekend(date()));
    // A hidden window reads its list when it is shown.
    if (isVisible())
        openList();
}

void MaintenanceEntryEditor::CBox1Click()
{
    const bool on = CBox1->isChecked();
    CBox1->setStyleSheet(
        on ? QStringLiteral("QCheckBox { background-color: #ff0000; color: white; }") : QString());
    QFont f = CBox1->font();
    f.setBold(on);
    CBox1->setFont(f);
}

shop::EntryContext MaintenanceEntryEditor::entryContext() const
{
    return {date(), smena, dayOff()};
}

void MaintenanceEntryEditor::editEntry(const std::function<void()> &start)
{
    // The list is read again after a save, and while the editor is up when its save found
    // the entry changed by another user.
    const QMetaObject::Connection changed =
        connect(maintenanceJournalWindow, &MaintenanceJournalWindow::entriesChanged, this,
                &MaintenanceEntryEditor::reread);
    const auto done = qScopeGuard([&] { disconnect(changed); });
    start();
    const int result = showChild(maintenanceJournalWindow);
    maintenanceJournalWindow->type_work->close();
    if (result == QDialog::Accepted)
        reread();
}

void MaintenanceEntryEditor::Button5Click()
{
    if (closing::refuse(date()))
        return;
    editEntry([] { maintenanceJournalWindow->startAdd(maintenanceEntryEditor->entryContext()); });
}

void MaintenanceEntryEditor::Button6Click()
{
    if (fatigue->isEmpty() || closing::refuse(date()))
        return;
    editEntry([this] { maintenanceJournalWindow->startChange(*fatigue, entryContext()); });
}

void MaintenanceEntryEditor::Button7Click()
{
    if (fatigue->isEmpty() || closing::refuse(date()))
        return;
    if (!ui::askYesNo(QStringLiteral("Удалить позицию из списка?"), QStringLiteral("Удаление")))
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

void MaintenanceEntryEditor::Button1Click()
{
    const int m = date().month();
    const int y = date().year();
    if (closing::refuse(m, y))
        return;
    const int m2 = m == 12 ? 1 : m + 1;
    const int y2 = m == 12 ? y + 1 : y;
    // Each average-piecework entry of the month: the worker's average per hour on the entry's
    // nomenclature group, with the entry's own day-off and night factors.
    const QString from =
        QStringLiteral("'01.") + num(m) + QLatin1Char('.') + num(y) + QLatin1Char('\'');
    const QString to =
        QStringLiteral("'01.") + num(m2) + QLatin1Char('.') + num(y2) + QLatin1Char('\'');
    dataModule->SQL_exec.setSql(
        QStringLiteral("UPDATE accounts_dep.fatigue f SET price=") +
        price::hourPriceSql(
            price::averageSql(QStringLiteral("f.id_p"), QStringLiteral("f.id_nom"), from, to),
            QStringLiteral("f.i_holiday"), QStringLiteral("f.i_night")) +
        QStringLiteral(" where i_mnth = ") + num(m) + QStringLiteral(" and i_year = ") + num(y) +
        QStringLiteral(" and id_o =7778"));
    dataModule->SQL_exec.execute();
    reread();
}

void MaintenanceEntryEditor::explainAmount()
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

void MaintenanceEntryEditor::reread()
{
    amountExplanation->clear();
    const int rec = fatigue->recNo();
    fatigue->close();
    fatigue->open();
    if (!fatigue->isEmpty() && rec > 0)
        fatigue->setRecNo(rec);
}
