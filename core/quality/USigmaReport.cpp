// An analyte's quality figures, rule advice and error detection, gathered once for every view of them.
#include "USigmaReport.h"

#include "UTexts.h"

#include <algorithm>

TSigmaReport SigmaReport(const TAnalyte& a, const TQualityGoal& goal, const std::optional<TPeriod>& period,
                         TPeriod inView, const TSimulation& sim, const TQcRuleSet& own, TRiskRows rows) {
    TSigmaReport r;
    r.Goal = goal;
    r.RuleLevels = RuleLevels(a);
    r.Rules = RuleSetOf(a, rows);
    r.Simulation = sim;
    // The advice counts the values a run holds for the rules; with no level judged, every level in use.
    const int adviceLevels = r.RuleLevels > 0 ? r.RuleLevels : std::clamp(a.NbLevels, 1, MaxLevels);
    std::vector<TLevelFigures> figures;
    for (int i = 0; i < std::clamp(a.NbLevels, 0, MaxLevels); ++i)
        figures.push_back(LevelFigures(a, i, period ? *period : ReferencePeriod(a, i, inView), goal));
    UseCommonCV(a, figures);
    for (const TLevelFigures& f : figures) {
        TLevelSigma l;
        l.Figures = f;
        l.MissesGoal = MissesGoal(f);
        l.Advised = f.Sigma.Ok() && !l.MissesGoal;
        if (l.Advised) {
            l.Advice = AdviseRules(f.Sigma.Value, adviceLevels);
            l.Comparison = CompareRules(l.Advice, r.RuleLevels, a.MultirulesOn(), own);
        }
        l.Detection = ErrorDetection(r.Rules, f.Sigma, sim);
        r.Levels.push_back(std::move(l));
    }
    r.Chart = DecisionChart(figures);
    return r;
}

const std::vector<const char*>& SigmaFormulas() {
    static const std::vector<const char*> lines = {
        QT_TRANSLATE_NOOP("Core", "CV % = 100 x SD / |mean|"),
        QT_TRANSLATE_NOOP("Core", "Common CV on: CV % = the levels' CVs pooled with weights N - 1, SD = CV x "
                                  "|mean|, as the limits use them"),
        QT_TRANSLATE_NOOP("Core",
                          "Bias % = 100 x (mean - target) / |target|; no target: bias not known, taken as 0"),
        QT_TRANSLATE_NOOP("Core", "TEa % = TEa, or 100 x TEa / |mean| for a TEa in the analyte's unit"),
        QT_TRANSLATE_NOOP("Core", "Sigma = (TEa % - |bias %|) / CV %"),
        QT_TRANSLATE_NOOP("Core", "Critical systematic error: dSEcrit = Sigma - 1.65 (in SD)"),
        QT_TRANSLATE_NOOP("Core", "Pfr, Ped: share of simulated runs rejected by the program's rules without "
                                  "systematic error and with dSEcrit (fixed seed)"),
        QT_TRANSLATE_NOOP("Core",
                          "1:3s or 1:2s alone: Pfr = 1 - prod(Phi(k) - Phi(-k)), Ped = 1 - prod(Phi(k - dSE) "
                          "- Phi(-k - dSE))"),
    };
    return lines;
}
