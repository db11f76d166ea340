// The operations layer: each change made in memory, written, and undone in memory when the write fails.
#include "UOperations.h"
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

TOperations& Operations() {
    static TOperations layer;
    return layer;
}

namespace {
std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

std::string FileNameOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string HashText(XXH128_hash_t h) {
    char text[33];
    std::snprintf(text, sizeof text, "%016llx%016llx", static_cast<unsigned long long>(h.high64),
                  static_cast<unsigned long long>(h.low64));
    return text;
}

std::string HashText(std::string_view bytes) {
    return HashText(XXH3_128bits(bytes.data(), bytes.size()));
}

// The hash of bytes that come in pieces: the same as that of the whole.
class TPieceHash {
public:
    TPieceHash() : state_(XXH3_createState()) {
        if (!state_) throw std::bad_alloc();
        XXH3_128bits_reset(state_.get());
    }
    void Update(std::string_view piece) { XXH3_128bits_update(state_.get(), piece.data(), piece.size()); }
    std::string Text() const { return HashText(XXH3_128bits_digest(state_.get())); }

private:
    struct TFree {
        void operator()(XXH3_state_t* s) const { XXH3_freeState(s); }
    };
    std::unique_ptr<XXH3_state_t, TFree> state_;
};

} // namespace

// A recall whose queue write was lost after the data file took the run finds it so, and does not add
// it twice; so does the inbox placing a run a second time after a crash.
bool HoldsRun(const TAnalyte& a, const TResu& run) {
    int i = a.FindInsertIndex(run.DateTime);
    for (int k = i - 1; k >= 0; --k) {
        const ControlPoint& p = a.Points[static_cast<size_t>(k)];
        if (p.DateTime != run.DateTime) break;
        bool same = p.Operator.View() == std::string_view(run.Operator).substr(0, 4);
        for (int l = 0; l < MaxLevels && same; ++l) {
            const LevelValue &x = p.Levels[l], &y = run.Levels[l];
            same = (x.State == psEmpty) == (y.State == psEmpty) && (x.State == psEmpty || x.Value == y.Value);
        }
        if (same) return true;
    }
    return false;
}

namespace {

int64_t RunsIn(const TListAnalytes& list) {
    int64_t n = 0;
    for (const auto& a : list.Items) n += a->Count();
    return n;
}

// The runs of a data file image, -1 when it is not one.
int64_t RunsInFile(const std::string& path) {
    if (!FileExists(path)) return -1;
    try {
        TListSerum serum;
        TListAnalytes analytes;
        ParseDataImage(ReadWholeFile(path), serum, analytes);
        return RunsIn(analytes);
    } catch (const EQcError&) {
        return -1;
    }
}

// For the journal, which stays English.
std::string RunsText(int64_t n) {
    return std::to_string(n) + (n == 1 ? " run" : " runs");
}

// For messages, in the user's language.
std::string ShownRunsText(int64_t n) {
    return Fill(n == 1 ? QT_TRANSLATE_NOOP("Core", "%1 run") : QT_TRANSLATE_NOOP("Core", "%1 runs"),
                std::to_string(n));
}
} // namespace

TOperations::TOperations() : store_(std::make_unique<TFolderStore>(*this)) {}
TOperations::~TOperations() = default;

// ---------------------------------------------------------------- folder

void TOperations::ClearState() {
    databaseRefused_ = false;
    databaseError_.clear();
    recallOpen_ = false;
    ListAnalytes.Clear();
    ListSerum.Clear();
    Fifo.ClearQueue();
    Operators.clear();
    DefaultSettings();
    current_ = 0;
    currentIndex_ = -1;
    unkeptDataFile_.clear();
    dataHash_.clear();
    staged_.clear();
    journalUnfinished_ = false;
}

bool TOperations::LoadSettingsReporting(TOpenReport& report) {
    const std::string path = SettingsFileName();
    Operators.clear();
    DefaultSettings();
    FirstRun = !FileExists(path);
    if (FirstRun) return true;
    TSettings s;
    std::vector<std::string> ops;
    bool ok = false;
    std::string bytes;
    try {
        bytes = ReadWholeFile(path);
    } catch (const EQcError& e) {
        // A read error says nothing of the file: it stays as it is, and the folder is not used.
        report.Message = e.what();
        return false;
    }
    try {
        ok = ParseSettingsImage(bytes, s, ops);
    } catch (const EQcError&) {
    }
    if (ok) {
        Settings = s;
        Settings.Signature = ProgramSignature;
        for (const std::string& op : ops) AddOperator(op);
        return true;
    }
    // Not a first run: the laboratory has used this folder. The damaged file is kept and replaced by
    // the defaults at the next change of the settings.
    if (mode_ == TOpenMode::Reader) return true;
    std::string kept = KeepUnreadableFile(path);
    report.Notes.push_back(Fill(
        QT_TRANSLATE_NOOP("Core", "%1.\rThe password, the operators and the backup folder were lost: "
                                  "set them again in the Configuration menu."),
        kept.empty()
            ? Fill(QT_TRANSLATE_NOOP("Core", "The damaged settings file %1 could not be kept aside"), path)
            : Fill(QT_TRANSLATE_NOOP("Core", "The damaged settings file was kept as %1"), kept)));
    return true;
}

bool TOperations::LoadQueue(TOpenReport& report) {
    Fifo.ClearQueue();
    const std::string path = QueueFileName();
    if (!FileExists(path)) return true;
    std::string bytes;
    try {
        bytes = ReadWholeFile(path);
    } catch (const EQcError& e) {
        report.Message = e.what();
        return false;
    }
    try {
        for (TResu& e : ParseQueueImage(bytes)) Fifo.Push(std::move(e));
        return true;
    } catch (const EQcError&) {
        Fifo.ClearQueue();
    }
    if (mode_ == TOpenMode::Reader) return true;
    // The held runs are not lost with the queue: the damaged file is kept for the laboratory.
    std::string kept = KeepUnreadableFile(path);
    report.Notes.push_back(
        kept.empty()
            ? Fill(QT_TRANSLATE_NOOP("Core", "The damaged queue file %1 could not be kept aside."), path)
            : Fill(QT_TRANSLATE_NOOP("Core", "The damaged queue file was kept as %1"), kept));
    return true;
}

bool TOperations::LoadData(TOpenReport& report) {
    const std::string path = DataFileName();
    if (!FileExists(path)) {
        if (FirstRun) {
            report.FirstRun = true;
            return true;
        }
        report.DataMissing = true;
        if (mode_ != TOpenMode::Program) {
            report.Message = Fill(QT_TRANSLATE_NOOP("Core", "Cannot read data: %1 is missing"), path);
            return false;
        }
        report.DataUnreadable = true;
        return true;
    }
    try {
        // Hashed as it is read, for the check against the hash recorded at the last write.
        TPieceHash hash;
        ReadDataFile(path, [&hash](std::string_view piece) { hash.Update(piece); });
        dataHash_ = hash.Text();
        return true;
    } catch (const EUnreadable& e) {
        // Not read, so not known to be damaged: refused, and nothing is kept aside.
        report.Message = Fill(QT_TRANSLATE_NOOP("Core", "Cannot read data: %1"), e.what());
        return false;
    } catch (const EQcError& e) {
        if (mode_ != TOpenMode::Program) {
            // A companion refuses rather than keeping the file aside, so that nothing on disk changes.
            report.Message = Fill(QT_TRANSLATE_NOOP("Core", "Cannot read data: %1"), e.what());
            return false;
        }
    }
    ListAnalytes.Clear();
    ListSerum.Clear();
    // "Cannot read data" is for a folder in use; a first run starts with the sample data.
    report.DataUnreadable = !FirstRun;
    report.FirstRun = FirstRun;
    // Keep the laboratory's history before anything can write over it.
    std::string kept = KeepUnreadableFile(path);
    if (kept.empty()) {
        unkeptDataFile_ = path;
        report.Notes.push_back(Fill(
            QT_TRANSLATE_NOOP(
                "Core", "The unreadable data file %1 could not be kept aside; it will not be overwritten."),
            path));
    } else {
        report.Notes.push_back(
            Fill(QT_TRANSLATE_NOOP("Core", "The unreadable data file was kept as %1"), kept));
    }
    return true;
}

