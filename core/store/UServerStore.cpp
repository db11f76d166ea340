// The server store: schema and migrations, loading, one transaction per change on the rows it
// touched (versions per analyte), notifications between benches, accounts and their rights.
#include "UServerStore.h"
#include "UServerRights.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <random>
#include <set>

#include "UBinary.h"
#include "UCodePage.h"
#include "UDataLoadSave.h"
#include "UExtended.h"
#include "UJournal.h"
#include "UJournalTexts.h"
#include "UTexts.h"
#include "UUtilitaires.h"

// Every part the server's database has, brought up to date in this order. A feature that keeps rows
// of its own (the change journal, reviews, instrument mappings) appends a part here with the same
// tables as its part of Varnholt.db, reads them through Connection(), and writes them inside the
// transaction of the change they belong to (TServerStore::Transaction, before COMMIT), so that a
// journal entry and its change are stored together or not at all.
const std::vector<TServerSchemaPart>& ServerSchemaParts() {
    static const std::vector<TServerSchemaPart> parts = {
        {"base",
         {// Versions of what is shared as a whole: the catalogue (materials, the analyte list and its
          // order) and the settings. Each analyte row carries its own version.
          "CREATE TABLE store(key text PRIMARY KEY, version bigint NOT NULL);"
          "INSERT INTO store VALUES ('catalogue', 0), ('settings', 0);"
          "CREATE TABLE material(id integer PRIMARY KEY, ord integer NOT NULL, erase_mark integer NOT NULL,"
          "  name text NOT NULL, lot text NOT NULL);"
          // Limits: the 80-bit images of mean, warning and action deviation of each level (90 bytes),
          // exactly as the data file holds them.
          "CREATE TABLE analyte(id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY, ord integer NOT NULL,"
          "  version bigint NOT NULL DEFAULT 1, name text NOT NULL, unit text NOT NULL,"
          "  decimals integer NOT NULL, nb_levels integer NOT NULL,"
          "  material1 integer NOT NULL, material2 integer NOT NULL, material3 integer NOT NULL,"
          "  mode1 smallint NOT NULL, mode2 smallint NOT NULL, mode3 smallint NOT NULL,"
          "  lock_first1 integer NOT NULL, lock_first2 integer NOT NULL, lock_first3 integer NOT NULL,"
          "  lock_last1 integer NOT NULL, lock_last2 integer NOT NULL, lock_last3 integer NOT NULL,"
          "  options smallint NOT NULL, reserved integer NOT NULL, limits bytea NOT NULL,"
          "  archive_numbers integer[] NOT NULL, changed_by text NOT NULL DEFAULT '',"
          "  changed_at timestamptz NOT NULL DEFAULT now());"
          // Points in the analyte's order (ascending date); a change shifts the places after it.
          "CREATE TABLE point(analyte bigint NOT NULL REFERENCES analyte ON DELETE CASCADE,"
          "  ord integer NOT NULL, at double precision NOT NULL,"
          "  v1 real NOT NULL, s1 smallint NOT NULL, v2 real NOT NULL, s2 smallint NOT NULL,"
          "  v3 real NOT NULL, s3 smallint NOT NULL, comment_id integer NOT NULL, operator text NOT NULL,"
          "  CONSTRAINT point_key PRIMARY KEY(analyte, ord) DEFERRABLE INITIALLY DEFERRED);"
          "CREATE TABLE comment(analyte bigint NOT NULL REFERENCES analyte ON DELETE CASCADE,"
          "  id integer NOT NULL, text text NOT NULL, PRIMARY KEY(analyte, id));"
          // The archive files themselves, bytes as the folder holds them.
          "CREATE TABLE archive(number integer PRIMARY KEY, analyte text NOT NULL, bytes bytea NOT NULL,"
          "  stored_at timestamptz NOT NULL DEFAULT now());"
          "CREATE SEQUENCE archive_number;"
          "CREATE TABLE queue_entry(id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,"
          "  at double precision NOT NULL, v1 real NOT NULL, s1 smallint NOT NULL, v2 real NOT NULL,"
          "  s2 smallint NOT NULL, v3 real NOT NULL, s3 smallint NOT NULL, comment text NOT NULL,"
          "  operator text NOT NULL, analyte text NOT NULL);"
          "CREATE TABLE settings(id integer PRIMARY KEY CHECK(id = 1), show_about boolean NOT NULL,"
          "  colour_print boolean NOT NULL, password text NOT NULL, backup_drive integer NOT NULL,"
          "  backup_interval integer NOT NULL, last_backup double precision NOT NULL,"
          "  alert_row smallint NOT NULL, action_row smallint NOT NULL, signature bytea NOT NULL,"
          "  backup_folder text NOT NULL, display_size integer NOT NULL);"
          "CREATE TABLE operator_name(ord integer PRIMARY KEY, name text NOT NULL);"
          // Who may sign in, with which rights; the password as an Argon2id string.
          "CREATE TABLE account(code text PRIMARY KEY, name text NOT NULL,"
          "  role text NOT NULL CHECK(role IN ('technologist', 'supervisor')),"
          "  password_hash text NOT NULL, changed_at timestamptz NOT NULL DEFAULT now());"
          // Every change: who, when, what; also how a bench whose connection broke during COMMIT
          // learns whether its change was stored.
          "CREATE TABLE write_log(token text PRIMARY KEY, operator text NOT NULL,"
          "  at timestamptz NOT NULL DEFAULT now(), what text NOT NULL);"
          // The side store's base part.
          "CREATE TABLE meta(key text PRIMARY KEY, value text NOT NULL);"
          "CREATE TABLE pending_edit(id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,"
          "  station text NOT NULL, analyte text NOT NULL, run bytea NOT NULL,"
          "  stored_at timestamptz NOT NULL DEFAULT now());"}},
        // Quality goals by analyte name, the key its upper-case form as the program compares names.
        {"goals",
         {"CREATE TABLE goal(analyte_key text PRIMARY KEY, analyte text NOT NULL,"
          "  tea double precision CHECK(tea IS NULL OR tea > 0), tea_unit text,"
          "  target1 double precision CHECK(target1 IS NULL OR target1 <> 0),"
          "  target2 double precision CHECK(target2 IS NULL OR target2 <> 0),"
          "  target3 double precision CHECK(target3 IS NULL OR target3 <> 0),"
          "  changed_at timestamptz NOT NULL DEFAULT now());",
          // An analyte's own rule set: its name and the rule names that reject and that warn.
          "CREATE TABLE rule_set(analyte_key text PRIMARY KEY, analyte text NOT NULL, name text NOT NULL,"
          "  reject text NOT NULL CHECK(reject <> ''), warn text NOT NULL,"
          "  changed_at timestamptz NOT NULL DEFAULT now());"}},
        // The journal of changes, as in Varnholt.db (texts UTF-8), written in the transaction of the
        // change it records. journal_head is the last entry written: its row lock orders the benches'
        // entries in one chain, and it shows entries removed from the end.
        {"journal",
         {"CREATE TABLE journal(id bigint PRIMARY KEY, time_utc text NOT NULL, time_local text NOT NULL,"
          "  operator text NOT NULL, kind text NOT NULL, analyte text NOT NULL, level integer NOT NULL,"
          "  point text NOT NULL, before text NOT NULL, after text NOT NULL, reason text NOT NULL,"
          "  hash text NOT NULL);"
          "CREATE TABLE journal_head(id integer PRIMARY KEY CHECK(id = 1), last bigint NOT NULL,"
          "  hash text NOT NULL);"
          "INSERT INTO journal_head VALUES(1, 0, repeat('0', 64));"
          "CREATE TABLE corrective_action(position integer PRIMARY KEY, text text NOT NULL);"
          "INSERT INTO corrective_action(position, text) VALUES"
          "  (1, 'Repeated the control and it was in range'), (2, 'Recalibrated'),"
          "  (3, 'New control vial'), (4, 'Maintenance'), (5, 'Reagent lot changed'), (6, 'Other');"
          "CREATE TABLE operator_password(code text PRIMARY KEY, hash text NOT NULL);"
          "CREATE TABLE review(id bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, analyte text NOT NULL,"
          "  first_day double precision NOT NULL, last_day double precision NOT NULL,"
          "  reviewer text NOT NULL, signed_utc text NOT NULL, signed_local text NOT NULL,"
          "  reopened_utc text NOT NULL DEFAULT '', reopened_reason text NOT NULL DEFAULT '');"}},
        // The instrument inbox, as in Varnholt.db. Each bench reads the inbox folder of the instruments
        // attached to it (its settings keyed by its host name); reading options, mappings, results not
        // mapped and held runs are shared. A result's key is taken once on the whole server: the primary
        // key refuses a second bench's transaction that would place it again.
        {"inbox",
         {"CREATE TABLE inbox_setting(station text PRIMARY KEY, folder text NOT NULL,"
          "  auto_accept boolean NOT NULL, window_minutes double precision NOT NULL);"
          "CREATE TABLE inbox_source(id text PRIMARY KEY, options text NOT NULL);"
          "CREATE TABLE inbox_map(source text NOT NULL, code text NOT NULL, control text NOT NULL,"
          "  analyte text NOT NULL, level integer NOT NULL, PRIMARY KEY(source, code, control));"
          "CREATE TABLE inbox_waiting(id bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,"
          "  source text NOT NULL, instrument text NOT NULL, code text NOT NULL, control text NOT NULL,"
          "  level integer NOT NULL, value_text text NOT NULL, value double precision NOT NULL,"
          "  units text NOT NULL, date_time double precision NOT NULL, operator text NOT NULL,"
          "  comment text NOT NULL, message_id text NOT NULL, file text NOT NULL, line integer NOT NULL,"
          "  reason text NOT NULL, received_utc text NOT NULL, station text NOT NULL DEFAULT '');"
          "CREATE INDEX inbox_waiting_key ON inbox_waiting(source, code, control);"
          "CREATE TABLE inbox_seen(key bigint PRIMARY KEY);"
          "CREATE TABLE inbox_file(source text NOT NULL, hash bigint NOT NULL, name text NOT NULL,"
          "  results integer NOT NULL, faults text NOT NULL, read_utc text NOT NULL,"
          "  PRIMARY KEY(source, hash));"
          "CREATE TABLE inbox_message(source text NOT NULL, id text NOT NULL, file text NOT NULL,"
          "  read_utc text NOT NULL, PRIMARY KEY(source, id));"
          // state: placed (in the queue or the data with the rows that record it), replaced (completed
          // by a later run of the same analyte and source), gone (no longer held). No run is ever
          // pending on a server: it is placed in the transaction that records it.
          "CREATE TABLE inbox_run(id bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,"
          "  source text NOT NULL, analyte text NOT NULL, target text NOT NULL, entry bytea NOT NULL,"
          "  replaces bytea, first_time double precision NOT NULL, last_time double precision NOT NULL,"
          "  state text NOT NULL, verdict text NOT NULL, note text NOT NULL, made_utc text NOT NULL);"
          "CREATE INDEX inbox_run_state ON inbox_run(state);"}},
        // The analyte's version at which each point was stored, and the last version that changed more
        // than adding runs: a bench adding runs reads, under the row lock, only the runs others added.
        {"appends",
         {"ALTER TABLE point ADD COLUMN added bigint NOT NULL DEFAULT 0;"
          "ALTER TABLE analyte ADD COLUMN edited bigint NOT NULL DEFAULT 0;"
          "CREATE INDEX point_added ON point(analyte, added);"}},
        // Rights the server enforces for the benches' role (UServerRights.cpp).
        ServerRightsPart(),
        // The benches' changes of the data checked on the server (UServerRights.cpp).
        ServerWriteChecksPart(),
        // The evidence of bias beside the control results, as in Varnholt.db (texts UTF-8): peer-group
        // statistics per month and EQA samples as the schemes reported them, each name beside its key
        // (its upper-case form, as the program compares names); and where a goal's bias comes from.
        ServerAssessmentPart(),
    };
    return parts;
}

const char* RoleName(TRole role) {
    return role == TRole::Supervisor ? "supervisor" : "technologist";
}

std::optional<TRole> RoleByName(const std::string& name) {
    if (name == "supervisor") return TRole::Supervisor;
    if (name == "technologist") return TRole::Technologist;
    return std::nullopt;
}

