// Power of selectable rule sets and the run size allowed by MaxE(Nuf), against figures worked out apart.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <tuple>

#include "URunPlanning.h"
#include "USigmaRules.h"

namespace {

TQcRuleSet Set(const char* reject) {
    return MakeQcRuleSet("", reject, "");
}

TEST(RunPlanning, SingleRulesFollowTheClosedForms) {
    EXPECT_NEAR(static_cast<double>(RuleSetRejection(Set("1:2s"), 2, 0).P), 0.0889, 5e-5);
    EXPECT_NEAR(static_cast<double>(RuleSetRejection(Set("1:3s"), 2, 0).P), 0.0054, 5e-5);
    EXPECT_NEAR(static_cast<double>(RuleSetRejection(Set("1:2.5s"), 2, 0).P), 0.0247, 5e-5);
    EXPECT_EQ(RuleSetRejection(Set("1:3s"), 2, 0).StdError, 0);
}

TEST(RunPlanning, SimulationAgreesWithTheClosedFormWithinThreeStandardErrors) {
    // 1:3s beside 1:2.5s rejects exactly what 1:2.5s does, but is simulated.
    for (long double shift : {0.0L, 1.5L, 3.0L}) {
        const TRejection sim = RuleSetRejection(Set("1:3s, 1:2.5s"), 3, shift, 20000);
        const TRejection exact = RuleSetRejection(Set("1:2.5s"), 3, shift);
        ASSERT_GT(sim.StdError, 0);
        EXPECT_NEAR(static_cast<double>(sim.P), static_cast<double>(exact.P),
                    static_cast<double>(3 * sim.StdError + 1e-4L))
            << static_cast<double>(shift);
    }
    // More rules reject more; the same seed gives the same figure.
    const TRejection multi = RuleSetRejection(Set("1:3s, 2:2s, R:4s, 4:1s"), 2, 2, 5000);
    EXPECT_GT(multi.P, RuleSetRejection(Set("1:3s"), 2, 2).P);
    EXPECT_EQ(multi, RuleSetRejection(Set("1:3s, 2:2s, R:4s, 4:1s"), 2, 2, 5000));
}

// The normal tail beyond x by Simpson's rule on the density, and E(Nuf) summed run by run.
double Tail(double x) {
    const int steps = 4000;
    const double hi = x + 12, h = (hi - x) / steps;
    auto f = [](double t) { return std::exp(-t * t / 2) / std::sqrt(2 * M_PI); };
    double s = f(x) + f(hi);
    for (int i = 1; i < steps; ++i) s += f(x + i * h) * (i % 2 ? 4 : 2);
    return s * h / 3;
}
double DirectMaxENuf(double sigma, double m, double k, int n) {
    double worst = 0;
    for (double se = 0.01; se <= sigma + 4; se += 0.01) {
        const double inside = std::pow(1 - Tail(k - se) - Tail(k + se), n);
        const double dpe = Tail(sigma - se) + Tail(sigma + se) - 2 * Tail(sigma);
        // Half a run is hit where the error starts; each later run is reported while events miss it.
        double reported = m / 2 * inside, miss = inside;
        for (int run = 2; run < 100000 && miss > 1e-15; ++run) {
            miss *= inside;
            reported += m * miss;
        }
        worst = std::max(worst, dpe * reported);
    }
    return worst;
}

TEST(RunPlanning, MaxENufAgreesWithADirectIntegration) {
    for (auto [sigma, k, n] : {std::tuple{4.0, 3.0, 2}, std::tuple{3.5, 2.5, 2}, std::tuple{5.0, 3.0, 1}}) {
        const TQcRuleSet set = Set(k == 3.0 ? "1:3s" : "1:2.5s");
        auto ped = [&](long double se) { return RuleSetRejection(set, n, se).P; };
        const double ours = static_cast<double>(MaxENuf(sigma, 100, ped));
        const double direct = DirectMaxENuf(sigma, 100, k, n);
        EXPECT_NEAR(ours, direct, 1e-6 + 1e-4 * direct) << sigma;
        const long long size = MaxRunSize(sigma, ped);
        ASSERT_GT(size, 0);
        EXPECT_LE(DirectMaxENuf(sigma, static_cast<double>(size), k, n), 1 + 1e-6);
        EXPECT_GT(DirectMaxENuf(sigma, static_cast<double>(size + 1), k, n), 1 - 1e-6);
    }
}

TEST(RunPlanning, PlanOfALevelGathersPowerAndRunSize) {
    // A single rule: every figure from the closed forms.
    const TRulePlan single = PlanRuns(Set("1:3s"), 2, 4.0L);
    auto exact = [](long double se) { return RuleSetRejection(Set("1:3s"), 2, se).P; };
    EXPECT_NEAR(static_cast<double>(single.Pfr.P), 0.0054, 5e-5);
    EXPECT_EQ(single.Ped, RuleSetRejection(Set("1:3s"), 2, 4.0L - 1.65L));
    EXPECT_EQ(single.MaxENuf, MaxENuf(4.0L, 100, exact));
    EXPECT_EQ(single.MaxRunSize, MaxRunSize(4.0L, exact));

    // A multirule read off its simulated table: within a few percent of the run size of its simulation
    // read at every step, larger than that of its strongest single rule, and larger with Sigma.
    const TQcRuleSet multi = Set("1:3s, 2:2s, R:4s");
    const TRulePlan plan = PlanRuns(multi, 2, 4.0L, 8000);
    EXPECT_GT(plan.Ped.StdError, 0);
    EXPECT_GT(plan.Ped.P, single.Ped.P);
    EXPECT_GT(plan.MaxRunSize, single.MaxRunSize);
    const long long direct =
        MaxRunSize(4.0L, [&](long double se) { return RuleSetRejection(multi, 2, se, 2000).P; });
    EXPECT_NEAR(static_cast<double>(plan.MaxRunSize), static_cast<double>(direct),
                0.1 * static_cast<double>(direct));
    EXPECT_GT(PlanRuns(multi, 2, 5.0L, 8000).MaxRunSize, plan.MaxRunSize);
}

TEST(RunPlanning, LevelsOfOneAnalyteArePlannedByTheRulesInForce) {
    TAnalyte a("GLU", "mmol/L", 2, 3);
    a.Options = TAnalyte::OptMultirules;
    EXPECT_EQ(RulesInForce(a, {}), MultiruleQcRuleSet(true));
    a.Options = 0;
    EXPECT_EQ(RulesInForce(a, {}), Set("1:3s"));
    EXPECT_EQ(RulesInForce(a, Set("1:2.5s, 2:2s")), Set("1:2.5s, 2:2s"));
    EXPECT_EQ(PlanValuesPerRun(a), 3);

    // A level without Sigma has no plan; levels of one Sigma share theirs.
    const std::optional<long double> sigmas[] = {4.0L, std::nullopt, 4.0L, 5.0L};
    const auto plans = PlanLevels(Set("1:3s"), 2, sigmas);
    ASSERT_EQ(plans.size(), 4u);
    ASSERT_TRUE(plans[0] && plans[2] && plans[3]);
    EXPECT_FALSE(plans[1]);
    const TRulePlan four = PlanRuns(Set("1:3s"), 2, 4.0L);
    EXPECT_EQ(plans[0]->Ped, four.Ped);
    EXPECT_EQ(plans[2]->MaxRunSize, four.MaxRunSize);
    EXPECT_GT(plans[3]->MaxRunSize, four.MaxRunSize);
}

TEST(RunPlanning, NomogramCurvesAreTheRunSizesOfEachSigmasPlan) {
    const TQcRuleSet multi = Set("1:3s, 2:2s, R:4s");
    const std::vector<long double> sigmas = NomogramSigmas();
    ASSERT_EQ(sigmas.front(), 2.0L);
    ASSERT_EQ(sigmas.back(), 6.0L);
    const std::vector<TQcRuleSet> sets = NomogramSets(Set("1:2.5s, 2:2s"));
    ASSERT_EQ(sets.size(), 5u);
    EXPECT_EQ(sets.back(), Set("1:2.5s, 2:2s"));
    EXPECT_EQ(NomogramSets(MultiruleQcRuleSet(true)).size(), 4u);

    const TNomogram g = RunSizeNomogram({Set("1:3s"), Set("1:2.5s"), multi}, 2, sigmas, 2000);
    ASSERT_EQ(g.Curves.size(), 3u);
    for (const TNomogramCurve& c : g.Curves) ASSERT_EQ(c.RunSize.size(), sigmas.size());
    // The simulated table reaches the highest Sigma, yet each point is that Sigma's own plan.
    for (size_t i : {size_t{4}, size_t{8}}) {
        EXPECT_EQ(g.Curves[0].RunSize[i], PlanRuns(Set("1:3s"), 2, sigmas[i]).MaxRunSize);
        EXPECT_EQ(g.Curves[2].RunSize[i], PlanRuns(multi, 2, sigmas[i], 2000).MaxRunSize) << i;
    }
    // More detection allows more patients; more Sigma too.
    for (size_t i = 1; i < sigmas.size(); ++i) {
        EXPECT_GE(g.Curves[1].RunSize[i], g.Curves[0].RunSize[i]) << i;
        EXPECT_GE(g.Curves[0].RunSize[i], g.Curves[0].RunSize[i - 1]) << i;
    }
    EXPECT_GT(g.Curves[0].RunSize.back(), 100 * std::max(g.Curves[0].RunSize.front(), 1LL));
}

} // namespace
