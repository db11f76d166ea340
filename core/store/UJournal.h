// The journal of changes in Varnholt.db: its entries, their SHA-256 chain, reading, checking, CSV.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "URegional.h"

class TDatabase;

// A review sign-off: the points of an analyte from one day to another, signed by an operator.
struct TReview {
    int64_t Id = 0;
    std::string Analyte; // as the analyte's name (Windows-1252)
    TDateTime First = 0, Last = 0;
    std::string Reviewer, SignedUtc, SignedLocal; // the reviewer's operator code
    std::string ReopenedUtc, ReopenedReason;
    bool Reopened() const { return !ReopenedUtc.empty(); }
    bool Covers(TDateTime dt) const { return dt >= First && dt < Last + 1; }
};

// The kinds of entry. Texts, not numbers: they are what an auditor reads in the table and the CSV.
namespace jk {
inline constexpr const char* JournalStarted = "journal started";
inline constexpr const char* RunAccepted = "run accepted";
inline constexpr const char* RunWithViolations = "run accepted with violations";
inline constexpr const char* RunHeld = "run held";
inline constexpr const char* RunRecalled = "run recalled";
inline constexpr const char* QueueCleared = "queue cleared";
inline constexpr const char* LevelDiscarded = "level discarded";
inline constexpr const char* LevelRetrieved = "level retrieved";
inline constexpr const char* PointEdited = "point edited";
inline constexpr const char* PointDeleted = "point deleted";
inline constexpr const char* LimitsChanged = "limits changed";
inline constexpr const char* OptionsChanged = "options changed";
inline constexpr const char* LevelArchived = "level erased and archived";
inline constexpr const char* ArchiveDeleted = "archive deleted";
inline constexpr const char* MaterialChanged = "material changed";
inline constexpr const char* LotChanged = "lot changed";
inline constexpr const char* AnalyteChanged = "analyte definition";
inline constexpr const char* AssignmentChanged = "assignment changed";
inline constexpr const char* Import = "import";
inline constexpr const char* RandomRuns = "random runs";
inline constexpr const char* Restore = "restore";
inline constexpr const char* Backup = "backup";
inline constexpr const char* SettingsChanged = "settings changed";
inline constexpr const char* OperatorsChanged = "operators changed";
inline constexpr const char* PasswordChanged = "password changed";
inline constexpr const char* CorrectiveActions = "corrective actions list";
inline constexpr const char* ReviewSigned = "review signed";
inline constexpr const char* ReviewReopened = "review reopened";
inline constexpr const char* GoalChanged = "quality goal";
inline constexpr const char* MappingChanged = "instrument mapping";
inline constexpr const char* InboxChanged = "inbox settings";
inline constexpr const char* InboxDiscarded = "inbox discarded";
inline constexpr const char* EqaRecorded = "EQA result";
inline constexpr const char* EqaAction = "EQA corrective action";
inline constexpr const char* PeerRecorded = "peer statistics";
inline constexpr const char* PatientQcChanged = "patient-based QC";
// A procedure's statistic left its limits with the results just recorded.
inline constexpr const char* PatientQcAlarm = "patient-based QC alarm";
inline constexpr const char* PatientQcAcknowledged = "patient-based QC alarm acknowledged";
inline constexpr const char* SignedIn = "signed in";
inline constexpr const char* SignInRefused = "sign-in refused";
// An edit another bench's change made before it could not be saved: Before what the server holds,
// After what this bench wanted.
inline constexpr const char* EditRefused = "edit refused";
} // namespace jk

// Every kind, in the order the journal window lists them.
const std::vector<std::string>& JournalKinds();

// One entry. Texts are UTF-8, as stored: the journal is read outside the program too.
struct TJournalEntry {
    int64_t Id = 0;        // the sequence number, from 1 without gaps
    std::string TimeUtc;   // 2026-03-01T08:30:00Z
    std::string TimeLocal; // 2026-03-01 09:30:00 +01:00
    std::string Operator, Kind, Analyte;
    int Level = 0;     // 1 to 3, 0 when the entry is not about one level
    std::string Point; // the point's date-time, yyyy-mm-dd hh:mm, empty when not about a point
    std::string Before, After, Reason;
    std::string Hash; // hex SHA-256 of the previous entry's hash and this entry's fields
};

// The hash of an entry chained on the previous one's (64 zeros before the first).
std::string JournalHash(std::string_view previous, const TJournalEntry& e);
inline const std::string FirstPreviousHash(64, '0');

struct TJournalFilter {
    std::string Analyte; // UTF-8; empty for all
    std::string Kind;
    std::string Operator;
    std::optional<TDateTime> From, To; // days of the entries' local time, both included
};
bool Matches(const TJournalFilter& f, const TJournalEntry& e);

// The completed entries in order.
std::vector<TJournalEntry> ReadJournal(const TDatabase& db, const TJournalFilter& filter = {});

// The outcome of checking the chain.
struct TJournalCheck {
    bool Whole = true;
    int64_t Entries = 0;
    int64_t FirstBad = 0; // the first entry that does not match (0 when whole)
    std::string Message;  // says which entry and why
};
// The whole chain from the first entry, read entry by entry; progress (if given) is told the entries
// checked and their count now and then. A whole chain is recorded as verified (the meta key
// journal_verified: id and hash of its last entry) when the database can be written.
TJournalCheck VerifyJournal(const TDatabase& db,
                            const std::function<void(int64_t done, int64_t total)>& progress = {});
// Only the entries added since the last verified one, when that entry still holds the hash recorded
// with it; else the whole chain. A change to an entry before the verified one is found by VerifyJournal.
TJournalCheck VerifyJournalAdded(const TDatabase& db);
// The check of entries in id order against the record of the last one written (id and hash), if kept.
TJournalCheck CheckJournalChain(const std::vector<TJournalEntry>& entries,
                                const std::optional<std::pair<int64_t, std::string>>& head);

// The entries as CSV in UTF-8, one header line, fields quoted where needed, CR LF line ends.
std::string JournalCsv(const std::vector<TJournalEntry>& entries);

// The local time of an entry made now (its UTC time: UtcTimeText).
std::string LocalTimeText();
// A point's date-time in the journal's form (yyyy-mm-dd hh:mm).
std::string JournalDateTime(TDateTime dt);
// A value with the analyte's decimals, with a point whatever the regional settings.
std::string JournalValue(double v, int decimals);

// The hash the journal's pending entries keep of the file they wait for (not a security hash:
// it tells the written file from the one before, fast).
std::string FileStateHash(std::string_view bytes);
// The same hash of bytes given in pieces; Text() of what was given so far, as FileStateHash of it.
class TFileStateHasher {
public:
    TFileStateHasher();
    ~TFileStateHasher();
    TFileStateHasher(const TFileStateHasher& other);
    TFileStateHasher& operator=(const TFileStateHasher& other);
    void Update(std::string_view bytes);
    std::string Text() const;

private:
    struct TState;
    std::unique_ptr<TState> state_;
};

// Operators' own passwords: Argon2id strings, as libsodium makes and checks them.
std::string HashPassword(const std::string& password);
bool PasswordHashMatches(const std::string& hash, const std::string& typed);
