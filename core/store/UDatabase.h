// Varnholt.db: the embedded SQLite database for what the legacy files cannot hold.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// The statements a database prepared once and keeps for the next use of the same text; finalized
// with the connection.
struct TStatementCache {
    explicit TStatementCache(sqlite3* db) : Db(db) {}
    ~TStatementCache();
    TStatementCache(const TStatementCache&) = delete;
    TStatementCache& operator=(const TStatementCache&) = delete;
    sqlite3* Db;
    std::map<std::string, std::vector<sqlite3_stmt*>, std::less<>> Idle;
};

// One prepared statement; columns and parameters are numbered from 0 and 1 as SQLite numbers them.
class TStatement {
public:
    TStatement(sqlite3* db, std::string_view sql);
    ~TStatement();
    TStatement(const TStatement&) = delete;
    TStatement& operator=(const TStatement&) = delete;
    TStatement(TStatement&& o) noexcept
        : db_(o.db_), st_(o.st_), cache_(std::move(o.cache_)), slot_(o.slot_) {
        o.st_ = nullptr;
    }

    TStatement& Bind(int i, int64_t v);
    TStatement& Bind(int i, double v);
    TStatement& Bind(int i, std::string_view v);
    TStatement& BindNull(int i);
    // True while a row is there; false when done. Throws EQcError on failure.
    bool Step();
    void Reset();
    int64_t Int(int col) const;
    double Real(int col) const;
    std::string Text(int col) const;
    bool IsNull(int col) const;

private:
    friend class TDatabase;
    TStatement(sqlite3* db, sqlite3_stmt* st, std::weak_ptr<TStatementCache> cache,
               std::vector<sqlite3_stmt*>* slot)
        : db_(db), st_(st), cache_(std::move(cache)), slot_(slot) {}
    sqlite3* db_;
    sqlite3_stmt* st_ = nullptr;
    // Where the statement goes back to when done with, while its database is open.
    std::weak_ptr<TStatementCache> cache_;
    std::vector<sqlite3_stmt*>* slot_ = nullptr;
};

// One part of the database's schema (the base, the journal, goals, ...): its steps, each bringing the
// part from its index to the next version. A part's steps are only ever appended to, never edited once
// they have shipped. Each part keeps its version in the table `schema`, so that parts grow without
// renumbering each other.
struct TSchemaPart {
    const char* Name;
    std::vector<const char*> Steps;
};
// Every part this program knows, in the order they are brought up to date.
const std::vector<TSchemaPart>& SchemaParts();

class TDatabase {
public:
    static constexpr const char* FileName = "Varnholt.db";

    TDatabase() = default;
    ~TDatabase();
    TDatabase(const TDatabase&) = delete;
    TDatabase& operator=(const TDatabase&) = delete;

    // Opens the database, creating it when `create` and it is missing, and brings every part of its
    // schema up to date (write-ahead log). A file that is not a sound database is kept aside (KeptAs
    // names where) and a new one is made, never written over. Throws EQcError when the database cannot
    // be used at all (a part newer than the program or one it does not know, a full disk, a folder
    // that cannot be written).
    void Open(const std::string& path, bool create = true);
    // Opens an existing database for reading only; a missing one leaves it closed.
    void OpenReadOnly(const std::string& path);
    // Opens a file that nothing changes (a backup copy) for reading, without locks and without writing
    // anything beside it (no -wal or -shm on the backup medium); a missing one leaves it closed.
    void OpenUnchanging(const std::string& path);
    void Close();
    bool IsOpen() const { return db_ != nullptr; }
    const std::string& Path() const { return path_; }
    // Where a damaged database was kept by the last Open, empty when none was.
    const std::string& KeptAs() const { return keptAs_; }
    // The version of a part of the schema, 0 when the database has none of it.
    int Version(std::string_view part) const;

    // A statement of this text, prepared once per connection and reused.
    TStatement Prepare(std::string_view sql) const;
    void Exec(std::string_view sql) const;

    // One write transaction (BEGIN IMMEDIATE); rolled back unless committed.
    class TTransaction {
    public:
        explicit TTransaction(const TDatabase& db);
        ~TTransaction();
        void Commit();

    private:
        const TDatabase& db_;
        bool open_ = true;
    };

    std::optional<std::string> Meta(std::string_view key) const;
    void SetMeta(std::string_view key, std::string_view value) const;

    // A consistent copy of the whole database, as bytes; the copy is a single file (no log beside it is
    // needed to open it).
    std::string Image() const;
    // Replaces the contents by those of a database file, in one rename: a crash leaves the old database
    // or the new one. The tables named in `keep` and the meta keys in `keepMeta` keep their present rows
    // (a record of what happened is not rolled back by a restore).
    void ReplaceFrom(const std::string& path, const std::vector<std::string>& keep = {},
                     const std::vector<std::string>& keepMeta = {});

    // True when the bytes at path start as an SQLite database does.
    static bool LooksLikeDatabase(const std::string& path);
    // Every page checked (it takes time in proportion to the file, so it is run on demand, not at
    // every open): empty when sound, else what is wrong.
    std::string Damage() const;

private:
    enum class THealth { Sound, Damaged, Unusable };
    void Migrate();
    // Damaged: not a database, or its pages do not check; Unusable: it cannot be read now (disk full,
    // I/O error), which says nothing of the file.
    // `whole`: every page; else the header and the schema, which an open reads anyway.
    THealth Check(bool whole) const;
    sqlite3* db_ = nullptr;
    mutable std::shared_ptr<TStatementCache> cache_;
    // Parts found at this program's newest version: no other program of this version moves them.
    mutable std::map<std::string, int, std::less<>> newest_;
    std::string path_;
    std::string keptAs_;
};
