// The operations layer: every change to the laboratory's stored data, once, for the windows and the
// companion. Start reading the core here.
//
// The layer owns the program-wide state: the analyte and control-material lists, the result queue, the
// settings and operators (kept in the globals of UDataLoadSave, UFifoResult and UGlobale, which the
// charts and printouts read), archive numbering, the program folder's lock, the database Varnholt.db
// and the current analyte (a handle, not a pointer). Only the layer changes them.
//
// Every operation that changes stored data has written what it changed when it returns, in an order
// where a crash between two writes leaves a folder the next start reads: an archive file before the
// data file that names it, archive files removed only once the data file no longer names them, a
// recalled run leaving the queue file only once the data file holds it. An operation that fails
// changes nothing, in memory or on disk, and says why in its outcome. Questions for the user are
// asked by the caller before the call, and their answers passed in.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "UDataLoadSave.h"
#include "UDatabase.h"
#include "UFolderLock.h"
#include "UGlobale.h"
#include "UQcError.h"
#include "UQualityGoals.h"
#include "UServerStore.h"
#include "UStructures.h"

// What an operation came to.
enum class TStatus {
    Done,    // everything asked for was done and written
    Refused, // nothing changed: Message says why (a bad input, or a file that could not be written)
    Partial  // the change was saved, but a later write or part failed: Message says what
};

struct TOutcome {
    TStatus Status = TStatus::Done;
    std::string Message; // for the user: the program's own text, with the file and reason where one failed
    std::string File;    // the file that could not be read or written, when that was the failure
    std::string Reason;  // the system's reason for it
    // Texts to show after a success (a damaged file kept aside, a generation removed to make room).
    std::vector<std::string> Notes;

    bool Ok() const { return Status == TStatus::Done; }
    bool Changed() const { return Status != TStatus::Refused; }
    static TOutcome Refuse(const std::string& message) { return {TStatus::Refused, message, "", "", {}}; }
    static TOutcome FromError(const EQcError& e, TStatus status = TStatus::Refused) {
        return {status, e.what(), e.File, e.Reason, {}};
    }
};

// What changed, for the windows' one notification.
enum TChangeKind : unsigned {
    ckPoints = 1,      // the points or limits of Analyte
    ckAnalytes = 2,    // the list of analytes, their names, order or definitions
    ckMaterials = 4,   // control materials or their assignment
    ckQueue = 8,       // the held runs
    ckSettings = 16,   // settings and operators
    ckArchives = 32,   // the archives of Analyte
    ckCurrent = 64,    // the current analyte
    ckGoals = 128,     // the quality goals of Analyte, or of several (Analyte 0)
    ckEverything = 255 // a restore or another whole replacement
};
struct TChange {
    unsigned Kinds = 0;
    TAnalyteId Analyte = 0; // 0 when the change is not about one analyte
};
using TChangeListener = std::function<void(const TChange&)>;

// How a folder is opened.
enum class TOpenMode {
    Program, // the program: the folder's lock, first-run sample data, damaged files kept aside
    Writer,  // a writing command of the companion: the lock; damaged files kept aside; no sample data
    Reader   // a reading command of the companion: no lock, nothing written, nothing created
};

struct TOpenOptions {
    bool CreateFolder = true;     // make a missing folder (else Open says it is missing)
    bool SampleOnFirstRun = true; // a first run without data starts with the sample data (written
                                  // unless the folder is opened for reading)
    // Opened for reading, the database is opened only when asked for: even a reading connection leaves
    // SQLite's index files beside it, and reading commands write nothing.
    bool ReadDatabase = false;
    // A PostgreSQL connection string: the data is on that server, shared with other benches, and the
    // folder is only this station's (nothing of the data is read from it or written to it). Empty: the
    // folder holds the data, as always.
    std::string Server;
    // The operator signing in, required when the server has accounts.
    std::string OperatorCode, OperatorPassword;
};

