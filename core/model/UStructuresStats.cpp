// Statistics and control limits of an analyte's levels, in extended precision.
#include <cmath>

#include "UGlobaleSettings.h"
#include "UStructures.h"

TRiskRows RiskRowsInForce() {
    return {Settings.AlertRow, Settings.ActionRow};
}

void TAnalyte::ComputeStats(int level, int first, int last, LevelStats& out) const {
    ComputeStats(level, first, last, out, RiskRowsInForce());
}

void TAnalyte::ComputeStats(int level, int first, int last, LevelStats& s, TRiskRows rows) const {
    if (first < 0) first = 0;
    if (last > Count() - 1) last = Count() - 1;
    // Sums are shifted by the first counted value: the stored values are singles, so every
    // difference is exact and the sum of squares keeps its digits for large means with small spread.
    // The walk keeps everything in locals: through the reference, the compiler would store and
    // reload the extended Min and Max at every value.
    int32_t n = 0, discarded = 0;
    long double shift = 0, S = 0, Q = 0;
    // Min and Max are singles while values are counted: a single converts to extended exactly and
    // compares as its extended image does, so the chosen value is the same.
    float lo = 0, hi = 0;
    const ControlPoint* points = Points.data();
    int k = first;
    // Up to the first counted value, which starts the shift, Min and Max (values beyond the +-1e10
    // starting marks would otherwise leave Min above Max and a lone value with a zero divisor).
    for (; k <= last; ++k) {
        PointState state = points[k].Levels[level].State;
        if (state == psDiscarded)
            ++discarded;
        else if (state != psEmpty)
            break;
    }
    if (k <= last) {
        float v0 = points[k].Levels[level].Value;
        shift = v0;
        lo = hi = v0;
    }
    // Min and Max alternate between two pairs, even and odd positions: each compare waits on
    // the one before, and two chains halve that wait. Only the extended sums keep their order.
    float lo1 = lo, hi1 = hi;
    auto take = [&](const LevelValue& lv, float& low, float& high) {
        if (lv.State == psDiscarded) {
            ++discarded;
            return;
        }
        if (lv.State == psEmpty) return;
        float f = lv.Value;
        long double v = f;
        ++n;
        long double d = v - shift;
        S += d;
        Q += d * d;
        low = f < low ? f : low;
        high = f > high ? f : high;
    };
    for (; k < last; k += 2) {
        take(points[k].Levels[level], lo, hi);
        take(points[k + 1].Levels[level], lo1, hi1);
    }
    if (k == last) take(points[k].Levels[level], lo, hi);
    lo = lo1 < lo ? lo1 : lo;
    hi = hi1 > hi ? hi1 : hi;
    // Singles that compare equal are the same value, but for the two zeros: which one the walk in
    // order keeps depends on the order, and only that walk tells.
    if (lo == 0 || hi == 0) {
        lo = hi = static_cast<float>(shift);
        for (int j = first; j <= last; ++j) {
            const LevelValue& lv = points[j].Levels[level];
            if (lv.State == psDiscarded || lv.State == psEmpty) continue;
            lo = lv.Value < lo ? lv.Value : lo;
            hi = lv.Value > hi ? lv.Value : hi;
        }
    }
    s.N = n;
    s.NDiscarded = discarded;
    s.Min = n > 0 ? static_cast<long double>(lo) : 1e10L;
    s.Max = n > 0 ? static_cast<long double>(hi) : -1e10L;
    if (s.N == 0) {
        s.Mean = 0;
        s.RangeLow = -1;
        s.RangeHigh = 1;
        s.WarnDev = 0.5L;
        s.ActionDev = 0.8L;
        s.DF = 0;
        s.State = 6;
        return;
    }
    s.Mean = shift + S / s.N;
    if (s.Max - s.Min < 1e-10L) {
        s.State = 6;
        s.DF = 0;
        if (std::fabs(s.Mean) < 1e-10L) {
            s.Mean = 0;
            s.RangeLow = -1;
            s.RangeHigh = 1;
            s.WarnDev = 0.5L;
            s.ActionDev = 0.8L;
        } else {
            long double m = std::fabs(s.Mean);
            s.RangeLow = s.Mean - m;
            s.RangeHigh = s.Mean + m;
            s.WarnDev = 0.5L * m;
            s.ActionDev = 0.8L * m;
        }
        return;
    }
    s.RangeLow = s.Min;
    s.RangeHigh = s.Max;
    s.DF = s.N - 1;
    long double ss = Q - S * S / s.N;
    if (ss < 0) ss = 0;
    long double sd = std::sqrt(ss / (s.N - 1));
    if (std::fabs(s.Mean) < 1e-10L) {
        s.State = 6;
    } else {
        s.CV = static_cast<float>(sd * 100 / std::fabs(s.Mean));
        s.State = 0;
    }
    s.WarnDev = TQuantile(rows.Alert, s.DF) * sd;
    s.ActionDev = TQuantile(rows.Action, s.DF) * sd;
}

