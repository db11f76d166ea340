// varnholt-web under load: 50 signed-in browser sessions, each following the event stream and reading
// today's page (now and then an analyte's) one after another or once a second, while a companion
// accepts a run every 250 ms. Reported per repetition: page time percentiles, how long a change takes
// to reach the streams, and the companion's accept time, against its accept time without the web
// view's load.
// VARNHOLT_BENCH_DB names an empty server database (e.g. one of scripts/pg-cluster.sh); it is filled
// once with VARNHOLT_BENCH_ANALYTES analytes (default 200) of three levels over two years.
#include <benchmark/benchmark.h>
#include <httplib.h>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <netinet/in.h>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "TestSeams.h"
#include "UDataLoadSave.h"
#include "UOperations.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int Days = 730;
constexpr auto Window = std::chrono::seconds(10);
constexpr auto AcceptEvery = std::chrono::milliseconds(250);

int Analytes() {
    const char* n = std::getenv("VARNHOLT_BENCH_ANALYTES");
    return n ? std::max(1, std::atoi(n)) : 200;
}

std::string TempFolder() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "varnholt-bench-XXXXXX").string();
    return std::string(::mkdtemp(tmpl.data())) + "/";
}

TOpenOptions ServerOptions(const char* db, const char* code = "", const char* password = "") {
    TOpenOptions o;
    o.SampleOnFirstRun = false;
    o.Server = db;
    o.OperatorCode = code;
    o.OperatorPassword = password;
    return o;
}

// The store of analytes W0.. with two years of daily runs, and the accounts; once per database.
bool Prepare(const char* db) {
    static int done = -1;
    if (done >= 0) return done == 1;
    const std::string folder = TempFolder();
    TOperations& ops = Operations();
    TOpenReport report = ops.Open(folder, TOpenMode::Writer, ServerOptions(db));
    // Filled before: its accounts ask for a sign-in.
    if (!report.Opened && report.SignInNeeded)
        report = ops.Open(folder, TOpenMode::Writer, ServerOptions(db, "boss", "pw-boss"));
    bool ok = report.Opened;
    if (ok && !ListAnalytes.FindByName("W0")) {
        for (int k = 0; k < Analytes(); ++k) {
            auto a = std::make_unique<TAnalyte>("W" + std::to_string(k), "mmol/L", 2, 3);
            for (int d = 0; d < Days; ++d) {
                TResu r;
                r.DateTime = 45000 + d + 0.3;
                for (int l = 0; l < 3; ++l)
                    r.Levels[static_cast<size_t>(l)] = {(l + 1) * 5.0f + ((d * 7 + l) % 5 - 2) * 0.05f,
                                                        psInControl};
                a->AddPoint(r);
            }
            a->RecalcAll();
            ListAnalytes.Add(std::move(a));
        }
        try {
            WriteAllData(ops);
        } catch (const EQcError&) {
            ok = false;
        }
        ok = ok && ops.SetAccount({"boss", "B. Boss", TRole::Supervisor}, "pw-boss").Ok();
        ops.Close();
        ok = ok && ops.Open(folder, TOpenMode::Writer, ServerOptions(db, "boss", "pw-boss")).Opened;
        ok = ok && ops.SetAccount({"web", "Web view", TRole::Technologist}, "pw-web").Ok();
        ok = ok && ops.SetAccount({"read", "Reader", TRole::Technologist}, "pw-read").Ok();
    }
    ops.Close();
    std::filesystem::remove_all(folder);
    done = ok;
    return ok;
}

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

// The web view as a program of its own, ended at the end.
struct TWebProcess {
    pid_t Pid = 0;
    int Port = FreePort();
    TWebProcess(const char* db) {
        const std::string listen = "127.0.0.1:" + std::to_string(Port);
        std::vector<std::string> args{VARNHOLT_WEB, "--db", db, "--listen", listen};
        std::vector<std::string> env{"VARNHOLT_OPERATOR=web", "VARNHOLT_PASSWORD=pw-web"};
        for (char** e = environ; *e; ++e)
            if (std::string(*e).rfind("VARNHOLT_", 0) != 0) env.push_back(*e);
        std::vector<char*> argv, envp;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        for (auto& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
        posix_spawn(&Pid, argv[0], &fa, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&fa);
    }
    ~TWebProcess() {
        if (Pid > 0) {
            ::kill(Pid, SIGTERM);
            ::waitpid(Pid, nullptr, 0);
        }
    }
    bool Answers() const {
        httplib::Client c("127.0.0.1", Port);
        for (int i = 0; i < 400; ++i) {
            if (auto r = c.Get("/login"); r && r->status == 200) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
};

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())))];
}

