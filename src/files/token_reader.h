#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "files/number_parsing.h"

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
        std::size_t at = skipBlanks(pos_);
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
    // The common case read in one pass: when the next token is a plain decimal integer of
    // at most 9 digits, with or without a minus sign, takes it and returns true. Otherwise
    // takes nothing and returns false, and next() gives the token for a full parse.
    bool nextSmallInt(std::int32_t& value) {
        const char* const data = text_.data();
        const std::size_t size = text_.size();
        std::size_t at = skipBlanks(pos_);
        const std::size_t start = at;
        const bool negative = at < size && data[at] == '-';
        at += negative ? 1 : 0;
        const std::size_t digits = at;
        std::int32_t magnitude = 0;
        while (at < size && at - digits < kMaxSmallDigits &&
               static_cast<unsigned char>(data[at] - '0') < 10) {
            magnitude = magnitude * 10 + (data[at] - '0');
            ++at;
        }
        if (at == digits || (at < size && !isBlank(data[at]))) {
            return false;
        }
        tokenStart_ = start;
        pos_ = at;
        value = negative ? -magnitude : magnitude;
        return true;
    }

    // As nextSmallInt, for a plain decimal of at most 15 digits with an optional minus sign
    // and point ("-0.25", "3", ".5"): the very double a full parse gives.
    bool nextShortReal(double& value) {
        const char* const data = text_.data();
        const std::size_t size = text_.size();
        std::size_t at = skipBlanks(pos_);
        const std::size_t start = at;
        const bool negative = at < size && data[at] == '-';
        at += negative ? 1 : 0;
        std::uint64_t digits = 0;
        std::size_t count = 0;
        std::size_t fraction = 0;
        bool point = false;
        for (; at < size && !isBlank(data[at]); ++at) {
            const char c = data[at];
            if (static_cast<unsigned char>(c - '0') < 10 && count < kMaxShortDecimalDigits) {
                digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
                ++count;
                fraction += point ? 1 : 0;
            } else if (c == '.' && !point) {
                point = true;
            } else {
                return false;
            }
        }
        if (count == 0) {
            return false;
        }
        tokenStart_ = start;
        pos_ = at;
        value = shortDecimal(digits, fraction, negative);
        return true;
    }

    // Where the reader is, to come back to it when a fast path declines.
    struct Mark {
        std::size_t pos;
        std::size_t tokenStart;
    };
    Mark mark() const { return {pos_, tokenStart_}; }
    void rewind(const Mark& mark) {
        pos_ = mark.pos;
        tokenStart_ = mark.tokenStart;
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
    // The first position from at on that is not blank, or the size of the text.
    std::size_t skipBlanks(std::size_t at) const {
        const char* const data = text_.data();
        const std::size_t size = text_.size();
        while (at < size && isBlank(data[at])) {
            ++at;
        }
        return at;
    }

    static constexpr std::size_t kMaxSmallDigits = 9;  // cannot overflow 32 bits

    std::string text_;
    std::size_t pos_ = 0;
    std::size_t tokenStart_ = 0;
};

}  // namespace kel