namespace {
void WidenToAction(LevelStats& l) {
    if (l.N < 1) return;
    l.RangeHigh = std::max(l.RangeHigh, l.Mean + l.ActionDev);
    l.RangeLow = std::min(l.RangeLow, l.Mean - l.ActionDev);
}
} // namespace

void TAnalyte::RecalcLevel(int level) {
    RecalcLevel(level, RiskRowsInForce());
}

void TAnalyte::RecalcLevel(int level, TRiskRows rows) {
    ComputeStats(level, 0, Count() - 1, AllStats[level], rows);
    LevelStats& lim = Limits[level];
    if (LimitMode[level] == lmLocked) {
        // An interval that does not lie within the stored points (a damaged or foreign file) has no
        // usable statistics either.
        bool inside =
            LockFirst[level] >= 0 && LockLast[level] < Count() && LockFirst[level] <= LockLast[level];
        if (inside) ComputeStats(level, LockFirst[level], LockLast[level], lim, rows);
        if (!inside || lim.State == 6) {
            LimitMode[level] = lmMobile;
            LockFirst[level] = LockLast[level] = -1;
        } else {
            lim.RangeLow = AllStats[level].RangeLow;
            lim.RangeHigh = AllStats[level].RangeHigh;
            WidenToAction(lim);
            return;
        }
    }
    if (LimitMode[level] == lmFixed) {
        lim.State = 0;
        lim.RangeHigh = lim.Mean + lim.ActionDev;
        lim.RangeLow = lim.Mean - lim.ActionDev;
        const LevelStats& all = AllStats[level];
        if (all.N + all.NDiscarded >= 1) {
            lim.RangeHigh = std::max(lim.RangeHigh, all.Max);
            lim.RangeLow = std::min(lim.RangeLow, all.Min);
        }
        return;
    }
    lim = AllStats[level];
    WidenToAction(lim);
}

void TAnalyte::ApplyCommonCV() {
    ApplyCommonCV(RiskRowsInForce());
}

void TAnalyte::ApplyCommonCV(TRiskRows rows) {
    long double dfc = 0, v = 0;
    for (int i = 0; i < NbLevels; ++i) {
        const LevelStats& l = Limits[i];
        if (LimitMode[i] == lmFixed || l.State != 0) continue;
        long double cv = l.CV / 100.0L;
        dfc += l.N - 1;
        v += cv * cv * (l.N - 1);
    }
    if (dfc < 1) return;
    long double cvc = std::sqrt(v / dfc);
    int df = static_cast<int>(dfc);
    for (int i = 0; i < NbLevels; ++i) {
        LevelStats& l = Limits[i];
        if (LimitMode[i] == lmFixed || l.N <= 0) continue;
        // The magnitude of the mean, as the CV itself uses: a negative mean must not invert the limits.
        long double sd = cvc * std::fabs(l.Mean);
        l.State = 0;
        l.CV = static_cast<float>(cvc * 100);
        l.WarnDev = TQuantile(rows.Alert, df) * sd;
        l.ActionDev = TQuantile(rows.Action, df) * sd;
        l.DF = df;
        l.RangeHigh = l.Max >= l.Mean + l.ActionDev ? l.Max : l.Mean + l.ActionDev;
        l.RangeLow = l.Min > l.Mean - l.ActionDev ? l.Mean - l.ActionDev : l.Min;
    }
}

void TAnalyte::RecalcAll() {
    RecalcAll(RiskRowsInForce());
}

void TAnalyte::RecalcAll(TRiskRows rows) {
    for (int i = 0; i < NbLevels; ++i) RecalcLevel(i, rows);
    if (CommonCVOn()) ApplyCommonCV(rows);
}
