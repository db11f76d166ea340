// Rejection against systematic error: the rule engine on simulated runs, and the single-rule closed form.
#include "UPowerFunction.h"

#include <algorithm>
#include <cmath>

#include "UGlobaleSettings.h"
#include "UUtilitaires.h"
#include "UWestgard.h"

long double Phi(long double x) {
    return 0.5L * std::erfc(-x / std::sqrt(2.0L));
}

long double SingleRuleRejection(std::span<const long double> k, long double shift) {
    long double inside = 1;
    for (long double ki : k) inside *= Phi(ki - shift) - Phi(-ki - shift);
    return 1 - inside;
}

TRuleSet RuleSetOf(const TAnalyte& a, TRiskRows rows) {
    TRuleSet r;
    r.Multirules = a.MultirulesOn();
    for (int i = 0; i < std::clamp(a.NbLevels, 0, MaxLevels); ++i) {
        const size_t li = static_cast<size_t>(i);
        const LevelStats& l = a.Limits[li];
        if (a.LimitMode[li] == lmFixed || l.State != 0) continue;
        const int df = std::max(l.DF, 1);
        const size_t k = static_cast<size_t>(r.Levels++);
        r.KWarn[k] = TQuantile(rows.Alert, df);
        r.KAction[k] = TQuantile(rows.Action, df);
    }
    return r;
}

