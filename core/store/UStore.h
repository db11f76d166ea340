// Where the laboratory's data is kept: the program folder (the legacy files and Varnholt.db) or a
// PostgreSQL server that several benches share. The operations layer holds one store and asks it to
// keep each change; what differs between the two is an operation here, or something the store says it
// can do, never a question of which store it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "UArchive.h"
#include "UEqa.h"
#include "UFifoResult.h"
#include "UInbox.h"
#include "UInboxRecords.h"
#include "UJournal.h"
#include "UPeer.h"
#include "UQcError.h"
#include "UQualityGoals.h"
#include "URuleEngine.h"
#include "UServerStore.h"
#include "UStructures.h"

class TStore {
public:
    virtual ~TStore() = default;

    // ---------------------------------------------------------------- what it can do
    // Other benches change the data too: their changes are told on this socket (-1: nobody else writes)
    // and brought in by BringInNews.
    virtual int Socket() const { return -1; }
    // Operator accounts, signed in with a password, each with a role.
    virtual bool KeepsAccounts() const { return false; }
    // It has accounts: changes are made by the operator signed in, gated ones by a supervisor.
    virtual bool HasAccounts() const { return false; }
    // Peer statistics and EQA results are kept here, and with them a bias source other than the target.
    virtual bool KeepsAssessment() const { return false; }
    // Patient-based QC streams are kept here (the folder's database; a server does not keep them).
    virtual bool KeepsPatientQc() const { return false; }
    // Where the data is, as it may be shown (a server's password hidden).
    virtual std::string Where() const = 0;
    // Opens the records kept beside the data when a writer first needs them (the folder's database,
    // made at a companion's first write); nothing to do where they are always there.
    virtual void OpenRecords() {}

    // ---------------------------------------------------------------- the data
    // Each keeps what the lists in memory hold now, with the journal entries staged for it; throws
    // EQcError, and then nothing of it is kept. `only` names the one analyte a change touched.
    virtual void SaveData(const TAnalyte* only) = 0;
    virtual void SaveQueue() = 0;
    virtual void SaveSettings() = 0;
    // Reloads what other benches changed and tells the listeners; throws EQcError while the store does
    // not answer.
    virtual void BringInNews() {}

    // ---------------------------------------------------------------- archives
    // Archives one level of `a` and erases it, the archive kept before (or with) the data that names it;
    // returns its number.
    virtual int32_t ArchiveLevelFirst(TAnalyte& a, int level) = 0;
    // The archive's bytes; throws EQcError.
    virtual std::string ArchiveBytes(int32_t number) const = 0;
    virtual TArchiveFile ReadArchive(int32_t number, TArchiveParts parts) const = 0;
    // Every archive kept, by number.
    virtual std::map<int32_t, std::string> Archives() const = 0;
    // Archives of a change that was not kept.
    virtual void DropArchives(const std::vector<int32_t>& numbers) = 0;
    // Removes archives no analyte names any more; returns the numbers that stayed, each with its failure
    // in `failures`.
    virtual std::vector<int32_t> RemoveArchives(const std::vector<int32_t>& numbers,
                                                std::vector<EQcError>& failures) = 0;

    // ---------------------------------------------------------------- accounts
    virtual std::optional<TAccount> SignedIn() const { return std::nullopt; }
    virtual std::vector<TAccount> Accounts() const { return {}; }
    // Throw EQcError; asked only of a store that keeps accounts.
    virtual void SetAccount(const TAccount& account, const std::string& password) = 0;
    virtual void RemoveAccount(const std::string& code) = 0;

    // ---------------------------------------------------------------- quality goals
    // Every goal kept, by name; none when they cannot be read.
    virtual std::vector<TQualityGoal> Goals() const = 0;
    // The goal kept for the analyte of that name (without regard to case), if any.
    virtual std::optional<TQualityGoal> GoalOf(const std::string& analyte) const = 0;
    // `removed` names lose their goal, then `goals` replace theirs, with the staged journal entries, in
    // one transaction; throws EQcError, and then nothing changed.
    virtual void SaveGoals(const std::vector<std::string>& removed,
                           const std::vector<TQualityGoal>& goals) = 0;

