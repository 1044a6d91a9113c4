#include "ChangeHistoryWindow.h"

#include "db/Dataset.h"
#include "db/SqlText.h"
#include "shop/DataModule.h"
#include "shop/Limits.h"
#include "spreadsheet/Excel.h"
#include "ui/Application.h"
#include "ui/DBGrid.h"
#include "ui/Messages.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ChangeHistoryWindow *changeHistoryWindow = nullptr;

namespace {

struct Kind {
    const char *table;
    const char *caption;
};
// The kinds of record the history keeps, as the user calls them.
const Kind kinds[] = {
    {"smena", "Смены"},
    {"fatigue", "Хоз. работы и ср. сдельная"},
    {"oper", "Операции"},
    {"norm", "Нормы"},
    {"izdel", "Изделия"},
    {"person", "Рабочие"},
    {"vid_oper", "Виды операций"},
    {"closed_month", "Закрытие периода"},
    {"h_tabel", "Табель"},
    {"organisation", "Реквизиты организации"},
    {"calendar_year", "Производственный календарь: годы"},
    {"calendar_day", "Производственный календарь: дни"},
    {"absence", "Неявки"},
};

struct Field {
    const char *table;
    const char *key;
    const char *caption;
};
// Column names in Russian, in the order the fields are listed.
const Field fields[] = {
    {"smena", "data", "Дата"},
    {"smena", "smena", "Смена"},
    {"smena", "w_id", "Рабочий"},
    {"smena", "i_id", "Изделие"},
    {"smena", "o_id", "Операция"},
    {"smena", "cena", "Цена"},
    {"smena", "kol_vo", "Кол-во"},
    {"smena", "brak", "Брак"},
    {"smena", "color", "Цвет"},
    {"smena", "time", "Часы"},
    {"smena", "ok", "Принято"},
    {"smena", "vvod", "Введено"},
    {"smena", "prize", "Премия"},
    {"smena", "id_doc", "Документ"},
    {"smena", "id_doc_item", "Строка документа"},
    {"smena", "f_gds_qty_use", "Расход"},
    {"smena", "id_gds_use", "Изделие расхода"},
    {"smena", "id_cons_use", "Статья расхода"},
    {"fatigue", "d_date", "Дата"},
    {"fatigue", "i_smena", "Смена"},
    {"fatigue", "id_p", "Рабочий"},
    {"fatigue", "id_o", "Вид работ"},
    {"fatigue", "id_nom", "Группа изделий"},
    {"fatigue", "cnt", "Часы"},
    {"fatigue", "price", "Цена часа"},
    {"fatigue", "i_holiday", "Выходной"},
    {"fatigue", "i_night", "Ночь"},
    {"fatigue", "i_mnth", "Месяц"},
    {"fatigue", "i_year", "Год"},
    {"oper", "i_id", "Изделие"},
    {"oper", "vid", "Вид операции"},
    {"oper", "naimen", "Тип"},
    {"oper", "cena_new", "Цена"},
    {"norm", "o_id", "Операция"},
    {"norm", "norma", "Норма"},
    {"norm", "price", "Цена"},
    {"norm", "prize", "Премия"},
    {"izdel", "s_caption", "Марка"},
    {"izdel", "id_class_item", "Группа изделий"},
    {"izdel", "massa", "Масса"},
    {"izdel", "s_description", "Описание"},
    {"izdel", "id_msm_bs", "Единица измерения"},
    {"person", "fio", "ФИО"},
    {"person", "s_staffpos_hl", "Должность"},
    {"vid_oper", "vid", "Вид операции"},
    {"closed_month", "month", "Месяц"},
    {"closed_month", "year", "Год"},
    {"closed_month", "closed_by", "Кем закрыт"},
    {"closed_month", "closed_at", "Когда закрыт"},
    {"h_tabel", "month", "Месяц"},
    {"h_tabel", "year", "Год"},
    {"h_tabel", "rows", "Строк удалено"},
    {"organisation", "name", "Наименование"},
    {"organisation", "department", "Подразделение"},
    {"organisation", "okpo", "ОКПО"},
    {"organisation", "responsible_position", "Должность ответственного"},
    {"organisation", "responsible_name", "Ответственное лицо"},
    {"organisation", "head_position", "Должность руководителя"},
    {"organisation", "head_name", "Руководитель подразделения"},
    {"organisation", "hr_position", "Должность кадровика"},
    {"organisation", "hr_name", "Работник кадровой службы"},
    {"calendar_year", "year", "Год"},
    {"calendar_year", "source", "Основание"},
    {"calendar_day", "day", "Дата"},
    {"calendar_day", "kind", "Вид дня"},
    {"calendar_day", "regional", "Региональный"},
    {"calendar_day", "note", "Примечание"},
    {"absence", "w_id", "Рабочий"},
    {"absence", "code", "Код"},
    {"absence", "first", "С"},
    {"absence", "last", "По"},
    {"absence", "note", "Примечание"},
};

QString kindValues()
{
    QStringList rows;
    for (const Kind &k : kinds)
        rows << QStringLiteral("(%1,%2)").arg(db::quote(QString::fromUtf8(k.table)),
                                              db::quote(QString::fromUtf8(k.caption)));
    return QStringLiteral("(values ") + rows.join(QLatin1Char(',')) +
           QStringLiteral(") t(tbl, caption)");
}

QString fieldValues()
{
    QStringList rows;
    int order = 0;
    for (const Field &f : fields)
        rows << QStringLiteral("(%1,%2,%3,%4)")
                    .arg(db::quote(QString::fromUtf8(f.table)), db::quote(QString::fromUtf8(f.key)),
                         db::quote(QString::fromUtf8(f.caption)))
                    .arg(++order);
    return QStringLiteral("(values ") + rows.join(QLatin1Char(',')) +
           QStringLiteral(") f(tbl, key, caption, ord)");
}

const QString allUsers = QStringLiteral("Все");

// A stored value as the program shows it: workers, products, operations, kinds and groups by
// their names, acceptance as a word, money and quantities as the windows write them, dates and
// moments day first. A reference to a row that is gone shows its number.
QString shown(const QString &value)
{
    const QString v = QStringLiteral("(%1)").arg(value);
    const QString id = v + QStringLiteral("::bigint");
    // Thousands apart with a non-breaking space, a decimal comma.
    const auto figure = [&](const QString &pattern) {
        return QStringLiteral(
                   R"(translate(to_char(round(%1::numeric, 2), '%2'), ',.', chr(160) || ','))")
            .arg(v, pattern);
    };
    // %1 the value, %2 its table and key, %3 "the value is a row's number", %4 the person rows
    // of the worker it names, %5 the value as a number, %6 "the value is a number", %7 money,
    // %8 a whole quantity, %9 a quantity with a fraction.
    return QStringLiteral(R"(
        case when %1 is null then null
             when %2 in ('smena.w_id', 'fatigue.id_p') and %3
             then coalesce((select x.s_caption from (%4) x order by x.by_code limit 1), %1)
             when %2 in ('smena.i_id', 'oper.i_id', 'smena.id_gds_use') and %3
             then coalesce((select trim(z.marka) from accounts_dep.izdel z where z.id=%5), %1)
             when %2 in ('smena.o_id', 'norm.o_id') and %3
             then coalesce((select trim(z.marka) || ', ' || trim(vo.vid)
                            from accounts_dep.oper o
                            join accounts_dep.izdel z on z.id=o.i_id
                            join accounts_dep.vid_oper vo on vo.id=o.vid
                            where o.id=%5), %1)
             when %2 in ('oper.vid', 'fatigue.id_o') and %3
             then coalesce((select trim(vo.vid) from accounts_dep.vid_oper vo where vo.id=%5), %1)
             when %2 in ('fatigue.id_nom', 'izdel.id_class_item') and %3
             then coalesce((select trim(c.s_caption) from cmn_classifier.item c where c.id=%5),
                           %1)
             when %2 = 'smena.ok'
             then case when trim(%1) in ('ok', 'да') then 'да' else 'нет' end
             when %2 = 'oper.naimen'
             then case when %1 = '0' then 'Готовая продукция' else 'Заготовки' end
             when %2 in ('smena.cena', 'fatigue.price', 'oper.cena_new', 'norm.price') and %6
             then %7
             when %2 in ('smena.kol_vo', 'smena.brak', 'smena.time', 'fatigue.cnt', 'norm.norma',
                         'izdel.massa', 'smena.f_gds_qty_use') and %6
             then case when round(%1::numeric, 2) = trunc(%1::numeric) then %8 else %9 end
             when %1 ~ '^\d{4}-\d\d-\d\d$'
             then to_char(%1::date, 'DD.MM.YYYY')
             when %1 ~ '^\d{4}-\d\d-\d\dT'
             then to_char(%1::timestamptz, 'DD.MM.YYYY HH24:MI:SS')
             else %1 end)")
        .arg(v, QStringLiteral("(l.tbl || '.' || k.key)"),
             QStringLiteral(R"(%1 ~ '^\d{1,18}$')").arg(v), DataModule::workerPersons(id), id,
             QStringLiteral(R"(%1 ~ '^-?\d{1,15}(\.\d+)?$')").arg(v),
             figure(QStringLiteral("FM999,999,999,999,990.00")),
             figure(QStringLiteral("FM999,999,999,999,990")),
             figure(QStringLiteral("FM999,999,999,999,990.99")));
}

// The changes, a row per changed field, newest first. %1 and %2 the field's value before and
// after (shown), %3 the kinds' captions (kindValues), %4 the fields' captions (fieldValues),
// %5 the filter's condition.
const char *const kChanges = R"(
    select l.id, to_char(l.at, 'DD.MM.YYYY HH24:MI:SS') as at, l.who,
           coalesce(t.caption, l.tbl) as kind, l.row_id,
           case l.action when 'insert' then 'Добавление' when 'update' then 'Изменение'
                         else 'Удаление' end as action,
           coalesce(f.caption, k.key) as field, %1 as was, %2 as became
    from accounts_dep.change_log l
    left join %3 on t.tbl=l.tbl
    cross join lateral jsonb_object_keys(coalesce(l.new_row, l.old_row)) k(key)
    left join %4 on f.tbl=l.tbl and f.key=k.key
    where k.key<>'id'
      and case when l.action='update' then l.old_row->k.key is distinct from l.new_row->k.key
               else coalesce(l.new_row, l.old_row)->>k.key is not null end
      and %5
    order by l.id desc, f.ord, k.key)";

} // namespace

