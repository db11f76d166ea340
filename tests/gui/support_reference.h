// Window-test support for the reference windows: analytes with points, and a recording archive hook.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "UStructures.h"

// Empties the global analyte and control-material lists.
void RefResetLists();
// Appends an analyte to the global list.
TAnalyte& RefAddAnalyte(const std::string& name, int levels, int decimals = 2);
// Appends a point on day `day` (days after 1 January 2024) with the given level values; a NaN value
// leaves the level empty. Recomputes the analyte.
void RefAddPoint(TAnalyte& a, int day, std::initializer_list<float> values, PointState state = psInControl,
                 const std::string& comment = "", const std::string& op = "AB");

// Records the archives written while it lives: the analyte and control material of each new archive
// file. With `fail` every archive file write fails as on a full disk.
class TRefArchiveRecorder {
public:
    explicit TRefArchiveRecorder(bool fail = false);
    ~TRefArchiveRecorder();
    std::vector<std::pair<std::string, std::string>> Archived() const;

private:
    std::vector<std::string> before_;
};
