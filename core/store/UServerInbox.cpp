// The instrument inbox's records on a server, moved in and out with the rest of a folder's records.
#include <algorithm>
#include <charconv>
#include <set>
#include <unistd.h>

#include "UServerStore.h"
#include "UTexts.h"
#include "UUtilitaires.h"

namespace {
std::string Num(double v) {
    char b[40];
    auto r = std::to_chars(b, b + sizeof b, v);
    return std::string(b, r.ptr);
}
} // namespace

std::string ServerStation() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || !name[0]) return "localhost";
    return name;
}

const char* const ServerWaitingColumns =
    "source, instrument, code, control, level, value_text, value, units, "
    "date_time, operator, comment, message_id, file, line, reason";

TInstrumentResult ServerWaitingRow(const TPgResult& st, int row, int c) {
    TInstrumentResult r;
    r.Source = LocalText(st.View(row, c));
    r.Instrument = LocalText(st.View(row, c + 1));
    r.TestCode = LocalText(st.View(row, c + 2));
    r.Control = LocalText(st.View(row, c + 3));
    r.Level = static_cast<int>(st.Int(row, c + 4));
    r.ValueText = LocalText(st.View(row, c + 5));
    r.Value = st.Real(row, c + 6);
    r.Units = LocalText(st.View(row, c + 7));
    r.DateTime = st.Real(row, c + 8);
    r.Operator = LocalText(st.View(row, c + 9));
    r.Comment = LocalText(st.View(row, c + 10));
    r.MessageId = LocalText(st.View(row, c + 11));
    r.Line = static_cast<int>(st.Int(row, c + 13));
    return r;
}

TStoreInbox TServerStore::InboxRecords() const {
    TStoreInbox out;
    TPgResult s =
        conn_.Exec("SELECT folder, auto_accept, window_minutes FROM inbox_setting WHERE station = $1",
                   {ServerStation()});
    if (s.Rows() == 1) out.Settings = TInboxSettings{s.Text(0, 0), s.Text(0, 1) == "t", s.Real(0, 2)};
    TPgResult src = conn_.Exec("SELECT id, options FROM inbox_source ORDER BY id");
    for (int i = 0; i < src.Rows(); ++i)
        out.Sources.emplace_back(LocalText(src.View(i, 0)), LocalText(src.View(i, 1)));
    TPgResult m = conn_.Exec(
        "SELECT source, code, control, analyte, level FROM inbox_map ORDER BY source, code, control");
    for (int i = 0; i < m.Rows(); ++i)
        out.Mappings.push_back({LocalText(m.View(i, 0)), LocalText(m.View(i, 1)), LocalText(m.View(i, 2)),
                                LocalText(m.View(i, 3)), static_cast<int>(m.Int(i, 4))});
    TPgResult w = conn_.Exec(std::string("SELECT id, ") + ServerWaitingColumns +
                             ", received_utc FROM inbox_waiting ORDER BY id");
    for (int i = 0; i < w.Rows(); ++i)
        out.Waiting.push_back({w.Int(i, 0), ServerWaitingRow(w, i, 1), LocalText(w.View(i, 13)),
                               LocalText(w.View(i, 15)), w.Text(i, 16)});
    TPgResult seen = conn_.Exec("SELECT key FROM inbox_seen ORDER BY key");
    for (int i = 0; i < seen.Rows(); ++i) out.Seen.push_back(seen.Int(i, 0));
    TPgResult f = conn_.Exec("SELECT source, hash, name, results, faults, read_utc FROM inbox_file ORDER BY "
                             "read_utc, source, hash");
    for (int i = 0; i < f.Rows(); ++i)
        out.Files.push_back({LocalText(f.View(i, 0)), f.Int(i, 1), LocalText(f.View(i, 2)), f.Int(i, 3),
                             LocalText(f.View(i, 4)), f.Text(i, 5)});
    TPgResult msg =
        conn_.Exec("SELECT source, id, file, read_utc FROM inbox_message ORDER BY read_utc, source, id");
    for (int i = 0; i < msg.Rows(); ++i)
        out.Messages.push_back({LocalText(msg.View(i, 0)), LocalText(msg.View(i, 1)),
                                LocalText(msg.View(i, 2)), msg.Text(i, 3)});
    TPgResult r =
        conn_.Exec("SELECT source, analyte, target, entry, replaces, first_time, last_time, state, verdict, "
                   "note, made_utc FROM inbox_run ORDER BY id");
    for (int i = 0; i < r.Rows(); ++i) {
        TStoreInbox::TRun run{LocalText(r.View(i, 0)),
                              LocalText(r.View(i, 1)),
                              r.Text(i, 2),
                              r.Bytes(i, 3),
                              std::nullopt,
                              r.Real(i, 5),
                              r.Real(i, 6),
                              r.Text(i, 7),
                              LocalText(r.View(i, 8)),
                              LocalText(r.View(i, 9)),
                              r.Text(i, 10)};
        if (!r.Null(i, 4)) run.Replaces = r.Bytes(i, 4);
        out.Runs.push_back(std::move(run));
    }
    return out;
}

