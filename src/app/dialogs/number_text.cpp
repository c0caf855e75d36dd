#include "app/dialogs/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>
#include <system_error>

namespace kel {

namespace {

// The trimmed text as UTF-8 with one leading '+' removed, when a digit or '.' follows it.
// std::from_chars does not take a '+' sign, and it must not meet "+-1" either.
std::string numberBody(const QString& text) {
    std::string body = text.trimmed().toStdString();
    if (body.size() > 1 && body[0] == '+' && body[1] != '-' && body[1] != '+') {
        body.erase(0, 1);
    }
    return body;
}

// Whether a decimal number that a double cannot hold is too large (rather than too small):
// its decimal exponent, counted from the first significant digit, is positive. Only called
// for texts that from_chars found well-formed but out of range.
bool isTooLarge(std::string_view body) {
    std::size_t at = body.empty() || (body[0] != '-' && body[0] != '+') ? 0 : 1;
    long long leading = 0;  // digits before the point, from the first significant one
    long long zerosAfterPoint = 0;
    bool significant = false;
    bool afterPoint = false;
    for (; at < body.size() && body[at] != 'e' && body[at] != 'E'; ++at) {
        const char c = body[at];
        if (c == '.') {
            afterPoint = true;
        } else if (!significant && c == '0') {
            zerosAfterPoint += afterPoint ? 1 : 0;
        } else {
            significant = true;
            if (!afterPoint) {
                ++leading;
            }
        }
    }
    long long exponent = 0;
    if (at < body.size()) {
        ++at;
        const bool negative = at < body.size() && body[at] == '-';
        at += at < body.size() && (body[at] == '-' || body[at] == '+') ? 1 : 0;
        constexpr long long kSaturated = 1LL << 40;
        for (; at < body.size(); ++at) {
            exponent = std::min(kSaturated, exponent * 10 + (body[at] - '0'));
        }
        exponent = negative ? -exponent : exponent;
    }
    const long long scale = leading > 0 ? leading : -zerosAfterPoint;
    return exponent + scale > 0;
}

}  // namespace

QString formatReal(double value) {
    return QString::number(value, 'g', 15);
}

QString formatInteger(long long value) {
    return QString::number(value);
}

std::optional<double> parseReal(const QString& text) {
    const std::string body = numberBody(text);
    if (body.empty()) {
        return std::nullopt;
    }
    double value = 0.0;
    const char* const end = body.data() + body.size();
    const auto [stop, error] = std::from_chars(body.data(), end, value);
    if (stop != end) {
        return std::nullopt;
    }
    if (error == std::errc::result_out_of_range) {
        const double sign = body[0] == '-' ? -1.0 : 1.0;
        return sign * (isTooLarge(body) ? std::numeric_limits<double>::infinity() : 0.0);
    }
    if (error != std::errc{} || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<long long> parseInteger(const QString& text) {
    const std::string body = numberBody(text);
    if (body.empty()) {
        return std::nullopt;
    }
    long long value = 0;
    const char* const end = body.data() + body.size();
    const auto [stop, error] = std::from_chars(body.data(), end, value);
    if (stop != end) {
        return std::nullopt;
    }
    if (error == std::errc::result_out_of_range) {
        return body[0] == '-' ? std::numeric_limits<long long>::min()
                              : std::numeric_limits<long long>::max();
    }
    if (error != std::errc{}) {
        return std::nullopt;
    }
    return value;
}

}  // namespace kel