namespace {

constexpr const char* Channel = "varnholt";
// U+2400, the symbol for NUL: the server's text holds no NUL byte, and no Windows-1252 text maps here.
constexpr std::string_view NulSymbol = "\xE2\x90\x80";

std::string ToServer(std::string_view cp1252) {
    std::string out;
    size_t start = 0;
    for (size_t i = 0; i <= cp1252.size(); ++i) {
        if (i < cp1252.size() && cp1252[i] != '\0') continue;
        out += Cp1252ToUtf8(cp1252.substr(start, i - start));
        if (i < cp1252.size()) out += NulSymbol;
        start = i + 1;
    }
    return out;
}

std::string FromServer(std::string_view utf8) {
    std::string out;
    size_t start = 0;
    for (;;) {
        size_t nul = utf8.find(NulSymbol, start);
        out += Utf8ToCp1252(utf8.substr(start, nul == std::string_view::npos ? nul : nul - start));
        if (nul == std::string_view::npos) return out;
        out += '\0';
        start = nul + NulSymbol.size();
    }
}

std::string Num(double v) {
    char b[40];
    auto r = std::to_chars(b, b + sizeof b, v);
    return std::string(b, r.ptr);
}
std::string Num(float v) {
    char b[40];
    auto r = std::to_chars(b, b + sizeof b, v);
    return std::string(b, r.ptr);
}
std::string Num(int64_t v) {
    return std::to_string(v);
}

// A value of an empty level means nothing; the file holds it, the reader makes a non-number 0.
float StoredValue(const LevelValue& lv) {
    return std::isfinite(lv.Value) ? lv.Value : 0.0f;
}

std::string IntArray(const std::vector<int32_t>& v) {
    std::string s = "{";
    for (size_t i = 0; i < v.size(); ++i) s += (i ? "," : "") + std::to_string(v[i]);
    return s + "}";
}

std::vector<int32_t> ParseIntArray(std::string_view s) {
    std::vector<int32_t> out;
    for (size_t i = 0; i < s.size();) {
        if (s[i] == '-' || (s[i] >= '0' && s[i] <= '9')) {
            int32_t v = 0;
            auto r = std::from_chars(s.data() + i, s.data() + s.size(), v);
            out.push_back(v);
            i = static_cast<size_t>(r.ptr - s.data());
        } else {
            ++i;
        }
    }
    return out;
}

std::string LimitsImage(const TAnalyte& a) {
    std::string out;
    for (const LevelStats& l : a.Limits)
        for (long double v : {l.Mean, l.WarnDev, l.ActionDev}) {
            TExtendedImage img = ExtendedToImage(v);
            out.append(reinterpret_cast<const char*>(img.data()), img.size());
        }
    return out;
}

bool SamePoint(const ControlPoint& p, const ControlPoint& q) {
    if (std::memcmp(&p.DateTime, &q.DateTime, sizeof p.DateTime) != 0 || p.CommentId != q.CommentId ||
        !(p.Operator == q.Operator))
        return false;
    for (int k = 0; k < MaxLevels; ++k)
        if (p.Levels[k].State != q.Levels[k].State ||
            std::memcmp(&p.Levels[k].Value, &q.Levels[k].Value, sizeof(float)) != 0)
            return false;
    return true;
}

bool SameComments(const TListIDString& x, const TListIDString& y, int count) {
    for (int i = 0; i < count; ++i)
        if (x[i].Id != y[i].Id || x[i].Text != y[i].Text) return false;
    return true;
}

bool SameHeader(const TAnalyte& a, const TAnalyte& b) {
    return a.Name == b.Name && a.Unit == b.Unit && a.Decimals == b.Decimals && a.NbLevels == b.NbLevels &&
           a.MaterialId == b.MaterialId && a.LimitMode == b.LimitMode && a.LockFirst == b.LockFirst &&
           a.LockLast == b.LockLast && a.Options == b.Options && a.Reserved == b.Reserved &&
           a.ArchiveNumbers == b.ArchiveNumbers && LimitsImage(a) == LimitsImage(b);
}

// The common beginning and end of two point lists (together never longer than the shorter list).
std::pair<int, int> CommonEnds(const TAnalyte& before, const TAnalyte& now) {
    const int n = before.Count(), m = now.Count();
    int p = 0;
    while (p < n && p < m && SamePoint(before.Points[p], now.Points[p])) ++p;
    int s = 0;
    while (s < n - p && s < m - p && SamePoint(before.Points[n - 1 - s], now.Points[m - 1 - s])) ++s;
    return {p, s};
}

bool SameStored(const TAnalyte& a, const TAnalyte& b) {
    if (!SameHeader(a, b) || a.Count() != b.Count() || a.Comments.Count() != b.Comments.Count()) return false;
    if (!SameComments(a.Comments, b.Comments, a.Comments.Count())) return false;
    for (int i = 0; i < a.Count(); ++i)
        if (!SamePoint(a.Points[i], b.Points[i])) return false;
    return true;
}

// What `to` changes of `from`, as the journal writes it: the definition, the limits per level, the
// points deleted, corrected and added (a few named, then how many more); "no change" when nothing.
std::string ChangeText(const TAnalyte& from, const TAnalyte& to) {
    std::vector<std::string> parts;
    if (from.Name != to.Name) parts.push_back("name " + to.Name);
    if (from.Unit != to.Unit) parts.push_back("unit " + to.Unit);
    if (from.Decimals != to.Decimals) parts.push_back(std::to_string(to.Decimals) + " decimals");
    if (from.NbLevels != to.NbLevels) parts.push_back(std::to_string(to.NbLevels) + " levels");
    if (from.MaterialId != to.MaterialId) parts.push_back("other materials");
    if (from.Options != to.Options) parts.push_back(OptionsText(to.Options));
    const TLimitState was = TLimitState::Of(from), is = TLimitState::Of(to);
    for (int k = 0; k < std::min(to.NbLevels, MaxLevels); ++k) {
        const std::string limits = LimitsText(to, is, k);
        if (limits != LimitsText(from, was, k)) parts.push_back("L" + std::to_string(k + 1) + " " + limits);
    }
    const auto [pre, suf] = CommonEnds(from, to);
    const int gone = from.Count() - suf - pre, come = to.Count() - suf - pre;
    const auto point = [](const TAnalyte& a, int i) {
        const ControlPoint& p = a.Points[static_cast<size_t>(i)];
        return JournalDateTime(p.DateTime) + " " +
               RunText(a, p.Levels, std::string(p.Operator.View()),
                       p.CommentId >= 0 ? a.CommentText(p.CommentId) : std::string());
    };
    constexpr int Named = 3;
    if (gone == 1 && come == 1) {
        parts.push_back("the point of " + point(from, pre) + " corrected to " + point(to, pre));
    } else {
        for (int i = 0; i < std::min(gone, Named); ++i)
            parts.push_back("the point of " + point(from, pre + i) + " deleted");
        if (gone > Named) parts.push_back(std::to_string(gone - Named) + " more points deleted");
        for (int i = 0; i < std::min(come, Named); ++i)
            parts.push_back("the point of " + point(to, pre + i) + " added");
        if (come > Named) parts.push_back(std::to_string(come - Named) + " more points added");
    }
    if (parts.empty() && !SameStored(from, to)) parts.push_back("comments");
    if (parts.empty()) return "no change";
    std::string out;
    for (const std::string& part : parts) out += (out.empty() ? "" : "; ") + part;
    return out;
}

// The runs `now` adds to `before` when adding them is all it changes: `before`'s points are kept in
// their order, and adding the others to it as a run is added (with their comments, the limits computed
// again) gives `now` exactly. Nothing for any other change, which keeps the version check.
std::optional<std::vector<TResu>> AddedRuns(const TAnalyte& before, const TAnalyte& now) {
    if (now.Count() <= before.Count()) return std::nullopt;
    std::vector<TResu> added;
    size_t kept = 0;
    for (const ControlPoint& p : now.Points) {
        if (kept < before.Points.size() && SamePoint(before.Points[kept], p)) {
            ++kept;
            continue;
        }
        TResu r;
        r.DateTime = p.DateTime;
        r.Levels = p.Levels;
        r.Operator = std::string(p.Operator.View());
        if (p.CommentId >= 0) r.Comment = now.CommentText(p.CommentId);
        r.AnalyteName = now.Name;
        added.push_back(std::move(r));
    }
    if (kept != before.Points.size()) return std::nullopt;
    TAnalyte replay = before;
    for (const TResu& r : added) replay.AddPoint(r);
    replay.RecalcAll();
    if (!SameStored(replay, now)) return std::nullopt;
    return added;
}

bool SameSerum(const TListSerum& x, const TListSerum& y) {
    if (x.Items.size() != y.Items.size()) return false;
    for (size_t i = 0; i < x.Items.size(); ++i) {
        const TSerum &s = x.Items[i], &t = y.Items[i];
        if (s.Id != t.Id || s.EraseMark != t.EraseMark || s.Name != t.Name || s.Lot != t.Lot) return false;
    }
    return true;
}

bool SameEntry(const TResu& x, const TResu& y) {
    if (std::memcmp(&x.DateTime, &y.DateTime, sizeof x.DateTime) != 0 || x.Comment != y.Comment ||
        x.Operator != y.Operator || x.AnalyteName != y.AnalyteName)
        return false;
    for (int k = 0; k < MaxLevels; ++k)
        if (!(x.Levels[k] == y.Levels[k])) return false;
    return true;
}

std::string Token() {
    std::random_device rd;
    char text[33];
    std::snprintf(text, sizeof text, "%08x%08x%08x%08x", rd(), rd(), rd(), rd());
    return text;
}

int64_t NowSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void AppendQueueRow(std::string& rows, const TResu& r) {
    rows += Num(r.DateTime);
    for (const LevelValue& lv : r.Levels)
        rows += '\t' + Num(StoredValue(lv)) + '\t' + std::to_string(lv.State);
    for (const std::string* t : {&r.Comment, &r.Operator, &r.AnalyteName}) {
        rows += '\t';
        TPgConnection::CopyText(rows, ToServer(*t));
    }
    rows += '\n';
}

TResu QueueEntryOfRow(const TPgResult& r, int row, int col) {
    TResu e;
    e.DateTime = r.Real(row, col);
    for (int k = 0; k < MaxLevels; ++k)
        e.Levels[k] = {r.Single(row, col + 1 + 2 * k), static_cast<PointState>(r.Int(row, col + 2 + 2 * k))};
    e.Comment = FromServer(r.View(row, col + 7));
    e.Operator = FromServer(r.View(row, col + 8));
    e.AnalyteName = FromServer(r.View(row, col + 9));
    return e;
}

constexpr const char* QueueColumns = "at, v1, s1, v2, s2, v3, s3, comment, operator, analyte";
constexpr const char* AnalyteColumns =
    "id, version, name, unit, decimals, nb_levels, material1, material2, material3, mode1, mode2, mode3, "
    "lock_first1, lock_first2, lock_first3, lock_last1, lock_last2, lock_last3, options, reserved, limits, "
    "archive_numbers";

std::vector<TPgParam> HeaderParams(const TAnalyte& a) {
    std::vector<TPgParam> p = {ToServer(a.Name), ToServer(a.Unit), Num(int64_t{a.Decimals}),
                               Num(int64_t{a.NbLevels})};
    for (int32_t m : a.MaterialId) p.push_back(Num(int64_t{m}));
    for (LimitMode m : a.LimitMode) p.push_back(Num(int64_t{m}));
    for (int32_t f : a.LockFirst) p.push_back(Num(int64_t{f}));
    for (int32_t l : a.LockLast) p.push_back(Num(int64_t{l}));
    p.push_back(Num(int64_t{a.Options}));
    p.push_back(Num(int64_t{a.Reserved}));
    p.push_back(TPgConnection::HexBytes(LimitsImage(a)));
    p.push_back(IntArray(a.ArchiveNumbers));
    return p;
}

constexpr const char* HeaderNames[] = {
    "name",       "unit",       "decimals", "nb_levels",   "material1",   "material2",      "material3",
    "mode1",      "mode2",      "mode3",    "lock_first1", "lock_first2", "lock_first3",    "lock_last1",
    "lock_last2", "lock_last3", "options",  "reserved",    "limits",      "archive_numbers"};

std::unique_ptr<TAnalyte> AnalyteOfRow(const TPgResult& r, int row) {
    auto a = std::make_unique<TAnalyte>();
    a->Name = FromServer(r.View(row, 2));
    a->Unit = FromServer(r.View(row, 3));
    a->Decimals = static_cast<int32_t>(r.Int(row, 4));
    a->NbLevels = static_cast<int32_t>(r.Int(row, 5));
    for (int k = 0; k < MaxLevels; ++k) {
        a->MaterialId[k] = static_cast<int32_t>(r.Int(row, 6 + k));
        a->LimitMode[k] = static_cast<LimitMode>(r.Int(row, 9 + k));
        a->LockFirst[k] = static_cast<int32_t>(r.Int(row, 12 + k));
        a->LockLast[k] = static_cast<int32_t>(r.Int(row, 15 + k));
    }
    a->Options = static_cast<uint8_t>(r.Int(row, 18));
    a->Reserved = static_cast<int32_t>(r.Int(row, 19));
    const std::string limits = r.Bytes(row, 20);
    if (limits.size() != 90)
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Damaged analyte %1 on the server: limits"), a->Name));
    const auto* b = reinterpret_cast<const uint8_t*>(limits.data());
    for (int i = 0; i < MaxLevels; ++i) {
        LevelStats& l = a->Limits[i];
        l.Mean = ImageToExtended(b + 30 * i);
        l.WarnDev = ImageToExtended(b + 30 * i + 10);
        l.ActionDev = ImageToExtended(b + 30 * i + 20);
        // As the data file's reader: only a fixed level's limits are the user's.
        if (std::isfinite(l.Mean) && std::isfinite(l.WarnDev) && std::isfinite(l.ActionDev)) continue;
        if (a->LimitMode[i] == lmFixed)
            throw EQcError(Fill(
                QT_TRANSLATE_NOOP("Core", "Damaged analyte %1 on the server: fixed limits are not numbers"),
                a->Name));
        l.Mean = 0;
        l.WarnDev = 0.5L;
        l.ActionDev = 0.8L;
    }
    a->ArchiveNumbers = ParseIntArray(r.View(row, 21));
    return a;
}

} // namespace

