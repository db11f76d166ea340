// Results from the instruments through the operations layer: the inbox read once, the mapping, and
// the order of writes that keeps every result exactly once through a crash at any moment.
//
// A pass: (1) runs recorded by an interrupted pass are placed first; (2) each waiting file is read; a
// file read before (its bytes' fingerprint recorded) goes to processed/ untouched, a file with a fault
// to failed/ with its reason, a file ending inside a message stays; (3) one transaction records the new
// runs as pending, the results "not mapped", the result keys, file fingerprints and message ids; (4)
// the data file (auto-accepted runs) and the queue file are written, and the runs marked placed; (5)
// the files move to processed/. A crash before (3) leaves the files to be read again; between (3) and
// (4) the pending runs are placed at the next start or pass, each checked against the data and queue
// so that it is not added twice; after (4) the recorded fingerprints move the files without adding
// anything.
//
// On a server the bench reads its own inbox folder; mappings, results not mapped and held runs are
// shared by all benches. A pass: (1) each waiting file is read as above, those read before and results
// taken before (on any bench) are known from the server; (2) ONE server transaction plans the runs
// against the shared mapping and held runs, places them (queue rows, analyte rows under their
// versions), records the result keys, fingerprints, message ids, waiting results and placed runs, and
// the journal entries, then commits; (3) the files move to processed/. A crash before the commit leaves
// nothing on the server and the files to be read again; after it, the recorded fingerprints move the
// files without adding anything. Two benches never place one result twice: its key is inserted in the
// same transaction, and a key another bench took meanwhile (waited for, then found) refuses the whole
// transaction, so that the next pass finds it taken.
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
#include "UTexts.h"
#include "UUtilitaires.h"

namespace {
constexpr const char* EndsInsideAMessage = QT_TRANSLATE_NOOP("Core", "it ends inside a message");
// The analyte a held run names, or a stand-in of three levels when there is none yet.
const TAnalyte& AnalyteOfRun(const TResu& run, std::optional<TAnalyte>& standIn) {
    if (const TAnalyte* a = ListAnalytes.FindByName(run.AnalyteName)) return *a;
    standIn.emplace(run.AnalyteName, "", 2, MaxLevels);
    return *standIn;
}

std::string EntryImage(const TResu& run) {
    return QueueImage(std::deque<TResu>{run});
}

TResu EntryOf(std::string_view image) {
    std::vector<TResu> runs = ParseQueueImage(image);
    if (runs.size() != 1) throw EQcError(QT_TRANSLATE_NOOP("Core", "Damaged inbox record in the database"));
    return runs.front();
}

// A result's key, counted within its file: the same result twice in one file (a repeat that gave the
// same value in the same minute) is two results, and a file read again gives the same keys.
uint64_t SeenKey(const TInstrumentResult& r, int occurrence) {
    const std::string n = std::to_string(occurrence);
    return Fnv1a64(std::string_view(n.c_str(), n.size() + 1), ResultKey(r));
}

std::string DateTimeText(TDateTime t) {
    return IsoRegional().DateTimeToText(t);
}

std::string Describe(const TInstrumentResult& r, const std::string& origin) {
    return origin + " line " + std::to_string(r.Line) + ": " + r.TestCode + " " + r.Control +
           (r.Level > 0 ? " level " + std::to_string(r.Level) : "") + " = " + r.ValueText + " at " +
           DateTimeText(r.DateTime) +
           (r.AnalyserLimits.empty() ? "" : " (analyser: " + r.AnalyserLimits + ")");
}

bool SameFolder(const std::string& a, const std::string& b) {
    std::error_code ec1, ec2;
    auto x = std::filesystem::weakly_canonical(a, ec1), y = std::filesystem::weakly_canonical(b, ec2);
    if (ec1 || ec2) return false;
    auto strip = [](std::filesystem::path p) {
        std::string s = p.string();
        while (s.size() > 1 && s.back() == '/') s.pop_back();
        return s;
    };
    return strip(x) == strip(y);
}

// The inbox may hold neither the program folder nor be it: its files would be read as instrument files
// and moved away.
void CheckInboxFolder(const std::string& inbox) {
    std::string program = ProgramFolder;
    while (program.size() > 1 && program.back() == '/') program.pop_back();
    if (SameFolder(inbox, program) ||
        SameFolder(inbox, std::filesystem::path(program).parent_path().string()))
        throw EQcError(
            Fill(QT_TRANSLATE_NOOP(
                     "Core", "The inbox folder %1 cannot be the program folder or the folder holding it"),
                 inbox));
}

} // namespace

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

