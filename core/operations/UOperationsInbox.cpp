// The inbox's settings, reading options and mapping through the operations layer; a new mapping
// places the results that waited for it (UOperationsInboxShared.h tells the order of writes).
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <map>
#include <set>
#include <unordered_set>

#include "UAtomicFile.h"
#include "UCodePage.h"
#include "UFifoResult.h"
#include "UInboxJudge.h"
#include "UOperations.h"
#include "UServerStore.h"

#include "UJournal.h"
#include "UJournalTexts.h"
#include "UOperationsInboxShared.h"
#include "UTexts.h"
#include "UUtilitaires.h"

using namespace ops_inbox;

// ---------------------------------------------------------------- settings, sources, mapping

TInboxSettings TOperations::InboxSettings() const {
    return store_->InboxSettings();
}

// Refused while the folder is open for reading only, or the inbox's records cannot be written.
std::optional<TOutcome> TOperations::InboxUnwritable(const char* needs) {
    if (!open_ || mode_ == TOpenMode::Reader)
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "The folder is open for reading only"));
    if (needs && !store_->InboxRecordsOpen()) return TOutcome::Refuse(Fill(needs, db_.Path()));
    return std::nullopt;
}

// A change of the inbox's records, with its journal entry staged before; the listeners told of `what`.
TOutcome TOperations::ChangeInbox(const std::function<void()>& change, unsigned what) {
    try {
        change();
    } catch (const EQcError& e) {
        staged_.clear();
        return TOutcome::FromError(e);
    }
    Notify(what);
    return {};
}

TOutcome TOperations::SetInboxSettings(const TInboxSettings& settings) {
    if (auto refused = InboxUnwritable(QT_TRANSLATE_NOOP("Core", "The inbox settings need the database %1")))
        return *refused;
    if (!(settings.WindowMinutes > 0 && settings.WindowMinutes <= 1440))
        return TOutcome::Refuse(QT_TRANSLATE_NOOP(
            "Core", "The time window of a run must be more than 0 and at most 1440 minutes"));
    TInboxSettings kept = settings;
    kept.Folder = Trim(settings.Folder);
    if (!kept.Folder.empty()) {
        std::error_code ec;
        if (!std::filesystem::is_directory(kept.Folder, ec))
            return TOutcome::Refuse(
                Fill(QT_TRANSLATE_NOOP("Core", "The inbox folder %1 does not exist"), kept.Folder));
        try {
            CheckInboxFolder(kept.Folder);
        } catch (const EQcError& e) {
            return TOutcome::Refuse(e.what());
        }
    }
    Log(jk::InboxChanged, nullptr, 0, std::nullopt, "",
        "folder " + kept.Folder + ", auto-accept " + (settings.AutoAccept ? "on" : "off") + ", runs within " +
            FormatFixed(settings.WindowMinutes, 15, 0) + " min");
    return ChangeInbox([&] { store_->SaveInboxSettings(kept); }, ckSettings);
}

TInstrumentSource TOperations::InboxSource(const std::string& id) const {
    TInstrumentSource s;
    if (std::optional<std::string> text = store_->InboxSourceOptions(id)) try {
            s = TInstrumentSource::FromText(*text);
        } catch (const EQcError&) {
            s = {};
        }
    s.Id = id;
    return s;
}

std::vector<TInstrumentSource> TOperations::InboxSources() const {
    std::vector<TInstrumentSource> out;
    for (const std::string& id : store_->InboxSourceIds()) out.push_back(InboxSource(id));
    return out;
}

TOutcome TOperations::SetInboxSource(const TInstrumentSource& source) {
    if (!open_ || mode_ == TOpenMode::Reader)
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "The folder is open for reading only"));
    if (!IsValidSourceId(source.Id))
        return TOutcome::Refuse(
            Fill(QT_TRANSLATE_NOOP("Core", "\"%1\" cannot name a source: it names a subfolder of the inbox"),
                 source.Id));
    if (auto refused = InboxUnwritable(QT_TRANSLATE_NOOP("Core", "The reading options need the database %1")))
        return *refused;
    std::string text;
    try {
        // What is stored must read back as it is.
        text = source.ToText();
        if (!(TInstrumentSource::FromText(text) == source))
            return TOutcome::Refuse(Fill(
                QT_TRANSLATE_NOOP("Core", "The reading options of %1 do not read back as given"), source.Id));
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    Log(jk::InboxChanged, nullptr, 0, std::nullopt, "", "reading options of " + source.Id + ": " + text);
    return ChangeInbox([&] { store_->SaveInboxSource(source.Id, text); }, ckSettings);
}

std::vector<TInboxMapping> TOperations::InboxMappings() const {
    return store_->InboxMappings();
}

