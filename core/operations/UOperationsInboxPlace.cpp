// The inbox's runs planned from the results, placed into the queue and the data, and the pending
// runs of an interrupted pass placed.
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

namespace {
// The analyte a held run names, or a stand-in of three levels when there is none yet.
const TAnalyte& AnalyteOfRun(const TResu& run, std::optional<TAnalyte>& standIn) {
    if (const TAnalyte* a = ListAnalytes.FindByName(run.AnalyteName)) return *a;
    standIn.emplace(run.AnalyteName, "", 2, MaxLevels);
    return *standIn;
}

std::string Describe(const TInstrumentResult& r, const std::string& origin) {
    return origin + " line " + std::to_string(r.Line) + ": " + r.TestCode + " " + r.Control +
           (r.Level > 0 ? " level " + std::to_string(r.Level) : "") + " = " + r.ValueText + " at " +
           DateTimeText(r.DateTime) +
           (r.AnalyserLimits.empty() ? "" : " (analyser: " + r.AnalyserLimits + ")");
}
} // namespace

// ---------------------------------------------------------------- planning runs

// Held runs from the inbox still in the queue may be completed; the others are gone. Only those that
// a new run could complete are read: of its source and analyte, within the window of its times. The
// head is not touched while it is being validated.
void TOperations::FindHeldInboxRuns(TInboxPlan& plan, const TRunGrouping& grouping,
                                    const std::vector<TInstrumentResult>& results,
                                    const TInboxSettings& settings) {
    const double reach = settings.WindowMinutes / 1440.0 + 1.0 / 1440;
    std::map<std::pair<std::string, std::string>, std::pair<TDateTime, TDateTime>> bounds;
    for (const TInstrumentRun& g : grouping.Runs)
        for (size_t i : g.Results) {
            const TDateTime t = results[i].DateTime;
            auto [it, added] = bounds.try_emplace({g.Source, g.Run.AnalyteName}, t, t);
            it->second = {std::min(it->second.first, t), std::max(it->second.second, t)};
        }
    TPassQueue queued(Fifo.Entries(), recallOpen_ ? 1 : 0);
    std::deque<TResu> validated, elsewhere;
    if (recallOpen_ && Fifo.Count() > 0) validated.push_back(Fifo.Entries().front());
    elsewhere = store_->QueueElsewhere();
    TPassQueue head(validated), others(elsewhere);
    // Those starting at most `reach` before the first new result and ending at most `reach` after the
    // last one: no other could take a new result within the window.
    std::vector<TInboxPlan::THeld> placed;
    for (const auto& [key, span] : bounds)
        for (TInboxPlan::THeld& h :
             store_->PlacedInboxRuns(key.first, key.second, span.first - reach, span.second + reach))
            placed.push_back(std::move(h));
    std::sort(placed.begin(), placed.end(), [](const auto& a, const auto& b) { return a.Row < b.Row; });
    for (TInboxPlan::THeld& h : placed) {
        const bool inQueue = queued.Find(h.Image).has_value();
        if (!inQueue && !head.Find(h.Image) && !others.Find(h.Image)) {
            plan.Gone.push_back(h.Row);
            continue;
        }
        if (!inQueue) continue;
        h.Run = EntryOf(h.Image);
        plan.Held.push_back(std::move(h));
    }
}

