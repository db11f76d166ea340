// Date-time arithmetic with <chrono> and the regional date and time texts.
#include "URegional.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <vector>

TRegional Regional;

namespace {
using namespace std::chrono;

constexpr sys_days Epoch = sys_days{year{1899} / December / 30};

struct Token {
    std::string text; // a pattern token ("dd", "HH", ...) or a literal
    bool literal;
};

// Splits a pattern into runs of the same letter (tokens) and literal characters.
std::vector<Token> Tokenize(const std::string& pattern) {
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

std::string Pad(int v, int width) {
    std::string s = std::to_string(v);
    while (static_cast<int>(s.size()) < width) s = "0" + s;
    return s;
}

// Reads up to maxDigits decimal digits; false when there is none.
bool ReadNumber(const std::string& text, size_t& pos, size_t maxDigits, int& value) {
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

TDateParts DecodeDate(TDateTime dt) {
    // Round to the millisecond first so that 23:59:59.9996 falls on the next day consistently.
    double ms = std::round(TimePart(dt) * 86400000.0);
    double days = DatePart(dt);
    if (ms >= 86400000.0) days += 1;
    year_month_day ymd{Epoch + sys_days::duration{static_cast<long>(days)}};
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

TTimeParts DecodeTime(TDateTime dt) {
    long long ms = std::llround(TimePart(dt) * 86400000.0);
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

std::string TRegional::DateToText(TDateTime dt) const {
    TDateParts p = DecodeDate(dt);
    std::string out;
    for (const Token& t : Tokenize(ShortDateFormat)) {
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

std::string TRegional::TimeToText(TDateTime dt) const {
    TTimeParts p = DecodeTime(dt);
    std::vector<Token> tokens = Tokenize(TimeFormat);
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

std::optional<TDateTime> TRegional::TextToDate(const std::string& text) const {
    int y = -1, m = -1, d = -1;
    size_t pos = 0;
    for (const Token& t : Tokenize(ShortDateFormat)) {
        if (t.literal) {
            // Any single non-digit separator stands for the pattern's separator.
            if (pos < text.size() && !(text[pos] >= '0' && text[pos] <= '9'))
                ++pos;
            else
                return std::nullopt;
            continue;
        }
        int v = 0;
        size_t maxDigits = t.text[0] == 'y' ? 4 : 2;
        if (!ReadNumber(text, pos, maxDigits, v)) return std::nullopt;
        if (t.text[0] == 'd')
            d = v;
        else if (t.text[0] == 'M')
            m = v;
        else if (t.text[0] == 'y')
            y = v;
    }
    if (pos != text.size() || y < 0 || m < 0 || d < 0) return std::nullopt;
    if (y < 100) y += 2000; // a two-digit year typed by hand: this century
    if (!IsValidDate(y, m, d)) return std::nullopt;
    return EncodeDate(y, m, d);
}

std::optional<TDateTime> TRegional::TextToTime(const std::string& text) const {
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
        std::string suffix = text.substr(pos);
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
