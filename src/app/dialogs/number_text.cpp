#include "app/dialogs/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
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
    if (error != std::errc{} || stop != end || !std::isfinite(value)) {
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
