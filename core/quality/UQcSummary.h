// Stored points judged again by the rules: z-scores, Youden pairs and the monthly summary.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "UQualityGoals.h"
#include "URunJudgement.h"
#include "UStructures.h"

// What a level's value at a stored point came to.
enum TPointOutcome : uint8_t { ocEmpty = 0, ocClear, ocWarning, ocReject, ocDiscarded };

// A stored point judged as the validation window would judge it now: its values with the states
// they were stored with, against the points before it, by the analyte's own rule set when it has one,
// otherwise by the multirules under the analyte's switch; a discarded level counts as rejected in the
// window. A level's outcome is the worst of its stored state (warning or action limit, which also
// holds for fixed levels and with the multirules off), its own rules, and the rules across levels when
// it takes part in them.
struct TPointJudgement {
    std::array<TPointOutcome, MaxLevels> Level{};
    std::array<uint8_t, MaxLevels> LevelRules{}; // bit j: rule j of LevelRuleNames violated
    uint8_t AcrossRules = 0;                     // bit j: across rule j violated
    bool AcrossThree = false;                    // across names from AcrossThreeRuleNames
    bool OwnRules = false;                       // judged by an own set: its findings in Marks
    std::vector<TRunMark> Marks;                 // an own set's findings not clear (level -1: across)
};
TPointJudgement JudgePoint(const TAnalyte& analyte, int index, const TQcRuleSet& own = {});
// The names of the rules a level's value breaks, its own then those across levels it takes part in,
// joined by `separator`.
std::string PointRuleNames(const TPointJudgement& judgement, int level, std::string_view separator = ",",
                           bool across = true);

// One point of the z-score chart: per level (value - mean) / SD with the level's figures.
struct TZPoint {
    int Index = 0;
    TDateTime DateTime = 0;
    std::array<double, MaxLevels> Z{};
    std::array<bool, MaxLevels> Has{}; // a value, and the level's mean and SD available
    TPointJudgement Judgement;
};
// The points first..last; figures[i] gives level i's mean and SD (normally over its reference period).
std::vector<TZPoint> ZScores(const TAnalyte& analyte, const std::vector<TLevelFigures>& figures,
                             TPeriod period, const TQcRuleSet& own = {});

// Youden plot: the points where both levels have a counted value, in time order.
struct TYoudenPoint {
    int Index = 0;
    double ZA = 0, ZB = 0;
    TPointOutcome Outcome = ocClear; // the worse of the two levels
};
std::vector<TYoudenPoint> YoudenPairs(const std::vector<TZPoint>& z, int levelA, int levelB);

// A calendar month.
struct TMonth {
    int Year = 0;
    int Month = 0;
    auto operator<=>(const TMonth&) const = default;
};
// "YYYY-MM"; throws EQcError otherwise.
TMonth ParseMonth(std::string_view text);

// Figures of a level over a month or over all chosen months, with its judged values counted:
// Warnings and Rejects by TPointJudgement; discarded values apart (they are not in N either).
struct TMonthLevel {
    TLevelFigures Figures;
    int Warnings = 0;
    int Rejects = 0;
    int Discarded = 0;
};
struct TMonthSummary {
    TMonth Month;
    std::vector<TMonthLevel> Levels; // one per level in use
};
struct TSummary {
    std::vector<TMonthSummary> Months; // each month from..to, also those without points
    std::vector<TMonthLevel> Cumulative;
};
// Throws EQcError when `to` precedes `from`.
TSummary MonthlySummary(const TAnalyte& analyte, const TQualityGoal& goal, TMonth from, TMonth to,
                        const TQcRuleSet& own = {});
