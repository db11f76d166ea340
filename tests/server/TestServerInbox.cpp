// The instrument inbox on a server: its records move in and out with a folder, benches reading the same
// results at once place each once, and a reader killed inside its transaction leaves nothing.
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ServerHelpers.h"
#include "TestHelpers.h"
#include "TestSeams.h"
#include "UAtomicFile.h"
#include "UFifoResult.h"
#include "UInbox.h"
#include "UMigrate.h"
#include "UOperations.h"

namespace fs = std::filesystem;

namespace {

void Drop(const std::string& inbox, const std::string& name, const std::string& lines) {
    std::ofstream(inbox + name, std::ios::binary) << "test;control;value;date;time\n" << lines;
}

// Glucose on two levels with a history, the inbox's reading options, and the given mappings.
void MakeLab(TOperations& ops, const std::string& inbox, const std::vector<TInboxMapping>& mappings) {
    auto a = std::make_unique<TAnalyte>("Glucose", "mmol/L", 2, 2);
    a->Options = TAnalyte::OptMultirules;
    for (int k = 0; k < 20; ++k) a->AddPoint(MakeRun(45900 + k, {k % 2 ? 5.1 : 4.9, k % 2 ? 10.2 : 9.8}));
    a->RecalcAll();
    ListAnalytes.Add(std::move(a));
    WriteAllData(ops);
    TInboxSettings s;
    s.Folder = inbox;
    ASSERT_TRUE(ops.SetInboxSettings(s).Ok());
    TInstrumentSource src =
        TInstrumentSource::FromText("separator=semicolon\ncolumn.test=test\ncolumn.control=control\n"
                                    "column.value=value\ncolumn.date=date\ncolumn.time=time\n");
    src.Id = DefaultSourceId;
    ASSERT_TRUE(ops.SetInboxSource(src).Ok());
    for (const TInboxMapping& m : mappings) ASSERT_TRUE(ops.MapInstrumentResults(m).Ok());
}

// The inbox's records as the layer shows them, and the queue.
std::string State(TOperations& ops) {
    std::string s = QueueImage(Fifo.Entries()) + "|held " + std::to_string(ops.HeldFromInbox());
    for (const TWaitingResult& w : ops.NotMappedResults())
        s += "|" + w.Result.TestCode + " " + w.Result.Control + " " + w.Result.ValueText + " " + w.File +
             " " + w.Reason + " " + w.ReceivedUtc;
    for (const TInboxMapping& m : ops.InboxMappings())
        s += "|" + m.Source + " " + m.Code + " " + m.Control + " " + m.Analyte + std::to_string(m.Level);
    const TInboxSettings set = ops.InboxSettings();
    s += "|" + set.Folder + (set.AutoAccept ? " auto " : " ") + std::to_string(set.WindowMinutes);
    for (const TInstrumentSource& src : ops.InboxSources()) s += "|" + src.ToText();
    return s;
}

TInboxReport ReadOnce(TOperations& ops) {
    TInboxReport r;
    TOutcome out = ops.ReadInbox(&r);
    EXPECT_TRUE(out.Ok()) << out.Message;
    return r;
}

class ServerInbox_ : public ::testing::Test {
protected:
    TServerDatabase db;
    TTempFolder lab, inbox;
    TOperations& ops = Operations();
    void TearDown() override { ops.Close(); }
    TOpenReport OpenServer() {
        TOpenOptions o;
        o.SampleOnFirstRun = false;
        o.Server = db.Conninfo();
        return ops.Open(lab.Path(), TOpenMode::Writer, o);
    }
    int64_t Rows(const char* table) {
        return db.Admin().Exec(std::string("SELECT count(*) FROM ") + table).Int(0, 0);
    }
};

} // namespace

