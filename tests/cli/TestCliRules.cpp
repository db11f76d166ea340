// The companion's rule sets and run planning, run as a separate program.
#include <gtest/gtest.h>

#include "CliSupport.h"
#include "TestHelpers.h"
#include "UDataLoadSave.h"

namespace {

TRun Cli(const std::string& home, const std::vector<std::string>& args) {
    return RunCompanion("", home, args);
}

class CompanionRules : public ::testing::Test {
protected:
    TTempFolder folder;
    std::string home = folder.Path();
    void SetUp() override {
        ListAnalytes.Clear();
        ListSerum.Clear();
        ListAnalytes.Add(std::make_unique<TAnalyte>("Glucose", "mmol/L", 1, 2));
        WriteDataFile(DataFileName());
    }
};

} // namespace

TEST_F(CompanionRules, RulesAreShownSetInPartsAndRefusedWithoutChange) {
    TRun r = Cli(home, {"rules", "glucose"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "{\"Name\":\"Glucose\",\"Reject\":[],\"Warn\":[]}\n");
    r = Cli(home, {"rules", "Glucose", "--set", "R:4s 1:3s,2of3:2s", "--warn", "1:2S"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "{\"Name\":\"Glucose\",\"Reject\":[\"1:3s\",\"2of3:2s\",\"R:4s\"],\"Warn\":[\"1:2s\"]}\n");
    // The part not given is kept; "" gives none.
    r = Cli(home, {"rules", "Glucose", "--warn", ""});
    EXPECT_EQ(r.out, "{\"Name\":\"Glucose\",\"Reject\":[\"1:3s\",\"2of3:2s\",\"R:4s\"],\"Warn\":[]}\n");
    const std::string stored = Cli(home, {"rules", "Glucose"}).out;
    EXPECT_EQ(stored, r.out);

    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const Case bad[] = {
        {{"rules", "Glucose", "--set", ""}, "A rule set needs at least one reject rule"},
        {{"rules", "Glucose", "--set", "1:3s, 7:x"}, "Unknown rule: 7:x"},
        {{"rules", "Glucose", "--warn", "R:4s"}, "R:4s cannot both reject and warn"},
        {{"rules", "Glucose", "--clear", "--set", "1:3s"}, "--clear takes no --set or --warn"},
        {{"rules", "Sodium", "--set", "1:3s"}, "unknown analyte: Sodium"},
    };
    for (const Case& c : bad) {
        const TRun b = Cli(home, c.args);
        EXPECT_EQ(b.status, 2) << c.message;
        EXPECT_EQ(b.err, std::string("varnholt-cli: ") + c.message + "\n");
    }
    EXPECT_EQ(Cli(home, {"rules", "Glucose"}).out, stored);
    r = Cli(home, {"rules", "Glucose", "--clear"});
    EXPECT_EQ(r.out, "{\"Name\":\"Glucose\",\"Reject\":[],\"Warn\":[]}\n");
    // A set given to an analyte with none needs its reject rules.
    EXPECT_EQ(Cli(home, {"rules", "Glucose", "--warn", "1:2s"}).status, 2);
}
