// The web view's HTTP server: the pages, the JSON API and the sessions.
#include "UWebServer.h"

#include <httplib.h>

#include <algorithm>
#include <cctype>
#include <iostream>
#include <poll.h>
#include <sys/socket.h>

#include "UCliFigures.h"
#include "UCodePage.h"
#include "UDataLoadSave.h"
#include "UFifoResult.h"
#include "UOperations.h"
#include "UQcSummary.h"
#include "USigmaReport.h"
#include "UUtilitaires.h"
#include "UWebAssets.h"
#include "UWebPages.h"

namespace {

constexpr const char* CookieName = "varnholt_session";
constexpr const char* JsonType = "application/json";
constexpr const char* HtmlType = "text/html; charset=utf-8";

std::string JsonError(const std::string& utf8) {
    TJsonWriter j;
    j.BeginObject().Key("error").Text(Utf8ToCp1252(utf8)).EndObject();
    return j.Str();
}

void Fail(httplib::Response& res, int status, const std::string& utf8) {
    res.status = status;
    res.set_content(JsonError(utf8), JsonType);
}

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// A value of the request's Cookie header.
std::string CookieValue(const httplib::Request& req, const std::string& name) {
    const std::string header = req.get_header_value("Cookie");
    size_t at = 0;
    while (at < header.size()) {
        size_t end = header.find(';', at);
        if (end == std::string::npos) end = header.size();
        std::string part = header.substr(at, end - at);
        const size_t start = part.find_first_not_of(' ');
        part = start == std::string::npos ? "" : part.substr(start);
        if (part.size() > name.size() && part.compare(0, name.size(), name) == 0 && part[name.size()] == '=')
            return part.substr(name.size() + 1);
        at = end + 1;
    }
    return "";
}

// A form's or query's field.
std::string Field(const httplib::Request& req, const char* name) {
    return req.has_param(name) ? req.get_param_value(name) : std::string();
}

// The client's address: behind a reverse proxy on this machine, the one the proxy names last.
std::string ClientAddress(const httplib::Request& req) {
    if (req.remote_addr != "127.0.0.1" && req.remote_addr != "::1") return req.remote_addr;
    std::string forwarded = req.get_header_value("X-Forwarded-For");
    const size_t comma = forwarded.rfind(',');
    if (comma != std::string::npos) forwarded = forwarded.substr(comma + 1);
    forwarded.erase(0, forwarded.find_first_not_of(' '));
    const bool plain = !forwarded.empty() && forwarded.size() <= 45 &&
                       std::all_of(forwarded.begin(), forwarded.end(), [](char c) {
                           return std::isxdigit(static_cast<unsigned char>(c)) || c == '.' || c == ':';
                       });
    return plain ? forwarded : req.remote_addr;
}

// A text for the log on one line.
std::string LogText(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    return out;
}

std::string AccountJson(const TAccount& a, const std::string& csrf) {
    TJsonWriter j;
    j.BeginObject()
        .Key("account")
        .BeginObject()
        .Key("Code")
        .Text(Utf8ToCp1252(a.Code))
        .Key("Name")
        .Text(Utf8ToCp1252(a.Name));
    j.Key("Role").Text(RoleName(a.Role)).EndObject().Key("csrf").Text(csrf).EndObject();
    return j.Str();
}

const char* StyleSheet =
    "body{font-family:sans-serif;margin:1em 2em;color:#111}nav{margin-bottom:1em}"
    "nav a,nav span,nav form{margin-right:1em;display:inline}table{border-collapse:collapse}"
    "td,th{border:1px solid #999;padding:2px 6px;text-align:left}.warn{background:#fff3b0}"
    ".action{background:#f8c0c0}.discarded{color:#555}.notice{border:1px solid #333;padding:4px "
    "8px;margin:1em 0}"
    "svg{border:1px solid #ccc;margin:4px 0}figure{margin:4px 0}.uplot th,.uplot td{border:none;padding:0 "
    "4px}";

// A page follows the changes of the benches: it is shown again when one changed the data, unless a
// password is being typed into it. A form's answer is shown again from its own address, never by
// sending the form once more.
const char* LiveScript =
    "'use strict';\n"
    "const events = new EventSource('/api/events');\n"
    "events.addEventListener('change', () => {\n"
    "  const typing = Array.from(document.querySelectorAll('input[type=password]')).some(i => i.value);\n"
    "  if (typing) return;\n"
    "  const here = document.body.dataset.here;\n"
    "  if (here) location.replace(here); else location.reload();\n"
    "});\n";

// The analyte's view by its name (UTF-8); nothing when no analyte has it. The caller holds the data lock.
std::optional<TAnalyteView> AnalyteView(const std::string& name) {
    const TAnalyte* a = ListAnalytes.FindByName(Utf8ToCp1252(name));
    if (!a) return std::nullopt;
    return TAnalyteView{*a, Operations().Goal(a->Name), Operations().RuleSet(a->Name),
                        Operations().Reviews(a->Name), RiskRowsInForce()};
}

} // namespace

