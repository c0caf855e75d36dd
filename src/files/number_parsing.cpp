#include "files/number_parsing.h"

#include <charconv>
#include <cmath>
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

}  // namespace

bool parseInt(std::string_view token, std::int32_t& value) {
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
