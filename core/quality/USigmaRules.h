// Rule advice from a level's Sigma, the rules the program applies, and the two compared in words.
#pragma once

#include <string>
#include <vector>

#include "URuleEngine.h"
#include "UStructures.h"

// One way to run the advised rules: N control values per run over R runs.
struct TRunPlan {
    int N = 0;
    int R = 0;
    bool operator==(const TRunPlan&) const = default;
};

// The Westgard Sigma rules for one Sigma and number of levels. One level uses the two-level table:
// the table counts control values, not materials, so N = 2 is the one control measured twice.
struct TRuleAdvice {
    int Levels = 0;
    std::string Band;               // "Sigma >= 6", "5 <= Sigma < 6", ...
    std::vector<std::string> Rules; // "1:3s", "2:2s", "2of3:2s", "R:4s", "4:1s", "3:1s", "8:x", "6:x"
    std::vector<TRunPlan> Plans;    // the first is the usual one
};
TRuleAdvice AdviseRules(long double sigma, int levels);

// The rejection rules the program applies to a run of the given number of levels: with the
// multirules on its multirule set, off only the action limits (1:3s). 1:2s only warns; not listed.
std::vector<std::string> AppliedRules(int levels, bool multirulesOn);

// The levels whose values the rules judge: in use, not fixed, limits available.
int RuleLevels(const TAnalyte& analyte);

struct TRuleComparison {
    std::vector<std::string> Applied; // AppliedRules of the analyte
    std::vector<std::string> Missing; // advised, not applied
    std::vector<std::string> Extra;   // applied, not advised
    std::string Text;                 // the difference in words
};
TRuleComparison CompareRules(const TRuleAdvice& advice, int levels, bool multirulesOn);
// The same against an analyte's own rule set when it is not empty: its reject rules are those applied.
TRuleComparison CompareRules(const TRuleAdvice& advice, int levels, bool multirulesOn, const TQcRuleSet& own);

// The advice as a rule set of the analyte's own, every advised rule rejecting. The advice names only
// rules of the engine; throws EQcError otherwise.
TQcRuleSet AdvisedRuleSet(const TRuleAdvice& advice);