// ---------------------------------------------------------------- planning runs

// What a pass that places its runs at once changed in memory, put back when its transaction is refused.
struct TOperations::TInboxUndo {
    bool Refreshed = false; // the queue was brought up to the server's: told even when refused
    bool Saved = false;
    std::deque<TResu> Queue;
    std::map<TAnalyteId, TAnalyte> Analytes;
    bool QueueChanged = false;
    int Queued = 0, Accepted = 0, Merged = 0;
};

// The queue as a pass changes it: the queue it found, untouched and not copied, and the pass's
// changes beside it. Runs are looked up by image, but an entry's image is made only when a run of the
// same time is looked for, so that a pass costs what it reads and not what the queue holds.
class TOperations::TPassQueue {
public:
    // The queue from its entry `from` on; it must not change while this lives.
    explicit TPassQueue(const std::deque<TResu>& queue, size_t from = 0)
        : base_(queue), from_(std::min(from, queue.size())), count_(queue.size() - from_) {}
    // An entry: kept (of the queue found), completed or added by the pass.
    struct TEntry {
        size_t At; // in the queue found; beyond it, in the added runs
        const TResu& Run;
        bool New;
    };
    // The entry holding this image; a damaged image is held by none.
    std::optional<size_t> Find(const std::string& image) {
        double time = 0;
        try {
            time = EntryOf(image).DateTime;
        } catch (const EQcError&) {
            return std::nullopt;
        }
        // A few lookups scan the times; more build an index of them.
        if (++lookups_ > 8 && byTime_.empty()) IndexTimes();
        auto matches = [&](size_t at) {
            if (!Live(at) || RunAt(at).DateTime != time) return false;
            std::string& own = images_[at];
            if (own.empty()) own = EntryImage(RunAt(at));
            return own == image;
        };
        if (!byTime_.empty()) {
            auto [first, last] = byTime_.equal_range(time);
            for (auto it = first; it != last; ++it)
                if (matches(it->second)) return it->second;
            return std::nullopt;
        }
        for (size_t at = from_; at < base_.size() + added_.size(); ++at)
            if (matches(at)) return at;
        return std::nullopt;
    }
    void Add(const TResu& run, std::string image) {
        const size_t at = base_.size() + added_.size();
        added_.push_back(run);
        images_[at] = std::move(image);
        if (!byTime_.empty()) byTime_.emplace(run.DateTime, at);
        ++count_;
    }
    void Replace(size_t at, const TResu& run, std::string image) {
        if (at >= base_.size()) {
            added_[at - base_.size()] = run;
        } else {
            replaced_[at] = run;
            Mark(at, kReplaced);
        }
        images_[at] = std::move(image);
        if (!byTime_.empty()) byTime_.emplace(run.DateTime, at);
    }
    void Erase(size_t at) {
        if (at >= base_.size())
            gone_.insert(at);
        else
            Mark(at, kGone);
        --count_;
    }
    size_t Count() const { return count_; }
    // Each live entry in the queue's order.
    template <class F> void ForEach(F&& f) const {
        for (size_t at = from_; at < base_.size() + added_.size(); ++at)
            if (Live(at)) f(TEntry{at, RunAt(at), at >= base_.size() || State(at) == kReplaced});
    }
    // Into the result queue, which must be the queue found from its first entry. Runs only added are
    // pushed after the others; any other change rebuilds the queue. Returns what puts it back.
    std::function<void()> PutInto(TFifo& fifo) const {
        if (state_.empty()) {
            for (const TResu& r : added_) fifo.Push(r);
            return [&fifo, n = added_.size()] {
                for (size_t k = 0; k < n; ++k) fifo.DropLast();
            };
        }
        std::deque<TResu> before = base_, after;
        ForEach([&](const TEntry& e) { after.push_back(e.Run); });
        fifo.ClearQueue();
        for (TResu& r : after) fifo.Push(std::move(r));
        return [&fifo, before = std::move(before)] {
            fifo.ClearQueue();
            for (const TResu& r : before) fifo.Push(r);
        };
    }

private:
    static constexpr uint8_t kKept = 0, kGone = 1, kReplaced = 2;
    bool Live(size_t at) const { return at >= base_.size() ? !gone_.count(at) : State(at) != kGone; }
    uint8_t State(size_t at) const { return state_.empty() ? kKept : state_[at]; }
    void Mark(size_t at, uint8_t state) {
        if (state_.empty()) state_.assign(base_.size(), kKept);
        state_[at] = state;
    }
    const TResu& RunAt(size_t at) const {
        if (at >= base_.size()) return added_[at - base_.size()];
        return State(at) == kReplaced ? replaced_.at(at) : base_[at];
    }
    void IndexTimes() {
        for (size_t at = from_; at < base_.size() + added_.size(); ++at)
            if (Live(at)) byTime_.emplace(RunAt(at).DateTime, at);
    }
    const std::deque<TResu>& base_;
    size_t from_, count_;
    std::deque<TResu> added_;
    std::vector<uint8_t> state_; // of the queue found; empty while nothing of it changed
    std::unordered_map<size_t, TResu> replaced_;
    std::unordered_set<size_t> gone_; // added runs taken away again
    std::unordered_map<size_t, std::string> images_;
    std::unordered_multimap<double, size_t> byTime_;
    size_t lookups_ = 0;
};

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

