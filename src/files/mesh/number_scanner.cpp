#include "files/mesh/number_scanner.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "files/number_parsing.h"

namespace kel {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// from_chars takes no '+'; one in front of a digit or a point is part of the number.
const char* afterPlus(const char* p, const char* end) {
    if (end - p >= 2 && p[0] == '+' && (isDigit(p[1]) || p[1] == '.')) {
        return p + 1;
    }
    return p;
}

}  // namespace

NumberScan scanReal(const char*& p, const char* end, double& value) {
    const char* start = afterPlus(p, end);
    // The plain decimals most mesh files are made of, without the library call.
    if (scanShortDecimal(start, end, value)) {
        p = start;
        return NumberScan::Ok;
    }
    double parsed = 0.0;
    const auto [stop, ec] = std::from_chars(start, end, parsed, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        return NumberScan::OutOfRange;
    }
    if (ec != std::errc()) {
        return NumberScan::Malformed;
    }
    if (!std::isfinite(parsed)) {
        return NumberScan::NotFinite;
    }
    p = stop;
    value = parsed;
    return NumberScan::Ok;
}

NumberScan scanInteger(const char*& p, const char* end, std::int64_t& value) {
    // By hand: indices are most of a mesh file, and this is several times from_chars.
    const char* q = p;
    bool negative = false;
    if (q != end && (*q == '-' || *q == '+')) {
        negative = *q == '-';
        ++q;
    }
    const char* digits = q;
    std::uint64_t parsed = 0;
    // 18 digits cannot overflow; only longer runs need the careful check.
    while (q != end && isDigit(*q) && q - digits < 18) {
        parsed = parsed * 10 + static_cast<std::uint64_t>(*q - '0');
        ++q;
    }
    constexpr std::uint64_t kLimit = std::uint64_t{1} << 63;  // |INT64_MIN|
    while (q != end && isDigit(*q)) {
        const auto digit = static_cast<std::uint64_t>(*q - '0');
        if (parsed > (kLimit - digit) / 10) {
            return NumberScan::OutOfRange;
        }
        parsed = parsed * 10 + digit;
        ++q;
    }
    if (q == digits) {
        return NumberScan::Malformed;
    }
    if (!negative && parsed == kLimit) {
        return NumberScan::OutOfRange;
    }
    p = q;
    value = negative ? static_cast<std::int64_t>(0 - parsed) : static_cast<std::int64_t>(parsed);
    return NumberScan::Ok;
}

std::string numberProblem(NumberScan scan, const std::string& shownToken) {
    switch (scan) {
        case NumberScan::OutOfRange:
            return "found " + shownToken + ", which is out of range";
        case NumberScan::NotFinite:
            return "found " + shownToken + ", which is not a finite number";
        case NumberScan::Ok:
        case NumberScan::Malformed:
            break;
    }
    return "found " + shownToken;
}

}  // namespace kel
