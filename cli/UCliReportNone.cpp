// The report command of a build without the window library: it says so instead of printing.
#include "UCliReport.h"

#include "UQcError.h"

void RunReportProgram(const std::vector<std::string>&, const std::string&, bool) {}

int WriteReport(const TReportOutput&, const TAnalyte&, TDateTime, TDateTime) {
    throw EQcError("report: this build has no printouts (it was built without Qt)");
}