TOutcome TOperations::PlacePendingInboxRuns(TInboxReport* report) {
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
        for (const TPending& p : pending)
            if (const TAnalyte* a = p.ToData ? ListAnalytes.FindByName(p.Analyte) : nullptr;
                a && analytesBefore.count(a->Uid))
                LogAcceptedRun(analytesBefore.at(a->Uid), p.Run, TRunNote{});
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

// ---------------------------------------------------------------- reading the inbox

// One pass of ReadInbox: the files read into units, their results taken, the runs recorded and placed,
// the files moved, each file's outcome in the report.
class TOperations::TInboxPass {
public:
    TInboxPass(TOperations& ops, TInboxReport& rep, const TInboxReadOptions& options)
        : ops_(ops), rep_(rep), options_(options), day_(DayFolderName(Today())),
          mappings_(ops.InboxMappings()),
          mapped_([this](const TInstrumentResult& r) { return IsMapped(mappings_, r); }) {}
    // The waiting files into units of complete messages; throws EQcError when a source cannot be read.
    void ReadFiles(const std::vector<TInboxFile>& files);
    // The units' results not taken before; false when none was read.
    bool TakeResults();
    // The runs planned, recorded and placed; the files moved where they go.
    TOutcome Place(const TInboxSettings& settings);
    // The files read back to waiting: nothing of them was stored.
    void KeepWaiting() {
        for (size_t u : taken_) rep_.Files[outcomeOf_[u]].Kind = TInboxFileOutcome::Waiting;
    }

private:
    struct TUnit {
        std::vector<TInboxFile> Files;
        std::vector<uint64_t> Hashes;
        std::string Bytes;
        TInstrumentBatch Batch;
    };
    size_t Outcome(TInboxFileOutcome::TKind kind, const std::vector<TInboxFile>& fs,
                   const std::string& detail);
    void MoveProcessed(const std::vector<TInboxFile>& fs, size_t at);
    void Fail(const std::vector<TInboxFile>& fs, const std::string& reason, size_t at = SIZE_MAX);
    std::optional<std::string> Known(const std::string& source, uint64_t hash);
    bool Full() const { return options_.MaxFiles > 0 && leaving_ >= options_.MaxFiles; }
    void ReadFile(const TInboxFile& f, const TInstrumentSource& reading, int64_t nowNs,
                  std::optional<TUnit>& open);
    void TakeUnit(size_t u);
    void MoveFiles();
    void FeedPatientQc(TOutcome& out);

    TOperations& ops_;
    TInboxReport& rep_;
    const TInboxReadOptions& options_;
    const std::string day_;
    // The laboratory's mapping: a mapped result is QC whatever its message says.
    const std::vector<TInboxMapping> mappings_;
    const TQcMapping mapped_;
    std::vector<TUnit> units_;
    std::set<std::pair<std::string, uint64_t>> hashesThisPass_;
    // Files that leave the inbox in this pass, counted against MaxFiles; waiting ones do not count.
    size_t leaving_ = 0;
    std::vector<TInstrumentResult> results_;
    std::vector<std::string> origins_;
    std::vector<size_t> unitOf_, taken_, outcomeOf_;
    std::vector<std::string> faults_;
    TInboxPlan plan_;
    std::unordered_set<uint64_t> seenThisPass_;
};

size_t TOperations::TInboxPass::Outcome(TInboxFileOutcome::TKind kind, const std::vector<TInboxFile>& fs,
                                        const std::string& detail) {
    TInboxFileOutcome o;
    o.Kind = kind;
    o.Source = fs.front().Source;
    for (const TInboxFile& f : fs) o.Name += (o.Name.empty() ? "" : " + ") + Utf8ToCp1252(f.Name);
    o.Detail = detail;
    rep_.Files.push_back(o);
    return rep_.Files.size() - 1;
}

void TOperations::TInboxPass::MoveProcessed(const std::vector<TInboxFile>& fs, size_t at) {
    for (const TInboxFile& f : fs) try {
            rep_.Files[at].MovedTo = MoveToProcessed(f, day_);
        } catch (const EQcError& e) {
            // Recorded as read: the next pass moves it without reading it again.
            rep_.Files[at].Detail = e.what();
        }
}

// To failed/ with the reason. `at` is the file's outcome when some of its results were taken.
void TOperations::TInboxPass::Fail(const std::vector<TInboxFile>& fs, const std::string& reason, size_t at) {
    const bool partly = at != SIZE_MAX;
    if (!partly) at = Outcome(TInboxFileOutcome::Failed, fs, reason);
    // What was left out as patient results stays said beside the faults.
    rep_.Files[at].Detail =
        partly && !rep_.Files[at].Detail.empty() ? reason + "\n" + rep_.Files[at].Detail : reason;
    std::string text;
    for (size_t i = 0; i < fs.size(); ++i) text += (i ? " + " : "") + fs[i].Name;
    // The reason file is UTF-8, and so are the files' names.
    text = Substitute(
        Cp1252ToUtf8(TranslatedText(
            !partly
                ? QT_TRANSLATE_NOOP("Core", "%1 (source %2): nothing of it was taken.")
                : QT_TRANSLATE_NOOP("Core", "%1 (source %2): its other results were taken; the lines below "
                                            "were not. Correct them and drop the file again: what was taken "
                                            "is not taken twice."))),
        {text, Cp1252ToUtf8(fs.front().Source)});
    text += "\n";
    text += Cp1252ToUtf8(reason) + "\n";
    for (const TInboxFile& f : fs) try {
            rep_.Files[at].MovedTo = MoveToFailed(f, text);
        } catch (const EQcError& e) {
            rep_.Files[at].Detail += "\r" + std::string(e.what());
        }
}

// A file read before: the faults of its lines, if it had any. One that gave no result is read again.
std::optional<std::string> TOperations::TInboxPass::Known(const std::string& source, uint64_t hash) {
    return ops_.store_->InboxFileFaults(source, hash);
}

void TOperations::TInboxPass::ReadFiles(const std::vector<TInboxFile>& files) {
    std::map<std::string, TInstrumentSource> sources;
    const int64_t nowNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                              std::chrono::system_clock::now().time_since_epoch())
                              .count();
    for (size_t i = 0; i < files.size() && !Full();) {
        const std::string source = files[i].Source;
        if (!sources.count(source)) sources[source] = ops_.InboxSource(source);
        const TInstrumentSource& reading = sources[source];
        std::optional<TUnit> open; // files that end inside a message, waiting for the rest
        for (; i < files.size() && files[i].Source == source && !Full(); ++i)
            ReadFile(files[i], reading, nowNs, open);
        if (open) Outcome(TInboxFileOutcome::Waiting, open->Files, TranslatedText(EndsInsideAMessage));
    }
}

