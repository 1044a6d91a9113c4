#include "ReportsWindow.h"

#include "ProductsDetailReport.h"
#include "ProductsReport.h"
#include "ReportStatements.h"
#include "WorkersDetailReport.h"
#include "WorkersReport.h"
#include "db/Dataset.h"
#include "shop/Limits.h"
#include "spreadsheet/Excel.h"
#include "ui/Application.h"
#include "ui/Messages.h"
#include "ui/RadioGroup.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

ReportsWindow *reportsWindow = nullptr;

ReportsWindow::ReportsWindow(QWidget *parent) : ui::Form(parent)
{
    reportsWindow = this;
    setObjectName(QStringLiteral("reportsWindow"));
    setWindowTitle(QStringLiteral("Отчеты (8)"));

    auto *root = new QVBoxLayout(this);
    RadioGroup1 = new ui::RadioGroup(
        QStringLiteral("Вид продукции"),
        {QStringLiteral("Все"), QStringLiteral("Готовая продукция"), QStringLiteral("Заготовки")},
        this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setStyleSheet(QStringLiteral("QGroupBox { font-weight: bold; } "
                                              "QRadioButton { font-weight: normal; }"));
    root->addWidget(RadioGroup1);

    GroupBox1 = new QGroupBox(QStringLiteral("Период отбора"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto *period = new QGridLayout(GroupBox1);
    auto picker = [this](const char *name) {
        auto *d = new QDateEdit(this);
        d->setObjectName(QLatin1String(name));
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        return d;
    };
    Label1 = new QLabel(QStringLiteral("с"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    DTPicker1 = picker("DTPicker1");
    Label1->setBuddy(DTPicker1);
    Label2 = new QLabel(QStringLiteral("по"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    DTPicker2 = picker("DTPicker2");
    Label2->setBuddy(DTPicker2);
    period->addWidget(Label1, 0, 0);
    period->addWidget(DTPicker1, 0, 1);
    period->addWidget(Label2, 1, 0);
    period->addWidget(DTPicker2, 1, 1);
    period->setColumnStretch(1, 1);
    root->addWidget(GroupBox1);

    Button4 = newButton("Button4", QStringLiteral("Отчет по рабочим"));
    Button2 = newButton("Button2", QStringLiteral("Отчет по продукции"));
    Button1 = newButton("Button1", QStringLiteral("Детальный отчет по рабочим"));
    Button3 = newButton("Button3", QStringLiteral("Детальный отчет по продукции"));
    Button6 = newButton("Button6", QStringLiteral("Excel (0 из 0)"));
    Button5 = newButton("Button5", QStringLiteral("Выход"));
    for (QPushButton *b : {Button4, Button2, Button1, Button3, Button6, Button5})
        root->addWidget(b);
    makeDefault(nullptr);
    setCancelButton(Button5);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    XLS_Rep = new db::Dataset(QStringLiteral("XLS_Rep"), this);
    XLS_Rep->setSql(QString::fromLatin1(reports::sql::kWorkbook));

    connect(Button4, &QPushButton::clicked, this, &ReportsWindow::Button4Click);
    connect(Button2, &QPushButton::clicked, this, &ReportsWindow::Button2Click);
    connect(Button1, &QPushButton::clicked, this, &ReportsWindow::Button1Click);
    connect(Button3, &QPushButton::clicked, this, &ReportsWindow::Button3Click);
    connect(Button6, &QPushButton::clicked, this, &ReportsWindow::Button6Click);
    connect(Button5, &QPushButton::clicked, this, &QDialog::reject);
}

void ReportsWindow::openFrom(ui::Form *caller)
{
    const QDate today = QDate::currentDate();
    const QDate thisMonth(today.year(), today.month(), 1);
    // The previous month, from its first to its last day: both bounds are counted.
    DTPicker1->setDate(thisMonth.addMonths(-1));
    DTPicker2->setDate(thisMonth.addDays(-1));
    caller->showChild(this);
}

// The kind of product as a record filter on naimen: all, finished products, blanks.
void ReportsWindow::applyKind(db::Dataset *ds) const
{
    switch (RadioGroup1->itemIndex()) {
    case 1:
        ds->setFilter(QStringLiteral("naimen=0"));
        ds->setFiltered(true);
        break;
    case 2:
        ds->setFilter(QStringLiteral("naimen=1"));
        ds->setFiltered(true);
        break;
    default:
        ds->setFiltered(false);
    }
}

// The statements take the period as [from, to): the day after "по" is the exclusive bound, so
// the day the title names as the last one is counted.
QDate ReportsWindow::periodEnd() const
{
    return DTPicker2->date().addDays(1);
}

bool ReportsWindow::periodReversed()
{
    const QString refusal = shop::limits::reversedPeriod(DTPicker1->date(), DTPicker2->date());
    if (refusal.isEmpty())
        return false;
    ui::showError(refusal, QStringLiteral("Ошибка"));
    DTPicker1->setFocus();
    return true;
}

void ReportsWindow::runReport(ReportForm *form, const QStringList &starts, const QStringList &ends,
                              const QString &titleStart)
{
    if (periodReversed())
        return;
    db::Dataset *ds = form->dataset();
    for (const QString &p : starts)
        ds->setParam(p, DTPicker1->date());
    for (const QString &p : ends)
        ds->setParam(p, periodEnd());
    applyKind(ds);
    {
        const ui::WaitCursor wait;
        ds->open();
        const QLocale locale;
        form->setTitle(titleStart + locale.toString(DTPicker1->date(), QLocale::ShortFormat) +
                       QStringLiteral(" по ") +
                       locale.toString(DTPicker2->date(), QLocale::ShortFormat));
        // Saved as "<report> <from>-<to>.pdf".
        const QString dates = QStringLiteral("dd.MM.yyyy");
        form->QuickRep1->setDocumentName(
            QStringLiteral("%1 %2-%3")
                .arg(titleStart.section(QStringLiteral(" за "), 0, 0).trimmed(),
                     DTPicker1->date().toString(dates), DTPicker2->date().toString(dates)));
        form->prepare();
    }
    form->preview(this);
    ds->close();
}

void ReportsWindow::Button4Click()
{
    runReport(workersReport, {"data1", "data3", "data5"}, {"data2", "data4", "data6"},
              QStringLiteral("   Отчет по рабочим за период с "));
}

void ReportsWindow::Button2Click()
{
    runReport(productsReport, {"data1"}, {"data2"},
              QStringLiteral("   Отчет по продукции за период с "));
}

void ReportsWindow::Button1Click()
{
    workersDetailReport->w_Report->close();
    runReport(workersDetailReport, {"data1"}, {"data2"},
              QStringLiteral("   Детальный отчет по рабочим за период с "));
}

void ReportsWindow::Button3Click()
{
    runReport(productsDetailReport, {"data1"}, {"data2"},
              QStringLiteral("   Детальный отчет по продукции за период с "));
}

void ReportsWindow::Button6Click()
{
    if (periodReversed())
        return;
    XLS_Rep->setParam(QStringLiteral("data1"), DTPicker1->date());
    XLS_Rep->setParam(QStringLiteral("data2"), periodEnd());
    applyKind(XLS_Rep);
    const ui::WaitCursor wait;
    XLS_Rep->open();
    excel::Export book;
    if (!book.open(QStringLiteral("Выпуск продукции"))) {
        XLS_Rep->close();
        return;
    }
    const int total = XLS_Rep->recordCount();
    auto progress = [this, total](int written) {
        Button6->setText(QStringLiteral("Excel (%1 из %2)").arg(written).arg(total));
    };
    progress(0);
    const QStringList head = {QStringLiteral("Наименование"), QStringLiteral("Операция"),
                              QStringLiteral("Вид продукции"), QStringLiteral("Коробки"),
                              QStringLiteral("Кол-во")};
    for (int c = 0; c < head.size(); ++c)
        book.write(c + 1, 1, head[c], excel::kText);
    int row = 2;
    XLS_Rep->first();
    while (!XLS_Rep->eof()) {
        const int color = XLS_Rep->asInteger(QStringLiteral("color"));
        QString operation = XLS_Rep->asString(QStringLiteral("vid")).trimmed();
        if (color == 1)
            operation += QStringLiteral(" (грунт)");
        else if (color > 1)
            operation += QStringLiteral(" (цвет: %1)").arg(color);
        book.write(1, row, XLS_Rep->asString(QStringLiteral("nom")).trimmed(), excel::kText);
        book.write(2, row, operation, excel::kText);
        book.write(3, row,
                   XLS_Rep->asInteger(QStringLiteral("naimen")) == 0
                       ? QStringLiteral("Готовая продукция")
                       : QStringLiteral("Заготовки"),
                   excel::kText);
        // General number format: up to 15 significant digits, the user's separator.
        book.write(4, row,
                   QString::number(XLS_Rep->asFloat(QStringLiteral("mass")), 'g', 15)
                       .replace(QLatin1Char('.'), QLocale().decimalPoint()),
                   excel::kValue);
        book.write(5, row, QString::number(qRound64(XLS_Rep->asFloat(QStringLiteral("kolvo")))),
                   excel::kValue);
        XLS_Rep->next();
        ++row;
        progress(row - 2);
    }
    book.show();
    XLS_Rep->close();
}
