// The operations layer on a server store: opening, what other benches changed, archives, accounts.
#include <algorithm>
#include <deque>
#include <tuple>

#include "UArchive.h"
#include "UAtomicFile.h"
#include "UCodePage.h"
#include "UDataLoadSave.h"
#include "UFifoResult.h"
#include "UJournalTexts.h"
#include "UOperations.h"
#include "UOperationsStores.h"
#include "URandom.h"
#include "UTexts.h"

namespace {
constexpr const char* NoAccounts =
    QT_TRANSLATE_NOOP("Core", "Operator accounts are kept on a server; this folder has none");

} // namespace

TSharedStore::TSharedStore(TOperations& ops, std::unique_ptr<TServerStore> server)
    : ops_(ops), server_(std::move(server)) {
    // The one place a run is judged again on the history a server holds: its levels classified against
    // the limits there (discarded ones kept) and the rules that fire, as the journal records them.
    server_->SetRunJudge([this](const TAnalyte& history, const TResu& run) {
        TResu judged = run;
        history.ClassifyRun(judged.Levels);
        const TRunVerdict v = JudgeAnalyteRun(history, ops_.RuleSet(history.Name), judged,
                                              PreviousIndex(history, judged.DateTime),
                                              DiscardedLevels(judged), history.MultirulesOn());
        const std::string text = RunText(history, judged.Levels), rules = RulesText(v);
        return rules.empty() ? text : text + "; rules: " + rules;
    });
    server_->OnMerged([this](const TAnalyte& stored, int others) {
        TAnalyte* a = ListAnalytes.Find(stored.Uid);
        if (!a) return;
        *a = stored;
        if (others > 0)
            ops_.saveNotes_.push_back(Fill(QT_TRANSLATE_NOOP("Core", "Runs of other benches reached %1 "
                                                                     "meanwhile: the run was judged again "
                                                                     "on them, alike, and saved."),
                                           a->Name));
        ops_.Notify(ckPoints, a);
    });
}

TOpenReport TOperations::OpenServer(const std::string& folder, TOpenMode mode, const TOpenOptions& options) {
    TOpenReport report;
    mode_ = mode;
    // This station's folder, named but never written: the data is on the server.
    ProgramFolder = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    BaseName = ProgramFolder + "Varnholt";
    ClearState();
    auto store = std::make_unique<TServerStore>(options.Server);
    try {
        store->Connect(mode != TOpenMode::Reader);
        if (store->HasAccounts()) {
            if (options.OperatorCode.empty()) {
                report.SignInNeeded = true;
                report.Message =
                    Fill(QT_TRANSLATE_NOOP("Core",
                                           "Sign in: the server %1 asks for an operator code and password"),
                         store->Redacted());
                return report;
            }
            store->SignIn(options.OperatorCode, options.OperatorPassword);
        }
        Randomize();
        std::deque<TResu> queue;
        bool hasSettings = false;
        store->Load(ListSerum, ListAnalytes, queue, Settings, Operators, hasSettings);
        for (TResu& r : queue) Fifo.Push(std::move(r));
        Settings.Signature = ProgramSignature;
        FirstRun = !hasSettings && ListAnalytes.Count() == 0 && ListSerum.Count() == 0 && Fifo.Count() == 0;
        server_ = store.get();
        store_ = std::make_unique<TSharedStore>(*this, std::move(store));
        open_ = true;
    } catch (const EQcError& e) {
        ClearState();
        report.Message = e.what();
        return report;
    }
    report.FirstRun = FirstRun;
    if (FirstRun && options.SampleOnFirstRun && mode != TOpenMode::Reader) {
        BuildSampleData();
        try {
            WriteData();
            WriteQueue();
            WriteSettings();
        } catch (const EQcError& e) {
            report.Notes.push_back(Fill(QT_TRANSLATE_NOOP("Core", "Cannot save data\r%1"), e.what()));
        }
    } else if (FirstRun && options.SampleOnFirstRun) {
        BuildSampleData();
    }
    if (ListAnalytes.Count() > 0) SetCurrent(&ListAnalytes[0]);
    report.Opened = true;
    return report;
}

int TOperations::ServerSocket() const {
    return store_->Socket();
}