void TOperations::TInboxPass::ReadFile(const TInboxFile& f, const TInstrumentSource& reading, int64_t nowNs,
                                       std::optional<TUnit>& open) {
    const std::string& source = f.Source;
    const int64_t age = nowNs - f.ModifiedNs;
    // A time far in the future (a writer's clock that is wrong) does not keep a file waiting.
    if (options_.SettleSeconds > 0 && age < int64_t{options_.SettleSeconds} * 1000000000 &&
        age > -int64_t{60} * 1000000000) {
        rep_.Files[Outcome(TInboxFileOutcome::Waiting, {f},
                           TranslatedText(QT_TRANSLATE_NOOP("Core", "it is being written")))]
            .Settling = true;
        return;
    }
    ++leaving_; // unless it waits
    if (f.Size > MaxInboxFileSize) {
        Fail({f}, Fill(QT_TRANSLATE_NOOP("Core", "The file is larger than %1 MB: no instrument file is."),
                       std::to_string(MaxInboxFileSize / 1048576)));
        return;
    }
    std::string bytes;
    try {
        bytes = ReadWholeFileNoLink(f.Path);
    } catch (const EQcError& e) {
        Outcome(TInboxFileOutcome::Waiting, {f}, e.what());
        --leaving_;
        return;
    }
    const uint64_t hash = Fnv1a64(bytes);
    if (hashesThisPass_.count({source, hash})) {
        MoveProcessed({f}, Outcome(TInboxFileOutcome::ReadBefore, {f}, ""));
        return;
    }
    if (std::optional<std::string> faults = Known(source, hash)) {
        // Read before a crash kept it from being moved: it goes where it was to go.
        size_t at = Outcome(TInboxFileOutcome::ReadBefore, {f}, "");
        if (faults->empty())
            MoveProcessed({f}, at);
        else
            Fail({f}, *faults, at);
        return;
    }
    hashesThisPass_.insert({source, hash});
    // 0: read, 1: ends inside a message, 2: a fault.
    auto read = [&](const std::string& b, TInstrumentBatch& batch) -> int {
        try {
            batch = ReadInstrumentFile(b, reading, mapped_);
            return 0;
        } catch (const ETruncatedFile&) {
            return 1;
        }
    };
    TUnit alone{{f}, {hash}, bytes, {}};
    std::string why;
    int state = 2;
    try {
        state = read(bytes, alone.Batch);
    } catch (const EQcError& e) {
        why = e.what();
    }
    if (state == 0) {
        units_.push_back(std::move(alone));
        return;
    }
    if (state == 1) {
        // A new message that is not complete yet; an earlier incomplete one keeps waiting.
        if (open) Outcome(TInboxFileOutcome::Waiting, open->Files, TranslatedText(EndsInsideAMessage));
        open = std::move(alone);
        --leaving_;
        return;
    }
    if (open) {
        // Perhaps the rest of the waiting message.
        TUnit joined = *open;
        joined.Files.push_back(f);
        joined.Hashes.push_back(hash);
        joined.Bytes += bytes;
        int joinedState = 2;
        try {
            joinedState = read(joined.Bytes, joined.Batch);
        } catch (const EQcError&) {
        }
        if (joinedState == 0) {
            leaving_ += joined.Files.size() - 1; // the parts that waited leave with it
            units_.push_back(std::move(joined));
            open.reset();
            return;
        }
        if (joinedState == 1) {
            open = std::move(joined);
            --leaving_;
            return;
        }
    }
    Fail({f}, why);
}

