// Common operations shared by every part of the program.
#include "UUtilitaires.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>

#include "UQcError.h"
#include "UTexts.h"

// ---------------------------------------------------------------- TListIDString

int32_t TListIDString::AddText(const std::string& text) {
    int32_t id = nextId_++;
    items_.push_back({id, text});
    return id;
}

int TListIDString::FindIndex(int32_t key) const {
    if (items_.empty()) return -1;
    int low = 0, high = static_cast<int>(items_.size()) - 1, mid = 0;
    while (low <= high) {
        mid = (low + high) / 2;
        int32_t id = items_[static_cast<size_t>(mid)].Id;
        if (id >= key) high = mid - 1;
        if (id <= key) low = mid + 1;
    }
    return low - high > 1 ? mid : -1;
}

std::string TListIDString::TextOf(int32_t id) const {
    if (id == -1) return {};
    int i = FindIndex(id);
    return i < 0 ? std::string() : items_[static_cast<size_t>(i)].Text;
}

void TListIDString::SaveToFile(TByteWriter& w) const {
    w.I32(static_cast<int32_t>(items_.size()));
    for (const Entry& e : items_) {
        w.I32(e.Id);
        w.LongText(e.Text);
    }
}

void TListIDString::LoadFromFile(TByteReader& r) {
    size_t count = r.Count(8); // an entry takes at least its identifier and its length
    for (size_t i = 0; i < count; ++i) {
        int32_t id = r.I32();
        // Lookups search the identifiers in ascending order, and the next one must stay representable.
        if (id == INT32_MAX || (!items_.empty() && id <= items_.back().Id))
            throw EQcError(QT_TRANSLATE_NOOP("Core", "Damaged comment list: identifiers out of order"));
        items_.push_back({id, r.LongText()});
    }
    if (count > 0) nextId_ = items_.back().Id + 1;
}

// ---------------------------------------------------------------- texts

std::string Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return std::string(s.substr(b, e - b));
}

std::string BlankControlChars(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return out;
}

std::string UtcTimeText() {
    std::time_t t = std::time(nullptr);
    std::tm u{};
    gmtime_r(&t, &u);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &u);
    return text;
}

std::string UpperCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// ---------------------------------------------------------------- entry checks

int CheckIntegerText(std::string& text, int min, int max) {
    std::string t = Trim(text);
    long long v = 0;
    size_t i = 0;
    bool neg = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) neg = t[i++] == '-';
    bool ok = i < t.size() && t.size() - i <= 10;
    for (size_t k = i; ok && k < t.size(); ++k) {
        if (t[k] < '0' || t[k] > '9')
            ok = false;
        else
            v = v * 10 + (t[k] - '0');
    }
    if (neg) v = -v;
    if (!ok || v > INT32_MAX || v < INT32_MIN)
        throw EConvertError(Fill(QT_TRANSLATE_NOOP("Core", "'%1' is not a valid integer value"), t));
    if (v > max)
        throw EConvertError(Fill(QT_TRANSLATE_NOOP("Core", "%1 is too high\n\rMaximum allowed = %2"), t,
                                 std::to_string(max)));
    if (v < min)
        throw EConvertError(
            Fill(QT_TRANSLATE_NOOP("Core", "%1 is too low\n\rMinimum allowed = %2"), t, std::to_string(min)));
    text = t;
    return static_cast<int>(v);
}

namespace {
// Powers of ten up to 10^27, the largest whose significand fits the 64 bits of a long double.
constexpr long double ExactPow10[28] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,
                                        1e10L, 1e11L, 1e12L, 1e13L, 1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L,
                                        1e20L, 1e21L, 1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L};
constexpr int MaxExponent = 99999;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