TOpenReport TOperations::Open(const std::string& folder, TOpenMode mode, const TOpenOptions& options) {
    Close();
    if (!options.Server.empty()) return OpenServer(folder, mode, options);
    TOpenReport report;
    mode_ = mode;
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        if (mode == TOpenMode::Reader || !options.CreateFolder) {
            report.FolderMissing = true;
            report.Message =
                Fill(QT_TRANSLATE_NOOP("Core", "The folder %1 does not exist"), WithSlash(folder));
            return report;
        }
        std::filesystem::create_directories(folder, ec);
        if (ec) {
            report.Message = Fill(QT_TRANSLATE_NOOP("Core", "Cannot create the folder %1: %2"),
                                  WithSlash(folder), ec.message());
            return report;
        }
    }
    SetProgramFolder(folder);
    ClearState();
    if (mode != TOpenMode::Reader) {
        std::string error;
        bool locked = lock_.Acquire(ProgramFolder, error);
        // A companion reading the inbox holds the lock for a moment at a time: worth waiting for.
        for (int waited = 0; !locked && lock_.HeldElsewhere() && waited < options.WaitForLockMs;
             waited += 100) {
            ::usleep(100000);
            locked = lock_.Acquire(ProgramFolder, error);
        }
        if (!locked) {
            report.LockedElsewhere = lock_.HeldElsewhere();
            report.Message = error;
            return report;
        }
        RemoveLeftoverTemporaryFiles(ProgramFolder);
    }
    Randomize();
    // The data first: a companion refused for its data changes nothing in the folder. A file that
    // cannot be read is refused before anything is written.
    if (!LoadSettingsReporting(report) || !LoadData(report)) {
        Close();
        return report;
    }
    if (!LoadQueue(report)) {
        Close();
        return report;
    }
    try {
        // A companion makes the database at its first write, so that a refused command leaves nothing.
        if (mode != TOpenMode::Reader)
            db_.Open(ProgramFolder + TDatabase::FileName, mode == TOpenMode::Program);
        else if (options.ReadDatabase)
            db_.OpenReadOnly(ProgramFolder + TDatabase::FileName);
        if (!db_.KeptAs().empty())
            report.Notes.push_back(
                Fill(QT_TRANSLATE_NOOP("Core", "The damaged database was kept as %1; a new one was started."),
                     db_.KeptAs()));
    } catch (const EQcError& e) {
        // The legacy files work without it; what only the database holds is not available then.
        db_.Close();
        databaseRefused_ = true;
        databaseError_ = e.what();
        report.Notes.push_back(e.what());
    }
    open_ = true;
    if (report.FirstRun && options.SampleOnFirstRun) {
        BuildSampleData();
        // A first start leaves the folder as complete as any later one.
        if (mode != TOpenMode::Reader) try {
                WriteData();
                WriteQueue();
                WriteSettings();
            } catch (const EQcError& e) {
                report.Notes.push_back(Fill(QT_TRANSLATE_NOOP("Core", "Cannot save data\r%1"), e.what()));
            }
    }
    if (mode != TOpenMode::Reader) {
        CheckFileState(report);
        // Entries left pending by a crash are settled by the files before anything else is written.
        ReconcileJournal(report);
        RecoverPointsInEdit(report);
        SettleRecall(report);
        RecoverInbox(report);
        if (mode == TOpenMode::Program) {
            StartJournal();
            TJournalCheck check = CheckJournalAdded();
            if (!check.Whole)
                report.Notes.push_back(
                    Fill(QT_TRANSLATE_NOOP("Core", "%1. The journal was changed outside Varnholt or damaged; "
                                                   "it is kept as it is and goes on."),
                         check.Message));
        }
    }
    if (ListAnalytes.Count() > 0) SetCurrent(&ListAnalytes[0]);
    report.Opened = true;
    return report;
}

void TOperations::Close() {
    if (open_) Notify(ckEverything);
    open_ = false;
    db_.Close();
    store_ = std::make_unique<TFolderStore>(*this);
    server_ = nullptr;
    pendingArchives_.clear();
    ClearState();
    // The folder is free for the next program only once everything is written.
    lock_.Release();
}

// ---------------------------------------------------------------- notification

int TOperations::Subscribe(TChangeListener listener) {
    listeners_.push_back({nextListener_, std::move(listener)});
    return nextListener_++;
}

void TOperations::Unsubscribe(int id) {
    std::erase_if(listeners_, [id](const TListener& l) { return l.Id == id; });
}

void TOperations::Notify(unsigned kinds, const TAnalyte* a) {
    TChange change{kinds, a ? a->Uid : 0};
    // A listener may subscribe or leave while being told.
    std::vector<TListener> now = listeners_;
    for (const TListener& l : now) l.Call(change);
}

// ---------------------------------------------------------------- current analyte

TAnalyte* TOperations::Current() const {
    if (current_ == 0) return nullptr;
    const auto& items = ListAnalytes.Items;
    if (currentIndex_ >= 0 && currentIndex_ < static_cast<int>(items.size()) &&
        items[static_cast<size_t>(currentIndex_)]->Uid == current_)
        return items[static_cast<size_t>(currentIndex_)].get();
    currentIndex_ = ListAnalytes.IndexOf(current_);
    return currentIndex_ < 0 ? nullptr : items[static_cast<size_t>(currentIndex_)].get();
}

void TOperations::SetCurrent(const TAnalyte* a) {
    TAnalyteId uid = a ? a->Uid : 0;
    if (uid == current_) return;
    current_ = uid;
    currentIndex_ = -1;
    Notify(ckCurrent, a);
}

// ---------------------------------------------------------------- writing

void TOperations::EnsureDatabase() {
    store_->OpenRecords();
}

void TOperations::RecordFileState(const std::string& name, int64_t size, const std::string& hash) {
    EnsureDatabase();
    if (!db_.IsOpen()) return;
    // Recorded before the file is written, with the hash it replaces: a crash in between leaves a file
    // that matches the previous hash, which is no cause for alarm.
    // The hash it replaces is the one of the file on disk as this process read or wrote it, so that
    // writes killed one after another still name the file that is there.
    TStatement st = db_.Prepare(
        "INSERT INTO file_state(name, size, hash, written_utc) VALUES(?1, ?2, ?3, ?4) "
        "ON CONFLICT(name) DO UPDATE SET size = ?2, "
        "hash = ?3 || ' ' || (CASE WHEN ?5 <> '' THEN ?5 ELSE substr(hash, 1, 32) END), written_utc = ?4");
    st.Bind(1, name).Bind(2, size).Bind(3, hash).Bind(4, UtcTimeText()).Bind(5, dataHash_);
    st.Step();
}

