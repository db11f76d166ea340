// The companion's report: the chart and data printouts of an interval of points in one PDF file.
#pragma once

#include <string>

#include "UStructures.h"

// Where the report goes: a PDF file ("-": standard output), or a print queue by its name.
struct TReportOutput {
    std::string Pdf;
    std::string Printer;
};

// Writes the charts (every level, with statistics, in the settings' colour mode) and the data table
// of the points dated from day d1 to day d2 (either order) as one PDF: into a file replaced
// atomically, onto standard output, or to a print queue. Draws without a display. Returns the number
// of points printed; throws EQcError when there is nothing to print, the file cannot be written or the
// queue refuses the job.
int WriteReport(const TReportOutput& output, const TAnalyte& a, TDateTime d1, TDateTime d2);
