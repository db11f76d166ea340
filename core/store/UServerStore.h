// The server store: the laboratory's data in a PostgreSQL database that several benches share. The
// operations layer keeps working on its lists in memory; this store loads them, writes each change as
// one transaction on the rows it touched, and brings in what other benches changed.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "UGlobale.h"
#include "UInbox.h"
#include "UInboxRecords.h"
#include "UJournal.h"
#include "UPeer.h"
#include "UPgConnection.h"
#include "UQualityGoals.h"
#include "URuleEngine.h"
#include "UStructures.h"

// One part of the server's schema, as TSchemaPart is for Varnholt.db: steps only ever appended.
struct TServerSchemaPart {
    const char* Name;
    std::vector<const char*> Steps;
};
const std::vector<TServerSchemaPart>& ServerSchemaParts();

// Texts between the program (Windows-1252, NUL allowed) and the server (UTF-8).
std::string ServerText(std::string_view cp1252);
std::string LocalText(std::string_view utf8);

// Another bench changed what this change was made on: nothing was written; the store reloads it at
// the next poll.
class EServerConflict : public EQcError {
public:
    explicit EServerConflict(const std::string& message) : EQcError(message) {}
    // An edit that lost: the analyte, what this bench wanted and what the server holds instead, in the
    // journal's words; empty when the conflict does not name both sides.
    std::string Analyte, Wanted, Held;
};

// Runs added on the history the server holds now are judged otherwise than on the one the bench
// judged them on: nothing was written, and the user decides (a retry would store another judgement).
class EServerRejudged : public EServerConflict {
public:
    explicit EServerRejudged(const std::string& message) : EServerConflict(message) {}
};

// How a run is judged on the points of an analyte before it (level states and the rules that fire),
// as one text: two histories judge a run alike when the texts are equal.
using TRunJudge = std::function<std::string(const TAnalyte& history, const TResu& run)>;

enum class TRole { Technologist, Supervisor };
const char* RoleName(TRole role);
std::optional<TRole> RoleByName(const std::string& name);

struct TAccount {
    std::string Code, Name;
    TRole Role = TRole::Technologist;
};

// What other benches changed since the last poll (or what a refused change found stale).
struct TServerNews {
    bool Everything = false; // after a reconnection: anything may have changed
    bool Catalogue = false;  // materials, the analyte list, its order
    bool Queue = false, Settings = false, Goals = false;
    std::vector<int64_t> Analytes; // server ids whose rows changed
    bool Any() const { return Everything || Catalogue || Queue || Settings || Goals || !Analytes.empty(); }
};

// An archive made by an erase, written in the same transaction as the analyte that names it.
struct TPendingArchive {
    int32_t Number;
    std::string Text;
    std::string Analyte;
};

// A journal entry for the next transaction, with the review it reopens (0: none).
struct TServerJournalEntry {
    TJournalEntry Entry;
    int64_t Review = 0;
};

// The instrument inbox's records (texts as the program holds them), for moving in and out.
struct TStoreInbox {
    std::optional<TInboxSettings> Settings;                   // the bench's own
    std::vector<std::pair<std::string, std::string>> Sources; // id, reading options as text
    std::vector<TInboxMapping> Mappings;
    std::vector<TWaitingResult> Waiting;
    std::vector<int64_t> Seen;
    struct TFile {
        std::string Source;
        int64_t Hash = 0;
        std::string Name;
        int64_t Results = 0;
        std::string Faults, ReadUtc;
    };
    std::vector<TFile> Files;
    struct TMessage {
        std::string Source, Id, File, ReadUtc;
    };
    std::vector<TMessage> Messages;
    struct TRun {
        std::string Source, Analyte, Target, Entry;
        std::optional<std::string> Replaces;
        double First = 0, Last = 0;
        std::string State, Verdict, Note, MadeUtc;
    };
    std::vector<TRun> Runs;
};

// This bench on a server: the name its own inbox settings are kept under.
std::string ServerStation();
// The columns of a result waiting for a mapping, and one read back from them from column `col` on.
extern const char* const ServerWaitingColumns;
TInstrumentResult ServerWaitingRow(const TPgResult& result, int row, int col);

// The records kept beside the data (Varnholt.db in a folder): the journal as written (ids and hashes
// kept, so that its chain stays whole), the reviews, the corrective actions, operators' own passwords.
struct TStoreRecords {
    std::vector<TJournalEntry> Journal;
    std::optional<std::pair<int64_t, std::string>> JournalHead; // id and hash of the last entry written
    std::vector<TReview> Reviews;
    std::vector<std::string> CorrectiveActions;                         // Windows-1252
    std::vector<std::pair<std::string, std::string>> OperatorPasswords; // code (UTF-8), Argon2id string
    TStoreInbox Inbox;
    std::vector<TPeerStat> Peer;
    std::vector<TEqaResult> Eqa;
    // The program password's marker and Argon2id hash, when it is kept as one.
    std::optional<std::pair<std::string, std::string>> ProgramPassword;
};

