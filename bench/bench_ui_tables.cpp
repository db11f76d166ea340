// The windows that list many rows, at 100,000 of them: the QC data table, the archives list with one
// archive shown, and the import preview, each opened, scrolled to the end and all selected, with the
// window drawn after every step (offscreen).
#include <QApplication>
#include <QListView>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <stdexcept>

#include "UArchive.h"
#include "UArchives.h"
#include "UAtomicFile.h"
#include "UGlobale.h"
#include "UImport.h"
#include "URowList.h"
#include "UShowArchive.h"
#include "UShowData.h"
#include "UStructures.h"
#include "UUtilitaires.h"

namespace {

// A program folder of its own, removed when the program ends.
struct TBenchFolder {
    std::string Path;
    TBenchFolder() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "varnholt-bench-ui-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) throw std::runtime_error("Cannot create " + tmpl);
        Path = tmpl + "/";
        SetProgramFolder(Path);
        DefaultSettings();
    }
    ~TBenchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
};
TBenchFolder& Folder() {
    static TBenchFolder folder;
    return folder;
}

// Three levels of normal values, four runs a day; some warnings, actions and discarded values, every
// tenth run with a comment.
TAnalyte& History(int points) {
    static std::map<int, TAnalyte> made;
    if (auto it = made.find(points); it != made.end()) return it->second;
    TAnalyte a = [points] {
        RandomSeed(20240601);
        TAnalyte h("Bench", "mmol/l", 2, MaxLevels);
        for (int k = 0; k < points; ++k) {
            TResu r;
            r.DateTime = 40000.0 + k / 4 + 0.25 + 0.125 * (k % 4);
            for (int i = 0; i < MaxLevels; ++i)
                r.Levels[static_cast<size_t>(i)] = {
                    static_cast<float>(RandomNormal(5.0L * (i + 1), 0.25L * (i + 1))), psInControl};
            if (k % 37 == 0) r.Levels[1].State = psDiscarded;
            r.Operator = "AB";
            if (k % 10 == 0) r.Comment = "Comment " + std::to_string(k);
            h.AddPoint(r);
        }
        h.RecalcAll();
        h.ClassifyAllPoints();
        return h;
    }();
    return made.emplace(points, std::move(a)).first->second;
}

// Lets the window lay out and draw what the last step changed.
void Draw() {
    QCoreApplication::processEvents();
}

// Scrolls the list to its end and selects everything, drawing after each.
void ScrollAndSelect(QListView* list) {
    list->scrollToBottom();
    Draw();
    list->selectAll();
    Draw();
}

void BM_OpenDataTable(benchmark::State& state) {
    TAnalyte& a = History(static_cast<int>(state.range(0)));
    TWinShowData w;
    for (auto _ : state) {
        w.Open(a, -1);
        w.show();
        Draw();
        ScrollAndSelect(w.LB);
        w.reject();
    }
    state.counters["rows"] = a.Count();
}
BENCHMARK(BM_OpenDataTable)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The archives list of three archives, the first with the analyte's points on one level; that archive
// shown, scrolled to its end and all selected.
void BM_OpenArchive(benchmark::State& state) {
    TAnalyte& a = History(static_cast<int>(state.range(0)));
    Folder();
    TAnalyte owner("Bench", "mmol/l", 2, MaxLevels), small("Bench", "mmol/l", 2, 1);
    for (int k = 0; k < 20; ++k) small.AddPoint(a.PointAsEntry(k));
    for (int32_t n = 1; n <= 3; ++n) {
        AtomicWriteFile(ArchiveFileName(n), ArchiveText(n == 1 ? a : small, 0));
        owner.ArchiveNumbers.push_back(n);
    }
    TWinArchives w;
    int lines = 0;
    for (auto _ : state) {
        w.Open(owner);
        w.show();
        Draw();
        ScrollAndSelect(w.LBArchi);
        // The viewer is modal: its steps run once it is shown.
        QTimer::singleShot(0, w.WinShowArchive, [&] {
            Draw();
            ScrollAndSelect(w.WinShowArchive->LB);
            lines = w.WinShowArchive->LB->model()->rowCount();
            w.WinShowArchive->accept();
        });
        w.BtShowArchiveClick();
        w.reject();
    }
    state.counters["rows"] = lines;
}
BENCHMARK(BM_OpenArchive)->Arg(100000)->Unit(benchmark::kMillisecond);

// The exchange text of the analyte's points read into the preview.
void BM_ImportPreview(benchmark::State& state) {
    TAnalyte& a = History(static_cast<int>(state.range(0)));
    const std::string text = a.PointsAsText();
    TAnalyte target("Target", "mmol/l", 2, MaxLevels);
    TWinImport w;
    for (auto _ : state) {
        w.PreviewText(target, text);
        w.FormActivate();
        w.show();
        Draw();
        ScrollAndSelect(w.LB);
        w.reject();
    }
    state.counters["rows"] = static_cast<double>(w.Runs().size());
}
BENCHMARK(BM_ImportPreview)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
