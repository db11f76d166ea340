// The operations layer: control materials, analytes, operators and settings.
#include "UOperations.h"
#include "UOperationsCommon.h"
#include "UOperationsStores.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <xxhash.h>

#include "UArchive.h"
#include "UAtomicFile.h"
#include "UCompatibilityDrovanta.h"
#include "UDataLoadSave.h"
#include "UFifoResult.h"
#include "UJournalTexts.h"
#include "URandom.h"
#include "UTexts.h"
#include "UUtilitaires.h"

using namespace ops_common;

// ---------------------------------------------------------------- reference data

namespace {
std::string MaterialText(const TSerum& s) {
    return s.Name + ", lot " + s.Lot;
}
} // namespace

TOutcome TOperations::ApplyMaterials(const TMaterialEdit& edit, const std::string& reason) {
    const bool erases = std::any_of(edit.Lines.begin(), edit.Lines.end(),
                                    [](const TMaterialEdit::TLine& l) { return l.EraseConfirmed; });
    if (erases && Trim(reason).empty())
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "Give a reason for changing and erasing"));
    TListSerum serumBefore = ListSerum;
    std::vector<std::pair<TAnalyte*, TAnalyte>> analytesBefore;
    std::vector<int32_t> written;
    std::vector<std::string> failures;
    auto remember = [&](TAnalyte* a) {
        for (auto& [p, copy] : analytesBefore)
            if (p == a) return;
        analytesBefore.emplace_back(a, *a);
    };
    auto record = [this](int32_t id) -> TSerum* {
        for (TSerum& s : ListSerum.Items)
            if (s.Id == id) return &s;
        return nullptr;
    };

    for (int32_t id : edit.Deleted) ListSerum.Remove(id);
    for (const TMaterialEdit::TLine& line : edit.Lines) {
        TSerum* s = line.Id < 0 ? nullptr : record(line.Id);
        if (!s) {
            if (line.Id < 0) ListSerum.AddMaterial(line.Name, line.Lot);
            continue;
        }
        if (!line.EraseConfirmed) {
            s->Name = BlankControlChars(line.Name.substr(0, TListSerum::NameRoom));
            s->Lot = BlankControlChars(line.Lot.substr(0, TListSerum::LotRoom));
            continue;
        }
        // The new lot is taken only once the old lot's data is safely archived; after a failure the
        // record keeps the old name and lot so that the user can try again.
        bool archived = true;
        for (TAnalyte* a : ListAnalytes.AnalytesUsingMaterial(line.Id))
            for (int level = 0; level < a->NbLevels; ++level) {
                const LevelStats& all = a->AllStats[static_cast<size_t>(level)];
                if (a->MaterialId[static_cast<size_t>(level)] != line.Id || all.N + all.NDiscarded == 0)
                    continue;
                remember(a);
                try {
                    const int32_t values = all.N + all.NDiscarded;
                    written.push_back(ArchiveLevelFirst(*a, level));
                    Log(jk::LevelArchived, a, level + 1, std::nullopt, std::to_string(values) + " values",
                        "archive " + std::to_string(written.back()) + "; change of material", reason);
                } catch (const EQcError& e) {
                    failures.push_back(e.what());
                    archived = false;
                }
            }
        s = record(line.Id);
        if (archived && s) {
            s->Name = BlankControlChars(line.Name.substr(0, TListSerum::NameRoom));
            s->Lot = BlankControlChars(line.Lot.substr(0, TListSerum::LotRoom));
        }
    }
    // The erase mark means something only inside the materials window.
    for (TSerum& s : ListSerum.Items) s.EraseMark = 0;
    for (const TSerum& was : serumBefore.Items) {
        const TSerum* is = record(was.Id);
        if (!is)
            Log(jk::MaterialChanged, nullptr, 0, std::nullopt, MaterialText(was), "deleted");
        else if (is->Name != was.Name)
            Log(jk::MaterialChanged, nullptr, 0, std::nullopt, MaterialText(was), MaterialText(*is),
                erases ? reason : "");
        else if (is->Lot != was.Lot)
            Log(jk::LotChanged, nullptr, 0, std::nullopt, MaterialText(was), MaterialText(*is),
                erases ? reason : "");
    }
    for (const TSerum& is : ListSerum.Items)
        if (std::none_of(serumBefore.Items.begin(), serumBefore.Items.end(),
                         [&is](const TSerum& w) { return w.Id == is.Id; }))
            Log(jk::MaterialChanged, nullptr, 0, std::nullopt, "", MaterialText(is) + ": added");
    if (TOutcome unsaved = SaveData(nullptr,
                                    [&] {
                                        ListSerum = std::move(serumBefore);
                                        for (auto& [p, copy] : analytesBefore) *p = std::move(copy);
                                        UnlinkArchives(written);
                                    });
        !unsaved.Ok())
        return unsaved;
    Notify(ckMaterials | (written.empty() ? 0u : unsigned(ckPoints | ckArchives)));
    TOutcome out;
    if (!failures.empty()) {
        out.Status = TStatus::Partial;
        for (const std::string& f : failures) out.Message += (out.Message.empty() ? "" : "\r") + f;
    }
    return out;
}

