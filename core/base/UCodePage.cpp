// Windows-1252 <-> UTF-8.
#include "UCodePage.h"

#include <cstdint>
#include <cstdio>

namespace {
// Code points of bytes 0x80..0x9F; 0 marks the five bytes the code page leaves undefined.
constexpr char32_t High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                               0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}
} // namespace

std::string Cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        uint8_t b = static_cast<uint8_t>(ch);
        char32_t c = b;
        // Undefined bytes pass through as the C1 control of the same value, so nothing is lost.
        if (b >= 0x80 && b < 0xA0 && High[b - 0x80] != 0) c = High[b - 0x80];
        AppendUtf8(out, c);
    }
    return out;
}

std::string Utf8ToCp1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        uint8_t b = static_cast<uint8_t>(text[i]);
        char32_t c;
        size_t len;
        if (b < 0x80) {
            c = b;
            len = 1;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F;
            len = 2;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F;
            len = 3;
        } else if ((b & 0xF8) == 0xF0) {
            c = b & 0x07;
            len = 4;
        } else {
            out += '?';
            ++i;
            continue;
        }
        bool ok = i + len <= text.size();
        for (size_t k = 1; ok && k < len; ++k) {
            uint8_t cb = static_cast<uint8_t>(text[i + k]);
            if ((cb & 0xC0) != 0x80)
                ok = false;
            else
                c = (c << 6) | (cb & 0x3F);
        }
        if (!ok) {
            out += '?';
            ++i;
            continue;
        }
        i += len;
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF) || (c >= 0x80 && c < 0xA0 && High[c - 0x80] == 0)) {
            out += static_cast<char>(c);
            continue;
        }
        char mapped = '?';
        for (int k = 0; k < 32; ++k)
            if (High[k] == c && c != 0) mapped = static_cast<char>(0x80 + k);
        out += mapped;
    }
    return out;
}

namespace {
constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";

// Valid UTF-8 (shortest forms, no surrogates) holding at least one multi-byte character.
bool IsUtf8BeyondAscii(std::string_view s) {
    bool beyond = false;
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        size_t n = b >= 0xC2 && b <= 0xDF ? 1 : b >= 0xE0 && b <= 0xEF ? 2 : b >= 0xF0 && b <= 0xF4 ? 3 : 0;
        if (n == 0 || i + n >= s.size()) return false; // a lead byte that is none, or cut off
        const auto b1 = static_cast<unsigned char>(s[i + 1]);
        if ((b == 0xE0 && b1 < 0xA0) || (b == 0xED && b1 > 0x9F) || (b == 0xF0 && b1 < 0x90) ||
            (b == 0xF4 && b1 > 0x8F))
            return false;
        for (size_t k = 1; k <= n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        beyond = true;
        i += n + 1;
    }
    return beyond;
}
} // namespace

std::string EncodeExchangeText(std::string_view cp1252, TTextEncoding encoding) {
    if (encoding == TTextEncoding::Windows1252) return std::string(cp1252);
    return std::string(Utf8Mark) + Cp1252ToUtf8(cp1252);
}

std::string_view ExchangeTextAsCp1252(std::string_view bytes, std::string& converted) {
    const bool marked = bytes.substr(0, Utf8Mark.size()) == Utf8Mark;
    if (!marked && !IsUtf8BeyondAscii(bytes)) return bytes;
    converted = Utf8ToCp1252(marked ? bytes.substr(Utf8Mark.size()) : bytes);
    return converted;
}

std::optional<std::string> FirstUnencodable(std::string_view utf8) {
    char name[32];
    for (size_t i = 0; i < utf8.size();) {
        const uint8_t b = static_cast<uint8_t>(utf8[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        const size_t len = (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 1;
        const std::string_view piece = utf8.substr(i, len);
        bool valid = len > 1 && piece.size() == len;
        char32_t c = b & (len == 2 ? 0x1F : len == 3 ? 0x0F : 0x07);
        for (size_t k = 1; valid && k < len; ++k) {
            valid = (static_cast<uint8_t>(piece[k]) & 0xC0) == 0x80;
            c = (c << 6) | (static_cast<uint8_t>(piece[k]) & 0x3F);
        }
        if (!valid) {
            std::snprintf(name, sizeof name, "0x%02X (not UTF-8)", b);
            return std::string(name);
        }
        if (Utf8ToCp1252(piece) == "?") {
            std::snprintf(name, sizeof name, " (U+%04X)", static_cast<unsigned>(c));
            return "'" + std::string(piece) + "'" + name;
        }
        i += len;
    }
    return std::nullopt;
}