void TOperations::PlanInboxRuns(TInboxPlan& plan, const std::vector<TInstrumentResult>& results,
                                const std::vector<std::string>& origins, const TInboxSettings& settings) {
    // The mapping, and why a result is not mapped.
    std::map<std::tuple<std::string, std::string, std::string>, std::pair<std::string, int>> map;
    for (const TInboxMapping& m : store_->InboxMappings())
        map[{m.Source, m.Code, m.Control}] = {m.Analyte, m.Level};
    std::vector<std::optional<TMappedResult>> mapped(results.size());
    for (size_t i = 0; i < results.size(); ++i) {
        const TInstrumentResult& r = results[i];
        auto it = map.find({r.Source, r.TestCode, r.Control});
        std::string reason;
        if (it == map.end()) {
            reason = TranslatedText(QT_TRANSLATE_NOOP("Core", "no mapping"));
        } else if (TAnalyte* a = ListAnalytes.FindByName(it->second.first); !a) {
            reason = Fill(QT_TRANSLATE_NOOP("Core", "the analyte %1 does not exist"), it->second.first);
        } else {
            const int level = it->second.second > 0 ? it->second.second : r.Level;
            const int levels = std::clamp(a->NbLevels, 1, MaxLevels);
            if (level < 1)
                reason = Fill(QT_TRANSLATE_NOOP("Core", "no level given for %1"), a->Name);
            else if (level > levels)
                reason = Fill(levels == 1 ? QT_TRANSLATE_NOOP("Core", "level %1: %2 has %3 level")
                                          : QT_TRANSLATE_NOOP("Core", "level %1: %2 has %3 levels"),
                              std::to_string(level), a->Name, std::to_string(levels));
            else
                mapped[i] = TMappedResult{a->Name, level, levels};
        }
        if (!mapped[i]) plan.Waiting.push_back({i, r, origins[i], reason});
    }
    const TRunGrouping grouping = GroupInstrumentRuns(
        results, [&](const TInstrumentResult& r) { return mapped[static_cast<size_t>(&r - results.data())]; },
        settings.WindowMinutes);

    FindHeldInboxRuns(plan, grouping, results, settings);
    const long long window = std::llround(settings.WindowMinutes * 60000.0);
    auto ms = [](TDateTime t) { return std::llround(t * 86400000.0); };
    auto fits = [&](const TResu& held, TDateTime first, TDateTime last, const TResu& run, TDateTime f2,
                    TDateTime l2) {
        for (int k = 0; k < MaxLevels; ++k)
            if (held.Levels[static_cast<size_t>(k)].State != psEmpty &&
                run.Levels[static_cast<size_t>(k)].State != psEmpty)
                return false;
        return ms(std::max(last, l2)) - ms(std::min(first, f2)) <= window;
    };

    for (const TInstrumentRun& g : grouping.Runs) {
        TDateTime first = results[g.Results.front()].DateTime, last = first;
        std::string note;
        for (size_t i : g.Results) {
            first = std::min(first, results[i].DateTime);
            last = std::max(last, results[i].DateTime);
            note += (note.empty() ? "" : "\n") + Describe(results[i], origins[i]);
        }
        TInboxPlan::TRun* into = nullptr;
        for (TInboxPlan::THeld& h : plan.Held) {
            if (h.Source != g.Source || h.Analyte != g.Run.AnalyteName) continue;
            const bool planned = h.Planned >= 0;
            TInboxPlan::TRun* current = planned ? &plan.Runs[static_cast<size_t>(h.Planned)] : nullptr;
            const TResu& held = planned ? current->Run : h.Run;
            if (!fits(held, planned ? current->First : h.First, planned ? current->Last : h.Last, g.Run,
                      first, last))
                continue;
            if (!planned) {
                plan.Runs.push_back({});
                TInboxPlan::TRun& r = plan.Runs.back();
                r.Run = h.Run;
                r.Source = h.Source;
                r.Analyte = h.Analyte;
                r.First = h.First;
                r.Last = h.Last;
                r.Replaces = h.Image;
                r.ReplacedRows = {h.Row};
                r.Note = h.Note;
                h.Planned = static_cast<int>(plan.Runs.size() - 1);
            }
            into = &plan.Runs[static_cast<size_t>(h.Planned)];
            break;
        }
        if (!into) {
            plan.Runs.push_back({});
            into = &plan.Runs.back();
            into->Run = g.Run;
            into->Source = g.Source;
            into->Analyte = g.Run.AnalyteName;
            into->First = first;
            into->Last = last;
            into->Note = note;
            continue;
        }
        for (int k = 0; k < MaxLevels; ++k)
            if (g.Run.Levels[static_cast<size_t>(k)].State != psEmpty)
                into->Run.Levels[static_cast<size_t>(k)] = g.Run.Levels[static_cast<size_t>(k)];
        into->First = std::min(into->First, first);
        into->Last = std::max(into->Last, last);
        into->Run.DateTime = into->First;
        if (into->Run.Operator.empty()) into->Run.Operator = g.Run.Operator;
        into->Note += "\n" + note;
    }
    const TRuleSetsHeld rules(*this);
    for (TInboxPlan::TRun& r : plan.Runs) {
        TAnalyte* a = ListAnalytes.FindByName(r.Analyte);
        if (!a) continue; // mapped above, so it exists
        r.Verdict = JudgeInboxRun(*a, r.Run, RuleSet(a->Name));
        r.Run.Comment = InboxComment(r.Source, r.Verdict);
        r.ToData = settings.AutoAccept && r.Verdict.Clear();
    }
}

