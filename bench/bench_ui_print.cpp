// Printing 1,000 points of a three-level analyte to PDF: the data table, the charts, and both together.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <benchmark/benchmark.h>
#include <cstdlib>

#include "UPrintJob.h"
#include "UPrnCharts.h"
#include "UPrnData.h"
#include "UPrnTable.h"
#include "UStructures.h"
#include "UUtilitaires.h"

namespace {

// Three levels of normal values, one run a day, judged against their limits; every tenth a comment.
TAnalyte History(int points) {
    RandomSeed(20240601);
    TAnalyte a("Bench", "mmol/l", 2, MaxLevels);
    for (int k = 0; k < points; ++k) {
        TResu r;
        r.DateTime = 40000.0 + k + 0.375;
        for (int i = 0; i < MaxLevels; ++i)
            r.Levels[static_cast<size_t>(i)] = {
                static_cast<float>(RandomNormal(5.0L * (i + 1), 0.2L * (i + 1))), psInControl};
        r.Operator = "AB";
        if (k % 10 == 0) r.Comment = "Comment " + std::to_string(k);
        a.AddPoint(r);
    }
    a.RecalcAll();
    a.ClassifyAllPoints();
    return a;
}

void BM_BuildDataTable(benchmark::State& state) {
    TAnalyte a = History(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(BuildDataTable(a, 0, a.Count() - 1, true));
}
BENCHMARK(BM_BuildDataTable)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_PrintDataTablePdf(benchmark::State& state) {
    TAnalyte a = History(static_cast<int>(state.range(0)));
    const QString path = QDir::temp().filePath("varnholt-bench-data.pdf");
    TPrintJobSpec job;
    job.JobTitle = "Printing QC data";
    for (auto _ : state)
        TPrintJob::WritePdf(path, job, [&](TPrintCanvas& c) { PrintQCData(c, a, 0, a.Count() - 1, true); });
    state.counters["bytes"] = static_cast<double>(QFileInfo(path).size());
    QFile::remove(path);
}
BENCHMARK(BM_PrintDataTablePdf)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_PrintChartsPdf(benchmark::State& state) {
    TAnalyte a = History(static_cast<int>(state.range(0)));
    const QString path = QDir::temp().filePath("varnholt-bench-charts.pdf");
    TPrintJobSpec job;
    job.JobTitle = "Printing QC charts";
    TChartPrintOptions o;
    o.Colour = true;
    for (auto _ : state)
        TPrintJob::WritePdf(path, job, [&](TPrintCanvas& c) { PrintCharts(c, a, 0, a.Count() - 1, o); });
    state.counters["bytes"] = static_cast<double>(QFileInfo(path).size());
    QFile::remove(path);
}
BENCHMARK(BM_PrintChartsPdf)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(5);

// The companion's report: charts and data table in one file.
void BM_PrintChartsAndDataPdf(benchmark::State& state) {
    TAnalyte a = History(static_cast<int>(state.range(0)));
    const QString path = QDir::temp().filePath("varnholt-bench-report.pdf");
    TPrintJobSpec job;
    TChartPrintOptions o;
    for (auto _ : state)
        TPrintJob::WritePdf(path, job, [&](TPrintCanvas& c) {
            PrintCharts(c, a, 0, a.Count() - 1, o);
            c.NewPage();
            PrintQCData(c, a, 0, a.Count() - 1, true);
        });
    state.counters["bytes"] = static_cast<double>(QFileInfo(path).size());
    QFile::remove(path);
}
BENCHMARK(BM_PrintChartsAndDataPdf)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    // Printing needs fonts, not a display.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
