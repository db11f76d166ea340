// Westgard Sigma rules by Sigma band and number of levels, and their comparison with the applied rules.
#include "USigmaRules.h"

#include <algorithm>

#include "UTexts.h"

namespace {

std::string Join(const std::vector<std::string>& names, const char* sep) {
    std::string s;
    for (const std::string& n : names) s += (s.empty() ? "" : sep) + n;
    return s;
}

bool Has(const std::vector<std::string>& v, const std::string& s) {
    return std::find(v.begin(), v.end(), s) != v.end();
}

// The program's rule that does the advised rule's work, or "" when it has none. Two of three levels
// beyond 2s is the program's 2:2s across three levels; 8:x and 6:x have no match (10:m and 9:m wait
// for more values).
std::string ProgramRuleFor(const std::string& advised, int levels) {
    if (advised == "2of3:2s") return "2:2s";
    if (advised == "3:1s") return levels == 3 ? "3:1s" : "";
    if (advised == "8:x" || advised == "6:x") return "";
    return advised;
}

std::string PlanText(const TRunPlan& p) {
    return "N=" + std::to_string(p.N) + ", R=" + std::to_string(p.R);
}

} // namespace

TRuleAdvice AdviseRules(long double sigma, int levels) {
    TRuleAdvice a;
    a.Levels = levels;
    const bool three = levels >= 3;
    if (sigma >= 6) {
        a.Band = "Sigma >= 6";
        a.Rules = {"1:3s"};
        a.Plans = {{three ? 3 : 2, 1}};
    } else if (sigma >= 5) {
        a.Band = "5 <= Sigma < 6";
        a.Rules = {"1:3s", three ? "2of3:2s" : "2:2s", "R:4s"};
        a.Plans = {{three ? 3 : 2, 1}};
    } else if (sigma >= 4) {
        a.Band = "4 <= Sigma < 5";
        a.Rules = {"1:3s", three ? "2of3:2s" : "2:2s", "R:4s", three ? "3:1s" : "4:1s"};
        a.Plans = three ? std::vector<TRunPlan>{{3, 1}} : std::vector<TRunPlan>{{4, 1}, {2, 2}};
    } else {
        a.Band = "Sigma < 4";
        if (three) {
            a.Rules = {"1:3s", "2of3:2s", "R:4s", "3:1s", "6:x"};
            a.Plans = {{6, 1}, {3, 2}};
        } else {
            a.Rules = {"1:3s", "2:2s", "R:4s", "4:1s", "8:x"};
            a.Plans = {{4, 2}, {2, 4}};
        }
    }
    return a;
}

std::vector<std::string> AppliedRules(int levels, bool multirulesOn) {
    if (levels <= 0) return {};
    if (!multirulesOn) return {"1:3s"};
    std::vector<std::string> r = {"1:3s", "2:2s", "R:4s", "4:1s", "10:m"};
    if (levels >= 3) r.insert(r.end(), {"3:1s", "9:m"});
    return r;
}

int RuleLevels(const TAnalyte& a) {
    int n = 0;
    for (int i = 0; i < std::clamp(a.NbLevels, 0, MaxLevels); ++i)
        if (a.LimitMode[static_cast<size_t>(i)] != lmFixed && a.Limits[static_cast<size_t>(i)].State == 0)
            ++n;
    return n;
}

TRuleComparison CompareRules(const TRuleAdvice& advice, int levels, bool multirulesOn) {
    return CompareRules(advice, levels, multirulesOn, {});
}

TQcRuleSet AdvisedRuleSet(const TRuleAdvice& advice) {
    return MakeQcRuleSet("", Join(advice.Rules, ", "), "");
}

