// Quality goals: the goal file lines, the reference period of a level and its figures against the goal.
#include "UQualityGoals.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "UQcError.h"
#include "UTexts.h"
#include "UUtilitaires.h"

const char* GapText(TGap gap) {
    switch (gap) {
    case gapNone:
        return "";
    case gapNoTea:
        return QT_TRANSLATE_NOOP("Core", "no allowable total error (TEa) set");
    case gapTeaNotPositive:
        return QT_TRANSLATE_NOOP("Core", "TEa must be above zero");
    case gapNoTarget:
        return QT_TRANSLATE_NOOP("Core", "no target");
    case gapZeroTarget:
        return QT_TRANSLATE_NOOP("Core", "target is zero");
    case gapFewPoints:
        return QT_TRANSLATE_NOOP("Core", "fewer than two values");
    case gapZeroMean:
        return QT_TRANSLATE_NOOP("Core", "mean is zero");
    case gapZeroCV:
        return QT_TRANSLATE_NOOP("Core", "CV is zero (all values equal)");
    case gapBelowCritical:
        return QT_TRANSLATE_NOOP("Core", "Sigma below 1.65");
    case gapNoRules:
        return QT_TRANSLATE_NOOP("Core", "no level takes part in the rules");
    case gapBiasBeyondTea:
        return QT_TRANSLATE_NOOP("Core", "the bias reaches the TEa");
    case gapNoBiasData:
        return QT_TRANSLATE_NOOP("Core", "no peer or EQA data for the bias");
    }
    return "";
}

const char* BiasFromName(TBiasFrom from) {
    return from == biasPeer ? "peer" : from == biasEqa ? "eqa" : "target";
}

std::optional<TBiasFrom> BiasFromOfName(std::string_view name) {
    for (TBiasFrom f : {biasTarget, biasPeer, biasEqa})
        if (name == BiasFromName(f)) return f;
    return std::nullopt;
}

const char* BiasFromText(TBiasFrom from) {
    return from == biasPeer  ? QT_TRANSLATE_NOOP("Core", "the peer data")
           : from == biasEqa ? QT_TRANSLATE_NOOP("Core", "the EQA results")
                             : QT_TRANSLATE_NOOP("Core", "the target");
}

namespace {

// Goal files come from spreadsheets of either decimal mark; the fields are split at ';' first.
bool ParseNumber(std::string_view text, long double& v) {
    return ParseDecimal(text, '.', v) || ParseDecimal(text, ',', v);
}

std::vector<std::string> SplitFields(std::string_view line) {
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        size_t semi = line.find(';', start);
        out.push_back(Trim(line.substr(start, semi == std::string_view::npos ? semi : semi - start)));
        if (semi == std::string_view::npos) return out;
        start = semi + 1;
    }
}

// Length of the number at the start of a TEa field: digits, sign, decimal mark and an exponent.
size_t NumberLength(std::string_view t) {
    size_t i = 0;
    while (i < t.size() && std::string_view("+-0123456789.,").find(t[i]) != std::string_view::npos) ++i;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        size_t j = i + 1;
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
        if (j < t.size() && t[j] >= '0' && t[j] <= '9') {
            while (j < t.size() && t[j] >= '0' && t[j] <= '9') ++j;
            i = j;
        }
    }
    return i;
}

// Mean and SD exactly as ComputeStats forms them: sums shifted by the first counted value, in index
// order, in extended precision; values spanning less than 1e-10 count as all equal (SD 0).
struct TMoments {
    int N = 0;
    long double Mean = 0, SD = 0;
};

TMoments Moments(const TAnalyte& a, int level, TPeriod p) {
    TMoments m;
    long double shift = 0, S = 0, Q = 0;
    float lo = 0, hi = 0;
    const size_t li = static_cast<size_t>(level);
    for (int k = std::max(p.First, 0); k <= std::min(p.Last, a.Count() - 1); ++k) {
        const LevelValue& lv = a.Points[static_cast<size_t>(k)].Levels[li];
        if (!IsCounted(lv.State)) continue;
        if (m.N == 0) {
            shift = lv.Value;
            lo = hi = lv.Value;
        }
        ++m.N;
        long double d = static_cast<long double>(lv.Value) - shift;
        S += d;
        Q += d * d;
        lo = std::min(lo, lv.Value);
        hi = std::max(hi, lv.Value);
    }
    if (m.N == 0) return m;
    m.Mean = shift + S / m.N;
    if (m.N < 2 || static_cast<long double>(hi) - static_cast<long double>(lo) < 1e-10L) return m;
    long double ss = Q - S * S / m.N;
    if (ss < 0) ss = 0;
    m.SD = std::sqrt(ss / (m.N - 1));
    return m;
}

