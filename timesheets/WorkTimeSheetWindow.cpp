#include "WorkTimeSheetWindow.h"

#include "Period.h"
#include "WorkTimeSheetPrint.h"
#include "report/Report.h"
#include "shop/Calendar.h"
#include "shop/Organisation.h"
#include "ui/Application.h"
#include "ui/Messages.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

WorkTimeSheetWindow *workTimeSheetWindow = nullptr;

namespace {
const QString kPayKind = QStringLiteral("сдельная");

// The form's heading: the organisation as kept, the number and date typed in the window.
worktimesheet::Heading headingOf(const QLineEdit *number, const QDateEdit *drawnUp)
{
    worktimesheet::Heading heading;
    heading.organisation = shop::organisation();
    heading.number = number->text().trimmed();
    heading.drawnUp = drawnUp->date();
    heading.payKind = kPayKind;
    return heading;
}
} // namespace

WorkTimeSheetWindow::WorkTimeSheetWindow(QWidget *parent)
    : ui::Form(parent), report_(new report::Report())
{
    workTimeSheetWindow = this;
    setObjectName(QStringLiteral("workTimeSheetWindow"));
    setWindowTitle(QStringLiteral("Табель учета рабочего времени (Т-13)"));

    monthBox = new QComboBox(this);
    monthBox->setObjectName(QStringLiteral("monthBox"));
    monthBox->addItems(timesheet::monthNames());
    yearBox = new QSpinBox(this);
    yearBox->setObjectName(QStringLiteral("yearBox"));
    yearBox->setRange(2000, 2100);
    numberEdit = new QLineEdit(this);
    numberEdit->setObjectName(QStringLiteral("numberEdit"));
    numberEdit->setMaxLength(20);
    drawnUpEdit = new QDateEdit(this);
    drawnUpEdit->setObjectName(QStringLiteral("drawnUpEdit"));
    drawnUpEdit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    drawnUpEdit->setCalendarPopup(true);
    unmarkedLabel = new QLabel(this);
    unmarkedLabel->setObjectName(QStringLiteral("unmarkedLabel"));
    unmarkedLabel->setWordWrap(true);
    calendarLabel = new QLabel(this);
    calendarLabel->setObjectName(QStringLiteral("calendarLabel"));
    calendarLabel->setWordWrap(true);
    calendarLabel->setStyleSheet(QStringLiteral("color: #c00000"));

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Месяц"), monthBox);
    form->addRow(QStringLiteral("&Год"), yearBox);
    form->addRow(QStringLiteral("&Номер документа"), numberEdit);
    form->addRow(QStringLiteral("&Дата составления"), drawnUpEdit);

    previewButton = newButton("previewButton", QStringLiteral("&Просмотр"));
    exportButton = newButton("exportButton", QStringLiteral("&Excel"));
    closeButton = newButton("closeButton", QStringLiteral("Выход"));
    makeDefault(previewButton);
    setCancelButton(closeButton);

    auto *root = new QVBoxLayout(this);
    root->addLayout(form);
    root->addWidget(unmarkedLabel);
    root->addWidget(calendarLabel);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(previewButton);
    buttons->addWidget(exportButton);
    buttons->addStretch(1);
    buttons->addWidget(closeButton);
    root->addLayout(buttons);
    setMinimumWidth(520);

    connect(monthBox, qOverload<int>(&QComboBox::activated), this, [this] { monthChosen(); });
    connect(yearBox, &QSpinBox::editingFinished, this, [this] { monthChosen(); });
    connect(previewButton, &QPushButton::clicked, this,
            [this] { ui::guarded([this] { previewSheet(); }); });
    connect(exportButton, &QPushButton::clicked, this,
            [this] { ui::guarded([this] { exportSheet(); }); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

WorkTimeSheetWindow::~WorkTimeSheetWindow()
{
    delete report_;
}

void WorkTimeSheetWindow::openFrom(ui::Form *from, const QDate &date)
{
    monthBox->setCurrentIndex(date.month() - 1);
    yearBox->setValue(date.year());
    numberEdit->setText(QString::number(date.month()));
    drawnUpEdit->setDate(QDate(date.year(), date.month(), 1).addMonths(1).addDays(-1));
    if (!ui::guarded([this] { readMonth(); }))
        return;
    from->showChild(this);
}

void WorkTimeSheetWindow::monthChosen()
{
    const QDate last =
        QDate(yearBox->value(), monthBox->currentIndex() + 1, 1).addMonths(1).addDays(-1);
    numberEdit->setText(QString::number(last.month()));
    drawnUpEdit->setDate(last);
    ui::guarded([this] { readMonth(); });
}

void WorkTimeSheetWindow::readMonth()
{
    const ui::WaitCursor wait;
    month_ = shop::worktime::build(monthBox->currentIndex() + 1, yearBox->value());
    if (month_.workers.isEmpty())
        unmarkedLabel->setText(QStringLiteral("За этот месяц нет ни часов, ни неявок."));
    else if (month_.unmarked == 0)
        unmarkedLabel->setText(
            QStringLiteral("Работников: %1. Все рабочие дни отмечены.").arg(month_.workers.size()));
    else
        unmarkedLabel->setText(
            QStringLiteral("Работников: %1. Не отмечено рабочих дней: %2 (без часов и неявок, "
                           "в табеле остаются пустыми).")
                .arg(month_.workers.size())
                .arg(month_.unmarked));
    calendarLabel->setText(month_.calendarKnown ? QString()
                                                : shop::calendar::fallbackSentence(month_.year));
    calendarLabel->setVisible(!month_.calendarKnown);
}

void WorkTimeSheetWindow::previewSheet()
{
    readMonth();
    const worktimesheet::Heading heading = headingOf(numberEdit, drawnUpEdit);
    {
        const ui::WaitCursor wait;
        worktimesheet::prepare(*report_, month_, heading);
    }
    report_->preview(this);
    // A month of the plant holds tens of megabytes of pages nobody needs any more.
    report_->clear();
}

void WorkTimeSheetWindow::exportSheet()
{
    readMonth();
    const worktimesheet::Heading heading = headingOf(numberEdit, drawnUpEdit);
    const ui::WaitCursor wait;
    worktimesheet::exportSheet(month_, heading);
}
