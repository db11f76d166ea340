// Window-test support for the reference windows: analytes with points, and a recording archive hook.
#include "support_reference.h"

#include <cmath>
#include <memory>

#include "UDataLoadSave.h"
#include "UQcError.h"
#include "URefArchive.h"

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
TArchiveLevelFn savedHook;
}

TRefArchiveRecorder::TRefArchiveRecorder(bool fail) {
    savedHook = ArchiveLevelHook();
    ArchiveLevelHook() = [this, fail](TAnalyte& a, int level) -> int32_t {
        calls.emplace_back(a.Name, level);
        if (fail) throw EQcError("Disk full");
        return 1;
    };
}

TRefArchiveRecorder::~TRefArchiveRecorder() {
    ArchiveLevelHook() = savedHook;
}
