// The journal's entries: chained SHA-256 hashes, reading with filters, checking the chain, CSV.
#include "UJournal.h"
#include "UJournalRows.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>
#include <new>
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
    static const std::vector<std::string> kinds = {jk::RunAccepted,
                                                   jk::RunWithViolations,
                                                   jk::RunHeld,
                                                   jk::RunRecalled,
                                                   jk::QueueCleared,
                                                   jk::LevelDiscarded,
                                                   jk::LevelRetrieved,
                                                   jk::PointEdited,
                                                   jk::PointDeleted,
                                                   jk::LimitsChanged,
                                                   jk::OptionsChanged,
                                                   jk::LevelArchived,
                                                   jk::ArchiveDeleted,
                                                   jk::MaterialChanged,
                                                   jk::LotChanged,
                                                   jk::AnalyteChanged,
                                                   jk::AssignmentChanged,
                                                   jk::Import,
                                                   jk::RandomRuns,
                                                   jk::Restore,
                                                   jk::Backup,
                                                   jk::SettingsChanged,
                                                   jk::OperatorsChanged,
                                                   jk::PasswordChanged,
                                                   jk::CorrectiveActions,
                                                   jk::ReviewSigned,
                                                   jk::ReviewReopened,
                                                   jk::GoalChanged,
                                                   jk::MappingChanged,
                                                   jk::InboxChanged,
                                                   jk::InboxDiscarded,
                                                   jk::EqaRecorded,
                                                   jk::EqaAction,
                                                   jk::PeerRecorded,
                                                   jk::PatientQcChanged,
                                                   jk::PatientQcAlarm,
                                                   jk::PatientQcAcknowledged,
                                                   jk::SignedIn,
                                                   jk::SignInRefused,
                                                   jk::EditRefused,
                                                   jk::JournalStarted};
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

void InsertJournalEntry(const TDatabase& db, const TJournalEntry& e) {
    TStatement st =
        db.Prepare("INSERT INTO journal(id, time_utc, time_local, operator, kind, analyte, level, "
                   "point, before, after, reason, hash) VALUES(?,?,?,?,?,?,?,?,?,?,?,?)");
    st.Bind(1, e.Id).Bind(2, e.TimeUtc).Bind(3, e.TimeLocal).Bind(4, e.Operator).Bind(5, e.Kind);
    st.Bind(6, e.Analyte).Bind(7, static_cast<int64_t>(e.Level)).Bind(8, e.Point).Bind(9, e.Before);
    st.Bind(10, e.After).Bind(11, e.Reason).Bind(12, e.Hash);
    st.Step();
}

