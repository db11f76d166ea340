// Selectable control rules: names, rule sets and the judging of a run against its predecessors.
#include "URuleEngine.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

#include "UGlobaleSettings.h"
#include "UQcError.h"
#include "UTexts.h"
#include "UUtilitaires.h"

namespace {

// How a rule reads the values: a limit crossed by one value, a count of consecutive values beyond a
// limit on one side (k = 0: on one side of the mean), m of the last n values, or the run's range.
enum class Kind : uint8_t { Single, Consecutive, MofN, Range };
struct TRuleDef {
    const char* Name;
    Kind How;
    int N; // values read
    int M; // of them beyond the limit (MofN)
    double K;
};
constexpr std::array<TRuleDef, QcRuleCount> Defs = {{
    {"1:2s", Kind::Single, 1, 1, 2.0},
    {"1:2.5s", Kind::Single, 1, 1, 2.5},
    {"1:3s", Kind::Single, 1, 1, 3.0},
    {"1:3.5s", Kind::Single, 1, 1, 3.5},
    {"2:2s", Kind::Consecutive, 2, 2, 2.0},
    {"2of3:2s", Kind::MofN, 3, 2, 2.0},
    {"R:4s", Kind::Range, 0, 0, 2.0},
    {"3:1s", Kind::Consecutive, 3, 3, 1.0},
    {"4:1s", Kind::Consecutive, 4, 4, 1.0},
    {"6:x", Kind::Consecutive, 6, 6, 0.0},
    {"8:x", Kind::Consecutive, 8, 8, 0.0},
    {"9:x", Kind::Consecutive, 9, 9, 0.0},
    {"10:x", Kind::Consecutive, 10, 10, 0.0},
    {"12:x", Kind::Consecutive, 12, 12, 0.0},
}};
constexpr int LongestRule = 12;

const TRuleDef& Def(QcRule r) {
    return Defs[static_cast<size_t>(r)];
}

std::string Lower(std::string_view s) {
    std::string out;
    for (char c : s) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Side of a value against a limit k: +1 above +k, -1 below -k, 0 inside (strictly).
int Side(double z, double k) {
    if (z > k) return 1;
    if (z < -k) return -1;
    return 0;
}

struct TValue {
    double Z;
    int Level;
    bool Newest;
};
using TSeries = std::vector<TValue>;

// Whether the rule fires on a window of the series ending at the newest value `end` that violates it.
bool FiresAt(const TRuleDef& d, const TSeries& s, size_t end) {
    const int side = Side(s[end].Z, d.K);
    if (side == 0) return false;
    const size_t n = static_cast<size_t>(d.N);
    if (d.How == Kind::Consecutive) {
        if (end + 1 < n) return false;
        for (size_t k = end + 1 - n; k < end; ++k)
            if (Side(s[k].Z, d.K) != side) return false;
        return true;
    }
    // m of the last n: a shorter series is read as far as it goes.
    int beyond = 0;
    for (size_t k = end + 1 - std::min(n, end + 1); k <= end; ++k) beyond += Side(s[k].Z, d.K) == side;
    return beyond >= d.M;
}

// The window of `end` holds values of more than one level.
bool SpansLevels(const TRuleDef& d, const TSeries& s, size_t end) {
    const size_t n = std::min(static_cast<size_t>(d.N), end + 1);
    for (size_t k = end + 1 - n; k < end; ++k)
        if (s[k].Level != s[end].Level) return true;
    return false;
}

} // namespace

const char* QcRuleName(QcRule rule) noexcept {
    return static_cast<int>(rule) < QcRuleCount ? Def(rule).Name : "";
}

bool FindQcRule(std::string_view name, QcRule& rule) noexcept {
    while (!name.empty() && std::isspace(static_cast<unsigned char>(name.front()))) name.remove_prefix(1);
    while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back()))) name.remove_suffix(1);
    const std::string key = Lower(name);
    for (int i = 0; i < QcRuleCount; ++i)
        if (Lower(Defs[static_cast<size_t>(i)].Name) == key) {
            rule = static_cast<QcRule>(i);
            return true;
        }
    return false;
}