void TServerStore::ImportInbox(const TStoreInbox& in) {
    // A run a folder recorded and never placed would never be placed on a server, which places each run
    // in the transaction that records it.
    for (const TStoreInbox::TRun& r : in.Runs)
        if (r.State == "pending")
            throw EQcError(
                "The folder's inbox holds runs read and not yet placed: start Varnholt on the folder "
                "once to place them, then migrate");
    if (in.Settings)
        conn_.Exec("INSERT INTO inbox_setting VALUES($1, $2, $3, $4)",
                   {ServerStation(), in.Settings->Folder, in.Settings->AutoAccept ? "t" : "f",
                    Num(in.Settings->WindowMinutes)});
    for (const auto& [id, options] : in.Sources)
        conn_.Exec("INSERT INTO inbox_source(id, options) VALUES($1, $2)",
                   {ServerText(id), ServerText(options)});
    for (const TInboxMapping& m : in.Mappings)
        conn_.Exec("INSERT INTO inbox_map(source, code, control, analyte, level) VALUES($1, $2, $3, $4, $5)",
                   {ServerText(m.Source), ServerText(m.Code), ServerText(m.Control), ServerText(m.Analyte),
                    std::to_string(m.Level)});
    for (const TWaitingResult& w : in.Waiting) {
        const TInstrumentResult& r = w.Result;
        conn_.Exec(std::string("INSERT INTO inbox_waiting(") + ServerWaitingColumns +
                       ", received_utc) VALUES($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14, "
                       "$15, $16)",
                   {ServerText(r.Source), ServerText(r.Instrument), ServerText(r.TestCode),
                    ServerText(r.Control), std::to_string(r.Level), ServerText(r.ValueText), Num(r.Value),
                    ServerText(r.Units), Num(r.DateTime), ServerText(r.Operator), ServerText(r.Comment),
                    ServerText(r.MessageId), ServerText(w.File), std::to_string(r.Line), ServerText(w.Reason),
                    w.ReceivedUtc});
    }
    if (!in.Seen.empty()) {
        std::string keys = "{";
        for (int64_t k : in.Seen) keys += (keys.size() > 1 ? "," : "") + std::to_string(k);
        conn_.Exec("INSERT INTO inbox_seen SELECT unnest($1::bigint[])", {keys + "}"});
    }
    for (const TStoreInbox::TFile& f : in.Files)
        conn_.Exec("INSERT INTO inbox_file(source, hash, name, results, faults, read_utc) VALUES($1, $2, $3, "
                   "$4, $5, $6)",
                   {ServerText(f.Source), std::to_string(f.Hash), ServerText(f.Name),
                    std::to_string(f.Results), ServerText(f.Faults), f.ReadUtc});
    for (const TStoreInbox::TMessage& m : in.Messages)
        conn_.Exec("INSERT INTO inbox_message(source, id, file, read_utc) VALUES($1, $2, $3, $4)",
                   {ServerText(m.Source), ServerText(m.Id), ServerText(m.File), m.ReadUtc});
    for (const TStoreInbox::TRun& r : in.Runs)
        conn_.Exec(
            "INSERT INTO inbox_run(source, analyte, target, entry, replaces, first_time, last_time, state, "
            "verdict, note, made_utc) VALUES($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11)",
            {ServerText(r.Source), ServerText(r.Analyte), r.Target, TPgConnection::HexBytes(r.Entry),
             r.Replaces ? TPgParam(TPgConnection::HexBytes(*r.Replaces)) : TPgParam(), Num(r.First),
             Num(r.Last), r.State, ServerText(r.Verdict), ServerText(r.Note), r.MadeUtc});
}

// ---------------------------------------------------------------- the inbox as a bench uses it

