// The companion's report: the chart and data printouts of an interval of points in one PDF file.
#pragma once

#include <string>

#include "UStructures.h"

// Writes the charts (every level, with statistics, in the settings' colour mode) and the data table
// of the points dated from day d1 to day d2 (either order) into one PDF file, replaced atomically.
// Draws without a display. Returns the number of points printed; throws EQcError when there is
// nothing to print or the file cannot be written.
int WriteReportPdf(const std::string& path, const TAnalyte& a, TDateTime d1, TDateTime d2);
