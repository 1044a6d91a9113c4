#include "SqlText.h"

#include <QVector>

namespace db {

QString quote(const QString &text)
{
    QString out = text;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

bool likeMatch(const QString &value, const QString &pattern, QChar escape)
{
    const QString v = value.toUpper();
    const QString p = pattern.toUpper();
    // The pattern as steps: a character to match, or a wildcard ('%' any run, '_' one).
    struct Step {
        QChar c;
        char wild; // '%', '_' or 0
    };
    QVector<Step> steps;
    for (int i = 0; i < p.size(); ++i) {
        if (!escape.isNull() && p[i] == escape.toUpper() && i + 1 < p.size())
            steps.append({p[++i], 0});
        else if (p[i] == QLatin1Char('%') || p[i] == QLatin1Char('_'))
            steps.append({QChar(), char(p[i].unicode())});
        else
            steps.append({p[i], 0});
    }
    // Classic two-row dynamic programme over (pattern, value) positions.
    const int n = v.size();
    QVector<char> prev(n + 1, 0), cur(n + 1, 0);
    prev[0] = 1;
    for (const Step &st : steps) {
        cur.fill(0);
        cur[0] = (st.wild == '%') ? prev[0] : 0;
        for (int j = 1; j <= n; ++j) {
            if (st.wild == '%')
                cur[j] = prev[j] || cur[j - 1];
            else if (st.wild == '_' || st.c == v[j - 1])
                cur[j] = prev[j - 1];
        }
        std::swap(prev, cur);
    }
    return prev[n];
}

QString likeLiteral(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

} // namespace db
