// The journal as a window shows it: the entries a filter keeps, counted at once and read a page at a
// time, so that opening or filtering costs the same whatever the journal's length.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "UJournal.h"

class TJournalPages {
public:
    static constexpr int64_t PageRows = 512;
    // Counts the entries kept (in the database, without reading them); a journal the program holds
    // no database for (a server) is read whole once.
    explicit TJournalPages(const TJournalFilter& filter = {});
    int64_t Count() const { return count_; }
    // The row-th entry kept, in id order (0 first); its page is read when it is not the one held.
    const TJournalEntry& At(int64_t row) const;
    // Every entry kept (export, printing); progress (if given) is told the entries read and their
    // count now and then, and returning false stops the reading (the entries read so far are given).
    std::vector<TJournalEntry>
    All(const std::function<bool(int64_t done, int64_t total)>& progress = {}) const;
    // The analytes and the operators the whole journal names, sorted, for the filter's lists.
    static std::vector<std::string> Analytes();
    static std::vector<std::string> Operators();

private:
    TJournalFilter filter_;
    bool paged_ = false;
    bool dense_ = false; // rows are ids - 1
    int64_t count_ = 0;
    mutable int64_t first_ = -1; // row of page_[0]
    mutable std::vector<TJournalEntry> page_;
};
