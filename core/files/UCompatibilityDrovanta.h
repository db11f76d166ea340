// Import of the predecessor product's data and backup files (one format) into three-level analytes.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "UBinary.h"
#include "UQcError.h"
#include "UStructures.h"

// The 9-byte trailer that closes a predecessor file: length 8, version "20", the program's magic.
constexpr std::array<uint8_t, 9> PredecessorSignature = {0x08, 0x32, 0x30, 0xB5, 0xFE,
                                                         0x70, 0x6F, 0x34, 0x35};

// The predecessor's comment list: texts by ascending identifier.
class TListIDStringV2 {
public:
    static constexpr size_t RecordSize = 28;
    struct Entry {
        int32_t Id;
        std::string Text;
    };
    void Read(TByteReader& r);
    // Binary search over the identifiers as the program's own list does; empty when not found.
    std::string TextOf(int32_t id) const;

    int32_t NextId = 0;
    std::vector<Entry> Items;
};

// One predecessor analyte image.
class TAnalyteV2 {
public:
    static constexpr size_t PointSize = 36;
    static constexpr size_t HeaderSize = 132;
    static constexpr size_t OtherRecordSize = 68;

    struct Point {
        double Date = 0;
        std::array<float, 3> Value{};
        std::array<uint8_t, 3> Code{};
        int32_t CommentId = -1;
    };

    // Reads one image; throws EQcError on a truncated or damaged image.
    void Read(TByteReader& r);
    // The program's three-level analyte made of the image, recomputed and classified.
    std::unique_ptr<TAnalyte> Convert() const;

    std::vector<Point> Points;
    std::string Name;
    std::string Unit;
    int32_t Decimals = 0;
    std::array<int32_t, 3> LockFirst{-1, -1, -1};
    std::array<int32_t, 3> LockLast{-1, -1, -1};
    TListIDStringV2 Comments;
};

// A failed import; the analytes converted before the failure stay in the list, and Imported says how
// many they are. The message is the text the calling window shows; Detail says what was wrong.
class EPredecessorImport : public EQcError {
public:
    EPredecessorImport(int imported, const std::string& detail)
        : EQcError("Cannot read data"), Imported(imported), Detail(detail) {}
    int Imported;
    std::string Detail;
};

// Appends the analytes of a predecessor file image to the list; returns how many were appended.
// Throws EPredecessorImport.
int ImportPredecessorBytes(std::string_view bytes, TListAnalytes& into);
// Reads a predecessor file and appends its analytes to the global ListAnalytes; returns how many.
// Throws EPredecessorImport.
int ImportPredecessorFile(const std::string& path);
