// The operations layer on a PostgreSQL server: the same operations as on a folder give the same data,
// changes of other benches arrive and refuse stale ones, rights by role, and failures change nothing.
#include <cstdlib>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <poll.h>

#include "ServerHelpers.h"
#include "TestHelpers.h"
#include "TestSeams.h"
#include "UArchive.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UFifoResult.h"
#include "UInbox.h"
#include "URandom.h"

namespace {

// Everything the layer keeps, as the legacy files would hold it.
struct TImages {
    std::string Data, Queue, Settings;
    bool operator==(const TImages&) const = default;
};

void PrintTo(const TImages& i, std::ostream* os) {
    auto hash = [](const std::string& s) { return std::hash<std::string>{}(s) % 100000; };
    *os << "data " << i.Data.size() << "#" << hash(i.Data) << ", queue " << i.Queue.size() << "#"
        << hash(i.Queue) << ", settings " << i.Settings.size() << "#" << hash(i.Settings);
}

// The data file image as a reader gets it back: limits of levels not in use, which the file holds but
// no reader takes, are those a start computes.
TImages Memory() {
    TListSerum serum;
    TListAnalytes analytes;
    ParseDataImage(DataImage(ListSerum, ListAnalytes), serum, analytes);
    return {DataImage(serum, analytes), QueueImage(Fifo.Entries()), SettingsImage(Settings, Operators)};
}

// What a bench that starts now would load.
TImages OnServer(const std::string& conninfo) {
    TServerStore s(conninfo);
    s.Connect(false);
    TListSerum serum;
    TListAnalytes analytes;
    std::deque<TResu> queue;
    TSettings settings;
    std::vector<std::string> ops;
    bool has = false;
    s.Load(serum, analytes, queue, settings, ops, has);
    settings.Signature = ProgramSignature;
    return {DataImage(serum, analytes), QueueImage(queue), SettingsImage(settings, ops)};
}

// The journal as an auditor reads it, without the times and hashes (and a folder's own start).
std::vector<std::string> JournalLines() {
    std::vector<std::string> out;
    for (const TJournalEntry& e : Operations().Journal())
        if (e.Kind != jk::JournalStarted)
            out.push_back(e.Operator + "|" + e.Kind + "|" + e.Analyte + "|" + std::to_string(e.Level) + "|" +
                          e.Point + "|" + e.Before + "|" + e.After + "|" + e.Reason);
    return out;
}

TAnalyte& Named(const char* name) {
    return *ListAnalytes.FindByName(name);
}

// Opens the layer on the server (or the folder when conninfo is empty) with the same sample data.
TOpenReport OpenWithSample(const std::string& folder, const std::string& conninfo,
                           TOpenMode mode = TOpenMode::Writer) {
    TOpenOptions options;
    options.SampleOnFirstRun = false;
    options.Server = conninfo;
    TOpenReport report = Operations().Open(folder, mode, options);
    if (!report.Opened) return report;
    RandomSeed(11);
    BuildSampleData();
    TOperations& ops = Operations();
    WriteAllData(ops);
    EXPECT_TRUE(ops.SetOperators({"AB", "CD"}).Ok());
    EXPECT_TRUE(ops.ClearQueue().Changed());
    EXPECT_TRUE(ops.HoldRun([] {
                       TResu r = MakeRun(Today() - 1, {3.1, 5.2, 12.4}, "held", "OP");
                       r.AnalyteName = "Glucose";
                       return r;
                   }())
                    .Ok());
    return report;
}

struct TCase {
    const char* Name;
    std::function<TOutcome(TOperations&)> Run;
};

// The inbox the table's cases read, the same path for both stores (the journal names it).
std::string InboxPath;

void Drop(const std::string& name, const std::string& lines) {
    std::ofstream(InboxPath + name, std::ios::binary) << "test;control;value;date;time\n" << lines;
}

TOutcome ReadInboxChecked(TOperations& o, int queued, int merged, int accepted, int notMapped) {
    TInboxReport r;
    TOutcome out = o.ReadInbox(&r);
    EXPECT_EQ(r.Queued, queued);
    EXPECT_EQ(r.Merged, merged);
    EXPECT_EQ(r.Accepted, accepted);
    EXPECT_EQ(r.NotMapped, notMapped);
    for (const TInboxFileOutcome& f : r.Files)
        EXPECT_NE(f.Kind, TInboxFileOutcome::Waiting) << f.Name << f.Detail;
    return out;
}

// A level's value at its mean: judged clear.
std::string AtMean(const char* analyte, int level) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", static_cast<double>(Named(analyte).Limits[level - 1].Mean));
    return text;
}

