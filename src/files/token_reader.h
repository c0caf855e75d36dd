#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kel {

// Splits a text held in memory into runs of non-blank characters. It keeps only the
// position of the last token; the line a complaint names is counted when it is asked for,
// so reading a well-formed file pays nothing for messages it never shows. A leading UTF-8
// byte-order mark is skipped.
class TokenReader {
public:
    TokenReader() = default;
    explicit TokenReader(std::string text);

    // The next token, or nothing at the end of the text. The view stays valid as long as
    // this reader lives.
    std::optional<std::string_view> next();
    // Line (from 1) of the token last returned (1 before the first); at the end of the
    // text, the line of the last token.
    int line() const;
    // Size of the whole text.
    std::size_t size() const { return text_.size(); }

private:
    std::string text_;
    std::size_t pos_ = 0;
    std::size_t tokenStart_ = 0;
};

}  // namespace kel
