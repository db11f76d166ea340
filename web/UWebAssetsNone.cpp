// A build without the charting library: the pages keep the charts the server draws.
#include "UWebAssets.h"

std::optional<std::string_view> WebAsset(std::string_view) {
    return std::nullopt;
}
