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
    {&ShiftEntryEditor::Edit3, "Кол-во"},
    {&ShiftEntryEditor::Edit4, "Брак"},
    {&ShiftEntryEditor::Edit6, "Время"},
    {&ShiftEntryEditor::Edit5, "Цвет"},
};
// A colour is a code, not a figure: it only has to fit its column.
constexpr double kMaxColour = 2147483647;

QString trimmed(const QLineEdit *e)
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
    frame->setObjectName(QStringLiteral("GroupBox1"));
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
    Edit1 = edit("Edit1");
    Edit2 = edit("Edit2");
    Edit3 = edit("Edit3");
    Edit4 = edit("Edit4");
    Edit5 = edit("Edit5");
    Edit6 = edit("Edit6");
    Edit7 = edit("Edit7");
    Edit8 = edit("Edit8");
    Edit9 = edit("Edit9");
    DTimeP = new QDateEdit(frame);
    DTimeP->setObjectName(QStringLiteral("DTimeP"));
    DTimeP->setCalendarPopup(true);
    DTimeP->setDisplayFormat(kDateFormat);
    Button3 = new QPushButton(QStringLiteral("..."), frame);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setAccessibleName(QStringLiteral("Выбрать работника"));
    Button4 = new QPushButton(QStringLiteral("..."), frame);
    Button4->setObjectName(QStringLiteral("Button4"));
    Button4->setAccessibleName(QStringLiteral("Выбрать операцию"));
    for (QPushButton *b : {Button3, Button4}) {
        b->setAutoDefault(false);
        b->setFixedWidth(32);
    }

    // Picked, never typed: a click opens the pick.
    for (QLineEdit *e : {Edit1, Edit2}) {
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
        e->installEventFilter(this);
        e->setMinimumWidth(380);
    }
    for (QLineEdit *e : {Edit1, Edit2, Edit7, Edit8, Edit9}) // filled by the program
        e->setStyleSheet(QStringLiteral("QLineEdit { background: palette(window); }"));
    for (QLineEdit *e : {Edit7, Edit8, Edit9}) {
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::ClickFocus);
        e->setAlignment(Qt::AlignRight);
    }
    // Whole numbers: what is typed stays as typed, and a save refuses what is not one.
    for (QLineEdit *e : {Edit3, Edit4, Edit5, Edit6}) {
        e->setAlignment(Qt::AlignRight);
        e->setMaxLength(32);
    }
    Edit3->installEventFilter(this);
    Edit6->installEventFilter(this);
    // The sum follows the pieces and the rejects as they are typed.
    for (QLineEdit *e : {Edit3, Edit4})
        connect(e, &QLineEdit::textEdited, this, &ShiftEntryEditor::recompute);

    label(QStringLiteral("ФИО"), Edit1, 0, 0);
    grid->addWidget(Edit1, 0, 1, 1, 5);
    grid->addWidget(Button3, 0, 6);
    label(QStringLiteral("Операция"), Edit2, 1, 0);
    grid->addWidget(Edit2, 1, 1, 1, 5);
    grid->addWidget(Button4, 1, 6);
    label(QStringLiteral("Кол-во"), Edit3, 2, 0);
    grid->addWidget(Edit3, 2, 1);
    label(QStringLiteral("Время"), Edit6, 2, 2);
    grid->addWidget(Edit6, 2, 3);
    Label6 = label(QStringLiteral("Цвет"), Edit5, 2, 4);
    Label6->setObjectName(QStringLiteral("Label6"));
    grid->addWidget(Edit5, 2, 5);
    label(QStringLiteral("Дата"), DTimeP, 3, 0);
    grid->addWidget(DTimeP, 3, 1);
    label(QStringLiteral("Брак"), Edit4, 3, 2);
    grid->addWidget(Edit4, 3, 3);
    label(QStringLiteral("Цена база"), Edit8, 4, 0);
    grid->addWidget(Edit8, 4, 1);
    label(QStringLiteral("Цена итог"), Edit7, 4, 2);
    grid->addWidget(Edit7, 4, 3);
    label(QStringLiteral("Сумма"), Edit9, 4, 4);
    grid->addWidget(Edit9, 4, 5);

    const EditorButtons buttons = layOutEditor(frame, true);
    Button1 = buttons.save;
    Button2 = buttons.cancel;
    Button1->setText(QStringLiteral("Запись"));

    connect(Button1, &QPushButton::clicked, this, &ShiftEntryEditor::Button1Click);
    connect(Button3, &QPushButton::clicked, this, &ShiftEntryEditor::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &ShiftEntryEditor::Button4Click);

    setTabOrder(Button3, Button4);
    setTabOrder(Button4, Edit3);
    setTabOrder(Edit3, Edit6);
    setTabOrder(Edit6, Edit5);
    setTabOrder(Edit5, DTimeP);
    setTabOrder(DTimeP, Edit4);
    setTabOrder(Edit4, Button1);
    setTabOrder(Button1, Button2);

    Edit5->setEnabled(false);
    Label6->setEnabled(false);
}

