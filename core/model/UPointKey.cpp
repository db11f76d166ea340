#include "UPointKey.h"

#include <algorithm>

TPointKey KeyOfPoint(const TAnalyte& a, int index) {
    const ControlPoint& p = a.Points.at(static_cast<size_t>(index));
    return {p.DateTime, p.Levels, p.Operator.Str(), a.CommentText(p.CommentId)};
}

std::optional<std::vector<int>> FindPoints(const TAnalyte& a, const std::vector<TPointKey>& keys) {
    std::vector<int> found;
    std::vector<bool> taken(a.Points.size(), false);
    for (const TPointKey& key : keys) {
        // The points are in date order: only those of the key's moment need comparing.
        const auto first =
            std::lower_bound(a.Points.begin(), a.Points.end(), key.DateTime,
                             [](const ControlPoint& p, TDateTime t) { return p.DateTime < t; });
        int hit = -1;
        for (auto it = first; it != a.Points.end() && it->DateTime == key.DateTime; ++it) {
            const int i = static_cast<int>(it - a.Points.begin());
            if (!taken[static_cast<size_t>(i)] && KeyOfPoint(a, i) == key) {
                hit = i;
                break;
            }
        }
        if (hit < 0) return std::nullopt;
        taken[static_cast<size_t>(hit)] = true;
        found.push_back(hit);
    }
    std::sort(found.begin(), found.end());
    return found;
}