// What a folder's inbox has read and holds moves to the server and back: a file read before stays read,
// a result waiting for a mapping waits there, and a held run is still completed.
TEST_F(ServerInbox_, InboxRecordsMoveBothWays) {
    SKIP_WITHOUT_SERVER(db);
    TOpenOptions o;
    o.SampleOnFirstRun = false;
    ASSERT_TRUE(ops.Open(lab.Path(), TOpenMode::Writer, o).Opened);
    MakeLab(ops, inbox.Path(), {{"default", "GLU", "QC-N", "Glucose", 1}});
    const std::string file = "GLU;QC-N;5.02;2026-03-05;08:00\nGLU;QC-P;10.01;2026-03-05;08:04\n";
    Drop(inbox.Path(), "a.csv", file);
    TInboxReport r = ReadOnce(ops);
    EXPECT_EQ(r.Queued, 1);
    EXPECT_EQ(r.NotMapped, 1);
    const std::string inFolder = State(ops);
    ops.Close();

    ASSERT_NO_THROW(MigrateFolderToServer(lab.Path(), db.Conninfo()));
    TTempFolder station;
    TOpenOptions onServer;
    onServer.Server = db.Conninfo();
    ASSERT_TRUE(ops.Open(station.Path(), TOpenMode::Writer, onServer).Opened);
    EXPECT_EQ(State(ops), inFolder);
    Drop(inbox.Path(), "a.csv", file);
    r = ReadOnce(ops);
    ASSERT_EQ(r.Files.size(), 1u);
    EXPECT_EQ(r.Files[0].Kind, TInboxFileOutcome::ReadBefore);
    TInboxReport mapped;
    ASSERT_TRUE(ops.MapInstrumentResults({"default", "GLU", "QC-P", "Glucose", 2}, &mapped).Ok());
    EXPECT_EQ(mapped.Merged, 1);
    ASSERT_EQ(Fifo.Count(), 1);
    EXPECT_FLOAT_EQ(Fifo.Entries().front().Levels[1].Value, 10.01f);
    const std::string served = State(ops);
    ops.Close();

    const std::string back = lab.Path() + "back";
    ASSERT_NO_THROW(MigrateServerToFolder(db.Conninfo(), back, std::nullopt, ""));
    ASSERT_TRUE(ops.Open(back, TOpenMode::Writer, o).Opened);
    EXPECT_EQ(State(ops), served);
    Drop(inbox.Path(), "a.csv", file);
    r = ReadOnce(ops);
    ASSERT_EQ(r.Files.size(), 1u);
    EXPECT_EQ(r.Files[0].Kind, TInboxFileOutcome::ReadBefore);
    EXPECT_EQ(Fifo.Count(), 1);
}

