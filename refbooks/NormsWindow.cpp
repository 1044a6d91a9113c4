#include "NormsWindow.h"

#include "db/Command.h"
#include "db/Dataset.h"
#include "db/SqlError.h"
#include "shop/DataModule.h"
#include "shop/Limits.h"
#include "ui/Messages.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

NormsWindow *normsWindow = nullptr;

namespace {

const char *const fields[3] = {"norma", "price", "prize"};

// "#0.00#": two decimals at least, three at most.
QString priceText(double v)
{
    const double cents = v * 100;
    return QLocale().toString(v, 'f', std::abs(cents - std::round(cents)) < 1e-9 ? 2 : 3);
}

// No value, typed as the column's values are.
QVariant noValue(bool whole)
{
    return QVariant(QMetaType(whole ? QMetaType::Int : QMetaType::Double));
}

NormModel::Row emptyRow()
{
    NormModel::Row r;
    for (int c = 0; c < 3; ++c)
        r.values[c] = noValue(c != NormModel::Price);
    return r;
}

const char *const titles[3] = {"Норматив", "Цена", "Премия, %"};

// A typed number as a Russian user types it (a decimal comma in the price; whole numbers in
// the others): empty is no value; a text that is no number of the column gives an invalid
// variant and the sentence that names the column. A minus sign is read here and refused
// when the row is saved.
QVariant parse(const QString &typed, int column, QString *refusal)
{
    const bool whole = column != NormModel::Price;
    QString t = typed.trimmed();
    if (t.isEmpty())
        return noValue(whole);
    const bool negative = t.startsWith(QLatin1Char('-'));
    if (negative)
        t.remove(0, 1);
    const QString field = QString::fromUtf8(titles[column]);
    const shop::limits::Typed read =
        whole ? shop::limits::readWhole(field, t)
              : shop::limits::readDecimal(field, t, shop::limits::kPriceDecimals);
    if (!read.ok()) {
        *refusal = read.refusal;
        return QVariant();
    }
    const double v = negative ? -read.value : read.value;
    if (whole && std::abs(v) > 2147483647) {
        *refusal = QStringLiteral("Слишком большое число в столбце «%1»: «%2».").arg(field, typed);
        return QVariant();
    }
    return whole ? QVariant(int(v)) : QVariant(v);
}

} // namespace

int NormModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int NormModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant NormModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const QVariant &v = rows_[index.row()].values[index.column()];
    switch (role) {
    case Qt::DisplayRole:
        if (v.isNull())
            return QString();
        return index.column() == Price ? priceText(v.toDouble()) : QString::number(v.toInt());
    case Qt::EditRole:
        if (v.isNull())
            return QString();
        return index.column() == Price ? QLocale().toString(v.toDouble(), 'g', 15)
                                       : QString::number(v.toInt());
    case Qt::TextAlignmentRole:
        return int(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

bool NormModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    QString refusal;
    const QVariant v = parse(value.toString(), index.column(), &refusal);
    if (!v.isValid()) {
        // Said once the cell's editor has closed, so that the box does not take the focus
        // from an editor still committing.
        QTimer::singleShot(0, this,
                           [refusal] { ui::showError(refusal, QStringLiteral("Ошибка")); });
        return false;
    }
    Row &row = rows_[index.row()];
    QVariant &cell = row.values[index.column()];
    if (cell.isNull() == v.isNull() && (v.isNull() || cell == v))
        return true;
    cell = v;
    row.dirty = true;
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags NormModel::flags(const QModelIndex &index) const
{
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

QVariant NormModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal) {
        return QString::fromUtf8(titles[section]);
    }
    // The row indicator: the new row is marked "*", the stored row under the cursor "▶".
    if (section == rows_.size() - 1)
        return QStringLiteral("*");
    return section == current_ ? QStringLiteral("▶") : QString();
}

void NormModel::setCurrentRow(int r)
{
    const int before = current_;
    current_ = r;
    if (before >= 0 && before < rows_.size())
        emit headerDataChanged(Qt::Vertical, before, before);
    if (r >= 0 && r < rows_.size())
        emit headerDataChanged(Qt::Vertical, r, r);
}

void NormModel::load(const db::Dataset &cnorm)
{
    auto &norm = const_cast<db::Dataset &>(cnorm);
    beginResetModel();
    rows_.clear();
    current_ = -1;
    for (norm.first(); !norm.eof(); norm.next()) {
        Row r = emptyRow();
        r.id = norm.asInteger(QStringLiteral("id"));
        for (int c = 0; c < 3; ++c) {
            const QVariant v = norm.value(QLatin1String(fields[c]));
            if (!v.isNull())
                r.values[c] = c == Price ? QVariant(v.toDouble()) : QVariant(v.toInt());
        }
        r.version = norm.asString(QStringLiteral("row_ver"));
        rows_.append(r);
    }
    rows_.append(emptyRow());
    endResetModel();
}

void NormModel::markSaved(int r, int id, const QString &version)
{
    const bool wasNew = isNewRow(r);
    rows_[r].id = id;
    rows_[r].version = version;
    rows_[r].dirty = false;
    if (wasNew) {
        beginInsertRows(QModelIndex(), r + 1, r + 1);
        rows_.append(emptyRow());
        endInsertRows();
        emit headerDataChanged(Qt::Vertical, r, r + 1);
    }
}

int NormModel::rowOf(int id) const
{
    for (int r = 0; r < rows_.size(); ++r)
        if (rows_[r].id == id)
            return r;
    return int(rows_.size()) - 1;
}

void NormGrid::commitEditing()
{
    if (QWidget *editor = indexWidget(currentIndex()); editor && state() == EditingState) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

NormsWindow::NormsWindow(QWidget *parent) : ui::Form(parent)
{
    normsWindow = this;
    setObjectName(QStringLiteral("normsWindow"));
    setHoldsTypedWork(true);
    setWindowTitle(QStringLiteral("Норматив"));

    norm = new db::Dataset(QStringLiteral("norm"), this);
    norm->setSql(QStringLiteral(R"(
        select id, o_id, norma, price, prize, xmin::text as row_ver
        from accounts_dep.norm
        where o_id=:o_id
        order by norma, id)"));

    model = new NormModel(this);
    normsGrid = new NormGrid(this);
    normsGrid->setObjectName(QStringLiteral("normsGrid"));
    normsGrid->setAccessibleName(QStringLiteral("Нормы операции"));
    normsGrid->setModel(model);
    normsGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    normsGrid->setSelectionBehavior(QAbstractItemView::SelectItems);
    normsGrid->setEditTriggers(QAbstractItemView::AllEditTriggers);
    normsGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    normsGrid->verticalHeader()->setDefaultSectionSize(normsGrid->fontMetrics().height() + 8);
    normsGrid->setColumnWidth(0, 90);
    normsGrid->setColumnWidth(1, 90);
    normsGrid->setColumnWidth(2, 90);
    connect(normsGrid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { model->setCurrentRow(current.row()); });
    connect(normsGrid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &NormsWindow::cellLeft);

    saveButton = newButton("saveButton", QStringLiteral("Сохранить"));
    deleteButton = newButton("deleteButton", QStringLiteral("Удалить"));
    makeDefault(saveButton);
    setCancelButton(saveButton);
    connect(saveButton, &QPushButton::clicked, this, &NormsWindow::saveClick);
    connect(deleteButton, &QPushButton::clicked, this, &NormsWindow::deleteClick);

    auto *root = new QVBoxLayout(this);
    root->addWidget(normsGrid, 1);
    auto *bar = new QHBoxLayout;
    bar->addWidget(saveButton);
    bar->addStretch();
    bar->addWidget(deleteButton);
    root->addLayout(bar);
    resize(3 * 90 + 80, 280);
    // A dialog border: the user does not resize the window.
    setFixedSize(size().expandedTo(minimumSizeHint()));
}

void NormsWindow::showFor(ui::Form *caller, int id)
{
    operationId = id;
    reload(-1, 0);
    caller->showChild(this);
}

void NormsWindow::reload(int currentId, int column)
{
    moving_ = true;
    norm->close();
    norm->setParam(QStringLiteral("o_id"), operationId);
    norm->open();
    model->load(*norm);
    norm->close();
    const int r = currentId < 0 ? 0 : model->rowOf(currentId);
    normsGrid->setCurrentIndex(model->index(r, column));
    newRowFlag = model->isNewRow(r);
    moving_ = false;
}

void NormsWindow::cellLeft(const QModelIndex &current, const QModelIndex &previous)
{
    if (moving_ || !current.isValid())
        return;
    newRowFlag = model->isNewRow(current.row());
    if (!previous.isValid() || previous.row() >= model->rowCount())
        return;
    const bool leavingRow = current.row() != previous.row();
    if (!leavingRow && current.column() == previous.column())
        return;
    if (!model->row(previous.row()).dirty)
        return;
    // The grid is in the middle of moving its cursor: a refused statement is shown here
    // rather than thrown through it.
    bool saved = false, stale = false;
    try {
        saved = saveRow(previous.row(), leavingRow);
    } catch (const db::RowChanged &e) {
        stale = true;
        ui::showDbError(e);
    } catch (const db::SqlError &e) {
        ui::showDbError(e);
    }
    // Once the grid has finished moving: a refused row gets the cursor back; after a save
    // the rows are read afresh in norm order, and so they are when another user changed the
    // row meanwhile.
    const QModelIndex back = previous;
    const int backId = model->row(previous.row()).id;
    QTimer::singleShot(0, this, [this, saved, stale, leavingRow, back, backId] {
        const QModelIndex at = normsGrid->currentIndex();
        if (stale) {
            reload(backId, back.column());
            return;
        }
        if (!saved) {
            if (leavingRow) {
                moving_ = true;
                normsGrid->setCurrentIndex(back);
                newRowFlag = model->isNewRow(back.row());
                moving_ = false;
            }
            return;
        }
        if (at.isValid() && !model->row(at.row()).dirty)
            reload(model->row(at.row()).id, at.column());
    });
}

bool NormsWindow::saveRow(int r, bool leavingRow)
{
    const NormModel::Row row = model->row(r);
    if (!row.dirty)
        return true;
    bool negative = false;
    for (const QVariant &v : row.values)
        negative = negative || (!v.isNull() && v.toDouble() < 0);
    if (negative || row.values[NormModel::Price].isNull()) {
        if (!leavingRow)
            return false; // still being typed
        ui::showError(negative
                          ? QStringLiteral("Норматив, цена и премия не могут быть отрицательными.")
                          : QStringLiteral("У нормы должна быть цена."),
                      QStringLiteral("Ошибка"));
        return false;
    }
    // A price past its limit is refused; an unusual one is asked about.
    const shop::limits::Verdict price =
        shop::limits::price(QStringLiteral("Цена"), row.values[NormModel::Price].toDouble());
    if (!price.fine()) {
        if (!leavingRow)
            return false; // still being typed
        if (price.kind == shop::limits::Verdict::Refuse) {
            ui::showError(price.sentence, QStringLiteral("Ошибка"));
            return false;
        }
        if (!ui::askYesNo(price.sentence, QStringLiteral("Проверка")))
            return false;
    }
    // The statement hands back the row's key and version, so the grid goes on with them.
    db::Dataset cmd;
    if (row.id == 0) {
        // A new row belongs to the operation whose norms are shown.
        cmd.setSql(QStringLiteral(R"(
            insert into accounts_dep.norm (o_id, norma, price, prize)
            values (:o_id, :norma, :price, :prize)
            returning id, xmin::text as row_ver)"));
        cmd.setParam(QStringLiteral("o_id"), operationId);
    } else {
        cmd.setSql(QStringLiteral(R"(
            update accounts_dep.norm
            set norma=:norma, price=:price, prize=:prize
            where id=:id
              and xmin=:row_ver::xid
            returning id, xmin::text as row_ver)"));
        cmd.setParam(QStringLiteral("id"), row.id);
        cmd.setParam(QStringLiteral("row_ver"), row.version);
    }
    for (int c = 0; c < 3; ++c)
        cmd.setParam(QLatin1String(fields[c]), row.values[c]);
    cmd.open();
    if (cmd.isEmpty())
        throw db::RowChanged(); // changed or deleted by another user since it was read
    model->markSaved(r, cmd.asInteger(QStringLiteral("id")),
                     cmd.asString(QStringLiteral("row_ver")));
    return true;
}

void NormsWindow::saveClick()
{
    normsGrid->commitEditing();
    const QModelIndex current = normsGrid->currentIndex();
    if (current.isValid() && model->row(current.row()).dirty) {
        try {
            if (!saveRow(current.row(), true))
                return;
        } catch (const db::RowChanged &) {
            reload(model->row(current.row()).id, current.column());
            throw;
        }
    }
    db::Dataset *oper = dataModule->Oper;
    const int rec = oper->recNo();
    oper->reopen();
    if (!oper->isEmpty())
        oper->setRecNo(rec);
    accept();
}

void NormsWindow::deleteClick()
{
    normsGrid->commitEditing();
    const QModelIndex current = normsGrid->currentIndex();
    const int column = current.isValid() ? current.column() : 0;
    if (!current.isValid() || model->isNewRow(current.row())) {
        reload(0, column); // what was typed into the new row goes
        return;
    }
    // The operation keeps its last norm: the count is taken by the delete itself.
    db::Command del(QStringLiteral(R"(
        delete from accounts_dep.norm
        where id=:id
          and (select count(*) from accounts_dep.norm where o_id=:o_id)>1)"));
    del.setParam(QStringLiteral("id"), model->row(current.row()).id);
    del.setParam(QStringLiteral("o_id"), operationId);
    del.execute();
    const int next = current.row() + 1 < model->storedRows() ? model->row(current.row() + 1).id
                     : current.row() > 0                     ? model->row(current.row() - 1).id
                                                             : model->row(current.row()).id;
    reload(next, column);
}
