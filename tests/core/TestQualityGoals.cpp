// Quality goals: goal lines, figures against the program's statistics, reasons for missing figures, and
// the worked example of the manual.
#include <cmath>
#include <gtest/gtest.h>
#include <random>

#include "TestHelpers.h"
#include "UGlobale.h"
#include "UQcError.h"
#include "UQualityGoals.h"
#include "UUtilitaires.h"

namespace {

double D(long double v) {
    return static_cast<double>(v);
}

TQualityGoal Goal(long double tea, std::initializer_list<std::optional<long double>> targets = {}) {
    TQualityGoal g;
    g.TEa = tea;
    size_t k = 0;
    for (const auto& t : targets) g.Target[k++] = t;
    return g;
}

// The manual's worked example: glucose (mmol/L), TEa 10 %, two levels of five values.
TAnalyte Glucose() {
    TAnalyte a("Glucose", "mmol/L", 3, 2);
    const double l1[] = {4.949, 4.949, 5.05, 5.151, 5.151};
    const double l2[] = {15.147, 15.147, 15.3, 15.453, 15.453};
    for (int k = 0; k < 5; ++k) a.AddPoint(MakeRun(45000 + k, {l1[k], l2[k]}));
    a.Options &= ~TAnalyte::OptCommonCV; // each level its own SD
    a.RecalcAll();
    return a;
}

// The message a goal text is refused with; empty when it is accepted.
template <typename F> std::string Refusal(F parse) {
    try {
        parse();
    } catch (const EQcError& e) {
        return e.what();
    }
    return "";
}

} // namespace

class QualityGoals : public ::testing::Test {
protected:
    TTempFolder folder;
};

TEST_F(QualityGoals, GoalLines) {
    TQualityGoal g = ParseGoalLine(" Glucose ; 10 ; 5.0;;15,0 ");
    EXPECT_EQ(g.Analyte, "Glucose");
    EXPECT_EQ(D(*g.TEa), 10.0);
    EXPECT_EQ(g.TEaKind, teaPercent);
    EXPECT_EQ(D(*g.Target[0]), 5.0);
    EXPECT_FALSE(g.Target[1]);
    EXPECT_EQ(D(*g.Target[2]), 15.0);
    EXPECT_EQ(ParseGoalLine("K;6.5%").TEaKind, teaPercent);
    g = ParseGoalLine("Calcium;0.1 mmol/L;-2.5");
    EXPECT_EQ(g.TEaKind, teaUnit);
    EXPECT_EQ(g.TEaUnit, "mmol/L");
    EXPECT_EQ(D(*g.Target[0]), -2.5); // a negative target is a target

    const std::pair<const char*, const char*> bad[] = {
        {"Glucose;0", "TEa must be above zero, not 0"},
        {"Glucose;-3%", "TEa must be above zero"},
        {"Glucose;abc", "TEa 'abc' is not a number"},
        {"Glucose", "no TEa for Glucose"},
        {";10", "no analyte name"},
        {"Glucose;10;5;0", "target of level 2 is zero"},
        {"Glucose;10;5x", "target of level 1 '5x' is not a number"},
        {"Glucose;10;5;1e39", "target of level 2 '1e39' is out of range"},
        {"Glucose;10;1;2;3;4", "more than five fields"},
    };
    for (auto [line, message] : bad) {
        std::string refusal = Refusal([&] { ParseGoalLine(line); });
        EXPECT_NE(refusal.find(message), std::string::npos) << line << ": '" << refusal << "'";
    }
}

