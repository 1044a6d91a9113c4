#pragma once

#include <QString>
#include <stdexcept>

namespace db {

// A statement the server refused, or any other failure of the database layer.
// Thrown from the statement that failed; the application shows it and the running
// handler ends there. text() is what the user reads; details() is the server's own
// text when text() puts it in other words.
class SqlError : public std::runtime_error {
public:
    explicit SqlError(const QString &text, const QString &sqlState = QString(),
                      const QString &details = QString())
        : std::runtime_error(text.toStdString()), text_(text), sqlState_(sqlState),
          details_(details)
    {
    }
    const QString &text() const { return text_; }
    const QString &sqlState() const { return sqlState_; }
    const QString &details() const { return details_; }

private:
    QString text_;
    QString sqlState_;
    QString details_;
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

// The connection to the server is gone (server stopped or restarted, backend ended,
// network down). The statement was not carried out as far as the program knows; the
// next statement connects again. The server's text is kept as the details.
class ConnectionLost : public SqlError {
public:
    explicit ConnectionLost(const QString &serverText, const QString &sqlState = QString())
        : SqlError(QStringLiteral("Нет связи с сервером базы данных. Действие не выполнено.\n"
                                  "Программа подключится снова при следующем действии."),
                   sqlState, serverText)
    {
    }

protected:
    ConnectionLost(const QString &sentence, const QString &serverText, const QString &sqlState)
        : SqlError(sentence, sqlState, serverText)
    {
    }
};

// The connection broke while a transaction was being committed: the server may have
// stored the work or not, so the user is asked to look.
class ConnectionLostAtCommit : public ConnectionLost {
public:
    ConnectionLostAtCommit(const QString &serverText, const QString &sqlState)
        : ConnectionLost(QStringLiteral("Связь с сервером базы данных прервалась при записи: "
                                        "данные могли не сохраниться.\n"
                                        "Проверьте их, когда связь восстановится."),
                         serverText, sqlState)
    {
    }
};

} // namespace db
