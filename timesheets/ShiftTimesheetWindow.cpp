#include "ShiftTimesheetWindow.h"

#include "db/Dataset.h"
#include "db/Transaction.h"
#include "shop/Calendar.h"
#include "shop/ClosedMonths.h"
#include "shop/DataModule.h"
#include "shop/Organisation.h"
#include "shop/Timesheet.h"
#include "spreadsheet/Excel.h"
#include "timesheets/ShiftTimesheetPrint.h"
#include "ui/Application.h"
#include "ui/DBGrid.h"
#include "ui/Messages.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QVBoxLayout>

ShiftTimesheetWindow *shiftTimesheetWindow = nullptr;

namespace {

const QColor kSilver(0xC0, 0xC0, 0xC0);
const QColor kLightGreen(0xC0, 0xDC, 0xC0);
constexpr int kDayWidth = 24;

QColor windowText()
{
    return QApplication::palette().color(QPalette::Text);
}

QColor windowBackground()
{
    return QApplication::palette().color(QPalette::Base);
}

// The selected cell is drawn as every selected cell is, without the day rules' font.
class DayDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (option->state & QStyle::State_Selected) {
            option->font = option->widget ? option->widget->font() : QApplication::font();
            option->backgroundBrush = QBrush();
        }
    }
};

} // namespace

ShiftTimesheetWindow::ShiftTimesheetWindow(QWidget *parent) : ui::Form(parent)
{
    shiftTimesheetWindow = this;
    setObjectName(QStringLiteral("shiftTimesheetWindow"));
    setPlacement(Placement::Screen);
    maxYear = new db::Dataset(QStringLiteral("maxYear"), this);
    maxYear->setSql(QStringLiteral("select max(year) as year from accounts_dep.h_tabel"));
    buildUi();
}

