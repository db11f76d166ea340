// Patient-based real-time QC: screening, the moving statistics, proposed limits and simulated bias.
#include "UPatientQc.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "UQcError.h"
#include "UTexts.h"
#include "UUtilitaires.h"

namespace {

constexpr int MaxWindow = 10000;
constexpr int MaxRuns = 100000;

bool Finite(double v) {
    return std::isfinite(v) && InValueRange(v);
}

// The value as the statistic takes it, or nothing when truncation leaves it out.
std::optional<double> Truncated(const TPqcSettings& s, double v, bool* outside = nullptr) {
    const bool low = s.TruncLow && v < *s.TruncLow, high = s.TruncHigh && v > *s.TruncHigh;
    if (outside) *outside = low || high;
    if (!low && !high) return v;
    if (s.Truncation == TPqcTruncation::Exclude) return std::nullopt;
    return low ? *s.TruncLow : *s.TruncHigh;
}

// The nearest-rank percentile of sorted values.
double Percentile(const std::vector<double>& sorted, double p) {
    const auto rank = static_cast<size_t>(std::ceil(p / 100 * static_cast<double>(sorted.size())));
    return sorted[std::clamp<size_t>(rank, 1, sorted.size()) - 1];
}

std::string Count(int64_t n) {
    return std::to_string(n);
}

} // namespace

const char* PqcProcedureName(TPqcProcedure p) {
    switch (p) {
    case TPqcProcedure::MovingMedian:
        return "mm";
    case TPqcProcedure::Ewma:
        return "ewma";
    default:
        return "ma";
    }
}

std::optional<TPqcProcedure> PqcProcedureByName(std::string_view name) {
    for (TPqcProcedure p : {TPqcProcedure::MovingAverage, TPqcProcedure::MovingMedian, TPqcProcedure::Ewma})
        if (name == PqcProcedureName(p)) return p;
    return std::nullopt;
}

TPqcScreened ScreenReadings(const std::vector<TPatientReading>& readings) {
    TPqcScreened out;
    for (const TPatientReading& r : readings) {
        const std::string text = Trim(r.ValueText);
        long double v = 0;
        if (r.Flagged)
            ++out.Flagged;
        else if (!text.empty() && (text[0] == '<' || text[0] == '>'))
            ++out.Censored;
        else if (!ParseDecimal(text, '.', v) || !Finite(static_cast<double>(v)))
            ++out.NotNumeric;
        else
            out.Results.push_back({r.Time, static_cast<double>(v), r.Instrument});
    }
    return out;
}

std::string CheckPqcSettings(const TPqcSettings& s) {
    if (s.N < 1 || s.N > MaxWindow)
        return Fill(QT_TRANSLATE_NOOP("Core", "N must be a whole number from 1 to %1"), Count(MaxWindow));
    if (s.Procedure == TPqcProcedure::Ewma && !(s.Lambda > 0 && s.Lambda <= 1))
        return TranslatedText(QT_TRANSLATE_NOOP("Core", "Lambda must be above 0 and at most 1"));
    if ((s.TruncLow && !Finite(*s.TruncLow)) || (s.TruncHigh && !Finite(*s.TruncHigh)) ||
        (s.TruncLow && s.TruncHigh && !(*s.TruncLow < *s.TruncHigh)))
        return TranslatedText(QT_TRANSLATE_NOOP(
            "Core", "The truncation limits must be numbers, the lower one below the upper one"));
    if (!Finite(s.Target) || !Finite(s.Low) || !Finite(s.High) || !(s.Low < s.High))
        return TranslatedText(QT_TRANSLATE_NOOP(
            "Core", "The control limits must be numbers, the lower one below the upper one"));
    return {};
}

TPqcStatistic::TPqcStatistic(const TPqcSettings& s) : settings_(s), ewma_(s.Target) {
    if (s.Procedure != TPqcProcedure::Ewma) window_.assign(static_cast<size_t>(std::max(s.N, 1)), 0.0);
}

bool TPqcStatistic::Push(double value) {
    const std::optional<double> v = Truncated(settings_, value);
    if (!v) return false;
    if (settings_.Procedure == TPqcProcedure::Ewma) {
        ewma_ = settings_.Lambda * *v + (1 - settings_.Lambda) * ewma_;
    } else {
        if (taken_ >= static_cast<int64_t>(window_.size())) sum_ -= window_[next_];
        window_[next_] = *v;
        sum_ += *v;
        next_ = (next_ + 1) % window_.size();
    }
    ++taken_;
    return true;
}

double TPqcStatistic::Value() const {
    switch (settings_.Procedure) {
    case TPqcProcedure::Ewma:
        return ewma_;
    case TPqcProcedure::MovingAverage:
        return static_cast<double>(
            sum_ / static_cast<long double>(std::min<int64_t>(taken_, static_cast<int64_t>(window_.size()))));
    case TPqcProcedure::MovingMedian: {
        std::vector<double> w(window_.begin(),
                              window_.begin() +
                                  std::min<int64_t>(taken_, static_cast<int64_t>(window_.size())));
        const size_t mid = w.size() / 2;
        std::nth_element(w.begin(), w.begin() + static_cast<std::ptrdiff_t>(mid), w.end());
        const double upper = w[mid];
        if (w.size() % 2) return upper;
        return (*std::max_element(w.begin(), w.begin() + static_cast<std::ptrdiff_t>(mid)) + upper) / 2;
    }
    }
    return 0;
}

