#include "MaintenanceJournalWindow.h"

#include "NomenclaturePicker.h"
#include "db/Dataset.h"
#include "db/SqlError.h"
#include "db/SqlText.h"
#include "db/Transaction.h"
#include "refbooks/WorkerList.h"
#include "shop/DataModule.h"
#include "shop/Limits.h"
#include "shop/MaintenanceEntries.h"
#include "shop/Price.h"
#include "ui/LookupCombo.h"
#include "ui/Messages.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

MaintenanceJournalWindow *maintenanceJournalWindow = nullptr;

namespace {

const int kMaintenance = 7777;
const int kAverage = 7778;

QLineEdit *readOnlyBox(QWidget *parent, const char *name)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    return e;
}

QLabel *label(QWidget *parent, const QString &text, QWidget *buddy)
{
    auto *l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}

QString num(qlonglong n)
{
    return QString::number(n);
}

// An amount as the user reads it: two decimals at least, and every further decimal that the
// price has (up to its six), so that the box shows the price that a save writes.
QString moneyText(double v)
{
    QString text = QLocale().toString(v, 'f', 6);
    const int point = int(text.indexOf(QLocale().decimalPoint()));
    while (text.size() > point + 3 && text.endsWith(QLatin1Char('0')))
        text.chop(1);
    return text;
}

} // namespace

MaintenanceJournalWindow::MaintenanceJournalWindow(QWidget *parent) : ui::Form(parent)
{
    maintenanceJournalWindow = this;
    setObjectName(QStringLiteral("maintenanceJournalWindow"));
    setHoldsTypedWork(true);
    setWindowTitle(QStringLiteral("Хоз. работы/среднесдельная (24)"));
    setWindowIcon(maintenanceIcon());
    setPlacement(Placement::Screen);

    type_work = new db::Dataset(QStringLiteral("type_work"), this);
    type_work->setSql(QStringLiteral(
        "select vo.id, vo.vid, n.price, (n.price*:cnt) as summ from accounts_dep.vid_oper "
        "vo,accounts_dep.norm n, accounts_dep.oper o where n.o_id =o.id and o.vid=vo.id and "
        "(vo.id = 7777 or vo.id = 7778)"));
    type_work->setParam(QStringLiteral("cnt"), 0);

    auto *frame = new QGroupBox(QStringLiteral("Закрыто мастером"), this);
    Edit1 = readOnlyBox(frame, "Edit1");
    Edit1->setMinimumWidth(280);
    Edit2 = readOnlyBox(frame, "Edit2");
    Button3 = newButton("Button3", QStringLiteral("..."));
    Button3->setAccessibleName(QStringLiteral("Выбрать работника"));
    Button4 = newButton("Button4", QStringLiteral("..."));
    Button4->setAccessibleName(QStringLiteral("Выбрать номенклатуру"));
    for (QPushButton *b : {Button3, Button4}) {
        b->setParent(frame);
        b->setAutoDefault(false);
        b->setFixedWidth(30);
    }
    cb_type_work = new LookupCombo(QStringLiteral("cb_type_work"), type_work, QStringLiteral("id"),
                                   QStringLiteral("vid"), frame);
    cb_type_work->setAccessibleName(QStringLiteral("Вид работ"));
    Edit6 = new QLineEdit(QStringLiteral("0"), frame);
    Edit6->setObjectName(QStringLiteral("Edit6"));
    Edit6->setAccessibleName(QStringLiteral("Часы"));
    // A whole number: what is typed stays as typed, and a save refuses what is not one.
    Edit6->setMaxLength(32);
    Edit6->setAlignment(Qt::AlignRight);
    Edit6->setMaximumWidth(60);
    DBEdit1 = readOnlyBox(frame, "DBEdit1");
    DBEdit1->setAccessibleName(QStringLiteral("Цена"));
    DBEdit2 = readOnlyBox(frame, "DBEdit2");
    DBEdit2->setAccessibleName(QStringLiteral("Сумма"));
    for (QLineEdit *e : {DBEdit1, DBEdit2}) {
        e->setAlignment(Qt::AlignRight);
        e->setMaximumWidth(90);
    }
    CBox1 = new QCheckBox(QStringLiteral("Ночные"), frame);
    CBox1->setObjectName(QStringLiteral("CBox1"));

    auto *grid = new QGridLayout(frame);
    grid->addWidget(label(frame, QStringLiteral("ФИО"), Edit1), 0, 0);
    grid->addWidget(Edit1, 0, 1, 1, 6);
    grid->addWidget(Button3, 0, 7);
    grid->addWidget(label(frame, QStringLiteral("Номенклатура"), Edit2), 1, 0);
    grid->addWidget(Edit2, 1, 1, 1, 6);
    grid->addWidget(Button4, 1, 7);
    grid->addWidget(cb_type_work, 2, 1, 1, 6);
    grid->addWidget(Edit6, 3, 1);
    grid->addWidget(label(frame, QStringLiteral("ч.    Цена"), DBEdit1), 3, 2, 1, 2);
    grid->addWidget(DBEdit1, 3, 4);
    grid->addWidget(label(frame, QStringLiteral("р.    Сумма"), DBEdit2), 3, 5);
    grid->addWidget(DBEdit2, 3, 6);
    grid->addWidget(CBox1, 4, 1, 1, 6);

    const EditorButtons buttons = layOutEditor(frame, true);
    Button1 = buttons.save;
    Button6 = buttons.cancel;
    Button6->setObjectName(QStringLiteral("Button6"));
    Button6->setText(QStringLiteral("Выход"));

    connect(Button1, &QPushButton::clicked, this, &MaintenanceJournalWindow::Button1Click);
    connect(Button3, &QPushButton::clicked, this, &MaintenanceJournalWindow::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &MaintenanceJournalWindow::Button4Click);
    connect(type_work, &db::Dataset::currentChanged, this, &MaintenanceJournalWindow::showPrice);
    connect(type_work, &db::Dataset::changed, this, &MaintenanceJournalWindow::showPrice);
    connect(Edit6, &QLineEdit::textChanged, this, &MaintenanceJournalWindow::showPrice);
    connect(CBox1, &QCheckBox::toggled, this, &MaintenanceJournalWindow::showPrice);

    setTabOrder(Button3, Button4);
    setTabOrder(Button4, cb_type_work);
    setTabOrder(cb_type_work, Edit6);
    setTabOrder(Edit6, CBox1);
    setTabOrder(CBox1, Button1);
    setTabOrder(Button1, Button6);
}

