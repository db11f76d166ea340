// The command-line companion run as a separate program on a temporary program folder.
#include <charconv>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

#include "CliSupport.h"
#include "TestHelpers.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UFolderLock.h"

namespace {
TRun Cli(const std::string& home, const std::vector<std::string>& args) {
    return RunCompanion("", home, args);
}

// A figure as the companion writes it: the shortest text of the same single.
std::string Single(long double v) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, static_cast<float>(v));
    return std::string(buf, res.ptr);
}

// The folder's files, without the lock file that writing commands leave (it holds no data).
std::vector<std::string> FolderFiles(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (e.path().filename() != "Varnholt.lock") names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// One level locked on 40 points alternating 98 and 102 (mean 100, SD 2.0255), then three points at
// 103.5: a new value of 106 is a warning and completes four values beyond one SD (4:1s, reject).
void WriteShiftHistory() {
    ListAnalytes.Clear();
    ListSerum.Clear();
    auto a = std::make_unique<TAnalyte>("Sodium", "mmol/L", 1, 1);
    a->Options = TAnalyte::OptMultirules;
    for (int k = 0; k < 40; ++k) a->AddPoint(MakeRun(46000 + k, {k % 2 ? 102.0 : 98.0}));
    for (int k = 0; k < 3; ++k) a->AddPoint(MakeRun(46040 + k, {103.5}, k == 2 ? "last" : "", "OP"));
    a->LimitMode[0] = lmLocked;
    a->LockFirst[0] = 0;
    a->LockLast[0] = 39;
    a->RecalcAll();
    ListAnalytes.Add(std::move(a));
    WriteDataFile(DataFileName());
}
} // namespace

class Companion : public ::testing::Test {
protected:
    TTempFolder folder;
    std::string home = folder.Path();
};

TEST_F(Companion, EmptyFolderShowsSampleDataAndWritesNothing) {
    TRun r = Cli(home, {"analytes"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(
        r.out.find("{\"analytes\":[{\"Name\":\"Glucose\",\"Unit\":\"mmol/L\",\"Decimals\":1,\"NbLevels\":3,"
                   "\"Points\":45,\"Options\":7,\"MaterialId\":[0,1,2],\"LimitMode\":[1,1,1]}"),
        std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"Name\":\"Albumin\""), std::string::npos);
    EXPECT_TRUE(FolderFiles(home).empty());
    EXPECT_EQ(Cli(home, {"--help"}).status, 0);
    for (const char* c : {"analytes", "limits",  "points",
                          "judge",    "add",     "queue",
                          "import",   "export",  "import-predecessor",
                          "archive",  "backup",  "restore",
                          "report",   "goal",    "sigma",
                          "summary",  "account", "inbox",
                          "map",      "source",  "journal",
                          "review",   "migrate"})
        EXPECT_EQ(Cli(home, {c, "--help"}).status, 0) << c;
}

TEST_F(Companion, LimitsAreTheCoreFigures) {
    WriteShiftHistory();
    TRun r = Cli(home, {"limits", "sodium"});
    ASSERT_EQ(r.status, 0) << r.err;
    ReadDataFile(DataFileName());
    const TAnalyte& a = ListAnalytes[0];
    const LevelStats& l = a.Limits[0];
    std::string limits = "\"Limits\":{\"Mean\":" + Single(l.Mean) + ",\"WarnDev\":" + Single(l.WarnDev) +
                         ",\"ActionDev\":" + Single(l.ActionDev) + ",\"Min\":98,\"Max\":102,";
    EXPECT_NE(r.out.find(limits), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"N\":40,\"NDiscarded\":0,\"DF\":39,"), std::string::npos);
    EXPECT_NE(r.out.find("\"LimitMode\":1,\"LockFirst\":0,\"LockLast\":39,\"AllStats\":{"),
              std::string::npos);
    EXPECT_NEAR(static_cast<double>(l.Mean), 100.0, 1e-12);
}