struct TOpenReport {
    bool Opened = false;
    bool LockedElsewhere = false; // another program holds the folder
    bool FolderMissing = false;   // the folder does not exist and was not to be created
    bool DataMissing = false;     // no data file although the settings exist
    bool DataUnreadable = false;  // the data file could not be read ("Cannot read data")
    bool FirstRun = false;
    bool SignInNeeded = false;      // the server has accounts: an operator code and password are needed
    std::string Message;            // why it did not open
    std::vector<std::string> Notes; // to show in order once open (damaged files kept aside, ...)
};

// The answers the backup needs from the user.
struct TBackupChoice {
    // Replace a backup that holds more runs than the data in memory.
    bool ReplaceLarger = false;
};

struct TBackupPlan {
    bool FolderPresent = false;
    int64_t RunsInData = 0;
    int64_t RunsInBackup = -1; // -1: no backup there, or not readable
};

// An edit of the control-material list, as the materials window makes it.
struct TMaterialEdit {
    struct TLine {
        int32_t Id = -1; // -1 for a new material
        std::string Name, Lot;
        // The user confirmed erasing and archiving the data of the analytes using this material
        // before the new name and lot are taken.
        bool EraseConfirmed = false;
    };
    std::vector<TLine> Lines;
    std::vector<int32_t> Deleted;
};

// An edit of the analyte definitions, as the analytes window makes it.
struct TAnalyteEdit {
    struct TLine {
        TAnalyteId Uid = 0; // 0 for a new analyte
        std::string Name, Unit;
        int32_t Decimals = 2, NbLevels = 1;
    };
    std::vector<TLine> Lines;        // in the new order
    std::vector<TAnalyteId> Deleted; // analytes to delete, with their archive files
};

struct TImportCount {
    int Added = 0;
    int Skipped = 0; // runs with no value in the analyte's levels
};

class TOperations {
public:
    TOperations();
    ~TOperations();
    TOperations(const TOperations&) = delete;
    TOperations& operator=(const TOperations&) = delete;

    // ---------------------------------------------------------------- folder
    // Opens the program folder: lock, leftover temporary files, settings, database, queue, data. On a
    // program's first run (no settings file) without data, the sample data is made and written.
    TOpenReport Open(const std::string& folder, TOpenMode mode, const TOpenOptions& options = {});
    // Ends the work on the folder: nothing is left to write; the lock is released.
    void Close();
    bool IsOpen() const { return open_; }
    TOpenMode Mode() const { return mode_; }
    TDatabase& Database() { return db_; }
    // The server store, nullptr when the data is in the folder.
    TServerStore* Server() const { return server_.get(); }

    // ---------------------------------------------------------------- several benches (server store)
    // The socket on which the server's notifications arrive (-1 without a server): a program watches it
    // and calls PollServer when it is readable, and now and then besides (a refused change's reload, a
    // reconnection).
    int ServerSocket() const;
    // Brings in what other benches changed: the analytes, lists, queue, settings or goals concerned are
    // reloaded and the listeners told. Refused, with the reason, while the server does not answer; the
    // program keeps what it shows and tries again at the next poll.
    TOutcome PollServer();
    // The archive's text (the file in the folder, or the server's copy); throws EQcError.
    std::string ArchiveBytes(int32_t number) const;
    // The operator signed in on the server, if any.
    std::optional<TAccount> SignedIn() const;
    std::vector<TAccount> Accounts() const;
    TOutcome SetAccount(const TAccount& account, const std::string& password);
    TOutcome RemoveAccount(const std::string& code);

    // ---------------------------------------------------------------- notification
    int Subscribe(TChangeListener listener);
    void Unsubscribe(int id);

    // ---------------------------------------------------------------- current analyte
    // The analyte shown in the main window; nullptr when there is none. Survives any replacement of the
    // list: when its analyte is gone, the first analyte of the new list becomes current.
    TAnalyte* Current() const;
    void SetCurrent(const TAnalyte* a);
    TAnalyte* Find(TAnalyteId uid) const { return ListAnalytes.Find(uid); }

