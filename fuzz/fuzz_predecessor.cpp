// Fuzz target: a predecessor data or backup file imported from bytes into a list of its own.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "UCompatibilityDrovanta.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TListAnalytes list;
    int imported = 0;
    try {
        imported = ImportPredecessorBytes(bytes, list);
    } catch (const EPredecessorImport& e) {
        imported = e.Imported;
    }
    // Every analyte that came in is complete and usable by the windows.
    if (imported != list.Count()) __builtin_trap();
    for (const auto& a : list.Items) {
        if (a->NbLevels != 3 || a->Decimals < 0 || a->Decimals > 3) __builtin_trap();
        for (int i = 0; i < 3; ++i)
            if (a->LimitMode[i] == lmLocked && (a->LockFirst[i] < 0 || a->LockLast[i] >= a->Count()))
                __builtin_trap();
    }
    return 0;
}
