#include "ShiftEntryEditor.h"

#include "db/Dataset.h"
#include "db/SqlError.h"
#include "db/Transaction.h"
#include "refbooks/WorkerList.h"
#include "shop/DataModule.h"
#include "shop/Limits.h"
#include "shop/Price.h"
#include "shop/ProductKind.h"
#include "shop/ShiftEntries.h"
#include "ui/Application.h"
#include "ui/Messages.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDateTime>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

ShiftEntryEditor *shiftEntryEditor = nullptr;

namespace {

const QString kDateFormat = QStringLiteral("dd.MM.yyyy");

// The number boxes, each a whole number, with the name the user reads beside it.
struct NumberBox {
    QLineEdit *ShiftEntryEditor::*box;
    const char *label;
};
const NumberBox kNumberBoxes[] = {
    {&ShiftEntryEditor::quantityEdit, "Кол-во"},
    {&ShiftEntryEditor::rejectsEdit, "Брак"},
    {&ShiftEntryEditor::hoursEdit, "Время"},
    {&ShiftEntryEditor::colourEdit, "Цвет"},
};
// A colour is a code, not a figure: it only has to fit its column.
constexpr double kMaxColour = 2147483647;

// What the box holds, without the spaces around it.
QString typedText(const QLineEdit *e)
{
    return e->text().trimmed();
}

} // namespace

ShiftEntryEditor::ShiftEntryEditor(QWidget *parent) : ui::Form(parent)
{
    shiftEntryEditor = this;
    setObjectName(QStringLiteral("shiftEntryEditor"));
    setHoldsTypedWork(true);

    auto *frame = new QGroupBox(QStringLiteral("Закрыто мастером"), this);
    frame->setObjectName(QStringLiteral("entryFrame"));
    auto *grid = new QGridLayout(frame);
    auto edit = [frame](const char *name) {
        auto *e = new QLineEdit(frame);
        e->setObjectName(QLatin1String(name));
        return e;
    };
    auto label = [frame, grid](const QString &text, QWidget *buddy, int row, int col) {
        auto *l = new QLabel(text, frame);
        l->setBuddy(buddy);
        grid->addWidget(l, row, col);
        return l;
    };
    workerEdit = edit("workerEdit");
    operationEdit = edit("operationEdit");
    quantityEdit = edit("quantityEdit");
    rejectsEdit = edit("rejectsEdit");
    colourEdit = edit("colourEdit");
    hoursEdit = edit("hoursEdit");
    finalPriceEdit = edit("finalPriceEdit");
    basePriceEdit = edit("basePriceEdit");
    sumEdit = edit("sumEdit");
    dateEdit = new QDateEdit(frame);
    dateEdit->setObjectName(QStringLiteral("dateEdit"));
    dateEdit->setCalendarPopup(true);
    dateEdit->setDisplayFormat(kDateFormat);
    workerPickButton = new QPushButton(QStringLiteral("..."), frame);
    workerPickButton->setObjectName(QStringLiteral("workerPickButton"));
    workerPickButton->setAccessibleName(QStringLiteral("Выбрать работника"));
    operationPickButton = new QPushButton(QStringLiteral("..."), frame);
    operationPickButton->setObjectName(QStringLiteral("operationPickButton"));
    operationPickButton->setAccessibleName(QStringLiteral("Выбрать операцию"));
    for (QPushButton *b : {workerPickButton, operationPickButton}) {
        b->setAutoDefault(false);
        b->setFixedWidth(32);
    }

    // Picked, never typed: a click opens the pick.
    for (QLineEdit *e : {workerEdit, operationEdit}) {
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
        e->installEventFilter(this);
        e->setMinimumWidth(380);
    }
    for (QLineEdit *e : {workerEdit, operationEdit, finalPriceEdit, basePriceEdit,
                         sumEdit}) // filled by the program
        e->setStyleSheet(QStringLiteral("QLineEdit { background: palette(window); }"));
    for (QLineEdit *e : {finalPriceEdit, basePriceEdit, sumEdit}) {
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::ClickFocus);
        e->setAlignment(Qt::AlignRight);
    }
    // Whole numbers: what is typed stays as typed, and a save refuses what is not one.
    for (QLineEdit *e : {quantityEdit, rejectsEdit, colourEdit, hoursEdit}) {
        e->setAlignment(Qt::AlignRight);
        e->setMaxLength(32);
    }
    quantityEdit->installEventFilter(this);
    hoursEdit->installEventFilter(this);
    // The sum follows the pieces and the rejects as they are typed.
    for (QLineEdit *e : {quantityEdit, rejectsEdit})
        connect(e, &QLineEdit::textEdited, this, &ShiftEntryEditor::recompute);

    label(QStringLiteral("ФИО"), workerEdit, 0, 0);
    grid->addWidget(workerEdit, 0, 1, 1, 5);
    grid->addWidget(workerPickButton, 0, 6);
    label(QStringLiteral("Операция"), operationEdit, 1, 0);
    grid->addWidget(operationEdit, 1, 1, 1, 5);
    grid->addWidget(operationPickButton, 1, 6);
    label(QStringLiteral("Кол-во"), quantityEdit, 2, 0);
    grid->addWidget(quantityEdit, 2, 1);
    label(QStringLiteral("Время"), hoursEdit, 2, 2);
    grid->addWidget(hoursEdit, 2, 3);
    colourLabel = label(QStringLiteral("Цвет"), colourEdit, 2, 4);
    colourLabel->setObjectName(QStringLiteral("colourLabel"));
    grid->addWidget(colourEdit, 2, 5);
    label(QStringLiteral("Дата"), dateEdit, 3, 0);
    grid->addWidget(dateEdit, 3, 1);
    label(QStringLiteral("Брак"), rejectsEdit, 3, 2);
    grid->addWidget(rejectsEdit, 3, 3);
    label(QStringLiteral("Цена база"), basePriceEdit, 4, 0);
    grid->addWidget(basePriceEdit, 4, 1);
    label(QStringLiteral("Цена итог"), finalPriceEdit, 4, 2);
    grid->addWidget(finalPriceEdit, 4, 3);
    label(QStringLiteral("Сумма"), sumEdit, 4, 4);
    grid->addWidget(sumEdit, 4, 5);

    const EditorButtons buttons = layOutEditor(frame, true);
    saveButton = buttons.save;
    cancelButton = buttons.cancel;
    saveButton->setText(QStringLiteral("Запись"));

    connect(saveButton, &QPushButton::clicked, this, &ShiftEntryEditor::saveClick);
    connect(workerPickButton, &QPushButton::clicked, this, &ShiftEntryEditor::workerPickClick);
    connect(operationPickButton, &QPushButton::clicked, this,
            &ShiftEntryEditor::operationPickClick);

    setTabOrder(workerPickButton, operationPickButton);
    setTabOrder(operationPickButton, quantityEdit);
    setTabOrder(quantityEdit, hoursEdit);
    setTabOrder(hoursEdit, colourEdit);
    setTabOrder(colourEdit, dateEdit);
    setTabOrder(dateEdit, rejectsEdit);
    setTabOrder(rejectsEdit, saveButton);
    setTabOrder(saveButton, cancelButton);

    colourEdit->setEnabled(false);
    colourLabel->setEnabled(false);
}