void MaintenanceJournalWindow::startAdd(const shop::EntryContext &context)
{
    context_ = context;
    mode = ui::EditMode::Add;
    former_ = Former();
    cb_type_work->reload();
    Edit1->clear();
    Edit2->clear();
    Edit6->setText(QStringLiteral("0"));
    CBox1->setChecked(false);
    CBox1->setEnabled(true);
    nomId = 0;
    workerId = 0;
    cb_type_work->setKeyValue(kMaintenance);
}

void MaintenanceJournalWindow::startChange(const db::Dataset &entry,
                                           const shop::EntryContext &context)
{
    context_ = context;
    // The entry as read comes first: filling the boxes below already prices it.
    const int kind = entry.asInteger(QStringLiteral("id_o"));
    const int night = entry.asInteger(QStringLiteral("i_night"));
    former_ = {{entry.value(QStringLiteral("id")).toLongLong(),
                entry.asString(QStringLiteral("row_ver")), entry.asInteger(QStringLiteral("id_p")),
                kind, night, entry.asDate(QStringLiteral("d_date"))},
               entry.asInteger(QStringLiteral("id_nom")),
               entry.asFloat(QStringLiteral("price")),
               entry.asInteger(QStringLiteral("i_holiday")) != 0};
    mode = ui::EditMode::Change;
    nomId = former_.nom;
    workerId = former_.stored.workerId;
    cb_type_work->reload();
    Edit1->setText(entry.asString(QStringLiteral("fio")).trimmed());
    Edit2->setText(entry.asString(QStringLiteral("s_caption")).trimmed());
    Edit6->setText(num(entry.asInteger(QStringLiteral("cnt"))));
    cb_type_work->setKeyValue(kind);
    CBox1->setChecked(night != 0);
    CBox1->setEnabled(false);
    showPrice();
}

bool MaintenanceJournalWindow::dayOff() const
{
    // A changed entry keeps the day-off flag it was made with, whatever the journal shows now.
    return mode == ui::EditMode::Add ? context_.dayOff : former_.dayOff;
}

double MaintenanceJournalWindow::priceToStore() const
{
    const int kind = cb_type_work->keyValue().toInt();
    const bool night = CBox1->isChecked();
    if (mode == ui::EditMode::Change) {
        // An edit keeps the entry's price unless what it depends on changed: the kind and the
        // night flag, and for average piecework also the worker and the nomenclature group
        // whose average it is (the date and the day-off flag of an entry do not change here).
        const bool same =
            kind == former_.stored.kind && int(night) == former_.stored.night &&
            (kind != kAverage || (workerId == former_.stored.workerId && nomId == former_.nom));
        if (same)
            return former_.price;
        if (kind == kAverage)
            return price::round4(price::hourPrice(averageOf(workerId, nomId, former_.stored.day),
                                                  former_.dayOff, night));
    }
    if (type_work->isEmpty() || !type_work->isActive())
        return 0;
    return price::round4(
        price::hourPrice(type_work->asFloat(QStringLiteral("price")), dayOff(), night));
}