std::vector<TWaitingResult> TOperations::NotMappedResults() const {
    return store_->NotMappedResults();
}

int TOperations::NotMappedCount() const {
    return store_->NotMappedCount();
}

TOutcome TOperations::DiscardNotMappedResults(const std::string& file, const std::string& reason,
                                              int* discarded) {
    if (discarded) *discarded = 0;
    if (!open_ || mode_ == TOpenMode::Reader)
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "The folder is open for reading only"));
    if (Trim(reason).empty())
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "Give a reason for discarding results"));
    if (auto refused = InboxUnwritable(QT_TRANSLATE_NOOP("Core", "The mapping needs the database %1")))
        return *refused;
    int64_t n = 0;
    try {
        n = store_->NotMappedCountOf(file);
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    if (n == 0)
        return TOutcome::Refuse(Fill(QT_TRANSLATE_NOOP("Core", "No results of %1 wait for a mapping"), file));
    Log(jk::InboxDiscarded, nullptr, 0, std::nullopt, file + ": " + std::to_string(n) + " results not mapped",
        "discarded", reason);
    TOutcome out = ChangeInbox([&] { store_->DiscardNotMapped(file); }, ckQueue | ckSettings);
    if (out.Ok() && discarded) *discarded = static_cast<int>(n);
    return out;
}

std::vector<TFailedInboxFile> TOperations::FailedInboxFiles() const {
    const std::string folder = open_ ? InboxSettings().Folder : std::string();
    if (folder.empty()) return {};
    try {
        return ListFailedInboxFiles(folder);
    } catch (const EQcError&) {
        return {};
    }
}

TOutcome TOperations::ReadFailedInboxFileAgain(const TFailedInboxFile& file) {
    if (!open_ || mode_ == TOpenMode::Reader)
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "The folder is open for reading only"));
    try {
        // Forgotten as read, so that it is read with the options as they are now; its results taken
        // before are known by their own record and not taken twice.
        store_->ForgetInboxFile(file.Source, Fnv1a64(ReadWholeFile(file.Path)));
        MoveBackFromFailed(file);
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    return {};
}

TOutcome TOperations::RemoveFailedInboxFile(const TFailedInboxFile& file, const std::string& reason) {
    if (!open_ || mode_ == TOpenMode::Reader)
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "The folder is open for reading only"));
    if (Trim(reason).empty())
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "Give a reason for removing a file"));
    std::string first = file.Reason.substr(0, file.Reason.find('\n'));
    Log(jk::InboxDiscarded, nullptr, 0, std::nullopt,
        file.Source + " failed/" + file.Name + ": " + Utf8ToCp1252(first), "removed", reason);
    return ChangeInbox([&] { store_->RecordInboxChange([&] { RemoveFailedFile(file); }); }, ckSettings);
}

TOutcome TOperations::RemoveInboxMapping(const std::string& source, const std::string& code,
                                         const std::string& control) {
    if (auto refused = InboxUnwritable(QT_TRANSLATE_NOOP("Core", "The mapping needs the database %1")))
        return *refused;
    const std::vector<TInboxMapping> mappings = InboxMappings();
    if (std::none_of(mappings.begin(), mappings.end(), [&](const TInboxMapping& m) {
            return m.Source == source && m.Code == code && m.Control == control;
        }))
        return TOutcome::Refuse(
            Fill(QT_TRANSLATE_NOOP("Core", "No mapping for %1 %2 %3"), source, code, control));
    Log(jk::MappingChanged, nullptr, 0, std::nullopt, source + " " + code + " " + control, "removed");
    return ChangeInbox([&] { store_->RemoveInboxMapping(source, code, control); }, ckSettings);
}

// ---------------------------------------------------------------- mapping

namespace {
std::string MappingText(const TInboxMapping& m) {
    return m.Source + " " + m.Code + " " + m.Control + " -> " + m.Analyte + " level " +
           std::to_string(m.Level);
}
// Level 0: the level each result's file gives.
std::string MappedLevel(int level) {
    return level > 0 ? std::to_string(level) : TranslatedText(QT_TRANSLATE_NOOP("Core", "given by the file"));
}
} // namespace

std::optional<TInboxMapping> TOperations::InboxMappingOf(const std::string& source, const std::string& code,
                                                         const std::string& control) const {
    for (const TInboxMapping& m : InboxMappings())
        if (m.Source == Trim(source) && m.Code == Trim(code) && m.Control == Trim(control)) return m;
    return std::nullopt;
}

