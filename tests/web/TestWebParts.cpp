// The web view's parts that need no server: request bodies, listen addresses, escaping, sessions,
// the settings.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>

#include "TestHelpers.h"
#include "TestWestgardSupport.h"
#include "URegional.h"
#include "UWebOptions.h"
#include "UWebPages.h"
#include "UWebServer.h"
#include "UWebSessions.h"

TEST(WebParts, RequestBodiesAreFlatObjectsOfStrings) {
    auto ok = ParseJsonObject(R"( {"code":"boss", "password":"p\"w\\\u00e9\ud83d\ude00"} )");
    ASSERT_TRUE(ok);
    EXPECT_EQ((*ok)["code"], "boss");
    EXPECT_EQ((*ok)["password"], "p\"w\\\xc3\xa9\xf0\x9f\x98\x80");
    EXPECT_TRUE(ParseJsonObject("{}"));
    for (const char* bad :
         {"", "{", "[]", R"({"a":1})", R"({"a":"x",})", R"({"a":"x"} x)", R"({"a":"x","a":"y"})",
          "{\"a\":\"line\nbreak\"}", R"({"a":"\ud800"})", R"({"a":"\q"})", R"({"a":"x")"})
        EXPECT_FALSE(ParseJsonObject(bad)) << bad;
}

TEST(WebParts, ListenAddresses) {
    std::string host;
    int port = 0;
    EXPECT_TRUE(ParseListen("127.0.0.1:8470", host, port));
    EXPECT_EQ(host, "127.0.0.1");
    EXPECT_EQ(port, 8470);
    EXPECT_TRUE(ParseListen("[::1]:80", host, port));
    EXPECT_EQ(host, "::1");
    for (const char* bad :
         {"8470", ":8470", "host:", "host:0", "host:65536", "host:80x", "::1:80", "[::1:80"})
        EXPECT_FALSE(ParseListen(bad, host, port)) << bad;
}

TEST(WebParts, StoredTextIsEscaped) {
    EXPECT_EQ(Html("<a href=\"x\">'&'</a>"), "&lt;a href=&quot;x&quot;&gt;&#39;&amp;&#39;&lt;/a&gt;");
    EXPECT_EQ(Html(std::string("a\0b\x1b", 4)), "a&#xFFFD;b&#xFFFD;");
    EXPECT_EQ(HtmlCp("\xb5g <"), "\xc2\xb5g &lt;"); // Windows-1252 micro sign
    EXPECT_EQ(UrlPart("a b/&?\xc3\xa9"), "a%20b%2F%26%3F%C3%A9");
}

TEST(WebParts, SessionsEndWhenIdleOrOld) {
    TWebSessions sessions(std::chrono::minutes(30), std::chrono::hours(12));
    const TWebSession s = sessions.Start({"boss", "B. Boss", TRole::Supervisor});
    EXPECT_EQ(s.Id.size(), 64u);
    EXPECT_NE(s.Id, s.Csrf);
    EXPECT_NE(sessions.Start({"boss", "", TRole::Supervisor}).Id, s.Id);
    EXPECT_FALSE(sessions.Find("nope"));
    sessions.Advance(std::chrono::minutes(29));
    ASSERT_TRUE(sessions.Find(s.Id));
    EXPECT_EQ(sessions.Find(s.Id)->Account.Code, "boss");
    // Each request keeps it alive, up to the longest a session lasts.
    for (int i = 0; i < 24; ++i) {
        sessions.Advance(std::chrono::minutes(29));
        if (!sessions.Find(s.Id)) {
            EXPECT_GE(i, 23);
            break;
        }
    }
    EXPECT_FALSE(sessions.Find(s.Id));
    const TWebSession t = sessions.Start({"tech", "", TRole::Technologist});
    sessions.Advance(std::chrono::minutes(31));
    EXPECT_FALSE(sessions.Find(t.Id));
    sessions.End(t.Id);
}

