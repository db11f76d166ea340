// Power of a selectable rule set against systematic error, and the patients a QC event may bracket.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "URuleEngine.h"

// A rejection probability and its standard error (zero for a closed form).
struct TRejection {
    long double P = 0;
    long double StdError = 0;
    bool operator==(const TRejection&) const = default;
};

// Probability that a run of n values (1..6), each shifted by `shift` SD, is rejected by the set. A set
// whose only reject rule is one limit rule has the closed form 1 - (Phi(k - shift) - Phi(-k - shift))^n;
// any other set is simulated with the engine over `trials` runs, each after eleven in-control runs,
// from `seed`.
TRejection RuleSetRejection(const TQcRuleSet& set, int n, long double shift, int trials = 20000,
                            uint64_t seed = 0x5167'6D61'2024'0002ULL);

// Expected unacceptable final patient results for a run of m patients between bracketing QC events,
// largest over the systematic error: max over SE of m * dPE(SE) * (1 - Ped) * (1/2 + (1 - Ped) / Ped),
// where dPE(SE) = Phi(-sigma + SE) + Phi(-sigma - SE) - 2 Phi(-sigma) and pedOf gives Ped(SE), read on
// SE = 0.01, 0.02, ... sigma + 4. The error starts at a uniform place within a run; QC events detect
// it independently of each other; a rejected event has every patient since the last accepted one
// corrected.
long double MaxENuf(long double sigma, long double m, const std::function<long double(long double)>& pedOf);
// The largest run size m with MaxENuf <= 1 (linear in m, so the floor of 1 / MaxENuf(m = 1)); -1 for
// no limit.
long long MaxRunSize(long double sigma, const std::function<long double(long double)>& pedOf);

// The power and run size of a rule set at one level's Sigma, n values per run: Pfr, Ped at the critical
// systematic error Sigma - 1.65 (simulated as RuleSetRejection does, `trials` runs from `seed`),
// MaxENuf for 100 patients between QC events and MaxRunSize. A simulated set reads Ped(SE) for MaxENuf
// off a table simulated every 0.25 SD with a quarter of the trials, from the same seed, linear between,
// ending where every simulated run is rejected (Ped 1 beyond).
struct TRulePlan {
    TRejection Pfr, Ped;
    long double MaxENuf = 0;
    long long MaxRunSize = -1;
};
TRulePlan PlanRuns(const TQcRuleSet& set, int n, long double sigma, int trials = 20000,
                   uint64_t seed = 0x5167'6D61'2024'0002ULL);

// The rules that judge an analyte's runs: its own set, else the multirules as its switch has them.
TQcRuleSet RulesInForce(const TAnalyte& a, const TQcRuleSet& own);
// Control values per run when planning an analyte: its levels, 1 to MaxRunValues.
int PlanValuesPerRun(const TAnalyte& a);

// PlanRuns for each level's Sigma (none where it is not available); levels of one Sigma share a plan.
std::vector<std::optional<TRulePlan>> PlanLevels(const TQcRuleSet& set, int n,
                                                 std::span<const std::optional<long double>> sigmas,
                                                 int trials = 20000,
                                                 uint64_t seed = 0x5167'6D61'2024'0002ULL);

// The run-size nomogram: MaxRunSize of each set against Sigma, n values per run, Ped read as
// PlanRuns reads it (the same trials and seed give the same sizes). -1: no limit at that Sigma.
struct TNomogramCurve {
    TQcRuleSet Set;
    std::vector<long long> RunSize; // one per Sigma
};
struct TNomogram {
    int N = 0;
    int Trials = 0;
    std::vector<long double> Sigmas;
    std::vector<TNomogramCurve> Curves;
};
// Sigma 2 to 6 in steps of 0.25.
std::vector<long double> NomogramSigmas();
TNomogram RunSizeNomogram(const std::vector<TQcRuleSet>& sets, int n, std::span<const long double> sigmas,
                          int trials = 20000, uint64_t seed = 0x5167'6D61'2024'0002ULL);
// The sets the nomogram compares with the rules in force: 1:3s, 1:2.5s, 1:3s/2:2s/R:4s and the
// multirules, then `inForce` when it is none of them.
std::vector<TQcRuleSet> NomogramSets(const TQcRuleSet& inForce);
