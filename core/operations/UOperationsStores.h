// The two stores of the operations layer (UStore.h): the program folder and a shared server. Each
// works on the layer's lists and journal, so each is the layer's friend; nothing else asks which one
// the layer holds.
#pragma once

#include <functional>
#include <memory>

#include "UOperations.h"
#include "UStore.h"

class EServerConflict;

// The legacy files and Varnholt.db in the program folder.
class TFolderStore final : public TStore {
public:
    explicit TFolderStore(TOperations& ops) : ops_(ops) {}
    bool KeepsAssessment() const override { return true; }
    bool KeepsPatientQc() const override { return true; }
    std::string Where() const override;
    void OpenRecords() override;
    void SaveData(const TAnalyte* only) override;
    void SaveQueue() override;
    void SaveSettings() override;
    int32_t ArchiveLevelFirst(TAnalyte& a, int level) override;
    std::string ArchiveBytes(int32_t number) const override;
    TArchiveFile ReadArchive(int32_t number, TArchiveParts parts) const override;
    std::map<int32_t, std::string> Archives() const override;
    void DropArchives(const std::vector<int32_t>& numbers) override;
    std::vector<int32_t> RemoveArchives(const std::vector<int32_t>& numbers,
                                        std::vector<EQcError>& failures) override;
    void SetAccount(const TAccount& account, const std::string& password) override;
    void RemoveAccount(const std::string& code) override;
    void RecordSignIn(const std::string& account) override;
    std::vector<TQualityGoal> Goals() const override;
    std::optional<TQualityGoal> GoalOf(const std::string& analyte) const override;
    void SaveGoals(const std::vector<std::string>& removed, const std::vector<TQualityGoal>& goals) override;
    bool JournalAvailable() const override;
    std::vector<TJournalEntry> Journal(const TJournalFilter& filter) const override;
    TJournalCheck CheckJournal() const override;
    TJournalCheck CheckJournalAdded() const override;
    bool RecordsOpen() override;
    std::vector<std::string> CorrectiveActions() const override;
    std::optional<std::string> OperatorPasswordHash(const std::string& code) const override;
    std::vector<TReview> Reviews() const override;
    void SaveCorrectiveActions(const std::vector<std::string>& actions) override;
    void SaveOperatorPassword(const std::string& code, const std::string& hash) override;
    void SaveReview(const TReview& review) override;
    TStoreRecords Records() const override;
    void PutRecords(const TStoreRecords& records) override;
    bool BacksUpRecords() const override;
    std::string RecordsBackupImage(const std::string& dataHash) override;
    void RestoreRecords(const std::string& folder, const std::string& dataBytes,
                        const std::string& source) override;
    std::vector<TAnalyteRules> RuleSets() const override;
    void SaveRuleSets(const std::vector<std::string>& removed,
                      const std::vector<TAnalyteRules>& sets) override;
    // (UOperationsAssessment.cpp)
    std::vector<TPeerStat> PeerStats(const std::string& analyte) const override;
    std::vector<TEqaResult> EqaResults(const std::string& analyte) const override;
    void AddPeerStats(const std::vector<TPeerStat>& stats) override;
    void AddEqaResults(const std::vector<TEqaResult>& results) override;
    // ---------------------------------------------------------------- instrument inbox
    // (UOperationsStoresInbox.cpp)
    TInboxSettings InboxSettings() const override;
    std::optional<std::string> InboxSourceOptions(const std::string& id) const override;
    std::vector<std::string> InboxSourceIds() const override;
    std::vector<TInboxMapping> InboxMappings() const override;
    std::vector<TWaitingResult> NotMappedResults() const override;
    int NotMappedCount() const override;
    bool InboxRecordsOpen() override;
    void SaveInboxSettings(const TInboxSettings& settings) override;
    void SaveInboxSource(const std::string& id, const std::string& options) override;
    int64_t NotMappedCountOf(const std::string& file) const override;
    void DiscardNotMapped(const std::string& file) override;
    void RemoveInboxMapping(const std::string& source, const std::string& code,
                            const std::string& control) override;
    void ForgetInboxFile(const std::string& source, uint64_t hash) override;
    void RecordInboxChange(const std::function<void()>& body) override;
    std::optional<std::string> InboxFileFaults(const std::string& source, uint64_t hash) const override;
    std::vector<bool> InboxSeen(const std::vector<uint64_t>& keys) const override;
    std::vector<TInboxPlan::THeld> PlacedInboxRuns(const std::string& source, const std::string& analyte,
                                                   double low, double high) const override;
    std::vector<std::string> PlacedInboxEntries() const override;
    bool PlacesInboxRunsAtOnce() const override;
    void InboxTransaction(const std::string& what, const std::function<void()>& body) override;
    void SaveInboxMapping(const TInboxMapping& mapping) override;
    std::vector<TWaitingResult> NotMappedOf(const std::string& source, const std::string& code,
                                            const std::string& control) override;
    void SetNotMappedReason(int64_t id, const std::string& reason) override;
    void RecordInboxPlan(const TInboxPlan& plan) override;
    size_t QueueCapacity() const override;
    std::vector<TInboxPending> PendingInboxRuns() const override;
    void MarkInboxRunsPlaced(const std::vector<int64_t>& rows) override;
    // Its inbox records for moving out, and into an empty inbox (in the open transaction).
    TStoreInbox InboxRecords() const;
    void PutInboxRecords(const TStoreInbox& inbox);

private:
    // Runs body and chains the staged entries in one transaction of the database; throws EQcError, and
    // then nothing of it is kept.
    void Record(const std::function<void()>& body);
    // Rows into the database, in the open transaction.
    void PutPeerStats(const std::vector<TPeerStat>& stats);
    void PutEqaResults(const std::vector<TEqaResult>& results);
    TOperations& ops_;
};