TEST(WebParts, RepeatedFailuresLockTheCodeAndTheAddress) {
    TWebSessions s;
    for (int i = 0; i < TWebSessions::Failures; ++i) {
        EXPECT_FALSE(s.LockedOut("BOSS", "10.0.0.1"));
        EXPECT_EQ(s.Failed("BOSS", "10.0.0.1"), i == TWebSessions::Failures - 1) << "the failure that locks";
    }
    EXPECT_TRUE(s.LockedOut("BOSS", "10.0.0.2")) << "the code, from anywhere";
    EXPECT_FALSE(s.LockedOut("TECH", "10.0.0.1"));
    s.Advance(TWebSessions::Window + std::chrono::seconds(1));
    EXPECT_FALSE(s.LockedOut("BOSS", "10.0.0.1"));
    for (int i = 0; i < TWebSessions::AddressFailures; ++i) s.Failed("C" + std::to_string(i), "10.0.0.9");
    EXPECT_TRUE(s.LockedOut("OTHER", "10.0.0.9")) << "one address trying many codes";
    EXPECT_FALSE(s.LockedOut("OTHER", "10.0.0.8"));
    // A success clears the code's count.
    for (int i = 0; i < TWebSessions::Failures - 1; ++i) s.Failed("TECH", "10.0.0.3");
    s.Succeeded("TECH");
    s.Failed("TECH", "10.0.0.3");
    EXPECT_FALSE(s.LockedOut("TECH", "10.0.0.3"));
}

// The chart spans four SD about the mean: the limits at their places, a far outlier on the edge, and a
// signed period shaded; without limits the values set the span.
TEST(WebParts, TheChartKeepsItsLimitsInViewAndOutliersOnTheEdge) {
    TAnalyte a;
    a.Name = "Glucose";
    a.Decimals = 1;
    a.Limits[0].State = 0;
    a.Limits[0].Mean = 5;
    a.Limits[0].WarnDev = 0.4L;
    a.Limits[0].ActionDev = 0.6L;
    for (int d = 0; d < 10; ++d) {
        ControlPoint p;
        p.DateTime = 46000 + d;
        p.Levels[0] = {d == 5 ? 50.f : 5.f + 0.05f * d, d == 5 ? psHighAction : psInControl};
        a.Points.push_back(p);
    }
    TReview signedPeriod;
    signedPeriod.First = 46002;
    signedPeriod.Last = 46004;
    signedPeriod.Reviewer = "BOSS";
    const std::string svg = LeveyJenningsSvg(a, 0, {signedPeriod});
    auto ys = [&svg](const char* attribute) {
        std::vector<double> out;
        for (size_t at = svg.find(attribute); at != std::string::npos; at = svg.find(attribute, at + 1))
            out.push_back(std::stod(svg.substr(at + std::strlen(attribute))));
        return out;
    };
    const std::vector<double> lines = ys(" y1=\""), points = ys(" cy=\"");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_DOUBLE_EQ(lines[0], 110.0) << "the mean in the middle of the plot";
    EXPECT_NEAR(lines[3], 35.0, 0.1) << "the upper action limit three quarters of the way up";
    ASSERT_EQ(points.size(), 10u);
    EXPECT_DOUBLE_EQ(points[5], 10.0) << "the outlier on the top edge";
    for (double y : points) EXPECT_GE(y, 10.0);
    EXPECT_NE(svg.find("class=\"signed\""), std::string::npos);
    EXPECT_NE(svg.find("50.0 high action"), std::string::npos);

    // The same chart as figures for the browser's charting library: seconds of the lab's clock, the
    // stored value (not the edge), the state, and the signed period up to the end of its last day.
    const std::string data = LeveyJenningsData(a, 0, {signedPeriod});
    EXPECT_NE(data.find("\"Limits\":{\"Mean\":5,\"WarnDev\":0.4,\"ActionDev\":0.6}"), std::string::npos)
        << data;
    EXPECT_NE(data.find("[1765670400,50,\"action\",\"high action\"]"), std::string::npos) << data;
    EXPECT_NE(
        data.find("\"Signed\":[[1765411200,1765670400,\"signed by BOSS for 2025-12-11 to 2025-12-13\"]]"),
        std::string::npos)
        << data;
    signedPeriod.ReopenedUtc = "2026-01-01 00:00:00";
    EXPECT_NE(LeveyJenningsData(a, 0, {signedPeriod}).find("\"Signed\":[]"), std::string::npos);

    a.Limits[0].State = 6;
    EXPECT_NE(LeveyJenningsData(a, 0, {}).find("\"Limits\":null"), std::string::npos);
    const std::vector<double> unlimited = [&] {
        const std::string s = LeveyJenningsSvg(a, 0, {});
        std::vector<double> out;
        for (size_t at = s.find(" cy=\""); at != std::string::npos; at = s.find(" cy=\"", at + 1))
            out.push_back(std::stod(s.substr(at + 5)));
        return out;
    }();
    ASSERT_EQ(unlimited.size(), 10u);
    EXPECT_DOUBLE_EQ(unlimited[5], 10.0);
    EXPECT_DOUBLE_EQ(*std::max_element(unlimited.begin(), unlimited.end()), 210.0)
        << "the lowest value at the bottom";
}

