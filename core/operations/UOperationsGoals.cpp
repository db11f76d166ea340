// The operations layer's quality goals: kept in the database by analyte name, set, imported, carried.
#include <algorithm>
#include <cmath>
#include <ctime>
#include <set>

#include "UCodePage.h"
#include "UOperations.h"
#include "UOperationsStores.h"

#include "UJournal.h"
#include "UTexts.h"
#include "UUtilitaires.h"

namespace {

bool IsEmpty(const TQualityGoal& g) {
    return !g.TEa &&
           std::none_of(g.Target.begin(), g.Target.end(), [](const auto& t) { return t.has_value(); });
}

// A goal as the journal shows it: "TEa 10 %, targets 5; 15; -", empty for none.
std::string GoalText(const TQualityGoal& g) {
    if (IsEmpty(g)) return "";
    auto number = [](long double v) { return FormatFixed(v, 15, 6); };
    std::string text =
        "TEa " + (g.TEa ? number(*g.TEa) + " " + (g.TEaKind == teaUnit ? g.TEaUnit : "%") : "-");
    text += ", targets";
    for (size_t k = 0; k < g.Target.size(); ++k)
        text += std::string(k ? ";" : "") + " " + (g.Target[k] ? number(*g.Target[k]) : "-");
    if (g.BiasFrom != biasTarget) text += std::string(", bias from ") + BiasFromName(g.BiasFrom);
    return text;
}

// A goal read from its row: the columns analyte, tea, tea_unit, target1..3, bias_from.
TQualityGoal GoalOfRow(const TStatement& st) {
    TQualityGoal g;
    g.Analyte = st.Text(0);
    if (!st.IsNull(1)) g.TEa = st.Real(1);
    if (!st.IsNull(2)) {
        g.TEaKind = teaUnit;
        g.TEaUnit = st.Text(2);
    }
    for (int k = 0; k < MaxLevels; ++k)
        if (!st.IsNull(3 + k)) g.Target[static_cast<size_t>(k)] = st.Real(3 + k);
    g.BiasFrom = BiasFromOfName(st.Text(6)).value_or(biasTarget);
    return g;
}

// Well-formed UTF-8 (ASCII included): how spreadsheets of today save text.
bool IsUtf8(std::string_view t) {
    for (size_t i = 0; i < t.size();) {
        const auto b = static_cast<unsigned char>(t[i]);
        const size_t len = b < 0x80             ? 1
                           : (b & 0xE0) == 0xC0 ? 2
                           : (b & 0xF0) == 0xE0 ? 3
                           : (b & 0xF8) == 0xF0 ? 4
                                                : 0;
        if (len == 0 || i + len > t.size()) return false;
        for (size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(t[i + k]) & 0xC0) != 0x80) return false;
        i += len;
    }
    return true;
}

// A database without the bias source (read, never brought up to date, by the companion) has the target.
std::string SelectGoals(const TDatabase& db) {
    return std::string("SELECT analyte, tea, tea_unit, target1, target2, target3, ") +
           (db.Version("goal_bias") > 0 ? "bias_from" : "'target'") + " FROM goal";
}

// The figures a goal may hold; throws EQcError naming the analyte.
void CheckGoalValues(const TQualityGoal& g) {
    if (g.TEa && !(*g.TEa > 0))
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "%1: TEa must be above zero"), g.Analyte));
    if (g.TEa && !std::isfinite(static_cast<double>(*g.TEa)))
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "%1: TEa is out of range"), g.Analyte));
    for (int k = 0; k < MaxLevels; ++k) {
        const auto& t = g.Target[static_cast<size_t>(k)];
        if (!t) continue;
        if (!InValueRange(*t))
            throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "%1: target of level %2 is not a number"),
                                g.Analyte, std::to_string(k + 1)));
        if (*t == 0)
            throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "%1: target of level %2 is zero"), g.Analyte,
                                std::to_string(k + 1)));
    }
    if (g.TEaKind == teaUnit && !g.TEa)
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "%1: a TEa unit without a TEa"), g.Analyte));
}

} // namespace

TQualityGoal TOperations::Goal(const std::string& analyte) const {
    TQualityGoal g;
    g.Analyte = analyte;
    g = store_->GoalOf(analyte).value_or(g);
    if (g.BiasFrom != biasTarget)
        if (const TAnalyte* a = ListAnalytes.FindByName(analyte)) MeasureBias(*a, g);
    return g;
}

std::optional<TQualityGoal> TFolderStore::GoalOf(const std::string& analyte) const {
    const TDatabase& db = ops_.db_;
    // A database read for the companion may predate the goals: it is read, never brought up to date.
    if (!db.IsOpen() || db.Version("goals") == 0) return std::nullopt;
    TStatement st = db.Prepare(SelectGoals(db) + " WHERE analyte = ?");
    st.Bind(1, analyte);
    if (!st.Step()) return std::nullopt;
    return GoalOfRow(st);
}

