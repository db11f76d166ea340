// Westgard multirule engine, rule by rule: classification bounds, level selection, the two-run rules,
// the walk-back rules, the across-level rules, back-dated runs and out-of-range input.
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

#include "TestHelpers.h"
#include "TestWestgardSupport.h"
#include "UWestgard.h"

using namespace wg;

namespace {

// Level 1 limits everywhere below: m 100, w 4, a 6, so f = 2.
constexpr double HighWarn = 104.5, HighAct = 107, LowWarn = 95.5, LowAct = 93;
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

void Discard(TAnalyte& a, int index, int level = 0) {
    a.Points[index].Levels[level].State = psDiscarded;
}

} // namespace

TEST(WestgardClassify, LimitsAreInclusiveOnBothSides) {
    TAnalyte a = Analyte(1);
    struct Case {
        double v;
        PointState s;
    } cases[] = {{104, psHighWarning}, {106, psHighAction},  {103.99, psInControl}, {96, psLowWarning},
                 {94, psLowAction},    {96.01, psInControl}, {100, psInControl}};
    for (const Case& c : cases) EXPECT_EQ(NextRun(a, {c.v}).Levels[0].State, c.s) << c.v;
}

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

TEST(WestgardSingleValue, OneTwoSWarnsAndOneThreeSRejects) {
    TAnalyte a = Analyte(1);
    EXPECT_EQ(Describe(a, Evaluate(a, NextRun(a, {103.9}))), "n=1 L1=ok");
    EXPECT_EQ(Describe(a, Evaluate(a, NextRun(a, {HighWarn}))), "n=1 L1=1:2s/W");
    EXPECT_EQ(Describe(a, Evaluate(a, NextRun(a, {HighAct}))), "n=1 L1=1:2s/W,1:3s/R");
    EXPECT_EQ(Describe(a, Evaluate(a, NextRun(a, {LowAct}))), "n=1 L1=1:2s/W,1:3s/R");
}

TEST(WestgardPrevious, TwoTwoSOnSameSideAndRFourSOnOppositeSides) {
    TAnalyte high = OneLevel({HighWarn});
    EXPECT_EQ(Describe(high, Evaluate(high, NextRun(high, {HighAct}))), "n=1 L1=1:2s/W,1:3s/R,2:2s/R");
    TAnalyte low = OneLevel({LowAct});
    EXPECT_EQ(Describe(low, Evaluate(low, NextRun(low, {HighWarn}))), "n=1 L1=1:2s/W,R:4s/R");
    // The previous result inside the limits ends both rules.
    TAnalyte inside = OneLevel({HighWarn, 100});
    EXPECT_EQ(Describe(inside, Evaluate(inside, NextRun(inside, {HighWarn}))), "n=1 L1=1:2s/W");
    // Empty points are skipped on the way back.
    TAnalyte gap = OneLevel({LowWarn, NAN, NAN});
    EXPECT_EQ(Describe(gap, Evaluate(gap, NextRun(gap, {LowWarn}))), "n=1 L1=1:2s/W,2:2s/R");
    // With no previous result at all, neither rule fires.
    TAnalyte none = OneLevel({NAN});
    EXPECT_EQ(Describe(none, Evaluate(none, NextRun(none, {LowWarn}))), "n=1 L1=1:2s/W");
}

TEST(WestgardPrevious, ReadsTheStoredStateNotTheValue) {
    // Classified in control under earlier limits; the rule trusts that state.
    TAnalyte a = OneLevel({HighWarn});
    a.Points[0].Levels[0].State = psInControl;
    EXPECT_EQ(Describe(a, Evaluate(a, NextRun(a, {HighWarn}))), "n=1 L1=1:2s/W");
}

