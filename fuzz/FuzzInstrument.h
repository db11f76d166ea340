// What every instrument reader must hold to on any input: only EQcError escapes, results carry finite
// values and lines within the file, and no text field holds a control character.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "UInstrument.h"
#include "UInstrumentText.h"

template <typename Read> void CheckBatch(Read read, const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    TInstrumentBatch b;
    try {
        b = read(text);
    } catch (const EQcError&) {
        return;
    }
    const int lines = instrument::TLineIndex(text).LineOf(text.size());
    auto clean = [](const std::string& s) {
        for (char c : s)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
        return true;
    };
    for (const TInstrumentResult& r : b.Results) {
        if (!std::isfinite(r.Value) || std::fabs(r.Value) > 3.5e38 || r.Line < 1 || r.Line > lines)
            __builtin_trap();
        for (const std::string* s : {&r.Instrument, &r.TestCode, &r.Control, &r.ValueText, &r.Units,
                                     &r.Operator, &r.Comment, &r.MessageId})
            if (!clean(*s)) __builtin_trap();
        if (r.TestCode.empty() || r.ValueText.empty()) __builtin_trap();
    }
    for (const TInstrumentFault& f : b.Faults)
        if (f.Line < 0 || f.Line > lines || f.Reason.empty() || !clean(f.Reason)) __builtin_trap();
    // Grouping takes whatever the reader gave.
    TRunGrouping g =
        GroupInstrumentRuns(b.Results, [](const TInstrumentResult& r) -> std::optional<TMappedResult> {
            if (r.TestCode.size() % 3 == 0) return std::nullopt;
            return TMappedResult{r.TestCode, 0, static_cast<int>(r.TestCode.size() % 4)};
        });
    size_t placed = g.NotMapped.size() + g.Faults.size();
    for (const TInstrumentRun& run : g.Runs) placed += run.Results.size();
    if (placed != b.Results.size()) __builtin_trap();
}