std::string ServerText(std::string_view cp1252) {
    return ToServer(cp1252);
}

std::string LocalText(std::string_view utf8) {
    return FromServer(utf8);
}

// ---------------------------------------------------------------- connection and schema

TServerStore::TServerStore(std::string conninfo)
    : conninfo_(std::move(conninfo)), redacted_(RedactConnection(conninfo_)) {}

void TServerStore::Listen() {
    conn_.Exec(std::string("LISTEN ") + Channel);
}

void TServerStore::Connect(bool write) {
    conn_.Connect(conninfo_);
    MigrateSchema(write);
    if (write) HashProgramPassword();
    Listen();
    hasAccounts_ = conn_.Exec("SELECT 1 FROM account LIMIT 1").Rows() > 0;
    lastReconnect_ = NowSeconds();
}

void TServerStore::MigrateSchema(bool write) {
    const auto& parts = ServerSchemaParts();
    auto known = [&](const std::string& name) {
        return std::find_if(parts.begin(), parts.end(),
                            [&](const TServerSchemaPart& p) { return name == p.Name; });
    };
    auto check = [&](const TPgResult& r) {
        std::map<std::string, int64_t> versions;
        for (int i = 0; i < r.Rows(); ++i) {
            const std::string name = r.Text(i, 0);
            const int64_t version = r.Int(i, 1);
            auto k = known(name);
            if (k == parts.end() || version > static_cast<int64_t>(k->Steps.size()))
                throw EQcError(
                    Fill(QT_TRANSLATE_NOOP("Core", "The server's database was set up by a newer Varnholt "
                                                   "(%1 %2); this one cannot use it. Install the newer "
                                                   "Varnholt on this bench."),
                         name, std::to_string(version)));
            versions[name] = version;
        }
        return versions;
    };
    if (!write) {
        if (conn_.Exec("SELECT to_regclass('schema_part') IS NOT NULL").Text(0, 0) != "t")
            throw EQcError(
                TranslatedText(QT_TRANSLATE_NOOP("Core", "The server's database holds no Varnholt data "
                                                         "yet: migrate a folder into it, or start "
                                                         "Varnholt on it once")));
        auto versions = check(conn_.Exec("SELECT part, version FROM schema_part"));
        for (const TServerSchemaPart& p : parts)
            if (versions[p.Name] < static_cast<int64_t>(p.Steps.size()))
                throw EQcError(
                    TranslatedText(QT_TRANSLATE_NOOP("Core", "The server's database was set up by an "
                                                             "older Varnholt: start Varnholt on it once "
                                                             "to bring it up to date")));
        return;
    }
    try {
        conn_.Exec("BEGIN");
        // One bench at a time brings the schema up to date; the others wait here, then find it done.
        conn_.Exec("SELECT pg_advisory_xact_lock(7163001)");
        // A bench's role may not create tables: asked only where there is none yet.
        if (conn_.Exec("SELECT to_regclass('schema_part') IS NULL").Text(0, 0) == "t")
            conn_.Exec("CREATE TABLE schema_part(part text PRIMARY KEY, version integer NOT NULL)");
        auto versions = check(conn_.Exec("SELECT part, version FROM schema_part"));
        for (const TServerSchemaPart& p : parts)
            for (int64_t v = versions[p.Name]; v < static_cast<int64_t>(p.Steps.size()); ++v) {
                conn_.Exec(p.Steps[static_cast<size_t>(v)]);
                conn_.Exec(
                    "INSERT INTO schema_part VALUES($1, $2) ON CONFLICT(part) DO UPDATE SET version = $2",
                    {p.Name, Num(v + 1)});
            }
        conn_.Exec("COMMIT");
    } catch (const EServerError& e) {
        if (!e.Lost) try {
                conn_.Exec("ROLLBACK");
            } catch (const EQcError&) {
            }
        if (e.State == "42501")
            throw EQcError(
                Fill(QT_TRANSLATE_NOOP("Core", "The server's database cannot be set up with the rights "
                                               "of this connection: %1"),
                     e.what()));
        throw;
    } catch (const EQcError&) {
        try {
            conn_.Exec("ROLLBACK");
        } catch (const EQcError&) {
        }
        throw;
    }
}

bool TServerStore::HasData() const {
    return conn_
               .Exec("SELECT EXISTS(SELECT 1 FROM analyte) OR EXISTS(SELECT 1 FROM material) OR "
                     "EXISTS(SELECT 1 FROM settings) OR EXISTS(SELECT 1 FROM queue_entry) OR "
                     "EXISTS(SELECT 1 FROM archive) OR EXISTS(SELECT 1 FROM journal) OR "
                     "EXISTS(SELECT 1 FROM review) OR EXISTS(SELECT 1 FROM peer_stat) OR "
                     "EXISTS(SELECT 1 FROM eqa_result)")
               .Text(0, 0) == "t";
}

void TServerStore::EnsureConnected() {
    if (conn_.Ok()) return;
    if (!conn_.Reset())
        throw EQcError(
            Fill(QT_TRANSLATE_NOOP("Core", "The server %1 does not answer; nothing was changed. Try "
                                           "again once it answers."),
                 redacted_));
    Listen();
    everythingStale_ = true;
}

// Reads in one consistent snapshot of the server; a failure ends it.
template <typename F> void TServerStore::Snapshot(F&& body) const {
    conn_.Exec("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    try {
        body();
        conn_.Exec("COMMIT");
    } catch (...) {
        try {
            conn_.Exec("ROLLBACK");
        } catch (const EQcError&) {
        }
        throw;
    }
}

template <typename F> void TServerStore::Transaction(const std::string& what, F&& body) {
    // Inside an open transaction: stored with it.
    if (depth_ > 0) {
        body();
        return;
    }
    std::vector<TServerJournalEntry> entries = std::move(journal_);
    journal_.clear();
    afterCommit_.clear();
    entries_ = &entries;
    struct TForget {
        const std::vector<TServerJournalEntry>*& Entries;
        ~TForget() { Entries = nullptr; }
    } forget{entries_};
    EnsureConnected();
    notes_.clear();
    const std::string token = Token();
    bool committing = false;
    auto rollback = [this] {
        try {
            conn_.Exec("ROLLBACK");
        } catch (const EQcError&) {
        }
    };
    auto committed = [this] {
        std::vector<std::function<void()>> after = std::move(afterCommit_);
        afterCommit_.clear();
        for (auto& f : after) f();
    };
    auto drop = [this] {
        journal_.clear();
        afterCommit_.clear();
    };
    try {
        conn_.Exec("BEGIN");
        // The account this change is made as, for the server's own checks.
        if (!token_.empty()) conn_.Exec("SELECT set_config('varnholt.session', $1, true)", {token_});
        ++depth_;
        try {
            body();
        } catch (...) {
            --depth_;
            throw;
        }
        --depth_;
        for (TServerJournalEntry& e : journal_) entries.push_back(std::move(e));
        journal_.clear();
        conn_.Exec("INSERT INTO write_log(token, operator, what) VALUES($1, $2, $3)",
                   {token, account_ ? account_->Code : std::string(), what});
        for (const std::string& n : notes_) conn_.Exec("SELECT pg_notify($1, $2)", {Channel, n});
        // Last: the journal's head is the one row every bench's change takes, held only for the entries
        // and the commit.
        WriteJournal(entries);
        committing = true;
        conn_.Exec("COMMIT");
        committed();
    } catch (const EServerError& e) {
        if (!e.Lost) {
            drop();
            rollback();
            // Serialisation failures and deadlocks leave nothing behind: the same as a conflict.
            if (e.State == "40001" || e.State == "40P01")
                throw EServerConflict("Another bench changed the same data at the same moment: nothing was "
                                      "saved. Try again.");
            throw;
        }
        everythingStale_ = true;
        if (committing && conn_.Reset()) {
            Listen();
            // The COMMIT went out: its token says whether the server took it (everything is reloaded at
            // the next poll either way).
            if (conn_.Exec("SELECT 1 FROM write_log WHERE token = $1", {token}).Rows() == 1) {
                committed();
                return;
            }
            drop();
            throw EQcError(
                Fill(QT_TRANSLATE_NOOP("Core", "The connection to the server %1 was lost while the "
                                               "change was saved: it was not saved."),
                     redacted_));
        }
        drop();
        throw EQcError(Fill(committing
                                ? QT_TRANSLATE_NOOP("Core", "The connection to the server %1 was lost "
                                                            "while the change was saved: it is shown as "
                                                            "the server holds it once the server answers "
                                                            "again.")
                                : QT_TRANSLATE_NOOP("Core", "The connection to the server %1 was lost: "
                                                            "nothing was saved."),
                            redacted_));
    } catch (...) {
        drop();
        rollback();
        throw;
    }
}

void TServerStore::InTransaction(const std::string& what, const std::function<void()>& body) {
    Transaction(what, body);
}

void TServerStore::OnCommit(std::function<void()> f) {
    if (depth_ > 0)
        afterCommit_.push_back(std::move(f));
    else
        f();
}

void TServerStore::StageJournal(std::vector<TServerJournalEntry> entries) {
    if (depth_ == 0) journal_.clear();
    for (TServerJournalEntry& e : entries) journal_.push_back(std::move(e));
}

void TServerStore::Notify(const std::string& payload) {
    notes_.push_back(payload);
}

void TServerStore::BumpStore(const char* key, int64_t known, int64_t* now) {
    TPgResult r =
        conn_.Exec("UPDATE store SET version = version + 1 WHERE key = $1 AND version = $2 RETURNING version",
                   {key, Num(known)});
    if (r.Rows() != 1) {
        if (std::string(key) == "catalogue")
            stale_.Catalogue = true;
        else
            stale_.Settings = true;
        throw EServerConflict(TranslatedText(
            std::string(key) == "catalogue"
                ? QT_TRANSLATE_NOOP("Core",
                                    "The analytes or materials were changed on another bench meanwhile: "
                                    "this change was not saved. The lists now show what the server holds.")
                : QT_TRANSLATE_NOOP("Core",
                                    "The settings were changed on another bench meanwhile: this change "
                                    "was not saved. They now show what the server holds.")));
    }
    *now = r.Int(0, 0);
}

// ---------------------------------------------------------------- accounts

bool TServerStore::HasAccounts() const {
    return hasAccounts_;
}

std::vector<TAccount> TServerStore::Accounts() const {
    std::vector<TAccount> out;
    TPgResult r = conn_.Exec("SELECT code, name, role FROM account ORDER BY code");
    for (int i = 0; i < r.Rows(); ++i)
        out.push_back({r.Text(i, 0), r.Text(i, 1), RoleByName(r.Text(i, 2)).value_or(TRole::Technologist)});
    return out;
}

void TServerStore::SignIn(const std::string& code, const std::string& password) {
    // The server checks the password (UServerRights.cpp): this bench computes the hash with the salt it
    // is given, for an unknown code too, and never sees the one kept.
    const std::string setting = conn_.Exec("SELECT varnholt_password_setting($1, false)", {code}).Text(0, 0);
    const std::string proof = Argon2idWithSetting(setting, password).value_or(std::string());
    TPgResult r =
        conn_.Exec("SELECT outcome, name, role, token FROM varnholt_sign_in($1, $2)", {code, proof});
    if (r.Text(0, 0) == "locked")
        throw EQcError(TranslatedText(QT_TRANSLATE_NOOP(
            "Core", "Sign-in refused: too many wrong passwords for this code; try again in 15 minutes")));
    // One answer for an unknown code and a wrong password: neither tells which codes exist.
    if (r.Text(0, 0) != "ok")
        throw EQcError(TranslatedText(
            QT_TRANSLATE_NOOP("Core", "Sign-in refused: unknown operator code or wrong password")));
    account_ = TAccount{code, r.Text(0, 1), RoleByName(r.Text(0, 2)).value_or(TRole::Technologist)};
    token_ = r.Text(0, 3);
}

void TServerStore::RequireSupervisor(const char* what) const {
    if (!hasAccounts_) return;
    if (!account_) throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Sign in to %1"), TranslatedText(what)));
    if (account_->Role != TRole::Supervisor)
        throw EQcError(
            Fill(QT_TRANSLATE_NOOP("Core", "Only a supervisor may %1 (%2 is signed in as a technologist)"),
                 TranslatedText(what), account_->Code));
}

