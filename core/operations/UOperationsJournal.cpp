// The operations layer's journal: entries written with the change they record, corrective actions,
// operators' own passwords and review sign-offs.
#include <algorithm>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

#include "UCodePage.h"
#include "UJournalRows.h"
#include "UJournalTexts.h"
#include "UOperations.h"
#include "UOperationsCommon.h"
#include "UOperationsStores.h"
#include "URunJudgement.h"
#include "UTexts.h"
#include "UWestgard.h"

using namespace ops_common;

namespace {
std::string DayText(TDateTime day) {
    return JournalDateTime(day).substr(0, 10);
}

// The id and hash the next entry chains on.
std::pair<int64_t, std::string> LastEntry(const TDatabase& db) {
    TStatement st = db.Prepare("SELECT id, hash FROM journal ORDER BY id DESC LIMIT 1");
    if (!st.Step()) return {0, FirstPreviousHash};
    return {st.Int(0), st.Text(1)};
}

// Appends entries to the chain inside the caller's transaction; reopens the reviews they name.
void Chain(const TDatabase& db, std::vector<std::pair<TJournalEntry, int64_t>>& entries) {
    auto [id, previous] = LastEntry(db);
    for (auto& [e, review] : entries) {
        e.Id = ++id;
        e.Hash = JournalHash(previous, e);
        previous = e.Hash;
        InsertJournalEntry(db, e);
        if (review > 0) {
            TStatement st = db.Prepare("UPDATE review SET reopened_utc = ?, reopened_reason = ? WHERE id = ? "
                                       "AND reopened_utc = ''");
            st.Bind(1, e.TimeUtc).Bind(2, e.Reason).Bind(3, review);
            st.Step();
        }
    }
    if (!entries.empty()) db.SetMeta("journal_head", std::to_string(id) + " " + previous);
}

} // namespace

const char* StateName(PointState s) {
    switch (s) {
    case psInControl:
        return "in control";
    case psHighWarning:
        return "high warning";
    case psHighAction:
        return "high action";
    case psLowWarning:
        return "low warning";
    case psLowAction:
        return "low action";
    case psDiscarded:
        return "discarded";
    default:
        return "no value";
    }
}

std::string LevelText(const TAnalyte& a, const LevelValue& v) {
    if (v.State == psEmpty) return "no value";
    return JournalValue(v.Value, a.Decimals) + " " + StateName(static_cast<PointState>(v.State));
}

// Every level in use of a run or point: "L1 5.12 in control; L2 ...".
std::string RunText(const TAnalyte& a, const TLevelValues& levels, const std::string& op,
                    const std::string& comment) {
    std::string s;
    for (int k = 0; k < a.NbLevels; ++k)
        s += (k ? "; L" : "L") + std::to_string(k + 1) + " " + LevelText(a, levels[static_cast<size_t>(k)]);
    if (!op.empty()) s += "; operator " + op;
    if (!comment.empty()) s += "; comment " + comment;
    return s;
}

// The rules a run breaks, as the validation window shows them: "L1 1:3s reject; across 2:2s warning".
std::string RulesText(const TMultiruleResult& r) {
    std::string s;
    auto add = [&s](const std::string& where, const char* name, RuleStatus st) {
        if (st == rsClear) return;
        s += (s.empty() ? "" : ", ") + where + name + (st == rsReject ? " reject" : " warning");
    };
    for (int k = 0; k < MaxLevels; ++k)
        if (r.TakesPart[static_cast<size_t>(k)])
            for (int j = 0; j < RuleCount; ++j)
                add("L" + std::to_string(k + 1) + " ", LevelRuleNames[static_cast<size_t>(j)],
                    r.Level[static_cast<size_t>(k)][static_cast<size_t>(j)]);
    if (r.AcrossShown())
        for (int j = FirstAcrossRule; j < RuleCount; ++j)
            add("across ", r.AcrossNames()[static_cast<size_t>(j)], r.Across[static_cast<size_t>(j)]);
    return s;
}

