// Results from the instruments through the operations layer: the inbox read once, the mapping, and
// the order of writes that keeps every result exactly once through a crash at any moment.
//
// A pass: (1) runs recorded by an interrupted pass are placed first; (2) each waiting file is read; a
// file read before (its bytes' fingerprint recorded) goes to processed/ untouched, a file with a fault
// to failed/ with its reason, a file ending inside a message stays; (3) one transaction records the new
// runs as pending, the results "not mapped", the result keys, file fingerprints and message ids; (4)
// the data file (auto-accepted runs) and the queue file are written, and the runs marked placed; (5)
// the files move to processed/. A crash before (3) leaves the files to be read again; between (3) and
// (4) the pending runs are placed at the next start or pass, each checked against the data and queue
// so that it is not added twice; after (4) the recorded fingerprints move the files without adding
// anything.
//
// On a server the bench reads its own inbox folder; mappings, results not mapped and held runs are
// shared by all benches. A pass: (1) each waiting file is read as above, those read before and results
// taken before (on any bench) are known from the server; (2) ONE server transaction plans the runs
// against the shared mapping and held runs, places them (queue rows, analyte rows under their
// versions), records the result keys, fingerprints, message ids, waiting results and placed runs, and
// the journal entries, then commits; (3) the files move to processed/. A crash before the commit leaves
// nothing on the server and the files to be read again; after it, the recorded fingerprints move the
// files without adding anything. Two benches never place one result twice: its key is inserted in the
// same transaction, and a key another bench took meanwhile (waited for, then found) refuses the whole
// transaction, so that the next pass finds it taken.
#pragma once

#include <algorithm>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "UFifoResult.h"
#include "UOperations.h"
#include "UTexts.h"
#include "UUtilitaires.h"

// What the inbox units share.
namespace ops_inbox {
inline std::string EntryImage(const TResu& run) {
    return QueueImage(std::deque<TResu>{run});
}

inline TResu EntryOf(std::string_view image) {
    std::vector<TResu> runs = ParseQueueImage(image);
    if (runs.size() != 1) throw EQcError(QT_TRANSLATE_NOOP("Core", "Damaged inbox record in the database"));
    return runs.front();
}

inline std::string DateTimeText(TDateTime t) {
    return IsoRegional().DateTimeToText(t);
}

inline bool SameFolder(const std::string& a, const std::string& b) {
    std::error_code ec1, ec2;
    auto x = std::filesystem::weakly_canonical(a, ec1), y = std::filesystem::weakly_canonical(b, ec2);
    if (ec1 || ec2) return false;
    auto strip = [](std::filesystem::path p) {
        std::string s = p.string();
        while (s.size() > 1 && s.back() == '/') s.pop_back();
        return s;
    };
    return strip(x) == strip(y);
}

// The inbox may hold neither the program folder nor be it: its files would be read as instrument files
// and moved away.
inline void CheckInboxFolder(const std::string& inbox) {
    std::string program = ProgramFolder;
    while (program.size() > 1 && program.back() == '/') program.pop_back();
    if (SameFolder(inbox, program) ||
        SameFolder(inbox, std::filesystem::path(program).parent_path().string()))
        throw EQcError(
            Fill(QT_TRANSLATE_NOOP(
                     "Core", "The inbox folder %1 cannot be the program folder or the folder holding it"),
                 inbox));
}
} // namespace ops_inbox

// What a pass that places its runs at once changed in memory, put back when its transaction is refused.
struct TOperations::TInboxUndo {
    bool Refreshed = false; // the queue was brought up to the server's: told even when refused
    bool Saved = false;
    std::deque<TResu> Queue;
    std::map<TAnalyteId, TAnalyte> Analytes;
    bool QueueChanged = false;
    int Queued = 0, Accepted = 0, Merged = 0;
};