namespace {
std::string Param(int64_t v) {
    return std::to_string(v);
}
int64_t Signed(uint64_t v) {
    return static_cast<int64_t>(v);
}
std::string Array(const std::vector<int64_t>& values) {
    std::string text = "{";
    for (int64_t v : values) text += (text.size() > 1 ? "," : "") + std::to_string(v);
    return text + "}";
}
std::vector<TWaitingResult> WaitingRows(const TPgResult& r, bool received) {
    std::vector<TWaitingResult> out;
    for (int i = 0; i < r.Rows(); ++i) {
        TWaitingResult w;
        w.Id = r.Int(i, 0);
        w.Result = ServerWaitingRow(r, i, 1);
        w.File = LocalText(r.View(i, 13));
        if (received) {
            w.Reason = LocalText(r.View(i, 15));
            w.ReceivedUtc = r.Text(i, 16);
        }
        out.push_back(std::move(w));
    }
    return out;
}
} // namespace

std::optional<TInboxSettings> TServerStore::InboxSettings() const {
    TPgResult r =
        conn_.Exec("SELECT folder, auto_accept, window_minutes FROM inbox_setting WHERE station = $1",
                   {ServerStation()});
    if (r.Rows() != 1) return std::nullopt;
    TInboxSettings s;
    s.Folder = r.Text(0, 0);
    s.AutoAccept = r.Text(0, 1) == "t";
    if (const double w = r.Real(0, 2); w > 0 && w <= 1440) s.WindowMinutes = w;
    return s;
}

std::optional<std::string> TServerStore::InboxSourceOptions(const std::string& id) const {
    TPgResult r = conn_.Exec("SELECT options FROM inbox_source WHERE id = $1", {ServerText(id)});
    if (r.Rows() != 1) return std::nullopt;
    return LocalText(r.View(0, 0));
}

std::vector<std::string> TServerStore::InboxSourceIds() const {
    std::vector<std::string> out;
    TPgResult r = conn_.Exec("SELECT id FROM inbox_source ORDER BY id");
    for (int i = 0; i < r.Rows(); ++i) out.push_back(LocalText(r.View(i, 0)));
    return out;
}

std::vector<TInboxMapping> TServerStore::InboxMappings() const {
    std::vector<TInboxMapping> out;
    TPgResult r = conn_.Exec(
        "SELECT source, code, control, analyte, level FROM inbox_map ORDER BY source, code, control");
    for (int i = 0; i < r.Rows(); ++i)
        out.push_back({LocalText(r.View(i, 0)), LocalText(r.View(i, 1)), LocalText(r.View(i, 2)),
                       LocalText(r.View(i, 3)), static_cast<int>(r.Int(i, 4))});
    return out;
}

std::vector<TWaitingResult> TServerStore::InboxWaiting() const {
    return WaitingRows(conn_.Exec(std::string("SELECT id, ") + ServerWaitingColumns +
                                  ", received_utc FROM inbox_waiting ORDER BY id"),
                       true);
}

int64_t TServerStore::InboxWaitingCount(const std::string* file) const {
    if (!file) return conn_.Exec("SELECT count(*) FROM inbox_waiting").Int(0, 0);
    return conn_.Exec("SELECT count(*) FROM inbox_waiting WHERE file = $1", {ServerText(*file)}).Int(0, 0);
}

void TServerStore::PutInboxSettings(const TInboxSettings& s) {
    // Auto-accept stores runs without a person validating them: a supervisor's choice. The folder and the
    // time window are the bench's own.
    const std::optional<TInboxSettings> now = InboxSettings();
    if (s.AutoAccept != (now && now->AutoAccept))
        RequireSupervisor(QT_TRANSLATE_NOOP("Core", "switch the inbox's auto-accept on or off"));
    conn_.Exec("INSERT INTO inbox_setting VALUES($1, $2, $3, $4) ON CONFLICT(station) DO UPDATE SET "
               "folder = $2, auto_accept = $3, window_minutes = $4",
               {ServerStation(), s.Folder, s.AutoAccept ? "t" : "f", Num(s.WindowMinutes)});
}

void TServerStore::PutInboxSource(const std::string& id, const std::string& options) {
    RequireSupervisor(QT_TRANSLATE_NOOP("Core", "change the reading options of an instrument"));
    conn_.Exec(
        "INSERT INTO inbox_source(id, options) VALUES($1, $2) ON CONFLICT(id) DO UPDATE SET options = $2",
        {ServerText(id), ServerText(options)});
}

void TServerStore::DeleteInboxWaiting(const std::string& file) {
    conn_.Exec("DELETE FROM inbox_waiting WHERE file = $1", {ServerText(file)});
}

