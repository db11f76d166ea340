// Rule advice by Sigma band and number of levels, and its comparison with the rules the program applies.
#include <algorithm>
#include <gtest/gtest.h>

#include "TestWestgardSupport.h"
#include "USigmaRules.h"

namespace {

std::string Rules(const TRuleAdvice& a) {
    std::string s;
    for (const std::string& r : a.Rules) s += (s.empty() ? "" : "/") + r;
    return s;
}

std::string Plans(const TRuleAdvice& a) {
    std::string s;
    for (const TRunPlan& p : a.Plans)
        s += (s.empty() ? "" : "; ") + std::string("N=") + std::to_string(p.N) + " R=" + std::to_string(p.R);
    return s;
}

std::string Join(const std::vector<std::string>& v) {
    std::string s;
    for (const std::string& r : v) s += (s.empty() ? "" : ",") + r;
    return s;
}

} // namespace

TEST(SigmaRules, AdviceByBandAndLevels) {
    struct Case {
        long double sigma;
        int levels;
        const char* rules;
        const char* plans;
    };
    const Case cases[] = {
        {6.0L, 2, "1:3s", "N=2 R=1"},
        {5.999L, 2, "1:3s/2:2s/R:4s", "N=2 R=1"},
        {5.0L, 2, "1:3s/2:2s/R:4s", "N=2 R=1"},
        {4.999L, 2, "1:3s/2:2s/R:4s/4:1s", "N=4 R=1; N=2 R=2"},
        {4.0L, 2, "1:3s/2:2s/R:4s/4:1s", "N=4 R=1; N=2 R=2"},
        {3.999L, 2, "1:3s/2:2s/R:4s/4:1s/8:x", "N=4 R=2; N=2 R=4"},
        {-2.0L, 2, "1:3s/2:2s/R:4s/4:1s/8:x", "N=4 R=2; N=2 R=4"},
        {6.0L, 3, "1:3s", "N=3 R=1"},
        {5.5L, 3, "1:3s/2of3:2s/R:4s", "N=3 R=1"},
        {4.5L, 3, "1:3s/2of3:2s/R:4s/3:1s", "N=3 R=1"},
        {3.0L, 3, "1:3s/2of3:2s/R:4s/3:1s/6:x", "N=6 R=1; N=3 R=2"},
        // One level follows the two-level table: N counts values, the one control measured N times.
        {7.0L, 1, "1:3s", "N=2 R=1"},
        {4.5L, 1, "1:3s/2:2s/R:4s/4:1s", "N=4 R=1; N=2 R=2"},
    };
    for (const Case& c : cases) {
        const TRuleAdvice a = AdviseRules(c.sigma, c.levels);
        EXPECT_EQ(Rules(a), c.rules) << static_cast<double>(c.sigma) << " " << c.levels;
        EXPECT_EQ(Plans(a), c.plans) << static_cast<double>(c.sigma) << " " << c.levels;
    }
}

TEST(SigmaRules, ComparisonWithTheAppliedRules) {
    struct Case {
        long double sigma;
        int levels;
        bool on;
        const char* missing;
        const char* extra;
    };
    const Case cases[] = {
        {6.5L, 2, true, "", "2:2s,R:4s,4:1s,10:m"},
        {6.5L, 2, false, "", ""},
        {4.5L, 2, true, "", "10:m"},
        {3.5L, 2, true, "8:x", "10:m"},
        {3.5L, 1, false, "2:2s,R:4s,4:1s,8:x", ""},
        // Two of three levels beyond 2s is the program's 2:2s across three levels.
        {5.5L, 3, true, "", "4:1s,10:m,3:1s,9:m"},
        {3.5L, 3, true, "6:x", "4:1s,10:m,9:m"},
    };
    for (const Case& c : cases) {
        const TRuleComparison r = CompareRules(AdviseRules(c.sigma, c.levels), c.levels, c.on);
        SCOPED_TRACE(r.Text);
        EXPECT_EQ(Join(r.Missing), c.missing);
        EXPECT_EQ(Join(r.Extra), c.extra);
    }
    const std::string off = CompareRules(AdviseRules(3.5L, 1), 1, false).Text;
    EXPECT_NE(off.find("Switch the Westgard multirules on."), std::string::npos) << off;
    EXPECT_NE(off.find("measure each control 2 times per run"), std::string::npos) << off;
    EXPECT_NE(CompareRules(AdviseRules(6.5L, 2), 2, false).Text.find("exactly the advised rules"),
              std::string::npos);
    EXPECT_TRUE(CompareRules(AdviseRules(6.5L, 2), 0, true).Applied.empty());
}

TEST(SigmaRules, TheAdviceIsARuleSetOfTheEngineAndComparedWithOne) {
    // Every band and number of levels: the advice made a set names exactly the advised rules.
    for (long double sigma : {7.0L, 5.5L, 4.5L, 3.2L})
        for (int levels = 1; levels <= 3; ++levels) {
            const TRuleAdvice advice = AdviseRules(sigma, levels);
            const TQcRuleSet set = AdvisedRuleSet(advice);
            std::vector<std::string> names;
            for (QcRule r : set.Reject) names.push_back(QcRuleName(r));
            std::vector<std::string> advised = advice.Rules;
            std::sort(advised.begin(), advised.end());
            std::sort(names.begin(), names.end());
            EXPECT_EQ(names, advised) << static_cast<double>(sigma) << " " << levels;
            EXPECT_TRUE(set.Warn.empty());
            // Applied as the analyte's own set, the advice is followed exactly.
            const TRuleComparison own = CompareRules(advice, levels, false, set);
            EXPECT_TRUE(own.Missing.empty() && own.Extra.empty()) << own.Text;
            EXPECT_NE(own.Text.find("exactly the advised rules"), std::string::npos) << own.Text;
        }
    // An own set beside the advice: what is missing and extra by the engine's names, no note on the
    // multirules' switch.
    const TRuleComparison r =
        CompareRules(AdviseRules(3.2L, 3), 3, false, MakeQcRuleSet("", "1:3s, 2:2s, R:4s", "1:2s"));
    EXPECT_EQ(Join(r.Missing), "2of3:2s,3:1s,6:x");
    EXPECT_EQ(Join(r.Extra), "2:2s");
    EXPECT_NE(r.Text.find("Applied: 1:3s/2:2s/R:4s (the analyte's own rules)."), std::string::npos) << r.Text;
    EXPECT_EQ(r.Text.find("Switch the Westgard multirules on"), std::string::npos) << r.Text;
}

TEST(SigmaRules, LevelsJudgedByTheRules) {
    TAnalyte a = wg::Analyte(3);
    EXPECT_EQ(RuleLevels(a), 3);
    wg::SetLimits(a, 0, 100, 4, 6, lmFixed);
    wg::SetLimits(a, 2, 100, 4, 6, lmMobile, 6);
    EXPECT_EQ(RuleLevels(a), 1);
    a.NbLevels = 1;
    EXPECT_EQ(RuleLevels(a), 0);
}