bool ParseDecimal(std::string_view text, char separator, long double& value) {
    const size_t n = text.size();
    size_t i = 0;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long intDigits = 0, fracDigits = 0, firstNonZero = -1, lastNonZero = -1;
    const size_t intStart = i;
    while (i < n && IsDigit(text[i])) ++i;
    intDigits = static_cast<long long>(i - intStart);
    size_t fracStart = i;
    if (i < n && text[i] == separator) {
        fracStart = ++i;
        while (i < n && IsDigit(text[i])) ++i;
        fracDigits = static_cast<long long>(i - fracStart);
    }
    if (intDigits + fracDigits == 0) return false;
    long long exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool expNegative = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) expNegative = text[i++] == '-';
        const size_t expStart = i;
        bool huge = false;
        for (; i < n && IsDigit(text[i]); ++i) {
            exponent = exponent * 10 + (text[i] - '0');
            if (exponent > MaxExponent) huge = true, exponent = MaxExponent;
        }
        if (i == expStart) return false;
        // Refused rather than taken: no value of the program comes near, and their order cannot be
        // computed safely.
        if (huge) return false;
        if (expNegative) exponent = -exponent;
    }
    if (i != n) return false;

    for (long long k = 0; k < intDigits + fracDigits; ++k) {
        char c = k < intDigits ? text[intStart + static_cast<size_t>(k)]
                               : text[fracStart + static_cast<size_t>(k - intDigits)];
        if (c != '0') {
            if (firstNonZero < 0) firstNonZero = k;
            lastNonZero = k;
        }
    }
    if (firstNonZero < 0) {
        value = negative ? -0.0L : 0.0L;
        return true;
    }
    // The digits from the first nonzero to the last nonzero one, times 10^scale.
    long long scale = exponent + (intDigits - 1 - lastNonZero);
    if (lastNonZero - firstNonZero < 19 && scale >= -27 && scale <= 27) {
        uint64_t mantissa = 0;
        for (long long k = firstNonZero; k <= lastNonZero; ++k) {
            char c = k < intDigits ? text[intStart + static_cast<size_t>(k)]
                                   : text[fracStart + static_cast<size_t>(k - intDigits)];
            mantissa = mantissa * 10 + static_cast<uint64_t>(c - '0');
        }
        // Both factors are exact, so the one rounding of the product or quotient is the correctly
        // rounded value, as the general reader gives.
        long double v = static_cast<long double>(mantissa);
        v = scale >= 0 ? v * ExactPow10[scale] : v / ExactPow10[-scale];
        value = negative ? -v : v;
        return true;
    }

    // The general reader, on the text rewritten with a point.
    std::string s;
    s.reserve(n + 8);
    if (negative) s += '-';
    s.append(text.substr(intStart, static_cast<size_t>(intDigits)));
    s += '.';
    s.append(text.substr(fracStart, static_cast<size_t>(fracDigits)));
    s += 'e';
    s += std::to_string(exponent);
    long double v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (end != s.data() + s.size()) return false;
    if (ec == std::errc::result_out_of_range) {
        // Underflow reads as zero; overflow is refused. Out of range, the magnitude's order tells which.
        long long order = exponent + (firstNonZero < intDigits ? intDigits - firstNonZero
                                                               : -(firstNonZero - intDigits + 1));
        if (order > 0) return false;
        v = 0;
    } else if (ec != std::errc()) {
        return false;
    }
    if (!std::isfinite(v)) return false;
    value = v;
    return true;
}

namespace {
std::string ReplaceDecimalMarks(std::string t) {
    char sep = Regional.DecimalSeparator;
    for (char& c : t) {
        if (sep == '.' && c == ',')
            c = '.';
        else if (sep != '.' && c == '.')
            c = sep;
    }
    return t;
}
} // namespace

bool InValueRange(long double v) {
    return std::fabs(v) <= FLT_MAX; // false for nan
}

LevelValue ReadValueText(const std::string& text) {
    std::string t = Trim(text);
    if (t.empty()) return {0, psEmpty};
    t = ReplaceDecimalMarks(t);
    long double v = 0;
    if (!ParseDecimal(t, Regional.DecimalSeparator, v) || !InValueRange(v))
        throw EConvertError(QT_TRANSLATE_NOOP("Core", "Incorrect floating number"));
    return {static_cast<float>(v), psInControl};
}