std::string RulesText(const TRunVerdict& v) {
    if (!v.OwnRules) return RulesText(v.Multirules);
    std::string s;
    for (const TRunMark& m : v.Marks)
        s += (s.empty() ? "" : ", ") +
             (m.Level < 0 ? std::string("across ") : "L" + std::to_string(m.Level + 1) + " ") + m.Rule +
             (m.Status == rsReject ? " reject" : " warning");
    return s;
}

TRejectToggles DiscardedLevels(const TResu& run) {
    TRejectToggles t{};
    for (int k = 0; k < MaxLevels; ++k)
        t[static_cast<size_t>(k)] = run.Levels[static_cast<size_t>(k)].State == psDiscarded;
    return t;
}

std::string LimitsText(const TAnalyte& a, const TLimitState& st, int k) {
    auto l = static_cast<size_t>(k);
    switch (st.Mode[l]) {
    case lmLocked: {
        std::string s = "Locked limits";
        if (st.LockFirst[l] >= 0 && st.LockLast[l] >= st.LockFirst[l] && st.LockLast[l] < a.Count())
            s += " " + JournalDateTime(a.Points[static_cast<size_t>(st.LockFirst[l])].DateTime) + " to " +
                 JournalDateTime(a.Points[static_cast<size_t>(st.LockLast[l])].DateTime);
        return s;
    }
    case lmFixed: {
        const LevelStats& s = st.Limits[l];
        return "Fixed limits: mean " + JournalValue(static_cast<double>(s.Mean), a.Decimals + 2) +
               ", warning +/-" + JournalValue(static_cast<double>(s.WarnDev), a.Decimals + 2) +
               ", action +/-" + JournalValue(static_cast<double>(s.ActionDev), a.Decimals + 2);
    }
    default:
        return "Mobile limits";
    }
}

std::string OptionsText(uint8_t options) {
    return std::string("multirules ") + ((options & TAnalyte::OptMultirules) ? "on" : "off") +
           ", common CV " + ((options & TAnalyte::OptCommonCV) ? "on" : "off");
}

bool RunIsRejected(const TAnalyte& a, const TResu& run, bool multirulesOn) {
    return RunIsRejected(a, run, multirulesOn, {});
}

// ---------------------------------------------------------------- staging and writing

std::string TOperations::SystemOperator() {
    std::string name;
    if (const char* user = std::getenv("USER"); user && *user) name = user;
    if (name.empty())
        if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_name) name = pw->pw_name;
    return name.substr(0, 4);
}

void TOperations::SetOperator(const std::string& code) {
    std::string c = Trim(code);
    operator_ = c.empty() ? SystemOperator() : c.substr(0, 4);
}

void TOperations::Log(const char* kind, const TAnalyte* a, int level, std::optional<TDateTime> point,
                      std::string before, std::string after, std::string reason, std::string op) {
    TJournalEntry e;
    e.TimeUtc = UtcTimeText();
    e.TimeLocal = LocalTimeText();
    e.Operator = Cp1252ToUtf8(Trim(op).empty() ? operator_ : Trim(op).substr(0, 4));
    e.Kind = kind;
    e.Analyte = a ? Cp1252ToUtf8(a->Name) : std::string();
    e.Level = level;
    e.Point = point ? JournalDateTime(*point) : std::string();
    e.Before = Cp1252ToUtf8(before);
    e.After = Cp1252ToUtf8(after);
    e.Reason = Cp1252ToUtf8(Trim(reason));
    staged_.push_back({std::move(e), 0});
}

