// The companion's report: the chart and data printouts of an interval of points in one PDF file.
#pragma once

#include <string>
#include <vector>

#include "UStructures.h"

// Where the report goes: a PDF file ("-": standard output), or a print queue by its name.
struct TReportOutput {
    std::string Pdf;
    std::string Printer;
};

// The companion needs Qt Core only; the report command is carried out by the report program
// (varnholt-report), which is the companion's own code linked with the printouts. In the companion this
// replaces the process with that program, run with the same arguments (`args`, without the program's
// name) and environment, so that its output and exit status are the command's; a program folder the
// command line does not name (`home` was found from the companion's place) is handed on in VARNHOLT_HOME.
// Throws EQcError when the report program is missing or cannot be started. Returns at once in the report
// program itself and in a build without the printouts.
void RunReportProgram(const std::vector<std::string>& args, const std::string& home, bool homeGiven);

// Writes the charts (every level, with statistics, in the settings' colour mode) and the data table
// of the points dated from day d1 to day d2 (either order) as one PDF: into a file replaced
// atomically, onto standard output, or to a print queue. Draws without a display. Returns the number
// of points printed; throws EQcError when there is nothing to print, the file cannot be written or the
// queue refuses the job.
int WriteReport(const TReportOutput& output, const TAnalyte& a, TDateTime d1, TDateTime d2);
