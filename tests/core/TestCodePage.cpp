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
