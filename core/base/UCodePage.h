// Conversion between the files' Windows-1252 text and UTF-8 (windows, command line, JSON).
#pragma once

#include <optional>
#include <string>
#include <string_view>

std::string Cp1252ToUtf8(std::string_view text);
// Characters that Windows-1252 cannot hold become '?'; malformed UTF-8 bytes too.
std::string Utf8ToCp1252(std::string_view text);
// The first character of UTF-8 text that Windows-1252 cannot hold, named for a message ("'Ω' (U+03A9)",
// a malformed byte as "0xFF (not UTF-8)"); empty when every character can be stored.
std::optional<std::string> FirstUnencodable(std::string_view utf8);

// The encodings an exchange text file can be written in: Windows-1252 (the default, which stored files
// and the predecessor rely on) or UTF-8 with a byte order mark, which spreadsheets recognise.
enum class TTextEncoding { Windows1252, Utf8 };
std::string EncodeExchangeText(std::string_view cp1252, TTextEncoding encoding);
// Exchange text as the program keeps it (Windows-1252): text with a UTF-8 byte order mark, or text that
// is valid UTF-8 and holds other than ASCII characters, is converted; anything else is taken as it is.
// Sets `converted` when it was.
std::string_view ExchangeTextAsCp1252(std::string_view bytes, std::string& converted);
