// Varnholt.db through SQLite's C API: schema versions and migrations, damaged files kept aside, copies.
#include "UDatabase.h"

#include <algorithm>

#include <cstdio>
#include <cstring>
#include <sqlite3.h>
#include <sys/stat.h>

#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UQcError.h"
#include "UTexts.h"

const std::vector<TSchemaPart>& SchemaParts() {
    static const std::vector<TSchemaPart> parts = {
        {"base",
         {"CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);"
          "CREATE TABLE file_state(name TEXT PRIMARY KEY, size INTEGER NOT NULL, hash TEXT NOT NULL,"
          "                        written_utc TEXT NOT NULL);"
          "CREATE TABLE pending_edit(id INTEGER PRIMARY KEY, analyte TEXT NOT NULL, run BLOB NOT NULL,"
          "                          stored_utc TEXT NOT NULL);"}},
        // Quality goals per analyte, by name (ASCII letters without regard to case, as the program
        // compares names): TEa in percent (tea_unit NULL) or in the analyte's unit, a target per level.
        {"goals",
         {"CREATE TABLE goal(analyte TEXT NOT NULL PRIMARY KEY COLLATE NOCASE,"
          "                  tea REAL CHECK(tea IS NULL OR tea > 0), tea_unit TEXT,"
          "                  target1 REAL CHECK(target1 IS NULL OR target1 <> 0),"
          "                  target2 REAL CHECK(target2 IS NULL OR target2 <> 0),"
          "                  target3 REAL CHECK(target3 IS NULL OR target3 <> 0),"
          "                  changed_utc TEXT NOT NULL);",
          // An analyte's own rule set: its name and the rule names that reject and that warn
          // ("1:3s, 2:2s, R:4s").
          "CREATE TABLE rule_set(analyte TEXT NOT NULL PRIMARY KEY COLLATE NOCASE, name TEXT NOT NULL,"
          "                      reject TEXT NOT NULL CHECK(reject <> ''), warn TEXT NOT NULL,"
          "                      changed_utc TEXT NOT NULL);"}},
        // Results from the instruments: sources' reading options, the mapping, results waiting for a
        // mapping, what was read (file fingerprints, message control ids, result keys) and the runs made.
        // Its settings are the meta keys "inbox.*".
        {"inbox",
         {"CREATE TABLE inbox_source(id TEXT PRIMARY KEY, options TEXT NOT NULL);"
          "CREATE TABLE inbox_map(source TEXT NOT NULL, code TEXT NOT NULL, control TEXT NOT NULL,"
          "                       analyte TEXT NOT NULL, level INTEGER NOT NULL,"
          "                       PRIMARY KEY(source, code, control));"
          "CREATE TABLE inbox_waiting(id INTEGER PRIMARY KEY, source TEXT NOT NULL, instrument TEXT NOT NULL,"
          "                           code TEXT NOT NULL, control TEXT NOT NULL, level INTEGER NOT NULL,"
          "                           value_text TEXT NOT NULL, value REAL NOT NULL, units TEXT NOT NULL,"
          "                           date_time REAL NOT NULL, operator TEXT NOT NULL, comment TEXT NOT NULL,"
          "                           message_id TEXT NOT NULL, file TEXT NOT NULL, line INTEGER NOT NULL,"
          "                           reason TEXT NOT NULL, received_utc TEXT NOT NULL);"
          "CREATE INDEX inbox_waiting_key ON inbox_waiting(source, code, control);"
          "CREATE TABLE inbox_seen(key INTEGER PRIMARY KEY);"
          "CREATE TABLE inbox_file(source TEXT NOT NULL, hash INTEGER NOT NULL, name TEXT NOT NULL,"
          "                        results INTEGER NOT NULL, faults TEXT NOT NULL, read_utc TEXT NOT NULL,"
          "                        PRIMARY KEY(source, hash));"
          "CREATE TABLE inbox_message(source TEXT NOT NULL, id TEXT NOT NULL, file TEXT NOT NULL,"
          "                           read_utc TEXT NOT NULL, PRIMARY KEY(source, id));"
          // state: pending (recorded, not yet in the files), placed, replaced (completed by a later run
          // of the same analyte and source), gone (no longer held: recalled or cleared).
          "CREATE TABLE inbox_run(id INTEGER PRIMARY KEY, source TEXT NOT NULL, analyte TEXT NOT NULL,"
          "                       target TEXT NOT NULL, entry BLOB NOT NULL, replaces BLOB,"
          "                       first_time REAL NOT NULL, last_time REAL NOT NULL, state TEXT NOT NULL,"
          "                       verdict TEXT NOT NULL, note TEXT NOT NULL, made_utc TEXT NOT NULL);"
          "CREATE INDEX inbox_run_state ON inbox_run(state);",
          // The held runs a new result may complete, found without reading every run held before.
          "CREATE INDEX inbox_run_held ON inbox_run(source, analyte, first_time) "
          "WHERE state = 'placed' AND target = 'queue';"}},
        // The journal of changes (entries chained by hash; pending ones wait for their file), the
        // corrective actions offered, operators' own passwords and review sign-offs. Texts are UTF-8.
        {"journal",
         {"CREATE TABLE journal(id INTEGER PRIMARY KEY, time_utc TEXT NOT NULL, time_local TEXT NOT NULL,"
          "  operator TEXT NOT NULL, kind TEXT NOT NULL, analyte TEXT NOT NULL, level INTEGER NOT NULL,"
          "  point TEXT NOT NULL, before TEXT NOT NULL, after TEXT NOT NULL, reason TEXT NOT NULL,"
          "  hash TEXT NOT NULL);"
          "CREATE TABLE journal_pending(id INTEGER PRIMARY KEY, batch INTEGER NOT NULL, file TEXT NOT NULL,"
          "  file_hash TEXT NOT NULL, review INTEGER NOT NULL, time_utc TEXT NOT NULL,"
          "  time_local TEXT NOT NULL, operator TEXT NOT NULL, kind TEXT NOT NULL, analyte TEXT NOT NULL,"
          "  level INTEGER NOT NULL, point TEXT NOT NULL, before TEXT NOT NULL, after TEXT NOT NULL,"
          "  reason TEXT NOT NULL);"
          "CREATE TABLE corrective_action(position INTEGER PRIMARY KEY, text TEXT NOT NULL);"
          "INSERT INTO corrective_action(position, text) VALUES"
          "  (1, 'Repeated the control and it was in range'), (2, 'Recalibrated'),"
          "  (3, 'New control vial'), (4, 'Maintenance'), (5, 'Reagent lot changed'), (6, 'Other');"
          "CREATE TABLE operator_password(code TEXT PRIMARY KEY, hash TEXT NOT NULL);"
          "CREATE TABLE review(id INTEGER PRIMARY KEY, analyte TEXT NOT NULL, first_day REAL NOT NULL,"
          "  last_day REAL NOT NULL, reviewer TEXT NOT NULL, signed_utc TEXT NOT NULL,"
          "  signed_local TEXT NOT NULL, reopened_utc TEXT NOT NULL DEFAULT '',"
          "  reopened_reason TEXT NOT NULL DEFAULT '');"}},
        // The evidence of bias beside the control results: EQA samples as the schemes reported them, and
        // peer-group statistics per month. Names are the program's texts (Windows-1252).
        {"assessment",
         {"CREATE TABLE eqa_result(id INTEGER PRIMARY KEY, scheme TEXT NOT NULL COLLATE NOCASE,"
          "  distribution TEXT NOT NULL COLLATE NOCASE, sample TEXT NOT NULL COLLATE NOCASE, day REAL NOT "
          "NULL,"
          "  analyte TEXT NOT NULL COLLATE NOCASE, result REAL NOT NULL, assigned REAL NOT NULL,"
          "  sd REAL NOT NULL CHECK(sd > 0), participants INTEGER NOT NULL CHECK(participants >= 1),"
          "  recorded_utc TEXT NOT NULL, UNIQUE(scheme, distribution, sample, analyte));"
          "CREATE TABLE peer_stat(id INTEGER PRIMARY KEY, analyte TEXT NOT NULL COLLATE NOCASE,"
          "  material TEXT NOT NULL COLLATE NOCASE, lot TEXT NOT NULL COLLATE NOCASE,"
          "  level INTEGER NOT NULL CHECK(level BETWEEN 1 AND 3), month TEXT NOT NULL, mean REAL NOT NULL,"
          "  sd REAL NOT NULL CHECK(sd > 0), n INTEGER NOT NULL CHECK(n >= 2), labs INTEGER NOT NULL "
          "CHECK(labs >= 1),"
          "  recorded_utc TEXT NOT NULL, UNIQUE(analyte, material, lot, level, month));"}},
        // Patient-based QC: the patients' results per source and test code, mapped to an analyte (the
        // value, its time and the instrument, never who or which sample), the results left out by rule,
        // the procedure per analyte. The retention is the meta key "pqc.retention_days".
        {"patient_qc",
         {"CREATE TABLE pqc_map(source TEXT NOT NULL, code TEXT NOT NULL, analyte TEXT NOT NULL COLLATE "
          "NOCASE,"
          "                     PRIMARY KEY(source, code));"
          "CREATE TABLE pqc_result(id INTEGER PRIMARY KEY, analyte TEXT NOT NULL COLLATE NOCASE,"
          "                        source TEXT NOT NULL, code TEXT NOT NULL, time REAL NOT NULL,"
          "                        value REAL NOT NULL, instrument TEXT NOT NULL,"
          "                        UNIQUE(analyte, source, code, time, value, instrument));"
          "CREATE INDEX pqc_result_time ON pqc_result(analyte, time);"
          "CREATE TABLE pqc_excluded(analyte TEXT NOT NULL PRIMARY KEY COLLATE NOCASE,"
          "                          not_numeric INTEGER NOT NULL, censored INTEGER NOT NULL,"
          "                          flagged INTEGER NOT NULL);"
          "CREATE TABLE pqc_procedure(analyte TEXT NOT NULL PRIMARY KEY COLLATE NOCASE,"
          "                           procedure TEXT NOT NULL, n INTEGER NOT NULL, lambda REAL NOT NULL,"
          "                           trunc_low REAL, trunc_high REAL, truncation TEXT NOT NULL,"
          "                           target REAL NOT NULL, low REAL NOT NULL, high REAL NOT NULL,"
          "                           changed_utc TEXT NOT NULL);"}},
        // The journal window's filter lists and counts read these indexes, never the entries.
        {"journal_pages",
         {"CREATE INDEX journal_analyte ON journal(analyte);"
          "CREATE INDEX journal_operator ON journal(operator);"}},
        // Where a goal's bias comes from: target, peer or eqa.
        {"goal_bias", {"ALTER TABLE goal ADD COLUMN bias_from TEXT NOT NULL DEFAULT 'target';"}},
        // Patient-based QC alarms acknowledged: the alarm's date-time, the corrective action taken (UTF-8),
        // who took it and when.
        {"pqc_ack",
         {"CREATE TABLE pqc_ack(analyte TEXT NOT NULL COLLATE NOCASE, alarm REAL NOT NULL,"
          "                     action TEXT NOT NULL, operator TEXT NOT NULL, acknowledged_utc TEXT NOT NULL,"
          "                     PRIMARY KEY(analyte, alarm));"}},
    };
    return parts;
}

