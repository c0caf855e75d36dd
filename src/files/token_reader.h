#pragma once

#include <array>
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
    std::optional<std::string_view> next() {
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
    // Line (from 1) of the token last returned (1 before the first); at the end of the
    // text, the line of the last token.
    int line() const;
    // Size of the whole text.
    std::size_t size() const { return text_.size(); }

private:
    // One look-up per character: blank, tab, line feed, carriage return, vertical tab, form
    // feed.
    static constexpr auto kBlanks = [] {
        std::array<bool, 256> blanks{};
        for (const unsigned char c : {' ', '\t', '\n', '\r', '\v', '\f'}) {
            blanks[c] = true;
        }
        return blanks;
    }();
    static bool isBlank(char c) { return kBlanks[static_cast<unsigned char>(c)]; }

    std::string text_;
    std::size_t pos_ = 0;
    std::size_t tokenStart_ = 0;
};

}  // namespace kel