void ShiftEntryEditor::presetAdd(const shop::EntryContext &context)
{
    context_ = context;
    setWindowTitle(QStringLiteral("Заведение новой позиции (11)"));
    mode = ui::EditMode::Add;
    entry_ = Entry();
    workerId = operationId = productId = 0;
    finalPrice = basePrice = 0;
    dateEdit->setDate(context.date);
    for (QLineEdit *e : {workerEdit, operationEdit, quantityEdit, colourEdit, finalPriceEdit,
                         basePriceEdit, sumEdit})
        e->clear();
    rejectsEdit->setText(QStringLiteral("0"));
    hoursEdit->setText(QStringLiteral("0"));
    applyColourRule();
}

void ShiftEntryEditor::presetEdit(const db::Dataset &q, const shop::EntryContext &context)
{
    context_ = context;
    setWindowTitle(QStringLiteral("Изменение данных о позиции (11)"));
    mode = ui::EditMode::Change;
    finalPrice = q.asFloat(QStringLiteral("cena"));
    basePrice = 0;
    const double price = price::round4(finalPrice);
    finalPriceEdit->setText(price::text(price));
    basePriceEdit->clear();
    sumEdit->setText(price::text(price::entryAmount(q.asInteger(QStringLiteral("kol_vo")),
                                                    q.asInteger(QStringLiteral("brak")), price)));
    dateEdit->setDate(q.asDate(QStringLiteral("data")));
    workerEdit->setText(q.asString(QStringLiteral("fio")).trimmed());
    const QString vid = q.asString(QStringLiteral("vid")).trimmed();
    operationEdit->setText(q.asString(QStringLiteral("marka")).trimmed() + QStringLiteral("; ") +
                           vid + QStringLiteral("; ") +
                           shop::productKindText(q.asInteger(QStringLiteral("naimen"))));
    quantityEdit->setText(q.asString(QStringLiteral("kol_vo")).trimmed());
    rejectsEdit->setText(q.asString(QStringLiteral("brak")).trimmed());
    workerId = q.asInteger(QStringLiteral("w_id"));
    productId = q.asInteger(QStringLiteral("i_id"));
    operationId = q.asInteger(QStringLiteral("o_id"));
    hoursEdit->setText(QString::number(q.asInteger(QStringLiteral("time"))));
    const bool painting = isPainting(vid);
    colourEdit->setEnabled(painting);
    colourLabel->setEnabled(painting);
    if (painting)
        colourEdit->setText(q.asString(QStringLiteral("color")).trimmed());
    else
        colourEdit->clear();
    entry_.id = q.asInteger(QStringLiteral("id"));
    entry_.rowVer = q.asString(QStringLiteral("row_ver"));
    entry_.workerId = workerId;
    entry_.operationId = operationId;
    entry_.date = dateEdit->date();
}