void TOperations::CheckFileState(TOpenReport& report) {
    if (!db_.IsOpen()) return;
    const std::string name = FileNameOf(DataFileName());
    TStatement st = db_.Prepare("SELECT hash FROM file_state WHERE name = ?");
    st.Bind(1, name);
    if (!st.Step() || !FileExists(DataFileName())) return;
    std::string known = st.Text(0);
    // Hashed as it was read when this process read it; else read now.
    std::string now = dataHash_;
    if (now.empty()) {
        try {
            now = HashText(ReadWholeFile(DataFileName()));
        } catch (const EQcError&) {
            return;
        }
    }
    if (known.find(now) == std::string::npos)
        report.Notes.push_back(
            Fill(QT_TRANSLATE_NOOP("Core",
                                   "The data file %1 is not the one Varnholt last wrote: it was changed "
                                   "outside Varnholt, or damaged. Check its contents, or restore a backup."),
                 DataFileName()));
}

void TOperations::WriteData() {
    WriteData(nullptr);
}

void TOperations::WriteData(const TAnalyte* only) {
    store_->SaveData(only);
}

void TOperations::WriteQueue() {
    if (mode_ == TOpenMode::Reader) {
        staged_.clear();
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Cannot write %1"), QueueFileName()));
    }
    store_->SaveQueue();
}

void TOperations::WriteSettings() {
    if (mode_ == TOpenMode::Reader) {
        staged_.clear();
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Cannot write %1"), SettingsFileName()));
    }
    store_->SaveSettings();
}

TOutcome TOperations::SaveData(const TAnalyte* only, const std::function<void()>& undo) {
    try {
        WriteData(only);
    } catch (const EQcError& e) {
        if (undo) undo();
        TOutcome out = TOutcome::FromError(e);
        out.Message = Fill(QT_TRANSLATE_NOOP("Core", "Cannot save data\r%1"), e.what());
        return out;
    }
    return {};
}

// ---------------------------------------------------------------- the folder store

std::string TFolderStore::Where() const {
    return ProgramFolder;
}

void TFolderStore::OpenRecords() {
    TOperations& o = ops_;
    if (o.db_.IsOpen() || o.mode_ != TOpenMode::Writer || o.databaseRefused_) return;
    try {
        o.db_.Open(ProgramFolder + TDatabase::FileName);
    } catch (const EQcError& e) {
        // Said once at the start of a program; changes that need the journal are refused.
        o.databaseRefused_ = true;
        o.databaseError_ = e.what();
        return;
    }
    o.StartJournal();
}

void TFolderStore::SaveData(const TAnalyte*) {
    TOperations& o = ops_;
    const std::string path = DataFileName();
    if (o.mode_ == TOpenMode::Reader) {
        o.staged_.clear();
        throw EQcError(
            Fill(QT_TRANSLATE_NOOP("Core", "Cannot write %1: the folder is open for reading"), path));
    }
    if (!o.unkeptDataFile_.empty() && path == o.unkeptDataFile_) {
        o.staged_.clear();
        throw EQcError(Fill(QT_TRANSLATE_NOOP(
                                "Core", "Cannot write %1: the unreadable data file could not be kept aside"),
                            path),
                       path, "the unreadable data file could not be kept aside");
    }
    // Written and hashed in pieces from one reused buffer: a save costs its bytes, never the page
    // faults of a new image as large as the file.
    // The hash outlives the writer, whose thread may still hand it bytes until it is stopped.
    TPieceHash hash;
    std::optional<TAtomicWriter> file;
    try {
        file.emplace(path);
        // Hashed as the writer writes, on its thread for a large file.
        file->Observe([&hash](std::string_view piece) { hash.Update(piece); });
        WriteDataImage(ListSerum, ListAnalytes, [&](std::string_view piece) { file->Write(piece); });
        // The file's sync and the journal's go to the disk together; the rename waits for both.
        // Every byte is hashed once it returns.
        file->StartSync();
    } catch (const EUnwritable& e) {
        o.staged_.clear();
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Cannot write %1: %2"), path, e.what()), path,
                       e.what());
    } catch (...) {
        o.staged_.clear();
        throw;
    }
    const std::string written = hash.Text();
    const auto size = static_cast<int64_t>(file->Size());
    // The journal's entries and the file's record are stored before the new file takes the old one's
    // place.
    o.WriteJournaled(
        path, written, [&] { file->Commit(); }, [&] { o.RecordFileState(FileNameOf(path), size, written); });
    o.dataHash_ = written;
}

void TFolderStore::SaveQueue() {
    // The file's reader takes no more than this: a longer queue would be read as damaged.
    if (Fifo.Entries().size() > MaxQueueEntries) {
        ops_.staged_.clear();
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Cannot write %1: the queue holds at most %2 runs"),
                            QueueFileName(), std::to_string(MaxQueueEntries)));
    }
    ops_.WriteJournaled(QueueFileName(), QueueImage(Fifo.Entries()));
}

void TFolderStore::SaveSettings() {
    // The settings hold the password: no access for others.
    ops_.WriteJournaled(SettingsFileName(), SettingsImage(Settings, Operators), {.NoOthers = true});
}

int32_t TFolderStore::ArchiveLevelFirst(TAnalyte& a, int level) {
    TOperations& o = ops_;
    // No archive is written for a change that could not be journaled.
    o.EnsureDatabase();
    if (!o.db_.IsOpen())
        throw EQcError(Fill(
            QT_TRANSLATE_NOOP("Core", "Cannot write %1: the journal could not be written: %2"), ProgramFolder,
            o.databaseError_.empty() ? TranslatedText(QT_TRANSLATE_NOOP("Core", "The database is not open"))
                                     : o.databaseError_));
    return ArchiveLevel(a, level);
}

std::string TFolderStore::ArchiveBytes(int32_t number) const {
    return ReadWholeFile(ArchiveFileName(number));
}

TArchiveFile TFolderStore::ReadArchive(int32_t number, TArchiveParts parts) const {
    return ReadArchiveFile(ArchiveFileName(number), parts);
}

std::map<int32_t, std::string> TFolderStore::Archives() const {
    std::map<int32_t, std::string> out;
    for (const auto& a : ListAnalytes.Items)
        for (int32_t n : a->ArchiveNumbers) out.emplace(n, ArchiveBytes(n));
    return out;
}

void TFolderStore::DropArchives(const std::vector<int32_t>& numbers) {
    for (int32_t n : numbers) ::unlink(ArchiveFileName(n).c_str());
}

std::vector<int32_t> TFolderStore::RemoveArchives(const std::vector<int32_t>& numbers,
                                                  std::vector<EQcError>& failures) {
    std::vector<int32_t> stayed;
    for (int32_t n : numbers) {
        const std::string path = ArchiveFileName(n);
        if (std::remove(path.c_str()) != 0 && errno != ENOENT) {
            const int err = errno;
            failures.emplace_back(
                Fill(QT_TRANSLATE_NOOP("Core", "Cannot delete %1: %2"), path, std::strerror(err)), path,
                std::strerror(err));
            stayed.push_back(n);
        }
    }
    return stayed;
}

namespace {
constexpr const char* NoAccounts =
    QT_TRANSLATE_NOOP("Core", "Operator accounts are kept on a server; this folder has none");
}

