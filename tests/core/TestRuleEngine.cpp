// Selectable rules: each rule's firing on crafted series, within a level and across levels and runs,
// and the rule sets' parsing and refusals.
#include <gtest/gtest.h>

#include <cmath>

#include "TestHelpers.h"
#include "UGlobaleSettings.h"
#include "UQcError.h"
#include "URuleEngine.h"
#include "UUtilitaires.h"

namespace {

constexpr double X = NAN; // a value the run does not hold

std::vector<TZRun> Runs(std::initializer_list<std::initializer_list<double>> runs) {
    std::vector<TZRun> out;
    for (const auto& r : runs) {
        TZRun z = EmptyZRun();
        size_t i = 0;
        for (double v : r) z[i++] = v;
        out.push_back(z);
    }
    return out;
}

struct TCase {
    const char* Rule;
    std::vector<TZRun> Runs; // oldest first; the last is judged
    uint8_t Within;          // levels whose own series violate the rule
    bool Across;
};

TRuleFinding Judge(QcRule rule, const std::vector<TZRun>& runs) {
    const TQcRuleSet set{"", {rule}, {}};
    const TRuleJudgement j = JudgeRuns(set, runs);
    return j.Findings.at(0);
}

TEST(RuleEngine, EachRuleFiresOnItsOwnPattern) {
    const std::vector<TCase> cases = {
        // Limit rules: strictly beyond, the newest run only.
        {"1:2s", Runs({{2.01, 0.0}}), 0b01, false},
        {"1:2s", Runs({{2.0, -2.0}}), 0, false},
        {"1:2s", Runs({{3.0}, {0.5}}), 0, false},
        {"1:2.5s", Runs({{0.0, -2.6}}), 0b10, false},
        {"1:2.5s", Runs({{2.4, -2.4}}), 0, false},
        {"1:3s", Runs({{3.1, 0.0, -3.2}}), 0b101, false},
        {"1:3s", Runs({{2.9}}), 0, false},
        {"1:3.5s", Runs({{3.4, 3.6}}), 0b10, false},
        // 2:2s: one level over two runs, two levels in one run, and across the boundary of runs.
        {"2:2s", Runs({{2.2, 0.0}, {2.1, 0.0}}), 0b01, false},
        {"2:2s", Runs({{0.0, 0.0}, {-2.1, -2.3}}), 0, true},
        {"2:2s", Runs({{2.2, 0.0}, {-2.1, 0.0}}), 0, false},
        {"2:2s", Runs({{2.2, 2.5}, {0.0, 0.0}}), 0, false}, // fired on the earlier run, not this one
        {"2:2s", Runs({{2.1}, {X}, {2.5}}), 0b1, false},    // a run without the value is skipped
        // 2of3:2s: two of three across three levels, and within one level over three runs.
        {"2of3:2s", Runs({{2.1, 0.5, 2.2}}), 0, true},
        {"2of3:2s", Runs({{2.1, 0.5, -2.2}}), 0, false},
        {"2of3:2s", Runs({{2.3}, {1.0}, {2.4}}), 0b1, false},
        {"2of3:2s", Runs({{2.3}, {1.0}, {1.0}, {2.4}}), 0, false},
        // R:4s: within the run only, never across runs.
        {"R:4s", Runs({{2.1, -2.1}}), 0, true},
        {"R:4s", Runs({{2.1, 0.0}, {0.0, -2.1}}), 0, false},
        {"R:4s", Runs({{3.0, 1.0, -1.9}}), 0, false},
        // 3:1s and 4:1s: one side beyond 1 SD, within the level over runs or across levels.
        {"3:1s", Runs({{1.1, 0.0, 0.0}, {1.2, 0.0, 0.0}, {1.3, 0.0, 0.0}}), 0b001, false},
        {"3:1s", Runs({{-1.1, -1.5, -1.2}}), 0, true},
        {"3:1s", Runs({{1.1}, {-1.2}, {1.3}}), 0, false},
        {"4:1s", Runs({{1.1, 1.2}, {1.5, 1.8}}), 0, true},
        {"4:1s", Runs({{1.1, 0.0}, {1.2, 0.0}, {1.3, 0.0}, {1.4, 0.0}}), 0b01, false},
        {"4:1s", Runs({{1.2}, {1.3}, {1.4}}), 0, false},
        // n:x: one side of the mean; a value on the mean ends the series.
        {"6:x", Runs({{0.1, 0.2, 0.3}, {0.4, 0.1, 0.2}}), 0, true},
        {"6:x", Runs({{0.1, 0.2, 0.3}, {0.4, 0.0, 0.2}}), 0, false},
        {"8:x", Runs({{-0.1, -0.2}, {-0.1, -0.2}, {-0.1, -0.2}, {-0.1, -0.2}}), 0, true},
        {"8:x", Runs({{-0.1, -0.2}, {-0.1, -0.2}, {-0.1, -0.2}, {-0.1, 0.2}}), 0, false},
        {"9:x", Runs({{0.3, 0.3, 0.3}, {0.3, 0.3, 0.3}, {0.3, 0.3, 0.3}}), 0, true},
        {"10:x", Runs({{0.5}, {0.5}, {0.5}, {0.5}, {0.5}, {0.5}, {0.5}, {0.5}, {0.5}, {0.5}}), 0b1, false},
        {"10:x", Runs({{0.5}, {0.5}, {0.5}, {0.5}, {0.5}, {0.5}, {0.5}, {0.5}, {0.5}}), 0, false},
        {"12:x", Runs({{-1, -1, -1}, {-1, -1, -1}, {-1, -1, -1}, {-1, -1, -1}}), 0, true},
        {"12:x", Runs({{-1, -1, -1}, {-1, -1, -1}, {-1, -1, -1}, {-1, -1, 1}}), 0, false},
    };
    for (size_t k = 0; k < cases.size(); ++k) {
        const TCase& c = cases[k];
        QcRule rule{};
        ASSERT_TRUE(FindQcRule(c.Rule, rule)) << c.Rule;
        const TRuleFinding f = Judge(rule, c.Runs);
        EXPECT_EQ(f.Within, c.Within) << "case " << k << " " << c.Rule;
        EXPECT_EQ(f.Across, c.Across) << "case " << k << " " << c.Rule;
        EXPECT_EQ(f.Violated, c.Within != 0 || c.Across) << "case " << k << " " << c.Rule;
    }
}

TEST(RuleEngine, ASetMarksRejectAndWarningRulesAndLeavesTheRestOff) {
    const TQcRuleSet set = MakeQcRuleSet("", "1:3s/2:2s", "1:2s");
    // A value beyond 2 SD warns; a second one on the same side rejects; 1:2.5s is off.
    TRuleJudgement j = JudgeRuns(set, Runs({{0.0, 0.0}, {2.6, 0.0}}));
    EXPECT_EQ(j.Worst, rsWarning);
    ASSERT_EQ(j.Findings.size(), 3u);
    EXPECT_EQ(j.Findings[0].Rule, qr13s);
    EXPECT_EQ(j.Findings[2].Rule, qr12s);
    EXPECT_EQ(j.Findings[2].Status, rsWarning);
    j = JudgeRuns(set, Runs({{2.2, 0.0}, {2.6, 0.0}}));
    EXPECT_TRUE(j.Rejected());
    EXPECT_EQ(j.Findings[1].Status, rsReject);
    EXPECT_EQ(JudgeRuns(set, Runs({{1.0, -1.0}})).Worst, rsClear);
    EXPECT_EQ(JudgeRuns(set, {}).Worst, rsClear);
}

TEST(RuleEngine, RuleNamesParseInTheProgramsOrderAndBadSetsAreRefused) {
    EXPECT_EQ(ParseQcRules(" r:4s, 1:3S / 2OF3:2s;1:3s 10:X"),
              (std::vector<QcRule>{qr13s, qr2of32s, qrR4s, qr10x}));
    EXPECT_TRUE(ParseQcRules(" , ").empty());
    for (int k = 0; k < QcRuleCount; ++k) {
        QcRule r{};
        ASSERT_TRUE(FindQcRule(QcRuleName(static_cast<QcRule>(k)), r));
        EXPECT_EQ(r, static_cast<QcRule>(k));
    }
    const TQcRuleSet s = MakeQcRuleSet("", "1:3s,2of3:2s,R:4s", "");
    EXPECT_EQ(s.DisplayName(), "1:3s/2of3:2s/R:4s");
    EXPECT_EQ(QcRulesText(s.Reject), "1:3s, 2of3:2s, R:4s");

    const std::vector<std::pair<std::pair<const char*, const char*>, const char*>> bad = {
        {{"", "1:2s"}, "A rule set needs at least one reject rule"},
        {{"1:3s, 7:x", ""}, "Unknown rule: 7:x"},
        {{"1:3s", "1:2s 10m"}, "Unknown rule: 10m"},
        {{"1:3s, 2:2s", "2:2s"}, "2:2s cannot both reject and warn"},
    };
    for (const auto& [parts, message] : bad) {
        try {
            MakeQcRuleSet("", parts.first, parts.second);
            ADD_FAILURE() << parts.first << " | " << parts.second;
        } catch (const EQcError& e) {
            EXPECT_STREQ(e.what(), message);
        }
    }
}

} // namespace

