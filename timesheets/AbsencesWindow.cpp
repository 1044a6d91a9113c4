#include "AbsencesWindow.h"

#include "Period.h"
#include "db/Dataset.h"
#include "shop/Absences.h"
#include "shop/WorkTime.h"
#include "ui/Application.h"
#include "ui/Messages.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

AbsencesWindow *absencesWindow = nullptr;

namespace {

QTableWidgetItem *cell(const QString &text, const QVariant &id = QVariant())
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (id.isValid())
        item->setData(Qt::UserRole, id);
    return item;
}

} // namespace

AbsencesWindow::AbsencesWindow(QWidget *parent) : ui::Form(parent)
{
    absencesWindow = this;
    setObjectName(QStringLiteral("absencesWindow"));
    setWindowTitle(QStringLiteral("Неявки"));

    monthBox = new QComboBox(this);
    monthBox->setObjectName(QStringLiteral("monthBox"));
    monthBox->addItems(timesheet::monthNames());
    yearBox = new QSpinBox(this);
    yearBox->setObjectName(QStringLiteral("yearBox"));
    yearBox->setRange(2000, 2100);
    auto *monthLabel = new QLabel(QStringLiteral("&Месяц"), this);
    monthLabel->setBuddy(monthBox);
    auto *yearLabel = new QLabel(QStringLiteral("&Год"), this);
    yearLabel->setBuddy(yearBox);

    absencesTable = new QTableWidget(0, 6, this);
    absencesTable->setObjectName(QStringLiteral("absencesTable"));
    absencesTable->setAccessibleName(QStringLiteral("Неявки месяца"));
    absencesTable->setHorizontalHeaderLabels({QStringLiteral("Работник"), QStringLiteral("Таб. №"),
                                              QStringLiteral("Код"), QStringLiteral("С"),
                                              QStringLiteral("По"), QStringLiteral("Примечание")});
    absencesTable->verticalHeader()->hide();
    absencesTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    absencesTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    absencesTable->setSelectionMode(QAbstractItemView::SingleSelection);
    absencesTable->setColumnWidth(0, 240);
    absencesTable->setColumnWidth(1, 60);
    absencesTable->setColumnWidth(2, 50);
    absencesTable->setColumnWidth(3, 80);
    absencesTable->setColumnWidth(4, 80);
    absencesTable->horizontalHeader()->setStretchLastSection(true);
    absencesTable->verticalHeader()->setDefaultSectionSize(22);

    auto *editor = new QGroupBox(QStringLiteral("Новая неявка"), this);
    auto *form = new QFormLayout(editor);
    searchEdit = new QLineEdit(this);
    searchEdit->setObjectName(QStringLiteral("searchEdit"));
    searchEdit->setPlaceholderText(QStringLiteral("часть фамилии или табельный номер"));
    workersList = new QListWidget(this);
    workersList->setObjectName(QStringLiteral("workersList"));
    workersList->setAccessibleName(QStringLiteral("Работники"));
    workersList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    workersList->setMinimumHeight(180);
    codeBox = new QComboBox(this);
    codeBox->setObjectName(QStringLiteral("codeBox"));
    codeBox->setMinimumWidth(330);
    firstEdit = new QDateEdit(this);
    firstEdit->setObjectName(QStringLiteral("firstEdit"));
    lastEdit = new QDateEdit(this);
    lastEdit->setObjectName(QStringLiteral("lastEdit"));
    for (QDateEdit *e : {firstEdit, lastEdit}) {
        e->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        e->setCalendarPopup(true);
    }
    noteEdit = new QLineEdit(this);
    noteEdit->setObjectName(QStringLiteral("noteEdit"));
    noteEdit->setMaxLength(254);
    form->addRow(QStringLiteral("&Поиск"), searchEdit);
    form->addRow(QStringLiteral("&Работники"), workersList);
    form->addRow(QStringLiteral("&Код"), codeBox);
    form->addRow(QStringLiteral("&С"), firstEdit);
    form->addRow(QStringLiteral("П&о"), lastEdit);
    form->addRow(QStringLiteral("Пр&имечание"), noteEdit);

    stateLabel = new QLabel(this);
    stateLabel->setObjectName(QStringLiteral("stateLabel"));
    stateLabel->setWordWrap(true);
    addButton = newButton("addButton", QStringLiteral("&Добавить"));
    removeButton = newButton("removeButton", QStringLiteral("&Удалить"));
    closeButton = newButton("closeButton", QStringLiteral("Выход"));
    makeDefault(nullptr);
    setCancelButton(closeButton);

    auto *root = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    top->addWidget(monthLabel);
    top->addWidget(monthBox);
    top->addWidget(yearLabel);
    top->addWidget(yearBox);
    top->addStretch(1);
    root->addLayout(top);
    auto *middle = new QHBoxLayout;
    middle->addWidget(absencesTable, 1);
    middle->addWidget(editor);
    root->addLayout(middle, 1);
    root->addWidget(stateLabel);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(addButton);
    buttons->addWidget(removeButton);
    buttons->addStretch(1);
    buttons->addWidget(closeButton);
    root->addLayout(buttons);
    resize(1200, 600);

    connect(monthBox, qOverload<int>(&QComboBox::activated), this,
            [this] { ui::guarded([this] { readMonth(); }); });
    connect(yearBox, &QSpinBox::editingFinished, this,
            [this] { ui::guarded([this] { readMonth(); }); });
    connect(searchEdit, &QLineEdit::textChanged, this, [this](const QString &typed) {
        const QString t = typed.trimmed();
        for (int i = 0; i < workersList->count(); ++i) {
            QListWidgetItem *item = workersList->item(i);
            item->setHidden(!t.isEmpty() && !item->text().contains(t, Qt::CaseInsensitive));
        }
    });
    bindListKeys(absencesTable, {addButton, nullptr, removeButton, nullptr});
    connect(addButton, &QPushButton::clicked, this,
            [this] { ui::guarded([this] { addAbsence(); }); });
    connect(removeButton, &QPushButton::clicked, this,
            [this] { ui::guarded([this] { removeAbsence(); }); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

void AbsencesWindow::openFrom(ui::Form *from, const QDate &date, bool administrator)
{
    administrator_ = administrator;
    monthBox->setCurrentIndex(date.month() - 1);
    yearBox->setValue(date.year());
    firstEdit->setDate(date);
    lastEdit->setDate(date);
    for (QWidget *w : {static_cast<QWidget *>(addButton), static_cast<QWidget *>(removeButton),
                       static_cast<QWidget *>(workersList), static_cast<QWidget *>(codeBox),
                       static_cast<QWidget *>(firstEdit), static_cast<QWidget *>(lastEdit),
                       static_cast<QWidget *>(noteEdit), static_cast<QWidget *>(searchEdit)})
        w->setEnabled(administrator);
    stateLabel->setText(administrator ? QString() : QStringLiteral("Неявки вносит администратор."));
    const bool read = ui::guarded([this] {
        codeBox->clear();
        for (const shop::worktime::Code &c : shop::worktime::codes())
            if (c.absence)
                codeBox->addItem(QStringLiteral("%1 (%2) — %3").arg(c.letters, c.digits, c.caption),
                                 c.letters);
        readWorkers();
        readMonth();
    });
    if (read)
        from->showChild(this);
}

void AbsencesWindow::readWorkers()
{
    db::Dataset q(QStringLiteral("absenceWorkers"));
    q.setSql(QStringLiteral("select id, fio from accounts_dep.person order by fio, id"));
    q.open();
    workersList->clear();
    for (q.first(); !q.eof(); q.next()) {
        auto *item = new QListWidgetItem(QStringLiteral("%1 (%2)").arg(
            q.asString(QStringLiteral("fio")).trimmed(), q.asString(QStringLiteral("id"))));
        item->setData(Qt::UserRole, q.asInteger(QStringLiteral("id")));
        workersList->addItem(item);
    }
}

void AbsencesWindow::readMonth()
{
    const QDate first(yearBox->value(), monthBox->currentIndex() + 1, 1);
    db::Dataset q(QStringLiteral("monthAbsences"));
    q.setSql(QStringLiteral(R"(
        select a.id, a.w_id, coalesce(p.fio, '') as fio, a.code, a.first, a.last, a.note
        from accounts_dep.absence a
        left join accounts_dep.person p on p.id=a.w_id
        where a.first<:n
          and a.last>=:f
        order by fio, a.w_id, a.first)"));
    q.setParam(QStringLiteral("f"), first);
    q.setParam(QStringLiteral("n"), first.addMonths(1));
    q.open();
    absencesTable->setRowCount(q.recordCount());
    int row = 0;
    const QString format = QStringLiteral("dd.MM.yyyy");
    for (q.first(); !q.eof(); q.next(), ++row) {
        absencesTable->setItem(
            row, 0,
            cell(q.asString(QStringLiteral("fio")).trimmed(), q.asInteger(QStringLiteral("id"))));
        absencesTable->setItem(row, 1, cell(q.asString(QStringLiteral("w_id"))));
        absencesTable->setItem(row, 2, cell(q.asString(QStringLiteral("code")).trimmed()));
        absencesTable->setItem(row, 3, cell(q.asDate(QStringLiteral("first")).toString(format)));
        absencesTable->setItem(row, 4, cell(q.asDate(QStringLiteral("last")).toString(format)));
        absencesTable->setItem(row, 5, cell(q.asString(QStringLiteral("note"))));
    }
}

void AbsencesWindow::chooseWorkers(const QList<int> &ids)
{
    for (int i = 0; i < workersList->count(); ++i) {
        QListWidgetItem *item = workersList->item(i);
        item->setSelected(ids.contains(item->data(Qt::UserRole).toInt()));
    }
}

void AbsencesWindow::addAbsence()
{
    if (!administrator_)
        return;
    QList<int> workers;
    for (QListWidgetItem *item : workersList->selectedItems())
        workers << item->data(Qt::UserRole).toInt();
    if (workers.isEmpty()) {
        ui::showError(QStringLiteral("Выберите работников."));
        return;
    }
    if (lastEdit->date() < firstEdit->date()) {
        ui::showError(QStringLiteral("Последний день неявки раньше первого."));
        return;
    }
    shop::absences::add(workers, codeBox->currentData().toString(), firstEdit->date(),
                        lastEdit->date(), noteEdit->text());
    readMonth();
}

void AbsencesWindow::removeAbsence()
{
    if (!administrator_)
        return;
    const int row = absencesTable->currentRow();
    if (row < 0)
        return;
    const QTableWidgetItem *item = absencesTable->item(row, 0);
    if (!ui::askYesNo(QStringLiteral("Удалить неявку %1 (%2, %3 — %4)?")
                          .arg(item->text(), absencesTable->item(row, 2)->text(),
                               absencesTable->item(row, 3)->text(),
                               absencesTable->item(row, 4)->text())))
        return;
    try {
        shop::absences::remove(item->data(Qt::UserRole).toInt());
    } catch (...) {
        readMonth();
        throw;
    }
    readMonth();
}
