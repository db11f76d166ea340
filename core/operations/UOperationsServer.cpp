// The operations layer on a server store: opening, what other benches changed, archives, accounts.
#include <algorithm>
#include <deque>

#include "UArchive.h"
#include "UAtomicFile.h"
#include "UCodePage.h"
#include "UDataLoadSave.h"
#include "UFifoResult.h"
#include "UOperations.h"
#include "URandom.h"
#include "UTexts.h"

namespace {
constexpr const char* NoAccounts =
    QT_TRANSLATE_NOOP("Core", "Operator accounts are kept on a server; this folder has none");
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
        server_ = std::move(store);
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
    return server_ ? server_->Socket() : -1;
}

TOutcome TOperations::PollServer() {
    if (!server_ || !open_) return {};
    try {
        TServerNews news = server_->TakeNews();
        if (!news.Any()) return {};
        unsigned kinds = 0;
        std::vector<TAnalyte*> changed;
        bool catalogue = news.Everything || news.Catalogue;
        if (!catalogue)
            for (int64_t id : news.Analytes) {
                TAnalyte* a = server_->FindByServerId(ListAnalytes, id);
                if (!a || !server_->ReloadAnalyte(*a)) {
                    catalogue = true; // made or deleted elsewhere
                    break;
                }
                changed.push_back(a);
            }
        if (catalogue) {
            changed = server_->Reload(ListSerum, ListAnalytes);
            currentIndex_ = -1;
            kinds |= ckAnalytes | ckMaterials;
        }
        if ((news.Everything || news.Queue) && !recallOpen_) {
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
            server_->ReloadSettings(Settings, Operators);
            Settings.Signature = ProgramSignature;
            kinds |= ckSettings;
        }
        if (news.Everything || news.Goals) kinds |= ckGoals;
        if (!Current() && ListAnalytes.Count() > 0) SetCurrent(&ListAnalytes[0]);
        for (TAnalyte* a : changed) Notify(ckPoints | ckArchives | ckGoals, a);
        if (kinds) Notify(kinds);
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    return {};
}

int32_t TOperations::ArchiveLevelFirst(TAnalyte& a, int level) {
    if (!server_) {
        // No archive is written for a change that could not be journaled.
        EnsureDatabase();
        if (!db_.IsOpen())
            throw EQcError(Fill(
                QT_TRANSLATE_NOOP("Core", "Cannot write %1: the journal could not be written: %2"),
                ProgramFolder,
                databaseError_.empty() ? TranslatedText(QT_TRANSLATE_NOOP("Core", "The database is not open"))
                                       : databaseError_));
        return ArchiveLevel(a, level);
    }
    // The text is stored with the data write that names it, in one transaction.
    std::string text = ArchiveText(a, level);
    const int32_t n = server_->ReserveArchiveNumber(ListAnalytes);
    pendingArchives_.push_back({n, std::move(text), a.Name});
    a.ArchiveNumbers.push_back(n);
    EraseArchivedLevel(a, level);
    return n;
}

std::string TOperations::ArchiveBytes(int32_t number) const {
    if (!server_) return ReadWholeFile(ArchiveFileName(number));
    std::optional<std::string> bytes = server_->Archive(number);
    if (!bytes)
        throw EQcError(
            Fill(QT_TRANSLATE_NOOP("Core", "The archive %1 is not on the server"), std::to_string(number)));
    return *bytes;
}

TArchiveFile TOperations::ReadArchive(int32_t number, TArchiveParts parts) const {
    if (!server_) return ReadArchiveFile(ArchiveFileName(number), parts);
    return ParseArchiveFile(ArchiveBytes(number), parts);
}

std::optional<TAccount> TOperations::SignedIn() const {
    return server_ ? server_->SignedIn() : std::nullopt;
}

std::vector<TAccount> TOperations::Accounts() const {
    return server_ ? server_->Accounts() : std::vector<TAccount>{};
}

TOutcome TOperations::SetAccount(const TAccount& account, const std::string& password) {
    if (!server_) return TOutcome::Refuse(NoAccounts);
    try {
        const std::vector<TAccount> accounts = server_->Accounts();
        const bool had = std::any_of(accounts.begin(), accounts.end(),
                                     [&account](const TAccount& a) { return a.Code == account.Code; });
        Log(jk::OperatorsChanged, nullptr, 0, std::nullopt, had ? "account " + account.Code : "",
            "account " + account.Code + " (" + account.Name + "), " + RoleName(account.Role) +
                (password.empty() ? "" : ", password set"));
        HandJournalToServer();
        server_->SetAccount(account, password);
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    Notify(ckSettings);
    return {};
}

TOutcome TOperations::RemoveAccount(const std::string& code) {
    if (!server_) return TOutcome::Refuse(NoAccounts);
    try {
        Log(jk::OperatorsChanged, nullptr, 0, std::nullopt, "account " + code, "removed");
        HandJournalToServer();
        server_->RemoveAccount(code);
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    Notify(ckSettings);
    return {};
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
