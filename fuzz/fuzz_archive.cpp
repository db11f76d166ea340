// Fuzz target: an archive file read as the archives window reads it (lines, summary split at tabs),
// and its head and lines alone as the list and the viewer read them.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "UArchive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TArchiveFile f;
    try {
        f = ParseArchiveFile(bytes);
    } catch (const EQcError&) {
        // Neither part of an unreadable archive reads.
        try {
            ParseArchiveFile(bytes, TArchiveParts::Head);
            __builtin_trap();
        } catch (const EQcError&) {
        }
        return 0;
    }
    size_t total = f.Name.size() + f.Unit.size() + f.SummaryLine.size();
    for (const std::string& s : f.Summary) total += s.size();
    for (const auto& fields : f.PointFields) total += fields.size();
    if (f.PointLines.size() != f.PointFields.size() || total > 4 * size + 16) __builtin_trap();
    const TArchiveFile head = ParseArchiveFile(bytes, TArchiveParts::Head);
    if (head.Name != f.Name || head.Unit != f.Unit || head.SummaryLine != f.SummaryLine ||
        head.Summary != f.Summary || !head.PointLines.empty())
        __builtin_trap();
    if (ParseArchiveFile(bytes, TArchiveParts::Lines).PointLines != f.PointLines) __builtin_trap();
    return 0;
}
