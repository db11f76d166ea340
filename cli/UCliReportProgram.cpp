// The companion's report command, carried out by the report program, which links the printouts.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <unistd.h>

#include "UCliReport.h"
#include "UCodePage.h"
#include "UGlobale.h"
#include "UQcError.h"

namespace {

constexpr const char* ReportProgram = "varnholt-report";

std::string Shown(const std::filesystem::path& p) {
    return Utf8ToCp1252(p.string());
}

} // namespace

void RunReportProgram(const std::vector<std::string>& args, const std::string& home, bool homeGiven) {
    const std::filesystem::path here = ExecutableFolder();
    // Beside the companion in the build tree; installed, in its own folder relative to the companion's,
    // whatever the prefix.
    const std::filesystem::path places[] = {here / ReportProgram,
                                            (here / VARNHOLT_REPORT_DIR / ReportProgram).lexically_normal()};
    // Run from another folder, the report program would look for the program folder beside itself.
    if (!homeGiven && setenv("VARNHOLT_HOME", home.c_str(), 1) != 0)
        throw EQcError(std::string("report: cannot hand on the program folder: ") + std::strerror(errno));
    std::vector<char*> argv;
    argv.push_back(nullptr);
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    for (const std::filesystem::path& p : places) {
        argv[0] = const_cast<char*>(p.c_str());
        execv(p.c_str(), argv.data());
        // Only a program that is not there sends on to the next place.
        if (errno != ENOENT && errno != ENOTDIR)
            throw EQcError("report: cannot start " + Shown(p) + ": " + std::strerror(errno));
    }
    throw EQcError(std::string("report: the report program ") + ReportProgram + " is missing (looked for " +
                   Shown(places[0]) + " and " + Shown(places[1]) + "); the companion prints through it");
}

// Never called: the report program draws the report.
int WriteReport(const TReportOutput&, const TAnalyte&, TDateTime, TDateTime) {
    throw EQcError(std::string("report: printed by ") + ReportProgram);
}