// Everything a folder holds, for moving in and out.
struct TStoreContents {
    TListSerum Serum;
    TListAnalytes Analytes;
    std::deque<TResu> Queue;
    bool HasSettings = false;
    TSettings Settings;
    std::vector<std::string> Operators;
    std::map<int32_t, std::string> Archives; // number -> bytes of the archive file
    std::vector<TQualityGoal> Goals;
    TStoreRecords Records;
    std::vector<TAnalyteRules> RuleSets; // written after the goals, as they are
};

class TServerStore {
public:
    explicit TServerStore(std::string conninfo);
    // The connection string as it may be shown: its password replaced.
    const std::string& Redacted() const { return redacted_; }

    // Connects and listens. Writing, the schema is brought up to date (one bench at a time); reading, it
    // must be up to date. Throws EQcError: unreachable, refused, or a schema newer than the program.
    void Connect(bool write);
    bool HasData() const;
    // After a lost connection: connects again (everything is then reloaded at the next poll); throws
    // EQcError while the server does not answer.
    void EnsureConnected();

    // ---------------------------------------------------------------- accounts
    bool HasAccounts() const;
    std::vector<TAccount> Accounts() const;
    // Checks code and password; the account signed in attributes every change. Throws EQcError with
    // one message for an unknown code and a wrong password.
    void SignIn(const std::string& code, const std::string& password);
    const std::optional<TAccount>& SignedIn() const { return account_; }
    // Made or replaced (a password of "" keeps the former one); by a supervisor, or by anyone while
    // the server has no account.
    void SetAccount(const TAccount& account, const std::string& password);
    void RemoveAccount(const std::string& code);
    // Throws EQcError unless the signed-in operator may make changes of supervisors (every change is
    // allowed while the server has no account).
    // `what` is a marked text, translated in the message.
    void RequireSupervisor(const char* what) const;

    // ---------------------------------------------------------------- reading
    // Fills the lists with what the server holds and remembers it as the state this bench knows.
    void Load(TListSerum& serum, TListAnalytes& analytes, std::deque<TResu>& queue, TSettings& settings,
              std::vector<std::string>& operators, bool& hasSettings);
    std::optional<std::string> Archive(int32_t number) const;
    std::map<int32_t, std::string> Archives() const;
    std::vector<TQualityGoal> Goals() const;
    std::vector<TAnalyteRules> RuleSets() const;
    // Peer statistics and EQA results, in the order the folder's database gives them; of one analyte
    // (without regard to case) when it is given.
    std::vector<TPeerStat> PeerStats(const std::string& analyte) const;
    std::vector<TEqaResult> EqaResults(const std::string& analyte) const;

    // ---------------------------------------------------------------- writing
    // Each is one transaction; on any failure nothing is written, and the known state is unchanged.
    // `only` names the one analyte an operation changed; without it the lists are compared whole.
    void WriteData(const TListSerum& serum, const TListAnalytes& analytes, const TAnalyte* only,
                   const std::vector<TPendingArchive>& archives);
    void WriteQueue(const std::deque<TResu>& queue);
    // The program password is kept as an Argon2id hash: `passwordField` is told the marker the settings
    // hold instead of a password given in clear.
    void WriteSettings(const TSettings& settings, const std::vector<std::string>& operators,
                       std::string* passwordField = nullptr);
    // The program password checked on the server against the hash `marker` names.
    bool ProgramPasswordIs(const std::string& marker, const std::string& typed) const;
    void DeleteArchives(const std::vector<int32_t>& numbers);
    // A number no archive has, here or on any bench.
    int32_t ReserveArchiveNumber(const TListAnalytes& analytes);
    void WriteGoals(const std::vector<std::string>& removed, const std::vector<TQualityGoal>& goals);
    // Analytes' own rule sets: `removed` names lose theirs, then `sets` replace theirs (an empty set removes
    // it).
    void WriteRuleSets(const std::vector<std::string>& removed, const std::vector<TAnalyteRules>& sets);
    // Rows added, by any account signed in (a technologist records the reports the laboratory
    // receives); a row another bench added meanwhile refuses them all.
    void AddPeerStats(const std::vector<TPeerStat>& stats);
    void AddEqaResults(const std::vector<TEqaResult>& results);
    // A folder's contents into an empty server database, in one transaction.
    void ImportContents(const TStoreContents& contents);
    // One transaction around `body`: the writes above made inside it, the rows it writes through
    // Connection() and the journal entries staged meanwhile are stored together or not at all; what this
    // bench knows of the server follows only once it is committed. Throws EQcError (EServerConflict for a
    // stale change); nothing is stored then.
    void InTransaction(const std::string& what, const std::function<void()>& body);
    bool InTransaction() const { return depth_ > 0; }

