// The number, date and exchange-text routines as they were before their fast versions: the yardstick of
// the text benchmarks and the oracle of the exactness tests. Not part of the program.
#pragma once

#include <cfloat>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "URegional.h"
#include "UTypes.h"

namespace reference {

// ---------------------------------------------------------------- FormatFixed

struct Decimal {
    std::string digits;
    int exponent = 0;
};

inline Decimal ExactDigits(long double v) {
    char buf[128];
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, 60);
    std::string s(buf, res.ptr);
    size_t e = s.find('e');
    Decimal d;
    d.exponent = std::stoi(s.substr(e + 1));
    for (size_t i = 0; i < e; ++i)
        if (s[i] >= '0' && s[i] <= '9') d.digits += s[i];
    return d;
}

inline Decimal RoundDigits(const Decimal& in, int keep) {
    Decimal out;
    out.exponent = in.exponent;
    if (keep < 0) return {"", 0};
    if (keep == 0) {
        if (in.digits[0] >= '5') return {"1", in.exponent + 1};
        return {"", 0};
    }
    out.digits = in.digits.substr(0, static_cast<size_t>(keep));
    while (out.digits.size() < static_cast<size_t>(keep)) out.digits += '0';
    if (static_cast<size_t>(keep) < in.digits.size() && in.digits[static_cast<size_t>(keep)] >= '5') {
        int i = keep - 1;
        while (i >= 0 && out.digits[static_cast<size_t>(i)] == '9')
            out.digits[static_cast<size_t>(i--)] = '0';
        if (i < 0) {
            out.digits.insert(out.digits.begin(), '1');
            out.digits.pop_back();
            ++out.exponent;
        } else {
            ++out.digits[static_cast<size_t>(i)];
        }
    }
    return out;
}

inline std::string FormatFixed(long double value, int precision, int decimals, char separator) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (precision < 1) precision = 1;
    if (decimals < 0) decimals = 0;
    bool negative = value < 0;
    if (value == 0) {
        std::string s = "0";
        if (decimals > 0) s += separator + std::string(static_cast<size_t>(decimals), '0');
        return s;
    }
    Decimal exact = ExactDigits(value);
    Decimal byPrecision = RoundDigits(exact, precision);
    std::string sign = negative ? "-" : "";
    if (byPrecision.exponent + 1 > precision) {
        std::string s = sign + byPrecision.digits.substr(0, 1);
        if (precision > 1) s += separator + byPrecision.digits.substr(1);
        int e = byPrecision.exponent;
        std::string es = std::to_string(e < 0 ? -e : e);
        while (es.size() < 2) es = "0" + es;
        return s + "E" + (e < 0 ? "-" : "+") + es;
    }
    int keep = exact.exponent + 1 + decimals;
    Decimal r = keep < precision ? RoundDigits(exact, keep) : byPrecision;
    if (r.digits.empty()) r = {"0", 0};
    auto digitAt = [&](int k) -> char {
        int idx = r.exponent - k;
        return idx >= 0 && idx < static_cast<int>(r.digits.size()) ? r.digits[static_cast<size_t>(idx)] : '0';
    };
    std::string s;
    for (int k = r.exponent > 0 ? r.exponent : 0; k >= 0; --k) s += digitAt(k);
    if (decimals > 0) {
        s += separator;
        for (int k = -1; k >= -decimals; --k) s += digitAt(k);
    }
    bool allZero = s.find_first_not_of(std::string("0") + separator) == std::string::npos;
    return (allZero ? "" : sign) + s;
}

// ---------------------------------------------------------------- ParseDecimal
// Valid for exponents that fit a long long with room to spare (the fast version refuses the others).

