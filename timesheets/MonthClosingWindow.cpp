#include "MonthClosingWindow.h"

#include "db/Dataset.h"
#include "shop/ClosedMonths.h"
#include "ui/DBGrid.h"
#include "ui/Messages.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

MonthClosingWindow *monthClosingWindow = nullptr;

MonthClosingWindow::MonthClosingWindow(QWidget *parent) : ui::Form(parent)
{
    monthClosingWindow = this;
    setObjectName(QStringLiteral("monthClosingWindow"));
    setWindowTitle(QStringLiteral("Закрытие периода"));

    // The months with timesheet rows (every saved entry writes its cell) and the closed
    // ones; the last reopening comes from the change history.
    Months = new db::Dataset(QStringLiteral("Months"), this);
    Months->setSql(QStringLiteral(R"(
        select m.year, m.month,
               (array['Январь','Февраль','Март','Апрель','Май','Июнь','Июль','Август','Сентябрь',
                      'Октябрь','Ноябрь','Декабрь'])[m.month] as month_name,
               case when c.year is null then 'открыт' else 'закрыт' end as state,
               c.closed_by, to_char(c.closed_at, 'DD.MM.YYYY HH24:MI') as closed_at,
               r.who as reopened_by, to_char(r.at, 'DD.MM.YYYY HH24:MI') as reopened_at
        from (select distinct year, month from accounts_dep.h_tabel
              union
              select year, month from accounts_dep.closed_month) m
        left join accounts_dep.closed_month c on c.year=m.year and c.month=m.month
        left join lateral (select l.who, l.at
                           from accounts_dep.change_log l
                           where l.tbl='closed_month'
                             and l.action='delete'
                             and l.row_id=m.year::bigint*100+m.month
                           order by l.id desc
                           limit 1) r on true
        order by m.year desc, m.month desc)"));

    monthsGrid = new ui::DBGrid(QStringLiteral("monthsGrid"), this);
    monthsGrid->setAccessibleName(QStringLiteral("Месяцы"));
    monthsGrid->setColumns({
        {QStringLiteral("year"), QStringLiteral("Год"), 50, Qt::AlignRight | Qt::AlignVCenter},
        {QStringLiteral("month_name"), QStringLiteral("Месяц"), 90},
        {QStringLiteral("state"), QStringLiteral("Состояние"), 80},
        {QStringLiteral("closed_by"), QStringLiteral("Кем закрыт"), 200},
        {QStringLiteral("closed_at"), QStringLiteral("Когда закрыт"), 120},
        {QStringLiteral("reopened_by"), QStringLiteral("Кем открыт вновь"), 200},
        {QStringLiteral("reopened_at"), QStringLiteral("Когда открыт"), 120},
    });
    monthsGrid->setDataset(Months);
    monthsGrid->horizontalHeader()->setStretchLastSection(true);
    connect(Months, &db::Dataset::currentChanged, this, &MonthClosingWindow::showState);
    connect(Months, &db::Dataset::changed, this, &MonthClosingWindow::showState);

    stateLabel = new QLabel(this);
    stateLabel->setObjectName(QStringLiteral("stateLabel"));

    closeMonthButton = newButton("closeMonthButton", QStringLiteral("Закрыть месяц"));
    openMonthButton = newButton("openMonthButton", QStringLiteral("Открыть месяц"));
    exitButton = newButton("exitButton", QStringLiteral("Выход"));
    makeDefault(nullptr);
    setCancelButton(exitButton);
    connect(closeMonthButton, &QPushButton::clicked, this, &MonthClosingWindow::closeMonthClick);
    connect(openMonthButton, &QPushButton::clicked, this, &MonthClosingWindow::openMonthClick);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);

    auto *root = new QVBoxLayout(this);
    root->addWidget(monthsGrid, 1);
    root->addWidget(stateLabel);
    auto *bar = new QHBoxLayout;
    bar->addWidget(closeMonthButton);
    bar->addWidget(openMonthButton);
    bar->addStretch(1);
    bar->addWidget(exitButton);
    root->addLayout(bar);

    resize(monthsGrid->contentWidth() + 2 * monthsGrid->frameWidth() + 40, 480);
}

void MonthClosingWindow::openFrom(ui::Form *from, bool administrator)
{
    administrator_ = administrator;
    Months->close();
    Months->open();
    showState();
    from->showChild(this);
    Months->close();
}

void MonthClosingWindow::FormActivate()
{
    monthsGrid->setFocus();
}

void MonthClosingWindow::showState()
{
    const bool any = Months->isActive() && !Months->isEmpty();
    const bool closed =
        any && Months->asString(QStringLiteral("state")) == QStringLiteral("закрыт");
    closeMonthButton->setEnabled(administrator_ && any && !closed);
    openMonthButton->setEnabled(administrator_ && any && closed);
    if (!any) {
        stateLabel->clear();
        return;
    }
    const int month = Months->asInteger(QStringLiteral("month"));
    const int year = Months->asInteger(QStringLiteral("year"));
    stateLabel->setText(
        closed ? closing::sentence(month, year)
               : QStringLiteral("Период %1 открыт.").arg(closing::periodText(month, year)));
}

void MonthClosingWindow::reread(int year, int month)
{
    Months->close();
    Months->open();
    for (Months->first(); !Months->eof(); Months->next())
        if (Months->asInteger(QStringLiteral("year")) == year &&
            Months->asInteger(QStringLiteral("month")) == month)
            break;
    if (Months->eof())
        Months->first();
    showState();
}

void MonthClosingWindow::closeMonthClick()
{
    if (!administrator_ || Months->isEmpty())
        return;
    const int month = Months->asInteger(QStringLiteral("month"));
    const int year = Months->asInteger(QStringLiteral("year"));
    if (!ui::askYesNo(QStringLiteral("Закрыть период %1? Изменения в нём станут невозможны.")
                          .arg(closing::periodText(month, year)),
                      QStringLiteral("Закрытие периода")))
        return;
    closing::close(month, year);
    reread(year, month);
}

void MonthClosingWindow::openMonthClick()
{
    if (!administrator_ || Months->isEmpty())
        return;
    const int month = Months->asInteger(QStringLiteral("month"));
    const int year = Months->asInteger(QStringLiteral("year"));
    if (!ui::askYesNo(
            QStringLiteral("Открыть период %1 вновь? Изменения в нём снова станут возможны.")
                .arg(closing::periodText(month, year)),
            QStringLiteral("Закрытие периода")))
        return;
    closing::reopen(month, year);
    reread(year, month);
}