// The companion: a run accepted every AcceptEvery until `stop`; each accept's time and its end.
void Companion(const char* db, const std::atomic<bool>& stop, std::vector<double>& acceptMs,
               std::vector<Clock::time_point>& accepted, std::atomic<int>& failures) {
    const std::string folder = TempFolder();
    TOperations& ops = Operations();
    if (!ops.Open(folder, TOpenMode::Writer, ServerOptions(db, "boss", "pw-boss")).Opened) {
        ++failures;
        return;
    }
    static double at = 45000 + Days + 0.5;
    for (int k = 0; !stop; ++k) {
        const auto next = Clock::now() + AcceptEvery;
        TAnalyte* a = ListAnalytes.FindByName("W" + std::to_string(k % Analytes()));
        TResu r;
        r.DateTime = (at += 1.0 / 1440);
        for (int l = 0; l < 3; ++l) r.Levels[static_cast<size_t>(l)] = {(l + 1) * 5.0f, psInControl};
        const auto start = Clock::now();
        const bool ok = a && ops.AcceptRun(*a, r).Ok();
        const auto end = Clock::now();
        if (!ok) ++failures;
        acceptMs.push_back(Ms(end - start));
        accepted.push_back(end);
        std::this_thread::sleep_until(next);
    }
    ops.Close();
    std::filesystem::remove_all(folder);
}

void AcceptAlone(benchmark::State& state) {
    const char* db = std::getenv("VARNHOLT_BENCH_DB");
    if (!db || !Prepare(db)) {
        state.SkipWithError(db ? "cannot prepare the server database" : "VARNHOLT_BENCH_DB is not set");
        return;
    }
    for (auto _ : state) {
        std::atomic<bool> stop{false};
        std::atomic<int> failures{0};
        std::vector<double> acceptMs;
        std::vector<Clock::time_point> accepted;
        std::thread companion([&] { Companion(db, stop, acceptMs, accepted, failures); });
        std::this_thread::sleep_for(Window);
        stop = true;
        companion.join();
        if (failures) state.SkipWithError("a run was refused");
        state.SetIterationTime(std::chrono::duration<double>(Window).count());
        state.counters["accept_p50_ms"] = Percentile(acceptMs, 0.5);
        state.counters["accept_p95_ms"] = Percentile(acceptMs, 0.95);
    }
}