// The data on a PostgreSQL server (TServerStore), shared with other benches.
class TSharedStore final : public TStore {
public:
    TSharedStore(TOperations& ops, std::unique_ptr<TServerStore> server);
    TServerStore& Server() const { return *server_; }
    int Socket() const override { return server_->Socket(); }
    bool KeepsAccounts() const override { return true; }
    bool HasAccounts() const override { return server_->HasAccounts(); }
    bool KeepsAssessment() const override { return true; }
    std::string Where() const override { return server_->Redacted(); }
    void SaveData(const TAnalyte* only) override;
    void SaveQueue() override;
    void SaveSettings() override;
    void BringInNews() override;
    int32_t ArchiveLevelFirst(TAnalyte& a, int level) override;
    std::string ArchiveBytes(int32_t number) const override;
    TArchiveFile ReadArchive(int32_t number, TArchiveParts parts) const override;
    std::map<int32_t, std::string> Archives() const override { return server_->Archives(); }
    void DropArchives(const std::vector<int32_t>&) override {} // never written before the data
    std::vector<int32_t> RemoveArchives(const std::vector<int32_t>& numbers,
                                        std::vector<EQcError>& failures) override;
    std::optional<TAccount> SignedIn() const override { return server_->SignedIn(); }
    std::vector<TAccount> Accounts() const override { return server_->Accounts(); }
    void SetAccount(const TAccount& account, const std::string& password) override;
    void RemoveAccount(const std::string& code) override;
    std::vector<TQualityGoal> Goals() const override { return server_->Goals(); }
    std::optional<TQualityGoal> GoalOf(const std::string& analyte) const override;
    void SaveGoals(const std::vector<std::string>& removed, const std::vector<TQualityGoal>& goals) override;
    bool JournalAvailable() const override { return true; }
    std::vector<TJournalEntry> Journal(const TJournalFilter& filter) const override;
    TJournalCheck CheckJournal() const override;
    std::vector<std::string> CorrectiveActions() const override { return server_->CorrectiveActions(); }
    std::optional<std::string> OperatorPasswordHash(const std::string& code) const override {
        return server_->OperatorPasswordHash(code);
    }
    std::optional<bool> OperatorPasswordIs(const std::string& code, const std::string& typed) const override {
        return server_->OperatorPasswordIs(code, typed);
    }
    std::optional<bool> SettingsPasswordIs(const std::string& marker,
                                           const std::string& upper) const override {
        return server_->ProgramPasswordIs(marker, upper);
    }
    std::vector<TReview> Reviews() const override { return server_->Reviews(); }
    std::vector<TReview> ReviewsToShow() const override;
    std::vector<TReview> ReviewsToGuard() const override;
    void SaveCorrectiveActions(const std::vector<std::string>& actions) override;
    void SaveOperatorPassword(const std::string& code, const std::string& hash) override;
    void SaveReview(const TReview& review) override;
    TStoreRecords Records() const override { return server_->Records(); }
    void PutRecords(const TStoreRecords& records) override;
    std::vector<TAnalyteRules> RuleSets() const override { return server_->RuleSets(); }
    void SaveRuleSets(const std::vector<std::string>& removed,
                      const std::vector<TAnalyteRules>& sets) override;
    std::vector<TPeerStat> PeerStats(const std::string& analyte) const override;
    std::vector<TEqaResult> EqaResults(const std::string& analyte) const override;
    void AddPeerStats(const std::vector<TPeerStat>& stats) override;
    void AddEqaResults(const std::vector<TEqaResult>& results) override;
    // ---------------------------------------------------------------- instrument inbox
    // (UOperationsStoresInbox.cpp)
    TInboxSettings InboxSettings() const override;
    std::optional<std::string> InboxSourceOptions(const std::string& id) const override;
    std::vector<std::string> InboxSourceIds() const override;
    std::vector<TInboxMapping> InboxMappings() const override;
    std::vector<TWaitingResult> NotMappedResults() const override;
    int NotMappedCount() const override;
    bool InboxRecordsOpen() override;
    void SaveInboxSettings(const TInboxSettings& settings) override;
    void SaveInboxSource(const std::string& id, const std::string& options) override;
    int64_t NotMappedCountOf(const std::string& file) const override;
    void DiscardNotMapped(const std::string& file) override;
    void RemoveInboxMapping(const std::string& source, const std::string& code,
                            const std::string& control) override;
    void ForgetInboxFile(const std::string& source, uint64_t hash) override;
    void RecordInboxChange(const std::function<void()>& body) override;
    std::optional<std::string> InboxFileFaults(const std::string& source, uint64_t hash) const override;
    std::vector<bool> InboxSeen(const std::vector<uint64_t>& keys) const override;
    std::vector<TInboxPlan::THeld> PlacedInboxRuns(const std::string& source, const std::string& analyte,
                                                   double low, double high) const override;
    std::vector<std::string> PlacedInboxEntries() const override;
    bool PlacesInboxRunsAtOnce() const override;
    void InboxTransaction(const std::string& what, const std::function<void()>& body) override;
    void SaveInboxMapping(const TInboxMapping& mapping) override;
    std::vector<TWaitingResult> NotMappedOf(const std::string& source, const std::string& code,
                                            const std::string& control) override;
    void SetNotMappedReason(int64_t id, const std::string& reason) override;
    void RecordInboxPlan(const TInboxPlan& plan) override;
    std::deque<TResu> QueueElsewhere() const override;
    std::optional<std::deque<TResu>> LockInbox(bool withQueue) override;
    void RecordSignIn(const std::string& account) override;

private:
    // An edit another bench's change refused, kept in the journal with both sides.
    void KeepLostEdit(const EServerConflict& lost);
    TOperations& ops_;
    std::unique_ptr<TServerStore> server_;
};
