// Builders shared by the Westgard engine tests.
#include "TestWestgardSupport.h"

#include <cmath>

#include "TestHelpers.h"

namespace wg {

TAnalyte Analyte(int nbLevels) {
    TAnalyte a("Test", "u", 2, nbLevels);
    for (int i = 0; i < nbLevels; ++i) SetLimits(a, i, 100, 4, 6);
    return a;
}

void SetLimits(TAnalyte& a, int level, long double m, long double w, long double act, LimitMode mode,
               uint8_t state) {
    a.LimitMode[level] = mode;
    LevelStats& l = a.Limits[level];
    l.Mean = m;
    l.WarnDev = w;
    l.ActionDev = act;
    l.State = state;
    l.N = state == 6 ? 0 : 20;
}

void AddPoint(TAnalyte& a, TDateTime day, std::initializer_list<double> values) {
    TResu r = MakeRun(day, values);
    a.ClassifyRun(r.Levels);
    a.AddPoint(r);
}

TResu ClassifiedRun(const TAnalyte& a, TDateTime day, std::initializer_list<double> values) {
    TResu r = MakeRun(day, values);
    a.ClassifyRun(r.Levels);
    return r;
}

TMultiruleResult Evaluate(const TAnalyte& a, const TResu& run, TRejectToggles rejected, bool on) {
    return EvaluateMultirules(a, run, PreviousIndex(a, run.DateTime), rejected, on);
}

namespace {
std::string Row(const TRuleRow& row, const TRuleNames& names, int first) {
    std::string s;
    for (int j = first; j < RuleCount; ++j) {
        if (row[j] == rsClear) continue;
        if (!s.empty()) s += ',';
        s += names[j];
        s += row[j] == rsReject ? "/R" : "/W";
    }
    return s.empty() ? "ok" : s;
}
} // namespace

std::string Describe(const TAnalyte& a, const TMultiruleResult& r) {
    std::string s = "n=" + std::to_string(r.N);
    for (int i = 0; i < a.NbLevels && i < MaxLevels; ++i) {
        s += " L" + std::to_string(i + 1) + "=";
        s += r.TakesPart[i] ? Row(r.Level[i], LevelRuleNames, 0) : "-";
    }
    if (r.AcrossShown()) s += " A=" + Row(r.Across, r.AcrossNames(), FirstAcrossRule);
    return s;
}

} // namespace wg
