// The instrument inbox's records in the two stores: the folder's tables in Varnholt.db, and the
// server's (UServerInbox.cpp), where mappings, results waiting and held runs are shared by all benches.
#include <filesystem>

#include "UOperationsStores.h"
#include "UTexts.h"
#include "UUtilitaires.h"

namespace {
const char* const SettingFolder = "inbox.folder";
const char* const SettingAutoAccept = "inbox.autoaccept";
const char* const SettingWindow = "inbox.window";
constexpr const char* WaitingColumns = "source, instrument, code, control, level, value_text, value, units, "
                                       "date_time, operator, comment, message_id, file, line, reason";

int64_t Signed(uint64_t v) {
    return static_cast<int64_t>(v);
}

bool HasInbox(const TDatabase& db) {
    return db.IsOpen() && db.Version("inbox") > 0;
}

TInstrumentResult WaitingRow(const TStatement& st, int c) {
    TInstrumentResult r;
    r.Source = st.Text(c);
    r.Instrument = st.Text(c + 1);
    r.TestCode = st.Text(c + 2);
    r.Control = st.Text(c + 3);
    r.Level = static_cast<int>(st.Int(c + 4));
    r.ValueText = st.Text(c + 5);
    r.Value = st.Real(c + 6);
    r.Units = st.Text(c + 7);
    r.DateTime = st.Real(c + 8);
    r.Operator = st.Text(c + 9);
    r.Comment = st.Text(c + 10);
    r.MessageId = st.Text(c + 11);
    r.Line = static_cast<int>(st.Int(c + 13));
    return r;
}

// A result waiting for a mapping into the statement of WaitingColumns and its time of receipt.
void BindWaiting(TStatement& st, const TInstrumentResult& r, const std::string& file,
                 const std::string& reason, const std::string& received) {
    st.Reset();
    st.Bind(1, r.Source).Bind(2, r.Instrument).Bind(3, r.TestCode).Bind(4, r.Control);
    st.Bind(5, static_cast<int64_t>(r.Level)).Bind(6, r.ValueText).Bind(7, r.Value).Bind(8, r.Units);
    st.Bind(9, r.DateTime).Bind(10, r.Operator).Bind(11, r.Comment).Bind(12, r.MessageId);
    st.Bind(13, file).Bind(14, static_cast<int64_t>(r.Line)).Bind(15, reason).Bind(16, received);
    st.Step();
}

std::string WaitingInsert(const char* extra = "") {
    return std::string("INSERT INTO inbox_waiting(") + WaitingColumns + ", received_utc" + extra +
           ") VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
}

int64_t Changes(const TDatabase& db) {
    TStatement n = db.Prepare("SELECT changes()");
    n.Step();
    return n.Int(0);
}

EQcError NoMapping(const std::string& source, const std::string& code, const std::string& control) {
    return EQcError(Fill(QT_TRANSLATE_NOOP("Core", "No mapping for %1 %2 %3"), source, code, control));
}
} // namespace

// ---------------------------------------------------------------- the folder

TInboxSettings TFolderStore::InboxSettings() const {
    const TDatabase& db = ops_.db_;
    TInboxSettings s;
    if (!HasInbox(db)) return s;
    s.Folder = db.Meta(SettingFolder).value_or("");
    s.AutoAccept = db.Meta(SettingAutoAccept).value_or("no") == "yes";
    long double w = 0;
    if (auto text = db.Meta(SettingWindow); text && ParseDecimal(*text, '.', w) && w > 0 && w <= 1440)
        s.WindowMinutes = static_cast<double>(w);
    return s;
}

std::optional<std::string> TFolderStore::InboxSourceOptions(const std::string& id) const {
    const TDatabase& db = ops_.db_;
    if (!HasInbox(db)) return std::nullopt;
    TStatement st = db.Prepare("SELECT options FROM inbox_source WHERE id = ?");
    st.Bind(1, id);
    if (!st.Step()) return std::nullopt;
    return st.Text(0);
}

std::vector<std::string> TFolderStore::InboxSourceIds() const {
    std::vector<std::string> out;
    if (!HasInbox(ops_.db_)) return out;
    TStatement st = ops_.db_.Prepare("SELECT id FROM inbox_source ORDER BY id");
    while (st.Step()) out.push_back(st.Text(0));
    return out;
}