bool ParseListen(const std::string& text, std::string& host, int& port) {
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 >= text.size()) return false;
    std::string h = text.substr(0, colon);
    if (h.front() == '[') {
        if (h.back() != ']' || h.size() < 3) return false;
        h = h.substr(1, h.size() - 2);
    } else if (h.find(':') != std::string::npos) {
        return false;
    }
    const std::string p = text.substr(colon + 1);
    if (p.size() > 5 || !std::all_of(p.begin(), p.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const int n = std::stoi(p);
    if (n < 1 || n > 65535) return false;
    host = h;
    port = n;
    return true;
}

std::optional<std::map<std::string, std::string>> ParseJsonObject(const std::string& t) {
    size_t i = 0;
    auto space = [&] {
        while (i < t.size() && (t[i] == ' ' || t[i] == '\t' || t[i] == '\n' || t[i] == '\r')) ++i;
    };
    auto hex4 = [&](unsigned& v) {
        if (i + 4 > t.size()) return false;
        v = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = t[i++];
            v <<= 4;
            if (c >= '0' && c <= '9')
                v |= unsigned(c - '0');
            else if (c >= 'a' && c <= 'f')
                v |= unsigned(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                v |= unsigned(c - 'A' + 10);
            else
                return false;
        }
        return true;
    };
    auto utf8 = [](std::string& out, unsigned cp) {
        if (cp < 0x80) {
            out += char(cp);
        } else if (cp < 0x800) {
            out += char(0xC0 | (cp >> 6));
            out += char(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += char(0xE0 | (cp >> 12));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        } else {
            out += char(0xF0 | (cp >> 18));
            out += char(0x80 | ((cp >> 12) & 0x3F));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        }
    };
    auto str = [&](std::string& out) {
        if (i >= t.size() || t[i] != '"') return false;
        ++i;
        while (i < t.size() && t[i] != '"') {
            const unsigned char c = static_cast<unsigned char>(t[i]);
            if (c < 0x20) return false;
            if (c != '\\') {
                out += t[i++];
                continue;
            }
            if (++i >= t.size()) return false;
            const char e = t[i++];
            switch (e) {
            case '"':
            case '\\':
            case '/':
                out += e;
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                unsigned cp = 0;
                if (!hex4(cp)) return false;
                if (cp >= 0xD800 && cp < 0xDC00) {
                    unsigned low = 0;
                    if (i + 2 > t.size() || t[i] != '\\' || t[i + 1] != 'u') return false;
                    i += 2;
                    if (!hex4(low) || low < 0xDC00 || low > 0xDFFF) return false;
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                } else if (cp >= 0xDC00 && cp < 0xE000) {
                    return false;
                }
                utf8(out, cp);
                break;
            }
            default:
                return false;
            }
        }
        if (i >= t.size()) return false;
        ++i;
        return true;
    };
    std::map<std::string, std::string> out;
    space();
    if (i >= t.size() || t[i++] != '{') return std::nullopt;
    space();
    if (i < t.size() && t[i] == '}') {
        ++i;
    } else {
        for (;;) {
            std::string key, value;
            space();
            if (!str(key)) return std::nullopt;
            space();
            if (i >= t.size() || t[i++] != ':') return std::nullopt;
            space();
            if (!str(value) || out.count(key)) return std::nullopt;
            out[key] = value;
            space();
            if (i < t.size() && t[i] == ',') {
                ++i;
                continue;
            }
            if (i < t.size() && t[i] == '}') {
                ++i;
                break;
            }
            return std::nullopt;
        }
    }
    space();
    if (i != t.size()) return std::nullopt;
    return out;
}

TWebView::TWebView(TWebOptions options) : options_(std::move(options)) {}

TWebView::~TWebView() {
    Stop();
    if (watcher_.joinable()) watcher_.join();
    std::lock_guard lock(data_);
    if (listener_) Operations().Unsubscribe(listener_);
    Operations().Close();
}

std::string TWebView::Open() {
    TOpenOptions o;
    o.Server = options_.Db;
    o.OperatorCode = options_.ServiceCode;
    o.OperatorPassword = options_.ServicePassword;
    o.SampleOnFirstRun = false;
    o.CreateFolder = false;
    TOpenReport report = Operations().Open(options_.Home, TOpenMode::Reader, o);
    if (!report.Opened) {
        if (report.SignInNeeded)
            return "the server asks for an operator: give --user CODE (the password from VARNHOLT_PASSWORD "
                   "or "
                   "standard input)";
        return Cp1252ToUtf8(report.Message.empty() ? "cannot open the server store" : report.Message);
    }
    if (!Operations().HasAccounts()) {
        Operations().Close();
        return "the server has no operator accounts to sign in with: make a supervisor's account first "
               "(varnholt-cli --db URL account add CODE --role supervisor)";
    }
    try {
        checker_ = std::make_unique<TServerStore>(options_.Db);
        checker_->Connect(false);
    } catch (const EQcError& e) {
        Operations().Close();
        return Cp1252ToUtf8(e.what());
    }
    listener_ = Operations().Subscribe([this](const TChange& c) {
        std::lock_guard lock(changes_);
        ++version_;
        // What an analyte's figures are made from: its own points, or every analyte's.
        if (c.Kinds & (ckPoints | ckAnalytes | ckMaterials)) {
            if (c.Analyte != 0)
                pointsSeen_[c.Analyte] = version_;
            else
                allPointsSeen_ = version_;
        }
        changed_.notify_all();
    });
    watcher_ = std::thread([this] { Watch(); });
    return "";
}

void TWebView::Watch() {
    for (;;) {
        int fd = -1;
        {
            std::lock_guard lock(changes_);
            if (stopping_) return;
        }
        {
            std::lock_guard lock(data_);
            fd = Operations().ServerSocket();
        }
        // The notifications arrive on the store's socket; a poll now and then besides reconnects.
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, fd >= 0 ? 1 : 0, 500);
        std::lock_guard lock(data_);
        Refresh();
    }
}

