#include "files/token_reader.h"

namespace kel {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

std::optional<std::string_view> TokenReader::next() {
    while (pos_ < text_.size() && isBlank(text_[pos_])) {
        if (text_[pos_] == '\n') {
            ++line_;
        }
        ++pos_;
    }
    if (pos_ == text_.size()) {
        // The end is reported on the line of the last token, not on a blank line after it.
        return std::nullopt;
    }
    tokenLine_ = line_;
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !isBlank(text_[pos_])) {
        ++pos_;
    }
    return std::string_view(text_).substr(start, pos_ - start);
}

}  // namespace kel