namespace {

std::string WriteFile(const TTempFolder& folder, const std::string& text, mode_t mode = 0600) {
    const std::string path = folder.File("Varnholt.server");
    std::ofstream(path, std::ios::trunc) << text;
    ::chmod(path.c_str(), mode);
    return path;
}

} // namespace

TEST(WebParts, TheServerFilesWebSection) {
    TTempFolder folder;
    TWebFile f;
    ASSERT_EQ(
        ReadWebFile(WriteFile(folder, "host=db dbname=qc\n[other]\nlisten = nonsense\n[web]\n# the web "
                                      "view\n listen = [::1]:8443 \ncert=tls/qc.pem\nkey = /etc/qc.key\n"
                                      "user = web\npassword = s3cret=x\n[later]\nuser = x\n"),
                    f),
        "");
    EXPECT_EQ(f.Db, "host=db dbname=qc");
    EXPECT_EQ(f.Listen, "[::1]:8443");
    EXPECT_EQ(f.Cert, folder.File("tls/qc.pem")) << "relative to the file's folder";
    EXPECT_EQ(f.Key, "/etc/qc.key");
    EXPECT_EQ(f.User, "web");
    EXPECT_EQ(f.Password, "s3cret=x");
    ASSERT_EQ(ReadWebFile(WriteFile(folder, "[web]\nlisten = 127.0.0.1:9000\n"), f), "");
    EXPECT_EQ(f.Db, "") << "a file of the web section alone";

    const struct {
        const char* text;
        const char* says;
    } bad[] = {
        {"db\n[web]\nport = 80\n", "line 3: unknown setting port"},
        {"db\n[web]\nuser = a\nuser = b\n", "line 4: user is already set on line 3"},
        {"db\n[web]\nuser\n", "line 3: expected NAME = VALUE"},
        {"db\n[web]\nuser =\n", "user has no value"},
        {"db\n[web\n", "line 2: a section's name ends with ]"},
        {"db\n[web]\nlisten = 8470\n", "listen takes HOST:PORT, not 8470"},
        {"db\n[web]\ncert = a.pem\n", "cert and key go together"},
    };
    for (const auto& b : bad)
        EXPECT_NE(ReadWebFile(WriteFile(folder, b.text), f).find(b.says), std::string::npos) << b.text;
    EXPECT_NE(ReadWebFile(folder.File("none"), f).find("cannot read"), std::string::npos);

    // A password every user can read is refused, in the section or in the connection string.
    EXPECT_NE(
        ReadWebFile(WriteFile(folder, "db\n[web]\nuser = w\npassword = p\n", 0644), f).find("chmod 600"),
        std::string::npos);
    EXPECT_NE(ReadWebFile(WriteFile(folder, "host=db password=p\n", 0644), f).find("chmod 600"),
              std::string::npos);
    EXPECT_EQ(ReadWebFile(WriteFile(folder, "host=db\n[web]\nuser = w\n", 0644), f), "");
}