std::vector<TInboxMapping> TFolderStore::InboxMappings() const {
    std::vector<TInboxMapping> out;
    if (!HasInbox(ops_.db_)) return out;
    TStatement st = ops_.db_.Prepare(
        "SELECT source, code, control, analyte, level FROM inbox_map ORDER BY source, code, control");
    while (st.Step())
        out.push_back({st.Text(0), st.Text(1), st.Text(2), st.Text(3), static_cast<int>(st.Int(4))});
    return out;
}

std::vector<TWaitingResult> TFolderStore::NotMappedResults() const {
    std::vector<TWaitingResult> out;
    if (!HasInbox(ops_.db_)) return out;
    TStatement st = ops_.db_.Prepare(std::string("SELECT id, ") + WaitingColumns +
                                     ", received_utc FROM inbox_waiting ORDER BY id");
    while (st.Step()) out.push_back({st.Int(0), WaitingRow(st, 1), st.Text(13), st.Text(15), st.Text(16)});
    return out;
}

int TFolderStore::NotMappedCount() const {
    if (!HasInbox(ops_.db_)) return 0;
    TStatement st = ops_.db_.Prepare("SELECT count(*) FROM inbox_waiting");
    return st.Step() ? static_cast<int>(st.Int(0)) : 0;
}

bool TFolderStore::InboxRecordsOpen() {
    ops_.EnsureDatabase();
    return ops_.db_.IsOpen();
}

void TFolderStore::SaveInboxSettings(const TInboxSettings& s) {
    TDatabase& db = ops_.db_;
    Record([&] {
        db.SetMeta(SettingFolder, s.Folder);
        db.SetMeta(SettingAutoAccept, s.AutoAccept ? "yes" : "no");
        db.SetMeta(SettingWindow, FormatFixed(s.WindowMinutes, 15, 3));
    });
}

void TFolderStore::SaveInboxSource(const std::string& id, const std::string& options) {
    Record([&] {
        TStatement st = ops_.db_.Prepare("INSERT INTO inbox_source(id, options) VALUES(?1, ?2) "
                                         "ON CONFLICT(id) DO UPDATE SET options = ?2");
        st.Bind(1, id).Bind(2, options);
        st.Step();
    });
}

int64_t TFolderStore::NotMappedCountOf(const std::string& file) const {
    if (!HasInbox(ops_.db_)) return 0;
    TStatement st = ops_.db_.Prepare("SELECT count(*) FROM inbox_waiting WHERE file = ?");
    st.Bind(1, file);
    return st.Step() ? st.Int(0) : 0;
}

void TFolderStore::DiscardNotMapped(const std::string& file) {
    Record([&] {
        TStatement st = ops_.db_.Prepare("DELETE FROM inbox_waiting WHERE file = ?");
        st.Bind(1, file);
        st.Step();
    });
}

void TFolderStore::RemoveInboxMapping(const std::string& source, const std::string& code,
                                      const std::string& control) {
    Record([&] {
        TStatement st =
            ops_.db_.Prepare("DELETE FROM inbox_map WHERE source = ? AND code = ? AND control = ?");
        st.Bind(1, source).Bind(2, code).Bind(3, control);
        st.Step();
        if (Changes(ops_.db_) == 0) throw NoMapping(source, code, control);
    });
}

void TFolderStore::ForgetInboxFile(const std::string& source, uint64_t hash) {
    ops_.EnsureDatabase();
    if (!HasInbox(ops_.db_)) return;
    TStatement st = ops_.db_.Prepare("DELETE FROM inbox_file WHERE source = ? AND hash = ?");
    st.Bind(1, source).Bind(2, Signed(hash));
    st.Step();
}

void TFolderStore::RecordInboxChange(const std::function<void()>& body) {
    ops_.EnsureDatabase();
    if (ops_.db_.IsOpen()) return Record(body);
    ops_.staged_.clear();
    body();
}

std::optional<std::string> TFolderStore::InboxFileFaults(const std::string& source, uint64_t hash) const {
    TStatement st =
        ops_.db_.Prepare("SELECT faults FROM inbox_file WHERE source = ? AND hash = ? AND results > 0");
    st.Bind(1, source).Bind(2, Signed(hash));
    if (!st.Step()) return std::nullopt;
    return st.Text(0);
}

std::vector<bool> TFolderStore::InboxSeen(const std::vector<uint64_t>& keys) const {
    std::vector<bool> out(keys.size());
    if (keys.empty()) return out;
    TStatement st = ops_.db_.Prepare("SELECT 1 FROM inbox_seen WHERE key = ?");
    for (size_t i = 0; i < keys.size(); ++i) {
        st.Reset();
        st.Bind(1, Signed(keys[i]));
        out[i] = st.Step();
    }
    return out;
}

