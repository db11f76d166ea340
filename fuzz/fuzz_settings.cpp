// Fuzz target: the settings file reader on any bytes; what it accepts must write and read back the same.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "UGlobale.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TSettings s;
    std::vector<std::string> operators;
    if (!ParseSettingsImage(bytes, s, operators)) return 0;
    std::string once = SettingsImage(s, operators);
    TSettings s2;
    std::vector<std::string> operators2;
    if (!ParseSettingsImage(once, s2, operators2) || SettingsImage(s2, operators2) != once) std::abort();
    return 0;
}