inline bool ParseDecimal(std::string_view text, char separator, long double& value) {
    std::string s;
    size_t i = 0, digits = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) s += text[i++];
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') s += text[i++], ++digits;
    if (i < text.size() && text[i] == separator) {
        s += '.';
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') s += text[i++], ++digits;
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        s += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) s += text[i++];
        size_t expDigits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') s += text[i++], ++expDigits;
        if (expDigits == 0) return false;
    }
    if (i != text.size()) return false;
    const char* b = s.data();
    if (*b == '+') ++b;
    long double v = 0;
    auto [end, ec] = std::from_chars(b, s.data() + s.size(), v);
    if (end != s.data() + s.size()) return false;
    if (ec == std::errc::result_out_of_range) {
        size_t e = s.find('e');
        long long order = e == std::string::npos ? 0 : std::atoll(s.c_str() + e + 1);
        size_t m = s.find_first_of("123456789");
        size_t point = s.find('.');
        if (point == std::string::npos || point > e) point = e == std::string::npos ? s.size() : e;
        order += m < point ? static_cast<long long>(point - m) : -static_cast<long long>(m - point);
        if (order > 0) return false;
        v = 0;
    } else if (ec != std::errc()) {
        return false;
    }
    if (!std::isfinite(v)) return false;
    value = v;
    return true;
}

// ---------------------------------------------------------------- dates and times

struct Token {
    std::string text;
    bool literal;
};

inline std::vector<Token> Tokenize(const std::string& pattern) {
    std::vector<Token> out;
    for (size_t i = 0; i < pattern.size();) {
        char c = pattern[i];
        if (c == 'A' || c == 'a') {
            if (i + 1 < pattern.size() && (pattern[i + 1] == 'P' || pattern[i + 1] == 'p')) {
                out.push_back({pattern.substr(i, 2), false});
                i += 2;
                continue;
            }
        }
        if (c == 'd' || c == 'M' || c == 'y' || c == 'H' || c == 'h' || c == 'm' || c == 's') {
            size_t j = i;
            while (j < pattern.size() && pattern[j] == c) ++j;
            out.push_back({pattern.substr(i, j - i), false});
            i = j;
        } else if (c == '\'') {
            size_t j = pattern.find('\'', i + 1);
            if (j == std::string::npos) j = pattern.size();
            out.push_back({pattern.substr(i + 1, j - i - 1), true});
            i = j + 1;
        } else {
            out.push_back({std::string(1, c), true});
            ++i;
        }
    }
    return out;
}

inline std::string Pad(int v, int width) {
    std::string s = std::to_string(v);
    while (static_cast<int>(s.size()) < width) s = "0" + s;
    return s;
}

