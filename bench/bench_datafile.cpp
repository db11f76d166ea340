// Data file speed on files made by the random generator: reading (with the statistics) against a
// plain read of the same bytes, each on its own and alternately, writing, the accepted-run path,
// and memory per stored point.
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <map>
#include <memory>
#include <sched.h>
#include <stdexcept>
#include <unistd.h>
#include <vector>

#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UGlobale.h"
#include "UOperations.h"
#include "URandom.h"

namespace {
constexpr int PointsPerAnalyte = 500;

// The benchmarks' folder, removed with everything in it when the program ends.
struct TBenchFolder {
    std::string Path;
    ~TBenchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
};

// A folder on the machine's disk (not a memory file system), so that fsync costs what it costs;
// VARNHOLT_BENCH_TMP names another parent folder.
const std::string& BenchFolder() {
    static const TBenchFolder folder = [] {
        const char* parent = std::getenv("VARNHOLT_BENCH_TMP");
        std::string tmpl = std::string(parent && *parent ? parent : "/var/tmp") + "/varnholt-bench-XXXXXX";
        if (!mkdtemp(tmpl.data())) throw std::runtime_error("Cannot create " + tmpl);
        SetProgramFolder(tmpl);
        DefaultSettings();
        return TBenchFolder{tmpl + "/"};
    }();
    return folder.Path;
}

// Fills the global lists with `analytes` analytes of 500 runs on 3 levels.
void Generate(int analytes) {
    ListAnalytes.Clear();
    ListSerum.Clear();
    RandomSeed(42);
    for (int i = 0; i < 3; ++i) ListSerum.AddMaterial("Material " + std::to_string(i), std::to_string(i));
    TLevelValues means{}, cvs{};
    for (int i = 0; i < 3; ++i) {
        means[i] = {static_cast<float>(5 * (i + 1)), psInControl};
        cvs[i] = {3.0f, psInControl};
    }
    for (int k = 0; k < analytes; ++k) {
        auto a = std::make_unique<TAnalyte>("Analyte " + std::to_string(k), "mmol/L", 2, 3);
        a->MaterialId = {0, 1, 2};
        GenerateRandomPoints(*a, PointsPerAnalyte, means, cvs, 40000.375);
        ListAnalytes.Add(std::move(a));
    }
}

// The data file of the given size, written once and kept for every benchmark of that size.
std::string FileFor(int analytes) {
    static std::map<int, std::string> files;
    auto it = files.find(analytes);
    if (it != files.end()) return it->second;
    std::string path = BenchFolder() + "data" + std::to_string(analytes) + ".qcf";
    Generate(analytes);
    WriteDataFile(path);
    files[analytes] = path;
    return path;
}

void SetPoints(benchmark::State& state, int analytes) {
    const double points = 3.0 * PointsPerAnalyte * analytes;
    state.counters["level_values"] = points;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(std::filesystem::file_size(FileFor(analytes))));
}

