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
        while (!endsToken(at)) {
            ++at;
        }
        pos_ = at;
        return std::string_view(data + tokenStart_, at - tokenStart_);
    }
    // The common case read in one pass: when the next token is a plain decimal integer of
    // at most 9 digits, with or without a minus sign, takes it and returns true. Otherwise
    // takes nothing and returns false, and next() gives the token for a full parse.
    bool nextSmallInt(std::int32_t& value) {
        // The magnitude wraps past 9 digits, which are declined anyway.
        const SignedDigits<std::uint32_t> number = scanSignedDigits<std::uint32_t>();
        const std::size_t count = number.end - number.first;
        if (count == 0 || count > kMaxSmallDigits || !endsToken(number.end)) {
            return false;
        }
        take(number.start, number.end);
        const auto whole = static_cast<std::int32_t>(number.digits);
        value = number.negative ? -whole : whole;
        return true;
    }

    // As nextSmallInt, for a plain decimal of at most 15 digits with an optional minus sign
    // and point ("-0.25", "3", ".5"): the very double a full parse gives.
    bool nextShortReal(double& value) {
        const char* const data = text_.data();
        // The digits wrap past 19, which are declined anyway.
        SignedDigits<std::uint64_t> number = scanSignedDigits<std::uint64_t>();
        std::size_t at = number.end;
        std::size_t count = at - number.first;
        std::size_t fraction = 0;
        if (data[at] == '.') {
            const std::size_t point = at + 1;
            at = scanDigits(point, number.digits);
            fraction = at - point;
            count += fraction;
        }
        if (count == 0 || count > kMaxShortDecimalDigits || !endsToken(at)) {
            return false;
        }
        take(number.start, at);
        value = shortDecimal(number.digits, fraction, number.negative);
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
    static bool isDigit(char c) { return static_cast<unsigned char>(c - '0') < 10; }
    // The scans below stop at the end of the text without testing for it: a string ends
    // in a NUL, which is neither blank nor a digit.
    // The first position from at on that is not blank, or the size of the text.
    std::size_t skipBlanks(std::size_t at) const {
        const char* const data = text_.data();
        while (isBlank(data[at])) {
            ++at;
        }
        return at;
    }
    // The first position from at on that is not a digit; the digits are appended to number.
    template <class Number>
    std::size_t scanDigits(std::size_t at, Number& number) const {
        const char* const data = text_.data();
        while (isDigit(data[at])) {
            number = number * 10 + static_cast<Number>(data[at] - '0');
            ++at;
        }
        return at;
    }
    // The start of the next token, its minus sign if any and the run of digits after it,
    // read without taking the token.
    template <class Number>
    struct SignedDigits {
        std::size_t start;
        bool negative;
        std::size_t first;  // the first digit
        std::size_t end;    // just past the last digit
        Number digits;
    };
    template <class Number>
    SignedDigits<Number> scanSignedDigits() const {
        const std::size_t start = skipBlanks(pos_);
        const bool negative = text_.data()[start] == '-';
        const std::size_t first = start + (negative ? 1 : 0);
        Number digits = 0;
        const std::size_t end = scanDigits(first, digits);
        return {start, negative, first, end, digits};
    }
    // Takes the token from start to end as the one last read.
    void take(std::size_t start, std::size_t end) {
        tokenStart_ = start;
        pos_ = end;
    }
    // Whether a token ending before at ends there: a blank or the end of the text follows.
    bool endsToken(std::size_t at) const { return at == text_.size() || isBlank(text_[at]); }

    static constexpr std::size_t kMaxSmallDigits = 9;  // cannot overflow 32 bits

    std::string text_;
    std::size_t pos_ = 0;
    std::size_t tokenStart_ = 0;
};

}  // namespace kel