    // ---------------------------------------------------------------- runs
    // A validated run (states classified, rejected levels discarded) added in date order; the analyte is
    // recomputed and the data file written. `index` receives the run's place.
    TOutcome AcceptRun(TAnalyte& a, const TResu& run, int* index = nullptr);
    // A run held in the queue for later validation.
    TOutcome HoldRun(const TResu& run);
    // The oldest held run and its analyte, made ready for validation: an analyte of that name is created
    // when none exists and its number of levels raised to hold every held value (written at once).
    // Nothing when the queue is empty (Refused "Nothing hold in the queue").
    TOutcome RecallRun(TAnalyte*& analyte, TResu& run);
    // Ends a recall: accepted, the run enters the analyte and then leaves the queue; not accepted, it
    // goes to the queue's tail.
    TOutcome ConcludeRecall(TAnalyte& a, const TResu& run, bool accepted, int* index = nullptr);
    TOutcome ClearQueue();
    // Runs of an exchange text or the clipboard: values of levels the analyte does not use are dropped,
    // runs left without a value skipped, every level returned to mobile limits.
    TOutcome ImportRuns(TAnalyte& a, const std::vector<TResu>& runs, TImportCount* count = nullptr);
    // Random runs, one a day from `first`, into the analyte (its levels then mobile) or into the queue.
    TOutcome AddRandomRuns(TAnalyte& a, int count, const TLevelValues& means, const TLevelValues& cvs,
                           TDateTime first, bool toQueue, int* lastIndex = nullptr);
    // Predecessor data or backup file: its analytes appended (those read before damage stay).
    TOutcome ImportPredecessor(const std::string& path, int* imported = nullptr);

    // ---------------------------------------------------------------- points
    // Deletes points; `indices` count in the list as it stood at each deletion (the data table's order).
    TOutcome DeletePoints(TAnalyte& a, const std::vector<int>& indices);
    // Takes a point out to be corrected in the entry fields: deleted and written, and kept in the
    // database until the corrected run is accepted or the fields are cleared, so that a crash in between
    // puts it in the queue at the next start instead of losing it.
    TOutcome TakePointForEdit(TAnalyte& a, int index, TResu& run);
    // The point taken for correction is no longer needed (accepted again, or the fields cleared).
    void DropPointInEdit();

    // ---------------------------------------------------------------- limits, erase, archives
    // Writes the limit modes, intervals and fixed limits that the lock or fix page set on the analyte;
    // when the write fails they go back to `before`.
    TOutcome SaveLimits(TAnalyte& a, const TLimitState& before);
    // Puts back limits that a page tried and then cancelled (nothing to write: the file never held them).
    void RestoreLimits(TAnalyte& a, const TLimitState& before);
    // Options bits (multirules, common CV) of an analyte.
    TOutcome SetAnalyteOptions(TAnalyte& a, uint8_t options);
    // Writes each marked level to a new archive file, then erases it; `numbers` receives the archives.
    TOutcome EraseLevels(TAnalyte& a, const std::array<bool, MaxLevels>& levels,
                         std::vector<int32_t>* numbers = nullptr);
    // Removes archives from the analyte, then their files.
    TOutcome DeleteArchives(TAnalyte& a, const std::vector<int32_t>& numbers);

    // ---------------------------------------------------------------- reference data
    TOutcome ApplyMaterials(const TMaterialEdit& edit);
    // The material of each level; levels whose material changes are first erased and archived when
    // `eraseChanged` (a level whose archive fails keeps its former material).
    TOutcome ApplyAssignment(TAnalyte& a, const std::array<int32_t, MaxLevels>& materials, bool eraseChanged);
    TOutcome ApplyAnalyteEdit(const TAnalyteEdit& edit);
    TOutcome SetOperators(const std::vector<std::string>& operators);

    // ---------------------------------------------------------------- quality goals
    // Kept in the database by analyte name; they follow a renamed analyte and go with a deleted one.
    // The goal of the analyte of that name (without regard to case): no TEa and no target when none is
    // kept or the database is not open.
    TQualityGoal Goal(const std::string& analyte) const;
    // Every goal kept, by name.
    std::vector<TQualityGoal> Goals() const;
    // Each goal replaces the former goal of its analyte, all in one write; a goal without TEa and
    // targets removes it. Refused, with nothing changed, for an analyte the list does not hold, a TEa of
    // zero or below, a target of zero, a goal that does not fit its analyte (CheckGoalFits), or no
    // database.
    TOutcome SetGoals(const std::vector<TQualityGoal>& goals);
    TOutcome SetGoal(const TQualityGoal& goal) { return SetGoals({goal}); }
    // A goal file's bytes (ParseGoals; UTF-8 when they are well-formed UTF-8, else Windows-1252): each line
    // replaces the whole goal of its analyte; lines of analytes the list does not hold are skipped and named
    // in the notes. A bad line refuses the whole file. `count` receives the number of goals set.
    TOutcome ImportGoals(const std::string& text, int* count = nullptr);

