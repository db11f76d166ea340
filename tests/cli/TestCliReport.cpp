// The companion's report command: charts and data of an interval in one PDF, drawn without a display by
// the report program the companion hands it to.
#include <filesystem>
#include <gtest/gtest.h>

#include "CliSupport.h"
#include "TestHelpers.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"

namespace {

// The companion with no display of any kind in its environment.
TRun Report(const std::string& home, std::vector<std::string> args) {
    args.insert(args.begin(), "report");
    return RunCompanion("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ", home, args);
}

std::vector<std::string> PdfPages(const std::string& pdf) {
    std::string text = Shell("pdftotext -layout " + Quote(pdf) + " -").out;
    std::vector<std::string> pages;
    size_t start = 0;
    for (size_t ff = text.find('\f'); ff != std::string::npos; ff = text.find('\f', start)) {
        pages.push_back(text.substr(start, ff - start));
        start = ff + 1;
    }
    return pages;
}

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + what.size()))
        ++n;
    return n;
}

// Glucose: two levels, 40 points a day apart from 1 March 2025; Empty: no point.
void WriteHistory() {
    ListAnalytes.Clear();
    ListSerum.Clear();
    auto a = std::make_unique<TAnalyte>("Glucose", "mmol/L", 1, 2);
    a->MaterialId[0] = ListSerum.AddMaterial("Lyphocheck 1", "A1");
    a->MaterialId[1] = ListSerum.AddMaterial("Lyphocheck 2", "");
    for (int k = 0; k < 40; ++k)
        a->AddPoint(MakeRun(EncodeDate(2025, 3, 1) + k + 0.5, {5.0 + k % 3, 9.0 - k % 2}));
    a->RecalcAll();
    a->ClassifyAllPoints();
    ListAnalytes.Add(std::move(a));
    ListAnalytes.Add(std::make_unique<TAnalyte>("Empty", "g/L", 0, 1));
    WriteDataFile(DataFileName());
}

} // namespace

class CompanionReport : public ::testing::Test {
protected:
    TTempFolder folder;
    std::string home = folder.Path();
};

TEST_F(CompanionReport, ChartsThenDataOfTheWholeHistory) {
    WriteHistory();
    const std::string before = ReadWholeFile(DataFileName());
    const std::string pdf = home + "report.pdf";
    TRun r = Report(home, {"glucose", "--pdf", pdf});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "{\"pdf\":\"" + pdf + "\",\"points\":40}\n");
    EXPECT_EQ(r.err, "");
    std::vector<std::string> pages = PdfPages(pdf);
    ASSERT_GE(pages.size(), 2u);
    // The charts come first: two stretches (31 + 9 points) of both levels, and their statistics.
    std::string all;
    for (const std::string& p : pages) all += p;
    EXPECT_EQ(Count(pages[0], "Glucose QC charts"), 1);
    EXPECT_EQ(Count(all, "Lyphocheck 1 (A1)"), 2);
    EXPECT_EQ(Count(all, "Lyphocheck 2 ()"), 2);
    EXPECT_EQ(Count(all, "- Page 1 - Glucose QC - Printed on"), 1);
    // The data table starts on a page of its own, with its own page numbers.
    size_t dataPage = 0;
    while (dataPage < pages.size() && pages[dataPage].find("QC data for Glucose") == std::string::npos)
        ++dataPage;
    ASSERT_LT(dataPage, pages.size());
    EXPECT_GT(dataPage, 0u);
    EXPECT_EQ(Count(pages[dataPage], "Glucose QC charts"), 0);
    EXPECT_EQ(Count(pages[dataPage], "QC1 : Lyphocheck 1 (lot A1)"), 1);
    EXPECT_NE(pages[dataPage].find("- Page 1/"), std::string::npos);
    EXPECT_NE(all.find("01/03/2025"), std::string::npos);
    EXPECT_NE(all.find("09/04/2025"), std::string::npos);
    // A report changes nothing in the program folder.
    EXPECT_EQ(ReadWholeFile(DataFileName()), before);
    EXPECT_FALSE(std::filesystem::exists(home + "Varnholt.lock"));
}

TEST_F(CompanionReport, IntervalInEitherOrder) {
    WriteHistory();
    const std::string pdf = home + "interval.pdf";
    TRun r = Report(home, {"Glucose", "--pdf", pdf, "--from", "2025-03-10", "--to", "2025-03-05"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"points\":6"), std::string::npos) << r.out;
    std::vector<std::string> pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 2u); // one stretch of charts, one page of data
    EXPECT_EQ(Count(pages[0], "Lyphocheck 1 (A1)"), 1);
    EXPECT_NE(pages[0].find("Statistics"), std::string::npos);
    for (int d = 5; d <= 10; ++d)
        EXPECT_EQ(Count(pages[1], (d < 10 ? "0" : "") + std::to_string(d) + "/03/2025"), 1) << d;
    EXPECT_EQ(Count(pages[1], "04/03/2025"), 0);
    EXPECT_EQ(Count(pages[1], "11/03/2025"), 0);
    // Only --to: from the first point on.
    r = Report(home, {"Glucose", "--pdf", pdf, "--to", "2025-03-02"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"points\":2"), std::string::npos) << r.out;
}