// What the inbox holds besides the queue and the data.
std::string InboxState(TOperations& o) {
    std::string s = "held " + std::to_string(o.HeldFromInbox()) + ", waiting";
    for (const TWaitingResult& w : o.NotMappedResults())
        s += " " + w.Result.TestCode + "/" + w.Result.Control + "=" + w.Result.ValueText + " (" + w.Reason +
             ")";
    s += ", mappings";
    for (const TInboxMapping& m : o.InboxMappings())
        s += " " + m.Source + "/" + m.Code + "/" + m.Control + "->" + m.Analyte + ":" +
             std::to_string(m.Level);
    const TInboxSettings set = o.InboxSettings();
    s += ", " + set.Folder + (set.AutoAccept ? " auto " : " held ") + std::to_string(set.WindowMinutes);
    for (const TInstrumentSource& src : o.InboxSources()) s += ", " + src.Id + ": " + src.ToText();
    return s;
}

// Every kind of change the layer makes, in an order where each finds what it needs (no archive is
// deleted before the last is made: a folder gives a deleted archive's number again, a server never).
const std::vector<TCase>& Cases() {
    static const std::vector<TCase> cases = {
        {"accept a run",
         [](TOperations& o) {
             return o.AcceptRun(Named("Glucose"), MakeRun(Today() + 3, {3, 5, 12}, "late", "AB"));
         }},
        {"accept a back-dated run",
         [](TOperations& o) {
             return o.AcceptRun(Named("Glucose"), MakeRun(Today() - 20.5, {3.3, 5.1, 11.9}, "", "CD"));
         }},
        {"hold a run",
         [](TOperations& o) {
             TResu r = MakeRun(Today() + 4, {2.5, 7.5}, "h\xE9ld\t", "EF");
             r.AnalyteName = "Calcium";
             return o.HoldRun(r);
         }},
        {"recall and accept",
         [](TOperations& o) {
             TAnalyte* a = nullptr;
             TResu r;
             TOutcome out = o.RecallRun(a, r);
             return out.Changed() ? o.ConcludeRecall(*a, r, true) : out;
         }},
        {"recall and hold again",
         [](TOperations& o) {
             TAnalyte* a = nullptr;
             TResu r;
             TOutcome out = o.RecallRun(a, r);
             return out.Changed() ? o.ConcludeRecall(*a, r, false) : out;
         }},
        {"delete points",
         [](TOperations& o) {
             return o.DeletePoints(Named("Glucose"), {0, 3}, "entered twice");
         }},
        {"fixed limits",
         [](TOperations& o) {
             TAnalyte& g = Named("Glucose");
             TLimitState before = TLimitState::Of(g);
             g.LimitMode[1] = lmFixed;
             g.Limits[1].Mean = 5.25L;
             g.Limits[1].WarnDev = 0.3L;
             g.Limits[1].ActionDev = 0.45L;
             g.RecalcAll();
             return o.SaveLimits(g, before);
         }},
        {"options", [](TOperations& o) { return o.SetAnalyteOptions(Named("Albumin"), 1); }},
        {"erase a level",
         [](TOperations& o) {
             return o.EraseLevels(Named("Calcium"), {true, false, false});
         }},
        {"materials",
         [](TOperations& o) {
             TMaterialEdit e;
             for (const TSerum& s : ListSerum.Items) e.Lines.push_back({s.Id, s.Name, s.Lot, false});
             e.Lines[0].Name = "Renamed";
             e.Lines.push_back({-1, "New", "L7", false});
             return o.ApplyMaterials(e);
         }},
        {"assignment with erase",
         [](TOperations& o) {
             TAnalyte& a = Named("Albumin");
             std::array<int32_t, MaxLevels> m = a.MaterialId;
             m[0] = ListSerum.Items.back().Id;
             return o.ApplyAssignment(a, m, true);
         }},
        {"delete an archive",
         [](TOperations& o) {
             TAnalyte& c = Named("Calcium");
             return o.DeleteArchives(c, {c.ArchiveNumbers.back()}, "kept on paper");
         }},
        {"analyte edit",
         [](TOperations& o) {
             TAnalyteEdit e;
             e.Lines.push_back({Named("Calcium").Uid, "Calcium", "mg/dL", 1, 2});
             e.Lines.push_back({0, "Sodium", "mmol/L", 1, 2});
             e.Lines.push_back({Named("Glucose").Uid, "Glucose2", "mmol/L", 2, 3});
             e.Deleted.push_back(Named("Albumin").Uid);
             return o.ApplyAnalyteEdit(e);
         }},
        {"import runs",
         [](TOperations& o) {
             std::vector<TResu> runs;
             for (int k = 0; k < 5; ++k) runs.push_back(MakeRun(Today() + 10 + k, {140.0 + k, 120.5}));
             return o.ImportRuns(Named("Sodium"), runs);
         }},
        {"operators",
         [](TOperations& o) {
             return o.SetOperators({"ZZ", "aa", "\xC4X"});
         }},
        {"settings",
         [](TOperations& o) { return o.ChangeSettings([](TSettings& s) { s.BackupInterval = 30; }); }},
        {"clear the queue", [](TOperations& o) { return o.ClearQueue(); }},
        {"inbox settings and reading options",
         [](TOperations& o) {
             TInboxSettings s;
             s.Folder = InboxPath;
             s.WindowMinutes = 10;
             if (TOutcome out = o.SetInboxSettings(s); !out.Ok()) return out;
             TInstrumentSource src = TInstrumentSource::FromText(
                 "separator=semicolon\ncolumn.test=test\ncolumn.control=control\ncolumn.value=value\n"
                 "column.date=date\ncolumn.time=time\n");
             src.Id = DefaultSourceId;
             return o.SetInboxSource(src);
         }},
        {"map a control",
         [](TOperations& o) {
             return o.MapInstrumentResults({"default", "NA", "QC1", "Sodium", 1});
         }},
        {"read the inbox: one run held, one result not mapped",
         [](TOperations& o) {
             Drop("a.csv", "NA;QC1;141.0;2026-03-05;08:00\nNA;QC2;119.5;2026-03-05;08:02\n");
             return ReadInboxChecked(o, 1, 0, 0, 1);
         }},
        {"a mapping brings the waiting result into the held run",
         [](TOperations& o) {
             TInboxReport r;
             TOutcome out = o.MapInstrumentResults({"default", "NA", "QC2", "Sodium", 2}, &r);
             EXPECT_EQ(r.Merged, 1);
             return out;
         }},
        {"a later file completes nothing held twice and is read once",
         [](TOperations& o) {
             Drop("b.csv", "NA;QC1;142.0;2026-03-05;08:40\nNA;QC1;141.0;2026-03-05;08:00\n");
             Drop("c.csv", "NA;QC1;142.0;2026-03-05;08:40\nNA;QC1;141.0;2026-03-05;08:00\n");
             return ReadInboxChecked(o, 1, 0, 0, 0);
         }},
        {"auto-accept stores a clear run",
         [](TOperations& o) {
             TInboxSettings s = o.InboxSettings();
             s.AutoAccept = true;
             if (TOutcome out = o.SetInboxSettings(s); !out.Ok()) return out;
             for (int k = 1; k <= 3; ++k)
                 if (TOutcome out =
                         o.MapInstrumentResults({"default", "GLU", "G" + std::to_string(k), "Glucose2", k});
                     !out.Ok())
                     return out;
             Drop("d.csv", "GLU;G1;" + AtMean("Glucose2", 1) + ";2026-03-06;09:00\nGLU;G2;" +
                               AtMean("Glucose2", 2) + ";2026-03-06;09:01\nGLU;G3;" + AtMean("Glucose2", 3) +
                               ";2026-03-06;09:02\n");
             return ReadInboxChecked(o, 0, 0, 1, 0);
         }},
        {"remove a mapping", [](TOperations& o) { return o.RemoveInboxMapping("default", "GLU", "G1"); }},
    };
    return cases;
}