// ---------------------------------------------------------------- placing runs

namespace {
// A run recorded by a reading and not yet placed.
struct TPending {
    int64_t Row;
    std::string Analyte;
    bool ToData;
    TResu Run;
    std::string Image, Replaces;
    bool Waits = false; // not held: the queue is full
};

std::vector<TPending> PendingRuns(const TStore& store) {
    std::vector<TPending> pending;
    for (TInboxPending& p : store.PendingInboxRuns())
        pending.push_back({p.Row, std::move(p.Analyte), p.ToData, EntryOf(p.Image), p.Image, p.Replaces});
    return pending;
}

// The runs in the files marked placed; those that wait for room in the queue stay pending.
TOutcome MarkPlaced(TStore& store, const std::vector<TPending>& pending) {
    try {
        std::vector<int64_t> rows;
        for (const TPending& p : pending)
            if (!p.Waits) rows.push_back(p.Row);
        store.MarkInboxRunsPlaced(rows);
    } catch (const EQcError& e) {
        // The runs are in the files; placing them again finds them there and adds nothing.
        TOutcome out = TOutcome::FromError(e, TStatus::Partial);
        out.Message =
            Fill(QT_TRANSLATE_NOOP("Core", "The runs from the instruments were saved, but not marked so "
                                           "in the database:\r%1"),
                 e.what());
        return out;
    }
    return {};
}
} // namespace