void ShiftTimesheetWindow::buildUi()
{
    setWindowTitle(QStringLiteral("Табель по времени"));
    auto *root = new QVBoxLayout(this);

    cols_ = {{QStringLiteral("fio"), QStringLiteral("Фамилия И. О."), 200}};
    for (int d = 1; d <= 31; ++d) {
        cols_.append(
            {QStringLiteral("d%1").arg(d), QString::number(d), kDayWidth, Qt::AlignCenter});
        cols_.last().summed = true;
    }
    cols_.append({QStringLiteral("summ"), QStringLiteral("Итого"), 50, Qt::AlignCenter});
    cols_.last().figure = ui::Figure::Quantity;
    cols_.last().summed = true;

    shiftTabs = new QTabWidget(this);
    shiftTabs->setObjectName(QStringLiteral("shiftTabs"));
    shift1Tab = new QWidget;
    shift2Tab = new QWidget;
    shift3Tab = new QWidget;
    shift1Tab->setObjectName(QStringLiteral("shift1Tab"));
    shift2Tab->setObjectName(QStringLiteral("shift2Tab"));
    shift3Tab->setObjectName(QStringLiteral("shift3Tab"));
    shiftTabs->addTab(shift1Tab, QStringLiteral("Смена №1"));
    shiftTabs->addTab(shift2Tab, QStringLiteral("Смена №2"));
    shiftTabs->addTab(shift3Tab, QStringLiteral("Смена №3"));
    shift1Grid = newGrid("shift1Grid", dataModule->H_Tabel_1, shift1Tab);
    shift2Grid = newGrid("shift2Grid", dataModule->H_Tabel_2, shift2Tab);
    shift3Grid = newGrid("shift3Grid", dataModule->H_Tabel_3, shift3Tab);

    auto *firstTab = static_cast<QVBoxLayout *>(shift1Tab->layout());
    auto *tools = new QHBoxLayout;
    rebuildButton = newButton("rebuildButton", QStringLiteral("Перестроить"));
    progressBar = new QProgressBar(shift1Tab);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setAccessibleName(QStringLiteral("Ход перестроения"));
    progressBar->setMinimum(1);
    progressBar->hide();
    exportButton = newButton("exportButton", QStringLiteral("Excel"));
    exportButton->setMinimumWidth(140);
    tools->addWidget(rebuildButton);
    tools->addWidget(progressBar, 1);
    tools->addStretch();
    tools->addWidget(exportButton);
    firstTab->addLayout(tools);
    root->addWidget(shiftTabs, 1);

    auto *bar = new QHBoxLayout;
    monthBox = new QComboBox(this);
    monthBox->setObjectName(QStringLiteral("monthBox"));
    monthBox->setAccessibleName(QStringLiteral("Месяц"));
    monthBox->addItems(timesheet::monthNames());
    monthBox->setMaxVisibleItems(12);
    yearBox = new QComboBox(this);
    yearBox->setObjectName(QStringLiteral("yearBox"));
    yearBox->setAccessibleName(QStringLiteral("Год"));
    refreshButton = newButton("refreshButton", QStringLiteral("Обновить"));
    printButton = newButton("printButton", QStringLiteral("Печать"));
    exitButton = newButton("exitButton", QStringLiteral("Выход"));
    bar->addWidget(monthBox);
    bar->addWidget(yearBox);
    bar->addWidget(refreshButton);
    bar->addWidget(printButton);
    bar->addStretch();
    bar->addWidget(exitButton);
    root->addLayout(bar);
    for (QPushButton *b : {rebuildButton, exportButton, exitButton, refreshButton, printButton})
        b->setAutoDefault(false);
    setCancelButton(exitButton);
    fillYears(QDate::currentDate().year());

    connect(monthBox, &QComboBox::activated, this, &ShiftTimesheetWindow::periodChange);
    connect(yearBox, &QComboBox::activated, this, &ShiftTimesheetWindow::periodChange);
    connect(rebuildButton, &QPushButton::clicked, this, &ShiftTimesheetWindow::rebuildClick);
    connect(exportButton, &QPushButton::clicked, this, &ShiftTimesheetWindow::exportClick);
    connect(refreshButton, &QPushButton::clicked, this, &ShiftTimesheetWindow::refreshClick);
    connect(printButton, &QPushButton::clicked, this, &ShiftTimesheetWindow::printClick);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);
    // As wide as every day and the total need (the titles may widen the days), within the
    // smallest screen in use.
    const int tabsAround = 2 * shiftTabs->contentsRect().left() + 40;
    const int wanted = shift1Grid->contentWidth() + 2 * shift1Grid->frameWidth() +
                       shift1Grid->verticalScrollBar()->sizeHint().width() + tabsAround +
                       root->contentsMargins().left() + root->contentsMargins().right();
    resize(qMin(qMax(200 + 31 * kDayWidth + 50 + 60, wanted),
                ui::Form::kScreenWidth - ui::Form::kFrameAllowance),
           560);
}

ui::DBGrid *ShiftTimesheetWindow::newGrid(const char *name, db::Dataset *ds, QWidget *tab)
{
    auto *grid = new ui::DBGrid(QLatin1String(name), tab);
    grid->setAccessibleName(QStringLiteral("Табель, ") +
                            shiftTabs->tabText(shiftTabs->indexOf(tab)));
    grid->setColumns(cols_);
    // The name stays while the days scroll; the day's and the month's totals under them.
    grid->setFrozenColumns(1);
    grid->setTotalsRow(true);
    grid->setDataset(ds);
    grid->setItemDelegate(new DayDelegate(grid));
    grid->gridModel()->setStyler(
        [this](const db::Dataset &set, int row, const ui::ColumnDef &col, ui::CellStyle &style) {
            if (!col.field.startsWith(QLatin1Char('d')))
                return;
            const int day = QStringView(col.field).mid(1).toInt();
            styleDay(dayKinds_[day], set.valueAt(row, col.field).toInt(), style);
        });
    auto *layout = new QVBoxLayout(tab);
    layout->addWidget(grid, 1);
    return grid;
}