namespace {
[[noreturn]] void Fail(sqlite3* db, const std::string& what) {
    throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Database error: %1: %2"), what,
                        (db ? sqlite3_errmsg(db) : "out of memory")));
}
} // namespace

TStatement::TStatement(sqlite3* db, std::string_view sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &st_, nullptr) != SQLITE_OK)
        Fail(db, std::string(sql.substr(0, 60)));
}

TStatement::~TStatement() {
    if (!st_) return;
    // A database's few texts are kept a handful deep: nested uses of one text are rare.
    constexpr size_t kKeptPerText = 4;
    if (std::shared_ptr<TStatementCache> cache = cache_.lock();
        cache && cache->Db == db_ && slot_->size() < kKeptPerText) {
        sqlite3_reset(st_);
        sqlite3_clear_bindings(st_);
        slot_->push_back(st_);
        return;
    }
    sqlite3_finalize(st_);
}

TStatementCache::~TStatementCache() {
    for (auto& [text, statements] : Idle)
        for (sqlite3_stmt* st : statements) sqlite3_finalize(st);
}

TStatement& TStatement::Bind(int i, int64_t v) {
    sqlite3_bind_int64(st_, i, v);
    return *this;
}
TStatement& TStatement::Bind(int i, double v) {
    sqlite3_bind_double(st_, i, v);
    return *this;
}
TStatement& TStatement::Bind(int i, std::string_view v) {
    sqlite3_bind_text(st_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    return *this;
}
TStatement& TStatement::BindNull(int i) {
    sqlite3_bind_null(st_, i);
    return *this;
}

bool TStatement::Step() {
    int rc = sqlite3_step(st_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    Fail(db_, sqlite3_sql(st_) ? std::string(sqlite3_sql(st_)).substr(0, 60) : "step");
}

void TStatement::Reset() {
    sqlite3_reset(st_);
    sqlite3_clear_bindings(st_);
}

int64_t TStatement::Int(int col) const {
    return sqlite3_column_int64(st_, col);
}
double TStatement::Real(int col) const {
    return sqlite3_column_double(st_, col);
}
std::string TStatement::Text(int col) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_blob(st_, col));
    return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(st_, col))) : std::string();
}
bool TStatement::IsNull(int col) const {
    return sqlite3_column_type(st_, col) == SQLITE_NULL;
}