    // ---------------------------------------------------------------- settings
    // Changes the settings through `change` and writes them; put back in memory when the write fails.
    TOutcome ChangeSettings(const std::function<void(TSettings&)>& change);
    // True when no password is set or `typed` is the password (without regard to case).
    bool PasswordMatches(const std::string& typed) const;

    // ---------------------------------------------------------------- backup
    // What a backup into `folder` would replace, for the confirmation.
    TBackupPlan PlanBackup(const std::string& folder) const;
    TOutcome Backup(const std::string& folder, const TBackupChoice& choice = {});
    // The newest complete backup of the folder (".Sav", else ".Old"), empty when there is none.
    std::string NewestBackup(const std::string& folder) const;
    TOutcome Restore(const std::string& folder);

    // ---------------------------------------------------------------- internals tests may look at
    // Writes the data file now (both lists); throws EQcError.
    void WriteData();

private:
    void Notify(unsigned kinds, const TAnalyte* a = nullptr);
    // The data write of an operation that changed one analyte: on the server only its rows are written.
    void WriteData(const TAnalyte* only);
    TOpenReport OpenServer(const std::string& folder, TOpenMode mode, const TOpenOptions& options);
    // Removes the archive files of a failed change (on the server they were never written).
    void UnlinkArchives(const std::vector<int32_t>& numbers);
    void WriteQueue();
    void WriteSettings();
    // Opens (and makes) the database at a companion's first write.
    void EnsureDatabase();
    void RecordFileState(const std::string& name, const std::string& bytes);
    void CheckFileState(TOpenReport& report);
    void RecoverPointsInEdit(TOpenReport& report);
    void LoadSettingsReporting(TOpenReport& report);
    void LoadQueueReporting(TOpenReport& report);
    bool LoadDataReporting(TOpenReport& report);
    // Archives one level, the file written before anything changes; returns its number.
    int32_t ArchiveLevelFirst(TAnalyte& a, int level);
    // Removes archive files; returns the numbers whose files stayed (each named in the outcome).
    std::vector<int32_t> RemoveArchiveFiles(const std::vector<int32_t>& numbers, TOutcome& outcome);
    void ClearState();
    // The one place where the goal table changes: `removed` names lose their goal, then `goals` replace
    // theirs (an empty goal removes it), in one transaction. Throws EQcError; nothing changed then.
    void WriteGoals(const std::vector<std::string>& removed, const std::vector<TQualityGoal>& goals);
    // After an analyte edit was written: goals follow renamed analytes (and a changed unit or fewer
    // levels), deleted analytes lose theirs. `kept` pairs each edited analyte's former name with it.
    void CarryGoals(const std::vector<std::pair<std::string, const TAnalyte*>>& kept,
                    const std::vector<std::string>& deleted, TOutcome& out);

    bool open_ = false;
    std::unique_ptr<TServerStore> server_;
    // Archives of the change under way, stored with its data write on the server.
    std::vector<TPendingArchive> pendingArchives_;
    // A held run is out for validation: the queue is not reloaded under it.
    bool recalling_ = false;
    TOpenMode mode_ = TOpenMode::Reader;
    TFolderLock lock_;
    TDatabase db_;
    // An unreadable data file that could not be kept aside: writing over it would lose it.
    std::string unkeptDataFile_;
    bool databaseRefused_ = false;
    TAnalyteId current_ = 0;
    mutable int currentIndex_ = -1;
    struct TListener {
        int Id;
        TChangeListener Call;
    };
    std::vector<TListener> listeners_;
    int nextListener_ = 1;
};

// The one layer of the program and of the companion.
TOperations& Operations();
