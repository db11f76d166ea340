// The queue of held QC results and its file.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "UTypes.h"

// Held runs, recalled one by one in arrival order.
class TFifo {
public:
    void Push(TResu entry);
    std::optional<TResu> Pop();
    // Undo of a Push and of a Pop.
    void DropLast() {
        entries_.pop_back();
        ++changes_;
    }
    void PushFront(TResu entry) {
        entries_.push_front(std::move(entry));
        ++changes_;
    }
    int Count() const { return static_cast<int>(entries_.size()); }
    void ClearQueue() {
        entries_.clear();
        ++changes_;
    }
    const std::deque<TResu>& Entries() const { return entries_; }
    // Counts every change but a Push: while it stays, the entries seen before are still the head.
    uint64_t Changes() const { return changes_; }

private:
    std::deque<TResu> entries_;
    uint64_t changes_ = 0;
};

extern TFifo Fifo;

std::string QueueFileName(); // BaseName + ".fif"

// More held runs than this is no queue a laboratory keeps: a file claiming so is damaged.
constexpr size_t MaxQueueEntries = 100000;

// The queue file as bytes: the entries head to tail, no header.
std::string QueueImage(const std::deque<TResu>& entries, size_t from = 0);
// Throws EQcError on a damaged image (an entry without an analyte, more entries than any real queue
// holds); never reads beyond the bytes.
std::vector<TResu> ParseQueueImage(std::string_view bytes);
