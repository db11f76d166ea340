// Simulated control results drawn from a normal distribution per level.
#include "URandom.h"

#include <algorithm>
#include <cfloat>

LevelValue DrawLevelValue(const LevelValue& mean, const LevelValue& cv) {
    if (mean.State == psEmpty || cv.State == psEmpty) return {0, psEmpty};
    long double m = mean.Value;
    // A draw beyond the single range (a huge mean with a wide CV) is kept at the largest single, so
    // that no stored value is infinite.
    long double v = std::clamp<long double>(RandomNormal(m, cv.Value * m / 100), -FLT_MAX, FLT_MAX);
    return {static_cast<float>(v), psInControl};
}

TResu MakeRandomEntry(const TAnalyte& a, const TLevelValues& means, const TLevelValues& cvs, TDateTime dt) {
    TResu r;
    r.DateTime = dt;
    for (int i = 0; i < a.NbLevels && i < MaxLevels; ++i) r.Levels[i] = DrawLevelValue(means[i], cvs[i]);
    r.AnalyteName = a.Name;
    return r;
}

int GenerateRandomPoints(TAnalyte& a, int count, const TLevelValues& means, const TLevelValues& cvs,
                         TDateTime first) {
    int last = -1;
    for (int k = 0; k < count; ++k) last = a.AddPoint(MakeRandomEntry(a, means, cvs, first + k));
    // Locked intervals stay as they are but no longer apply.
    a.LimitMode = {lmMobile, lmMobile, lmMobile};
    a.RecalcAll();
    a.ClassifyAllPoints();
    return last;
}
