// The companion's measurement uncertainty and EQA commands, run as a separate program; the manual's
// worked example recomputed from an archived and a current lot.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "CliSupport.h"
#include "TestHelpers.h"
#include "TestSeams.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UUtilitaires.h"

namespace {

const std::string Manual = std::string(VARNHOLT_TEST_DATA) + "/../../docs/UserManual.htm";

// The rows of the manual's table with the given id, each as its cells' texts.
std::vector<std::vector<std::string>> Table(const std::string& html, const std::string& id) {
    const size_t start = html.find("<table id=\"" + id + "\">");
    if (start == std::string::npos) return {};
    const std::string table = html.substr(start, html.find("</table>", start) - start);
    std::vector<std::vector<std::string>> rows;
    const std::regex row("<tr>(.*?)</tr>"), cell("<td>(.*?)</td>");
    for (auto r = std::sregex_iterator(table.begin(), table.end(), row); r != std::sregex_iterator(); ++r) {
        const std::string text = (*r)[1];
        std::vector<std::string> cells;
        for (auto c = std::sregex_iterator(text.begin(), text.end(), cell); c != std::sregex_iterator(); ++c)
            cells.push_back((*c)[1]);
        if (!cells.empty()) rows.push_back(cells);
    }
    return rows;
}

// Every value of a key in the JSON text, in order ("null" as it stands).
std::vector<std::string> Values(const std::string& json, const std::string& key) {
    std::vector<std::string> out;
    const std::regex value("\"" + key + "\":(null|true|false|-?[0-9.eE+-]+|\"[^\"]*\")");
    for (auto m = std::sregex_iterator(json.begin(), json.end(), value); m != std::sregex_iterator(); ++m)
        out.push_back((*m)[1]);
    return out;
}

std::string Fixed(const std::string& number, int decimals) {
    return FormatFixed(std::stold(number), 12, decimals, '.');
}

class CompanionAssessment : public ::testing::Test {
protected:
    TTempFolder folder;
    TRun Cli(const std::vector<std::string>& args) { return RunCompanion("", folder.Path(), args); }

    // Glucose, level 1 of material Low: lot A1 archived, lot A2 in the data; Sodium with three values.
    // Written in ISO formats, which the companion is told to read with --regional iso.
    void WriteData(const std::vector<std::vector<std::string>>& lots) {
        Regional = TRegional{"yyyy-MM-dd", "HH:mm:ss", '.'};
        ListAnalytes.Clear();
        ListSerum.Clear();
        TOperations& ops = Operations();
        TOpenOptions options;
        options.SampleOnFirstRun = false;
        ASSERT_TRUE(ops.Open(folder.Path(), TOpenMode::Writer, options).Opened);
        ListAnalytes.Add(std::make_unique<TAnalyte>("Glucose", "mmol/L", 2, 1));
        ListAnalytes.Add(std::make_unique<TAnalyte>("Sodium", "mmol/L", 0, 1));
        TAnalyte& a = ListAnalytes[0];
        const int32_t low = ListSerum.AddMaterial("Low", lots[0][0]);
        a.MaterialId[0] = low;
        TDateTime day = EncodeDate(2026, 3, 1);
        for (size_t k = 0; k < lots.size(); ++k) {
            std::istringstream values(lots[k][1]);
            for (double v; values >> v;) a.AddPoint(MakeRun(day++, {v}));
            a.RecalcAll();
            if (k + 1 == lots.size()) break;
            WriteAllData(ops);
            ASSERT_TRUE(ops.EraseLevels(a, {true, false, false}).Ok());
            ListSerum.Items[0].Lot = lots[k + 1][0];
        }
        TAnalyte& sodium = ListAnalytes[1];
        for (int k = 0; k < 3; ++k) sodium.AddPoint(MakeRun(EncodeDate(2026, 3, 1) + k, {139.0 + k}));
        sodium.RecalcAll();
        WriteAllData(ops);
        ops.Close();
    }
};

const std::string EqaHeader = "scheme,distribution,sample,date,analyte,result,assigned,sd,participants\n";

} // namespace

