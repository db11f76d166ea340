// The inbox read by a separate program that is killed (SIGKILL) at random moments: after every kill
// each result is in the queue, the data, the "not mapped" list or the database's pending runs, or its
// file is still in the inbox; never in two places, never twice. Built into the server tests as well,
// where the same reader works on a server (VARNHOLT_TEST_PG_DIR).
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "TestHelpers.h"
#include "TestSeams.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UDatabase.h"
#include "UFifoResult.h"
#include "UOperations.h"
#ifdef VARNHOLT_TEST_PG_DIR
#include "ServerHelpers.h"
#include "UServerStore.h"
#endif

namespace fs = std::filesystem;

namespace {

struct TExpected {
    std::set<std::string> Files; // the files holding it (a repeated result is in several)
};

// One inbox of delimited files: runs of Glucose on two levels (some with the second level in a later
// file, completing the held run), Urea without limits (held even with auto-accept), results without a
// mapping, a file dropped twice, a file repeating earlier results, a file with a bad line.
class TLab {
public:
    // On the server `server` names when it is given, else in the lab's folder.
    explicit TLab(bool autoAccept, std::string server = "") : server(std::move(server)) {
        Operations().Close();
        TOpenOptions o;
        o.SampleOnFirstRun = false;
        o.Server = this->server;
        EXPECT_TRUE(Operations().Open(folder.Path(), TOpenMode::Writer, o).Opened);
        auto glu = std::make_unique<TAnalyte>("Glucose", "mmol/L", 2, 2);
        glu->Options = TAnalyte::OptMultirules;
        for (int k = 0; k < 20; ++k)
            glu->AddPoint(MakeRun(45900 + k, {k % 2 ? 5.1 : 4.9, k % 2 ? 10.2 : 9.8}));
        glu->RecalcAll();
        ListAnalytes.Add(std::move(glu));
        ListAnalytes.Add(std::make_unique<TAnalyte>("Urea", "mmol/L", 2, 1));
        WriteAllData();
        inbox = folder.Path() + "inbox/";
        fs::create_directories(inbox);
        TInboxSettings s;
        s.Folder = inbox;
        s.AutoAccept = autoAccept;
        EXPECT_TRUE(Operations().SetInboxSettings(s).Ok());
        TInstrumentSource src = TInstrumentSource::FromText(
            "separator=semicolon\ncolumn.test=test\ncolumn.control=control\ncolumn.value=value\n"
            "column.date=date\ncolumn.time=time\n");
        src.Id = DefaultSourceId;
        EXPECT_TRUE(Operations().SetInboxSource(src).Ok());
        EXPECT_TRUE(Operations().MapInstrumentResults({"default", "GLU", "QC-N", "Glucose", 1}).Ok());
        EXPECT_TRUE(Operations().MapInstrumentResults({"default", "GLU", "QC-P", "Glucose", 2}).Ok());
        EXPECT_TRUE(Operations().MapInstrumentResults({"default", "UREA", "U1", "Urea", 1}).Ok());

        int n = 0;
        std::map<int, std::string> files;
        auto line = [&](int file, const char* code, const char* control, double value, int hour, int minute) {
            char text[128];
            std::snprintf(text, sizeof text, "%s;%s;%.4f;2026-03-%02d;%02d:%02d\n", code, control, value,
                          1 + hour / 24, hour % 24, minute);
            files[file] += text;
            expected[Key(value)].Files.insert(Name(file));
        };
        for (int k = 0; k < 40; ++k) {
            ++n;
            line(k, "GLU", "QC-N", 4.95 + 0.0005 * n, k, 0);
            // Every third run's second level comes in a file of its own a few minutes later.
            line(k % 3 == 0 ? 100 + k : k, "GLU", "QC-P", 9.95 + 0.0005 * n, k, 4);
            if (k % 4 == 0) line(k, "UREA", "U1", 20 + 0.01 * n, k, 1);
            if (k % 5 == 0) line(k, "CHOL", "C1", 30 + 0.01 * n, k, 2);
        }
        // A file repeating the results of files 1 and 2, with one of its own.
        files[200] = files[1] + files[2];
        for (auto& [v, e] : expected)
            if (e.Files.count(Name(1)) || e.Files.count(Name(2))) {
                e.Files.insert(Name(200));
            }
        line(200, "GLU", "QC-N", 6.5, 60, 0);
        // A bad line beside a good one.
        files[201] = "GLU;QC-P;x;2026-03-09;08:00\n";
        line(201, "GLU", "QC-N", 7.5, 70, 0);
        const auto start = fs::file_time_type::clock::now() - std::chrono::hours(1);
        int order = 0;
        for (auto& [k, text] : files) {
            const std::string path = inbox + Name(k);
            std::ofstream(path, std::ios::binary) << "test;control;value;date;time\n" << text;
            fs::last_write_time(path, start + std::chrono::seconds(order++));
        }
        // The first file dropped twice.
        fs::copy_file(inbox + Name(0), inbox + "copy-" + Name(0));
        fs::last_write_time(inbox + "copy-" + Name(0), start + std::chrono::seconds(order++));
        for (auto& [v, e] : expected)
            if (e.Files.count(Name(0))) {
                e.Files.insert("copy-" + Name(0));
            }
        Operations().Close();
    }