TEST(WestgardPrevious, DiscardedPreviousEndsTwoRunRulesButWalksSkipIt) {
    TAnalyte a = OneLevel({HighHalf, HighHalf, HighHalf, HighWarn});
    Discard(a, 3);
    TMultiruleResult r = Evaluate(a, NextRun(a, {HighWarn}));
    EXPECT_EQ(r.Level[0][rp22s], rsClear);
    EXPECT_EQ(r.Level[0][rpR4s], rsClear);
    // The walk steps over the discarded point and finds three values beyond +f before it.
    EXPECT_EQ(r.Counters[0].HighOut, 4);
    EXPECT_EQ(Describe(a, r), "n=1 L1=1:2s/W,4:1s/R");
}

TEST(WestgardFourOneS, SeverityFollowsTheNewValue) {
    TAnalyte a = OneLevel({HighHalf, HighHalf, HighHalf});
    // m + 0.75 w is inside the warning deviation: a warning.
    EXPECT_EQ(Describe(a, Evaluate(a, NextRun(a, {103}))), "n=1 L1=4:1s/W");
    // At m + w exactly the run is beyond the warning deviation: a rejection.
    EXPECT_EQ(Describe(a, Evaluate(a, NextRun(a, {104}))), "n=1 L1=1:2s/W,4:1s/R");
    TAnalyte lowSide = OneLevel({LowHalf, LowHalf, LowHalf});
    EXPECT_EQ(Describe(lowSide, Evaluate(lowSide, NextRun(lowSide, {96}))), "n=1 L1=1:2s/W,4:1s/R");
}

TEST(WestgardFourOneS, ThreeOrABreakAtHalfWarningDoNotViolate) {
    TAnalyte three = OneLevel({100, HighHalf, HighHalf});
    TMultiruleResult r = Evaluate(three, NextRun(three, {HighHalf}));
    EXPECT_EQ(r.Counters[0].HighOut, 3);
    EXPECT_EQ(r.Level[0][rp41s], rsClear);
    // A value exactly at m + f is not beyond it.
    TAnalyte broken = OneLevel({HighHalf, 102, HighHalf, HighHalf});
    r = Evaluate(broken, NextRun(broken, {HighHalf}));
    EXPECT_EQ(r.Counters[0].HighOut, 3);
    EXPECT_EQ(r.Level[0][rp41s], rsClear);
    // A new value exactly at m + f starts no out-run.
    TAnalyte atF = OneLevel({HighHalf, HighHalf, HighHalf, HighHalf});
    EXPECT_EQ(Evaluate(atF, NextRun(atF, {102})).Counters[0].HighOut, 0);
}