int64_t TOperations::BeginJournal(const std::string& fileName, const std::string& fileHash,
                                  const std::function<void()>& alsoBefore) {
    // The integrity record of the file is an aid: a failure of it never stops the write.
    auto before = [&alsoBefore] {
        if (alsoBefore) try {
                alsoBefore();
            } catch (const EQcError&) {
            }
    };
    if (staged_.empty()) {
        before();
        return 0;
    }
    std::vector<TStaged> entries = std::move(staged_);
    staged_.clear();
    EnsureDatabase();
    if (!db_.IsOpen()) {
        // No change goes unrecorded: without the database there is no journal to record it in.
        throw EQcError(databaseError_.empty() ? QT_TRANSLATE_NOOP("Core", "The database is not open")
                                              : databaseError_);
    }
    // Entries that a failed completion left pending belong to the file as it is now: chained first, so
    // that the file's next hash does not disown them.
    if (journalUnfinished_) FinishJournal();
    TDatabase::TTransaction t(db_);
    before();
    TStatement next = db_.Prepare("SELECT coalesce(max(batch), 0) + 1 FROM journal_pending");
    next.Step();
    const int64_t batch = next.Int(0);
    TStatement st = db_.Prepare(
        "INSERT INTO journal_pending(batch, file, file_hash, review, time_utc, time_local, operator, kind, "
        "analyte, level, point, before, after, reason) VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    for (const TStaged& s : entries) {
        const TJournalEntry& e = s.Entry;
        st.Reset();
        st.Bind(1, batch).Bind(2, fileName).Bind(3, fileHash).Bind(4, s.Review).Bind(5, e.TimeUtc);
        st.Bind(6, e.TimeLocal).Bind(7, e.Operator).Bind(8, e.Kind).Bind(9, e.Analyte);
        st.Bind(10, static_cast<int64_t>(e.Level)).Bind(11, e.Point).Bind(12, e.Before).Bind(13, e.After);
        st.Bind(14, e.Reason);
        st.Step();
    }
    t.Commit();
    return batch;
}

void TOperations::AbandonJournal(int64_t batch) {
    if (batch == 0 || !db_.IsOpen()) return;
    try {
        TStatement st = db_.Prepare("DELETE FROM journal_pending WHERE batch = ?");
        st.Bind(1, batch);
        st.Step();
    } catch (const EQcError&) {
        // Left pending, it is dropped at the next open: the file does not have its hash.
    }
}

void TOperations::FinishJournal() {
    if (!db_.IsOpen()) return;
    // The completion needs no disk sync of its own: lost with the power, its entries are still pending
    // and the next open completes them from the file; the next synced commit makes it durable anyway.
    struct TRelaxedSync {
        const TDatabase& Db;
        explicit TRelaxedSync(const TDatabase& db) : Db(db) { Db.Exec("PRAGMA synchronous=NORMAL"); }
        ~TRelaxedSync() {
            try {
                Db.Exec("PRAGMA synchronous=FULL");
            } catch (const EQcError&) {
            }
        }
    };
    try {
        TRelaxedSync relaxed(db_);
        TDatabase::TTransaction t(db_);
        std::vector<std::pair<TJournalEntry, int64_t>> entries;
        TStatement st =
            db_.Prepare("SELECT time_utc, time_local, operator, kind, analyte, level, point, before, "
                        "after, reason, review FROM journal_pending ORDER BY id");
        while (st.Step()) {
            TJournalEntry e;
            e.TimeUtc = st.Text(0);
            e.TimeLocal = st.Text(1);
            e.Operator = st.Text(2);
            e.Kind = st.Text(3);
            e.Analyte = st.Text(4);
            e.Level = static_cast<int>(st.Int(5));
            e.Point = st.Text(6);
            e.Before = st.Text(7);
            e.After = st.Text(8);
            e.Reason = st.Text(9);
            entries.emplace_back(std::move(e), st.Int(10));
        }
        Chain(db_, entries);
        db_.Exec("DELETE FROM journal_pending");
        t.Commit();
        journalUnfinished_ = false;
    } catch (const EQcError&) {
        // The file is written; its entries wait, and are chained at the next write or open.
        journalUnfinished_ = true;
    }
}

