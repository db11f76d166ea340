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

#include "UArchive.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UDatabase.h"
#include "UEqa.h"
#include "UFolderLock.h"
#include "UGlobale.h"
#include "UInbox.h"
#include "UJournal.h"
#include "UListener.h"
#include "UPatientQc.h"
#include "UPeer.h"
#include "UQcError.h"
#include "UQualityGoals.h"
#include "UServerStore.h"
#include "UStore.h"
#include "UStructures.h"
#include "UUncertainty.h"

// What an operation came to.
enum class TStatus {
    Done,    // everything asked for was done and written
    Refused, // nothing changed: Message says why (a bad input, or a file that could not be written)
    Partial  // the change was saved, but a later write or part failed: Message says what
};

// Why a change was refused, where the caller acts on the kind rather than the text.
enum class TRefusal {
    None,
    Conflict, // another bench changed what the change was made on first: nothing was saved, and making it
              // again (on what is shown now) is safe
    Rejudged  // a conflict too: runs of other benches judge the run otherwise; the user decides again
};

struct TOutcome {
    TStatus Status = TStatus::Done;
    std::string Message; // for the user: the program's own text, with the file and reason where one failed
    std::string File;    // the file that could not be read or written, when that was the failure
    std::string Reason;  // the system's reason for it
    // Texts to show after a success (a damaged file kept aside, a generation removed to make room).
    std::vector<std::string> Notes;
    TRefusal Refusal = TRefusal::None;

