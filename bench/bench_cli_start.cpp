// The companion's start: `varnholt-cli --help` against a program that links Qt Core only, each
// iteration starting one then the other and waiting for it to end (output to /dev/null), so that both
// meet the same load. Counters per start: elapsed and processor time (the child's user and system
// time), and the ratio of the companion's elapsed time to the floor's.
// VARNHOLT_BENCH_CLI names another companion to measure (a build of an earlier version, say).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

struct TStart {
    double elapsedMs = 0;
    double processorMs = 0;
};

double Ms(const timeval& t) {
    return t.tv_sec * 1e3 + t.tv_usec / 1e3;
}

// Starts the program and waits for it; false when it cannot be started or fails.
bool Start(std::vector<std::string> args, TStart& total) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto t0 = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return false;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return false;
    const auto t1 = std::chrono::steady_clock::now();
    total.elapsedMs += std::chrono::duration<double, std::milli>(t1 - t0).count();
    total.processorMs += Ms(usage.ru_utime) + Ms(usage.ru_stime);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string Companion() {
    const char* other = std::getenv("VARNHOLT_BENCH_CLI");
    return other && *other ? other : VARNHOLT_CLI;
}

void BM_CompanionHelpAgainstCoreOnly(benchmark::State& state) {
    const std::string cli = Companion();
    TStart help, floor;
    for (auto _ : state) {
        if (!Start({cli, "--help"}, help)) {
            state.SkipWithError(("cannot run " + cli + " --help").c_str());
            return;
        }
        if (!Start({VARNHOLT_CORE_ONLY}, floor)) {
            state.SkipWithError("cannot run the Qt Core program");
            return;
        }
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["help_ms"] = help.elapsedMs / n;
    state.counters["help_cpu_ms"] = help.processorMs / n;
    state.counters["core_only_ms"] = floor.elapsedMs / n;
    state.counters["core_only_cpu_ms"] = floor.processorMs / n;
    state.counters["ratio"] = help.elapsedMs / floor.elapsedMs;
}
BENCHMARK(BM_CompanionHelpAgainstCoreOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(200);

} // namespace

BENCHMARK_MAIN();