void TOperations::WriteJournaled(const std::string& path, const std::string& bytes,
                                 const TWriteOptions& options, const std::function<void()>& alsoBefore) {
    WriteJournaled(
        path, FileStateHash(bytes), [&] { AtomicWriteFile(path, bytes, options); }, alsoBefore);
}

void TOperations::WriteJournaled(const std::string& path, const std::string& hash,
                                 const std::function<void()>& write,
                                 const std::function<void()>& alsoBefore) {
    int64_t batch = 0;
    try {
        batch = BeginJournal(FileNameOf(path), hash, alsoBefore);
    } catch (const EQcError& e) {
        // No change goes unrecorded while the journal is in use.
        throw EQcError(
            Fill(QT_TRANSLATE_NOOP("Core", "Cannot write %1: the journal could not be written: %2"), path,
                 e.what()),
            path, "the journal could not be written");
    }
    try {
        write();
    } catch (const EQcError&) {
        AbandonJournal(batch);
        throw;
    }
    if (batch) FinishJournal();
}

void TOperations::CompleteStaged() {
    std::vector<TStaged> entries = std::move(staged_);
    staged_.clear();
    std::vector<std::pair<TJournalEntry, int64_t>> chain;
    for (TStaged& s : entries) chain.emplace_back(std::move(s.Entry), s.Review);
    Chain(db_, chain);
}

void TOperations::ReconcileJournal(TOpenReport& report) {
    if (!db_.IsOpen()) return;
    try {
        std::vector<std::tuple<int64_t, std::string, std::string>> batches;
        TStatement st =
            db_.Prepare("SELECT batch, file, file_hash FROM journal_pending GROUP BY batch ORDER BY "
                        "min(id)");
        while (st.Step()) batches.emplace_back(st.Int(0), st.Text(1), st.Text(2));
        int dropped = 0;
        for (const auto& [batch, file, hash] : batches) {
            const std::string path = ProgramFolder + file;
            std::string now;
            try {
                now = FileExists(path) ? FileStateHash(ReadWholeFile(path)) : "";
            } catch (const EQcError&) {
            }
            if (now == hash) continue; // the change reached the file: its entries stay, to be chained
            // The file never took the change: its entries record nothing.
            AbandonJournal(batch);
            ++dropped;
        }
        if (!batches.empty()) {
            FinishJournal();
            if (journalUnfinished_)
                report.Notes.push_back(QT_TRANSLATE_NOOP("Core", "The journal could not be completed."));
        }
        (void)dropped;
    } catch (const EQcError& e) {
        report.Notes.push_back(e.what());
    }
}

void TOperations::StartJournal() {
    if (!db_.IsOpen()) return;
    try {
        TStatement any =
            db_.Prepare("SELECT EXISTS(SELECT 1 FROM journal) OR EXISTS(SELECT 1 FROM journal_pending)");
        any.Step();
        // A journal emptied by hand is not started again: the check names what is missing.
        if (any.Int(0) > 0 || db_.Meta("journal_head")) return;
        // Data stored before the journal begins (not the sample data of a first start): the database
        // that held the earlier journal was removed or replaced. Said, never passed over in silence.
        int64_t runs = 0;
        for (int i = 0; i < ListAnalytes.Count(); ++i) runs += ListAnalytes[i].Count();
        std::string started = db_.KeptAs().empty() ? "A new journal starts here."
                                                   : "The damaged database was kept as " + db_.KeptAs() +
                                                         "; a new journal starts here.";
        if (runs > 0 && db_.KeptAs().empty() && !FirstRun) {
            started +=
                " The data already holds " + std::to_string(runs) + " runs: the earlier journal is missing.";
            journalRestartNote_ = Fill(
                QT_TRANSLATE_NOOP("Core", "%1 was not found although the data holds %2 runs: a new journal "
                                          "starts here, without the entries before it. If Varnholt was used "
                                          "in this folder before, its database was removed: restore it from "
                                          "a backup."),
                db_.Path(), std::to_string(runs));
        }
        TDatabase::TTransaction t(db_);
        Log(jk::JournalStarted, nullptr, 0, std::nullopt, "", started);
        CompleteStaged();
        t.Commit();
    } catch (const EQcError&) {
        staged_.clear();
    }
}