// A line with a fault gives no result; the file's other results are taken, and it goes to failed/ with
// the lines named, so that the corrected file can be dropped again.
bool TOperations::TInboxPass::TakeResults() {
    outcomeOf_.resize(units_.size());
    faults_.resize(units_.size());
    try {
        for (size_t u = 0; u < units_.size(); ++u) TakeUnit(u);
    } catch (const EQcError&) {
        KeepWaiting();
        throw;
    }
    return !taken_.empty();
}

void TOperations::TInboxPass::TakeUnit(size_t u) {
    TUnit& unit = units_[u];
    const size_t shown = std::min<size_t>(unit.Batch.Faults.size(), 50);
    for (size_t k = 0; k < shown; ++k) faults_[u] += (k ? "\n" : "") + FaultText(unit.Batch.Faults[k]);
    if (unit.Batch.Faults.size() > shown)
        faults_[u] += "\n" + std::to_string(unit.Batch.Faults.size() - shown) + " more faults";
    outcomeOf_[u] = Outcome(TInboxFileOutcome::Read, unit.Files, SkippedText(unit.Batch));
    taken_.push_back(u);
    std::map<uint64_t, int> occurrences;
    const std::string origin = rep_.Files[outcomeOf_[u]].Name;
    std::vector<uint64_t> keys;
    for (const TInstrumentResult& r : unit.Batch.Results)
        keys.push_back(SeenKey(r, occurrences[ResultKey(r)]++));
    // Taken before, here or (on a server) on any bench.
    const std::vector<bool> before = ops_.store_->InboxSeen(keys);
    for (size_t i = 0; i < keys.size(); ++i) {
        const TInstrumentResult& r = unit.Batch.Results[i];
        const uint64_t key = keys[i];
        if (before[i] || !seenThisPass_.insert(key).second) {
            ++rep_.Files[outcomeOf_[u]].Repeated;
            continue;
        }
        plan_.Seen.push_back(key);
        results_.push_back(r);
        origins_.push_back(origin);
        unitOf_.push_back(outcomeOf_[u]);
        ++rep_.Files[outcomeOf_[u]].Results;
    }
    for (size_t k = 0; k < unit.Files.size(); ++k)
        plan_.Files.push_back({unit.Files[k].Source, Utf8ToCp1252(unit.Files[k].Name), unit.Hashes[k],
                               static_cast<int>(unit.Batch.Results.size()), faults_[u]});
    for (const std::string& id : unit.Batch.MessageIds)
        if (!id.empty()) {
            plan_.Messages.push_back({unit.Files.front().Source, id});
            plan_.MessageFiles.push_back(origin);
        }
}