namespace {

// Normal draws, a stream of its own for each trial: a trial then draws the same values whatever the
// history length, newest first, and a seed gives the same figures on every build. The program's own
// generator is left alone.
class TNormalSource {
public:
    TNormalSource(uint64_t seed, uint64_t trial) : state_(seed) { state_ ^= Mix(trial); }
    double Next() {
        if (spare_) {
            spare_ = false;
            return second_;
        }
        const double u1 = 1.0 - Uniform(); // (0, 1]: the logarithm stays finite
        const double u2 = Uniform();
        const double r = std::sqrt(-2.0 * std::log(u1));
        constexpr double twoPi = 6.283185307179586476925286766559;
        second_ = r * std::sin(twoPi * u2);
        spare_ = true;
        return r * std::cos(twoPi * u2);
    }

private:
    // SplitMix64: one addition and a mix per draw, a fixed sequence for a fixed start.
    static uint64_t Mix(uint64_t z) {
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    double Uniform() { return static_cast<double>(Mix(state_ += 0x9E3779B97F4A7C15ULL) >> 11) * 0x1.0p-53; }
    uint64_t state_;
    bool spare_ = false;
    double second_ = 0;
};

bool Rejected(const TMultiruleResult& r) {
    for (size_t li = 0; li < MaxLevels; ++li)
        if (r.TakesPart[li])
            for (RuleStatus s : r.Level[li])
                if (s == rsReject) return true;
    if (r.AcrossShown())
        for (RuleStatus s : r.Across)
            if (s == rsReject) return true;
    return false;
}

} // namespace

std::vector<TPowerPoint> SimulatePower(const TRuleSet& rules, std::span<const long double> shifts,
                                       const TSimulation& sim) {
    std::vector<TPowerPoint> out(shifts.size());
    for (size_t s = 0; s < shifts.size(); ++s) out[s].Shift = shifts[s];
    const int levels = std::clamp(rules.Levels, 0, MaxLevels);
    if (levels == 0 || sim.Trials <= 0) return out;

    // An analyte whose levels have mean 0 and SD 1: values are in SD units.
    TAnalyte a("Simulation", "", 3, levels);
    a.Options = rules.Multirules ? TAnalyte::OptMultirules : 0;
    for (size_t li = 0; li < static_cast<size_t>(levels); ++li) {
        LevelStats& l = a.Limits[li];
        l.Mean = 0;
        l.WarnDev = rules.KWarn[li];
        l.ActionDev = rules.KAction[li];
        l.State = 0;
    }
    const int history = std::max(sim.HistoryRuns, 0);
    a.Points.resize(static_cast<size_t>(history));
    for (int k = 0; k < history; ++k) a.Points[static_cast<size_t>(k)].DateTime = k + 1;

    std::vector<long long> program(shifts.size()), r13(shifts.size()), r12(shifts.size());
    TResu run;
    run.DateTime = history + 1;
    std::array<double, MaxLevels> noise{};
    for (int t = 0; t < sim.Trials; ++t) {
        TNormalSource normal(sim.Seed, static_cast<uint64_t>(t));
        for (size_t li = 0; li < static_cast<size_t>(levels); ++li) noise[li] = normal.Next();
        for (int k = history - 1; k >= 0; --k) {
            ControlPoint& p = a.Points[static_cast<size_t>(k)];
            for (size_t li = 0; li < static_cast<size_t>(levels); ++li)
                p.Levels[li] = {static_cast<float>(normal.Next()), psInControl};
            a.ClassifyRun(p.Levels);
        }
        for (size_t s = 0; s < shifts.size(); ++s) {
            for (size_t li = 0; li < static_cast<size_t>(levels); ++li)
                run.Levels[li] = {static_cast<float>(noise[li] + static_cast<double>(shifts[s])),
                                  psInControl};
            a.ClassifyRun(run.Levels);
            bool action = false, warning = false;
            for (size_t li = 0; li < static_cast<size_t>(levels); ++li) {
                const PointState st = run.Levels[li].State;
                action = action || st == psHighAction || st == psLowAction;
                warning = warning || IsHigh(st) || IsLow(st);
            }
            bool rejected = action;
            if (rules.Multirules && !rejected)
                rejected = Rejected(EvaluateMultirules(a, run, history - 1, {}, true));
            program[s] += rejected;
            r13[s] += action;
            r12[s] += warning;
        }
    }
    const long double n = sim.Trials;
    for (size_t s = 0; s < shifts.size(); ++s) {
        out[s].Program = program[s] / n;
        out[s].Rule13s = r13[s] / n;
        out[s].Rule12s = r12[s] / n;
    }
    return out;
}

std::vector<long double> PowerShifts() {
    std::vector<long double> s;
    for (int k = 0; k <= 50; ++k) s.push_back(k / 10.0L);
    return s;
}

TErrorDetection ErrorDetection(const TRuleSet& rules, const TFigure& sigma, const TSimulation& sim) {
    TErrorDetection e;
    if (!sigma.Ok()) {
        e.DeltaSEcrit = e.Ped = e.Pfr = e.Ped13s = e.Pfr13s = e.Ped12s = e.Pfr12s = sigma;
        return e;
    }
    const long double crit = sigma.Value - 1.65L;
    // A critical error below zero is no error to detect: the goal is missed without one.
    e.DeltaSEcrit = crit < 0 ? TFigure::Missing(gapBelowCritical) : TFigure::Of(crit);
    const int levels = std::clamp(rules.Levels, 0, MaxLevels);
    if (levels == 0) {
        e.Ped = e.Pfr = e.Ped13s = e.Pfr13s = e.Ped12s = e.Pfr12s = TFigure::Missing(gapNoRules);
        return e;
    }
    const std::span<const long double> kw(rules.KWarn.data(), static_cast<size_t>(levels));
    const std::span<const long double> ka(rules.KAction.data(), static_cast<size_t>(levels));
    e.Pfr13s = TFigure::Of(SingleRuleRejection(ka, 0));
    e.Pfr12s = TFigure::Of(SingleRuleRejection(kw, 0));
    const bool below = crit < 0;
    const long double shifts[] = {0, below ? 0 : crit};
    const std::vector<TPowerPoint> p = SimulatePower(rules, shifts, sim);
    e.Pfr = TFigure::Of(p[0].Program);
    if (below) {
        e.Ped = e.Ped13s = e.Ped12s = TFigure::Missing(gapBelowCritical);
        return e;
    }
    e.Ped = TFigure::Of(p[1].Program);
    e.Ped13s = TFigure::Of(SingleRuleRejection(ka, crit));
    e.Ped12s = TFigure::Of(SingleRuleRejection(kw, crit));
    return e;
}
