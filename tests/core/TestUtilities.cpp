// Entry checks, number texts, tab splitting and random draws.
#include <cmath>
#include <gtest/gtest.h>

#include "TestHelpers.h"
#include "UQcError.h"

namespace {
std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const EConvertError& e) {
        return e.what();
    }
    return "(no error)";
}
} // namespace

class Utilities : public ::testing::Test {
protected:
    TTempFolder folder;
};

TEST_F(Utilities, IntegerEntry) {
    std::string t = " 12 ";
    EXPECT_EQ(CheckIntegerText(t, 1, 1000), 12);
    EXPECT_EQ(t, "12");
    t = "1001";
    EXPECT_EQ(ErrorOf([&] { CheckIntegerText(t, 1, 1000); }), "1001 is too high\n\rMaximum allowed = 1000");
    EXPECT_EQ(t, "1001");
    t = " 0";
    EXPECT_EQ(ErrorOf([&] { CheckIntegerText(t, 1, 1000); }), "0 is too low\n\rMinimum allowed = 1");
    EXPECT_EQ(t, " 0"); // a refused text is left as typed
    for (std::string bad : {"", "abc", "1.5", "12abc", "99999999999", "--1"}) {
        std::string b = bad;
        EXPECT_NE(ErrorOf([&] { CheckIntegerText(b, 1, 1000); }).find("is not a valid integer value"),
                  std::string::npos)
            << bad;
    }
    t = "-5";
    EXPECT_EQ(CheckIntegerText(t, -10, 10), -5);
}

TEST_F(Utilities, ValueEntry) {
    EXPECT_EQ(ReadValueText("2,5").Value, 2.5f);
    EXPECT_EQ(ReadValueText(" 2.5 ").State, psInControl);
    EXPECT_EQ(ReadValueText("   ").State, psEmpty);
    EXPECT_EQ(ReadValueText("-1e3").Value, -1000.0f);
    EXPECT_EQ(ReadValueText(".5").Value, 0.5f);
    EXPECT_EQ(ReadValueText("1e-99999").Value, 0.0f); // underflow reads as zero
    for (const char* bad :
         {"nan", "inf", "-inf", "1e999", "1e39", "12abc", "1.2.3", "1,2,3", "e5", "-", "0x10"})
        EXPECT_EQ(ErrorOf([&] { ReadValueText(bad); }), "Incorrect floating number") << bad;
    // Under a comma locale a point is read as the decimal mark too.
    Regional.DecimalSeparator = ',';
    EXPECT_EQ(ReadValueText("3.25").Value, 3.25f);
    EXPECT_EQ(ReadValueText("3,25").Value, 3.25f);
}

TEST_F(Utilities, HugeExponentsAreRefused) {
    // The order of such a number overflowed a long long: refused, whatever the mantissa.
    for (const char* huge : {"1e9223372036854775807", "-1e9223372036854775807", "1e-9223372036854775807",
                             "0e100000", "1e+100000", "0.5e-123456789"}) {
        long double v = 7;
        EXPECT_FALSE(ParseDecimal(huge, '.', v)) << huge;
        EXPECT_EQ(v, 7.0L);
        EXPECT_EQ(ErrorOf([&] { ReadValueText(huge); }), "Incorrect floating number") << huge;
        std::string t = huge;
        EXPECT_EQ(ErrorOf([&] { ReadRealText(t, false); }),
                  "'" + t + "' is not a valid floating point value");
    }
    // Up to five exponent digits: overflow refused, underflow read as zero.
    long double v = 7;
    EXPECT_FALSE(ParseDecimal("1e99999", '.', v));
    EXPECT_TRUE(ParseDecimal("-1e-99999", '.', v));
    EXPECT_EQ(v, 0.0L);
    EXPECT_TRUE(ParseDecimal("0000012.5e-0000000000001", '.', v));
    EXPECT_EQ(v, 1.25L);
}