TOutcome TOperations::MapInstrumentResults(const TInboxMapping& mapping, TInboxReport* report, bool replace) {
    if (!open_ || mode_ == TOpenMode::Reader)
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "The folder is open for reading only"));
    TInboxMapping m = mapping;
    m.Source = Trim(m.Source);
    m.Code = Trim(m.Code);
    m.Control = Trim(m.Control);
    if (m.Source.empty() || m.Code.empty())
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "A mapping needs a source and a test code"));
    const TAnalyte* a = ListAnalytes.FindByName(m.Analyte);
    if (!a) return TOutcome::Refuse(Fill(QT_TRANSLATE_NOOP("Core", "Unknown analyte: %1"), m.Analyte));
    m.Analyte = a->Name;
    if (m.Level < 0 || m.Level > a->NbLevels)
        return TOutcome::Refuse(Fill(a->NbLevels == 1
                                         ? QT_TRANSLATE_NOOP("Core", "Level %1: %2 has %3 level")
                                         : QT_TRANSLATE_NOOP("Core", "Level %1: %2 has %3 levels"),
                                     std::to_string(m.Level), a->Name, std::to_string(a->NbLevels)));
    if (auto refused = InboxUnwritable(QT_TRANSLATE_NOOP("Core", "The mapping needs the database %1")))
        return *refused;
    // A control mapped elsewhere is moved only when the user confirmed it.
    const std::optional<TInboxMapping> former = InboxMappingOf(m.Source, m.Code, m.Control);
    const bool replacing = former && (former->Analyte != m.Analyte || former->Level != m.Level);
    if (replacing && !replace)
        return TOutcome::Refuse(Fill(QT_TRANSLATE_NOOP("Core", "%1 %2 %3 is already mapped to %4 level %5: "
                                                               "replacing that mapping needs a confirmation"),
                                     m.Source, m.Code, m.Control, former->Analyte,
                                     MappedLevel(former->Level)));
    const std::string before = former ? MappingText(*former) : "";
    auto noteHeld = [&](TOutcome out) {
        if (replacing && out.Ok())
            out.Notes.push_back(
                Fill(QT_TRANSLATE_NOOP("Core", "Runs already held in the queue from %1 %2 %3 "
                                               "stay as they were read under the former "
                                               "mapping (%4 level %5): check them there before "
                                               "accepting them."),
                     m.Source, m.Code, m.Control, former->Analyte, MappedLevel(former->Level)));
        return out;
    };
    TInboxReport rep;
    const bool atOnce = store_->PlacesInboxRunsAtOnce();
    // Whatever an interrupted reading left is placed before new runs are planned against the queue.
    if (!atOnce)
        if (TOutcome placed = PlacePendingInboxRuns(&rep); !placed.Ok()) return placed;
    TInboxUndo undo;
    try {
        store_->InboxTransaction("inbox mapping", [&] {
            LockInbox(undo);
            store_->SaveInboxMapping(m);
            Log(jk::MappingChanged, ListAnalytes.FindByName(m.Analyte), m.Level, std::nullopt, before,
                MappingText(m));
            MapWaitingResults(m, rep, undo);
        });
    } catch (const EQcError& e) {
        UndoInboxPass(undo);
        return TOutcome::FromError(e);
    }
    TOutcome out;
    if (atOnce) {
        PlacedInboxPass(undo, rep);
        Notify(ckSettings);
    } else {
        out = PlacePendingInboxRuns(&rep);
        // The mapping is stored whatever the placing did: its runs are placed at the next reading or start.
        if (out.Status == TStatus::Refused) out.Status = TStatus::Partial;
    }
    if (report) *report = rep;
    return noteHeld(out);
}

// Inside the mapping's transaction: the results that waited for it planned into runs, placed at once
// where the store does so.
void TOperations::MapWaitingResults(const TInboxMapping& m, TInboxReport& rep, TInboxUndo& undo) {
    std::vector<TInstrumentResult> results;
    std::vector<std::string> origins;
    std::vector<int64_t> rows;
    for (TWaitingResult& w : store_->NotMappedOf(m.Source, m.Code, m.Control)) {
        rows.push_back(w.Id);
        results.push_back(std::move(w.Result));
        origins.push_back(std::move(w.File));
    }
    TInboxPlan plan;
    PlanInboxRuns(plan, results, origins, InboxSettings());
    // Results that still do not map (a level the analyte lacks) keep waiting with the new reason.
    std::vector<bool> waits(results.size());
    for (const TInboxPlan::TWaiting& still : plan.Waiting) {
        waits[still.Index] = true;
        store_->SetNotMappedReason(rows[still.Index], still.Reason);
    }
    for (size_t i = 0; i < results.size(); ++i)
        if (!waits[i]) plan.Mapped.push_back(rows[i]);
    rep.NotMapped = static_cast<int>(plan.Waiting.size());
    plan.Waiting.clear();
    if (store_->PlacesInboxRunsAtOnce()) PlaceInboxPlan(plan, undo);
    store_->RecordInboxPlan(plan);
}
