#include "Figures.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace figures {

QString number(double value, int minDecimals, int maxDecimals, bool grouped)
{
    if (!std::isfinite(value))
        return QString();
    maxDecimals = std::clamp(maxDecimals, 0, 9);
    minDecimals = std::clamp(minDecimals, 0, maxDecimals);
    // Halves away from zero, as accountants round: 2.675 (2.67499… as a double) gives 2.68.
    const double scale = std::pow(10.0, maxDecimals);
    double rounded = std::round(value * scale * (1 + 1e-12)) / scale;
    if (rounded == 0)
        rounded = 0; // no "-0,00"
    QString text = QString::number(std::fabs(rounded), 'f', maxDecimals);
    int point = int(text.indexOf(QLatin1Char('.')));
    if (point >= 0) {
        int end = int(text.size());
        while (end > point + 1 + minDecimals && text[end - 1] == QLatin1Char('0'))
            --end;
        if (end == point + 1)
            end = point; // no decimals left: no comma either
        text.truncate(end);
        if (end > point)
            text[point] = kDecimal;
    } else {
        point = int(text.size());
    }
    if (grouped)
        for (int at = point - 3; at > 0; at -= 3)
            text.insert(at, kThousands);
    if (rounded < 0)
        text.prepend(QLatin1Char('-'));
    return text;
}

std::optional<double> toNumber(const QVariant &value)
{
    if (value.isNull())
        return std::nullopt;
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return value.toDouble();
    default:
        break;
    }
    QString text = value.toString().trimmed();
    text.remove(kThousands);
    text.remove(QChar(0x202F));
    text.remove(QLatin1Char(' '));
    text.replace(kDecimal, QLatin1Char('.'));
    bool ok = false;
    const double d = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(d))
        return std::nullopt;
    return d;
}

QString money(double value)
{
    return number(value, 2, 2);
}

QString money(const QVariant &value)
{
    const auto d = toNumber(value);
    return d ? money(*d) : QString();
}

QString quantity(double value)
{
    return number(value, 0, 2);
}

QString quantity(const QVariant &value)
{
    const auto d = toNumber(value);
    return d ? quantity(*d) : QString();
}

} // namespace figures
