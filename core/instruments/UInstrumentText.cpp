// Pieces the instrument readers share: line numbers, text encodings, escapes, field references, dates.
#include "UInstrumentText.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "UCodePage.h"
#include "UTexts.h"
#include "UUtilitaires.h"

namespace instrument {

TLineIndex::TLineIndex(std::string_view bytes) {
    starts_.push_back(0);
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            starts_.push_back(i + 1);
        } else if (bytes[i] == '\n') {
            starts_.push_back(i + 1);
        }
    }
}

int TLineIndex::LineOf(size_t offset) const {
    auto it = std::upper_bound(starts_.begin(), starts_.end(), offset);
    return static_cast<int>(it - starts_.begin());
}

std::vector<TPiece> SplitLines(std::string_view bytes, size_t offset, bool& ended) {
    std::vector<TPiece> out;
    size_t start = 0;
    ended = true;
    for (size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c != '\r' && c != '\n') continue;
        out.push_back({bytes.substr(start, i - start), offset + start});
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < bytes.size()) {
        out.push_back({bytes.substr(start), offset + start});
        ended = false;
    }
    return out;
}

bool IsValidUtf8(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        unsigned char b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        size_t len;
        char32_t c, min;
        if ((b & 0xE0) == 0xC0) {
            len = 2, c = b & 0x1F, min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            len = 3, c = b & 0x0F, min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            len = 4, c = b & 0x07, min = 0x10000;
        } else {
            return false;
        }
        if (i + len > s.size()) return false;
        for (size_t k = 1; k < len; ++k) {
            unsigned char n = static_cast<unsigned char>(s[i + k]);
            if ((n & 0xC0) != 0x80) return false;
            c = (c << 6) | (n & 0x3F);
        }
        if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        i += len;
    }
    return true;
}

std::string_view SkipBom(std::string_view bytes, size_t& offset) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        offset += 3;
        return bytes.substr(3);
    }
    return bytes;
}

TEncoding ChooseEncoding(std::string_view bytes, const std::string& setting) {
    if (setting == "utf-8") return TEncoding::Utf8;
    if (setting == "windows-1252") return TEncoding::Cp1252;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return TEncoding::Utf8;
    bool high =
        std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    return high && IsValidUtf8(bytes) ? TEncoding::Utf8 : TEncoding::Cp1252;
}

std::optional<std::string> Utf16ToUtf8(std::string_view bytes) {
    bool little;
    if (bytes.substr(0, 2) == "\xFF\xFE")
        little = true;
    else if (bytes.substr(0, 2) == "\xFE\xFF")
        little = false;
    else
        return std::nullopt;
    auto unit = [&](size_t i) -> char32_t {
        auto lo = static_cast<unsigned char>(bytes[little ? i : i + 1]);
        auto hi = static_cast<unsigned char>(bytes[little ? i + 1 : i]);
        return static_cast<char32_t>(hi << 8 | lo);
    };
    std::string out = "\xEF\xBB\xBF"; // the readers then take the text as UTF-8
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 &&
            unit(i + 2) <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

namespace {
// Control characters, and the bytes Windows-1252 leaves undefined (they show as C1 controls).
bool IsControl(unsigned char c) {
    return c < 0x20 || c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}
} // namespace

std::string CleanText(std::string_view text, TEncoding encoding) {
    std::string s = encoding == TEncoding::Utf8 ? Utf8ToCp1252(text) : std::string(text);
    for (char& c : s)
        if (IsControl(static_cast<unsigned char>(c))) c = ' ';
    size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(' ');
    return s.substr(b, e - b + 1);
}

std::string Unescape(std::string_view text, const TDelimiters& d) {
    if (d.Escape == 0 || text.find(d.Escape) == std::string_view::npos) return std::string(text);
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        size_t open = text.find(d.Escape, i);
        if (open == std::string_view::npos) break;
        size_t close = text.find(d.Escape, open + 1);
        if (close == std::string_view::npos) break;
        out.append(text.substr(i, open - i));
        std::string_view seq = text.substr(open + 1, close - open - 1);
        if (seq == "F") {
            out += d.Field;
        } else if (seq == "S") {
            out += d.Component;
        } else if (seq == "R") {
            out += d.Repeat;
        } else if (seq == "E") {
            out += d.Escape;
        } else if (seq == "T") {
            if (d.Sub != 0) out += d.Sub;
        } else if (!seq.empty() && seq[0] == 'X' && seq.size() % 2 == 1) {
            auto hex = [](char c) {
                if (c >= '0' && c <= '9') return c - '0';
                if (c >= 'A' && c <= 'F') return c - 'A' + 10;
                if (c >= 'a' && c <= 'f') return c - 'a' + 10;
                return -1;
            };
            std::string bytes;
            for (size_t k = 1; k + 1 < seq.size(); k += 2) {
                int h = hex(seq[k]), l = hex(seq[k + 1]);
                if (h < 0 || l < 0) {
                    bytes.clear();
                    break;
                }
                bytes += static_cast<char>(h * 16 + l);
            }
            out += bytes;
        } else if (!seq.empty() && seq[0] == '.') {
            out += ' '; // formatting commands such as a line break
        }
        // Highlighting, character set changes and unknown sequences carry no text.
        i = close + 1;
    }
    out.append(text.substr(i));
    return out;
}

