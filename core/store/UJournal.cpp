// The journal's entries: chained SHA-256 hashes, reading with filters, checking the chain, CSV.
#include "UJournal.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <sodium.h>
#include <xxhash.h>

#include "UDatabase.h"
#include "UQcError.h"
#include "UTexts.h"

namespace {
void EnsureSodium() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (sodium_init() < 0)
            throw EQcError(QT_TRANSLATE_NOOP("Core", "The hashing library could not be started"));
    });
}

std::string Hex(const unsigned char* bytes, size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string s;
    s.reserve(2 * n);
    for (size_t i = 0; i < n; ++i) {
        s += digits[bytes[i] >> 4];
        s += digits[bytes[i] & 15];
    }
    return s;
}

// Each field with its length first, so that no text can be shifted from one field to the next.
void Field(crypto_hash_sha256_state& st, std::string_view v) {
    std::string head = std::to_string(v.size()) + ":";
    crypto_hash_sha256_update(&st, reinterpret_cast<const unsigned char*>(head.data()), head.size());
    crypto_hash_sha256_update(&st, reinterpret_cast<const unsigned char*>(v.data()), v.size());
}
} // namespace

const std::vector<std::string>& JournalKinds() {
    static const std::vector<std::string> kinds = {
        jk::RunAccepted,       jk::RunWithViolations, jk::RunHeld,
        jk::RunRecalled,       jk::QueueCleared,      jk::LevelDiscarded,
        jk::LevelRetrieved,    jk::PointEdited,       jk::PointDeleted,
        jk::LimitsChanged,     jk::OptionsChanged,    jk::LevelArchived,
        jk::ArchiveDeleted,    jk::MaterialChanged,   jk::LotChanged,
        jk::AnalyteChanged,    jk::AssignmentChanged, jk::Import,
        jk::RandomRuns,        jk::Restore,           jk::Backup,
        jk::SettingsChanged,   jk::OperatorsChanged,  jk::PasswordChanged,
        jk::CorrectiveActions, jk::ReviewSigned,      jk::ReviewReopened,
        jk::GoalChanged,       jk::MappingChanged,    jk::InboxChanged,
        jk::InboxDiscarded,    jk::JournalStarted};
    return kinds;
}

std::string JournalHash(std::string_view previous, const TJournalEntry& e) {
    EnsureSodium();
    crypto_hash_sha256_state st;
    crypto_hash_sha256_init(&st);
    Field(st, previous);
    Field(st, std::to_string(e.Id));
    for (const std::string* f : {&e.TimeUtc, &e.TimeLocal, &e.Operator, &e.Kind, &e.Analyte}) Field(st, *f);
    Field(st, std::to_string(e.Level));
    for (const std::string* f : {&e.Point, &e.Before, &e.After, &e.Reason}) Field(st, *f);
    unsigned char out[crypto_hash_sha256_BYTES];
    crypto_hash_sha256_final(&st, out);
    return Hex(out, sizeof out);
}

bool Matches(const TJournalFilter& f, const TJournalEntry& e) {
    if (!f.Analyte.empty() && f.Analyte != e.Analyte) return false;
    if (!f.Kind.empty() && f.Kind != e.Kind) return false;
    if (!f.Operator.empty() && f.Operator != e.Operator) return false;
    if (f.From || f.To) {
        auto day = IsoTextToDate(std::string_view(e.TimeLocal).substr(0, 10));
        if (!day) return false;
        if (f.From && *day < DatePart(*f.From)) return false;
        if (f.To && *day > DatePart(*f.To)) return false;
    }
    return true;
}

namespace {
constexpr const char* EntryColumns =
    "id, time_utc, time_local, operator, kind, analyte, level, point, before, after, reason, hash";

TJournalEntry EntryOf(const TStatement& st) {
    TJournalEntry e;
    e.Id = st.Int(0);
    e.TimeUtc = st.Text(1);
    e.TimeLocal = st.Text(2);
    e.Operator = st.Text(3);
    e.Kind = st.Text(4);
    e.Analyte = st.Text(5);
    e.Level = static_cast<int>(st.Int(6));
    e.Point = st.Text(7);
    e.Before = st.Text(8);
    e.After = st.Text(9);
    e.Reason = st.Text(10);
    e.Hash = st.Text(11);
    return e;
}
} // namespace

std::vector<TJournalEntry> ReadJournal(const TDatabase& db, const TJournalFilter& filter) {
    std::vector<TJournalEntry> out;
    if (!db.IsOpen() || db.Version("journal") == 0) return out;
    TStatement st = db.Prepare(std::string("SELECT ") + EntryColumns + " FROM journal ORDER BY id");
    while (st.Step()) {
        TJournalEntry e = EntryOf(st);
        if (Matches(filter, e)) out.push_back(std::move(e));
    }
    return out;
}

