// Quality goals of an analyte (allowable total error, targets) and the figures of a level against them.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "UStructures.h"

// Why a figure cannot be given; the windows and the companion show the text instead of a number.
enum TGap : uint8_t {
    gapNone = 0,
    gapNoTea,          // no allowable total error set
    gapTeaNotPositive, // TEa of zero or below
    gapNoTarget,       // no target for the level
    gapZeroTarget,     // a target of zero
    gapFewPoints,      // fewer than two values in the period (no values at all for the mean)
    gapZeroMean,       // a mean of zero: no CV, no TEa from the unit
    gapZeroCV,         // all values equal
    gapBelowCritical,  // Sigma below 1.65: the goal is missed without any systematic error
    gapNoRules,        // no level takes part in the rules
    gapBiasBeyondTea,  // |bias| reaches the TEa: the goal is missed whatever the imprecision
    gapNoBiasData,     // the bias is taken from peer or EQA data, and there is none
};
const char* GapText(TGap gap);

// A figure, or the reason it is not available.
struct TFigure {
    long double Value = 0;
    TGap Gap = gapNone;
    bool Ok() const { return Gap == gapNone; }
    static TFigure Of(long double v) { return {v, gapNone}; }
    static TFigure Missing(TGap g) { return {0, g}; }
};

enum TTeaKind : uint8_t { teaPercent = 0, teaUnit = 1 };

// Where a goal's bias comes from: each level's mean against its target, the peer groups' means of the
// last six months, or the laboratory's EQA results of the last six months.
enum TBiasFrom : uint8_t { biasTarget = 0, biasPeer = 1, biasEqa = 2 };
const char* BiasFromName(TBiasFrom from); // "target", "peer", "eqa"
std::optional<TBiasFrom> BiasFromOfName(std::string_view name);
// "the target", "the peer data", "the EQA results" (the program's text).
const char* BiasFromText(TBiasFrom from);

// The goals of one analyte. TEa in unit is converted to percent at each level's mean.
struct TQualityGoal {
    std::string Analyte;
    std::optional<long double> TEa;
    TTeaKind TEaKind = teaPercent;
    std::string TEaUnit; // the unit text the TEa was given in, when teaUnit
    std::array<std::optional<long double>, MaxLevels> Target{};
    TBiasFrom BiasFrom = biasTarget;
    // With BiasFrom peer or EQA: each level's bias in percent from that data (none without data);
    // given by the operations layer when it reads the goal, never stored.
    std::array<std::optional<long double>, MaxLevels> MeasuredBiasPct{};
    bool operator==(const TQualityGoal&) const = default;
};

// One line "analyte;TEa;target1;target2;target3": TEa as "10" or "10%" (percent) or "0.3 mmol/L" (in
// the unit written after the number); empty or missing targets are none. A point or a comma is the
// decimal mark. Throws EQcError naming the field: TEa of zero or below, a target of zero, text that
// is no number, an empty analyte name, more than five fields.
TQualityGoal ParseGoalLine(std::string_view line);
// Every line of a goal file; blank lines and a heading line starting with "analyte;" are skipped.
// Throws EQcError with "Line n: " before the reason, or when an analyte appears twice; returns
// nothing on any error, so a bad file changes nothing.
// `lines`, when given, receives the line number of each goal.
std::vector<TQualityGoal> ParseGoals(std::string_view text, std::vector<int>* lines = nullptr);
// Refuses (EQcError) a goal that does not fit the analyte: a TEa in another unit than the analyte's,
// a target for a level the analyte does not have.
void CheckGoalFits(const TQualityGoal& goal, const TAnalyte& analyte);

// Indexes first..last (inclusive) of the analyte's points; empty when last < first.
struct TPeriod {
    int First = 0;
    int Last = -1;
    bool operator==(const TPeriod&) const = default;
};
// The level's current reference points: the locked interval when locked, else the points in view.
TPeriod ReferencePeriod(const TAnalyte& analyte, int level, TPeriod inView);
// The points dated from the day `from` through the whole day `to`.
TPeriod PeriodOfDates(const TAnalyte& analyte, TDateTime from, TDateTime to);

// A level's figures over a period, each available or not with its reason.
struct TLevelFigures {
    int Level = 0;
    TPeriod Period;
    int N = 0;       // counted values (not discarded, not empty)
    TFigure Mean;    // N >= 1
    TFigure SD;      // sample SD, N >= 2
    TFigure CV;      // percent, 100 SD / |mean|
    TFigure Target;  // the goal's target of the level
    TFigure BiasPct; // 100 (mean - target) / |target|, or the goal's measured bias
    TFigure TEaPct;  // TEa in percent at this level's mean
    TFigure Sigma;   // (TEa% - |bias%|) / CV%; bias taken as 0 when there is no target; none when
                     // |bias%| >= TEa%
    bool BiasKnown = false;
    TBiasFrom BiasFrom = biasTarget; // the goal's source of the bias
    bool CommonCV = false;           // SD and CV are the levels' common CV, as the limits use it
};
// Mean and SD are those of the program's statistics over the same points, to the last bit.
TLevelFigures LevelFigures(const TAnalyte& analyte, int level, TPeriod period, const TQualityGoal& goal);
// With the analyte's common CV on, the SD in force is the one its limits use: the CVs of the levels
// not fixed pooled with weights N - 1, and SD = common CV x |mean|. Sets SD, CV and Sigma of those
// levels (two values or more, a mean not zero) so; with the common CV off, nothing changes.
void UseCommonCV(const TAnalyte& analyte, std::vector<TLevelFigures>& figures);
// The figures of every level in use over its reference period, with the SD in force.
std::vector<TLevelFigures> AnalyteFigures(const TAnalyte& analyte, const TQualityGoal& goal, TPeriod inView);

// Below this Sigma the method does not meet its goal: no QC rule detects its errors in time.
constexpr long double SigmaGoalMissed = 2;
// Sigma below SigmaGoalMissed, or |bias| at or beyond the TEa.
bool MissesGoal(const TLevelFigures& f);

// Method decision chart: each level at (CV%, |bias%|) and the lines bias = TEa - s CV for Sigma 2..6.
// When the levels' TEa% differ (a TEa in unit), both axes are in percent of each level's TEa and the
// lines are drawn for a TEa of 100.
struct TDecisionChart {
    struct Point {
        int Level;
        long double CV, Bias;
        bool BiasKnown;
        bool OffScale = false; // beyond XMax or YMax: drawn at the edge, marked so
    };
    struct Line {
        int Sigma;
        long double BiasAtZero; // bias axis crossing (CV 0): the TEa
        long double CVAtZero;   // CV axis crossing (bias 0): TEa / Sigma
    };
    bool Normalised = false;
    long double TEa = 0;
    std::vector<Point> Points; // levels whose Sigma is available, or whose bias reaches the TEa
    std::vector<Line> Lines;
    // The axes run from 0 to XMax (CV) and 0 to YMax (bias): room for the points, at most twice the
    // TEa, so that the Sigma lines keep most of the chart.
    long double XMax = 5, YMax = 10;
};
TDecisionChart DecisionChart(const std::vector<TLevelFigures>& figures);
