#include "MaintenanceEntryEditor.h"

#include "MaintenanceIcon.h"

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

MaintenanceEntryEditor *maintenanceEntryEditor = nullptr;

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

MaintenanceEntryEditor::MaintenanceEntryEditor(QWidget *parent) : ui::Form(parent)
{
    maintenanceEntryEditor = this;
    setObjectName(QStringLiteral("maintenanceEntryEditor"));
    setHoldsTypedWork(true);
    setWindowTitle(QStringLiteral("Хоз. работы/среднесдельная (24)"));
    setWindowIcon(maintenanceIcon());
    setPlacement(Placement::Screen);

    type_work = new db::Dataset(QStringLiteral("type_work"), this);
    // Each kind once, in the order of its id, with the hour price of its own operation (the
    // one on the service product of the kind's id) and that operation's first norm row.
    type_work->setSql(QStringLiteral(R"(
        select distinct on (vo.id) vo.id, vo.vid, n.price, (n.price*:cnt) as summ
        from accounts_dep.vid_oper vo
        join accounts_dep.oper o on o.vid=vo.id and o.i_id=vo.id
        join accounts_dep.norm n on n.o_id=o.id
        where vo.id in (7777, 7778)
        order by vo.id, n.id)"));
    type_work->setParam(QStringLiteral("cnt"), 0);

    auto *frame = new QGroupBox(QStringLiteral("Закрыто мастером"), this);
    workerEdit = readOnlyBox(frame, "workerEdit");
    workerEdit->setMinimumWidth(280);
    nomenclatureEdit = readOnlyBox(frame, "nomenclatureEdit");
    workerPickButton = newButton("workerPickButton", QStringLiteral("..."));
    workerPickButton->setAccessibleName(QStringLiteral("Выбрать работника"));
    nomenclaturePickButton = newButton("nomenclaturePickButton", QStringLiteral("..."));
    nomenclaturePickButton->setAccessibleName(QStringLiteral("Выбрать номенклатуру"));
    for (QPushButton *b : {workerPickButton, nomenclaturePickButton}) {
        b->setParent(frame);
        b->setAutoDefault(false);
        b->setFixedWidth(30);
    }
    workKindBox = new LookupCombo(QStringLiteral("workKindBox"), type_work, QStringLiteral("id"),
                                  QStringLiteral("vid"), frame);
    workKindBox->setAccessibleName(QStringLiteral("Вид работ"));
    hoursEdit = new QLineEdit(QStringLiteral("0"), frame);
    hoursEdit->setObjectName(QStringLiteral("hoursEdit"));
    hoursEdit->setAccessibleName(QStringLiteral("Часы"));
    // A whole number: what is typed stays as typed, and a save refuses what is not one.
    hoursEdit->setMaxLength(32);
    hoursEdit->setAlignment(Qt::AlignRight);
    hoursEdit->setMaximumWidth(60);
    priceEdit = readOnlyBox(frame, "priceEdit");
    priceEdit->setAccessibleName(QStringLiteral("Цена"));
    sumEdit = readOnlyBox(frame, "sumEdit");
    sumEdit->setAccessibleName(QStringLiteral("Сумма"));
    for (QLineEdit *e : {priceEdit, sumEdit}) {
        e->setAlignment(Qt::AlignRight);
        e->setMaximumWidth(90);
    }
    nightBox = new QCheckBox(QStringLiteral("Ночные"), frame);
    nightBox->setObjectName(QStringLiteral("nightBox"));

    auto *grid = new QGridLayout(frame);
    grid->addWidget(label(frame, QStringLiteral("ФИО"), workerEdit), 0, 0);
    grid->addWidget(workerEdit, 0, 1, 1, 6);
    grid->addWidget(workerPickButton, 0, 7);
    grid->addWidget(label(frame, QStringLiteral("Номенклатура"), nomenclatureEdit), 1, 0);
    grid->addWidget(nomenclatureEdit, 1, 1, 1, 6);
    grid->addWidget(nomenclaturePickButton, 1, 7);
    grid->addWidget(workKindBox, 2, 1, 1, 6);
    grid->addWidget(hoursEdit, 3, 1);
    grid->addWidget(label(frame, QStringLiteral("ч.    Цена"), priceEdit), 3, 2, 1, 2);
    grid->addWidget(priceEdit, 3, 4);
    grid->addWidget(label(frame, QStringLiteral("р.    Сумма"), sumEdit), 3, 5);
    grid->addWidget(sumEdit, 3, 6);
    grid->addWidget(nightBox, 4, 1, 1, 6);

    const EditorButtons buttons = layOutEditor(frame, true);
    saveButton = buttons.save;
    cancelButton = buttons.cancel;
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    cancelButton->setText(QStringLiteral("Выход"));

    connect(saveButton, &QPushButton::clicked, this, &MaintenanceEntryEditor::saveClick);
    connect(workerPickButton, &QPushButton::clicked, this,
            &MaintenanceEntryEditor::workerPickClick);
    connect(nomenclaturePickButton, &QPushButton::clicked, this,
            &MaintenanceEntryEditor::nomenclaturePickClick);
    connect(type_work, &db::Dataset::currentChanged, this, &MaintenanceEntryEditor::showPrice);
    connect(type_work, &db::Dataset::changed, this, &MaintenanceEntryEditor::showPrice);
    connect(hoursEdit, &QLineEdit::textChanged, this, &MaintenanceEntryEditor::showPrice);
    connect(nightBox, &QCheckBox::toggled, this, &MaintenanceEntryEditor::showPrice);

    setTabOrder(workerPickButton, nomenclaturePickButton);
    setTabOrder(nomenclaturePickButton, workKindBox);
    setTabOrder(workKindBox, hoursEdit);
    setTabOrder(hoursEdit, nightBox);
    setTabOrder(nightBox, saveButton);
    setTabOrder(saveButton, cancelButton);
}

void MaintenanceEntryEditor::startAdd(const shop::EntryContext &context)
{
    context_ = context;
    mode = ui::EditMode::Add;
    former_ = Former();
    workKindBox->reload();
    workerEdit->clear();
    nomenclatureEdit->clear();
    hoursEdit->setText(QStringLiteral("0"));
    nightBox->setChecked(false);
    nightBox->setEnabled(true);
    nomId = 0;
    workerId = 0;
    workKindBox->setKeyValue(kMaintenance);
}

void MaintenanceEntryEditor::startChange(const db::Dataset &entry,
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
    workKindBox->reload();
    workerEdit->setText(entry.asString(QStringLiteral("fio")).trimmed());
    nomenclatureEdit->setText(entry.asString(QStringLiteral("s_caption")).trimmed());
    hoursEdit->setText(num(entry.asInteger(QStringLiteral("cnt"))));
    workKindBox->setKeyValue(kind);
    nightBox->setChecked(night != 0);
    nightBox->setEnabled(false);
    showPrice();
}

bool MaintenanceEntryEditor::dayOff() const
{
    // A changed entry keeps the day-off flag it was made with, whatever the journal shows now.
    return mode == ui::EditMode::Add ? context_.dayOff : former_.dayOff;
}

double MaintenanceEntryEditor::priceToStore() const
{
    const int kind = workKindBox->keyValue().toInt();
    const bool night = nightBox->isChecked();
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
            return price::averageHourPrice(workerId, nomId, former_.stored.day, former_.dayOff,
                                           night);
    }
    if (type_work->isEmpty() || !type_work->isActive())
        return 0;
    return price::round4(
        price::hourPrice(type_work->asFloat(QStringLiteral("price")), dayOff(), night));
}