    static std::string Name(int k) { return "qc" + std::to_string(1000 + k) + ".csv"; }
    // Values are unique to a tenth of a thousandth.
    static long Key(double v) { return std::lround(v * 10000); }

    // Where each value is now; fails the test for a value in two places or lost.
    void Check(bool finished) {
        std::map<long, int> placed, pending;
        std::deque<TResu> queue;
        TListSerum serum;
        TListAnalytes analytes;
        std::vector<double> waiting;
        std::vector<std::string> pendingEntries;
        if (server.empty()) {
            for (const TResu& r :
                 ParseQueueImage(FileExists(QueueFileName()) ? ReadWholeFile(QueueFileName()) : ""))
                queue.push_back(r);
            ParseDataImage(ReadWholeFile(DataFileName()), serum, analytes);
            TDatabase db;
            db.OpenReadOnly(folder.Path() + TDatabase::FileName);
            TStatement w = db.Prepare("SELECT value FROM inbox_waiting");
            while (w.Step()) waiting.push_back(w.Real(0));
            TStatement p = db.Prepare("SELECT entry FROM inbox_run WHERE state = 'pending'");
            while (p.Step()) pendingEntries.push_back(p.Text(0));
        } else {
#ifdef VARNHOLT_TEST_PG_DIR
            TServerStore s(server);
            s.Connect(false);
            TSettings settings;
            std::vector<std::string> operators;
            bool has = false;
            s.Load(serum, analytes, queue, settings, operators, has);
            TPgResult w = s.Connection().Exec("SELECT value FROM inbox_waiting");
            for (int i = 0; i < w.Rows(); ++i) waiting.push_back(w.Real(i, 0));
            TPgResult p = s.Connection().Exec("SELECT entry FROM inbox_run WHERE state = 'pending'");
            for (int i = 0; i < p.Rows(); ++i) pendingEntries.push_back(p.Bytes(i, 0));
#endif
        }
        for (const TResu& r : queue)
            for (const LevelValue& v : r.Levels)
                if (v.State != psEmpty) ++placed[Key(v.Value)];
        for (const auto& a : analytes.Items)
            for (const ControlPoint& p : a->Points)
                for (const LevelValue& v : p.Levels)
                    if (v.State != psEmpty && expected.count(Key(v.Value))) ++placed[Key(v.Value)];
        for (double v : waiting) ++placed[Key(v)];
        const int pendingRuns = static_cast<int>(pendingEntries.size());
        for (const std::string& entry : pendingEntries)
            for (const TResu& r : ParseQueueImage(entry))
                for (const LevelValue& v : r.Levels)
                    if (v.State != psEmpty) ++pending[Key(v.Value)];
        for (const auto& [value, e] : expected) {
            SCOPED_TRACE("value " + std::to_string(value / 10000.0));
            EXPECT_LE(placed[value], 1) << "in two places";
            bool inInbox = false;
            for (const std::string& f : e.Files) inInbox |= FileExists(inbox + f);
            if (finished) {
                EXPECT_EQ(placed[value], 1);
                EXPECT_FALSE(inInbox);
            } else {
                EXPECT_TRUE(placed[value] + pending[value] > 0 || inInbox) << "lost";
            }
        }
        if (finished) {
            EXPECT_EQ(pendingRuns, 0);
        }
    }

