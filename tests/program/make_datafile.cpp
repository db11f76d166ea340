// Writes a program folder for start-up measurements: the settings file and a data file of random
// runs made by the program's own generator (3 levels per analyte).
// Usage: make_datafile FOLDER ANALYTES RUNS_PER_ANALYTE
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "UDataLoadSave.h"
#include "UGlobale.h"
#include "UQcError.h"
#include "URandom.h"
#include "UUtilitaires.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_datafile FOLDER ANALYTES RUNS_PER_ANALYTE\n");
        return 2;
    }
    const int analytes = std::atoi(argv[2]);
    const int runs = std::atoi(argv[3]);
    if (analytes < 1 || runs < 1) {
        std::fprintf(stderr, "make_datafile: ANALYTES and RUNS_PER_ANALYTE must be positive\n");
        return 2;
    }
    try {
        SetProgramFolder(argv[1]);
        DefaultSettings();
        Settings.ShowAboutAtStart = false; // nothing modal between the splash and the main window
        RandomSeed(42);
        for (int i = 0; i < 3; ++i) ListSerum.AddMaterial("Material " + std::to_string(i), std::to_string(i));
        TLevelValues means{}, cvs{};
        for (int i = 0; i < 3; ++i) {
            means[i] = {static_cast<float>(5 * (i + 1)), psInControl};
            cvs[i] = {3.0f, psInControl};
        }
        long long values = 0;
        for (int k = 0; k < analytes; ++k) {
            auto a = std::make_unique<TAnalyte>("Analyte " + std::to_string(k), "mmol/L", 2, 3);
            a->MaterialId = {0, 1, 2};
            GenerateRandomPoints(*a, runs, means, cvs, 40000.375);
            values += 3LL * runs;
            ListAnalytes.Add(std::move(a));
        }
        WriteDataFile(DataFileName());
        SaveSettings(); // a settings file: the start is not a first run
        std::printf("%s: %d analytes, %lld level values\n", DataFileName().c_str(), analytes, values);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_datafile: %s\n", e.what());
        return 1;
    }
    return 0;
}