bool IsZeroMean(long double mean) {
    return std::fabs(mean) < 1e-10L; // the threshold of the program's statistics
}

} // namespace

TQualityGoal ParseGoalLine(std::string_view line) {
    std::vector<std::string> f = SplitFields(line);
    if (f.size() > 2 + MaxLevels)
        throw EQcError(
            QT_TRANSLATE_NOOP("Core", "more than five fields (analyte;TEa;target1;target2;target3)"));
    if (f[0].empty()) throw EQcError(QT_TRANSLATE_NOOP("Core", "no analyte name"));
    if (f.size() < 2 || f[1].empty()) throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "no TEa for %1"), f[0]));

    TQualityGoal g;
    g.Analyte = f[0];
    const std::string& tea = f[1];
    size_t len = NumberLength(tea);
    std::string unit = Trim(std::string_view(tea).substr(len));
    long double v = 0;
    if (len == 0 || !ParseNumber(std::string_view(tea).substr(0, len), v))
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "TEa '%1' is not a number"), tea));
    if (v <= 0) throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "TEa must be above zero, not %1"), tea));
    // Beyond what the figures can be computed with (1e400): said as such, not as a TEa of zero.
    if (!std::isfinite(static_cast<double>(v)))
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "TEa '%1' is out of range"), tea));
    g.TEa = v;
    if (!unit.empty() && unit != "%") {
        g.TEaKind = teaUnit;
        g.TEaUnit = unit;
    }
    for (size_t k = 2; k < f.size(); ++k) {
        if (f[k].empty()) continue;
        const std::string level = std::to_string(k - 1);
        long double t = 0;
        if (!ParseNumber(f[k], t))
            throw EQcError(
                Fill(QT_TRANSLATE_NOOP("Core", "target of level %1 '%2' is not a number"), level, f[k]));
        if (t == 0) throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "target of level %1 is zero"), level));
        // Beyond what a stored value holds: said as such.
        if (!InValueRange(t))
            throw EQcError(
                Fill(QT_TRANSLATE_NOOP("Core", "target of level %1 '%2' is out of range"), level, f[k]));
        g.Target[k - 2] = t;
    }
    return g;
}

std::vector<TQualityGoal> ParseGoals(std::string_view text, std::vector<int>* lines) {
    if (lines) lines->clear();
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::vector<TQualityGoal> goals;
    std::set<std::string> names;
    bool first = true;
    int number = 0;
    while (!text.empty()) {
        size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        ++number;
        if (Trim(line).empty()) continue;
        const bool heading = first && UpperCase(Trim(line.substr(0, line.find(';')))) == "ANALYTE";
        first = false;
        if (heading) continue;
        const std::string where = Fill(QT_TRANSLATE_NOOP("Core", "Line %1: "), std::to_string(number));
        try {
            goals.push_back(ParseGoalLine(line));
        } catch (const EQcError& e) {
            throw EQcError(where + e.what());
        }
        if (!names.insert(UpperCase(goals.back().Analyte)).second)
            throw EQcError(
                Fill(QT_TRANSLATE_NOOP("Core", "%1%2 appears twice"), where, goals.back().Analyte));
        if (lines) lines->push_back(number);
    }
    return goals;
}

void CheckGoalFits(const TQualityGoal& goal, const TAnalyte& analyte) {
    if (goal.TEaKind == teaUnit && goal.TEaUnit != analyte.Unit)
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "TEa of %1 is given in %2, the analyte's unit is %3"),
                            analyte.Name, goal.TEaUnit, analyte.Unit));
    for (int k = analyte.NbLevels; k < MaxLevels; ++k)
        if (goal.Target[static_cast<size_t>(k)])
            throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "%1 has %2 level(s): no target for level %3"),
                                analyte.Name, std::to_string(analyte.NbLevels), std::to_string(k + 1)));
}

