// Rights on the server: what a technologist may not change, refused whatever the bench asks.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include "ServerHelpers.h"
#include "TestHelpers.h"
#include "TestSeams.h"
#include "UInbox.h"
#include "UOperations.h"

namespace {

class ServerRights_ : public ::testing::Test {
protected:
    TServerDatabase db;
    TTempFolder station, inbox;
    TOperations& ops = Operations();
    void TearDown() override { ops.Close(); }

    TOpenReport Open(const std::string& code = "", const std::string& password = "") {
        TOpenOptions o;
        o.SampleOnFirstRun = false;
        o.Server = db.Conninfo();
        o.OperatorCode = code;
        o.OperatorPassword = password;
        return ops.Open(station.Path(), TOpenMode::Writer, o);
    }

    // Glucose, the inbox with its reading options and one mapping, and the accounts boss and tech.
    void MakeLab() {
        ASSERT_TRUE(Open().Opened);
        auto a = std::make_unique<TAnalyte>("Glucose", "mmol/L", 2, 2);
        for (int k = 0; k < 5; ++k) a->AddPoint(MakeRun(45900 + k, {5, 10}));
        a->RecalcAll();
        ListAnalytes.Add(std::move(a));
        WriteAllData(ops);
        TInboxSettings s;
        s.Folder = inbox.Path();
        ASSERT_TRUE(ops.SetInboxSettings(s).Ok());
        TInstrumentSource src = TInstrumentSource::FromText(
            "separator=semicolon\ncolumn.test=test\ncolumn.control=control\ncolumn.value=value\n");
        src.Id = DefaultSourceId;
        ASSERT_TRUE(ops.SetInboxSource(src).Ok());
        ASSERT_TRUE(ops.MapInstrumentResults({DefaultSourceId, "GLU", "L1", "Glucose", 1}).Ok());
        ASSERT_TRUE(ops.SetAccount({"boss", "B. Boss", TRole::Supervisor}, "pw-boss").Ok());
        ops.Close();
        ASSERT_TRUE(Open("boss", "pw-boss").Opened);
        ASSERT_TRUE(ops.SetAccount({"tech", "T. Tech", TRole::Technologist}, "pw-tech").Ok());
        ops.Close();
    }

    // What decides what the inbox accepts, as the server holds it.
    std::string Acceptance() {
        std::string s;
        for (const char* q :
             {"SELECT auto_accept::text FROM inbox_setting ORDER BY station",
              "SELECT id || '=' || options FROM inbox_source ORDER BY id",
              "SELECT source || code || control || analyte || level FROM inbox_map ORDER BY 1"}) {
            TPgResult r = db.Admin().Exec(q);
            for (int i = 0; i < r.Rows(); ++i) s += r.Text(i, 0) + "|";
        }
        return s;
    }
};

#ifdef VARNHOLT_CLI
// The companion's exit status, signed in as `code`.
int Cli(const std::string& conninfo, const std::string& code, const std::string& password,
        const std::string& args) {
    const std::string cmd = "VARNHOLT_PASSWORD='" + password + "' " + VARNHOLT_CLI + " --db '" + conninfo +
                            "' --user " + code + " " + args + " >/dev/null 2>&1 </dev/null";
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Auto-accept stores runs without validation: it, the mapping and the reading options are a
// supervisor's; a technologist's attempt is refused as other refusals are, and changes nothing.
TEST_F(ServerRights_, ATechnologistCannotChangeWhatTheInboxAccepts) {
    SKIP_WITHOUT_SERVER(db);
    MakeLab();
    const std::string before = Acceptance();
    const std::string& c = db.Conninfo();
    for (const char* refused :
         {"inbox set --auto-accept on",
          "map add --source default --code GLU --control L2 --analyte Glucose --level 2",
          "map remove --source default --code GLU --control L1", "source default separator=comma"})
        EXPECT_EQ(Cli(c, "tech", "pw-tech", refused), 2) << refused;
    EXPECT_EQ(Acceptance(), before);
    // The bench's own folder and time window stay a technologist's.
    EXPECT_EQ(Cli(c, "tech", "pw-tech", "inbox set --window 30"), 0);
    EXPECT_EQ(Cli(c, "boss", "pw-boss", "inbox set --auto-accept on"), 0);
    EXPECT_EQ(Cli(c, "boss", "pw-boss", "map remove --source default --code GLU --control L1"), 0);
    EXPECT_NE(Acceptance(), before);
}
#endif

} // namespace
