#include "Price.h"

#include <QLocale>
#include <cfenv>
#include <cmath>

namespace price {

double round4(double value)
{
    // nearbyint follows the current rounding mode, which is to-nearest-even by default.
    const int mode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(value * 10000.0) / 10000.0;
    std::fesetround(mode);
    return r == 0.0 ? 0.0 : r; // never "-0"
}

QString sqlText(double value)
{
    return QString::number(value == 0.0 ? 0.0 : value, 'g', 15);
}

QString text(double value)
{
    QString s = sqlText(value);
    s.replace(QLatin1Char('.'), QLocale().decimalPoint());
    return s;
}

} // namespace price
