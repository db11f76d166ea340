// The companion's patient-based QC command: a history loaded, a procedure set, its state and its
// simulation shown.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "UOperations.h"

struct TPbrtqcArgs {
    std::vector<std::string> Positional; // after the command word
    std::optional<std::string> Procedure, N, Lambda, Truncation, Simulate, Runs, Seed;
    std::optional<std::pair<std::string, std::string>> Truncate, Limits; // LOW HIGH
};

// What the command came to: the outcome of a change (Done for a reading) and the JSON to print once
// the outcome is accepted.
struct TPbrtqcResult {
    TOutcome Outcome;
    std::string Json;
};

// True when the arguments ask for a change (import, set, retention DAYS).
bool PbrtqcWrites(const std::vector<std::string>& positional);
// Throws EQcError with a one-line message for a bad command line or input; nothing is changed then.
TPbrtqcResult RunPbrtqc(const TPbrtqcArgs& a);

extern const char* PbrtqcUsage;
extern const char* PbrtqcHelp;
