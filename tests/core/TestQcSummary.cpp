// Stored points judged again: outcomes per level, z-scores, Youden pairs and the monthly summary.
#include <cmath>
#include <gtest/gtest.h>

#include "TestHelpers.h"
#include "TestWestgardSupport.h"
#include "UQcError.h"
#include "UQcSummary.h"

using namespace wg;

namespace {

// Limits everywhere: m 100, w 4, a 6.
constexpr double Warn = 104.5, Act = 107;

double D(long double v) {
    return static_cast<double>(v);
}

// "R", "W", "ok", "D" or "-" per level, with the violated rules in brackets.
std::string Text(const TAnalyte& a, const TPointJudgement& j) {
    static const char* names[] = {"-", "ok", "W", "R", "D"};
    std::string s;
    for (int i = 0; i < a.NbLevels; ++i) {
        s += (i ? " " : "") + std::string(names[j.Level[i]]);
        for (int k = 0; k < RuleCount; ++k)
            if (j.LevelRules[i] & (1u << k)) s += std::string("[") + LevelRuleNames[k] + "]";
    }
    for (int k = FirstAcrossRule; k < RuleCount; ++k)
        if (j.AcrossRules & (1u << k)) s += std::string(" A[") + LevelRuleNames[k] + "]";
    return s;
}

void Discard(TAnalyte& a, int index, int level) {
    a.Points[static_cast<size_t>(index)].Levels[static_cast<size_t>(level)].State = psDiscarded;
}

} // namespace

TEST(QcSummary, StoredPointsJudgedAgain) {
    TAnalyte a = Analyte(2);
    AddPoint(a, 1, {Warn, 100});
    AddPoint(a, 2, {Warn, 100});
    AddPoint(a, 3, {Act, NAN});
    AddPoint(a, 4, {90, 101});
    Discard(a, 3, 0);
    AddPoint(a, 5, {Warn, Warn});
    const char* expected[] = {
        "W[1:2s] ok",
        "R[1:2s][2:2s] ok",
        "R[1:2s][1:3s][2:2s] -",
        "D ok",
        // Four values beyond 1s on level 1, the discarded one skipped; two levels beyond 2s in the run.
        "R[1:2s][4:1s] R[1:2s] A[2:2s]",
    };
    for (int k = 0; k < a.Count(); ++k) EXPECT_EQ(Text(a, JudgePoint(a, k)), expected[k]) << k;
    // With the multirules off only the stored states speak.
    a.Options &= ~TAnalyte::OptMultirules;
    EXPECT_EQ(Text(a, JudgePoint(a, 1)), "W ok");
    EXPECT_EQ(Text(a, JudgePoint(a, 2)), "R -");
}