long double ReadRealText(std::string& text, bool nonNegative) {
    std::string t = ReplaceDecimalMarks(Trim(text));
    long double v = 0;
    if (!ParseDecimal(t, Regional.DecimalSeparator, v) || !InValueRange(v))
        throw EConvertError(Fill(QT_TRANSLATE_NOOP("Core", "'%1' is not a valid floating point value"), t));
    if (nonNegative && v < 0)
        throw EConvertError(Fill(QT_TRANSLATE_NOOP("Core", "%1 is a negative value (not allowed)"), t));
    text = t;
    return v;
}

// ---------------------------------------------------------------- random draws

namespace {
std::mt19937_64& Engine() {
    static std::mt19937_64 engine(5489u);
    return engine;
}
} // namespace

void Randomize() {
    auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    Engine().seed(static_cast<uint64_t>(ticks));
}

void RandomSeed(uint64_t seed) {
    Engine().seed(seed);
}

double RandomUniform() {
    return std::generate_canonical<double, 53>(Engine());
}

long double RandomNormal(long double mean, long double sd) {
    double u1;
    do u1 = RandomUniform();
    while (u1 == 0.0);
    double u2 = RandomUniform();
    constexpr long double twoPi = 6.283185307179586476925286766559L;
    return mean + sd * std::sqrt(-2.0L * std::log(static_cast<long double>(u1))) * std::sin(twoPi * u2);
}

void SplitTabs(std::string_view line, std::vector<std::string>& pieces) {
    size_t start = 0;
    for (;;) {
        size_t tab = line.find('\t', start);
        if (tab == std::string_view::npos) {
            pieces.emplace_back(line.substr(start));
            return;
        }
        pieces.emplace_back(line.substr(start, tab - start));
        start = tab + 1;
    }
}