std::vector<TQualityGoal> TOperations::Goals() const {
    return store_->Goals();
}

std::vector<TQualityGoal> TFolderStore::Goals() const {
    const TDatabase& db = ops_.db_;
    std::vector<TQualityGoal> out;
    if (!db.IsOpen() || db.Version("goals") == 0) return out;
    TStatement st = db.Prepare(SelectGoals(db) + " ORDER BY analyte");
    while (st.Step()) out.push_back(GoalOfRow(st));
    return out;
}

void TOperations::WriteGoals(const std::vector<std::string>& removed,
                             const std::vector<TQualityGoal>& goals) {
    if (mode_ == TOpenMode::Reader)
        throw EQcError(
            QT_TRANSLATE_NOOP("Core", "Cannot write the quality goals: the folder is open for reading"));
    // The journal's entries go in the goals' transaction: a goal and its entry are written together.
    for (const std::string& name : removed)
        Log(jk::GoalChanged, ListAnalytes.FindByName(name), 0, std::nullopt, GoalText(Goal(name)), "removed");
    for (const TQualityGoal& g : goals)
        Log(jk::GoalChanged, ListAnalytes.FindByName(g.Analyte), 0, std::nullopt, GoalText(Goal(g.Analyte)),
            IsEmpty(g) ? "removed" : GoalText(g));
    store_->SaveGoals(removed, goals);
}

void TFolderStore::SaveGoals(const std::vector<std::string>& removed,
                             const std::vector<TQualityGoal>& goals) {
    TOperations& o = ops_;
    TDatabase& db = o.db_;
    o.EnsureDatabase();
    if (!db.IsOpen()) {
        o.staged_.clear();
        throw EQcError(Fill(
            QT_TRANSLATE_NOOP("Core", "The quality goals cannot be kept: the database %1%2 is not available"),
            ProgramFolder, TDatabase::FileName));
    }
    TDatabase::TTransaction t(db);
    TStatement del = db.Prepare("DELETE FROM goal WHERE analyte = ?");
    for (const std::string& name : removed) {
        del.Bind(1, name);
        del.Step();
        del.Reset();
    }
    TStatement put = db.Prepare(
        "INSERT INTO goal(analyte, tea, tea_unit, target1, target2, target3, changed_utc, bias_from) "
        "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8) ON CONFLICT(analyte) DO UPDATE SET analyte = ?1, tea = ?2, "
        "tea_unit = ?3, target1 = ?4, target2 = ?5, target3 = ?6, changed_utc = ?7, bias_from = ?8");
    const std::string stamp = UtcTimeText();
    for (const TQualityGoal& g : goals) {
        if (IsEmpty(g)) {
            del.Bind(1, g.Analyte);
            del.Step();
            del.Reset();
            continue;
        }
        put.Bind(1, g.Analyte);
        if (g.TEa)
            put.Bind(2, static_cast<double>(*g.TEa));
        else
            put.BindNull(2);
        if (g.TEaKind == teaUnit)
            put.Bind(3, g.TEaUnit);
        else
            put.BindNull(3);
        for (int k = 0; k < MaxLevels; ++k) {
            const auto& target = g.Target[static_cast<size_t>(k)];
            if (target)
                put.Bind(4 + k, static_cast<double>(*target));
            else
                put.BindNull(4 + k);
        }
        put.Bind(7, stamp);
        put.Bind(8, std::string(BiasFromName(g.BiasFrom)));
        put.Step();
        put.Reset();
    }
    o.CompleteStaged();
    t.Commit();
}

TOutcome TOperations::SetGoals(const std::vector<TQualityGoal>& goals) {
    std::vector<TQualityGoal> checked;
    std::set<std::string> names;
    try {
        for (TQualityGoal g : goals) {
            const TAnalyte* a = ListAnalytes.FindByName(g.Analyte);
            if (!a) throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Unknown analyte: %1"), g.Analyte));
            g.Analyte = a->Name; // kept under the analyte's own spelling
            CheckGoalValues(g);
            CheckGoalFits(g, *a);
            if (!store_->KeepsAssessment() && g.BiasFrom != biasTarget)
                throw EQcError(
                    Fill(QT_TRANSLATE_NOOP("Core", "%1: on the server the bias is taken from the target; "
                                                   "peer and EQA data are kept in a folder's database"),
                         g.Analyte));
            if (!names.insert(UpperCase(g.Analyte)).second)
                throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "%1 is given twice"), g.Analyte));
            checked.push_back(std::move(g));
        }
        WriteGoals({}, checked);
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    const TAnalyte* one = checked.size() == 1 ? ListAnalytes.FindByName(checked.front().Analyte) : nullptr;
    Notify(ckGoals, one);
    return {};
}

