// What every QC printout shows for an auditor: the review sign-off line, and the texts of the limits in
// force.
#pragma once

#include <string>
#include <vector>

#include "UStructures.h"

class TPrintCanvas;

// "Reviewed by RV on 2026-04-02 (2026-03-01 to 2026-03-31)" when a signed review, not reopened, covers
// the days first to last of the analyte; empty when none does (the line is then left to sign by hand).
std::string ReviewedByText(const TAnalyte* a, TDateTime first, TDateTime last);

// Prints the sign-off at y (the review's text, or "Reviewed by ____ on ____" to sign by hand), starting a
// new page when the page has no room left for it; returns the y below it.
int PrintReviewLine(TPrintCanvas& canvas, int y, const TAnalyte* a, TDateTime first, TDateTime last);

// The review report of each analyte for the days first to last, in a fixed font, each followed by its
// sign-off line.
void PrintReviewReport(TPrintCanvas& canvas, const std::vector<const TAnalyte*>& analytes, TDateTime first,
                       TDateTime last);

// The limit mode of a level with its reference period ("Locked limits, 2026-01-02 to 2026-01-31").
std::string ReferencePeriodText(const TAnalyte& a, int level);
// The standard deviation of a level's limits (from its CV), empty when unavailable.
std::string LevelSdText(const TAnalyte& a, int level);
