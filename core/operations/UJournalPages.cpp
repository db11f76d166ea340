// The journal window's entries, a page at a time from the database.
#include "UJournalPages.h"

#include <algorithm>
#include <set>

#include "UDatabase.h"
#include "UJournalRows.h"
#include "UOperations.h"
#include "URegional.h"

namespace {
const TDatabase* PagedDatabase() {
    const TDatabase& db = Operations().Database();
    return db.IsOpen() && db.Version("journal") > 0 ? &db : nullptr;
}

// The filter as SQL, its parameters numbered from `first`: the same entries as Matches keeps (days of
// the local time, both included).
std::string Where(const TJournalFilter& f, int first) {
    std::string w = " WHERE 1";
    auto next = [&first] { return "?" + std::to_string(first++); };
    if (!f.Analyte.empty()) w += " AND analyte = " + next();
    if (!f.Kind.empty()) w += " AND kind = " + next();
    if (!f.Operator.empty()) w += " AND operator = " + next();
    if (f.From) w += " AND substr(time_local, 1, 10) >= " + next();
    if (f.To) w += " AND substr(time_local, 1, 10) <= " + next();
    return w;
}

void BindFilter(TStatement& st, const TJournalFilter& f, int first) {
    int i = first;
    if (!f.Analyte.empty()) st.Bind(i++, f.Analyte);
    if (!f.Kind.empty()) st.Bind(i++, f.Kind);
    if (!f.Operator.empty()) st.Bind(i++, f.Operator);
    if (f.From) st.Bind(i++, JournalDateTime(DatePart(*f.From)).substr(0, 10));
    if (f.To) st.Bind(i++, JournalDateTime(DatePart(*f.To)).substr(0, 10));
}

std::vector<std::string> Distinct(const char* column) {
    std::vector<std::string> out;
    if (const TDatabase* db = PagedDatabase()) {
        TStatement st = db->Prepare(std::string("SELECT DISTINCT ") + column + " FROM journal WHERE " +
                                    column + " <> '' ORDER BY 1");
        while (st.Step()) out.push_back(st.Text(0));
        return out;
    }
    std::set<std::string> names;
    for (const TJournalEntry& e : Operations().Journal()) {
        const std::string& name = std::string_view(column) == "analyte" ? e.Analyte : e.Operator;
        if (!name.empty()) names.insert(name);
    }
    return {names.begin(), names.end()};
}
} // namespace

TJournalPages::TJournalPages(const TJournalFilter& filter) : filter_(filter) {
    if (const TDatabase* db = PagedDatabase()) {
        paged_ = true;
        TStatement st = db->Prepare("SELECT count(*), coalesce(max(id), 0) FROM journal" + Where(filter_, 1));
        BindFilter(st, filter_, 1);
        if (st.Step()) count_ = st.Int(0);
        // Without a filter the entries are numbered from 1 without gaps (unless the journal was damaged):
        // a row is then found by its id.
        dense_ = !filter_.From && !filter_.To && filter_.Analyte.empty() && filter_.Kind.empty() &&
                 filter_.Operator.empty() && st.Int(1) == count_;
        return;
    }
    page_ = Operations().Journal(filter_);
    first_ = 0;
    count_ = static_cast<int64_t>(page_.size());
}

const TJournalEntry& TJournalPages::At(int64_t row) const {
    static const TJournalEntry none;
    if (row < 0 || row >= count_) return none;
    if (!paged_ || (first_ >= 0 && row >= first_ && row < first_ + static_cast<int64_t>(page_.size())))
        return page_[static_cast<size_t>(row - first_)];
    // The page that holds the row, a little before it too: scrolling up reads no page per row.
    const int64_t first = std::max<int64_t>(0, row - PageRows / 4);
    page_.clear();
    first_ = first;
    if (const TDatabase* db = PagedDatabase()) {
        TStatement st = db->Prepare(std::string("SELECT ") + JournalEntryColumns + " FROM journal" +
                                    (dense_ ? " WHERE id > ?1 ORDER BY id LIMIT ?2"
                                            : Where(filter_, 3) + " ORDER BY id LIMIT ?1 OFFSET ?2"));
        if (dense_)
            st.Bind(1, first).Bind(2, PageRows);
        else {
            st.Bind(1, PageRows).Bind(2, first);
            BindFilter(st, filter_, 3);
        }
        while (st.Step()) page_.push_back(JournalEntryOf(st));
    }
    if (row - first_ >= static_cast<int64_t>(page_.size())) return none;
    return page_[static_cast<size_t>(row - first_)];
}

std::vector<TJournalEntry> TJournalPages::All(const std::function<bool(int64_t, int64_t)>& progress) const {
    if (!paged_) return page_;
    std::vector<TJournalEntry> out;
    const TDatabase* db = PagedDatabase();
    if (!db) return out;
    out.reserve(static_cast<size_t>(count_));
    TStatement st = db->Prepare(std::string("SELECT ") + JournalEntryColumns + " FROM journal" +
                                Where(filter_, 1) + " ORDER BY id");
    BindFilter(st, filter_, 1);
    while (st.Step()) {
        out.push_back(JournalEntryOf(st));
        if (progress && out.size() % 4096 == 0 && !progress(static_cast<int64_t>(out.size()), count_)) break;
    }
    return out;
}

std::vector<std::string> TJournalPages::Analytes() {
    return Distinct("analyte");
}

std::vector<std::string> TJournalPages::Operators() {
    return Distinct("operator");
}