TPeriod ReferencePeriod(const TAnalyte& a, int level, TPeriod inView) {
    const size_t li = static_cast<size_t>(level);
    if (a.LimitMode[li] == lmLocked && a.LockFirst[li] >= 0 && a.LockFirst[li] <= a.LockLast[li] &&
        a.LockLast[li] < a.Count())
        return {a.LockFirst[li], a.LockLast[li]};
    return {std::max(inView.First, 0), std::min(inView.Last, a.Count() - 1)};
}

TPeriod PeriodOfDates(const TAnalyte& a, TDateTime from, TDateTime to) {
    // The day a point is shown on: its date as the program writes it.
    auto day = [](TDateTime dt) {
        TDateParts d = DecodeDate(dt);
        return EncodeDate(d.Year, d.Month, d.Day);
    };
    const TDateTime first = day(from), last = day(to);
    TPeriod p{a.Count(), a.Count() - 1};
    for (int k = 0; k < a.Count(); ++k) {
        TDateTime d = day(a.Points[static_cast<size_t>(k)].DateTime);
        if (d < first) continue;
        if (d > last) break;
        if (p.First == a.Count()) p.First = k;
        p.Last = k;
    }
    if (p.First > p.Last) return {0, -1};
    return p;
}

namespace {

// Sigma from the TEa, bias and CV the figures hold.
void SetSigma(TLevelFigures& f) {
    // No target: the bias is not known and Sigma is given for a bias of zero (BiasKnown false).
    if (!f.TEaPct.Ok())
        f.Sigma = f.TEaPct;
    else if (f.BiasFrom == biasTarget && f.Target.Gap == gapZeroTarget)
        f.Sigma = f.Target;
    else if (!f.CV.Ok())
        f.Sigma = f.CV;
    else if (f.BiasKnown && std::fabs(f.BiasPct.Value) >= f.TEaPct.Value)
        f.Sigma = TFigure::Missing(gapBiasBeyondTea); // zero or below: no figure of imprecision
    else
        f.Sigma = TFigure::Of((f.TEaPct.Value - (f.BiasKnown ? std::fabs(f.BiasPct.Value) : 0)) / f.CV.Value);
}

} // namespace

TLevelFigures LevelFigures(const TAnalyte& a, int level, TPeriod period, const TQualityGoal& goal) {
    TLevelFigures f;
    f.Level = level;
    f.Period = period;
    const TMoments m = Moments(a, level, period);
    f.N = m.N;
    const bool enough = m.N >= 2;
    const bool zeroMean = m.N >= 1 && IsZeroMean(m.Mean);

    f.Mean = m.N >= 1 ? TFigure::Of(m.Mean) : TFigure::Missing(gapFewPoints);
    f.SD = enough ? TFigure::Of(m.SD) : TFigure::Missing(gapFewPoints);
    if (!enough)
        f.CV = TFigure::Missing(gapFewPoints);
    else if (zeroMean)
        f.CV = TFigure::Missing(gapZeroMean);
    else if (m.SD == 0)
        f.CV = TFigure::Missing(gapZeroCV);
    else
        f.CV = TFigure::Of(m.SD * 100 / std::fabs(m.Mean));

    const std::optional<long double>& target = goal.Target[static_cast<size_t>(level)];
    if (!target)
        f.Target = TFigure::Missing(gapNoTarget);
    else if (*target == 0)
        f.Target = TFigure::Missing(gapZeroTarget);
    else
        f.Target = TFigure::Of(*target);
    f.BiasKnown = f.Target.Ok();
    if (!f.Target.Ok())
        f.BiasPct = f.Target;
    else if (!enough)
        f.BiasPct = TFigure::Missing(gapFewPoints);
    else // |target|: a mean above a negative target is a positive bias as well
        f.BiasPct = TFigure::Of(100 * (m.Mean - *target) / std::fabs(*target));
    f.BiasFrom = goal.BiasFrom;
    if (goal.BiasFrom != biasTarget) {
        const std::optional<long double>& measured = goal.MeasuredBiasPct[static_cast<size_t>(level)];
        f.BiasKnown = measured.has_value();
        f.BiasPct = measured ? TFigure::Of(*measured) : TFigure::Missing(gapNoBiasData);
    }

    if (!goal.TEa)
        f.TEaPct = TFigure::Missing(gapNoTea);
    else if (*goal.TEa <= 0)
        f.TEaPct = TFigure::Missing(gapTeaNotPositive);
    else if (goal.TEaKind == teaPercent)
        f.TEaPct = TFigure::Of(*goal.TEa);
    else if (m.N == 0)
        f.TEaPct = TFigure::Missing(gapFewPoints);
    else if (zeroMean)
        f.TEaPct = TFigure::Missing(gapZeroMean);
    else
        f.TEaPct = TFigure::Of(100 * *goal.TEa / std::fabs(m.Mean));

    SetSigma(f);
    return f;
}