ChangeHistoryWindow::ChangeHistoryWindow(QWidget *parent) : ui::Form(parent)
{
    changeHistoryWindow = this;
    setObjectName(QStringLiteral("changeHistoryWindow"));
    setWindowTitle(QStringLiteral("История изменений"));

    Log = new db::Dataset(QStringLiteral("Log"), this);

    changesGrid = new ui::DBGrid(QStringLiteral("changesGrid"), this);
    changesGrid->setAccessibleName(QStringLiteral("Изменения"));
    changesGrid->setColumns({
        {QStringLiteral("at"), QStringLiteral("Когда"), 150},
        {QStringLiteral("who"), QStringLiteral("Кто"), 170},
        {QStringLiteral("kind"), QStringLiteral("Запись"), 180},
        {QStringLiteral("row_id"), QStringLiteral("Номер"), 60, Qt::AlignRight | Qt::AlignVCenter},
        {QStringLiteral("action"), QStringLiteral("Действие"), 85},
        {QStringLiteral("field"), QStringLiteral("Поле"), 120},
        {QStringLiteral("was"), QStringLiteral("Было"), 170},
        {QStringLiteral("became"), QStringLiteral("Стало"), 170},
    });
    changesGrid->setDataset(Log);
    changesGrid->horizontalHeader()->setStretchLastSection(true);

    fromLabel = new QLabel(QStringLiteral("С"), this);
    toLabel = new QLabel(QStringLiteral("по"), this);
    userLabel = new QLabel(QStringLiteral("Пользователь"), this);
    kindLabel = new QLabel(QStringLiteral("Записи"), this);
    fromDateEdit = new QDateEdit(this);
    toDateEdit = new QDateEdit(this);
    for (QDateEdit *d : {fromDateEdit, toDateEdit}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    }
    userBox = new QComboBox(this);
    kindBox = new QComboBox(this);
    kindBox->addItem(QStringLiteral("Все"), QString());
    for (const Kind &k : kinds)
        kindBox->addItem(QString::fromUtf8(k.caption), QString::fromUtf8(k.table));
    const std::pair<QLabel *, QWidget *> pairs[] = {{fromLabel, fromDateEdit},
                                                    {toLabel, toDateEdit},
                                                    {userLabel, userBox},
                                                    {kindLabel, kindBox}};
    for (const auto &[label, field] : pairs)
        label->setBuddy(field);
    fromLabel->setObjectName(QStringLiteral("fromLabel"));
    toLabel->setObjectName(QStringLiteral("toLabel"));
    userLabel->setObjectName(QStringLiteral("userLabel"));
    kindLabel->setObjectName(QStringLiteral("kindLabel"));
    fromDateEdit->setObjectName(QStringLiteral("fromDateEdit"));
    toDateEdit->setObjectName(QStringLiteral("toDateEdit"));
    userBox->setObjectName(QStringLiteral("userBox"));
    kindBox->setObjectName(QStringLiteral("kindBox"));

    showButton = newButton("showButton", QStringLiteral("Показать"));
    exportButton = newButton("exportButton", QStringLiteral("В Excel"));
    exitButton = newButton("exitButton", QStringLiteral("Выход"));
    setCancelButton(exitButton);
    makeDefault(showButton);
    connect(showButton, &QPushButton::clicked, this, &ChangeHistoryWindow::showClick);
    connect(exportButton, &QPushButton::clicked, this, &ChangeHistoryWindow::exportClick);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);

    auto *root = new QVBoxLayout(this);
    auto *filters = new QHBoxLayout;
    for (const auto &[label, field] : pairs) {
        filters->addWidget(label);
        filters->addWidget(field);
    }
    filters->addWidget(showButton);
    filters->addStretch(1);
    root->addLayout(filters);
    root->addWidget(changesGrid, 1);
    auto *bar = new QHBoxLayout;
    bar->addWidget(exportButton);
    bar->addStretch(1);
    bar->addWidget(exitButton);
    root->addLayout(bar);

    resize(qMin(changesGrid->contentWidth() + 2 * changesGrid->frameWidth() + 40,
                kScreenWidth - kFrameAllowance),
           560);
}

