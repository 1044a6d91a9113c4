#include "ShiftTimesheetWindow.h"

#include "db/Dataset.h"
#include "db/Transaction.h"
#include "journal/Closing.h"
#include "shop/DataModule.h"
#include "shop/Timesheet.h"
#include "spreadsheet/Excel.h"
#include "timesheets/ShiftTimesheetPrint.h"
#include "ui/Application.h"
#include "ui/DBGrid.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
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
    for (int d = 1; d <= 31; ++d)
        cols_.append(
            {QStringLiteral("d%1").arg(d), QString::number(d), kDayWidth, Qt::AlignCenter});
    cols_.append({QStringLiteral("summ"), QStringLiteral("Итого"), 50, Qt::AlignCenter});

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TabSheet1 = new QWidget;
    TabSheet2 = new QWidget;
    TabSheet3 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    PageControl1->addTab(TabSheet1, QStringLiteral("Смена №1"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Смена №2"));
    PageControl1->addTab(TabSheet3, QStringLiteral("Смена №3"));
    DBGrid1 = newGrid("DBGrid1", dataModule->H_Tabel_1, TabSheet1);
    DBGrid2 = newGrid("DBGrid2", dataModule->H_Tabel_2, TabSheet2);
    DBGrid3 = newGrid("DBGrid3", dataModule->H_Tabel_3, TabSheet3);

    auto *firstTab = static_cast<QVBoxLayout *>(TabSheet1->layout());
    auto *tools = new QHBoxLayout;
    Button1 = newButton("Button1", QStringLiteral("Перестроить"));
    PB = new QProgressBar(TabSheet1);
    PB->setObjectName(QStringLiteral("PB"));
    PB->setAccessibleName(QStringLiteral("Ход перестроения"));
    PB->setMinimum(1);
    PB->hide();
    Button2 = newButton("Button2", QStringLiteral("Excel"));
    Button2->setMinimumWidth(140);
    tools->addWidget(Button1);
    tools->addWidget(PB, 1);
    tools->addStretch();
    tools->addWidget(Button2);
    firstTab->addLayout(tools);
    root->addWidget(PageControl1, 1);

    auto *bar = new QHBoxLayout;
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setAccessibleName(QStringLiteral("Месяц"));
    ComboBox1->addItems(timesheet::monthNames());
    ComboBox1->setMaxVisibleItems(12);
    ComboBox2 = new QComboBox(this);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->setAccessibleName(QStringLiteral("Год"));
    Button5 = newButton("Button5", QStringLiteral("Обновить"));
    Button6 = newButton("Button6", QStringLiteral("Печать"));
    Button4 = newButton("Button4", QStringLiteral("Выход"));
    bar->addWidget(ComboBox1);
    bar->addWidget(ComboBox2);
    bar->addWidget(Button5);
    bar->addWidget(Button6);
    bar->addStretch();
    bar->addWidget(Button4);
    root->addLayout(bar);
    for (QPushButton *b : {Button1, Button2, Button4, Button5, Button6})
        b->setAutoDefault(false);
    setCancelButton(Button4);
    fillYears(QDate::currentDate().year());

    connect(ComboBox1, &QComboBox::activated, this, &ShiftTimesheetWindow::ComboBox1Change);
    connect(ComboBox2, &QComboBox::activated, this, &ShiftTimesheetWindow::ComboBox1Change);
    connect(Button1, &QPushButton::clicked, this, &ShiftTimesheetWindow::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &ShiftTimesheetWindow::Button2Click);
    connect(Button5, &QPushButton::clicked, this, &ShiftTimesheetWindow::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &ShiftTimesheetWindow::Button6Click);
    connect(Button4, &QPushButton::clicked, this, &QDialog::reject);
    resize(200 + 31 * kDayWidth + 50 + 60, 560);
}

ui::DBGrid *ShiftTimesheetWindow::newGrid(const char *name, db::Dataset *ds, QWidget *tab)
{
    auto *grid = new ui::DBGrid(QLatin1String(name), tab);
    grid->setAccessibleName(QStringLiteral("Табель, ") +
                            PageControl1->tabText(PageControl1->indexOf(tab)));
    grid->setColumns(cols_);
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
    const QString chosen = ComboBox2->currentText();
    maxYear->close();
    maxYear->open();
    const int latest =
        qMax(QDate::currentDate().year(), maxYear->asInteger(QStringLiteral("year")));
    maxYear->close();
    ComboBox2->clear();
    // The journal's year is always offered, however far it lies from the usual range.
    for (int y = qMin(kFirstYear, mustHold); y <= qMax(latest + 1, mustHold); ++y)
        ComboBox2->addItem(QString::number(y));
    const int at = ComboBox2->findText(chosen);
    ComboBox2->setCurrentIndex(at >= 0 ? at : 0);
}

timesheet::MonthPeriod ShiftTimesheetWindow::period() const
{
    timesheet::MonthPeriod p;
    p.month = ComboBox1->currentIndex() + 1;
    p.year = ComboBox2->currentText().toInt();
    return p;
}

void ShiftTimesheetWindow::openFrom(ui::Form *caller, const QDate &date)
{
    fillYears(date.year());
    ComboBox1->setCurrentIndex(date.month() - 1);
    ComboBox2->setCurrentIndex(qMax(0, ComboBox2->findText(QString::number(date.year()))));
    ComboBox1Change();
    caller->showChild(this);
    for (db::Dataset *ds : datasets())
        ds->close();
}

void ShiftTimesheetWindow::FormActivate()
{
    Button2->setText(QStringLiteral("Excel"));
}

void ShiftTimesheetWindow::applyColumns()
{
    for (ui::DBGrid *grid : grids())
        grid->setColumns(cols_);
}

void ShiftTimesheetWindow::ComboBox1Change()
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
    Button1->setEnabled(!closing::isClosed(p.month, p.year));
    Button1->setToolTip(Button1->isEnabled() ? QString() : closing::sentence(p.month, p.year));
    const int days = p.days();
    for (int d = 1; d <= 31; ++d) {
        ui::ColumnDef &col = cols_[d];
        if (d > days) {
            dayKinds_[d] = DayKind::Beyond;
            col.titleColor = kSilver;
        } else {
            dayKinds_[d] = p.weekend(d) ? DayKind::Weekend : DayKind::Workday;
            col.titleColor = p.weekend(d) ? QColor(Qt::red) : windowText();
        }
    }
    applyColumns();
}

