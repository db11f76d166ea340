// One reading of the inbox: its files read into results, the runs placed, the files moved.
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <map>
#include <set>
#include <span>
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
constexpr const char* EndsInsideAMessage = QT_TRANSLATE_NOOP("Core", "it ends inside a message");
// A result's key, counted within its file: the same result twice in one file (a repeat that gave the
// same value in the same minute) is two results, and a file read again gives the same keys.
uint64_t SeenKey(const TInstrumentResult& r, int occurrence) {
    const std::string n = std::to_string(occurrence);
    return Fnv1a64(std::string_view(n.c_str(), n.size() + 1), ResultKey(r));
}
} // namespace

// ---------------------------------------------------------------- reading the inbox

namespace {
size_t FileBytes(const TInboxFile& f) {
    return static_cast<size_t>(std::max<int64_t>(f.Size, 0));
}

const char* const Cancellation =
    QT_TRANSLATE_NOOP("Core", "The reading of the inbox was cancelled; its files wait for the next reading.");
} // namespace

// One pass of ReadInbox: the files read into units, their results taken, the runs recorded and placed,
// the files moved, each file's outcome in the report.
class TOperations::TInboxPass {
public:
    TInboxPass(TOperations& ops, TInboxReport& rep, const TInboxReadOptions& options)
        : ops_(ops), rep_(rep), options_(options), day_(DayFolderName(Today())),
          mappings_(ops.InboxMappings()),
          mapped_([this](const TInstrumentResult& r) { return IsMapped(mappings_, r); }) {}
    // The waiting files into units of complete messages, until the pass is full; how many files were gone
    // through. Throws EQcError when a source cannot be read.
    size_t ReadFiles(std::span<const TInboxFile> files);
    // The units' results not taken before; false when none was read.
    bool TakeResults();
    // The runs planned, recorded and placed; the files moved where they go. `placing` is told how many
    // of the runs recorded are placed; its first answer, before anything is recorded, may cancel.
    TOutcome Place(const TInboxSettings& settings, const std::function<bool(size_t, size_t, bool)>& placing);
    // Told the bytes of this pass's files read so far, before each file; false cancels the pass.
    std::function<bool(size_t)> Reading;
    bool Cancelled() const { return cancelled_; }
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
    bool Full() const {
        return (options_.MaxFiles > 0 && leaving_ >= options_.MaxFiles) ||
               (options_.MaxResults > 0 && resultsRead_ >= options_.MaxResults);
    }
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
    // Results (QC and patients') in the units read, counted against MaxResults.
    size_t resultsRead_ = 0;
    bool cancelled_ = false;
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

size_t TOperations::TInboxPass::ReadFiles(std::span<const TInboxFile> files) {
    std::map<std::string, TInstrumentSource> sources;
    const int64_t nowNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                              std::chrono::system_clock::now().time_since_epoch())
                              .count();
    size_t i = 0, bytes = 0;
    for (; i < files.size() && !Full() && !cancelled_;) {
        const std::string source = files[i].Source;
        if (!sources.count(source)) sources[source] = ops_.InboxSource(source);
        const TInstrumentSource& reading = sources[source];
        std::optional<TUnit> open; // files that end inside a message, waiting for the rest
        for (; i < files.size() && files[i].Source == source && !Full(); ++i) {
            if (Reading && !Reading(bytes)) {
                cancelled_ = true;
                break;
            }
            ReadFile(files[i], reading, nowNs, open);
            bytes += FileBytes(files[i]);
        }
        if (open) Outcome(TInboxFileOutcome::Waiting, open->Files, TranslatedText(EndsInsideAMessage));
    }
    rep_.More = i < files.size();
    return i;
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
        resultsRead_ += alone.Batch.Results.size() + alone.Batch.Patients.size();
        alone.Bytes = {}; // only a message that waits for its rest needs them
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
            resultsRead_ += joined.Batch.Results.size() + joined.Batch.Patients.size();
            joined.Bytes = {};
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
        TInstrumentResult& r = unit.Batch.Results[i];
        const uint64_t key = keys[i];
        if (before[i] || !seenThisPass_.insert(key).second) {
            ++rep_.Files[outcomeOf_[u]].Repeated;
            continue;
        }
        plan_.Seen.push_back(key);
        results_.push_back(std::move(r));
        origins_.push_back(origin);
        unitOf_.push_back(outcomeOf_[u]);
        ++rep_.Files[outcomeOf_[u]].Results;
    }
    for (size_t k = 0; k < unit.Files.size(); ++k)
        plan_.Files.push_back({unit.Files[k].Source, Utf8ToCp1252(unit.Files[k].Name), unit.Hashes[k],
                               static_cast<int>(unit.Batch.Results.size()), faults_[u]});
    unit.Batch.Results = {}; // taken into results_
    for (const std::string& id : unit.Batch.MessageIds)
        if (!id.empty()) {
            plan_.Messages.push_back({unit.Files.front().Source, id});
            plan_.MessageFiles.push_back(origin);
        }
}