TOutcome TOperations::ImportGoals(const std::string& text, int* count) {
    if (count) *count = 0;
    // A refusal says that the whole file was left, as a refused file is.
    auto refused = [](const EQcError& e) {
        TOutcome out = TOutcome::FromError(e);
        out.Message = Fill(QT_TRANSLATE_NOOP("Core", "%1: nothing was imported"), out.Message);
        return out;
    };
    std::vector<TQualityGoal> goals;
    std::vector<int> lines;
    std::vector<TQualityGoal> known;
    std::vector<std::string> unknown;
    try {
        std::string_view bytes = text;
        if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
        goals = ParseGoals(IsUtf8(bytes) ? Utf8ToCp1252(bytes) : std::string(bytes), &lines);
        for (size_t k = 0; k < goals.size(); ++k) {
            TQualityGoal& g = goals[k];
            const TAnalyte* a = ListAnalytes.FindByName(g.Analyte);
            if (!a) {
                unknown.push_back(g.Analyte);
                continue;
            }
            // What does not fit its analyte is refused here, where the line is known.
            try {
                CheckGoalFits(g, *a);
            } catch (const EQcError& e) {
                throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Line %1: "), std::to_string(lines[k])) +
                               e.what());
            }
            // A goal line has no bias source: the analyte keeps its own.
            g.BiasFrom = Goal(a->Name).BiasFrom;
            known.push_back(std::move(g));
        }
    } catch (const EQcError& e) {
        return refused(e);
    }
    if (known.empty())
        return TOutcome::Refuse(TranslatedText(
            goals.empty()
                ? QT_TRANSLATE_NOOP("Core", "The file holds no goal")
                : QT_TRANSLATE_NOOP("Core", "No analyte of the file is defined: nothing was imported")));
    TOutcome out = SetGoals(known);
    if (!out.Changed()) return out;
    if (count) *count = static_cast<int>(known.size());
    if (!unknown.empty()) {
        std::string names;
        for (const std::string& n : unknown) names += (names.empty() ? "" : ", ") + n;
        out.Notes.push_back(Fill(QT_TRANSLATE_NOOP("Core", "Skipped, no analyte of that name: %1"), names));
    }
    return out;
}

void TOperations::CarryGoals(const std::vector<std::pair<std::string, const TAnalyte*>>& kept,
                             const std::vector<std::string>& deleted, TOutcome& out) {
    // Without a database there is no goal to carry (a companion's is only made by a write).
    if (!db_.IsOpen()) return;
    try {
        std::vector<std::string> removed;
        // A deleted analyte's goal goes, unless another analyte keeps that very name.
        for (const std::string& name : deleted)
            if (std::none_of(kept.begin(), kept.end(), [&](const auto& k) {
                    return UpperCase(k.first) == UpperCase(name) &&
                           UpperCase(k.second->Name) == UpperCase(name);
                }))
                removed.push_back(name);
        std::vector<TQualityGoal> moved;
        for (const auto& [former, a] : kept) {
            TQualityGoal g = Goal(former);
            if (IsEmpty(g)) continue;
            const bool renamed = former != a->Name;
            bool changed = renamed;
            // Values are not converted with a new unit: the TEa stays in whatever the analyte's unit is now.
            if (g.TEaKind == teaUnit && g.TEaUnit != a->Unit) {
                g.TEaUnit = a->Unit;
                changed = true;
            }
            // Levels taken away held no points; a target of theirs would outlive the material.
            for (int k = std::max(a->NbLevels, 0); k < MaxLevels; ++k)
                if (g.Target[static_cast<size_t>(k)]) {
                    g.Target[static_cast<size_t>(k)].reset();
                    changed = true;
                }
            if (!changed) continue;
            if (renamed) removed.push_back(former);
            g.Analyte = a->Name;
            moved.push_back(std::move(g));
        }
        if (removed.empty() && moved.empty()) return;
        // Only names that hold a goal are worth a write (and a companion's first database).
        if (moved.empty() && std::none_of(removed.begin(), removed.end(),
                                          [this](const std::string& n) { return !IsEmpty(Goal(n)); }))
            return;
        WriteGoals(removed, moved);
        Notify(ckGoals);
    } catch (const EQcError& e) {
        out.Status = TStatus::Partial;
        out.Message += (out.Message.empty() ? "" : "\r");
        out.Message +=
            Fill(QT_TRANSLATE_NOOP(
                     "Core", "The analytes were saved, but their quality goals were not carried over:\r%1"),
                 e.what());
    }
}
