// Error detection of the program's rules: rejection against systematic error, simulated with the rule
// engine itself, and exactly for a single limit rule.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "UQualityGoals.h"
#include "UStructures.h"

// Standard normal distribution function.
long double Phi(long double x);

// Probability that a run is rejected by one limit rule alone: at least one of its values, value i
// judged against +-k[i] SD, falls outside, all values shifted by `shift` SD. With shift 0 this is
// the false rejection 1 - prod(Phi(k) - Phi(-k)).
long double SingleRuleRejection(std::span<const long double> k, long double shift);

// The rules as the program applies them to a run: the levels judged, the multirule switch, and per
// level the warning and action limits in SD units (the Student's t factors of the limits).
struct TRuleSet {
    int Levels = 0;
    bool Multirules = true;
    std::array<long double, MaxLevels> KWarn{1.96L, 1.96L, 1.96L};
    std::array<long double, MaxLevels> KAction{3.09L, 3.09L, 3.09L};
};
// The analyte's rule set: its levels in use that are not fixed and have limits, each with the
// factors TQuantile(Alert, DF) and TQuantile(Action, DF) of its limits in force, with the rows in force
// unless others are given (a copy taken elsewhere, say).
TRuleSet RuleSetOf(const TAnalyte& analyte, TRiskRows rows = RiskRowsInForce());

// The simulation. Each trial stores HistoryRuns in-control runs, classified as at entry, then
// judges one run with the systematic error through ClassifyRun and EvaluateMultirules, as the
// validation window does; the run is rejected when any outcome is rsReject, or, with the multirules
// off, when a value lies beyond its action limit. Nine history runs are all the walk-back counters
// can read (10:m stops at ten values, the new one included), so from nine on the history length
// does not change the outcome; fewer would hide 4:1s and 10:m. The same draws serve every shift,
// and a trial draws the same run and newest history whatever the history length.
struct TSimulation {
    int Trials = 20000;
    int HistoryRuns = 10;
    uint64_t Seed = 0x5167'6D61'2024'0001ULL;
};

// Rejection rates at one systematic error: the program's rule set, and 1:3s (value beyond the
// action limit) and 1:2s (beyond the warning limit) alone, counted on the same simulated runs.
struct TPowerPoint {
    long double Shift = 0;
    long double Program = 0;
    long double Rule13s = 0;
    long double Rule12s = 0;
};
std::vector<TPowerPoint> SimulatePower(const TRuleSet& rules, std::span<const long double> shifts,
                                       const TSimulation& sim = {});
// 0, 0.1, ... 5.0 SD: the points of the power function graph.
std::vector<long double> PowerShifts();

// Critical systematic error Sigma - 1.65 and the detection at it.
struct TErrorDetection {
    TFigure DeltaSEcrit;
    TFigure Ped, Pfr;       // the program's rule set, simulated
    TFigure Ped13s, Pfr13s; // 1:3s alone at the action limits, exact
    TFigure Ped12s, Pfr12s; // 1:2s alone at the warning limits, exact
};
TErrorDetection ErrorDetection(const TRuleSet& rules, const TFigure& sigma, const TSimulation& sim = {});
