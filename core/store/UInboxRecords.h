// The instrument inbox's records as a reading (or a new mapping) writes them, for both stores.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "UFifoResult.h"
#include "UInbox.h"

// What one reading of the inbox (or a new mapping) records: the runs planned from its results, the held
// runs they complete, the results left waiting for a mapping, and what was read.
struct TInboxPlan {
    struct TRun {
        TResu Run;
        std::string Source, Analyte;
        TDateTime First = 0, Last = 0;
        std::string Replaces;              // queue image of the held run this one completes
        std::vector<int64_t> ReplacedRows; // its rows
        std::string Note;
        TInboxVerdict Verdict;
        bool ToData = false;
    };
    // A held run from the inbox that a new result of its analyte and source may complete.
    struct THeld {
        int64_t Row = 0;
        std::string Source, Analyte, Image, Note;
        TResu Run;
        TDateTime First = 0, Last = 0;
        int Planned = -1; // the planned run it became
    };
    std::vector<TRun> Runs;
    std::vector<THeld> Held;
    std::vector<int64_t> Gone; // placed rows no longer in the queue
    struct TWaiting {
        size_t Index; // in the planned results
        TInstrumentResult Result;
        std::string Origin, Reason;
    };
    std::vector<TWaiting> Waiting;
    std::vector<int64_t> Mapped; // waiting rows brought in
    // What was read: result keys, files (source, fingerprint, name, results), message ids.
    std::vector<uint64_t> Seen;
    struct TFile {
        std::string Source, Name;
        uint64_t Hash;
        int Results;
        std::string Faults; // its lines that gave no result
    };
    std::vector<TFile> Files;
    std::vector<std::pair<std::string, std::string>> Messages; // source, control id
    std::vector<std::string> MessageFiles;
};

// A run recorded by a reading and not yet placed.
struct TInboxPending {
    int64_t Row = 0;
    std::string Analyte;
    bool ToData = false;
    std::string Image, Replaces;
};