bool TPqcStatistic::InLimits() const {
    const double v = Value();
    return v >= settings_.Low && v <= settings_.High;
}

TPqcRun RunPqc(const TPqcSettings& s, const std::vector<TPatientResult>& stream) {
    TPqcRun run;
    TPqcStatistic stat(s);
    for (const TPatientResult& r : stream) {
        bool outside = false;
        Truncated(s, r.Value, &outside);
        run.Truncated += outside;
        if (!stat.Push(r.Value) || !stat.Ready()) continue;
        const TPqcPoint p{r.Time, stat.Value(), stat.InLimits()};
        if (!p.InLimits && (run.Points.empty() || run.Points.back().InLimits)) run.Alarms.push_back(r.Time);
        run.Points.push_back(p);
    }
    return run;
}

int PqcHistoryNeeded(int n) {
    return std::max(100, 10 * std::max(n, 1));
}

TPqcProposal ProposePqc(const TPqcSettings& s, const std::vector<TPatientResult>& stream) {
    TPqcProposal out;
    out.Settings = s;
    TPqcSettings& p = out.Settings;
    // Only the procedure's own settings count here: the limits are what is proposed.
    p.Target = 0;
    p.Low = -1;
    p.High = 1;
    if (std::string why = CheckPqcSettings(p); !why.empty()) {
        out.Message = why;
        return out;
    }
    const int needed = PqcHistoryNeeded(s.N);
    std::vector<double> values;
    for (const TPatientResult& r : stream) values.push_back(r.Value);
    std::sort(values.begin(), values.end());
    if (!values.empty() && !p.TruncLow && !p.TruncHigh && static_cast<int>(values.size()) >= needed) {
        p.TruncLow = Percentile(values, 1);
        p.TruncHigh = Percentile(values, 99);
        if (!(*p.TruncLow < *p.TruncHigh)) p.TruncLow = p.TruncHigh = std::nullopt;
    }
    long double sum = 0;
    std::vector<double> used;
    for (double v : values)
        if (std::optional<double> t = Truncated(p, v)) used.push_back(*t);
    out.Used = static_cast<int>(used.size());
    if (out.Used < needed) {
        out.Message =
            Fill(QT_TRANSLATE_NOOP("Core", "Too few results to propose limits: %1, at least %2 are needed"),
                 Count(out.Used), Count(needed));
        return out;
    }
    for (double v : used) sum += v;
    const long double mean = sum / out.Used;
    long double squares = 0;
    for (double v : used) squares += (v - mean) * (v - mean);
    out.Mean = static_cast<double>(mean);
    out.SD = static_cast<double>(std::sqrt(squares / (out.Used - 1)));
    if (!(out.SD > 0)) {
        out.Message =
            TranslatedText(QT_TRANSLATE_NOOP("Core", "The results vary too little to propose limits"));
        return out;
    }
    const double n = p.N;
    double spread = out.SD / std::sqrt(n);
    if (p.Procedure == TPqcProcedure::MovingMedian) spread *= std::sqrt(std::numbers::pi / 2);
    if (p.Procedure == TPqcProcedure::Ewma) spread = out.SD * std::sqrt(p.Lambda / (2 - p.Lambda));
    p.Target = out.Mean;
    p.Low = out.Mean - 3 * spread;
    p.High = out.Mean + 3 * spread;
    out.Ok = true;
    return out;
}

int PqcSimulationNeeded(const TPqcSettings& s) {
    return PqcHistoryNeeded(s.N);
}