TOutcome TOperations::ApplyAssignment(TAnalyte& a, const std::array<int32_t, MaxLevels>& materials,
                                      bool eraseChanged, const std::string& reason) {
    TAnalyte before = a;
    std::array<int32_t, MaxLevels> assigned = a.MaterialId;
    std::vector<int32_t> written;
    std::vector<std::string> failures;
    for (int i = 0; i < a.NbLevels; ++i) {
        auto k = static_cast<size_t>(i);
        if (a.MaterialId[k] == materials[k]) continue;
        if (eraseChanged) {
            const LevelStats& all = a.AllStats[k];
            try {
                if (all.N + all.NDiscarded > 0) {
                    written.push_back(ArchiveLevelFirst(a, i));
                    Log(jk::LevelArchived, &a, i + 1, std::nullopt,
                        std::to_string(all.N + all.NDiscarded) + " values",
                        "archive " + std::to_string(written.back()) + "; change of material", reason);
                }
            } catch (const EQcError& e) {
                // The level keeps its former material: its data was not archived.
                failures.push_back(e.what());
                continue;
            }
        }
        assigned[k] = materials[k];
    }
    a.MaterialId = assigned;
    for (int i = 0; i < a.NbLevels; ++i) {
        auto k = static_cast<size_t>(i);
        if (before.MaterialId[k] != a.MaterialId[k])
            Log(jk::AssignmentChanged, &a, i + 1, std::nullopt,
                MaterialText(ListSerum.FindMaterial(before.MaterialId[k])),
                MaterialText(ListSerum.FindMaterial(a.MaterialId[k])), reason);
    }
    if (a.MaterialId == before.MaterialId && written.empty()) {
        staged_.clear();
        if (failures.empty()) return {};
        TOutcome out = TOutcome::Refuse(failures.front());
        return out;
    }
    if (TOutcome unsaved = SaveData(&a,
                                    [&] {
                                        a = std::move(before);
                                        UnlinkArchives(written);
                                    });
        !unsaved.Ok())
        return unsaved;
    Notify(ckMaterials | (written.empty() ? 0u : unsigned(ckPoints | ckArchives)), &a);
    TOutcome out;
    if (!failures.empty()) {
        out.Status = TStatus::Partial;
        for (const std::string& f : failures) out.Message += (out.Message.empty() ? "" : "\r") + f;
    }
    return out;
}