// An analyte's run judged by its own set: values in SD units of the limits in force, earlier runs
// from the stored points.
class OwnRules : public ::testing::Test {
protected:
    TAnalyte a{"Glucose", "mmol/L", 1, 2};
    std::array<double, 2> mean{}, sd{};
    void SetUp() override {
        const double base[] = {99, 101, 100, 98.5, 101.5, 100, 99.5, 100.5, 100, 99, 101, 100};
        for (int k = 0; k < 12; ++k) a.AddPoint(MakeRun(46000 + k, {base[k], base[(k + 4) % 12] * 2}));
        a.LimitMode = {lmLocked, lmLocked, lmMobile};
        a.LockFirst = {0, 0, -1};
        a.LockLast = {11, 11, -1};
        a.RecalcAll();
        for (size_t i = 0; i < 2; ++i) {
            mean[i] = static_cast<double>(a.Limits[i].Mean);
            sd[i] = static_cast<double>(a.Limits[i].WarnDev / TQuantile(Settings.AlertRow, a.Limits[i].DF));
        }
    }
    // A point or run of z values, NAN for none.
    TResu At(int day, double z1, double z2) {
        TResu r = MakeRun(46100 + day, {mean[0] + z1 * sd[0], mean[1] + z2 * sd[1]});
        for (size_t i = 0; i < 2; ++i)
            if (std::isnan(i ? z2 : z1)) r.Levels[i] = {};
        a.ClassifyRun(r.Levels);
        return r;
    }
    TOwnRulesResult Judge(const char* reject, const TResu& run, TRejectToggles rejected = {}) {
        return JudgeOwnRules(a, MakeQcRuleSet("", reject, ""), run, PreviousIndex(a, run.DateTime), rejected);
    }
};