TEST_F(QualityGoals, GoalFiles) {
    std::vector<TQualityGoal> goals = ParseGoals("\xEF\xBB\xBF"
                                                 "analyte;TEa;target1;target2;target3\r\n"
                                                 "Glucose;10;5;15\r\n\r\nUrea;12%\n");
    ASSERT_EQ(goals.size(), 2u);
    EXPECT_EQ(goals[1].Analyte, "Urea");
    EXPECT_EQ(D(*goals[0].Target[1]), 15.0);

    EXPECT_EQ(Refusal([] { ParseGoals("Glucose;10\nUrea;12\n\nUrea;0\n"); }),
              "Line 4: TEa must be above zero, not 0");
    EXPECT_EQ(Refusal([] { ParseGoals("Glucose;10\nGLUCOSE;12\n"); }), "Line 2: GLUCOSE appears twice");
    // Beyond the figures' range: said so, not taken for a TEa of zero.
    EXPECT_EQ(Refusal([] { ParseGoalLine("Glucose;1e400"); }), "TEa '1e400' is out of range");
    EXPECT_EQ(Refusal([] { ParseGoalLine("Glucose;10;5;1e400"); }),
              "target of level 2 '1e400' is out of range");

    TAnalyte a = Glucose();
    EXPECT_EQ(Refusal([&] { CheckGoalFits(ParseGoalLine("Glucose;0.5 mmol/L;5;15"), a); }), "");
    EXPECT_EQ(Refusal([&] { CheckGoalFits(ParseGoalLine("Glucose;0.5 mg/dL"), a); }),
              "TEa of Glucose is given in mg/dL, the analyte's unit is mmol/L");
    EXPECT_EQ(Refusal([&] { CheckGoalFits(ParseGoalLine("Glucose;10;5;15;20"), a); }),
              "Glucose has 2 level(s): no target for level 3");
}

// The figures use the program's own sums: mean and SD agree with the limits to the last bit, also
// for a large mean with a small spread, where a plain sum of squares loses digits.
TEST_F(QualityGoals, FiguresAgreeWithTheProgramsStatistics) {
    std::mt19937 gen(7);
    std::normal_distribution<double> value(12345.6, 0.37);
    TAnalyte a("A", "u", 2, 2);
    for (int k = 0; k < 300; ++k) {
        TResu r = MakeRun(40000 + k, {value(gen), k % 7 == 3 ? NAN : value(gen)});
        if (k % 11 == 5) r.Levels[0].State = psDiscarded;
        a.AddPoint(r);
    }
    a.Options &= ~TAnalyte::OptCommonCV;
    a.LimitMode[1] = lmLocked;
    a.LockFirst[1] = 40;
    a.LockLast[1] = 170;
    a.RecalcAll();
    ASSERT_EQ(a.LimitMode[1], lmLocked);

    const TPeriod view{0, a.Count() - 1};
    for (int level = 0; level < 2; ++level) {
        const TPeriod p = ReferencePeriod(a, level, view);
        const LevelStats& s = level == 0 ? a.AllStats[0] : a.Limits[1];
        const TLevelFigures f = LevelFigures(a, level, p, Goal(10));
        EXPECT_EQ(f.N, s.N);
        EXPECT_EQ(f.Mean.Value, s.Mean);
        EXPECT_EQ(static_cast<float>(f.CV.Value), s.CV);
        EXPECT_EQ(TQuantile(Settings.AlertRow, f.N - 1) * f.SD.Value, s.WarnDev);
        EXPECT_EQ(TQuantile(Settings.ActionRow, f.N - 1) * f.SD.Value, s.ActionDev);
    }
    EXPECT_EQ(ReferencePeriod(a, 1, view), (TPeriod{40, 170}));
    EXPECT_EQ(ReferencePeriod(a, 0, {-5, 9999}), (TPeriod{0, a.Count() - 1}));
}

