// Stored points judged again by the rule engine, their z-scores and Youden pairs, the monthly summary.
#include "UQcSummary.h"

#include <algorithm>
#include <cmath>

#include "UQcError.h"
#include "UTexts.h"
#include "UWestgard.h"

namespace {

int LevelsOf(const TAnalyte& a) {
    return std::clamp(a.NbLevels, 0, MaxLevels);
}

TPointOutcome OfState(PointState s) {
    if (s == psEmpty) return ocEmpty;
    if (s == psDiscarded) return ocDiscarded;
    if (s == psHighAction || s == psLowAction) return ocReject;
    return s == psInControl ? ocClear : ocWarning;
}

TPointOutcome Worse(TPointOutcome o, RuleStatus s) {
    const TPointOutcome r = s == rsReject ? ocReject : s == rsWarning ? ocWarning : ocClear;
    return std::max(o, r);
}

TMonth MonthOf(TDateTime dt) {
    TDateParts d = DecodeDate(dt);
    return {d.Year, d.Month};
}

TMonth NextMonth(TMonth m) {
    return m.Month == 12 ? TMonth{m.Year + 1, 1} : TMonth{m.Year, m.Month + 1};
}

bool ValidMonth(TMonth m) {
    return m.Year >= 1 && m.Year <= 9999 && m.Month >= 1 && m.Month <= 12;
}

void Count(TMonthLevel& l, TPointOutcome o) {
    l.Warnings += o == ocWarning;
    l.Rejects += o == ocReject;
    l.Discarded += o == ocDiscarded;
}

} // namespace

TPointJudgement JudgePoint(const TAnalyte& a, int index, const TQcRuleSet& own) {
    TPointJudgement j;
    if (index < 0 || index >= a.Count()) return j;
    const ControlPoint& p = a.Points[static_cast<size_t>(index)];
    TResu run;
    run.DateTime = p.DateTime;
    run.Levels = p.Levels;
    TRejectToggles rejected{};
    for (int i = 0; i < LevelsOf(a); ++i) rejected[i] = p.Levels[i].State == psDiscarded;
    // The points before it in the list, also those at the same date-time: a run goes after them.
    if (!own.Empty()) {
        const TRunVerdict v = JudgeAnalyteRun(a, own, run, index - 1, rejected, a.MultirulesOn());
        j.OwnRules = true;
        j.Marks = v.Marks;
        for (int i = 0; i < LevelsOf(a); ++i) {
            TPointOutcome o = OfState(p.Levels[i].State);
            if (v.TakesPart[i])
                for (const TRunMark& m : v.Marks)
                    if (m.Level == i || m.Level == -1) o = Worse(o, m.Status);
            j.Level[i] = o;
        }
        return j;
    }
    const TMultiruleResult r = EvaluateMultirules(a, run, index - 1, rejected, a.MultirulesOn());
    j.AcrossThree = r.AcrossThree;
    if (r.AcrossShown())
        for (int k = FirstAcrossRule; k < RuleCount; ++k)
            if (r.Across[k] != rsClear) j.AcrossRules |= static_cast<uint8_t>(1u << k);
    for (int i = 0; i < LevelsOf(a); ++i) {
        TPointOutcome o = OfState(p.Levels[i].State);
        if (r.TakesPart[i]) {
            for (int k = 0; k < RuleCount; ++k) {
                if (r.Level[i][k] != rsClear) j.LevelRules[i] |= static_cast<uint8_t>(1u << k);
                o = Worse(o, r.Level[i][k]);
            }
            if (r.AcrossShown())
                for (int k = FirstAcrossRule; k < RuleCount; ++k) o = Worse(o, r.Across[k]);
        }
        j.Level[i] = o;
    }
    return j;
}

std::string PointRuleNames(const TPointJudgement& j, int level, std::string_view separator, bool across) {
    std::string s;
    auto add = [&](std::string_view name) {
        if (!s.empty()) s += separator;
        s += name;
    };
    if (level < 0 || level >= MaxLevels) return s;
    if (j.OwnRules) {
        for (const TRunMark& m : j.Marks)
            if (m.Level == level) add(m.Rule);
        if (across)
            for (const TRunMark& m : j.Marks)
                if (m.Level == -1) add(m.Rule);
        return s;
    }
    for (int r = 0; r < RuleCount; ++r)
        if (j.LevelRules[static_cast<size_t>(level)] & (1u << r)) add(LevelRuleNames[static_cast<size_t>(r)]);
    if (!across) return s;
    const TRuleNames& names = j.AcrossThree ? AcrossThreeRuleNames : LevelRuleNames;
    for (int r = FirstAcrossRule; r < RuleCount; ++r)
        if (j.AcrossRules & (1u << r)) add(names[static_cast<size_t>(r)]);
    return s;
}

