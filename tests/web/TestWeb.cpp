// varnholt-web run as a program on a server store and driven over HTTP as a browser or a script would:
// sign-in, sessions, the API's figures against the companion's, review sign-off, escaping, refusals.
#include <arpa/inet.h>
#include <atomic>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "ServerHelpers.h"
#include "TestHelpers.h"
#include "TestSeams.h"
#include "UDataLoadSave.h"
#include "UJournal.h"
#include "UOperations.h"
#include "URandom.h"
#include "UWebAssets.h"
#include "UWebPages.h"
#include "UWebServer.h"

extern char** environ;

namespace {

constexpr const char* Hostile = "<script>K&\"'"; // an analyte's name as a page must never run it
constexpr const char* HostileReason = "<script>alert(1)</script>";

int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

// The program running: started with arguments and environment, its standard error in a file.
class TWebProgram {
public:
    TWebProgram(const std::vector<std::string>& args, const std::vector<std::string>& env,
                const std::string& log) {
        std::vector<std::string> all{VARNHOLT_WEB};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv, envp;
        for (auto& a : all) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        std::vector<std::string> envs = env;
        for (char** e = environ; *e; ++e)
            if (std::string(*e).rfind("VARNHOLT_", 0) != 0) envs.push_back(*e);
        for (auto& e : envs) envp.push_back(const_cast<char*>(e.c_str()));
        envp.push_back(nullptr);
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&fa, 2, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn(&pid_, argv[0], &fa, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&fa);
    }
    ~TWebProgram() { Stop(); }
    // Its exit status once it ended by itself within `seconds`; -1 while it runs.
    int Ended(int seconds) {
        for (int i = 0; i < seconds * 20 && pid_ > 0; ++i) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = 0;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return -1;
    }
    int Stop() {
        if (pid_ <= 0) return -1;
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    }

private:
    pid_t pid_ = 0;
};

std::string Slurp(const std::string& path) {
    std::ifstream f(path);
    return {std::istreambuf_iterator<char>(f), {}};
}

// A shell word.
std::string Quoted(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

class Web_ : public ::testing::Test {
protected:
    TServerDatabase db;
    TTempFolder station;
    int port = FreePort();
    std::unique_ptr<TWebProgram> web;
    std::unique_ptr<httplib::Client> http;

    // The sample data on the server, one analyte renamed and one point deleted with hostile texts; the
    // accounts of a supervisor, a technologist and the web view's own.
    void SetUp() override {
        if (!db.Ready()) return;
        TOpenOptions o;
        o.Server = db.Conninfo();
        o.SampleOnFirstRun = false;
        TOperations& ops = Operations();
        ASSERT_TRUE(ops.Open(station.Path(), TOpenMode::Writer, o).Opened);
        RandomSeed(11);
        BuildSampleData();
        ListAnalytes[1].Name = Hostile;
        WriteAllData(ops);
        ASSERT_TRUE(ops.SetOperators({"AB"}).Ok());
        ASSERT_TRUE(ops.DeletePoints(ListAnalytes[1], {0}, HostileReason).Ok());
        TResu held = MakeRun(Today(), {3.1, 5.2});
        held.AnalyteName = "Glucose";
        ASSERT_TRUE(ops.HoldRun(held).Ok());
        ASSERT_TRUE(ops.SetAccount({"boss", "B. Boss", TRole::Supervisor}, "pw-boss").Ok());
        ops.Close();
        o.OperatorCode = "boss";
        o.OperatorPassword = "pw-boss";
        ASSERT_TRUE(ops.Open(station.Path(), TOpenMode::Writer, o).Opened);
        ASSERT_TRUE(ops.SetAccount({"tech", "T. Tech", TRole::Technologist}, "pw-tech").Ok());
        ASSERT_TRUE(ops.SetAccount({"web", "Web view", TRole::Technologist}, "pw-web").Ok());
        ops.Close();
        Start();
    }
    void TearDown() override {
        if (web) web->Stop();
    }
    void Start() {
        Start({"--db", db.Conninfo(), "--listen", "127.0.0.1:" + std::to_string(port)},
              {"VARNHOLT_OPERATOR=web", "VARNHOLT_PASSWORD=pw-web"});
    }
    void Start(const std::vector<std::string>& args, const std::vector<std::string>& env) {
        web = std::make_unique<TWebProgram>(args, env, station.File("web.log"));
        http = std::make_unique<httplib::Client>("127.0.0.1", port);
        for (int i = 0; i < 200; ++i) {
            if (auto r = http->Get("/login"); r && r->status == 200) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        FAIL() << "varnholt-web did not answer: " << Slurp(station.File("web.log"));
    }
    // Signs in; the session's cookie and CSRF token.
    std::pair<std::string, std::string> SignIn(const std::string& code, const std::string& password) {
        auto r = http->Post("/api/session", "{\"code\":\"" + code + "\",\"password\":\"" + password + "\"}",
                            "application/json");
        if (!r || r->status != 200) {
            ADD_FAILURE() << "sign-in " << code << ": " << (r ? r->status : 0);
            return {};
        }
        const std::string cookie = r->get_header_value("Set-Cookie");
        const size_t csrf = r->body.find("\"csrf\":\"");
        return {cookie.substr(0, cookie.find(';')), r->body.substr(csrf + 8, 64)};
    }
    httplib::Result Get(const std::string& path, const std::string& cookie) {
        return http->Get(path.c_str(), {{"Cookie", cookie}});
    }
    std::string Cli(const std::string& args) {
        std::string out;
        const std::string cmd = "VARNHOLT_OPERATOR=boss VARNHOLT_PASSWORD=pw-boss " +
                                std::string(VARNHOLT_CLI) + " --home " + Quoted(station.Path()) + " --db " +
                                Quoted(db.Conninfo()) + " " + args + " 2>/dev/null";
        FILE* p = ::popen(cmd.c_str(), "r");
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        ::pclose(p);
        return out;
    }
    int64_t Entries(const char* kind, const char* op = "%") {
        return db.Admin()
            .Exec("SELECT count(*) FROM journal WHERE kind = $1 AND operator LIKE $2", {kind, op})
            .Int(0, 0);
    }
};

TEST_F(Web_, SignInGivesAStrictCookieAndRefusalsSayWhy) {
    SKIP_WITHOUT_SERVER(db);
    EXPECT_EQ(http->Get("/api/analytes")->status, 401);
    EXPECT_EQ(Get("/api/analytes", "varnholt_session=" + std::string(64, 'a'))->status, 401);
    EXPECT_EQ(http->Get("/")->status, 303) << "pages send the browser to the sign-in";
    EXPECT_EQ(http->Post("/api/session", R"({"code":"boss","password":"wrong"})", "application/json")->status,
              401);
    EXPECT_EQ(http->Post("/api/session", R"({"code":"nobody","password":"x"})", "application/json")->status,
              401);
    EXPECT_EQ(http->Post("/api/session", "{\"code\":\"" + std::string(1000, 'x') + "\",\"password\":\"x\"}",
                         "application/json")
                  ->status,
              401)
        << "no account has such a code: refused and not journaled";
    for (const char* malformed :
         {"{\"code\":\"boss\"", "[]", "{\"code\":\"boss\"}", "code=boss&password=pw-boss"})
        EXPECT_EQ(http->Post("/api/session", malformed, "application/json")->status, 400) << malformed;
    EXPECT_EQ(
        http->Post("/api/session", "code=boss&password=pw-boss", "application/x-www-form-urlencoded")->status,
        415);
    auto big = http->Post("/api/session", std::string(TWebView::MaxBody + 1, ' '), "application/json");
    ASSERT_TRUE(big);
    EXPECT_EQ(big->status, 413);
    auto unknown = http->Get("/api/nothing/here");
    EXPECT_EQ(unknown->status, 404);
    EXPECT_EQ(http->Get("/nothing")->status, 404);
    EXPECT_EQ(unknown->get_header_value("Content-Type"), "application/json");

    auto r = http->Post("/api/session", R"({"code":"boss","password":"pw-boss"})", "application/json");
    ASSERT_EQ(r->status, 200);
    const std::string cookie = r->get_header_value("Set-Cookie");
    EXPECT_NE(cookie.find("HttpOnly"), std::string::npos);
    EXPECT_NE(cookie.find("SameSite=Strict"), std::string::npos);
    EXPECT_EQ(cookie.find("Secure"), std::string::npos) << "plain HTTP on the loopback";
    EXPECT_NE(r->body.find(R"("Role":"supervisor")"), std::string::npos) << r->body;
    const std::string session = cookie.substr(0, cookie.find(';'));
    EXPECT_EQ(Get("/api/analytes", session)->status, 200);
    // Behind a proxy that speaks HTTPS the cookie is Secure.
    auto proxied = http->Post("/api/session", {{"X-Forwarded-Proto", "https"}},
                              R"({"code":"tech","password":"pw-tech"})", "application/json");
    EXPECT_NE(proxied->get_header_value("Set-Cookie").find("; Secure"), std::string::npos);

    const std::string csrf = r->body.substr(r->body.find("\"csrf\":\"") + 8, 64);
    EXPECT_EQ(Get("/api/session", session)->body, r->body) << "the session's account and token again";
    // Signing out needs the token; the session is then gone.
    EXPECT_EQ(http->Delete("/api/session", {{"Cookie", session}})->status, 403);
    EXPECT_EQ(http->Delete("/api/session", {{"Cookie", session}, {"X-CSRF-Token", csrf}})->status, 204);
    EXPECT_EQ(Get("/api/analytes", session)->status, 401);

    // Every sign-in is journaled under its account; a code that is no account's is not recorded.
    EXPECT_EQ(Entries(jk::SignedIn, "boss"), 1);
    EXPECT_EQ(Entries(jk::SignedIn, "tech"), 1);
    EXPECT_EQ(Entries(jk::SignInRefused, "boss"), 1);
    EXPECT_EQ(Entries(jk::SignInRefused), 2);
    EXPECT_EQ(db.Admin()
                  .Exec("SELECT count(*) FROM journal WHERE operator = 'nobody' OR after LIKE '%nobody%'")
                  .Int(0, 0),
              0);
}

TEST_F(Web_, RepeatedFailedSignInsLockTheCodeOut) {
    SKIP_WITHOUT_SERVER(db);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(
            http->Post("/api/session", R"({"code":"boss","password":"guess"})", "application/json")->status,
            401);
    for (int i = 0; i < 2; ++i) {
        auto locked =
            http->Post("/api/session", R"({"code":"boss","password":"pw-boss"})", "application/json");
        EXPECT_EQ(locked->status, 429) << "even with the right password";
        EXPECT_EQ(locked->get_header_value("Retry-After"), "900");
    }
    EXPECT_EQ(Entries(jk::SignedIn), 0);
    // The failures are journaled, the last one as the lock-out; attempts while locked out are not.
    EXPECT_EQ(Entries(jk::SignInRefused, "boss"), 5);
    EXPECT_EQ(db.Admin()
                  .Exec("SELECT count(*) FROM journal WHERE kind = $1 AND after LIKE '%too many%'",
                        {jk::SignInRefused})
                  .Int(0, 0),
              1);
    // Others still sign in.
    EXPECT_EQ(
        http->Post("/api/session", R"({"code":"tech","password":"pw-tech"})", "application/json")->status,
        200);
    // No password in the journal nor in the program's log.
    EXPECT_EQ(db.Admin()
                  .Exec("SELECT count(*) FROM journal WHERE concat(before, after, reason) LIKE '%guess%' OR "
                        "concat(before, after, reason) LIKE '%pw-%'")
                  .Int(0, 0),
              0);
    web->Stop();
    const std::string log = Slurp(station.File("web.log"));
    EXPECT_NE(log.find("POST /api/session 429"), std::string::npos) << log;
    EXPECT_EQ(log.find("guess"), std::string::npos);
    EXPECT_EQ(log.find("pw-"), std::string::npos);
}

// The API's figures are the companion's, byte for byte.
TEST_F(Web_, TheApiGivesTheCompanionsFigures) {
    SKIP_WITHOUT_SERVER(db);
    const auto [session, csrf] = SignIn("tech", "pw-tech");
    auto analytes = Get("/api/analytes", session);
    ASSERT_EQ(analytes->status, 200);
    EXPECT_EQ(analytes->get_header_value("Content-Type"), "application/json");
    const std::string cliAnalytes = Cli("analytes");
    ASSERT_NE(cliAnalytes.find("\"analytes\""), std::string::npos);
    EXPECT_EQ(analytes->body, cliAnalytes);
    for (const std::string name : {"Glucose", "Albumin"}) {
        for (const std::string what : {"limits", "points"}) {
            auto r = Get("/api/analytes/" + name + "/" + what, session);
            ASSERT_EQ(r->status, 200) << name;
            EXPECT_EQ(r->body, Cli(what + " " + name)) << name << " " << what;
        }
    }
    // A name with signs a URL must encode, found by its encoded form.
    auto hostile = Get("/api/analytes/" + UrlPart(Hostile) + "/points", session);
    ASSERT_EQ(hostile->status, 200);
    EXPECT_EQ(hostile->body, Cli("points " + Quoted(Hostile)));
    EXPECT_EQ(Get("/api/analytes/Nothing/limits", session)->status, 404);
    EXPECT_EQ(Get("/api/analytes/Glucose/other", session)->status, 404);
}

TEST_F(Web_, OnlyASupervisorSignsAReviewWithTokenAndPassword) {
    SKIP_WITHOUT_SERVER(db);
    const std::string period = R"({"from":"2000-01-01","to":"2100-12-31","password":")";
    const auto [tech, techCsrf] = SignIn("tech", "pw-tech");
    auto refused = http->Post("/api/analytes/Glucose/reviews", {{"Cookie", tech}, {"X-CSRF-Token", techCsrf}},
                              period + "pw-tech\"}", "application/json");
    EXPECT_EQ(refused->status, 403);
    const auto [boss, csrf] = SignIn("boss", "pw-boss");
    EXPECT_EQ(http->Post("/api/analytes/Glucose/reviews", {{"Cookie", boss}}, period + "pw-boss\"}",
                         "application/json")
                  ->status,
              403)
        << "without the CSRF token";
    EXPECT_EQ(http->Post("/api/analytes/Glucose/reviews", {{"Cookie", boss}, {"X-CSRF-Token", techCsrf}},
                         period + "pw-boss\"}", "application/json")
                  ->status,
              403)
        << "with another session's token";
    EXPECT_EQ(http->Post("/api/analytes/Glucose/reviews",
                         {{"Cookie", boss}, {"X-CSRF-Token", csrf}, {"Origin", "https://elsewhere.example"}},
                         period + "pw-boss\"}", "application/json")
                  ->status,
              403)
        << "from another site";
    const httplib::Headers ok{{"Cookie", boss}, {"X-CSRF-Token", csrf}};
    auto wrong = http->Post("/api/analytes/Glucose/reviews", ok, period + "nope\"}", "application/json");
    EXPECT_EQ(wrong->status, 422);
    EXPECT_NE(wrong->body.find("Wrong password"), std::string::npos) << wrong->body;
    EXPECT_EQ(http->Post("/api/analytes/Glucose/reviews", ok,
                         R"({"from":"yesterday","to":"2100-12-31","password":"x"})", "application/json")
                  ->status,
              400);
    EXPECT_EQ(Entries(jk::ReviewSigned), 0);

    auto signedOff =
        http->Post("/api/analytes/Glucose/reviews", ok, period + "pw-boss\"}", "application/json");
    ASSERT_EQ(signedOff->status, 200) << signedOff->body;
    EXPECT_NE(signedOff->body.find(R"("reviewer":"BOSS")"), std::string::npos) << signedOff->body;
    EXPECT_EQ(Entries(jk::ReviewSigned, "BOSS"), 1);
    auto twice = http->Post("/api/analytes/Glucose/reviews", ok, period + "pw-boss\"}", "application/json");
    EXPECT_EQ(twice->status, 422) << "already signed";
    auto list = Get("/api/analytes/Glucose/reviews", tech);
    EXPECT_EQ(list->body, Cli("review list --analyte Glucose"));
    EXPECT_NE(list->body.find("\"reviewer\":\"BOSS\""), std::string::npos);
    // The analyte's page shows the signed period on its charts, and offers the form to supervisors only.
    auto page = Get("/analyte?name=Glucose", boss);
    EXPECT_NE(page->body.find("class=\"signed\""), std::string::npos);
    EXPECT_NE(page->body.find("action=\"/review\""), std::string::npos);
    EXPECT_EQ(Get("/analyte?name=Glucose", tech)->body.find("action=\"/review\""), std::string::npos);
    // The page's form signs another analyte's period the same way.
    const std::string form = "name=Albumin&from=2000-01-01&to=2100-12-31&password=pw-boss&csrf=";
    const char* type = "application/x-www-form-urlencoded";
    EXPECT_EQ(http->Post("/review", {{"Cookie", tech}}, form + techCsrf, type)->status, 403);
    EXPECT_EQ(http->Post("/review", {{"Cookie", boss}}, form + "0", type)->status, 403);
    auto byForm = http->Post("/review", {{"Cookie", boss}}, form + csrf, type);
    EXPECT_EQ(byForm->status, 200);
    EXPECT_NE(byForm->body.find("runs from 2000-01-01 to 2100-12-31 signed as reviewed"), std::string::npos);
    EXPECT_EQ(Entries(jk::ReviewSigned, "BOSS"), 2);
}

TEST_F(Web_, PagesEscapeEveryStoredText) {
    SKIP_WITHOUT_SERVER(db);
    // Signed in through the page's own form.
    auto form = http->Post("/login", "code=tech&password=pw-tech", "application/x-www-form-urlencoded");
    ASSERT_EQ(form->status, 303);
    const std::string cookie = form->get_header_value("Set-Cookie");
    const std::string session = cookie.substr(0, cookie.find(';'));
    EXPECT_EQ(http->Post("/login", "code=tech&password=no", "application/x-www-form-urlencoded")->status,
              401);
    EXPECT_EQ(http->Post("/login", {{"Origin", "https://elsewhere.example"}}, "code=tech&password=pw-tech",
                         "application/x-www-form-urlencoded")
                  ->status,
              403)
        << "another site's page signing a browser in";

    auto today = Get("/", session);
    ASSERT_EQ(today->status, 200);
    EXPECT_EQ(today->get_header_value("Content-Type"), "text/html; charset=utf-8");
    EXPECT_NE(today->get_header_value("Content-Security-Policy").find("default-src 'none'"),
              std::string::npos);
    auto analyte = Get("/analyte?name=" + UrlPart(Hostile), session);
    ASSERT_EQ(analyte->status, 200);
    EXPECT_NE(analyte->body.find("<svg"), std::string::npos);
    auto journal = Get("/journal", session);
    ASSERT_EQ(journal->status, 200);
    EXPECT_NE(journal->body.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
    for (const httplib::Result* r : {&today, &analyte, &journal}) {
        const std::string& body = (*r)->body;
        // The scripts are the program's own, from its own address: the live one, and on the analyte's
        // page the charting library and the script that draws with it.
        std::vector<std::string> scripts;
        for (size_t at = body.find("<script"); at != std::string::npos; at = body.find("<script", at + 1))
            scripts.push_back(body.substr(at, body.find('>', at) - at));
        std::vector<std::string> expected = {"<script src=\"/live.js\" defer"};
        if (r == &analyte && WebAsset("charts.js"))
            expected.insert(expected.end(),
                            {"<script src=\"" + ChartLibraryPath() + "uPlot.iife.min.js\" defer",
                             "<script src=\"/charts.js\" defer"});
        EXPECT_EQ(scripts, expected);
        EXPECT_NE(body.find("&lt;script&gt;K&amp;&quot;&#39;"), std::string::npos) << body.substr(0, 2000);
    }
    // The charting library, its licence and the drawing script come from the program; browsers may keep
    // the library, whose version is in its path.
    for (const std::string& path :
         {ChartLibraryPath() + "uPlot.iife.min.js", ChartLibraryPath() + "uPlot.min.css",
          ChartLibraryPath() + "LICENSE", std::string("/charts.js")}) {
        auto file = http->Get(path);
        ASSERT_TRUE(file) << path;
        if (!WebAsset("charts.js")) {
            EXPECT_EQ(file->status, 404) << path;
            continue;
        }
        EXPECT_EQ(file->status, 200) << path;
        const bool library = path.rfind("/vendor/", 0) == 0;
        EXPECT_EQ(file->get_header_value("Cache-Control"),
                  library ? "public, max-age=31536000, immutable" : "no-store")
            << path;
        EXPECT_NE(file->get_header_value("Content-Type")
                      .find(path.ends_with(".css")  ? "text/css"
                            : path.ends_with(".js") ? "text/javascript"
                                                    : "text/plain"),
                  std::string::npos)
            << path;
    }
    if (WebAsset("charts.js")) {
        EXPECT_NE(http->Get(ChartLibraryPath() + "LICENSE")->body.find("MIT License"), std::string::npos);
        EXPECT_EQ(http->Get("/vendor/uplot-0.0.0/uPlot.iife.min.js")->status, 404);
    }
    auto filtered = Get("/journal?kind=" + UrlPart("point deleted") + "&analyte=" + UrlPart("<x>"), session);
    EXPECT_EQ(filtered->body.find("<x>"), std::string::npos);
    EXPECT_EQ(filtered->body.find(HostileReason), std::string::npos);
    EXPECT_EQ(Get("/analyte?name=Nothing", session)->status, 404);
    // The journal's filters: operator and days narrow it down; a day that is no date is refused.
    const std::string byBoss = Get("/journal?operator=boss&kind=" + UrlPart("signed in"), session)->body;
    EXPECT_EQ(byBoss.find("<td>tech</td>"), std::string::npos);
    const std::string byTech = Get("/journal?operator=tech&kind=" + UrlPart("signed in"), session)->body;
    EXPECT_NE(byTech.find("<td>tech</td><td>signed in</td>"), std::string::npos);
    EXPECT_EQ(Get("/journal?from=2000-01-01&to=2000-01-02", session)->body.find("<td>signed in</td>"),
              std::string::npos);
    EXPECT_NE(Get("/journal?from=2000-01-01&to=2100-01-01", session)->body.find("<td>signed in</td>"),
              std::string::npos);
    EXPECT_EQ(Get("/journal?from=" + UrlPart("<b>"), session)->status, 400);
}

TEST_F(Web_, AStoreThatCannotBeOpenedEndsTheProgramWithAMessage) {
    SKIP_WITHOUT_SERVER(db);
    web->Stop();
    const std::string log = station.File("start.log");
    TWebProgram refused({"--db", "host=/nonexistent dbname=x password=s3cret-pw", "--listen",
                         "127.0.0.1:" + std::to_string(port)},
                        {}, log);
    EXPECT_EQ(refused.Ended(20), 2);
    EXPECT_NE(Slurp(log).find("varnholt-web: "), std::string::npos);
    EXPECT_EQ(Slurp(log).find("s3cret-pw"), std::string::npos) << Slurp(log);
    TWebProgram noUser({"--db", db.Conninfo(), "--listen", "127.0.0.1:" + std::to_string(port)}, {}, log);
    EXPECT_EQ(noUser.Ended(20), 2);
    EXPECT_NE(Slurp(log).find("--user CODE"), std::string::npos) << Slurp(log);
    TWebProgram badListen({"--db", db.Conninfo(), "--listen", "localhost"}, {}, log);
    EXPECT_EQ(badListen.Ended(20), 2);
    EXPECT_NE(Slurp(log).find("HOST:PORT"), std::string::npos);
}

TEST_F(Web_, WithACertificateItSpeaksHttpsAndTheCookieIsSecure) {
    SKIP_WITHOUT_SERVER(db);
    const std::string cert = station.File("cert.pem"), key = station.File("key.pem");
    ASSERT_EQ(std::system(("openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=localhost -keyout " +
                           Quoted(key) + " -out " + Quoted(cert) + " 2>/dev/null")
                              .c_str()),
              0);
    const int tlsPort = FreePort();
    const std::vector<std::string> env{"VARNHOLT_OPERATOR=web", "VARNHOLT_PASSWORD=pw-web"};
    TWebProgram tls({"--db", db.Conninfo(), "--listen", "127.0.0.1:" + std::to_string(tlsPort), "--cert",
                     cert, "--key", key},
                    env, station.File("tls.log"));
    httplib::SSLClient client("127.0.0.1", tlsPort);
    client.enable_server_certificate_verification(false);
    auto signIn = [&client] {
        return client.Post("/api/session", R"({"code":"boss","password":"pw-boss"})", "application/json");
    };
    httplib::Result r = signIn();
    for (int i = 0; i < 200 && !r; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        r = signIn();
    }
    ASSERT_TRUE(r) << Slurp(station.File("tls.log"));
    EXPECT_EQ(r->status, 200);
    EXPECT_NE(r->get_header_value("Set-Cookie").find("; Secure"), std::string::npos);
    // Plain HTTP on that port gets no answer.
    httplib::Client plain("127.0.0.1", tlsPort);
    plain.set_read_timeout(2, 0);
    auto none = plain.Get("/login");
    EXPECT_TRUE(!none || none->status != 200);
    tls.Stop();
    TWebProgram missing({"--db", db.Conninfo(), "--listen", "127.0.0.1:" + std::to_string(tlsPort), "--cert",
                         station.File("none.pem"), "--key", key},
                        env, station.File("tls.log"));
    EXPECT_EQ(missing.Ended(20), 2);
    EXPECT_NE(Slurp(station.File("tls.log")).find("cannot read the certificate"), std::string::npos);
}

// A run a bench accepts reaches a browser following the changes, and the API then shows it.
TEST_F(Web_, ABenchsChangeReachesTheBrowsersAtOnce) {
    SKIP_WITHOUT_SERVER(db);
    const auto [session, csrf] = SignIn("tech", "pw-tech");
    EXPECT_EQ(http->Get("/api/events")->status, 401);
    std::atomic<bool> changed{false};
    std::string received;
    httplib::Client c("127.0.0.1", port);
    c.set_read_timeout(30, 0);
    std::thread browser([&, cookie = session] {
        c.Get("/api/events", {{"Cookie", cookie}}, [&](const char* data, size_t n) {
            received.append(data, n);
            changed = received.find("event: change\ndata: ") != std::string::npos;
            return !changed;
        });
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const std::string before = Get("/api/analytes/Glucose/points", session)->body;
    Cli("add Glucose " + JournalDateTime(Today()).substr(0, 10) + " 00:01 3.1 5.2 --operator AB");
    const auto accepted = std::chrono::steady_clock::now();
    while (!changed && std::chrono::steady_clock::now() - accepted < std::chrono::seconds(10))
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const auto took = std::chrono::steady_clock::now() - accepted;
    if (!changed) c.stop();
    browser.join();
    EXPECT_TRUE(changed) << received;
    EXPECT_LT(took, std::chrono::seconds(2)) << "the notification is polled every half second";
    const std::string after = Get("/api/analytes/Glucose/points", session)->body;
    EXPECT_NE(after, before);
    EXPECT_EQ(after, Cli("points Glucose"));
}

// A code with a letter beyond ASCII is journaled as the account has it.
TEST_F(Web_, AnAccountCodeBeyondAsciiIsJournaledAsItIs) {
    SKIP_WITHOUT_SERVER(db);
    TOpenOptions o;
    o.Server = db.Conninfo();
    o.OperatorCode = "boss";
    o.OperatorPassword = "pw-boss";
    ASSERT_TRUE(Operations().Open(station.Path(), TOpenMode::Writer, o).Opened);
    ASSERT_TRUE(Operations().SetAccount({"zo\xc3\xab", "Zo\xc3\xab", TRole::Supervisor}, "pw-zoe").Ok());
    Operations().Close();
    auto r = http->Post("/api/session", R"({"code":"zo\u00eb","password":"pw-zoe"})", "application/json");
    ASSERT_EQ(r->status, 200);
    EXPECT_NE(r->body.find("\"Code\":\"zo\xc3\xab\""), std::string::npos) << r->body;
    EXPECT_EQ(Entries(jk::SignedIn, "zo\xc3\xab"), 1);
}

} // namespace

// Everything from the server file: the store, where to listen, the web view's account.
TEST_F(Web_, ServesFromTheServerFile) {
    SKIP_WITHOUT_SERVER(db);
    web->Stop();
    const std::string file = station.File("Varnholt.server");
    std::ofstream(file) << db.Conninfo() << "\n[web]\nlisten = 127.0.0.1:" << port
                        << "\nuser = web\npassword = pw-web\n";
    ::chmod(file.c_str(), 0600);
    Start({"--server", file}, {});
    EXPECT_FALSE(SignIn("boss", "pw-boss").first.empty());
    web->Stop();
    ::chmod(file.c_str(), 0644);
    web = std::make_unique<TWebProgram>(std::vector<std::string>{"--server", file},
                                        std::vector<std::string>{}, station.File("web.log"));
    EXPECT_EQ(web->Ended(10), 2);
    EXPECT_NE(Slurp(station.File("web.log")).find("chmod 600"), std::string::npos);
}

namespace {

// The cells of a page's table, row by row (its header row left out).
std::vector<std::vector<std::string>> Cells(const std::string& page, const std::string& id) {
    std::vector<std::vector<std::string>> rows;
    const size_t start = page.find("<table id=\"" + id + "\""), end = page.find("</table>", start);
    if (start == std::string::npos) return rows;
    const std::string table = page.substr(start, end - start);
    for (size_t tr = table.find("<tr>", table.find("<tbody>")); tr != std::string::npos;
         tr = table.find("<tr>", tr + 1)) {
        std::vector<std::string> row;
        const size_t close = table.find("</tr>", tr);
        for (size_t td = table.find("<t", tr + 4); td < close; td = table.find("<t", td + 1)) {
            const size_t open = table.find('>', td) + 1;
            row.push_back(table.substr(open, table.find("</t", open) - open));
            td = table.find("</t", open);
        }
        rows.push_back(row);
    }
    return rows;
}

// Each value of a key in the companion's JSON, in order; "null" as it is.
std::vector<std::string> Values(const std::string& json, const std::string& key) {
    std::vector<std::string> out;
    const std::string k = "\"" + key + "\":";
    for (size_t at = json.find(k); at != std::string::npos; at = json.find(k, at + 1)) {
        const size_t v = at + k.size();
        out.push_back(json.substr(v, json.find_first_of(",}", v) - v));
    }
    return out;
}

std::string TwoDecimals(const std::string& number) {
    if (number == "null") return "n/a";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", std::stod(number));
    return buf;
}

} // namespace

// The analyte page's Sigma and monthly-summary tables hold the companion's figures.
TEST_F(Web_, TheAnalytePageGivesTheCompanionsSigmaAndSummary) {
    SKIP_WITHOUT_SERVER(db);
    const std::string limits = Cli("limits Glucose");
    const std::string mean = Values(limits, "Mean").at(0);
    Cli("goal Glucose --tea 12 --target 1 " + TwoDecimals(mean));
    const auto [session, csrf] = SignIn("tech", "pw-tech");
    auto page = Get("/analyte?name=Glucose", session);
    ASSERT_EQ(page->status, 200);
    EXPECT_NE(page->body.find("TEa 12.00 %"), std::string::npos);
    // Each level's Sigma and CV as the companion gives them; the Sigmas of level 1.
    auto asCompanion = [&](const std::string& body) {
        const auto sigma = Cells(body, "sigma");
        const std::string cli = Cli("sigma Glucose");
        const std::vector<std::string> sigmas = Values(cli, "Sigma"), cvs = Values(cli, "CV");
        EXPECT_FALSE(sigmas.empty());
        EXPECT_EQ(sigma.size(), sigmas.size());
        for (size_t i = 0; i < std::min(sigma.size(), sigmas.size()); ++i) {
            EXPECT_EQ(sigma[i].size(), 6u);
            if (sigma[i].size() < 5) continue;
            EXPECT_EQ(sigma[i][4].substr(0, TwoDecimals(sigmas[i]).size()), TwoDecimals(sigmas[i])) << i;
            EXPECT_EQ(sigma[i][3].substr(0, TwoDecimals(cvs[i]).size()), TwoDecimals(cvs[i])) << i;
        }
        return sigma;
    };
    const auto sigma = asCompanion(page->body);
    ASSERT_FALSE(sigma.empty());
    // The table is kept between pages but made again when the goal changes on a bench.
    EXPECT_EQ(Cells(Get("/analyte?name=Glucose", session)->body, "sigma"), sigma);
    Cli("goal Glucose --tea 6 --target 1 " + TwoDecimals(mean));
    const auto tighter = asCompanion(Get("/analyte?name=Glucose", session)->body);
    ASSERT_FALSE(tighter.empty());
    EXPECT_NE(tighter[0][4], sigma[0][4]) << "a smaller TEa gives a smaller Sigma";
    Cli("goal Glucose --tea 12 --target 1 " + TwoDecimals(mean));
    EXPECT_EQ(sigma[0][2].find("not known"), std::string::npos) << "level 1 has a target";
    if (sigma.size() > 1) {
        EXPECT_NE(sigma[1][2].find("not known"), std::string::npos);
        EXPECT_NE(sigma[1][4].find('*'), std::string::npos) << "the Sigma of an unknown bias is marked";
    }

    // The summary of the months asked for, each month's counts as the companion's.
    const std::string from =
        page->body.substr(page->body.find("name=\"from\" type=\"month\" value=\"") + 32, 7);
    const std::string to = page->body.substr(page->body.find("name=\"to\" type=\"month\" value=\"") + 30, 7);
    const auto months =
        Cells(Get("/analyte?name=Glucose&from=" + from + "&to=" + to, session)->body, "summary");
    const std::string summary = Cli("summary Glucose --from " + from + " --to " + to);
    const std::vector<std::string> ns = Values(summary, "N"), rejects = Values(summary, "Rejects"),
                                   warnings = Values(summary, "Warnings");
    ASSERT_EQ(months.size(), ns.size());
    size_t counted = 0;
    for (size_t i = 0; i < months.size(); ++i) {
        EXPECT_EQ(months[i][2], ns[i]) << i;
        EXPECT_EQ(months[i][8], warnings[i]) << i;
        EXPECT_EQ(months[i][9], rejects[i]) << i;
        counted += ns[i] != "0";
    }
    EXPECT_GT(counted, 0u) << "the default months hold the analyte's last points";

    // Months that are none are refused on the page, which stays usable.
    for (const std::string bad :
         {"from=2026-13&to=2026-12", "from=2026-05&to=2026-01", "from=%3Cb%3E&to=2026-01"}) {
        auto r = Get("/analyte?name=Glucose&" + bad, session);
        EXPECT_EQ(r->status, 400) << bad;
        EXPECT_NE(r->body.find("role=\"alert\""), std::string::npos) << bad;
        EXPECT_EQ(r->body.find("<table id=\"summary\""), std::string::npos) << bad;
        EXPECT_NE(r->body.find("<table id=\"sigma\""), std::string::npos) << bad;
        EXPECT_EQ(r->body.find("<b>"), std::string::npos) << bad;
    }
}

namespace {

// The output and exit status of a shell command.
std::pair<std::string, int> Shell(const std::string& command) {
    std::string out;
    FILE* p = ::popen((command + " 2>&1").c_str(), "r");
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int status = ::pclose(p);
    return {out, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

bool Exists(const std::string& path) {
    return ::access(path.c_str(), F_OK) == 0;
}

} // namespace

// Fifty browsers asking at one moment must not overflow the queue of connections waiting to be accepted:
// one dropped there is tried again only a second later. The queue's length is what `ss` gives as Send-Q.
TEST_F(Web_, ListensWithRoomForManyBrowsersAtOnce) {
    SKIP_WITHOUT_SERVER(db);
    const auto [out, status] = Shell("ss -ltnH 'sport = :" + std::to_string(port) + "'");
    ASSERT_EQ(status, 0) << out;
    std::istringstream line(out);
    std::string state;
    int queued = -1, backlog = -1;
    line >> state >> queued >> backlog;
    EXPECT_EQ(state, "LISTEN") << out;
    EXPECT_GE(backlog, 128) << out;
}

// A real browser: headless Chromium driven through its DevTools protocol (puppeteer-core), each page checked
// by axe-core. Both come from npm into the build tree at the first run and stay there.
TEST_F(Web_, ARealBrowserSignsInReadsAndSignsOff) {
    SKIP_WITHOUT_SERVER(db);
    const std::string chromium = "/usr/bin/chromium", modules = VARNHOLT_BROWSER_MODULES;
    if (!Exists(chromium) || Shell("command -v node").second != 0 || Shell("command -v npm").second != 0)
        GTEST_SKIP()
            << "no chromium, node or npm on this machine (Debian: apt-get install chromium nodejs npm)";
    if (!Exists(modules + "/node_modules/puppeteer-core/package.json") ||
        !Exists(modules + "/node_modules/axe-core/axe.min.js")) {
        Shell("mkdir -p " + Quoted(modules) + " && cp " + Quoted(VARNHOLT_BROWSER_SOURCE "/package.json") +
              " " + Quoted(modules));
        const auto [out, status] =
            Shell("cd " + Quoted(modules) +
                  " && npm install --no-audit --no-fund --prefer-offline --cache ./npm-cache");
        if (status != 0)
            GTEST_SKIP()
                << "puppeteer-core and axe-core could not be fetched from npm (no network, no cache): "
                << out.substr(0, 500);
    }
    // npm is here, so the build had it too: no charting library means the fetch failed, unless the build
    // was told to go without.
    const bool charts = WebAsset("charts.js").has_value();
    if (std::string(VARNHOLT_WEB_CHARTS_CHOSEN) != "OFF") {
        EXPECT_TRUE(charts) << "varnholt-web was built without its charting library (npm could not fetch it)";
    }
    // A bench adds a run while the browser shows the sign-off's outcome.
    const std::string bench = "VARNHOLT_OPERATOR=boss VARNHOLT_PASSWORD=pw-boss " +
                              std::string(VARNHOLT_CLI) + " --home " + Quoted(station.Path()) + " --db " +
                              Quoted(db.Conninfo()) + " add Glucose " +
                              JournalDateTime(Today()).substr(0, 10) + " 00:02 3.1 5.2 --operator AB";
    const auto [out, status] =
        Shell("cd " + Quoted(modules) + " && NODE_PATH=./node_modules WEB_URL=http://127.0.0.1:" +
              std::to_string(port) + " CHROMIUM=" + chromium +
              " ANALYTE=Glucose SUPERVISOR=boss SUPERVISOR_PASSWORD=pw-boss"
              " TECHNOLOGIST=tech TECHNOLOGIST_PASSWORD=pw-tech CHARTS=" +
              (charts ? "1" : "0") + " BENCH_CHANGE=" + Quoted(bench) + " timeout 300 node " +
              Quoted(VARNHOLT_BROWSER_SOURCE "/browser_test.js"));
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("all passed"), std::string::npos) << out;
    if (std::getenv("VARNHOLT_BROWSER_LOG")) std::cout << out; // every check the browser made
    EXPECT_EQ(Entries("review signed"), 1) << "signed once, also after the page was shown again";
    EXPECT_GE(Entries("sign-in refused"), 1) << out;
}
