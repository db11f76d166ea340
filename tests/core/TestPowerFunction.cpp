// Error detection: the closed form for one limit rule, the simulation through the rule engine checked
// against it, and the detection at the critical systematic error.
#include <cmath>
#include <gtest/gtest.h>

#include "TestHelpers.h"
#include "TestWestgardSupport.h"
#include "UGlobale.h"
#include "UPowerFunction.h"
#include "UUtilitaires.h"

namespace {

double D(long double v) {
    return static_cast<double>(v);
}

TRuleSet Rules(int levels, bool multirules, long double kw = 1.96L, long double ka = 3.0L) {
    TRuleSet r;
    r.Levels = levels;
    r.Multirules = multirules;
    r.KWarn.fill(kw);
    r.KAction.fill(ka);
    return r;
}

} // namespace

TEST(PowerFunction, ClosedForm) {
    EXPECT_EQ(D(Phi(0)), 0.5);
    EXPECT_NEAR(D(Phi(1.96L)), 0.9750021048517795, 1e-15);
    EXPECT_NEAR(D(Phi(-3)), 0.0013498980316301, 1e-16);
    const long double k3[] = {3, 3};
    EXPECT_NEAR(D(SingleRuleRejection(k3, 0)), 0.005392303227737205, 1e-15);
    EXPECT_NEAR(D(SingleRuleRejection(k3, 2.85L)), 0.6868280411371341, 1e-13);
    // Different limits per value multiply their chances of staying inside.
    const long double mixed[] = {3, 2};
    EXPECT_NEAR(D(SingleRuleRejection(mixed, 0)), 1 - (1 - 0.0026997960632602) * (1 - 0.0455002638963584),
                1e-13);
}

// Within four standard errors of the exact rate at every shift; the seed is fixed, so this holds or
// fails the same way on every run.
TEST(PowerFunction, SimulationMatchesTheClosedFormForSingleRules) {
    TSimulation sim;
    sim.Trials = 20000;
    std::vector<long double> shifts;
    for (size_t k = 0; k < PowerShifts().size(); k += 5) shifts.push_back(PowerShifts()[k]);
    ASSERT_EQ(D(shifts.back()), 5.0);
    for (int levels = 1; levels <= 3; ++levels) {
        for (bool on : {false, true}) {
            const TRuleSet rules = Rules(levels, on, 1.96L, 3.09L);
            const std::vector<TPowerPoint> p = SimulatePower(rules, shifts, sim);
            const std::span<const long double> kw(rules.KWarn.data(), static_cast<size_t>(levels));
            const std::span<const long double> ka(rules.KAction.data(), static_cast<size_t>(levels));
            for (const TPowerPoint& q : p) {
                SCOPED_TRACE(std::to_string(levels) + " level(s), shift " + std::to_string(D(q.Shift)));
                for (auto [rate, exact] : {std::pair{q.Rule13s, SingleRuleRejection(ka, q.Shift)},
                                           std::pair{q.Rule12s, SingleRuleRejection(kw, q.Shift)}}) {
                    const long double se = std::sqrt(exact * (1 - exact) / 20000);
                    EXPECT_NEAR(D(rate), D(exact), D(4 * se + 1e-4L));
                }
                // Off, the action limits are the only rejection; on, the multirules add to them.
                if (on)
                    EXPECT_GE(q.Program, q.Rule13s);
                else
                    EXPECT_EQ(q.Program, q.Rule13s);
            }
            if (on) {
                EXPECT_GT(p[0].Program, 2 * p[0].Rule13s);
            }
        }
    }
}

TEST(PowerFunction, HistoryLength) {
    const std::vector<long double> shifts = {0, 1, 2};
    TSimulation sim;
    sim.Trials = 5000;
    const TRuleSet rules = Rules(2, true);
    sim.HistoryRuns = 9;
    const std::vector<TPowerPoint> nine = SimulatePower(rules, shifts, sim);
    sim.HistoryRuns = 30;
    const std::vector<TPowerPoint> thirty = SimulatePower(rules, shifts, sim);
    sim.HistoryRuns = 0;
    const std::vector<TPowerPoint> none = SimulatePower(rules, shifts, sim);
    for (size_t s = 0; s < shifts.size(); ++s) {
        // The walks never read more than nine earlier values.
        EXPECT_EQ(nine[s].Program, thirty[s].Program);
        // Without history only the rules within the run are left.
        EXPECT_LT(none[s].Program, nine[s].Program);
    }
}

class ErrorDetectionTest : public ::testing::Test {
protected:
    TTempFolder folder;
};

TEST_F(ErrorDetectionTest, AtTheCriticalError) {
    // Two levels of five values with the common CV (on at creation): the limits have the pooled
    // eight degrees of freedom, and the factors are the program's Student's t at the default risks.
    TAnalyte a("Glucose", "mmol/L", 3, 2);
    for (int k = 0; k < 5; ++k) a.AddPoint(MakeRun(45000 + k, {5.0 + 0.1 * (k % 3), 15.0 + 0.2 * (k % 2)}));
    a.RecalcAll();
    const TRuleSet rules = RuleSetOf(a);
    ASSERT_EQ(rules.Levels, 2);
    EXPECT_TRUE(rules.Multirules);
    EXPECT_EQ(rules.KWarn[1], TQuantile(Settings.AlertRow, 8));
    EXPECT_EQ(rules.KAction[0], TQuantile(Settings.ActionRow, 8));

    TSimulation sim;
    sim.Trials = 4000;
    const TErrorDetection e = ErrorDetection(rules, TFigure::Of(4.5L), sim);
    EXPECT_NEAR(D(e.DeltaSEcrit.Value), 2.85, 1e-15);
    const long double crit = 2.85L;
    const long double kw = rules.KWarn[0], ka = rules.KAction[0];
    EXPECT_NEAR(D(e.Ped12s.Value), D(1 - std::pow(Phi(kw - crit) - Phi(-kw - crit), 2)), 1e-15);
    EXPECT_NEAR(D(e.Pfr13s.Value), D(1 - std::pow(Phi(ka) - Phi(-ka), 2)), 1e-15);
    EXPECT_GE(e.Ped.Value, e.Ped13s.Value - 0.01L);
    EXPECT_GT(e.Ped.Value, e.Pfr.Value);

    // Below 1.65 the goal is missed without any error: no detection figure, the false rejection stays.
    const TErrorDetection low = ErrorDetection(rules, TFigure::Of(1.0L), sim);
    EXPECT_EQ(low.Ped.Gap, gapBelowCritical);
    EXPECT_EQ(low.Ped13s.Gap, gapBelowCritical);
    EXPECT_TRUE(low.Pfr.Ok());
    EXPECT_EQ(low.DeltaSEcrit.Gap, gapBelowCritical); // no negative error to detect
    EXPECT_EQ(ErrorDetection(rules, TFigure::Missing(gapZeroCV), sim).Pfr.Gap, gapZeroCV);
    EXPECT_EQ(ErrorDetection(TRuleSet{0}, TFigure::Of(5), sim).Ped.Gap, gapNoRules);

    // A fixed level is not judged by the rules.
    a.LimitMode[1] = lmFixed;
    EXPECT_EQ(RuleSetOf(a).Levels, 1);
}
