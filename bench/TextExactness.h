// Random comparisons of the program's number, date and exchange-text routines with the former ones in
// ReferenceText.h: the exactness test runs them on a million values, bench_text --verify on ten million.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "ReferenceText.h"
#include "UImportText.h"
#include "URegional.h"
#include "UUtilitaires.h"

namespace exactness {

// The first difference found (empty when none) and how many cases were compared.
struct TOutcome {
    size_t compared = 0;
    std::string mismatch;
};

inline std::string Show(long double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.25Lg", v);
    return buf;
}

inline bool SameBits(long double a, long double b) {
    return std::memcmp(&a, &b, 10) == 0;
}

// ---------------------------------------------------------------- values

// Values of every kind the program formats: QC values (singles), statistics (long doubles), exact
// decimal ties, neighbours of ties and of powers of ten, huge, tiny and special values.
inline long double RandomValue(std::mt19937_64& g) {
    std::uniform_int_distribution<int> kind(0, 11);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto pow10 = [](int k) { return std::pow(10.0L, static_cast<long double>(k)); };
    const long double sign = g() & 1 ? -1.0L : 1.0L;
    switch (kind(g)) {
    case 0: { // any finite single
        uint32_t bits = static_cast<uint32_t>(g());
        float f;
        std::memcpy(&f, &bits, 4);
        return std::isfinite(f) ? f : 1.5f;
    }
    case 1: { // any long double of a broad range of magnitudes
        uint64_t m = g() | (uint64_t{1} << 63);
        int e = static_cast<int>(g() % 260) - 130 - 63;
        return sign * std::ldexp(static_cast<long double>(m), e);
    }
    case 2: { // a QC value: a single of a realistic size
        int k = static_cast<int>(g() % 10) - 4;
        return sign * static_cast<float>(unit(g) * 10 * pow10(k));
    }
    case 3: { // a mean or SD: a long double of a realistic size
        int k = static_cast<int>(g() % 10) - 4;
        return sign * static_cast<long double>(unit(g)) * 10 * pow10(k) * (1 + unit(g) * 1e-12L);
    }
    case 4: { // an exact decimal tie as a long double or a single: (n + 1/2) / 10^d
        int d = static_cast<int>(g() % 8);
        long double n = static_cast<long double>(g() % 100000);
        long double v = (n + 0.5L) / pow10(d);
        return sign * (g() & 1 ? v : static_cast<float>(v));
    }
    case 5: { // one step either side of a tie
        int d = static_cast<int>(g() % 8);
        long double v = (static_cast<long double>(g() % 100000) + 0.5L) / pow10(d);
        v = std::nextafter(v, g() & 1 ? 0.0L : LDBL_MAX);
        return sign * v;
    }
    case 6: { // at and around a power of ten, and nines rounding up to one
        int k = static_cast<int>(g() % 44) - 22;
        long double v = pow10(k);
        switch (g() % 4) {
        case 0:
            return sign * v;
        case 1:
            return sign * std::nextafter(v, 0.0L);
        case 2:
            return sign * std::nextafter(v, LDBL_MAX);
        default:
            return sign * v * (1 - pow10(-static_cast<int>(g() % 20) - 1) / 2);
        }
    }
    case 7: { // a decimal number n / 10^d as a single, as values read from text are
        int d = static_cast<int>(g() % 5);
        return sign * static_cast<float>(static_cast<long double>(g() % 10000000) / pow10(d));
    }
    case 8: { // huge or tiny
        int e = static_cast<int>(g() % 32000) - 16000;
        return sign * std::ldexp(1.0L + static_cast<long double>(unit(g)), e);
    }
    case 9: { // subnormal long doubles and singles
        return g() & 1 ? sign * std::ldexp(static_cast<long double>(g() % 1000 + 1), -16445)
                       : sign * std::ldexp(static_cast<float>(g() % 1000 + 1), -149);
    }
    case 10: { // an integer
        return sign * static_cast<long double>(g() % 100000000000ULL);
    }
    default: {
        const long double special[] = {0.0L,        -0.0L, LDBL_MAX, LDBL_MIN, FLT_MAX, FLT_MIN,
                                       1e-20L,      1e19L, 0.5L,     0.05L,    0.005L,  9.9999999e7L,
                                       99999999.5L, 0.95L, 9.5L,     2.5L};
        return special[g() % (sizeof special / sizeof special[0])];
    }
    }
}

inline TOutcome CheckFormatFixed(size_t count, uint64_t seed) {
    std::mt19937_64 g(seed);
    TOutcome out;
    for (size_t i = 0; i < count; ++i) {
        long double v = RandomValue(g);
        static const int usual[] = {5, 6, 8, 8};
        int precision = g() % 4 == 0 ? static_cast<int>(g() % 26) - 1 : usual[g() % 4];
        int decimals = g() % 4 == 0 ? static_cast<int>(g() % 30) - 1 : static_cast<int>(g() % 7);
        char separator = g() & 1 ? '.' : ',';
        std::string fast = FormatFixed(v, precision, decimals, separator);
        std::string ref = reference::FormatFixed(v, precision, decimals, separator);
        ++out.compared;
        if (fast != ref) {
            out.mismatch = "FormatFixed(" + Show(v) + ", " + std::to_string(precision) + ", " +
                           std::to_string(decimals) + ") gives " + fast + ", formerly " + ref;
            return out;
        }
    }
    return out;
}

// ---------------------------------------------------------------- dates and times

// Patterns of real locales, and random ones made of pattern letters, quotes and separators.
inline std::string RandomPattern(std::mt19937_64& g, bool time) {
    static const char* dates[] = {"dd/MM/yyyy", "d/M/yyyy", "M/d/yy",   "dd.MM.yyyy", "yyyy-MM-dd",
                                  "d.M.yy",     "dd-MM-yy", "yyyy/M/d", "d MMM yyyy", "'Day' d 'of' M, yy"};
    static const char* times[] = {"HH:mm:ss", "H:mm:ss", "h:mm:ss AP", "hh:mm ap",
                                  "HH'h'mm",  "H.mm",    "h:mm Ap"};
    if (g() % 3 != 0) return time ? times[g() % 7] : dates[g() % 10];
    static const char alphabet[] = "dMyHhmsAaPp'/.: -x";
    std::string p;
    size_t n = g() % 14;
    for (size_t i = 0; i < n; ++i) p += alphabet[g() % (sizeof alphabet - 1)];
    return p;
}

inline TDateTime RandomDateTime(std::mt19937_64& g) {
    // Days from before year 1 to after 9999; times of whole seconds, of milliseconds, of any fraction
    // and a hair before midnight.
    double day = static_cast<double>(static_cast<int64_t>(g() % 3700000) - 700000);
    double time = 0;
    switch (g() % 4) {
    case 0:
        time = EncodeTime(static_cast<int>(g() % 24), static_cast<int>(g() % 60), static_cast<int>(g() % 60));
        break;
    case 1:
        time = static_cast<double>(g() % 86400000) / 86400000.0;
        break;
    case 2:
        time = std::uniform_real_distribution<double>(0, 1)(g);
        break;
    default:
        time = std::nextafter(1.0, 0.0) - static_cast<double>(g() % 1000) * 1e-12;
        break;
    }
    return ComposeDateTime(day, time);
}

inline TOutcome CheckDates(size_t count, uint64_t seed) {
    std::mt19937_64 g(seed);
    TOutcome out;
    TRegional r;
    for (size_t i = 0; i < count; ++i) {
        // A new pattern now and then, assigned directly as the program does.
        if (i % 64 == 0) r.ShortDateFormat = RandomPattern(g, false);
        if (i % 64 == 32) r.TimeFormat = RandomPattern(g, true);
        TDateTime dt = RandomDateTime(g);
        ++out.compared;
        const TDateParts d = DecodeDate(dt), dRef = reference::DecodeDate(dt);
        const TTimeParts t = DecodeTime(dt), tRef = reference::DecodeTime(dt);
        if (d.Year != dRef.Year || d.Month != dRef.Month || d.Day != dRef.Day || t.Hour != tRef.Hour ||
            t.Minute != tRef.Minute || t.Second != tRef.Second || t.Millisecond != tRef.Millisecond) {
            out.mismatch = "DecodeDate or DecodeTime(" + Show(dt) + ") differ";
            return out;
        }
        std::string fast = r.DateToText(dt), ref = reference::DateToText(r, dt);
        if (fast != ref) {
            out.mismatch = "DateToText(" + Show(dt) + ") with '" + r.ShortDateFormat + "' gives '" + fast +
                           "', formerly '" + ref + "'";
            return out;
        }
        fast = r.TimeToText(dt), ref = reference::TimeToText(r, dt);
        if (fast != ref) {
            out.mismatch = "TimeToText(" + Show(dt) + ") with '" + r.TimeFormat + "' gives '" + fast +
                           "', formerly '" + ref + "'";
            return out;
        }
    }
    return out;
}

// ---------------------------------------------------------------- numbers read

inline std::string RandomDigits(std::mt19937_64& g, size_t most) {
    std::string s;
    size_t n = g() % (most + 1);
    int zeros = g() % 3 == 0 ? static_cast<int>(g() % 25) : 0; // leading zeros or long tails
    for (int i = 0; i < zeros; ++i) s += '0';
    for (size_t i = 0; i < n; ++i) s += static_cast<char>('0' + g() % 10);
    if (g() % 4 == 0) s.append(g() % 25, '0');
    return s;
}

// Texts of numbers (and near-numbers) with exponents within the range the former reader handled.
inline std::string RandomNumberText(std::mt19937_64& g, char separator) {
    std::string s;
    if (g() % 3 == 0) s += g() & 1 ? '-' : '+';
    s += RandomDigits(g, g() % 4 == 0 ? 30 : 8);
    if (g() % 2 == 0) s += separator + RandomDigits(g, g() % 4 == 0 ? 30 : 8);
    if (g() % 4 == 0) {
        s += g() & 1 ? 'e' : 'E';
        if (g() & 1) s += g() & 1 ? '-' : '+';
        int e = static_cast<int>(g() % (g() % 3 == 0 ? 11000 : 60));
        s += g() % 10 == 0 ? std::string() : std::to_string(e);
    }
    if (g() % 20 == 0) s.insert(g() % (s.size() + 1), 1, "x.,e -"[g() % 6]);
    return s;
}

// An exponent beyond +-99999 is refused now; the former reader overflowed on the largest ones, so it
// is not asked.
inline bool HugeExponent(std::string text) {
    text = std::string(reference::TrimSpaces(text));
    size_t e = text.find_first_of("eE");
    if (e == std::string::npos) return false;
    size_t d = text.find_first_not_of("+-", e + 1);
    size_t nonZero = text.find_first_not_of('0', d);
    return nonZero != std::string::npos && text.size() - nonZero > 5 &&
           text.find_first_not_of("0123456789", nonZero) == std::string::npos;
}

inline TOutcome CheckParseDecimal(size_t count, uint64_t seed) {
    std::mt19937_64 g(seed);
    TOutcome out;
    for (size_t i = 0; i < count; ++i) {
        char separator = g() & 1 ? '.' : ',';
        std::string text = RandomNumberText(g, separator);
        long double fast = -7, ref = -7;
        bool okFast = ParseDecimal(text, separator, fast);
        bool okRef = !HugeExponent(text) && reference::ParseDecimal(text, separator, ref);
        ++out.compared;
        if (okFast != okRef || (okFast && !SameBits(fast, ref))) {
            out.mismatch = "ParseDecimal(\"" + text + "\") gives " + (okFast ? Show(fast) : "false") +
                           ", formerly " + (okRef ? Show(ref) : "false");
            return out;
        }
    }
    return out;
}

// ---------------------------------------------------------------- exchange text

// Random exchange texts in the regional formats: dates good and bad, times, values, words, empty and
// extra fields, every kind of line end and now and then a zero byte. Only what both parsers read alike
// is made: no ISO dates under another pattern and no values with the other decimal mark.
inline std::string RandomExchangeText(std::mt19937_64& g, const TRegional& r) {
    static const char* words[] = {"", " ", "Discarded", "AB", "x", "nan", "inf", "12:00", "Date", "QC1"};
    const char other = r.DecimalSeparator == '.' ? ',' : '.';
    std::string text;
    size_t lines = g() % 30;
    for (size_t l = 0; l < lines; ++l) {
        size_t fields = g() % 9;
        for (size_t f = 0; f < fields; ++f) {
            std::string field;
            if (f == 0 && g() % 5 != 0) {
                field = reference::DateToText(r, RandomDateTime(g));
                if (!field.empty() && g() % 6 == 0)
                    field[g() % field.size()] = static_cast<char>('0' + g() % 10);
                if (!r.TextToDate(field) && IsoTextToDate(field)) field = "x";
            } else if (f == 1 && g() % 4 != 0) {
                field = reference::TimeToText(r, RandomDateTime(g));
            } else if (f >= 2 && g() % 3 != 0) {
                do field = RandomNumberText(g, r.DecimalSeparator);
                while (HugeExponent(field));
            } else {
                field = words[g() % 10];
            }
            if (g() % 8 == 0) field = " " + field + " ";
            text += field;
            if (f + 1 < fields) text += '\t';
        }
        switch (g() % 6) {
        case 0:
            text += "\r\n";
            break;
        case 1:
            text += "\r";
            break;
        case 2:
            text += "\n";
            break;
        case 3:
            text += "\r\n\n";
            break;
        default:
            text += "\r\n";
            break;
        }
    }
    if (g() % 10 == 0) text.insert(g() % (text.size() + 1), 1, '\0');
    if (g() % 5 == 0) text += "01/01/2020\t10:00\t5"; // no line end
    // The other decimal mark nowhere, not even in a date or time that a line feed brings among values.
    for (char& c : text)
        if (c == other) c = ';';
    return text;
}

inline TOutcome CheckImportText(size_t count, uint64_t seed) {
    std::mt19937_64 g(seed);
    TOutcome out;
    const TRegional saved = Regional;
    for (size_t i = 0; i < count; ++i) {
        Regional = TRegional{RandomPattern(g, false), RandomPattern(g, true), g() & 1 ? '.' : ','};
        if (g() % 2 == 0) Regional.ShortDateFormat = "dd/MM/yyyy";
        const std::string text = RandomExchangeText(g, Regional);
        const int decimals = static_cast<int>(g() % 5);
        TImportText fast = ParseImportText(text, decimals);
        // Dates in two orders of day and month refuse the whole text, which the former reader did not.
        if (fast.Refused) continue;
        reference::ImportText ref = reference::ParseImportText(text, decimals);
        ++out.compared;
        std::string what;
        if (fast.Runs.size() != ref.Runs.size())
            what = std::to_string(fast.Runs.size()) + " runs, formerly " + std::to_string(ref.Runs.size());
        for (size_t k = 0; what.empty() && k < ref.Runs.size(); ++k) {
            const TResu &a = fast.Runs[k], &b = ref.Runs[k];
            bool same =
                std::memcmp(&a.DateTime, &b.DateTime, sizeof a.DateTime) == 0 && a.AnalyteName.empty();
            for (int i = 0; i < MaxLevels; ++i)
                same = same && a.Levels[i].State == b.Levels[i].State &&
                       std::memcmp(&a.Levels[i].Value, &b.Levels[i].Value, sizeof(float)) == 0;
            if (!same)
                what = "run " + std::to_string(k) + " differs";
            else if (fast.Line(k) != ref.Lines[k])
                what = "line " + std::to_string(k) + " is '" + fast.Line(k) + "', formerly '" + ref.Lines[k] +
                       "'";
        }
        if (!what.empty()) {
            out.mismatch = what + " in text with '" + Regional.ShortDateFormat + "', '" +
                           Regional.TimeFormat + "', '" + Regional.DecimalSeparator + "':\n" + text;
            break;
        }
    }
    Regional = saved;
    return out;
}

} // namespace exactness
