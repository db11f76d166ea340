// Archive files: numbering, the erase-and-archive of one QC level, and the reader of the archives window.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "UStructures.h"

// One past the largest archive number in use: the names "QC" + digits + ".qca" in ProgramFolder (names
// whose digits are not a number are skipped) and the numbers that the analytes of the global list hold.
int32_t NextArchiveNumber();

// The text of the archive of one level (0-based), lines ended by CR LF. Throws EQcError when the level
// holds no point with a value.
std::string ArchiveText(const TAnalyte& a, int level);

// Writes the archive of one level (0-based) to a new numbered file, then erases the level: its values
// are emptied, points left without any value removed, the level returned to mobile limits. Returns the
// archive number, which enters ArchiveNumbers only once the file is written. Throws EQcError (nothing
// changed) when the level holds no value or the file cannot be written.
int32_t ArchiveLevel(TAnalyte& a, int level);
// The erase that follows the archive of a level whose text is kept elsewhere (the server store).
void EraseArchivedLevel(TAnalyte& a, int level);

// An archive file as the archives window reads it.
struct TArchiveFile {
    static constexpr size_t SummaryFieldCount = 7;

    std::string Name;
    std::string Unit;
    // The third line: the archive's title in the archives list.
    std::string SummaryLine;
    // First date, last date, control material, lot, mean, CV, N; missing fields are empty.
    std::array<std::string, SummaryFieldCount> Summary;
    // The fourth and following lines, and each of them cut at its tabs.
    std::vector<std::string> PointLines;
    std::vector<std::vector<std::string>> PointFields;
};

// What of an archive to read: its first three lines (the archives list), also its point lines (the
// viewer), or also each point line cut at its tabs.
enum class TArchiveParts { Head, Lines, Fields };

// Parses archive bytes: lines end at CR LF, CR or LF. Throws EQcError when fewer than three lines.
TArchiveFile ParseArchiveFile(std::string_view bytes, TArchiveParts parts = TArchiveParts::Fields);
// Reads and parses an archive file; throws EQcError when it is missing, unreadable or too short. For
// the head, only the start of the file that holds it is read.
TArchiveFile ReadArchiveFile(const std::string& path, TArchiveParts parts = TArchiveParts::Fields);
