// Windows-1252 <-> UTF-8 at the boundary of the windows and the command line.
#include <gtest/gtest.h>

#include "UCodePage.h"

TEST(CodePage, RoundTripsEveryByte) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(CodePage, KnownCharacters) {
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");   // euro sign
    EXPECT_EQ(Cp1252ToUtf8("\xB5g/L"), "\xC2\xB5g/L"); // micro sign
    EXPECT_EQ(Utf8ToCp1252("\xC2\xB5mol/L"), "\xB5mol/L");
    EXPECT_EQ(Utf8ToCp1252("\xE2\x80\x93"), "\x96");    // en dash
    EXPECT_EQ(Utf8ToCp1252("\xE4\xB8\xAD"), "?");       // not in the code page
    EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");             // cut sequence
    EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x98\x80x"), "?x"); // outside the basic plane
}

// Exchange text in UTF-8 is recognised by its mark or by being valid UTF-8 beyond ASCII; Windows-1252
// text (whose accented letters are no valid UTF-8) and plain ASCII are read as they are.
TEST(CodePage, ExchangeTextEncodings) {
    const struct {
        std::string in, expected;
        bool converted;
    } cases[] = {
        {"01/02/2024\t3.1\r\n", "01/02/2024\t3.1\r\n", false},
        {"\xEF\xBB\xBF"
         "01/02/2024\t3.1\r\n",
         "01/02/2024\t3.1\r\n", true},
        {"lot \xC3\xA9t\xC3\xA9 \xE2\x82\xAC", "lot \xE9t\xE9 \x80", true},
        {"lot \xE9t\xE9", "lot \xE9t\xE9", false}, // Windows-1252
        {"end \xC3", "end \xC3", false},           // a sequence cut off
        {"\xED\xA0\x80 surrogate", "\xED\xA0\x80 surrogate", false},
        {"\xE0\x80\xAF overlong", "\xE0\x80\xAF overlong", false},
    };
    for (const auto& c : cases) {
        std::string converted;
        std::string_view out = ExchangeTextAsCp1252(c.in, converted);
        EXPECT_EQ(std::string(out), c.expected) << c.in;
        EXPECT_EQ(!converted.empty(), c.converted) << c.in;
    }
    EXPECT_EQ(EncodeExchangeText("\xE9", TTextEncoding::Utf8), "\xEF\xBB\xBF\xC3\xA9");
    EXPECT_EQ(EncodeExchangeText("\xE9", TTextEncoding::Windows1252), "\xE9");
}