std::vector<TInboxPlan::THeld> TFolderStore::PlacedInboxRuns(const std::string& source,
                                                             const std::string& analyte, double low,
                                                             double high) const {
    std::vector<TInboxPlan::THeld> out;
    TStatement st =
        ops_.db_.Prepare("SELECT id, source, analyte, entry, first_time, last_time, note FROM "
                         "inbox_run WHERE state = 'placed' AND target = 'queue' AND source = ? AND "
                         "analyte = ? AND first_time >= ? AND last_time <= ? ORDER BY id");
    st.Bind(1, source).Bind(2, analyte).Bind(3, low).Bind(4, high);
    while (st.Step())
        out.push_back(
            {st.Int(0), st.Text(1), st.Text(2), st.Text(3), st.Text(6), {}, st.Real(4), st.Real(5)});
    return out;
}

std::vector<std::string> TFolderStore::PlacedInboxEntries() const {
    std::vector<std::string> out;
    if (!HasInbox(ops_.db_)) return out;
    TStatement st =
        ops_.db_.Prepare("SELECT entry FROM inbox_run WHERE state = 'placed' AND target = 'queue'");
    while (st.Step()) out.push_back(st.Text(0));
    return out;
}

size_t TFolderStore::QueueCapacity() const {
    return MaxQueueEntries;
}

bool TFolderStore::PlacesInboxRunsAtOnce() const {
    // The legacy files cannot join a transaction of the database.
    return false;
}

void TFolderStore::InboxTransaction(const std::string&, const std::function<void()>& body) {
    Record(body);
}

void TFolderStore::SaveInboxMapping(const TInboxMapping& m) {
    TStatement st = ops_.db_.Prepare("INSERT INTO inbox_map(source, code, control, analyte, level) "
                                     "VALUES(?1, ?2, ?3, ?4, ?5) ON CONFLICT(source, code, control) "
                                     "DO UPDATE SET analyte = ?4, level = ?5");
    st.Bind(1, m.Source).Bind(2, m.Code).Bind(3, m.Control).Bind(4, m.Analyte);
    st.Bind(5, static_cast<int64_t>(m.Level));
    st.Step();
}

std::vector<TWaitingResult> TFolderStore::NotMappedOf(const std::string& source, const std::string& code,
                                                      const std::string& control) {
    std::vector<TWaitingResult> out;
    TStatement w =
        ops_.db_.Prepare(std::string("SELECT id, ") + WaitingColumns +
                         " FROM inbox_waiting WHERE source = ? AND code = ? AND control = ? ORDER BY id");
    w.Bind(1, source).Bind(2, code).Bind(3, control);
    while (w.Step()) out.push_back({w.Int(0), WaitingRow(w, 1), w.Text(13), {}, {}});
    return out;
}

void TFolderStore::SetNotMappedReason(int64_t id, const std::string& reason) {
    TStatement st = ops_.db_.Prepare("UPDATE inbox_waiting SET reason = ? WHERE id = ?");
    st.Bind(1, reason).Bind(2, id);
    st.Step();
}

