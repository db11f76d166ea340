// The folder store's journal, corrective actions, operators' passwords and reviews in Varnholt.db, and
// its records moved in and out whole.
#include "UCodePage.h"
#include "UJournalRows.h"
#include "UOperationsStores.h"
#include "UTexts.h"

void TFolderStore::Record(const std::function<void()>& body) {
    TOperations& o = ops_;
    try {
        TDatabase::TTransaction t(o.db_);
        body();
        o.CompleteStaged();
        t.Commit();
    } catch (const EQcError&) {
        o.staged_.clear();
        throw;
    }
}

bool TFolderStore::JournalAvailable() const {
    return ops_.db_.IsOpen();
}

std::vector<TJournalEntry> TFolderStore::Journal(const TJournalFilter& filter) const {
    return ReadJournal(ops_.db_, filter);
}

TJournalCheck TFolderStore::CheckJournal() const {
    const TDatabase& db = ops_.db_;
    TJournalCheck check = VerifyJournal(db);
    if (const std::string damage = check.Whole ? db.Damage() : ""; !damage.empty()) {
        check.Whole = false;
        check.Message = Fill(QT_TRANSLATE_NOOP("Core", "Database error: %1 (%2)"), damage, db.Path());
    }
    return check;
}

TJournalCheck TFolderStore::CheckJournalAdded() const {
    return VerifyJournalAdded(ops_.db_);
}

bool TFolderStore::RecordsOpen() {
    ops_.EnsureDatabase();
    return ops_.db_.IsOpen();
}

std::vector<std::string> TFolderStore::CorrectiveActions() const {
    const TDatabase& db = ops_.db_;
    std::vector<std::string> out;
    if (!db.IsOpen() || db.Version("journal") == 0) return out;
    TStatement st = db.Prepare("SELECT text FROM corrective_action ORDER BY position");
    while (st.Step()) out.push_back(Utf8ToCp1252(st.Text(0)));
    return out;
}

std::optional<std::string> TFolderStore::OperatorPasswordHash(const std::string& code) const {
    const TDatabase& db = ops_.db_;
    if (!db.IsOpen() || db.Version("journal") == 0) return std::nullopt;
    TStatement st = db.Prepare("SELECT hash FROM operator_password WHERE code = ?");
    st.Bind(1, Cp1252ToUtf8(code));
    if (!st.Step()) return std::nullopt;
    return st.Text(0);
}

std::vector<TReview> TFolderStore::Reviews() const {
    const TDatabase& db = ops_.db_;
    std::vector<TReview> out;
    if (!db.IsOpen() || db.Version("journal") == 0) return out;
    TStatement st = db.Prepare("SELECT id, analyte, first_day, last_day, reviewer, signed_utc, signed_local, "
                               "reopened_utc, reopened_reason FROM review ORDER BY id");
    while (st.Step()) {
        TReview r;
        r.Id = st.Int(0);
        r.Analyte = Utf8ToCp1252(st.Text(1));
        r.First = st.Real(2);
        r.Last = st.Real(3);
        r.Reviewer = Utf8ToCp1252(st.Text(4));
        r.SignedUtc = st.Text(5);
        r.SignedLocal = st.Text(6);
        r.ReopenedUtc = st.Text(7);
        r.ReopenedReason = Utf8ToCp1252(st.Text(8));
        out.push_back(std::move(r));
    }
    return out;
}

void TFolderStore::SaveCorrectiveActions(const std::vector<std::string>& actions) {
    const TDatabase& db = ops_.db_;
    Record([&] {
        db.Exec("DELETE FROM corrective_action");
        TStatement st = db.Prepare("INSERT INTO corrective_action(position, text) VALUES(?, ?)");
        for (size_t i = 0; i < actions.size(); ++i) {
            st.Reset();
            st.Bind(1, static_cast<int64_t>(i + 1)).Bind(2, Cp1252ToUtf8(actions[i]));
            st.Step();
        }
    });
}

void TFolderStore::SaveOperatorPassword(const std::string& code, const std::string& hash) {
    const TDatabase& db = ops_.db_;
    Record([&] {
        TStatement st = db.Prepare(hash.empty() ? "DELETE FROM operator_password WHERE code = ?1"
                                                : "INSERT INTO operator_password(code, hash) VALUES(?1, ?2) "
                                                  "ON CONFLICT(code) DO UPDATE SET hash = ?2");
        st.Bind(1, Cp1252ToUtf8(code));
        if (!hash.empty()) st.Bind(2, hash);
        st.Step();
    });
}

