// The stored figures as the companion prints them in JSON: the analyte list, an analyte's limits and
// its points. The web view answers with the same texts, so both give the same keys and figures.
#pragma once

#include <string>

#include "UCliJson.h"
#include "UStructures.h"

void WriteLevelStats(TJsonWriter& j, const LevelStats& s);
void WriteLevelValue(TJsonWriter& j, const LevelValue& v);

// {"analytes":[...]} in list order.
std::string AnalytesJson(const TListAnalytes& analytes);
// {"Name":...,"levels":[...]}: limit modes, lock intervals, statistics and limits of each level.
std::string LimitsJson(const TAnalyte& an);
// {"points":[...]}: every stored point.
std::string PointsJson(const TAnalyte& an);