TQcRuleSet MultiruleQcRuleSet(bool multirulesOn) {
    if (!multirulesOn) return {"", {qr13s}, {}};
    return {"", {qr13s, qr22s, qrR4s, qr41s, qr10x}, {qr12s}};
}

RuleStatus TQcRuleSet::StatusOf(QcRule rule) const {
    if (std::find(Reject.begin(), Reject.end(), rule) != Reject.end()) return rsReject;
    if (std::find(Warn.begin(), Warn.end(), rule) != Warn.end()) return rsWarning;
    return rsClear;
}

std::string TQcRuleSet::DisplayName() const {
    if (!Name.empty()) return Name;
    std::string s;
    for (QcRule r : Reject) s += (s.empty() ? "" : "/") + std::string(QcRuleName(r));
    return s;
}

std::vector<QcRule> ParseQcRules(std::string_view text) {
    std::array<bool, QcRuleCount> seen{};
    size_t i = 0;
    while (i < text.size()) {
        const size_t end = text.find_first_of(",;/ \t", i);
        const std::string_view word = text.substr(i, end == std::string_view::npos ? end : end - i);
        i = end == std::string_view::npos ? text.size() : end + 1;
        if (word.empty()) continue;
        QcRule r{};
        if (!FindQcRule(word, r))
            throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Unknown rule: %1"), std::string(word)));
        seen[r] = true;
    }
    std::vector<QcRule> out;
    for (int k = 0; k < QcRuleCount; ++k)
        if (seen[static_cast<size_t>(k)]) out.push_back(static_cast<QcRule>(k));
    return out;
}

std::string QcRulesText(const std::vector<QcRule>& rules) {
    std::string s;
    for (QcRule r : rules) s += (s.empty() ? "" : ", ") + std::string(QcRuleName(r));
    return s;
}

void CheckQcRuleSet(const TQcRuleSet& set) {
    if (set.Reject.empty())
        throw EQcError(
            TranslatedText(QT_TRANSLATE_NOOP("Core", "A rule set needs at least one reject rule")));
    for (QcRule r : set.Reject) {
        if (static_cast<int>(r) >= QcRuleCount)
            throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Unknown rule: %1"), std::to_string(r)));
        if (std::find(set.Warn.begin(), set.Warn.end(), r) != set.Warn.end())
            throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "%1 cannot both reject and warn"),
                                std::string(QcRuleName(r))));
    }
    for (QcRule r : set.Warn)
        if (static_cast<int>(r) >= QcRuleCount)
            throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Unknown rule: %1"), std::to_string(r)));
}

TQcRuleSet MakeQcRuleSet(std::string name, std::string_view reject, std::string_view warn) {
    TQcRuleSet set{std::move(name), ParseQcRules(reject), ParseQcRules(warn)};
    CheckQcRuleSet(set);
    return set;
}

TZRun EmptyZRun() noexcept {
    TZRun r;
    r.fill(std::numeric_limits<double>::quiet_NaN());
    return r;
}