uint64_t TWebView::PointsVersion(TAnalyteId analyte) {
    std::lock_guard lock(changes_);
    const auto at = pointsSeen_.find(analyte);
    return std::max(allPointsSeen_, at != pointsSeen_.end() ? at->second : 0);
}

std::string TWebView::SigmaFigures(const TAnalyteView& view, uint64_t version) {
    const TAnalyte& a = view.Analyte;
    {
        std::lock_guard lock(figures_);
        auto it = sigmaTables_.find(a.Uid);
        if (it != sigmaTables_.end() && it->second.Version == version && it->second.Goal == view.Goal &&
            it->second.Own == view.Own && it->second.Rows == view.Rows)
            return it->second.Html;
    }
    // The figures as the limits view and the companion give them: every point in view, the own rules.
    TSigmaTable made{
        version, view.Goal, view.Own, view.Rows,
        SigmaTable(a, SigmaReport(a, view.Goal, std::nullopt, {0, a.Count() - 1}, {}, view.Own, view.Rows))};
    uint64_t all = 0;
    {
        std::lock_guard lock(changes_);
        all = allPointsSeen_;
    }
    std::lock_guard lock(figures_);
    // Tables made before every analyte's points changed can never serve again (a reload also gives the
    // analytes new ids): dropped, so the cache stays the size of the list.
    std::erase_if(sigmaTables_, [all](const auto& kept) { return kept.second.Version < all; });
    auto& kept = sigmaTables_[a.Uid];
    // A page made from older data does not replace a newer one's table.
    if (kept.Html.empty() || kept.Version <= version) kept = made;
    return made.Html;
}

void TWebView::Refresh() {
    // A server that does not answer leaves the data as last seen; the next request tries again.
    Operations().PollServer();
}

std::optional<TWebSession> TWebView::SessionOf(const httplib::Request& req) {
    const std::string id = CookieValue(req, CookieName);
    if (id.empty()) return std::nullopt;
    return sessions_.Find(id);
}

bool TWebView::SameOrigin(const httplib::Request& req) {
    const std::string origin = req.get_header_value("Origin");
    if (origin.empty()) return true;
    const size_t scheme = origin.find("://");
    return (scheme == std::string::npos ? origin : origin.substr(scheme + 3)) == req.get_header_value("Host");
}

bool TWebView::ChangeAllowed(const httplib::Request& req, const TWebSession& s,
                             const std::string& csrf) const {
    return SameOrigin(req) && SameSecret(csrf, s.Csrf);
}

std::string TWebView::CookieFor(const httplib::Request& req, const std::string& value, bool end) const {
    std::string c = std::string(CookieName) + "=" + value + "; Path=/; HttpOnly; SameSite=Strict";
    const bool tls = !options_.Cert.empty() || req.get_header_value("X-Forwarded-Proto") == "https";
    if (tls) c += "; Secure";
    if (end) c += "; Max-Age=0";
    return c;
}

