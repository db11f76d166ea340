// The companion's rule sets and run planning, as JSON.
#include "UCliRules.h"

#include <algorithm>

#include "UCliJson.h"
#include "UQcError.h"
#include "URunPlanning.h"
#include "UTexts.h"

namespace {

void WriteRules(TJsonWriter& j, const std::vector<QcRule>& rules) {
    j.BeginArray();
    for (QcRule r : rules) j.Text(QcRuleName(r));
    j.EndArray();
}

} // namespace

void WriteRuleNames(TJsonWriter& j, const std::vector<QcRule>& rules) {
    WriteRules(j, rules);
}

void WritePlanFigures(TJsonWriter& j, const std::optional<TRulePlan>& p) {
    if (!p) {
        for (const char* key : {"Pfr", "PfrSE", "Ped", "PedSE", "MaxENuf", "MaxRunSize"}) j.Key(key).Null();
        return;
    }
    j.Key("Pfr").Real(p->Pfr.P).Key("PfrSE").Real(p->Pfr.StdError);
    j.Key("Ped").Real(p->Ped.P).Key("PedSE").Real(p->Ped.StdError).Key("MaxENuf").Real(p->MaxENuf);
    j.Key("MaxRunSize");
    if (p->MaxRunSize < 0)
        j.Null();
    else
        j.Int(p->MaxRunSize);
}

std::string RuleSetJson(const TAnalyte& a, const TQcRuleSet& set) {
    TJsonWriter j;
    j.BeginObject().Key("Name").Text(a.Name).Key("Reject");
    WriteRules(j, set.Reject);
    j.Key("Warn");
    WriteRules(j, set.Warn);
    j.EndObject();
    return j.Str();
}

std::string OwnJudgementJson(const TAnalyte& a, const TResu& run, const TRunVerdict& v) {
    auto status = [](RuleStatus s) {
        return s == rsReject ? "reject" : s == rsWarning ? "warning" : "no warning";
    };
    TJsonWriter j;
    j.BeginObject().Key("States").BeginArray();
    for (int i = 0; i < a.NbLevels; ++i) j.Int(run.Levels[static_cast<size_t>(i)].State);
    j.EndArray().Key("TakesPart").BeginArray();
    for (int i = 0; i < a.NbLevels; ++i) j.Bool(v.TakesPart[static_cast<size_t>(i)]);
    j.EndArray().Key("n").Int(v.N).Key("RuleSet").BeginObject().Key("Name").Text(v.Set.DisplayName());
    j.Key("Reject");
    WriteRules(j, v.Set.Reject);
    j.Key("Warn");
    WriteRules(j, v.Set.Warn);
    j.EndObject().Key("Marks").BeginArray();
    for (const TRunMark& m : v.Marks) {
        j.BeginObject().Key("Rule").Text(m.Rule).Key("Level");
        if (m.Level < 0)
            j.Null();
        else
            j.Int(m.Level + 1);
        j.Key("Status").Text(status(m.Status)).EndObject();
    }
    j.EndArray().Key("Worst").Text(status(v.RulesWorst)).Key("Rejected").Bool(v.Rejected()).EndObject();
    return j.Str();
}

TQcRuleSet ChangeRuleSet(TQcRuleSet set, const std::optional<std::string>& reject,
                         const std::optional<std::string>& warn) {
    if (reject) set.Reject = ParseQcRules(*reject);
    if (warn) set.Warn = ParseQcRules(*warn);
    CheckQcRuleSet(set);
    return set;
}

std::string PlanJson(const TAnalyte& a, const TQualityGoal& goal, const TQcRuleSet& set, int n, int trials,
                     std::vector<std::string>& notes) {
    if (n < 1 || n > MaxRunValues)
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "N must be 1 to %1, not %2"),
                            std::to_string(MaxRunValues), std::to_string(n)));
    const std::vector<TLevelFigures> figures = AnalyteFigures(a, goal, {0, a.Count() - 1});
    if (std::none_of(figures.begin(), figures.end(), [](const TLevelFigures& f) { return f.Sigma.Ok(); }))
        throw EQcError(Fill(
            QT_TRANSLATE_NOOP("Core", "%1: no level has a Sigma (a TEa and two values or more are needed)"),
            a.Name));
    std::vector<std::optional<long double>> sigmas;
    for (const TLevelFigures& f : figures)
        sigmas.push_back(f.Sigma.Ok() ? std::optional(f.Sigma.Value) : std::nullopt);
    const auto plans = PlanLevels(set, n, sigmas, trials);
    TJsonWriter j;
    j.BeginObject().Key("Name").Text(a.Name).Key("Reject");
    WriteRules(j, set.Reject);
    j.Key("N").Int(n).Key("Trials").Int(trials).Key("levels").BeginArray();
    for (size_t i = 0; i < figures.size(); ++i) {
        const TLevelFigures& f = figures[i];
        j.BeginObject().Key("Level").Int(f.Level + 1).Key("Sigma");
        if (f.Sigma.Ok()) {
            j.Real(f.Sigma.Value);
        } else {
            notes.push_back("level " + std::to_string(f.Level + 1) +
                            ": Sigma not available: " + GapText(f.Sigma.Gap));
            j.Null();
        }
        WritePlanFigures(j, plans[i]);
        j.EndObject();
    }
    j.EndArray().EndObject();
    return j.Str();
}
