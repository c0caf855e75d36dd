#include "files/mesh/text_cursor.h"

#include <cstring>

#include "files/mesh/mesh_failure.h"

namespace kel {

TextCursor::TextCursor(std::string_view text, std::string file, bool continuation)
    : p_(text.data()),
      end_(text.data() + text.size()),
      file_(std::move(file)),
      continuation_(continuation) {}

bool TextCursor::isJoin() const {
    if (!continuation_ || *p_ != '\\') {
        return false;
    }
    const char* q = p_ + 1;
    while (q != end_ && *q == '\r') {
        ++q;
    }
    return q != end_ && *q == '\n';
}

void TextCursor::skipJoinedBlanks() {
    while (p_ != end_) {
        if (isBlank(*p_)) {
            ++p_;
        } else if (isJoin()) {
            p_ = static_cast<const char*>(std::memchr(p_, '\n', remaining())) + 1;
            ++line_;
        } else {
            return;
        }
    }
}

void TextCursor::skipComment() {
    const void* newline = std::memchr(p_, '\n', remaining());
    p_ = newline == nullptr ? end_ : static_cast<const char*>(newline) + 1;
    if (newline != nullptr) {
        ++line_;
    }
}

void TextCursor::skipRestOfLine() {
    while (p_ != end_) {
        const void* found = std::memchr(p_, '\n', remaining());
        if (found == nullptr) {
            p_ = end_;
            return;
        }
        const char* newline = static_cast<const char*>(found);
        const char* before = newline;
        while (before != p_ && before[-1] == '\r') {
            --before;
        }
        const bool joined = continuation_ && before != p_ && before[-1] == '\\';
        p_ = newline + 1;
        ++line_;
        if (!joined) {
            return;
        }
    }
}

void TextCursor::skipToTokenOnLaterLine() {
    for (;;) {
        skipBlanks();
        if (p_ == end_) {
            return;
        }
        if (*p_ == '#') {
            skipComment();
        } else if (*p_ == '\n') {
            ++p_;
            ++line_;
        } else {
            return;
        }
    }
}

bool TextCursor::fail(const std::string& text) {
    if (message_.empty()) {
        message_ = lineFailure(file_, line_, text);
    }
    return false;
}

bool TextCursor::failNumber(NumberScan scan, std::string_view what) {
    const std::string_view t = peekToken();
    if (t.empty()) {
        return fail("expected " + std::string(what) + ", found the end of the " +
                    (p_ == end_ ? "file" : "line"));
    }
    return fail("expected " + std::string(what) + ", " + numberProblem(scan, quotedToken(t)));
}

bool TextCursor::integer(std::int64_t& value, std::string_view what) {
    return wholeToken(scanInteger, value, what);
}

bool TextCursor::anyCount(std::uint64_t& value, std::uint64_t max, std::string_view what) {
    std::int64_t parsed = 0;
    if (!integer(parsed, what)) {
        return false;
    }
    if (parsed < 0 || static_cast<std::uint64_t>(parsed) > max) {
        return fail("expected " + std::string(what) + " (0 to " + std::to_string(max) +
                    "), found " + std::to_string(parsed));
    }
    value = static_cast<std::uint64_t>(parsed);
    return true;
}

}  // namespace kel
