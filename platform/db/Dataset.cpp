#include "Dataset.h"

#include "Connection.h"
#include "SqlError.h"
#include "SqlText.h"
#include "Transaction.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <cmath>
#include <utility>

namespace db {

namespace {

QVariant normalised(const QVariant &v)
{
    if (v.isNull())
        return v;
    switch (v.typeId()) {
    case QMetaType::ULongLong:
    case QMetaType::LongLong:
        return QVariant(v.toLongLong());
    case QMetaType::UInt:
        return QVariant(static_cast<qlonglong>(v.toUInt()));
    default:
        return v;
    }
}

} // namespace

Dataset::Dataset(const QString &name, QObject *parent) : QObject(parent)
{
    setObjectName(name);
}

void Dataset::setSql(const QString &sql)
{
    if (active_)
        close();
    sql_ = sql;
}

void Dataset::setParam(const QString &name, const QVariant &value)
{
    params_.insert(name.toLower(), value);
}

QVariant Dataset::param(const QString &name) const
{
    return params_.value(name.toLower());
}

void Dataset::loadRow(const QSqlQuery &q, QVector<QVariant> &row) const
{
    // Value by value: the record of a row would build its fields' descriptions again for
    // every row.
    row.resize(names_.size());
    for (int i = 0; i < names_.size(); ++i)
        row[i] = normalised(q.value(i));
}

void Dataset::open()
{
    if (active_)
        return;
    load(params_);
}

void Dataset::openLater()
{
    if (active_)
        return;
    pendingParams_ = params_;
    pending_ = true;
    active_ = true;
}

void Dataset::settle()
{
    if (!pending_)
        return;
    const QHash<QString, QVariant> params = std::exchange(pendingParams_, {});
    pending_ = false;
    active_ = false;
    load(params);
}

void Dataset::load(const QHash<QString, QVariant> &params)
{
    QSqlQuery q = exec(sql_, params, Kind::Read);
    const QSqlRecord rec = q.record();
    names_.clear();
    index_.clear();
    for (int i = 0; i < rec.count(); ++i) {
        names_ << rec.fieldName(i);
        if (!index_.contains(rec.fieldName(i).toLower()))
            index_.insert(rec.fieldName(i).toLower(), i);
    }
    rows_.clear();
    if (q.size() > 0)
        rows_.reserve(q.size());
    while (q.next()) {
        QVector<QVariant> row;
        loadRow(q, row);
        rows_.append(std::move(row));
    }
    active_ = true;
    editMode_ = EditMode::None;
    conditionsParsed_ = false;
    applyFilter(false);
}

void Dataset::close()
{
    if (!active_)
        return;
    active_ = false;
    pending_ = false;
    pendingParams_.clear();
    rows_.clear();
    visible_.clear();
    editMode_ = EditMode::None;
    cur_ = -1;
    eof_ = bof_ = true;
    emit changed();
    emit currentChanged();
}

void Dataset::reopen()
{
    close();
    open();
}

void Dataset::setCurrent(int index)
{
    if (visible_.isEmpty()) {
        cur_ = -1;
    } else {
        cur_ = qBound(0, index, int(visible_.size()) - 1);
    }
    emit currentChanged();
}

void Dataset::setRecNo(int recNo)
{
    settled();
    eof_ = bof_ = visible_.isEmpty();
    setCurrent(recNo - 1);
}

void Dataset::first()
{
    settled();
    bof_ = true;
    eof_ = visible_.isEmpty();
    setCurrent(0);
}

void Dataset::last()
{
    settled();
    eof_ = true;
    bof_ = visible_.isEmpty();
    setCurrent(visible_.size() - 1);
}

void Dataset::next()
{
    settled();
    bof_ = visible_.isEmpty();
    if (cur_ + 1 >= visible_.size()) {
        eof_ = true;
        return;
    }
    eof_ = false;
    setCurrent(cur_ + 1);
}

void Dataset::prior()
{
    settled();
    eof_ = visible_.isEmpty();
    if (cur_ <= 0) {
        bof_ = true;
        return;
    }
    bof_ = false;
    setCurrent(cur_ - 1);
}

bool Dataset::locate(const QString &field, const QVariant &value)
{
    settled();
    const int f = fieldIndex(field);
    for (int i = 0; i < visible_.size(); ++i) {
        const QVariant &v = rows_[visible_[i]][f];
        const bool same = (isNumber(v) && isNumber(value)) ? v.toDouble() == value.toDouble()
                                                           : v.toString() == value.toString();
        if (!v.isNull() && same) {
            eof_ = bof_ = false;
            setCurrent(i);
            return true;
        }
    }
    return false;
}

int Dataset::fieldIndex(const QString &name) const
{
    const auto it = index_.constFind(name.toLower());
    if (it == index_.constEnd())
        throw SqlError(QStringLiteral("%1: поле '%2' не найдено").arg(objectName(), name));
    return it.value();
}

bool Dataset::hasField(const QString &name) const
{
    settled();
    return index_.contains(name.toLower());
}

QVariant Dataset::value(const QString &field) const
{
    settled();
    const int f = fieldIndex(field);
    if (editMode_ != EditMode::None)
        return buffer_[f];
    if (cur_ < 0)
        return QVariant();
    return rows_[visible_[cur_]][f];
}

QVariant Dataset::valueAt(int row, const QString &field) const
{
    settled();
    if (row < 0 || row >= visible_.size())
        return QVariant();
    return rows_[visible_[row]][fieldIndex(field)];
}

QString Dataset::asString(const QString &field) const
{
    return displayText(value(field));
}

int Dataset::asInteger(const QString &field) const
{
    const QVariant v = value(field);
    if (v.isNull())
        return 0;
    if (v.typeId() == QMetaType::Double)
        return static_cast<int>(std::lround(v.toDouble()));
    bool ok = false;
    const int i = v.toString().trimmed().toInt(&ok);
    if (!ok && !isNumber(v))
        throw SqlError(QStringLiteral("'%1' не является целым числом").arg(v.toString()));
    return ok ? i : v.toInt();
}

double Dataset::asFloat(const QString &field) const
{
    const QVariant v = value(field);
    return v.isNull() ? 0.0 : v.toDouble();
}

QDate Dataset::asDate(const QString &field) const
{
    const QVariant v = value(field);
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().date();
    if (v.typeId() == QMetaType::QString)
        return QDate::fromString(v.toString().trimmed(), QStringLiteral("dd.MM.yyyy"));
    return v.toDate();
}

// ---- record filter ---------------------------------------------------------

void Dataset::setFilter(const QString &expression)
{
    filterText_ = expression;
    conditionsParsed_ = false;
    // Rows opened for later get the filter as they are read.
    if (active_ && !pending_ && filtered_)
        applyFilter(false);
}

void Dataset::setFiltered(bool on)
{
    if (filtered_ == on)
        return;
    filtered_ = on;
    if (active_ && !pending_)
        applyFilter(false);
}

void Dataset::parseFilter()
{
    conditions_.clear();
    conditionsParsed_ = true;
    conditions_ =
        db::parseFilter(filterText_, [this](const QString &name) { return fieldIndex(name); });
}

void Dataset::applyFilter(bool keepPosition)
{
    const int oldRow = (cur_ >= 0 && cur_ < visible_.size()) ? visible_[cur_] : -1;
    visible_.clear();
    if (filtered_ && !conditionsParsed_) {
        try {
            parseFilter();
        } catch (...) {
            conditions_.clear();
            conditionsParsed_ = false;
            for (int i = 0; i < rows_.size(); ++i)
                visible_.append(i);
            emit changed();
            setCurrent(0);
            throw;
        }
    }
    for (int i = 0; i < rows_.size(); ++i) {
        if (!filtered_ || matches(rows_[i], conditions_))
            visible_.append(i);
    }
    int pos = 0;
    if (keepPosition && oldRow >= 0) {
        const int at = visible_.indexOf(oldRow);
        if (at >= 0)
            pos = at;
    }
    bof_ = true;
    eof_ = visible_.isEmpty();
    emit changed();
    setCurrent(pos);
}

// ---- editing ---------------------------------------------------------------

void Dataset::setUpdateTable(const QString &table, const QString &keyField)
{
    updateTable_ = table;
    keyField_ = keyField;
}

void Dataset::append()
{
    settled();
    if (!active_)
        throw SqlError(QStringLiteral("%1: набор данных закрыт").arg(objectName()));
    editMode_ = EditMode::Insert;
    buffer_ = QVector<QVariant>(names_.size());
    touched_ = QVector<bool>(names_.size(), false);
}

void Dataset::edit()
{
    settled();
    if (!active_ || cur_ < 0)
        throw SqlError(QStringLiteral("%1: нет текущей записи").arg(objectName()));
    if (editMode_ != EditMode::None)
        return;
    editMode_ = EditMode::Edit;
    buffer_ = rows_[visible_[cur_]];
    touched_ = QVector<bool>(names_.size(), false);
}

void Dataset::setValue(const QString &field, const QVariant &value)
{
    if (editMode_ == EditMode::None)
        edit();
    const int f = fieldIndex(field);
    buffer_[f] = value;
    touched_[f] = true;
}

void Dataset::cancel()
{
    editMode_ = EditMode::None;
}

void Dataset::post()
{
    if (editMode_ == EditMode::None)
        return;
    if (updateTable_.isEmpty())
        throw SqlError(QStringLiteral("%1: таблица для изменений не задана").arg(objectName()));
    QStringList cols;
    QHash<QString, QVariant> params;
    for (int i = 0; i < names_.size(); ++i) {
        if (!touched_[i])
            continue;
        cols << names_[i];
        params.insert(QStringLiteral("v%1").arg(i), buffer_[i]);
    }
    QString sql;
    if (editMode_ == EditMode::Insert) {
        if (cols.isEmpty()) {
            sql = QStringLiteral("insert into %1 default values returning *").arg(updateTable_);
        } else {
            QStringList values;
            for (int i = 0; i < names_.size(); ++i)
                if (touched_[i])
                    values << QStringLiteral(":v%1").arg(i);
            sql = QStringLiteral("insert into %1 (%2) values (%3) returning *")
                      .arg(updateTable_, cols.join(QLatin1String(", ")),
                           values.join(QLatin1String(", ")));
        }
    } else {
        if (cols.isEmpty()) {
            editMode_ = EditMode::None;
            return;
        }
        QStringList sets;
        for (int i = 0; i < names_.size(); ++i)
            if (touched_[i])
                sets << QStringLiteral("%1 = :v%2").arg(names_[i]).arg(i);
        const int k = fieldIndex(keyField_);
        params.insert(QStringLiteral("key"), rows_[visible_[cur_]][k]);
        sql = QStringLiteral("update %1 set %2 where %3 = :key returning *")
                  .arg(updateTable_, sets.join(QLatin1String(", ")), keyField_);
    }
    QSqlQuery q = exec(sql, params);
    // Take back what the server stored (keys, defaults) for the columns this result has.
    QVector<QVariant> row = buffer_;
    if (q.next()) {
        const QSqlRecord rec = q.record();
        for (int i = 0; i < names_.size(); ++i) {
            const int at = rec.indexOf(names_[i]);
            if (at >= 0)
                row[i] = normalised(rec.value(at));
        }
    }
    const EditMode mode = editMode_;
    editMode_ = EditMode::None;
    if (mode == EditMode::Insert) {
        rows_.append(row);
        applyFilter(false);
        const int at = visible_.indexOf(rows_.size() - 1);
        setCurrent(at >= 0 ? at : cur_);
    } else {
        rows_[visible_[cur_]] = row;
        applyFilter(true);
    }
}

void Dataset::deleteCurrent()
{
    settled();
    if (updateTable_.isEmpty())
        throw SqlError(QStringLiteral("%1: таблица для изменений не задана").arg(objectName()));
    if (!active_ || cur_ < 0)
        return;
    editMode_ = EditMode::None;
    const int row = visible_[cur_];
    QHash<QString, QVariant> params;
    params.insert(QStringLiteral("key"), rows_[row][fieldIndex(keyField_)]);
    exec(QStringLiteral("delete from %1 where %2 = :key").arg(updateTable_, keyField_), params);
    const int pos = cur_;
    rows_.remove(row);
    applyFilter(false);
    setCurrent(pos);
}

} // namespace db
