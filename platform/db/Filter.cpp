#include "Filter.h"

#include "SqlError.h"
#include "SqlText.h"
#include "Values.h"

#include <cstring>

namespace db {

QVector<FilterCondition> parseFilter(const QString &t,
                                     const std::function<int(const QString &)> &fieldIndex)
{
    QVector<FilterCondition> conditions;
    int i = 0;
    auto skipSpaces = [&] {
        while (i < t.size() && t[i].isSpace())
            ++i;
    };
    auto bad = [&] { return SqlError(QStringLiteral("Неверное выражение фильтра: %1").arg(t)); };
    skipSpaces();
    if (i >= t.size())
        return conditions;
    for (;;) {
        skipSpaces();
        int s = i;
        while (i < t.size() && (t[i].isLetterOrNumber() || t[i] == QLatin1Char('_')))
            ++i;
        if (s == i)
            throw bad();
        FilterCondition c;
        c.field = fieldIndex(t.mid(s, i - s));
        skipSpaces();
        if (t.mid(i, 4).compare(QLatin1String("like"), Qt::CaseInsensitive) == 0) {
            c.op = QStringLiteral("like");
            i += 4;
        } else {
            static const char *const ops[] = {"<>", "!=", "<=", ">=", "=", "<", ">"};
            for (const char *op : ops) {
                if (t.mid(i, int(strlen(op))) == QLatin1String(op)) {
                    c.op = QLatin1String(op);
                    i += int(strlen(op));
                    break;
                }
            }
            if (c.op == QLatin1String("!="))
                c.op = QStringLiteral("<>");
        }
        if (c.op.isEmpty())
            throw bad();
        skipSpaces();
        // A quoted text with doubled quotes inside.
        auto quoted = [&] {
            QString text;
            ++i;
            for (;;) {
                if (i >= t.size())
                    throw bad();
                if (t[i] == QLatin1Char('\'')) {
                    if (i + 1 < t.size() && t[i + 1] == QLatin1Char('\'')) {
                        text += QLatin1Char('\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                text += t[i++];
            }
            return text;
        };
        if (i < t.size() && t[i] == QLatin1Char('\'')) {
            c.value = quoted();
            skipSpaces();
            if (c.op == QLatin1String("like") &&
                t.mid(i, 6).compare(QLatin1String("escape"), Qt::CaseInsensitive) == 0) {
                i += 6;
                skipSpaces();
                if (i >= t.size() || t[i] != QLatin1Char('\''))
                    throw bad();
                const QString e = quoted();
                if (e.size() != 1)
                    throw bad();
                c.escape = e[0];
            }
        } else {
            s = i;
            while (i < t.size() && !t[i].isSpace())
                ++i;
            bool ok = false;
            const double d = t.mid(s, i - s).toDouble(&ok);
            if (!ok)
                throw bad();
            c.value = d;
        }
        conditions.append(c);
        skipSpaces();
        if (i >= t.size())
            break;
        if (t.mid(i, 3).compare(QLatin1String("and"), Qt::CaseInsensitive) != 0)
            throw bad();
        i += 3;
    }
    return conditions;
}

bool matches(const QVector<QVariant> &row, const QVector<FilterCondition> &conditions)
{
    for (const FilterCondition &c : conditions) {
        const QVariant &v = row[c.field];
        if (c.op == QLatin1String("like")) {
            if (v.isNull() || !likeMatch(displayText(v), c.value.toString(), c.escape))
                return false;
            continue;
        }
        if (v.isNull())
            return false;
        int cmp;
        if (c.value.typeId() == QMetaType::Double) {
            bool ok = false;
            const double d = isNumber(v) ? v.toDouble() : v.toString().trimmed().toDouble(&ok);
            if (!isNumber(v) && !ok)
                return false;
            cmp = d < c.value.toDouble() ? -1 : (d > c.value.toDouble() ? 1 : 0);
        } else {
            cmp = QString::compare(displayText(v), c.value.toString(), Qt::CaseInsensitive);
        }
        const bool ok =
            (c.op == QLatin1String("=") && cmp == 0) || (c.op == QLatin1String("<>") && cmp != 0) ||
            (c.op == QLatin1String("<") && cmp < 0) || (c.op == QLatin1String(">") && cmp > 0) ||
            (c.op == QLatin1String("<=") && cmp <= 0) || (c.op == QLatin1String(">=") && cmp >= 0);
        if (!ok)
            return false;
    }
    return true;
}

} // namespace db
