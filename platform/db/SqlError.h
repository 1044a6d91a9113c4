#pragma once

#include <QString>
#include <stdexcept>

namespace db {

// A statement the server refused, or any other failure of the database layer.
// Thrown from the statement that failed; the application shows it and the running
// handler ends there.
class SqlError : public std::runtime_error {
public:
    explicit SqlError(const QString &text, const QString &sqlState = QString())
        : std::runtime_error(text.toStdString()), text_(text), sqlState_(sqlState)
    {
    }
    const QString &text() const { return text_; }
    const QString &sqlState() const { return sqlState_; }

private:
    QString text_;
    QString sqlState_;
};

// A statement aimed at one row by its id (and, for an editor, by the version the row had
// when it was read) changed no row: another user deleted or changed it meanwhile.
// Never a success: the caller re-reads its list and the user is told.
class RowChanged : public SqlError {
public:
    RowChanged()
        : SqlError(QStringLiteral("Запись удалена или изменена другим пользователем.\n"
                                  "Данные перечитаны, повторите действие."))
    {
    }
};

} // namespace db