TDatabase::~TDatabase() {
    Close();
}

void TDatabase::Close() {
    cache_.reset();
    newest_.clear();
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
}

std::string TDatabase::Damage() const {
    if (!db_) return {};
    std::string problem;
    try {
        TStatement st(db_, "PRAGMA quick_check");
        while (st.Step())
            if (const std::string line = st.Text(0); line != "ok")
                problem += (problem.empty() ? "" : "; ") + line;
    } catch (const EQcError& e) {
        problem = e.what();
    }
    return problem;
}

bool TDatabase::LooksLikeDatabase(const std::string& path) {
    std::string head;
    try {
        head = ReadWholeFile(path).substr(0, 16);
    } catch (const EQcError&) {
        return false;
    }
    return head == std::string("SQLite format 3\0", 16);
}

TDatabase::THealth TDatabase::Check(bool whole) const {
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db_, whole ? "PRAGMA quick_check" : "SELECT count(*) FROM sqlite_schema", -1,
                                &st, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_step(st);
    std::string first;
    if (rc == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        first = text ? text : "";
    }
    sqlite3_finalize(st);
    if (rc == SQLITE_ROW) return !whole || first == "ok" ? THealth::Sound : THealth::Damaged;
    const int primary = sqlite3_extended_errcode(db_) & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB ? THealth::Damaged : THealth::Unusable;
}

