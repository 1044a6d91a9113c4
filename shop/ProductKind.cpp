#include "ProductKind.h"

namespace shop {

QString productKindText(int naimen)
{
    return naimen == 0 ? QStringLiteral("Готовая продукция") : QStringLiteral("Заготовки");
}

QString productKindSql(const QString &column)
{
    return QStringLiteral("(SELECT (CASE %1 WHEN 0 THEN 'Готовая продукция' ELSE 'Заготовки' END))")
        .arg(column);
}

} // namespace shop
