// The server's setup script run on the test cluster: the owner role owns the database, the benches'
// role works in it with the rights it is given and no more.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ServerHelpers.h"
#include "TestHelpers.h"
#include "TestSeams.h"
#include "UMigrate.h"
#include "UOperations.h"

namespace {

class ServerSetup_ : public ::testing::Test {
protected:
    std::string cluster, why, host, name;
    TTempFolder lab, station;
    TOperations& ops = Operations();

    void SetUp() override {
        cluster = ClusterConninfo(why);
        if (cluster.empty()) return;
        host = cluster.substr(5, cluster.find(' ') - 5);
        name = "vs_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        for (char& ch : name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        name = name.substr(0, 40);
        Drop();
    }
    void TearDown() override {
        ops.Close();
        if (!cluster.empty()) Drop();
    }
    void Drop() {
        TPgConnection c;
        c.Connect(cluster);
        c.Exec("DROP DATABASE IF EXISTS " + name + " WITH (FORCE)");
        for (const char* role : {"_owner", "_bench", "_lab", "_outsider"})
            c.Exec("DROP ROLE IF EXISTS " + name + role);
    }
    std::string As(const std::string& user) const {
        return "host=" + host + " user=" + user + " dbname=" + name;
    }

    // The script's exit status, run as the cluster's administrator.
    int Setup(const std::string& role) {
        const std::string cmd = "PGHOST='" + host + "' PGUSER=varnholt VARNHOLT_OWNER_PASSWORD=o-pw " +
                                "VARNHOLT_ROLE_PASSWORD=b-pw " + VARNHOLT_SERVER_SETUP + " " + name + " " +
                                role + " >" + lab.Path() + "setup.log 2>&1 </dev/null";
        const int status = std::system(cmd.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string SetupLog() { return ReadWholeFile(lab.Path() + "setup.log"); }

    // A folder with Glucose and five runs.
    void MakeFolder() {
        TOpenOptions o;
        o.SampleOnFirstRun = false;
        ASSERT_TRUE(ops.Open(lab.Path(), TOpenMode::Writer, o).Opened);
        auto a = std::make_unique<TAnalyte>("Glucose", "mmol/L", 2, 2);
        for (int k = 0; k < 5; ++k) a->AddPoint(MakeRun(Today() - 10 + k, {5, 10}));
        a->RecalcAll();
        ListAnalytes.Add(std::move(a));
        WriteAllData(ops);
        ops.Close();
    }

    TOutcome AddRun(const std::string& user, const std::string& code, const std::string& password,
                    double day) {
        TOpenOptions o;
        o.Server = As(user);
        o.OperatorCode = code;
        o.OperatorPassword = password;
        const TOpenReport r = ops.Open(station.Path(), TOpenMode::Writer, o);
        if (!r.Opened) return TOutcome::Refuse(r.Message);
        TOutcome out = ops.AcceptRun(*ListAnalytes.FindByName("Glucose"), MakeRun(day, {5, 10}));
        if (out.Ok() && !ops.CheckJournal().Whole) out = TOutcome::Refuse("journal not whole");
        ops.Close();
        return out;
    }

    // The owner owns the database and every table; a bench role may not change the schema, the
    // accounts or the journal, nor any other role connect.
    void ExpectTheSplit(const std::string& bench) {
        TPgConnection admin;
        admin.Connect(As("varnholt"));
        EXPECT_EQ(
            admin.Exec("SELECT pg_get_userbyid(datdba) FROM pg_database WHERE datname = current_database()")
                .Text(0, 0),
            name + "_owner");
        EXPECT_EQ(admin
                      .Exec("SELECT string_agg(tablename || ' ' || tableowner, ', ') FROM pg_tables WHERE "
                            "schemaname = 'public' AND tableowner <> $1",
                            {name + "_owner"})
                      .Text(0, 0),
                  "");
        admin.Exec("CREATE ROLE " + name + "_outsider LOGIN");
        EXPECT_EQ(admin
                      .Exec("SELECT has_database_privilege($1, current_database(), 'CONNECT')",
                            {name + "_outsider"})
                      .Text(0, 0),
                  "f");
        TPgConnection c;
        c.Connect(As(bench));
        for (const char* sql :
             {"CREATE TABLE extra(i integer)", "DROP TABLE point", "ALTER TABLE point DISABLE TRIGGER ALL",
              "UPDATE account SET role = 'supervisor'", "DELETE FROM journal", "DELETE FROM point",
              "SELECT password_hash FROM account"}) {
            std::string state;
            try {
                c.Exec(sql);
            } catch (const EServerError& e) {
                state = e.State;
            }
            EXPECT_EQ(state, "42501") << bench << ": " << sql;
        }
    }
};

// Set up anew: migrated as the owner, the benches sign in, manage accounts and add runs as their role.
TEST_F(ServerSetup_, ANewDatabaseBelongsToTheOwnerAndTheBenchesWorkInIt) {
    if (cluster.empty()) GTEST_SKIP() << "PostgreSQL test cluster: " << why;
    ASSERT_EQ(Setup(name + "_lab"), 0) << SetupLog();
    MakeFolder();
    ASSERT_NO_THROW(MigrateFolderToServer(lab.Path(), As(name + "_owner")));
    {
        TOpenOptions o;
        o.Server = As(name + "_lab");
        ASSERT_TRUE(ops.Open(station.Path(), TOpenMode::Writer, o).Opened);
        ASSERT_TRUE(ops.SetAccount({"boss", "B. Boss", TRole::Supervisor}, "pw-boss").Ok());
        ops.Close();
        o.OperatorCode = "boss";
        o.OperatorPassword = "pw-boss";
        ASSERT_TRUE(ops.Open(station.Path(), TOpenMode::Writer, o).Opened);
        ASSERT_TRUE(ops.SetAccount({"tech", "T. Tech", TRole::Technologist}, "pw-tech").Ok());
        ops.Close();
    }
    TOutcome added = AddRun(name + "_lab", "tech", "pw-tech", Today() - 1);
    EXPECT_TRUE(added.Ok()) << added.Message;
    ExpectTheSplit(name + "_lab");
    // Run again (new passwords, say): nothing of that changes.
    ASSERT_EQ(Setup(name + "_lab"), 0) << SetupLog();
    added = AddRun(name + "_lab", "tech", "pw-tech", Today());
    EXPECT_TRUE(added.Ok()) << added.Message;
}

// Set up before the owner role, the benches' role owning everything: handed to the owner, the
// benches keep working with their narrower rights.
TEST_F(ServerSetup_, ADatabaseTheBenchesOwnedIsHandedToTheOwner) {
    if (cluster.empty()) GTEST_SKIP() << "PostgreSQL test cluster: " << why;
    const std::string bench = name + "_bench";
    {
        TPgConnection c;
        c.Connect(cluster);
        c.Exec("CREATE ROLE " + bench + " LOGIN");
        c.Exec("CREATE DATABASE " + name + " OWNER " + bench);
    }
    MakeFolder();
    ASSERT_NO_THROW(MigrateFolderToServer(lab.Path(), As(bench)));
    ASSERT_EQ(Setup(bench), 0) << SetupLog();
    TOutcome added = AddRun(bench, "", "", Today() - 1);
    EXPECT_TRUE(added.Ok()) << added.Message;
    ExpectTheSplit(bench);
}

} // namespace