    // ---------------------------------------------------------------- peer statistics and EQA results
    // Every row kept, in the order the assessment reads them (peer rows by month, level, material and
    // lot; EQA results by day); of one analyte (without regard to case) when it is given. None where
    // they cannot be read or while the store does not answer.
    virtual std::vector<TPeerStat> PeerStats(const std::string& analyte) const = 0;
    virtual std::vector<TEqaResult> EqaResults(const std::string& analyte) const = 0;
    // Rows added with the staged journal entries in one transaction (asked once RecordsOpen); throws
    // EQcError (also for a row kept already), and then nothing of it is kept.
    virtual void AddPeerStats(const std::vector<TPeerStat>& stats) = 0;
    virtual void AddEqaResults(const std::vector<TEqaResult>& results) = 0;

    // ---------------------------------------------------------------- journal and records
    // Changes that need the journal can be recorded.
    virtual bool JournalAvailable() const = 0;
    virtual std::vector<TJournalEntry> Journal(const TJournalFilter& filter) const = 0;
    // The whole chain checked; CheckJournalAdded checks only what was added since the last check, where
    // the store can tell.
    virtual TJournalCheck CheckJournal() const = 0;
    virtual TJournalCheck CheckJournalAdded() const { return CheckJournal(); }
    // Whether the records kept with the journal (reviews, corrective actions, operators' passwords) can be
    // written now, opened first where they are opened when needed.
    virtual bool RecordsOpen() { return true; }
    // The laboratory's own list, empty when it has none; throws EQcError.
    virtual std::vector<std::string> CorrectiveActions() const = 0;
    // The operator's own password hash, if any; throws EQcError.
    virtual std::optional<std::string> OperatorPasswordHash(const std::string& code) const = 0;
    // The operator's password checked where it is kept, when the store checks it itself (its hash is
    // not handed out); nothing when it does not, or keeps none for the operator. Throws EQcError.
    virtual std::optional<bool> OperatorPasswordIs(const std::string&, const std::string&) const {
        return std::nullopt;
    }
    // The settings' password (its marker in the settings, the typed text in upper case) checked where the
    // store keeps its hash, when the store checks it itself; nothing when it does not. Throws EQcError.
    virtual std::optional<bool> SettingsPasswordIs(const std::string&, const std::string&) const {
        return std::nullopt;
    }
    // Every sign-off, in the order signed; throws EQcError.
    virtual std::vector<TReview> Reviews() const = 0;
    // Those shown with the charts: none while the store does not answer.
    virtual std::vector<TReview> ReviewsToShow() const { return Reviews(); }
    // Those a change must respect; throws EQcError where a store that does not answer may hold one.
    virtual std::vector<TReview> ReviewsToGuard() const {
        try {
            return Reviews();
        } catch (const EQcError&) {
            return {};
        }
    }
    // Each keeps its change with the staged journal entries in one transaction; throws EQcError, and then
    // nothing changed and nothing is left staged. An empty hash removes the operator's password; a
    // review is signed by its Reviewer, whom its entries name.
    virtual void SaveCorrectiveActions(const std::vector<std::string>& actions) = 0;
    virtual void SaveOperatorPassword(const std::string& code, const std::string& hash) = 0;
    virtual void SaveReview(const TReview& review) = 0;
    // Everything kept beside the data, to move to another store; PutRecords takes it into an empty one
    // and throws EQcError where it cannot.
    virtual TStoreRecords Records() const = 0;
    virtual void PutRecords(const TStoreRecords& records) = 0;

    // Keeps the staged entries of a sign-in under `account` (its code as the store keeps it) in their own
    // transaction; throws EQcError. Only a store with accounts has sign-ins.
    virtual void RecordSignIn(const std::string& account) = 0;

    // ---------------------------------------------------------------- backup
    // The records beside the data go into a backup with it (the folder's database); a server keeps its
    // own.
    virtual bool BacksUpRecords() const { return false; }
    // Their image, marked as belonging to the data backup whose image hashes to dataHash; throws EQcError.
    virtual std::string RecordsBackupImage(const std::string&) { return {}; }
    // Takes them back from the backup in `folder` made with the data `dataBytes` read from `source`;
    // throws EQcError when there is one but none of it belongs to that data, or it cannot be taken.
    virtual void RestoreRecords(const std::string&, const std::string&, const std::string&) {}
    // ---------------------------------------------------------------- rule sets
    // Every analyte's own rule set, by name; none when they cannot be read.
    virtual std::vector<TAnalyteRules> RuleSets() const = 0;
    // `removed` names lose their rule set, then `sets` replace theirs (an empty set removes it), with the
    // staged journal entries, in one transaction; throws EQcError, and then nothing changed.
    virtual void SaveRuleSets(const std::vector<std::string>& removed,
                              const std::vector<TAnalyteRules>& sets) = 0;