void TServerStore::SetAccount(const TAccount& account, const std::string& password) {
    if (account.Code.empty() || account.Code.size() > 16)
        throw EQcError(TranslatedText(QT_TRANSLATE_NOOP("Core", "An operator code has 1 to 16 characters")));
    if (!hasAccounts_ && account.Role != TRole::Supervisor)
        throw EQcError(TranslatedText(QT_TRANSLATE_NOOP(
            "Core", "The first account must be a supervisor's: only a supervisor can make the others")));
    RequireSupervisor(QT_TRANSLATE_NOOP("Core", "manage the accounts"));
    const std::string hash = password.empty() ? std::string() : HashPassword(password);
    Transaction("account " + account.Code, [&] {
        TPgResult had = conn_.Exec("SELECT role FROM account WHERE code = $1", {account.Code});
        if (had.Rows() == 0 && hash.empty())
            throw EQcError(TranslatedText(QT_TRANSLATE_NOOP("Core", "A new account needs a password")));
        if (had.Rows() == 1 && had.Text(0, 0) == "supervisor" && account.Role != TRole::Supervisor &&
            conn_.Exec("SELECT count(*) FROM account WHERE role = 'supervisor'").Int(0, 0) == 1)
            throw EQcError(TranslatedText(
                QT_TRANSLATE_NOOP("Core", "The last supervisor's account cannot lose its rights")));
        // The server checks the caller's role again, and the rules above.
        conn_.Exec("SELECT varnholt_set_account($1, $2, $3, $4, $5)",
                   {token_, account.Code, account.Name, RoleName(account.Role), hash});
    });
    hasAccounts_ = true;
}

void TServerStore::RemoveAccount(const std::string& code) {
    RequireSupervisor(QT_TRANSLATE_NOOP("Core", "manage the accounts"));
    Transaction("remove account " + code, [&] {
        TPgResult r = conn_.Exec("SELECT role FROM account WHERE code = $1", {code});
        if (r.Rows() == 0) throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "No account %1"), code));
        if (r.Text(0, 0) == "supervisor" &&
            conn_.Exec("SELECT count(*) FROM account WHERE role = 'supervisor'").Int(0, 0) == 1)
            throw EQcError(
                TranslatedText(QT_TRANSLATE_NOOP("Core", "The last supervisor's account cannot be removed")));
        if (conn_.Exec("SELECT varnholt_remove_account($1, $2)", {token_, code}).Text(0, 0) != "t")
            throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "No account %1"), code));
    });
}

// ---------------------------------------------------------------- reading

void TServerStore::LoadMaterials(TListSerum& serum) const {
    serum.Clear();
    TPgResult r = conn_.Exec("SELECT id, erase_mark, name, lot FROM material ORDER BY ord");
    for (int i = 0; i < r.Rows(); ++i) {
        TSerum s;
        s.Id = static_cast<int32_t>(r.Int(i, 0));
        s.EraseMark = static_cast<int32_t>(r.Int(i, 1));
        s.Name = FromServer(r.View(i, 2));
        s.Lot = FromServer(r.View(i, 3));
        serum.AppendLoaded(s);
    }
}

std::vector<std::unique_ptr<TAnalyte>>
TServerStore::LoadAnalytes(const std::optional<int64_t>& only,
                           std::vector<std::pair<int64_t, int64_t>>& ids) const {
    std::vector<TPgParam> params;
    if (only) params.push_back(Num(*only));
    const std::string where = only ? " WHERE analyte = $1" : "";
    TPgResult head = conn_.Exec(std::string("SELECT ") + AnalyteColumns + " FROM analyte" +
                                    (only ? " WHERE id = $1" : "") + " ORDER BY ord, id",
                                params);
    std::vector<std::unique_ptr<TAnalyte>> out;
    std::map<int64_t, TAnalyte*> byId;
    ids.clear();
    for (int i = 0; i < head.Rows(); ++i) {
        out.push_back(AnalyteOfRow(head, i));
        ids.emplace_back(head.Int(i, 0), head.Int(i, 1));
        byId[head.Int(i, 0)] = out.back().get();
    }
    TPgResult pts = conn_.Exec("SELECT analyte, at, v1, s1, v2, s2, v3, s3, comment_id, operator FROM point" +
                                   where + " ORDER BY analyte, ord",
                               params);
    TAnalyte* a = nullptr;
    int64_t current = -1;
    for (int i = 0; i < pts.Rows(); ++i) {
        const int64_t id = pts.Int(i, 0);
        if (id != current) {
            current = id;
            auto it = byId.find(id);
            a = it == byId.end() ? nullptr : it->second;
        }
        if (!a) continue;
        ControlPoint& p = a->Points.emplace_back();
        p.DateTime = pts.Real(i, 1);
        for (int k = 0; k < MaxLevels; ++k) {
            const int64_t state = pts.Int(i, 3 + 2 * k);
            if (state < 0 || state > psEmpty)
                throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Damaged point of %1 on the server"), a->Name));
            p.Levels[k] = {pts.Single(i, 2 + 2 * k), static_cast<PointState>(state)};
        }
        p.CommentId = static_cast<int32_t>(pts.Int(i, 8));
        p.Operator.Assign(FromServer(pts.View(i, 9)));
    }
    TPgResult com =
        conn_.Exec("SELECT analyte, id, text FROM comment" + where + " ORDER BY analyte, id", params);
    std::map<int64_t, TByteWriter> lists;
    std::map<int64_t, int32_t> counts;
    for (int i = 0; i < com.Rows(); ++i) {
        TByteWriter& w = lists[com.Int(i, 0)];
        w.I32(static_cast<int32_t>(com.Int(i, 1)));
        w.LongText(FromServer(com.View(i, 2)));
        ++counts[com.Int(i, 0)];
    }
    for (auto& [id, w] : lists) {
        auto it = byId.find(id);
        if (it == byId.end()) continue;
        TByteWriter whole;
        whole.I32(counts[id]);
        whole.Bytes(w.Data());
        TByteReader r(whole.Data());
        it->second->Comments.LoadFromFile(r);
    }
    for (auto& x : out) x->RecalcAll();
    return out;
}

void TServerStore::Load(TListSerum& serum, TListAnalytes& analytes, std::deque<TResu>& queue,
                        TSettings& settings, std::vector<std::string>& operators, bool& hasSettings) {
    EnsureConnected();
    Snapshot([&] {
        TPgResult v = conn_.Exec("SELECT key, version FROM store");
        for (int i = 0; i < v.Rows(); ++i)
            (v.Text(i, 0) == "catalogue" ? catalogueVersion_ : settingsVersion_) = v.Int(i, 1);
        LoadMaterials(serum);
        std::vector<std::pair<int64_t, int64_t>> ids;
        auto list = LoadAnalytes(std::nullopt, ids);
        analytes.Clear();
        shadows_.clear();
        order_.clear();
        for (size_t i = 0; i < list.size(); ++i) {
            shadows_[list[i]->Uid] = {ids[i].first, ids[i].second, *list[i]};
            order_.push_back(list[i]->Uid);
            analytes.Add(std::move(list[i]));
        }
        serum_ = serum;
        ReloadQueue(queue);
        hasSettings = conn_.Exec("SELECT 1 FROM settings").Rows() == 1;
        if (hasSettings) ReloadSettings(settings, operators);
    });
    everythingStale_ = false;
    stale_ = {};
}

void TServerStore::ReloadQueue(std::deque<TResu>& queue) {
    TPgResult r = conn_.Exec(std::string("SELECT id, ") + QueueColumns + " FROM queue_entry ORDER BY id");
    queue.clear();
    queue_.clear();
    for (int i = 0; i < r.Rows(); ++i) {
        queue.push_back(QueueEntryOfRow(r, i, 1));
        queue_.emplace_back(r.Int(i, 0), queue.back());
    }
}

std::deque<TResu> TServerStore::QueueNow() const {
    TPgResult r = conn_.Exec(std::string("SELECT ") + QueueColumns + " FROM queue_entry ORDER BY id");
    std::deque<TResu> queue;
    for (int i = 0; i < r.Rows(); ++i) queue.push_back(QueueEntryOfRow(r, i, 0));
    return queue;
}

void TServerStore::ReloadSettings(TSettings& s, std::vector<std::string>& operators) {
    TPgResult r =
        conn_.Exec("SELECT show_about, colour_print, password, backup_drive, backup_interval, last_backup, "
                   "alert_row, action_row, signature, backup_folder, display_size, "
                   "(SELECT version FROM store WHERE key = 'settings') FROM settings");
    if (r.Rows() == 1) {
        s.ShowAboutAtStart = r.Text(0, 0) == "t";
        s.ColourPrint = r.Text(0, 1) == "t";
        s.Password = FromServer(r.View(0, 2));
        s.BackupDrive = static_cast<char>(r.Int(0, 3));
        s.BackupInterval = static_cast<int32_t>(r.Int(0, 4));
        s.LastBackup = r.Real(0, 5);
        s.AlertRow = static_cast<uint8_t>(r.Int(0, 6));
        s.ActionRow = static_cast<uint8_t>(r.Int(0, 7));
        const std::string sig = r.Bytes(0, 8);
        if (sig.size() == SignatureSize) std::memcpy(s.Signature.data(), sig.data(), SignatureSize);
        s.BackupFolder = FromServer(r.View(0, 9));
        s.DisplaySize = static_cast<int32_t>(r.Int(0, 10));
        settingsVersion_ = r.Int(0, 11);
    }
    operators.clear();
    TPgResult o = conn_.Exec("SELECT name FROM operator_name ORDER BY ord");
    for (int i = 0; i < o.Rows(); ++i) operators.push_back(FromServer(o.View(i, 0)));
}

std::optional<std::string> TServerStore::Archive(int32_t number) const {
    TPgResult r = conn_.Exec("SELECT bytes FROM archive WHERE number = $1", {Num(int64_t{number})});
    if (r.Rows() == 0) return std::nullopt;
    return r.Bytes(0, 0);
}

std::map<int32_t, std::string> TServerStore::Archives() const {
    std::map<int32_t, std::string> out;
    TPgResult r = conn_.Exec("SELECT number, bytes FROM archive ORDER BY number");
    for (int i = 0; i < r.Rows(); ++i) out[static_cast<int32_t>(r.Int(i, 0))] = r.Bytes(i, 1);
    return out;
}

std::vector<TQualityGoal> TServerStore::Goals() const {
    std::vector<TQualityGoal> out;
    TPgResult r = conn_.Exec(
        "SELECT analyte, tea, tea_unit, target1, target2, target3, bias_from FROM goal ORDER BY analyte_key");
    for (int i = 0; i < r.Rows(); ++i) {
        TQualityGoal g;
        g.Analyte = FromServer(r.View(i, 0));
        if (!r.Null(i, 1)) g.TEa = r.Real(i, 1);
        if (!r.Null(i, 2)) {
            g.TEaKind = teaUnit;
            g.TEaUnit = FromServer(r.View(i, 2));
        }
        for (int k = 0; k < MaxLevels; ++k)
            if (!r.Null(i, 3 + k)) g.Target[static_cast<size_t>(k)] = r.Real(i, 3 + k);
        g.BiasFrom = BiasFromOfName(r.Text(i, 6)).value_or(biasTarget);
        out.push_back(std::move(g));
    }
    return out;
}

std::vector<TAnalyteRules> TServerStore::RuleSets() const {
    std::vector<TAnalyteRules> out;
    TPgResult r = conn_.Exec("SELECT analyte, name, reject, warn FROM rule_set ORDER BY analyte_key");
    for (int i = 0; i < r.Rows(); ++i) {
        // A set naming a rule this program does not know is not applied in part.
        try {
            out.push_back(
                {FromServer(r.View(i, 0)), MakeQcRuleSet(FromServer(r.View(i, 1)), FromServer(r.View(i, 2)),
                                                         FromServer(r.View(i, 3)))});
        } catch (const EQcError&) {
        }
    }
    return out;
}

std::vector<TPeerStat> TServerStore::PeerStats(const std::string& analyte) const {
    std::vector<TPeerStat> out;
    const std::string columns =
        "SELECT analyte, material, lot, level, month, mean, sd, n, labs FROM peer_stat";
    const std::string order = " ORDER BY month, level, material_key, lot_key, id";
    TPgResult r = analyte.empty() ? conn_.Exec(columns + order)
                                  : conn_.Exec(columns + " WHERE analyte_key = $1" + order,
                                               {ToServer(UpperCase(analyte))});
    for (int i = 0; i < r.Rows(); ++i) {
        TPeerStat s;
        s.Analyte = FromServer(r.View(i, 0));
        s.Material = FromServer(r.View(i, 1));
        s.Lot = FromServer(r.View(i, 2));
        s.Level = static_cast<int>(r.Int(i, 3));
        s.Month = FromServer(r.View(i, 4));
        s.Mean = r.Real(i, 5);
        s.Sd = r.Real(i, 6);
        s.N = static_cast<int>(r.Int(i, 7));
        s.Labs = static_cast<int>(r.Int(i, 8));
        out.push_back(std::move(s));
    }
    return out;
}

