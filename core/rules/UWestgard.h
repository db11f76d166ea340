// Westgard multirule engine: which levels of a run take part, and the rule outcomes per level and across.
#pragma once

#include <array>
#include <cstdint>

#include "UStructures.h"
#include "UTypes.h"

// Outcome of one rule; the validation window draws them in button face, yellow and red.
enum RuleStatus : uint8_t { rsClear = 0, rsWarning = 1, rsReject = 2 };

// Positions in the rule name tables and in the outcome arrays.
enum RulePosition : int { rp12s = 0, rp13s = 1, rp22s = 2, rpR4s = 3, rp41s = 4, rp10m = 5 };
constexpr int RuleCount = 6;
// Across levels only positions 2 to 5 exist.
constexpr int FirstAcrossRule = rp22s;

using TRuleNames = std::array<const char*, RuleCount>;
// Names of the per-level rules, also used across two levels.
inline constexpr TRuleNames LevelRuleNames = {"1:2s", "1:3s", "2:2s", "R:4s", "4:1s", "10:m"};
// Names of the across-level rules when three levels take part.
inline constexpr TRuleNames AcrossThreeRuleNames = {"1:2s", "1:3s", "2:2s", "R:4s", "3:1s", "9:m"};

using TLevelSet = std::array<bool, MaxLevels>;
// The "Reject QC" toggles of the validation window, one per level.
using TRejectToggles = std::array<bool, MaxLevels>;
using TRuleRow = std::array<RuleStatus, RuleCount>;

struct TRuleLevels {
    TLevelSet TakesPart{};
    int N = 0;
};

// Levels whose marks are shown: switch on, not fixed, limits available, a value, not rejected.
TRuleLevels SelectRuleLevels(const TAnalyte& analyte, const TResu& run, const TRejectToggles& rejected,
                             bool multirulesOn) noexcept;

// Lengths of the runs of one level's values ending with the new value: on each side of the mean
// (Below, Above) and beyond half the warning deviation (LowOut, HighOut).
struct TRunCounters {
    int Below = 0;
    int Above = 0;
    int LowOut = 0;
    int HighOut = 0;
    bool operator==(const TRunCounters&) const = default;
};

// Walks the stored values of the level back from previousIndex, skipping empty and discarded ones.
// All zero for a level outside the analyte's levels.
TRunCounters RunCounters(const TAnalyte& analyte, int level, float value, int previousIndex) noexcept;

// Index of the last stored point not later than the run's date-time (points at the same date-time
// count as earlier, since the run is inserted after them); -1 when there is none.
int PreviousIndex(const TAnalyte& analyte, TDateTime runDateTime) noexcept;

// Every outcome of one evaluation; made afresh by each call.
struct TMultiruleResult {
    TLevelSet TakesPart{};
    int N = 0;
    std::array<TRuleRow, MaxLevels> Level{};        // per level, positions of LevelRuleNames
    TRuleRow Across{};                              // positions 2 to 5; 0 and 1 stay rsClear
    bool AcrossThree = false;                       // three levels take part: names of AcrossThreeRuleNames
    TLevelSet Evaluated{};                          // not fixed, not rejected
    TLevelSet Walked{};                             // evaluated, with a value in the run
    std::array<TRunCounters, MaxLevels> Counters{}; // of the walked levels
    int H = 0;                                      // evaluated levels beyond the warning deviation, high
    int Lo = 0;                                     // the same, low
    RuleStatus X = rsWarning;                       // colour of a violated across walk rule

    bool AcrossShown() const { return N >= 2; }
    const TRuleNames& AcrossNames() const { return AcrossThree ? AcrossThreeRuleNames : LevelRuleNames; }
};

// Evaluates every rule for the run against the points up to previousIndex. The run's states are
// those given by ClassifyRun. With no level taking part nothing is evaluated: all outcomes stay
// rsClear and the level sets empty.
TMultiruleResult EvaluateMultirules(const TAnalyte& analyte, const TResu& run, int previousIndex,
                                    const TRejectToggles& rejected, bool multirulesOn) noexcept;