void ShiftEntryEditor::FormActivate()
{
    workerPickButton->setFocus();
}

bool ShiftEntryEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == workerEdit) {
            ui::guarded([this] { workerPickClick(); });
            return true;
        }
        if (watched == operationEdit) {
            ui::guarded([this] { operationPickClick(); });
            return true;
        }
    }
    if (event->type() == QEvent::FocusOut && (watched == quantityEdit || watched == hoursEdit))
        recompute();
    return ui::Form::eventFilter(watched, event);
}

bool ShiftEntryEditor::isPainting(const QString &operationText)
{
    return operationText.toUpper().contains(QStringLiteral("КРАСКА"));
}

void ShiftEntryEditor::applyColourRule()
{
    const bool painting = isPainting(operationEdit->text());
    if (!painting)
        colourEdit->clear();
    colourEdit->setEnabled(painting);
    colourLabel->setEnabled(painting);
}

void ShiftEntryEditor::recompute()
{
    // An empty box counts as 0 in the sum but stays empty: focus leaves the boxes also when a
    // refusal box opens, and a "0" written then would let the next Enter store it.
    // The sum is what the stored entry earns: the pieces less the rejects at the price as it
    // is stored; no sum while a box holds what is not a whole number.
    const double price = price::round4(finalPrice);
    finalPriceEdit->setText(price::text(price));
    basePriceEdit->setText(price::text(price::round4(basePrice)));
    const shop::limits::Typed pieces = shop::limits::readWhole(QString(), typedText(quantityEdit));
    const shop::limits::Typed rejects = shop::limits::readWhole(QString(), typedText(rejectsEdit));
    if (pieces.ok() && rejects.ok() && pieces.value <= shop::limits::kMaxQuantity &&
        rejects.value <= shop::limits::kMaxQuantity)
        sumEdit->setText(
            price::text(price::entryAmount(int(pieces.value), int(rejects.value), price)));
    else
        sumEdit->clear();
}

void ShiftEntryEditor::workerPickClick()
{
    workerList->pickFrom(this, 1, [this](const db::Dataset &w) { takeWorker(w); });
}

void ShiftEntryEditor::takeWorker(const db::Dataset &workers)
{
    workerEdit->setText(workers.asString(QStringLiteral("fio")).trimmed());
    workerId = workers.asInteger(QStringLiteral("id"));
}

void ShiftEntryEditor::operationPickClick()
{
    db::Dataset *oper = dataModule->Oper;
    oper->open();
    if (mode == ui::EditMode::Add)
        oper->first();
    else if (oper->locate(QStringLiteral("id"), entry_.operationId))
        basePrice = oper->asFloat(QStringLiteral("cena")); // the entry's operation, as listed
    operationList->pickFrom(this, 1, context_,
                            [this](const PickedOperation &op) { takeOperation(op); });
    applyColourRule();
    recompute();
}

void ShiftEntryEditor::takeOperation(const PickedOperation &op)
{
    operationId = op.operationId;
    productId = op.productId;
    finalPrice = op.price;
    basePrice = op.basePrice;
    operationEdit->setText(op.text);
}

bool ShiftEntryEditor::fieldsFilled()
{
    for (const QLineEdit *e : {workerEdit, operationEdit, quantityEdit, rejectsEdit, hoursEdit})
        if (typedText(e).isEmpty())
            return false;
    return !(isPainting(operationEdit->text()) && typedText(colourEdit).isEmpty());
}