    // ---------------------------------------------------------------- instrument inbox
    // Reading answers nothing where the records cannot be read; writing throws EQcError, and then
    // nothing of it is kept. Each change is kept with the staged journal entries, in one transaction.
    virtual TInboxSettings InboxSettings() const = 0;
    // A source's reading options as text, if any are kept.
    virtual std::optional<std::string> InboxSourceOptions(const std::string& id) const = 0;
    virtual std::vector<std::string> InboxSourceIds() const = 0;
    virtual std::vector<TInboxMapping> InboxMappings() const = 0;
    virtual std::vector<TWaitingResult> NotMappedResults() const = 0;
    virtual int NotMappedCount() const = 0;
    // The records can be written now (opened first where they are opened when needed).
    virtual bool InboxRecordsOpen() = 0;
    virtual void SaveInboxSettings(const TInboxSettings& settings) = 0;
    virtual void SaveInboxSource(const std::string& id, const std::string& options) = 0;
    // Results of that file waiting for a mapping; throws EQcError.
    virtual int64_t NotMappedCountOf(const std::string& file) const = 0;
    virtual void DiscardNotMapped(const std::string& file) = 0;
    // Throws EQcError when there is no such mapping.
    virtual void RemoveInboxMapping(const std::string& source, const std::string& code,
                                    const std::string& control) = 0;
    // A file forgotten as read, so that it is read again.
    virtual void ForgetInboxFile(const std::string& source, uint64_t hash) = 0;
    // `body` (a change of the inbox's files) with the staged journal entries.
    virtual void RecordInboxChange(const std::function<void()>& body) = 0;
    // The faults of a file read before with results taken, by its bytes' fingerprint.
    virtual std::optional<std::string> InboxFileFaults(const std::string& source, uint64_t hash) const = 0;
    // Which of the result keys were taken before (on a server, on any bench).
    virtual std::vector<bool> InboxSeen(const std::vector<uint64_t>& keys) const = 0;
    // The runs placed in the queue from `source` for `analyte` within [low, high], by row.
    virtual std::vector<TInboxPlan::THeld>
    PlacedInboxRuns(const std::string& source, const std::string& analyte, double low, double high) const = 0;
    // The queue images of every run placed in the queue.
    virtual std::vector<std::string> PlacedInboxEntries() const = 0;
    // The queue as the other benches hold it now (none where nobody else writes).
    virtual std::deque<TResu> QueueElsewhere() const { return {}; }
    // The most runs the queue holds.
    virtual size_t QueueCapacity() const { return SIZE_MAX; }
    // A pass's runs are placed (the data and queue kept) inside the transaction that records them;
    // otherwise they are recorded pending and placed after it.
    virtual bool PlacesInboxRunsAtOnce() const = 0;
    // One transaction around `body`, with the journal entries it stages.
    virtual void InboxTransaction(const std::string& what, const std::function<void()>& body) = 0;
    // Inside InboxTransaction: other benches wait to plan runs until it ends. Returns the queue as the
    // store holds it, when asked and it may differ from this bench's.
    virtual std::optional<std::deque<TResu>> LockInbox(bool /*withQueue*/) { return std::nullopt; }
    // Inside InboxTransaction.
    virtual void SaveInboxMapping(const TInboxMapping& mapping) = 0;
    // The results waiting for a mapping of (source, code, control), held against other benches.
    virtual std::vector<TWaitingResult> NotMappedOf(const std::string& source, const std::string& code,
                                                    const std::string& control) = 0;
    virtual void SetNotMappedReason(int64_t id, const std::string& reason) = 0;
    // The plan's runs (pending, or placed when placed at once) and what was read; throws EServerConflict
    // when another bench took any of it meanwhile.
    virtual void RecordInboxPlan(const TInboxPlan& plan) = 0;
    // Runs recorded and not yet placed; throws EQcError.
    virtual std::vector<TInboxPending> PendingInboxRuns() const { return {}; }
    virtual void MarkInboxRunsPlaced(const std::vector<int64_t>&) {}
};