void TFolderStore::SetAccount(const TAccount&, const std::string&) {
    throw EQcError(TranslatedText(NoAccounts));
}

void TFolderStore::RemoveAccount(const std::string&) {
    throw EQcError(TranslatedText(NoAccounts));
}

// ---------------------------------------------------------------- runs

namespace {
// The earliest date of a run: 1 January 1900. Before 30 December 1899 the stored number no longer grows
// with the time of day, so the points of such days would not sort in time.
constexpr TDateTime EarliestRunDate = 2;
const char* const EarlyRunText = QT_TRANSLATE_NOOP("Core", "Runs before 1 January 1900 cannot be stored");
} // namespace

TOutcome TOperations::AcceptRun(TAnalyte& a, const TResu& run, int* index, const TRunNote& note) {
    if (!(run.DateTime >= EarliestRunDate)) return TOutcome::Refuse(EarlyRunText);
    try {
        CheckReviews(a, {run.DateTime}, note.Reason);
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    LogAcceptedRun(a, run, note);
    TAnalyte before = a;
    int i = a.AddPoint(run);
    a.RecalcAll();
    if (TOutcome unsaved = SaveData(&a, [&] { a = std::move(before); }); !unsaved.Ok()) return unsaved;
    if (index) *index = i;
    Notify(ckPoints, &a);
    return {};
}

namespace {
// The analyte a held run names, or a stand-in of three levels when there is none yet.
const TAnalyte& AnalyteOfRun(const TResu& run, std::optional<TAnalyte>& standIn) {
    if (const TAnalyte* a = ListAnalytes.FindByName(run.AnalyteName)) return *a;
    standIn.emplace(run.AnalyteName, "", 2, MaxLevels);
    return *standIn;
}
} // namespace

TOutcome TOperations::HoldRun(const TResu& run) {
    if (!(run.DateTime >= EarliestRunDate)) return TOutcome::Refuse(EarlyRunText);
    std::optional<TAnalyte> standIn;
    const TAnalyte& qa = AnalyteOfRun(run, standIn);
    Log(jk::RunHeld, &qa, 0, run.DateTime, "", RunText(qa, run.Levels, Trim(run.Operator), run.Comment), "",
        run.Operator);
    Fifo.Push(run);
    try {
        WriteQueue();
    } catch (const EQcError& e) {
        Fifo.DropLast();
        TOutcome out = TOutcome::FromError(e);
        out.Message = Fill(QT_TRANSLATE_NOOP("Core", "Unable to save fifo\r%1"), e.what());
        return out;
    }
    Notify(ckQueue);
    return {};
}

TOutcome TOperations::RecallRun(TAnalyte*& analyte, TResu& run) {
    analyte = nullptr;
    if (Fifo.Count() == 0) return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "Nothing hold in the queue"));
    run = Fifo.Entries().front();
    TAnalyte* a = ListAnalytes.FindByName(run.AnalyteName);
    bool created = false;
    std::optional<TAnalyte> before;
    if (!a) {
        a = &ListAnalytes.Add(std::make_unique<TAnalyte>(run.AnalyteName, "mmol/L", 2, 3));
        created = true;
    }
    // The count rises to the highest slot holding a value, so that no held value is dropped as beyond
    // the levels in use.
    int needed = a->NbLevels;
    for (int k = a->NbLevels; k < MaxLevels; ++k)
        if (run.Levels[static_cast<size_t>(k)].State != psEmpty) needed = k + 1;
    if (needed > a->NbLevels) {
        if (!created) before = *a;
        a->NbLevels = needed;
        a->RecalcAll();
    }
    if (created || before) {
        Log(jk::AnalyteChanged, a, 0, std::nullopt,
            created ? "" : std::to_string(before->NbLevels) + " levels",
            created
                ? "made for a held run: unit mmol/L, 2 decimals, " + std::to_string(a->NbLevels) + " levels"
                : std::to_string(a->NbLevels) + " levels, to hold the values of a held run");
        if (TOutcome unsaved = SaveData(created ? nullptr : a,
                                        [&] {
                                            if (created)
                                                ListAnalytes.Items.pop_back();
                                            else
                                                *a = std::move(*before);
                                        });
            !unsaved.Ok())
            return unsaved;
        Notify(ckAnalytes, a);
    }
    a->ClassifyRun(run.Levels);
    analyte = a;
    recallOpen_ = true;
    return {};
}

TOutcome TOperations::ConcludeRecall(TAnalyte& a, const TResu& run, bool accepted, int* index,
                                     const TRunNote& note) {
    recallOpen_ = false;
    if (Fifo.Count() == 0) return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "Nothing hold in the queue"));
    TOutcome out;
    if (accepted) {
        if (!HoldsRun(a, run)) {
            out = AcceptRun(a, run, index, note);
            if (!out.Changed()) return out; // still held, at the head of the queue
        } else if (index) {
            *index = a.FindInsertIndex(run.DateTime) - 1;
        }
        Log(jk::RunRecalled, &a, 0, run.DateTime, "held", "accepted; left the queue", "", run.Operator);
        TResu head = *Fifo.Pop();
        try {
            WriteQueue();
        } catch (const EQcError& e) {
            // The run is in the data file; the queue file still holds it, and a later recall finds it
            // stored already instead of adding it twice.
            out = TOutcome::FromError(e, TStatus::Partial);
            out.Message = Fill(
                QT_TRANSLATE_NOOP("Core", "The run was saved, but the queue file could not be written:\r%1"),
                e.what());
        }
        Notify(ckQueue);
        return out;
    }
    // Held again, at the tail.
    Log(jk::RunRecalled, &a, 0, run.DateTime, "held", "not accepted; held again at the end of the queue", "",
        run.Operator);
    TResu head = *Fifo.Pop();
    Fifo.Push(run);
    try {
        WriteQueue();
    } catch (const EQcError& e) {
        Fifo.DropLast();
        Fifo.PushFront(std::move(head));
        out = TOutcome::FromError(e);
        out.Message = Fill(QT_TRANSLATE_NOOP("Core", "Unable to save fifo\r%1"), e.what());
        return out;
    }
    Notify(ckQueue);
    return out;
}

void TOperations::SettleRecall(TOpenReport& report) {
    const std::deque<TResu> before = Fifo.Entries();
    while (Fifo.Count() > 0) {
        const TResu& head = Fifo.Entries().front();
        const TAnalyte* a = ListAnalytes.FindByName(head.AnalyteName);
        if (!a || !HoldsRun(*a, head)) break;
        Log(jk::RunRecalled, a, 0, head.DateTime, "held", "accepted; left the queue", "", head.Operator);
        Fifo.Pop();
    }
    if (Fifo.Count() == static_cast<int>(before.size())) return;
    try {
        WriteQueue();
    } catch (const EQcError& e) {
        // Still held; the next recall finds the run stored and does not add it twice.
        Fifo.ClearQueue();
        for (const TResu& r : before) Fifo.Push(r);
        report.Notes.push_back(Fill(QT_TRANSLATE_NOOP("Core", "Unable to save fifo\r%1"), e.what()));
    }
}