void ChangeHistoryWindow::showFilters(bool shown)
{
    for (QWidget *w :
         std::initializer_list<QWidget *>{fromLabel, toLabel, userLabel, kindLabel, fromDateEdit,
                                          toDateEdit, userBox, kindBox, showButton})
        w->setVisible(shown);
}

void ChangeHistoryWindow::query(const Filter &filter)
{
    const ui::WaitCursor wait;
    Log->close();
    for (auto it = filter.params.cbegin(); it != filter.params.cend(); ++it)
        Log->setParam(it.key(), it.value());
    Log->setSql(QString::fromUtf8(kChanges).arg(shown(QStringLiteral("l.old_row->>k.key")),
                                                shown(QStringLiteral("l.new_row->>k.key")),
                                                kindValues(), fieldValues(), filter.where));
    Log->open();
}

void ChangeHistoryWindow::openForRow(ui::Form *from, const QString &table, qlonglong rowId)
{
    showFilters(false);
    exportButton->setVisible(true);
    query({QStringLiteral("l.tbl=:tbl and l.row_id=:row_id"),
           {{QStringLiteral("tbl"), table}, {QStringLiteral("row_id"), rowId}}});
    from->showChild(this);
    Log->close();
}

void ChangeHistoryWindow::openAll(ui::Form *from)
{
    showFilters(true);
    const QDate today = QDate::currentDate();
    fromDateEdit->setDate(QDate(today.year(), today.month(), 1));
    toDateEdit->setDate(today);
    userBox->clear();
    userBox->addItem(allUsers);
    db::Dataset users(QStringLiteral("users"));
    users.setSql(QStringLiteral("select distinct who from accounts_dep.change_log order by 1"));
    users.open();
    for (users.first(); !users.eof(); users.next())
        userBox->addItem(users.asString(QStringLiteral("who")));
    kindBox->setCurrentIndex(0);
    showClick();
    from->showChild(this);
    Log->close();
}