TEST_F(Companion, JudgeGivesTheRuleOutcomesAndStoresNothing) {
    WriteShiftHistory();
    std::string before = ReadWholeFile(DataFileName());
    TRun r = Cli(home, {"judge", "Sodium", "2026-02-01", "09:00", "106"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(
        r.out,
        "{\"States\":[1],\"TakesPart\":[true],\"n\":1,\"PerLevel\":[[\"warning\",\"no warning\","
        "\"no warning\",\"no warning\",\"reject\",\"no warning\"]],\"Across\":{},\"AcrossNames\":[\"2:2s\","
        "\"R:4s\",\"4:1s\",\"10:m\"]}\n");
    // Inside the warning limits the same shift is only a warning.
    r = Cli(home, {"judge", "Sodium", "2026-02-01", "09:00", "103"});
    EXPECT_NE(
        r.out.find(
            "[[\"no warning\",\"no warning\",\"no warning\",\"no warning\",\"warning\",\"no warning\"]]"),
        std::string::npos)
        << r.out;
    // Switched off or rejected: nothing takes part.
    for (auto extra :
         {std::vector<std::string>{"--rules", "off"}, std::vector<std::string>{"--reject", "1"}}) {
        std::vector<std::string> args = {"judge", "Sodium", "2026-02-01", "09:00", "106"};
        args.insert(args.end(), extra.begin(), extra.end());
        r = Cli(home, args);
        EXPECT_NE(r.out.find("\"n\":0,\"PerLevel\":[null],\"Across\":{}"), std::string::npos) << r.out;
    }
    EXPECT_EQ(ReadWholeFile(DataFileName()), before);
    EXPECT_EQ(FolderFiles(home), std::vector<std::string>{"Varnholt.qcf"});
}

TEST_F(Companion, AddStoresTheRunAsTheValidationWindowWould) {
    WriteShiftHistory();
    TRun r = Cli(home, {"add", "Sodium", "2026-02-01", "09:30", "106", "--operator", "ABCDEF", "--comment",
                        "  new lot  ", "--reject", "1"});
    ASSERT_EQ(r.status, 0) << r.err;
    ReadDataFile(DataFileName());
    const TAnalyte& a = ListAnalytes[0];
    ASSERT_EQ(a.Count(), 44);
    const ControlPoint& p = a.Points.back();
    EXPECT_EQ(p.DateTime, EncodeDate(2026, 2, 1) + EncodeTime(9, 30, 0));
    EXPECT_EQ(p.Levels[0].State, psDiscarded);
    EXPECT_EQ(p.Operator.Str(), "ABCD");
    EXPECT_EQ(a.CommentText(p.CommentId), "new lot");
    r = Cli(home, {"points", "Sodium"});
    EXPECT_NE(r.out.find("{\"DateTime\":\"2026-02-01T09:30:00\",\"DayCount\":46054.395833333336,\"Levels\":[{"
                         "\"Value\":106,\"State\":5}],"
                         "\"CommentId\":1,\"Comment\":\"new lot\",\"Operator\":\"ABCD\"}"),
              std::string::npos)
        << r.out;
    // The command writes what it changed, and the database opens beside the data.
    EXPECT_EQ(FolderFiles(home), (std::vector<std::string>{"Varnholt.db", "Varnholt.qcf"}));
}

TEST_F(Companion, WritingCommandsAreRefusedWhileTheFolderIsInUse) {
    WriteShiftHistory();
    std::string before = ReadWholeFile(DataFileName());
    TFolderLock lock;
    std::string error;
    ASSERT_TRUE(lock.Acquire(home, error)) << error;
    TRun r = Cli(home, {"add", "Sodium", "2026-02-01", "09:30", "100"});
    EXPECT_EQ(r.status, 3);
    EXPECT_FALSE(r.err.empty());
    EXPECT_EQ(ReadWholeFile(DataFileName()), before);
    EXPECT_EQ(Cli(home, {"analytes"}).status, 0); // reading goes on
    lock.Release();
    EXPECT_EQ(Cli(home, {"add", "Sodium", "2026-02-01", "09:30", "100"}).status, 0);
}

TEST_F(Companion, BadInputIsRefusedWithoutChangingAFile) {
    WriteShiftHistory();
    std::string before = ReadWholeFile(DataFileName());
    const std::vector<std::vector<std::string>> bad = {
        {"limits", "Potassium"},
        {"add", "Sodium", "2026-02-01", "09:30", "inf"},
        {"add", "Sodium", "2026-02-01", "09:30", "1e39"},
        {"add", "Sodium", "2026-02-01", "09:30", "12abc"},
        {"add", "Sodium", "2026-13-01", "09:30", "100"},
        {"add", "Sodium", "2026-01-01", "25:00", "100"},
        {"add", "Sodium", "2026-02-01", "09:30", "100", "101"},
        {"add", "Sodium", "2026-02-01", "09:30", "-"},
        {"judge", "Sodium", "2026-02-01", "09:30", "100", "--reject", "4"},
        {"archive", "Sodium", "2"},
        {"frobnicate"},
    };
    for (const auto& args : bad) {
        TRun r = Cli(home, args);
        EXPECT_EQ(r.status, 2) << args[0] << " " << args.back();
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(ReadWholeFile(DataFileName()), before);
    }
    EXPECT_NE(Cli(home, {"limits", "Potassium"}).err.find("unknown analyte: Potassium"), std::string::npos);

    // A damaged data file is named and left exactly as it is.
    std::string damaged = before.substr(0, before.size() - 3);
    AtomicWriteFile(DataFileName(), damaged);
    for (const char* cmd : {"analytes", "add"}) {
        TRun r = Cli(home, {cmd, "Sodium", "2026-02-01", "09:30", "100"});
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("Cannot read data"), std::string::npos) << r.err;
    }
    EXPECT_EQ(ReadWholeFile(DataFileName()), damaged);
    EXPECT_EQ(FolderFiles(home), std::vector<std::string>{"Varnholt.qcf"});
}

TEST_F(Companion, ExchangeQueueArchiveAndBackup) {
    WriteShiftHistory();
    // Export, then import into a fresh analyte: the same dates and values come back.
    TRun exported = RunCompanion("LC_ALL=en_GB.UTF-8 ", home, {"export", "Sodium"});
    ASSERT_EQ(exported.status, 0);
    EXPECT_EQ(exported.out.substr(0, 26), "09/12/2025\t00:00:00\t98.0\t\t");
    std::ofstream(home + "sodium.txt", std::ios::binary) << exported.out;
    ListAnalytes.Add(std::make_unique<TAnalyte>("Copy", "mmol/L", 1, 1));
    WriteDataFile(DataFileName());
    TRun imported = Cli(home, {"import", "Copy", home + "sodium.txt"});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.out, "{\"imported\":43}\n");
    // Operator and comment fields are not imported; dates, times and values are.
    auto valuesOnly = [](const std::string& text) {
        std::string out;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) out += line.substr(0, line.find('\t', 20)) + "\n";
        return out;
    };
    EXPECT_EQ(valuesOnly(RunCompanion("LC_ALL=en_GB.UTF-8 ", home, {"export", "Copy"}).out),
              valuesOnly(exported.out));

    // Held runs.
    ASSERT_EQ(Cli(home, {"queue", "add", "Sodium", "2026-02-01", "08:00", "99.5"}).status, 0);
    TRun q = Cli(home, {"queue", "list"});
    EXPECT_NE(q.out.find("{\"queue\":[{\"AnalyteName\":\"Sodium\",\"DateTime\":\"2026-02-01T08:00:00\","
                         "\"DayCount\":46054.333333333336,"),
              std::string::npos)
        << q.out;

    // An archive takes the next number and erases the level.
    TRun ar = Cli(home, {"archive", "Copy", "1"});
    ASSERT_EQ(ar.status, 0) << ar.err;
    EXPECT_EQ(ar.out, "{\"archives\":[1]}\n");
    EXPECT_TRUE(FileExists(home + "QC000001.qca"));
    EXPECT_NE(Cli(home, {"analytes"})
                  .out.find("\"Name\":\"Copy\",\"Unit\":\"mmol/L\",\"Decimals\":1,"
                            "\"NbLevels\":1,\"Points\":0"),
              std::string::npos);

    // Two backups keep the first as .Old; a restore brings the data back.
    std::string media = home + "media/";
    std::filesystem::create_directory(media);
    ASSERT_EQ(Cli(home, {"backup", media}).status, 0);
    std::string first = ReadWholeFile(media + "Varnholt.Sav");
    ASSERT_EQ(Cli(home, {"add", "Sodium", "2026-03-01", "08:00", "100"}).status, 0);
    ASSERT_EQ(Cli(home, {"backup", media}).status, 0);
    EXPECT_EQ(ReadWholeFile(media + "Varnholt.Old"), first);
    AtomicWriteFile(media + "Varnholt.Sav", first);
    ASSERT_EQ(Cli(home, {"restore", media}).status, 0);
    EXPECT_NE(Cli(home, {"analytes"})
                  .out.find("\"Name\":\"Sodium\",\"Unit\":\"mmol/L\",\"Decimals\":1,"
                            "\"NbLevels\":1,\"Points\":43"),
              std::string::npos);
    EXPECT_EQ(Cli(home, {"backup", home + "absent/"}).status, 2);

    // A damaged .Sav: the older backup only when asked for, with its date and runs.
    ASSERT_EQ(Cli(home, {"add", "Sodium", "2026-03-02", "08:00", "101"}).status, 0);
    const std::string data = ReadWholeFile(home + "Varnholt.qcf");
    AtomicWriteFile(media + "Varnholt.Sav", first.substr(0, first.size() / 2));
    TRun refused = Cli(home, {"restore", media});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("Varnholt.Sav is damaged"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("Varnholt.Old ("), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find(" runs) is restored only with --older"), std::string::npos) << refused.err;
    EXPECT_EQ(ReadWholeFile(home + "Varnholt.qcf"), data);
    TRun older = Cli(home, {"restore", media, "--older"});
    ASSERT_EQ(older.status, 0) << older.err;
    EXPECT_NE(Cli(home, {"analytes"}).out.find("\"NbLevels\":1,\"Points\":43"), std::string::npos);
}