    bool Ok() const { return Status == TStatus::Done; }
    bool Changed() const { return Status != TStatus::Refused; }
    static TOutcome Refuse(const std::string& message) { return {TStatus::Refused, message, "", "", {}}; }
    bool Conflict() const {
        return Status == TStatus::Refused && (Refusal == TRefusal::Conflict || Refusal == TRefusal::Rejudged);
    }
    static TOutcome FromError(const EQcError& e, TStatus status = TStatus::Refused) {
        TOutcome out{status, e.what(), e.File, e.Reason, {}};
        if (dynamic_cast<const EServerConflict*>(&e))
            out.Refusal = dynamic_cast<const EServerRejudged*>(&e) ? TRefusal::Rejudged : TRefusal::Conflict;
        return out;
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
    // How long to wait for a lock held by another program or companion (milliseconds).
    int WaitForLockMs = 0;
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

// What a restore from a backup folder would take, for the confirmation.
struct TRestorePlan {
    std::string Source;  // the newest complete backup, empty when there is none
    std::string Damaged; // the newest backup ".Sav" when it cannot be read and Source is older
    int64_t Runs = -1;   // the runs of Source
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

// What the operator said about a run being accepted, for the journal.
struct TRunNote {
    // A run that a rule rejects: the corrective action chosen from the list and the free text.
    std::string CorrectiveAction, Text;
    // Levels rejected in the validation window and then retrieved before OK.
    std::array<bool, MaxLevels> Retrieved{};
    // Needed when the run falls in a reviewed and signed period.
    std::string Reason;
    // The analyte's multirule switch as the validation window left it at OK; the analyte takes it
    // with the run (journaled when it changes), and keeps its former switch when the run is not saved.
    std::optional<bool> Multirules;
};

// A review sign-off (TReview, UJournal.h): the points of an analyte from First to Last (whole days, both
// included) were reviewed and signed. A later change inside the period needs a reason and reopens it.

// True when a rule rejects the run as the validation window judges it (levels stored as discarded
// count as rejected there), or a level not discarded lies beyond its action limits.
bool RunIsRejected(const TAnalyte& a, const TResu& run, bool multirulesOn);

struct TImportCount {
    int Added = 0;
    int Skipped = 0; // runs with no value in the analyte's levels
};

class TFolderStore;
class TSharedStore;

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
    TServerStore* Server() const { return server_; }
    // Where the data is kept, as it may be shown.
    std::string StoreWhere() const { return store_->Where(); }
    // The store keeps operator accounts (signed in with a password, each with a role).
    bool KeepsAccounts() const { return store_->KeepsAccounts(); }
    // The store keeps accounts and holds at least one.
    bool HasAccounts() const { return store_->HasAccounts(); }

    // ---------------------------------------------------------------- several benches (server store)
    // The socket on which the server's notifications arrive (-1 without a server): a program watches it
    // and calls PollServer when it is readable, and now and then besides (a refused change's reload, a
    // reconnection).
    int ServerSocket() const;
    // Brings in what other benches changed: the analytes, lists, queue, settings or goals concerned are
    // reloaded and the listeners told. Refused, with the reason, while the server does not answer; the
    // program keeps what it shows and tries again at the next poll.
    TOutcome PollServer();
    // Every archive kept, by number (the files the analytes name, or the server's); throws EQcError.
    std::map<int32_t, std::string> StoreArchives() const { return store_->Archives(); }
    // The archive's text (the file in the folder, or the server's copy); throws EQcError.
    std::string ArchiveBytes(int32_t number) const;
    // The archive read to `parts` (from the folder only as far as they need); throws EQcError.
    TArchiveFile ReadArchive(int32_t number, TArchiveParts parts) const;
    // The operator signed in on the server, if any.
    std::optional<TAccount> SignedIn() const;
    std::vector<TAccount> Accounts() const;
    TOutcome SetAccount(const TAccount& account, const std::string& password);
    // The records beside the data (journal as written, reviews, corrective actions, operators' own
    // passwords), for moving a store out.
    TStoreRecords Records() const;
    // Those of another store into this folder's database, as they were; refused once this folder's
    // journal holds more than its own start.
    TOutcome PutRecords(const TStoreRecords& records);
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
    // The journal says whether a rule rejected it, with the note's corrective action; a run inside a signed
    // review needs the note's reason (refused without one) and reopens the review.
    TOutcome AcceptRun(TAnalyte& a, const TResu& run, int* index = nullptr, const TRunNote& note = {});
    // A run held in the queue for later validation.
    TOutcome HoldRun(const TResu& run);
    // The oldest held run and its analyte, made ready for validation: an analyte of that name is created
    // when none exists and its number of levels raised to hold every held value (written at once).
    // Nothing when the queue is empty (Refused "Nothing hold in the queue").
    TOutcome RecallRun(TAnalyte*& analyte, TResu& run);
    // Ends a recall: accepted, the run enters the analyte and then leaves the queue; not accepted, it
    // goes to the queue's tail.
    TOutcome ConcludeRecall(TAnalyte& a, const TResu& run, bool accepted, int* index = nullptr,
                            const TRunNote& note = {});
    TOutcome ClearQueue();
    // Runs of an exchange text or the clipboard: values of levels the analyte does not use are dropped,
    // runs left without a value skipped, every level returned to mobile limits.
    TOutcome ImportRuns(TAnalyte& a, const std::vector<TResu>& runs, TImportCount* count = nullptr,
                        const std::string& reason = "");
    // Random runs, one a day from `first`, into the analyte (its levels then mobile) or into the queue.
    // Days inside a signed review need a reason, which reopens it.
    TOutcome AddRandomRuns(TAnalyte& a, int count, const TLevelValues& means, const TLevelValues& cvs,
                           TDateTime first, bool toQueue, int* lastIndex = nullptr,
                           const std::string& reason = "");
    // Predecessor data or backup file: its analytes appended (those read before damage stay).
    TOutcome ImportPredecessor(const std::string& path, int* imported = nullptr);

    // ---------------------------------------------------------------- points
    // Deletes points; `indices` count in the list as it stood at each deletion (the data table's order).
    // A reason is needed (refused without one).
    TOutcome DeletePoints(TAnalyte& a, const std::vector<int>& indices, const std::string& reason = "");
    // Takes a point out to be corrected in the entry fields: deleted and written, and kept in the
    // database until the corrected run is accepted or the fields are cleared, so that a crash in between
    // puts it in the queue at the next start instead of losing it. A reason is needed.
    TOutcome TakePointForEdit(TAnalyte& a, int index, TResu& run, const std::string& reason = "");
    // The point taken for correction is no longer needed (accepted again, or the fields cleared).
    void DropPointInEdit();

    // ---------------------------------------------------------------- limits, erase, archives
    // Writes the limit modes, intervals and fixed limits that the lock or fix page set on the analyte;
    // when the write fails they go back to `before`.
    TOutcome SaveLimits(TAnalyte& a, const TLimitState& before, const std::string& reason = "");
    // Sets on the analyte the limit modes, intervals and fixed limits a page tried on a copy, and writes
    // them as SaveLimits does; a failed write leaves the analyte as it was.
    TOutcome ApplyLimits(TAnalyte& a, const TLimitState& chosen, const std::string& reason = "");
    // Puts back limits that a page tried and then cancelled (nothing to write: the file never held them).
    void RestoreLimits(TAnalyte& a, const TLimitState& before);
    // Options bits (multirules, common CV) of an analyte.
    TOutcome SetAnalyteOptions(TAnalyte& a, uint8_t options);
    // Writes each marked level to a new archive file, then erases it; `numbers` receives the archives.
    // Points inside a signed review need a reason.
    TOutcome EraseLevels(TAnalyte& a, const std::array<bool, MaxLevels>& levels,
                         std::vector<int32_t>* numbers = nullptr, const std::string& reason = "");
    // Removes archives from the analyte, then their files. A reason is needed.
    TOutcome DeleteArchives(TAnalyte& a, const std::vector<int32_t>& numbers, const std::string& reason = "");

    // ---------------------------------------------------------------- reference data
    // A line confirmed for "change and erase" needs a reason.
    TOutcome ApplyMaterials(const TMaterialEdit& edit, const std::string& reason = "");
    // The material of each level; levels whose material changes are first erased and archived when
    // `eraseChanged` (a level whose archive fails keeps its former material).
    TOutcome ApplyAssignment(TAnalyte& a, const std::array<int32_t, MaxLevels>& materials, bool eraseChanged,
                             const std::string& reason = "");
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
    // Writes the backup into `folder` (the data, the queue, the settings and the database); on success
    // LastBackup is today. Backup is the same, under the name the windows call.
    TOutcome BackupData(const std::string& folder, const TBackupChoice& choice = {});
    TOutcome Backup(const std::string& folder, const TBackupChoice& choice = {}) {
        return BackupData(folder, choice);
    }
    // The newest complete backup of the folder (".Sav", else ".Old"), empty when there is none.
    std::string NewestBackup(const std::string& folder) const;
    TRestorePlan PlanRestore(const std::string& folder) const;
    // Replaces the data by the newest complete backup and the database by the database backup made
    // with it (none when no database backup belongs to it). When ".Sav" is damaged, the older backup
    // is taken only with `older`; else refused with nothing changed.
    TOutcome RestoreData(const std::string& folder, bool older = false);
    TOutcome Restore(const std::string& folder, bool older = false) { return RestoreData(folder, older); }

    // ---------------------------------------------------------------- results from the instruments
    // (UOperationsInbox*.cpp) Files dropped in the inbox folder become held runs in the queue. A pass
    // records everything it takes in the database first (the runs to place, the results "not mapped",
    // the result keys and file fingerprints seen), then writes the data and queue files, then marks the
    // runs placed, and only then moves the files to processed/: a crash at any moment leaves each result
    // still in the inbox, recorded (and placed at the next start or reading), or in the queue, and never
    // twice. Reading commands may look at the settings, mappings and waiting results; only the program
    // and writing commands change them.
    TInboxSettings InboxSettings() const;
    TOutcome SetInboxSettings(const TInboxSettings& settings);
    // A source's reading options: those stored, else the defaults under its id.
    TInstrumentSource InboxSource(const std::string& id) const;
    std::vector<TInstrumentSource> InboxSources() const;
    TOutcome SetInboxSource(const TInstrumentSource& source);
    std::vector<TInboxMapping> InboxMappings() const;
    // Stores the mapping and brings in the results waiting for it. The analyte must exist and have the
    // level. A mapping of the same source, code and control to another analyte or level is replaced only
    // with `replace`; runs already held from it stay in the queue as they were read (a note says so).
    TOutcome MapInstrumentResults(const TInboxMapping& mapping, TInboxReport* report = nullptr,
                                  bool replace = false);
    // The stored mapping of a source, test code and control, if any.
    std::optional<TInboxMapping> InboxMappingOf(const std::string& source, const std::string& code,
                                                const std::string& control) const;
    TOutcome RemoveInboxMapping(const std::string& source, const std::string& code,
                                const std::string& control);
    std::vector<TWaitingResult> NotMappedResults() const;
    int NotMappedCount() const;
    // Results of one file waiting for a mapping, thrown away with the reason (a supervisor's decision,
    // journaled). Gives how many were discarded.
    TOutcome DiscardNotMappedResults(const std::string& file, const std::string& reason,
                                     int* discarded = nullptr);
    // The files of the inbox's failed/ folders; none without an inbox.
    std::vector<TFailedInboxFile> FailedInboxFiles() const;
    // Puts a failed file back into its source folder to be read again (with the options as they are
    // now; results taken from it before are not taken twice).
    TOutcome ReadFailedInboxFileAgain(const TFailedInboxFile& file);
    // Removes a failed file and its reason, journaled with the reason given.
    TOutcome RemoveFailedInboxFile(const TFailedInboxFile& file, const std::string& reason);
    // Reads the inbox once: each file's results judged and placed as runs, the file moved to processed/
    // or failed/, a file that ends inside a message left waiting. Refused when no inbox is set, the
    // database is not available, or the folder is open for reading.
    TOutcome ReadInbox(TInboxReport* report = nullptr, const TInboxReadOptions& options = {});
    // (UOperationsLive.cpp) A message a source's listener received, taken as a file of that source would
    // be: written whole into the source's folder (of `inboxFolder`, else the inbox's) and read there
    // alone. "AA" once its results are recorded, "AE" when it was read with faults (kept in failed/, not
    // worth sending again), "AR" when it was not recorded (kept in failed/ with the reason; the sender is
    // to send it again). The reading's report goes to `report`.
    TLiveOutcome RecordLiveMessage(const TInstrumentSource& source, const std::string& message,
                                   TInboxReport* report = nullptr, const std::string& inboxFolder = "");
    // Held runs in the queue that came from the inbox.
    int HeldFromInbox() const;

    // ---------------------------------------------------------------- journal
    // Who makes the changes that follow (cut to 4 characters); the run's own operator is used for runs
    // that name one. Until set: the system user name cut to 4 characters.
    void SetOperator(const std::string& code);
    const std::string& OperatorCode() const { return operator_; }
    static std::string SystemOperator();
    // False when the database could not be opened: changes then go unrecorded.
    bool JournalAvailable() const;
    std::vector<TJournalEntry> Journal(const TJournalFilter& filter = {}) const;
    // The whole chain and, on a folder, every page of the database: what a review or the daily check runs.
    TJournalCheck CheckJournal() const;
    // The entries added since the chain was last found whole (the whole chain on a server): each start.
    TJournalCheck CheckJournalAdded() const;
    // The corrective actions offered when a rule rejects a run (the defaults without a database).
    std::vector<std::string> CorrectiveActions() const;
    TOutcome SetCorrectiveActions(const std::vector<std::string>& actions);

    // ---------------------------------------------------------------- operators' passwords
    bool OperatorHasPassword(const std::string& code) const;
    // The operator's own password when one is set, else the program's password.
    bool OperatorPasswordMatches(const std::string& code, const std::string& typed) const;
    // An empty password removes the operator's own.
    TOutcome SetOperatorPassword(const std::string& code, const std::string& password);

    // ---------------------------------------------------------------- reviews
    // Every sign-off, oldest first; of one analyte when `analyte` is given.
    std::vector<TReview> Reviews(const std::string& analyte = "") const;
    // The signed (not reopened) reviews of an analyte covering any of the date-times.
    std::vector<TReview> SignedReviewsAt(const TAnalyte& a, const std::vector<TDateTime>& times) const;
    // Refuses a signature SignReview would refuse: an unknown reviewer or one who may not sign, a wrong
    // or missing password, a period without runs or one already signed. Gives the period's run count.
    TOutcome CheckReviewSignature(const TAnalyte& a, TDateTime first, TDateTime last,
                                  const std::string& reviewer, const std::string& password,
                                  int* runs = nullptr) const;
    // Signs the points of `a` from `first` to `last` (days) as reviewed by `reviewer` with the password.
    TOutcome SignReview(const TAnalyte& a, TDateTime first, TDateTime last, const std::string& reviewer,
                        const std::string& password);

    // ---------------------------------------------------------------- uncertainty and EQA
    // (UOperationsAssessment.cpp) The measurement uncertainty of each level in use over the request's
    // period, from the level's values and those of its archives (an archive belongs to the level whose
    // material has its material's name), grouped by lot; the bias evidence from the stored EQA results
    // of the analyte in the period. Refused for a coverage factor not above zero, a period that ends
    // before it starts, or an archive that cannot be read.
    TOutcome Uncertainty(const TAnalyte& a, const TUncertaintyRequest& request,
                         std::vector<TLevelUncertainty>& levels) const;
    // The EQA results kept, by date; of one analyte (without regard to case) when it is given. None
    // without a database, or while the server does not answer.
    std::vector<TEqaResult> EqaResults(const std::string& analyte = "") const;
    // An EQA file's bytes (ParseEqaFile) recorded, all in one transaction and journaled. A file with
    // any refused line (also an analyte the list does not hold, or a sample already recorded) records
    // nothing: `refused` receives each line and its reason. `count` receives the results recorded.
    TOutcome ImportEqa(const std::string& bytes, int* count = nullptr,
                       std::vector<TRefusedLine>* refused = nullptr);
    // One EQA result typed in: its fields in the order of EqaColumns (UTF-8, numbers with a point),
    // recorded with the checks of a file's line; a refusal says the reason.
    TOutcome AddEqaResult(const std::vector<std::string>& fields);
    // The corrective action taken for a recorded unacceptable result, journaled as its own entry. A
    // later action for the same sample is journaled too; the latest is the one shown.
    TOutcome RecordEqaAction(const TEqaResult& r, const std::string& action);
    // The latest corrective action journaled for each of the analyte's samples, by EqaSampleKey.
    std::map<std::string, std::string> EqaActions(const std::string& analyte) const;

    // ---------------------------------------------------------------- patient-based QC
    // (UOperationsPatientQc.cpp) The patients' results of a source and test code form a stream mapped
    // to an analyte, kept in the folder's database with their value, time and instrument only. The
    // retention counts whole days: results from before the start of the day that many days ago are
    // never read, and are purged (journaled) when the folder opens for writing, at each recording and
    // when the retention changes. The streams, their mapping, procedure and acknowledged alarms follow
    // a renamed analyte and go with a deleted one.
    int PatientRetentionDays() const;
    TOutcome SetPatientRetentionDays(int days);
    // Maps the patients' results of a source and test code to an analyte (journaled); mapped elsewhere
    // before, its new results join this analyte's stream. Refused for an unknown analyte or an empty
    // source or code.
    TOutcome MapPatientResults(const std::string& source, const std::string& code,
                               const std::string& analyte);
    std::optional<std::string> PatientResultsAnalyte(const std::string& source,
                                                     const std::string& code) const;
    // A stream no longer fed: the results kept stay in its analyte's stream. Refused when not mapped.
    TOutcome UnmapPatientResults(const std::string& source, const std::string& code);
    // The (source, test code) streams mapped to the analyte, in order ("import" and its name: the
    // history loaded by hand).
    std::vector<std::pair<std::string, std::string>> PatientStreams(const TAnalyte& a) const;
    // Screens the readings (non-numeric, censored and flagged results left out and counted) and keeps
    // the rest in the mapped analyte's stream; a result already there is not taken twice. The alarms of
    // the analyte's procedure that the added results raise are journaled and reported.
    TOutcome RecordPatientResults(const std::string& source, const std::string& code,
                                  const std::vector<TPatientReading>& readings,
                                  TPqcRecordReport* report = nullptr);
    // A history of lines "YYYY-MM-DD HH:MM:SS<TAB>value" into the analyte's own stream; a line that
    // cannot be read refuses the whole text.
    TOutcome ImportPatientResults(const TAnalyte& a, const std::string& text,
                                  TPqcRecordReport* report = nullptr);
    // The analyte's stream within the retention, in time order.
    std::vector<TPatientResult> PatientStream(const TAnalyte& a) const;
    // The results left out by rule so far (the counts only).
    TPqcRecordReport PatientExcluded(const TAnalyte& a) const;
    std::optional<TPqcSettings> PatientQcProcedure(const TAnalyte& a) const;
    TOutcome SetPatientQcProcedure(const TAnalyte& a, const TPqcSettings& s);
    // ---------------------------------------------------------------- rule sets
    // An analyte's own reject and warning rules, kept in the database by name beside its goal; they
    // follow a renamed analyte and go with a deleted one. Empty when it has none (or no database).
    TQcRuleSet RuleSet(const std::string& analyte) const;
    std::vector<TAnalyteRules> RuleSets() const;
    // Replaces the analyte's own rule set; an empty set removes it. Refused, with nothing changed, for an
    // analyte the list does not hold, a set CheckQcRuleSet refuses, or no database.
    TOutcome SetRuleSet(const std::string& analyte, const TQcRuleSet& set);
    // ---------------------------------------------------------------- program password
    // The program password typed (in upper case) against the one kept (a hash in the database, or a
    // password still in clear); with none set only the empty text matches.
    bool SettingsPasswordIs(const std::string& upper) const;
    // ---------------------------------------------------------------- journal anchor
    // The head of the journal as printouts show it, "ID:HASH" (the last entry's id and the first 16
    // digits of its hash); empty without a journal. Kept outside the file, it shows later whether
    // entries up to it were changed or removed.
    std::string JournalAnchor() const;
    // The whole chain checked, and the entry a printed anchor names ("ID:HASH", or a hash of at least 8
    // digits) still there with that hash.
    TJournalCheck CheckJournalAnchor(const std::string& anchor) const;

    // ---------------------------------------------------------------- the web view
    // (UOperationsWeb.cpp) A sign-in to the web view, journaled on the server as the account's: accepted,
    // refused, or refused for too many failed attempts. `code` is the account's (empty when the code typed
    // is no account's, which is never journaled: it may be a password typed in the wrong field); `from`
    // the client's address. Refused without a server.
    enum class TWebSignIn { Accepted, Refused, LockedOut };
    TOutcome JournalWebSignIn(const std::string& code, TWebSignIn what, const std::string& from);

    // (UOperationsSecrets.cpp) The program password's Argon2id hash in the folder's database, when the
    // settings name one; and one moved in from a server, under the marker it had there.
    std::optional<std::string> SettingsPasswordHash() const;
    TOutcome AdoptSettingsPassword(const std::string& marker, const std::string& hash);
    // ---------------------------------------------------------------- peer comparison
    // (UOperationsPeer.cpp) The peer statistics kept, by month, level and lot; of one analyte (without
    // regard to case) when it is given. None without a database, or while the server does not answer.
    std::vector<TPeerStat> PeerStats(const std::string& analyte = "") const;
    // A peer file's bytes (ParsePeerFile) recorded in one transaction and journaled. A file with any
    // refused line (also an analyte the list does not hold, a level it does not have, or a row already
    // recorded) records nothing: `refused` receives each line and its reason.
    TOutcome ImportPeer(const std::string& bytes, int* count = nullptr,
                        std::vector<TRefusedLine>* refused = nullptr);
    // The month's peer rows of the analyte against its own values of the month of the same material
    // and lot (the level's current values and its archives), by level. Refused for a month not
    // YYYY-MM or an archive that cannot be read.
    struct TPeerComparison {
        TPeerStat Peer;
        TPeerFigures Lab;
    };
    TOutcome PeerComparison(const TAnalyte& a, const std::string& month,
                            std::vector<TPeerComparison>& rows) const;
    // A goal's bias from its source over the six months to today: with peer data, each level's mean of
    // the monthly relative differences of its values from the peer mean; with EQA results, their mean
    // relative bias, for every level. A level without such data has none.
    void MeasureBias(const TAnalyte& a, TQualityGoal& goal) const;
    // Whether the store keeps peer and EQA records, and with them a bias source other than the target.
    bool KeepsAssessment() const { return store_->KeepsAssessment(); }
    // ---------------------------------------------------------------- patient-based QC alarms
    // (UOperationsPatientQc.cpp)
    // The alarms of the analyte's procedure run over its stream, oldest first, each with its
    // acknowledgement when one is kept; none without a procedure. An alarm not acknowledged is open.
    std::vector<TPqcAlarm> PatientQcAlarms(const TAnalyte& a) const;
    // The same for `run`, the analyte's procedure `s` already run over its stream (none when `s` cannot
    // be used).
    std::vector<TPqcAlarm> PatientQcAlarms(const TAnalyte& a, const TPqcSettings& s,
                                           const TPqcRun& run) const;
    // Every acknowledgement kept for the analyte, by alarm, also of alarms the stream no longer shows.
    std::vector<TPqcAlarm> PatientQcAcknowledgements(const TAnalyte& a) const;
    // The analytes (names, in list order) with an open alarm.
    std::vector<std::string> PatientQcOpenAlarms() const;
    // Acknowledges the alarm at `alarm` (to the second) with the corrective action taken, by `op` (the
    // program's operator when empty); journaled. Refused, with nothing changed, for an alarm the run does
    // not show or one acknowledged already, an empty action, and where patient-based QC is not kept.
    TOutcome AcknowledgePatientQcAlarm(const TAnalyte& a, TDateTime alarm, const std::string& action,
                                       const std::string& op = "");

private:
    friend struct TOperationsTestAccess; // defined in the tests only
    friend class TFolderStore;
    friend class TSharedStore;
    // Writes the data file now (both lists); throws EQcError.
    void WriteData();
    void Notify(unsigned kinds, const TAnalyte* a = nullptr);
    // The data write of an operation that changed one analyte: on the server only its rows are written.
    void WriteData(const TAnalyte* only);
    // The data write of an operation: on failure `undo` puts memory back as it was, and the outcome is
    // "Cannot save data" with the reason.
    TOutcome SaveData(const TAnalyte* only, const std::function<void()>& undo);
    TOpenReport OpenServer(const std::string& folder, TOpenMode mode, const TOpenOptions& options);
    // Removes the archive files of a failed change (on the server they were never written).
    void UnlinkArchives(const std::vector<int32_t>& numbers);
    void WriteQueue();
    void WriteSettings();
    // Opens (and makes) the database at a companion's first write.
    void EnsureDatabase();
    void RecordFileState(const std::string& name, int64_t size, const std::string& hash);
    void CheckFileState(TOpenReport& report);
    void RecoverPointsInEdit(TOpenReport& report);
    // False when the file could not be read (report.Message says why); a damaged one is kept aside.
    bool LoadSettingsReporting(TOpenReport& report);
    bool LoadQueue(TOpenReport& report);
    bool LoadData(TOpenReport& report);
    // Archives one level, the file written before anything changes; returns its number.
    int32_t ArchiveLevelFirst(TAnalyte& a, int level);
    // The staged journal entries go to the server's next transaction.
    void HandJournalToServer(const std::string& who = "");
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
    // The inbox's runs recorded and not yet placed: into the data and queue files, then marked placed.
    TOutcome PlacePendingInboxRuns(TInboxReport* report,
                                   const std::function<void(size_t, size_t)>& progress = {});
    void RecoverInbox(TOpenReport& report);
    // A recall ended after its run reached the data file and before the queue file let it go: the
    // run leaves the queue now, with its entry.
    void SettleRecall(TOpenReport& report);
    // The queue as an inbox pass changes it (UOperationsInboxShared.h).
    class TPassQueue;
    // One reading of the inbox (UOperationsInboxRead.cpp).
    class TInboxPass;
    // The rule sets read once while an operation judges many runs; RuleSet reads them from here.
    mutable const std::vector<TAnalyteRules>* heldRuleSets_ = nullptr;
    class TRuleSetsHeld {
    public:
        explicit TRuleSetsHeld(const TOperations& o) : o_(o), sets_(o.RuleSets()) {
            if (!o_.heldRuleSets_) o_.heldRuleSets_ = &sets_;
        }
        ~TRuleSetsHeld() {
            if (o_.heldRuleSets_ == &sets_) o_.heldRuleSets_ = nullptr;
        }
        TRuleSetsHeld(const TRuleSetsHeld&) = delete;
        TRuleSetsHeld& operator=(const TRuleSetsHeld&) = delete;

    private:
        const TOperations& o_;
        const std::vector<TAnalyteRules> sets_;
    };
    // The journal's "run held" entries of the runs the pass added to the queue.
    void LogNewlyHeld(const TPassQueue& queue);
    void PlanInboxRuns(TInboxPlan& plan, const std::vector<TInstrumentResult>& results,
                       const std::vector<std::string>& origins, const TInboxSettings& settings);
    // The held runs from the inbox that the grouped results may complete, and those no longer held.
    void FindHeldInboxRuns(TInboxPlan& plan, const TRunGrouping& grouping,
                           const std::vector<TInstrumentResult>& results, const TInboxSettings& settings);
    // Refused while the folder is open for reading only or, where `needs` names the database, the
    // inbox's records cannot be written.
    std::optional<TOutcome> InboxUnwritable(const char* needs);
    TOutcome ChangeInbox(const std::function<void()>& change, unsigned what);
    // A pass whose store places its runs at once (PlacesInboxRunsAtOnce): each is one transaction.
    struct TInboxUndo;
    void MapWaitingResults(const TInboxMapping& m, TInboxReport& rep, TInboxUndo& undo);
    void LockInbox(TInboxUndo& undo);
    // Inside the open transaction: the plan's runs into the queue and the data.
    void PlaceInboxPlan(const TInboxPlan& plan, TInboxUndo& undo);
    // After a refused transaction: the queue and analytes as they were.
    void UndoInboxPass(const TInboxUndo& undo);
    void PlacedInboxPass(const TInboxUndo& undo, TInboxReport& rep);

    // The journal: entries staged by an operation go with its next file write. They are stored as
    // pending with the hash the file will have, the file is written, then they are completed and
    // chained. A crash in between is settled at the next open by the file on disk.
    struct TStaged {
        TJournalEntry Entry;
        int64_t Review = 0; // a review that the entry reopens
    };
    void Log(const char* kind, const TAnalyte* a, int level, std::optional<TDateTime> point,
             std::string before, std::string after, std::string reason = "", std::string op = "");
    // `alsoBefore` runs in the same database transaction as the pending entries (one disk sync for both).
    void WriteJournaled(const std::string& path, const std::string& bytes, const TWriteOptions& options = {},
                        const std::function<void()>& alsoBefore = {});
    // The same for a file whose hash is known before `write` puts it in place.
    void WriteJournaled(const std::string& path, const std::string& hash, const std::function<void()>& write,
                        const std::function<void()>& alsoBefore);
    int64_t BeginJournal(const std::string& fileName, const std::string& fileHash,
                         const std::function<void()>& alsoBefore = {});
    void AbandonJournal(int64_t batch);
    void FinishJournal();
    // Staged entries of a change kept in the database only: completed in the caller's transaction.
    void CompleteStaged();
    // A change kept in the database only: `body` and its staged entries in one transaction; refused
    // whole, with the entries dropped, when any of it fails.
    TOutcome RecordInDatabase(const std::function<void()>& body);
    void ReconcileJournal(TOpenReport& report);
    // The entries of a run about to be accepted, judged against the history before it.
    void LogAcceptedRun(const TAnalyte& a, const TResu& run, const TRunNote& note);
    void LogSettings(const TSettings& before, const TSettings& after);
    // After a restore replaced the database: the record of the last entry follows the kept journal.
    void RestoreJournalHead();
    void StartJournal();
    // Refuses (EQcError) a change of points inside a signed review without a reason; else stages the
    // reopening of each review touched.
    void CheckReviews(const TAnalyte& a, const std::vector<TDateTime>& times, const std::string& reason);
    // Rule sets: the one place where their table changes (journaled), and their following an analyte edit.
    void WriteRuleSets(const std::vector<std::string>& removed, const std::vector<TAnalyteRules>& sets);
    void CarryRuleSets(const std::vector<std::pair<std::string, const TAnalyte*>>& kept,
                       const std::vector<std::string>& deleted, TOutcome& out);
    std::vector<TStaged> staged_;
    std::string operator_ = SystemOperator();
    bool journalUnfinished_ = false;

    bool open_ = false;
    // Where the data is kept: the folder until a server is opened.
    std::unique_ptr<TStore> store_;
    // The server store's own interface while one is open, for the inbox's transactions on it.
    TServerStore* server_ = nullptr;
    // Archives of the change under way, stored with its data write on the server.
    std::vector<TPendingArchive> pendingArchives_;
    TOpenMode mode_ = TOpenMode::Reader;
    TFolderLock lock_;
    TDatabase db_;
    // An unreadable data file that could not be kept aside: writing over it would lose it.
    std::string unkeptDataFile_;
    // The hash of the data file as this process last read or wrote it; empty when it did neither.
    std::string dataHash_;
    bool databaseRefused_ = false;
    std::string databaseError_; // why it was refused
    // Between RecallRun and ConcludeRecall the queue's head is being validated: the inbox adds no
    // result to it, and a server's queue is not reloaded under it.
    bool recallOpen_ = false;
    TAnalyteId current_ = 0;
    mutable int currentIndex_ = -1;
    struct TListener {
        int Id;
        TChangeListener Call;
    };
    std::vector<TListener> listeners_;
    int nextListener_ = 1;
    // Patient-based QC (UOperationsPatientQc.cpp): throws EQcError unless its tables can be written.
    void CheckPatientQcWritable();
    bool PatientQcReadable() const;
    // In the caller's transaction, journaled per analyte (staged); gives how many results went.
    int PurgePatientResults();
    // The alarms the stream's statistic raised from `since` on, each journaled (staged).
    std::vector<TDateTime> JournalNewPatientQcAlarms(const TAnalyte& a, TDateTime since);
    // The first moment the retention keeps.
    TDateTime PatientRetentionStart() const;
    // At an opening for writing: what the retention let go while the folder was closed.
    void PurgePatientResultsAtOpen(TOpenReport& report);
    // After an analyte edit was written: the patient-QC data follow renamed analytes and go with deleted
    // ones, as the goals do (CarryGoals).
    void CarryPatientQc(const std::vector<std::pair<std::string, const TAnalyte*>>& kept,
                        const std::vector<std::string>& deleted, TOutcome& out);
    // EQA results and peer statistics (UOperationsAssessment.cpp): why an import must be refused before
    // its file is read (for reading, no database), each reason the import's own text; opens the
    // database otherwise.
    std::optional<TOutcome> AssessmentImportRefused(const char* readOnly, const char* noDatabase);
    // Runs of several benches on a server: what a save tells beside its success (runs of other benches
    // merged with the bench's own), taken by SaveData.
    std::vector<std::string> saveNotes_;
    // Program password (UOperationsSecrets.cpp): the settings file's field for the password in
    // memory, its hash stored first when it is still in clear (throws EQcError without a database).
    std::string HashedSettingsPassword();
    // Removes the hashes no marker names any more.
    void DropOtherSettingsPasswords(const std::string& marker);
    // At an open: a password found in clear goes to the database; a marker whose hash is gone is
    // removed, said in the report.
    void KeepSettingsPasswordHashed(TOpenReport& report);
    // A new journal started while the data already held runs (said at that open).
    std::string journalRestartNote_;
    // The queue file (UOperationsQueueFile.cpp) as this process last read or wrote it: runs pushed since
    // are appended to it, so that holding a run costs the same whatever the queue holds.
    struct TQueueFileState {
        bool Known = false;
        uint64_t Changes = 0; // the queue's Changes() then
        size_t Entries = 0;
        uint64_t Size = 0, Device = 0, Inode = 0;
        TFileStateHasher Hash;
    };
    TQueueFileState queueFile_;
    // After the whole file was read or written with these bytes, holding the queue as it is now.
    void QueueFileTook(std::string_view bytes);
    // Writes the queue file (folder store), appending when only runs were pushed since it was read.
    void SaveQueueFile();
    // A queue file LoadQueue could not read, settled once the database is open: a cut append is
    // undone (its runs were not yet held), anything else kept aside as damaged.
    std::optional<std::string> queueUnread_;
    void SettleQueueFile(TOpenReport& report);
};

// The settings file's password field when the password is kept as a hash, and its key in the
// database's meta table.
bool IsPasswordMarker(std::string_view field);
std::string PasswordMarkerKey(std::string_view marker);
// The first line of a station's server file (its connection string); empty with `refusal` set when
// the file gives a password and every user may read it.
std::string ReadServerFile(const std::string& path, std::string& refusal);

// A run that the analyte already holds: the same moment, values and operator.
bool HoldsRun(const TAnalyte& a, const TResu& run);

// The one layer of the program and of the companion.
TOperations& Operations();
