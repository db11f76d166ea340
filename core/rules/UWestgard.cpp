// Westgard multirule engine: judges a classified run against the analyte's stored history.
#include "UWestgard.h"

#include <algorithm>

namespace {

// Levels the engine may read: the analyte's, never more than a point holds.
int LevelsInUse(const TAnalyte& a) {
    return std::clamp(a.NbLevels, 0, MaxLevels);
}

// The last index the walks may start from, whatever the caller passed.
int LastReadable(const TAnalyte& a, int previousIndex) {
    return std::min(previousIndex, a.Count() - 1);
}

// State of the level's previous result: the first point going back whose state is not empty.
// A discarded point is that result (it ends the two-run rules); none gives psEmpty.
PointState PreviousResult(const TAnalyte& a, int level, int previousIndex) {
    for (int k = LastReadable(a, previousIndex); k >= 0; --k) {
        PointState s = a.Points[static_cast<size_t>(k)].Levels[static_cast<size_t>(level)].State;
        if (s != psEmpty) return s;
    }
    return psEmpty;
}

bool Beyond(PointState s) {
    return IsHigh(s) || IsLow(s);
}

} // namespace

TRuleLevels SelectRuleLevels(const TAnalyte& analyte, const TResu& run, const TRejectToggles& rejected,
                             bool multirulesOn) noexcept {
    TRuleLevels sel;
    if (!multirulesOn) return sel;
    for (int i = 0; i < LevelsInUse(analyte); ++i) {
        const size_t li = static_cast<size_t>(i);
        bool part = analyte.LimitMode[li] != lmFixed && analyte.Limits[li].State != 6 &&
                    run.Levels[li].State != psEmpty && !rejected[li];
        sel.TakesPart[li] = part;
        if (part) ++sel.N;
    }
    return sel;
}

TRunCounters RunCounters(const TAnalyte& analyte, int level, float value, int previousIndex) noexcept {
    TRunCounters c;
    if (level < 0 || level >= LevelsInUse(analyte)) return c;
    const size_t li = static_cast<size_t>(level);
    const long double m = analyte.Limits[li].Mean;
    const long double f = analyte.Limits[li].WarnDev / 2;
    const long double d0 = value - m;
    c.Below = 1;
    c.Above = 1;
    c.LowOut = d0 < -f ? 1 : 0;
    c.HighOut = d0 > f ? 1 : 0;
    bool outDone = c.LowOut == 0 && c.HighOut == 0;
    // Strict comparisons: a value exactly on the mean ends both side runs, one exactly at +-f the
    // out-run. The side run never passes ten values, which bounds the walk when values are present.
    for (int k = LastReadable(analyte, previousIndex); k >= 0; --k) {
        const LevelValue& lv = analyte.Points[static_cast<size_t>(k)].Levels[li];
        if (lv.State == psEmpty || lv.State == psDiscarded) continue;
        const long double d = lv.Value - m;
        bool stop = false;
        if (d < 0 && d0 < 0)
            ++c.Below;
        else if (d > 0 && d0 > 0)
            ++c.Above;
        else
            stop = true;
        if (c.Below >= 10 || c.Above >= 10) stop = true;
        if (!outDone) {
            if (d < -f && d0 < -f)
                ++c.LowOut;
            else if (d > f && d0 > f)
                ++c.HighOut;
            else
                outDone = true;
        }
        if (stop) break;
    }
    return c;
}

int PreviousIndex(const TAnalyte& analyte, TDateTime runDateTime) noexcept {
    return analyte.FindInsertIndex(runDateTime) - 1;
}

TMultiruleResult EvaluateMultirules(const TAnalyte& analyte, const TResu& run, int previousIndex,
                                    const TRejectToggles& rejected, bool multirulesOn) noexcept {
    TMultiruleResult r;
    const TRuleLevels sel = SelectRuleLevels(analyte, run, rejected, multirulesOn);
    r.TakesPart = sel.TakesPart;
    r.N = sel.N;
    if (r.N == 0) return r;
    r.AcrossThree = r.N == 3;

    bool anyBeyond = false;
    for (int i = 0; i < LevelsInUse(analyte); ++i) {
        const size_t li = static_cast<size_t>(i);
        if (analyte.LimitMode[li] == lmFixed || rejected[li]) continue;
        r.Evaluated[li] = true;
        const PointState s = run.Levels[li].State;
        TRuleRow& row = r.Level[li];

        row[rp12s] = Beyond(s) ? rsWarning : rsClear;
        row[rp13s] = (s == psHighAction || s == psLowAction) ? rsReject : rsClear;
        if (IsHigh(s)) ++r.H;
        if (IsLow(s)) ++r.Lo;
        anyBeyond = anyBeyond || Beyond(s);

        // Only a value beyond the warning deviation can pair with the previous result.
        if (Beyond(s)) {
            const PointState p = PreviousResult(analyte, i, previousIndex);
            const bool sameSide = (IsHigh(s) && IsHigh(p)) || (IsLow(s) && IsLow(p));
            const bool opposite = (IsHigh(s) && IsLow(p)) || (IsLow(s) && IsHigh(p));
            row[rp22s] = sameSide ? rsReject : rsClear;
            row[rpR4s] = opposite ? rsReject : rsClear;
        }

        if (s == psEmpty) continue;
        r.Walked[li] = true;
        const TRunCounters c = RunCounters(analyte, i, run.Levels[li].Value, previousIndex);
        r.Counters[li] = c;
        // A walk rule is a rejection when the new value itself lies beyond the warning deviation.
        const RuleStatus violated = row[rp12s] == rsWarning ? rsReject : rsWarning;
        row[rp41s] = (c.LowOut >= 4 || c.HighOut >= 4) ? violated : rsClear;
        row[rp10m] = (c.Below >= 10 || c.Above >= 10) ? violated : rsClear;
    }
    r.X = anyBeyond ? rsReject : rsWarning;

    r.Across[rp22s] = (r.H >= 2 || r.Lo >= 2) ? rsReject : rsClear;
    r.Across[rpR4s] = (r.H >= 1 && r.Lo >= 1) ? rsReject : rsClear;

    // Count the walked levels meeting each threshold.
    auto count = [&](auto pred) {
        int k = 0;
        for (size_t li = 0; li < MaxLevels; ++li)
            if (r.Walked[li] && pred(r.Counters[li])) ++k;
        return k;
    };
    if (r.N == 2) {
        // Exactly two walked levels: a third walked level (one without limits of its own) is judged
        // against a mean that is not its own, so the two-level rule reads the pair alone.
        const bool shift = count([](const TRunCounters& c) { return c.LowOut >= 2; }) == 2 ||
                           count([](const TRunCounters& c) { return c.HighOut >= 2; }) == 2;
        const bool trend = count([](const TRunCounters& c) { return c.Below >= 5; }) == 2 ||
                           count([](const TRunCounters& c) { return c.Above >= 5; }) == 2;
        r.Across[rp41s] = shift ? r.X : rsClear;
        r.Across[rp10m] = trend ? r.X : rsClear;
    } else if (r.N == 3) {
        const bool shift = count([](const TRunCounters& c) { return c.LowOut >= 1; }) == 3 ||
                           count([](const TRunCounters& c) { return c.HighOut >= 1; }) == 3;
        const bool trend = count([](const TRunCounters& c) { return c.Below >= 3; }) == 3 ||
                           count([](const TRunCounters& c) { return c.Above >= 3; }) == 3;
        r.Across[rp41s] = shift ? r.X : rsClear;
        r.Across[rp10m] = trend ? r.X : rsClear;
    }
    return r;
}