std::vector<std::string_view> Split(std::string_view text, char sep) {
    std::vector<std::string_view> out;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == sep) {
            out.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return out;
}

TRecord::TRecord(std::string_view text, const TDelimiters& d, bool shifted) : d_(d), shift_(shifted ? 1 : 0) {
    fields_ = Split(text, d.Field);
}

std::string_view TRecord::Field(int n) const {
    int index = n - shift_;
    if (n < 0 || index < 0 || index >= static_cast<int>(fields_.size())) return {};
    return fields_[static_cast<size_t>(index)];
}

std::string TRecord::Text(int field, int component, int sub, TEncoding enc) const {
    std::string_view raw = Field(field);
    std::string_view rep = raw.substr(0, raw.find(d_.Repeat));
    std::vector<std::string_view> comps = Split(rep, d_.Component);
    auto subText = [&](std::string_view c, int s) {
        if (d_.Sub == 0 || s == 0) {
            if (d_.Sub == 0) return Unescape(c, d_);
            // Whole component: subcomponents joined by '&', trailing empty ones dropped.
            std::vector<std::string_view> subs = Split(c, d_.Sub);
            while (subs.size() > 1 && subs.back().empty()) subs.pop_back();
            std::string out;
            for (size_t k = 0; k < subs.size(); ++k) out += (k ? "&" : "") + Unescape(subs[k], d_);
            return out;
        }
        std::vector<std::string_view> subs = Split(c, d_.Sub);
        return s <= static_cast<int>(subs.size()) ? Unescape(subs[static_cast<size_t>(s - 1)], d_)
                                                  : std::string();
    };
    if (component > 0) {
        if (component > static_cast<int>(comps.size())) return {};
        return CleanText(subText(comps[static_cast<size_t>(component - 1)], sub), enc);
    }
    // Whole field: components joined by '^' whatever the file's delimiter, trailing empty ones dropped.
    while (comps.size() > 1 && comps.back().empty()) comps.pop_back();
    std::string out;
    for (size_t k = 0; k < comps.size(); ++k) out += (k ? "^" : "") + subText(comps[k], 0);
    return CleanText(out, enc);
}

std::string TRecord::Joined(int field, char joint, TEncoding enc) const {
    std::string_view raw = Field(field);
    size_t count = Split(raw.substr(0, raw.find(d_.Repeat)), d_.Component).size();
    std::string out;
    for (size_t c = 1; c <= count; ++c) {
        std::string t = Text(field, static_cast<int>(c), 0, enc);
        if (!t.empty()) out += (out.empty() ? "" : std::string(1, joint)) + t;
    }
    return out;
}