    // ---------------------------------------------------------------- journal and records
    // The entries the next transaction writes, chained after the server's last one with the change it
    // records (replacing any handed before and not written: a refused change records nothing).
    // Inside InTransaction, entries handed are added to those handed before.
    void StageJournal(std::vector<TServerJournalEntry> entries);
    std::vector<TJournalEntry> ReadJournal() const;
    // Id and hash of the last entry written; nothing when the record was removed.
    std::optional<std::pair<int64_t, std::string>> JournalHead() const;
    std::vector<TReview> Reviews() const;
    // The sign-off and its staged journal entry, in one transaction.
    void SignReview(const TReview& review);
    std::vector<std::string> CorrectiveActions() const;
    void SetCorrectiveActions(const std::vector<std::string>& actions);
    // The operator's password hash: the account's, else an own password kept without an account.
    // Whether the operator has a password: an empty text when one is kept, as the hash stays on the server.
    std::optional<std::string> OperatorPasswordHash(const std::string& code) const;
    // Checked by the server: nothing when no password is kept for the operator.
    std::optional<bool> OperatorPasswordIs(const std::string& code, const std::string& typed) const;
    // An empty hash removes the own password (an account keeps its sign-in password).
    void SetOperatorPassword(const std::string& code, const std::string& hash);
    // Everything for moving out; an account's password goes as the operator's own password.
    TStoreRecords Records() const;

    // ---------------------------------------------------------------- other benches
    int Socket() const { return conn_.Socket(); }
    // Reads the notifications waiting (and reconnects after a lost connection, at most every two
    // seconds). Throws EQcError when the server does not answer.
    TServerNews TakeNews();
    // News to be taken again at the next poll.
    void Defer(const TServerNews& news);
    // Brings the lists up to what the server holds; analytes keep their objects (and Uid) where they
    // are still there. Returns the analytes whose data changed.
    std::vector<TAnalyte*> Reload(TListSerum& serum, TListAnalytes& analytes);
    // One analyte again; false when it is no longer on the server.
    bool ReloadAnalyte(TAnalyte& a);
    TAnalyte* FindByServerId(const TListAnalytes& analytes, int64_t id) const;
    void ReloadQueue(std::deque<TResu>& queue);
    // The queue as the server holds it now (inside a transaction: as it sees it), the known state kept.
    std::deque<TResu> QueueNow() const;
    void ReloadSettings(TSettings& settings, std::vector<std::string>& operators);

    // (UServerInbox.cpp) The inbox as a bench reads and changes it; the writes inside a transaction.
    // The mappings, results waiting and held runs are shared; the settings are this bench's own.
    std::optional<TInboxSettings> InboxSettings() const;
    std::optional<std::string> InboxSourceOptions(const std::string& id) const;
    std::vector<std::string> InboxSourceIds() const;
    std::vector<TInboxMapping> InboxMappings() const;
    std::vector<TWaitingResult> InboxWaiting() const;
    // All results waiting, or those of one file.
    int64_t InboxWaitingCount(const std::string* file = nullptr) const;
    void PutInboxSettings(const TInboxSettings& settings);
    void PutInboxSource(const std::string& id, const std::string& options);
    void DeleteInboxWaiting(const std::string& file);
    // False when there was no such mapping.
    bool DeleteInboxMapping(const std::string& source, const std::string& code, const std::string& control);
    void DeleteInboxFile(const std::string& source, uint64_t hash);
    std::optional<std::string> InboxFileFaults(const std::string& source, uint64_t hash) const;
    std::vector<bool> InboxSeen(const std::vector<uint64_t>& keys) const;
    std::vector<TInboxPlan::THeld> PlacedInboxRuns(const std::string& source, const std::string& analyte,
                                                   double low, double high) const;
    std::vector<std::string> PlacedInboxEntries() const;
    // One bench at a time plans runs against the shared mapping and held runs, until its commit.
    void LockInbox();
    void PutInboxMapping(const TInboxMapping& mapping);
    // Locked against another bench mapping them meanwhile.
    std::vector<TWaitingResult> InboxWaitingOf(const std::string& source, const std::string& code,
                                               const std::string& control);
    void SetInboxWaitingReason(int64_t id, const std::string& reason);
    // The plan's runs as placed; EServerConflict when another bench took any of it meanwhile.
    void RecordInboxPlan(const TInboxPlan& plan);

