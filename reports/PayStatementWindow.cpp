#include "PayStatementWindow.h"

#include "report/Preview.h"
#include "report/Printout.h"
#include "shop/Organisation.h"
#include "spreadsheet/Excel.h"
#include "text/Figures.h"
#include "ui/Application.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

PayStatementWindow *payStatementWindow = nullptr;

using namespace report;
using shop::pay::HourLine;
using shop::pay::Kopecks;
using shop::pay::ShiftLine;
using shop::pay::Statement;

namespace {

const QLocale kRussian(QLocale::Russian, QLocale::Russia);

// The columns of the statement's lines, left offsets and widths in mm over 190 mm.
constexpr int kColumns = 12;
constexpr double kWidths[kColumns] = {14, 7, 28, 25, 12, 10, 12, 15, 24, 15, 18, 10};
double leftOf(int column)
{
    double left = 0;
    for (int i = 0; i < column; ++i)
        left += kWidths[i];
    return left;
}
// Notes and totals take the width from the second column to the one before the amount.
constexpr int kAmountColumn = 10;

enum Section { Pieces = 1, Maintenance, Average, Totals, Days };

// The fields of a line: the worker's heading, the section's title and captions, the cells, a
// note across the cells, and the section's subtotal.
enum Field {
    W,
    Head1,
    Head2,
    Head3,
    Head4,
    Head5,
    SectionNo,
    Title,
    H1,
    C1 = H1 + kColumns,
    Note = C1 + kColumns,
    SubLabel,
    SubValue,
    FieldCount
};

QString fieldName(int f)
{
    static const char *const named[] = {"w",     "head1", "head2",   "head3",
                                        "head4", "head5", "section", "title"};
    if (f < H1)
        return QLatin1String(named[f]);
    if (f < C1)
        return QStringLiteral("h%1").arg(f - H1 + 1);
    if (f < Note)
        return QStringLiteral("c%1").arg(f - C1 + 1);
    return f == Note       ? QStringLiteral("note")
           : f == SubLabel ? QStringLiteral("sub_label")
                           : QStringLiteral("sub_value");
}

QString money(Kopecks k)
{
    return shop::pay::moneyText(k);
}

QString monthYear(int month, int year)
{
    return kRussian.standaloneMonthName(month).toLower() + QLatin1Char(' ') + QString::number(year);
}

// "×2 вых. ×1,2 ноч.": the factors in the room of a column.
QString shortFactors(const price::PriceParts &parts)
{
    QStringList out;
    for (const price::Factor &f : parts.factors)
        out << QStringLiteral("×%1 %2.").arg(
            price::text(f.value).replace(QLatin1Char('.'), QLatin1Char(',')), f.name.left(3));
    return out.join(QLatin1Char(' '));
}

QString productKind(int naimen)
{
    return naimen == 0 ? QStringLiteral("Гот.") : QStringLiteral("Заг.");
}

} // namespace

// The lines of the statements, worked out as the report (or the workbook) asks for them.
class PayStatementWindow::Lines : public Source {
public:
    enum Kind { Shift, ShiftNote, Hour, HourNote, Total, DayRow };
    struct Line {
        int statement;
        Section section;
        Kind kind;
        int index;
    };

    explicit Lines(const QVector<Statement> &statements) : st_(statements)
    {
        for (int s = 0; s < st_.size(); ++s)
            add(s);
    }

    QString name() const override { return QStringLiteral("t_Pay"); }
    int rowCount() const override { return int(lines_.size()); }
    int fieldIndex(const QString &field) const override
    {
        for (int f = 0; f < FieldCount; ++f)
            if (fieldName(f).compare(field, Qt::CaseInsensitive) == 0)
                return f;
        return -1;
    }
    QVariant value(int row, int field) const override
    {
        const Line &l = lines_.at(row);
        if (field == W)
            return l.statement;
        if (field == SectionNo)
            return int(l.section);
        return text(l, field);
    }
    const Line &line(int row) const { return lines_.at(row); }

private:
    const QVector<Statement> &st_;
    QVector<Line> lines_;
    // Per statement: the day rows' texts and the totals' rows, made once.
    QHash<int, QStringList> dayRows_;
    struct TotalRow {
        QString label;
        QString value;
    };
    QHash<int, QVector<TotalRow>> totals_;

