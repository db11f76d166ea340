// The user manual's worked example of quality goals and Sigma: its values read from the manual, its
// figures computed by the program and compared with the manual's tables and text.
#include <gtest/gtest.h>
#include <regex>

#include "TestHelpers.h"
#include "UAtomicFile.h"
#include "UGlobale.h"
#include "USigmaReport.h"
#include "UUtilitaires.h"

namespace {

const std::string Manual = std::string(VARNHOLT_TEST_DATA) + "/../../docs/UserManual.htm";

// The rows of the table with the given id, each as its cells' texts.
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

std::string Fixed(long double v, int decimals) {
    return FormatFixed(v, 12, decimals);
}

} // namespace

TEST(ManualExample, FiguresOfTheWorkedExample) {
    TTempFolder folder;
    const std::string html = ReadWholeFile(Manual);
    ASSERT_NE(html.find("TEa 10 % with the targets 5.0 (level 1) and 15.0 (level 2)"), std::string::npos);

    const auto values = Table(html, "worked-example-values");
    ASSERT_EQ(values.size(), 5u);
    TAnalyte a("Glucose", "mmol/L", 3, 2);
    for (size_t k = 0; k < values.size(); ++k)
        a.AddPoint(MakeRun(46082 + k, {std::stod(values[k][1]), std::stod(values[k][2])}));
    a.LimitMode = {lmLocked, lmLocked, lmMobile};
    a.LockFirst = {0, 0, -1};
    a.LockLast = {4, 4, -1};
    a.Options &= ~TAnalyte::OptCommonCV;
    a.RecalcAll();
    const TSigmaReport r = SigmaReport(a, ParseGoalLine("Glucose;10;5.0;15.0"), std::nullopt, {0, 4});
    ASSERT_EQ(r.Levels.size(), 2u);

    const auto figures = Table(html, "worked-example");
    ASSERT_EQ(figures.size(), 10u);
    for (const auto& row : figures) {
        ASSERT_EQ(row.size(), 3u);
        for (size_t i = 0; i < 2; ++i) {
            const TLevelSigma& l = r.Levels[i];
            const TLevelFigures& f = l.Figures;
            std::string want;
            const std::string& name = row[0];
            if (name == "N")
                want = std::to_string(f.N);
            else if (name == "Mean")
                want = Fixed(f.Mean.Value, 3);
            else if (name == "SD")
                want = Fixed(f.SD.Value, 3);
            else if (name == "CV %")
                want = Fixed(f.CV.Value, 2);
            else if (name == "Bias %")
                want = Fixed(f.BiasPct.Value, 2);
            else if (name == "Sigma")
                want = Fixed(f.Sigma.Value, 2);
            else if (name == "Critical SE")
                want = Fixed(l.Detection.DeltaSEcrit.Value, 2);
            else if (name == "Advised rules")
                for (const std::string& rule : l.Advice.Rules) want += (want.empty() ? "" : "/") + rule;
            else if (name == "Ped")
                want = Fixed(l.Detection.Ped.Value, 2);
            else if (name == "Run plan")
                for (const TRunPlan& p : l.Advice.Plans)
                    want += (want.empty() ? "" : " or ") +
                            ("N=" + std::to_string(p.N) + ", R=" + std::to_string(p.R));
            else
                ADD_FAILURE() << "a row the test does not know: " << name;
            EXPECT_EQ(row[i + 1], want) << name << ", level " << i + 1;
        }
    }
    // The figures of the text around the tables.
    for (const std::string& text : std::vector<std::string>{
             "CV = 100 &times; 0.101 / 5.050 = 2.00 %", "Sigma = (10 &minus; 1) / 2 = 4.50",
             "Sigma = (10 &minus; 2) / 1 = 8.00", "Ped " + Fixed(r.Levels[0].Detection.Ped.Value, 2) + ")"})
        EXPECT_NE(html.find(text), std::string::npos) << text;
    // Level 1's Ped in closed form. Both values of the run are shifted by the critical error; within
    // the run the rules reject a value beyond its action limit (1:3s) or both values beyond their
    // warning limits (2:2s, R:4s across the levels). The rules that read earlier runs add about 0.01,
    // the simulation's own spread is 0.003.
    {
        const long double crit = r.Levels[0].Detection.DeltaSEcrit.Value;
        const long double kw = TQuantile(Settings.AlertRow, 4), ka = TQuantile(Settings.ActionRow, 4);
        auto inside = [&](long double k) { return Phi(k - crit) - Phi(-k - crit); };
        const long double calm = inside(kw), warned = inside(ka) - inside(kw);
        const long double withinRun = 1 - (calm * calm + 2 * calm * warned);
        const long double ped = r.Levels[0].Detection.Ped.Value;
        EXPECT_GT(ped, withinRun - 0.01L);
        EXPECT_LT(ped, withinRun + 0.02L);
    }
    EXPECT_NE(r.Levels[0].Comparison.Text.find("Applied beyond the advice: 10:m"), std::string::npos);
    // With the common CV on, the figures take the pooled CV and degrees of freedom of the limits.
    a.Options |= TAnalyte::OptCommonCV;
    a.RecalcAll();
    const TSigmaReport pooled = SigmaReport(a, ParseGoalLine("Glucose;10;5.0;15.0"), std::nullopt, {0, 4});
    EXPECT_EQ(a.Limits[0].DF, 8);
    EXPECT_TRUE(pooled.Levels[1].Figures.CommonCV);
    EXPECT_NE(html.find("pooled CV of " + Fixed(pooled.Levels[1].Figures.CV.Value, 2) + " % with " +
                        std::to_string(a.Limits[0].DF) + " degrees of freedom"),
              std::string::npos);
    EXPECT_NE(html.find("The program applies 10:m beyond the advice"), std::string::npos);
}