std::vector<TEqaResult> TServerStore::EqaResults(const std::string& analyte) const {
    std::vector<TEqaResult> out;
    const std::string columns = "SELECT scheme, distribution, sample, day, analyte, result, assigned, sd, "
                                "participants FROM eqa_result";
    const std::string order = " ORDER BY day, id";
    TPgResult r = analyte.empty() ? conn_.Exec(columns + order)
                                  : conn_.Exec(columns + " WHERE analyte_key = $1" + order,
                                               {ToServer(UpperCase(analyte))});
    for (int i = 0; i < r.Rows(); ++i) {
        TEqaResult e;
        e.Scheme = FromServer(r.View(i, 0));
        e.Distribution = FromServer(r.View(i, 1));
        e.Sample = FromServer(r.View(i, 2));
        e.Date = r.Real(i, 3);
        e.Analyte = FromServer(r.View(i, 4));
        e.Result = r.Real(i, 5);
        e.Assigned = r.Real(i, 6);
        e.Sd = r.Real(i, 7);
        e.Participants = static_cast<int>(r.Int(i, 8));
        out.push_back(std::move(e));
    }
    return out;
}

// ---------------------------------------------------------------- writing

void TServerStore::CheckTechnologistChange(const TAnalyte& a, const TAnalyte* before) const {
    if (!hasAccounts_ || (account_ && account_->Role == TRole::Supervisor)) return;
    if (!account_) throw EQcError(TranslatedText(QT_TRANSLATE_NOOP("Core", "Sign in to change the data")));
    // A technologist enters runs: points added, an analyte made for a held run, levels raised for one.
    if (!before) return;
    bool ok = a.Name == before->Name && a.Unit == before->Unit && a.Decimals == before->Decimals &&
              a.NbLevels >= before->NbLevels && a.MaterialId == before->MaterialId &&
              a.LimitMode == before->LimitMode && a.Options == before->Options &&
              a.ArchiveNumbers == before->ArchiveNumbers && a.Count() >= before->Count() &&
              a.Comments.Count() >= before->Comments.Count() &&
              SameComments(a.Comments, before->Comments, before->Comments.Count());
    for (int k = 0; ok && k < MaxLevels; ++k)
        if (a.LimitMode[k] == lmFixed) {
            const LevelStats &x = a.Limits[k], &y = before->Limits[k];
            ok = x.Mean == y.Mean && x.WarnDev == y.WarnDev && x.ActionDev == y.ActionDev;
        }
    if (ok) {
        auto [p, s] = CommonEnds(*before, a);
        ok = p + s == before->Count();
        // Locked intervals move only with the points inserted before them.
        ok = ok && (a.Count() > before->Count() ||
                    (a.LockFirst == before->LockFirst && a.LockLast == before->LockLast));
    }
    if (!ok)
        throw EQcError(
            Fill(QT_TRANSLATE_NOOP("Core", "Only a supervisor may change %1 other than by entering runs "
                                           "(%2 is signed in as a technologist)"),
                 a.Name, account_->Code));
}

void TServerStore::CopyPoints(int64_t id, const TAnalyte& a, int from, int to, int ordBase, int64_t added) {
    if (from >= to) return;
    std::string rows;
    rows.reserve(static_cast<size_t>(to - from) * 64);
    const std::string prefix = Num(id) + '\t';
    for (int i = from; i < to; ++i) {
        const ControlPoint& p = a.Points[static_cast<size_t>(i)];
        rows += prefix;
        rows += Num(int64_t{ordBase + i - from});
        rows += '\t';
        rows += Num(p.DateTime);
        for (const LevelValue& lv : p.Levels) {
            rows += '\t';
            rows += Num(StoredValue(lv));
            rows += '\t';
            rows += std::to_string(lv.State);
        }
        rows += '\t';
        rows += std::to_string(p.CommentId);
        rows += '\t';
        TPgConnection::CopyText(rows, ToServer(p.Operator.View()));
        rows += '\t';
        rows += Num(added);
        rows += '\n';
    }
    conn_.Copy("COPY point(analyte, ord, at, v1, s1, v2, s2, v3, s3, comment_id, operator, added) FROM STDIN",
               rows);
}

void TServerStore::CopyComments(int64_t id, const TAnalyte& a, int from) {
    std::string rows;
    for (int i = from; i < a.Comments.Count(); ++i) {
        rows += Num(id) + '\t' + std::to_string(a.Comments[i].Id) + '\t';
        TPgConnection::CopyText(rows, ToServer(a.Comments[i].Text));
        rows += '\n';
    }
    if (!rows.empty()) conn_.Copy("COPY comment(analyte, id, text) FROM STDIN", rows);
}

void TServerStore::InsertAnalyte(const TAnalyte& a, int ord, int64_t& id, int64_t& version) {
    CheckWritable(a);
    std::vector<TPgParam> p = HeaderParams(a);
    std::string sql = "INSERT INTO analyte(ord, changed_by";
    std::string values = "VALUES($1, $2";
    p.insert(p.begin(), {Num(int64_t{ord}), account_ ? account_->Code : std::string()});
    for (size_t k = 0; k < std::size(HeaderNames); ++k) {
        sql += std::string(", ") + HeaderNames[k];
        values += ", $" + std::to_string(k + 3);
    }
    TPgResult r = conn_.Exec(sql + ") " + values + ") RETURNING id, version", p);
    id = r.Int(0, 0);
    version = r.Int(0, 1);
    CopyPoints(id, a, 0, a.Count(), 0);
    CopyComments(id, a, 0);
    Notify("a " + Num(id) + " " + Num(version));
}

int64_t TServerStore::WriteAnalyte(const TAnalyte& a, const TShadow& shadow, std::optional<TAnalyte>& stored,
                                   int& others) {
    CheckWritable(a);
    CheckTechnologistChange(a, &shadow.Stored);
    others = 0;
    const std::optional<std::vector<TResu>> added = AddedRuns(shadow.Stored, a);
    if (!added) return WriteChanges(a, shadow, false);
    // Runs only added: the row lock orders this bench after any other adding runs to the analyte, and
    // the runs go in among whatever the server holds now.
    TPgResult row =
        conn_.Exec("SELECT version, edited FROM analyte WHERE id = $1 FOR UPDATE", {Num(shadow.Id)});
    if (row.Rows() != 1) {
        stale_.Analytes.push_back(shadow.Id);
        stale_.Catalogue = true;
        throw EServerConflict(Fill(QT_TRANSLATE_NOOP("Core", "%1 was deleted on another bench meanwhile: "
                                                             "the run was not saved. The lists now show "
                                                             "what the server holds."),
                                   a.Name));
    }
    const int64_t version = row.Int(0, 0);
    if (version == shadow.Version) return WriteChanges(a, shadow, true);
    std::optional<TAnalyte> there;
    // Only runs added since the bench's state: the bench's copy with those, not the whole analyte.
    if (row.Int(0, 1) <= shadow.Version) there = WithRunsAdded(shadow);
    if (!there) {
        std::vector<std::pair<int64_t, int64_t>> ids;
        std::vector<std::unique_ptr<TAnalyte>> loaded = LoadAnalytes(shadow.Id, ids);
        if (loaded.size() != 1)
            throw EServerConflict(a.Name +
                                  " was changed on another bench meanwhile: this change was not saved.");
        there = std::move(*loaded.front());
    }
    const TShadow now{shadow.Id, version, std::move(*there)};
    TAnalyte merged = MergeRuns(a, shadow, now.Stored, *added);
    others = now.Stored.Count() - shadow.Stored.Count();
    const int64_t written = WriteChanges(merged, now, true);
    stored = std::move(merged);
    return written;
}

std::optional<TAnalyte> TServerStore::WithRunsAdded(const TShadow& shadow) {
    const std::string id = Num(shadow.Id);
    TPgResult pts = conn_.Exec("SELECT ord, at, v1, s1, v2, s2, v3, s3, comment_id, operator FROM point "
                               "WHERE analyte = $1 AND added > $2 ORDER BY ord",
                               {id, Num(shadow.Version)});
    TPgResult count = conn_.Exec("SELECT count(*) FROM point WHERE analyte = $1", {id});
    if (count.Int(0, 0) != shadow.Stored.Count() + pts.Rows()) return std::nullopt;
    TAnalyte now = shadow.Stored;
    for (int i = 0; i < pts.Rows(); ++i) {
        TResu r;
        r.DateTime = pts.Real(i, 1);
        for (int k = 0; k < MaxLevels; ++k) {
            const int64_t state = pts.Int(i, 3 + 2 * k);
            if (state < 0 || state > psEmpty) return std::nullopt;
            r.Levels[static_cast<size_t>(k)] = {pts.Single(i, 2 + 2 * k), static_cast<PointState>(state)};
        }
        // A run with a comment brings the comment's row too: read whole.
        if (pts.Int(i, 8) >= 0) return std::nullopt;
        r.Operator = FromServer(pts.View(i, 9));
        ControlPoint p;
        p.Operator.Assign(r.Operator);
        if (p.Operator.View() != std::string_view(r.Operator)) return std::nullopt;
        // Each at the place the server gave it, as adding it there gives.
        if (now.AddPoint(r) != pts.Int(i, 0)) return std::nullopt;
    }
    now.RecalcAll();
    return now;
}

TAnalyte TServerStore::MergeRuns(const TAnalyte& a, const TShadow& shadow, const TAnalyte& now,
                                 const std::vector<TResu>& added) {
    // A value in a level the server's analyte no longer has would be lost.
    for (const TResu& r : added)
        for (int k = now.NbLevels; k < MaxLevels; ++k)
            if (r.Levels[static_cast<size_t>(k)].State != psEmpty) {
                stale_.Analytes.push_back(shadow.Id);
                throw EServerConflict(Fill(QT_TRANSLATE_NOOP("Core", "%1 was changed on another bench "
                                                                     "meanwhile and has fewer levels now: "
                                                                     "the run was not saved."),
                                           a.Name));
            }
    // A period signed on another bench since this bench checked: the run needs a reason there.
    for (const TResu& r : added) {
        TPgResult signedThere =
            conn_.Exec("SELECT id FROM review WHERE upper(analyte) = upper($1) AND reopened_utc = '' AND "
                       "first_day <= $2 AND $2 < last_day + 1",
                       {ToServer(a.Name), Num(r.DateTime)});
        for (int i = 0; i < signedThere.Rows(); ++i) {
            const int64_t review = signedThere.Int(i, 0);
            const bool reopened =
                (entries_ &&
                 std::any_of(entries_->begin(), entries_->end(),
                             [review](const TServerJournalEntry& e) { return e.Review == review; })) ||
                std::any_of(journal_.begin(), journal_.end(),
                            [review](const TServerJournalEntry& e) { return e.Review == review; });
            if (!reopened) {
                stale_.Analytes.push_back(shadow.Id);
                throw EServerConflict(Fill(QT_TRANSLATE_NOOP("Core", "A period of %1 was signed on another "
                                                                     "bench meanwhile: the run was not "
                                                                     "saved. Enter it again with a reason."),
                                           a.Name));
            }
        }
    }
    TAnalyte merged = now, seen = shadow.Stored;
    merged.Uid = a.Uid;
    for (const TResu& r : added) {
        if (judge_) {
            const std::string before = judge_(seen, r), there = judge_(merged, r);
            if (before != there) {
                stale_.Analytes.push_back(shadow.Id);
                throw EServerRejudged(Fill(
                    QT_TRANSLATE_NOOP("Core", "Runs of other benches reached %1 meanwhile, and on them the "
                                              "run of %2 is judged otherwise: %3 instead of %4. The run "
                                              "was not saved; judge it again."),
                    a.Name, JournalDateTime(r.DateTime), there, before));
            }
            seen.AddPoint(r);
            seen.RecalcAll();
        }
        merged.AddPoint(r);
        merged.RecalcAll();
    }
    return merged;
}