void TFolderStore::RecordInboxPlan(const TInboxPlan& plan) {
    TDatabase& db = ops_.db_;
    const std::string now = UtcTimeText();
    TStatement run = db.Prepare("INSERT INTO inbox_run(source, analyte, target, entry, replaces, "
                                "first_time, last_time, state, verdict, "
                                "note, made_utc) VALUES(?, ?, ?, ?, ?, ?, ?, 'pending', ?, ?, ?)");
    for (const TInboxPlan::TRun& r : plan.Runs) {
        run.Reset();
        run.Bind(1, r.Source)
            .Bind(2, r.Analyte)
            .Bind(3, r.ToData ? "data" : "queue")
            .Bind(4, QueueImage(std::deque<TResu>{r.Run}));
        if (r.Replaces.empty())
            run.BindNull(5);
        else
            run.Bind(5, r.Replaces);
        run.Bind(6, r.First).Bind(7, r.Last).Bind(8, r.Verdict.Text).Bind(9, r.Note).Bind(10, now);
        run.Step();
    }
    TStatement state = db.Prepare("UPDATE inbox_run SET state = ? WHERE id = ?");
    auto mark = [&](const char* to, int64_t row) {
        state.Reset();
        state.Bind(1, to).Bind(2, row);
        state.Step();
    };
    for (const TInboxPlan::TRun& r : plan.Runs)
        for (int64_t row : r.ReplacedRows) mark("replaced", row);
    for (int64_t row : plan.Gone) mark("gone", row);
    TStatement waiting = db.Prepare(WaitingInsert());
    for (const TInboxPlan::TWaiting& w : plan.Waiting)
        BindWaiting(waiting, w.Result, w.Origin, w.Reason, now);
    TStatement mapped = db.Prepare("DELETE FROM inbox_waiting WHERE id = ?");
    for (int64_t id : plan.Mapped) {
        mapped.Reset();
        mapped.Bind(1, id);
        mapped.Step();
    }
    TStatement seen = db.Prepare("INSERT OR IGNORE INTO inbox_seen(key) VALUES(?)");
    for (uint64_t key : plan.Seen) {
        seen.Reset();
        seen.Bind(1, Signed(key));
        seen.Step();
    }
    TStatement file = db.Prepare("INSERT OR IGNORE INTO inbox_file(source, hash, name, results, faults, "
                                 "read_utc) VALUES(?, ?, ?, ?, ?, ?)");
    for (const TInboxPlan::TFile& f : plan.Files) {
        file.Reset();
        file.Bind(1, f.Source)
            .Bind(2, Signed(f.Hash))
            .Bind(3, f.Name)
            .Bind(4, static_cast<int64_t>(f.Results));
        file.Bind(5, f.Faults).Bind(6, now);
        file.Step();
    }
    TStatement message =
        db.Prepare("INSERT OR IGNORE INTO inbox_message(source, id, file, read_utc) VALUES(?, ?, ?, ?)");
    for (size_t i = 0; i < plan.Messages.size(); ++i) {
        message.Reset();
        message.Bind(1, plan.Messages[i].first)
            .Bind(2, plan.Messages[i].second)
            .Bind(3, plan.MessageFiles[i]);
        message.Bind(4, now);
        message.Step();
    }
}

std::vector<TInboxPending> TFolderStore::PendingInboxRuns() const {
    std::vector<TInboxPending> pending;
    if (!HasInbox(ops_.db_)) return pending;
    TStatement st = ops_.db_.Prepare("SELECT id, analyte, target, entry, replaces FROM inbox_run "
                                     "WHERE state = 'pending' ORDER BY id");
    while (st.Step())
        pending.push_back({st.Int(0), st.Text(1), st.Text(2) == "data", st.Text(3), st.Text(4)});
    return pending;
}

void TFolderStore::MarkInboxRunsPlaced(const std::vector<int64_t>& rows) {
    TDatabase::TTransaction t(ops_.db_);
    TStatement st = ops_.db_.Prepare("UPDATE inbox_run SET state = 'placed' WHERE id = ?");
    for (int64_t row : rows) {
        st.Reset();
        st.Bind(1, row);
        st.Step();
    }
    t.Commit();
}

TStoreInbox TFolderStore::InboxRecords() const {
    const TDatabase& db = ops_.db_;
    TStoreInbox out;
    if (!HasInbox(db)) return out;
    if (db.Meta(SettingFolder)) out.Settings = InboxSettings();
    TStatement src = db.Prepare("SELECT id, options FROM inbox_source ORDER BY id");
    while (src.Step()) out.Sources.emplace_back(src.Text(0), src.Text(1));
    out.Mappings = InboxMappings();
    out.Waiting = NotMappedResults();
    TStatement seen = db.Prepare("SELECT key FROM inbox_seen ORDER BY key");
    while (seen.Step()) out.Seen.push_back(seen.Int(0));
    TStatement f = db.Prepare("SELECT source, hash, name, results, faults, read_utc FROM inbox_file ORDER "
                              "BY read_utc, source, hash");
    while (f.Step()) out.Files.push_back({f.Text(0), f.Int(1), f.Text(2), f.Int(3), f.Text(4), f.Text(5)});
    TStatement m =
        db.Prepare("SELECT source, id, file, read_utc FROM inbox_message ORDER BY read_utc, source, id");
    while (m.Step()) out.Messages.push_back({m.Text(0), m.Text(1), m.Text(2), m.Text(3)});
    TStatement r =
        db.Prepare("SELECT source, analyte, target, entry, replaces, first_time, last_time, state, "
                   "verdict, note, made_utc, replaces IS NULL FROM inbox_run ORDER BY id");
    while (r.Step()) {
        TStoreInbox::TRun run{r.Text(0), r.Text(1), r.Text(2), r.Text(3), std::nullopt, r.Real(5),
                              r.Real(6), r.Text(7), r.Text(8), r.Text(9), r.Text(10)};
        if (r.Int(11) == 0) run.Replaces = r.Text(4);
        out.Runs.push_back(std::move(run));
    }
    return out;
}