void Sessions(benchmark::State& state) {
    const char* db = std::getenv("VARNHOLT_BENCH_DB");
    if (!db || !Prepare(db)) {
        state.SkipWithError(db ? "cannot prepare the server database" : "VARNHOLT_BENCH_DB is not set");
        return;
    }
    const int sessions = static_cast<int>(state.range(0));
    // A browser's pause between two pages: none saturates the view, a second is a browser polling.
    const auto pause = std::chrono::milliseconds(state.range(1));
    for (auto _ : state) {
        TWebProcess web(db);
        if (!web.Answers()) {
            state.SkipWithError("varnholt-web did not answer");
            return;
        }
        // Signed in before the clock starts.
        std::vector<std::string> cookies;
        httplib::Client signer("127.0.0.1", web.Port);
        for (int s = 0; s < sessions; ++s) {
            auto r =
                signer.Post("/api/session", R"({"code":"read","password":"pw-read"})", "application/json");
            if (!r || r->status != 200) {
                state.SkipWithError("a sign-in was refused");
                return;
            }
            const std::string c = r->get_header_value("Set-Cookie");
            cookies.push_back(c.substr(0, c.find(';')));
        }
        std::atomic<bool> stop{false};
        std::atomic<int> failures{0}, streamsRefused{0}, pageErrors{0}, pageRefused{0};
        std::mutex m;
        std::vector<double> pageMs, analyteMs;
        std::vector<std::vector<Clock::time_point>> events(static_cast<size_t>(sessions));
        std::vector<std::thread> threads;
        std::vector<std::unique_ptr<httplib::Client>> streamClients;
        for (int s = 0; s < sessions; ++s) {
            // The page's event stream, as its browser holds it.
            streamClients.push_back(std::make_unique<httplib::Client>("127.0.0.1", web.Port));
            threads.emplace_back([&, s, c = streamClients.back().get()] {
                c->set_read_timeout(60, 0);
                std::string seen;
                auto r = c->Get("/api/events", {{"Cookie", cookies[static_cast<size_t>(s)]}},
                                [&](const char* data, size_t n) {
                                    seen.append(data, n);
                                    for (size_t at; (at = seen.find("event: change")) != std::string::npos;) {
                                        events[static_cast<size_t>(s)].push_back(Clock::now());
                                        seen.erase(0, at + 13);
                                    }
                                    return !stop;
                                });
                if (r && r->status == 503) ++streamsRefused;
            });
            // The page read again and again, as a browser polling it would; every fifth an analyte's.
            threads.emplace_back([&, s] {
                httplib::Client c("127.0.0.1", web.Port);
                c.set_read_timeout(60, 0);
                std::vector<double> mine, analyte;
                for (int k = 0; !stop; ++k) {
                    const bool today = k % 5;
                    const std::string path =
                        today ? "/" : "/analyte?name=W" + std::to_string((s * 7 + k) % Analytes());
                    const auto start = Clock::now();
                    auto r = c.Get(path, {{"Cookie", cookies[static_cast<size_t>(s)]}});
                    const double ms = Ms(Clock::now() - start);
                    if (!r || r->status != 200) {
                        ++(r ? pageRefused : pageErrors);
                        continue;
                    }
                    (today ? mine : analyte).push_back(ms);
                    std::this_thread::sleep_for(pause);
                }
                std::lock_guard lock(m);
                pageMs.insert(pageMs.end(), mine.begin(), mine.end());
                analyteMs.insert(analyteMs.end(), analyte.begin(), analyte.end());
            });
        }
        std::vector<double> acceptMs;
        std::vector<Clock::time_point> accepted;
        std::thread companion([&] { Companion(db, stop, acceptMs, accepted, failures); });
        std::this_thread::sleep_for(Window);
        stop = true;
        companion.join();
        for (auto& c : streamClients) c->stop();
        for (auto& t : threads) t.join();
        // How long after an accepted run its change reached each stream that was open.
        std::vector<double> changeMs;
        for (const auto& stream : events)
            for (const Clock::time_point t : accepted) {
                const auto first = std::lower_bound(stream.begin(), stream.end(), t);
                if (first != stream.end()) changeMs.push_back(Ms(*first - t));
            }
        if (failures) state.SkipWithError("a run was refused");
        state.SetIterationTime(std::chrono::duration<double>(Window).count());
        state.counters["today_p50_ms"] = Percentile(pageMs, 0.5);
        state.counters["today_p95_ms"] = Percentile(pageMs, 0.95);
        state.counters["analyte_p50_ms"] = Percentile(analyteMs, 0.5);
        state.counters["analyte_p95_ms"] = Percentile(analyteMs, 0.95);
        state.counters["pages"] = static_cast<double>(pageMs.size() + analyteMs.size());
        state.counters["page_unanswered"] = pageErrors.load();
        state.counters["page_refused"] = pageRefused.load();
        state.counters["streams_refused"] = streamsRefused.load();
        state.counters["change_p50_ms"] = Percentile(changeMs, 0.5);
        state.counters["change_p95_ms"] = Percentile(changeMs, 0.95);
        state.counters["accept_p50_ms"] = Percentile(acceptMs, 0.5);
        state.counters["accept_p95_ms"] = Percentile(acceptMs, 0.95);
    }
}

} // namespace

// The companion alone and with the sessions, three times each; --benchmark_enable_random_interleaving=true
// alternates them.
BENCHMARK(AcceptAlone)->Iterations(1)->Repetitions(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Sessions)
    ->Args({50, 0})
    ->Args({50, 1000})
    ->Iterations(1)
    ->Repetitions(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
