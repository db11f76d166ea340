// Date-time arithmetic with <chrono> and the regional date and time texts.
#include "URegional.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <vector>

TRegional Regional;

namespace {
using namespace std::chrono;

constexpr sys_days Epoch = sys_days{year{1899} / December / 30};

// A date or time pattern cut into tokens: runs of one pattern letter, "AP"-like pairs and literals.
struct TPatternItem {
    char letter = 0;  // 0 for a literal, else the token's first character
    std::string text; // the literal, or the token as written
};

// A pattern whose every field has a fixed width (dd, MM, yyyy, HH, mm, ss, ...) and appears once,
// and whose text is short, the common case: the text is `text` with two digits written at each part's
// place. The parts of a date are the day, the month, the year's hundreds and its last two digits;
// those of a time the hour, the minute and the second.
struct TFixedForm {
    static constexpr size_t Longest = 15; // the longest text a string holds without allocating
    static constexpr uint8_t Absent = 0xFF;
    bool ok = false;
    uint8_t length = 0;
    char text[Longest] = {};
    uint8_t at[4] = {Absent, Absent, Absent, Absent};
};

struct TCompiledPattern {
    std::string source;
    bool valid = false;
    std::vector<TPatternItem> items;
    bool twelveHour = false; // an "AP" or "ap" token: hours are written 1 to 12
    size_t longestText = 0;  // an upper bound of the length of a text written with it
    TFixedForm date, time;   // its fixed form as a date pattern and as a time pattern
};

// The fixed form of the items when `fields` (the letters that are fields; the others are written as
// they stand) all have a fixed width.
TFixedForm CompileFixed(const std::vector<TPatternItem>& items, std::string_view fields) {
    TFixedForm f;
    std::string text;
    for (const TPatternItem& t : items) {
        if (t.letter == 0 || fields.find(t.letter) == std::string_view::npos) {
            text += t.text;
            continue;
        }
        if (t.letter != 'y' && (t.text.size() < 2 || t.letter == 'A' || t.letter == 'a')) return f;
        const int part = t.letter == 'M' || t.letter == 'm' ? 1 : t.letter == 's' || t.letter == 'y' ? 2 : 0;
        if (f.at[part] != TFixedForm::Absent) return f; // a field twice: the general writer
        f.at[part] = static_cast<uint8_t>(std::min<size_t>(text.size(), 0xF0));
        if (t.letter == 'y') f.at[3] = static_cast<uint8_t>(f.at[2] + 2);
        text.append(t.letter == 'y' ? 4 : 2, '0');
    }
    if (text.size() > TFixedForm::Longest) return f;
    std::copy(text.begin(), text.end(), f.text);
    f.length = static_cast<uint8_t>(text.size());
    f.ok = true;
    return f;
}

TCompiledPattern Compile(const std::string& pattern) {
    TCompiledPattern c;
    c.source = pattern;
    c.valid = true;
    auto add = [&](char letter, std::string text) {
        // A field writes at most 11 characters (a year as an int), a token copied as is its own length.
        c.longestText += std::max<size_t>(text.size(), 11);
        c.items.push_back({letter, std::move(text)});
    };
    for (size_t i = 0; i < pattern.size();) {
        char ch = pattern[i];
        if ((ch == 'A' || ch == 'a') && i + 1 < pattern.size() &&
            (pattern[i + 1] == 'P' || pattern[i + 1] == 'p')) {
            add(ch, pattern.substr(i, 2));
            c.twelveHour =
                c.twelveHour || pattern.compare(i, 2, "AP") == 0 || pattern.compare(i, 2, "ap") == 0;
            i += 2;
        } else if (ch == 'd' || ch == 'M' || ch == 'y' || ch == 'H' || ch == 'h' || ch == 'm' || ch == 's') {
            size_t j = i;
            while (j < pattern.size() && pattern[j] == ch) ++j;
            add(ch, pattern.substr(i, j - i));
            i = j;
        } else if (ch == '\'') {
            size_t j = pattern.find('\'', i + 1);
            if (j == std::string::npos) j = pattern.size();
            add(0, pattern.substr(i + 1, j - i - 1));
            i = j + 1;
        } else {
            add(0, std::string(1, ch));
            ++i;
        }
    }
    c.date = CompileFixed(c.items, "dMy");
    c.time = CompileFixed(c.items, "HhmsAa");
    return c;
}

// Equality of two texts, inline for those of 8 to 16 characters (every usual pattern): two words each.
inline bool SameText(const std::string& a, const std::string& b) {
    const size_t n = a.size();
    if (n != b.size()) return false;
    if (n < 8 || n > 16) return a == b;
    uint64_t a0, a1, b0, b1;
    std::memcpy(&a0, a.data(), 8);
    std::memcpy(&a1, a.data() + n - 8, 8);
    std::memcpy(&b0, b.data(), 8);
    std::memcpy(&b1, b.data() + n - 8, 8);
    return ((a0 ^ b0) | (a1 ^ b1)) == 0;
}

// The patterns compiled last, per thread. A pattern is looked up by its text, so a change of the
// settings' fields, however it is made, is seen at the next use.
class TPatternCache {
public:
    // The hit on the pattern used last is inline; the rest is not, so that it does not weigh on
    // every text written.
    const TCompiledPattern& Get(const std::string& pattern) {
        if (slots_[last_].valid && SameText(slots_[last_].source, pattern)) [[likely]]
            return slots_[last_];
        return Find(pattern);
    }

private:
    [[gnu::noinline]] const TCompiledPattern& Find(const std::string& pattern) {
        for (size_t i = 0; i < Slots; ++i) {
            if (slots_[i].valid && slots_[i].source == pattern) {
                last_ = i;
                return slots_[i];
            }
        }
        last_ = next_;
        next_ = (next_ + 1) % Slots;
        slots_[last_] = Compile(pattern);
        return slots_[last_];
    }