double MaintenanceJournalWindow::averageOf(int worker, int nom, const QDate &day)
{
    const QDate from(day.year(), day.month(), 1);
    auto lit = [](const QDate &d) {
        return QLatin1Char('\'') + d.toString(QStringLiteral("dd.MM.yyyy")) + QLatin1Char('\'');
    };
    db::Dataset *control = dataModule->Control;
    control->setSql(QStringLiteral("select ") +
                    price::averageSql(num(worker), num(nom), lit(from), lit(from.addMonths(1))) +
                    QStringLiteral(" as average"));
    control->open();
    const double average = control->asFloat(QStringLiteral("average"));
    control->close();
    return average;
}

void MaintenanceJournalWindow::FormActivate()
{
    Edit6->setFocus();
    Edit6->selectAll();
}

void MaintenanceJournalWindow::showPrice()
{
    if (type_work->isEmpty() || !type_work->isActive()) {
        DBEdit1->clear();
        DBEdit2->clear();
        return;
    }
    // The price and the sum are what a save stores: the hour price with the day-off and night
    // factors (or the entry's own price when it stays), and the sum following the hours as
    // they are typed; no sum while the hours are no whole number.
    const double price = priceToStore();
    DBEdit1->setText(moneyText(price));
    const shop::limits::Typed hours = shop::limits::readWhole(QString(), Edit6->text());
    if (hours.ok())
        DBEdit2->setText(moneyText(price * hours.value));
    else
        DBEdit2->clear();
}

void MaintenanceJournalWindow::Button3Click()
{
    workerList->pickFrom(this, 24, [this](const db::Dataset &w) {
        Edit1->setText(w.asString(QStringLiteral("fio")).trimmed());
        workerId = w.asInteger(QStringLiteral("id"));
    });
    showPrice();
}

void MaintenanceJournalWindow::Button4Click()
{
    nomenclaturePicker->item->open();
    showChild(nomenclaturePicker);
    nomenclaturePicker->item->close();
    showPrice();
}

void MaintenanceJournalWindow::Button1Click()
{
    const QVariant kindKey = cb_type_work->keyValue();
    if (nomId == 0 || workerId == 0 || kindKey.isNull()) {
        ui::showError(QStringLiteral("Все поля должны быть заполнены!"), QStringLiteral("Ошибка"));
        return;
    }
    namespace limits = shop::limits;
    const QString field = QStringLiteral("Часы");
    const limits::Typed typed = limits::readWhole(field, Edit6->text());
    if (!typed.ok()) {
        ui::showError(typed.refusal, QStringLiteral("Ошибка"));
        Edit6->setFocus();
        return;
    }
    if (typed.value < 1) {
        ui::showError(QStringLiteral("Нужно завести количество!"), QStringLiteral("Ошибка"));
        return;
    }
    const int hours = int(qMin(typed.value, 1e9));
    const limits::Verdict verdict = limits::entryHours(field, hours);
    if (verdict.kind == limits::Verdict::Refuse) {
        ui::showError(verdict.sentence, QStringLiteral("Ошибка"));
        Edit6->setFocus();
        return;
    }
    // A worker's day holds at most 24 hours in all journals together.
    const QDate day = mode == ui::EditMode::Add ? context_.date : former_.stored.day;
    const limits::Verdict total = limits::dayHours(
        day,
        limits::hoursOfDay(workerId, day, 0, mode == ui::EditMode::Change ? former_.stored.id : 0),
        hours);
    if (!total.fine()) {
        ui::showError(total.sentence, QStringLiteral("Ошибка"));
        Edit6->setFocus();
        return;
    }
    if (verdict.kind == limits::Verdict::Ask &&
        !ui::askYesNo(verdict.sentence, QStringLiteral("Проверка"))) {
        Edit6->setFocus();
        return;
    }

    shop::MaintenanceEntry entry;
    entry.nomId = nomId;
    entry.kind = kindKey.toInt();
    entry.workerId = workerId;
    // A changed entry keeps its date.
    entry.day = day;
    entry.shift = context_.shift;
    entry.hours = hours;
    entry.price = priceToStore();
    entry.dayOff = dayOff();
    entry.night = CBox1->isChecked();
    try {
        if (mode == ui::EditMode::Add)
            shop::MaintenanceEntries::add(entry);
        else
            shop::MaintenanceEntries::change(former_.stored, entry);
    } catch (const db::RowChanged &) {
        emit entriesChanged();
        throw;
    }
    accept();
}
