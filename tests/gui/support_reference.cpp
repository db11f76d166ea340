// Window-test support for the reference windows: analytes with points, and a recording archive hook.
#include "support_reference.h"

#include <algorithm>
#include <filesystem>

#include <cmath>
#include <memory>

#include "TestSeams.h"
#include "UArchive.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UGlobale.h"
#include "UQcError.h"

void RefResetLists() {
    ListAnalytes.Clear();
    ListSerum.Clear();
}

TAnalyte& RefAddAnalyte(const std::string& name, int levels, int decimals) {
    return ListAnalytes.Add(std::make_unique<TAnalyte>(name, "g/L", decimals, levels));
}

void RefAddPoint(TAnalyte& a, int day, std::initializer_list<float> values, PointState state,
                 const std::string& comment, const std::string& op) {
    TResu r;
    r.DateTime = EncodeDate(2024, 1, 1) + day;
    size_t k = 0;
    for (float v : values) {
        if (!std::isnan(v)) r.Levels[k] = {v, state};
        ++k;
    }
    r.Comment = comment;
    r.Operator = op;
    a.AddPoint(r);
    a.RecalcAll();
}

namespace {
std::vector<std::string> ArchiveFiles() {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(ProgramFolder))
        if (e.path().extension() == ".qca") names.push_back(e.path().string());
    std::sort(names.begin(), names.end());
    return names;
}
} // namespace

TRefArchiveRecorder::TRefArchiveRecorder(bool fail) : before_(ArchiveFiles()) {
    if (fail) WriteFaults() = {true, TWriteStep::Write, 0, ".qca"};
}

TRefArchiveRecorder::~TRefArchiveRecorder() {
    WriteFaults() = {};
}

std::vector<std::pair<std::string, std::string>> TRefArchiveRecorder::Archived() const {
    std::vector<std::pair<std::string, std::string>> out;
    for (const std::string& path : ArchiveFiles()) {
        if (std::find(before_.begin(), before_.end(), path) != before_.end()) continue;
        TArchiveFile f = ReadArchiveFile(path);
        out.emplace_back(f.Name, f.Summary[2]);
    }
    return out;
}