std::optional<TAccount> TWebView::SignIn(const std::string& code, const std::string& password,
                                         const std::string& from, int& status, std::string& message) {
    // No account has such a code (1 to 16 characters): refused before anything is counted or kept.
    if (code.empty() || code.size() > 64) {
        status = 401;
        message = "Sign-in refused: unknown operator code or wrong password";
        return std::nullopt;
    }
    const std::string key = Upper(code);
    std::lock_guard lock(signIn_);
    auto accountCode = [&]() -> std::string {
        // Only a code that is an account's is journaled: another may be a password typed in its field.
        std::lock_guard d(data_);
        try {
            for (const TAccount& a : Operations().Accounts())
                if (a.Code == code) return a.Code;
        } catch (const EQcError&) {
        }
        return "";
    };
    auto journal = [&](TOperations::TWebSignIn what) {
        const std::string known = accountCode();
        std::lock_guard d(data_);
        const TOutcome out = Operations().JournalWebSignIn(known, what, from);
        return out.Ok();
    };
    // Attempts while locked out are answered but not journaled: the journal records the lock-out once.
    if (sessions_.LockedOut(key, from)) {
        status = 429;
        message = "Too many failed sign-ins: try again in 15 minutes";
        return std::nullopt;
    }
    std::optional<TAccount> account;
    try {
        checker_->EnsureConnected();
        checker_->SignIn(code, password);
        account = checker_->SignedIn();
    } catch (const EQcError& e) {
        const std::string what = e.what();
        if (what.find("Sign-in refused") == std::string::npos) {
            status = 503;
            message = "The server store does not answer";
            return std::nullopt;
        }
    }
    if (!account) {
        journal(sessions_.Failed(key, from) ? TOperations::TWebSignIn::LockedOut
                                            : TOperations::TWebSignIn::Refused);
        status = 401;
        message = "Sign-in refused: unknown operator code or wrong password";
        return std::nullopt;
    }
    // A sign-in that cannot be journaled is refused: every sign-in is on record.
    if (!journal(TOperations::TWebSignIn::Accepted)) {
        status = 503;
        message = "The sign-in could not be journaled: the server store does not answer";
        return std::nullopt;
    }
    sessions_.Succeeded(key);
    return account;
}