TOutcome TOperations::ClearQueue() {
    if (Fifo.Count() == 0) return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "Nothing hold in the queue."));
    std::deque<TResu> before = Fifo.Entries();
    Log(jk::QueueCleared, nullptr, 0, std::nullopt, RunsText(static_cast<int64_t>(before.size())) + " held",
        "no run held");
    Fifo.ClearQueue();
    try {
        WriteQueue();
    } catch (const EQcError& e) {
        for (TResu& r : before) Fifo.Push(std::move(r));
        TOutcome out = TOutcome::FromError(e);
        out.Message = Fill(QT_TRANSLATE_NOOP("Core", "Unable to save fifo\r%1"), e.what());
        return out;
    }
    Notify(ckQueue);
    return {};
}

TOutcome TOperations::ImportRuns(TAnalyte& a, const std::vector<TResu>& runs, TImportCount* count,
                                 const std::string& reason) {
    std::vector<TDateTime> times;
    for (const TResu& r : runs) times.push_back(r.DateTime);
    try {
        CheckReviews(a, times, reason);
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    TImportCount c;
    TAnalyte before = a;
    for (TResu run : runs) {
        // Values of level slots the analyte does not use would be stored unseen and uncounted, and a run
        // left with no value in its levels would be an empty point: neither is taken.
        bool any = false;
        for (int k = 0; k < MaxLevels; ++k) {
            LevelValue& lv = run.Levels[static_cast<size_t>(k)];
            if (k >= a.NbLevels) lv = {0, psEmpty};
            any = any || lv.State != psEmpty;
        }
        if (!any) {
            ++c.Skipped;
            continue;
        }
        a.AddPoint(run);
        ++c.Added;
    }
    if (count) *count = c;
    if (c.Added == 0) {
        staged_.clear();
        return TOutcome::Refuse(
            Fill(QT_TRANSLATE_NOOP("Core", "No run with a value in the levels of %1"), a.Name));
    }
    Log(jk::Import, &a, 0, std::nullopt, RunsText(before.Count()),
        RunsText(c.Added) + " added, " + RunsText(c.Skipped) + " skipped; every level on mobile limits",
        reason);
    for (auto& mode : a.LimitMode) mode = lmMobile;
    a.RecalcAll();
    a.ClassifyAllPoints();
    if (TOutcome unsaved = SaveData(&a,
                                    [&] {
                                        a = std::move(before);
                                        if (count) *count = {};
                                    });
        !unsaved.Ok())
        return unsaved;
    Notify(ckPoints, &a);
    return {};
}

TOutcome TOperations::AddRandomRuns(TAnalyte& a, int count, const TLevelValues& means,
                                    const TLevelValues& cvs, TDateTime first, bool toQueue, int* lastIndex,
                                    const std::string& reason) {
    if (toQueue) {
        Log(jk::RandomRuns, &a, 0, first, "", RunsText(count) + " random runs held in the queue");
        size_t held = Fifo.Entries().size();
        for (int k = 0; k < count; ++k) Fifo.Push(MakeRandomEntry(a, means, cvs, first + k));
        try {
            WriteQueue();
        } catch (const EQcError& e) {
            while (Fifo.Entries().size() > held) Fifo.DropLast();
            TOutcome out = TOutcome::FromError(e);
            out.Message = Fill(QT_TRANSLATE_NOOP("Core", "Unable to save fifo\r%1"), e.what());
            return out;
        }
        Notify(ckQueue);
        return {};
    }
    std::vector<TDateTime> days;
    for (int k = 0; k < count; ++k) days.push_back(first + k);
    try {
        CheckReviews(a, days, reason);
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    Log(jk::RandomRuns, &a, 0, first, RunsText(a.Count()), RunsText(count) + " random runs added");
    TAnalyte before = a;
    int last = GenerateRandomPoints(a, count, means, cvs, first);
    if (TOutcome unsaved = SaveData(&a, [&] { a = std::move(before); }); !unsaved.Ok()) return unsaved;
    if (lastIndex) *lastIndex = last;
    Notify(ckPoints, &a);
    return {};
}

TOutcome TOperations::ImportPredecessor(const std::string& path, int* imported) {
    const size_t before = ListAnalytes.Items.size();
    TOutcome out;
    int n = 0;
    try {
        n = ImportPredecessorFile(path);
    } catch (const EPredecessorImport& e) {
        // Analytes converted before the damage stay; say how many came in.
        n = e.Imported;
        out.Status = n > 0 ? TStatus::Partial : TStatus::Refused;
        out.Message = QT_TRANSLATE_NOOP("Core", "Cannot read data");
        out.File = path;
        out.Reason = e.Detail;
    }
    if (imported) *imported = n;
    if (n == 0) {
        if (out.Ok()) out = TOutcome::Refuse(Fill(QT_TRANSLATE_NOOP("Core", "No analyte in %1"), path));
        return out;
    }
    Log(jk::Import, nullptr, 0, std::nullopt, "",
        std::to_string(n) + (n == 1 ? " analyte" : " analytes") + " imported from the predecessor file " +
            path);
    if (TOutcome unsaved = SaveData(nullptr,
                                    [&] {
                                        ListAnalytes.Items.resize(before);
                                        if (imported) *imported = 0;
                                    });
        !unsaved.Ok())
        return unsaved;
    Notify(ckAnalytes);
    return out;
}

// ---------------------------------------------------------------- points

TOutcome TOperations::DeletePoints(TAnalyte& a, const std::vector<int>& indices, const std::string& reason) {
    if (indices.empty()) return {};
    if (Trim(reason).empty())
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "Give a reason for deleting points"));
    // The points as each deletion finds them.
    std::vector<int> order(static_cast<size_t>(a.Count()));
    for (int i = 0; i < a.Count(); ++i) order[static_cast<size_t>(i)] = i;
    std::vector<int> gone;
    for (int index : indices) {
        if (index < 0 || index >= static_cast<int>(order.size()))
            return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "No point to delete"));
        gone.push_back(order[static_cast<size_t>(index)]);
        order.erase(order.begin() + index);
    }
    std::vector<TDateTime> times;
    for (int i : gone) times.push_back(a.Points[static_cast<size_t>(i)].DateTime);
    try {
        CheckReviews(a, times, reason);
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    for (int i : gone) {
        const ControlPoint& p = a.Points[static_cast<size_t>(i)];
        Log(jk::PointDeleted, &a, 0, p.DateTime,
            RunText(a, p.Levels, std::string(p.Operator.View()), a.CommentText(p.CommentId)), "deleted",
            reason);
    }
    TAnalyte before = a;
    for (int index : indices) a.DeletePoint(index);
    a.RecalcAll();
    if (TOutcome unsaved = SaveData(&a, [&] { a = std::move(before); }); !unsaved.Ok()) return unsaved;
    Notify(ckPoints, &a);
    return {};
}