class ServerStore_ : public ::testing::Test {
protected:
    TServerDatabase db;
    TTempFolder station;
    TOperations& ops = Operations();
    void TearDown() override { ops.Close(); }
};

} // namespace

// The same operations on a folder and on a server hold the same data, byte for byte as the legacy files
// write it, and each is on the server when it returns.
TEST_F(ServerStore_, OneTableOfCasesGivesTheSameDataOnBothStores) {
    SKIP_WITHOUT_SERVER(db);
    std::vector<TImages> folder, server;
    std::vector<std::string> folderArchives, serverArchives, folderJournal, serverJournal;
    std::vector<std::string> folderInbox, serverInbox;
    TTempFolder inbox;
    InboxPath = inbox.Path();
    for (const bool onServer : {false, true}) {
        std::filesystem::remove_all(InboxPath);
        std::filesystem::create_directories(InboxPath);
        TTempFolder place;
        ASSERT_TRUE(OpenWithSample(place.Path(), onServer ? db.Conninfo() : "").Opened);
        auto& images = onServer ? server : folder;
        for (const TCase& c : Cases()) {
            SCOPED_TRACE(std::string(c.Name) + (onServer ? " on the server" : " in the folder"));
            TOutcome out = c.Run(ops);
            ASSERT_TRUE(out.Ok()) << out.Message;
            images.push_back(Memory());
            (onServer ? serverInbox : folderInbox).push_back(InboxState(ops));
            if (std::string(c.Name) == "erase a level")
                (onServer ? serverArchives : folderArchives)
                    .push_back(ops.ArchiveBytes(Named("Calcium").ArchiveNumbers.back()));
            if (onServer) {
                EXPECT_EQ(OnServer(db.Conninfo()), images.back());
            }
        }
        if (onServer) {
            // Nothing of the data went to the station's folder.
            EXPECT_TRUE(std::filesystem::is_empty(place.Path()));
        }
        const TJournalCheck check = ops.CheckJournal();
        EXPECT_TRUE(check.Whole) << check.Message;
        (onServer ? serverJournal : folderJournal) = JournalLines();
        ops.Close();
    }
    ASSERT_EQ(folder.size(), server.size());
    for (size_t i = 0; i < folder.size(); ++i) {
        EXPECT_TRUE(folder[i] == server[i]) << Cases()[i].Name;
        EXPECT_EQ(folderInbox[i], serverInbox[i]) << Cases()[i].Name;
    }
    EXPECT_EQ(folderArchives, serverArchives);
    EXPECT_FALSE(serverArchives.empty());
    // Each change is journaled alike on both stores.
    EXPECT_GE(serverJournal.size(), Cases().size());
    EXPECT_EQ(folderJournal, serverJournal);
}

