// The companion's rule sets and run planning, as JSON.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "UQualityGoals.h"
#include "URuleEngine.h"
#include "UStructures.h"

// {"Name":analyte,"Reject":[...],"Warn":[...]}: empty lists for an analyte judged by the multirules.
std::string RuleSetJson(const TAnalyte& a, const TQcRuleSet& set);

// The set with the reject rules replaced by `reject` and the warning rules by `warn`, where given.
// Throws EQcError for an unknown rule name, no reject rule or a rule both rejecting and warning.
TQcRuleSet ChangeRuleSet(TQcRuleSet set, const std::optional<std::string>& reject,
                         const std::optional<std::string>& warn);