void ShiftEntryEditor::presetAdd(const shop::EntryContext &context)
{
    context_ = context;
    setWindowTitle(QStringLiteral("Заведение новой позиции (11)"));
    mode = ui::EditMode::Add;
    entry_ = Entry();
    workerId = operationId = productId = 0;
    finalPrice = basePrice = 0;
    DTimeP->setDate(context.date);
    for (QLineEdit *e : {Edit1, Edit2, Edit3, Edit5, Edit7, Edit8, Edit9})
        e->clear();
    Edit4->setText(QStringLiteral("0"));
    Edit6->setText(QStringLiteral("0"));
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
    Edit7->setText(price::text(price));
    Edit8->clear();
    Edit9->setText(price::text(price::entryAmount(q.asInteger(QStringLiteral("kol_vo")),
                                                  q.asInteger(QStringLiteral("brak")), price)));
    DTimeP->setDate(q.asDate(QStringLiteral("data")));
    Edit1->setText(q.asString(QStringLiteral("fio")).trimmed());
    const QString vid = q.asString(QStringLiteral("vid")).trimmed();
    Edit2->setText(q.asString(QStringLiteral("marka")).trimmed() + QStringLiteral("; ") + vid +
                   QStringLiteral("; ") +
                   shop::productKindText(q.asInteger(QStringLiteral("naimen"))));
    Edit3->setText(q.asString(QStringLiteral("kol_vo")).trimmed());
    Edit4->setText(q.asString(QStringLiteral("brak")).trimmed());
    workerId = q.asInteger(QStringLiteral("w_id"));
    productId = q.asInteger(QStringLiteral("i_id"));
    operationId = q.asInteger(QStringLiteral("o_id"));
    Edit6->setText(QString::number(q.asInteger(QStringLiteral("time"))));
    const bool painting = isPainting(vid);
    Edit5->setEnabled(painting);
    Label6->setEnabled(painting);
    if (painting)
        Edit5->setText(q.asString(QStringLiteral("color")).trimmed());
    else
        Edit5->clear();
    entry_.id = q.asInteger(QStringLiteral("id"));
    entry_.rowVer = q.asString(QStringLiteral("row_ver"));
    entry_.workerId = workerId;
    entry_.operationId = operationId;
    entry_.date = DTimeP->date();
}

void ShiftEntryEditor::FormActivate()
{
    Button3->setFocus();
}

bool ShiftEntryEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == Edit1) {
            ui::guarded([this] { Button3Click(); });
            return true;
        }
        if (watched == Edit2) {
            ui::guarded([this] { Button4Click(); });
            return true;
        }
    }
    if (event->type() == QEvent::FocusOut && (watched == Edit3 || watched == Edit6))
        recompute();
    return ui::Form::eventFilter(watched, event);
}

bool ShiftEntryEditor::isPainting(const QString &operationText)
{
    return operationText.toUpper().contains(QStringLiteral("КРАСКА"));
}

