// An analyte's quality figures with the rule advice and error detection of each level, as the
// control-limits view, its printout and the companion show them.
#pragma once

#include <optional>
#include <vector>

#include "UPowerFunction.h"
#include "UQualityGoals.h"
#include "USigmaRules.h"
#include "UStructures.h"

struct TLevelSigma {
    TLevelFigures Figures;
    bool MissesGoal = false;    // Sigma below 2 or |bias| >= TEa: no rule detects the errors in time
    bool Advised = false;       // Sigma is available and the goal not missed: the advice below holds
    TRuleAdvice Advice;         // for the levels the rules judge (all levels in use when none is)
    TRuleComparison Comparison; // with the rules the program applies
    TErrorDetection Detection;  // of the program's rules at this level's critical systematic error
};

struct TSigmaReport {
    TQualityGoal Goal;
    int RuleLevels = 0; // levels the rules judge
    TRuleSet Rules;
    TSimulation Simulation;
    std::vector<TLevelSigma> Levels; // one per level in use
    TDecisionChart Chart;
};

// Figures over `period` when one is given, else over each level's reference period with the points
// first..last of `inView`. The advice is compared with the analyte's own rule set when `own` is not empty.
// The limits' factors come from `rows` (those in force unless given).
TSigmaReport SigmaReport(const TAnalyte& a, const TQualityGoal& goal, const std::optional<TPeriod>& period,
                         TPeriod inView, const TSimulation& sim = {}, const TQcRuleSet& own = {},
                         TRiskRows rows = RiskRowsInForce());

// The formulas every figure comes from, one line each, for the printout and the manual.
const std::vector<const char*>& SigmaFormulas();
