// Small helpers the operations units share.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <xxhash.h>

namespace ops_common {
inline std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

inline std::string FileNameOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

inline std::string HashText(XXH128_hash_t h) {
    char text[33];
    std::snprintf(text, sizeof text, "%016llx%016llx", static_cast<unsigned long long>(h.high64),
                  static_cast<unsigned long long>(h.low64));
    return text;
}

inline std::string HashText(std::string_view bytes) {
    return HashText(XXH3_128bits(bytes.data(), bytes.size()));
}

// For the journal, which stays English.
inline std::string RunsText(int64_t n) {
    return std::to_string(n) + (n == 1 ? " run" : " runs");
}
} // namespace ops_common
