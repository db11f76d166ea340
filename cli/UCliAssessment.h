// The companion's measurement uncertainty and EQA commands.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct TAssessmentArgs {
    std::vector<std::string> Positional; // after the command word
    std::string From, To;                // ISO dates, empty when not given
    std::optional<std::string> K, MaxU, Cvi, Bias, TargetU;
};

// uncertainty ANALYTE [--from DATE] [--to DATE] [--k K] [--bias none|target|eqa] [--target-u PCT]
// [--max-u PCT | --cvi PCT]: the JSON of each level on standard output. Throws EQcError (exit 2) for a
// refusal.
int CliUncertainty(const TAssessmentArgs& a);
// eqa import FILE | eqa list [ANALYTE] | eqa ANALYTE.
int CliEqa(const TAssessmentArgs& a);
// Whether the eqa command line changes the folder.
bool CliEqaWrites(const TAssessmentArgs& a);

extern const char* const UncertaintyHelp;
extern const char* const EqaHelp;