TJournalCheck VerifyJournal(const TDatabase& db) {
    if (!db.IsOpen() || db.Version("journal") == 0) return {};
    std::vector<TJournalEntry> entries;
    TStatement st = db.Prepare(std::string("SELECT ") + EntryColumns + " FROM journal ORDER BY id");
    while (st.Step()) entries.push_back(EntryOf(st));
    std::optional<std::pair<int64_t, std::string>> head;
    if (std::optional<std::string> h = db.Meta("journal_head")) {
        size_t space = h->find(' ');
        head.emplace(std::atoll(h->substr(0, space).c_str()),
                     space == std::string::npos ? "" : h->substr(space + 1));
    }
    return CheckJournalChain(entries, head);
}

TJournalCheck CheckJournalChain(const std::vector<TJournalEntry>& entries,
                                const std::optional<std::pair<int64_t, std::string>>& head) {
    TJournalCheck check;
    auto bad = [&check](int64_t id, std::string why) {
        check.Whole = false;
        check.FirstBad = id;
        check.Message = Fill(QT_TRANSLATE_NOOP("Core", "Journal entry %1 %2"), std::to_string(id), why);
        return check;
    };
    std::string previous = FirstPreviousHash;
    int64_t expected = 1;
    for (const TJournalEntry& e : entries) {
        if (e.Id != expected)
            return bad(expected, e.Id > expected ? "is missing (the journal goes on with entry " +
                                                       std::to_string(e.Id) + ")"
                                                 : "is out of sequence");
        if (JournalHash(previous, e) != e.Hash)
            return bad(e.Id, "does not match its hash: it was changed, or an entry before it was "
                             "removed or inserted");
        previous = e.Hash;
        ++expected;
        ++check.Entries;
    }
    // The last entry written is recorded apart, so that entries removed from the end are noticed.
    if (head) {
        const auto& [last, hash] = *head;
        if (last >= expected)
            return bad(expected, "is missing (entries " + std::to_string(expected) + " to " +
                                     std::to_string(last) + " were written and are gone)");
        if (last == expected - 1 && last > 0 && hash != previous)
            return bad(last, "is not the entry that was written last");
    }
    return check;
}

namespace {
std::string CsvField(const std::string& v) {
    if (v.find_first_of(",\"\r\n") == std::string::npos) return v;
    std::string s = "\"";
    for (char c : v) {
        if (c == '"') s += '"';
        s += c;
    }
    return s + '"';
}
} // namespace

std::string JournalCsv(const std::vector<TJournalEntry>& entries) {
    std::string s = "id,time (UTC),local time,operator,kind,analyte,level,point,before,after,reason,hash\r\n";
    for (const TJournalEntry& e : entries) {
        s += std::to_string(e.Id);
        for (const std::string* f : {&e.TimeUtc, &e.TimeLocal, &e.Operator, &e.Kind, &e.Analyte})
            s += "," + CsvField(*f);
        s += "," + (e.Level > 0 ? std::to_string(e.Level) : std::string());
        for (const std::string* f : {&e.Point, &e.Before, &e.After, &e.Reason, &e.Hash})
            s += "," + CsvField(*f);
        s += "\r\n";
    }
    return s;
}

std::string LocalTimeText() {
    std::time_t t = std::time(nullptr);
    std::tm l{};
    localtime_r(&t, &l);
    char text[40], zone[8];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &l);
    std::strftime(zone, sizeof zone, "%z", &l); // +0100
    std::string z = zone;
    if (z.size() == 5) z.insert(3, ":");
    return std::string(text) + " " + z;
}

std::string JournalDateTime(TDateTime dt) {
    TDateParts d = DecodeDate(dt);
    TTimeParts t = DecodeTime(dt);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", d.Year, d.Month, d.Day, t.Hour, t.Minute);
    return text;
}

std::string JournalValue(double v, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", std::clamp(decimals, 0, 9), v);
    return text;
}

std::string FileStateHash(std::string_view bytes) {
    XXH128_hash_t h = XXH3_128bits(bytes.data(), bytes.size());
    char text[33];
    std::snprintf(text, sizeof text, "%016llx%016llx", static_cast<unsigned long long>(h.high64),
                  static_cast<unsigned long long>(h.low64));
    return text;
}

std::string HashPassword(const std::string& password) {
    EnsureSodium();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, password.data(), password.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw EQcError(QT_TRANSLATE_NOOP("Core", "Not enough memory to protect the password"));
    return out;
}

bool PasswordHashMatches(const std::string& hash, const std::string& typed) {
    EnsureSodium();
    return crypto_pwhash_str_verify(hash.c_str(), typed.data(), typed.size()) == 0;
}