std::vector<TZPoint> ZScores(const TAnalyte& a, const std::vector<TLevelFigures>& figures, TPeriod period,
                             const TQcRuleSet& own) {
    std::vector<TZPoint> out;
    const int first = std::max(period.First, 0), last = std::min(period.Last, a.Count() - 1);
    for (int k = first; k <= last; ++k) {
        const ControlPoint& p = a.Points[static_cast<size_t>(k)];
        TZPoint z;
        z.Index = k;
        z.DateTime = p.DateTime;
        z.Judgement = JudgePoint(a, k, own);
        for (int i = 0; i < LevelsOf(a) && i < static_cast<int>(figures.size()); ++i) {
            const TLevelFigures& f = figures[static_cast<size_t>(i)];
            if (p.Levels[i].State == psEmpty || !f.Mean.Ok() || !f.SD.Ok() || f.SD.Value <= 0) continue;
            z.Has[i] = true;
            z.Z[i] = static_cast<double>((p.Levels[i].Value - f.Mean.Value) / f.SD.Value);
        }
        out.push_back(z);
    }
    return out;
}

std::vector<TYoudenPoint> YoudenPairs(const std::vector<TZPoint>& z, int levelA, int levelB) {
    std::vector<TYoudenPoint> out;
    if (levelA < 0 || levelA >= MaxLevels || levelB < 0 || levelB >= MaxLevels) return out;
    for (const TZPoint& p : z) {
        const TPointOutcome oa = p.Judgement.Level[levelA], ob = p.Judgement.Level[levelB];
        if (!p.Has[levelA] || !p.Has[levelB] || oa == ocDiscarded || ob == ocDiscarded) continue;
        out.push_back({p.Index, p.Z[levelA], p.Z[levelB], std::max(oa, ob)});
    }
    return out;
}

TMonth ParseMonth(std::string_view t) {
    auto digits = [&](size_t from, size_t n) {
        for (size_t i = from; i < from + n; ++i)
            if (t[i] < '0' || t[i] > '9') return false;
        return true;
    };
    TMonth m;
    if (t.size() == 7 && t[4] == '-' && digits(0, 4) && digits(5, 2)) {
        m.Year = std::stoi(std::string(t.substr(0, 4)));
        m.Month = std::stoi(std::string(t.substr(5, 2)));
    }
    if (!ValidMonth(m))
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "'%1' is not a month (YYYY-MM)"), std::string(t)));
    return m;
}

TSummary MonthlySummary(const TAnalyte& a, const TQualityGoal& goal, TMonth from, TMonth to,
                        const TQcRuleSet& own) {
    if (!ValidMonth(from) || !ValidMonth(to)) throw EQcError(QT_TRANSLATE_NOOP("Core", "Not a month"));
    if (to < from) throw EQcError(QT_TRANSLATE_NOOP("Core", "The last month is before the first"));
    // A century of months is already more than a laboratory keeps; a mistyped year stops here.
    if ((to.Year - from.Year) * 12 + to.Month - from.Month >= 1200)
        throw EQcError(QT_TRANSLATE_NOOP("Core", "At most 1200 months at once"));

    TSummary s;
    const int levels = LevelsOf(a);
    s.Cumulative.resize(static_cast<size_t>(levels));
    TPeriod all{a.Count(), a.Count() - 1};
    int k = 0;
    // Points are in date order, so each month's points follow one another.
    while (k < a.Count() && MonthOf(a.Points[static_cast<size_t>(k)].DateTime) < from) ++k;
    for (TMonth m = from; m <= to; m = NextMonth(m)) {
        TMonthSummary ms;
        ms.Month = m;
        ms.Levels.resize(static_cast<size_t>(levels));
        TPeriod p{k, k - 1};
        while (k < a.Count() && MonthOf(a.Points[static_cast<size_t>(k)].DateTime) == m) {
            const TPointJudgement j = JudgePoint(a, k, own);
            for (int i = 0; i < levels; ++i) {
                Count(ms.Levels[static_cast<size_t>(i)], j.Level[i]);
                Count(s.Cumulative[static_cast<size_t>(i)], j.Level[i]);
            }
            p.Last = k++;
        }
        if (p.Last >= p.First) {
            all.First = std::min(all.First, p.First);
            all.Last = p.Last;
        }
        for (int i = 0; i < levels; ++i)
            ms.Levels[static_cast<size_t>(i)].Figures = LevelFigures(a, i, p, goal);
        s.Months.push_back(std::move(ms));
    }
    if (all.First > all.Last) all = {0, -1};
    for (int i = 0; i < levels; ++i)
        s.Cumulative[static_cast<size_t>(i)].Figures = LevelFigures(a, i, all, goal);
    return s;
}