void ShiftTimesheetWindow::Button5Click()
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

void ShiftTimesheetWindow::Button1Click()
{
    const timesheet::MonthPeriod p = period();
    if (closing::refuse(p.month, p.year))
        return;
    const ui::WaitCursor wait; // the month's rows may take a while
    rebuildMonth(p, PB);
    Button5Click();
}

void ShiftTimesheetWindow::Button2Click()
{
    const ui::WaitCursor wait; // the month's rows may take a while
    const timesheet::MonthPeriod p = period();
    db::Dataset *ds = shiftTimesheetPrint->H_Tabel;
    // The window takes no other command until the export is done: another one would close the
    // rows being written and leave a workbook cut short.
    QWidget *const controls[] = {ComboBox1, ComboBox2, Button1, Button2, Button5, Button6};
    for (QWidget *w : controls)
        w->setEnabled(false);
    const auto restore = qScopeGuard([&] {
        for (QWidget *w : controls)
            w->setEnabled(true);
    });
    shiftTimesheetPrint->openMonth(p.month, p.year);
    const QString month = ComboBox1->currentText() + QLatin1Char(' ') + QString::number(p.year);
    excel::Export book;
    if (!book.open(QStringLiteral("Табель ") + month)) {
        ds->close();
        return;
    }
    const QString all = QString::number(ds->recordCount());
    Button2->setText(QStringLiteral("Excel (0") + QStringLiteral(" из ") + all + QLatin1Char(')'));

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
        Button2->setText(QStringLiteral("Excel (") + QString::number(written) +
                         QStringLiteral(" из ") + all + QLatin1Char(')'));
        QCoreApplication::processEvents();
    }
    book.show();
    ds->close();
}

void ShiftTimesheetWindow::Button6Click()
{
    const timesheet::MonthPeriod p = period();
    shiftTimesheetPrint->openMonth(p.month, p.year);
    shiftTimesheetPrint->setMonthLabel(ComboBox1->currentText() + QLatin1Char(' ') +
                                       ComboBox2->currentText() + QStringLiteral(" г."));
    shiftTimesheetPrint->QuickRep1->setDocumentName(
        QStringLiteral("Табель %1 %2").arg(ComboBox1->currentText(), ComboBox2->currentText()));
    shiftTimesheetPrint->prepare();
    shiftTimesheetPrint->preview(this);
    shiftTimesheetPrint->H_Tabel->close();
}