std::optional<TFieldRef> ParseFieldRef(std::string_view text, const char* what) {
    std::string t = Trim(text);
    if (t.empty()) return std::nullopt;
    auto bad = [&]() {
        return EQcError(
            Fill(QT_TRANSLATE_NOOP("Core", "%1 \"%2\" is not a field reference such as O-3 or OBR-3.1"),
                 TranslatedText(what), t));
    };
    TFieldRef r;
    size_t dash = t.find('-');
    if (dash == std::string::npos || dash == 0 || dash > 3) throw bad();
    for (size_t i = 0; i < dash; ++i) {
        char c = static_cast<char>(std::toupper(static_cast<unsigned char>(t[i])));
        if (!((c >= 'A' && c <= 'Z') || (i > 0 && c >= '0' && c <= '9'))) throw bad();
        r.Name += c;
    }
    int* parts[3] = {&r.Field, &r.Component, &r.Sub};
    size_t pos = dash + 1;
    for (int k = 0; k < 3; ++k) {
        size_t start = pos;
        int v = 0;
        while (pos < t.size() && t[pos] >= '0' && t[pos] <= '9' && pos - start < 3)
            v = v * 10 + (t[pos++] - '0');
        if (pos == start || v == 0) throw bad();
        *parts[k] = v;
        if (pos == t.size()) return r;
        if (t[pos] != '.') throw bad();
        ++pos;
    }
    throw bad();
}

std::optional<TDateTime> ReadCompactDateTime(std::string_view text) {
    std::string t = Trim(text);
    size_t n = 0;
    while (n < t.size() && t[n] >= '0' && t[n] <= '9') ++n;
    if (n != 8 && n != 10 && n != 12 && n != 14) return std::nullopt;
    auto num = [&](size_t at, size_t len) { return std::stoi(t.substr(at, len)); };
    int y = num(0, 4), mo = num(4, 2), d = num(6, 2);
    int h = n >= 10 ? num(8, 2) : 0, mi = n >= 12 ? num(10, 2) : 0, s = n >= 14 ? num(12, 2) : 0;
    int ms = 0;
    size_t pos = n;
    if (n == 14 && pos < t.size() && t[pos] == '.') {
        size_t start = ++pos;
        int scale = 100;
        while (pos < t.size() && t[pos] >= '0' && t[pos] <= '9') {
            ms += (t[pos++] - '0') * scale;
            scale /= 10;
        }
        if (pos == start) return std::nullopt;
    }
    if (pos < t.size() && (t[pos] == '+' || t[pos] == '-')) {
        size_t start = ++pos;
        while (pos < t.size() && t[pos] >= '0' && t[pos] <= '9') ++pos;
        if (pos - start != 4) return std::nullopt;
    }
    if (pos != t.size()) return std::nullopt;
    if (y < 1900 || !IsValidDate(y, mo, d) || h > 23 || mi > 59 || s > 59) return std::nullopt;
    return ComposeDateTime(EncodeDate(y, mo, d), EncodeTime(h, mi, s, ms));
}

bool ReadValue(std::string_view text, char mark, double& value, std::string& reason) {
    std::string t = Trim(text);
    long double v = 0;
    if (t.empty()) {
        reason = TranslatedText(QT_TRANSLATE_NOOP("Core", "no value"));
        return false;
    }
    // An exponent of many digits is no instrument's value, and the number reader is not safe with it.
    size_t e = t.find_first_of("eE");
    if (e != std::string::npos) {
        size_t digits = e + 1 < t.size() && (t[e + 1] == '+' || t[e + 1] == '-') ? e + 2 : e + 1;
        if (t.size() - digits > 4) {
            reason = Fill(QT_TRANSLATE_NOOP("Core", "value %1 is out of range"), Quoted(t));
            return false;
        }
    }
    if (!ParseDecimal(t, mark, v)) {
        reason = Fill(QT_TRANSLATE_NOOP("Core", "value %1 is not a number"), Quoted(t));
        return false;
    }
    if (!InValueRange(v)) {
        reason = Fill(QT_TRANSLATE_NOOP("Core", "value %1 is out of range"), Quoted(t));
        return false;
    }
    value = static_cast<double>(v);
    return true;
}

int LevelOf(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && !(text[i] >= '0' && text[i] <= '9')) ++i;
    int v = 0;
    for (size_t k = 0; i < text.size() && text[i] >= '0' && text[i] <= '9' && k < 3; ++i, ++k)
        v = v * 10 + (text[i] - '0');
    return v;
}