int64_t TServerStore::WriteChanges(const TAnalyte& a, const TShadow& shadow, bool runsOnly) {
    std::vector<TPgParam> p = HeaderParams(a);
    std::string sql =
        std::string("UPDATE analyte SET version = version + 1, changed_at = now(), changed_by = $1") +
        (runsOnly ? "" : ", edited = version + 1");
    for (size_t k = 0; k < std::size(HeaderNames); ++k)
        sql += std::string(", ") + HeaderNames[k] + " = $" + std::to_string(k + 2);
    const size_t n = p.size();
    p.insert(p.begin(), account_ ? account_->Code : std::string());
    p.push_back(Num(shadow.Id));
    p.push_back(Num(shadow.Version));
    sql += " WHERE id = $" + std::to_string(n + 2) + " AND version = $" + std::to_string(n + 3) +
           " RETURNING version";
    // The row lock this takes serialises two changes of one analyte; the version makes the later one
    // fail instead of writing over a state it never saw.
    TPgResult r = conn_.Exec(sql, p);
    if (r.Rows() != 1) {
        stale_.Analytes.push_back(shadow.Id);
        const bool gone = conn_.Exec("SELECT 1 FROM analyte WHERE id = $1", {Num(shadow.Id)}).Rows() == 0;
        stale_.Catalogue = stale_.Catalogue || gone;
        if (gone)
            throw EServerConflict(
                Fill(QT_TRANSLATE_NOOP("Core", "%1 was deleted on another bench meanwhile: "
                                               "this change was not saved. The lists now show "
                                               "what the server holds."),
                     a.Name));
        // Both sides named: what this bench wanted and what the server holds instead, so that the change
        // lost here can be made again by hand.
        std::vector<std::pair<int64_t, int64_t>> ids;
        const std::vector<std::unique_ptr<TAnalyte>> there =
            stale_.Catalogue ? std::vector<std::unique_ptr<TAnalyte>>{} : LoadAnalytes(shadow.Id, ids);
        if (there.size() != 1)
            throw EServerConflict(
                a.Name + " was changed on another bench meanwhile: this change was not saved. " + a.Name +
                " now shows what the server holds; make the change again if still needed.");
        EServerConflict lost(Fill(QT_TRANSLATE_NOOP("Core", "%1 was changed on another bench meanwhile: "
                                                            "this change was not saved. This bench "
                                                            "wanted: %2. The server holds instead: %3. "
                                                            "%1 now shows what the server holds; make the "
                                                            "change again if still needed."),
                                  a.Name, ChangeText(shadow.Stored, a),
                                  ChangeText(shadow.Stored, *there.front())));
        lost.Analyte = a.Name;
        lost.Wanted = ChangeText(shadow.Stored, a);
        lost.Held = ChangeText(shadow.Stored, *there.front());
        throw lost;
    }
    const int64_t version = r.Int(0, 0);
    const TAnalyte& before = shadow.Stored;
    auto [pre, suf] = CommonEnds(before, a);
    const int oldEnd = before.Count() - suf, delta = a.Count() - before.Count();
    const std::string id = Num(shadow.Id);
    if (oldEnd > pre)
        conn_.Exec("DELETE FROM point WHERE analyte = $1 AND ord >= $2 AND ord < $3",
                   {id, Num(int64_t{pre}), Num(int64_t{oldEnd})});
    if (delta != 0 && suf > 0)
        conn_.Exec("UPDATE point SET ord = ord + $2 WHERE analyte = $1 AND ord >= $3",
                   {id, Num(int64_t{delta}), Num(int64_t{oldEnd})});
    CopyPoints(shadow.Id, a, pre, a.Count() - suf, pre, version);
    const int kept = before.Comments.Count();
    if (a.Comments.Count() >= kept && SameComments(a.Comments, before.Comments, kept)) {
        CopyComments(shadow.Id, a, kept);
    } else {
        conn_.Exec("DELETE FROM comment WHERE analyte = $1", {id});
        CopyComments(shadow.Id, a, 0);
    }
    Notify("a " + id + " " + Num(version));
    return version;
}

void TServerStore::WriteMaterials(const TListSerum& serum) {
    conn_.Exec("DELETE FROM material");
    std::string rows;
    for (size_t i = 0; i < serum.Items.size(); ++i) {
        const TSerum& s = serum.Items[i];
        rows += std::to_string(s.Id) + '\t' + std::to_string(i) + '\t' + std::to_string(s.EraseMark) + '\t';
        TPgConnection::CopyText(rows, ToServer(s.Name));
        rows += '\t';
        TPgConnection::CopyText(rows, ToServer(s.Lot));
        rows += '\n';
    }
    if (!rows.empty()) conn_.Copy("COPY material(id, ord, erase_mark, name, lot) FROM STDIN", rows);
}

void TServerStore::WriteData(const TListSerum& serum, const TListAnalytes& analytes, const TAnalyte* only,
                             const std::vector<TPendingArchive>& archives) {
    struct TWritten {
        const TAnalyte* Analyte;
        int64_t Id, Version;
        std::optional<TAnalyte> Stored; // when not the bench's own (runs merged with other benches')
        int Others = 0;
    };
    std::vector<TWritten> written;
    std::vector<TAnalyteId> order;
    for (const auto& a : analytes.Items) order.push_back(a->Uid);
    if (only && !shadows_.count(only->Uid)) only = nullptr;
    const bool materials = !only && !SameSerum(serum, serum_);
    const bool reordered = !only && order != order_;
    int64_t catalogue = catalogueVersion_;
    std::vector<TAnalyteId> deleted;
    if (reordered)
        for (TAnalyteId uid : order_)
            if (std::find(order.begin(), order.end(), uid) == order.end()) deleted.push_back(uid);
    Transaction(only ? "analyte " + only->Name : "data", [&] {
        if (materials || reordered) {
            // New analytes at the end (a held run's) are a technologist's; anything else a supervisor's.
            const bool appended = !materials && deleted.empty() && order.size() > order_.size() &&
                                  std::equal(order_.begin(), order_.end(), order.begin());
            if (!appended)
                RequireSupervisor(QT_TRANSLATE_NOOP("Core", "change the analytes or the materials"));
            BumpStore("catalogue", catalogueVersion_, &catalogue);
            Notify("c");
        }
        if (materials) WriteMaterials(serum);
        for (TAnalyteId uid : deleted) {
            const TShadow& s = shadows_.at(uid);
            if (conn_
                    .Exec("DELETE FROM analyte WHERE id = $1 AND version = $2 RETURNING id",
                          {Num(s.Id), Num(s.Version)})
                    .Rows() == 0) {
                stale_.Catalogue = true;
                throw EServerConflict(
                    s.Stored.Name +
                    " was changed on another bench meanwhile: nothing was saved. The lists now "
                    "show what the server holds.");
            }
        }
        for (size_t i = 0; i < analytes.Items.size(); ++i) {
            const TAnalyte& a = *analytes.Items[i];
            if (only && &a != only) continue;
            auto it = shadows_.find(a.Uid);
            if (it == shadows_.end()) {
                CheckTechnologistChange(a, nullptr);
                int64_t id = 0, version = 0;
                InsertAnalyte(a, static_cast<int>(i), id, version);
                written.push_back({&a, id, version, std::nullopt, 0});
                continue;
            }
            if (!SameStored(a, it->second.Stored)) {
                std::optional<TAnalyte> stored;
                int others = 0;
                const int64_t version = WriteAnalyte(a, it->second, stored, others);
                written.push_back({&a, it->second.Id, version, std::move(stored), others});
            }
            if (reordered && (i >= order_.size() || order_[i] != a.Uid))
                conn_.Exec("UPDATE analyte SET ord = $2 WHERE id = $1",
                           {Num(it->second.Id), Num(int64_t(i))});
        }
        for (const TPendingArchive& p : archives)
            conn_.Exec("INSERT INTO archive(number, analyte, bytes) VALUES($1, $2, $3)",
                       {Num(int64_t{p.Number}), ToServer(p.Analyte), TPgConnection::HexBytes(p.Text)});
    });
    // Stored: this is now the state the server holds.
    std::vector<std::pair<TAnalyteId, TShadow>> now;
    std::vector<std::pair<TAnalyte, int>> merged;
    for (TWritten& w : written) {
        now.push_back({w.Analyte->Uid, {w.Id, w.Version, w.Stored ? *w.Stored : *w.Analyte}});
        if (w.Stored) merged.emplace_back(std::move(*w.Stored), w.Others);
    }
    OnCommit([this, now = std::move(now), merged = std::move(merged), deleted = std::move(deleted),
              whole = !only, order = std::move(order), serum, catalogue]() mutable {
        for (auto& [uid, shadow] : now) shadows_[uid] = std::move(shadow);
        if (merged_)
            for (const auto& [a, others] : merged) merged_(a, others);
        for (TAnalyteId uid : deleted) shadows_.erase(uid);
        if (whole) {
            order_ = std::move(order);
            serum_ = serum;
            catalogueVersion_ = catalogue;
        }
    });
}

void TServerStore::WriteQueue(const std::deque<TResu>& queue) {
    // The runs this bench took from the head, then those it added at the tail: rows other benches
    // added meanwhile stay. Every other change takes all rows this bench knows and adds the queue anew.
    size_t removed = queue_.size();
    for (size_t k = 0; k < queue_.size(); ++k) {
        const size_t rest = queue_.size() - k;
        if (rest > queue.size()) continue;
        bool prefix = true;
        for (size_t i = 0; i < rest && prefix; ++i) prefix = SameEntry(queue_[k + i].second, queue[i]);
        if (prefix) {
            removed = k;
            break;
        }
    }
    const size_t kept = queue_.size() - removed;
    std::vector<int64_t> added;
    Transaction("queue", [&] {
        if (removed > 0) {
            std::string ids = "{";
            for (size_t i = 0; i < removed; ++i) ids += (i ? "," : "") + Num(queue_[i].first);
            ids += "}";
            const int gone =
                conn_.Exec("DELETE FROM queue_entry WHERE id = ANY($1::bigint[]) RETURNING id", {ids}).Rows();
            if (gone != static_cast<int>(removed)) {
                stale_.Queue = true;
                throw EServerConflict(
                    "A held run was taken from the queue on another bench meanwhile: nothing "
                    "was changed. The queue now shows what the server holds.");
            }
        }
        for (size_t i = kept; i < queue.size(); ++i) {
            const TResu& r = queue[i];
            std::vector<TPgParam> p = {Num(r.DateTime)};
            for (const LevelValue& lv : r.Levels) {
                p.push_back(Num(StoredValue(lv)));
                p.push_back(std::to_string(lv.State));
            }
            p.push_back(ToServer(r.Comment));
            p.push_back(ToServer(r.Operator));
            p.push_back(ToServer(r.AnalyteName));
            added.push_back(conn_
                                .Exec(std::string("INSERT INTO queue_entry(") + QueueColumns +
                                          ") VALUES($1, $2, $3, $4, $5, $6, $7, $8, $9, $10) RETURNING id",
                                      p)
                                .Int(0, 0));
        }
        Notify("q");
    });
    std::vector<std::pair<int64_t, TResu>> now(queue_.begin() + static_cast<ptrdiff_t>(removed),
                                               queue_.end());
    for (size_t i = kept; i < queue.size(); ++i) now.emplace_back(added[i - kept], queue[i]);
    OnCommit([this, now = std::move(now)]() mutable { queue_ = std::move(now); });
}

void TServerStore::WriteSettings(const TSettings& given, const std::vector<std::string>& operators,
                                 std::string* passwordField) {
    int64_t version = settingsVersion_;
    TSettings s = given;
    std::string hash;
    if (!s.Password.empty() && !IsProgramPasswordMarker(s.Password)) {
        hash = HashPassword(s.Password);
        s.Password = NewProgramPasswordMarker();
    }
    Transaction("settings", [&] {
        if (hasAccounts_ && !(account_ && account_->Role == TRole::Supervisor)) {
            // A technologist's backup records its date; nothing else of the settings is theirs.
            TSettings mine;
            std::vector<std::string> theirs;
            ReloadSettings(mine, theirs);
            mine.LastBackup = s.LastBackup;
            if (SettingsImage(mine, theirs) != SettingsImage(s, operators))
                RequireSupervisor(QT_TRANSLATE_NOOP("Core", "change the settings"));
        }
        // The password kept is replaced only when this changes it: removing none is no change (and a
        // supervisor's on the server).
        TPgResult kept = conn_.Exec("SELECT password FROM settings WHERE id = 1");
        const bool removesOne = s.Password.empty() && kept.Rows() == 1 && !kept.Text(0, 0).empty();
        BumpStore("settings", settingsVersion_, &version);
        conn_.Exec(
            "INSERT INTO settings VALUES(1, $1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11) ON CONFLICT(id) DO "
            "UPDATE SET show_about = $1, colour_print = $2, password = $3, backup_drive = $4, "
            "backup_interval = $5, last_backup = $6, alert_row = $7, action_row = $8, signature = $9, "
            "backup_folder = $10, display_size = $11",
            {s.ShowAboutAtStart ? "t" : "f", s.ColourPrint ? "t" : "f", ToServer(s.Password),
             Num(int64_t{static_cast<uint8_t>(s.BackupDrive)}), Num(int64_t{s.BackupInterval}),
             Num(s.LastBackup), Num(int64_t{s.AlertRow}), Num(int64_t{s.ActionRow}),
             TPgConnection::HexBytes(
                 std::string_view(reinterpret_cast<const char*>(s.Signature.data()), SignatureSize)),
             ToServer(s.BackupFolder), Num(int64_t{s.DisplaySize})});
        if (!hash.empty() || removesOne)
            conn_.Exec("SELECT varnholt_put_program_password($1, $2, $3, NULL)",
                       {token_, ToServer(s.Password), hash});
        // Rewritten only when changed: the list is a supervisor's.
        TPgResult names = conn_.Exec("SELECT name FROM operator_name ORDER BY ord");
        bool same = names.Rows() == static_cast<int>(operators.size());
        for (int i = 0; same && i < names.Rows(); ++i)
            same = names.Text(i, 0) == ToServer(operators[static_cast<size_t>(i)]);
        if (!same) {
            conn_.Exec("DELETE FROM operator_name");
            for (size_t i = 0; i < operators.size(); ++i)
                conn_.Exec("INSERT INTO operator_name VALUES($1, $2)",
                           {Num(int64_t(i)), ToServer(operators[i])});
        }
        Notify("s");
    });
    OnCommit([this, version] { settingsVersion_ = version; });
    if (passwordField) *passwordField = s.Password;
}

bool TServerStore::ProgramPasswordIs(const std::string& marker, const std::string& typed) const {
    const std::string m = ToServer(marker);
    const std::string setting = conn_.Exec("SELECT varnholt_program_password_setting($1)", {m}).Text(0, 0);
    const std::string proof = Argon2idWithSetting(setting, typed).value_or(std::string());
    return conn_.Exec("SELECT varnholt_program_password_is($1, $2)", {m, proof}).Text(0, 0) == "t";
}

