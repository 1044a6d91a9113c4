#pragma once

#include <QString>

// Prices and amounts of shift entries.
namespace price {

// Rounded to 4 decimal places, a tie going to the even neighbour.
double round4(double value);
// The shortest decimal text of a value (at most 15 significant digits, no grouping, no
// trailing zeros) with the decimal separator of the user's regional settings.
QString text(double value);
// The same text with a point, as the server reads numbers.
QString sqlText(double value);

} // namespace price