TEST_F(CompanionAssessment, TheManualsWorkedExample) {
    const std::string html = ReadWholeFile(Manual);
    const auto lots = Table(html, "mu-example-values");
    ASSERT_EQ(lots.size(), 2u);
    WriteData(lots);
    const TRun r = Cli({"--regional", "iso", "uncertainty", "Glucose", "--from", "2026-01-01", "--to",
                        "2026-06-30", "--bias", "target", "--target-u", "0.8", "--cvi", "5"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto cv = Values(r.out, "CVPct");
    ASSERT_EQ(cv.size(), 2u) << r.out;
    EXPECT_EQ(Values(r.out, "Lot"), (std::vector<std::string>{"\"A1\"", "\"A2\""}));
    EXPECT_EQ(Values(r.out, "Current"), (std::vector<std::string>{"false", "true"}));
    const std::map<std::string, std::string> computed = {
        {"N", Values(r.out, "N").front()},
        {"CV A1 %", Fixed(cv[0], 2)},
        {"CV A2 %", Fixed(cv[1], 2)},
        {"u(Rw) %", Fixed(Values(r.out, "uRwPct")[0], 2)},
        {"u(bias) %", Fixed(Values(r.out, "uBiasPct")[0], 2)},
        {"u_c %", Fixed(Values(r.out, "ucPct")[0], 2)},
        {"U %", Fixed(Values(r.out, "UPct")[0], 2)},
        {"Maximum U %", Fixed(Values(r.out, "MaxUPct")[0], 2)},
        {"Meets", Values(r.out, "Meets")[0] == "true" ? "yes" : "no"},
    };
    const auto figures = Table(html, "mu-example");
    ASSERT_EQ(figures.size(), computed.size());
    for (const auto& row : figures) {
        ASSERT_EQ(row.size(), 2u);
        ASSERT_TRUE(computed.count(row[0])) << row[0];
        EXPECT_EQ(computed.at(row[0]), row[1]) << row[0];
    }
    // mu is the same command; k widens U only.
    const TRun k3 =
        Cli({"--regional", "iso", "mu", "Glucose", "--from", "2026-01-01", "--to", "2026-06-30", "--k", "3"});
    ASSERT_EQ(k3.status, 0) << k3.err;
    EXPECT_EQ(Values(k3.out, "k"), std::vector<std::string>{"3"});
    EXPECT_EQ(Fixed(Values(k3.out, "UPct")[0], 2), "4.23"); // 3 x 1.41, no bias
    EXPECT_EQ(Values(k3.out, "Meets"), std::vector<std::string>{"null"});
}

TEST_F(CompanionAssessment, GapsAndRefusedOptions) {
    WriteData({{"A1", "5.0"}});
    // One value: the lot is shown, no uncertainty, the reasons on standard error.
    const TRun one =
        Cli({"--regional", "iso", "uncertainty", "Glucose", "--from", "2026-01-01", "--to", "2026-06-30"});
    ASSERT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(Values(one.out, "uRwPct"), std::vector<std::string>{"null"});
    EXPECT_NE(one.err.find("level 1: Lot Low A1: fewer than two values in the period, left out"),
              std::string::npos)
        << one.err;
    EXPECT_NE(one.err.find("level 1: uncertainty not available: No lot holds two values in the period"),
              std::string::npos);
    // A period without values.
    const TRun none =
        Cli({"--regional", "iso", "uncertainty", "Sodium", "--from", "2025-01-01", "--to", "2025-06-30"});
    EXPECT_NE(none.err.find("uncertainty not available: No value in the period"), std::string::npos);

    const struct {
        std::vector<std::string> args;
        const char* message;
    } refused[] = {
        {{"uncertainty", "Sodium", "--k", "0"}, "--k takes a number above zero, not 0"},
        {{"uncertainty", "Sodium", "--k", "x"}, "--k takes a number above zero, not x"},
        {{"uncertainty", "Sodium", "--bias", "peer"}, "--bias takes none, target or eqa, not peer"},
        {{"uncertainty", "Sodium", "--target-u", "1"}, "--target-u goes with --bias target"},
        {{"uncertainty", "Sodium", "--max-u", "5", "--cvi", "4"}, "give --max-u or --cvi, not both"},
        {{"uncertainty", "Sodium", "--from", "2026-13-01"},
         "--from: not an ISO date (YYYY-MM-DD): 2026-13-01"},
        {{"uncertainty", "Sodium", "--from", "2026-03-02", "--to", "2026-03-01"},
         "The period ends before it starts"},
        {{"uncertainty", "Potassium"}, "unknown analyte: Potassium"},
        {{"eqa", "Potassium"}, "unknown analyte: Potassium"},
    };
    for (const auto& c : refused) {
        const TRun r = Cli(c.args);
        EXPECT_EQ(r.status, 2) << c.message;
        EXPECT_EQ(r.err, std::string("varnholt-cli: ") + c.message + "\n");
    }
}

TEST_F(CompanionAssessment, EqaImportListAndBias) {
    WriteData({{"A1", "5.0"}});
    const std::string good = folder.File("good.csv"), bad = folder.File("bad.csv");
    AtomicWriteFile(good, EqaHeader + "S,1,A,2026-03-02,Sodium,102,100,2.5,25\n"
                                      "S,1,B,2026-03-03,Sodium,98,100,7.5,4\n");
    AtomicWriteFile(bad, EqaHeader + "S,2,A,2026-04-02,Sodium,101,100,0,25\n"
                                     "S,2,B,2026-04-02,Sodium,101,100,1,25\n");
    TRun r = Cli({"eqa", "import", bad});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("varnholt-cli: Line 2: The SD must be above zero\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("varnholt-cli: Refused lines: 1. Nothing was imported\n"), std::string::npos);
    EXPECT_EQ(Cli({"eqa", "list"}).out, "{\"results\":[]}\n");

    r = Cli({"eqa", "import", good});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "{\"imported\":2}\n");
    r = Cli({"eqa", "Sodium"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Values(r.out, "Z"), (std::vector<std::string>{"0.8", "null"}));
    EXPECT_EQ(Values(r.out, "Band"), (std::vector<std::string>{"\"acceptable\"", "\"none\""}));
    EXPECT_EQ(Values(r.out, "BiasPct"), (std::vector<std::string>{"2", "-2"}));
    EXPECT_EQ(Values(r.out, "Date"), (std::vector<std::string>{"\"2026-03-02\"", "\"2026-03-03\""}));
    EXPECT_EQ(Cli({"eqa", "list", "Glucose"}).out, "{\"results\":[]}\n");

    // The EQA results of the period as the bias, B with its 4 participants too (2.5 / 5 and 7.5 / 2 % of
    // the assigned value): sqrt(2^2 + ((0.5 + 3.75) / 2)^2).
    r = Cli({"--regional", "iso", "uncertainty", "Sodium", "--from", "2026-03-01", "--to", "2026-03-31",
             "--bias", "eqa"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Fixed(Values(r.out, "uBiasPct")[0], 4), "2.9182");
    EXPECT_EQ(Values(r.out, "BiasSource"), std::vector<std::string>{"\"eqa\""});
    r = Cli({"--regional", "iso", "uncertainty", "Sodium", "--from", "2026-04-01", "--to", "2026-04-30",
             "--bias", "eqa"});
    EXPECT_NE(r.err.find("uncertainty not available: No value in the period"), std::string::npos) << r.err;
}

// One result typed in: checked as a file's line, the reason alone on refusal, nothing kept of a refusal.
TEST_F(CompanionAssessment, EqaAddRecordsOneTypedResult) {
    WriteData({{"A1", "5.0"}});
    const std::vector<std::string> typed = {
        "eqa", "add", "Ring \"North\", 2026", "1", "A", "2026-03-02", "Sodium", "102", "100", "2.5", "25"};
    TRun r = Cli(typed);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "{\"added\":1}\n");
    r = Cli({"eqa", "Sodium"});
    EXPECT_NE(r.out.find(R"("Scheme":"Ring \"North\", 2026")"), std::string::npos) << r.out;
    EXPECT_EQ(Values(r.out, "Z"), std::vector<std::string>{"0.8"});
    const struct {
        std::vector<std::string> args;
        const char* message;
    } refused[] = {
        {typed, "This sample is already recorded"},
        {{"eqa", "add", "S", "1", "B", "2026-03-02", "Sodium", "102", "100", "0", "25"},
         "The SD must be above zero"},
        {{"eqa", "add", "S", "1", "B", "2 March", "Sodium", "102", "100", "2", "25"},
         "Not an ISO date (yyyy-mm-dd): 2 March"},
        {{"eqa", "add", "S", "1", "B", "2026-03-02", "Potassium", "4", "4", "1", "25"},
         "Unknown analyte: Potassium"},
        {{"eqa", "add", "S", "1", "B"},
         "usage: eqa add SCHEME DISTRIBUTION SAMPLE DATE ANALYTE RESULT ASSIGNED SD PARTICIPANTS"},
    };
    for (const auto& c : refused) {
        r = Cli(c.args);
        EXPECT_EQ(r.status, 2) << c.message;
        EXPECT_EQ(r.err, std::string("varnholt-cli: ") + c.message + "\n");
    }
    EXPECT_EQ(Values(Cli({"eqa", "list"}).out, "Sample"), std::vector<std::string>{"\"A\""});
    EXPECT_EQ(Values(Cli({"eqa", "list"}).out, "Action"), std::vector<std::string>{"null"});

    // An unacceptable result's corrective action, journaled and listed with it.
    ASSERT_EQ(Cli({"eqa", "add", "S", "2", "C", "2026-04-06", "Sodium", "110", "100", "2.5", "25"}).status,
              0);
    r = Cli({"eqa", "action", "S", "2", "C", "Sodium", "Recalibrated"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "{\"recorded\":1}\n");
    EXPECT_EQ(Values(Cli({"eqa", "Sodium"}).out, "Action"),
              (std::vector<std::string>{"null", "\"Recalibrated\""}));
    r = Cli({"eqa", "action", "Ring \"North\", 2026", "1", "A", "Sodium", "Recalibrated"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err,
              "varnholt-cli: The EQA result Ring \"North\", 2026 / 1 / A of Sodium is not unacceptable\n");
}

// Lot A1 (4, 5) archived, lot A2 (5, 6, 7) current, all in March: each peer row meets its own lot.
TEST_F(CompanionAssessment, PeerImportAndMonth) {
    WriteData({{"A1", "4 5"}, {"A2", "5 6 7"}});
    const std::string header = "analyte;material;lot;level;month;mean;sd;n;labs\n";
    const std::string good = folder.File("peer.csv"), bad = folder.File("bad.csv");
    AtomicWriteFile(good, header + "Glucose;Low;A2;1;2026-03;5,5;0,5;40;12\n"
                                   "Glucose;Low;A1;1;2026-03;4;0,25;40;12\n");
    AtomicWriteFile(bad, header + "Glucose;Low;A2;1;2026-04;5,5;0,5;40;12\n"
                                  "Potassium;Low;A2;1;2026-03;5,5;0,5;40;12\n");
    TRun r = Cli({"peer", "import", bad});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("varnholt-cli: Line 3: Unknown analyte: Potassium\n"), std::string::npos) << r.err;
    EXPECT_EQ(Cli({"peer", "list"}).out, "{\"peer\":[]}\n");
    r = Cli({"peer", "import", good});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "{\"imported\":2}\n");

    r = Cli({"--regional", "iso", "peer", "Glucose", "--month", "2026-03"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Values(r.out, "Lot"), (std::vector<std::string>{"\"A1\"", "\"A2\""}));
    EXPECT_EQ(Values(r.out, "LabN"), (std::vector<std::string>{"2", "3"}));
    EXPECT_EQ(Values(r.out, "LabMean"), (std::vector<std::string>{"4.5", "6"}));
    EXPECT_EQ(Values(r.out, "PeerMean"), (std::vector<std::string>{"4", "5.5"}));
    EXPECT_EQ(Values(r.out, "SDI"), (std::vector<std::string>{"2", "1"}));
    // (0.7071 / 4.5) / (0.25 / 4) and (1 / 6) / (0.5 / 5.5).
    const auto cvr = Values(r.out, "CVR");
    ASSERT_EQ(cvr.size(), 2u);
    EXPECT_EQ(Fixed(cvr[0], 4), "2.5142");
    EXPECT_EQ(Fixed(cvr[1], 4), "1.8333");
    EXPECT_EQ(Values(r.out, "Band"), (std::vector<std::string>{"\"watch\"", "\"good\""}));

    r = Cli({"--regional", "iso", "peer", "Glucose", "--month", "2026-04"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Values(r.out, "SDI"), std::vector<std::string>{});
    EXPECT_NE(r.err.find("no peer statistics for 2026-04"), std::string::npos) << r.err;
    const struct {
        std::vector<std::string> args;
        const char* message;
    } refused[] = {
        {{"peer", "Glucose"}, "usage: peer ANALYTE --month YYYY-MM"},
        {{"peer", "Glucose", "--month", "2026-3"}, "Not a month (yyyy-mm): 2026-3"},
        {{"peer", "Potassium", "--month", "2026-03"}, "unknown analyte: Potassium"},
        {{"goal", "Glucose", "--bias", "none"}, "--bias takes target, peer or eqa, not none"},
        {{"goal", "Glucose", "--clear", "--bias", "eqa"}, "--clear takes no --tea, --target or --bias"},
    };
    for (const auto& c : refused) {
        const TRun bad = Cli(c.args);
        EXPECT_EQ(bad.status, 2) << c.message;
        EXPECT_EQ(bad.err, std::string("varnholt-cli: ") + c.message + "\n");
    }

    // The goal names the source of Sigma's bias; March lies outside the six months to today: no bias.
    r = Cli({"goal", "Glucose", "--tea", "10", "--bias", "peer"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Values(r.out, "BiasFrom"), std::vector<std::string>{"\"peer\""});
    r = Cli({"sigma", "Glucose"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Values(r.out, "BiasFrom"), std::vector<std::string>{"\"peer\""});
    EXPECT_EQ(Values(r.out, "BiasKnown"), std::vector<std::string>{"false"});
    EXPECT_NE(r.err.find("no peer or EQA data for the bias"), std::string::npos) << r.err;
}
