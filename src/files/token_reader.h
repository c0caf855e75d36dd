#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kel {

// Splits a text held in memory into runs of non-blank characters and remembers the line
// each one starts on, so that a complaint about a token can say where it is.
class TokenReader {
public:
    TokenReader() = default;
    explicit TokenReader(std::string text) : text_(std::move(text)) {}

    // The next token, or nothing at the end of the text. The view stays valid as long as
    // this reader lives.
    std::optional<std::string_view> next();
    // Line (from 1) of the token last returned (1 before the first).
    int line() const { return tokenLine_; }

private:
    std::string text_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int tokenLine_ = 1;
};

}  // namespace kel
