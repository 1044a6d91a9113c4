#include "PieceworkTimesheetWindow.h"

#include "TimesheetWorkbook.h"

#include "db/Dataset.h"
#include "db/Transaction.h"
#include "reports/PayStatementWindow.h"
#include "shop/Calendar.h"
#include "shop/ClosedMonths.h"
#include "shop/DataModule.h"
#include "shop/Earnings.h"
#include "shop/Timesheet.h"
#include "text/Figures.h"
#include "ui/Application.h"
#include "ui/DBGrid.h"
#include "ui/LookupCombo.h"
#include "ui/Messages.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QVBoxLayout>

PieceworkTimesheetWindow *pieceworkTimesheetWindow = nullptr;

namespace {

// Grid columns: 0 name, 1 day or night, 2 .. 32 the days, 33 .. 35 the month's figures.
constexpr int kNightColumn = 1;
constexpr int kFirstDayColumn = 2;
constexpr int kAverageColumn = 35;
constexpr int kStandardNameWidth = 208;
constexpr int kNarrowestNameWidth = 170; // "Фамилия И. О." of the longest names
constexpr int kWidestWindow = ui::Form::kScreenWidth - ui::Form::kFrameAllowance;
const QColor kFigures(0xE1, 0xE4, 0xFF);

struct ModeDef {
    int mode;
    const char *caption;
    int nameWidth;
    bool night;
    bool average;
};

const ModeDef kModes[] = {
    {9, "Табель сделка (27)", 238, false, true},
    {14, "Табель хоз. работы (27)", 208, true, true},
    {15, "Табель ср. сдельная (27)", 208, true, true},
    {17, "Общий табель (27)", 304, false, false},
};

const ModeDef &modeDef(int mode)
{
    for (const ModeDef &m : kModes)
        if (m.mode == mode)
            return m;
    return kModes[0];
}

QString money(const db::Dataset &ds)
{
    return figures::money(ds.value(QStringLiteral("price")));
}

} // namespace

PieceworkTimesheetWindow::PieceworkTimesheetWindow(QWidget *parent) : ui::Form(parent)
{
    pieceworkTimesheetWindow = this;
    setObjectName(QStringLiteral("pieceworkTimesheetWindow"));
    setPlacement(Placement::Screen);

    auto query = [this](const char *name, const QString &sql) {
        auto *ds = new db::Dataset(QLatin1String(name), this);
        ds->setSql(sql);
        return ds;
    };
    H_Tabel0 = query("H_Tabel0", earnings::piecesSql());
    H_Tabel7777 = query("H_Tabel7777", earnings::kindSql(7777));
    H_Tabel7778 = query("H_Tabel7778", earnings::kindSql(7778));
    H_Tabel_all = query("H_Tabel_all", earnings::allSql());
    all_price = query("all_price", earnings::shopTotalSql());
    price = query("price", earnings::pieceworkTotalSql());
    price7 = query("price7", earnings::kindTotalSql(7777));
    price8 = query("price8", earnings::kindTotalSql(7778));
    q_year = query("q_year", timesheet::yearListSql());
    current = H_Tabel0;

    buildUi();
}

