// What a reviewer reads before signing: the runs of a period with their rule outcomes, the corrective
// actions and the changes the journal holds, and the earlier sign-offs.
#pragma once

#include <string>
#include <vector>

#include "UJournal.h"
#include "URuleEngine.h"
#include "UStructures.h"

struct TReviewSummary {
    int Runs = 0, Warnings = 0, Rejects = 0, Discarded = 0;
    std::vector<std::string> Lines; // the report, line by line (Windows-1252)
};

// The runs of `a` from the day `first` to the day `last` (both included). `journal` is the analyte's part
// of the journal, `reviews` its sign-offs, `own` its own rule set (empty: the multirules).
TReviewSummary ReviewReport(const TAnalyte& a, TDateTime first, TDateTime last,
                            const std::vector<TJournalEntry>& journal, const std::vector<TReview>& reviews,
                            const TQcRuleSet& own = {});
