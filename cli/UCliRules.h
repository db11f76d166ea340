// The companion's rule sets and run planning, as JSON.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "UCliJson.h"
#include "UQualityGoals.h"
#include "URuleEngine.h"
#include "URunJudgement.h"
#include "URunPlanning.h"
#include "UStructures.h"

// {"Name":analyte,"Reject":[...],"Warn":[...]}: empty lists for an analyte judged by the multirules.
std::string RuleSetJson(const TAnalyte& a, const TQcRuleSet& set);

// The set with the reject rules replaced by `reject` and the warning rules by `warn`, where given.
// Throws EQcError for an unknown rule name, no reject rule or a rule both rejecting and warning.
TQcRuleSet ChangeRuleSet(TQcRuleSet set, const std::optional<std::string>& reject,
                         const std::optional<std::string>& warn);

// Per level in use: Sigma and the plan of the set with n values per run (PlanRuns, `trials` runs);
// Pfr, Ped and their standard errors, MaxENuf per 100 patients and MaxRunSize (null: no limit). A level
// without Sigma has nulls and its reason in `notes`. Throws EQcError for n outside 1..6 or no Sigma at
// any level.
std::string PlanJson(const TAnalyte& a, const TQualityGoal& goal, const TQcRuleSet& set, int n, int trials,
                     std::vector<std::string>& notes);

// A run judged by the analyte's own rule set: {"States", "TakesPart", "n", "RuleSet":{"Name", "Reject",
// "Warn"}, "Marks":[{"Rule", "Level" (1-based, null across), "Status"}], "Worst", "Rejected"}.
std::string OwnJudgementJson(const TAnalyte& a, const TResu& run, const TRunVerdict& v);

// ["1:3s", ...]: the rules' names.
void WriteRuleNames(TJsonWriter& j, const std::vector<QcRule>& rules);
// The keys Pfr, PfrSE, Ped, PedSE, MaxENuf and MaxRunSize of a plan, all null without one; MaxRunSize
// null too for no limit.
void WritePlanFigures(TJsonWriter& j, const std::optional<TRulePlan>& plan);
