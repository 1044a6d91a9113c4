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

} // namespace db