void TWebView::Routes() {
    httplib::Server& s = *http_;
    s.set_payload_max_length(MaxBody);
    s.set_read_timeout(10, 0);
    // No stack trace, SQL or exception text reaches the answer.
    s.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        Fail(res, 500, "Internal error");
    });
    s.set_error_handler(
        httplib::Server::HandlerWithResponse([](const httplib::Request&, httplib::Response& res) {
            if (!res.body.empty()) return httplib::Server::HandlerResponse::Unhandled;
            const char* text = res.status == 404   ? "Not found"
                               : res.status == 400 ? "Malformed request"
                               : res.status == 413 ? "Request too large"
                               : res.status == 405 ? "Method not allowed"
                                                   : "Refused";
            Fail(res, res.status, text);
            return httplib::Server::HandlerResponse::Handled;
        }));
    s.set_post_routing_handler([](const httplib::Request& req, httplib::Response& res) {
        res.set_header("X-Content-Type-Options", "nosniff");
        // No address leaves the site; within it browsers name the page's origin on a form sent, which
        // the changes' same-origin check needs ("no-referrer" makes it "null").
        res.set_header("Referrer-Policy", "same-origin");
        // The charting library's files carry its version in their path: browsers may keep them.
        const bool library = res.status == 200 && req.path.rfind(ChartLibraryPath(), 0) == 0;
        res.set_header("Cache-Control", library ? "public, max-age=31536000, immutable" : "no-store");
        res.set_header(
            "Content-Security-Policy",
            "default-src 'none'; style-src 'self'; img-src 'self'; script-src 'self'; connect-src 'self'; "
            "form-action 'self'; frame-ancestors 'none'; base-uri 'none'");
    });
    // The access log: method, path and status; never a body, a query or a cookie.
    s.set_logger([](const httplib::Request& req, const httplib::Response& res) {
        std::clog << "varnholt-web: " << ClientAddress(req) << " " << req.method << " " << LogText(req.path)
                  << " " << res.status << std::endl;
    });

    auto needSession = [this](const httplib::Request& req,
                              httplib::Response& res) -> std::optional<TWebSession> {
        std::optional<TWebSession> session = SessionOf(req);
        if (!session) Fail(res, 401, "Sign in first");
        return session;
    };

    // ---------------------------------------------------------------- JSON API
    s.Post("/api/session", [this](const httplib::Request& req, httplib::Response& res) {
        if (!SameOrigin(req)) return Fail(res, 403, "Sign in from this site's own page");
        if (req.get_header_value("Content-Type").rfind(JsonType, 0) != 0)
            return Fail(res, 415, "Send the sign-in as application/json");
        auto body = ParseJsonObject(req.body);
        if (!body || !body->count("code") || !body->count("password"))
            return Fail(res, 400, "Expected {\"code\":...,\"password\":...}");
        int status = 401;
        std::string message;
        std::optional<TAccount> account =
            SignIn((*body)["code"], (*body)["password"], ClientAddress(req), status, message);
        if (!account) {
            if (status == 429) res.set_header("Retry-After", "900");
            return Fail(res, status, message);
        }
        const TWebSession session = sessions_.Start(*account);
        res.set_header("Set-Cookie", CookieFor(req, session.Id, false));
        res.set_content(AccountJson(session.Account, session.Csrf), JsonType);
    });
    s.Get("/api/session", [needSession](const httplib::Request& req, httplib::Response& res) {
        if (auto session = needSession(req, res))
            res.set_content(AccountJson(session->Account, session->Csrf), JsonType);
    });
    s.Delete("/api/session", [this, needSession](const httplib::Request& req, httplib::Response& res) {
        auto session = needSession(req, res);
        if (!session) return;
        if (!ChangeAllowed(req, *session, req.get_header_value("X-CSRF-Token")))
            return Fail(res, 403, "Missing or wrong CSRF token");
        sessions_.End(session->Id);
        res.set_header("Set-Cookie", CookieFor(req, "", true));
        res.status = 204;
    });
    s.Get("/api/analytes", [this, needSession](const httplib::Request& req, httplib::Response& res) {
        if (!needSession(req, res)) return;
        std::lock_guard lock(data_);
        Refresh();
        res.set_content(AnalytesJson(ListAnalytes) + "\n", JsonType);
    });
    s.Get(R"(/api/analytes/(.+)/(limits|points))", [this, needSession](const httplib::Request& req,
                                                                       httplib::Response& res) {
        if (!needSession(req, res)) return;
        std::lock_guard lock(data_);
        Refresh();
        const TAnalyte* a = ListAnalytes.FindByName(Utf8ToCp1252(req.matches[1].str()));
        if (!a) return Fail(res, 404, "Unknown analyte");
        res.set_content((req.matches[2] == "limits" ? LimitsJson(*a) : PointsJson(*a)) + "\n", JsonType);
    });
    s.Get(R"(/api/analytes/(.+)/reviews)",
          [this, needSession](const httplib::Request& req, httplib::Response& res) {
              if (!needSession(req, res)) return;
              std::lock_guard lock(data_);
              Refresh();
              const TAnalyte* a = ListAnalytes.FindByName(Utf8ToCp1252(req.matches[1].str()));
              if (!a) return Fail(res, 404, "Unknown analyte");
              TJsonWriter j;
              j.BeginObject().Key("reviews").BeginArray();
              for (const TReview& r : Operations().Reviews(a->Name))
                  j.BeginObject()
                      .Key("id")
                      .Int(r.Id)
                      .Key("analyte")
                      .Text(r.Analyte)
                      .Key("from")
                      .Text(JournalDateTime(r.First).substr(0, 10))
                      .Key("to")
                      .Text(JournalDateTime(r.Last).substr(0, 10))
                      .Key("reviewer")
                      .Text(r.Reviewer)
                      .Key("signed")
                      .DateTimeText(r.SignedLocal)
                      .Key("reopened")
                      .DateTimeText(r.ReopenedUtc)
                      .Key("reason")
                      .Text(r.ReopenedReason)
                      .EndObject();
              j.EndArray().EndObject();
              res.set_content(j.Str() + "\n", JsonType);
          });
    s.Post(R"(/api/analytes/(.+)/reviews)", [this, needSession](const httplib::Request& req,
                                                                httplib::Response& res) {
        auto session = needSession(req, res);
        if (!session) return;
        if (!ChangeAllowed(req, *session, req.get_header_value("X-CSRF-Token")))
            return Fail(res, 403, "Missing or wrong CSRF token");
        if (session->Account.Role != TRole::Supervisor)
            return Fail(res, 403, "Only a supervisor signs reviews");
        auto body = ParseJsonObject(req.body);
        if (!body || !body->count("from") || !body->count("to") || !body->count("password"))
            return Fail(res, 400,
                        "Expected {\"from\":\"YYYY-MM-DD\",\"to\":\"YYYY-MM-DD\",\"password\":...}");
        const std::optional<TDateTime> from = IsoTextToDate((*body)["from"]),
                                       to = IsoTextToDate((*body)["to"]);
        if (!from || !to) return Fail(res, 400, "from and to are dates YYYY-MM-DD");
        const std::string key = Upper(session->Account.Code);
        // The signature's password is a sign-in of its own: it counts towards the lock-out.
        if (sessions_.LockedOut(key, ClientAddress(req)))
            return Fail(res, 429, "Too many failed sign-ins: try again in 15 minutes");
        std::lock_guard lock(data_);
        Refresh();
        const TAnalyte* a = ListAnalytes.FindByName(Utf8ToCp1252(req.matches[1].str()));
        if (!a) return Fail(res, 404, "Unknown analyte");
        const std::string reviewer = Utf8ToCp1252(session->Account.Code), password = (*body)["password"];
        int runs = 0;
        TOutcome out = Operations().CheckReviewSignature(*a, *from, *to, reviewer, password, &runs);
        if (out.Ok()) out = Operations().SignReview(*a, *from, *to, reviewer, password);
        if (!out.Ok()) {
            if (out.Message.find("Wrong password") != std::string::npos)
                sessions_.Failed(key, ClientAddress(req));
            return Fail(res, 422, Cp1252ToUtf8(out.Message));
        }
        TJsonWriter j;
        j.BeginObject().Key("signed").BeginObject().Key("analyte").Text(a->Name).Key("from").Text(
            JournalDateTime(*from).substr(0, 10));
        j.Key("to")
            .Text(JournalDateTime(*to).substr(0, 10))
            .Key("runs")
            .Int(runs)
            .Key("reviewer")
            .Text(UpperCase(Trim(reviewer)));
        j.EndObject().EndObject();
        res.set_content(j.Str() + "\n", JsonType);
    });
    // Server-sent events: "change" whenever a bench changed the data, a comment every 15 seconds besides.
    s.Get("/api/events", [this, needSession](const httplib::Request& req, httplib::Response& res) {
        if (!needSession(req, res)) return;
        if (++watchers_ > MaxWatchers) {
            --watchers_;
            return Fail(res, 503, "Too many browsers follow the changes now");
        }
        uint64_t seen = 0;
        {
            std::lock_guard lock(changes_);
            seen = version_;
        }
        res.set_header("X-Accel-Buffering", "no");
        res.set_chunked_content_provider(
            "text/event-stream",
            [this, seen](size_t, httplib::DataSink& sink) mutable {
                std::unique_lock lock(changes_);
                changed_.wait_for(lock, std::chrono::seconds(15),
                                  [&] { return stopping_ || version_ != seen; });
                if (stopping_) return false;
                std::string event = ": still here\n\n";
                if (version_ != seen) {
                    seen = version_;
                    event = "event: change\ndata: " + std::to_string(seen) + "\n\n";
                }
                lock.unlock();
                return sink.write(event.data(), event.size());
            },
            [this](bool) { --watchers_; });
    });
    s.Get(R"(/api/.*)", [](const httplib::Request&, httplib::Response& res) { Fail(res, 404, "Not found"); });

    // ---------------------------------------------------------------- pages
    s.Get("/style.css", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(StyleSheet, "text/css; charset=utf-8");
    });
    s.Get("/live.js", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(LiveScript, "text/javascript; charset=utf-8");
    });
    // The charting library, its licence, and the script that draws the charts with it.
    if (WebAsset("charts.js")) {
        s.Get("/charts.js", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(std::string(*WebAsset("charts.js")), "text/javascript; charset=utf-8");
        });
        for (const auto& [name, type] : {std::pair{"uPlot.iife.min.js", "text/javascript; charset=utf-8"},
                                         std::pair{"uPlot.min.css", "text/css; charset=utf-8"},
                                         std::pair{"LICENSE", "text/plain; charset=utf-8"}}) {
            const std::string_view bytes = *WebAsset(name);
            s.Get(ChartLibraryPath() + name, [bytes, type](const httplib::Request&, httplib::Response& res) {
                res.set_content(bytes.data(), bytes.size(), type);
            });
        }
    }
    s.Get("/login",
          [](const httplib::Request&, httplib::Response& res) { res.set_content(SignInPage(""), HtmlType); });
    s.Post("/login", [this](const httplib::Request& req, httplib::Response& res) {
        if (!SameOrigin(req)) return Fail(res, 403, "Sign in from this site's own page");
        int status = 401;
        std::string message;
        std::optional<TAccount> account =
            SignIn(Field(req, "code"), Field(req, "password"), ClientAddress(req), status, message);
        if (!account) {
            res.status = status;
            res.set_content(SignInPage(message), HtmlType);
            return;
        }
        const TWebSession session = sessions_.Start(*account);
        res.set_header("Set-Cookie", CookieFor(req, session.Id, false));
        res.set_redirect("/", 303);
    });
    s.Post("/logout", [this](const httplib::Request& req, httplib::Response& res) {
        if (auto session = SessionOf(req)) {
            if (!ChangeAllowed(req, *session, Field(req, "csrf")))
                return Fail(res, 403, "Missing or wrong CSRF token");
            sessions_.End(session->Id);
        }
        res.set_header("Set-Cookie", CookieFor(req, "", true));
        res.set_redirect("/login", 303);
    });
    auto pageSession = [this](const httplib::Request& req, httplib::Response& res) {
        std::optional<TWebSession> session = SessionOf(req);
        if (!session) res.set_redirect("/login", 303);
        return session;
    };
    s.Get("/", [this, pageSession](const httplib::Request& req, httplib::Response& res) {
        auto session = pageSession(req, res);
        if (!session) return;
        std::lock_guard lock(data_);
        Refresh();
        res.set_content(Page({"Today", session->Account, session->Csrf, ""},
                             TodayBody(ListAnalytes, Fifo.Entries(),
                                       {Operations().NotMappedCount(), Operations().HeldFromInbox()},
                                       Operations().RuleSets())),
                        HtmlType);
    });
    // The months of the summary as typed (UTF-8), empty for the last six. Made from the analyte's view
    // taken before, without the data lock.
    auto analytePage = [this](httplib::Response& res, const TWebSession& session,
                              const std::optional<TAnalyteView>& view, uint64_t version,
                              const std::string& name, const std::string& notice, std::string from = "",
                              std::string to = "") {
        if (!view) {
            res.status = 404;
            res.set_content(Page({"Unknown analyte", session.Account, session.Csrf, ""},
                                 "<p>No analyte of that name.</p>"),
                            HtmlType);
            return;
        }
        const TAnalyte& a = view->Analyte;
        // Shown again from there when a bench changed the data (also the answer of a sign-off).
        std::string here = "/analyte?name=" + UrlPart(name);
        if (!from.empty() || !to.empty()) here += "&from=" + UrlPart(from) + "&to=" + UrlPart(to);
        // The figures as the limits view and the companion give them: every point in view, the own rules.
        std::string figures = SigmaFigures(*view, version);
        const auto months = DefaultMonths(a);
        if (from.empty()) from = MonthText(months.first);
        if (to.empty()) to = MonthText(months.second);
        try {
            const TSummary summary =
                MonthlySummary(a, view->Goal, ParseMonth(from), ParseMonth(to), view->Own);
            figures += SummaryTable(a, &summary, from, to, "");
        } catch (const EQcError& e) {
            res.status = 400;
            figures += SummaryTable(a, nullptr, from, to, e.what());
        }
        res.set_content(Page({Cp1252ToUtf8(a.Name), session.Account, session.Csrf, here, true},
                             AnalyteBody(a, view->Reviews, session.Account.Role == TRole::Supervisor,
                                         session.Csrf, notice, figures)),
                        HtmlType);
    };
    s.Get("/analyte", [this, pageSession, analytePage](const httplib::Request& req, httplib::Response& res) {
        auto session = pageSession(req, res);
        if (!session) return;
        std::optional<TAnalyteView> view;
        uint64_t version = 0;
        {
            std::lock_guard lock(data_);
            Refresh();
            view = AnalyteView(Field(req, "name"));
            if (view) version = PointsVersion(view->Analyte.Uid);
        }
        analytePage(res, *session, view, version, Field(req, "name"), "", Field(req, "from"),
                    Field(req, "to"));
    });
    s.Post("/review", [this, pageSession, analytePage](const httplib::Request& req, httplib::Response& res) {
        auto session = pageSession(req, res);
        if (!session) return;
        if (!ChangeAllowed(req, *session, Field(req, "csrf")))
            return Fail(res, 403, "Missing or wrong CSRF token");
        if (session->Account.Role != TRole::Supervisor)
            return Fail(res, 403, "Only a supervisor signs reviews");
        const std::string key = Upper(session->Account.Code);
        std::string notice;
        std::optional<TAnalyteView> view;
        std::unique_lock lock(data_);
        Refresh();
        const std::optional<TDateTime> from = IsoTextToDate(Field(req, "from")),
                                       to = IsoTextToDate(Field(req, "to"));
        const TAnalyte* a = ListAnalytes.FindByName(Utf8ToCp1252(Field(req, "name")));
        if (sessions_.LockedOut(key, ClientAddress(req))) {
            res.status = 429;
            notice = "Too many failed sign-ins: try again in 15 minutes";
        } else if (!from || !to) {
            res.status = 400;
            notice = "From and To are dates YYYY-MM-DD";
        } else if (a) {
            const std::string reviewer = Utf8ToCp1252(session->Account.Code),
                              password = Field(req, "password");
            int runs = 0;
            TOutcome out = Operations().CheckReviewSignature(*a, *from, *to, reviewer, password, &runs);
            if (out.Ok()) out = Operations().SignReview(*a, *from, *to, reviewer, password);
            if (out.Ok()) {
                notice = std::to_string(runs) + " runs from " + Field(req, "from") + " to " +
                         Field(req, "to") + " signed as reviewed";
            } else {
                if (out.Message.find("Wrong password") != std::string::npos)
                    sessions_.Failed(key, ClientAddress(req));
                res.status = 422;
                notice = Cp1252ToUtf8(out.Message);
            }
        }
        view = AnalyteView(Field(req, "name"));
        const uint64_t version = view ? PointsVersion(view->Analyte.Uid) : 0;
        lock.unlock();
        const int status = res.status;
        analytePage(res, *session, view, version, Field(req, "name"), notice);
        if (res.status != 404) res.status = status;
    });
    s.Get("/journal", [this, pageSession](const httplib::Request& req, httplib::Response& res) {
        auto session = pageSession(req, res);
        if (!session) return;
        const TJournalFields fields{Field(req, "analyte"), Field(req, "kind"), Field(req, "operator"),
                                    Field(req, "from"), Field(req, "to")};
        TJournalFilter filter;
        filter.Analyte = fields.Analyte;
        filter.Kind = fields.Kind;
        filter.Operator = fields.Operator;
        filter.From = IsoTextToDate(fields.From);
        filter.To = IsoTextToDate(fields.To);
        if ((!fields.From.empty() && !filter.From) || (!fields.To.empty() && !filter.To)) {
            res.status = 400;
            res.set_content(Page({"Journal", session->Account, session->Csrf, ""},
                                 "<p class=\"notice\" role=\"alert\">From and To are dates YYYY-MM-DD.</p>" +
                                     JournalBody({}, fields)),
                            HtmlType);
            return;
        }
        std::vector<TJournalEntry> entries;
        {
            std::lock_guard lock(data_);
            Refresh();
            try {
                entries = Operations().Journal(filter);
            } catch (const EQcError&) {
                return Fail(res, 503, "The journal cannot be read now");
            }
        }
        // The newest 500 entries; the filters narrow them down.
        if (entries.size() > 500) entries.erase(entries.begin(), entries.end() - 500);
        res.set_content(Page({"Journal", session->Account, session->Csrf, ""}, JournalBody(entries, fields)),
                        HtmlType);
    });
}