TEST_F(QualityGoals, FiguresNotAvailableSayWhy) {
    struct Case {
        std::vector<double> values;
        TQualityGoal goal;
        TGap cv, bias, sigma;
    };
    TQualityGoal zeroTarget = Goal(10, {0.0L});
    TQualityGoal inUnit = Goal(0.5, {});
    inUnit.TEaKind = teaUnit;
    const Case cases[] = {
        {{5}, Goal(10, {5.0L}), gapFewPoints, gapFewPoints, gapFewPoints},
        {{5, 5, 5}, Goal(10, {5.0L}), gapZeroCV, gapNone, gapZeroCV},
        {{-1, 1}, Goal(10, {1.0L}), gapZeroMean, gapNone, gapZeroMean},
        {{-1, 1}, inUnit, gapZeroMean, gapNoTarget, gapZeroMean},
        {{4, 6}, zeroTarget, gapNone, gapZeroTarget, gapZeroTarget},
        {{4, 6}, Goal(0, {5.0L}), gapNone, gapNone, gapTeaNotPositive},
        {{4, 6}, TQualityGoal{}, gapNone, gapNoTarget, gapNoTea},
        {{4, 6}, Goal(10), gapNone, gapNoTarget, gapNone},
    };
    for (const Case& c : cases) {
        TAnalyte a = AnalyteWithValues(c.values);
        TLevelFigures f = LevelFigures(a, 0, {0, a.Count() - 1}, c.goal);
        SCOPED_TRACE(::testing::PrintToString(c.values) + " sigma gap " + GapText(c.sigma));
        EXPECT_EQ(f.CV.Gap, c.cv);
        EXPECT_EQ(f.BiasPct.Gap, c.bias);
        EXPECT_EQ(f.Sigma.Gap, c.sigma);
        if (!f.Sigma.Ok()) {
            EXPECT_EQ(f.Sigma.Value, 0);
        }
    }
    // Without a target Sigma is given for a bias of zero and marked so.
    TAnalyte a = AnalyteWithValues({4, 6}); // mean 5, SD sqrt 2
    TLevelFigures f = LevelFigures(a, 0, {0, 1}, Goal(10));
    EXPECT_FALSE(f.BiasKnown);
    EXPECT_NEAR(D(f.Sigma.Value), 10 / (100 * std::sqrt(2.0) / 5), 1e-12);
    // A TEa in unit is taken at the level's mean: 0.5 at mean 5 is 10 %.
    TQualityGoal g = Goal(0.5, {4.0L});
    g.TEaKind = teaUnit;
    f = LevelFigures(a, 0, {0, 1}, g);
    EXPECT_NEAR(D(f.TEaPct.Value), 10, 1e-12);
    EXPECT_NEAR(D(f.BiasPct.Value), 25, 1e-12);
    // The bias alone exceeds the goal: no Sigma, however small the imprecision.
    EXPECT_EQ(f.Sigma.Gap, gapBiasBeyondTea);
    EXPECT_TRUE(MissesGoal(f));
}

TEST_F(QualityGoals, GoalMissedBelowSigmaTwoOrWithTheBiasAtTheTea) {
    TAnalyte a = AnalyteWithValues({4, 6}); // mean 5, CV 28.28 %
    struct Case {
        long double tea, target;
        TGap gap;
        bool missed;
    };
    const Case cases[] = {
        {100, 5, gapNone, false},          // Sigma 3.54
        {56.6, 5, gapNone, false},         // Sigma 2.001
        {56.5, 5, gapNone, true},          // Sigma 1.998
        {25, 4, gapBiasBeyondTea, true},   // bias 25 % = TEa
        {2, 5.8L, gapBiasBeyondTea, true}, // bias -13.8 %, TEa 2 %
    };
    for (const Case& c : cases) {
        const TLevelFigures f = LevelFigures(a, 0, {0, 1}, Goal(c.tea, {c.target}));
        SCOPED_TRACE(D(c.tea));
        EXPECT_EQ(f.Sigma.Gap, c.gap);
        EXPECT_EQ(MissesGoal(f), c.missed);
        // The decision chart still places the level; beyond twice the TEa it is marked off scale.
        const TDecisionChart chart = DecisionChart({f});
        ASSERT_EQ(chart.Points.size(), 1u);
        EXPECT_EQ(chart.Points[0].OffScale, c.tea == 2);
        EXPECT_EQ(D(chart.YMax), D(c.tea == 2 ? 4 : std::max(c.tea, 1.1L * chart.Points[0].Bias)));
    }
}

TEST_F(QualityGoals, CommonCVGivesTheSDOfTheLimits) {
    // Two levels of different CVs: with the common CV on, the figures take the limits' SD.
    TAnalyte a("Glucose", "mmol/L", 3, 2);
    const double l1[] = {4.8, 5.1, 5.0, 5.3, 4.9, 5.2};
    const double l2[] = {15.0, 15.9, 14.6, 15.4, 15.1, 14.8};
    for (int k = 0; k < 6; ++k) a.AddPoint(MakeRun(45000 + k, {l1[k], l2[k]}));
    const TQualityGoal goal = Goal(10, {5.0L, 15.0L});
    a.Options &= ~TAnalyte::OptCommonCV;
    a.RecalcAll();
    const std::vector<TLevelFigures> own = AnalyteFigures(a, goal, {0, 5});
    a.Options |= TAnalyte::OptCommonCV;
    a.RecalcAll();
    const std::vector<TLevelFigures> common = AnalyteFigures(a, goal, {0, 5});
    ASSERT_EQ(common.size(), 2u);
    const long double t = TQuantile(Settings.AlertRow, a.Limits[0].DF);
    for (size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(own[i].CommonCV);
        EXPECT_TRUE(common[i].CommonCV);
        EXPECT_EQ(common[i].Mean.Value, own[i].Mean.Value);
        // The SD the warning limits are made of, to the rounding of one division.
        EXPECT_NEAR(D(common[i].SD.Value), D(a.Limits[i].WarnDev / t), 1e-12);
        EXPECT_NEAR(D(common[i].CV.Value), a.Limits[i].CV, 1e-5);
        EXPECT_NEAR(D(common[i].Sigma.Value),
                    D((10 - std::fabs(common[i].BiasPct.Value)) / common[i].CV.Value), 1e-12);
    }
    EXPECT_NE(D(common[0].CV.Value), D(own[0].CV.Value));
    // A fixed level keeps its own figures and is left out of the pool.
    a.LimitMode[1] = lmFixed;
    a.RecalcAll();
    const std::vector<TLevelFigures> fixed = AnalyteFigures(a, goal, {0, 5});
    EXPECT_TRUE(fixed[0].CommonCV);
    EXPECT_NEAR(D(fixed[0].CV.Value), D(own[0].CV.Value), 1e-6);
    EXPECT_FALSE(fixed[1].CommonCV);
    EXPECT_EQ(fixed[1].SD.Value, own[1].SD.Value);
}

