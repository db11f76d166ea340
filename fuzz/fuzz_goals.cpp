// Fuzz target: the goal file reader on any bytes; what it accepts must be goals the layer can keep.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string_view>

#include "UQcError.h"
#include "UQualityGoals.h"
#include "UUtilitaires.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<TQualityGoal> goals;
    try {
        goals = ParseGoals(bytes);
    } catch (const EQcError&) {
        return 0;
    }
    std::set<std::string> names;
    for (const TQualityGoal& g : goals) {
        if (g.Analyte.empty() || !names.insert(UpperCase(g.Analyte)).second) std::abort();
        if (!g.TEa || !(*g.TEa > 0) || std::isnan(static_cast<double>(*g.TEa))) std::abort();
        if (g.TEaKind == teaUnit && g.TEaUnit.empty()) std::abort();
        for (const auto& t : g.Target)
            if (t && (*t == 0 || std::isnan(static_cast<double>(*t)))) std::abort();
    }
    return 0;
}