void TDatabase::Open(const std::string& path, bool create) {
    Close();
    path_ = path;
    keptAs_.clear();
    if (!FileExists(path) && !create) return;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const bool existed = FileExists(path);
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
            SQLITE_OK) {
            std::string why = db_ ? sqlite3_errmsg(db_) : "out of memory";
            Close();
            throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Cannot open %1: %2"), path, why), path, why);
        }
        sqlite3_busy_timeout(db_, 5000);
        sqlite3_extended_result_codes(db_, 1);
        if (!existed) {
            // SQLite makes its files 0644 whatever the umask. The database holds the password hashes:
            // no access for others, the group's only in a folder it shares (its log files take its mode).
            ::chmod(path.c_str(), PrivateNewFileMode());
            break;
        }
        // A database made before its files were private is closed to others now.
        for (const char* side : {"", "-wal", "-shm"}) {
            struct stat st;
            const std::string file = path + side;
            if (::lstat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
                PrivateMode(st.st_mode & 07777) != (st.st_mode & 07777))
                ::chmod(file.c_str(), PrivateMode(st.st_mode & 07777));
        }
        THealth health = Check(false);
        if (health == THealth::Sound) break;
        if (health == THealth::Unusable) {
            // A full disk, a read-only medium or an I/O error is no damage: the file is left as it is.
            std::string why = sqlite3_errmsg(db_);
            Close();
            throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Database error: %1 (%2)"), why, path), path, why);
        }
        Close();
        // Keep the damaged database and its log for the laboratory, then start a new one.
        keptAs_ = KeepUnreadableFile(path);
        if (keptAs_.empty())
            throw EQcError(
                Fill(QT_TRANSLATE_NOOP("Core", "The damaged database %1 could not be kept aside"), path));
        for (const char* side : {"-wal", "-shm"})
            if (FileExists(path + side)) ::rename((path + side).c_str(), (keptAs_ + side).c_str());
    }
    try {
        Exec("PRAGMA journal_mode=WAL");
        Exec("PRAGMA synchronous=FULL");
        Exec("PRAGMA foreign_keys=ON");
        Migrate();
    } catch (const EQcError&) {
        Close();
        throw;
    }
}

