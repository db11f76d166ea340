// The companion's inbox, mapping and source commands, and its watch beside the folder's lock.
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <spawn.h>
#include <thread>

#include "CliSupport.h"
#include "TestHelpers.h"
#include "UDataLoadSave.h"
#include "UFifoResult.h"
#include "UFolderLock.h"

namespace fs = std::filesystem;

namespace {

class CompanionInbox : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Cli({"--init", "inbox", "set", "--folder", inbox}).status, 0);
        ASSERT_EQ(
            Cli({"source", "default", "separator=semicolon", "column.test=test", "column.control=control",
                 "column.value=value", "column.date=date", "column.time=time"})
                .status,
            0);
    }
    TRun Cli(const std::vector<std::string>& args) { return RunCompanion("", home, args); }
    void Drop(const std::string& name, const std::string& lines) {
        std::ofstream(inbox + name, std::ios::binary) << "test;control;value;date;time\n" << lines;
    }
    size_t Held() {
        return FileExists(home + "Varnholt.fif")
                   ? ParseQueueImage(ReadWholeFile(home + "Varnholt.fif")).size()
                   : 0;
    }

    TTempFolder folder;
    std::string home = folder.Path();
    std::string inbox = [this] {
        fs::create_directories(folder.Path() + "in");
        return folder.Path() + "in/";
    }();
};

} // namespace

TEST_F(CompanionInbox, MapReadOnceAndListWhatWaits) {
    const size_t before = Held(); // the sample data's held runs
    Drop("a.csv", "GLU;QC-N;5.0;2026-03-05;08:00\nGLU;QC-P;12.0;2026-03-05;08:02\n");
    TRun r = Cli({"inbox", "--once"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"outcome\":\"read\",\"results\":2,\"notMapped\":2"), std::string::npos) << r.out;
    EXPECT_EQ(Held(), before);
    r = Cli({"map", "list"});
    EXPECT_NE(r.out.find("\"code\":\"GLU\",\"control\":\"QC-N\""), std::string::npos) << r.out;

    // Bad mappings change nothing.
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"map", "add", "--source", "default", "--code", "GLU", "--control", "QC-N",
                                   "--analyte", "Glucose", "--level", "4"},
          {"map", "add", "--source", "default", "--code", "GLU", "--control", "QC-N", "--analyte", "Nothing",
           "--level", "1"},
          {"map", "add", "--code", "GLU", "--control", "QC-N", "--analyte", "Glucose", "--level", "1"}})
        EXPECT_EQ(Cli(bad).status, 2) << bad.back();
    r = Cli({"map", "add", "--source", "default", "--code", "GLU", "--control", "QC-N", "--analyte",
             "Glucose", "--level", "1"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "{\"queued\":1,\"accepted\":0,\"merged\":0,\"stillNotMapped\":0}\n");
    r = Cli({"map", "add", "--source", "default", "--code", "GLU", "--control", "QC-P", "--analyte",
             "Glucose", "--level", "2"});
    EXPECT_EQ(r.out, "{\"queued\":1,\"accepted\":0,\"merged\":1,\"stillNotMapped\":0}\n");
    EXPECT_EQ(Held(), before + 1);
    r = Cli({"map", "list"});
    EXPECT_NE(r.out.find("\"notMapped\":[]"), std::string::npos) << r.out;
    // Moving a control to another level needs --replace.
    const std::vector<std::string> move = {"map",       "add",  "--source",  "default", "--code",  "GLU",
                                           "--control", "QC-P", "--analyte", "Glucose", "--level", "1"};
    r = Cli(move);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("default GLU QC-P is already mapped to Glucose level 2: give --replace"),
              std::string::npos)
        << r.err;
    std::vector<std::string> replace = move;
    replace.push_back("--replace");
    r = Cli(replace);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Runs already held in the queue from default GLU QC-P stay as they were read"),
              std::string::npos)
        << r.err;
    EXPECT_NE(Cli({"map", "list"}).out.find("\"control\":\"QC-P\",\"analyte\":\"Glucose\",\"level\":1"),
              std::string::npos);
    EXPECT_EQ(Cli({"map", "remove", "--source", "default", "--code", "GLU", "--control", "QC-P"}).status, 0);
    EXPECT_EQ(Cli({"map", "remove", "--source", "default", "--code", "GLU", "--control", "QC-P"}).status, 2);
    EXPECT_EQ(Cli({"source", "default", "separator=colon"}).status, 2);
    // --inbox reads another folder for this command only.
    fs::create_directories(home + "other");
    std::ofstream(home + "other/b.csv") << "test;control;value;date;time\nGLU;QC-N;5.1;2026-03-06;08:00\n";
    EXPECT_EQ(RunCompanion("", home, {"--inbox", home + "other", "inbox", "--once"}).status, 0);
    EXPECT_EQ(Held(), before + 2);
    EXPECT_NE(Cli({"inbox", "show"}).out.find("\"folder\":\"" + inbox + "\""), std::string::npos);
}

TEST_F(CompanionInbox, OneReaderAtATime) {
    ASSERT_EQ(Cli({"map", "add", "--source", "default", "--code", "GLU", "--control", "QC-N", "--analyte",
                   "Glucose", "--level", "1"})
                  .status,
              0);
    const size_t before = Held();
    TFolderLock program;
    std::string error;
    ASSERT_TRUE(program.Acquire(home, error)) << error;
    Drop("a.csv", "GLU;QC-N;5.0;2026-03-05;08:00\n");
    EXPECT_EQ(Cli({"inbox", "--once"}).status, 3);
    EXPECT_EQ(Cli({"map", "list"}).status, 0);
    // The watch waits while the folder is in use and reads once it is free.
    std::vector<std::string> args = {VARNHOLT_CLI, "--home", home, "inbox", "--watch", "--interval", "1"};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    ASSERT_EQ(posix_spawn(&pid, argv[0], &quiet, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&quiet);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_TRUE(FileExists(inbox + "a.csv"));
    program.Release();
    for (int k = 0; k < 100 && FileExists(inbox + "a.csv"); ++k)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(FileExists(inbox + "a.csv"));
    EXPECT_EQ(Held(), before + 1);
    // Between readings the folder is free for the program (which waits a moment for a reading to end).
    bool free = false;
    for (int k = 0; k < 50 && !(free = program.Acquire(home, error)); ++k)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_TRUE(free) << error;
    program.Release();
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// An inbox folder that fails while it is listed is said so, with a failing status; nothing is read.
TEST_F(CompanionInbox, AnInboxThatCannotBeListedIsNotTakenForAnEmptyOne) {
    fs::create_directories(inbox + "analyser2");
    std::ofstream(inbox + "analyser2/b.csv", std::ios::binary)
        << "test;control;value;date;time\nGLU;QC-N;5.0;2026-03-05;08:00\n";
    const size_t held = Held();
    // The first listing (the default source's files) goes through; the second, of the sources, fails.
    TRun r = CliWithReadError(home, "in/", {"inbox", "--once"}, 1);
    EXPECT_NE(r.status, 0) << r.out;
    EXPECT_NE(r.err.find("Cannot read the inbox folder"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::exists(inbox + "analyser2/b.csv"));
    EXPECT_EQ(Held(), held);
}