TRuleJudgement JudgeRuns(const TQcRuleSet& set, std::span<const TZRun> runs) {
    TRuleJudgement out;
    std::vector<QcRule> rules = set.Reject;
    rules.insert(rules.end(), set.Warn.begin(), set.Warn.end());
    for (QcRule r : rules) out.Findings.push_back({r, rsClear, false, 0, false});
    if (runs.empty()) return out;

    // The series, read back from the newest run no further than the longest rule needs.
    std::array<TSeries, MaxRunValues> level;
    TSeries all;
    size_t newest = 0;
    auto full = [&] {
        return all.size() >= newest + LongestRule &&
               std::all_of(level.begin(), level.end(), [](const TSeries& s) {
                   // Only a level of the newest run can violate a rule.
                   return s.empty() || !s.front().Newest || s.size() >= LongestRule;
               });
    };
    for (size_t k = runs.size(); k-- > 0 && (k + 1 == runs.size() || !full());) {
        const bool isNewest = k + 1 == runs.size();
        for (int i = MaxRunValues - 1; i >= 0; --i) {
            const double z = runs[k][static_cast<size_t>(i)];
            if (std::isnan(z)) continue;
            TSeries& own = level[static_cast<size_t>(i)];
            if (own.size() < LongestRule) own.push_back({z, i, isNewest});
            if (all.size() < newest + LongestRule) all.push_back({z, i, isNewest});
            if (isNewest) ++newest;
        }
    }
    for (TSeries& s : level) std::reverse(s.begin(), s.end());
    std::reverse(all.begin(), all.end());

    for (TRuleFinding& f : out.Findings) {
        const TRuleDef& d = Def(f.Rule);
        if (d.How == Kind::Range) {
            bool high = false, low = false;
            for (const TValue& v : all)
                if (v.Newest) {
                    high = high || v.Z > d.K;
                    low = low || v.Z < -d.K;
                }
            f.Across = high && low;
        } else if (d.How == Kind::Single) {
            for (const TValue& v : all)
                if (v.Newest && Side(v.Z, d.K) != 0) f.Within |= static_cast<uint8_t>(1u << v.Level);
        } else {
            for (const TSeries& s : level)
                if (!s.empty() && s.back().Newest && FiresAt(d, s, s.size() - 1))
                    f.Within |= static_cast<uint8_t>(1u << s.back().Level);
            for (size_t e = 0; e < all.size(); ++e)
                if (all[e].Newest && FiresAt(d, all, e) && SpansLevels(d, all, e)) f.Across = true;
        }
        f.Violated = f.Within != 0 || f.Across;
        if (f.Violated) {
            f.Status = set.StatusOf(f.Rule);
            out.Worst = std::max(out.Worst, f.Status);
        }
    }
    return out;
}

TOwnRulesResult JudgeOwnRules(const TAnalyte& analyte, const TQcRuleSet& set, const TResu& run,
                              int previousIndex, const TRejectToggles& rejected) {
    TOwnRulesResult out;
    const TRuleLevels sel = SelectRuleLevels(analyte, run, rejected, true);
    out.TakesPart = sel.TakesPart;
    out.N = sel.N;
    if (out.N == 0) {
        out.Judgement = JudgeRuns(set, {});
        return out;
    }
    std::array<long double, MaxLevels> mean{}, sd{};
    for (size_t li = 0; li < MaxLevels; ++li) {
        if (!sel.TakesPart[li]) continue;
        const LevelStats& l = analyte.Limits[li];
        mean[li] = l.Mean;
        sd[li] = l.WarnDev / TQuantile(Settings.AlertRow, std::max(l.DF, 1));
    }
    auto z = [&](size_t li, const LevelValue& v) {
        if (!sel.TakesPart[li] || v.State == psEmpty || v.State == psDiscarded || !(sd[li] > 0))
            return std::numeric_limits<double>::quiet_NaN();
        return static_cast<double>((v.Value - mean[li]) / sd[li]);
    };
    std::vector<TZRun> runs;
    for (int k = std::min(previousIndex, analyte.Count() - 1); k >= 0 && runs.size() < LongestRule; --k) {
        TZRun r = EmptyZRun();
        bool any = false;
        for (size_t li = 0; li < MaxLevels; ++li) {
            r[li] = z(li, analyte.Points[static_cast<size_t>(k)].Levels[li]);
            any = any || !std::isnan(r[li]);
        }
        if (any) runs.push_back(r);
    }
    std::reverse(runs.begin(), runs.end());
    TZRun last = EmptyZRun();
    for (size_t li = 0; li < MaxLevels; ++li) last[li] = z(li, run.Levels[li]);
    runs.push_back(last);
    out.Judgement = JudgeRuns(set, runs);
    return out;
}
