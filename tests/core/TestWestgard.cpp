// Westgard multirule engine, rule by rule, for what the outcome table (westgard_cases.txt) cannot show:
// the level sets, the walk-back counters, H and Lo, the previous index and out-of-range input.
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

#include "TestHelpers.h"
#include "TestWestgardSupport.h"
#include "UWestgard.h"

using namespace wg;

namespace {

// Level 1 limits everywhere below: m 100, w 4, a 6, so f = 2.
constexpr double HighWarn = 104.5, HighAct = 107, LowWarn = 95.5;
constexpr double HighHalf = 103, LowHalf = 97; // beyond f, inside w

TAnalyte OneLevel(std::initializer_list<double> history) {
    TAnalyte a = Analyte(1);
    double day = 1;
    for (double v : history) AddPoint(a, day++, {v});
    return a;
}

TResu NextRun(const TAnalyte& a, std::initializer_list<double> values) {
    return ClassifiedRun(a, a.Count() + 1, values);
}

} // namespace

TEST(WestgardClassify, MobileLevelWithoutLimitsIsInControlAndTakesNoPart) {
    TAnalyte a = Analyte(2);
    SetLimits(a, 0, 100, 4, 6, lmMobile, 6);
    SetLimits(a, 1, 100, 4, 6, lmLocked, 6);
    TResu run = NextRun(a, {150, 150});
    EXPECT_EQ(run.Levels[0].State, psInControl);
    // A locked level is classified even when its limits are unavailable.
    EXPECT_EQ(run.Levels[1].State, psHighAction);
    EXPECT_EQ(SelectRuleLevels(a, run, {}, true).N, 0);
}

TEST(WestgardSelect, SwitchOffEvaluatesNothing) {
    TAnalyte a = OneLevel({HighWarn});
    TResu run = NextRun(a, {HighWarn});
    EXPECT_EQ(Describe(a, Evaluate(a, run)), "n=1 L1=1:2s/W,2:2s/R");

    TMultiruleResult off = Evaluate(a, run, {}, false);
    EXPECT_EQ(off.N, 0);
    EXPECT_FALSE(off.TakesPart[0]);
    EXPECT_FALSE(off.Evaluated[0]);
    EXPECT_EQ(off.Level[0], TRuleRow{});
    EXPECT_FALSE(off.AcrossShown());
}

TEST(WestgardSelect, FixedLevelNeverTakesPartNorCounts) {
    TAnalyte a = Analyte(3);
    SetLimits(a, 0, 100, 4, 6, lmFixed);
    SetLimits(a, 2, 200, 4, 6);
    // Stored history that would make the fixed level shift if it were walked.
    for (int d = 1; d <= 9; ++d) AddPoint(a, d, {80, 100, 200});
    TResu run = NextRun(a, {80, HighWarn, 200});
    ASSERT_EQ(run.Levels[0].State, psLowAction);
    TMultiruleResult r = Evaluate(a, run);
    EXPECT_EQ(r.N, 2);
    EXPECT_FALSE(r.TakesPart[0]);
    EXPECT_FALSE(r.Evaluated[0]);
    EXPECT_FALSE(r.Walked[0]);
    EXPECT_EQ(r.H, 1);
    EXPECT_EQ(r.Lo, 0);
    EXPECT_EQ(r.Level[0], TRuleRow{});
    // Far below on the fixed level and high on level 2: no R:4s across.
    EXPECT_EQ(Describe(a, r), "n=2 L1=- L2=1:2s/W L3=ok A=ok");
}

TEST(WestgardSelect, EmptyOrRejectedLevelTakesNoPart) {
    TAnalyte a = Analyte(3);
    TResu run = NextRun(a, {HighWarn, NAN, 100});
    TRuleLevels sel = SelectRuleLevels(a, run, {false, false, true}, true);
    EXPECT_EQ(sel.N, 1);
    EXPECT_EQ(sel.TakesPart, (TLevelSet{true, false, false}));
    // The empty level is still evaluated (it could count in H and Lo) but not walked.
    TMultiruleResult r = Evaluate(a, run, {false, false, true});
    EXPECT_EQ(r.Evaluated, (TLevelSet{true, true, false}));
    EXPECT_EQ(r.Walked, (TLevelSet{true, false, false}));
}

TEST(WestgardTenMean, ValueOnTheMeanEndsTheRun) {
    TAnalyte a = OneLevel({99, 99, 99, 99, 99, 100, 99, 99, 99, 99});
    TMultiruleResult r = Evaluate(a, NextRun(a, {99}));
    EXPECT_EQ(r.Counters[0], (TRunCounters{5, 1, 0, 0}));
    // A new value on the mean stops at the first stored value.
    r = Evaluate(a, NextRun(a, {100}));
    EXPECT_EQ(r.Counters[0], (TRunCounters{1, 1, 0, 0}));
    EXPECT_EQ(r.Level[0][rp10m], rsClear);
}

TEST(WestgardTenMean, WalkNeverPassesTenValues) {
    TAnalyte a = Analyte(1);
    for (int d = 1; d <= 30; ++d) AddPoint(a, d, {LowHalf});
    TMultiruleResult r = Evaluate(a, NextRun(a, {LowHalf}));
    EXPECT_EQ(r.Counters[0].Below, 10);
    EXPECT_EQ(r.Counters[0].LowOut, 10);
    EXPECT_EQ(Describe(a, r), "n=1 L1=4:1s/W,10:m/W");
}

