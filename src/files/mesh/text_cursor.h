#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "files/mesh/number_scanner.h"

namespace kel {

// Walks a line-oriented text held in memory without copying it: blanks within a line,
// tokens, numbers, line ends, and the line number for messages. With continuation on, a
// backslash at the end of a line joins the next line to it (Wavefront OBJ).
class TextCursor {
public:
    TextCursor(std::string_view text, std::string file, bool continuation);

    // Skips blanks (and joined line ends) up to the next token or line end.
    void skipBlanks() {
        while (p_ != end_ && isBlank(*p_)) {
            ++p_;
        }
        if (p_ != end_ && *p_ == '\\' && continuation_) {
            skipJoinedBlanks();
        }
    }
    bool atEnd() const { return p_ == end_; }
    // At the end of the text or of the line, after skipBlanks.
    bool atLineEnd() const { return p_ == end_ || *p_ == '\n'; }
    char peek() const { return p_ == end_ ? '\n' : *p_; }
    // Moves past the next line end; comments and the rest of a statement are skipped so.
    void skipLine() {
        if (p_ != end_ && *p_ == '\n') {  // the usual case: a statement read to its end
            ++p_;
            ++line_;
            return;
        }
        skipRestOfLine();
    }
    // Skipping within a comment: a backslash at its end joins nothing.
    void skipComment();
    // Skips blank lines and '#' comments up to the next token, across line ends.
    void skipToToken() {
        skipBlanks();
        if (p_ != end_ && *p_ != '\n' && *p_ != '#') {
            return;  // the usual case: the next token is on this line
        }
        skipToTokenOnLaterLine();
    }
    // The run of non-blank bytes at the cursor (empty at a line end), moving past it.
    std::string_view token() {
        const std::string_view t = peekToken();
        p_ += t.size();
        return t;
    }
    // The token at the cursor, without moving.
    std::string_view peekToken() const {
        const char* q = p_;
        while (!endsToken(q)) {
            ++q;
        }
        return {p_, static_cast<std::size_t>(q - p_)};
    }

    // The token at the cursor when it is 1 to 9 decimal digits and nothing else: its
    // value and where it ends, without moving; nullptr for any other token. The usual
    // index or count of a mesh file, read without the sign and overflow checks of integer.
    const char* plainDigits(std::uint32_t& value) const {
        const char* p = p_;
        if (p == end_ || *p < '0' || *p > '9') {
            return nullptr;
        }
        std::int64_t parsed = 0;
        for (int digits = 0; p != end_ && *p >= '0' && *p <= '9' && digits < 9; ++p, ++digits) {
            parsed = parsed * 10 + (*p - '0');
        }
        if (!endsToken(p)) {
            return nullptr;
        }
        value = static_cast<std::uint32_t>(parsed);
        return p;
    }

    // A real or integer that must make up the whole token. On failure, message() says
    // what was expected and found.
    bool real(double& value, const char* what) { return wholeToken(scanReal, value, what); }
    bool integer(std::int64_t& value, std::string_view what);
    // A count from 0 to max, as above.
    bool count(std::uint64_t& value, std::uint64_t max, std::string_view what) {
        std::uint32_t plain = 0;
        if (const char* end = plainDigits(plain); end != nullptr && plain <= max) {
            value = plain;
            p_ = end;
            return true;
        }
        return anyCount(value, max, what);
    }

    // Records a failure at the current line; returns false.
    bool fail(const std::string& text);
    const std::string& message() const { return message_; }
    std::size_t line() const { return line_; }
    // For text that starts part-way into a file (the data after a PLY header).
    void setLine(std::size_t line) { line_ = line; }
    std::size_t remaining() const { return static_cast<std::size_t>(end_ - p_); }
    const char* position() const { return p_; }
    const char* end() const { return end_; }
    // Whether a token that starts at the cursor ends at p.
    bool endsTokenAt(const char* p) const { return endsToken(p); }
    // Moves to p, which must lie within the token at the cursor or at its end.
    void moveWithinToken(const char* p) { p_ = p; }

private:
    static bool isBlank(char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
    }
    bool isJoin() const;
    void skipRestOfLine();
    void skipToTokenOnLaterLine();
    bool anyCount(std::uint64_t& value, std::uint64_t max, std::string_view what);
    void skipJoinedBlanks();
    bool endsToken(const char* p) const {
        return p == end_ || isBlank(*p) || *p == '\n' || (*p == '\\' && continuation_);
    }
    bool failNumber(NumberScan scan, std::string_view what);
    // A number the scanner reads, which must make up the whole token. What names it only in
    // a complaint, so a C string is measured only then.
    template <class Number, class What>
    bool wholeToken(NumberScan (*scan)(const char*&, const char*, Number&), Number& value,
                    What what) {
        const char* q = p_;
        const NumberScan scanned = scan(q, end_, value);
        if (scanned != NumberScan::Ok || !endsToken(q)) {
            return failNumber(scanned == NumberScan::Ok ? NumberScan::Malformed : scanned, what);
        }
        p_ = q;
        return true;
    }

    const char* p_;
    const char* end_;
    std::string file_;
    std::size_t line_ = 1;
    bool continuation_;
    std::string message_;
};

}  // namespace kel