TRuleComparison CompareRules(const TRuleAdvice& advice, int levels, bool multirulesOn,
                             const TQcRuleSet& own) {
    TRuleComparison c;
    const bool ownRules = !own.Empty();
    if (!ownRules)
        c.Applied = AppliedRules(levels, multirulesOn);
    else if (levels > 0)
        for (QcRule r : own.Reject) c.Applied.push_back(QcRuleName(r));
    std::vector<std::string> covered;
    for (const std::string& r : advice.Rules) {
        // An own set is of the engine's rules, which the advice names as they are.
        std::string p = ownRules ? r : ProgramRuleFor(r, levels);
        if (!p.empty() && Has(c.Applied, p))
            covered.push_back(p);
        else
            c.Missing.push_back(r);
    }
    for (const std::string& r : c.Applied)
        if (!Has(covered, r)) c.Extra.push_back(r);

    std::string plans;
    for (size_t k = 0; k < advice.Plans.size(); ++k)
        plans = k ? Fill(QT_TRANSLATE_NOOP("Core", "%1 or %2"), plans, PlanText(advice.Plans[k]))
                  : PlanText(advice.Plans[k]);
    std::string t = Fill(QT_TRANSLATE_NOOP("Core", "Advised (%1): %2 with %3.\n"), advice.Band,
                         Join(advice.Rules, "/"), plans);
    if (levels <= 0) {
        c.Text = t + TranslatedText(QT_TRANSLATE_NOOP("Core", "No level is judged by the rules.\n"));
        return c;
    }
    t += Fill(ownRules       ? QT_TRANSLATE_NOOP("Core", "Applied: %1 (the analyte's own rules).\n")
              : multirulesOn ? QT_TRANSLATE_NOOP("Core", "Applied: %1 (multirules on).\n")
                             : QT_TRANSLATE_NOOP("Core", "Applied: %1 (multirules off).\n"),
              Join(c.Applied, "/"));
    if (c.Missing.empty() && c.Extra.empty())
        t += TranslatedText(QT_TRANSLATE_NOOP("Core", "The program applies exactly the advised rules.\n"));
    if (!c.Missing.empty()) {
        t += Fill(QT_TRANSLATE_NOOP("Core", "Advised but not applied: %1."), Join(c.Missing, ", "));
        // The notes on the multirules' stand-ins; an own set has every advised rule.
        if (!ownRules) {
            if (Has(c.Missing, "8:x"))
                t += TranslatedText(QT_TRANSLATE_NOOP(
                    "Core", " The program's 10:m waits for ten values on one side of the mean."));
            if (Has(c.Missing, "6:x"))
                t += TranslatedText(
                    QT_TRANSLATE_NOOP("Core", " The program's 9:m waits for three runs of three levels."));
            if (!multirulesOn)
                t += TranslatedText(QT_TRANSLATE_NOOP("Core", " Switch the Westgard multirules on."));
        }
        t += "\n";
    }
    if (!c.Extra.empty())
        t += Fill(QT_TRANSLATE_NOOP(
                      "Core", "Applied beyond the advice: %1; they add false rejections that this Sigma does "
                              "not need.\n"),
                  Join(c.Extra, ", "));
    // The program judges one value per level in a run.
    const bool sameN = std::any_of(advice.Plans.begin(), advice.Plans.end(),
                                   [&](const TRunPlan& p) { return p.N == levels; });
    if (!sameN) {
        int n = advice.Plans.front().N;
        for (const TRunPlan& p : advice.Plans) n = std::min(n, p.N);
        t += Fill(QT_TRANSLATE_NOOP(
                      "Core", "A run here holds %1 value(s); the advice needs N=%2: measure each control %3 "
                              "times per run.\n"),
                  std::to_string(levels), std::to_string(n), std::to_string(n / levels));
    } else {
        for (const TRunPlan& p : advice.Plans)
            if (p.N == levels && p.R > 1)
                t += Fill(QT_TRANSLATE_NOOP("Core", "With %1 value(s) per run the advice spans %2 runs.\n"),
                          std::to_string(levels), std::to_string(p.R));
    }
    c.Text = t;
    return c;
}