void UseCommonCV(const TAnalyte& a, std::vector<TLevelFigures>& figures) {
    if (!a.CommonCVOn()) return;
    auto pooled = [&](const TLevelFigures& f) {
        const int i = f.Level;
        return i >= 0 && i < std::clamp(a.NbLevels, 0, MaxLevels) &&
               a.LimitMode[static_cast<size_t>(i)] != lmFixed;
    };
    // As TAnalyte::ApplyCommonCV: the levels' CVs as the limits keep them (singles), weights N - 1.
    long double dfc = 0, v = 0;
    for (const TLevelFigures& f : figures) {
        if (!pooled(f) || !f.CV.Ok()) continue;
        const long double cv = static_cast<float>(f.CV.Value) / 100.0L;
        dfc += f.N - 1;
        v += cv * cv * (f.N - 1);
    }
    if (dfc < 1) return;
    const long double cvc = std::sqrt(v / dfc);
    for (TLevelFigures& f : figures) {
        if (!pooled(f) || f.N < 2 || f.CV.Gap == gapZeroMean) continue;
        f.SD = TFigure::Of(cvc * std::fabs(f.Mean.Value));
        f.CV = TFigure::Of(cvc * 100);
        f.CommonCV = true;
        SetSigma(f);
    }
}

std::vector<TLevelFigures> AnalyteFigures(const TAnalyte& a, const TQualityGoal& goal, TPeriod inView) {
    std::vector<TLevelFigures> out;
    for (int i = 0; i < std::clamp(a.NbLevels, 0, MaxLevels); ++i)
        out.push_back(LevelFigures(a, i, ReferencePeriod(a, i, inView), goal));
    UseCommonCV(a, out);
    return out;
}

bool MissesGoal(const TLevelFigures& f) {
    return f.Sigma.Gap == gapBiasBeyondTea || (f.Sigma.Ok() && f.Sigma.Value < SigmaGoalMissed);
}

TDecisionChart DecisionChart(const std::vector<TLevelFigures>& figures) {
    TDecisionChart c;
    std::vector<const TLevelFigures*> shown;
    for (const TLevelFigures& f : figures)
        if (f.Sigma.Ok() || f.Sigma.Gap == gapBiasBeyondTea) shown.push_back(&f);
    if (shown.empty()) return c;
    c.TEa = shown.front()->TEaPct.Value;
    for (const TLevelFigures* f : shown)
        if (std::fabs(f->TEaPct.Value - c.TEa) > 1e-9L * c.TEa) c.Normalised = true;
    if (c.Normalised) c.TEa = 100;
    for (const TLevelFigures* f : shown) {
        const long double scale = c.Normalised ? 100 / f->TEaPct.Value : 1;
        const long double bias = f->BiasKnown ? std::fabs(f->BiasPct.Value) : 0;
        c.Points.push_back({f->Level, f->CV.Value * scale, bias * scale, f->BiasKnown});
    }
    c.XMax = c.TEa / 2, c.YMax = c.TEa;
    for (const TDecisionChart::Point& pt : c.Points) {
        c.XMax = std::max(c.XMax, 1.1L * pt.CV);
        c.YMax = std::max(c.YMax, 1.1L * pt.Bias);
    }
    c.XMax = std::min(c.XMax, 2 * c.TEa), c.YMax = std::min(c.YMax, 2 * c.TEa);
    for (TDecisionChart::Point& pt : c.Points) pt.OffScale = pt.CV > c.XMax || pt.Bias > c.YMax;
    for (int s = 2; s <= 6; ++s) c.Lines.push_back({s, c.TEa, c.TEa / s});
    return c;
}