#ifdef VARNHOLT_CLI
namespace {
int Companion(const std::string& conninfo, const std::string& inbox) {
    const std::string cmd = std::string(VARNHOLT_CLI) + " --db '" + conninfo + "' --inbox " + inbox +
                            " inbox --once >/dev/null 2>&1";
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
} // namespace

// Three benches find the same results in their inboxes and read them at the same moment: each result is
// placed once; a bench that lost the race is told (status 5) and, run again, finds its files read.
TEST_F(ServerInbox_, BenchesReadingTheSameResultsAtOncePlaceEachOnce) {
    SKIP_WITHOUT_SERVER(db);
    ASSERT_TRUE(OpenServer().Opened);
    MakeLab(ops, inbox.Path(),
            {{"default", "GLU", "QC-N", "Glucose", 1}, {"default", "GLU", "QC-P", "Glucose", 2}});
    ops.Close();
    constexpr int Benches = 3, Files = 6;
    std::vector<std::string> inboxes;
    std::string script;
    for (int b = 0; b < Benches; ++b) {
        inboxes.push_back(lab.Path() + "bench" + std::to_string(b) + "/");
        fs::create_directories(inboxes.back());
        for (int k = 0; k < Files; ++k) {
            char lines[128];
            std::snprintf(lines, sizeof lines,
                          "GLU;QC-N;5.%02d;2026-03-%02d;08:00\nGLU;QC-P;10.%02d;2026-03-%02d;08:02\n", k,
                          k + 1, k, k + 1);
            Drop(inboxes.back(), "f" + std::to_string(k) + ".csv", lines);
        }
        // And one result of its own.
        Drop(inboxes.back(), "own.csv",
             "GLU;QC-N;6." + std::to_string(b) + ";2026-04-01;0" + std::to_string(b) + ":00\n");
        script += "(until " + std::string(VARNHOLT_CLI) + " --db '" + db.Conninfo() + "' --inbox " +
                  inboxes.back() + " inbox --once >/dev/null 2>>" + lab.File("err") +
                  "; rc=$?; [ $rc -ne 5 ]; do echo retry >>" + lab.File("retries") +
                  "; done; [ $rc -eq 0 ] || echo failed $rc >>" + lab.File("failed") + ") & ";
    }
    script += "wait\n";
    AtomicWriteFile(lab.File("benches.sh"), script);
    ASSERT_EQ(std::system(("bash " + lab.File("benches.sh")).c_str()), 0);
    EXPECT_FALSE(FileExists(lab.File("failed"))) << ReadWholeFile(lab.File("failed"));
    for (const std::string& in : inboxes) {
        for (const auto& e : fs::directory_iterator(in)) EXPECT_FALSE(e.is_regular_file()) << e.path();
        EXPECT_EQ(Companion(db.Conninfo(), in), 0);
    }
    // Each file's run once, each bench's own run once.
    EXPECT_EQ(Rows("queue_entry"), Files + Benches);
    EXPECT_EQ(db.Admin().Exec("SELECT v1 FROM queue_entry GROUP BY v1 HAVING count(*) > 1").Rows(), 0);
    EXPECT_EQ(Rows("inbox_seen"), 2 * Files + Benches);
    EXPECT_EQ(db.Admin().Exec("SELECT 1 FROM inbox_run WHERE state = 'placed'").Rows(), Files + Benches);
    EXPECT_EQ(db.Admin().Exec("SELECT count(*) FROM journal WHERE kind LIKE 'run held%'").Int(0, 0),
              Files + Benches);
}

// A reader killed while its transaction waits for the journal (everything else written): nothing of
// the pass is on the server, its file is still in the inbox, and the next reading takes it once.
TEST_F(ServerInbox_, AReaderKilledInItsTransactionLeavesItsFileToBeReadAgain) {
    SKIP_WITHOUT_SERVER(db);
    ASSERT_TRUE(OpenServer().Opened);
    MakeLab(ops, inbox.Path(), {{"default", "GLU", "QC-N", "Glucose", 1}});
    ops.Close();
    Drop(inbox.Path(), "a.csv", "GLU;QC-N;5.02;2026-03-05;08:00\n");
    const int64_t entries = Rows("journal");
    TPgConnection& admin = db.Admin();
    admin.Exec("BEGIN");
    admin.Exec("SELECT 1 FROM journal_head FOR UPDATE");
    // Inside its transaction, the run and its records written and not yet visible.
    ASSERT_TRUE(KillInsideItsTransaction(
        admin, db.Conninfo(),
        {VARNHOLT_CLI, "--db", db.Conninfo(), "--inbox", inbox.Path(), "inbox", "--once"}));
    for (const char* table : {"queue_entry", "inbox_seen", "inbox_file", "inbox_run"})
        EXPECT_EQ(Rows(table), 0) << table;
    EXPECT_EQ(Rows("journal"), entries);
    EXPECT_TRUE(FileExists(inbox.File("a.csv")));
    EXPECT_EQ(Companion(db.Conninfo(), inbox.Path()), 0);
    EXPECT_FALSE(FileExists(inbox.File("a.csv")));
    EXPECT_EQ(Rows("queue_entry"), 1);
    EXPECT_EQ(Rows("inbox_seen"), 1);
    EXPECT_EQ(Companion(db.Conninfo(), inbox.Path()), 0);
    EXPECT_EQ(Rows("queue_entry"), 1);
}
#endif