void ShiftEntryEditor::applyColourRule()
{
    const bool painting = isPainting(Edit2->text());
    if (!painting)
        Edit5->clear();
    Edit5->setEnabled(painting);
    Label6->setEnabled(painting);
}

void ShiftEntryEditor::recompute()
{
    // An empty box counts as 0 in the sum but stays empty: focus leaves the boxes also when a
    // refusal box opens, and a "0" written then would let the next Enter store it.
    // The sum is what the stored entry earns: the pieces less the rejects at the price as it
    // is stored; no sum while a box holds what is not a whole number.
    const double price = price::round4(finalPrice);
    Edit7->setText(price::text(price));
    Edit8->setText(price::text(price::round4(basePrice)));
    const shop::limits::Typed pieces = shop::limits::readWhole(QString(), trimmed(Edit3));
    const shop::limits::Typed rejects = shop::limits::readWhole(QString(), trimmed(Edit4));
    if (pieces.ok() && rejects.ok() && pieces.value <= shop::limits::kMaxQuantity &&
        rejects.value <= shop::limits::kMaxQuantity)
        Edit9->setText(
            price::text(price::entryAmount(int(pieces.value), int(rejects.value), price)));
    else
        Edit9->clear();
}

void ShiftEntryEditor::Button3Click()
{
    workerList->pickFrom(this, 1, [this](const db::Dataset &w) { takeWorker(w); });
}

void ShiftEntryEditor::takeWorker(const db::Dataset &workers)
{
    Edit1->setText(workers.asString(QStringLiteral("fio")).trimmed());
    workerId = workers.asInteger(QStringLiteral("id"));
}

void ShiftEntryEditor::Button4Click()
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
    Edit2->setText(op.text);
}

bool ShiftEntryEditor::fieldsFilled()
{
    for (const QLineEdit *e : {Edit1, Edit2, Edit3, Edit4, Edit6})
        if (trimmed(e).isEmpty())
            return false;
    return !(isPainting(Edit2->text()) && trimmed(Edit5).isEmpty());
}

bool ShiftEntryEditor::numbersInRange(Numbers &n)
{
    namespace limits = shop::limits;
    double *values[] = {&n.quantity, &n.rejects, &n.hours, &n.colour};
    int i = 0;
    for (const NumberBox &b : kNumberBoxes) {
        const limits::Typed typed =
            limits::readWhole(QString::fromUtf8(b.label), trimmed(this->*b.box));
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
        Edit5->setFocus();
        return false;
    }
    // Rejects are part of the quantity made; more rejects than pieces would store negative pay.
    if (n.rejects > n.quantity) {
        ui::showError(QStringLiteral("Брак в поле «Брак» не может быть больше количества в поле "
                                     "«Кол-во»."),
                      QStringLiteral("Ошибка"));
        Edit4->setFocus();
        return false;
    }
    const std::pair<limits::Verdict, QLineEdit *> verdicts[] = {
        {limits::quantity(QStringLiteral("Кол-во"), int(qMin(n.quantity, 1e9))), Edit3},
        {limits::rejects(QStringLiteral("Брак"), int(qMin(n.rejects, 1e9))), Edit4},
        {limits::entryHours(QStringLiteral("Время"), int(qMin(n.hours, 1e9))), Edit6},
    };
    for (const auto &[verdict, box] : verdicts)
        if (verdict.kind == limits::Verdict::Refuse) {
            ui::showError(verdict.sentence, QStringLiteral("Ошибка"));
            box->setFocus();
            return false;
        }
    // A worker's day holds at most 24 hours in all journals together.
    const limits::Verdict day =
        limits::dayHours(DTimeP->date(),
                         limits::hoursOfDay(workerId, DTimeP->date(),
                                            mode == ui::EditMode::Change ? entry_.id : 0, 0),
                         int(n.hours));
    if (!day.fine()) {
        ui::showError(day.sentence, QStringLiteral("Ошибка"));
        Edit6->setFocus();
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

void ShiftEntryEditor::Button1Click()
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
    entry.date = DTimeP->date();
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
    for (QLineEdit *e : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Edit8, Edit9})
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