    std::string server;
    TTempFolder folder;
    std::string inbox;
    std::map<long, TExpected> expected;
};

// The reader works on the server VARNHOLT_DB names, when set.
pid_t Spawn(const std::string& folder) {
    std::vector<std::string> args = {VARNHOLT_INBOX_DRIVER, folder, "2"};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    EXPECT_EQ(posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ), 0);
    return pid;
}

// A store for one lab: a new database on the test cluster, or nothing for a folder.
struct TLabStore {
#ifdef VARNHOLT_TEST_PG_DIR
    TServerDatabase Database;
    std::string Server() const {
        return Database.Conninfo();
    }
#else
    std::string Server() const {
        return "";
    }
#endif
    TLabStore() {
        if (!Server().empty()) ::setenv("VARNHOLT_DB", Server().c_str(), 1);
    }
    ~TLabStore() {
        ::unsetenv("VARNHOLT_DB");
    }
};

// The time of the reader's start and first pass of two files, measured on a lab of its own.
int PassUs(bool autoAccept) {
    static int measured[2] = {0, 0};
    int& us = measured[autoAccept ? 1 : 0];
    if (us > 0) return us;
    TLabStore store;
    TLab lab(autoAccept, store.Server());
    auto start = std::chrono::steady_clock::now();
    pid_t pid = Spawn(lab.folder.Path());
    int status = 0;
    ::waitpid(pid, &status, 0);
    const auto whole =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    // The whole reading makes some 25 passes; a kill anywhere in the first few reaches every step. On a
    // server the start (connecting, loading) outweighs a pass: the kills spread over a quarter of the
    // reading.
    us = std::max(2000, static_cast<int>(whole.count() / (store.Server().empty() ? 8 : 4)));
    return us;
}

// Returns the number of kills.
int RunKilled(bool autoAccept, unsigned seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    int span = PassUs(autoAccept); // measured first: its lab sets the program folder for itself
    TLabStore store;
    TLab lab(autoAccept, store.Server());
    std::mt19937 random(seed);
    int kills = 0;
    bool finished = false;
    // The kills are spread over the time one uninterrupted pass of the reader takes on this machine
    // (mostly the syncs of the database, queue and data files: some 40 ms on a loaded disk, a few on an
    // idle one), so that they land in every step of a pass wherever the test runs.
    // A machine that became busier since the measure would kill every reader before it gets anywhere:
    // the span widens every 50 rounds, so that the reading always ends.
    for (int round = 0; round < 1000 && !finished; ++round) {
        if (round > 0 && round % 50 == 0) span += span / 2;
        std::uniform_int_distribution<int> delayUs(0, span);
        pid_t pid = Spawn(lab.folder.Path());
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            ++kills;
        }
        if (WIFEXITED(status)) {
            EXPECT_EQ(WEXITSTATUS(status), 0);
            if (WEXITSTATUS(status) != 0) return kills;
            finished = true;
        }
        lab.Check(finished);
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << "after " << kills << " kills";
            return kills;
        }
    }
    EXPECT_TRUE(finished) << "the driver never finished";
    // On a server the reader's start varies more than its passes: the kills are counted over all seeds.
    if (store.Server().empty()) {
        EXPECT_GE(kills, 5);
    }
    std::printf("%s auto-accept: finished after %d kills\n", autoAccept ? "with" : "without", kills);
    // Everything read went where it belongs; the bad file to failed/.
    EXPECT_TRUE(FileExists(lab.inbox + "failed/" + TLab::Name(201)));
    return kills;
}

} // namespace

#ifndef VARNHOLT_TEST_PG_DIR
TEST(InboxKilled, EveryResultOnceWhateverMomentTheReaderDies) {
    for (unsigned seed : {20260305u, 2u, 3u}) RunKilled(false, seed);
}

TEST(InboxKilled, EveryResultOnceWithAutoAccept) {
    for (unsigned seed : {20260306u, 5u, 6u}) RunKilled(true, seed);
}
#else
// On a server a pass is one transaction: a kill leaves its files in the inbox, or their results placed.
TEST(InboxKilledOnAServer, EveryResultOnceWhateverMomentTheReaderDies) {
    TServerDatabase probe;
    SKIP_WITHOUT_SERVER(probe);
    int kills = 0;
    for (unsigned seed : {20260305u, 2u}) kills += RunKilled(false, seed);
    for (unsigned seed : {20260306u, 5u}) kills += RunKilled(true, seed);
    EXPECT_GE(kills, 20);
}
#endif