void PieceworkTimesheetWindow::buildUi()
{
    setWindowTitle(QStringLiteral("Табель сделка (27)"));
    auto *root = new QVBoxLayout(this);

    timesheetGrid = new ui::DBGrid(QStringLiteral("timesheetGrid"), this);
    timesheetGrid->setAccessibleName(QStringLiteral("Табель"));
    const Qt::Alignment centre = Qt::AlignCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    cols_ = {{QStringLiteral("fio"), QStringLiteral("Фамилия И. О."), kStandardNameWidth},
             // 30, or what "ноч." needs in this screen's font
             {QStringLiteral("s_night"), QStringLiteral(" "),
              qMax(30, fontMetrics().horizontalAdvance(QStringLiteral("ноч.")) + 10)}};
    for (int d = 1; d <= 31; ++d) {
        cols_.append({QStringLiteral("d%1").arg(d), QString::number(d), 20, centre});
        cols_.last().figure = ui::Figure::Quantity;
        cols_.last().summed = true;
    }
    cols_.append({QStringLiteral("f_price"), QStringLiteral("Итого (р.)"), 84, right});
    cols_.last().figure = ui::Figure::Money;
    cols_.last().summed = true;
    cols_.append({QStringLiteral("i_time"), QStringLiteral("Итого (ч.)"), 66, right});
    cols_.last().figure = ui::Figure::Quantity;
    cols_.last().summed = true;
    cols_.append({QStringLiteral("average_price"), QStringLiteral("Час (р.)"), 66, right});
    cols_.last().figure = ui::Figure::Money;
    timesheetGrid->setColumns(cols_);
    // The name (and day or night) stays while the days scroll; the month's totals under them.
    timesheetGrid->setFrozenColumns(2);
    timesheetGrid->setTotalsRow(true);
    timesheetGrid->gridModel()->setTitleStyle(false, Qt::AlignCenter);
    timesheetGrid->gridModel()->setStyler([this](const db::Dataset &ds, int row,
                                                 const ui::ColumnDef &col, ui::CellStyle &style) {
        static const QStringList figures = {QStringLiteral("f_price"), QStringLiteral("i_time"),
                                            QStringLiteral("average_price")};
        if (col.titleColor.isValid()) { // a day off
            style.foreground = QBrush(col.titleColor);
        } else if (figures.contains(col.field)) {
            style.background = QBrush(kFigures);
            QFont f;
            f.setBold(true);
            style.font = f;
            // Hours over the month's norm in red, under it in blue.
            if (col.field == QLatin1String("i_time") && normHours_ > 0) {
                const QVariant v = ds.valueAt(row, col.field);
                if (!v.isNull() && v.toInt() != normHours_)
                    style.foreground =
                        QBrush(v.toInt() > normHours_ ? QColor(0xC0, 0, 0) : QColor(0, 0, 0xC0));
            }
        }
    });
    root->addWidget(timesheetGrid, 1);

    auto *panel = new QHBoxLayout;
    monthBox = new QComboBox(this);
    monthBox->setObjectName(QStringLiteral("monthBox"));
    monthBox->setAccessibleName(QStringLiteral("Месяц"));
    monthBox->addItems(timesheet::monthNames());
    monthBox->setMaxVisibleItems(12);
    panel->addWidget(monthBox);
    yearBox = new LookupCombo(QStringLiteral("yearBox"), q_year, QStringLiteral("year"),
                              QStringLiteral("year"), this);
    yearBox->setAccessibleName(QStringLiteral("Год"));
    panel->addWidget(yearBox);
    progressBar = new QProgressBar(this);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setAccessibleName(QStringLiteral("Ход перестроения"));
    progressBar->setMinimum(1);
    progressBar->hide();
    panel->addWidget(progressBar, 1);
    panel->addStretch();

    QFont bold = font();
    bold.setBold(true);
    auto total = [this, panel, &bold](const char *labelName, const QString &caption,
                                      const char *valueName, QLabel *&label, QLabel *&value) {
        label = new QLabel(caption, this);
        label->setObjectName(QLatin1String(labelName));
        label->setFont(bold);
        value = new QLabel(this);
        value->setObjectName(QLatin1String(valueName));
        // No name of its own: assistive tools read the figure as the label's text, with the
        // caption (its buddy) as what labels it.
        value->setMinimumWidth(80);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setBuddy(value);
        panel->addSpacing(12);
        panel->addWidget(label);
        panel->addWidget(value);
    };
    total("averageRateLabel", QStringLiteral("Ср. сдел.:"), "averageRateTotal", averageRateLabel,
          averageRateTotal);
    total("maintenanceLabel", QStringLiteral("Хоз. работы:"), "maintenanceTotal", maintenanceLabel,
          maintenanceTotal);
    total("pieceworkLabel", QStringLiteral("Сделка:"), "pieceworkTotal", pieceworkLabel,
          pieceworkTotal);
    total("totalLabel", QStringLiteral("Итого:"), "grandTotal", totalLabel, grandTotal);
    // The month's sum is taken before any rounding; the grid's totals row adds the workers'
    // sums as shown, each rounded to kopecks, and may differ from it by a few kopecks.
    grandTotal->setToolTip(
        QStringLiteral("Сумма за месяц без округления по работникам. Строка «Итого» таблицы "
                       "складывает суммы работников, каждая округлена до копеек, и может "
                       "отличаться на несколько копеек."));
    total("normLabel", QStringLiteral("Норма (ч.):"), "normValue", normLabel, normValue);
    root->addLayout(panel);

    auto *buttons = new QHBoxLayout;
    auto button = [this, buttons](const char *name, const QString &text) {
        QPushButton *b = newButton(name, text);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    exportButton = button("exportButton", QStringLiteral("Excel"));
    exportButton->setMinimumWidth(140);
    refreshButton = button("refreshButton", QStringLiteral("Обновить"));
    rebuildButton = button("rebuildButton", QStringLiteral("Перестроить"));
    payStatementButton = button("payStatementButton", QStringLiteral("Расчетный листок"));
    buttons->addStretch();
    exitButton = button("exitButton", QStringLiteral("Выход"));
    setCancelButton(exitButton);
    root->addLayout(buttons);

    connect(monthBox, &QComboBox::activated, this, &PieceworkTimesheetWindow::periodChange);
    connect(yearBox, &QComboBox::activated, this, &PieceworkTimesheetWindow::periodChange);
    connect(rebuildButton, &QPushButton::clicked, this, &PieceworkTimesheetWindow::rebuildClick);
    connect(exportButton, &QPushButton::clicked, this, &PieceworkTimesheetWindow::exportClick);
    connect(refreshButton, &QPushButton::clicked, this, &PieceworkTimesheetWindow::refreshClick);
    connect(payStatementButton, &QPushButton::clicked, this, [this] {
        const timesheet::MonthPeriod p = period();
        const bool any = current->isActive() && !current->isEmpty();
        payStatementWindow->openFor(
            this, any ? current->asInteger(QStringLiteral("id")) : 0,
            any ? current->asString(QStringLiteral("fio")).trimmed() : QString(), p.month, p.year);
    });
    connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);
}