std::vector<std::string> SplitQuoted(std::string_view line, char sep, bool& unclosed) {
    std::vector<std::string> fields;
    unclosed = false;
    size_t i = 0, n = line.size();
    while (true) {
        std::string cur;
        if (i < n && line[i] == '"') {
            ++i;
            while (true) {
                if (i >= n) {
                    unclosed = true;
                    break;
                }
                if (line[i] == '"') {
                    if (i + 1 < n && line[i + 1] == '"') {
                        cur += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                cur += line[i++];
            }
            while (i < n && line[i] != sep) cur += line[i++]; // text after the closing quote
        } else {
            size_t j = std::min(line.find(sep, i), n);
            cur = std::string(line.substr(i, j - i));
            i = j;
        }
        fields.push_back(std::move(cur));
        if (i >= n) break;
        ++i; // the separator
        if (i == n) {
            fields.emplace_back();
            break;
        }
    }
    return fields;
}

std::string FormatStoredValue(float value, int decimals) {
    // The shortest fixed text that reads back to the same single tells the digits it holds.
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    const std::string_view shortest(buf, r.ec == std::errc() ? static_cast<size_t>(r.ptr - buf) : 0);
    const size_t point = shortest.find('.');
    const int held = point == std::string_view::npos ? 0 : static_cast<int>(shortest.size() - point - 1);
    int significant = 0;
    bool leading = true;
    for (char c : shortest) {
        if (c < '0' || c > '9' || (leading && c == '0')) continue;
        leading = false;
        ++significant;
    }
    return FormatFixed(value, std::max(8, significant), std::max(decimals, held));
}

// ---------------------------------------------------------------- Student's t

namespace {
// Rows: p 0.975, 0.99, 0.995, 0.9975, 0.999; columns: df 1..30, 40, 60, 120, infinity.
constexpr long double TTable[TTableRows][TTableColumns] = {
    {12.706L, 4.3027L, 3.1825L, 2.7764L, 2.5706L, 2.4469L, 2.3646L, 2.306L,  2.2622L,
     2.2281L, 2.201L,  2.1788L, 2.1604L, 2.1448L, 2.1314L, 2.1199L, 2.1098L, 2.1009L,
     2.093L,  2.086L,  2.0796L, 2.0739L, 2.0687L, 2.0639L, 2.0595L, 2.0555L, 2.0518L,
     2.0484L, 2.0452L, 2.0423L, 2.0211L, 2.0003L, 1.9799L, 1.96L},
    {31.821L, 6.9646L, 4.5407L, 3.7469L, 3.3649L, 3.1427L, 2.998L,  2.8965L, 2.8214L,
     2.7638L, 2.7181L, 2.681L,  2.6503L, 2.6245L, 2.6025L, 2.5835L, 2.5669L, 2.5524L,
     2.5395L, 2.528L,  2.5176L, 2.5083L, 2.4999L, 2.4922L, 2.4851L, 2.4786L, 2.4727L,
     2.4671L, 2.462L,  2.4573L, 2.4233L, 2.3901L, 2.3578L, 2.326L},
    {63.657L, 9.9248L, 5.8409L, 4.6041L, 4.0321L, 3.7074L, 3.4995L, 3.3554L, 3.2498L,
     3.1693L, 3.1058L, 3.0545L, 3.0123L, 2.9768L, 2.9467L, 2.9208L, 2.8982L, 2.8784L,
     2.8609L, 2.8453L, 2.8314L, 2.8188L, 2.8073L, 2.7969L, 2.7874L, 2.7787L, 2.7707L,
     2.7633L, 2.7564L, 2.75L,   2.7045L, 2.6603L, 2.6174L, 2.576L},
    {127.32L, 14.089L, 7.4533L, 5.5976L, 4.7733L, 4.3168L, 4.0293L, 3.8325L, 3.6897L,
     3.5814L, 3.4966L, 3.4284L, 3.3725L, 3.3257L, 3.286L,  3.252L,  3.2224L, 3.1966L,
     3.1737L, 3.1534L, 3.1352L, 3.1188L, 3.104L,  3.0905L, 3.0782L, 3.0669L, 3.0565L,
     3.0469L, 3.038L,  3.0298L, 2.9712L, 2.9146L, 2.8599L, 2.807L},
    {318.31L, 22.326L, 10.215L, 7.1732L, 5.8934L, 5.2076L, 4.7853L, 4.5008L, 4.2968L,
     4.1437L, 4.0247L, 3.9296L, 3.852L,  3.7874L, 3.7328L, 3.6862L, 3.6458L, 3.6105L,
     3.5794L, 3.5518L, 3.5272L, 3.505L,  3.485L,  3.4668L, 3.4502L, 3.435L,  3.421L,
     3.4082L, 3.3962L, 3.385L,  3.3069L, 3.2317L, 3.1595L, 3.09L},
};
} // namespace

long double TTableEntry(int row, int column) {
    return TTable[row][column];
}

int TTableDegrees(int column) {
    if (column < 30) return column + 1;
    constexpr int tail[] = {40, 60, 120, 0};
    return tail[column - 30];
}

long double TQuantile(int row, int df) {
    if (row < 0) row = 0;
    if (row >= TTableRows) row = TTableRows - 1;
    const long double* t = TTable[row];
    if (df < 1) df = 1;
    const long double t30 = t[29], t40 = t[30], t60 = t[31], t120 = t[32], tInf = t[33];
    if (df < 30) return t[df - 1];
    if (df < 40) return t30 - (t30 - t40) / 10 * (df - 30);
    if (df < 60) return t40 - (t40 - t60) / 20 * (df - 40);
    if (df < 120) return t60 - (t60 - t120) / 60 * (df - 60);
    return t120 - (t120 - tInf) * (df - 120) / df;
}

// ---------------------------------------------------------------- number texts

namespace {
// Decimal digits of |v| rounded half away from zero to `keep` significant digits, with the exponent
// of the first digit. keep <= 0 rounds to a power of ten or to zero (empty digits). This general path
// works on the value's first 61 significant digits; it serves the values the exact integer path below
// does not cover.
struct Decimal {
    std::string digits;
    int exponent = 0;
};

Decimal ExactDigits(long double v) {
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

Decimal RoundDigits(const Decimal& in, int keep) {
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

std::string FormatGeneral(long double value, int precision, int decimals, char separator) {
    bool negative = value < 0;
    Decimal exact = ExactDigits(value);
    Decimal byPrecision = RoundDigits(exact, precision);
    std::string sign = negative ? "-" : "";
    if (byPrecision.exponent + 1 > precision) {
        // Integer part too long for the precision: scientific notation.
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
    // Digit at power k of ten.
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

// The exact integer path. A long double is m * 2^e with a 64-bit m; scaled by a power of ten it stays
// an exact 128-bit fraction, so the digits kept and the rounding of the rest are exact. The general
// path rounds the value's 61-digit image instead; the two agree whenever the fraction's denominator is
// below 10^41 (an exact fraction that close to a half cannot come within 10^-61 of it without being
// it), which the ranges below guarantee.
using u128 = unsigned __int128;
static_assert(LDBL_MANT_DIG == 64 && LDBL_MAX_EXP == 16384, "x87 extended long double expected");

constexpr uint64_t Pow10[20] = {1ULL,
                                10ULL,
                                100ULL,
                                1000ULL,
                                10000ULL,
                                100000ULL,
                                1000000ULL,
                                10000000ULL,
                                100000000ULL,
                                1000000000ULL,
                                10000000000ULL,
                                100000000000ULL,
                                1000000000000ULL,
                                10000000000000ULL,
                                100000000000000ULL,
                                1000000000000000ULL,
                                10000000000000000ULL,
                                100000000000000000ULL,
                                1000000000000000000ULL,
                                10000000000000000000ULL};

// |v| as m * 2^e with the top bit of m set; false for zero, subnormals and non-finite values.
bool Decompose(long double v, uint64_t& m, int& e) {
    unsigned char bytes[sizeof(long double)];
    std::memcpy(bytes, &v, sizeof v);
    uint16_t signExp = 0;
    std::memcpy(&m, bytes, 8);
    std::memcpy(&signExp, bytes + 8, 2);
    int biased = signExp & 0x7FFF;
    if (biased == 0 || biased == 0x7FFF || !(m >> 63)) return false;
    e = biased - 16383 - 63;
    return true;
}

// m * 2^-s >= 10^j, for 4 <= s <= 113 and -19 <= j <= 18.
bool AtLeastPow10(uint64_t m, int s, int j) {
    if (j >= 0) return s < 64 && u128{m} >= (u128{Pow10[j]} << s);
    return u128{m} * Pow10[-j] >= (u128{1} << s);
}

// q = floor(m * 2^-s * 10^k) and whether the rest is at least one half; false when out of range.
bool ScaleRound(uint64_t m, int s, int k, uint64_t& q, bool& up) {
    if (k >= 0) {
        if (k > 19) return false;
        u128 n = u128{m} * Pow10[k];
        u128 rest = n & ((u128{1} << s) - 1);
        u128 quotient = n >> s;
        if (quotient >> 64) return false;
        q = static_cast<uint64_t>(quotient);
        up = rest >> (s - 1) != 0;
        return true;
    }
    if (-k > 19 || s > 63) return false;
    u128 d = u128{Pow10[-k]} << s;
    q = static_cast<uint64_t>(u128{m} / d);
    up = 2 * (u128{m} % d) >= d;
    return true;
}

size_t PutDigits(char* p, uint64_t v) {
    return static_cast<size_t>(std::to_chars(p, p + 20, v).ptr - p);
}

// The text of a nonzero finite value, or false to leave it to the general path.
bool FormatExact(long double value, int precision, int decimals, char separator, std::string& out) {
    uint64_t m = 0;
    int e = 0;
    if (!Decompose(value, m, e)) return false;
    const int b = e + 63; // 2^b <= |value| < 2^(b+1)
    if (b < -50 || b > 59 || decimals > 64) return false;
    const int s = -e;
    int E = (b * 78913) >> 18; // floor(b * log10(2)), the exponent of the first digit or one below it
    if (AtLeastPow10(m, s, E + 1)) ++E;
    const int keep = std::min(E + 1 + decimals, precision);
    if (keep > 19) return false;

    // The digits kept (q, `digits` of them) and the exponent of the first.
    uint64_t q = 0;
    int digits = 0, first = E;
    bool up = false;
    if (keep >= 1) {
        if (!ScaleRound(m, s, keep - 1 - E, q, up) || q < Pow10[keep - 1] || q >= Pow10[keep]) return false;
        q += up;
        digits = keep;
        if (q == Pow10[keep]) q = Pow10[keep - 1], ++first;
    } else if (keep == 0) {
        // Only the first digit decides: five or more rounds to the next power of ten.
        if (!ScaleRound(m, s, -E, q, up) || q < 1 || q > 9) return false;
        if (q >= 5) q = 1, digits = 1, first = E + 1;
    }

    char buf[128];
    char* p = buf;
    if (keep == precision && first + 1 > precision) {
        // Integer part too long for the precision: scientific notation.
        char d[20];
        PutDigits(d, q);
        if (value < 0) *p++ = '-';
        *p++ = d[0];
        if (precision > 1) {
            *p++ = separator;
            std::memcpy(p, d + 1, static_cast<size_t>(precision - 1));
            p += precision - 1;
        }
        *p++ = 'E';
        *p++ = first < 0 ? '-' : '+';
        int a = first < 0 ? -first : first;
        if (a < 10) *p++ = '0';
        p += PutDigits(p, static_cast<uint64_t>(a));
        out.assign(buf, p);
        return true;
    }
    // Fixed notation: the value times 10^decimals is q followed by `zeros` zeros, written with at least
    // decimals + 1 digits.
    const int zeros = digits == 0 ? 0 : first - digits + 1 + decimals;
    char d[20];
    const int n = digits == 0 ? 0 : static_cast<int>(PutDigits(d, q));
    const int total = std::max(n + zeros, decimals + 1);
    if (value < 0 && digits > 0) *p++ = '-';
    int written = 0;
    auto put = [&](char c) {
        if (written == total - decimals) *p++ = separator;
        *p++ = c;
        ++written;
    };
    for (int i = n + zeros; i < total; ++i) put('0');
    for (int i = 0; i < n; ++i) put(d[i]);
    for (int i = 0; i < zeros; ++i) put('0');
    out.assign(buf, p);
    return true;
}
} // namespace

std::string FormatFixed(long double value, int precision, int decimals) {
    return FormatFixed(value, precision, decimals, Regional.DecimalSeparator);
}

std::string FormatFixed(long double value, int precision, int decimals, char separator) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (precision < 1) precision = 1;
    if (decimals < 0) decimals = 0;
    if (value == 0) {
        std::string s = "0";
        if (decimals > 0) s += separator + std::string(static_cast<size_t>(decimals), '0');
        return s;
    }
    std::string out;
    if (FormatExact(value, precision, decimals, separator, out)) return out;
    return FormatGeneral(value, precision, decimals, separator);
}

std::string Flatten(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\r' && s[i] != '\n') {
            out += s[i];
            continue;
        }
        while (i + 1 < s.size() && (s[i + 1] == '\r' || s[i + 1] == '\n')) ++i;
        while (!out.empty() && out.back() == ' ') out.pop_back();
        if (out.empty() || i + 1 >= s.size()) continue;
        out += std::string_view(".:;!?").find(out.back()) == std::string_view::npos ? ": " : " ";
    }
    return out;
}