    void add(int s)
    {
        const Statement &st = st_.at(s);
        for (int i = 0; i < st.shifts.size(); ++i) {
            lines_ << Line{s, Pieces, Shift, i};
            if (st.shifts[i].normChanged)
                lines_ << Line{s, Pieces, ShiftNote, i};
        }
        for (int i = 0; i < st.maintenance.size(); ++i) {
            lines_ << Line{s, Maintenance, Hour, i};
            if (st.maintenance[i].rateChanged)
                lines_ << Line{s, Maintenance, HourNote, i};
        }
        for (int i = 0; i < st.average.size(); ++i) {
            lines_ << Line{s, Average, Hour, i};
            lines_ << Line{s, Average, HourNote, i};
        }
        QVector<TotalRow> totals;
        totals << TotalRow{QStringLiteral("Сдельные работы"), money(st.piecework)};
        if (!st.maintenance.isEmpty())
            totals << TotalRow{QStringLiteral("Хозяйственные работы"),
                               money(st.maintenanceTotal())};
        if (!st.average.isEmpty())
            totals << TotalRow{QStringLiteral("Оплата по среднесдельному заработку"),
                               money(st.averageTotal())};
        totals << TotalRow{QStringLiteral("Всего начислено"), money(st.total())};
        const Kopecks lines = st.linesTotal();
        if (lines != st.total())
            totals << TotalRow{QStringLiteral("Суммы строк, округленные каждая до копейки, дают "
                                              "%1; итог считается по точным суммам, разница")
                                   .arg(money(lines)),
                               money(lines - st.total())};
        if (st.pieceworkByGroups != st.piecework)
            totals << TotalRow{
                QStringLiteral("Отчет по рабочим округляет сдельные суммы по группам "
                               "изделий и операций: %1, разница")
                    .arg(money(st.pieceworkByGroups)),
                money(st.pieceworkByGroups - st.piecework)};
        if (st.combined != st.total())
            totals << TotalRow{QStringLiteral("Общий табель округляет хоз. работы и "
                                              "среднесдельную вместе: %1, разница")
                                   .arg(money(st.combined)),
                               money(st.combined - st.total())};
        if (const int n = st.unaccepted()) {
            Kopecks sum = 0;
            for (const ShiftLine &l : st.shifts)
                sum += l.accepted ? 0 : l.amount;
            totals << TotalRow{
                QStringLiteral("В том числе не принято мастером записей: %1, на сумму").arg(n),
                money(sum)};
        }
        totals_.insert(s, totals);
        for (int i = 0; i < totals.size(); ++i)
            lines_ << Line{s, Totals, Total, i};

        // The hours of every day of the month, eight days a line, the calendar's days off
        // marked; a working day without hours is named again at the end, so that it stands
        // out.
        QStringList rows, row;
        const QDate first = st.firstDay();
        for (int d = 0; d < st.hoursByDay.size(); ++d) {
            const QDate day = first.addDays(d);
            const int h = st.hoursByDay[d];
            const QString weekday = kRussian.dayName(day.dayOfWeek(), QLocale::ShortFormat);
            row << QStringLiteral("%1 %2: %3")
                       .arg(d + 1)
                       .arg(weekday, h > 0                 ? figures::quantity(h)
                                     : st.daysOff.value(d) ? QStringLiteral("вых.")
                                                           : QStringLiteral("—"));
            if (row.size() == 8 || d + 1 == st.hoursByDay.size()) {
                rows << row.join(QStringLiteral("    "));
                row.clear();
            }
        }
        QStringList missing;
        for (int d : st.missingDays())
            missing << QString::number(d);
        if (!missing.isEmpty())
            rows << QStringLiteral("Рабочие дни без часов: %1")
                        .arg(missing.join(QStringLiteral(", ")));
        dayRows_.insert(s, rows);
        for (int i = 0; i < rows.size(); ++i)
            lines_ << Line{s, Days, DayRow, i};
    }

    QString heading(const Statement &st, int field) const
    {
        switch (field) {
        case Head1:
            return QStringLiteral("Работник: %1").arg(st.name);
        case Head2:
            return QStringLiteral("Таб. № %1").arg(st.number);
        case Head3:
            return QStringLiteral("Отработано: %1 ч").arg(figures::quantity(st.hoursTotal()));
        case Head4:
            return st.position.isEmpty() ? QString()
                                         : QStringLiteral("Должность: %1").arg(st.position);
        case Head5:
            return QStringLiteral("Норма часов месяца: %1 ч%2")
                .arg(figures::quantity(st.normHours),
                     st.calendarKnown ? QString()
                                      : QStringLiteral(" (календаря на %1 г. нет)").arg(st.year));
        default:
            return QString();
        }
    }