TOutcome TOperations::PlacePendingInboxRuns(TInboxReport* report,
                                            const std::function<void(size_t, size_t)>& progress) {
    std::vector<TPending> pending;
    try {
        pending = PendingRuns(*store_);
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    if (pending.empty()) return {};

    std::map<TAnalyteId, TAnalyte> analytesBefore;
    // The queue as it will be.
    TPassQueue queue(Fifo.Entries());
    bool queueChanged = false;
    int queued = 0, accepted = 0, merged = 0, waiting = 0;
    // A folder's queue file holds so many runs at most; the rest stay pending until runs are recalled.
    const size_t room = store_->QueueCapacity();
    for (TPending& p : pending) {
        TAnalyte* a = p.ToData ? ListAnalytes.FindByName(p.Analyte) : nullptr;
        if (a) {
            // Stored directly; the held run it completes leaves the queue.
            if (!HoldsRun(*a, p.Run)) {
                if (!analytesBefore.count(a->Uid)) analytesBefore.emplace(a->Uid, *a);
                a->AddPoint(p.Run);
            }
            if (!p.Replaces.empty())
                if (std::optional<size_t> at = queue.Find(p.Replaces)) {
                    queue.Erase(*at);
                    queueChanged = true;
                }
            ++accepted;
            continue;
        }
        if (queue.Find(p.Image)) { // placed before a crash
            ++queued;
            continue;
        }
        if (!p.Replaces.empty())
            if (std::optional<size_t> at = queue.Find(p.Replaces)) {
                queue.Replace(*at, p.Run, p.Image);
                queueChanged = true;
                ++queued;
                ++merged;
                continue;
            }
        if (queue.Count() >= room) {
            p.Waits = true;
            ++waiting;
            continue;
        }
        ++queued;
        queue.Add(p.Run, p.Image);
        queueChanged = true;
    }
    // The queue first: a held run that a stored run completes leaves the queue before the data file takes
    // the stored one, so that no value is ever in both files; until the data file is written the value
    // is in the database's pending run, which the next start or reading places.
    if (queueChanged) {
        // The journal's entries go with the file that takes the runs.
        LogNewlyHeld(queue);
        const std::function<void()> putBack = queue.PutInto(Fifo);
        try {
            WriteQueue();
        } catch (const EQcError& e) {
            putBack();
            for (auto& [uid, before] : analytesBefore)
                if (TAnalyte* a = ListAnalytes.Find(uid)) *a = before;
            TOutcome out = TOutcome::FromError(e);
            out.Message =
                Fill(QT_TRANSLATE_NOOP("Core", "Unable to save fifo\r%1\rThe results from the instruments "
                                               "are kept and placed at the next reading."),
                     e.what());
            return out;
        }
    }
    if (!analytesBefore.empty()) {
        const TRuleSetsHeld rules(*this);
        // Journaling the runs is most of a large placing; the data file is written last.
        for (size_t k = 0; k < pending.size(); ++k) {
            const TPending& p = pending[k];
            if (progress && k % 1024 == 0) progress(k, pending.size());
            if (const TAnalyte* a = p.ToData ? ListAnalytes.FindByName(p.Analyte) : nullptr;
                a && analytesBefore.count(a->Uid))
                LogAcceptedRun(analytesBefore.at(a->Uid), p.Run, TRunNote{});
        }
        for (auto& [uid, before] : analytesBefore)
            if (TAnalyte* a = ListAnalytes.Find(uid)) a->RecalcAll();
        try {
            WriteData();
        } catch (const EQcError& e) {
            for (auto& [uid, before] : analytesBefore)
                if (TAnalyte* a = ListAnalytes.Find(uid)) *a = before;
            TOutcome out = TOutcome::FromError(e, queueChanged ? TStatus::Partial : TStatus::Refused);
            out.Message =
                Fill(QT_TRANSLATE_NOOP("Core", "Cannot save data\r%1\rThe results from the instruments are "
                                               "kept and placed at the next reading."),
                     e.what());
            if (queueChanged) Notify(ckQueue);
            return out;
        }
    }
    TOutcome out = MarkPlaced(*store_, pending);
    if (report) {
        report->Queued += queued;
        report->Accepted += accepted;
        report->Merged += merged;
    }
    if (waiting > 0)
        out.Notes.push_back(
            Fill(QT_TRANSLATE_NOOP("Core", "The queue is full (%1 held runs): %2 runs from the "
                                           "instruments wait until held runs are recalled."),
                 std::to_string(MaxQueueEntries), std::to_string(waiting)));
    for (auto& [uid, before] : analytesBefore) Notify(ckPoints, ListAnalytes.Find(uid));
    if (queueChanged) Notify(ckQueue);
    return out;
}

void TOperations::LogNewlyHeld(const TPassQueue& queue) {
    queue.ForEach([&](const TPassQueue::TEntry& e) {
        if (!e.New) return;
        std::optional<TAnalyte> standIn;
        const TAnalyte& qa = AnalyteOfRun(e.Run, standIn);
        Log(jk::RunHeld, &qa, 0, e.Run.DateTime, "",
            RunText(qa, e.Run.Levels, Trim(e.Run.Operator), e.Run.Comment), "", e.Run.Operator);
    });
}

void TOperations::RecoverInbox(TOpenReport& report) {
    TOutcome out = PlacePendingInboxRuns(nullptr);
    if (!out.Ok()) report.Notes.push_back(out.Message);
    for (const std::string& note : out.Notes) report.Notes.push_back(note);
}

int TOperations::HeldFromInbox() const {
    if (Fifo.Count() == 0) return 0;
    try {
        std::unordered_multiset<std::string> queued;
        for (const TResu& e : Fifo.Entries()) queued.insert(EntryImage(e));
        int n = 0;
        for (const std::string& entry : store_->PlacedInboxEntries())
            n += static_cast<int>(queued.count(entry));
        return n;
    } catch (const EQcError&) {
        return 0;
    }
}

// ---------------------------------------------------------------- placing at once

void TOperations::LockInbox(TInboxUndo& undo) {
    // One bench at a time plans runs against the shared mapping and held runs, until its commit, on the
    // queue as the store holds it (the run out for validation keeps it as it is).
    std::optional<std::deque<TResu>> queue = store_->LockInbox(!recallOpen_);
    if (!queue) return;
    Fifo.ClearQueue();
    for (TResu& r : *queue) Fifo.Push(std::move(r));
    undo.Refreshed = true;
}

void TOperations::PlaceInboxPlan(const TInboxPlan& plan, TInboxUndo& undo) {
    // In memory as PlacePendingInboxRuns places pending runs, then written in the open transaction.
    undo.Queue = Fifo.Entries();
    undo.Saved = true;
    TPassQueue queue(undo.Queue);
    std::vector<std::pair<TAnalyte*, const TResu*>> accepted;
    for (const TInboxPlan::TRun& r : plan.Runs) {
        if (TAnalyte* a = r.ToData ? ListAnalytes.FindByName(r.Analyte) : nullptr) {
            if (!undo.Analytes.count(a->Uid)) undo.Analytes.emplace(a->Uid, *a);
            a->AddPoint(r.Run);
            accepted.push_back({a, &r.Run});
            if (!r.Replaces.empty())
                if (std::optional<size_t> at = queue.Find(r.Replaces)) {
                    queue.Erase(*at);
                    undo.QueueChanged = true;
                }
            ++undo.Accepted;
            continue;
        }
        ++undo.Queued;
        if (!r.Replaces.empty())
            if (std::optional<size_t> at = queue.Find(r.Replaces)) {
                queue.Replace(*at, r.Run, EntryImage(r.Run));
                undo.QueueChanged = true;
                ++undo.Merged;
                continue;
            }
        queue.Add(r.Run, EntryImage(r.Run));
        undo.QueueChanged = true;
    }
    if (undo.QueueChanged) {
        LogNewlyHeld(queue);
        queue.PutInto(Fifo);
        WriteQueue();
    }
    if (!undo.Analytes.empty()) {
        for (const auto& [a, run] : accepted) LogAcceptedRun(undo.Analytes.at(a->Uid), *run, TRunNote{});
        for (auto& [uid, before] : undo.Analytes)
            if (TAnalyte* a = ListAnalytes.Find(uid)) a->RecalcAll();
        WriteData();
    }
}

void TOperations::UndoInboxPass(const TInboxUndo& undo) {
    staged_.clear();
    if (undo.Refreshed) Notify(ckQueue);
    if (!undo.Saved) return;
    Fifo.ClearQueue();
    for (const TResu& r : undo.Queue) Fifo.Push(r);
    for (const auto& [uid, before] : undo.Analytes)
        if (TAnalyte* a = ListAnalytes.Find(uid)) *a = before;
}

void TOperations::PlacedInboxPass(const TInboxUndo& undo, TInboxReport& rep) {
    rep.Queued += undo.Queued;
    rep.Accepted += undo.Accepted;
    rep.Merged += undo.Merged;
    for (const auto& [uid, before] : undo.Analytes) Notify(ckPoints, ListAnalytes.Find(uid));
    if (undo.QueueChanged || undo.Refreshed) Notify(ckQueue);
}
