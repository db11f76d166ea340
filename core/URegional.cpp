// Date-time arithmetic with <chrono> and the regional date and time texts.
#include "URegional.h"

#include <algorithm>
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

// A field of a pattern whose every field has a fixed width: where its digits go in the text.
struct TFixedSlot {
    char letter = 0;
    uint8_t at = 0;
    uint8_t width = 2; // 2, or 4 for a year
};

// A pattern whose every field has a fixed width (dd, MM, yyyy, HH, mm, ss, ...) and whose text is
// short, the common case: the text is `text` with each slot's digits written in.
struct TFixedForm {
    bool ok = false;
    char text[16] = {};
    uint8_t length = 0;
    std::vector<TFixedSlot> slots;
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
        const uint8_t width = t.letter == 'y' ? 4 : 2;
        f.slots.push_back({t.letter, static_cast<uint8_t>(text.size()), width});
        text.append(width, '0');
    }
    if (text.size() > sizeof f.text) return f;
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
    const TCompiledPattern& Get(const std::string& pattern) {
        if (slots_[last_].valid && SameText(slots_[last_].source, pattern)) return slots_[last_];
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

private:
    static constexpr size_t Slots = 4;
    TCompiledPattern slots_[Slots];
    size_t last_ = 0, next_ = 0;
};

const TCompiledPattern& Compiled(const std::string& pattern) {
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

// Two digits of a number of 0 to 99.
inline void PutTwo(char* p, int v) {
    p[0] = static_cast<char>('0' + v / 10);
    p[1] = static_cast<char>('0' + v % 10);
}

// The text of a fixed pattern with the values of its letters; false for a value that does not fit
// its slot (a year beyond 0 to 9999), which the general writer then writes.
// The text of a fixed pattern with the values of its letters; false for a value that does not fit
// its slot (a year beyond 0 to 9999), which the general writer then writes. The digits go straight
// into the string: read back at once from a buffer, bytes written one by one stall the copy.
template <typename Value> bool WriteFixed(const TFixedForm& f, Value value, std::string& out) {
    out.append(f.text, f.length);
    char* text = out.data();
    for (const TFixedSlot& s : f.slots) {
        const int v = value(s.letter);
        if (s.width == 4) {
            if (v < 0 || v > 9999) return false;
            PutTwo(text + s.at, v / 100);
            PutTwo(text + s.at + 2, v % 100);
        } else {
            PutTwo(text + s.at, v);
        }
    }
    return true;
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
// The day count and the millisecond of the day (rounded half away from zero, up to 86400000) of a
// date-time, as DatePart, TimePart and std::round give them; false for a date beyond +-1e9 days or not
// a number. Integer conversions instead of calls: a date and a time text is written for every point
// a window or an export shows.
bool SplitDateTime(TDateTime dt, double& days, double& ms) {
    if (!(std::fabs(dt) < 1e9)) return false;
    days = static_cast<double>(static_cast<int64_t>(dt)); // truncated, as std::trunc
    const double x = std::fabs(dt - days) * 86400000.0;
    ms = static_cast<double>(static_cast<int64_t>(x));
    if (x - ms >= 0.5) ms += 1; // exact: x and its integer part are close
    return true;
}
} // namespace

namespace {
// DecodeDate and DecodeTime, inlined into the text writers: returned through memory, their parts
// are stored as ints and read back as wider words, which stalls.
[[gnu::always_inline]] inline TDateParts DateParts(TDateTime dt) {
    // Round to the millisecond first so that 23:59:59.9996 falls on the next day consistently.
    double ms, days;
    if (!SplitDateTime(dt, days, ms)) {
        ms = std::round(TimePart(dt) * 86400000.0);
        days = DatePart(dt);
    }
    if (ms >= 86400000.0) days += 1;
    // A damaged date far beyond any calendar (or not a number) must not overflow the day count.
    if (!(std::fabs(days) < 1e9)) days = std::signbit(days) ? -1e9 : 1e9;
    year_month_day ymd{Epoch + sys_days::duration{static_cast<long>(days)}};
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

[[gnu::always_inline]] inline TTimeParts TimeParts(TDateTime dt) {
    double days, rounded;
    long long ms = SplitDateTime(dt, days, rounded) ? static_cast<long long>(rounded)
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

// Texts are written into a buffer on the stack; patterns too long for it (never seen in a locale) take
// the string directly.
std::string TRegional::DateToText(TDateTime dt) const {
    const TCompiledPattern& c = Compiled(ShortDateFormat);
    TDateParts p = DateParts(dt);
    // One string returned on every path, so that it is made in place.
    std::string text;
    if (c.date.ok &&
        WriteFixed(
            c.date, [&p](char letter) { return letter == 'd'   ? p.Day
                                               : letter == 'M' ? p.Month
                                                               : p.Year; },
            text))
        return text;
    char small[128];
    text.clear();
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

std::string TRegional::TimeToText(TDateTime dt) const {
    const TCompiledPattern& c = Compiled(TimeFormat);
    TTimeParts p = TimeParts(dt);
    // One string returned on every path, so that it is made in place.
    std::string text;
    if (c.time.ok &&
        WriteFixed(
            c.time,
            [&p](char letter) { return letter == 'm'   ? p.Minute
                                       : letter == 's' ? p.Second
                                                       : p.Hour; }, text))
        return text;
    char small[128];
    text.clear();
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
