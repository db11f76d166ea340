// The operations layer: each change made in memory, written, and undone in memory when the write fails.
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

TOperations& Operations() {
    static TOperations layer;
    return layer;
}

using namespace ops_common;

namespace {
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
    queueFile_.Known = false;
    queueUnread_.reset();
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
        QueueFileTook(bytes);
        return true;
    } catch (const EQcError&) {
        Fifo.ClearQueue();
    }
    // Settled once the database tells whether an append was cut (SettleQueueFile).
    if (mode_ != TOpenMode::Reader) queueUnread_ = std::move(bytes);
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
    if (mode != TOpenMode::Reader) SettleQueueFile(report);
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
        KeepSettingsPasswordHashed(report);
        if (mode == TOpenMode::Program) {
            StartJournal();
            if (!journalRestartNote_.empty()) report.Notes.push_back(std::move(journalRestartNote_));
            journalRestartNote_.clear();
            TJournalCheck check = CheckJournalAdded();
            if (!check.Whole)
                report.Notes.push_back(
                    Fill(QT_TRANSLATE_NOOP("Core", "%1. The journal was changed outside Varnholt or damaged; "
                                                   "it is kept as it is and goes on."),
                         check.Message));
        }
        PurgePatientResultsAtOpen(report);
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
    saveNotes_.clear();
    try {
        WriteData(only);
    } catch (const EQcError& e) {
        saveNotes_.clear();
        if (undo) undo();
        TOutcome out = TOutcome::FromError(e);
        out.Message = Fill(QT_TRANSLATE_NOOP("Core", "Cannot save data\r%1"), e.what());
        return out;
    }
    TOutcome out;
    out.Notes = std::move(saveNotes_);
    saveNotes_.clear();
    return out;
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
    ops_.SaveQueueFile();
}

void TFolderStore::SaveSettings() {
    // The password goes to the database as a hash; the file keeps a marker naming it.
    const std::string field = ops_.HashedSettingsPassword();
    TSettings s = Settings;
    s.Password = field;
    ops_.WriteJournaled(SettingsFileName(), SettingsImage(s, Operators), {.NoOthers = true});
    Settings.Password = field;
    ops_.DropOtherSettingsPasswords(field);
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