namespace {
// Read-only and immutable: SQLite takes no locks and makes no -wal or -shm file beside the file.
int OpenImmutable(const std::string& path, sqlite3** db) {
    std::string uri = "file:";
    for (char c : path) {
        if (c == '%' || c == '?' || c == '#') {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", static_cast<unsigned char>(c));
            uri += hex;
        } else
            uri += c;
    }
    uri += "?immutable=1";
    return sqlite3_open_v2(uri.c_str(), db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
}
} // namespace

void TDatabase::OpenUnchanging(const std::string& path) {
    Close();
    path_ = path;
    keptAs_.clear();
    if (!FileExists(path)) return;
    if (OpenImmutable(path, &db_) != SQLITE_OK) {
        Close();
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Cannot read %1"), path));
    }
}

void TDatabase::OpenReadOnly(const std::string& path) {
    Close();
    path_ = path;
    keptAs_.clear();
    if (!FileExists(path)) return;
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        Close();
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Cannot read %1"), path));
    }
    sqlite3_busy_timeout(db_, 5000);
    // A newer part is read as far as this program understands it; nothing is written.
}

int TDatabase::Version(std::string_view part) const {
    if (auto known = newest_.find(part); known != newest_.end()) return known->second;
    TStatement exists = Prepare("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'schema'");
    if (!exists.Step()) return 0;
    TStatement st = Prepare("SELECT version FROM schema WHERE part = ?");
    st.Bind(1, part);
    const int version = st.Step() ? static_cast<int>(st.Int(0)) : 0;
    for (const TSchemaPart& p : SchemaParts())
        if (part == p.Name && version == static_cast<int>(p.Steps.size()))
            newest_.emplace(std::string(part), version);
    return version;
}