void PieceworkTimesheetWindow::applyColumns()
{
    timesheetGrid->setColumns(cols_);
    // On the smallest screen in use every column stays in sight: the names give up what the
    // days and the month's figures need, down to the narrowest name column.
    const QMargins margins = layout()->contentsMargins();
    const int room = kWidestWindow - margins.left() - margins.right() -
                     2 * timesheetGrid->frameWidth() -
                     timesheetGrid->verticalScrollBar()->sizeHint().width();
    const int over = timesheetGrid->contentWidth() - room;
    if (over > 0 && cols_[0].width > kNarrowestNameWidth) {
        QVector<ui::ColumnDef> fitted = cols_;
        fitted[0].width = qMax(kNarrowestNameWidth, cols_[0].width - over);
        timesheetGrid->setColumns(fitted);
    }
}

void PieceworkTimesheetWindow::setMode(int m)
{
    const ModeDef &def = modeDef(m);
    mode = def.mode;
    setWindowTitle(QString::fromUtf8(def.caption));
    switch (mode) {
    case 14:
        current = H_Tabel7777;
        break;
    case 15:
        current = H_Tabel7778;
        break;
    case 17:
        current = H_Tabel_all;
        break;
    default:
        current = H_Tabel0;
    }
    nameWidth_ = def.nameWidth;
    cols_[0].width = nameWidth_;
    cols_[kNightColumn].visible = def.night;
    cols_[kAverageColumn].visible = def.average;
    applyColumns();
}

void PieceworkTimesheetWindow::openFrom(ui::Form *caller, int m)
{
    setMode(m);
    const QDate today = QDate::currentDate();
    monthBox->setCurrentIndex(today.month() - 1);
    timesheet::bindYearList(*q_year);
    yearBox->reload();
    yearBox->setKeyValue(today.year());
    periodChange();
    // The window is as wide as the grid with all days shown, but never wider than the
    // smallest screen in use (1366 px with the window's frame); there the grid scrolls
    // sideways instead.
    const int width = timesheetGrid->contentWidth() - nameWidth_ + cols_[0].width +
                      2 * timesheetGrid->frameWidth() +
                      timesheetGrid->verticalScrollBar()->sizeHint().width() +
                      layout()->contentsMargins().left() + layout()->contentsMargins().right();
    setFixedSize(qMin(qMax(width, sizeHint().width()), kWidestWindow), 640);
    caller->showChild(this);
    current->close();
    q_year->close();
    nameWidth_ = kStandardNameWidth;
    cols_[0].width = kStandardNameWidth;
    cols_[kNightColumn].visible = true;
    cols_[kAverageColumn].visible = true;
    applyColumns();
}

timesheet::MonthPeriod PieceworkTimesheetWindow::period() const
{
    timesheet::MonthPeriod p;
    p.month = monthBox->currentIndex() + 1;
    p.year = yearBox->keyValue().toInt();
    return p;
}

void PieceworkTimesheetWindow::FormActivate()
{
    timesheetGrid->setDataset(current);
}