// The queue as a pass changes it: the queue it found, untouched and not copied, and the pass's
// changes beside it. Runs are looked up by image, but an entry's image is made only when a run of the
// same time is looked for, so that a pass costs what it reads and not what the queue holds.
class TOperations::TPassQueue {
public:
    // The queue from its entry `from` on; it must not change while this lives.
    explicit TPassQueue(const std::deque<TResu>& queue, size_t from = 0)
        : base_(queue), from_(std::min(from, queue.size())), count_(queue.size() - from_) {}
    // An entry: kept (of the queue found), completed or added by the pass.
    struct TEntry {
        size_t At; // in the queue found; beyond it, in the added runs
        const TResu& Run;
        bool New;
    };
    // The entry holding this image; a damaged image is held by none.
    std::optional<size_t> Find(const std::string& image) {
        double time = 0;
        try {
            time = ops_inbox::EntryOf(image).DateTime;
        } catch (const EQcError&) {
            return std::nullopt;
        }
        // A few lookups scan the times; more build an index of them.
        if (++lookups_ > 8 && byTime_.empty()) IndexTimes();
        auto matches = [&](size_t at) {
            if (!Live(at) || RunAt(at).DateTime != time) return false;
            std::string& own = images_[at];
            if (own.empty()) own = ops_inbox::EntryImage(RunAt(at));
            return own == image;
        };
        if (!byTime_.empty()) {
            auto [first, last] = byTime_.equal_range(time);
            for (auto it = first; it != last; ++it)
                if (matches(it->second)) return it->second;
            return std::nullopt;
        }
        for (size_t at = from_; at < base_.size() + added_.size(); ++at)
            if (matches(at)) return at;
        return std::nullopt;
    }
    void Add(const TResu& run, std::string image) {
        const size_t at = base_.size() + added_.size();
        added_.push_back(run);
        images_[at] = std::move(image);
        if (!byTime_.empty()) byTime_.emplace(run.DateTime, at);
        ++count_;
    }
    void Replace(size_t at, const TResu& run, std::string image) {
        if (at >= base_.size()) {
            added_[at - base_.size()] = run;
        } else {
            replaced_[at] = run;
            Mark(at, kReplaced);
        }
        images_[at] = std::move(image);
        if (!byTime_.empty()) byTime_.emplace(run.DateTime, at);
    }
    void Erase(size_t at) {
        if (at >= base_.size())
            gone_.insert(at);
        else
            Mark(at, kGone);
        --count_;
    }
    size_t Count() const { return count_; }
    // Each live entry in the queue's order.
    template <class F> void ForEach(F&& f) const {
        for (size_t at = from_; at < base_.size() + added_.size(); ++at)
            if (Live(at)) f(TEntry{at, RunAt(at), at >= base_.size() || State(at) == kReplaced});
    }
    // Into the result queue, which must be the queue found from its first entry. Runs only added are
    // pushed after the others; any other change rebuilds the queue. Returns what puts it back.
    std::function<void()> PutInto(TFifo& fifo) const {
        if (state_.empty()) {
            for (const TResu& r : added_) fifo.Push(r);
            return [&fifo, n = added_.size()] {
                for (size_t k = 0; k < n; ++k) fifo.DropLast();
            };
        }
        std::deque<TResu> before = base_, after;
        ForEach([&](const TEntry& e) { after.push_back(e.Run); });
        fifo.ClearQueue();
        for (TResu& r : after) fifo.Push(std::move(r));
        return [&fifo, before = std::move(before)] {
            fifo.ClearQueue();
            for (const TResu& r : before) fifo.Push(r);
        };
    }

private:
    static constexpr uint8_t kKept = 0, kGone = 1, kReplaced = 2;
    bool Live(size_t at) const { return at >= base_.size() ? !gone_.count(at) : State(at) != kGone; }
    uint8_t State(size_t at) const { return state_.empty() ? kKept : state_[at]; }
    void Mark(size_t at, uint8_t state) {
        if (state_.empty()) state_.assign(base_.size(), kKept);
        state_[at] = state;
    }
    const TResu& RunAt(size_t at) const {
        if (at >= base_.size()) return added_[at - base_.size()];
        return State(at) == kReplaced ? replaced_.at(at) : base_[at];
    }
    void IndexTimes() {
        for (size_t at = from_; at < base_.size() + added_.size(); ++at)
            if (Live(at)) byTime_.emplace(RunAt(at).DateTime, at);
    }
    const std::deque<TResu>& base_;
    size_t from_, count_;
    std::deque<TResu> added_;
    std::vector<uint8_t> state_; // of the queue found; empty while nothing of it changed
    std::unordered_map<size_t, TResu> replaced_;
    std::unordered_set<size_t> gone_; // added runs taken away again
    std::unordered_map<size_t, std::string> images_;
    std::unordered_multimap<double, size_t> byTime_;
    size_t lookups_ = 0;
};