TJournalEntry JournalEntryOf(const TStatement& st) {
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

std::vector<TJournalEntry> ReadJournal(const TDatabase& db, const TJournalFilter& filter) {
    std::vector<TJournalEntry> out;
    if (!db.IsOpen() || db.Version("journal") == 0) return out;
    TStatement st = db.Prepare(std::string("SELECT ") + JournalEntryColumns + " FROM journal ORDER BY id");
    while (st.Step()) {
        TJournalEntry e = JournalEntryOf(st);
        if (Matches(filter, e)) out.push_back(std::move(e));
    }
    return out;
}

namespace {
std::optional<std::pair<int64_t, std::string>> IdAndHash(const std::optional<std::string>& h) {
    if (!h) return std::nullopt;
    const size_t space = h->find(' ');
    return std::make_pair(static_cast<int64_t>(std::atoll(h->substr(0, space).c_str())),
                          space == std::string::npos ? std::string() : h->substr(space + 1));
}

// Checks entries in id order, one at a time, chained on the hash of the entry before the first.
class TChainCheck {
public:
    TChainCheck(int64_t first, std::string previous) : expected_(first), previous_(std::move(previous)) {}
    // False once an entry does not fit; the check then says why.
    bool Add(const TJournalEntry& e) {
        if (e.Id != expected_)
            return Bad(expected_, e.Id > expected_ ? "is missing (the journal goes on with entry " +
                                                         std::to_string(e.Id) + ")"
                                                   : "is out of sequence");
        if (JournalHash(previous_, e) != e.Hash)
            return Bad(e.Id, "does not match its hash: it was changed, or an entry before it was "
                             "removed or inserted");
        previous_ = e.Hash;
        ++expected_;
        ++check_.Entries;
        return true;
    }
    // The last entry written is recorded apart, so that entries removed from the end are noticed.
    TJournalCheck End(const std::optional<std::pair<int64_t, std::string>>& head) {
        if (check_.Whole && head) {
            const auto& [last, hash] = *head;
            if (last >= expected_)
                Bad(expected_, "is missing (entries " + std::to_string(expected_) + " to " +
                                   std::to_string(last) + " were written and are gone)");
            else if (last == expected_ - 1 && last > 0 && hash != previous_)
                Bad(last, "is not the entry that was written last");
        }
        return check_;
    }
    int64_t Last() const { return expected_ - 1; }
    const std::string& LastHash() const { return previous_; }

private:
    bool Bad(int64_t id, const std::string& why) {
        check_.Whole = false;
        check_.FirstBad = id;
        check_.Message = Fill(QT_TRANSLATE_NOOP("Core", "Journal entry %1 %2"), std::to_string(id), why);
        return false;
    }
    TJournalCheck check_;
    int64_t expected_;
    std::string previous_;
};

const char* const VerifiedKey = "journal_verified";

// Streams the entries after `after` through the check and records a whole chain as verified.
TJournalCheck CheckFrom(const TDatabase& db, int64_t after, const std::string& previous, int64_t counted,
                        const std::function<void(int64_t, int64_t)>& progress) {
    TChainCheck chain(after + 1, previous);
    int64_t total = 0;
    if (progress) {
        TStatement count = db.Prepare("SELECT count(*) FROM journal");
        if (count.Step()) total = count.Int(0);
    }
    TStatement st =
        db.Prepare(std::string("SELECT ") + JournalEntryColumns + " FROM journal WHERE id > ? ORDER BY id");
    st.Bind(1, after);
    while (st.Step()) {
        if (!chain.Add(JournalEntryOf(st))) break;
        if (progress && chain.Last() % 4096 == 0) progress(chain.Last(), total);
    }
    TJournalCheck check = chain.End(IdAndHash(db.Meta("journal_head")));
    check.Entries += counted;
    if (progress) progress(check.Whole ? total : chain.Last(), total);
    if (check.Whole && chain.Last() > after) try {
            db.SetMeta(VerifiedKey, std::to_string(chain.Last()) + " " + chain.LastHash());
        } catch (const EQcError&) {
            // A database opened for reading keeps its record; the next writer's check records it.
        }
    return check;
}
} // namespace

TJournalCheck VerifyJournal(const TDatabase& db, const std::function<void(int64_t, int64_t)>& progress) {
    if (!db.IsOpen() || db.Version("journal") == 0) return {};
    return CheckFrom(db, 0, FirstPreviousHash, 0, progress);
}

TJournalCheck VerifyJournalAdded(const TDatabase& db) {
    if (!db.IsOpen() || db.Version("journal") == 0) return {};
    if (const auto verified = IdAndHash(db.Meta(VerifiedKey)); verified && verified->first > 0) {
        // The verified entry as it was recorded, and its fields still giving its hash: the chain up to
        // it is taken as checked.
        TStatement st = db.Prepare(std::string("SELECT ") + JournalEntryColumns +
                                   " FROM journal WHERE id >= ? AND id <= ? ORDER BY id");
        st.Bind(1, verified->first - 1).Bind(2, verified->first);
        std::string previous = FirstPreviousHash;
        if (verified->first > 1 && st.Step()) previous = JournalEntryOf(st).Hash;
        if (st.Step()) {
            const TJournalEntry e = JournalEntryOf(st);
            if (e.Id == verified->first && e.Hash == verified->second && JournalHash(previous, e) == e.Hash)
                return CheckFrom(db, e.Id, e.Hash, e.Id, {});
        }
    }
    return VerifyJournal(db);
}

TJournalCheck CheckJournalChain(const std::vector<TJournalEntry>& entries,
                                const std::optional<std::pair<int64_t, std::string>>& head) {
    TChainCheck chain(1, FirstPreviousHash);
    for (const TJournalEntry& e : entries)
        if (!chain.Add(e)) break;
    return chain.End(head);
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

struct TFileStateHasher::TState {
    struct TFree {
        void operator()(XXH3_state_t* s) const { XXH3_freeState(s); }
    };
    std::unique_ptr<XXH3_state_t, TFree> State{XXH3_createState()};
    TState() {
        if (!State) throw std::bad_alloc();
    }
};

TFileStateHasher::TFileStateHasher() : state_(std::make_unique<TState>()) {
    XXH3_128bits_reset(state_->State.get());
}
TFileStateHasher::~TFileStateHasher() = default;
TFileStateHasher::TFileStateHasher(const TFileStateHasher& other) : state_(std::make_unique<TState>()) {
    XXH3_copyState(state_->State.get(), other.state_->State.get());
}
TFileStateHasher& TFileStateHasher::operator=(const TFileStateHasher& other) {
    if (this != &other) XXH3_copyState(state_->State.get(), other.state_->State.get());
    return *this;
}

void TFileStateHasher::Update(std::string_view bytes) {
    XXH3_128bits_update(state_->State.get(), bytes.data(), bytes.size());
}

std::string TFileStateHasher::Text() const {
    XXH128_hash_t h = XXH3_128bits_digest(state_->State.get());
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