TOutcome TOperations::TakePointForEdit(TAnalyte& a, int index, TResu& run, const std::string& reason) {
    if (index < 0 || index >= a.Count())
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "No point to edit"));
    if (Trim(reason).empty())
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "Give a reason for correcting the point"));
    const ControlPoint& p = a.Points[static_cast<size_t>(index)];
    try {
        CheckReviews(a, {p.DateTime}, reason);
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    Log(jk::PointEdited, &a, 0, p.DateTime,
        RunText(a, p.Levels, std::string(p.Operator.View()), a.CommentText(p.CommentId)),
        "taken out for correction; the corrected run is accepted again", reason);
    run = a.PointAsEntry(index);
    // Kept first: a crash after the data file lost the point must find it here.
    EnsureDatabase();
    if (db_.IsOpen()) {
        try {
            TDatabase::TTransaction t(db_);
            db_.Exec("DELETE FROM pending_edit");
            TStatement st = db_.Prepare("INSERT INTO pending_edit(analyte, run, stored_utc) VALUES(?, ?, ?)");
            st.Bind(1, a.Name).Bind(2, QueueImage({run})).Bind(3, UtcTimeText());
            st.Step();
            t.Commit();
        } catch (const EQcError&) {
            // Without the database the point lives in the entry fields only, as it always did.
        }
    }
    TAnalyte before = a;
    a.DeletePoint(index);
    a.RecalcAll();
    if (TOutcome unsaved = SaveData(&a,
                                    [&] {
                                        a = std::move(before);
                                        DropPointInEdit();
                                    });
        !unsaved.Ok())
        return unsaved;
    Notify(ckPoints, &a);
    return {};
}

void TOperations::DropPointInEdit() {
    if (!db_.IsOpen() || mode_ == TOpenMode::Reader) return;
    try {
        db_.Exec("DELETE FROM pending_edit");
    } catch (const EQcError&) {
    }
}

void TOperations::RecoverPointsInEdit(TOpenReport& report) {
    if (!db_.IsOpen()) return;
    std::vector<TResu> runs;
    try {
        TStatement st = db_.Prepare("SELECT run FROM pending_edit ORDER BY id");
        while (st.Step())
            for (TResu& r : ParseQueueImage(st.Text(0))) runs.push_back(std::move(r));
    } catch (const EQcError&) {
        return;
    }
    int queued = 0;
    for (const TResu& r : runs) {
        const TAnalyte* a = ListAnalytes.FindByName(r.AnalyteName);
        if (a && HoldsRun(*a, r)) continue; // the data file never lost it
        Fifo.Push(r);
        ++queued;
    }
    try {
        if (queued > 0) WriteQueue();
        DropPointInEdit();
    } catch (const EQcError& e) {
        report.Notes.push_back(e.what());
        return;
    }
    if (queued > 0)
        report.Notes.push_back(QT_TRANSLATE_NOOP(
            "Core", "A point taken out for correction when Varnholt last ended was put in the queue."));
}

// ---------------------------------------------------------------- limits, erase, archives

TOutcome TOperations::SaveLimits(TAnalyte& a, const TLimitState& before, const std::string& reason) {
    const TLimitState now = TLimitState::Of(a);
    for (int k = 0; k < a.NbLevels; ++k) {
        std::string was = LimitsText(a, before, k), is = LimitsText(a, now, k);
        if (was != is) Log(jk::LimitsChanged, &a, k + 1, std::nullopt, was, is, reason);
    }
    if (TOutcome unsaved = SaveData(&a, [&] { RestoreLimits(a, before); }); !unsaved.Ok()) return unsaved;
    Notify(ckPoints, &a);
    return {};
}

void TOperations::RestoreLimits(TAnalyte& a, const TLimitState& s) {
    a.LimitMode = s.Mode;
    a.LockFirst = s.LockFirst;
    a.LockLast = s.LockLast;
    a.Limits = s.Limits;
    a.RecalcAll();
}

TOutcome TOperations::SetAnalyteOptions(TAnalyte& a, uint8_t options) {
    if (a.Options == options) return {};
    uint8_t before = a.Options;
    Log(jk::OptionsChanged, &a, 0, std::nullopt, OptionsText(before), OptionsText(options));
    a.Options = options;
    a.RecalcAll();
    if (TOutcome unsaved = SaveData(&a,
                                    [&] {
                                        a.Options = before;
                                        a.RecalcAll();
                                    });
        !unsaved.Ok())
        return unsaved;
    Notify(ckPoints, &a);
    return {};
}

void TOperations::UnlinkArchives(const std::vector<int32_t>& numbers) {
    store_->DropArchives(numbers);
}

std::vector<int32_t> TOperations::RemoveArchiveFiles(const std::vector<int32_t>& numbers, TOutcome& outcome) {
    std::vector<EQcError> failures;
    std::vector<int32_t> stayed = store_->RemoveArchives(numbers, failures);
    for (const EQcError& e : failures) {
        outcome.Status = TStatus::Partial;
        outcome.Message += (outcome.Message.empty() ? "" : "\r") + std::string(e.what());
        if (!e.File.empty()) {
            outcome.File = e.File;
            outcome.Reason = e.Reason;
        }
    }
    return stayed;
}

namespace {} // namespace

TOutcome TOperations::EraseLevels(TAnalyte& a, const std::array<bool, MaxLevels>& levels,
                                  std::vector<int32_t>* numbers, const std::string& reason) {
    std::vector<TDateTime> times;
    for (const ControlPoint& p : a.Points)
        for (int k = 0; k < a.NbLevels; ++k)
            if (levels[static_cast<size_t>(k)] && p.Levels[static_cast<size_t>(k)].State != psEmpty) {
                times.push_back(p.DateTime);
                break;
            }
    try {
        CheckReviews(a, times, reason);
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    TAnalyte before = a;
    std::vector<int32_t> written;
    std::optional<EQcError> failure;
    for (int k = 0; k < a.NbLevels; ++k) {
        if (!levels[static_cast<size_t>(k)]) continue;
        try {
            written.push_back(ArchiveLevelFirst(a, k));
        } catch (const EQcError& e) {
            // The level that failed is untouched; the levels archived before it are still saved.
            failure = e;
            break;
        }
    }
    if (written.empty()) {
        staged_.clear();
        return failure ? TOutcome::FromError(*failure)
                       : TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "Nothing to erase"));
    }
    for (size_t i = 0, k = 0; k < MaxLevels && i < written.size(); ++k)
        if (levels[k] && static_cast<int>(k) < a.NbLevels) {
            const LevelStats& all = before.AllStats[k];
            Log(jk::LevelArchived, &a, static_cast<int>(k) + 1, std::nullopt,
                std::to_string(all.N + all.NDiscarded) + " values", "archive " + std::to_string(written[i++]),
                reason);
        }
    if (TOutcome unsaved = SaveData(&a,
                                    [&] {
                                        a = std::move(before);
                                        UnlinkArchives(written);
                                    });
        !unsaved.Ok())
        return unsaved;
    if (numbers) *numbers = written;
    Notify(ckPoints | ckArchives, &a);
    return failure ? TOutcome::FromError(*failure, TStatus::Partial) : TOutcome{};
}

TOutcome TOperations::DeleteArchives(TAnalyte& a, const std::vector<int32_t>& numbers,
                                     const std::string& reason) {
    if (numbers.empty()) return {};
    if (Trim(reason).empty())
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "Give a reason for deleting archives"));
    std::vector<int32_t> before = a.ArchiveNumbers;
    std::vector<int32_t> gone;
    for (int32_t n : numbers) {
        auto it = std::find(a.ArchiveNumbers.begin(), a.ArchiveNumbers.end(), n);
        if (it == a.ArchiveNumbers.end()) continue;
        a.ArchiveNumbers.erase(it);
        gone.push_back(n);
        Log(jk::ArchiveDeleted, &a, 0, std::nullopt, "archive " + std::to_string(n), "deleted", reason);
    }
    if (TOutcome unsaved = SaveData(&a, [&] { a.ArchiveNumbers = std::move(before); }); !unsaved.Ok())
        return unsaved;
    // The data file no longer names them. An archive whose file cannot be removed keeps its number,
    // so that it is neither lost from the list nor left behind unlisted.
    TOutcome out;
    std::vector<int32_t> stayed = RemoveArchiveFiles(gone, out);
    if (!stayed.empty()) {
        for (int32_t n : stayed) a.ArchiveNumbers.push_back(n);
        std::sort(a.ArchiveNumbers.begin(), a.ArchiveNumbers.end());
        try {
            WriteData(&a);
        } catch (const EQcError& e) {
            out.Message += std::string("\r") + e.what();
        }
    }
    Notify(ckArchives, &a);
    return out;
}

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
    Notify(ckSettings);
    return {};
}

