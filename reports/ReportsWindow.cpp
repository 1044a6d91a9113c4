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
    kindGroup = new ui::RadioGroup(
        QStringLiteral("Вид продукции"),
        {QStringLiteral("Все"), QStringLiteral("Готовая продукция"), QStringLiteral("Заготовки")},
        this);
    kindGroup->setObjectName(QStringLiteral("kindGroup"));
    kindGroup->setStyleSheet(QStringLiteral("QGroupBox { font-weight: bold; } "
                                            "QRadioButton { font-weight: normal; }"));
    root->addWidget(kindGroup);

    periodGroup = new QGroupBox(QStringLiteral("Период отбора"), this);
    periodGroup->setObjectName(QStringLiteral("periodGroup"));
    auto *period = new QGridLayout(periodGroup);
    auto picker = [this](const char *name) {
        auto *d = new QDateEdit(this);
        d->setObjectName(QLatin1String(name));
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        return d;
    };
    fromLabel = new QLabel(QStringLiteral("с"), this);
    fromLabel->setObjectName(QStringLiteral("fromLabel"));
    fromDateEdit = picker("fromDateEdit");
    fromLabel->setBuddy(fromDateEdit);
    toLabel = new QLabel(QStringLiteral("по"), this);
    toLabel->setObjectName(QStringLiteral("toLabel"));
    toDateEdit = picker("toDateEdit");
    toLabel->setBuddy(toDateEdit);
    period->addWidget(fromLabel, 0, 0);
    period->addWidget(fromDateEdit, 0, 1);
    period->addWidget(toLabel, 1, 0);
    period->addWidget(toDateEdit, 1, 1);
    period->setColumnStretch(1, 1);
    root->addWidget(periodGroup);

    workersButton = newButton("workersButton", QStringLiteral("Отчет по рабочим"));
    productsButton = newButton("productsButton", QStringLiteral("Отчет по продукции"));
    workersDetailButton =
        newButton("workersDetailButton", QStringLiteral("Детальный отчет по рабочим"));
    productsDetailButton =
        newButton("productsDetailButton", QStringLiteral("Детальный отчет по продукции"));
    exportButton = newButton("exportButton", QStringLiteral("Excel (0 из 0)"));
    exitButton = newButton("exitButton", QStringLiteral("Выход"));
    for (QPushButton *b : {workersButton, productsButton, workersDetailButton, productsDetailButton,
                           exportButton, exitButton})
        root->addWidget(b);
    makeDefault(nullptr);
    setCancelButton(exitButton);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    XLS_Rep = new db::Dataset(QStringLiteral("XLS_Rep"), this);
    XLS_Rep->setSql(QString::fromLatin1(reports::sql::kWorkbook));

    connect(workersButton, &QPushButton::clicked, this, &ReportsWindow::workersClick);
    connect(productsButton, &QPushButton::clicked, this, &ReportsWindow::productsClick);
    connect(workersDetailButton, &QPushButton::clicked, this, &ReportsWindow::workersDetailClick);
    connect(productsDetailButton, &QPushButton::clicked, this, &ReportsWindow::productsDetailClick);
    connect(exportButton, &QPushButton::clicked, this, &ReportsWindow::exportClick);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);
}

void ReportsWindow::openFrom(ui::Form *caller)
{
    const QDate today = QDate::currentDate();
    const QDate thisMonth(today.year(), today.month(), 1);
    // The previous month, from its first to its last day: both bounds are counted.
    fromDateEdit->setDate(thisMonth.addMonths(-1));
    toDateEdit->setDate(thisMonth.addDays(-1));
    caller->showChild(this);
}

// The kind of product as a record filter on naimen: all, finished products, blanks.
void ReportsWindow::applyKind(db::Dataset *ds) const
{
    switch (kindGroup->itemIndex()) {
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
    return toDateEdit->date().addDays(1);
}

bool ReportsWindow::periodReversed()
{
    const QString refusal = shop::limits::reversedPeriod(fromDateEdit->date(), toDateEdit->date());
    if (refusal.isEmpty())
        return false;
    ui::showError(refusal, QStringLiteral("Ошибка"));
    fromDateEdit->setFocus();
    return true;
}

void ReportsWindow::runReport(ReportForm *form, const QStringList &starts, const QStringList &ends,
                              const QString &titleStart)
{
    if (periodReversed())
        return;
    db::Dataset *ds = form->dataset();
    for (const QString &p : starts)
        ds->setParam(p, fromDateEdit->date());
    for (const QString &p : ends)
        ds->setParam(p, periodEnd());
    applyKind(ds);
    {
        const ui::WaitCursor wait;
        ds->open();
        const QLocale locale;
        form->setTitle(titleStart + locale.toString(fromDateEdit->date(), QLocale::ShortFormat) +
                       QStringLiteral(" по ") +
                       locale.toString(toDateEdit->date(), QLocale::ShortFormat));
        form->setOrganisation(shop::organisation());
        // Saved as "<report> <from>-<to>.pdf".
        const QString dates = QStringLiteral("dd.MM.yyyy");
        form->printout->setDocumentName(
            QStringLiteral("%1 %2-%3")
                .arg(titleStart.section(QStringLiteral(" за "), 0, 0).trimmed(),
                     fromDateEdit->date().toString(dates), toDateEdit->date().toString(dates)));
        form->prepare();
    }
    form->preview(this);
    ds->close();
}

void ReportsWindow::applyRole(Role role)
{
    const std::pair<Action, QPushButton *> buttons[] = {
        {Action::ReportByWorkers, workersButton},
        {Action::ReportByProducts, productsButton},
        {Action::DetailByWorkers, workersDetailButton},
        {Action::DetailByProducts, productsDetailButton},
        {Action::ExportReport, exportButton},
    };
    for (const auto &[action, button] : buttons)
        if (!allows(role, action))
            button->setEnabled(false);
    if (reportsFinishedOnly(role)) {
        kindGroup->setItemIndex(1);
        kindGroup->setEnabled(false);
    }
}

void ReportsWindow::workersClick()
{
    runReport(workersReport, {"data1", "data3", "data5"}, {"data2", "data4", "data6"},
              QStringLiteral("   Отчет по рабочим за период с "));
}

void ReportsWindow::productsClick()
{
    runReport(productsReport, {"data1"}, {"data2"},
              QStringLiteral("   Отчет по продукции за период с "));
}

void ReportsWindow::workersDetailClick()
{
    workersDetailReport->w_Report->close();
    runReport(workersDetailReport, {"data1"}, {"data2"},
              QStringLiteral("   Детальный отчет по рабочим за период с "));
}

void ReportsWindow::productsDetailClick()
{
    runReport(productsDetailReport, {"data1"}, {"data2"},
              QStringLiteral("   Детальный отчет по продукции за период с "));
}

void ReportsWindow::exportClick()
{
    if (periodReversed())
        return;
    XLS_Rep->setParam(QStringLiteral("data1"), fromDateEdit->date());
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
        exportButton->setText(QStringLiteral("Excel (%1 из %2)").arg(written).arg(total));
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