TEST(WestgardTenMean, TenBelowViolateNineDoNot) {
    // Nine stored below the mean with discarded and empty points between them.
    TAnalyte a = OneLevel({99, 99, 99, 99, 99, 120, NAN, 99, 99, 99, 99});
    Discard(a, 5);
    TMultiruleResult r = Evaluate(a, NextRun(a, {99}));
    EXPECT_EQ(r.Counters[0].Below, 10);
    EXPECT_EQ(Describe(a, r), "n=1 L1=10:m/W");
    EXPECT_EQ(Describe(a, Evaluate(a, NextRun(a, {LowWarn}))), "n=1 L1=1:2s/W,10:m/R");

    TAnalyte nine = OneLevel({99, 99, 99, 99, 99, 99, 99, 99});
    r = Evaluate(nine, NextRun(nine, {99}));
    EXPECT_EQ(r.Counters[0].Below, 9);
    EXPECT_EQ(r.Level[0][rp10m], rsClear);
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

TEST(WestgardAcross, RangeAndTwoTwoSWithinTheRun) {
    TAnalyte a = Analyte(2);
    SetLimits(a, 1, 50, 2, 3);
    TMultiruleResult r = Evaluate(a, NextRun(a, {100 + 1.2 * 4, 50 - 1.2 * 2}));
    EXPECT_EQ(r.Across[rpR4s], rsReject);
    EXPECT_EQ(r.Across[rp22s], rsClear);
    EXPECT_EQ(Describe(a, r), "n=2 L1=1:2s/W L2=1:2s/W A=R:4s/R");
    r = Evaluate(a, NextRun(a, {100 + 1.2 * 4, 50 + 1.2 * 2}));
    EXPECT_EQ(Describe(a, r), "n=2 L1=1:2s/W L2=1:2s/W A=2:2s/R");
}

TEST(WestgardAcross, FourOneSAndTenMeanOverTwoLevels) {
    TAnalyte a = Analyte(2);
    SetLimits(a, 1, 50, 2, 3); // f = 1
    AddPoint(a, 1, {HighHalf, 51.5});
    // Both levels two values beyond +f; no value beyond w, so the colour is a warning.
    EXPECT_EQ(Describe(a, Evaluate(a, NextRun(a, {HighHalf, 51.5}))), "n=2 L1=ok L2=ok A=4:1s/W");
    // Any level beyond w turns the across marks red.
    EXPECT_EQ(Describe(a, Evaluate(a, NextRun(a, {HighWarn, 51.5}))), "n=2 L1=1:2s/W L2=ok A=4:1s/R");
    // Opposite shifts are not one shift.
    EXPECT_EQ(Describe(a, Evaluate(a, NextRun(a, {HighHalf, 48.5}))), "n=2 L1=ok L2=ok A=ok");

    TAnalyte t = Analyte(2);
    SetLimits(t, 1, 50, 2, 3);
    for (int d = 1; d <= 4; ++d) AddPoint(t, d, {99, 49.5});
    EXPECT_EQ(Describe(t, Evaluate(t, NextRun(t, {99, 49.5}))), "n=2 L1=ok L2=ok A=10:m/W");
    t.Points[0].Levels[1].Value = 50.5f; // level 2 now has only four values below
    EXPECT_EQ(Describe(t, Evaluate(t, NextRun(t, {99, 49.5}))), "n=2 L1=ok L2=ok A=ok");
}

TEST(WestgardAcross, ThreeLevelsUseTheirOwnNames) {
    TAnalyte a = Analyte(3);
    SetLimits(a, 1, 50, 2, 3);
    SetLimits(a, 2, 200, 4, 6);
    TMultiruleResult r = Evaluate(a, NextRun(a, {HighHalf, 51.5, 203}));
    EXPECT_TRUE(r.AcrossThree);
    EXPECT_STREQ(r.AcrossNames()[rp41s], "3:1s");
    EXPECT_EQ(Describe(a, r), "n=3 L1=ok L2=ok L3=ok A=3:1s/W");
    EXPECT_EQ(Describe(a, Evaluate(a, NextRun(a, {HighHalf, 51.5, 201}))), "n=3 L1=ok L2=ok L3=ok A=ok");

    for (int d = 1; d <= 2; ++d) AddPoint(a, d, {99, 49.5, 199});
    EXPECT_EQ(Describe(a, Evaluate(a, NextRun(a, {99, 49.5, 199}))), "n=3 L1=ok L2=ok L3=ok A=9:m/W");
    EXPECT_EQ(Describe(a, Evaluate(a, NextRun(a, {99, 49.5, 195.5}))), "n=3 L1=ok L2=ok L3=1:2s/W A=9:m/R");
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
    // Retrieving it gives the same outcome back.
    EXPECT_EQ(Describe(a, Evaluate(a, run)), Describe(a, all));
}

TEST(WestgardAcross, ThirdWalkedLevelDoesNotClearATwoLevelShift) {
    // Level 3 is mobile without limits: walked, but not taking part, so n = 2 with three walks.
    TAnalyte a = Analyte(3);
    SetLimits(a, 2, 100, 4, 6, lmMobile, 6);
    AddPoint(a, 1, {LowHalf, LowHalf, LowHalf});
    TMultiruleResult r = Evaluate(a, NextRun(a, {LowHalf, LowHalf, LowHalf}));
    EXPECT_EQ(r.N, 2);
    EXPECT_EQ(r.Walked, (TLevelSet{true, true, true}));
    EXPECT_EQ(r.Across[rp41s], rsWarning);
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
