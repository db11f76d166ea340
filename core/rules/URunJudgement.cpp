// A run of an analyte judged by its own rule set or by the multirules.
#include "URunJudgement.h"

std::vector<TRunMark> TRunVerdict::MarksOf(int level) const {
    std::vector<TRunMark> out;
    for (const TRunMark& m : Marks)
        if (m.Level == level) out.push_back(m);
    return out;
}

TRunVerdict JudgeAnalyteRun(const TAnalyte& analyte, const TQcRuleSet& own, const TResu& run,
                            int previousIndex, const TRejectToggles& rejected, bool multirulesOn) {
    TRunVerdict v;
    for (int k = 0; k < analyte.NbLevels && k < MaxLevels; ++k) {
        const uint8_t st = run.Levels[static_cast<size_t>(k)].State;
        if (st == psHighAction || st == psLowAction) v.ActionLimit = true;
    }
    auto mark = [&v](std::string rule, int level, RuleStatus st) {
        if (st == rsClear) return;
        v.Marks.push_back({std::move(rule), level, st});
        v.RulesWorst = std::max(v.RulesWorst, st);
    };
    if (!own.Empty()) {
        v.OwnRules = true;
        v.Set = own;
        TOwnRulesResult r = JudgeOwnRules(analyte, own, run, previousIndex, rejected);
        v.TakesPart = r.TakesPart;
        v.N = r.N;
        v.Own = std::move(r.Judgement);
        for (int k = 0; k < MaxLevels; ++k)
            for (const TRuleFinding& f : v.Own.Findings)
                if (f.Violated && (f.Within & (1u << k))) mark(QcRuleName(f.Rule), k, f.Status);
        for (const TRuleFinding& f : v.Own.Findings)
            if (f.Violated && f.Across) mark(QcRuleName(f.Rule), -1, f.Status);
        return v;
    }
    v.Multirules = EvaluateMultirules(analyte, run, previousIndex, rejected, multirulesOn);
    const TMultiruleResult& r = v.Multirules;
    v.TakesPart = r.TakesPart;
    v.N = r.N;
    for (int k = 0; k < MaxLevels; ++k)
        if (r.TakesPart[static_cast<size_t>(k)])
            for (int j = 0; j < RuleCount; ++j)
                mark(LevelRuleNames[static_cast<size_t>(j)], k,
                     r.Level[static_cast<size_t>(k)][static_cast<size_t>(j)]);
    if (r.AcrossShown())
        for (int j = FirstAcrossRule; j < RuleCount; ++j)
            mark(r.AcrossNames()[static_cast<size_t>(j)], -1, r.Across[static_cast<size_t>(j)]);
    return v;
}

bool RunIsRejected(const TAnalyte& a, const TResu& run, bool multirulesOn, const TQcRuleSet& own) {
    TRejectToggles discarded{};
    for (int k = 0; k < MaxLevels; ++k)
        discarded[static_cast<size_t>(k)] = run.Levels[static_cast<size_t>(k)].State == psDiscarded;
    return JudgeAnalyteRun(a, own, run, PreviousIndex(a, run.DateTime), discarded, multirulesOn).Rejected();
}