// Text cannot forge runs: control characters in a comment or an operator are blanked where they enter,
// so each exchange and archive line holds one run; numbers and dates out of range are refused.
TEST_F(Companion, InputCannotForgeRunsOrOverflow) {
    WriteShiftHistory();
    const std::string forged = "ok\r\n01/01/2030\t10:00:00\t999\x1b[2J";
    ASSERT_EQ(
        Cli(home, {"add", "Sodium", "2026-02-01", "09:30", "100", "--comment", forged, "--operator", "A\tB"})
            .status,
        0);
    const std::string text = Cli(home, {"export", "Sodium"}).out;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 44) << "one line per stored run";
    EXPECT_EQ(text.find('\x1b'), std::string::npos) << "no terminal escape";
    EXPECT_EQ(text.find("2030"), text.rfind("2030")) << "the date stays inside its comment";
    ASSERT_EQ(Cli(home, {"archive", "Sodium", "1"}).status, 0);
    const std::string archive = ReadWholeFile(home + "QC000001.qca");
    EXPECT_EQ(std::count(archive.begin(), archive.end(), '\n'), 3 + 44);
    for (const char* bad : {"1e9223372036854775807", "1e400", "-1e39"})
        EXPECT_EQ(Cli(home, {"add", "Sodium", "2026-02-02", "09:30", bad}).status, 2) << bad;
    for (const char* day : {"0000-01-01", "0026-12-09", "0226-12-09", "10000-01-01"})
        EXPECT_EQ(Cli(home, {"add", "Sodium", day, "09:30", "100"}).status, 2) << day;
}