void TFolderStore::PutInboxRecords(const TStoreInbox& in) {
    TDatabase& db = ops_.db_;
    TStatement any =
        db.Prepare("SELECT (SELECT count(*) FROM inbox_map) + (SELECT count(*) FROM inbox_seen) + "
                   "(SELECT count(*) FROM inbox_run) + (SELECT count(*) FROM inbox_waiting)");
    if (any.Step() && any.Int(0) > 0 && (!in.Mappings.empty() || !in.Seen.empty() || !in.Runs.empty()))
        // Said by the companion's migration only, which speaks English.
        throw EQcError("The folder " + ProgramFolder + " already keeps inbox records of its own");
    if (in.Settings) {
        db.SetMeta(SettingFolder, in.Settings->Folder);
        db.SetMeta(SettingAutoAccept, in.Settings->AutoAccept ? "yes" : "no");
        db.SetMeta(SettingWindow, FormatFixed(in.Settings->WindowMinutes, 15, 3));
    }
    TStatement src = db.Prepare("INSERT OR REPLACE INTO inbox_source(id, options) VALUES(?, ?)");
    for (const auto& [id, options] : in.Sources) {
        src.Reset();
        src.Bind(1, id).Bind(2, options);
        src.Step();
    }
    TStatement map =
        db.Prepare("INSERT INTO inbox_map(source, code, control, analyte, level) VALUES(?, ?, ?, ?, ?)");
    for (const TInboxMapping& m : in.Mappings) {
        map.Reset();
        map.Bind(1, m.Source).Bind(2, m.Code).Bind(3, m.Control).Bind(4, m.Analyte);
        map.Bind(5, static_cast<int64_t>(m.Level));
        map.Step();
    }
    TStatement waiting = db.Prepare(WaitingInsert());
    for (const TWaitingResult& w : in.Waiting)
        BindWaiting(waiting, w.Result, w.File, w.Reason, w.ReceivedUtc);
    TStatement seen = db.Prepare("INSERT INTO inbox_seen(key) VALUES(?)");
    for (int64_t key : in.Seen) {
        seen.Reset();
        seen.Bind(1, key);
        seen.Step();
    }
    TStatement file = db.Prepare(
        "INSERT INTO inbox_file(source, hash, name, results, faults, read_utc) VALUES(?, ?, ?, ?, ?, ?)");
    for (const TStoreInbox::TFile& f : in.Files) {
        file.Reset();
        file.Bind(1, f.Source).Bind(2, f.Hash).Bind(3, f.Name).Bind(4, f.Results).Bind(5, f.Faults);
        file.Bind(6, f.ReadUtc);
        file.Step();
    }
    TStatement message =
        db.Prepare("INSERT INTO inbox_message(source, id, file, read_utc) VALUES(?, ?, ?, ?)");
    for (const TStoreInbox::TMessage& m : in.Messages) {
        message.Reset();
        message.Bind(1, m.Source).Bind(2, m.Id).Bind(3, m.File).Bind(4, m.ReadUtc);
        message.Step();
    }
    TStatement run =
        db.Prepare("INSERT INTO inbox_run(source, analyte, target, entry, replaces, first_time, "
                   "last_time, state, verdict, note, made_utc) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (const TStoreInbox::TRun& r : in.Runs) {
        run.Reset();
        run.Bind(1, r.Source).Bind(2, r.Analyte).Bind(3, r.Target).Bind(4, r.Entry);
        if (r.Replaces)
            run.Bind(5, *r.Replaces);
        else
            run.BindNull(5);
        run.Bind(6, r.First).Bind(7, r.Last).Bind(8, r.State).Bind(9, r.Verdict).Bind(10, r.Note);
        run.Bind(11, r.MadeUtc);
        run.Step();
    }
}

// ---------------------------------------------------------------- the server

namespace {
// Windows ask while drawing: a server that does not answer shows nothing until it answers again.
template <class T, class F> T OrNone(F&& f) {
    try {
        return f();
    } catch (const EQcError&) {
        return T{};
    }
}
} // namespace

