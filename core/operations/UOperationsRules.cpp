// The operations layer's rule sets: an analyte's own reject and warning rules, kept in the database by
// analyte name beside its quality goal.
#include <algorithm>

#include "UOperations.h"
#include "UOperationsStores.h"

#include "UJournal.h"
#include "UTexts.h"
#include "UUtilitaires.h"

namespace {

// The step of the goals part that made the rule set table.
constexpr int RuleSetVersion = 2;

// A rule set as the journal shows it: "rules 1:3s, R:4s; warn 1:2s", empty for none.
std::string RuleSetText(const TQcRuleSet& set) {
    if (set.Empty()) return "";
    std::string text = "rules " + QcRulesText(set.Reject);
    if (!set.Warn.empty()) text += "; warn " + QcRulesText(set.Warn);
    if (!set.Name.empty()) text += " (" + set.Name + ")";
    return text;
}

} // namespace

TQcRuleSet TOperations::RuleSet(const std::string& analyte) const {
    std::vector<TAnalyteRules> read;
    const std::vector<TAnalyteRules>& sets = heldRuleSets_ ? *heldRuleSets_ : (read = store_->RuleSets());
    const std::string name = UpperCase(analyte);
    for (const TAnalyteRules& kept : sets)
        if (UpperCase(kept.Analyte) == name) return kept.Set;
    return {};
}

std::vector<TAnalyteRules> TOperations::RuleSets() const {
    return store_->RuleSets();
}

std::vector<TAnalyteRules> TFolderStore::RuleSets() const {
    const TDatabase& db = ops_.db_;
    std::vector<TAnalyteRules> out;
    // A database read for the companion may predate the rule sets: it is read, never brought up to date.
    if (!db.IsOpen() || db.Version("goals") < RuleSetVersion) return out;
    TStatement st = db.Prepare("SELECT analyte, name, reject, warn FROM rule_set ORDER BY analyte");
    while (st.Step()) {
        // A set naming a rule this program does not know is not applied in part.
        try {
            out.push_back({st.Text(0), MakeQcRuleSet(st.Text(1), st.Text(2), st.Text(3))});
        } catch (const EQcError&) {
        }
    }
    return out;
}

void TFolderStore::SaveRuleSets(const std::vector<std::string>& removed,
                                const std::vector<TAnalyteRules>& sets) {
    TOperations& o = ops_;
    TDatabase& db = o.db_;
    o.EnsureDatabase();
    if (!db.IsOpen()) {
        o.staged_.clear();
        throw EQcError(Fill(
            QT_TRANSLATE_NOOP("Core", "The rule sets cannot be kept: the database %1%2 is not available"),
            ProgramFolder, TDatabase::FileName));
    }
    TDatabase::TTransaction t(db);
    TStatement del = db.Prepare("DELETE FROM rule_set WHERE analyte = ?");
    auto remove = [&](const std::string& name) {
        del.Bind(1, name);
        del.Step();
        del.Reset();
    };
    for (const std::string& name : removed) remove(name);
    TStatement put = db.Prepare("INSERT INTO rule_set(analyte, name, reject, warn, changed_utc) "
                                "VALUES(?1, ?2, ?3, ?4, ?5) ON CONFLICT(analyte) DO UPDATE SET analyte = ?1, "
                                "name = ?2, reject = ?3, warn = ?4, changed_utc = ?5");
    const std::string stamp = UtcTimeText();
    for (const TAnalyteRules& r : sets) {
        if (r.Set.Empty()) {
            remove(r.Analyte);
            continue;
        }
        put.Bind(1, r.Analyte).Bind(2, r.Set.Name).Bind(3, QcRulesText(r.Set.Reject));
        put.Bind(4, QcRulesText(r.Set.Warn)).Bind(5, stamp);
        put.Step();
        put.Reset();
    }
    o.CompleteStaged();
    t.Commit();
}

void TSharedStore::SaveRuleSets(const std::vector<std::string>& removed,
                                const std::vector<TAnalyteRules>& sets) {
    ops_.HandJournalToServer();
    server_->WriteRuleSets(removed, sets);
}

void TOperations::WriteRuleSets(const std::vector<std::string>& removed,
                                const std::vector<TAnalyteRules>& sets) {
    if (mode_ == TOpenMode::Reader)
        throw EQcError(
            QT_TRANSLATE_NOOP("Core", "Cannot write the rule sets: the folder is open for reading"));
    // Journaled as the goals are, each entry in the rule sets' transaction.
    for (const std::string& name : removed)
        Log(jk::GoalChanged, ListAnalytes.FindByName(name), 0, std::nullopt, RuleSetText(RuleSet(name)),
            "rules removed");
    for (const TAnalyteRules& r : sets)
        Log(jk::GoalChanged, ListAnalytes.FindByName(r.Analyte), 0, std::nullopt,
            RuleSetText(RuleSet(r.Analyte)), r.Set.Empty() ? "rules removed" : RuleSetText(r.Set));
    store_->SaveRuleSets(removed, sets);
}

TOutcome TOperations::SetRuleSet(const std::string& analyte, const TQcRuleSet& set) {
    std::string name;
    try {
        const TAnalyte* a = ListAnalytes.FindByName(analyte);
        if (!a) throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Unknown analyte: %1"), analyte));
        name = a->Name; // kept under the analyte's own spelling
        if (!set.Empty()) CheckQcRuleSet(set);
        if (RuleSet(name) == set) return {};
        WriteRuleSets({}, {{name, set}});
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    Notify(ckGoals, ListAnalytes.FindByName(name));
    return {};
}

void TOperations::CarryRuleSets(const std::vector<std::pair<std::string, const TAnalyte*>>& kept,
                                const std::vector<std::string>& deleted, TOutcome& out) {
    try {
        const std::vector<TAnalyteRules> all = RuleSets();
        auto held = [&](const std::string& name) {
            return std::any_of(all.begin(), all.end(), [&](const TAnalyteRules& r) {
                return UpperCase(r.Analyte) == UpperCase(name);
            });
        };
        std::vector<std::string> removed;
        // A deleted analyte's rule set goes, unless another analyte keeps that very name.
        for (const std::string& name : deleted)
            if (held(name) && std::none_of(kept.begin(), kept.end(), [&](const auto& k) {
                    return UpperCase(k.first) == UpperCase(name) &&
                           UpperCase(k.second->Name) == UpperCase(name);
                }))
                removed.push_back(name);
        std::vector<TAnalyteRules> moved;
        for (const auto& [former, a] : kept) {
            if (former == a->Name || !held(former)) continue;
            removed.push_back(former);
            moved.push_back({a->Name, RuleSet(former)});
        }
        if (removed.empty() && moved.empty()) return;
        WriteRuleSets(removed, moved);
        Notify(ckGoals);
    } catch (const EQcError& e) {
        out.Status = TStatus::Partial;
        out.Message += (out.Message.empty() ? "" : "\r");
        out.Message +=
            Fill(QT_TRANSLATE_NOOP("Core",
                                   "The analytes were saved, but their rule sets were not carried over:\r%1"),
                 e.what());
    }
}