bool TServerStore::DeleteInboxMapping(const std::string& source, const std::string& code,
                                      const std::string& control) {
    RequireSupervisor(QT_TRANSLATE_NOOP("Core", "change the instrument mapping"));
    return conn_
               .Exec("DELETE FROM inbox_map WHERE source = $1 AND code = $2 AND control = $3 RETURNING 1",
                     {ServerText(source), ServerText(code), ServerText(control)})
               .Rows() > 0;
}

void TServerStore::DeleteInboxFile(const std::string& source, uint64_t hash) {
    conn_.Exec("DELETE FROM inbox_file WHERE source = $1 AND hash = $2",
               {ServerText(source), Param(Signed(hash))});
}

std::optional<std::string> TServerStore::InboxFileFaults(const std::string& source, uint64_t hash) const {
    TPgResult r = conn_.Exec("SELECT faults FROM inbox_file WHERE source = $1 AND hash = $2 AND results > 0",
                             {ServerText(source), Param(Signed(hash))});
    if (r.Rows() == 0) return std::nullopt;
    return LocalText(r.View(0, 0));
}

std::vector<bool> TServerStore::InboxSeen(const std::vector<uint64_t>& keys) const {
    std::vector<bool> out(keys.size());
    if (keys.empty()) return out;
    std::vector<int64_t> asked;
    for (uint64_t k : keys) asked.push_back(Signed(k));
    TPgResult r = conn_.Exec("SELECT key FROM inbox_seen WHERE key = ANY($1::bigint[])", {Array(asked)});
    std::set<int64_t> seen;
    for (int i = 0; i < r.Rows(); ++i) seen.insert(r.Int(i, 0));
    for (size_t i = 0; i < keys.size(); ++i) out[i] = seen.count(asked[i]) > 0;
    return out;
}

std::vector<TInboxPlan::THeld> TServerStore::PlacedInboxRuns(const std::string& source,
                                                             const std::string& analyte, double low,
                                                             double high) const {
    std::vector<TInboxPlan::THeld> out;
    TPgResult r =
        conn_.Exec("SELECT id, source, analyte, entry, first_time, last_time, note FROM inbox_run "
                   "WHERE state = 'placed' AND target = 'queue' AND source = $1 AND analyte = $2 AND "
                   "first_time >= $3 AND last_time <= $4 ORDER BY id",
                   {ServerText(source), ServerText(analyte), Num(low), Num(high)});
    for (int i = 0; i < r.Rows(); ++i)
        out.push_back({r.Int(i, 0),
                       LocalText(r.View(i, 1)),
                       LocalText(r.View(i, 2)),
                       r.Bytes(i, 3),
                       LocalText(r.View(i, 6)),
                       {},
                       r.Real(i, 4),
                       r.Real(i, 5)});
    return out;
}

std::vector<std::string> TServerStore::PlacedInboxEntries() const {
    std::vector<std::string> out;
    TPgResult r = conn_.Exec("SELECT entry FROM inbox_run WHERE state = 'placed' AND target = 'queue'");
    for (int i = 0; i < r.Rows(); ++i) out.push_back(r.Bytes(i, 0));
    return out;
}

void TServerStore::LockInbox() {
    conn_.Exec("SELECT pg_advisory_xact_lock(7163002)");
}

void TServerStore::PutInboxMapping(const TInboxMapping& m) {
    RequireSupervisor(QT_TRANSLATE_NOOP("Core", "change the instrument mapping"));
    conn_.Exec("INSERT INTO inbox_map(source, code, control, analyte, level) VALUES($1, $2, $3, $4, $5) "
               "ON CONFLICT(source, code, control) DO UPDATE SET analyte = $4, level = $5",
               {ServerText(m.Source), ServerText(m.Code), ServerText(m.Control), ServerText(m.Analyte),
                Param(int64_t{m.Level})});
}

std::vector<TWaitingResult> TServerStore::InboxWaitingOf(const std::string& source, const std::string& code,
                                                         const std::string& control) {
    return WaitingRows(conn_.Exec(std::string("SELECT id, ") + ServerWaitingColumns +
                                      " FROM inbox_waiting WHERE source = $1 AND code = $2 AND control = $3 "
                                      "ORDER BY id FOR UPDATE",
                                  {ServerText(source), ServerText(code), ServerText(control)}),
                       false);
}

