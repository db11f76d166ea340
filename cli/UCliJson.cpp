// JSON writer of the command-line companion.
#include "UCliJson.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "UCodePage.h"

void TJsonWriter::Separate() {
    if (needComma_) out_ += ',';
    needComma_ = true;
}

TJsonWriter& TJsonWriter::BeginObject() {
    Separate();
    out_ += '{';
    needComma_ = false;
    return *this;
}

TJsonWriter& TJsonWriter::EndObject() {
    out_ += '}';
    needComma_ = true;
    return *this;
}

TJsonWriter& TJsonWriter::BeginArray() {
    Separate();
    out_ += '[';
    needComma_ = false;
    return *this;
}

TJsonWriter& TJsonWriter::EndArray() {
    out_ += ']';
    needComma_ = true;
    return *this;
}

TJsonWriter& TJsonWriter::Key(std::string_view key) {
    Text(key);
    out_ += ':';
    needComma_ = false;
    return *this;
}

TJsonWriter& TJsonWriter::Text(std::string_view cp1252) {
    Separate();
    out_ += '"';
    for (char c : Cp1252ToUtf8(cp1252)) {
        switch (c) {
        case '"':
            out_ += "\\\"";
            break;
        case '\\':
            out_ += "\\\\";
            break;
        case '\n':
            out_ += "\\n";
            break;
        case '\r':
            out_ += "\\r";
            break;
        case '\t':
            out_ += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                static const char* hex = "0123456789abcdef";
                out_ += "\\u00";
                out_ += hex[(c >> 4) & 0xF];
                out_ += hex[c & 0xF];
            } else {
                out_ += c;
            }
        }
    }
    out_ += '"';
    return *this;
}

TJsonWriter& TJsonWriter::Int(long long v) {
    Separate();
    out_ += std::to_string(v);
    return *this;
}

TJsonWriter& TJsonWriter::Real(long double v) {
    if (!std::isfinite(v) || std::fabs(v) > std::numeric_limits<float>::max()) return Null();
    Separate();
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, static_cast<float>(v));
    out_.append(buf, res.ptr);
    return *this;
}

TJsonWriter& TJsonWriter::DayCount(TDateTime v) {
    if (!std::isfinite(v)) return Null();
    Separate();
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, static_cast<double>(v));
    out_.append(buf, res.ptr);
    return *this;
}

TJsonWriter& TJsonWriter::DateTime(TDateTime v) {
    if (!std::isfinite(v)) return Null();
    const TDateParts d = DecodeDate(v);
    const TTimeParts t = DecodeTime(v);
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", d.Year, d.Month, d.Day, t.Hour,
                  t.Minute, t.Second);
    return Text(text);
}

TJsonWriter& TJsonWriter::DateTimeText(std::string_view stored) {
    if (stored.empty()) return Null();
    std::string iso(stored);
    // The date and the time joined by T; an offset follows the time directly.
    if (iso.size() > 10 && iso[10] == ' ') iso[10] = 'T';
    if (const size_t zone = iso.find(' ', 11);
        zone != std::string::npos && zone + 1 < iso.size() && (iso[zone + 1] == '+' || iso[zone + 1] == '-'))
        iso.erase(zone, 1);
    return Text(iso);
}

TJsonWriter& TJsonWriter::Bool(bool v) {
    Separate();
    out_ += v ? "true" : "false";
    return *this;
}

TJsonWriter& TJsonWriter::Null() {
    Separate();
    out_ += "null";
    return *this;
}
