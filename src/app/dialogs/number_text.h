#pragma once

#include <QString>
#include <optional>

namespace kel {

// Text of a real as the dialogs show it: general notation, up to 15 significant digits.
QString formatReal(double value);
QString formatInteger(long long value);

// A real written in decimal or exponent notation, blanks allowed around it and a leading
// '+' allowed; anything else (trailing characters, nan) is refused. A number too large for
// a double gives an infinity of its sign, one too small a zero of its sign, so that a range
// check can name the range; "inf" itself is refused.
std::optional<double> parseReal(const QString& text);

// A decimal integer with an optional sign, blanks allowed around it. A value beyond the
// range of long long saturates, so that a range check still rejects it by its limits.
std::optional<long long> parseInteger(const QString& text);

}  // namespace kel