void TServerStore::HashProgramPassword() {
    // A password kept in clear by an older Varnholt: replaced by its hash once, journaled.
    TPgResult r = conn_.Exec("SELECT password FROM settings WHERE id = 1");
    if (r.Rows() != 1) return;
    const std::string clear = FromServer(r.View(0, 0));
    if (clear.empty() || IsProgramPasswordMarker(clear)) return;
    const std::string marker = NewProgramPasswordMarker(), hash = HashPassword(clear);
    TJournalEntry e;
    e.TimeUtc = UtcTimeText();
    e.TimeLocal = LocalTimeText();
    e.Kind = jk::PasswordChanged;
    e.Before = "program password set (in the server's settings)";
    e.After = "program password kept as a hash on the server";
    StageJournal({{e, 0}});
    Transaction("program password", [&] {
        conn_.Exec("SELECT varnholt_put_program_password('', $1, $2, $3)",
                   {ToServer(marker), hash, ToServer(clear)});
        conn_.Exec("UPDATE settings SET password = $1 WHERE id = 1", {ToServer(marker)});
        conn_.Exec("UPDATE store SET version = version + 1 WHERE key = 'settings'");
        Notify("s");
    });
}

void TServerStore::DeleteArchives(const std::vector<int32_t>& numbers) {
    if (numbers.empty()) return;
    Transaction("delete archives", [&] {
        RequireSupervisor(QT_TRANSLATE_NOOP("Core", "delete archives"));
        conn_.Exec("DELETE FROM archive WHERE number = ANY($1::integer[])", {IntArray(numbers)});
    });
}

int32_t TServerStore::ReserveArchiveNumber(const TListAnalytes& analytes) {
    EnsureConnected();
    std::set<int32_t> held;
    for (const auto& a : analytes.Items) held.insert(a->ArchiveNumbers.begin(), a->ArchiveNumbers.end());
    for (;;) {
        const int64_t n = conn_.Exec("SELECT nextval('archive_number')").Int(0, 0);
        if (n > 99999999) throw EQcError(TranslatedText(QT_TRANSLATE_NOOP("Core", "No archive number left")));
        if (held.count(static_cast<int32_t>(n)) == 0) return static_cast<int32_t>(n);
    }
}

void TServerStore::WriteGoals(const std::vector<std::string>& removed,
                              const std::vector<TQualityGoal>& goals) {
    Transaction("goals", [&] {
        RequireSupervisor(QT_TRANSLATE_NOOP("Core", "change the quality goals"));
        for (const std::string& name : removed)
            conn_.Exec("DELETE FROM goal WHERE analyte_key = $1", {ToServer(UpperCase(name))});
        for (const TQualityGoal& g : goals) {
            const std::string key = ToServer(UpperCase(g.Analyte));
            const bool empty = !g.TEa && std::none_of(g.Target.begin(), g.Target.end(),
                                                      [](const auto& t) { return t.has_value(); });
            if (empty) {
                conn_.Exec("DELETE FROM goal WHERE analyte_key = $1", {key});
                continue;
            }
            std::vector<TPgParam> p = {key, ToServer(g.Analyte)};
            p.push_back(g.TEa ? TPgParam(Num(static_cast<double>(*g.TEa))) : std::nullopt);
            p.push_back(g.TEaKind == teaUnit ? TPgParam(ToServer(g.TEaUnit)) : std::nullopt);
            for (const auto& t : g.Target)
                p.push_back(t ? TPgParam(Num(static_cast<double>(*t))) : std::nullopt);
            p.push_back(std::string(BiasFromName(g.BiasFrom)));
            conn_.Exec("INSERT INTO goal(analyte_key, analyte, tea, tea_unit, target1, target2, target3, "
                       "bias_from) VALUES($1, $2, $3, $4, $5, $6, $7, $8) ON CONFLICT(analyte_key) DO UPDATE "
                       "SET analyte = $2, tea = $3, tea_unit = $4, target1 = $5, target2 = $6, target3 = $7, "
                       "bias_from = $8, changed_at = now()",
                       p);
        }
        Notify("g");
    });
}

void TServerStore::WriteRuleSets(const std::vector<std::string>& removed,
                                 const std::vector<TAnalyteRules>& sets) {
    Transaction("rule sets", [&] {
        RequireSupervisor(QT_TRANSLATE_NOOP("Core", "change the rule sets"));
        for (const std::string& name : removed)
            conn_.Exec("DELETE FROM rule_set WHERE analyte_key = $1", {ToServer(UpperCase(name))});
        for (const TAnalyteRules& r : sets) {
            const std::string key = ToServer(UpperCase(r.Analyte));
            if (r.Set.Empty()) {
                conn_.Exec("DELETE FROM rule_set WHERE analyte_key = $1", {key});
                continue;
            }
            conn_.Exec(
                "INSERT INTO rule_set(analyte_key, analyte, name, reject, warn) VALUES($1, $2, $3, $4, $5) "
                "ON CONFLICT(analyte_key) DO UPDATE SET analyte = $2, name = $3, reject = $4, warn = $5, "
                "changed_at = now()",
                {key, ToServer(r.Analyte), ToServer(r.Set.Name), ToServer(QcRulesText(r.Set.Reject)),
                 ToServer(QcRulesText(r.Set.Warn))});
        }
        Notify("g");
    });
}

namespace {

// A unique key refused a row: another bench recorded it meanwhile.
template <typename F> void RecordedOnce(F&& body) {
    try {
        body();
    } catch (const EServerError& e) {
        if (e.Lost || e.State != "23505") throw;
        throw EServerConflict(TranslatedText(
            QT_TRANSLATE_NOOP("Core", "Another bench recorded some of these rows meanwhile: nothing was "
                                      "imported")));
    }
}

void InsertPeerStats(TPgConnection& c, const std::vector<TPeerStat>& stats) {
    for (const TPeerStat& s : stats)
        c.Exec(
            "INSERT INTO peer_stat(analyte_key, analyte, material_key, material, lot_key, lot, level, month, "
            "mean, sd, n, labs) VALUES($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12)",
            {ToServer(UpperCase(s.Analyte)), ToServer(s.Analyte), ToServer(UpperCase(s.Material)),
             ToServer(s.Material), ToServer(UpperCase(s.Lot)), ToServer(s.Lot), Num(int64_t{s.Level}),
             ToServer(s.Month), Num(static_cast<double>(s.Mean)), Num(static_cast<double>(s.Sd)),
             Num(int64_t{s.N}), Num(int64_t{s.Labs})});
}

void InsertEqaResults(TPgConnection& c, const std::vector<TEqaResult>& results) {
    for (const TEqaResult& e : results)
        c.Exec(
            "INSERT INTO eqa_result(scheme_key, scheme, distribution_key, distribution, sample_key, sample, "
            "day, analyte_key, analyte, result, assigned, sd, participants) VALUES($1, $2, $3, $4, $5, $6, "
            "$7, $8, $9, $10, $11, $12, $13)",
            {ToServer(UpperCase(e.Scheme)), ToServer(e.Scheme), ToServer(UpperCase(e.Distribution)),
             ToServer(e.Distribution), ToServer(UpperCase(e.Sample)), ToServer(e.Sample),
             Num(static_cast<double>(e.Date)), ToServer(UpperCase(e.Analyte)), ToServer(e.Analyte),
             Num(static_cast<double>(e.Result)), Num(static_cast<double>(e.Assigned)),
             Num(static_cast<double>(e.Sd)), Num(int64_t{e.Participants})});
}

} // namespace

void TServerStore::AddPeerStats(const std::vector<TPeerStat>& stats) {
    RecordedOnce([&] {
        Transaction("peer statistics", [&] {
            InsertPeerStats(conn_, stats);
            // The figures that take the bias from them change on every bench.
            Notify("g");
        });
    });
}

void TServerStore::AddEqaResults(const std::vector<TEqaResult>& results) {
    RecordedOnce([&] {
        Transaction("EQA results", [&] {
            InsertEqaResults(conn_, results);
            Notify("g");
        });
    });
}

void TServerStore::ImportContents(const TStoreContents& c) {
    Transaction("migrate", [&] {
        if (HasData())
            throw EQcError("The server's database already holds data: migrate only into an empty one");
        WriteMaterials(c.Serum);
        for (size_t i = 0; i < c.Analytes.Items.size(); ++i) {
            int64_t id = 0, version = 0;
            InsertAnalyte(*c.Analytes.Items[i], static_cast<int>(i), id, version);
        }
        std::string rows;
        for (const TResu& r : c.Queue) AppendQueueRow(rows, r);
        if (!rows.empty()) conn_.Copy(std::string("COPY queue_entry(") + QueueColumns + ") FROM STDIN", rows);
        int32_t largest = 0;
        for (const auto& [n, bytes] : c.Archives) {
            conn_.Exec("INSERT INTO archive(number, analyte, bytes) VALUES($1, $2, $3)",
                       {Num(int64_t{n}), ToServer(bytes.substr(0, bytes.find_first_of("\r\n"))),
                        TPgConnection::HexBytes(bytes)});
            largest = std::max(largest, n);
        }
        for (const auto& a : c.Analytes.Items)
            for (int32_t n : a->ArchiveNumbers) largest = std::max(largest, n);
        if (largest > 0) conn_.Exec("SELECT setval('archive_number', $1)", {Num(int64_t{largest})});
        ImportRecords(c.Records);
        notes_.clear();
    });
    if (c.Records.ProgramPassword)
        conn_.Exec("SELECT varnholt_put_program_password('', $1, $2, NULL)",
                   {ToServer(c.Records.ProgramPassword->first), c.Records.ProgramPassword->second});
    if (c.HasSettings) WriteSettings(c.Settings, c.Operators);
    if (!c.Goals.empty()) WriteGoals({}, c.Goals);
    if (!c.RuleSets.empty()) WriteRuleSets({}, c.RuleSets);
}

// ---------------------------------------------------------------- journal and records

namespace {
// The journal's texts are UTF-8 already; only a NUL, which the server's text cannot hold, is replaced.
std::string NoNul(const std::string& utf8) {
    std::string out;
    for (char c : utf8)
        if (c == '\0')
            out += NulSymbol;
        else
            out += c;
    return out;
}

std::string WithNul(std::string_view stored) {
    std::string out;
    for (size_t i = 0; i < stored.size();) {
        if (stored.substr(i, NulSymbol.size()) == NulSymbol) {
            out += '\0';
            i += NulSymbol.size();
        } else {
            out += stored[i++];
        }
    }
    return out;
}

void AppendJournalRow(std::string& rows, const TJournalEntry& e) {
    rows += std::to_string(e.Id);
    for (const std::string* f : {&e.TimeUtc, &e.TimeLocal, &e.Operator, &e.Kind, &e.Analyte}) {
        rows += '\t';
        TPgConnection::CopyText(rows, NoNul(*f));
    }
    rows += '\t' + std::to_string(e.Level);
    for (const std::string* f : {&e.Point, &e.Before, &e.After, &e.Reason, &e.Hash}) {
        rows += '\t';
        TPgConnection::CopyText(rows, NoNul(*f));
    }
    rows += '\n';
}

constexpr const char* JournalColumns =
    "id, time_utc, time_local, operator, kind, analyte, level, point, before, after, reason, hash";
} // namespace

void TServerStore::WriteJournal(std::vector<TServerJournalEntry>& entries) {
    if (entries.empty()) return;
    // Every bench's entries go into one chain: the head row is held until this transaction ends.
    // Through the server's function: a bench's role may read the head but not change it. Removed by
    // hand, it is rebuilt from the last entry there, and said so in the journal, which goes on (the
    // check names the gap until then).
    TPgResult head = conn_.Exec("SELECT head_last, head_hash, rebuilt FROM varnholt_journal_head()");
    if (head.Text(0, 2) == "t") {
        TServerJournalEntry note = entries.front();
        note.Review = 0;
        note.Entry.Kind = jk::JournalStarted;
        note.Entry.Analyte.clear();
        note.Entry.Level = 0;
        note.Entry.Point.clear();
        note.Entry.Before.clear();
        note.Entry.Reason.clear();
        note.Entry.After = "The record of the journal's last entry was missing on the server; it was rebuilt "
                           "from entry " +
                           head.Text(0, 0) + ".";
        entries.insert(entries.begin(), std::move(note));
    }
    int64_t id = head.Int(0, 0);
    std::string previous = head.Text(0, 1);
    std::string rows;
    for (auto& [e, review] : entries) {
        e.Id = ++id;
        e.Hash = JournalHash(previous, e);
        previous = e.Hash;
        AppendJournalRow(rows, e);
        if (review > 0)
            conn_.Exec("UPDATE review SET reopened_utc = $1, reopened_reason = $2 WHERE id = $3 AND "
                       "reopened_utc = ''",
                       {e.TimeUtc, NoNul(e.Reason), Num(review)});
    }
    // The head follows each entry appended (a trigger on the server).
    conn_.Copy(std::string("COPY journal(") + JournalColumns + ") FROM STDIN", rows);
}

