#include "SqlText.h"

#include <QVector>

namespace db {

QString quote(const QString &text)
{
    QString out = text;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

bool likeMatch(const QString &value, const QString &pattern)
{
    const QString v = value.toUpper();
    const QString p = pattern.toUpper();
    // Classic two-row dynamic programme over (pattern, value) positions.
    const int n = v.size();
    QVector<char> prev(n + 1, 0), cur(n + 1, 0);
    prev[0] = 1;
    for (int i = 1; i <= p.size(); ++i) {
        const QChar pc = p[i - 1];
        cur.fill(0);
        cur[0] = (pc == QLatin1Char('%')) ? prev[0] : 0;
        for (int j = 1; j <= n; ++j) {
            if (pc == QLatin1Char('%'))
                cur[j] = prev[j] || cur[j - 1];
            else if (pc == QLatin1Char('_') || pc == v[j - 1])
                cur[j] = prev[j - 1];
        }
        std::swap(prev, cur);
    }
    return prev[n];
}

} // namespace db