TEST(WestgardAcross, RejectingALevelRemovesItFromEveryCount) {
    TAnalyte a = Analyte(3);
    TResu run = NextRun(a, {HighWarn, HighWarn, LowWarn});
    TMultiruleResult all = Evaluate(a, run);
    EXPECT_EQ(Describe(a, all), "n=3 L1=1:2s/W L2=1:2s/W L3=1:2s/W A=2:2s/R,R:4s/R");

    TMultiruleResult rejected = Evaluate(a, run, {false, false, true});
    EXPECT_EQ(rejected.Lo, 0);
    EXPECT_FALSE(rejected.AcrossThree);
    EXPECT_STREQ(rejected.AcrossNames()[rp41s], "4:1s");
    EXPECT_EQ(Describe(a, rejected), "n=2 L1=1:2s/W L2=1:2s/W L3=- A=2:2s/R");
}

TEST(WestgardBackDated, JudgedOnlyAgainstEarlierPoints) {
    // Three high values, then two low ones later on.
    TAnalyte a = OneLevel({HighWarn, HighWarn, HighWarn, LowWarn, LowWarn});
    TResu late = NextRun(a, {HighWarn});
    EXPECT_EQ(Describe(a, Evaluate(a, late)), "n=1 L1=1:2s/W,R:4s/R");

    TResu back = ClassifiedRun(a, 3.5, {HighWarn});
    EXPECT_EQ(PreviousIndex(a, back.DateTime), 2);
    // The three high values before its date also make a 4:1s shift.
    EXPECT_EQ(Describe(a, Evaluate(a, back)), "n=1 L1=1:2s/W,2:2s/R,4:1s/R");
    // A stored point at the same date-time counts as earlier.
    EXPECT_EQ(PreviousIndex(a, 3.0), 2);
    // Before every point: nothing to compare with.
    TResu first = ClassifiedRun(a, 0.5, {HighWarn});
    EXPECT_EQ(PreviousIndex(a, first.DateTime), -1);
    EXPECT_EQ(Describe(a, Evaluate(a, first)), "n=1 L1=1:2s/W");
}

TEST(WestgardBadInput, NeverReadsOutsideTheStoredPoints) {
    TAnalyte empty = Analyte(1);
    TResu run = NextRun(empty, {HighWarn});
    EXPECT_EQ(PreviousIndex(empty, run.DateTime), -1);
    EXPECT_EQ(Describe(empty, EvaluateMultirules(empty, run, -1, {}, true)), "n=1 L1=1:2s/W");
    // A previous index past the end or below -1 is held to the stored points.
    EXPECT_EQ(Describe(empty, EvaluateMultirules(empty, run, 5, {}, true)), "n=1 L1=1:2s/W");

    TAnalyte a = OneLevel({HighHalf, HighHalf, HighHalf});
    TResu r4 = NextRun(a, {104});
    EXPECT_EQ(EvaluateMultirules(a, r4, 1000, {}, true).Counters[0].HighOut, 4);
    EXPECT_EQ(EvaluateMultirules(a, r4, -7, {}, true).Counters[0].HighOut, 1);
    EXPECT_EQ(RunCounters(a, 0, 104, -1), (TRunCounters{1, 1, 0, 1}));
}

TEST(WestgardBadInput, LevelsBeyondNbLevelsAreIgnored) {
    TAnalyte a = Analyte(1);
    TResu run = MakeRun(1, {HighAct, HighAct, HighAct});
    a.ClassifyRun(run.Levels);
    TMultiruleResult r = EvaluateMultirules(a, run, -1, {}, true);
    EXPECT_EQ(r.N, 1);
    EXPECT_EQ(r.Evaluated, (TLevelSet{true, false, false}));
    EXPECT_EQ(r.H, 1);
    EXPECT_EQ(RunCounters(a, 1, 100, -1), TRunCounters{});
    EXPECT_EQ(RunCounters(a, -1, 100, -1), TRunCounters{});

    SetLimits(a, 1, 100, 4, 6);
    SetLimits(a, 2, 100, 4, 6);
    // A damaged level count never lets the engine past the three levels a point holds.
    a.NbLevels = 7;
    EXPECT_EQ(EvaluateMultirules(a, run, -1, {}, true).N, 3);
    a.NbLevels = -2;
    EXPECT_EQ(EvaluateMultirules(a, run, -1, {}, true).N, 0);
    EXPECT_EQ(RunCounters(a, 0, 100, -1), TRunCounters{});
}

TEST(WestgardBadInput, NonFiniteValuesGiveNoWalk) {
    TAnalyte a = OneLevel({HighHalf, HighHalf, HighHalf});
    TResu run = MakeRun(10, {0});
    run.Levels[0].Value = std::numeric_limits<float>::quiet_NaN();
    TMultiruleResult r = EvaluateMultirules(a, run, 2, {}, true);
    EXPECT_EQ(r.Counters[0], (TRunCounters{1, 1, 0, 0}));
    EXPECT_EQ(r.Level[0][rp41s], rsClear);
}