void TServerStore::SetInboxWaitingReason(int64_t id, const std::string& reason) {
    conn_.Exec("UPDATE inbox_waiting SET reason = $1 WHERE id = $2", {ServerText(reason), Param(id)});
}

void TServerStore::RecordInboxPlan(const TInboxPlan& plan) {
    const std::string now = UtcTimeText();
    auto taken = [] {
        return EServerConflict("The results from the instruments were taken on another bench meanwhile: "
                               "nothing was saved. They are read again at the next reading.");
    };
    for (const TInboxPlan::TRun& r : plan.Runs)
        conn_.Exec(
            "INSERT INTO inbox_run(source, analyte, target, entry, replaces, first_time, last_time, state, "
            "verdict, note, made_utc) VALUES($1, $2, $3, $4, $5, $6, $7, 'placed', $8, $9, $10)",
            {ServerText(r.Source), ServerText(r.Analyte), r.ToData ? "data" : "queue",
             TPgConnection::HexBytes(QueueImage(std::deque<TResu>{r.Run})),
             r.Replaces.empty() ? TPgParam() : TPgParam(TPgConnection::HexBytes(r.Replaces)), Num(r.First),
             Num(r.Last), ServerText(r.Verdict.Text), ServerText(r.Note), now});
    // A held run completed here: completed on another bench meanwhile, nothing of this is stored.
    for (const TInboxPlan::TRun& r : plan.Runs)
        for (int64_t row : r.ReplacedRows)
            if (conn_
                    .Exec("UPDATE inbox_run SET state = 'replaced' WHERE id = $1 AND state = 'placed' "
                          "RETURNING 1",
                          {Param(row)})
                    .Rows() == 0)
                throw taken();
    for (int64_t row : plan.Gone)
        conn_.Exec("UPDATE inbox_run SET state = 'gone' WHERE id = $1", {Param(row)});
    for (const TInboxPlan::TWaiting& w : plan.Waiting) {
        const TInstrumentResult& r = w.Result;
        conn_.Exec(
            std::string("INSERT INTO inbox_waiting(") + ServerWaitingColumns +
                ", received_utc, station) VALUES($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, "
                "$14, $15, $16, $17)",
            {ServerText(r.Source), ServerText(r.Instrument), ServerText(r.TestCode), ServerText(r.Control),
             Param(int64_t{r.Level}), ServerText(r.ValueText), Num(r.Value), ServerText(r.Units),
             Num(r.DateTime), ServerText(r.Operator), ServerText(r.Comment), ServerText(r.MessageId),
             ServerText(w.Origin), Param(int64_t{r.Line}), ServerText(w.Reason), now, ServerStation()});
    }
    // Results brought in by a mapping here and not on another bench at the same time.
    if (!plan.Mapped.empty() &&
        conn_.Exec("DELETE FROM inbox_waiting WHERE id = ANY($1::bigint[]) RETURNING id",
                   {Array(plan.Mapped)})
                .Rows() != static_cast<int>(plan.Mapped.size()))
        throw taken();
    // Each result once on the whole server: a key another bench inserted meanwhile is waited for, then
    // found, and refuses this transaction whole.
    if (!plan.Seen.empty()) {
        std::vector<int64_t> keys;
        for (uint64_t k : plan.Seen) keys.push_back(Signed(k));
        std::sort(keys.begin(), keys.end()); // in one order on every bench: no deadlock
        if (conn_
                .Exec(
                    "INSERT INTO inbox_seen SELECT unnest($1::bigint[]) ON CONFLICT DO NOTHING RETURNING key",
                    {Array(keys)})
                .Rows() != static_cast<int>(keys.size()))
            throw taken();
    }
    for (const TInboxPlan::TFile& f : plan.Files)
        conn_.Exec("INSERT INTO inbox_file(source, hash, name, results, faults, read_utc) VALUES($1, $2, $3, "
                   "$4, $5, $6) ON CONFLICT DO NOTHING",
                   {ServerText(f.Source), Param(Signed(f.Hash)), ServerText(f.Name),
                    Param(int64_t{f.Results}), ServerText(f.Faults), now});
    for (size_t i = 0; i < plan.Messages.size(); ++i)
        conn_.Exec("INSERT INTO inbox_message(source, id, file, read_utc) VALUES($1, $2, $3, $4) ON CONFLICT "
                   "DO NOTHING",
                   {ServerText(plan.Messages[i].first), ServerText(plan.Messages[i].second),
                    ServerText(plan.MessageFiles[i]), now});
}
