#include "files/number_parsing.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <system_error>

namespace kel {

namespace {

// Drops one leading '+', unless a second sign follows it.
std::string_view withoutPlus(std::string_view token) {
    if (token.size() > 1 && token[0] == '+' && token[1] != '-' && token[1] != '+') {
        token.remove_prefix(1);
    }
    return token;
}

// The common short forms ("-12", "0.5") without a library call, when they make up the
// whole token. False (nothing set) for anything else.
bool parseShortReal(std::string_view token, double& value) {
    const char* p = token.data();
    const char* const end = p + token.size();
    double parsed = 0.0;
    if (!scanShortDecimal(p, end, parsed) || p != end) {
        return false;
    }
    value = parsed;
    return true;
}

// Up to 9 digits with an optional minus: cannot overflow 32 bits.
bool parseShortInt(std::string_view token, std::int32_t& value) {
    const bool negative = !token.empty() && token[0] == '-';
    const std::size_t start = negative ? 1 : 0;
    if (token.size() <= start || token.size() - start > 9) {
        return false;
    }
    std::int32_t magnitude = 0;
    for (std::size_t i = start; i < token.size(); ++i) {
        const char c = token[i];
        if (c < '0' || c > '9') {
            return false;
        }
        magnitude = magnitude * 10 + (c - '0');
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

}  // namespace

bool parseInt(std::string_view token, std::int32_t& value) {
    if (parseShortInt(token, value)) {
        return true;
    }
    token = withoutPlus(token);
    std::int32_t parsed = 0;
    const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), parsed);
    if (ec != std::errc() || end != token.data() + token.size() || token.empty()) {
        return false;
    }
    value = parsed;
    return true;
}

bool parseUnsigned(std::string_view token, std::uint32_t max, std::uint32_t& value) {
    std::int32_t small = 0;
    if (!token.empty() && token[0] != '-' && parseShortInt(token, small)) {
        if (static_cast<std::uint32_t>(small) > max) {
            return false;
        }
        value = static_cast<std::uint32_t>(small);
        return true;
    }
    token = withoutPlus(token);
    std::uint32_t parsed = 0;
    const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), parsed);
    if (ec != std::errc() || end != token.data() + token.size() || token.empty() || parsed > max) {
        return false;
    }
    value = parsed;
    return true;
}

RealParse parseReal(std::string_view token, double& value) {
    if (parseShortReal(token, value)) {
        return RealParse::Ok;
    }
    token = withoutPlus(token);
    double parsed = 0.0;
    const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), parsed,
                                           std::chars_format::general);
    if (token.empty() || end != token.data() + token.size()) {
        return RealParse::NotANumber;
    }
    if (ec == std::errc::result_out_of_range) {
        return RealParse::OutOfRange;
    }
    if (ec != std::errc()) {
        return RealParse::NotANumber;
    }
    if (!std::isfinite(parsed)) {
        return RealParse::NotFinite;
    }
    value = parsed;
    return RealParse::Ok;
}

}  // namespace kel