TEST_F(QualityGoals, WorkedExample) {
    TAnalyte a = Glucose();
    const std::vector<TLevelFigures> f = AnalyteFigures(a, ParseGoalLine("Glucose;10;5.0;15.0"), {0, 4});
    ASSERT_EQ(f.size(), 2u);
    struct Expect {
        double mean, sd, cv, bias, sigma;
    };
    const Expect e[] = {{5.05, 0.101, 2.0, 1.0, 4.5}, {15.3, 0.153, 1.0, 2.0, 8.0}};
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(f[i].N, 5);
        EXPECT_NEAR(D(f[i].Mean.Value), e[i].mean, 1e-6);
        EXPECT_NEAR(D(f[i].SD.Value), e[i].sd, 1e-6);
        EXPECT_NEAR(D(f[i].CV.Value), e[i].cv, 1e-5);
        EXPECT_NEAR(D(f[i].BiasPct.Value), e[i].bias, 1e-5);
        EXPECT_NEAR(D(f[i].Sigma.Value), e[i].sigma, 1e-4);
        EXPECT_TRUE(f[i].BiasKnown);
    }
    const TDecisionChart c = DecisionChart(f);
    EXPECT_FALSE(c.Normalised);
    EXPECT_EQ(D(c.TEa), 10.0);
    ASSERT_EQ(c.Lines.size(), 5u);
    EXPECT_NEAR(D(c.Lines[2].CVAtZero), 2.5, 1e-15); // Sigma 4: bias = 10 - 4 CV
    EXPECT_NEAR(D(c.Points[1].CV), 1.0, 1e-5);

    // The same TEa in unit, 0.505 mmol/L: 10 % at level 1, 3.3 % at level 2; the chart in % of TEa.
    TQualityGoal inUnit = ParseGoalLine("Glucose;0.505 mmol/L;5.0;15.0");
    const TDecisionChart n = DecisionChart(AnalyteFigures(a, inUnit, {0, 4}));
    EXPECT_TRUE(n.Normalised);
    EXPECT_NEAR(D(n.Points[0].CV), 20, 1e-4);
    EXPECT_NEAR(D(n.Points[1].Bias), 100 * 2.0 / (100 * 0.505 / 15.3), 1e-4);
}

TEST_F(QualityGoals, PeriodOfDatesTakesWholeDays) {
    TAnalyte a("A", "u", 1, 1);
    const TDateTime day = EncodeDate(2024, 5, 10);
    for (double t : {-1.0, 0.0, 0.25, 0.99, 1.5, 3.0}) a.AddPoint(MakeRun(day + t, {1}));
    EXPECT_EQ(PeriodOfDates(a, day, day), (TPeriod{1, 3}));
    EXPECT_EQ(PeriodOfDates(a, day + 0.7, day + 1.2), (TPeriod{1, 4})); // times of day do not matter
    EXPECT_EQ(PeriodOfDates(a, day - 5, day + 10), (TPeriod{0, 5}));
    EXPECT_EQ(PeriodOfDates(a, day + 2, day + 2), (TPeriod{0, -1}));
    EXPECT_EQ(PeriodOfDates(a, day + 1, day), (TPeriod{0, -1}));
}