TOutcome TOperations::TInboxPass::Place(const TInboxSettings& settings) {
    TStore& store = *ops_.store_;
    const bool atOnce = store.PlacesInboxRunsAtOnce();
    TInboxUndo undo;
    try {
        store.InboxTransaction("inbox", [&] {
            ops_.LockInbox(undo);
            ops_.PlanInboxRuns(plan_, results_, origins_, settings);
            if (atOnce) ops_.PlaceInboxPlan(plan_, undo);
            store.RecordInboxPlan(plan_);
        });
    } catch (const EQcError& e) {
        // Nothing was recorded: the files stay and are read again.
        ops_.UndoInboxPass(undo);
        KeepWaiting();
        return TOutcome::FromError(e);
    }
    for (const TInboxPlan::TWaiting& w : plan_.Waiting) ++rep_.Files[unitOf_[w.Index]].NotMapped;
    rep_.NotMapped += static_cast<int>(plan_.Waiting.size());
    TOutcome placed;
    if (atOnce) {
        ops_.PlacedInboxPass(undo, rep_);
    } else if (placed = ops_.PlacePendingInboxRuns(&rep_); !placed.Ok()) {
        // Recorded: the runs are placed, and the files moved, at the next reading.
        placed.Status = TStatus::Partial;
        KeepWaiting();
        return placed;
    }
    MoveFiles();
    FeedPatientQc(placed);
    return placed;
}