TPqcSimulation SimulatePqc(const TPqcSettings& s, const std::vector<TPatientResult>& stream, TPqcBias bias,
                           int runs, uint64_t seed) {
    if (std::string why = CheckPqcSettings(s); !why.empty()) throw EQcError(why);
    if (runs < 1 || runs > MaxRuns)
        throw EQcError(
            Fill(QT_TRANSLATE_NOOP("Core", "The number of runs must be from 1 to %1"), Count(MaxRuns)));
    if (!Finite(bias.Size))
        throw EQcError(TranslatedText(QT_TRANSLATE_NOOP("Core", "The bias must be a number")));
    const int needed = PqcSimulationNeeded(s);
    if (static_cast<int>(stream.size()) < needed)
        throw EQcError(
            Fill(QT_TRANSLATE_NOOP("Core", "Too few results to simulate: %1, at least %2 are needed"),
                 Count(static_cast<int64_t>(stream.size())), Count(needed)));
    TPqcSimulation out;
    out.Runs = runs;
    out.Seed = seed;
    const TPqcRun plain = RunPqc(s, stream);
    if (!plain.Points.empty())
        out.FalseAlarmsPer1000 =
            1000.0 * static_cast<double>(plain.Alarms.size()) / static_cast<double>(plain.Points.size());

    // The first result after which the statistic stands: a bias can start at the next one.
    const size_t len = stream.size();
    size_t first = len;
    {
        TPqcStatistic st(s);
        for (size_t i = 0; i < len && first == len; ++i)
            if (st.Push(stream[i].Value) && st.Ready()) first = i;
    }
    if (first + 1 >= len)
        throw EQcError(
            Fill(QT_TRANSLATE_NOOP("Core", "Too few results to simulate: %1, at least %2 are needed"),
                 Count(static_cast<int64_t>(len)), Count(needed)));

    // The starts, drawn with a generator whose sequence the standard fixes, then taken in stream order so
    // that one pass of the unbiased statistic branches every run at its start.
    std::mt19937_64 random(seed);
    const uint64_t span = len - first - 1;
    std::vector<size_t> starts(static_cast<size_t>(runs));
    for (size_t& p : starts) p = first + 1 + static_cast<size_t>(random() % span);
    std::sort(starts.begin(), starts.end());

    std::vector<double> affected;
    affected.reserve(starts.size());
    TPqcStatistic unbiased(s);
    size_t next = 0;
    for (size_t i = 0; i < len && next < starts.size(); ++i) {
        for (; next < starts.size() && starts[next] == i; ++next) {
            TPqcStatistic branch = unbiased;
            size_t k = 0;
            bool detected = false;
            while (k < len && !detected) {
                const double v = bias.Apply(stream[(i + k) % len].Value);
                ++k;
                detected = branch.Push(v) && branch.Ready() && !branch.InLimits();
            }
            out.Undetected += !detected;
            affected.push_back(static_cast<double>(k));
        }
        unbiased.Push(stream[i].Value);
    }
    long double total = 0;
    for (double k : affected) total += k;
    out.ANPed = static_cast<double>(total / static_cast<long double>(affected.size()));
    std::sort(affected.begin(), affected.end());
    out.ANPed95 = Percentile(affected, 95);
    return out;
}

std::vector<TPqcTuningLine> TunePqc(const TPqcSettings& base, const std::vector<TPatientResult>& stream,
                                    const std::vector<TPqcBias>& biases, int runs, uint64_t seed) {
    if (biases.empty())
        throw EQcError(TranslatedText(QT_TRANSLATE_NOOP("Core", "Give at least one bias to simulate")));
    for (const TPqcBias& b : biases)
        if (!Finite(b.Size) || b.Size == 0 || (b.Percent && b.Size <= -100))
            throw EQcError(TranslatedText(QT_TRANSLATE_NOOP(
                "Core", "Each bias must be a number other than 0 (a percentage above -100)")));
    if (runs < 1 || runs > MaxRuns)
        throw EQcError(
            Fill(QT_TRANSLATE_NOOP("Core", "The number of runs must be from 1 to %1"), Count(MaxRuns)));
    std::vector<TPqcTuningLine> out;
    for (TPqcProcedure procedure :
         {TPqcProcedure::MovingAverage, TPqcProcedure::MovingMedian, TPqcProcedure::Ewma}) {
        TPqcSettings s = base;
        s.Procedure = procedure;
        const TPqcProposal proposal = ProposePqc(s, stream);
        for (const TPqcBias& bias : biases) {
            TPqcTuningLine line;
            line.Settings = proposal.Ok ? proposal.Settings : s;
            line.Bias = bias;
            if (!proposal.Ok)
                line.Message = proposal.Message;
            else
                try {
                    line.Simulation = SimulatePqc(proposal.Settings, stream, bias, runs, seed);
                } catch (const EQcError& e) {
                    line.Message = e.what();
                }
            out.push_back(std::move(line));
        }
    }
    return out;
}

std::vector<TPatientReading> ParsePatientResultLines(std::string_view text) {
    const TRegional& iso = IsoRegional();
    std::vector<TPatientReading> out;
    int number = 0;
    for (size_t at = 0; at <= text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (Trim(line).empty()) continue;
        const size_t tab = line.find('\t');
        const std::string stamp = Trim(line.substr(0, tab));
        const size_t space = stamp.find(' ');
        const std::optional<TDateTime> day =
            space == std::string::npos ? std::nullopt : IsoTextToDate(stamp.substr(0, space));
        const std::optional<TDateTime> time =
            space == std::string::npos ? std::nullopt : iso.TextToTime(Trim(stamp.substr(space + 1)));
        if (tab == std::string_view::npos || !day || !time)
            throw EQcError(
                Fill(QT_TRANSLATE_NOOP("Core", "Line %1: expected YYYY-MM-DD HH:MM:SS, a tab and the value"),
                     std::to_string(number)));
        std::string_view value = line.substr(tab + 1);
        value = value.substr(0, value.find('\t'));
        out.push_back({ComposeDateTime(*day, *time), std::string(value), "", false});
    }
    return out;
}