    // For tests: the connection (to break it) and the server process serving it.
    TPgConnection& Connection() { return conn_; }

    // ---------------------------------------------------------------- runs of several benches
    // Runs only added to an analyte are stored on what the server holds at the commit, whatever other
    // benches added meanwhile, without the version check. Where others' runs arrived, each added run is
    // judged again by `judge` on the server's history first: a different judgement refuses the change
    // (EServerRejudged). `merged` is told the analyte as it was stored (its Uid kept) and how many runs
    // of other benches it gained, once committed.
    void SetRunJudge(TRunJudge judge) { judge_ = std::move(judge); }
    void OnMerged(std::function<void(const TAnalyte& stored, int others)> merged) {
        merged_ = std::move(merged);
    }

private:
    struct TShadow {
        int64_t Id = 0;
        int64_t Version = 0;
        TAnalyte Stored;
    };
    template <typename F> void Transaction(const std::string& what, F&& body);
    template <typename F> void Snapshot(F&& body) const;
    // Runs `f` now, or once the open transaction is committed (dropped when it is not).
    void OnCommit(std::function<void()> f);
    void Listen();
    void MigrateSchema(bool write);
    void HashProgramPassword();
    std::vector<std::unique_ptr<TAnalyte>> LoadAnalytes(const std::optional<int64_t>& only,
                                                        std::vector<std::pair<int64_t, int64_t>>& ids) const;
    void LoadMaterials(TListSerum& serum) const;
    void InsertAnalyte(const TAnalyte& a, int ord, int64_t& id, int64_t& version);
    // Writes what differs from the shadow; returns the new version. A change that only adds runs is
    // made on what the server holds instead (`stored` then holds the analyte written, `others` the runs
    // of other benches it gained).
    int64_t WriteAnalyte(const TAnalyte& a, const TShadow& shadow, std::optional<TAnalyte>& stored,
                         int& others);
    // `runsOnly`: the change only adds runs (the analyte's `edited` version stays).
    int64_t WriteChanges(const TAnalyte& a, const TShadow& shadow, bool runsOnly);
    // Under the row lock, when only runs were added since the bench's state: that state with the runs
    // others added, at the places the server holds them; nothing where that cannot be told so.
    std::optional<TAnalyte> WithRunsAdded(const TShadow& shadow);
    // Inside the transaction, the analyte's row locked at `version`: the runs added on the server's
    // analyte `now`, judged again where its history differs from the one the bench saw.
    TAnalyte MergeRuns(const TAnalyte& a, const TShadow& shadow, const TAnalyte& now,
                       const std::vector<TResu>& added);
    // `added`: the analyte's version that stores them.
    void CopyPoints(int64_t id, const TAnalyte& a, int from, int to, int ordBase, int64_t added = 0);
    void CopyComments(int64_t id, const TAnalyte& a, int from);
    void WriteMaterials(const TListSerum& serum);
    void BumpStore(const char* key, int64_t known, int64_t* now);
    void Notify(const std::string& payload);
    void CheckTechnologistChange(const TAnalyte& a, const TAnalyte* before) const;
    void WriteJournal(std::vector<TServerJournalEntry>& entries);
    void ImportRecords(const TStoreRecords& records);
    // (UServerInbox.cpp) Inside an open transaction.
    TStoreInbox InboxRecords() const;
    void ImportInbox(const TStoreInbox& inbox);

    std::string conninfo_, redacted_;
    mutable TPgConnection conn_;
    bool hasAccounts_ = false;
    std::optional<TAccount> account_;
    std::string token_; // the server's session of the account signed in
    std::map<TAnalyteId, TShadow> shadows_;
    std::vector<TAnalyteId> order_;
    TListSerum serum_;
    int64_t catalogueVersion_ = 0, settingsVersion_ = 0;
    std::vector<std::pair<int64_t, TResu>> queue_;
    std::vector<std::string> notes_; // payloads sent by the open transaction
    std::vector<TServerJournalEntry> journal_;
    TServerNews stale_;
    bool everythingStale_ = false;
    int64_t lastReconnect_ = 0;
    int depth_ = 0;
    std::vector<std::function<void()>> afterCommit_;
    TRunJudge judge_;
    std::function<void(const TAnalyte&, int)> merged_;
    const std::vector<TServerJournalEntry>* entries_ = nullptr; // those of the open transaction
};