TOutcome TOperations::RecordInDatabase(const std::function<void()>& body) {
    try {
        TDatabase::TTransaction t(db_);
        body();
        CompleteStaged();
        t.Commit();
    } catch (const EQcError& e) {
        staged_.clear();
        return TOutcome::FromError(e);
    }
    return {};
}

// ---------------------------------------------------------------- reading

bool TOperations::JournalAvailable() const {
    return store_->JournalAvailable();
}

std::vector<TJournalEntry> TOperations::Journal(const TJournalFilter& filter) const {
    return store_->Journal(filter);
}

TJournalCheck TOperations::CheckJournalAdded() const {
    return store_->CheckJournalAdded();
}

TJournalCheck TOperations::CheckJournal() const {
    return store_->CheckJournal();
}

// ---------------------------------------------------------------- corrective actions

std::vector<std::string> TOperations::CorrectiveActions() const {
    // The list every store starts with (the database's first version writes it in English).
    static const char* const Defaults[] = {
        QT_TRANSLATE_NOOP("Core", "Repeated the control and it was in range"),
        QT_TRANSLATE_NOOP("Core", "Recalibrated"),
        QT_TRANSLATE_NOOP("Core", "New control vial"),
        QT_TRANSLATE_NOOP("Core", "Maintenance"),
        QT_TRANSLATE_NOOP("Core", "Reagent lot changed"),
        QT_TRANSLATE_NOOP("Core", "Other")};
    std::vector<std::string> out;
    try {
        out = store_->CorrectiveActions();
    } catch (const EQcError&) {
    }
    if (out.empty()) out.assign(std::begin(Defaults), std::end(Defaults));
    // The defaults are offered in the user's language; the laboratory's own texts as it wrote them.
    for (std::string& a : out)
        for (const char* d : Defaults)
            if (a == d) a = TranslatedText(d);
    return out;
}

TOutcome TOperations::SetCorrectiveActions(const std::vector<std::string>& actions) {
    std::vector<std::string> list;
    for (const std::string& a : actions)
        if (!Trim(a).empty() && std::find(list.begin(), list.end(), Trim(a)) == list.end())
            list.push_back(Trim(a));
    if (list.empty())
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "The list of corrective actions cannot be empty"));
    auto joined = [](const std::vector<std::string>& v) {
        std::string s;
        for (const std::string& x : v) s += (s.empty() ? "" : "; ") + x;
        return s;
    };
    if (!store_->RecordsOpen())
        return TOutcome::Refuse(
            QT_TRANSLATE_NOOP("Core", "The corrective actions are kept in the database, which is not open"));
    std::vector<std::string> before = CorrectiveActions();
    if (before == list) return {};
    Log(jk::CorrectiveActions, nullptr, 0, std::nullopt, joined(before), joined(list));
    try {
        store_->SaveCorrectiveActions(list);
    } catch (const EQcError& e) {
        staged_.clear();
        return TOutcome::FromError(e);
    }
    Notify(ckSettings);
    return {};
}

// ---------------------------------------------------------------- operators' passwords

bool TOperations::OperatorHasPassword(const std::string& code) const {
    try {
        return store_->OperatorPasswordHash(UpperCase(Trim(code))).has_value();
    } catch (const EQcError&) {
        return false;
    }
}

