// varnholt-web: the laboratory's data on the server store for supervisors at a browser. Read-only
// but for sign-in and the review sign-off, which are journaled as on a bench.
#pragma once

#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "UServerStore.h"
#include "UWebSessions.h"

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

struct TWebOptions {
    std::string Db;                 // the server store's connection string
    std::string Host = "127.0.0.1"; // where to listen
    int Port = 8470;
    std::string Cert, Key;                    // TLS when both are given
    std::string ServiceCode, ServicePassword; // the web view's own account on the store
    std::string Home;                         // the station folder (never written)
};

// A flat JSON object of strings, as the API's requests carry; nothing when the text is not one.
std::optional<std::map<std::string, std::string>> ParseJsonObject(const std::string& text);
// HOST:PORT (an IPv6 host in brackets); false when malformed.
bool ParseListen(const std::string& text, std::string& host, int& port);

// What an analyte's page shows, copied while the data lock is held.
struct TAnalyteView {
    TAnalyte Analyte;
    TQualityGoal Goal;
    TQcRuleSet Own;
    std::vector<TReview> Reviews;
    TRiskRows Rows;
};

class TWebView {
public:
    explicit TWebView(TWebOptions options);
    ~TWebView();
    // Opens the store and the sign-in connection; the message of why not (empty: opened).
    std::string Open();
    // Binds and serves until Stop; false with `error` when it cannot listen.
    bool Serve(std::string& error);
    void Stop();
    // The requests' size cap (bytes).
    static constexpr size_t MaxBody = 64 * 1024;
    // Browsers following the changes at once (each holds a connection and a thread).
    static constexpr int MaxWatchers = 64;
    // Connections waiting to be accepted.
    static constexpr int ListenBacklog = 1024;

private:
    void Routes();
    std::optional<TWebSession> SessionOf(const httplib::Request& req);
    // A change needs the session's token, from a page of this site.
    bool ChangeAllowed(const httplib::Request& req, const TWebSession& s, const std::string& csrf) const;
    // False for a request that another site's page sent.
    static bool SameOrigin(const httplib::Request& req);
    std::string CookieFor(const httplib::Request& req, const std::string& value, bool end) const;
    // Checks a sign-in and journals it; an account, or the HTTP status of the refusal and its text.
    std::optional<TAccount> SignIn(const std::string& code, const std::string& password,
                                   const std::string& from, int& status, std::string& message);
    // The data as other benches left it.
    void Refresh();
    // The count of changes seen when the analyte's points (or every analyte's) last changed; read with
    // the data lock held, it names the points copied under it.
    uint64_t PointsVersion(TAnalyteId analyte);
    // The analyte's Sigma table (HTML), made again only when its points, goal, rules or t rows changed:
    // the simulation behind it is the page's dearest part.
    std::string SigmaFigures(const TAnalyteView& view, uint64_t version);
    // Brings in other benches' changes as they are notified, for the browsers watching.
    void Watch();

    TWebOptions options_;
    std::unique_ptr<httplib::Server> http_;
    TWebSessions sessions_;
    // One request at a time works on the operations layer; sign-ins check on their own connection.
    std::mutex data_, signIn_;
    std::unique_ptr<TServerStore> checker_;
    // Changes seen: a count the event streams follow.
    std::mutex changes_;
    std::condition_variable changed_;
    uint64_t version_ = 0;
    bool stopping_ = false;
    std::atomic<int> watchers_{0};
    std::map<TAnalyteId, uint64_t> pointsSeen_;
    uint64_t allPointsSeen_ = 0;
    // Sigma tables by analyte, with what they were made from.
    struct TSigmaTable {
        uint64_t Version = 0;
        TQualityGoal Goal;
        TQcRuleSet Own;
        TRiskRows Rows;
        std::string Html;
    };
    std::mutex figures_;
    std::map<TAnalyteId, TSigmaTable> sigmaTables_;
    int listener_ = 0;
    std::thread watcher_;
    int listening_ = -1;
};