std::vector<TJournalEntry> TServerStore::ReadJournal() const {
    std::vector<TJournalEntry> out;
    TPgResult r = conn_.Exec(std::string("SELECT ") + JournalColumns + " FROM journal ORDER BY id");
    out.reserve(static_cast<size_t>(r.Rows()));
    for (int i = 0; i < r.Rows(); ++i) {
        TJournalEntry e;
        e.Id = r.Int(i, 0);
        std::string* texts[] = {&e.TimeUtc, &e.TimeLocal, &e.Operator, &e.Kind, &e.Analyte};
        for (int k = 0; k < 5; ++k) *texts[k] = WithNul(r.View(i, 1 + k));
        e.Level = static_cast<int>(r.Int(i, 6));
        std::string* rest[] = {&e.Point, &e.Before, &e.After, &e.Reason, &e.Hash};
        for (int k = 0; k < 5; ++k) *rest[k] = WithNul(r.View(i, 7 + k));
        out.push_back(std::move(e));
    }
    return out;
}

std::optional<std::pair<int64_t, std::string>> TServerStore::JournalHead() const {
    TPgResult r = conn_.Exec("SELECT last, hash FROM journal_head WHERE id = 1");
    if (r.Rows() != 1) return std::nullopt;
    return std::pair<int64_t, std::string>{r.Int(0, 0), r.Text(0, 1)};
}

std::vector<TReview> TServerStore::Reviews() const {
    std::vector<TReview> out;
    TPgResult r = conn_.Exec("SELECT id, analyte, first_day, last_day, reviewer, signed_utc, signed_local, "
                             "reopened_utc, reopened_reason FROM review ORDER BY id");
    for (int i = 0; i < r.Rows(); ++i) {
        TReview v;
        v.Id = r.Int(i, 0);
        v.Analyte = FromServer(r.View(i, 1));
        v.First = r.Real(i, 2);
        v.Last = r.Real(i, 3);
        v.Reviewer = FromServer(r.View(i, 4));
        v.SignedUtc = r.Text(i, 5);
        v.SignedLocal = r.Text(i, 6);
        v.ReopenedUtc = r.Text(i, 7);
        v.ReopenedReason = FromServer(r.View(i, 8));
        out.push_back(std::move(v));
    }
    return out;
}

void TServerStore::SignReview(const TReview& v) {
    Transaction("review " + v.Analyte, [&] {
        conn_.Exec("INSERT INTO review(analyte, first_day, last_day, reviewer, signed_utc, signed_local) "
                   "VALUES($1, $2, $3, $4, $5, $6)",
                   {ToServer(v.Analyte), Num(v.First), Num(v.Last), ToServer(v.Reviewer), v.SignedUtc,
                    v.SignedLocal});
        Notify("r");
    });
}

std::vector<std::string> TServerStore::CorrectiveActions() const {
    std::vector<std::string> out;
    TPgResult r = conn_.Exec("SELECT text FROM corrective_action ORDER BY position");
    for (int i = 0; i < r.Rows(); ++i) out.push_back(FromServer(r.View(i, 0)));
    return out;
}

void TServerStore::SetCorrectiveActions(const std::vector<std::string>& actions) {
    Transaction("corrective actions", [&] {
        RequireSupervisor(QT_TRANSLATE_NOOP("Core", "change the list of corrective actions"));
        conn_.Exec("DELETE FROM corrective_action");
        for (size_t i = 0; i < actions.size(); ++i)
            conn_.Exec("INSERT INTO corrective_action(position, text) VALUES($1, $2)",
                       {Num(int64_t(i + 1)), ToServer(actions[i])});
        Notify("s");
    });
}

std::optional<std::string> TServerStore::OperatorPasswordHash(const std::string& code) const {
    // Whether one is kept; the hash stays on the server (OperatorPasswordIs checks it there).
    TPgResult r = conn_.Exec("SELECT 1 FROM account WHERE upper(code) = upper($1) UNION ALL "
                             "SELECT 1 FROM operator_password WHERE code = upper($1) LIMIT 1",
                             {ToServer(code)});
    if (r.Rows() == 0) return std::nullopt;
    return std::string();
}

std::optional<bool> TServerStore::OperatorPasswordIs(const std::string& code,
                                                     const std::string& typed) const {
    const std::string c = ToServer(code);
    const std::string setting = conn_.Exec("SELECT varnholt_password_setting($1, true)", {c}).Text(0, 0);
    const std::string proof = Argon2idWithSetting(setting, typed).value_or(std::string());
    const std::string outcome =
        conn_.Exec("SELECT varnholt_operator_password_is($1, $2)", {c, proof}).Text(0, 0);
    if (outcome == "none") return std::nullopt;
    return outcome == "ok";
}

void TServerStore::SetOperatorPassword(const std::string& code, const std::string& hash) {
    Transaction("operator password " + code, [&] {
        RequireSupervisor(QT_TRANSLATE_NOOP("Core", "set the operators' passwords"));
        conn_.Exec("SELECT varnholt_set_operator_password($1, $2, $3)", {token_, ToServer(code), hash});
    });
}

TStoreRecords TServerStore::Records() const {
    TStoreRecords out;
    Snapshot([&] {
        out.Journal = ReadJournal();
        out.JournalHead = JournalHead();
        out.Reviews = Reviews();
        out.CorrectiveActions = CorrectiveActions();
        std::map<std::string, std::string> passwords;
        TPgResult own = conn_.Exec("SELECT code, hash FROM operator_password");
        for (int i = 0; i < own.Rows(); ++i) passwords[own.Text(i, 0)] = own.Text(i, 1);
        // A folder knows no accounts: their sign-in passwords become the operators' own (upper case, as
        // a folder keeps its codes).
        TPgResult acc = conn_.Exec("SELECT upper(code), password_hash FROM account");
        for (int i = 0; i < acc.Rows(); ++i) passwords[acc.Text(i, 0)] = acc.Text(i, 1);
        out.OperatorPasswords.assign(passwords.begin(), passwords.end());
        out.Inbox = InboxRecords();
        out.Peer = PeerStats("");
        out.Eqa = EqaResults("");
        // Read only where the connection may (the database's owner moving the data out).
        if (conn_.Exec("SELECT has_table_privilege('program_password', 'SELECT')").Text(0, 0) == "t") {
            TPgResult p = conn_.Exec("SELECT marker, hash FROM program_password");
            if (p.Rows() == 1) out.ProgramPassword = {FromServer(p.View(0, 0)), p.Text(0, 1)};
        }
    });
    return out;
}

void TServerStore::ImportRecords(const TStoreRecords& r) {
    std::string rows;
    for (const TJournalEntry& e : r.Journal) AppendJournalRow(rows, e);
    if (!rows.empty()) conn_.Copy(std::string("COPY journal(") + JournalColumns + ") FROM STDIN", rows);
    // The folder's record of its last entry, so that a journal cut short there is still seen as such.
    std::pair<int64_t, std::string> head{0, FirstPreviousHash};
    if (!r.Journal.empty()) head = {r.Journal.back().Id, r.Journal.back().Hash};
    if (r.JournalHead && r.JournalHead->first > head.first) head = *r.JournalHead;
    conn_.Exec("UPDATE journal_head SET last = $1, hash = $2 WHERE id = 1", {Num(head.first), head.second});
    for (const TReview& v : r.Reviews)
        conn_.Exec("INSERT INTO review(id, analyte, first_day, last_day, reviewer, signed_utc, signed_local, "
                   "reopened_utc, reopened_reason) VALUES($1, $2, $3, $4, $5, $6, $7, $8, $9)",
                   {Num(v.Id), ToServer(v.Analyte), Num(v.First), Num(v.Last), ToServer(v.Reviewer),
                    v.SignedUtc, v.SignedLocal, v.ReopenedUtc, ToServer(v.ReopenedReason)});
    if (!r.Reviews.empty())
        conn_.Exec("SELECT setval(pg_get_serial_sequence('review', 'id'), (SELECT max(id) FROM review))");
    if (!r.CorrectiveActions.empty()) {
        conn_.Exec("DELETE FROM corrective_action");
        for (size_t i = 0; i < r.CorrectiveActions.size(); ++i)
            conn_.Exec("INSERT INTO corrective_action(position, text) VALUES($1, $2)",
                       {Num(int64_t(i + 1)), ToServer(r.CorrectiveActions[i])});
    }
    for (const auto& [code, hash] : r.OperatorPasswords)
        conn_.Exec("INSERT INTO operator_password(code, hash) VALUES($1, $2)", {code, hash});
    ImportInbox(r.Inbox);
    InsertPeerStats(conn_, r.Peer);
    InsertEqaResults(conn_, r.Eqa);
}

// ---------------------------------------------------------------- other benches

TServerNews TServerStore::TakeNews() {
    TServerNews news = stale_;
    stale_ = {};
    if (!conn_.Ok()) {
        const int64_t now = NowSeconds();
        if (now - lastReconnect_ < 2) {
            stale_ = news;
            return {};
        }
        lastReconnect_ = now;
        EnsureConnected();
    }
    try {
        for (const TPgNotice& n : conn_.Notifications()) {
            if (n.Pid == conn_.BackendPid()) continue;
            const std::string& p = n.Payload;
            if (p.rfind("a ", 0) == 0) {
                int64_t id = 0, version = 0;
                std::sscanf(p.c_str() + 2, "%ld %ld", &id, &version);
                bool known = false;
                for (const auto& [uid, s] : shadows_)
                    if (s.Id == id) known = s.Version >= version;
                if (!known) news.Analytes.push_back(id);
            } else if (p == "c") {
                news.Catalogue = true;
            } else if (p == "q") {
                news.Queue = true;
            } else if (p == "s") {
                news.Settings = true;
            } else if (p == "g") {
                news.Goals = true;
            }
        }
    } catch (const EServerError&) {
        everythingStale_ = true;
        lastReconnect_ = NowSeconds();
        EnsureConnected();
    }
    std::sort(news.Analytes.begin(), news.Analytes.end());
    news.Analytes.erase(std::unique(news.Analytes.begin(), news.Analytes.end()), news.Analytes.end());
    if (everythingStale_) {
        news.Everything = true;
        everythingStale_ = false;
    }
    return news;
}

void TServerStore::Defer(const TServerNews& news) {
    stale_.Everything = stale_.Everything || news.Everything;
    stale_.Catalogue = stale_.Catalogue || news.Catalogue;
    stale_.Queue = stale_.Queue || news.Queue;
    stale_.Settings = stale_.Settings || news.Settings;
    stale_.Goals = stale_.Goals || news.Goals;
    stale_.Analytes.insert(stale_.Analytes.end(), news.Analytes.begin(), news.Analytes.end());
}

TAnalyte* TServerStore::FindByServerId(const TListAnalytes& analytes, int64_t id) const {
    for (const auto& [uid, s] : shadows_)
        if (s.Id == id) return analytes.Find(uid);
    return nullptr;
}

bool TServerStore::ReloadAnalyte(TAnalyte& a) {
    auto it = shadows_.find(a.Uid);
    if (it == shadows_.end()) return false;
    std::vector<std::pair<int64_t, int64_t>> ids;
    auto list = LoadAnalytes(it->second.Id, ids);
    if (list.empty()) return false;
    const TAnalyteId uid = a.Uid;
    a = std::move(*list[0]);
    a.Uid = uid;
    it->second = {ids[0].first, ids[0].second, a};
    return true;
}

std::vector<TAnalyte*> TServerStore::Reload(TListSerum& serum, TListAnalytes& analytes) {
    EnsureConnected();
    std::vector<TAnalyte*> changed;
    std::vector<std::pair<int64_t, int64_t>> ids;
    std::vector<std::unique_ptr<TAnalyte>> fresh;
    Snapshot([&] {
        catalogueVersion_ = conn_.Exec("SELECT version FROM store WHERE key = 'catalogue'").Int(0, 0);
        LoadMaterials(serum);
        fresh = LoadAnalytes(std::nullopt, ids);
    });
    std::map<int64_t, TAnalyteId> uidOf;
    for (const auto& [uid, s] : shadows_) uidOf[s.Id] = uid;
    std::vector<std::unique_ptr<TAnalyte>> items;
    std::map<TAnalyteId, TShadow> shadows;
    order_.clear();
    for (size_t i = 0; i < fresh.size(); ++i) {
        std::unique_ptr<TAnalyte> mine;
        auto u = uidOf.find(ids[i].first);
        if (u != uidOf.end())
            for (auto& p : analytes.Items)
                if (p && p->Uid == u->second) mine = std::move(p);
        if (mine) {
            // The object the windows hold stays; its contents become the server's.
            if (!SameStored(*mine, *fresh[i])) {
                const TAnalyteId uid = mine->Uid;
                *mine = std::move(*fresh[i]);
                mine->Uid = uid;
                changed.push_back(mine.get());
            }
        } else {
            mine = std::move(fresh[i]);
            changed.push_back(mine.get());
        }
        shadows[mine->Uid] = {ids[i].first, ids[i].second, *mine};
        order_.push_back(mine->Uid);
        items.push_back(std::move(mine));
    }
    analytes.Items = std::move(items);
    shadows_ = std::move(shadows);
    serum_ = serum;
    return changed;
}
