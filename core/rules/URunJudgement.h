// A run of an analyte judged by its rules: the analyte's own rule set when it has one, otherwise the
// Westgard multirules under the analyte's switch.
#pragma once

#include <string>
#include <vector>

#include "URuleEngine.h"
#include "UWestgard.h"

// 1:2s, 1:2.5s, 1:3s and 1:3.5s: rules of one value, never violated across levels.
constexpr bool IsSingleValueRule(QcRule rule) noexcept {
    return rule == qr12s || rule == qr125s || rule == qr13s || rule == qr135s;
}

// One rule outcome that is not clear.
struct TRunMark {
    std::string Rule; // "1:2s", "2of3:2s", "9:m", ...
    int Level = -1;   // the level (0-based) whose values violate it; -1 for across levels
    RuleStatus Status = rsClear;
    bool operator==(const TRunMark&) const = default;
};

struct TRunVerdict {
    bool OwnRules = false; // judged by Set; otherwise by the multirules
    TQcRuleSet Set;
    TLevelSet TakesPart{};
    int N = 0;
    TMultiruleResult Multirules; // of the multirules, all clear with an own set
    TRuleJudgement Own;          // of the own set, empty with the multirules
    // The rule outcomes not clear: per level in level order, each level's in rule order, then across.
    std::vector<TRunMark> Marks;
    bool ActionLimit = false; // a level not discarded lies beyond its action limits
    RuleStatus RulesWorst = rsClear;

    bool Rejected() const { return ActionLimit || RulesWorst == rsReject; }
    // The marks of one level (0-based), or of the across row with -1.
    std::vector<TRunMark> MarksOf(int level) const;
};

// Judges the run (its values classified) against the points up to previousIndex. With a non-empty
// own set the set judges and the multirule switch is not read; an empty set gives the multirules
// exactly as EvaluateMultirules does with the switch given.
TRunVerdict JudgeAnalyteRun(const TAnalyte& analyte, const TQcRuleSet& own, const TResu& run,
                            int previousIndex, const TRejectToggles& rejected, bool multirulesOn);

// True when the run is rejected as the validation window judges it, against the points before its
// date-time: levels stored as discarded count as rejected there, a level beyond its action limits
// rejects. With a non-empty own set that set judges in place of the multirules.
bool RunIsRejected(const TAnalyte& a, const TResu& run, bool multirulesOn, const TQcRuleSet& own);
