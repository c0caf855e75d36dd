#pragma once

#include <string>

namespace kel {

// The shortest "%g" text of value that reads back as the same double: 6 significant
// digits when they suffice, more (up to 17) when needed. 0.1 gives "0.1", 1.0 / 3 gives
// "0.3333333333333333". Independent of the process locale.
std::string formatReal(double value);

// Plain "%g" with 6 significant digits, for diagnostics.
std::string formatRealShort(double value);

}  // namespace kel
