// Fuzz target: an archive file read as the archives window reads it (lines, summary split at tabs).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "UArchive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        TArchiveFile f = ParseArchiveFile(bytes);
        size_t total = f.Name.size() + f.Unit.size() + f.SummaryLine.size();
        for (const std::string& s : f.Summary) total += s.size();
        for (const auto& fields : f.PointFields) total += fields.size();
        if (f.PointLines.size() != f.PointFields.size() || total > 4 * size + 16) __builtin_trap();
    } catch (const EQcError&) {
    }
    return 0;
}