TEST_F(Utilities, ControlCharactersBecomeBlanks) {
    EXPECT_EQ(BlankControlChars("ok\r\n01/01/2030\t10:00\t999"), "ok  01/01/2030 10:00 999");
    EXPECT_EQ(BlankControlChars(std::string("\x1b[31m\x7f\0x", 8)), " [31m  x");
    // Windows-1252 letters, the euro sign among them, stay.
    EXPECT_EQ(BlankControlChars("caf\xe9 \x80 \x9f"), "caf\xe9 \x80 \x9f");
}

TEST_F(Utilities, RealEntry) {
    std::string t = " 4,5 ";
    EXPECT_EQ(ReadRealText(t, true), 4.5L);
    EXPECT_EQ(t, "4.5");
    t = "-1";
    EXPECT_EQ(ErrorOf([&] { ReadRealText(t, true); }), "-1 is a negative value (not allowed)");
    t = "-1";
    EXPECT_EQ(ReadRealText(t, false), -1.0L);
    t = "-3.4e38";
    EXPECT_EQ(ReadRealText(t, false), -3.4e38L);
    // The range of a stored value, as for a QC value: beyond it is no number.
    for (std::string bad : {"", "x", "inf", "1e99999", "1e309", "-3.5e38", "1e4000"}) {
        std::string b = bad;
        EXPECT_NE(ErrorOf([&] { ReadRealText(b, false); }).find("is not a valid floating point value"),
                  std::string::npos)
            << bad;
    }
}

TEST_F(Utilities, FormatFixed) {
    EXPECT_EQ(FormatFixed(5.04f, 8, 2), "5.04");
    EXPECT_EQ(FormatFixed(5.04f, 8, 1), "5.0");
    EXPECT_EQ(FormatFixed(2.5L, 8, 0), "3"); // halves round away from zero
    EXPECT_EQ(FormatFixed(-2.5L, 8, 0), "-3");
    EXPECT_EQ(FormatFixed(0.25L, 8, 1), "0.3");
    EXPECT_EQ(FormatFixed(-0.04L, 8, 1), "0.0"); // no minus sign on a zero text
    EXPECT_EQ(FormatFixed(0, 5, 3), "0.000");
    EXPECT_EQ(FormatFixed(123.456789L, 5, 3), "123.460"); // rounded to 5 significant digits first
    EXPECT_EQ(FormatFixed(9.99999L, 5, 2), "10.00");
    EXPECT_EQ(FormatFixed(0.5L, 8, 0), "1");
    EXPECT_EQ(FormatFixed(0.4L, 8, 0), "0");
    EXPECT_EQ(FormatFixed(1234567.0L, 6, 1), "1.23457E+06"); // integer part longer than the precision
    EXPECT_EQ(FormatFixed(3.0L, 8, 3, ','), "3,000");
    Regional.DecimalSeparator = ',';
    EXPECT_EQ(FormatFixed(-12.5L, 8, 2), "-12,50");
}

TEST_F(Utilities, SplitTabs) {
    std::vector<std::string> p;
    SplitTabs("\t\t", p);
    EXPECT_EQ(p, (std::vector<std::string>{"", "", ""}));
    p.clear();
    SplitTabs("a\tb", p);
    SplitTabs("", p);
    EXPECT_EQ(p, (std::vector<std::string>{"a", "b", ""}));
}

TEST_F(Utilities, RandomNormalIsSeedableAndNormal) {
    RandomSeed(123);
    long double first = RandomNormal(10, 2);
    RandomSeed(123);
    EXPECT_EQ(RandomNormal(10, 2), first);
    long double s = 0, q = 0;
    const int n = 20000;
    for (int i = 0; i < n; ++i) {
        long double v = RandomNormal(10, 2);
        s += v;
        q += v * v;
    }
    long double mean = s / n, sd = std::sqrt((q - s * s / n) / (n - 1));
    EXPECT_NEAR(static_cast<double>(mean), 10.0, 0.1);
    EXPECT_NEAR(static_cast<double>(sd), 2.0, 0.1);
    EXPECT_EQ(RandomNormal(7, 0), 7.0L);
}

TEST_F(Utilities, ArchiveFileNames) {
    EXPECT_EQ(ArchiveFileName(7), folder.Path() + "QC000007.qca");
    EXPECT_EQ(ArchiveFileName(1234567), folder.Path() + "QC1234567.qca");
}