void ShiftTimesheetWindow::styleDay(DayKind kind, int value, ui::CellStyle &style)
{
    QColor colour = kind == DayKind::Weekend  ? QColor(Qt::red)
                    : kind == DayKind::Beyond ? windowBackground()
                                              : windowText();
    const bool red = kind == DayKind::Weekend;
    QFont bold;
    bold.setBold(true);
    if (value == 0) {
        if (!red)
            colour = kSilver;
        if (kind == DayKind::Beyond)
            colour = windowBackground();
    } else if (value == 8) {
        style.font = bold;
        if (!red)
            colour = windowText();
    } else if (value > 8) {
        style.font = bold;
        style.background = QBrush(kLightGreen);
    }
    style.foreground = QBrush(colour);
}

QList<db::Dataset *> ShiftTimesheetWindow::datasets() const
{
    return {dataModule->H_Tabel_1, dataModule->H_Tabel_2, dataModule->H_Tabel_3};
}

void ShiftTimesheetWindow::fillYears(int mustHold)
{
    const QString chosen = yearBox->currentText();
    maxYear->close();
    maxYear->open();
    const int latest =
        qMax(QDate::currentDate().year(), maxYear->asInteger(QStringLiteral("year")));
    maxYear->close();
    yearBox->clear();
    // The journal's year is always offered, however far it lies from the usual range.
    for (int y = qMin(kFirstYear, mustHold); y <= qMax(latest + 1, mustHold); ++y)
        yearBox->addItem(QString::number(y));
    const int at = yearBox->findText(chosen);
    yearBox->setCurrentIndex(at >= 0 ? at : 0);
}

timesheet::MonthPeriod ShiftTimesheetWindow::period() const
{
    timesheet::MonthPeriod p;
    p.month = monthBox->currentIndex() + 1;
    p.year = yearBox->currentText().toInt();
    return p;
}

void ShiftTimesheetWindow::openFrom(ui::Form *caller, const QDate &date)
{
    fillYears(date.year());
    monthBox->setCurrentIndex(date.month() - 1);
    yearBox->setCurrentIndex(qMax(0, yearBox->findText(QString::number(date.year()))));
    periodChange();
    caller->showChild(this);
    for (db::Dataset *ds : datasets())
        ds->close();
}

void ShiftTimesheetWindow::FormActivate()
{
    exportButton->setText(QStringLiteral("Excel"));
}

void ShiftTimesheetWindow::applyColumns()
{
    for (ui::DBGrid *grid : grids())
        grid->setColumns(cols_);
}

void ShiftTimesheetWindow::periodChange()
{
    const ui::WaitCursor wait; // the month's rows may take a while
    const timesheet::MonthPeriod p = period();
    for (db::Dataset *ds : datasets()) {
        ds->close();
        ds->setParam(QStringLiteral("mnth"), p.month);
        ds->setParam(QStringLiteral("yea"), p.year);
        ds->setParam(QStringLiteral("date1"), p.first());
        ds->setParam(QStringLiteral("date2"), p.next());
        ds->open();
    }
    // A closed month's timesheet is not rebuilt.
    rebuildButton->setEnabled(!closing::isClosed(p.month, p.year));
    rebuildButton->setToolTip(rebuildButton->isEnabled() ? QString()
                                                         : closing::sentence(p.month, p.year));
    // Holidays and moved days off are coloured as weekends, a working Saturday as a
    // working day.
    const shop::calendar::Year cal = shop::calendar::Year::load(p.year);
    const int days = p.days();
    for (int d = 1; d <= 31; ++d) {
        ui::ColumnDef &col = cols_[d];
        if (d > days) {
            dayKinds_[d] = DayKind::Beyond;
            col.titleColor = kSilver;
        } else {
            const bool off = cal.isDayOff(QDate(p.year, p.month, d));
            dayKinds_[d] = off ? DayKind::Weekend : DayKind::Workday;
            col.titleColor = off ? QColor(Qt::red) : windowText();
        }
    }
    applyColumns();
}

void ShiftTimesheetWindow::refreshClick()
{
    for (db::Dataset *ds : datasets()) {
        ds->close();
        ds->open();
    }
}