TOutcome TOperations::PollServer() {
    if (!open_) return {};
    try {
        store_->BringInNews();
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    return {};
}

void TSharedStore::BringInNews() {
    TServerNews news = server_->TakeNews();
    if (!news.Any()) return;
    unsigned kinds = 0;
    std::vector<TAnalyte*> changed;
    bool catalogue = news.Everything || news.Catalogue;
    // An analyte as the windows show it beside its points: its name and definition.
    auto defined = [](const TAnalyte& a) {
        return std::tuple(a.Name, a.Unit, a.Decimals, a.NbLevels, a.MaterialId);
    };
    if (!catalogue)
        for (int64_t id : news.Analytes) {
            TAnalyte* a = server_->FindByServerId(ListAnalytes, id);
            const auto before = a ? defined(*a) : decltype(defined(*a)){};
            if (!a || !server_->ReloadAnalyte(*a)) {
                catalogue = true; // made or deleted elsewhere
                break;
            }
            // Renamed or redefined elsewhere: the list is shown anew.
            if (defined(*a) != before) kinds |= ckAnalytes;
            changed.push_back(a);
        }
    if (catalogue) {
        changed = server_->Reload(ListSerum, ListAnalytes);
        ops_.currentIndex_ = -1;
        kinds |= ckAnalytes | ckMaterials;
    }
    if ((news.Everything || news.Queue) && !ops_.recallOpen_) {
        std::deque<TResu> queue;
        server_->ReloadQueue(queue);
        Fifo.ClearQueue();
        for (TResu& r : queue) Fifo.Push(std::move(r));
        kinds |= ckQueue;
    } else if (news.Queue) {
        // Once the run out for validation is concluded.
        TServerNews later;
        later.Queue = true;
        server_->Defer(later);
    }
    if (news.Everything || news.Settings) {
        const TRiskRows rows = RiskRowsInForce();
        server_->ReloadSettings(Settings, Operators);
        Settings.Signature = ProgramSignature;
        kinds |= ckSettings;
        // Rows of the t table changed on another bench: every analyte's limits follow.
        if (RiskRowsInForce() != rows) {
            for (int i = 0; i < ListAnalytes.Count(); ++i) ListAnalytes[i].RecalcAll();
            kinds |= ckPoints;
        }
    }
    if (news.Everything || news.Goals) kinds |= ckGoals;
    if (!ops_.Current() && ListAnalytes.Count() > 0) ops_.SetCurrent(&ListAnalytes[0]);
    for (TAnalyte* a : changed) ops_.Notify(ckPoints | ckArchives | ckGoals, a);
    if (kinds) ops_.Notify(kinds);
}

int32_t TOperations::ArchiveLevelFirst(TAnalyte& a, int level) {
    return store_->ArchiveLevelFirst(a, level);
}

std::string TOperations::ArchiveBytes(int32_t number) const {
    return store_->ArchiveBytes(number);
}

TArchiveFile TOperations::ReadArchive(int32_t number, TArchiveParts parts) const {
    return store_->ReadArchive(number, parts);
}

std::optional<TAccount> TOperations::SignedIn() const {
    return store_->SignedIn();
}

std::vector<TAccount> TOperations::Accounts() const {
    return store_->Accounts();
}

TOutcome TOperations::SetAccount(const TAccount& account, const std::string& password) {
    if (!store_->KeepsAccounts()) return TOutcome::Refuse(NoAccounts);
    try {
        const std::vector<TAccount> accounts = store_->Accounts();
        const bool had = std::any_of(accounts.begin(), accounts.end(),
                                     [&account](const TAccount& a) { return a.Code == account.Code; });
        Log(jk::OperatorsChanged, nullptr, 0, std::nullopt, had ? "account " + account.Code : "",
            "account " + account.Code + " (" + account.Name + "), " + RoleName(account.Role) +
                (password.empty() ? "" : ", password set"));
        store_->SetAccount(account, password);
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    Notify(ckSettings);
    return {};
}

TOutcome TOperations::RemoveAccount(const std::string& code) {
    if (!store_->KeepsAccounts()) return TOutcome::Refuse(NoAccounts);
    try {
        Log(jk::OperatorsChanged, nullptr, 0, std::nullopt, "account " + code, "removed");
        store_->RemoveAccount(code);
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    Notify(ckSettings);
    return {};
}

// ---------------------------------------------------------------- the server store

void TSharedStore::SaveData(const TAnalyte* only) {
    std::vector<TPendingArchive> archives = std::move(ops_.pendingArchives_);
    ops_.pendingArchives_.clear();
    if (ops_.mode_ == TOpenMode::Reader) {
        ops_.staged_.clear();
        throw EQcError(
            TranslatedText(QT_TRANSLATE_NOOP("Core", "Cannot save data: the server is open for reading")));
    }
    ops_.HandJournalToServer();
    try {
        server_->WriteData(ListSerum, ListAnalytes, only, archives);
    } catch (const EServerConflict& e) {
        if (!e.Wanted.empty() && !server_->InTransaction()) KeepLostEdit(e);
        throw;
    }
}

void TSharedStore::KeepLostEdit(const EServerConflict& lost) {
    // Kept in the journal, in a transaction of its own, so that the change can be made again by hand
    // from what it says; a note that cannot be written leaves the refusal as it is.
    try {
        ops_.staged_.clear();
        ops_.Log(jk::EditRefused, ListAnalytes.FindByName(lost.Analyte), 0, std::nullopt, lost.Held,
                 lost.Wanted, "changed on another bench meanwhile");
        if (ops_.staged_.back().Entry.Analyte.empty())
            ops_.staged_.back().Entry.Analyte = Cp1252ToUtf8(lost.Analyte);
        ops_.HandJournalToServer();
        server_->InTransaction("edit refused", [] {});
    } catch (const EQcError&) {
        ops_.staged_.clear();
    }
}

void TSharedStore::SaveQueue() {
    ops_.HandJournalToServer();
    server_->WriteQueue(Fifo.Entries());
}

void TSharedStore::SaveSettings() {
    ops_.HandJournalToServer();
    // The program password goes to the server as a hash; the settings keep the marker naming it.
    std::string field;
    server_->WriteSettings(Settings, Operators, &field);
    Settings.Password = field;
}

int32_t TSharedStore::ArchiveLevelFirst(TAnalyte& a, int level) {
    // The text is stored with the data write that names it, in one transaction.
    std::string text = ArchiveText(a, level);
    const int32_t n = server_->ReserveArchiveNumber(ListAnalytes);
    ops_.pendingArchives_.push_back({n, std::move(text), a.Name});
    a.ArchiveNumbers.push_back(n);
    EraseArchivedLevel(a, level);
    return n;
}

std::string TSharedStore::ArchiveBytes(int32_t number) const {
    std::optional<std::string> bytes = server_->Archive(number);
    if (!bytes)
        throw EQcError(
            Fill(QT_TRANSLATE_NOOP("Core", "The archive %1 is not on the server"), std::to_string(number)));
    return *bytes;
}

TArchiveFile TSharedStore::ReadArchive(int32_t number, TArchiveParts parts) const {
    return ParseArchiveFile(ArchiveBytes(number), parts);
}

std::vector<int32_t> TSharedStore::RemoveArchives(const std::vector<int32_t>& numbers,
                                                  std::vector<EQcError>& failures) {
    // The server's archives go in one transaction: all stay when it fails.
    try {
        ops_.HandJournalToServer();
        server_->DeleteArchives(numbers);
    } catch (const EQcError& e) {
        failures.emplace_back(e.what());
        return numbers;
    }
    return {};
}

void TSharedStore::SetAccount(const TAccount& account, const std::string& password) {
    ops_.HandJournalToServer();
    server_->SetAccount(account, password);
}

void TSharedStore::RemoveAccount(const std::string& code) {
    ops_.HandJournalToServer();
    server_->RemoveAccount(code);
}

std::optional<TQualityGoal> TSharedStore::GoalOf(const std::string& analyte) const {
    for (TQualityGoal& kept : server_->Goals())
        if (UpperCase(kept.Analyte) == UpperCase(analyte)) return kept;
    return std::nullopt;
}

void TSharedStore::SaveGoals(const std::vector<std::string>& removed,
                             const std::vector<TQualityGoal>& goals) {
    ops_.HandJournalToServer();
    server_->WriteGoals(removed, goals);
}

std::vector<TJournalEntry> TSharedStore::Journal(const TJournalFilter& filter) const {
    // Windows ask while drawing: a server that does not answer shows no entries until it answers again.
    try {
        server_->EnsureConnected();
        std::vector<TJournalEntry> all = server_->ReadJournal();
        std::erase_if(all, [&filter](const TJournalEntry& e) { return !Matches(filter, e); });
        return all;
    } catch (const EQcError&) {
        return {};
    }
}

TJournalCheck TSharedStore::CheckJournal() const {
    try {
        server_->EnsureConnected();
        const auto head = server_->JournalHead();
        TJournalCheck check = CheckJournalChain(server_->ReadJournal(), head);
        if (check.Whole && !head) {
            // The server keeps this record always: without it, entries cut from the end go unseen.
            check.Whole = false;
            check.FirstBad = check.Entries;
            check.Message = Fill(QT_TRANSLATE_NOOP("Core", "Journal entry %1 cannot be shown to be the last "
                                                           "one written: the server's record of it is gone"),
                                 std::to_string(check.Entries));
        }
        return check;
    } catch (const EQcError& e) {
        TJournalCheck unknown;
        unknown.Whole = false;
        unknown.Message = Fill(QT_TRANSLATE_NOOP("Core", "The journal could not be checked: %1"), e.what());
        return unknown;
    }
}

std::vector<TReview> TSharedStore::ReviewsToShow() const {
    // Drawn with the charts: a server that does not answer shows no signed band meanwhile.
    try {
        return server_->Reviews();
    } catch (const EQcError&) {
        return {};
    }
}

std::vector<TReview> TSharedStore::ReviewsToGuard() const {
    // A server that does not answer refuses the change: it may hold a review that needs a reason.
    server_->EnsureConnected();
    return server_->Reviews();
}

// Windows ask while drawing: a server that does not answer shows none until it answers again.
std::vector<TPeerStat> TSharedStore::PeerStats(const std::string& analyte) const {
    try {
        server_->EnsureConnected();
        return server_->PeerStats(analyte);
    } catch (const EQcError&) {
        return {};
    }
}

std::vector<TEqaResult> TSharedStore::EqaResults(const std::string& analyte) const {
    try {
        server_->EnsureConnected();
        return server_->EqaResults(analyte);
    } catch (const EQcError&) {
        return {};
    }
}

void TSharedStore::AddPeerStats(const std::vector<TPeerStat>& stats) {
    ops_.HandJournalToServer();
    server_->AddPeerStats(stats);
}

void TSharedStore::AddEqaResults(const std::vector<TEqaResult>& results) {
    ops_.HandJournalToServer();
    server_->AddEqaResults(results);
}

void TSharedStore::SaveCorrectiveActions(const std::vector<std::string>& actions) {
    ops_.HandJournalToServer();
    server_->SetCorrectiveActions(actions);
}

void TSharedStore::SaveOperatorPassword(const std::string& code, const std::string& hash) {
    ops_.HandJournalToServer();
    server_->SetOperatorPassword(Cp1252ToUtf8(code), hash);
}

void TSharedStore::SaveReview(const TReview& review) {
    // The entry names the reviewer, who signed with their own password.
    ops_.HandJournalToServer(review.Reviewer);
    server_->SignReview(review);
}

void TSharedStore::PutRecords(const TStoreRecords&) {
    throw EQcError(QT_TRANSLATE_NOOP("Core", "The records go into a folder opened for writing"));
}

void TOperations::HandJournalToServer(const std::string& who) {
    // On a server every entry names the operator signed in (a review's, the reviewer who signed).
    std::string name = who.empty() && server_->SignedIn() ? server_->SignedIn()->Code : Cp1252ToUtf8(who);
    std::vector<TServerJournalEntry> entries;
    for (TStaged& s : staged_) {
        if (!name.empty()) s.Entry.Operator = name;
        entries.push_back({std::move(s.Entry), s.Review});
    }
    staged_.clear();
    server_->StageJournal(std::move(entries));
}
