// The fast number, date and exchange-text routines against the former ones: random values and the
// edges the texts depend on. VARNHOLT_EXACT_COUNT=N compares N values of each kind and N / 100 texts
// (bench_text --verify=N does the same).
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>

#include "../../bench/TextExactness.h"

namespace {

// The former number texts take microseconds each: the suite compares a few hundred thousand.
size_t Count(size_t usual, size_t divisor = 1) {
    const char* e = std::getenv("VARNHOLT_EXACT_COUNT");
    return e ? std::strtoull(e, nullptr, 10) / divisor : usual;
}

} // namespace

TEST(TextExactness, FormatFixedWritesTheFormerTexts) {
    exactness::TOutcome o = exactness::CheckFormatFixed(Count(200000), 20261);
    EXPECT_EQ(o.mismatch, "");
    EXPECT_GT(o.compared, 0u);
}

TEST(TextExactness, DateAndTimeTextsAreTheFormerOnes) {
    exactness::TOutcome o = exactness::CheckDates(Count(500000), 20262);
    EXPECT_EQ(o.mismatch, "");
}

TEST(TextExactness, NumbersReadAreTheFormerOnes) {
    exactness::TOutcome o = exactness::CheckParseDecimal(Count(500000), 20263);
    EXPECT_EQ(o.mismatch, "");
}

TEST(TextExactness, ExchangeTextGivesTheFormerRunsAndLines) {
    exactness::TOutcome o = exactness::CheckImportText(Count(10000, 100), 20264);
    EXPECT_EQ(o.mismatch, "");
}

TEST(TextExactness, FormatFixedEdges) {
    struct Case {
        long double value;
        int precision, decimals;
        const char* text;
    };
    const Case cases[] = {
        {0.125L, 8, 2, "0.13"}, // an exact tie rounds away from zero
        {-0.125L, 8, 2, "-0.13"},
        {0.125f, 8, 2, "0.13"},
        {2.675f, 8, 2, "2.67"}, // the single nearest 2.675 lies below it
        {2.375f, 8, 2, "2.38"},
        {-0.0L, 8, 2, "0.00"}, // no minus sign on a zero text
        {-0.004L, 8, 2, "0.00"},
        {-0.005L, 8, 2, "0.00"}, // the long double nearest 0.005 lies below it
        {-0.375L, 8, 2, "-0.38"},
        {0.0004L, 8, 3, "0.000"},
        {0.0006L, 8, 3, "0.001"},
        {99999999.5L, 8, 2, "1.0000000E+08"}, // rounding lengthens the integer part
        {99999999.4L, 8, 2, "99999999.00"},
        {1e19L, 8, 0, "1.0000000E+19"},
        {1e-20L, 8, 25, "0.0000000000000000000100000"},
        {LDBL_MAX, 3, 1, "1.19E+4932"},
        {-LDBL_MIN, 8, 2, "0.00"},
        {FLT_MAX, 8, 0, "3.4028235E+38"},
        {123456.0L, 1, 0, "1E+05"},
        {0.95L, 1, 1, "0.9"}, // 0.95 is stored a little below
        {9.5L, 1, 0, "1E+01"},
    };
    for (const Case& c : cases) {
        for (char separator : {'.', ','}) {
            std::string expected = c.text;
            for (char& ch : expected)
                if (ch == '.') ch = separator;
            EXPECT_EQ(FormatFixed(c.value, c.precision, c.decimals, separator), expected)
                << static_cast<double>(c.value) << " " << c.precision << " " << c.decimals;
            EXPECT_EQ(reference::FormatFixed(c.value, c.precision, c.decimals, separator), expected);
        }
    }
    EXPECT_EQ(FormatFixed(NAN, 8, 2), "NAN");
    EXPECT_EQ(FormatFixed(-INFINITY, 8, 2), "-INF");
}