bool TOperations::OperatorPasswordMatches(const std::string& code, const std::string& typed) const {
    try {
        const std::string c = UpperCase(Trim(code));
        if (std::optional<bool> checked = store_->OperatorPasswordIs(c, typed)) return *checked;
        std::optional<std::string> hash = store_->OperatorPasswordHash(c);
        if (hash && !hash->empty()) return PasswordHashMatches(*hash, typed);
    } catch (const EQcError&) {
        return false;
    }
    // With accounts an operator proves who they are with their own (or account) password only.
    return !store_->HasAccounts() && PasswordMatches(typed);
}

TOutcome TOperations::SetOperatorPassword(const std::string& code, const std::string& password) {
    const std::string c = UpperCase(Trim(code));
    if (c.empty() || c.size() > 4)
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "An operator code has 1 to 4 characters"));
    if (!store_->RecordsOpen())
        return TOutcome::Refuse(QT_TRANSLATE_NOOP(
            "Core", "The operators' passwords are kept in the database, which is not open"));
    try {
        const std::string hash = password.empty() ? "" : HashPassword(password);
        Log(jk::PasswordChanged, nullptr, 0, std::nullopt, "",
            password.empty() ? "operator " + c + ": own password removed"
                             : "operator " + c + ": own password set");
        store_->SaveOperatorPassword(c, hash);
    } catch (const EQcError& e) {
        staged_.clear();
        return TOutcome::FromError(e);
    }
    Notify(ckSettings);
    return {};
}

// ---------------------------------------------------------------- reviews

std::vector<TReview> TOperations::Reviews(const std::string& analyte) const {
    std::vector<TReview> out = store_->ReviewsToShow();
    std::erase_if(out, [&analyte](const TReview& r) { return !analyte.empty() && r.Analyte != analyte; });
    return out;
}

std::vector<TReview> TOperations::SignedReviewsAt(const TAnalyte& a,
                                                  const std::vector<TDateTime>& times) const {
    std::vector<TReview> out;
    if (times.empty()) return out;
    try {
        for (TReview& r : Reviews(a.Name)) {
            if (r.Reopened()) continue;
            if (std::any_of(times.begin(), times.end(), [&r](TDateTime t) { return r.Covers(t); }))
                out.push_back(std::move(r));
        }
    } catch (const EQcError&) {
    }
    return out;
}

void TOperations::CheckReviews(const TAnalyte& a, const std::vector<TDateTime>& times,
                               const std::string& reason) {
    std::vector<TReview> touched;
    for (TReview& r : store_->ReviewsToGuard())
        if (r.Analyte == a.Name && !r.Reopened() &&
            std::any_of(times.begin(), times.end(), [&r](TDateTime t) { return r.Covers(t); }))
            touched.push_back(std::move(r));
    if (touched.empty()) return;
    const TReview& r = touched.front();
    if (Trim(reason).empty())
        throw EQcError(
            Fill(QT_TRANSLATE_NOOP("Core", "The points of %1 from %2 to %3 were reviewed and signed by %4 on "
                                           "%5: a change inside that period needs a reason."),
                 a.Name, DayText(r.First), DayText(r.Last), r.Reviewer, r.SignedLocal.substr(0, 10)));
    for (const TReview& t : touched) {
        Log(jk::ReviewReopened, &a, 0, std::nullopt,
            "signed by " + t.Reviewer + " on " + t.SignedLocal.substr(0, 10) + " for " + DayText(t.First) +
                " to " + DayText(t.Last),
            "reopened", reason);
        staged_.back().Review = t.Id;
    }
}

