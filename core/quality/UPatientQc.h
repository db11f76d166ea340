// Patient-based real-time QC: moving statistics of the patients' own results between control runs,
// their limits proposed from an analyte's history, and their tuning by simulated bias.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "URegional.h"

enum class TPqcProcedure { MovingAverage, MovingMedian, Ewma };
// What becomes of a result outside the truncation limits: left out, or set to the nearer limit.
enum class TPqcTruncation { Exclude, Winsorise };

// "ma", "mm", "ewma"; and back (empty when the text names none).
const char* PqcProcedureName(TPqcProcedure p);
std::optional<TPqcProcedure> PqcProcedureByName(std::string_view name);

// One patient's result as the stream keeps it: the value, when it was measured and on which
// instrument. Nothing that names the patient or the sample is ever part of it.
struct TPatientResult {
    TDateTime Time = 0;
    double Value = 0;
    std::string Instrument;
};

// A result as it arrives, before the rules decide whether it enters the stream.
struct TPatientReading {
    TDateTime Time = 0;
    std::string ValueText; // as reported: "5.2", "<0.5", ">500", "see comment"
    std::string Instrument;
    bool Flagged = false; // the instrument or the laboratory flagged it (abnormal flags do not count)
};

// The readings that entered the stream and how many were left out, by rule.
struct TPqcScreened {
    std::vector<TPatientResult> Results;
    int NotNumeric = 0; // not a finite number
    int Censored = 0;   // below or above the reportable range ("<0.5", ">500")
    int Flagged = 0;
    int Excluded() const { return NotNumeric + Censored + Flagged; }
};
TPqcScreened ScreenReadings(const std::vector<TPatientReading>& readings);

struct TPqcSettings {
    TPqcProcedure Procedure = TPqcProcedure::MovingAverage;
    // The window of the moving average and median; for the EWMA the results taken before it is judged.
    int N = 20;
    double Lambda = 0.1; // EWMA weight of the newest result, 0 < lambda <= 1
    std::optional<double> TruncLow, TruncHigh;
    TPqcTruncation Truncation = TPqcTruncation::Exclude;
    // The EWMA starts at the target; the statistic is judged against Low and High.
    double Target = 0;
    double Low = 0, High = 0;
};

// Empty when the settings can be used, else why not (the program's text).
std::string CheckPqcSettings(const TPqcSettings& s);

// The procedure's statistic, result by result: Push takes one result (in time order) and tells
// whether a statistic is there yet. Copyable, so a run can be branched from any point.
class TPqcStatistic {
public:
    explicit TPqcStatistic(const TPqcSettings& s);
    // False when truncation left the value out; the statistic is then unchanged.
    bool Push(double value);
    bool Ready() const { return taken_ >= settings_.N; }
    double Value() const;
    bool InLimits() const;

private:
    TPqcSettings settings_;
    std::vector<double> window_; // ring of the last N taken values (moving average, median)
    size_t next_ = 0;
    long double sum_ = 0; // of the window, for the moving average
    double ewma_ = 0;
    int64_t taken_ = 0;
};

struct TPqcPoint {
    TDateTime Time = 0;
    double Statistic = 0;
    bool InLimits = true;
};

struct TPqcRun {
    std::vector<TPqcPoint> Points; // one per result that gave a statistic
    // The date-times at which the statistic left its limits (each crossing, not every point outside).
    std::vector<TDateTime> Alarms;
    int Truncated = 0; // results outside the truncation limits (left out, or winsorised)
    bool Alarm() const { return !Points.empty() && !Points.back().InLimits; }
};
// An alarm of a run and, once acknowledged, the corrective action taken, by whom and when.
struct TPqcAlarm {
    TDateTime Time = 0;
    bool Acknowledged = false;
    std::string Action, Operator; // Windows-1252, as the program's texts
    std::string AcknowledgedUtc;  // 2026-12-09T03:05:00Z
};

// The procedure run over a stream in time order.
TPqcRun RunPqc(const TPqcSettings& s, const std::vector<TPatientResult>& stream);

// Limits proposed from an analyte's own history: target the mean of the truncated stream, limits
// target +/- 3 standard deviations of the statistic (derived from the stream's SD for the procedure).
struct TPqcProposal {
    bool Ok = false;
    std::string Message; // why not, when not Ok
    TPqcSettings Settings;
    int Used = 0; // results within the truncation limits
    double Mean = 0, SD = 0;
};
// Results a proposal needs at least, for a window of N.
int PqcHistoryNeeded(int n);
// `s` gives the procedure, N, lambda and truncation; without truncation limits the 1st and 99th
// percentiles of the stream are proposed.
TPqcProposal ProposePqc(const TPqcSettings& s, const std::vector<TPatientResult>& stream);

// A systematic error introduced into the stream: a percentage of each value, or units added.
struct TPqcBias {
    double Size = 0;
    bool Percent = true;
    double Apply(double v) const { return Percent ? v * (1 + Size / 100) : v + Size; }
};

struct TPqcSimulation {
    int Runs = 0;
    uint64_t Seed = 0;
    // Alarms of the stream as it is, per 1,000 results judged.
    double FalseAlarmsPer1000 = 0;
    // Results affected by the bias, from its start to the first alarm inclusive, averaged over the
    // runs, and their 95th percentile. A run the procedure does not detect within one length of the
    // stream counts as that length (and as Undetected).
    double ANPed = 0, ANPed95 = 0;
    int Undetected = 0;
};
// Results a simulation needs at least, for the settings.
int PqcSimulationNeeded(const TPqcSettings& s);
// Each run starts the bias at a point drawn at random (after the procedure has its first statistic)
// and carries it on through the stream, taken as circular, until the first alarm. The same stream,
// settings, bias, run count and seed give the same figures. Throws EQcError on unusable settings or a
// stream too short.
TPqcSimulation SimulatePqc(const TPqcSettings& s, const std::vector<TPatientResult>& stream, TPqcBias bias,
                           int runs, uint64_t seed);

// One line of a tuning table: a candidate procedure, its limits proposed from the stream, under one bias.
struct TPqcTuningLine {
    TPqcSettings Settings;
    TPqcBias Bias;
    std::string Message; // why the candidate has no figures (too few results, ...); empty when it has
    TPqcSimulation Simulation;
};
// The moving average, moving median and EWMA with the window, lambda and truncation of `base`, each with
// its limits proposed from the stream, simulated under every bias with the same runs and seed: one line
// per candidate and bias, in that order. Throws EQcError on no bias, a bias of 0 (or of -100 % or
// below) or a run count that cannot be simulated.
std::vector<TPqcTuningLine> TunePqc(const TPqcSettings& base, const std::vector<TPatientResult>& stream,
                                    const std::vector<TPqcBias>& biases, int runs, uint64_t seed);

// Lines "YYYY-MM-DD HH:MM:SS<TAB>value" (a history from the laboratory system): blank lines skipped,
// further fields after the value ignored and never kept. Throws EQcError naming the first line whose
// date-time cannot be read; the value is screened later, as any result's.
std::vector<TPatientReading> ParsePatientResultLines(std::string_view text);

// What a recording of patients' results came to.
struct TPqcRecordReport {
    int Added = 0;
    int Duplicates = 0; // already in the stream (the same moment, value and instrument)
    int NotNumeric = 0, Censored = 0, Flagged = 0;
    int Purged = 0; // results older than the retention, removed
    // The moments at which the analyte's procedure left its limits with the results added.
    std::vector<TDateTime> Alarms;
};