bool QcByOptions(const TInstrumentSource& source, const std::string& control) {
    if (source.AllResultsAreQc) return true;
    std::string upper = UpperCase(control);
    for (const std::string& p : source.ControlPrefixes)
        if (!p.empty() && upper.compare(0, p.size(), UpperCase(p)) == 0) return true;
    return false;
}

bool TakeAsQc(bool marked, const TInstrumentResult& r, const TInstrumentSource& source,
              const TQcMapping& mapped, TSkips& skips) {
    if (marked || QcByOptions(source, r.Control) || (mapped && mapped(r))) return true;
    ++skips.All;
    if (r.Control.empty()) ++skips.WithoutControl;
    return false;
}

void KeepPatient(TInstrumentBatch& batch, const std::string& code, const std::string& value,
                 const std::string& when, const std::string& instrument, const std::string& status) {
    const std::optional<TDateTime> time = ReadCompactDateTime(when);
    if (code.empty() || !time) return;
    const bool flagged = status == "X" || status == "W" || status == "D";
    CheckFileResults(batch);
    batch.Patients.push_back({code, TPatientReading{*time, value, instrument, flagged}});
}

bool CheckResult(TInstrumentResult& r, const std::string& when, std::string& reasons) {
    reasons.clear();
    std::string why;
    auto add = [&](const std::string& s) { reasons += (reasons.empty() ? "" : "; ") + s; };
    if (r.TestCode.empty()) add(TranslatedText(QT_TRANSLATE_NOOP("Core", "no test code")));
    if (!ReadValue(r.ValueText, '.', r.Value, why)) add(why);
    std::optional<TDateTime> dt = ReadCompactDateTime(when);
    if (when.empty())
        add(TranslatedText(QT_TRANSLATE_NOOP("Core", "no date-time")));
    else if (!dt)
        add(Fill(QT_TRANSLATE_NOOP("Core", "date-time %1 cannot be read"), Quoted(when)));
    if (dt) r.DateTime = *dt;
    return reasons.empty();
}

void AppendComment(std::string& comment, const std::string& text) {
    if (text.empty() || comment.size() >= MaxComment) return;
    if (!comment.empty()) comment += ' ';
    comment.append(text, 0, MaxComment - comment.size());
}

std::string Quoted(std::string_view text) {
    std::string t(text.substr(0, 40));
    for (char& c : t)
        if (IsControl(static_cast<unsigned char>(c))) c = ' ';
    return "\"" + t + (text.size() > 40 ? "...\"" : "\"");
}

} // namespace instrument

void instrument::CheckFieldSizes(std::string_view record, char sep, int line) {
    if (record.size() <= MaxFieldBytes) return;
    for (size_t from = 0; from < record.size();) {
        size_t end = record.find(sep, from);
        if (end == std::string_view::npos) end = record.size();
        if (end - from > MaxFieldBytes)
            throw EQcError(
                Fill(QT_TRANSLATE_NOOP("Core", "Line %1: a field is longer than %2 KiB; no instrument "
                                               "writes such a field. The file is not read."),
                     std::to_string(line), std::to_string(MaxFieldBytes / 1024)));
        from = end + 1;
    }
}

void instrument::CheckFileResults(const TInstrumentBatch& batch, size_t more) {
    if (batch.Results.size() + batch.Patients.size() + more <= MaxFileResults) return;
    throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "The file holds more than %1 results; no instrument sends "
                                                  "so many at once. Split it into smaller files (a "
                                                  "history is imported per analyte). The file is not read."),
                        std::to_string(MaxFileResults)));
}

void instrument::CheckMessageSize(size_t bytes, size_t results, int line) {
    if (bytes > MaxMessageBytes)
        throw EQcError(
            Fill(QT_TRANSLATE_NOOP("Core", "The message at line %1 is larger than %2 MB; no "
                                           "instrument sends such a message. The file is not read."),
                 std::to_string(line), std::to_string(MaxMessageBytes / 1048576)));
    if (results > MaxMessageResults)
        throw EQcError(
            Fill(QT_TRANSLATE_NOOP("Core", "The message at line %1 holds more than %2 results; no "
                                           "instrument sends such a message. The file is not read."),
                 std::to_string(line), std::to_string(MaxMessageResults)));
}
