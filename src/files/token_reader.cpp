#include "files/token_reader.h"

#include <algorithm>

namespace kel {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

TokenReader::TokenReader(std::string text) : text_(std::move(text)) {
    if (std::string_view(text_).substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        pos_ = kByteOrderMark.size();
        tokenStart_ = pos_;
    }
}

int TokenReader::line() const {
    const auto breaks =
        std::count(text_.begin(), text_.begin() + static_cast<long>(tokenStart_), '\n');
    return static_cast<int>(breaks) + 1;
}

}  // namespace kel