bool TWebView::Serve(std::string& error) {
    if (!options_.Cert.empty()) {
        auto tls = std::make_unique<httplib::SSLServer>(options_.Cert.c_str(), options_.Key.c_str());
        if (!tls->is_valid()) {
            error = "cannot read the certificate " + options_.Cert + " or its key " + options_.Key;
            return false;
        }
        http_ = std::move(tls);
    } else {
        http_ = std::make_unique<httplib::Server>();
    }
    // Each connection holds a thread while it is open: a browser's stream of the changes, and beside it
    // the connection its pages come on, kept open between them for a short while only.
    http_->new_task_queue = [] { return new httplib::ThreadPool(2 * MaxWatchers + 16); };
    http_->set_keep_alive_timeout(2);
    // The library listens with a backlog of 5: a few dozen browsers asking at the same moment overflow it,
    // and a connection dropped that way is tried again by the browser only after a second (then 3 s, 7 s).
    // The listening socket is noted as it is made and its backlog raised once it is bound.
    http_->set_socket_options([this](socket_t sock) {
        httplib::default_socket_options(sock);
        listening_ = sock;
    });
    Routes();
    if (!http_->bind_to_port(options_.Host, options_.Port)) {
        error = "cannot listen on " + options_.Host + ":" + std::to_string(options_.Port);
        return false;
    }
    if (listening_ >= 0) ::listen(listening_, ListenBacklog);
    std::clog << "varnholt-web: serving " << (options_.Cert.empty() ? "http" : "https") << "://"
              << options_.Host << ":" << options_.Port << "/ from " << Operations().StoreWhere() << std::endl;
    return http_->listen_after_bind();
}

void TWebView::Stop() {
    {
        std::lock_guard lock(changes_);
        stopping_ = true;
        changed_.notify_all();
    }
    if (http_) http_->stop();
}
