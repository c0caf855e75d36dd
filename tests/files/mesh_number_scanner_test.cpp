#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "files/mesh/number_scanner.h"
#include "files/mesh/text_cursor.h"

namespace kel {
namespace {

struct Scanned {
    NumberScan result;
    std::ptrdiff_t length;  // how much of the text was read
    std::uint64_t bits;
    bool operator==(const Scanned&) const = default;
};

// What scanReal must give: the library's parse of the longest number at the start of the
// text, a '+' before a digit or point taken, with its range and finiteness checked.
Scanned fullParse(const std::string& text) {
    const char* start = text.data();
    const char* end = start + text.size();
    if (text.size() >= 2 && text[0] == '+' && (std::isdigit(text[1]) || text[1] == '.')) {
        ++start;
    }
    double value = 0.0;
    const auto [stop, ec] = std::from_chars(start, end, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        return {NumberScan::OutOfRange, 0, 0};
    }
    if (ec != std::errc()) {
        return {NumberScan::Malformed, 0, 0};
    }
    if (!std::isfinite(value)) {
        return {NumberScan::NotFinite, 0, 0};
    }
    return {NumberScan::Ok, stop - text.data(), std::bit_cast<std::uint64_t>(value)};
}

Scanned scanned(const std::string& text) {
    const char* p = text.data();
    double value = 0.0;
    const NumberScan result = scanReal(p, text.data() + text.size(), value);
    if (result != NumberScan::Ok) {
        return {result, 0, 0};
    }
    return {result, p - text.data(), std::bit_cast<std::uint64_t>(value)};
}

// Plain decimals take a shortcut past the library; every text, plain or not, must still be
// read to the very bits and length the library reads, signs of zero included.
TEST(MeshNumberScannerTest, ScanRealReadsWhatTheLibraryReads) {
    // Chosen texts, apart by '|'.
    const std::string chosen =
        "0|-0|-0.0|+.5|5.|.|-|+|-.5|1e5|1.5e-3|2E2|1e|1e+|1.2.3|12/3|7 8|0.1x|nan|inf|-inf|"
        "1e999|1e-999|123456789012345|1234567890123456|0.30000000000000004|9007199254740993|"
        "000000000000001.5|-999999999999999.|.000000000000001|0.1234567890123456789|4.35\r\n|1,5";
    std::vector<std::string> texts;
    for (std::size_t start = 0, bar = 0; bar != std::string::npos; start = bar + 1) {
        bar = chosen.find('|', start);
        texts.push_back(chosen.substr(start, bar == std::string::npos ? bar : bar - start));
    }
    std::mt19937 random(7);
    const std::string alphabet = "0123456789012345678901234567890123456789..--+eE x/";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(1, 22);
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        for (int n = length(random); n > 0; --n) {
            text += alphabet[pick(random)];
        }
        texts.push_back(text);
    }
    int plain = 0;
    for (const std::string& text : texts) {
        const Scanned expected = fullParse(text);
        ASSERT_EQ(scanned(text), expected) << '"' << text << '"';
        plain += expected.result == NumberScan::Ok ? 1 : 0;
    }
    EXPECT_GT(plain, 5000);  // the random texts reach the shortcut, not just the library
}

// Counts and indices: the one-pass reading of a plain token must take exactly what the
// full reading takes, with the same value and the cursor after the token, and leave every
// other token to it, so that refusals keep their messages.
TEST(MeshNumberScannerTest, CountsReadInOnePassAgreeWithTheFullReading) {
    const struct {
        const char* text;
        std::uint64_t max;
        bool ok;
        std::uint64_t value;
    } cases[] = {
        {"0\n", 10, true, 0},
        {"007 1", 10, true, 7},
        {"999999999\n", 4294967295u, true, 999999999},
        {"1000000000\n", 4294967295u, true, 1000000000},  // ten digits: the full reading
        {"4294967296", 4294967295u, false, 0},
        {"11", 10, false, 0},  // plain, but past the limit
        {"+5", 10, true, 5},   // a sign: the full reading
        {"-0", 10, true, 0},
        {"-1", 10, false, 0},
        {"12a", 100, false, 0},  // not the whole token
        {"3/4", 100, false, 0},
        {"", 10, false, 0},
    };
    for (const auto& c : cases) {
        TextCursor cursor(c.text, "t", false);
        std::uint64_t value = 12345;
        EXPECT_EQ(cursor.count(value, c.max, "a count"), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
            EXPECT_TRUE(cursor.atLineEnd() || cursor.peek() == ' ') << c.text;
        } else {
            EXPECT_NE(cursor.message().find("expected a count"), std::string::npos)
                << c.text << ": " << cursor.message();
        }
    }
}

}  // namespace
}  // namespace kel