TEST_F(OwnRules, ValuesAreReadInSdUnitsOfTheLimitsAndAlongTheStoredPoints) {
    // 2.7 SD: beyond 1:2.5s, inside 1:3s, on either level.
    EXPECT_TRUE(Judge("1:2.5s", At(0, 2.7, 0)).Judgement.Rejected());
    EXPECT_FALSE(Judge("1:3s", At(0, 2.7, 0)).Judgement.Rejected());
    const TOwnRulesResult second = Judge("1:2.5s", At(0, 0, -2.7));
    EXPECT_EQ(second.N, 2);
    EXPECT_EQ(second.Judgement.Findings[0].Within, 2);

    // 2:2s with the stored point before: along level 1, and across the two levels of one run.
    a.AddPoint(At(0, 2.2, 0));
    EXPECT_TRUE(Judge("2:2s", At(1, 2.3, 0)).Judgement.Rejected());
    EXPECT_EQ(Judge("2:2s", At(1, 2.3, 0)).Judgement.Findings[0].Within, 1);
    EXPECT_FALSE(Judge("2:2s", At(1, -2.3, 0)).Judgement.Rejected());
    EXPECT_TRUE(Judge("2:2s", At(1, 0.5, 2.1)).Judgement.Findings[0].Across == false);
    EXPECT_TRUE(Judge("2:2s", At(1, 2.1, 2.1)).Judgement.Findings[0].Across);
    // A level rejected for this run takes no part; a discarded stored value is not read.
    const TOwnRulesResult without = Judge("2:2s", At(1, 2.3, 0), {true, false, false});
    EXPECT_FALSE(without.TakesPart[0]);
    EXPECT_FALSE(without.Judgement.Rejected());
    a.Points.back().Levels[0].State = psDiscarded;
    EXPECT_FALSE(Judge("2:2s", At(1, 2.3, 0)).Judgement.Rejected());
}