TEST_F(CompanionReport, RefusalsLeaveNoFile) {
    WriteHistory();
    const std::string pdf = home + "kept.pdf";
    AtomicWriteFile(pdf, "earlier printout");
    struct TCase {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<TCase> cases = {
        {{"Glucose"}, "usage: report"},
        {{"Glucose", "Calcium", "--pdf", pdf}, "usage: report"},
        {{"Calcium", "--pdf", pdf}, "unknown analyte: Calcium"},
        {{"Empty", "--pdf", pdf}, "Nothing to print"},
        {{"Glucose", "--pdf", pdf, "--from", "2025-13-01"}, "not an ISO date"},
        {{"Glucose", "--pdf", pdf, "--from", "2026-01-01", "--to", "2026-01-31"}, "Nothing to print"},
        {{"Glucose", "--pdf", pdf, "--from"}, "missing value after --from"},
        {{"Glucose", "--pdf", pdf, "--printer", "Lab"}, "usage: report"},
        // A queue that does not take the job is an error, never a success.
        {{"Glucose", "--printer", "No-Such-Queue"}, "the printer No-Such-Queue did not take the report: "},
    };
    for (const TCase& c : cases) {
        TRun r = Report(home, c.args);
        EXPECT_EQ(r.status, 2) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(ReadWholeFile(pdf), "earlier printout");
    // A file that cannot be written is an error, never a success.
    TRun r = Report(home, {"Glucose", "--pdf", home + "no-such-folder/r.pdf"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("no-such-folder"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(home + "no-such-folder"));
}

// "--pdf -" writes the PDF itself on standard output, and nothing else there.
TEST_F(CompanionReport, PdfOnStandardOutput) {
    WriteHistory();
    TRun r = Report(home, {"Glucose", "--pdf", "-"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("%PDF-", 0), 0u);
    EXPECT_NE(r.out.find("%%EOF"), std::string::npos);
    EXPECT_EQ(r.out.find("\"points\""), std::string::npos);
}

// A tree laid out as the package installs it: the companion in bin/ and the report program in its
// place relative to bin/. The programs are linked into it where the file system allows, copied elsewhere.
class InstalledReport : public CompanionReport {
protected:
    void SetUp() override {
        std::filesystem::create_directories(report.parent_path());
        for (auto [from, to] : {std::pair{VARNHOLT_CLI, cli}, std::pair{VARNHOLT_REPORT, report.string()}}) {
            std::error_code ec;
            std::filesystem::create_hard_link(from, to, ec);
            if (ec) std::filesystem::copy_file(from, to);
        }
    }
    // The installed companion on the program folder it finds itself, with no home folder to fall back on.
    TRun Installed(const std::vector<std::string>& args) {
        std::string cmd =
            "env -u VARNHOLT_HOME -u XDG_DATA_HOME -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "
            "HOME=" +
            Quote(home + "nohome") + " " + Quote(cli);
        for (const std::string& a : args) cmd += " " + Quote(a);
        TRun r = Shell(cmd + " 2>" + Quote(home + "stderr.txt"));
        r.err = ReadWholeFile(home + "stderr.txt");
        return r;
    }
    std::string bin = home + "bin/";
    std::string cli = bin + "varnholt-cli";
    std::filesystem::path report =
        (std::filesystem::path(bin) / VARNHOLT_REPORT_FROM_BIN / "varnholt-report");
};

// A portable folder (the data beside the companion): the report program, which lives elsewhere, reads
// the folder the companion found, not one beside itself.
TEST_F(InstalledReport, ThePortableFolderIsTheCompanions) {
    SetProgramFolder(bin);
    WriteHistory();
    const std::string pdf = home + "portable.pdf";
    TRun r = Installed({"report", "Glucose", "--pdf", pdf});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "{\"pdf\":\"" + pdf + "\",\"points\":40}\n");
    EXPECT_GE(PdfPages(pdf).size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(home + "nohome"));
}

// Without the report program the command is refused with its name, and nothing is written; the other
// commands are the companion's own.
TEST_F(InstalledReport, AMissingReportProgramIsNamed) {
    SetProgramFolder(bin);
    WriteHistory();
    const std::string pdf = home + "missing.pdf";
    std::filesystem::remove(report);
    TRun r = Installed({"report", "Glucose", "--pdf", pdf});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("varnholt-cli: report: the report program varnholt-report is missing (looked for " +
                         bin + "varnholt-report and " + report.lexically_normal().string() + ")"),
              std::string::npos)
        << r.err;
    EXPECT_FALSE(std::filesystem::exists(pdf));
    EXPECT_EQ(Installed({"points", "Glucose"}).status, 0);
    // One that cannot be run is named with the reason.
    AtomicWriteFile(report.string(), "not a program");
    r = Installed({"report", "Glucose", "--pdf", pdf});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("varnholt-cli: report: cannot start " + report.lexically_normal().string() +
                         ": Permission denied"),
              std::string::npos)
        << r.err;
    EXPECT_FALSE(std::filesystem::exists(pdf));
}
