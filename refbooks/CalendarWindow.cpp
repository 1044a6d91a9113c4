#include "CalendarWindow.h"

#include "ui/Application.h"
#include "ui/Messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

CalendarWindow *calendarWindow = nullptr;

using shop::calendar::Kind;

namespace {

const Kind kEditable[] = {Kind::Holiday, Kind::MovedOff, Kind::WorkingDay, Kind::Short,
                          Kind::Working};

QString hours(int tenths)
{
    return tenths % 10 == 0 ? QString::number(tenths / 10)
                            : QLocale().toString(tenths / 10.0, 'f', 1);
}

QTableWidgetItem *cell(const QString &text, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(align);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

} // namespace

CalendarWindow::CalendarWindow(QWidget *parent) : ui::Form(parent)
{
    calendarWindow = this;
    setObjectName(QStringLiteral("calendarWindow"));
    setWindowTitle(QStringLiteral("Производственный календарь"));

    yearBox = new QSpinBox(this);
    yearBox->setObjectName(QStringLiteral("yearBox"));
    yearBox->setRange(2000, 2100);
    auto *yearLabel = new QLabel(QStringLiteral("&Год"), this);
    yearLabel->setBuddy(yearBox);
    addYearButton = newButton("addYearButton", QStringLiteral("Ввести год"));
    addYearButton->setToolTip(
        QStringLiteral("Год с его праздниками; переносы выходных по постановлению вносятся после"));
    stateLabel = new QLabel(this);
    stateLabel->setObjectName(QStringLiteral("stateLabel"));
    stateLabel->setWordWrap(true);

    monthsTable = new QTableWidget(12, 6, this);
    monthsTable->setObjectName(QStringLiteral("monthsTable"));
    monthsTable->setAccessibleName(QStringLiteral("Нормы по месяцам"));
    monthsTable->setHorizontalHeaderLabels({QStringLiteral("Месяц"), QStringLiteral("Рабочих дней"),
                                            QStringLiteral("Выходных"), QStringLiteral("40 ч."),
                                            QStringLiteral("36 ч."), QStringLiteral("24 ч.")});
    monthsTable->verticalHeader()->hide();
    monthsTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    monthsTable->setSelectionMode(QAbstractItemView::NoSelection);
    monthsTable->setColumnWidth(0, 90);
    for (int c = 1; c < 6; ++c)
        monthsTable->setColumnWidth(c, c < 3 ? 90 : 60);
    monthsTable->verticalHeader()->setDefaultSectionSize(22);
    monthsTable->setMinimumWidth(470);
    monthsTable->setMinimumHeight(22 * 14 + 8);

    daysTable = new QTableWidget(0, 4, this);
    daysTable->setObjectName(QStringLiteral("daysTable"));
    daysTable->setAccessibleName(QStringLiteral("Особые дни года"));
    daysTable->setHorizontalHeaderLabels({QStringLiteral("Дата"), QStringLiteral("День"),
                                          QStringLiteral("Региональный"),
                                          QStringLiteral("Примечание")});
    daysTable->verticalHeader()->hide();
    daysTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    daysTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    daysTable->setSelectionMode(QAbstractItemView::SingleSelection);
    daysTable->setColumnWidth(0, 80);
    daysTable->setColumnWidth(1, 220);
    daysTable->setColumnWidth(2, 90);
    daysTable->horizontalHeader()->setStretchLastSection(true);
    daysTable->verticalHeader()->setDefaultSectionSize(22);
    daysTable->setMinimumWidth(600);
    connect(daysTable, &QTableWidget::itemSelectionChanged, this, &CalendarWindow::dayChosen);

    auto *editor = new QGroupBox(QStringLiteral("День"), this);
    auto *form = new QFormLayout(editor);
    dayEdit = new QDateEdit(this);
    dayEdit->setObjectName(QStringLiteral("dayEdit"));
    dayEdit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    dayEdit->setCalendarPopup(true);
    kindBox = new QComboBox(this);
    kindBox->setObjectName(QStringLiteral("kindBox"));
    for (Kind k : kEditable)
        kindBox->addItem(k == Kind::Working ? QStringLiteral("Обычный день (по дню недели)")
                                            : shop::calendar::kindCaption(k),
                         static_cast<int>(k));
    regionalBox =
        new QCheckBox(QStringLiteral("Р&егиональный (праздник региона, предприятия)"), this);
    regionalBox->setObjectName(QStringLiteral("regionalBox"));
    noteEdit = new QLineEdit(this);
    noteEdit->setObjectName(QStringLiteral("noteEdit"));
    noteEdit->setMaxLength(254);
    form->addRow(QStringLiteral("&Дата"), dayEdit);
    form->addRow(QStringLiteral("&Вид дня"), kindBox);
    form->addRow(QString(), regionalBox);
    form->addRow(QStringLiteral("&Примечание"), noteEdit);
    saveDayButton = newButton("saveDayButton", QStringLiteral("&Записать день"));
    removeDayButton = newButton("removeDayButton", QStringLiteral("&Убрать день"));
    auto *dayButtons = new QHBoxLayout;
    dayButtons->addWidget(saveDayButton);
    dayButtons->addWidget(removeDayButton);
    dayButtons->addStretch(1);
    form->addRow(dayButtons);

    closeButton = newButton("closeButton", QStringLiteral("Выход"));
    makeDefault(nullptr);
    setCancelButton(closeButton);

    auto *root = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    top->addWidget(yearLabel);
    top->addWidget(yearBox);
    top->addWidget(addYearButton);
    top->addWidget(stateLabel, 1);
    root->addLayout(top);
    auto *middle = new QHBoxLayout;
    middle->addWidget(monthsTable);
    auto *right = new QVBoxLayout;
    right->addWidget(daysTable, 1);
    right->addWidget(editor);
    middle->addLayout(right, 1);
    root->addLayout(middle, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(closeButton);
    root->addLayout(bottom);

    connect(yearBox, qOverload<int>(&QSpinBox::valueChanged), this,
            [this](int y) { ui::guarded([this, y] { showYear(y); }); });
    connect(addYearButton, &QPushButton::clicked, this,
            [this] { ui::guarded([this] { addYear(); }); });
    connect(saveDayButton, &QPushButton::clicked, this,
            [this] { ui::guarded([this] { saveDay(); }); });
    connect(removeDayButton, &QPushButton::clicked, this,
            [this] { ui::guarded([this] { removeDay(); }); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    resize(1180, 560);
}

void CalendarWindow::openFrom(ui::Form *from, int year, bool administrator)
{
    administrator_ = administrator;
    {
        const QSignalBlocker block(yearBox);
        yearBox->setValue(year);
    }
    if (!ui::guarded([this, year] { showYear(year); }))
        return;
    from->showChild(this);
}

void CalendarWindow::showYear(int year)
{
    year_ = shop::calendar::Year::load(year);
    if (!year_.known()) {
        stateLabel->setText(shop::calendar::fallbackSentence(year));
        stateLabel->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold"));
    } else {
        stateLabel->setText(QStringLiteral("Норма за год при 40-часовой неделе: %1 ч.")
                                .arg(hours(year_.yearNormTenths(40))));
        stateLabel->setStyleSheet(QString());
    }
    fillMonths();
    fillDays();
    const QDate first(year, 1, 1);
    dayEdit->setDateRange(first, QDate(year, 12, 31));
    dayEdit->setDate(first);
    enableEditing();
}

void CalendarWindow::fillMonths()
{
    const QLocale ru(QLocale::Russian);
    for (int m = 1; m <= 12; ++m) {
        const int days = QDate(year_.year(), m, 1).daysInMonth();
        const int working = year_.workingDays(m);
        monthsTable->setItem(m - 1, 0, cell(ru.standaloneMonthName(m)));
        const Qt::Alignment r = Qt::AlignRight | Qt::AlignVCenter;
        monthsTable->setItem(m - 1, 1, cell(QString::number(working), r));
        monthsTable->setItem(m - 1, 2, cell(QString::number(days - working), r));
        monthsTable->setItem(m - 1, 3, cell(hours(year_.normTenths(m, 40)), r));
        monthsTable->setItem(m - 1, 4, cell(hours(year_.normTenths(m, 36)), r));
        monthsTable->setItem(m - 1, 5, cell(hours(year_.normTenths(m, 24)), r));
    }
}

void CalendarWindow::fillDays()
{
    const QSignalBlocker block(daysTable);
    const QVector<shop::calendar::Day> &days = year_.days();
    daysTable->setRowCount(days.size());
    for (int i = 0; i < days.size(); ++i) {
        const shop::calendar::Day &d = days[i];
        daysTable->setItem(i, 0, cell(d.date.toString(QStringLiteral("dd.MM.yyyy"))));
        daysTable->setItem(i, 1, cell(shop::calendar::kindCaption(d.kind)));
        daysTable->setItem(i, 2,
                           cell(d.regional ? QStringLiteral("да") : QString(), Qt::AlignCenter));
        daysTable->setItem(i, 3, cell(d.note));
        const QColor back = d.kind == Kind::Holiday || d.kind == Kind::MovedOff
                                ? QColor(255, 220, 220)
                                : QColor(Qt::white);
        for (int c = 0; c < 4; ++c)
            daysTable->item(i, c)->setBackground(back);
    }
}

void CalendarWindow::dayChosen()
{
    const int row = daysTable->currentRow();
    if (row < 0 || row >= year_.days().size())
        return;
    const shop::calendar::Day &d = year_.days()[row];
    dayEdit->setDate(d.date);
    kindBox->setCurrentIndex(kindBox->findData(static_cast<int>(d.kind)));
    regionalBox->setChecked(d.regional);
    noteEdit->setText(d.note);
}

void CalendarWindow::enableEditing()
{
    addYearButton->setEnabled(administrator_ && !year_.known());
    for (QWidget *w :
         {static_cast<QWidget *>(dayEdit), static_cast<QWidget *>(kindBox),
          static_cast<QWidget *>(regionalBox), static_cast<QWidget *>(noteEdit),
          static_cast<QWidget *>(saveDayButton), static_cast<QWidget *>(removeDayButton)})
        w->setEnabled(administrator_ && year_.known());
}

void CalendarWindow::addYear()
{
    if (!administrator_ || year_.known())
        return;
    const int y = yearBox->value();
    if (!ui::askYesNo(QStringLiteral("Ввести календарь на %1 год? Праздничные дни будут внесены "
                                     "сразу, переносы выходных — после постановления.")
                          .arg(y),
                      QStringLiteral("Производственный календарь")))
        return;
    shop::calendar::addYear(y, QStringLiteral("Введён до постановления"));
    showYear(y);
}

void CalendarWindow::saveDay()
{
    if (!administrator_ || !year_.known())
        return;
    shop::calendar::Day d;
    d.date = dayEdit->date();
    d.kind = static_cast<Kind>(kindBox->currentData().toInt());
    d.regional = regionalBox->isChecked();
    d.note = noteEdit->text();
    const bool weekend = d.date.dayOfWeek() >= Qt::Saturday;
    if (d.kind == Kind::WorkingDay && !weekend) {
        ui::showError(QStringLiteral("%1 — не суббота и не воскресенье: рабочим днём он "
                                     "является и так.")
                          .arg(d.date.toString(QStringLiteral("dd.MM.yyyy"))));
        return;
    }
    shop::calendar::setDay(d);
    showYear(year_.year());
}

void CalendarWindow::removeDay()
{
    if (!administrator_ || !year_.known())
        return;
    shop::calendar::Day d;
    d.date = dayEdit->date();
    d.kind = Kind::Working;
    shop::calendar::setDay(d);
    showYear(year_.year());
}