    static QString sectionTitle(Section s)
    {
        switch (s) {
        case Pieces:
            return QStringLiteral("Сдельные работы");
        case Maintenance:
            return QStringLiteral("Хозяйственные работы");
        case Average:
            return QStringLiteral("Оплата по среднесдельному заработку");
        case Totals:
            return QStringLiteral("Начислено");
        default:
            return QStringLiteral("Часы по дням месяца («вых.» — выходной по производственному "
                                  "календарю, «—» — рабочий день без часов)");
        }
    }

    static QString caption(Section s, int column)
    {
        static const char *const pieces[kColumns] = {"Дата",   "См.",      "Изделие",   "Операция",
                                                     "Кол-во", "Брак",     "К опл.",    "Норма, р.",
                                                     "Коэфф.", "Расценка", "Сумма, р.", "Прин."};
        static const char *const hours[kColumns] = {
            "Дата", "",          "Номенклатура", "Вид работ",  "Часы",      "",
            "",     "Цена часа", "Коэфф.",       "Цена, р./ч", "Сумма, р.", ""};
        if (s == Pieces)
            return QString::fromUtf8(pieces[column]);
        if (s == Maintenance || s == Average)
            return QString::fromUtf8(hours[column]);
        if (s == Totals && column == kAmountColumn)
            return QStringLiteral("Сумма, р.");
        return QString();
    }

    QString text(const Line &l, int field) const
    {
        const Statement &st = st_.at(l.statement);
        if (field >= Head1 && field <= Head5)
            return heading(st, field);
        if (field == Title)
            return sectionTitle(l.section);
        if (field >= H1 && field < C1)
            return caption(l.section, field - H1);
        if (field == SubLabel || field == SubValue)
            return subtotal(st, l.section, field == SubLabel);
        if (field == Note)
            return note(st, l);
        if (field >= C1 && field < Note)
            return cell(st, l, field - C1);
        return QString();
    }

    static QString subtotal(const Statement &st, Section s, bool label)
    {
        switch (s) {
        case Pieces:
            return label ? QStringLiteral("Итого сдельно (табель сделка)") : money(st.piecework);
        case Maintenance:
            return label ? QStringLiteral("Итого хоз. работы: днем %1, ночью %2")
                               .arg(money(st.maintenanceDay), money(st.maintenanceNight))
                         : money(st.maintenanceTotal());
        case Average:
            return label ? QStringLiteral("Итого по среднесдельному: днем %1, ночью %2")
                               .arg(money(st.averageDay), money(st.averageNight))
                         : money(st.averageTotal());
        default:
            return QString();
        }
    }

    QString note(const Statement &st, const Line &l) const
    {
        switch (l.kind) {
        case ShiftNote: {
            const ShiftLine &e = st.shifts[l.index];
            if (!e.hasNorm)
                return QStringLiteral("У операции сегодня нет норм; оплачена расценка записи %1 р.")
                    .arg(shop::pay::priceText(e.rate));
            return QStringLiteral("Норма изменена после записи: сегодня %1 р.%2 = %3 р.; "
                                  "оплачена расценка записи %4 р.")
                .arg(shop::pay::priceText(e.today.base),
                     e.today.factors.isEmpty() ? QString()
                                               : QLatin1Char(' ') + e.today.factorsText(),
                     shop::pay::priceText(e.today.price), shop::pay::priceText(e.rate));
        }
        case HourNote: {
            const HourLine &e = (l.section == Average ? st.average : st.maintenance)[l.index];
            QString s;
            if (e.kind == 7778)
                s = QStringLiteral("Средняя за %1 по группе «%2»: %3 р. за %4 ч = %5 р./ч")
                        .arg(monthYear(e.averageMonth.month(), e.averageMonth.year()), e.group,
                             money(Kopecks(std::llround(e.averagePay * 100.0))))
                        .arg(figures::quantity(double(e.averageHours)))
                        .arg(shop::pay::priceText(e.today.base));
            if (e.rateChanged)
                s += (s.isEmpty() ? QString() : QStringLiteral("; ")) +
                     QStringLiteral("цена записи %1 р./ч оплачена, сегодня вышло бы %2 р./ч")
                         .arg(shop::pay::priceText(e.rate), shop::pay::priceText(e.today.price));
            return s;
        }
        case Total:
            return totals_.value(l.statement).at(l.index).label;
        case DayRow:
            return dayRows_.value(l.statement).at(l.index);
        default:
            return QString();
        }
    }

