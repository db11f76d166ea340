// Several companions on one server at once: nothing lost, nothing doubled, no conflict between runs
// added, the statistics of a folder;
// a companion killed in the middle of its transaction leaves nothing behind.
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

#include "ServerHelpers.h"
#include "TestHelpers.h"
#include "TestSeams.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UOperations.h"

#ifdef VARNHOLT_CLI
namespace {

std::string Quoted(const std::string& s) {
    return "'" + s + "'";
}

// The companion's standard output, and its exit status.
std::pair<std::string, int> Cli(const std::string& args) {
    std::string out;
    FILE* p = ::popen((std::string(VARNHOLT_CLI) + " " + args + " 2>/dev/null").c_str(), "r");
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int status = ::pclose(p);
    return {out, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

class Benches_ : public ::testing::Test {
protected:
    TServerDatabase db;
    TTempFolder scratch;
    std::string Db() const { return "--db " + Quoted(db.Conninfo()) + " "; }
    int64_t Entries(const char* kindLike = "%") {
        return db.Admin().Exec("SELECT count(*) FROM journal WHERE kind LIKE $1", {kindLike}).Int(0, 0);
    }
    int Count(const char* analyte) {
        return static_cast<int>(
            db.Admin()
                .Exec("SELECT count(*) FROM point JOIN analyte ON analyte.id = point.analyte "
                      "WHERE analyte.name = $1",
                      {analyte})
                .Int(0, 0));
    }
};

} // namespace

TEST_F(Benches_, CompanionsAddingRunsAtOnceLoseAndDoubleNothing) {
    SKIP_WITHOUT_SERVER(db);
    ASSERT_EQ(Cli(Db() + "--init queue list").second, 2); // a reader makes nothing
    ASSERT_EQ(Cli(Db() + "--init add Glucose 2030-01-01 08:00 5").second, 0);
    const int glucose = Count("Glucose"), calcium = Count("Calcium"), albumin = Count("Albumin");
    // Two companions on Glucose, one each on Calcium and Albumin; a refusal for a run that another
    // bench's runs judge otherwise (status 5: these values lie beyond the limits) is run again, as a
    // script would.
    const char* analytes[] = {"Glucose", "Glucose", "Calcium", "Albumin"};
    constexpr int Runs = 8;
    std::string script;
    for (int c = 0; c < 4; ++c) {
        script += "(for k in $(seq 1 " + std::to_string(Runs) + "); do d=$(printf '2031-01-%02d' $k); ";
        script += "until " + std::string(VARNHOLT_CLI) + " " + Db() + "add " + analytes[c] + " $d 1" +
                  std::to_string(c) + ":00 5.$k >/dev/null 2>>" + scratch.File("err" + std::to_string(c)) +
                  "; rc=$?; [ $rc -ne 5 ]; do echo retry >>" + scratch.File("retries") + "; done; ";
        script += "[ $rc -eq 0 ] || echo failed $rc >>" + scratch.File("failed") + "; done) & ";
    }
    script += "wait\n";
    AtomicWriteFile(scratch.File("benches.sh"), script);
    ASSERT_EQ(std::system(("bash " + scratch.File("benches.sh")).c_str()), 0);
    EXPECT_FALSE(FileExists(scratch.File("failed"))) << ReadWholeFile(scratch.File("failed"));
    EXPECT_EQ(Count("Glucose"), glucose + 2 * Runs);
    EXPECT_EQ(Count("Calcium"), calcium + Runs);
    EXPECT_EQ(Count("Albumin"), albumin + Runs);
    // Each run once: one point per bench and day.
    TPgResult twice =
        db.Admin().Exec("SELECT analyte, at FROM point GROUP BY analyte, at HAVING count(*) > 1");
    EXPECT_EQ(twice.Rows(), 0);
    // One journal entry per run taken, none for a refused attempt, all in one unbroken chain.
    EXPECT_EQ(Entries("run accepted%"), 1 + 4 * Runs);
    const auto verified = Cli(Db() + "journal verify");
    EXPECT_EQ(verified.second, 0);
    EXPECT_NE(verified.first.find(std::to_string(Entries())), std::string::npos) << verified.first;
    // A sign-off (the program password on standard input) goes with the data.
    {
        TOpenOptions o;
        o.SampleOnFirstRun = false;
        o.Server = db.Conninfo();
        ASSERT_TRUE(Operations().Open(scratch.Path(), TOpenMode::Writer, o).Opened);
        ASSERT_TRUE(Operations().SetOperators({"XX"}).Ok());
        ASSERT_TRUE(Operations().ChangeSettings([](TSettings& s) { s.Password = "LAB"; }).Ok());
        Operations().Close();
    }
    ASSERT_EQ(std::system(("echo lab | " + std::string(VARNHOLT_CLI) + " " + Db() +
                           "review sign Glucose --from 2031-01-01 --to 2031-01-31 --reviewer XX")
                              .c_str()),
              0);
    // The figures on the server are those of the same data in a folder.
    const std::string folder = scratch.File("moved");
    ASSERT_EQ(Cli("migrate --from " + Quoted(db.Conninfo()) + " --to-folder " + folder).second, 0);
    for (const char* a : {"Glucose", "Calcium", "Albumin"}) {
        auto onServer = Cli(Db() + "limits " + a), inFolder = Cli("--home " + folder + " limits " + a);
        EXPECT_EQ(onServer.second, 0);
        EXPECT_EQ(onServer.first, inFolder.first) << a;
        EXPECT_EQ(Cli(Db() + "points " + a).first, Cli("--home " + folder + " points " + a).first) << a;
    }
    // Moved back into an empty database, the folder gives the same files again.
    TServerDatabase again;
    ASSERT_EQ(Cli("migrate --from-folder " + folder + " --to " + Quoted(again.Conninfo())).second, 0);
    const std::string back = scratch.File("back");
    ASSERT_EQ(Cli("migrate --from " + Quoted(again.Conninfo()) + " --to-folder " + back).second, 0);
    for (const char* f : {"/Varnholt.qcf", "/Varnholt.cfr", "/Varnholt.fif"})
        EXPECT_EQ(ReadWholeFile(folder + f), ReadWholeFile(back + f)) << f;
    // The journal travels whole, entries and hashes as written.
    const auto journal = Cli(Db() + "journal");
    EXPECT_EQ(Cli("--home " + folder + " journal").first, journal.first);
    EXPECT_EQ(Cli("--home " + back + " journal").first, journal.first);
    EXPECT_EQ(Cli("--home " + back + " journal verify").second, 0);
    const auto reviews = Cli(Db() + "review list");
    EXPECT_NE(reviews.first.find("\"XX\""), std::string::npos) << reviews.first;
    EXPECT_EQ(Cli("--home " + back + " review list").first, reviews.first);
    // Into a database that holds data, nothing is copied.
    EXPECT_EQ(Cli("migrate --from-folder " + folder + " --to " + Quoted(again.Conninfo())).second, 2);
}

TEST_F(Benches_, ACompanionKilledInItsTransactionLeavesNothing) {
    SKIP_WITHOUT_SERVER(db);
    ASSERT_EQ(Cli(Db() + "--init add Glucose 2030-01-01 08:00 5").second, 0);
    const int before = Count("Glucose");
    const int64_t entries = Entries();
    TPgConnection& admin = db.Admin();
    admin.Exec("BEGIN");
    admin.Exec("SELECT 1 FROM analyte WHERE name = 'Glucose' FOR UPDATE");
    // The companion is inside its transaction, waiting for the row.
    ASSERT_TRUE(KillInsideItsTransaction(
        admin, db.Conninfo(),
        {VARNHOLT_CLI, "--db", db.Conninfo(), "add", "Glucose", "2031-05-01", "09:00", "7.5"}));
    EXPECT_EQ(Count("Glucose"), before);
    EXPECT_EQ(admin.Exec("SELECT 1 FROM point WHERE at = (SELECT max(at) FROM point) AND v1 = 7.5").Rows(),
              0);
    EXPECT_EQ(Entries(), entries);
    EXPECT_EQ(Cli(Db() + "add Glucose 2031-05-01 09:00 7.5").second, 0);
    EXPECT_EQ(Count("Glucose"), before + 1);
    EXPECT_EQ(Entries(), entries + 1);
    EXPECT_EQ(Cli(Db() + "journal verify").second, 0);
}
// Twenty companions at once on one analyte, then twenty on twenty analytes, ten times, the server syncing
// every commit; some are killed at any moment. Every companion that ends well has its run stored once,
// none ends with a conflict, a killed one's run is stored at most once, and the journal stays whole.
TEST_F(Benches_, TwentyCompanionsAtOnceEachStoreTheirRunOnceWithFsyncOn) {
    SKIP_WITHOUT_SERVER(db);
    // A cluster of its own that syncs every commit, as a real server does.
    const std::string cluster = "/tmp/varnholt-pg-fsync-" + std::to_string(::getpid());
    const std::string pgCluster = VARNHOLT_PG_CLUSTER;
    ASSERT_EQ(
        std::system(("VARNHOLT_PG_FSYNC=on " + pgCluster + " start " + cluster + " >/dev/null").c_str()), 0);
    struct TStop {
        std::string Command;
        ~TStop() {
            if (std::system(Command.c_str()) != 0)
                std::cerr << "cannot stop the cluster: " << Command << "\n";
        }
    } stop{pgCluster + " stop " + cluster};
    std::string ready = ReadWholeFile(cluster + "/status");
    ASSERT_EQ(ready.rfind("ready ", 0), 0u) << ready;
    while (!ready.empty() && ready.back() == '\n') ready.pop_back();
    const std::string conninfo = ready.substr(6);
    const std::string on = "--db " + Quoted(conninfo) + " ";
    TPgConnection admin;
    admin.Connect(conninfo);
    ASSERT_EQ(admin.Exec("SHOW fsync").Text(0, 0), "on");
    auto runEntries = [&admin] {
        return admin.Exec("SELECT count(*) FROM journal WHERE kind LIKE 'run%'").Int(0, 0);
    };
    constexpr int Companions = 20, Rounds = 10;
    {
        TOpenOptions o;
        o.SampleOnFirstRun = false;
        o.Server = conninfo;
        ASSERT_TRUE(Operations().Open(scratch.Path(), TOpenMode::Writer, o).Opened);
        // Twenty days about 5.0 each: runs at 5.0 are judged alike whatever others add meanwhile.
        std::vector<double> values;
        for (int k = 0; k < 20; ++k) values.push_back(k % 2 ? 5.1 : 4.9);
        for (int k = 0; k <= Companions; ++k) {
            auto a = std::make_unique<TAnalyte>(AnalyteWithValues(values));
            a->Name = "A" + std::to_string(k);
            ListAnalytes.Add(std::move(a));
        }
        WriteAllData(Operations());
        Operations().Close();
    }
    const int64_t entries = runEntries();
    // Each companion's run carries its own comment "r<round>c<companion>s|d" (same or different analytes).
    std::string script;
    for (int round = 1; round <= Rounds; ++round)
        for (const char* wave : {"s", "d"}) {
            script += "pids=()\n";
            for (int c = 1; c <= Companions; ++c) {
                const std::string analyte = std::string(wave) == "s" ? "A0" : "A" + std::to_string(c);
                char when[32];
                std::snprintf(when, sizeof when, "2031-03-%02d %02d:%02d", round, 8 + c / 60, c % 60);
                script += std::string(VARNHOLT_CLI) + " " + on + "add " + analyte + " " + when +
                          " 5.0 --comment r" + std::to_string(round) + "c" + std::to_string(c) + wave +
                          " 2>>" + scratch.File("err") + " & pids[" + std::to_string(c) + "]=$!\n";
            }
            // Three of them killed at some moment of their work.
            script += "for v in $(shuf -i 1-" + std::to_string(Companions) +
                      " -n 3); do (sleep 0.$((RANDOM % 300 + 10)); kill -9 ${pids[$v]} 2>/dev/null) & done\n";
            script += "for c in $(seq 1 " + std::to_string(Companions) + "); do wait ${pids[$c]}; echo \"r" +
                      std::to_string(round) + "c${c}" + wave + " $?\" >>" + scratch.File("status") +
                      "; done\nwait\n";
        }
    AtomicWriteFile(scratch.File("load.sh"), script);
    ASSERT_EQ(std::system(("bash " + scratch.File("load.sh")).c_str()), 0);
    std::ifstream status(scratch.File("status"));
    std::string tag;
    int rc = 0, ended = 0, killed = 0;
    while (status >> tag >> rc) {
        const int64_t stored =
            admin
                .Exec("SELECT count(*) FROM point p JOIN comment c ON c.analyte = p.analyte "
                      "AND c.id = p.comment_id WHERE c.text = $1",
                      {tag})
                .Int(0, 0);
        if (rc == 0) {
            ++ended;
            EXPECT_EQ(stored, 1) << tag;
        } else {
            EXPECT_EQ(rc, 128 + SIGKILL) << tag << " " << ReadWholeFile(scratch.File("err"));
            ++killed;
            EXPECT_LE(stored, 1) << tag;
        }
    }
    EXPECT_EQ(ended + killed, 2 * Rounds * Companions);
    EXPECT_GE(ended, 2 * Rounds * (Companions - 3));
    // Nothing else arrived, and each run stored has its one journal entry.
    const int64_t runs = admin
                             .Exec("SELECT count(*) FROM point p JOIN comment c ON c.analyte = p.analyte AND "
                                   "c.id = p.comment_id")
                             .Int(0, 0);
    EXPECT_LE(runs, 2 * Rounds * Companions);
    EXPECT_GE(runs, ended);
    EXPECT_EQ(runEntries(), entries + runs);
    EXPECT_EQ(admin.Exec("SELECT analyte, at FROM point GROUP BY analyte, at HAVING count(*) > 1").Rows(), 0);
    EXPECT_EQ(Cli(on + "journal verify").second, 0);
}
#endif