void ChangeHistoryWindow::FormActivate()
{
    changesGrid->setFocus();
}

ChangeHistoryWindow::Filter ChangeHistoryWindow::chosenFilter() const
{
    Filter f;
    f.where = QStringLiteral("l.at >= :from and l.at < :to::date + 1");
    f.params.insert(QStringLiteral("from"), fromDateEdit->date());
    f.params.insert(QStringLiteral("to"), toDateEdit->date());
    if (userBox->currentIndex() > 0) {
        f.where += QStringLiteral(" and l.who=:who");
        f.params.insert(QStringLiteral("who"), userBox->currentText());
    }
    const QString table = kindBox->currentData().toString();
    if (!table.isEmpty()) {
        f.where += QStringLiteral(" and l.tbl=:tbl");
        f.params.insert(QStringLiteral("tbl"), table);
    }
    return f;
}

void ChangeHistoryWindow::showClick()
{
    const QString refusal = shop::limits::reversedPeriod(fromDateEdit->date(), toDateEdit->date());
    if (!refusal.isEmpty()) {
        ui::showError(refusal, QStringLiteral("Ошибка"));
        fromDateEdit->setFocus();
        return;
    }
    query(chosenFilter());
}

void ChangeHistoryWindow::exportClick()
{
    if (!Log->isActive())
        return;
    const ui::WaitCursor wait;
    excel::Export book;
    if (!book.open(QStringLiteral("История изменений")))
        return;
    const QStringList fieldsShown = {QStringLiteral("at"),     QStringLiteral("who"),
                                     QStringLiteral("kind"),   QStringLiteral("row_id"),
                                     QStringLiteral("action"), QStringLiteral("field"),
                                     QStringLiteral("was"),    QStringLiteral("became")};
    const QStringList header = {QStringLiteral("Когда"),    QStringLiteral("Кто"),
                                QStringLiteral("Запись"),   QStringLiteral("Номер"),
                                QStringLiteral("Действие"), QStringLiteral("Поле"),
                                QStringLiteral("Было"),     QStringLiteral("Стало")};
    for (int c = 0; c < header.size(); ++c)
        book.write(c + 1, 1, header[c], excel::kText);
    int row = 2;
    const int keep = Log->recNo();
    for (Log->first(); !Log->eof(); Log->next(), ++row)
        for (int c = 0; c < fieldsShown.size(); ++c)
            book.write(c + 1, row, Log->asString(fieldsShown[c]), excel::kText);
    if (keep > 0 && !Log->isEmpty())
        Log->setRecNo(keep);
    book.show();
}