TEST(QcSummary, ZScoresAndYoudenPairs) {
    TTempFolder folder;
    TAnalyte a = Analyte(2);
    SetLimits(a, 1, 200, 8, 12);
    const double l1[] = {98, 100, 102, 100, 100};
    const double l2[] = {196, 200, 204, NAN, 208};
    for (int k = 0; k < 5; ++k) AddPoint(a, k + 1, {l1[k], l2[k]});
    Discard(a, 1, 1);
    a.Options &= ~TAnalyte::OptCommonCV; // each level its own SD
    std::vector<TLevelFigures> f = AnalyteFigures(a, TQualityGoal{}, {0, 4});
    // Level 1: mean 100, SD sqrt 2; level 2 without the discarded 200: 196, 204, 208.
    const std::vector<TZPoint> z = ZScores(a, f, {0, 4});
    ASSERT_EQ(z.size(), 5u);
    EXPECT_NEAR(z[0].Z[0], -2 / std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(z[2].Z[1], (204 - D(f[1].Mean.Value)) / D(f[1].SD.Value), 1e-12);
    EXPECT_FALSE(z[3].Has[1]);
    EXPECT_TRUE(z[1].Has[1]); // a discarded value is drawn, marked by its outcome
    EXPECT_EQ(z[1].Judgement.Level[1], ocDiscarded);

    const std::vector<TYoudenPoint> y = YoudenPairs(z, 0, 1);
    ASSERT_EQ(y.size(), 3u);
    EXPECT_EQ(y[0].Index, 0);
    EXPECT_EQ(y[1].Index, 2);
    EXPECT_EQ(y[2].Index, 4);
    // 208 lies on level 2's warning limit: the pair takes the worse outcome.
    EXPECT_EQ(y[2].Outcome, ocWarning);
    EXPECT_EQ(y[0].Outcome, ocClear);
    EXPECT_TRUE(YoudenPairs(z, 0, 3).empty());
}

TEST(QcSummary, MonthlySummary) {
    TTempFolder folder;
    TAnalyte a = Analyte(1);
    const struct {
        int month, day;
        double value;
    } points[] = {{1, 3, 99}, {1, 17, Warn}, {1, 31, 101}, {3, 1, Act}, {3, 2, 100}, {3, 30, 96}};
    for (const auto& p : points) AddPoint(a, EncodeDate(2024, p.month, p.day) + 0.5, {p.value});
    Discard(a, 5, 0);
    TQualityGoal goal;
    goal.TEa = 10;
    goal.Target[0] = 100;

    const TSummary s = MonthlySummary(a, goal, ParseMonth("2024-01"), ParseMonth("2024-03"));
    ASSERT_EQ(s.Months.size(), 3u);
    EXPECT_EQ(s.Months[1].Month, (TMonth{2024, 2}));
    struct Expect {
        int n, warnings, rejects, discarded;
    };
    const Expect e[] = {{3, 1, 0, 0}, {0, 0, 0, 0}, {2, 0, 1, 1}};
    for (size_t m = 0; m < 3; ++m) {
        const TMonthLevel& l = s.Months[m].Levels[0];
        EXPECT_EQ(l.Figures.N, e[m].n) << m;
        EXPECT_EQ(l.Warnings, e[m].warnings) << m;
        EXPECT_EQ(l.Rejects, e[m].rejects) << m;
        EXPECT_EQ(l.Discarded, e[m].discarded) << m;
    }
    EXPECT_NEAR(D(s.Months[0].Levels[0].Figures.Mean.Value), (99 + Warn + 101) / 3, 1e-12);
    EXPECT_EQ(s.Months[1].Levels[0].Figures.Sigma.Gap, gapFewPoints);
    const TMonthLevel& all = s.Cumulative[0];
    EXPECT_EQ(all.Figures.N, 5);
    EXPECT_EQ(all.Figures.Period, (TPeriod{0, 5}));
    EXPECT_EQ(all.Warnings + all.Rejects + all.Discarded, 3);
    EXPECT_EQ(all.Figures.Mean.Value, LevelFigures(a, 0, {0, 5}, goal).Mean.Value);

    // A later month alone, and a range without points.
    EXPECT_EQ(MonthlySummary(a, goal, {2024, 3}, {2024, 3}).Cumulative[0].Figures.N, 2);
    EXPECT_EQ(MonthlySummary(a, goal, {2023, 1}, {2023, 12}).Cumulative[0].Figures.N, 0);
    EXPECT_THROW(MonthlySummary(a, goal, {2024, 3}, {2024, 1}), EQcError);
    EXPECT_THROW(MonthlySummary(a, goal, {1900, 1}, {2024, 1}), EQcError);
    for (const char* bad : {"2024-13", "2024-1", "24-01", "2024/01", "0000-01", ""})
        EXPECT_THROW(ParseMonth(bad), EQcError) << bad;
}

TEST(QcSummary, AnOwnRuleSetJudgesTheStoredPoints) {
    TTempFolder folder;
    TAnalyte a = Analyte(2);
    // Limits of many degrees of freedom: an SD near 2, Warn at 2.2 SD.
    for (int i = 0; i < 2; ++i) a.Limits[i].DF = 1000;
    AddPoint(a, EncodeDate(2024, 1, 1), {Warn, 100});
    AddPoint(a, EncodeDate(2024, 1, 2), {Warn, 100});
    AddPoint(a, EncodeDate(2024, 1, 3), {Warn, Warn});
    // Per level the outcome and the rules it breaks, its own then across ("|" between levels).
    auto text = [&](const TPointJudgement& j) {
        static const char* names[] = {"-", "ok", "W", "R", "D"};
        std::string s;
        for (int i = 0; i < a.NbLevels; ++i)
            s += (i ? " | " : "") + std::string(names[j.Level[i]]) + " " + PointRuleNames(j, i);
        return s;
    };
    const struct {
        const char* reject;
        const char* warn;
        const char* point1;
        const char* point2;
    } cases[] = {
        // The multirules, named as before.
        {"", "", "R 1:2s,2:2s | ok ", "R 1:2s,2:2s,2:2s | R 1:2s,2:2s"},
        // Only the stored warning states speak where the set does not fire.
        {"1:3s", "", "W  | ok ", "W  | W "},
        {"1:3s, 2:2s", "", "R 2:2s | ok ", "R 2:2s,2:2s | R 2:2s"},
        {"1:3s", "2:2s", "W 2:2s | ok ", "W 2:2s,2:2s | W 2:2s"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.reject) + " | " + c.warn);
        const TQcRuleSet own = *c.reject ? MakeQcRuleSet("", c.reject, c.warn) : TQcRuleSet{};
        EXPECT_EQ(text(JudgePoint(a, 1, own)), c.point1);
        EXPECT_EQ(text(JudgePoint(a, 2, own)), c.point2);
        EXPECT_EQ(JudgePoint(a, 2, own).OwnRules, !own.Empty());
        // The z-scores and the monthly summary judge by the same set.
        const std::vector<TZPoint> z = ZScores(a, AnalyteFigures(a, TQualityGoal{}, {0, 2}), {0, 2}, own);
        ASSERT_EQ(z.size(), 3u);
        EXPECT_EQ(text(z[1].Judgement), c.point1);
        const TDateParts d = DecodeDate(a.Points[0].DateTime);
        const TMonth m{d.Year, d.Month};
        const TSummary s = MonthlySummary(a, TQualityGoal{}, m, m, own);
        int rejects = 0;
        for (int k = 0; k < 3; ++k)
            for (int i = 0; i < 2; ++i) rejects += JudgePoint(a, k, own).Level[i] == ocReject;
        EXPECT_EQ(s.Cumulative[0].Rejects + s.Cumulative[1].Rejects, rejects);
    }
    // The multirule switch is not read with a set of its own.
    a.Options &= ~TAnalyte::OptMultirules;
    EXPECT_EQ(text(JudgePoint(a, 1, MakeQcRuleSet("", "1:3s, 2:2s", ""))), "R 2:2s | ok ");
    EXPECT_EQ(text(JudgePoint(a, 1)), "W  | ok ");
}