    QString cell(const Statement &st, const Line &l, int column) const
    {
        if (l.kind == Total)
            return column == kAmountColumn ? totals_.value(l.statement).at(l.index).value
                                           : QString();
        if (l.kind == Shift) {
            const ShiftLine &e = st.shifts[l.index];
            switch (column) {
            case 0:
                return e.date.toString(QStringLiteral("dd.MM"));
            case 1:
                return QString::number(e.shift);
            case 2:
                return e.product;
            case 3:
                return e.operation + QStringLiteral(", ") + productKind(e.naimen);
            case 4:
                return figures::quantity(e.quantity);
            case 5:
                return e.rejects ? figures::quantity(e.rejects) : QString();
            case 6:
                return figures::quantity(e.paid());
            case 7:
                return e.hasNorm ? shop::pay::priceText(e.today.base) : QStringLiteral("—");
            case 8:
                return shortFactors(e.today);
            case 9:
                return shop::pay::priceText(e.rate);
            case 10:
                return money(e.amount);
            default:
                return e.accepted ? QString() : QStringLiteral("нет");
            }
        }
        if (l.kind == Hour) {
            const HourLine &e = (l.section == Average ? st.average : st.maintenance)[l.index];
            switch (column) {
            case 0:
                return e.date.toString(QStringLiteral("dd.MM"));
            case 2:
                return e.group;
            case 3:
                return e.kindName;
            case 4:
                return figures::quantity(double(e.hours));
            case 7:
                return e.hasBase ? shop::pay::priceText(e.today.base) : QStringLiteral("—");
            case 8:
                return shortFactors(e.today);
            case 9:
                return shop::pay::priceText(e.rate);
            case 10:
                return money(e.amount);
            default:
                return QString();
            }
        }
        return QString();
    }
};

namespace {

Element cellElement(int field, double left, double width, Align align = Align::Left)
{
    return report::field(left, width, fieldName(field)).aligned(align);
}

Align columnAlign(int column)
{
    return column >= 4 && column <= 10 && column != 8 ? Align::Right : Align::Left;
}

ReportDef statementLayout()
{
    ReportDef def; // A4 portrait, 10 mm margins
    // Each worker's statement is handed to him on its own: its pages count from 1.
    def.pagesPerGroup = true;

    // Each worker from a page of his own under the heading of the shop's printouts
    // (organisation, department, title, month), then his name, number, position and hours,
    // which the following pages of his statement repeat.
    Band worker = headingBand(def);
    worker.kind = BandKind::GroupHeader;
    worker.name = QStringLiteral("worker");
    worker.expression = QStringLiteral("t_Pay.w");
    worker.startsPage = true;

    Band workerLine = groupHeader(QStringLiteral("workerLine"), 12, QStringLiteral("t_Pay.w"),
                                  QStringLiteral("workerFoot"));
    workerLine.reprintOnNewPage = true;
    workerLine.elements << cellElement(Head1, 0, 110).bold().box(0, 5).continued()
                        << cellElement(Head2, 110, 35).box(0, 5)
                        << cellElement(Head3, 145, 45, Align::Right).box(0, 5)
                        << cellElement(Head4, 0, 100).sized(9).box(5, 5)
                        << cellElement(Head5, 100, 90, Align::Right).sized(9).box(5, 5);
    workerLine.edges = BottomEdge;

    Band section = groupHeader(QStringLiteral("section"), 10, QStringLiteral("t_Pay.section"),
                               QStringLiteral("sectionFoot"));
    section.reprintOnNewPage = true;
    section.elements << cellElement(Title, 0, 190).bold().sized(10).box(1, 5);
    for (int c = 0; c < kColumns; ++c)
        section.elements << cellElement(H1 + c, leftOf(c), kWidths[c], columnAlign(c))
                                .bold()
                                .sized(8)
                                .box(6, 4)
                                .filled(QColor(0xE0, 0xE0, 0xE0));

    Band detail = band(BandKind::Detail, QStringLiteral("detail"), 4.2);
    detail.font = Font{QStringLiteral("Arial"), 8, false};
    for (int c = 0; c < kColumns; ++c)
        detail.elements << cellElement(C1 + c, leftOf(c), kWidths[c], columnAlign(c));
    detail.elements << cellElement(Note, leftOf(1), leftOf(kAmountColumn) - leftOf(1));

    Band sectionFoot = band(BandKind::GroupFooter, QStringLiteral("sectionFoot"), 5);
    sectionFoot.font = Font{QStringLiteral("Arial"), 8, true};
    sectionFoot.elements << cellElement(SubLabel, leftOf(1), leftOf(kAmountColumn) - leftOf(1),
                                        Align::Right)
                         << cellElement(SubValue, leftOf(kAmountColumn), kWidths[kAmountColumn],
                                        Align::Right);

    // The signatures under each statement.
    Band workerFoot = band(BandKind::GroupFooter, QStringLiteral("workerFoot"), 1);
    workerFoot.child = kSignatures;
    const Band signatures = signatureBand(def, {{QStringLiteral("Листок получил"), QString()}});

    def.bands << worker << workerLine << section << detail << sectionFoot << workerFoot
              << signatures << pageFooterBand(def);
    return def;
}

} // namespace

