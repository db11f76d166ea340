// Westgard Sigma rules by Sigma band and number of levels, and their comparison with the applied rules.
#include "USigmaRules.h"

#include <algorithm>

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
    TRuleComparison c;
    c.Applied = AppliedRules(levels, multirulesOn);
    std::vector<std::string> covered;
    for (const std::string& r : advice.Rules) {
        std::string p = ProgramRuleFor(r, levels);
        if (!p.empty() && Has(c.Applied, p))
            covered.push_back(p);
        else
            c.Missing.push_back(r);
    }
    for (const std::string& r : c.Applied)
        if (!Has(covered, r)) c.Extra.push_back(r);

    std::string t = "Advised (" + advice.Band + "): " + Join(advice.Rules, "/") + " with ";
    for (size_t k = 0; k < advice.Plans.size(); ++k) t += (k ? " or " : "") + PlanText(advice.Plans[k]);
    t += ".\n";
    if (levels <= 0) {
        c.Text = t + "No level is judged by the rules.\n";
        return c;
    }
    t += "Applied: " + Join(c.Applied, "/") + (multirulesOn ? " (multirules on)" : " (multirules off)") +
         ".\n";
    if (c.Missing.empty() && c.Extra.empty()) t += "The program applies exactly the advised rules.\n";
    if (!c.Missing.empty()) {
        t += "Advised but not applied: " + Join(c.Missing, ", ") + ".";
        if (Has(c.Missing, "8:x")) t += " The program's 10:m waits for ten values on one side of the mean.";
        if (Has(c.Missing, "6:x")) t += " The program's 9:m waits for three runs of three levels.";
        if (!multirulesOn) t += " Switch the Westgard multirules on.";
        t += "\n";
    }
    if (!c.Extra.empty())
        t += "Applied beyond the advice: " + Join(c.Extra, ", ") +
             "; they add false rejections that this Sigma does not need.\n";
    // The program judges one value per level in a run.
    const bool sameN = std::any_of(advice.Plans.begin(), advice.Plans.end(),
                                   [&](const TRunPlan& p) { return p.N == levels; });
    if (!sameN) {
        int n = advice.Plans.front().N;
        for (const TRunPlan& p : advice.Plans) n = std::min(n, p.N);
        t += "A run here holds " + std::to_string(levels) +
             " value(s); the advice needs N=" + std::to_string(n) + ": measure each control " +
             std::to_string(n / levels) + " times per run.\n";
    } else {
        for (const TRunPlan& p : advice.Plans)
            if (p.N == levels && p.R > 1)
                t += "With " + std::to_string(levels) + " value(s) per run the advice spans " +
                     std::to_string(p.R) + " runs.\n";
    }
    c.Text = t;
    return c;
}
