// The companion's rule sets and run planning, as JSON.
#include "UCliRules.h"

#include "UCliJson.h"

namespace {

void WriteRules(TJsonWriter& j, const std::vector<QcRule>& rules) {
    j.BeginArray();
    for (QcRule r : rules) j.Text(QcRuleName(r));
    j.EndArray();
}

} // namespace

std::string RuleSetJson(const TAnalyte& a, const TQcRuleSet& set) {
    TJsonWriter j;
    j.BeginObject().Key("Name").Text(a.Name).Key("Reject");
    WriteRules(j, set.Reject);
    j.Key("Warn");
    WriteRules(j, set.Warn);
    j.EndObject();
    return j.Str();
}

TQcRuleSet ChangeRuleSet(TQcRuleSet set, const std::optional<std::string>& reject,
                         const std::optional<std::string>& warn) {
    if (reject) set.Reject = ParseQcRules(*reject);
    if (warn) set.Warn = ParseQcRules(*warn);
    CheckQcRuleSet(set);
    return set;
}