// Every write step of every writing command failing in turn: the command either changes nothing and
// exits 2, or saved its change and exits 4 naming the later step that failed; run again without the
// fault it leaves exactly what one clean run leaves: no run, archive or backup generation twice.
TEST_F(Companion, AFailureAtAnyWriteStepThenARetryLeavesOneCleanRun) {
    WriteShiftHistory();
    const std::string media = home + "media/";
    std::filesystem::create_directory(media);
    ASSERT_EQ(Cli(home, {"queue", "add", "Sodium", "2026-02-03", "08:00", "99"}).status, 0);
    ASSERT_EQ(Cli(home, {"backup", media}).status, 0); // an earlier generation to rotate
    AtomicWriteFile(home + "runs.txt", "2026-03-01\t08:00:00\t101\r\n2026-03-02\t08:00:00\t102\r\n");
    ASSERT_EQ(Cli(home, {"add", "Sodium", "2026-02-04", "08:00", "100"}).status, 0);
    // The folders of the runs beside the program folder, removed at the end.
    std::string base = (std::filesystem::temp_directory_path() / "varnholt-faults-XXXXXX").string();
    base = std::string(mkdtemp(base.data())) + "/";
    struct TRemove {
        std::string dir;
        ~TRemove() { std::filesystem::remove_all(dir); }
    } remove{base};
    const std::string templ = base + "template/";
    std::filesystem::copy(home, templ, std::filesystem::copy_options::recursive);

    struct TCommand {
        std::vector<std::string> args;
        std::vector<const char*> targets; // the files it writes or renames to, as the fault names them
    };
    const std::vector<TCommand> commands = {
        {{"add", "Sodium", "2026-02-05", "08:00", "103"}, {"Varnholt.qcf"}},
        {{"queue", "add", "Sodium", "2026-02-05", "08:00", "98"}, {"Varnholt.fif"}},
        {{"queue", "recall"}, {"Varnholt.qcf", "Varnholt.fif"}},
        {{"import", "Sodium", "RUNS"}, {"Varnholt.qcf"}},
        {{"archive", "Sodium", "1"}, {".qca", "Varnholt.qcf"}},
        {{"backup", "MEDIA"}, {"Varnholt.tmp", "Varnholt.Sav", "Varnholt.db.tmp", "Varnholt.cfr"}},
        {{"restore", "MEDIA"}, {"Varnholt.qcf"}},
    };
    auto fresh = [&](const std::string& dir) {
        std::filesystem::remove_all(dir);
        std::filesystem::copy(templ, dir, std::filesystem::copy_options::recursive);
    };
    auto args = [](std::vector<std::string> a, const std::string& dir) {
        for (std::string& s : a) {
            if (s == "RUNS") s = dir + "runs.txt";
            if (s == "MEDIA") s = dir + "media/";
        }
        return a;
    };
    // Data, queue, archives and backups: what the laboratory keeps.
    auto kept = [](const std::string& dir) {
        std::string all;
        for (const char* f : {"Varnholt.qcf", "Varnholt.fif", "QC000001.qca", "QC000002.qca",
                              "media/Varnholt.Sav", "media/Varnholt.Old", "media/Varnholt.tmp"})
            all += std::string(f) + "=" + (FileExists(dir + f) ? ReadWholeFile(dir + f) : "-") + "\n";
        return all;
    };
    const std::string clean = base + "clean/", work = base + "work/";
    for (const TCommand& c : commands) {
        fresh(clean);
        ASSERT_EQ(Cli(clean, args(c.args, clean)).status, 0) << c.args[0];
        const std::string once = kept(clean);
        for (const char* target : c.targets)
            for (const char* step : {"open", "write", "sync", "rename"}) {
                // The backup is never written under its own name: it only arrives there by renaming.
                if (std::string(target) == "Varnholt.Sav" && std::string(step) != "rename") continue;
                // A run added to the queue is appended to its file, which is then not renamed.
                if (c.args[0] == "queue" && std::string(target) == "Varnholt.fif" &&
                    std::string(step) == "rename")
                    continue;
                const std::string what = c.args[0] + " " + c.args[1] + " " + step + ":" + target;
                fresh(work);
                const std::string before = kept(work);
                TRun failed = RunCompanion(std::string("VARNHOLT_FAULT=") + step + ":" + target + " ", work,
                                           args(c.args, work), VARNHOLT_CLI_FAULTS);
                EXPECT_TRUE(failed.status == 2 || failed.status == 4) << what << " ended " << failed.status;
                EXPECT_EQ(std::count(failed.err.begin(), failed.err.end(), '\n'), 1)
                    << what << ": " << failed.err;
                // A title and its reason on one line, as "Cannot save data: ...".
                if (c.args[0] == "add") {
                    EXPECT_NE(failed.err.find("Cannot save data: "), std::string::npos) << failed.err;
                }
                if (failed.status == 2) {
                    EXPECT_TRUE(kept(work) == before) << what << " changed something";
                }
                TRun retry = Cli(work, args(c.args, work));
                // A recall saved whole but for its queue write is settled at the next start: nothing is
                // left to recall then.
                const bool settled = failed.status == 4 && c.args[1] == "recall" && retry.status == 2 &&
                                     retry.err.find("Nothing hold in the queue") != std::string::npos;
                EXPECT_TRUE(retry.status == 0 || settled) << what << ": " << retry.err;
                EXPECT_TRUE(kept(work) == once) << what << ": the retry did not leave one clean run";
            }
    }
}