// The yardstick: the file's bytes read in order into a buffer of their size.
void PlainRead(const std::string& path, std::string& buffer) {
    int fd = ::open(path.c_str(), O_RDONLY);
    size_t done = 0;
    while (done < buffer.size()) {
        ssize_t n = ::read(fd, buffer.data() + done, buffer.size() - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    benchmark::DoNotOptimize(buffer.data());
}

void BM_SequentialRead(benchmark::State& state) {
    const int analytes = static_cast<int>(state.range(0));
    std::string path = FileFor(analytes);
    std::string buffer(std::filesystem::file_size(path), '\0');
    for (auto _ : state) PlainRead(path, buffer);
    SetPoints(state, analytes);
}

void BM_ReadDataFile(benchmark::State& state) {
    const int analytes = static_cast<int>(state.range(0));
    std::string path = FileFor(analytes);
    for (auto _ : state) ReadDataFile(path);
    SetPoints(state, analytes);
}

// The two reads alternately in one loop, so that neither finds the cache as its own previous run
// left it: the median of each and the ratio of the medians, as counters.
void BM_ReadAlternating(benchmark::State& state) {
    const int analytes = static_cast<int>(state.range(0));
    std::string path = FileFor(analytes);
    std::string buffer(std::filesystem::file_size(path), '\0');
    std::vector<double> reads, plains;
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        auto t0 = Clock::now();
        ReadDataFile(path);
        auto t1 = Clock::now();
        PlainRead(path, buffer);
        auto t2 = Clock::now();
        reads.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        plains.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
    }
    auto median = [](std::vector<double>& v) {
        std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
        return v[v.size() / 2];
    };
    double read = median(reads), plain = median(plains);
    state.counters["read_ms"] = read;
    state.counters["yardstick_ms"] = plain;
    state.counters["ratio"] = read / plain;
}

void BM_WriteDataFile(benchmark::State& state) {
    const int analytes = static_cast<int>(state.range(0));
    ReadDataFile(FileFor(analytes));
    std::string path = BenchFolder() + "write.qcf";
    for (auto _ : state) WriteDataFile(path);
    SetPoints(state, analytes);
}

// What the main window does when a run is accepted: insert it, recompute its analyte, save (fsync).
void BM_AcceptedRun(benchmark::State& state) {
    const int analytes = static_cast<int>(state.range(0));
    ReadDataFile(FileFor(analytes));
    std::string path = BenchFolder() + "accepted.qcf";
    TAnalyte& a = ListAnalytes[analytes / 2];
    TResu run;
    run.Levels = {LevelValue{5, psInControl}, LevelValue{10, psInControl}, LevelValue{15, psInControl}};
    TDateTime dt = a.Points.back().DateTime;
    for (auto _ : state) {
        dt += 1;
        run.DateTime = dt;
        a.AddPoint(run);
        a.RecalcAll();
        WriteDataFile(path);
    }
    SetPoints(state, analytes);
}

// Runs accepted one after another in a process that read the file once, as the program accepts
// them: each through the operations layer (insert, recompute, the data file written with its hash
// recorded in Varnholt.db, fsync, rename). Between two runs the memory a save freed goes back to the
// system, as it does in a program that waits minutes between runs: a save that makes a new image
// of the file pays its page faults every time. The median of the saves is a counter.
void BM_AcceptedRunFresh(benchmark::State& state) {
    const int analytes = static_cast<int>(state.range(0));
    const std::string folder = BenchFolder() + "fresh" + std::to_string(analytes);
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(FileFor(analytes), folder + "/Varnholt.qcf",
                               std::filesystem::copy_options::overwrite_existing);
    TOpenOptions options;
    options.SampleOnFirstRun = false;
    if (!Operations().Open(folder, TOpenMode::Writer, options).Opened) {
        state.SkipWithError("the folder did not open");
        return;
    }
    TAnalyte& a = ListAnalytes[analytes / 2];
    TResu run;
    run.Levels = {LevelValue{5, psInControl}, LevelValue{10, psInControl}, LevelValue{15, psInControl}};
    TDateTime dt = a.Points.back().DateTime;
    std::vector<double> saves;
    for (auto _ : state) {
        state.PauseTiming();
        malloc_trim(0);
        run.DateTime = dt += 1;
        state.ResumeTiming();
        auto t0 = std::chrono::steady_clock::now();
        if (!Operations().AcceptRun(a, run).Ok()) state.SkipWithError("the run was not saved");
        saves.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    Operations().Close();
    std::nth_element(saves.begin(), saves.begin() + static_cast<std::ptrdiff_t>(saves.size() / 2),
                     saves.end());
    if (!saves.empty()) state.counters["median_ms"] = saves[saves.size() / 2];
    SetPoints(state, analytes);
}

// ---- Reads in a fresh process, as a start reads the file: the points' memory is new to the process,
// as is the yardstick's buffer.

// The child's side: one read of the file, its time and the memory it took, on one line.
int ChildRead(const std::string& mode, const std::string& path, bool oneCore) {
    if (oneCore) {
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(sched_getcpu(), &one);
        sched_setaffinity(0, sizeof one, &one);
    }
    auto status = [](const char* field) {
        std::ifstream in("/proc/self/status");
        for (std::string line; std::getline(in, line);)
            if (line.rfind(field, 0) == 0) return std::stod(line.substr(std::string(field).size())) * 1024;
        return 0.0;
    };
    auto cpu = [] {
        timespec t;
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
    };
    const double before = status("VmRSS:");
    const double cpu0 = cpu();
    auto t0 = std::chrono::steady_clock::now();
    if (mode == "read") {
        ReadDataFile(path);
    } else {
        const size_t size = std::filesystem::file_size(path);
        std::unique_ptr<char[]> buffer(new char[size]);
        int fd = ::open(path.c_str(), O_RDONLY);
        for (size_t done = 0; done < size;) {
            ssize_t n = ::read(fd, buffer.get() + done, size - done);
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        ::close(fd);
        benchmark::DoNotOptimize(buffer.get());
    }
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    std::printf("%f %f %f\n", ms, cpu() - cpu0, status("VmHWM:") - before);
    return 0;
}

struct TChildResult {
    double Ms = 0, CpuMs = 0, PeakBytes = 0;
};

TChildResult RunChild(const char* mode, const std::string& path, bool oneCore) {
    const std::string command = "'" + std::filesystem::read_symlink("/proc/self/exe").string() +
                                "' --child " + mode + (oneCore ? " one-core" : " any-core") + " '" + path +
                                "'";
    TChildResult r;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        if (std::fscanf(p, "%lf %lf %lf", &r.Ms, &r.CpuMs, &r.PeakBytes) != 3) r.Ms = -1;
        ::pclose(p);
    }
    return r;
}

// ReadDataFile in a fresh process against a plain read of the file into new memory in another, in
// turn, each on any core and then both held to one core (no second core to help). Counters: the
// medians of the elapsed times, their ratios (and that of the processor times), and the peak memory
// the read added per stored run (three values).
void BM_ReadFreshProcess(benchmark::State& state) {
    const int analytes = static_cast<int>(state.range(0));
    std::string path = FileFor(analytes);
    std::vector<double> reads, plains, readsOne, plainsOne, readsCpu, plainsCpu, peaks;
    for (auto _ : state) {
        TChildResult r = RunChild("read", path, false), p = RunChild("plain", path, false);
        TChildResult r1 = RunChild("read", path, true), p1 = RunChild("plain", path, true);
        if (r.Ms < 0 || p.Ms < 0 || r1.Ms < 0 || p1.Ms < 0) {
            state.SkipWithError("a child failed");
            return;
        }
        reads.push_back(r.Ms);
        plains.push_back(p.Ms);
        readsOne.push_back(r1.Ms);
        plainsOne.push_back(p1.Ms);
        readsCpu.push_back(r.CpuMs);
        plainsCpu.push_back(p.CpuMs);
        peaks.push_back(std::max(r.PeakBytes, r1.PeakBytes));
    }
    auto median = [](std::vector<double> v) {
        std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
        return v[v.size() / 2];
    };
    const double runs = static_cast<double>(PointsPerAnalyte) * analytes;
    state.counters["read_ms"] = median(reads);
    state.counters["yardstick_ms"] = median(plains);
    state.counters["ratio"] = median(reads) / median(plains);
    state.counters["ratio_one_core"] = median(readsOne) / median(plainsOne);
    // Processor time, which the machine's load disturbs less than the elapsed time.
    state.counters["ratio_cpu"] = median(readsCpu) / median(plainsCpu);
    state.counters["peak_bytes_per_run"] = *std::max_element(peaks.begin(), peaks.end()) / runs;
}

// Heap held by the lists per stored level value (three per run), measured around a read.
void BM_MemoryPerPoint(benchmark::State& state) {
    const int analytes = static_cast<int>(state.range(0));
    std::string path = FileFor(analytes);
    double perValue = 0;
    for (auto _ : state) {
        ListAnalytes.Clear();
        ListSerum.Clear();
        malloc_trim(0);
        size_t before = mallinfo2().uordblks;
        ReadDataFile(path);
        size_t after = mallinfo2().uordblks;
        perValue = static_cast<double>(after - before) / (3.0 * PointsPerAnalyte * analytes);
    }
    state.counters["bytes_per_level_value"] = perValue;
    state.counters["bytes_per_run"] = perValue * 3;
    state.counters["sizeof_ControlPoint"] = sizeof(ControlPoint);
}

// 200 analytes x 500 runs x 3 levels = 300,000 values; 667 analytes give 1,000,500, 2000 give
// 3,000,000.
BENCHMARK(BM_SequentialRead)->Arg(200)->Arg(667)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDataFile)->Arg(200)->Arg(667)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAlternating)->Arg(200)->Arg(667)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteDataFile)->Arg(200)->Arg(667)->Unit(benchmark::kMillisecond);
// A run accepted in memory by one analyte of range(0) points on three levels: inserted, and the
// statistics and classes made again, as an acceptance does before the file is written. Linear in the
// points when the time at 1,000,000 is about ten times that at 100,000.
void BM_AcceptInMemory(benchmark::State& state) {
    const int points = static_cast<int>(state.range(0));
    TAnalyte a("Bench", "mmol/l", 2, MaxLevels);
    RandomSeed(7);
    TResu run;
    for (int k = 0; k < points; ++k) {
        run.DateTime = 40000.0 + k * 0.25;
        for (int i = 0; i < MaxLevels; ++i)
            run.Levels[static_cast<size_t>(i)] = {
                static_cast<float>(RandomNormal(5.0L * (i + 1), 0.25L * (i + 1))), psInControl};
        a.AddPoint(run);
    }
    a.RecalcAll();
    TDateTime dt = a.Points.back().DateTime;
    for (auto _ : state) {
        dt += 0.25;
        run.DateTime = dt;
        a.AddPoint(run);
        a.RecalcAll();
        a.ClassifyAllPoints();
    }
    state.counters["points"] = static_cast<double>(a.Count());
}
BENCHMARK(BM_AcceptInMemory)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_AcceptedRun)->Arg(200)->Arg(667)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AcceptedRunFresh)->Arg(667)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFreshProcess)->Arg(667)->Arg(2000)->Iterations(15)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemoryPerPoint)->Arg(200)->Arg(667)->Iterations(1)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--child")
        return ChildRead(argv[2], argv[4], std::string(argv[3]) == "one-core");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