// The command line over the environment over the server file.
TEST(WebParts, OptionsTakeTheirPrecedence) {
    TTempFolder folder;
    const std::string file = WriteFile(folder, "host=filedb\n[web]\nlisten = 10.0.0.1:9000\nuser = "
                                               "web\npassword = filepw\ncert = c.pem\nkey = k.pem\n");
    std::map<std::string, std::string> vars;
    auto env = [&vars](const char* v) -> const char* {
        auto it = vars.find(v);
        return it == vars.end() ? nullptr : it->second.c_str();
    };
    auto run = [&](std::vector<std::string> args, TWebOptions& o, bool& needed) {
        std::string message;
        const TWebStart s = WebOptions(args, env, o, message, needed);
        EXPECT_EQ(s, TWebStart::Serve) << message;
    };
    TWebOptions o;
    bool needed = true;
    run({"--server", file}, o, needed);
    EXPECT_EQ(o.Db, "host=filedb");
    EXPECT_EQ(o.Host, "10.0.0.1");
    EXPECT_EQ(o.Port, 9000);
    EXPECT_EQ(o.ServiceCode, "web");
    EXPECT_EQ(o.ServicePassword, "filepw");
    EXPECT_EQ(o.Cert, folder.File("c.pem"));
    EXPECT_FALSE(needed);

    vars = {{"VARNHOLT_DB", "host=envdb"}, {"VARNHOLT_WEB_LISTEN", "127.0.0.1:9001"}};
    run({"--server", file}, o, needed);
    EXPECT_EQ(o.Db, "host=envdb");
    EXPECT_EQ(o.Port, 9001);
    run({"--server", file, "--db", "host=argdb", "--listen", "127.0.0.1:9002", "--cert", "/a.pem", "--key",
         "/a.key"},
        o, needed);
    EXPECT_EQ(o.Db, "host=argdb");
    EXPECT_EQ(o.Port, 9002);
    EXPECT_EQ(o.Cert, "/a.pem");
    EXPECT_EQ(o.Key, "/a.key");
    // Another account than the file's: its password is not the file's.
    run({"--server", file, "--user", "other"}, o, needed);
    EXPECT_EQ(o.ServiceCode, "other");
    EXPECT_EQ(o.ServicePassword, "");
    EXPECT_TRUE(needed);
    vars["VARNHOLT_PASSWORD"] = "envpw";
    run({"--server", file}, o, needed);
    EXPECT_EQ(o.ServicePassword, "envpw");
    EXPECT_FALSE(needed);

    vars.clear();
    run({"--db", "host=x"}, o, needed);
    EXPECT_EQ(o.Host, "127.0.0.1");
    EXPECT_EQ(o.Port, 8470);
    EXPECT_EQ(o.Cert, "");
    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{},
                                               {"--server", folder.File("none"), "--db", "x"},
                                               {"--db", "x", "--cert", "a"},
                                               {"--db", "x", "--listen", "80"},
                                               {"--db"},
                                               {"--port", "80"}}) {
        std::string message;
        EXPECT_EQ(WebOptions(bad, env, o, message, needed), TWebStart::Refused);
        EXPECT_FALSE(message.empty());
    }
}

// Today's page judges each last run as the validation window would: by the analyte's own rule set when
// it has one (found whatever the case of its name), by the multirules otherwise.
TEST(WebParts, TodayNamesTheRulesOfEachLastRun) {
    TListAnalytes list;
    TAnalyte& a = list.Add(std::make_unique<TAnalyte>(wg::Analyte(2)));
    a.Name = "Glucose";
    for (int i = 0; i < 2; ++i) a.Limits[i].DF = 1000;
    wg::AddPoint(a, EncodeDate(2024, 1, 1), {104.5, 100});
    wg::AddPoint(a, EncodeDate(2024, 1, 2), {104.5, 100});
    TAnalyte& quiet = list.Add(std::make_unique<TAnalyte>(wg::Analyte(1)));
    quiet.Name = "Albumin";
    wg::AddPoint(quiet, EncodeDate(2024, 1, 2), {100});
    list.Add(std::make_unique<TAnalyte>(wg::Analyte(1))).Name = "Empty";
    // The cells of an analyte's row: last run, levels, judgement, rules fired, runs held.
    auto row = [&list](const std::vector<TAnalyteRules>& own, const std::string& name) {
        const std::string page = TodayBody(list, {}, {}, own);
        const size_t at = page.find(">" + name + "</a></td>");
        std::vector<std::string> cells;
        for (size_t td = page.find("<td", at); td < page.find("</tr>", at); td = page.find("<td", td + 1)) {
            const size_t open = page.find('>', td) + 1;
            cells.push_back(page.substr(open, page.find("</td>", open) - open));
        }
        return cells;
    };
    const struct {
        std::vector<TAnalyteRules> own;
        const char* judgement;
        const char* fired;
    } cases[] = {
        {{}, "rejected", "L1 1:2s, 2:2s"},
        {{{"GLUCOSE", MakeQcRuleSet("", "1:3s", "")}}, "accepted with a warning", "none"},
        {{{"glucose", MakeQcRuleSet("", "1:3s", "2:2s")}}, "accepted with a warning", "L1 2:2s"},
        {{{"Albumin", MakeQcRuleSet("", "1:3s", "")}}, "rejected", "L1 1:2s, 2:2s"},
    };
    for (const auto& c : cases) {
        const auto cells = row(c.own, "Glucose");
        ASSERT_EQ(cells.size(), 5u);
        EXPECT_EQ(cells[2], c.judgement);
        EXPECT_EQ(cells[3], c.fired);
    }
    EXPECT_EQ(row({}, "Albumin")[2], "accepted");
    EXPECT_EQ(row({}, "Albumin")[3], "none");
    EXPECT_EQ(row({}, "Empty")[0], "no runs");
}