void TDatabase::Migrate() {
    newest_.clear();
    const std::vector<TSchemaPart>& parts = SchemaParts();
    {
        TTransaction t(*this);
        Exec("CREATE TABLE IF NOT EXISTS schema(part TEXT PRIMARY KEY, version INTEGER NOT NULL)");
        t.Commit();
    }
    // A part newer than this program, or one it does not know, was written by a newer program.
    TStatement stored(db_, "SELECT part, version FROM schema");
    while (stored.Step()) {
        const std::string name = stored.Text(0);
        const int64_t version = stored.Int(1);
        auto known =
            std::find_if(parts.begin(), parts.end(), [&](const TSchemaPart& p) { return name == p.Name; });
        if (known == parts.end() || version > static_cast<int64_t>(known->Steps.size()))
            throw EQcError(
                Fill(QT_TRANSLATE_NOOP(
                         "Core",
                         "The database %1 was written by a newer Varnholt (%2 %3); this one cannot use it"),
                     path_, name, std::to_string(version)));
    }
    for (const TSchemaPart& part : parts) {
        for (int version = Version(part.Name); version < static_cast<int>(part.Steps.size()); ++version) {
            TTransaction t(*this);
            Exec(part.Steps[static_cast<size_t>(version)]);
            TStatement set(db_, "INSERT INTO schema(part, version) VALUES(?1, ?2) "
                                "ON CONFLICT(part) DO UPDATE SET version = ?2");
            set.Bind(1, part.Name).Bind(2, static_cast<int64_t>(version + 1));
            set.Step();
            t.Commit();
        }
    }
}

TStatement TDatabase::Prepare(std::string_view sql) const {
    if (!db_) throw EQcError(QT_TRANSLATE_NOOP("Core", "The database is not open"));
    if (!cache_ || cache_->Db != db_) cache_ = std::make_shared<TStatementCache>(db_);
    auto slot = cache_->Idle.find(sql);
    if (slot == cache_->Idle.end())
        slot = cache_->Idle.emplace(std::string(sql), std::vector<sqlite3_stmt*>()).first;
    if (!slot->second.empty()) {
        sqlite3_stmt* st = slot->second.back();
        slot->second.pop_back();
        return TStatement(db_, st, cache_, &slot->second);
    }
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v3(db_, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &st,
                           nullptr) != SQLITE_OK)
        Fail(db_, std::string(sql.substr(0, 60)));
    return TStatement(db_, st, cache_, &slot->second);
}