TOutcome TOperations::CheckReviewSignature(const TAnalyte& a, TDateTime first, TDateTime last,
                                           const std::string& reviewer, const std::string& password,
                                           int* runs) const {
    first = DatePart(first);
    last = DatePart(last);
    const std::string code = UpperCase(Trim(reviewer));
    if (last < first)
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "The end of the period precedes its start"));
    // A store that keeps accounts has account codes longer than a folder's operator codes.
    const bool accountCodes = store_->KeepsAccounts();
    if (code.empty() || code.size() > (accountCodes ? 16u : 4u))
        return TOutcome::Refuse(TranslatedText(
            accountCodes
                ? QT_TRANSLATE_NOOP("Core", "Give the reviewer's operator code")
                : QT_TRANSLATE_NOOP("Core", "Give the reviewer's operator code (1 to 4 characters)")));
    // Only a known operator signs: one of the operator list, or an account of the store.
    const bool listed = std::any_of(Operators.begin(), Operators.end(),
                                    [&code](const std::string& o) { return UpperCase(o) == code; });
    if (!listed && !(accountCodes && OperatorHasPassword(code)))
        return TOutcome::Refuse(Fill(QT_TRANSLATE_NOOP("Core", "Unknown operator: %1"), code));
    if (store_->HasAccounts()) {
        std::vector<TAccount> accounts;
        try {
            accounts = store_->Accounts();
        } catch (const EQcError& e) {
            return TOutcome::FromError(e);
        }
        auto account = std::find_if(accounts.begin(), accounts.end(),
                                    [&code](const TAccount& c) { return UpperCase(c.Code) == code; });
        if (account == accounts.end() || account->Role != TRole::Supervisor)
            return TOutcome::Refuse(
                Fill(QT_TRANSLATE_NOOP("Core", "%1 may not sign reviews: a supervisor signs them"), code));
    } else if (!OperatorHasPassword(code) && Settings.Password.empty()) {
        // Without any password a signature would prove nothing.
        return TOutcome::Refuse(
            Fill(QT_TRANSLATE_NOOP("Core",
                                   "%1 has no password and the program has none: a review is signed with a "
                                   "password. Give %1 a password under Operators, or set the program's."),
                 code));
    }
    if (!OperatorPasswordMatches(code, password))
        return TOutcome::Refuse(Fill(QT_TRANSLATE_NOOP("Core", "Wrong password for %1"), code));
    int points = 0;
    for (const ControlPoint& p : a.Points) points += p.DateTime >= first && p.DateTime < last + 1;
    if (points == 0)
        return TOutcome::Refuse(
            Fill(QT_TRANSLATE_NOOP("Core", "%1 has no runs from %2 to %3: there is nothing to sign"), a.Name,
                 DayText(first), DayText(last)));
    std::vector<TReview> reviews;
    try {
        reviews = store_->Reviews();
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    for (const TReview& r : reviews)
        if (r.Analyte == a.Name && !r.Reopened() && r.First <= first && r.Last >= last)
            return TOutcome::Refuse(
                Fill(QT_TRANSLATE_NOOP("Core", "The points of %1 from %2 to %3 were already "
                                               "reviewed and signed by %4 on %5"),
                     a.Name, DayText(r.First), DayText(r.Last), r.Reviewer, r.SignedLocal.substr(0, 10)));
    if (runs) *runs = points;
    return {};
}

TOutcome TOperations::SignReview(const TAnalyte& a, TDateTime first, TDateTime last,
                                 const std::string& reviewer, const std::string& password) {
    if (!store_->RecordsOpen())
        return TOutcome::Refuse(
            QT_TRANSLATE_NOOP("Core", "Reviews are kept in the database, which is not open"));
    int points = 0;
    TOutcome check = CheckReviewSignature(a, first, last, reviewer, password, &points);
    if (!check.Ok()) return check;
    TReview r;
    r.Analyte = a.Name;
    r.First = DatePart(first);
    r.Last = DatePart(last);
    r.Reviewer = UpperCase(Trim(reviewer));
    r.SignedUtc = UtcTimeText();
    r.SignedLocal = LocalTimeText();
    Log(jk::ReviewSigned, &a, 0, std::nullopt, "",
        DayText(r.First) + " to " + DayText(r.Last) + ": " + std::to_string(points) +
            " runs reviewed and signed",
        "", r.Reviewer);
    try {
        store_->SaveReview(r);
    } catch (const EQcError& e) {
        staged_.clear();
        return TOutcome::FromError(e);
    }
    Notify(ckPoints, &a);
    return {};
}

