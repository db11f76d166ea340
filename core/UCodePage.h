// Conversion between the files' Windows-1252 text and UTF-8 (windows, command line, JSON).
#pragma once

#include <string>
#include <string_view>

std::string Cp1252ToUtf8(std::string_view text);
// Characters that Windows-1252 cannot hold become '?'; malformed UTF-8 bytes too.
std::string Utf8ToCp1252(std::string_view text);