inline TDateParts DecodeDate(TDateTime dt) {
    using namespace std::chrono;
    constexpr sys_days epoch = sys_days{year{1899} / December / 30};
    double ms = std::round(std::fabs(dt - std::trunc(dt)) * 86400000.0);
    double days = std::trunc(dt);
    if (ms >= 86400000.0) days += 1;
    year_month_day ymd{epoch + sys_days::duration{static_cast<long>(days)}};
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

inline TTimeParts DecodeTime(TDateTime dt) {
    long long ms = std::llround(std::fabs(dt - std::trunc(dt)) * 86400000.0);
    if (ms >= 86400000LL) ms = 0;
    TTimeParts t;
    t.Millisecond = static_cast<int>(ms % 1000);
    ms /= 1000;
    t.Second = static_cast<int>(ms % 60);
    ms /= 60;
    t.Minute = static_cast<int>(ms % 60);
    t.Hour = static_cast<int>(ms / 60);
    return t;
}

inline std::string DateToText(const TRegional& r, TDateTime dt) {
    TDateParts p = DecodeDate(dt);
    std::string out;
    for (const Token& t : Tokenize(r.ShortDateFormat)) {
        if (t.literal) {
            out += t.text;
        } else if (t.text[0] == 'd') {
            out += t.text.size() >= 2 ? Pad(p.Day, 2) : std::to_string(p.Day);
        } else if (t.text[0] == 'M') {
            out += t.text.size() >= 2 ? Pad(p.Month, 2) : std::to_string(p.Month);
        } else if (t.text[0] == 'y') {
            out += Pad(p.Year, 4);
        } else {
            out += t.text;
        }
    }
    return out;
}

inline std::string TimeToText(const TRegional& r, TDateTime dt) {
    TTimeParts p = DecodeTime(dt);
    std::vector<Token> tokens = Tokenize(r.TimeFormat);
    bool twelve = false;
    for (const Token& t : tokens)
        if (!t.literal && (t.text == "AP" || t.text == "ap")) twelve = true;
    std::string out;
    for (const Token& t : tokens) {
        if (t.literal) {
            out += t.text;
            continue;
        }
        char c = t.text[0];
        bool two = t.text.size() >= 2;
        if (c == 'H' || c == 'h') {
            int h = p.Hour;
            if (twelve) h = h % 12 == 0 ? 12 : h % 12;
            out += two ? Pad(h, 2) : std::to_string(h);
        } else if (c == 'm') {
            out += two ? Pad(p.Minute, 2) : std::to_string(p.Minute);
        } else if (c == 's') {
            out += two ? Pad(p.Second, 2) : std::to_string(p.Second);
        } else if (t.text == "AP") {
            out += p.Hour < 12 ? "AM" : "PM";
        } else if (t.text == "ap") {
            out += p.Hour < 12 ? "am" : "pm";
        } else {
            out += t.text;
        }
    }
    return out;
}

// ---------------------------------------------------------------- exchange text

// The runs and preview lines as the parser made them, with the regional date and time readers of the
// program (which only differ from the former ones in the years they refuse) and the number reader above.
struct ImportText {
    std::vector<TResu> Runs;
    std::vector<std::string> Lines;
};

inline std::string_view TrimSpaces(std::string_view s) {
    size_t b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

inline ImportText ParseImportText(std::string_view text, int decimals) {
    ImportText out;
    size_t zero = text.find('\0');
    if (zero != std::string_view::npos) text = text.substr(0, zero);
    const char eol = text.find('\r') == std::string_view::npos ? '\n' : '\r';
    TResu work;
    int valueCount = 0;
    int fieldIndex = 0;
    std::string display;
    std::string fieldText;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = pos;
        while (end < text.size() && text[end] != '\t' && text[end] != eol) ++end;
        if (end == text.size()) break;
        std::string_view field = text.substr(pos, end - pos);
        char terminator = text[end];
        pos = end + 1;
        fieldText.clear();
        switch (fieldIndex) {
        case 0: {
            auto date = Regional.TextToDate(std::string(TrimSpaces(field)));
            if (!date) {
                if (terminator == '\t') {
                    size_t next = text.find(eol, pos);
                    if (next == std::string_view::npos) return out;
                    pos = next + 1;
                    terminator = eol;
                }
            } else {
                work.DateTime = *date;
                fieldText = DateToText(Regional, *date);
            }
            break;
        }
        case 1: {
            auto time = Regional.TextToTime(std::string(TrimSpaces(field)));
            if (time) {
                work.DateTime = ComposeDateTime(work.DateTime, *time);
                fieldText = TimeToText(Regional, work.DateTime);
            } else {
                work.DateTime = ComposeDateTime(work.DateTime, 0.5);
                fieldText = "12:00:00";
            }
            break;
        }
        case 2:
        case 3:
        case 4: {
            LevelValue& lv = work.Levels[static_cast<size_t>(fieldIndex - 2)];
            long double v = 0;
            // A value too small for a float is refused, not taken as zero.
            if (ParseDecimal(TrimSpaces(field), Regional.DecimalSeparator, v) && std::fabs(v) <= FLT_MAX &&
                (v == 0 || static_cast<float>(v) != 0)) {
                lv = {static_cast<float>(v), psInControl};
                ++valueCount;
                fieldText = FormatFixed(static_cast<float>(v), 8, decimals, Regional.DecimalSeparator);
            } else {
                lv = {0, psEmpty};
            }
            break;
        }
        default:
            break;
        }
        ++fieldIndex;
        if (terminator == '\t') {
            if (fieldIndex <= 5) {
                display += fieldText;
                display += '\t';
            }
            continue;
        }
        if (fieldIndex <= 5) {
            display += fieldText;
            for (int f = fieldIndex; f <= 4; ++f)
                if (f >= 2) work.Levels[static_cast<size_t>(f - 2)] = {0, psEmpty};
        }
        if (valueCount > 0) {
            out.Lines.push_back(display);
            out.Runs.push_back(work);
        }
        valueCount = 0;
        fieldIndex = 0;
        display.clear();
        if (eol == '\r')
            while (pos < text.size() && text[pos] == '\n') ++pos;
    }
    return out;
}

} // namespace reference
