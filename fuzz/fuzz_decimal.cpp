// Fuzz target: the number reader alone, under the decimal mark chosen by the first byte (',' for a
// comma, anything else for a point); a number it reads must be the one the general reader gives.
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "UQcError.h"
#include "UUtilitaires.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const char separator = data[0] == ',' ? ',' : '.';
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    long double v = 0;
    if (ParseDecimal(text, separator, v)) {
        if (!std::isfinite(v)) __builtin_trap();
        std::string s(text);
        if (!s.empty() && s[0] == '+') s.erase(0, 1);
        for (char& c : s)
            if (c == separator) c = '.';
        long double general = 0;
        auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), general);
        if (end != s.data() + s.size()) __builtin_trap();
        if (ec == std::errc() && std::memcmp(&general, &v, 10) != 0) __builtin_trap();
        if (ec != std::errc() && v != 0) __builtin_trap(); // out of range: only underflow is read, as zero
    }
    try {
        ReadValueText(std::string(text));
    } catch (const EConvertError&) {
    }
    std::string entry(text);
    try {
        ReadRealText(entry, data[0] & 1);
    } catch (const EConvertError&) {
    }
    return 0;
}
