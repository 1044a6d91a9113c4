#pragma once

// Figures as the shop's accountants write them, for every window, printout and history line:
// a decimal comma, a non-breaking space between thousands, money with two decimals,
// quantities and hours without decimals when they are whole.
//
//     figures::money(918906.665)   -> "918 906,67"   (halves away from zero, never "-0,00")
//     figures::quantity(44)        -> "44"
//     figures::quantity(37.5)      -> "37,5"
//     figures::number(0.1234, 3)   -> "0,123"
//
// Numbers may come as numbers or as the text the server sends for a numeric column
// ("1254.000"); a null or empty value gives an empty text.

#include <QString>
#include <QVariant>

#include <optional>

namespace figures {

inline constexpr QChar kThousands(0x00A0); // between groups of three digits
inline constexpr QChar kDecimal(u',');

// Rounded to maxDecimals (halves away from zero), trailing zeros cut down to minDecimals;
// thousands grouped unless grouped is false (years, codes).
QString number(double value, int minDecimals, int maxDecimals, bool grouped = true);
inline QString number(double value, int decimals)
{
    return number(value, decimals, decimals);
}

QString money(double value);
QString money(const QVariant &value);
// Pieces, hours, boxes: whole ones without decimals, otherwise up to two.
QString quantity(double value);
QString quantity(const QVariant &value);

// The value of a number given as a number or as a text with a point or a comma and with
// spaces between thousands; nothing for anything else (null, empty, words).
std::optional<double> toNumber(const QVariant &value);

} // namespace figures