bool TOperations::PasswordMatches(const std::string& typed) const {
    // On a server with accounts, the gated commands are a supervisor's, who signed in with a password.
    if (store_->HasAccounts()) return store_->SignedIn() && store_->SignedIn()->Role == TRole::Supervisor;
    return Settings.Password.empty() || UpperCase(typed) == Settings.Password;
}

// ---------------------------------------------------------------- backup

TBackupPlan TOperations::PlanBackup(const std::string& folder) const {
    TBackupPlan plan;
    std::error_code ec;
    plan.FolderPresent = !folder.empty() && std::filesystem::is_directory(folder, ec);
    plan.RunsInData = RunsIn(ListAnalytes);
    if (plan.FolderPresent) plan.RunsInBackup = RunsInFile(BackupFileName(folder));
    return plan;
}

namespace {
// Space left for files on the folder's file system, or -1 when unknown.
int64_t FreeBytes(const std::string& folder) {
    struct statvfs vfs;
    if (::statvfs(folder.c_str(), &vfs) != 0) return -1;
    return static_cast<int64_t>(vfs.f_bavail) * static_cast<int64_t>(vfs.f_frsize);
}

void SyncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

[[noreturn]] void RotationFailed(const std::string& sav, int err) {
    throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Cannot write %1: %2"), sav, std::strerror(err)), sav,
                   std::strerror(err));
}

// Puts a complete new generation in place: bytes become `sav`, the former `sav` becomes `old`. At every
// moment a complete backup is named `sav` or `old`, and a failure at any step leaves both earlier
// generations as they were. Where the file system has hard links, the former generation is linked to
// its new name before the new one replaces it; elsewhere (FAT media) only renames are used, the older
// generation set aside until the new one is in place.
void Rotate(const std::string& folder, const std::string& sav, const std::string& old, const std::string& tmp,
            std::string_view bytes) {
    AtomicWriteFile(tmp, bytes);
    auto abandon = [&](int err) {
        ::unlink(tmp.c_str());
        RotationFailed(sav, err);
    };
    if (!FileExists(sav)) {
        if (int err = RenameFile(tmp, sav)) abandon(err);
        SyncFolder(folder);
        return;
    }
    const std::string next = old + ".next", prev = old + ".prev";
    ::unlink(next.c_str());
    if (LinkFile(sav, next) == 0) {
        if (int err = RenameFile(tmp, sav)) {
            ::unlink(next.c_str());
            abandon(err);
        }
        // The new generation is in place; the former one only moves to its name.
        if (RenameFile(next, old) != 0) ::unlink(next.c_str());
        SyncFolder(folder);
        return;
    }
    const bool hadOld = FileExists(old);
    if (hadOld) {
        if (int err = RenameFile(old, prev)) abandon(err);
    }
    if (int err = RenameFile(sav, old)) {
        if (hadOld) RenameFile(prev, old);
        abandon(err);
    }
    if (int err = RenameFile(tmp, sav)) {
        RenameFile(old, sav);
        if (hadOld) RenameFile(prev, old);
        abandon(err);
    }
    ::unlink(prev.c_str());
    SyncFolder(folder);
}

std::string DatabaseBackupName(const std::string& folder, const char* extension) {
    return WithSlash(folder) + "Varnholt.db." + extension;
}

// The hash of the data backup a database backup was made with.
constexpr const char* MetaBackupOf = "backup.data";

// True when the database backup at `path` was made with the data backup of hash `dataHash`. A backup of
// an earlier version has no such record: the hash of the data file it last wrote tells.
bool DatabaseBackupBelongs(const std::string& path, const std::string& dataHash,
                           const std::string& dataName) {
    if (!TDatabase::LooksLikeDatabase(path)) return false;
    try {
        TDatabase backup;
        backup.OpenUnchanging(path);
        if (auto of = backup.Meta(MetaBackupOf)) return *of == dataHash;
        TStatement st = backup.Prepare("SELECT hash FROM file_state WHERE name = ?");
        st.Bind(1, dataName);
        return st.Step() && st.Text(0).compare(0, dataHash.size(), dataHash) == 0;
    } catch (const EQcError&) {
        return false;
    }
}
} // namespace

