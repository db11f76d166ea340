// The instrument inbox's records on a server, moved in and out with the rest of a folder's records.
#include <charconv>
#include <unistd.h>

#include "UServerStore.h"

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