void MaintenanceEntryEditor::FormActivate()
{
    hoursEdit->setFocus();
    hoursEdit->selectAll();
}

void MaintenanceEntryEditor::showPrice()
{
    if (type_work->isEmpty() || !type_work->isActive()) {
        priceEdit->clear();
        sumEdit->clear();
        return;
    }
    // The price and the sum are what a save stores: the hour price with the day-off and night
    // factors (or the entry's own price when it stays), and the sum following the hours as
    // they are typed; no sum while the hours are no whole number.
    const double price = priceToStore();
    priceEdit->setText(moneyText(price));
    const shop::limits::Typed hours = shop::limits::readWhole(QString(), hoursEdit->text());
    if (hours.ok())
        sumEdit->setText(moneyText(price * hours.value));
    else
        sumEdit->clear();
}

void MaintenanceEntryEditor::workerPickClick()
{
    workerList->pickFrom(this, 24, [this](const db::Dataset &w) {
        workerEdit->setText(w.asString(QStringLiteral("fio")).trimmed());
        workerId = w.asInteger(QStringLiteral("id"));
    });
    showPrice();
}

void MaintenanceEntryEditor::done(int result)
{
    ui::Form::done(result);
    type_work->close();
}

void MaintenanceEntryEditor::nomenclaturePickClick()
{
    nomenclaturePicker->pickFrom(this, [this](int id, const QString &name) {
        nomId = id;
        nomenclatureEdit->setText(name);
    });
    showPrice();
}

void MaintenanceEntryEditor::saveClick()
{
    const QVariant kindKey = workKindBox->keyValue();
    if (nomId == 0 || workerId == 0 || kindKey.isNull()) {
        ui::showError(QStringLiteral("Все поля должны быть заполнены!"), QStringLiteral("Ошибка"));
        return;
    }
    namespace limits = shop::limits;
    const QString field = QStringLiteral("Часы");
    const limits::Typed typed = limits::readWhole(field, hoursEdit->text());
    if (!typed.ok()) {
        ui::showError(typed.refusal, QStringLiteral("Ошибка"));
        hoursEdit->setFocus();
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
        hoursEdit->setFocus();
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
        hoursEdit->setFocus();
        return;
    }
    if (verdict.kind == limits::Verdict::Ask &&
        !ui::askYesNo(verdict.sentence, QStringLiteral("Проверка"))) {
        hoursEdit->setFocus();
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
    entry.night = nightBox->isChecked();
    shop::StoreResult stored;
    try {
        stored = mode == ui::EditMode::Add
                     ? shop::MaintenanceEntries::add(entry)
                     : shop::MaintenanceEntries::change(former_.stored, entry);
    } catch (const db::RowChanged &) {
        emit entriesChanged();
        throw;
    }
    // Another clerk filled the worker's day since the check above.
    if (!stored.ok()) {
        ui::showError(stored.refusal, QStringLiteral("Ошибка"));
        hoursEdit->setFocus();
        return;
    }
    accept();
}
