// The queue of held QC results and its file.
#pragma once

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
    int Count() const { return static_cast<int>(entries_.size()); }
    void ClearQueue() { entries_.clear(); }
    const std::deque<TResu>& Entries() const { return entries_; }

    // Fills the queue from its file; a missing file gives an empty queue, a damaged one an empty
    // queue too, after the file was kept aside and the user told where.
    void LoadQueue();
    // Writes the queue file atomically; shows "Unable to save fifo" and returns false on failure.
    bool SaveQueue();

private:
    std::deque<TResu> entries_;
};

extern TFifo Fifo;

std::string QueueFileName(); // BaseName + ".fif"

// The queue file as bytes: the entries head to tail, no header.
std::string QueueImage(const std::deque<TResu>& entries);
// Throws EQcError on a damaged image; never reads beyond the bytes.
std::vector<TResu> ParseQueueImage(std::string_view bytes);
