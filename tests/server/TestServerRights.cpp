// Rights on the server: what a technologist may not change, refused whatever the bench asks.
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include "ServerHelpers.h"
#include "TestHelpers.h"
#include "TestSeams.h"
#include "UInbox.h"
#include "UMigrate.h"
#include "UOperations.h"
#include "UServerRights.h"

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

    // A login role of the database's bench role, as a bench connects.
    std::string BenchConninfo() {
        const std::string& c = db.Conninfo();
        const std::string name = c.substr(c.find("dbname=") + 7);
        db.Admin().Exec("DROP ROLE IF EXISTS " + name + "_t");
        db.Admin().Exec("CREATE ROLE " + name + "_t LOGIN IN ROLE " + name + "_bench");
        const size_t user = c.find("user=");
        return c.substr(0, user) + "user=" + name + "_t" + c.substr(c.find(' ', user));
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

// The error state of `sql` run on `c`, or "" when it ran.
std::string Refusal(TPgConnection& c, const std::string& sql, const std::vector<TPgParam>& params = {}) {
    try {
        c.Exec(sql, params);
    } catch (const EServerError& e) {
        return e.State;
    }
    return "";
}

// A bench connects as the bench role: it works as before, but cannot change accounts, rewrite the
// journal or read a password hash, and a technologist cannot make himself a supervisor.
TEST_F(ServerRights_, TheBenchRoleCannotChangeAccountsTheJournalOrReadHashes) {
    SKIP_WITHOUT_SERVER(db);
    MakeLab();
    const std::string bench = BenchConninfo();
    TOpenOptions o;
    o.Server = bench;
    o.OperatorCode = "tech";
    o.OperatorPassword = "pw-tech";
    TOpenReport r = ops.Open(station.Path(), TOpenMode::Writer, o);
    ASSERT_TRUE(r.Opened) << r.Message;
    TOutcome added = ops.AcceptRun(*ListAnalytes.FindByName("Glucose"), MakeRun(Today() - 1, {5, 10}));
    ASSERT_TRUE(added.Ok()) << added.Message;
    EXPECT_FALSE(ops.SetAccount({"tech", "T. Tech", TRole::Supervisor}, "").Ok());
    const TJournalCheck check = ops.CheckJournal();
    EXPECT_TRUE(check.Whole) << check.Message;
    const int64_t entries = db.Admin().Exec("SELECT count(*) FROM journal").Int(0, 0);
    ops.Close();

    TPgConnection c;
    c.Connect(bench);
    for (const char* sql :
         {"UPDATE account SET role = 'supervisor' WHERE code = 'tech'", "DELETE FROM account",
          "INSERT INTO account VALUES('eve', 'E', 'supervisor', 'x')", "UPDATE journal SET reason = 'x'",
          "DELETE FROM journal WHERE id = 1", "TRUNCATE journal", "UPDATE journal_head SET last = 1",
          "DELETE FROM journal_head", "SELECT password_hash FROM account",
          "SELECT hash FROM operator_password", "SELECT * FROM sign_in_session",
          "SELECT varnholt_journal_add('x', 'y', 'z')"})
        EXPECT_EQ(Refusal(c, sql), "42501") << sql;
    // An entry cannot be slipped in before the last one.
    EXPECT_EQ(Refusal(c,
                      "INSERT INTO journal SELECT 0, time_utc, time_local, operator, kind, analyte, level, "
                      "point, before, after, reason, hash FROM journal WHERE id = 1"),
              "42501");

    // Through the functions: the technologist's own session, none, or a made-up one.
    const std::string setting = c.Exec("SELECT varnholt_password_setting('tech', false)").Text(0, 0);
    const std::string proof = Argon2idWithSetting(setting, "pw-tech").value();
    TPgResult in = c.Exec("SELECT outcome, role, token FROM varnholt_sign_in('tech', $1)", {proof});
    ASSERT_EQ(in.Text(0, 0), "ok");
    EXPECT_EQ(in.Text(0, 1), "technologist");
    const std::string token = in.Text(0, 2);
    for (const std::string& t : {token, std::string(), std::string(64, 'a')}) {
        EXPECT_EQ(Refusal(c, "SELECT varnholt_set_account($1, 'tech', 'T. Tech', 'supervisor', '')", {t}),
                  "42501");
        EXPECT_EQ(Refusal(c, "SELECT varnholt_set_account($1, 'eve', 'E', 'supervisor', $2)", {t, proof}),
                  "42501");
        EXPECT_EQ(Refusal(c, "SELECT varnholt_remove_account($1, 'boss')", {t}), "42501");
        EXPECT_EQ(Refusal(c, "SELECT varnholt_set_operator_password($1, 'TECH', $2)", {t, proof}), "42501");
    }
    EXPECT_EQ(
        db.Admin().Exec("SELECT string_agg(code || ' ' || role, ', ' ORDER BY code) FROM account").Text(0, 0),
        "boss supervisor, tech technologist");
    EXPECT_EQ(db.Admin().Exec("SELECT count(*) FROM journal").Int(0, 0), entries);

    // The supervisor still manages the accounts from a bench.
    o.OperatorCode = "boss";
    o.OperatorPassword = "pw-boss";
    ASSERT_TRUE(ops.Open(station.Path(), TOpenMode::Writer, o).Opened);
    EXPECT_TRUE(ops.SetAccount({"tech", "T. Tech", TRole::Supervisor}, "").Ok());
    EXPECT_TRUE(ops.SetOperatorPassword("ANNA", "pw-anna").Ok());
    ops.Close();
    EXPECT_EQ(db.Admin().Exec("SELECT role FROM account WHERE code = 'tech'").Text(0, 0), "supervisor");
}

// The error state of `sql` run in one transaction on `c` as the session `token` (none when empty).
std::string RefusalAs(TPgConnection& c, const std::string& token, const std::vector<std::string>& sql) {
    c.Exec("BEGIN");
    try {
        c.Exec("SELECT set_config('varnholt.session', $1, true)", {token});
        for (const std::string& s : sql) c.Exec(s);
        c.Exec("COMMIT");
    } catch (const EServerError& e) {
        try {
            c.Exec("ROLLBACK");
        } catch (const EQcError&) {
        }
        return e.State;
    }
    return "";
}

// The data as well: a bench role changes it only as the program does, as the account signed in, within
// that account's rights and with the change's journal entry. The program's own path still works.
TEST_F(ServerRights_, TheBenchRoleChangesTheDataOnlyAsTheProgramDoes) {
    SKIP_WITHOUT_SERVER(db);
    MakeLab();
    const std::string bench = BenchConninfo();
    auto openAs = [&](const std::string& code, const std::string& password) {
        TOpenOptions o;
        o.Server = bench;
        o.OperatorCode = code;
        o.OperatorPassword = password;
        return ops.Open(station.Path(), TOpenMode::Writer, o);
    };
    ASSERT_TRUE(openAs("tech", "pw-tech").Opened);
    TOutcome out = ops.AcceptRun(*ListAnalytes.FindByName("Glucose"), MakeRun(Today() - 1, {5, 10}));
    ASSERT_TRUE(out.Ok()) << out.Message;
    ops.Close();
    ASSERT_TRUE(openAs("boss", "pw-boss").Opened);
    TAnalyte& g = *ListAnalytes.FindByName("Glucose");
    const TLimitState before = TLimitState::Of(g);
    g.LimitMode[0] = lmFixed;
    g.Limits[0] = {5, 0.2L, 0.3L};
    out = ops.SaveLimits(g, before, "new lot");
    ASSERT_TRUE(out.Ok()) << out.Message;
    out = ops.DeletePoints(g, {0}, "entered twice");
    ASSERT_TRUE(out.Ok()) << out.Message;
    out = ops.SignReview(g, g.Points.front().DateTime, g.Points.back().DateTime, "boss", "pw-boss");
    ASSERT_TRUE(out.Ok()) << out.Message;
    TTempFolder medium;
    ASSERT_TRUE(ops.ChangeSettings([&](TSettings& s) {
                       s.BackupInterval = 30;
                       s.BackupFolder = medium.Path();
                   })
                    .Ok());
    // A supervisor's other changes, each through the program's path on the bench role.
    std::vector<int32_t> archived;
    const auto hold = [&] {
        TResu r = MakeRun(Today() + 0.25, {5.2, 10.2});
        r.AnalyteName = "Glucose";
        return ops.HoldRun(r);
    };
    const std::vector<std::pair<const char*, std::function<TOutcome()>>> changes = {
        {"goal",
         [&] {
             TQualityGoal goal;
             goal.Analyte = "Glucose";
             goal.TEa = 10.0L;
             return ops.SetGoal(goal);
         }},
        {"rule set", [&] { return ops.SetRuleSet("Glucose", MakeQcRuleSet("Strict", "1:3s", "1:2s")); }},
        {"corrective actions", [&] { return ops.SetCorrectiveActions({"Recalibrated"}); }},
        {"operators",
         [&] {
             return ops.SetOperators({"AB", "CD"});
         }},
        {"options", [&] { return ops.SetAnalyteOptions(g, TAnalyte::OptMultirules); }},
        {"erase",
         [&] {
             return ops.EraseLevels(g, {false, true, false}, &archived, "new lot");
         }},
        {"archives", [&] { return ops.DeleteArchives(g, archived, "kept on paper"); }},
        {"backup", [&] { return ops.Backup(medium.Path()); }},
        {"restore", [&] { return ops.Restore(medium.Path()); }},
        {"hold", hold},
        {"clear queue", [&] { return ops.ClearQueue(); }},
        {"hold again", hold},
        {"auto-accept", [&] {
             TInboxSettings i = ops.InboxSettings();
             i.AutoAccept = true;
             return ops.SetInboxSettings(i);
         }}};
    for (const auto& [what, change] : changes) {
        out = change();
        EXPECT_TRUE(out.Ok()) << what << ": " << out.Message;
    }
    EXPECT_TRUE(ops.CheckJournal().Whole);
    ops.Close();

    auto stored = [&] {
        return db.Admin()
            .Exec("SELECT (SELECT string_agg(p::text, '|' ORDER BY analyte, ord) FROM point p) || "
                  "(SELECT string_agg(a.limits::text || a.mode1, '|') FROM analyte a) || "
                  "(SELECT string_agg(r::text, '|') FROM review r) || (SELECT s::text FROM settings s) || "
                  "(SELECT string_agg(q::text, '|') FROM queue_entry q) || "
                  "(SELECT count(*) FROM journal)")
            .Text(0, 0);
    };
    const std::string held = stored();
    TPgConnection c;
    c.Connect(bench);
    auto session = [&](const std::string& code, const std::string& password) {
        const std::string setting = c.Exec("SELECT varnholt_password_setting($1, false)", {code}).Text(0, 0);
        return c
            .Exec("SELECT token FROM varnholt_sign_in($1, $2)",
                  {code, Argon2idWithSetting(setting, password)})
            .Text(0, 0);
    };
    const std::string tech = session("tech", "pw-tech"), boss = session("boss", "pw-boss");
    ASSERT_EQ(tech.size(), 64u);
    const std::string fixedLimit =
        "UPDATE analyte SET limits = overlay(limits PLACING '\\x01'::bytea FROM 1 FOR 1)";
    const std::string pointChanged = "UPDATE point SET v1 = v1 + 1 WHERE ord = 0";
    // An entry a bench slips in itself, after the last one.
    const std::string entry =
        "INSERT INTO journal SELECT id + 1, time_utc, time_local, operator, kind, analyte, "
        "level, point, before, after, reason, hash FROM journal ORDER BY id DESC LIMIT 1";
    // No journal entry, whoever asks, and no session at all.
    const std::vector<std::string> unjournaled = {
        "INSERT INTO point SELECT analyte, ord + 100, at + 1, v1, s1, v2, s2, v3, s3, comment_id, operator, "
        "added FROM point WHERE ord = 0",
        pointChanged,
        "DELETE FROM point WHERE ord = 0",
        fixedLimit,
        "DELETE FROM review",
        "UPDATE review SET reviewer = 'eve'",
        "UPDATE review SET reopened_utc = 'now', reopened_reason = 'x'",
        "TRUNCATE point",
        "DELETE FROM queue_entry",
        "DELETE FROM change_due"};
    for (const std::string& token : {std::string(), std::string(64, 'a'), tech, boss})
        for (const std::string& sql : unjournaled)
            EXPECT_EQ(RefusalAs(c, token, {sql}), "42501") << token << ": " << sql;
    // With an entry of its own, a technologist still changes no more than a run's entry does.
    const std::vector<std::string> supervisors = {
        pointChanged,
        "DELETE FROM point WHERE ord = 0",
        fixedLimit,
        "DELETE FROM analyte",
        "INSERT INTO goal(analyte_key, analyte, tea) VALUES('GLUCOSE', "
        "'Glucose', 1)",
        "UPDATE inbox_setting SET auto_accept = NOT auto_accept",
        "UPDATE settings SET backup_folder = '/elsewhere'"};
    for (const std::string& sql : supervisors) EXPECT_EQ(RefusalAs(c, tech, {entry, sql}), "42501") << sql;
    // ...and a signed review stays as it was signed for a supervisor too.
    EXPECT_EQ(RefusalAs(c, boss, {entry, "UPDATE review SET last_day = last_day + 30"}), "42501");
    EXPECT_EQ(RefusalAs(c, boss, {entry, "DELETE FROM review"}), "42501");
    EXPECT_EQ(stored(), held);

    // Still the program's path for a technologist's day: runs entered, held and recalled (one for an
    // analyte not there yet), the bench's inbox window, a backup.
    ASSERT_TRUE(openAs("tech", "pw-tech").Opened);
    out = ops.AcceptRun(*ListAnalytes.FindByName("Glucose"), MakeRun(Today(), {5, 10}));
    EXPECT_TRUE(out.Ok()) << out.Message;
    TResu urea = MakeRun(Today(), {7, 14});
    urea.AnalyteName = "Urea";
    TResu glucose = MakeRun(Today() + 0.5, {5.1, 10.1});
    glucose.AnalyteName = "Glucose";
    for (const TResu& r : {glucose, urea}) {
        out = ops.HoldRun(r);
        ASSERT_TRUE(out.Ok()) << out.Message;
    }
    for (int held = 0; held < 3; ++held) {
        TAnalyte* a = nullptr;
        TResu recalled;
        out = ops.RecallRun(a, recalled);
        ASSERT_TRUE(out.Ok() && a) << out.Message;
        out = ops.ConcludeRecall(*a, recalled, true);
        EXPECT_TRUE(out.Ok()) << out.Message;
    }
    TInboxSettings window = ops.InboxSettings();
    window.WindowMinutes = 30;
    out = ops.SetInboxSettings(window);
    EXPECT_TRUE(out.Ok()) << out.Message;
    out = ops.Backup(medium.Path());
    EXPECT_TRUE(out.Ok()) << out.Message;
    EXPECT_TRUE(ops.CheckJournal().Whole);
    ops.Close();
    EXPECT_EQ(
        db.Admin()
            .Exec(
                "SELECT (SELECT count(*) FROM point) || ' ' || (SELECT count(*) FROM queue_entry) || ' ' || "
                "(SELECT window_minutes FROM inbox_setting) || ' ' || (SELECT last_backup > 0 FROM settings)")
            .Text(0, 0),
        "9 0 30 true");
}

// The hash a bench computes with the setting it is given is the one the program keeps.
TEST(ServerPasswordProof, TheSettingGivesBackTheKeptHash) {
    const std::string kept = HashPassword("s3cret pw");
    const std::string setting = kept.substr(0, kept.rfind('$'));
    EXPECT_EQ(Argon2idWithSetting(setting, "s3cret pw"), kept);
    EXPECT_NE(Argon2idWithSetting(setting, "s3cret PW"), kept);
    for (const char* bad :
         {"", "$argon2i$v=19$m=65536,t=2,p=1$c2FsdHNhbHRzYWx0c2FsdA", "$argon2id$v=19$m=65536,t=2,p=1$short",
          "$argon2id$v=19$m=99999999,t=2,p=1$c2FsdHNhbHRzYWx0c2FsdA"})
        EXPECT_FALSE(Argon2idWithSetting(bad, "x")) << bad;
}

// Wrong passwords are answered later and later, then the code is locked out (journaled for an
// account); an unknown code takes as long as a known one.
TEST_F(ServerRights_, WrongPasswordsAreSlowedDownAndLockTheCodeOut) {
    SKIP_WITHOUT_SERVER(db);
    MakeLab();
    TServerStore s(BenchConninfo());
    s.Connect(true);
    using clock = std::chrono::steady_clock;
    auto attempt = [&](const std::string& code, const std::string& password) {
        const auto start = clock::now();
        std::string message;
        try {
            s.SignIn(code, password);
        } catch (const EQcError& e) {
            message = e.what();
        }
        return std::pair{std::chrono::duration<double>(clock::now() - start).count(), message};
    };
    double known = 0, unknown = 0, first = 0, third = 0;
    for (int i = 0; i < 3; ++i) {
        const auto [k, kMessage] = attempt("tech", "guess");
        const auto [u, uMessage] = attempt("nobody", "guess");
        EXPECT_EQ(kMessage, uMessage);
        known += k;
        unknown += u;
        (i == 0 ? first : third) = k;
    }
    EXPECT_GT(third, first);
    EXPECT_LT(known, unknown * 1.5);
    EXPECT_LT(unknown, known * 1.5);
    attempt("tech", "guess");
    const auto [t, locked] = attempt("tech", "guess");
    EXPECT_NE(locked.find("too many"), std::string::npos) << locked;
    EXPECT_NE(attempt("tech", "pw-tech").second.find("too many"), std::string::npos);
    // Others still sign in; the lock-out is journaled once, in the chain, naming no password.
    EXPECT_EQ(attempt("boss", "pw-boss").second, "");
    TPgResult j = db.Admin().Exec("SELECT after FROM journal WHERE operator = 'server'");
    ASSERT_EQ(j.Rows(), 1);
    EXPECT_EQ(j.Text(0, 0), "tech locked out for 15 minutes after 5 wrong passwords in a row");
    EXPECT_EQ(db.Admin()
                  .Exec("SELECT count(*) FROM journal WHERE after LIKE '%guess%' OR after LIKE '%nobody%'")
                  .Int(0, 0),
              0);
    ASSERT_TRUE(Open("boss", "pw-boss").Opened);
    EXPECT_TRUE(ops.CheckJournal().Whole) << ops.CheckJournal().Message;
    // Failures are counted under a keyed hash of the code, never the code typed.
    EXPECT_EQ(
        db.Admin().Exec("SELECT count(*) FROM sign_in_failure WHERE key IN ('tech', 'nobody')").Int(0, 0), 0);
}

// The program password is kept on the server as an Argon2id hash, checked there; one kept in clear by
// an older Varnholt is hashed at the next start, and a folder's hashed password moves in and out.
TEST_F(ServerRights_, TheProgramPasswordIsKeptAsAHash) {
    SKIP_WITHOUT_SERVER(db);
    TTempFolder folder;
    {
        TOpenOptions o;
        o.SampleOnFirstRun = false;
        ASSERT_TRUE(ops.Open(folder.Path(), TOpenMode::Writer, o).Opened);
        ListAnalytes.Add(std::make_unique<TAnalyte>("Glucose", "mmol/L", 2, 2));
        WriteAllData(ops);
        ASSERT_TRUE(ops.ChangeSettings([](TSettings& s) { s.Password = "LAB KEY"; }).Ok());
        ops.Close();
    }
    ASSERT_NO_THROW(MigrateFolderToServer(folder.Path(), db.Conninfo()));
    auto stored = [&] { return db.Admin().Exec("SELECT password FROM settings").Text(0, 0); };
    auto checks = [&](const std::string& conninfo) {
        TOpenOptions o;
        o.Server = conninfo;
        o.SampleOnFirstRun = false;
        EXPECT_TRUE(ops.Open(station.Path(), TOpenMode::Writer, o).Opened);
        const bool ok =
            ops.PasswordMatches("lab key") && !ops.PasswordMatches("LAB") && !ops.PasswordMatches("");
        ops.Close();
        return ok;
    };
    EXPECT_TRUE(checks(BenchConninfo()));
    EXPECT_EQ(stored().find("LAB KEY"), std::string::npos);
    EXPECT_EQ(
        db.Admin().Exec("SELECT count(*) FROM program_password WHERE hash LIKE '$argon2id$%'").Int(0, 0), 1);

    // As an older Varnholt kept it; a technologist's bench hashes it too.
    ASSERT_TRUE(Open().Opened);
    ASSERT_TRUE(ops.SetAccount({"boss", "B. Boss", TRole::Supervisor}, "pw-boss").Ok());
    ASSERT_TRUE(Open("boss", "pw-boss").Opened);
    ASSERT_TRUE(ops.SetAccount({"tech", "T. Tech", TRole::Technologist}, "pw-tech").Ok());
    ops.Close();
    db.Admin().Exec("UPDATE settings SET password = 'OLD KEY'");
    TServerStore bench(BenchConninfo());
    bench.Connect(true);
    EXPECT_EQ(stored().find("OLD KEY"), std::string::npos);
    EXPECT_EQ(db.Admin()
                  .Exec("SELECT count(*) FROM journal WHERE after = 'program password kept as a hash on the "
                        "server'")
                  .Int(0, 0),
              1);
    TServerStore s(db.Conninfo());
    s.Connect(false);
    TSettings settings;
    std::vector<std::string> operators;
    s.ReloadSettings(settings, operators);
    EXPECT_TRUE(s.ProgramPasswordIs(settings.Password, "OLD KEY"));
    EXPECT_FALSE(s.ProgramPasswordIs(settings.Password, "LAB KEY"));

    // Out into a folder again, where the password still checks.
    TTempFolder back;
    const std::string out = back.Path() + "lab";
    ASSERT_NO_THROW(MigrateServerToFolder(db.Conninfo(), out, std::string("boss"), "pw-boss"));
    TOpenOptions o;
    o.SampleOnFirstRun = false;
    ASSERT_TRUE(ops.Open(out, TOpenMode::Writer, o).Opened);
    EXPECT_TRUE(ops.PasswordMatches("old key"));
    EXPECT_FALSE(ops.PasswordMatches("lab key"));
}

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