void ShiftTimesheetWindow::rebuildMonth(const timesheet::MonthPeriod &p, QProgressBar *bar)
{
    shop::timesheet::rebuildShifts(p.month, p.year,
                                   [bar](int days, const std::function<void(int)> &work) {
                                       timesheet::byDay(bar, days, work);
                                   });
}

void ShiftTimesheetWindow::rebuildClick()
{
    const timesheet::MonthPeriod p = period();
    if (ui::refuse(closing::refusal(p.month, p.year)))
        return;
    const ui::WaitCursor wait; // the month's rows may take a while
    rebuildMonth(p, progressBar);
    refreshClick();
}

void ShiftTimesheetWindow::exportClick()
{
    const ui::WaitCursor wait; // the month's rows may take a while
    const timesheet::MonthPeriod p = period();
    db::Dataset *ds = shiftTimesheetPrint->H_Tabel;
    // The window takes no other command until the export is done: another one would close the
    // rows being written and leave a workbook cut short.
    QWidget *const controls[] = {monthBox,     yearBox,       rebuildButton,
                                 exportButton, refreshButton, printButton};
    for (QWidget *w : controls)
        w->setEnabled(false);
    const auto restore = qScopeGuard([&] {
        for (QWidget *w : controls)
            w->setEnabled(true);
    });
    shiftTimesheetPrint->openMonth(p.month, p.year);
    const QString month = monthBox->currentText() + QLatin1Char(' ') + QString::number(p.year);
    excel::Export book;
    if (!book.open(QStringLiteral("Табель ") + month)) {
        ds->close();
        return;
    }
    const QString all = QString::number(ds->recordCount());
    exportButton->setText(QStringLiteral("Excel (0") + QStringLiteral(" из ") + all +
                          QLatin1Char(')'));

    // Bold headings; every column takes the width of its longest text.
    const auto cell = [&book](int column, int row, const QString &text, excel::Kind kind,
                              excel::Font font) {
        book.write(column, row, text, {kind, font, excel::Width::Fit});
    };
    using excel::Font;
    using excel::Kind;
    cell(1, 1, month, Kind::Text, Font::Bold);
    cell(1, 2, QStringLiteral("Фамилия И.О."), Kind::Text, Font::Bold);
    for (int d = 1; d <= 31; ++d)
        cell(d + 1, 2, QString::number(d), Kind::Value, Font::Bold);
    cell(33, 2, QStringLiteral("Итого"), Kind::Text, Font::Bold);

    int row = 3;
    int written = 0;
    for (ds->first(); !ds->eof() && !ds->isEmpty(); ds->next()) {
        cell(1, row, ds->asString(QStringLiteral("fio")), Kind::Text, Font::Regular);
        int total = 0;
        for (int d = 1; d <= 31; ++d) {
            const QString field = QStringLiteral("sd") + QString::number(d);
            cell(d + 1, row, ds->asString(field), Kind::Value, Font::Regular);
            total += ds->asInteger(field);
        }
        cell(33, row, QString::number(total), Kind::Value, Font::Regular);
        ++row;
        ++written;
        exportButton->setText(QStringLiteral("Excel (") + QString::number(written) +
                              QStringLiteral(" из ") + all + QLatin1Char(')'));
        QCoreApplication::processEvents();
    }
    book.show();
    ds->close();
}

void ShiftTimesheetWindow::printClick()
{
    const timesheet::MonthPeriod p = period();
    shiftTimesheetPrint->openMonth(p.month, p.year);
    shiftTimesheetPrint->setMonthLabel(monthBox->currentText() + QLatin1Char(' ') +
                                       yearBox->currentText() + QStringLiteral(" г."));
    shiftTimesheetPrint->setOrganisation(shop::organisation());
    shiftTimesheetPrint->printout->setDocumentName(
        QStringLiteral("Табель %1 %2").arg(monthBox->currentText(), yearBox->currentText()));
    shiftTimesheetPrint->prepare();
    shiftTimesheetPrint->preview(this);
    shiftTimesheetPrint->H_Tabel->close();
}