TOutcome TOperations::ApplyAnalyteEdit(const TAnalyteEdit& edit) {
    auto deleted = [&](TAnalyteId uid) {
        return std::find(edit.Deleted.begin(), edit.Deleted.end(), uid) != edit.Deleted.end();
    };
    // The analytes keep their identity (the windows and the charts hold them); what the edit changes
    // is kept to be put back when the write fails.
    struct TDefinition {
        TAnalyte* Analyte;
        std::string Name, Unit;
        int32_t Decimals, NbLevels;
        std::array<LevelStats, MaxLevels> Limits, AllStats;
    };
    std::vector<TDefinition> before;
    std::vector<TAnalyte*> order;
    std::vector<std::unique_ptr<TAnalyte>> pool = std::move(ListAnalytes.Items);
    ListAnalytes.Items.clear();
    for (const auto& p : pool) order.push_back(p.get());
    auto take = [&pool](TAnalyteId uid) {
        for (auto& p : pool)
            if (p && p->Uid == uid) return std::move(p);
        return std::unique_ptr<TAnalyte>();
    };
    std::vector<std::unique_ptr<TAnalyte>> fresh;
    for (const TAnalyteEdit::TLine& line : edit.Lines) {
        if (line.Uid == 0) {
            fresh.push_back(std::make_unique<TAnalyte>(line.Name, line.Unit, line.Decimals, line.NbLevels));
            continue;
        }
        if (deleted(line.Uid)) continue;
        std::unique_ptr<TAnalyte> a = take(line.Uid);
        if (!a) continue;
        before.push_back({a.get(), a->Name, a->Unit, a->Decimals, a->NbLevels, a->Limits, a->AllStats});
        a->SetName(line.Name);
        a->SetUnit(line.Unit);
        a->Decimals = line.Decimals;
        for (int l = a->NbLevels; l < line.NbLevels; ++l) a->RecalcLevel(l);
        a->NbLevels = line.NbLevels;
        fresh.push_back(std::move(a));
    }
    // An analyte neither listed nor deleted is never dropped silently.
    std::vector<int32_t> archivesOfDeleted;
    std::vector<std::string> deletedNames;
    for (auto& p : pool) {
        if (!p) continue;
        if (deleted(p->Uid)) {
            archivesOfDeleted.insert(archivesOfDeleted.end(), p->ArchiveNumbers.begin(),
                                     p->ArchiveNumbers.end());
            deletedNames.push_back(p->Name);
        } else
            fresh.push_back(std::move(p));
    }
    auto definition = [](const std::string& name, const std::string& unit, int32_t decimals, int32_t levels) {
        return name + ": unit " + unit + ", " + std::to_string(decimals) + " decimals, " +
               std::to_string(levels) + " levels";
    };
    for (const TDefinition& d : before) {
        const TAnalyte* a = d.Analyte;
        std::string was = definition(d.Name, d.Unit, d.Decimals, d.NbLevels),
                    is = definition(a->Name, a->Unit, a->Decimals, a->NbLevels);
        if (was != is) Log(jk::AnalyteChanged, a, 0, std::nullopt, was, is);
    }
    for (const auto& p : fresh)
        if (std::find(order.begin(), order.end(), p.get()) == order.end())
            Log(jk::AnalyteChanged, p.get(), 0, std::nullopt, "",
                definition(p->Name, p->Unit, p->Decimals, p->NbLevels) + ": made");
    for (const auto& p : pool)
        if (p)
            Log(jk::AnalyteChanged, p.get(), 0, std::nullopt,
                definition(p->Name, p->Unit, p->Decimals, p->NbLevels) + ", " + RunsText(p->Count()),
                "deleted with its points and archives");
    ListAnalytes.Items = std::move(fresh);
    currentIndex_ = -1;
    if (TOutcome unsaved =
            SaveData(nullptr,
                     [&] {
                         for (const TDefinition& d : before) {
                             d.Analyte->Name = d.Name;
                             d.Analyte->Unit = d.Unit;
                             d.Analyte->Decimals = d.Decimals;
                             d.Analyte->NbLevels = d.NbLevels;
                             d.Analyte->Limits = d.Limits;
                             d.Analyte->AllStats = d.AllStats;
                         }
                         for (auto& p : ListAnalytes.Items)
                             for (auto& slot : pool)
                                 if (!slot && std::find(order.begin(), order.end(), p.get()) != order.end()) {
                                     slot = std::move(p);
                                     break;
                                 }
                         // Back in the former order; the analytes the edit created go.
                         std::vector<std::unique_ptr<TAnalyte>> restored;
                         for (TAnalyte* a : order)
                             for (auto& slot : pool)
                                 if (slot.get() == a) restored.push_back(std::move(slot));
                         ListAnalytes.Items = std::move(restored);
                         currentIndex_ = -1;
                     });
        !unsaved.Ok())
        return unsaved;
    // The data file no longer names the deleted analytes' archives.
    TOutcome out;
    RemoveArchiveFiles(archivesOfDeleted, out);
    std::vector<std::pair<std::string, const TAnalyte*>> edited;
    for (const TDefinition& d : before) edited.emplace_back(d.Name, d.Analyte);
    CarryGoals(edited, deletedNames, out);
    CarryRuleSets(edited, deletedNames, out);
    CarryPatientQc(edited, deletedNames, out);
    if (!Current()) SetCurrent(ListAnalytes.Count() > 0 ? &ListAnalytes[0] : nullptr);
    Notify(ckAnalytes | ckPoints);
    return out;
}

TOutcome TOperations::SetOperators(const std::vector<std::string>& operators) {
    std::vector<std::string> before = Operators;
    Operators.clear();
    for (const std::string& op : operators) AddOperator(op);
    auto joined = [](const std::vector<std::string>& v) {
        std::string s;
        for (const std::string& x : v) s += (s.empty() ? "" : ", ") + x;
        return s;
    };
    if (before != Operators)
        Log(jk::OperatorsChanged, nullptr, 0, std::nullopt, joined(before), joined(Operators));
    try {
        WriteSettings();
    } catch (const EQcError& e) {
        Operators = std::move(before);
        return TOutcome::FromError(e);
    }
    Notify(ckSettings);
    return {};
}

// ---------------------------------------------------------------- settings

TOutcome TOperations::ChangeSettings(const std::function<void(TSettings&)>& change) {
    TSettings before = Settings;
    change(Settings);
    LogSettings(before, Settings);
    try {
        WriteSettings();
    } catch (const EQcError& e) {
        Settings = before;
        return TOutcome::FromError(e);
    }
    // Other rows of the t table change every analyte's limits, not only the one shown.
    if (RiskRowsInForce() != TRiskRows{before.AlertRow, before.ActionRow}) {
        for (int i = 0; i < ListAnalytes.Count(); ++i) ListAnalytes[i].RecalcAll();
        Notify(ckSettings | ckPoints);
        return {};
    }
    Notify(ckSettings);
    return {};
}

bool TOperations::PasswordMatches(const std::string& typed) const {
    // On a server with accounts, the gated commands are a supervisor's, who signed in with a password.
    if (store_->HasAccounts()) return store_->SignedIn() && store_->SignedIn()->Role == TRole::Supervisor;
    return Settings.Password.empty() || SettingsPasswordIs(UpperCase(typed));
}