TOutcome TOperations::TInboxPass::Place(const TInboxSettings& settings,
                                        const std::function<bool(size_t, size_t, bool)>& placing) {
    if (placing && !placing(0, 1, true)) {
        cancelled_ = true;
        KeepWaiting();
        return TOutcome::Refuse(Cancellation);
    }
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
    // Recorded in the runs planned: what was read is let go before the runs are placed.
    results_ = {};
    origins_ = {};
    for (const TInboxPlan::TWaiting& w : plan_.Waiting) ++rep_.Files[unitOf_[w.Index]].NotMapped;
    rep_.NotMapped += static_cast<int>(plan_.Waiting.size());
    TOutcome placed;
    if (atOnce) {
        ops_.PlacedInboxPass(undo, rep_);
    } else if (placed = ops_.PlacePendingInboxRuns(&rep_,
                                                   [&](size_t k, size_t n) {
                                                       if (placing) placing(k, n, false);
                                                   });
               !placed.Ok()) {
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
// a procedure whose statistic left its limits with them is said (and journaled). A stream that cannot take
// them leaves the QC results as they were taken.
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
        if (kept.Alarms.empty() || !procedure) continue;
        out.Notes.push_back(
            Fill(QT_TRANSLATE_NOOP("Core", "Patient-based QC alarm for %1 (%2): the statistic "
                                           "left its limits at %3"),
                 a->Name, PqcProcedureName(procedure->Procedure), DateTimeText(kept.Alarms.back())));
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
        if (!options.OnlyName.empty())
            std::erase_if(files, [&](const TInboxFile& f) {
                return f.Source != options.OnlySource || f.Name != options.OnlyName;
            });
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    // An interrupted reading is finished before anything new is read; on a server, what other benches
    // changed is brought in first, so that the runs are planned on what the server holds.
    if (TOutcome placed = PlacePendingInboxRuns(&rep); !placed.Ok()) return finish(placed);
    if (TOutcome polled = PollServer(); !polled.Ok()) return finish(polled);
    // A pass holds what it reads in memory: the files beyond its MaxResults are read by further passes,
    // unless the caller reads so many files at a time and comes back for the rest.
    // The progress told is in bytes of the files, each counted once read and once its pass is placed.
    size_t bytes = 0;
    for (const TInboxFile& f : files) bytes += FileBytes(f);
    const size_t total = std::max<size_t>(2 * bytes, 1);
    size_t done = 0;
    auto tell = [&](size_t at, bool cancellable = true) {
        return !options.Progress || options.Progress(std::min(at, total), total, cancellable);
    };
    TOutcome out;
    for (size_t from = 0;;) {
        const bool storedBefore = rep.Queued + rep.Accepted + rep.NotMapped > 0;
        TInboxPass pass(*this, rep, options);
        pass.Reading = [&](size_t read) { return tell(done + read); };
        size_t passBytes = 0;
        TOutcome placed;
        try {
            const size_t n = pass.ReadFiles(std::span<const TInboxFile>(files).subspan(from));
            for (size_t k = from; k < from + n; ++k) passBytes += FileBytes(files[k]);
            from += n;
            if (pass.Cancelled())
                placed = TOutcome::Refuse(Cancellation);
            else if (pass.TakeResults())
                placed = pass.Place(settings, [&](size_t k, size_t of, bool cancellable) {
                    return tell(done + passBytes + passBytes * k / std::max<size_t>(of, 1), cancellable);
                });
        } catch (const EQcError& e) {
            placed = TOutcome::FromError(e);
        }
        done += 2 * passBytes;
        rep.Cancelled = pass.Cancelled();
        placed.Notes.insert(placed.Notes.begin(), out.Notes.begin(), out.Notes.end());
        // What an earlier pass stored stays stored.
        if (placed.Status == TStatus::Refused && storedBefore) placed.Status = TStatus::Partial;
        out = std::move(placed);
        if (!out.Ok() || !rep.More || options.MaxFiles > 0 || from >= files.size()) {
            if (out.Ok()) tell(total, false);
            return finish(out);
        }
    }
}
