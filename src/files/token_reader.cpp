#include "files/token_reader.h"

#include <algorithm>

namespace kel {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Every blank is at most ' ': most characters of a file are decided by one comparison.
bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ' &&
           (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f');
}

}  // namespace

TokenReader::TokenReader(std::string text) : text_(std::move(text)) {
    if (std::string_view(text_).substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        pos_ = kByteOrderMark.size();
        tokenStart_ = pos_;
    }
}

std::optional<std::string_view> TokenReader::next() {
    const char* const data = text_.data();
    const std::size_t size = text_.size();
    std::size_t at = pos_;
    while (at < size && isBlank(data[at])) {
        ++at;
    }
    if (at == size) {
        pos_ = at;
        return std::nullopt;
    }
    tokenStart_ = at;
    while (at < size && !isBlank(data[at])) {
        ++at;
    }
    pos_ = at;
    return std::string_view(data + tokenStart_, at - tokenStart_);
}

int TokenReader::line() const {
    const auto breaks =
        std::count(text_.begin(), text_.begin() + static_cast<long>(tokenStart_), '\n');
    return static_cast<int>(breaks) + 1;
}

}  // namespace kel
