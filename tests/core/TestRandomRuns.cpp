// Simulated control results: dates, empty levels, modes afterwards.
#include <cmath>
#include <gtest/gtest.h>

#include "TestHelpers.h"
#include "URandom.h"

namespace {
TLevelValues Given(std::initializer_list<double> values) {
    TLevelValues out{};
    int i = 0;
    for (double v : values)
        out[i++] = std::isnan(v) ? LevelValue{0, psEmpty} : LevelValue{float(v), psInControl};
    return out;
}
} // namespace

TEST(RandomRuns, OnePointPerDayAtTheSameTimeInMobileMode) {
    TTempFolder folder;
    RandomSeed(1);
    TAnalyte a("Na", "mmol/L", 1, 3);
    a.AddPoint(MakeRun(EncodeDate(2026, 2, 1), {140, 100, 120}));
    a.LimitMode = {lmLocked, lmFixed, lmLocked};
    a.LockFirst = {0, -1, 0};
    a.LockLast = {0, -1, 0};
    const TDateTime first = EncodeDate(2026, 3, 1) + EncodeTime(9, 0, 0);
    int last = GenerateRandomPoints(a, 10, Given({140, NAN, 100}), Given({2, 5, 3}), first);
    EXPECT_EQ(last, 10);
    ASSERT_EQ(a.Count(), 11);
    for (int k = 0; k < 10; ++k) {
        const ControlPoint& p = a.Points[1 + k];
        EXPECT_DOUBLE_EQ(p.DateTime, first + k);
        EXPECT_NE(p.Levels[0].State, psEmpty);
        EXPECT_EQ(p.Levels[1].State, psEmpty); // mean missing
        EXPECT_NE(p.Levels[2].State, psEmpty);
        EXPECT_NEAR(p.Levels[0].Value, 140, 140 * 0.02 * 6);
        EXPECT_EQ(p.CommentId, -1);
        EXPECT_EQ(p.Operator.Str(), "");
    }
    EXPECT_EQ(a.LimitMode, (std::array<LimitMode, 3>{lmMobile, lmMobile, lmMobile}));
    EXPECT_EQ(a.LockLast[0], 0); // intervals stay, but no longer apply
    EXPECT_EQ(GenerateRandomPoints(a, 0, Given({1}), Given({1}), first), -1);
}

TEST(RandomRuns, ZeroCVGivesTheMeanAndUnavailableStatistics) {
    TTempFolder folder;
    TAnalyte a("K", "mmol/L", 2, 2);
    GenerateRandomPoints(a, 5, Given({4.5, 6}), Given({0, NAN}), 1000);
    for (const ControlPoint& p : a.Points) {
        EXPECT_EQ(p.Levels[0].Value, 4.5f);
        EXPECT_EQ(p.Levels[1].State, psEmpty);
    }
    EXPECT_EQ(a.Limits[0].State, 6);

    // Slots beyond the analyte's levels stay empty; the entry names its analyte.
    TResu r = MakeRandomEntry(a, Given({1, 2, 3}), Given({1, 1, 1}), 2000.5);
    EXPECT_EQ(r.AnalyteName, "K");
    EXPECT_EQ(r.DateTime, 2000.5);
    EXPECT_EQ(r.Levels[2].State, psEmpty);
    EXPECT_EQ(r.Comment, "");
    EXPECT_EQ(a.Count(), 5);
}