// Another bench changed the analyte first: a later change of its points (not a run added) is refused
// whole, and the next poll shows what the server holds.
TEST_F(ServerStore_, TheLaterOfTwoChangesOfOneAnalyteIsRefusedAndReloaded) {
    SKIP_WITHOUT_SERVER(db);
    ASSERT_TRUE(OpenWithSample(station.Path(), db.Conninfo()).Opened);
    TServerStore other(db.Conninfo());
    other.Connect(true);
    TListSerum serum;
    TListAnalytes analytes;
    std::deque<TResu> queue;
    TSettings settings;
    std::vector<std::string> operators;
    bool has = false;
    other.Load(serum, analytes, queue, settings, operators, has);
    TAnalyte& theirs = *analytes.FindByName("Glucose");
    theirs.AddPoint(MakeRun(Today() + 1, {4.4, 5.5, 6.6}));
    theirs.RecalcAll();
    other.WriteData(serum, analytes, &theirs, {});

    int told = 0;
    const TAnalyteId mine = Named("Glucose").Uid;
    int id = ops.Subscribe([&](const TChange& c) { told += (c.Kinds & ckPoints) && c.Analyte == mine; });
    const int before = Named("Glucose").Count();
    TOutcome out = ops.DeletePoints(Named("Glucose"), {0}, "typing error");
    EXPECT_EQ(out.Status, TStatus::Refused);
    EXPECT_NE(out.Message.find("changed on another bench"), std::string::npos) << out.Message;
    EXPECT_TRUE(out.Conflict());
    EXPECT_EQ(Named("Glucose").Count(), before);
    // The other bench's change is brought in within a second (the notification may have come with the
    // refusal already, or still be on its way).
    for (int k = 0; k < 10 && told == 0; ++k) {
        EXPECT_TRUE(ops.PollServer().Ok());
        pollfd p{ops.ServerSocket(), POLLIN, 0};
        if (told == 0) ::poll(&p, 1, 100);
    }
    ops.Unsubscribe(id);
    EXPECT_EQ(told, 1);
    EXPECT_EQ(Named("Glucose").Count(), before + 1);
    EXPECT_EQ(Memory(), OnServer(db.Conninfo()));
    // Made again on what the server holds, it is taken.
    EXPECT_TRUE(ops.DeletePoints(Named("Glucose"), {0}, "typing error").Ok());
    EXPECT_EQ(Named("Glucose").Count(), before);
    EXPECT_EQ(Memory(), OnServer(db.Conninfo()));
}