bool ShiftEntryEditor::numbersInRange(Numbers &n)
{
    namespace limits = shop::limits;
    double *values[] = {&n.quantity, &n.rejects, &n.hours, &n.colour};
    int i = 0;
    for (const NumberBox &b : kNumberBoxes) {
        const limits::Typed typed =
            limits::readWhole(QString::fromUtf8(b.label), typedText(this->*b.box));
        if (!typed.ok()) {
            ui::showError(typed.refusal, QStringLiteral("Ошибка"));
            (this->*b.box)->setFocus();
            return false;
        }
        *values[i++] = typed.value;
    }
    if (n.colour > kMaxColour) {
        ui::showError(QStringLiteral("Слишком большое число в поле «Цвет»: не более %1.")
                          .arg(qint64(kMaxColour)),
                      QStringLiteral("Ошибка"));
        colourEdit->setFocus();
        return false;
    }
    // Rejects are part of the quantity made; more rejects than pieces would store negative pay.
    if (n.rejects > n.quantity) {
        ui::showError(QStringLiteral("Брак в поле «Брак» не может быть больше количества в поле "
                                     "«Кол-во»."),
                      QStringLiteral("Ошибка"));
        rejectsEdit->setFocus();
        return false;
    }
    const std::pair<limits::Verdict, QLineEdit *> verdicts[] = {
        {limits::quantity(QStringLiteral("Кол-во"), int(qMin(n.quantity, 1e9))), quantityEdit},
        {limits::rejects(QStringLiteral("Брак"), int(qMin(n.rejects, 1e9))), rejectsEdit},
        {limits::entryHours(QStringLiteral("Время"), int(qMin(n.hours, 1e9))), hoursEdit},
    };
    for (const auto &[verdict, box] : verdicts)
        if (verdict.kind == limits::Verdict::Refuse) {
            ui::showError(verdict.sentence, QStringLiteral("Ошибка"));
            box->setFocus();
            return false;
        }
    // A worker's day holds at most 24 hours in all journals together.
    const limits::Verdict day =
        limits::dayHours(dateEdit->date(),
                         limits::hoursOfDay(workerId, dateEdit->date(),
                                            mode == ui::EditMode::Change ? entry_.id : 0, 0),
                         int(n.hours));
    if (!day.fine()) {
        ui::showError(day.sentence, QStringLiteral("Ошибка"));
        hoursEdit->setFocus();
        return false;
    }
    for (const auto &[verdict, box] : verdicts)
        if (verdict.kind == limits::Verdict::Ask &&
            !ui::askYesNo(verdict.sentence, QStringLiteral("Проверка"))) {
            box->setFocus();
            return false;
        }
    return true;
}

void ShiftEntryEditor::saveClick()
{
    if (!fieldsFilled()) {
        ui::showError(QStringLiteral("Все поля должны быть заполнены!"), QStringLiteral("Ошибка"));
        return;
    }
    Numbers n;
    if (!numbersInRange(n))
        return;
    const int shift = context_.shift;
    db::Dataset *q = dataModule->smena(shift);
    const int colour = int(n.colour);

    shop::ShiftEntry entry;
    entry.workerId = workerId;
    entry.productId = productId;
    entry.operationId = operationId;
    entry.price = finalPrice;
    entry.quantity = int(n.quantity);
    entry.rejects = int(n.rejects);
    entry.colour = colour;
    entry.hours = int(n.hours);
    entry.date = dateEdit->date();
    entry.shift = shift;
    shop::StoreResult saved;
    try {
        saved = mode == ui::EditMode::Add
                    ? shop::ShiftEntries::add(entry)
                    : shop::ShiftEntries::change(
                          {entry_.id, entry_.rowVer, entry_.workerId, entry_.date}, entry);
    } catch (const db::RowChanged &) {
        // Someone changed or deleted the entry since the journal showed it: show what is
        // stored now; the editor keeps what the user typed.
        refreshJournal(q);
        if (q->locate(QStringLiteral("id"), entry_.id)) {
            entry_.rowVer = q->asString(QStringLiteral("row_ver"));
            entry_.workerId = q->asInteger(QStringLiteral("w_id"));
            entry_.date = q->asDate(QStringLiteral("data"));
        }
        throw;
    }
    if (!saved.ok()) {
        ui::showError(saved.refusal, QStringLiteral("Ошибка"));
        return;
    }
    refreshJournal(q);
    // The timesheet windows read their rows afresh.
    dataModule->H_Tabel_1->close();
    dataModule->H_Tabel_2->close();
    dataModule->H_Tabel_3->close();
    for (QLineEdit *e : {workerEdit, operationEdit, quantityEdit, rejectsEdit, colourEdit,
                         hoursEdit, finalPriceEdit, basePriceEdit, sumEdit})
        e->clear();
    accept();
}

void ShiftEntryEditor::refreshJournal(db::Dataset *q)
{
    const int rec = q->recNo();
    q->reopen();
    if (q->recordCount() >= 1 && rec >= 1)
        q->setRecNo(rec);
}