// The installed companion has no fault injection: the tests' VARNHOLT_FAULT fails the writes of the
// tests' build only, and the real one makes every write.
TEST_F(Companion, TheInstalledCompanionIgnoresTheFaultSetting) {
    WriteShiftHistory();
    int minute = 0;
    for (const char* fault : {"open:", "write:", "sync:", "rename:"})
        for (const char* command : {"add", "queue"}) {
            // A run added to the queue is appended to its file, which is then not renamed.
            if (command == std::string("queue") && fault == std::string("rename:")) continue;
            const std::string time = "08:0" + std::to_string(minute++);
            const std::vector<std::string> args =
                command == std::string("add")
                    ? std::vector<std::string>{"add", "Sodium", "2026-02-04", time, "100"}
                    : std::vector<std::string>{"queue", "add", "Sodium", "2026-02-05", time, "98"};
            const std::string what = std::string(fault) + " " + command;
            const std::string file = home + (args[0] == "add" ? "Varnholt.qcf" : "Varnholt.fif");
            const std::string before = FileExists(file) ? ReadWholeFile(file) : "";
            const std::string prefix = std::string("VARNHOLT_FAULT=") + fault + " ";
            TRun failed = RunCompanion(prefix, home, args, VARNHOLT_CLI_FAULTS);
            EXPECT_EQ(failed.status, 2) << what;
            EXPECT_EQ(FileExists(file) ? ReadWholeFile(file) : "", before) << what;
            TRun real = RunCompanion(prefix, home, args);
            EXPECT_EQ(real.status, 0) << what << ": " << real.err;
            EXPECT_NE(ReadWholeFile(file), before) << what;
        }
}