PayStatementWindow::PayStatementWindow(QWidget *parent)
    : ui::Form(parent), report_(statementLayout())
{
    payStatementWindow = this;
    setObjectName(QStringLiteral("payStatementWindow"));
    // A month of a plant is thousands of pages: each is laid out when it is shown or printed.
    report_.setLaidOutOnDemand(true);
    setWindowTitle(QStringLiteral("Расчетный листок сдельщика"));

    auto *root = new QVBoxLayout(this);
    auto *grid = new QGridLayout;
    workerLabel = new QLabel(this);
    workerLabel->setObjectName(QStringLiteral("workerLabel"));
    workerLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *workerCaption = new QLabel(QStringLiteral("Работник:"), this);
    workerCaption->setBuddy(workerLabel);
    grid->addWidget(workerCaption, 0, 0);
    grid->addWidget(workerLabel, 0, 1, 1, 2);
    allWorkersCheck =
        new QCheckBox(QStringLiteral("Все работники месяца (каждый с новой страницы)"), this);
    allWorkersCheck->setObjectName(QStringLiteral("allWorkersCheck"));
    grid->addWidget(allWorkersCheck, 1, 1, 1, 2);
    monthCombo = new QComboBox(this);
    monthCombo->setObjectName(QStringLiteral("monthCombo"));
    for (int m = 1; m <= 12; ++m) {
        QString name = kRussian.standaloneMonthName(m);
        name[0] = name[0].toUpper();
        monthCombo->addItem(name);
    }
    monthCombo->setMaxVisibleItems(12);
    yearSpin = new QSpinBox(this);
    yearSpin->setObjectName(QStringLiteral("yearSpin"));
    yearSpin->setRange(2000, 2100);
    yearSpin->setAccessibleName(QStringLiteral("Год"));
    auto *monthCaption = new QLabel(QStringLiteral("Месяц:"), this);
    monthCaption->setBuddy(monthCombo);
    grid->addWidget(monthCaption, 2, 0);
    grid->addWidget(monthCombo, 2, 1);
    grid->addWidget(yearSpin, 2, 2);
    root->addLayout(grid);

    auto *buttons = new QHBoxLayout;
    previewButton = newButton("previewButton", QStringLiteral("Просмотр и печать"));
    excelButton = newButton("excelButton", QStringLiteral("Excel"));
    closeButton = newButton("closeButton", QStringLiteral("Выход"));
    buttons->addWidget(previewButton);
    buttons->addWidget(excelButton);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    root->addLayout(buttons);
    makeDefault(previewButton);
    setCancelButton(closeButton);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(allWorkersCheck, &QCheckBox::toggled, this, [this](bool all) {
        workerLabel->setText(
            all || worker_ == 0 ? QStringLiteral("все, у кого есть записи за месяц") : workerName_);
    });
    connect(previewButton, &QPushButton::clicked, this, &PayStatementWindow::previewClick);
    connect(excelButton, &QPushButton::clicked, this, &PayStatementWindow::excelClick);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

void PayStatementWindow::openFor(ui::Form *caller, int worker, const QString &name, int month,
                                 int year)
{
    worker_ = worker;
    workerName_ = name;
    monthCombo->setCurrentIndex(month - 1);
    yearSpin->setValue(year);
    allWorkersCheck->setEnabled(worker != 0);
    allWorkersCheck->setChecked(worker == 0);
    emit allWorkersCheck->toggled(allWorkersCheck->isChecked());
    caller->showChild(this);
    statements_.clear();
    report_.clear();
}

void PayStatementWindow::read()
{
    const int worker = allWorkersCheck->isChecked() ? 0 : worker_;
    statements_ = shop::pay::read(monthCombo->currentIndex() + 1, yearSpin->value(), worker);
    lines_ = std::make_shared<Lines>(statements_);
}

void PayStatementWindow::prepare()
{
    read();
    const int month = monthCombo->currentIndex() + 1;
    const int year = yearSpin->value();
    const shop::Organisation organisation = shop::organisation();
    setHeading(report_, {organisation.name, organisation.department,
                         QStringLiteral("Расчетный листок сдельщика"),
                         QStringLiteral("за %1 г.").arg(monthYear(month, year))});
    report_.setSource(lines_);
    const QString period = QStringLiteral("%1.%2").arg(month, 2, 10, QLatin1Char('0')).arg(year);
    report_.setDocumentName(
        statements_.size() == 1
            ? QStringLiteral("Расчетный листок %1 %2").arg(statements_.first().name, period)
            : QStringLiteral("Расчетные листки %1").arg(period));
    report_.prepare();
}

void PayStatementWindow::previewClick()
{
    {
        const ui::WaitCursor wait;
        prepare();
    }
    report_.preview(this);
    report_.clear();
    lines_.reset();
}

void PayStatementWindow::excelClick()
{
    const ui::WaitCursor wait;
    read();
    const shop::Organisation organisation = shop::organisation();
    const QString title = QStringLiteral("Расчетный листок сдельщика за %1 г.")
                              .arg(monthYear(monthCombo->currentIndex() + 1, yearSpin->value()));
    excel::Export book;
    if (!book.open(QStringLiteral("Расчетные листки"))) {
        lines_.reset();
        return;
    }
    const auto text = [this](int row, int field) { return lines_->value(row, field).toString(); };
    const excel::Cell bold{excel::Kind::Text, excel::Font::Bold, excel::Width::Kept};
    int at = 1;
    int statement = -1;
    int section = -1;
    // A money text as a number the workbook reads: no grouping, the user's separator.
    const auto number = [](QString s) {
        s.remove(figures::kThousands);
        return s.replace(QLatin1Char(','), QLocale().decimalPoint());
    };
    const auto closeSection = [&](int row) {
        if (section < 0)
            return;
        const QString label = text(row, SubLabel);
        if (!label.isEmpty()) {
            book.write(2, at, label, bold);
            book.write(kAmountColumn + 1, at, number(text(row, SubValue)),
                       {excel::Kind::Money, excel::Font::Bold, excel::Width::Kept});
            ++at;
        }
    };
    for (int row = 0; row < lines_->rowCount(); ++row) {
        const Lines::Line &l = lines_->line(row);
        if (l.statement != statement || l.section != section) {
            closeSection(row - 1);
            if (l.statement != statement) {
                if (statement >= 0)
                    ++at;
                statement = l.statement;
                for (const QString &s : {organisation.name, organisation.department})
                    if (!s.isEmpty())
                        book.write(1, at++, s, excel::kText);
                book.write(1, at++, title, bold);
                for (int f = Head1; f <= Head5; ++f)
                    if (!text(row, f).isEmpty())
                        book.write(1, at++, text(row, f), excel::kText);
            }
            section = l.section;
            book.write(1, ++at, text(row, Title), bold);
            ++at;
            for (int c = 0; c < kColumns; ++c)
                book.write(c + 1, at, text(row, H1 + c), bold);
            ++at;
        }
        const QString note = text(row, Note);
        if (!note.isEmpty())
            book.write(2, at, note, excel::kText);
        for (int c = 0; c < kColumns; ++c) {
            const QString cell = text(row, C1 + c);
            const bool numeric = c == 4 || c == 5 || c == 6 || c == 7 || c == 9 || c == 10;
            book.write(c + 1, at, numeric ? number(cell) : cell,
                       c == kAmountColumn ? excel::kMoney
                       : numeric          ? excel::kValue
                                          : excel::kText);
        }
        ++at;
    }
    closeSection(lines_->rowCount() - 1);
    book.show();
    lines_.reset();
}