TEST_F(ServerStore_, AnalyteRowsLockedElsewhereDelayOnlyTheirOwnChanges) {
    SKIP_WITHOUT_SERVER(db);
    ::setenv("PGOPTIONS", "-c lock_timeout=3000", 1);
    TOpenReport opened = OpenWithSample(station.Path(), db.Conninfo());
    ::unsetenv("PGOPTIONS");
    ASSERT_TRUE(opened.Opened);
    TPgConnection& admin = db.Admin();
    admin.Exec("BEGIN");
    admin.Exec("SELECT 1 FROM analyte WHERE name = 'Glucose' FOR UPDATE");
    EXPECT_TRUE(ops.AcceptRun(Named("Calcium"), MakeRun(Today() + 1, {2.2, 2.4})).Ok());
    const TImages held = Memory();
    TOutcome waited = ops.AcceptRun(Named("Glucose"), MakeRun(Today() + 1, {2.2, 2.4}));
    EXPECT_EQ(waited.Status, TStatus::Refused);
    EXPECT_EQ(Memory(), held);
    admin.Exec("ROLLBACK");
    EXPECT_EQ(OnServer(db.Conninfo()), held);
}

// Technologists enter runs; everything the password gates is a supervisor's. Every change names who.
TEST_F(ServerStore_, RightsFollowTheSignedInOperatorsRole) {
    SKIP_WITHOUT_SERVER(db);
    ASSERT_TRUE(OpenWithSample(station.Path(), db.Conninfo()).Opened);
    EXPECT_EQ(ops.SetAccount({"tech", "T. Tech", TRole::Technologist}, "pw1").Status, TStatus::Refused)
        << "the first account must be a supervisor's";
    ASSERT_TRUE(ops.SetAccount({"boss", "B. Boss", TRole::Supervisor}, "pw2").Ok());
    ops.Close();

    TOpenOptions options;
    options.Server = db.Conninfo();
    TOpenReport r = ops.Open(station.Path(), TOpenMode::Writer, options);
    EXPECT_TRUE(r.SignInNeeded);
    options.OperatorCode = "boss";
    options.OperatorPassword = "wrong";
    r = ops.Open(station.Path(), TOpenMode::Writer, options);
    EXPECT_FALSE(r.Opened);
    EXPECT_NE(r.Message.find("wrong password"), std::string::npos);
    options.OperatorPassword = "pw2";
    ASSERT_TRUE(ops.Open(station.Path(), TOpenMode::Writer, options).Opened);
    ASSERT_TRUE(ops.SetAccount({"tech", "T. Tech", TRole::Technologist}, "pw1").Ok());
    EXPECT_TRUE(ops.PasswordMatches(""));
    ops.Close();

    options.OperatorCode = "tech";
    options.OperatorPassword = "pw1";
    ASSERT_TRUE(ops.Open(station.Path(), TOpenMode::Writer, options).Opened);
    EXPECT_FALSE(ops.PasswordMatches("pw1"));
    EXPECT_TRUE(ops.AcceptRun(Named("Glucose"), MakeRun(Today() - 30.25, {3, 5, 12})).Ok());
    const TImages before = Memory();
    for (const TOutcome& refused :
         {ops.DeletePoints(Named("Glucose"), {0}, "wrong vial"), ops.SetAnalyteOptions(Named("Glucose"), 0),
          ops.EraseLevels(Named("Calcium"), {true, false, false}), ops.SetOperators({"X"}),
          ops.SetGoal({"Glucose", 10.0L, teaPercent, "", {}})}) {
        EXPECT_EQ(refused.Status, TStatus::Refused);
        EXPECT_NE(refused.Message.find("supervisor"), std::string::npos) << refused.Message;
    }
    EXPECT_EQ(Memory(), before);
    EXPECT_EQ(OnServer(db.Conninfo()), before);
    TPgResult who = db.Admin().Exec("SELECT operator FROM write_log ORDER BY at DESC LIMIT 1");
    EXPECT_EQ(who.Text(0, 0), "tech");
    // The run is journaled under the operator signed in, whatever operator code the run carries.
    ASSERT_FALSE(ops.Journal().empty());
    EXPECT_EQ(ops.Journal().back().Operator, "tech");
    EXPECT_EQ(ops.Journal().back().Kind.rfind("run accepted", 0), 0u) << ops.Journal().back().Kind;
}

