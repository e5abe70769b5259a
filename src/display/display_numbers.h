#pragma once

#include <QString>

#include <optional>

namespace kinetra {

// A number read back from a display text. Display texts always carry a comma as the decimal
// separator ("1,23"), so the comma is taken as such whatever the system's locale; a point is
// accepted too. Blanks around the number are ignored. None for anything else, and for
// infinities and NaN.
std::optional<double> displayNumber(const QString& text);

// A whole number in decimal text, within 64 bits; none for anything else.
std::optional<qint64> wholeNumber(const QString& text);

// The number formed by the digits of a text, other characters dropped ("x2" gives 2); none when
// the text has no digit.
std::optional<double> digitsNumber(const QString& text);

} // namespace kinetra
