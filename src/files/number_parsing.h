#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kel {

// Whole-token parsers for the scene and object files. Each accepts the token only if all
// of it is the number: "12abc" is not 12. A leading '+' is allowed, as the stream library
// allows it. None of them depends on the process locale.

// A signed 32-bit decimal integer.
[[nodiscard]] bool parseInt(std::string_view token, std::int32_t& value);
// An unsigned decimal number not above max; a minus sign is refused (no wrap-around).
[[nodiscard]] bool parseUnsigned(std::string_view token, std::uint32_t max, std::uint32_t& value);

// A decimal of at most this many digits and no exponent is read exactly by shortDecimal.
inline constexpr std::size_t kMaxShortDecimalDigits = 15;

// The value of the decimal with the given digits (as an integer) and fractionDigits of
// them after the point. With at most 15 digits the integer is below 2^53 and 10^k is a
// double, both held exactly, so the one correctly rounded division gives the correctly
// rounded value: the very double a full parse of the text gives.
inline double shortDecimal(std::uint64_t digits, std::size_t fractionDigits, bool negative) {
    constexpr double kExactPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const double magnitude = static_cast<double>(digits) / kExactPowersOfTen[fractionDigits];
    return negative ? -magnitude : magnitude;
}

// The short decimal at p ("-0.25", "12", ".5"): at most kMaxShortDecimalDigits digits, no
// exponent, and not followed by anything a longer number could go on with (a digit, a
// point, an exponent). Reads it with shortDecimal and moves p past it; false, with nothing
// set, for anything else, which a full parse must then read.
// Inline: the mesh readers call it for every coordinate.
[[nodiscard]] inline bool scanShortDecimal(const char*& p, const char* end, double& value) {
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const char* q = p;
    const bool negative = q != end && *q == '-';
    q += negative ? 1 : 0;
    std::uint64_t mantissa = 0;
    std::size_t digits = 0;
    // One digit past the most is read, to tell a longer number; 16 digits cannot overflow.
    for (; q != end && isDigit(*q) && digits <= kMaxShortDecimalDigits; ++q, ++digits) {
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(*q - '0');
    }
    std::size_t fraction = 0;
    if (q != end && *q == '.') {
        ++q;
        for (; q != end && isDigit(*q) && digits <= kMaxShortDecimalDigits;
             ++q, ++digits, ++fraction) {
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(*q - '0');
        }
    }
    const bool goesOn = q != end && (isDigit(*q) || *q == '.' || *q == 'e' || *q == 'E');
    if (digits == 0 || digits > kMaxShortDecimalDigits || goesOn) {
        return false;
    }
    value = shortDecimal(mantissa, fraction, negative);
    p = q;
    return true;
}

enum class RealParse { Ok, NotANumber, OutOfRange, NotFinite };
// A decimal real (2, -0.5, 1e-3, .5). "inf" and "nan" parse but are NotFinite; a value too
// large or too small for a double is OutOfRange.
[[nodiscard]] RealParse parseReal(std::string_view token, double& value);

}  // namespace kel