// Sign-offs, corrective actions and the journal's chain are the server's, shared by every bench.
TEST_F(ServerStore_, ReviewsActionsAndTheJournalChainAreKeptOnTheServer) {
    SKIP_WITHOUT_SERVER(db);
    ASSERT_TRUE(OpenWithSample(station.Path(), db.Conninfo()).Opened);
    ASSERT_TRUE(ops.SetAccount({"boss", "B. Boss", TRole::Supervisor}, "pw2").Ok());
    ops.Close();
    TOpenOptions options;
    options.Server = db.Conninfo();
    options.OperatorCode = "boss";
    options.OperatorPassword = "pw2";
    ASSERT_TRUE(ops.Open(station.Path(), TOpenMode::Writer, options).Opened);
    const TOutcome actions = ops.SetCorrectiveActions({"Recalibrated", "Called the engineer"});
    ASSERT_TRUE(actions.Ok()) << actions.Message;
    EXPECT_EQ(ops.CorrectiveActions(), (std::vector<std::string>{"Recalibrated", "Called the engineer"}));

    TAnalyte& g = Named("Glucose");
    const TDateTime first = Today() - 60, last = Today() - 1;
    EXPECT_EQ(ops.SignReview(g, first, last, "boss", "wrong").Status, TStatus::Refused);
    ASSERT_TRUE(ops.SignReview(g, first, last, "boss", "pw2").Ok());
    ASSERT_EQ(ops.Reviews("Glucose").size(), 1u);
    int inside = -1;
    for (int i = 0; i < g.Count() && inside < 0; ++i)
        if (ops.Reviews("Glucose")[0].Covers(g.Points[static_cast<size_t>(i)].DateTime)) inside = i;
    ASSERT_GE(inside, 0);
    const int count = g.Count();
    EXPECT_EQ(ops.DeletePoints(g, {inside}).Status, TStatus::Refused);
    EXPECT_EQ(g.Count(), count);
    ASSERT_TRUE(ops.DeletePoints(g, {inside}, "duplicate entry").Ok());
    EXPECT_TRUE(ops.Reviews("Glucose")[0].Reopened());
    EXPECT_EQ(ops.Reviews("Glucose")[0].ReopenedReason, "duplicate entry");
    std::vector<std::string> kinds;
    for (const TJournalEntry& e : ops.Journal()) kinds.push_back(e.Kind);
    for (const char* k : {jk::CorrectiveActions, jk::ReviewSigned, jk::ReviewReopened, jk::PointDeleted})
        EXPECT_NE(std::find(kinds.begin(), kinds.end(), k), kinds.end()) << k;
    EXPECT_TRUE(std::filesystem::is_empty(station.Path()));

    // An entry changed, or entries removed from the end, are named by the check.
    ASSERT_TRUE(ops.CheckJournal().Whole) << ops.CheckJournal().Message;
    const int64_t n = static_cast<int64_t>(ops.Journal().size());
    TPgConnection& admin = db.Admin();
    admin.Exec("UPDATE journal SET reason = 'nothing' WHERE id = 2");
    EXPECT_EQ(ops.CheckJournal().FirstBad, 2);
    admin.Exec("UPDATE journal SET reason = '' WHERE id = 2");
    admin.Exec("DELETE FROM journal WHERE id = $1", {std::to_string(n)});
    const TJournalCheck cut = ops.CheckJournal();
    EXPECT_FALSE(cut.Whole);
    EXPECT_EQ(cut.FirstBad, n) << cut.Message;
    // Its record of the last entry removed as well: named by the check, and the data stays usable,
    // the journal going on with an entry saying so.
    admin.Exec("DELETE FROM journal_head");
    EXPECT_FALSE(ops.CheckJournal().Whole);
    ASSERT_TRUE(ops.AcceptRun(g, MakeRun(Today() + 1, {5, 5, 5}, "", "AB")).Ok());
    const std::vector<TJournalEntry> after = ops.Journal();
    ASSERT_GE(after.size(), 2u);
    EXPECT_EQ(after[after.size() - 2].Kind, jk::JournalStarted);
    EXPECT_EQ(after[after.size() - 2].Id, n);
    EXPECT_NE(after[after.size() - 2].After.find("rebuilt from entry " + std::to_string(n - 1)),
              std::string::npos);
}

