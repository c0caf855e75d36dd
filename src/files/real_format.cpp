#include "files/real_format.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace kel {

namespace {

constexpr int kDefaultPrecision = 6;
constexpr int kMaxPrecision = 17;

std::string formatWithPrecision(double value, int precision) {
    // Enough for 17 significant digits, sign, point and a three-digit exponent.
    char buffer[40];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision);
    if (ec != std::errc()) {
        return "0";
    }
    return std::string(buffer, end);
}

bool readsBackAs(const std::string& text, double value) {
    double parsed = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    return ec == std::errc() && end == text.data() + text.size() && parsed == value;
}

}  // namespace

std::string formatReal(double value) {
    if (!std::isfinite(value)) {
        return formatWithPrecision(value, kDefaultPrecision);
    }
    std::string text;
    for (int precision = kDefaultPrecision; precision <= kMaxPrecision; ++precision) {
        text = formatWithPrecision(value, precision);
        if (readsBackAs(text, value)) {
            break;
        }
    }
    return text;
}

std::string formatRealShort(double value) {
    return formatWithPrecision(value, kDefaultPrecision);
}

}  // namespace kel