void PieceworkTimesheetWindow::periodChange()
{
    const ui::WaitCursor wait; // the month's rows may take a while
    current->close();
    const timesheet::MonthPeriod p = period();
    current->setParam(QStringLiteral("i_month"), p.month);
    current->setParam(QStringLiteral("i_year"), p.year);
    timesheet::bindPeriod(*current, p, current == H_Tabel_all ? 4 : 3);
    current->open();
    showTotals();
    // A closed month's timesheet is not rebuilt.
    rebuildButton->setEnabled(!closing::isClosed(p.month, p.year));
    rebuildButton->setToolTip(rebuildButton->isEnabled() ? QString()
                                                         : closing::sentence(p.month, p.year));

    // Days off and the norm from the production calendar.
    const shop::calendar::Year cal = shop::calendar::Year::load(p.year);
    normHours_ = cal.normTenths(p.month, 40) / 10;
    normValue->setText(QString::number(normHours_));
    normValue->setToolTip(
        cal.known() ? QStringLiteral("Норма рабочего времени за месяц при 40-часовой неделе")
                    : shop::calendar::fallbackSentence(p.year));
    const int days = p.days();
    int hidden = 0;
    for (int d = 1; d <= 31; ++d) {
        ui::ColumnDef &col = cols_[kFirstDayColumn + d - 1];
        col.visible = d <= days;
        if (!col.visible)
            ++hidden;
        col.titleColor =
            col.visible && cal.isDayOff(QDate(p.year, p.month, d)) ? QColor(Qt::red) : QColor();
    }
    cols_[0].width = nameWidth_ + 20 * hidden;
    applyColumns();
    shown_ = p;
}

void PieceworkTimesheetWindow::showTotals()
{
    const timesheet::MonthPeriod p = period();
    const std::pair<db::Dataset *, QLabel *> totals[] = {{all_price, grandTotal},
                                                         {price, pieceworkTotal},
                                                         {price7, maintenanceTotal},
                                                         {price8, averageRateTotal}};
    for (const auto &[ds, value] : totals) {
        ds->close();
        timesheet::bindPeriod(*ds, p, ds == all_price ? 2 : 1);
        ds->open();
        value->setText(money(*ds));
    }
}

void PieceworkTimesheetWindow::refreshClick()
{
    current->close();
    current->open();
}

void PieceworkTimesheetWindow::rebuildMonth(const timesheet::MonthPeriod &p, QProgressBar *bar)
{
    shop::timesheet::rebuildKinds(p.month, p.year,
                                  [bar](int days, const std::function<void(int)> &work) {
                                      timesheet::byDay(bar, days, work);
                                  });
}

void PieceworkTimesheetWindow::rebuildClick()
{
    if (yearBox->keyValue().isNull())
        return;
    const timesheet::MonthPeriod p = period();
    if (ui::refuse(closing::refusal(p.month, p.year)))
        return;
    const ui::WaitCursor wait; // the month's rows may take a while
    rebuildMonth(p, progressBar);
    current->close();
    current->open();
}

void PieceworkTimesheetWindow::exportClick()
{
    const ui::WaitCursor wait; // the month's rows may take a while
    db::Dataset *ds = current;
    const int rec = ds->recNo();
    // The grid is not repainted while the records are walked, and the window takes no
    // other command until the export is done.
    timesheetGrid->setDataset(nullptr);
    QWidget *const controls[] = {monthBox, yearBox, exportButton, rebuildButton, refreshButton};
    for (QWidget *w : controls)
        w->setEnabled(false);
    const auto restore = qScopeGuard([&] {
        for (QWidget *w : controls)
            w->setEnabled(true);
        if (ds->isActive())
            ds->setRecNo(rec);
        timesheetGrid->setDataset(ds);
    });

    QString title = windowTitle();
    title.remove(QStringLiteral(" (27)"));
    const QString month = monthBox->currentText() + QLatin1Char(' ') + yearBox->currentText();
    const bool night = mode == 14 || mode == 15;
    const bool average = mode != 17;
    timesheet::writeWorkbook(*ds, title, month, night, average, [this](int written, int all) {
        exportButton->setText(QStringLiteral("Excel (") + QString::number(written) +
                              QStringLiteral(" из ") + QString::number(all) + QLatin1Char(')'));
        QCoreApplication::processEvents();
    });
}

void PieceworkTimesheetWindow::done(int result)
{
    exportButton->setText(QStringLiteral("Excel"));
    ui::Form::done(result);
}