// Exchange text travels between stations: written in one locale's formats, read in another's, in
// either encoding; "system" is the environment's locale, as the program's.
TEST_F(Companion, ExchangeTextTravelsBetweenLocales) {
    WriteShiftHistory();
    TAnalyte& sodium = *ListAnalytes.FindByName("Sodium");
    sodium.AddPoint(MakeRun(46050.375, {101.5}, "lot \xE9t\xE9", "JD")); // "lot été" in Windows-1252
    sodium.RecalcAll();
    ListAnalytes.Add(std::make_unique<TAnalyte>("Copy", "mmol/L", 1, 1));
    WriteDataFile(DataFileName());

    TRun german = RunCompanion("LC_ALL=de_DE.UTF-8 ", home, {"export", "Sodium"});
    ASSERT_EQ(german.status, 0) << german.err;
    EXPECT_EQ(german.out.substr(0, 26), "09.12.2025\t00:00:00\t98,0\t\t");
    EXPECT_EQ(german.out, Cli(home, {"export", "Sodium", "--regional", "de_DE"}).out);
    TRun utf8 = Cli(home, {"export", "Sodium", "--regional", "en_GB", "--encoding", "utf-8"});
    ASSERT_EQ(utf8.status, 0) << utf8.err;
    EXPECT_EQ(utf8.out.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_NE(utf8.out.find("101.5\tJD\tlot \xC3\xA9t\xC3\xA9\r\n"), std::string::npos);

    // Each file read under the other locale brings back every date, time and value.
    const std::string reference = Cli(home, {"points", "Sodium"}).out;
    auto pointsOnly = [](std::string json) {
        // The points' dates and levels; comments are not imported.
        std::string out;
        for (size_t p = json.find("\"DateTime\""); p != std::string::npos;
             p = json.find("\"DateTime\"", p + 1))
            out += json.substr(p, json.find("\"CommentId\"", p) - p) + "\n";
        return out;
    };
    const struct {
        std::string text, regional;
    } files[] = {{german.out, "en_GB"},
                 {utf8.out, "de_DE"},
                 {Cli(home, {"export", "Sodium", "--regional", "en_GB"}).out, "de_DE"}};
    for (const auto& f : files) {
        std::ofstream(home + "in.txt", std::ios::binary) << f.text;
        TRun imported = Cli(home, {"import", "Copy", home + "in.txt", "--regional", f.regional});
        ASSERT_EQ(imported.status, 0) << imported.err;
        EXPECT_EQ(imported.out, "{\"imported\":44}\n");
        EXPECT_EQ(pointsOnly(Cli(home, {"points", "Copy"}).out), pointsOnly(reference)) << f.regional;
        ASSERT_EQ(Cli(home, {"archive", "Copy", "1"}).status, 0);
    }

    TRun unknown = Cli(home, {"export", "Sodium", "--regional", "xx_QQ"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("--regional takes system, iso or a locale name"), std::string::npos);
    EXPECT_EQ(Cli(home, {"limits", "Sodium", "--regional", "iso"}).status, 2);
    EXPECT_EQ(Cli(home, {"export", "Sodium", "--encoding", "latin9"}).status, 2);
}

// The command line as most tools read it: options before or after the command, values that begin with
// '-', --version; a typing error in an option or a reading option's key is refused, not ignored.
TEST_F(Companion, OptionsAnywhereAndTypingErrorsRefused) {
    WriteShiftHistory();
    const std::string before = ReadWholeFile(DataFileName());
    const std::string cli = Quote(VARNHOLT_CLI);
    TRun after = Shell(cli + " analytes --home " + Quote(home) + " 2>/dev/null");
    EXPECT_EQ(after.status, 0);
    EXPECT_NE(after.out.find("\"Name\":\"Sodium\""), std::string::npos) << after.out;
    TRun version = Shell(cli + " --version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("varnholt-cli ", 0), 0u) << version.out;
    EXPECT_EQ(std::count(version.out.begin(), version.out.end(), '\n'), 1);

    TRun judged = Cli(home, {"judge", "Sodium", "2026-02-01", "09:30", "-5", "--rules", "off"});
    EXPECT_EQ(judged.status, 0) << judged.err;
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const Case refused[] = {
        {{"inbox", "--once", "--inbx", home}, "unknown option --inbx (see --help)"},
        {{"add", "Sodium", "2026-02-01", "09:30", "100", "--comment"}, "missing value after --comment"},
        {{"add", "Sodium", "2026-02-01", "09:30", "100", "--comment", "\xCE\xA9 test \xE2\x9C\x93"},
         "--comment: the character '\xCE\xA9' (U+03A9) cannot be stored"},
        {{"source", "lis", "colum.test=Test"},
         "unknown key colum.test (the keys: encoding, separator, header, "
         "column.instrument, column.test"},
    };
    for (const Case& c : refused) {
        TRun r = Cli(home, c.args);
        EXPECT_EQ(r.status, 2) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(ReadWholeFile(DataFileName()), before);
    }
    EXPECT_EQ(Cli(home, {"source"}).out, "{\"sources\":[]}\n");

    // Asked for, the characters are replaced, as the files can hold them.
    TRun replaced = Cli(home, {"--replace-unencodable", "add", "Sodium", "2026-02-01", "09:30", "100",
                               "--comment", "\xCE\xA9 test \xC3\xA9"});
    ASSERT_EQ(replaced.status, 0) << replaced.err;
    EXPECT_NE(Cli(home, {"points", "Sodium"}).out.find("\"Comment\":\"? test \xC3\xA9\""), std::string::npos);
}

// An import never stores dates read with day and month swapped, nor, unasked, runs dated after today.
TEST_F(Companion, ImportRefusesSwappedAndFutureDates) {
    WriteShiftHistory();
    const std::string before = ReadWholeFile(DataFileName());
    std::string monthFirst;
    for (int day = 1; day <= 24; ++day)
        monthFirst += "01/" + std::to_string(day) + "/2025\t10:00:00\t100\r\n";
    AtomicWriteFile(home + "us.txt", monthFirst);
    TRun r = RunCompanion("LC_ALL=C ", home, {"import", "Sodium", home + "us.txt", "--regional", "en_GB"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("the dates are written as MM/dd/yyyy, not as dd/MM/yyyy (line 13: '01/13/2025')"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(ReadWholeFile(DataFileName()), before);
    // Read as written, they are stored.
    r = RunCompanion("LC_ALL=C ", home, {"import", "Sodium", home + "us.txt", "--regional", "en_US"});
    EXPECT_EQ(r.status, 0) << r.err;

    AtomicWriteFile(home + "future.txt", "2025-01-02\t10:00:00\t100\r\n2999-01-01\t10:00:00\t101\r\n");
    const std::string imported = ReadWholeFile(DataFileName());
    r = Cli(home, {"import", "Sodium", home + "future.txt", "--regional", "iso"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("line 2 is dated 2999-01-01, after today; nothing imported (--future imports it)"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(ReadWholeFile(DataFileName()), imported);
    EXPECT_EQ(Cli(home, {"import", "Sodium", home + "future.txt", "--regional", "iso", "--future"}).status,
              0);
}

namespace {
// The bytes of every file of a folder, by name.
std::map<std::string, std::string> FolderBytes(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (e.is_regular_file() && e.path().filename() != "Varnholt.lock")
            files[e.path().filename()] = ReadWholeFile(e.path());
    return files;
}
} // namespace

// A file that cannot be read is not a damaged one: the command is refused and nothing changes, neither
// the file (not kept aside) nor the held runs, nor the data without its journal.
TEST_F(Companion, AReadErrorRefusesAndChangesNothing) {
    WriteShiftHistory();
    Settings.Password = "SECRET";
    SaveSettings();
    ASSERT_EQ(Cli(home, {"queue", "add", "Sodium", "2026-02-03", "08:00", "99"}).status, 0);
    ASSERT_EQ(Cli(home, {"add", "Sodium", "2026-02-04", "08:00", "100"}).status, 0);
    const auto before = FolderBytes(home);
    ASSERT_EQ(before.size(), 4u);
    for (const char* file : {"Varnholt.cfr", "Varnholt.fif", "Varnholt.qcf", "Varnholt.db"})
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"add", "Sodium", "2026-02-05", "08:00", "101"},
              {"queue", "add", "Sodium", "2026-02-05", "09:00", "102"}}) {
            const TRun r = CliWithReadError(home, file, args);
            EXPECT_EQ(r.status, 2) << file << " " << args[0] << ": " << r.err;
            const bool database = std::string(file) == "Varnholt.db";
            EXPECT_NE(r.err.find(database ? "the journal could not be written" : "Input/output error"),
                      std::string::npos)
                << file << ": " << r.err;
            EXPECT_TRUE(FolderBytes(home) == before) << file << " " << args[0];
        }
    // Without the fault the same command goes through.
    EXPECT_EQ(Cli(home, {"add", "Sodium", "2026-02-05", "08:00", "101"}).status, 0);
}

// The companion stands on core and Qt Core: a machine without a display (the inbox's service) needs
// neither the window library nor printing nor graphics for it.
TEST(CompanionProgram, LinksNoWindowLibraryNorPrinting) {
    const std::string libraries = Shell("ldd " + Quote(VARNHOLT_CLI)).out;
    ASSERT_NE(libraries.find("libQt6Core.so"), std::string::npos) << libraries;
    for (const char* library :
         {"libQt6Gui", "libQt6Widgets", "libQt6PrintSupport", "libcups", "libGL", "libX11", "libxcb"})
        EXPECT_EQ(libraries.find(library), std::string::npos) << library << " in\n" << libraries;
}