// The patients' results of the files taken into the patient-QC streams of their (source, test code);
// a procedure whose statistic left its limits with them is said. A stream that cannot take them leaves
// the QC results as they were taken.
void TOperations::TInboxPass::FeedPatientQc(TOutcome& out) {
    std::map<std::pair<std::string, std::string>, std::vector<TPatientReading>> streams;
    for (size_t u : taken_)
        for (const TPatientObservation& p : units_[u].Batch.Patients)
            streams[{units_[u].Files.front().Source, p.TestCode}].push_back(p.Reading);
    for (const auto& [key, readings] : streams) {
        const std::optional<std::string> name = ops_.PatientResultsAnalyte(key.first, key.second);
        const TAnalyte* a = name ? ListAnalytes.FindByName(*name) : nullptr;
        if (!a) continue;
        TPqcRecordReport kept;
        if (TOutcome fed = ops_.RecordPatientResults(key.first, key.second, readings, &kept); !fed.Ok()) {
            if (out.Ok()) out.Status = TStatus::Partial;
            out.Notes.push_back(
                Fill(QT_TRANSLATE_NOOP("Core", "The patient results of %1 %2 were not kept: %3"), key.first,
                     key.second, fed.Message));
            continue;
        }
        rep_.PatientResults += kept.Added;
        const std::optional<TPqcSettings> procedure = ops_.PatientQcProcedure(*a);
        if (kept.Added == 0 || !procedure) continue;
        TDateTime first = readings.front().Time;
        for (const TPatientReading& r : readings) first = std::min(first, r.Time);
        const TPqcRun run = RunPqc(*procedure, ops_.PatientStream(*a));
        const auto alarm =
            std::find_if(run.Alarms.rbegin(), run.Alarms.rend(), [&](TDateTime t) { return t >= first; });
        if (alarm != run.Alarms.rend())
            out.Notes.push_back(
                Fill(QT_TRANSLATE_NOOP("Core", "Patient-based QC alarm for %1 (%2): the statistic "
                                               "left its limits at %3"),
                     a->Name, PqcProcedureName(procedure->Procedure), DateTimeText(*alarm)));
    }
}

void TOperations::TInboxPass::MoveFiles() {
    for (size_t u : taken_)
        if (faults_[u].empty())
            MoveProcessed(units_[u].Files, outcomeOf_[u]);
        else {
            rep_.Files[outcomeOf_[u]].Kind = TInboxFileOutcome::Failed;
            Fail(units_[u].Files, faults_[u], outcomeOf_[u]);
        }
}

TOutcome TOperations::ReadInbox(TInboxReport* report, const TInboxReadOptions& options) {
    TInboxReport rep;
    auto finish = [&](TOutcome out) {
        if (report) *report = rep;
        return out;
    };
    if (!open_ || mode_ == TOpenMode::Reader)
        return TOutcome::Refuse(QT_TRANSLATE_NOOP(
            "Core", "The inbox is read by the program or a writing command, not by a reading one"));
    if (!store_->InboxRecordsOpen())
        return TOutcome::Refuse(Fill(QT_TRANSLATE_NOOP("Core", "The inbox needs the database %1%2"),
                                     ProgramFolder, TDatabase::FileName));
    const TInboxSettings settings = InboxSettings();
    const std::string folder = options.Folder.empty() ? settings.Folder : options.Folder;
    if (folder.empty())
        return TOutcome::Refuse(QT_TRANSLATE_NOOP(
            "Core", "No inbox folder is set: choose one in Configuration > Inbox (or give --inbox DIR)"));
    std::vector<TInboxFile> files;
    try {
        CheckInboxFolder(folder);
        files = ListInboxFiles(folder);
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    // An interrupted reading is finished before anything new is read; on a server, what other benches
    // changed is brought in first, so that the runs are planned on what the server holds.
    if (TOutcome placed = PlacePendingInboxRuns(&rep); !placed.Ok()) return finish(placed);
    if (TOutcome polled = PollServer(); !polled.Ok()) return finish(polled);
    TInboxPass pass(*this, rep, options);
    try {
        pass.ReadFiles(files);
        if (!pass.TakeResults()) return finish({});
    } catch (const EQcError& e) {
        return finish(TOutcome::FromError(e));
    }
    return finish(pass.Place(settings));
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
