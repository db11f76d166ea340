// Runs per second of 1, 4 and 16 benches adding runs at once on a PostgreSQL server, all to one analyte
// and each to its own, against the same number of plain INSERT and COMMIT pairs of a row each; and 4
// benches on one analyte that already holds 50 or 4,500 runs (the rate should not fall as it grows).
// VARNHOLT_BENCH_DB names an empty server database (e.g. one of scripts/pg-cluster.sh, with
// `ALTER SYSTEM SET fsync = on` for figures of a real server). Each bench is a process of its own with
// its own connection, opened before the clock starts.
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "TestSeams.h"
#include "UDataLoadSave.h"
#include "UOperations.h"
#include "UPgConnection.h"

namespace {

constexpr int RunsPerBench = 20;
constexpr int Analytes = 16;
// The histories of the analytes that have grown: G50 and G4500.
constexpr int Grown[] = {50, 4500};

std::string TempFolder() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "varnholt-bench-XXXXXX").string();
    return std::string(::mkdtemp(tmpl.data())) + "/";
}

TOpenOptions ServerOptions(const char* db) {
    TOpenOptions o;
    o.SampleOnFirstRun = false;
    o.Server = db;
    return o;
}

// Once per program: the analytes B0..B15, twenty days about 5.0 each.
bool Prepare(const char* db) {
    static int done = -1;
    if (done >= 0) return done == 1;
    const pid_t child = ::fork();
    if (child == 0) {
        const std::string folder = TempFolder();
        TOperations& ops = Operations();
        if (!ops.Open(folder, TOpenMode::Writer, ServerOptions(db)).Opened) ::_exit(1);
        for (int k = 0; k < Analytes; ++k) {
            if (ListAnalytes.FindByName("B" + std::to_string(k))) continue;
            auto a = std::make_unique<TAnalyte>("B" + std::to_string(k), "mmol/L", 2, 1);
            for (int d = 0; d < 20; ++d) {
                TResu r;
                r.DateTime = 40000 + d;
                r.Levels[0] = {d % 2 ? 5.1f : 4.9f, psInControl};
                a->AddPoint(r);
            }
            a->RecalcAll();
            ListAnalytes.Add(std::move(a));
        }
        for (int n : Grown) {
            if (ListAnalytes.FindByName("G" + std::to_string(n))) continue;
            auto a = std::make_unique<TAnalyte>("G" + std::to_string(n), "mmol/L", 2, 1);
            for (int d = 0; d < n; ++d) {
                TResu r;
                r.DateTime = 40000 + d / 4.0;
                r.Levels[0] = {d % 2 ? 5.1f : 4.9f, psInControl};
                a->AddPoint(r);
            }
            a->RecalcAll();
            ListAnalytes.Add(std::move(a));
        }
        try {
            WriteAllData(ops);
        } catch (const EQcError&) {
            ::_exit(1);
        }
        ops.Close();
        std::filesystem::remove_all(folder);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    done = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (done) {
        TPgConnection c;
        c.Connect(db);
        c.Exec(
            "CREATE TABLE IF NOT EXISTS bench_plain(analyte integer NOT NULL, at double precision NOT NULL,"
            " v1 real NOT NULL)");
    }
    return done == 1;
}

// One bench's work once the clock starts (the byte on `go`): its runs, each its own transaction.
// The exit status says whether every one was stored.
[[noreturn]] void Bench(const char* db, int bench, const std::string& analyte, bool plain, int go, int ready,
                        double base) {
    const std::string folder = TempFolder();
    TOperations& ops = Operations();
    TPgConnection conn;
    TAnalyte* a = nullptr;
    if (plain) {
        conn.Connect(db);
    } else {
        if (!ops.Open(folder, TOpenMode::Writer, ServerOptions(db)).Opened) ::_exit(2);
        a = ListAnalytes.FindByName(analyte);
        if (!a) ::_exit(2);
    }
    char byte = 1;
    if (::write(ready, &byte, 1) != 1 || ::read(go, &byte, 1) != 1) ::_exit(2);
    bool ok = true;
    for (int k = 0; k < RunsPerBench && ok; ++k) {
        const double at = base + (bench * RunsPerBench + k) / 1440.0;
        if (plain) {
            conn.Exec("BEGIN");
            conn.Exec("INSERT INTO bench_plain VALUES($1, $2, 5)",
                      {std::to_string(bench), std::to_string(at)});
            conn.Exec("COMMIT");
        } else {
            TResu r;
            r.DateTime = at;
            r.Levels[0] = {5.0f, psInControl};
            a = ListAnalytes.FindByName(analyte);
            ok = a && ops.AcceptRun(*a, r).Ok();
        }
    }
    if (!plain) ops.Close();
    std::filesystem::remove_all(folder);
    ::_exit(ok ? 0 : 1);
}

// `analyte` of bench b (of `benches`).
void Benches(benchmark::State& state, int benches, const std::function<std::string(int)>& analyte,
             bool plain) {
    const char* db = std::getenv("VARNHOLT_BENCH_DB");
    if (!db) {
        state.SkipWithError("VARNHOLT_BENCH_DB is not set");
        return;
    }
    if (!Prepare(db)) {
        state.SkipWithError("cannot prepare the server database");
        return;
    }
    static double base = 50000;
    for (auto _ : state) {
        int go[2], ready[2];
        if (::pipe(go) != 0 || ::pipe(ready) != 0) {
            state.SkipWithError("no pipe");
            return;
        }
        base += 30;
        std::vector<pid_t> children;
        for (int b = 0; b < benches; ++b) {
            const pid_t child = ::fork();
            if (child == 0) {
                ::close(go[1]);
                ::close(ready[0]);
                Bench(db, b, analyte(b), plain, go[0], ready[1], base);
            }
            children.push_back(child);
        }
        ::close(go[0]);
        ::close(ready[1]);
        char byte = 0;
        for (int b = 0; b < benches; ++b)
            if (::read(ready[0], &byte, 1) != 1) state.SkipWithError("a bench did not start");
        const auto start = std::chrono::steady_clock::now();
        std::string release(static_cast<size_t>(benches), '\1');
        if (::write(go[1], release.data(), release.size()) != static_cast<ssize_t>(release.size()))
            state.SkipWithError("cannot start the benches");
        bool ok = true;
        for (pid_t child : children) {
            int status = 0;
            ::waitpid(child, &status, 0);
            ok = ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
        const auto end = std::chrono::steady_clock::now();
        ::close(go[1]);
        ::close(ready[0]);
        if (!ok) state.SkipWithError("a run was refused");
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    state.SetItemsProcessed(state.iterations() * benches * RunsPerBench);
}

void Shared(benchmark::State& state, bool oneAnalyte, bool plain) {
    Benches(
        state, static_cast<int>(state.range(0)),
        [oneAnalyte](int b) { return "B" + std::to_string(oneAnalyte ? 0 : b % Analytes); }, plain);
}

// Four benches on one analyte holding state.range(0) runs.
void GrownAnalyte(benchmark::State& state) {
    const std::string name = "G" + std::to_string(state.range(0));
    Benches(
        state, 4, [&name](int) { return name; }, false);
}

} // namespace

BENCHMARK(GrownAnalyte)->Arg(50)->Arg(4500)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Shared, one_analyte, true, false)
    ->Arg(1)
    ->Arg(4)
    ->Arg(16)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Shared, own_analytes, false, false)
    ->Arg(1)
    ->Arg(4)
    ->Arg(16)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Shared, plain_insert_commit, false, true)
    ->Arg(1)
    ->Arg(4)
    ->Arg(16)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