    static constexpr size_t Slots = 4;
    TCompiledPattern slots_[Slots];
    size_t last_ = 0, next_ = 0;
};

inline const TCompiledPattern& Compiled(const std::string& pattern) {
    thread_local TPatternCache cache;
    return cache.Get(pattern);
}

// Writes v with at least `width` digits, zeros in front (a minus sign counts as a digit).
char* PutPadded(char* p, int v, int width) {
    if (v >= 0 && v < 100 && width <= 2) {
        if (v >= 10 || width == 2) *p++ = static_cast<char>('0' + v / 10);
        *p++ = static_cast<char>('0' + v % 10);
        return p;
    }
    if (v >= 0 && v < 10000 && width == 4) {
        for (int k = 3; k >= 0; --k, v /= 10) p[k] = static_cast<char>('0' + v % 10);
        return p + 4;
    }
    char digits[12];
    char* end = std::to_chars(digits, digits + sizeof digits, v).ptr;
    for (long n = end - digits; n < width; ++n) *p++ = '0';
    for (char* d = digits; d < end; ++d) *p++ = *d;
    return p;
}

// The two digits of each number of 0 to 99.
constexpr auto DigitPairs = [] {
    std::array<char, 200> d{};
    for (int i = 0; i < 100; ++i) {
        d[2 * i] = static_cast<char>('0' + i / 10);
        d[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return d;
}();

// The text of a fixed pattern with the values of its parts (each 0 to 99). The digits go straight
// into the string: read back at once from a buffer, bytes written one by one stall the copy.
[[gnu::always_inline]] inline std::string WriteFixed(const TFixedForm& f, uint32_t p0, uint32_t p1,
                                                     uint32_t p2, uint32_t p3) {
    // A copy of constant length, then cut: a variable one is a loop or a call.
    std::string text(f.text, TFixedForm::Longest);
    text.resize(f.length);
    char* t = text.data();
    // Written out: in a loop the parts would go through memory.
    auto put = [&](int part, uint32_t v) {
        if (f.at[part] != TFixedForm::Absent) std::memcpy(t + f.at[part], &DigitPairs[2 * v], 2);
    };
    put(0, p0);
    put(1, p1);
    put(2, p2);
    put(3, p3);
    return text;
}

// Pattern literals are a character or two: a loop beats a call to memcpy.
char* PutText(char* p, std::string_view text) {
    for (char c : text) *p++ = c;
    return p;
}

// Reads up to maxDigits decimal digits; false when there is none.
bool ReadNumber(std::string_view text, size_t& pos, size_t maxDigits, int& value) {
    size_t start = pos;
    value = 0;
    while (pos < text.size() && pos - start < maxDigits && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + (text[pos] - '0');
        ++pos;
    }
    return pos > start;
}
} // namespace

bool IsValidDate(int y, int m, int d) {
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > 31) return false;
    return year_month_day{year{y} / month{static_cast<unsigned>(m)} / day{static_cast<unsigned>(d)}}.ok();
}

TDateTime EncodeDate(int y, int m, int d) {
    sys_days sd{year{y} / month{static_cast<unsigned>(m)} / day{static_cast<unsigned>(d)}};
    return static_cast<double>((sd - Epoch).count());
}

TDateTime EncodeTime(int h, int mi, int s, int ms) {
    return (((h * 60.0 + mi) * 60.0 + s) * 1000.0 + ms) / 86400000.0;
}

TDateTime ComposeDateTime(TDateTime date, TDateTime time) {
    return date >= 0 ? date + time : date - time;
}

TDateTime DatePart(TDateTime dt) {
    return std::trunc(dt);
}

TDateTime TimePart(TDateTime dt) {
    return std::fabs(dt - std::trunc(dt));
}

namespace {
// Date-times within +-1e9 days are split with integer conversions instead of calls: a date and a time
// text is written for every point a window or an export shows. Beyond that, or not a number, the
// calls do it (DatePart, TimePart, std::round).
constexpr double SplitLimit = 1e9;

// The millisecond of the day (0 to 86400000) of a time of day, rounded half away from zero as
// std::round does, without a branch: the fraction is random, so a branch would be mispredicted half
// the time. x minus its integer part is exact, as the two are close.
inline int64_t RoundedMs(double timeOfDay) {
    const double x = timeOfDay * 86400000.0;
    const int64_t whole = static_cast<int64_t>(x);
    return whole + (x - static_cast<double>(whole) >= 0.5);
}

// The least time of day whose millisecond rounds to 86400000, the next day: f * 86400000 is rounded
// monotonically, so RoundedMs(f) == 86400000 exactly when f >= DayEnd, one comparison for the date.
constexpr double DayEnd = [] {
    double f = 86399999.5 / 86400000.0;
    while (f * 86400000.0 >= 86399999.5) f = std::bit_cast<double>(std::bit_cast<uint64_t>(f) - 1);
    while (f * 86400000.0 < 86399999.5) f = std::bit_cast<double>(std::bit_cast<uint64_t>(f) + 1);
    return f;
}();
static_assert(DayEnd < 1.0 && DayEnd * 86400000.0 >= 86399999.5);

// DecodeDate and DecodeTime, inlined into the text writers: returned through memory, their parts
// are stored as ints and read back as wider words, which stalls.
[[gnu::always_inline]] inline TDateParts DateParts(TDateTime dt) {
    // Round to the millisecond first so that 23:59:59.9996 falls on the next day consistently.
    long count;
    if (std::fabs(dt) < SplitLimit) [[likely]] {
        count = static_cast<long>(dt); // truncated, as std::trunc
        count += std::fabs(dt - static_cast<double>(count)) >= DayEnd;
    } else {
        double days = DatePart(dt);
        if (std::round(TimePart(dt) * 86400000.0) >= 86400000.0) days += 1;
        // A damaged date far beyond any calendar (or not a number) must not overflow the day count.
        if (!(std::fabs(days) < SplitLimit)) days = std::signbit(days) ? -SplitLimit : SplitLimit;
        count = static_cast<long>(days);
    }
    year_month_day ymd{Epoch + sys_days::duration{count}};
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

[[gnu::always_inline]] inline TTimeParts TimeParts(TDateTime dt) {
    long long ms = std::fabs(dt) < SplitLimit
                       ? RoundedMs(std::fabs(dt - static_cast<double>(static_cast<int64_t>(dt))))
                       : std::llround(TimePart(dt) * 86400000.0);
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
} // namespace

TDateParts DecodeDate(TDateTime dt) {
    return DateParts(dt);
}

TTimeParts DecodeTime(TDateTime dt) {
    return TimeParts(dt);
}

TDateTime Today() {
    std::time_t now = std::time(nullptr);
    std::tm lt{};
    localtime_r(&now, &lt);
    return EncodeDate(lt.tm_year + 1900, lt.tm_mon + 1, lt.tm_mday);
}

TDateTime Now() {
    auto tp = system_clock::now();
    std::time_t now = system_clock::to_time_t(tp);
    std::tm lt{};
    localtime_r(&now, &lt);
    int ms = static_cast<int>(duration_cast<milliseconds>(tp.time_since_epoch()).count() % 1000);
    return EncodeDate(lt.tm_year + 1900, lt.tm_mon + 1, lt.tm_mday) +
           EncodeTime(lt.tm_hour, lt.tm_min, lt.tm_sec, ms);
}

namespace {
// The text of any pattern, written into a buffer on the stack; patterns too long for it (never seen
// in a locale) take the string directly. Out of line, so that the common fixed patterns are written
// without its frame.
[[gnu::noinline]] std::string GeneralDateText(const TCompiledPattern& c, const TDateParts& p) {
    std::string text;
    char small[128];
    if (c.longestText > sizeof small) text.resize(c.longestText);
    char* const begin = c.longestText > sizeof small ? text.data() : small;
    char* w = begin;
    for (const TPatternItem& t : c.items) {
        switch (t.letter) {
        case 'd':
            w = PutPadded(w, p.Day, t.text.size() >= 2 ? 2 : 1);
            break;
        case 'M':
            w = PutPadded(w, p.Month, t.text.size() >= 2 ? 2 : 1);
            break;
        case 'y':
            w = PutPadded(w, p.Year, 4);
            break;
        default:
            w = PutText(w, t.text);
            break;
        }
    }
    if (begin == small)
        text.assign(small, w);
    else
        text.resize(static_cast<size_t>(w - begin));
    return text;
}

[[gnu::noinline]] std::string GeneralTimeText(const TCompiledPattern& c, const TTimeParts& p) {
    std::string text;
    char small[128];
    if (c.longestText > sizeof small) text.resize(c.longestText);
    char* const begin = c.longestText > sizeof small ? text.data() : small;
    char* w = begin;
    for (const TPatternItem& t : c.items) {
        const int width = t.text.size() >= 2 ? 2 : 1;
        switch (t.letter) {
        case 'H':
        case 'h': {
            int h = p.Hour;
            if (c.twelveHour) h = h % 12 == 0 ? 12 : h % 12;
            w = PutPadded(w, h, width);
            break;
        }
        case 'm':
            w = PutPadded(w, p.Minute, width);
            break;
        case 's':
            w = PutPadded(w, p.Second, width);
            break;
        case 'A':
        case 'a':
            if (t.text == "AP")
                w = PutText(w, p.Hour < 12 ? "AM" : "PM");
            else if (t.text == "ap")
                w = PutText(w, p.Hour < 12 ? "am" : "pm");
            else
                w = PutText(w, t.text);
            break;
        default:
            w = PutText(w, t.text);
            break;
        }
    }
    if (begin == small)
        text.assign(small, w);
    else
        text.resize(static_cast<size_t>(w - begin));
    return text;
}
} // namespace

std::string TRegional::DateToText(TDateTime dt) const {
    const TCompiledPattern& c = Compiled(ShortDateFormat);
    const TDateParts p = DateParts(dt);
    if (c.date.ok && p.Year >= 0 && p.Year <= 9999) [[likely]] {
        const auto y = static_cast<uint32_t>(p.Year);
        return WriteFixed(c.date, static_cast<uint32_t>(p.Day), static_cast<uint32_t>(p.Month), y / 100,
                          y % 100);
    }
    return GeneralDateText(c, p);
}

std::string TRegional::TimeToText(TDateTime dt) const {
    const TCompiledPattern& c = Compiled(TimeFormat);
    const TTimeParts p = TimeParts(dt);
    if (c.time.ok) [[likely]] {
        return WriteFixed(c.time, static_cast<uint32_t>(p.Hour), static_cast<uint32_t>(p.Minute),
                          static_cast<uint32_t>(p.Second), 0);
    }
    return GeneralTimeText(c, p);
}

std::optional<TDateTime> TRegional::TextToDate(std::string_view text) const {
    const TCompiledPattern& c = Compiled(ShortDateFormat);
    int y = -1, m = -1, d = -1;
    size_t yearDigits = 0;
    bool yearFirst = false, anyField = false;
    size_t pos = 0;
    for (const TPatternItem& t : c.items) {
        if (t.letter == 0) {
            // Any single non-digit separator stands for the pattern's separator.
            if (pos < text.size() && !(text[pos] >= '0' && text[pos] <= '9'))
                ++pos;
            else
                return std::nullopt;
            continue;
        }
        int v = 0;
        const size_t start = pos;
        if (!ReadNumber(text, pos, t.letter == 'y' ? 4 : 2, v)) return std::nullopt;
        if (t.letter == 'd') {
            d = v;
        } else if (t.letter == 'M') {
            m = v;
        } else if (t.letter == 'y') {
            y = v;
            yearDigits = pos - start;
            yearFirst = !anyField;
        }
        anyField = true;
    }
    if (pos != text.size() || y < 0 || m < 0 || d < 0) return std::nullopt;
    if (yearFirst) {
        // Year first, as ISO writes it: four digits, and a year below 1000 is taken for a typing slip.
        if (yearDigits != 4 || y < 1000) return std::nullopt;
    } else if (yearDigits <= 2) {
        y += 2000; // a two-digit year typed by hand: this century
    } else if (yearDigits == 3) {
        return std::nullopt; // neither typed short nor written in full
    }
    if (!IsValidDate(y, m, d)) return std::nullopt;
    return EncodeDate(y, m, d);
}

const TRegional& IsoRegional() {
    static const TRegional iso{"yyyy-MM-dd", "HH:mm:ss", '.'};
    return iso;
}

std::optional<TDateTime> IsoTextToDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
    auto number = [&](size_t at, size_t count) {
        int v = 0;
        for (size_t i = at; i < at + count; ++i) v = v * 10 + (text[i] - '0');
        return v;
    };
    int y = number(0, 4), m = number(5, 2), d = number(8, 2);
    if (y < 1000 || !IsValidDate(y, m, d)) return std::nullopt;
    return EncodeDate(y, m, d);
}

std::optional<TDateTime> TRegional::TextToTime(std::string_view text) const {
    // Accepts H:mm[:ss] with any separator, and an AM/PM suffix when the pattern has one.
    size_t pos = 0;
    int h = 0, mi = 0, s = 0;
    if (!ReadNumber(text, pos, 2, h)) return std::nullopt;
    if (pos < text.size() && !(text[pos] >= '0' && text[pos] <= '9') && text[pos] != ' ') {
        ++pos;
        if (!ReadNumber(text, pos, 2, mi)) return std::nullopt;
        if (pos < text.size() && !(text[pos] >= '0' && text[pos] <= '9') && text[pos] != ' ') {
            ++pos;
            if (!ReadNumber(text, pos, 2, s)) return std::nullopt;
        }
    }
    while (pos < text.size() && text[pos] == ' ') ++pos;
    if (pos < text.size()) {
        std::string suffix(text.substr(pos));
        for (char& c : suffix) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (suffix == "AM" || suffix == "A") {
            if (h == 12) h = 0;
        } else if (suffix == "PM" || suffix == "P") {
            if (h < 12) h += 12;
        } else {
            return std::nullopt;
        }
        if (h > 23) return std::nullopt;
    }
    if (h > 23 || mi > 59 || s > 59) return std::nullopt;
    return EncodeTime(h, mi, s);
}

std::string TRegional::WrittenDateFormat() const {
    std::string out;
    for (size_t i = 0; i < ShortDateFormat.size();) {
        if (ShortDateFormat[i] != 'M') {
            out += ShortDateFormat[i++];
            continue;
        }
        size_t run = 0;
        while (i < ShortDateFormat.size() && ShortDateFormat[i] == 'M') ++i, ++run;
        out += run == 1 ? "M" : "MM";
    }
    return out;
}

TRegional TRegional::ForExchange() const {
    TRegional r = *this;
    // A spreadsheet keeps "26 10 2026" as text, and a month's name is written as its number.
    if (ShortDateFormat.find("MMM") != std::string::npos || ShortDateFormat.find(' ') != std::string::npos)
        r.ShortDateFormat = "yyyy-MM-dd";
    return r;
}
