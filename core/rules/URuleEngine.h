// Selectable control rules: a rule set of reject and warning rules, judged on control values in SD units.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "UWestgard.h"

// Every rule the engine knows, in the order they are listed and shown.
enum QcRule : uint8_t {
    qr12s,
    qr125s,
    qr13s,
    qr135s,
    qr22s,
    qr2of32s,
    qrR4s,
    qr31s,
    qr41s,
    qr6x,
    qr8x,
    qr9x,
    qr10x,
    qr12x,
};
constexpr int QcRuleCount = 14;

// "1:2s", "2of3:2s", "R:4s", "10:x", ...
const char* QcRuleName(QcRule rule) noexcept;
// The rule of a name, without regard to case and surrounding blanks; false for none.
bool FindQcRule(std::string_view name, QcRule& rule) noexcept;

// The most control values one run may hold (N up to six).
constexpr int MaxRunValues = 6;

// A rule set: the rules that reject a run and those that only warn; every other rule is off.
struct TQcRuleSet {
    std::string Name;
    std::vector<QcRule> Reject;
    std::vector<QcRule> Warn;
    bool operator==(const TQcRuleSet&) const = default;

    bool Empty() const { return Reject.empty() && Warn.empty(); }
    RuleStatus StatusOf(QcRule rule) const;
    // The name given, or else the reject rules joined by "/".
    std::string DisplayName() const;
};

// The rule set an analyte has of its own, by the analyte's name; an empty set is none.
struct TAnalyteRules {
    std::string Analyte;
    TQcRuleSet Set;
    bool operator==(const TAnalyteRules&) const = default;
};

// The Westgard multirules in the engine's rules, for planning an analyte without a set of its own: 1:3s,
// 2:2s, R:4s, 4:1s and 10:x rejecting, 1:2s warning; 1:3s alone with the multirules off.
TQcRuleSet MultiruleQcRuleSet(bool multirulesOn);

// Rule names separated by commas, slashes, semicolons or blanks, in the program's order without
// repeats. Throws EQcError naming an unknown name.
std::vector<QcRule> ParseQcRules(std::string_view text);
// "1:3s, 2:2s, R:4s": the names in order.
std::string QcRulesText(const std::vector<QcRule>& rules);
// A rule set from its parts. Throws EQcError when no rule rejects, a name is unknown or a rule is
// both a reject and a warning rule.
TQcRuleSet MakeQcRuleSet(std::string name, std::string_view reject, std::string_view warn);
// The same checks on a set already made.
void CheckQcRuleSet(const TQcRuleSet& set);

// One run's control values in SD units from their means, in level order; NaN for a value the run
// does not hold.
using TZRun = std::array<double, MaxRunValues>;
TZRun EmptyZRun() noexcept;

// The outcome of one rule on the newest run.
struct TRuleFinding {
    QcRule Rule = qr12s;
    RuleStatus Status = rsClear; // the set's status when violated, rsClear otherwise
    bool Violated = false;
    uint8_t Within = 0;  // bit i: violated by value i's own series (the run, or that level across runs)
    bool Across = false; // violated by the values of several levels taken together
};
struct TRuleJudgement {
    std::vector<TRuleFinding> Findings; // one per rule of the set, reject rules first
    RuleStatus Worst = rsClear;
    bool Rejected() const { return Worst == rsReject; }
};

// Judges the last run of `runs` (oldest first) by the set's rules. A value is beyond a limit when it
// lies strictly outside it; a value on the mean ends a run of values on one side. Rules over
// several values fire only when the newest run holds a value that violates them, read both along
// each level's own values across runs and along all values in time order (the levels of a run in
// order, run after run). R:4s reads the newest run alone. Values of earlier runs are read no further
// back than the longest rule needs.
TRuleJudgement JudgeRuns(const TQcRuleSet& set, std::span<const TZRun> runs);

// A run of an analyte judged by a rule set of its own. The levels taking part are those the
// multirules would read with the switch on (SelectRuleLevels); each value is read in SD units of its
// level's limits in force (SD = warning deviation / the Student's t factor of the warning limits). The
// earlier runs are the stored points up to previousIndex that hold a value at a level taking part
// (discarded values left out), as far back as the longest rule reads.
struct TOwnRulesResult {
    TLevelSet TakesPart{};
    int N = 0;
    TRuleJudgement Judgement;
};
TOwnRulesResult JudgeOwnRules(const TAnalyte& analyte, const TQcRuleSet& set, const TResu& run,
                              int previousIndex, const TRejectToggles& rejected);
