// Fuzz target: exchange text parsed as the import preview does, under a regional setting chosen by
// the first byte.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "UImportText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    static const TRegional settings[] = {
        {"dd/MM/yyyy", "HH:mm:ss", '.'},
        {"dd.MM.yyyy", "HH:mm:ss", ','},
        {"M/d/yyyy", "h:mm:ss AP", '.'},
        {"yyyy-MM-dd", "H:mm", ','},
    };
    Regional = settings[data[0] % 4];
    int decimals = (data[0] >> 2) % 4;
    std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    TImportText t = ParseImportText(text, decimals);
    if (t.Runs.size() != t.Shapes.size() || t.Notes.size() > TImportText::MaxNotes) __builtin_trap();
    if (t.LinesRead == 0 && t.NothingRead.empty()) __builtin_trap();
    for (size_t i = 0; i < t.Runs.size(); ++i)
        if (t.Line(i).find_first_of("\r\n") != std::string::npos) __builtin_trap();
    for (const TResu& r : t.Runs) {
        int values = 0;
        for (const LevelValue& lv : r.Levels) {
            if (lv.State == psEmpty) continue;
            if (lv.State != psInControl || !(lv.Value == lv.Value) || lv.Value - lv.Value != 0)
                __builtin_trap();
            ++values;
        }
        if (values == 0) __builtin_trap();
    }
    return 0;
}
