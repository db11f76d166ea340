// Files built into varnholt-web: the charting library vendored from npm with its licence, and the
// script that draws the pages' charts with it. None when the build had no charting library.
#pragma once

#include <optional>
#include <string_view>

// The file by its name ("uPlot.iife.min.js", "uPlot.min.css", "LICENSE", "charts.js").
std::optional<std::string_view> WebAsset(std::string_view name);
