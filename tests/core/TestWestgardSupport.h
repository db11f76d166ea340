// Builders shared by the Westgard engine tests: analytes with limits set by hand, classified points.
#pragma once

#include <initializer_list>
#include <string>

#include "UStructures.h"
#include "UWestgard.h"

namespace wg {

// An analyte of nbLevels levels, no points, every level mobile with limits m 100, w 4, a 6.
TAnalyte Analyte(int nbLevels);
// Sets a level's limits directly (no recomputation); state 6 marks them unavailable.
void SetLimits(TAnalyte& a, int level, long double m, long double w, long double act,
               LimitMode mode = lmMobile, uint8_t state = 0);
// Appends a point at the given day, its values classified against the limits in force; NAN is empty.
void AddPoint(TAnalyte& a, TDateTime day, std::initializer_list<double> values);
// A run at the given day, classified as the entry page does before validation.
TResu ClassifiedRun(const TAnalyte& a, TDateTime day, std::initializer_list<double> values);
// Evaluates the run against the points stored before its date-time.
TMultiruleResult Evaluate(const TAnalyte& a, const TResu& run, TRejectToggles rejected = {}, bool on = true);
// The outcome as text: "n=2 L1=1:2s/W,2:2s/R L2=ok L3=- A=2:2s/R" (levels not taking part are "-";
// the across row only when shown, with the names of the table in force).
std::string Describe(const TAnalyte& a, const TMultiruleResult& r);

} // namespace wg
