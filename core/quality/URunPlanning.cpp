// Power of a selectable rule set, closed or simulated, and the run size Parvin's MaxE(Nuf) allows.
#include "URunPlanning.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "UPowerFunction.h"

namespace {

// Normal draws from SplitMix64 and Box-Muller: a seed gives the same figures on every build.
class TDraws {
public:
    explicit TDraws(uint64_t seed) : state_(seed) {}
    double Next() {
        const double u1 = 1.0 - Uniform();
        const double u2 = Uniform();
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586476925286766559 * u2);
    }

private:
    double Uniform() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return static_cast<double>((z ^ (z >> 31)) >> 11) * 0x1.0p-53;
    }
    uint64_t state_;
};

constexpr int HistoryRuns = 11;
// The spacing of a simulated set's table of Ped against the systematic error.
constexpr long double PedStep = 0.25L;

} // namespace

TRejection RuleSetRejection(const TQcRuleSet& set, int n, long double shift, int trials, uint64_t seed) {
    n = std::clamp(n, 1, MaxRunValues);
    static constexpr long double Limits[] = {2.0L, 2.5L, 3.0L, 3.5L};
    if (set.Reject.size() == 1 && set.Reject.front() <= qr135s) {
        const std::vector<long double> k(static_cast<size_t>(n), Limits[set.Reject.front()]);
        return {SingleRuleRejection(k, shift), 0};
    }
    if (trials <= 0) return {};
    TDraws draws(seed);
    std::vector<TZRun> runs(HistoryRuns + 1, EmptyZRun());
    long long rejected = 0;
    for (int t = 0; t < trials; ++t) {
        for (size_t r = 0; r < runs.size(); ++r)
            for (size_t i = 0; i < static_cast<size_t>(n); ++i)
                runs[r][i] = draws.Next() + (r + 1 == runs.size() ? static_cast<double>(shift) : 0.0);
        rejected += JudgeRuns(set, runs).Rejected();
    }
    const long double p = static_cast<long double>(rejected) / trials;
    return {p, std::sqrt(p * (1 - p) / trials)};
}

long double MaxENuf(long double sigma, long double m, const std::function<long double(long double)>& pedOf) {
    const long double base = 2 * Phi(-sigma);
    long double worst = 0;
    for (long double se = 0.01L; se <= sigma + 4; se += 0.01L) {
        const long double ped = std::clamp(pedOf(se), 1e-12L, 1.0L);
        const long double dpe = Phi(-sigma + se) + Phi(-sigma - se) - base;
        worst = std::max(worst, m * dpe * (1 - ped) * (0.5L + (1 - ped) / ped));
    }
    return worst;
}

long long MaxRunSize(long double sigma, const std::function<long double(long double)>& pedOf) {
    const long double one = MaxENuf(sigma, 1, pedOf);
    if (!(one > 0)) return -1;
    return static_cast<long long>(std::floor(1 / one));
}

namespace {

bool ClosedForm(const TQcRuleSet& set) {
    return set.Reject.size() == 1 && set.Reject.front() <= qr135s;
}

// Ped against the systematic error up to `reach` SD: exact for one limit rule alone, else read off a
// table simulated every PedStep with a quarter of the trials, linear between.
std::function<long double(long double)> PedOf(const TQcRuleSet& set, int n, long double reach, int trials,
                                              uint64_t seed) {
    if (ClosedForm(set)) return [set, n](long double se) { return RuleSetRejection(set, n, se).P; };
    // Once every simulated run is rejected the table ends: beyond, Ped is read as 1.
    std::vector<long double> table;
    for (long double se = 0; se <= reach + PedStep && (table.empty() || table.back() < 1); se += PedStep)
        table.push_back(RuleSetRejection(set, n, se, std::max(trials / 4, 1), seed).P);
    if (table.size() < 2) table.push_back(1);
    return [table](long double se) {
        const long double at = std::clamp(se / PedStep, 0.0L, static_cast<long double>(table.size() - 1));
        const size_t k = std::min(static_cast<size_t>(at), table.size() - 2);
        const long double f = at - static_cast<long double>(k);
        return table[k] * (1 - f) + table[k + 1] * f;
    };
}

} // namespace

TRulePlan PlanRuns(const TQcRuleSet& set, int n, long double sigma, int trials, uint64_t seed) {
    TRulePlan plan;
    plan.Pfr = RuleSetRejection(set, n, 0, trials, seed);
    plan.Ped = RuleSetRejection(set, n, std::max(sigma - 1.65L, 0.0L), trials, seed);
    const auto pedOf = PedOf(set, n, sigma + 4, trials, seed);
    plan.MaxENuf = MaxENuf(sigma, 100, pedOf);
    plan.MaxRunSize = MaxRunSize(sigma, pedOf);
    return plan;
}

TQcRuleSet RulesInForce(const TAnalyte& a, const TQcRuleSet& own) {
    return own.Empty() ? MultiruleQcRuleSet(a.MultirulesOn()) : own;
}

int PlanValuesPerRun(const TAnalyte& a) {
    return std::clamp(static_cast<int>(a.NbLevels), 1, MaxRunValues);
}

std::vector<std::optional<TRulePlan>> PlanLevels(const TQcRuleSet& set, int n,
                                                 std::span<const std::optional<long double>> sigmas,
                                                 int trials, uint64_t seed) {
    std::vector<std::optional<TRulePlan>> plans;
    for (size_t i = 0; i < sigmas.size(); ++i) {
        plans.emplace_back();
        if (!sigmas[i]) continue;
        for (size_t k = 0; k < i && !plans[i]; ++k)
            if (sigmas[k] == sigmas[i]) plans[i] = plans[k];
        if (!plans[i]) plans[i] = PlanRuns(set, n, *sigmas[i], trials, seed);
    }
    return plans;
}

std::vector<long double> NomogramSigmas() {
    std::vector<long double> s;
    for (int k = 0; k <= 16; ++k) s.push_back(2 + 0.25L * k);
    return s;
}

TNomogram RunSizeNomogram(const std::vector<TQcRuleSet>& sets, int n, std::span<const long double> sigmas,
                          int trials, uint64_t seed) {
    TNomogram g;
    g.N = n;
    g.Trials = trials;
    g.Sigmas.assign(sigmas.begin(), sigmas.end());
    const long double top = sigmas.empty() ? 0 : *std::max_element(sigmas.begin(), sigmas.end());
    for (const TQcRuleSet& set : sets) {
        TNomogramCurve c{set, {}};
        // The table reaches the highest Sigma's; its entries are those of each Sigma's own plan.
        const auto pedOf = PedOf(set, n, top + 4, trials, seed);
        for (long double sigma : sigmas) c.RunSize.push_back(MaxRunSize(sigma, pedOf));
        g.Curves.push_back(std::move(c));
    }
    return g;
}

std::vector<TQcRuleSet> NomogramSets(const TQcRuleSet& inForce) {
    std::vector<TQcRuleSet> sets = {MakeQcRuleSet("", "1:3s", ""), MakeQcRuleSet("", "1:2.5s", ""),
                                    MakeQcRuleSet("", "1:3s, 2:2s, R:4s", ""), MultiruleQcRuleSet(true)};
    const bool listed = std::any_of(sets.begin(), sets.end(),
                                    [&](const TQcRuleSet& s) { return s.Reject == inForce.Reject; });
    if (!listed && !inForce.Reject.empty()) sets.push_back(inForce);
    return sets;
}