// ---------------------------------------------------------------- entries of runs

void TOperations::LogAcceptedRun(const TAnalyte& a, const TResu& run, const TRunNote& note) {
    const TRunVerdict v = JudgeAnalyteRun(a, RuleSet(a.Name), run, PreviousIndex(a, run.DateTime),
                                          DiscardedLevels(run), a.MultirulesOn());
    const bool rejected = v.Rejected();
    std::string after = RunText(a, run.Levels, Trim(run.Operator), run.Comment);
    std::string rules = RulesText(v);
    if (!rules.empty()) after += "; rules: " + rules;
    std::string reason;
    if (!Trim(note.CorrectiveAction).empty()) reason = "Corrective action: " + Trim(note.CorrectiveAction);
    if (!Trim(note.Text).empty()) reason += (reason.empty() ? "" : "; ") + Trim(note.Text);
    if (!Trim(note.Reason).empty()) reason += (reason.empty() ? "" : "; ") + Trim(note.Reason);
    Log(rejected ? jk::RunWithViolations : jk::RunAccepted, &a, 0, run.DateTime, "", after, reason,
        run.Operator);
    for (int k = 0; k < a.NbLevels; ++k) {
        const LevelValue& v = run.Levels[static_cast<size_t>(k)];
        if (v.State == psDiscarded)
            Log(jk::LevelDiscarded, &a, k + 1, run.DateTime, JournalValue(v.Value, a.Decimals), "discarded",
                reason, run.Operator);
        else if (note.Retrieved[static_cast<size_t>(k)] && v.State != psEmpty)
            Log(jk::LevelRetrieved, &a, k + 1, run.DateTime, "rejected", "retrieved: " + LevelText(a, v),
                reason, run.Operator);
    }
}

void TOperations::LogSettings(const TSettings& before, const TSettings& after) {
    if (before.Password != after.Password)
        Log(jk::PasswordChanged, nullptr, 0, std::nullopt,
            before.Password.empty() ? "no program password" : "program password set",
            after.Password.empty() ? "program password removed" : "program password changed");
    auto yesNo = [](bool b) { return std::string(b ? "yes" : "no"); };
    auto day = [](TDateTime d) { return d == 0 ? std::string("never") : DayText(d); };
    const std::vector<std::tuple<const char*, std::string, std::string>> fields = {
        {"about window at start", yesNo(before.ShowAboutAtStart), yesNo(after.ShowAboutAtStart)},
        {"colour printing", yesNo(before.ColourPrint), yesNo(after.ColourPrint)},
        {"backup interval (days)", std::to_string(before.BackupInterval),
         std::to_string(after.BackupInterval)},
        {"backup folder", before.BackupFolder, after.BackupFolder},
        {"last backup", day(before.LastBackup), day(after.LastBackup)},
        {"risk rows", std::to_string(before.AlertRow) + "/" + std::to_string(before.ActionRow),
         std::to_string(after.AlertRow) + "/" + std::to_string(after.ActionRow)},
    };
    for (const auto& [name, was, is] : fields)
        if (was != is)
            Log(jk::SettingsChanged, nullptr, 0, std::nullopt, std::string(name) + ": " + was,
                std::string(name) + ": " + is);
}

void TOperations::RestoreJournalHead() {
    auto [id, hash] = LastEntry(db_);
    if (id > 0) db_.SetMeta("journal_head", std::to_string(id) + " " + hash);
}

// ---------------------------------------------------------------- moving in and out

TStoreRecords TOperations::Records() const {
    return store_->Records();
}

TOutcome TOperations::PutRecords(const TStoreRecords& records) {
    if (mode_ != TOpenMode::Writer)
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "The records go into a folder opened for writing"));
    try {
        store_->PutRecords(records);
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    Notify(ckSettings);
    return {};
}