void TDatabase::Exec(std::string_view sql) const {
    if (!db_) throw EQcError(QT_TRANSLATE_NOOP("Core", "The database is not open"));
    char* error = nullptr;
    std::string s(sql);
    if (sqlite3_exec(db_, s.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string what = error ? error : "unknown error";
        sqlite3_free(error);
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Database error: %1 (%2)"), what, path_));
    }
}

TDatabase::TTransaction::TTransaction(const TDatabase& db) : db_(db) {
    db_.Exec("BEGIN IMMEDIATE");
}

TDatabase::TTransaction::~TTransaction() {
    if (open_) try {
            db_.Exec("ROLLBACK");
        } catch (const EQcError&) {
        }
}

void TDatabase::TTransaction::Commit() {
    db_.Exec("COMMIT");
    open_ = false;
}

std::optional<std::string> TDatabase::Meta(std::string_view key) const {
    TStatement st = Prepare("SELECT value FROM meta WHERE key = ?");
    st.Bind(1, key);
    if (!st.Step()) return std::nullopt;
    return st.Text(0);
}

void TDatabase::SetMeta(std::string_view key, std::string_view value) const {
    TStatement st = Prepare("INSERT INTO meta(key, value) VALUES(?, ?) "
                            "ON CONFLICT(key) DO UPDATE SET value = excluded.value");
    st.Bind(1, key).Bind(2, value);
    st.Step();
}

namespace {
// An image whose header names the rollback journal rather than the write-ahead log: it opens as a
// single file, with nothing beside it (a copy on a read-only medium, an image held in memory).
void AsSingleFile(std::string& image) {
    if (image.size() >= 20 && image.compare(0, 16, std::string("SQLite format 3\0", 16)) == 0)
        image[18] = image[19] = 1;
}
} // namespace

std::string TDatabase::Image() const {
    if (!db_) throw EQcError(QT_TRANSLATE_NOOP("Core", "The database is not open"));
    // A consistent image of every page, taken in one read transaction.
    sqlite3_int64 size = 0;
    TStatement begin(db_, "BEGIN");
    begin.Step();
    unsigned char* image = sqlite3_serialize(db_, "main", &size, 0);
    Exec("COMMIT");
    if (!image) Fail(db_, "copy of " + path_);
    std::string bytes(reinterpret_cast<const char*>(image), static_cast<size_t>(size));
    sqlite3_free(image);
    AsSingleFile(bytes);
    return bytes;
}

void TDatabase::ReplaceFrom(const std::string& path, const std::vector<std::string>& keep,
                            const std::vector<std::string>& keepMeta) {
    if (!db_) throw EQcError(QT_TRANSLATE_NOOP("Core", "The database is not open"));
    // The new database is made whole in memory, from the copy read in one piece (no log needed beside
    // it), and then takes the place of the file in one rename: a crash leaves the old database or
    // the new one, never the copy without what is kept.
    std::string image;
    try {
        image = ReadWholeFile(path);
    } catch (const EQcError&) {
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Cannot read %1"), path));
    }
    if (image.compare(0, 16, std::string("SQLite format 3\0", 16)) != 0)
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Cannot read %1"), path));
    AsSingleFile(image);
    TDatabase fresh;
    fresh.path_ = path;
    if (sqlite3_open_v2(":memory:", &fresh.db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK)
        Fail(fresh.db_, "restore from " + path);
    auto* pages = static_cast<unsigned char*>(sqlite3_malloc64(image.size()));
    if (!pages) Fail(nullptr, "restore from " + path);
    std::memcpy(pages, image.data(), image.size());
    const auto size = static_cast<sqlite3_int64>(image.size());
    if (sqlite3_deserialize(fresh.db_, "main", pages, size, size,
                            SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_RESIZEABLE) != SQLITE_OK)
        Fail(fresh.db_, "restore from " + path);
    if (fresh.Check(true) != THealth::Sound)
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Cannot read %1"), path));
    fresh.Migrate();
    {
        TStatement attach(fresh.db_, "ATTACH DATABASE ?1 AS live");
        attach.Bind(1, path_);
        attach.Step();
    }
    try {
        // Deferred: only the copy in memory is written.
        fresh.Exec("BEGIN");
        for (const std::string& table : keep) {
            TStatement exists(fresh.db_,
                              "SELECT 1 FROM live.sqlite_master WHERE type = 'table' AND name = ?");
            exists.Bind(1, table);
            if (!exists.Step()) continue;
            fresh.Exec("DELETE FROM main." + table + "; INSERT INTO main." + table + " SELECT * FROM live." +
                       table);
        }
        for (const std::string& key : keepMeta) {
            TStatement drop(fresh.db_, "DELETE FROM main.meta WHERE key = ?");
            drop.Bind(1, key);
            drop.Step();
            TStatement copy(fresh.db_, "INSERT INTO main.meta SELECT * FROM live.meta WHERE key = ?");
            copy.Bind(1, key);
            copy.Step();
        }
        fresh.Exec("COMMIT");
    } catch (const EQcError&) {
        fresh.Close();
        throw;
    }
    fresh.Exec("DETACH DATABASE live");
    image = fresh.Image();
    fresh.Close();

    // Everything in the log goes into the file first: a log left beside the new file would be read
    // into it.
    {
        TStatement checkpoint = Prepare("PRAGMA wal_checkpoint(TRUNCATE)");
        if (checkpoint.Step() && checkpoint.Int(0) != 0)
            throw EQcError(
                Fill(QT_TRANSLATE_NOOP("Core", "Database error: %1 (%2)"), "database is busy", path_));
    }
    const std::string live = path_;
    Close();
    struct stat wal;
    const bool logLeft = ::stat((live + "-wal").c_str(), &wal) == 0 && wal.st_size > 0;
    try {
        if (logLeft)
            throw EQcError(
                Fill(QT_TRANSLATE_NOOP("Core", "Database error: %1 (%2)"), "its log is still in use", live));
        AtomicWriteFile(live, image);
    } catch (const EQcError&) {
        Open(live);
        throw;
    }
    Open(live);
}
