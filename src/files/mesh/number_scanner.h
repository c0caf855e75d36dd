#pragma once

#include <cstdint>
#include <string>

namespace kel {

enum class NumberScan { Ok, Malformed, OutOfRange, NotFinite };

// Scans a number that starts at p, moving p past what it read; the caller checks that
// the token ends there. Reals become the double nearest their text (from_chars, which
// ignores the locale). A leading '+' is taken, as files written by C's printf("%+g") and
// by many exporters have it. NaN and infinity are NotFinite; values a double cannot hold
// (1e999, 1e-999) are OutOfRange. On failure p and value are left alone.
NumberScan scanReal(const char*& p, const char* end, double& value);
// A decimal integer that fits in 64 bits.
NumberScan scanInteger(const char*& p, const char* end, std::int64_t& value);

// "a real number", with why a token was refused when it was: for failure messages.
std::string numberProblem(NumberScan scan, const std::string& shownToken);

}  // namespace kel