TOutcome TOperations::BackupData(const std::string& folder, const TBackupChoice& choice) {
    TBackupPlan plan = PlanBackup(folder);
    if (!plan.FolderPresent) return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "Backup aborted"));
    if (plan.RunsInBackup > plan.RunsInData && !choice.ReplaceLarger)
        return TOutcome::Refuse(
            Fill(QT_TRANSLATE_NOOP("Core", "The backup in %1 holds %2, more than the %3 of the data now: it "
                                           "was not replaced. Backup aborted"),
                 WithSlash(folder), ShownRunsText(plan.RunsInBackup), ShownRunsText(plan.RunsInData)));
    const std::string sav = BackupFileName(folder), old = OldBackupFileName(folder),
                      tmp = TempBackupFileName(folder);
    std::string image;
    try {
        image = DataImage(ListSerum, ListAnalytes);
    } catch (const EQcError& e) {
        return TOutcome::FromError(
            EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Cannot write %1: %2"), tmp, e.what()), tmp, e.what()));
    }
    // A backup identical to the newest one is not written again: rotating it would only push the
    // previous generation out (a retry after a failure that came once the backup was in place).
    bool same = false;
    try {
        same = FileExists(sav) && ReadWholeFile(sav) == image;
    } catch (const EQcError&) {
    }
    const std::string dbSav = DatabaseBackupName(folder, "Sav"), dbOld = DatabaseBackupName(folder, "Old"),
                      dbTmp = DatabaseBackupName(folder, "tmp");
    // Unfinished temporary files of a killed backup only take room.
    RemoveLeftoverTemporaryFiles(folder);
    TOutcome out;
    std::optional<std::string> dbImage;
    std::string dbError;
    if (db_.IsOpen()) try {
            // The database backup names the data backup it belongs to.
            db_.SetMeta(MetaBackupOf, HashText(image));
            dbImage = db_.Image();
        } catch (const EQcError& e) {
            dbError = e.what();
        }
    // A medium with room for two generations keeps working: the older ones make room for the new ones,
    // but only when the room is then enough for both copies.
    const int64_t free = FreeBytes(WithSlash(folder));
    const int64_t needed = (same ? 0 : static_cast<int64_t>(image.size()) + 65536) +
                           (dbImage ? static_cast<int64_t>(dbImage->size()) + 65536 : 0);
    if (free >= 0 && free < needed) {
        auto sizeOf = [](const std::string& path) {
            struct stat st;
            return ::stat(path.c_str(), &st) == 0 ? static_cast<int64_t>(st.st_size) : 0;
        };
        std::vector<std::string> older;
        if (!same && FileExists(old) && FileExists(sav)) older.push_back(old);
        if (dbImage && !same && FileExists(dbOld) && FileExists(dbSav)) older.push_back(dbOld);
        int64_t reclaimed = 0;
        for (const std::string& o : older) reclaimed += sizeOf(o);
        if (free + reclaimed < needed)
            return TOutcome::Refuse(
                Fill(QT_TRANSLATE_NOOP("Core",
                                       "There is not enough room in %1 for the backup (%2 KB needed, %3 KB "
                                       "free). Backup aborted"),
                     WithSlash(folder), std::to_string((needed + 1023) / 1024),
                     std::to_string((free + reclaimed) / 1024)));
        for (const std::string& o : older) {
            ::unlink(o.c_str());
            out.Notes.push_back(Fill(
                QT_TRANSLATE_NOOP("Core", "The older backup %1 was removed to make room for the new one."),
                o));
        }
    }
    if (!same) {
        try {
            Rotate(folder, sav, old, tmp, image);
        } catch (const EQcError& e) {
            ::unlink(tmp.c_str());
            return TOutcome::FromError(e);
        }
    }
    bool dbWritten = false;
    if (dbImage) {
        try {
            // The database's generations go in step with the data's: ".db.Sav" is made with ".Sav",
            // ".db.Old" with ".Old". Data not rewritten keeps its generation, and the database backup is
            // replaced in it.
            if (same)
                AtomicWriteFile(dbSav, *dbImage);
            else
                Rotate(folder, dbSav, dbOld, dbTmp, *dbImage);
            dbWritten = true;
        } catch (const EQcError& e) {
            dbError = e.what();
        }
    }
    if (!dbWritten && !same) {
        // The database backup of the former ".Sav" follows it to ".Old"; none is left beside the new one.
        ::unlink(dbOld.c_str());
        if (FileExists(dbSav) && RenameFile(dbSav, dbOld) != 0) ::unlink(dbSav.c_str());
    }
    if (db_.IsOpen() && !dbWritten) {
        out.Status = TStatus::Partial;
        out.Message =
            Fill(QT_TRANSLATE_NOOP("Core", "The data was backed up, but not the database:\r%1"), dbError);
    }
    // What a killed backup left beside the generations: the new ones are in place.
    for (const std::string& left : {old + ".next", old + ".prev", dbOld + ".next", dbOld + ".prev"})
        ::unlink(left.c_str());
    ::unlink(tmp.c_str());
    if (dbWritten) ::unlink(dbTmp.c_str());
    TSettings before = Settings;
    Settings.LastBackup = Today();
    // What was written, not what was meant to be.
    Log(jk::Backup, nullptr, 0, std::nullopt, "",
        "data" + std::string(dbWritten ? " and database" : "") + " backed up to " + WithSlash(folder) + " (" +
            RunsText(plan.RunsInData) + ")");
    try {
        WriteSettings();
    } catch (const EQcError& e) {
        Settings = before;
        out.Status = TStatus::Partial;
        out.Message += (out.Message.empty() ? "" : "\r");
        out.Message +=
            Fill(QT_TRANSLATE_NOOP(
                     "Core", "The data was backed up, but the date of the backup could not be saved:\r%1"),
                 e.what());
    }
    Notify(ckSettings);
    return out;
}

std::string TOperations::NewestBackup(const std::string& folder) const {
    for (const std::string& candidate :
         {BackupFileName(folder), TempBackupFileName(folder), OldBackupFileName(folder)})
        if (RunsInFile(candidate) >= 0) return candidate;
    return "";
}

TRestorePlan TOperations::PlanRestore(const std::string& folder) const {
    TRestorePlan plan;
    plan.Source = NewestBackup(folder);
    if (plan.Source.empty()) return plan;
    plan.Runs = RunsInFile(plan.Source);
    if (plan.Source == OldBackupFileName(folder) && FileExists(BackupFileName(folder)))
        plan.Damaged = BackupFileName(folder);
    return plan;
}

TOutcome TOperations::RestoreData(const std::string& folder, bool older) {
    std::error_code ec;
    if (folder.empty() || !std::filesystem::is_directory(folder, ec))
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "Restore aborted"));
    if (!FileExists(BackupFileName(folder)) && !FileExists(OldBackupFileName(folder)) &&
        !FileExists(TempBackupFileName(folder)))
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "No backup file to restore"));
    const TRestorePlan plan = PlanRestore(folder);
    const std::string& source = plan.Source;
    if (source.empty()) return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "Impossible to restore"));
    // Older data never replaces the data unasked.
    if (!plan.Damaged.empty() && !older)
        return TOutcome::Refuse(Fill(
            QT_TRANSLATE_NOOP("Core", "The newest backup %1 is damaged. Restore aborted"), plan.Damaged));
    TListSerum serum;
    TListAnalytes analytes;
    std::string bytes;
    try {
        bytes = ReadWholeFile(source);
        ParseDataImage(bytes, serum, analytes);
    } catch (const EQcError&) {
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "Impossible to restore"));
    }
    const TAnalyte* shown = Current();
    const std::string shownName = shown ? shown->Name : "";
    Log(jk::Restore, nullptr, 0, std::nullopt, RunsText(RunsIn(ListAnalytes)),
        RunsText(RunsIn(analytes)) + " restored from " + source);
    std::swap(serum, ListSerum);
    std::swap(analytes, ListAnalytes);
    currentIndex_ = -1;
    try {
        WriteData();
    } catch (const EQcError& e) {
        std::swap(serum, ListSerum);
        std::swap(analytes, ListAnalytes);
        currentIndex_ = -1;
        TOutcome out = TOutcome::FromError(e);
        out.Message = Fill(QT_TRANSLATE_NOOP("Core", "Impossible to restore\r%1"), e.what());
        return out;
    }
    TOutcome out;
    if (source != BackupFileName(folder))
        out.Notes.push_back(
            Fill(QT_TRANSLATE_NOOP("Core", "Restored from %1, the newest complete backup."), source));
    if (db_.IsOpen()) {
        // Only the database backup made with the data taken: a database of another backup would not
        // match its data.
        const std::string hash = HashText(bytes), name = FileNameOf(DataFileName());
        std::string database;
        bool any = false;
        for (const char* extension : {"Sav", "Old"}) {
            const std::string candidate = DatabaseBackupName(folder, extension);
            any = any || FileExists(candidate);
            if (database.empty() && DatabaseBackupBelongs(candidate, hash, name)) database = candidate;
        }
        try {
            if (!database.empty()) {
                // What happened, who reviewed what and the operators' passwords are not rolled back; the
                // record of the data file is the one of the file just written.
                db_.ReplaceFrom(database,
                                {"journal", "journal_pending", "review", "operator_password", "file_state"},
                                {"journal_head"});
                RestoreJournalHead();
            } else if (any)
                throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "No database backup in %1 was made with %2."),
                                    WithSlash(folder), source));
        } catch (const EQcError& e) {
            out.Status = TStatus::Partial;
            out.Message =
                Fill(QT_TRANSLATE_NOOP("Core", "The data was restored, but not the database:\r%1"), e.what());
        }
    }
    // The analyte shown before stays shown when the backup has it.
    const TAnalyte* same = ListAnalytes.FindByName(shownName);
    SetCurrent(same ? same : ListAnalytes.Count() > 0 ? &ListAnalytes[0] : nullptr);
    Notify(ckEverything);
    return out;
}