void TFolderStore::SaveReview(const TReview& r) {
    const TDatabase& db = ops_.db_;
    Record([&] {
        TStatement st = db.Prepare("INSERT INTO review(analyte, first_day, last_day, reviewer, signed_utc, "
                                   "signed_local) VALUES(?,?,?,?,?,?)");
        st.Bind(1, Cp1252ToUtf8(r.Analyte))
            .Bind(2, r.First)
            .Bind(3, r.Last)
            .Bind(4, Cp1252ToUtf8(r.Reviewer));
        st.Bind(5, r.SignedUtc).Bind(6, r.SignedLocal);
        st.Step();
    });
}

TStoreRecords TFolderStore::Records() const {
    const TDatabase& db = ops_.db_;
    TStoreRecords r;
    if (!db.IsOpen() || db.Version("journal") == 0) return r;
    r.Journal = ReadJournal(db);
    if (std::optional<std::string> h = db.Meta("journal_head")) {
        size_t space = h->find(' ');
        r.JournalHead.emplace(std::atoll(h->substr(0, space).c_str()),
                              space == std::string::npos ? "" : h->substr(space + 1));
    }
    r.Reviews = ops_.Reviews();
    r.CorrectiveActions = ops_.CorrectiveActions();
    TStatement st = db.Prepare("SELECT code, hash FROM operator_password ORDER BY code");
    while (st.Step()) r.OperatorPasswords.emplace_back(st.Text(0), st.Text(1));
    r.Inbox = InboxRecords();
    r.Peer = PeerStats("");
    r.Eqa = EqaResults("");
    return r;
}

void TFolderStore::PutRecords(const TStoreRecords& records) {
    TOperations& o = ops_;
    const TDatabase& db = o.db_;
    o.EnsureDatabase();
    if (!db.IsOpen())
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "The database of %1 is not available"), ProgramFolder));
    TDatabase::TTransaction t(db);
    std::vector<TJournalEntry> own = ReadJournal(db);
    if (own.size() > 1 || (own.size() == 1 && own[0].Kind != jk::JournalStarted) || !o.Reviews().empty())
        throw EQcError(
            Fill(QT_TRANSLATE_NOOP("Core", "The folder %1 already keeps records of its own"), ProgramFolder));
    db.Exec("DELETE FROM journal");
    db.Exec("DELETE FROM journal_pending");
    for (const TJournalEntry& e : records.Journal) InsertJournalEntry(db, e);
    std::pair<int64_t, std::string> head{0, FirstPreviousHash};
    if (!records.Journal.empty()) head = {records.Journal.back().Id, records.Journal.back().Hash};
    if (records.JournalHead && records.JournalHead->first > head.first) head = *records.JournalHead;
    db.SetMeta("journal_head", std::to_string(head.first) + " " + head.second);
    TStatement rv = db.Prepare("INSERT INTO review(id, analyte, first_day, last_day, reviewer, signed_utc, "
                               "signed_local, reopened_utc, reopened_reason) VALUES(?,?,?,?,?,?,?,?,?)");
    for (const TReview& v : records.Reviews) {
        rv.Reset();
        rv.Bind(1, v.Id).Bind(2, Cp1252ToUtf8(v.Analyte)).Bind(3, v.First).Bind(4, v.Last);
        rv.Bind(5, Cp1252ToUtf8(v.Reviewer)).Bind(6, v.SignedUtc).Bind(7, v.SignedLocal);
        rv.Bind(8, v.ReopenedUtc).Bind(9, Cp1252ToUtf8(v.ReopenedReason));
        rv.Step();
    }
    if (!records.CorrectiveActions.empty()) {
        db.Exec("DELETE FROM corrective_action");
        TStatement ca = db.Prepare("INSERT INTO corrective_action(position, text) VALUES(?, ?)");
        for (size_t i = 0; i < records.CorrectiveActions.size(); ++i) {
            ca.Reset();
            ca.Bind(1, static_cast<int64_t>(i + 1)).Bind(2, Cp1252ToUtf8(records.CorrectiveActions[i]));
            ca.Step();
        }
    }
    TStatement op = db.Prepare("INSERT OR REPLACE INTO operator_password(code, hash) VALUES(?, ?)");
    for (const auto& [code, hash] : records.OperatorPasswords) {
        op.Reset();
        op.Bind(1, code).Bind(2, hash);
        op.Step();
    }
    PutInboxRecords(records.Inbox);
    PutPeerStats(records.Peer);
    PutEqaResults(records.Eqa);
    t.Commit();
}