TInboxSettings TSharedStore::InboxSettings() const {
    return OrNone<TInboxSettings>([&] { return server_->InboxSettings().value_or(TInboxSettings{}); });
}

std::optional<std::string> TSharedStore::InboxSourceOptions(const std::string& id) const {
    return OrNone<std::optional<std::string>>([&] { return server_->InboxSourceOptions(id); });
}

std::vector<std::string> TSharedStore::InboxSourceIds() const {
    return OrNone<std::vector<std::string>>([&] { return server_->InboxSourceIds(); });
}

std::vector<TInboxMapping> TSharedStore::InboxMappings() const {
    return OrNone<std::vector<TInboxMapping>>([&] { return server_->InboxMappings(); });
}

std::vector<TWaitingResult> TSharedStore::NotMappedResults() const {
    return OrNone<std::vector<TWaitingResult>>([&] { return server_->InboxWaiting(); });
}

int TSharedStore::NotMappedCount() const {
    return OrNone<int>([&] { return static_cast<int>(server_->InboxWaitingCount()); });
}

bool TSharedStore::InboxRecordsOpen() {
    return true;
}

void TSharedStore::SaveInboxSettings(const TInboxSettings& s) {
    ops_.HandJournalToServer();
    server_->InTransaction("inbox settings", [&] { server_->PutInboxSettings(s); });
}

void TSharedStore::SaveInboxSource(const std::string& id, const std::string& options) {
    ops_.HandJournalToServer();
    server_->InTransaction("inbox source " + id, [&] { server_->PutInboxSource(id, options); });
}

int64_t TSharedStore::NotMappedCountOf(const std::string& file) const {
    return server_->InboxWaitingCount(&file);
}

void TSharedStore::DiscardNotMapped(const std::string& file) {
    ops_.HandJournalToServer();
    server_->InTransaction("inbox discard", [&] { server_->DeleteInboxWaiting(file); });
}

void TSharedStore::RemoveInboxMapping(const std::string& source, const std::string& code,
                                      const std::string& control) {
    ops_.HandJournalToServer();
    server_->InTransaction("inbox mapping", [&] {
        if (!server_->DeleteInboxMapping(source, code, control)) throw NoMapping(source, code, control);
    });
}

void TSharedStore::ForgetInboxFile(const std::string& source, uint64_t hash) {
    server_->DeleteInboxFile(source, hash);
}

void TSharedStore::RecordInboxChange(const std::function<void()>& body) {
    ops_.HandJournalToServer();
    server_->InTransaction("inbox failed file", body);
}

std::optional<std::string> TSharedStore::InboxFileFaults(const std::string& source, uint64_t hash) const {
    return server_->InboxFileFaults(source, hash);
}

std::vector<bool> TSharedStore::InboxSeen(const std::vector<uint64_t>& keys) const {
    return server_->InboxSeen(keys);
}

std::vector<TInboxPlan::THeld> TSharedStore::PlacedInboxRuns(const std::string& source,
                                                             const std::string& analyte, double low,
                                                             double high) const {
    return server_->PlacedInboxRuns(source, analyte, low, high);
}

std::vector<std::string> TSharedStore::PlacedInboxEntries() const {
    return server_->PlacedInboxEntries();
}

std::deque<TResu> TSharedStore::QueueElsewhere() const {
    // A held run is gone when no bench holds it any more, whatever this one last saw.
    return server_->QueueNow();
}

bool TSharedStore::PlacesInboxRunsAtOnce() const {
    return true;
}

void TSharedStore::InboxTransaction(const std::string& what, const std::function<void()>& body) {
    server_->InTransaction(what, [&] {
        body();
        ops_.HandJournalToServer();
    });
}

std::optional<std::deque<TResu>> TSharedStore::LockInbox(bool withQueue) {
    server_->LockInbox();
    if (!withQueue) return std::nullopt;
    std::deque<TResu> queue;
    server_->ReloadQueue(queue);
    return queue;
}

void TSharedStore::SaveInboxMapping(const TInboxMapping& mapping) {
    server_->PutInboxMapping(mapping);
}

std::vector<TWaitingResult> TSharedStore::NotMappedOf(const std::string& source, const std::string& code,
                                                      const std::string& control) {
    return server_->InboxWaitingOf(source, code, control);
}

void TSharedStore::SetNotMappedReason(int64_t id, const std::string& reason) {
    server_->SetInboxWaitingReason(id, reason);
}

void TSharedStore::RecordInboxPlan(const TInboxPlan& plan) {
    server_->RecordInboxPlan(plan);
}
