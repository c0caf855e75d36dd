#include "files/token_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kel {
namespace {

// Every way of separating tokens, a byte-order mark, the end of the text right after a
// token, and tokens the fast paths decline: the three readers (general, whole number,
// real) agree on where tokens are and on the line of each.
TEST(TokenReaderTest, AllReadersFindTheSameTokensAndLines) {
    const struct {
        std::string text;
        std::vector<std::string> tokens;
        int lastLine;
    } cases[] = {
        {"", {}, 1},
        {" \t\r\n\v\f", {}, 1},
        {"7", {"7"}, 1},
        {"\xEF\xBB\xBF"
         "12 -3",
         {"12", "-3"},
         1},
        {"1\t2\r\n3\v4\f5\n\n6", {"1", "2", "3", "4", "5", "6"}, 4},
        {"  0.5\n-.25  x\n", {"0.5", "-.25", "x"}, 2},
        {"123456789 1234567890 -", {"123456789", "1234567890", "-"}, 1},
        // Declined by both fast paths, which must take nothing of them.
        {"1e5 +3 12x\n1.2.3 . 1234567890123456 0x10 --1",
         {"1e5", "+3", "12x", "1.2.3", ".", "1234567890123456", "0x10", "--1"},
         2},
    };
    for (const auto& c : cases) {
        TokenReader general(c.text);
        TokenReader whole(c.text);
        TokenReader real(c.text);
        for (const std::string& token : c.tokens) {
            EXPECT_EQ(general.next(), token) << c.text;
            std::int32_t i = 0;
            if (!whole.nextSmallInt(i)) {
                EXPECT_EQ(whole.next(), token) << c.text;
            } else {
                EXPECT_EQ(std::to_string(i), token) << c.text;
            }
            double d = 0.0;
            if (!real.nextShortReal(d)) {
                EXPECT_EQ(real.next(), token) << c.text;
            }
            EXPECT_EQ(whole.line(), general.line()) << token;
            EXPECT_EQ(real.line(), general.line()) << token;
        }
        EXPECT_EQ(general.next(), std::nullopt) << c.text;
        EXPECT_EQ(general.line(), c.lastLine) << c.text;
        std::int32_t i = 0;
        double d = 0.0;
        EXPECT_FALSE(whole.nextSmallInt(i)) << c.text;
        EXPECT_FALSE(real.nextShortReal(d)) << c.text;
    }
}

}  // namespace
}  // namespace kel
