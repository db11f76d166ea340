// A control point named by what it holds rather than by its place, for edits that a window keeps
// pending while the list may change: a reload or another bench's run moves places, not identities.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "UStructures.h"

struct TPointKey {
    TDateTime DateTime = 0;
    TLevelValues Levels{};
    std::string Operator;
    std::string Comment;
    bool operator==(const TPointKey&) const = default;
};

TPointKey KeyOfPoint(const TAnalyte& a, int index);

// The places of the points that the keys name, one distinct point for each key (two keys of equal points
// take two of them), in ascending order; nothing when a key names no point left.
std::optional<std::vector<int>> FindPoints(const TAnalyte& a, const std::vector<TPointKey>& keys);
