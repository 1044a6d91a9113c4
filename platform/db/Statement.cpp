#include "Statement.h"

#include "Connection.h"
#include "SqlError.h"
#include "Transaction.h"

#include <QRegularExpression>
#include <QSqlError>

namespace db {

namespace {

// The :name placeholders of a statement, skipping quoted text and ::type casts.
QStringList placeholders(const QString &sql)
{
    QStringList names;
    QChar quote;
    for (int i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            continue;
        }
        if (c != QLatin1Char(':'))
            continue;
        if (i + 1 < sql.size() && sql[i + 1] == QLatin1Char(':')) {
            ++i; // a cast
            continue;
        }
        int j = i + 1;
        while (j < sql.size() && (sql[j].isLetterOrNumber() || sql[j] == QLatin1Char('_')))
            ++j;
        if (j > i + 1 && !sql[i + 1].isDigit())
            names << sql.mid(i + 1, j - i - 1);
        i = j - 1;
    }
    return names;
}

bool run(QSqlQuery &q, const QString &sql, const QStringList &names,
         const QHash<QString, QVariant> &params)
{
    if (names.isEmpty())
        return q.exec(sql);
    if (!q.prepare(sql))
        return false;
    for (const QString &n : names) {
        // A parameter never set is sent as null, as an unset parameter always was.
        q.bindValue(QLatin1Char(':') + n, params.value(n.toLower()));
    }
    return q.exec();
}

// The server's client library ends text at a NUL character: a value holding one would be
// stored cut short, a statement cut off. Such text is refused before it is sent.
void refuseNul(const QString &sql, const QHash<QString, QVariant> &params)
{
    bool found = sql.contains(QChar(0));
    for (auto it = params.cbegin(); !found && it != params.cend(); ++it)
        found =
            it.value().typeId() == QMetaType::QString && it.value().toString().contains(QChar(0));
    if (found)
        throw SqlError(QStringLiteral("Текст содержит недопустимый символ (NUL). "
                                      "Уберите его и повторите."));
}

// A statement that only reads: a select, or a select after "with" whose parts change
// nothing (any insert, update or delete named in it counts as a change).
bool isSelect(const QString &sql)
{
    const QString text = sql.trimmed();
    if (text.startsWith(QLatin1String("select"), Qt::CaseInsensitive))
        return true;
    static const QRegularExpression writes(QStringLiteral("\\b(insert|update|delete)\\b"),
                                           QRegularExpression::CaseInsensitiveOption);
    return text.startsWith(QLatin1String("with"), Qt::CaseInsensitive) && !text.contains(writes);
}

} // namespace

QSqlQuery exec(const QString &sql, const QHash<QString, QVariant> &params, Kind kind)
{
    refuseNul(sql, params);
    const bool retry = kind == Kind::Read && isSelect(sql) && !inTransaction();
    if (inTransaction() && isLost())
        throw ConnectionLost(QStringLiteral("connection lost during the transaction"));
    const int before = session();
    ensureConnected();
    // Inside a transaction a statement never runs on a session opened after it began.
    if (inTransaction() && session() != before)
        throw ConnectionLost(QStringLiteral("connection lost during the transaction"));
    const QStringList names = placeholders(sql);
    for (int attempt = 0;; ++attempt) {
        QSqlQuery q(connection());
        if (run(q, sql, names, params))
            return q;
        const QSqlError e = q.lastError();
        if (!isConnectionLoss(e))
            throw errorOf(e);
        markLost();
        const SqlError failed = errorOf(e);
        if (!retry || attempt > 0)
            throw ConnectionLost(failed.text(), failed.sqlState());
        ensureConnected();
    }
}

} // namespace db