TEST_F(ServerStore_, BadServersAreNamedWithoutTheirPassword) {
    SKIP_WITHOUT_SERVER(db);
    TOpenOptions options;
    options.Server = "host=/nonexistent-socket-dir user=varnholt password=s3cret dbname=x connect_timeout=2";
    TOpenReport r = ops.Open(station.Path(), TOpenMode::Program, options);
    EXPECT_FALSE(r.Opened);
    EXPECT_NE(r.Message.find("Cannot connect to the server"), std::string::npos);
    EXPECT_EQ(r.Message.find("s3cret"), std::string::npos) << r.Message;
    EXPECT_NE(r.Message.find("password=***"), std::string::npos);

    // A schema newer than the program.
    ASSERT_TRUE(OpenWithSample(station.Path(), db.Conninfo()).Opened);
    ops.Close();
    db.Admin().Exec("UPDATE schema_part SET version = 99 WHERE part = 'base'");
    options.Server = db.Conninfo();
    r = ops.Open(station.Path(), TOpenMode::Program, options);
    EXPECT_FALSE(r.Opened);
    EXPECT_NE(r.Message.find("newer Varnholt"), std::string::npos) << r.Message;
    EXPECT_TRUE(std::filesystem::is_empty(station.Path()));
}

// A connection lost between two operations: the next change is refused whole, the one after it works.
TEST_F(ServerStore_, ALostConnectionRefusesTheChangeAndTheNextOneWorks) {
    SKIP_WITHOUT_SERVER(db);
    ASSERT_TRUE(OpenWithSample(station.Path(), db.Conninfo()).Opened);
    const TImages before = Memory();
    const size_t entries = ops.Journal().size();
    const int pid = ops.Server()->Connection().BackendPid();
    db.Admin().Exec("SELECT pg_terminate_backend($1)", {std::to_string(pid)});
    for (int k = 0;
         k < 50 &&
         db.Admin().Exec("SELECT 1 FROM pg_stat_activity WHERE pid = $1", {std::to_string(pid)}).Rows();
         ++k)
        ::usleep(20000);
    TOutcome lost = ops.AcceptRun(Named("Glucose"), MakeRun(Today() + 1, {1, 2, 3}));
    EXPECT_EQ(lost.Status, TStatus::Refused);
    EXPECT_NE(lost.Message.find("lost"), std::string::npos) << lost.Message;
    EXPECT_EQ(Memory(), before);
    EXPECT_EQ(OnServer(db.Conninfo()), before);
    EXPECT_EQ(ops.Journal().size(), entries);
    EXPECT_TRUE(ops.AcceptRun(Named("Glucose"), MakeRun(Today() + 1, {1, 2, 3})).Ok());
    EXPECT_EQ(OnServer(db.Conninfo()), Memory());
    EXPECT_EQ(ops.Journal().size(), entries + 1);
}
