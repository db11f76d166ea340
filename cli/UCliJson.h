// A small JSON writer for the command-line companion: one object, UTF-8, fixed key order.
#pragma once

#include <string>
#include <string_view>

#include "URegional.h"

class TJsonWriter {
public:
    TJsonWriter& BeginObject();
    TJsonWriter& EndObject();
    TJsonWriter& BeginArray();
    TJsonWriter& EndArray();
    TJsonWriter& Key(std::string_view key);
    // Text held as Windows-1252 bytes, written as UTF-8.
    TJsonWriter& Text(std::string_view cp1252);
    TJsonWriter& Int(long long v);
    // A value or a figure: the shortest text that reads back to the same single-precision number
    // (results are stored as singles); non-finite values and values beyond a single's range as null.
    TJsonWriter& Real(long double v);
    // A day count (days since 1899-12-30, the fraction the time of day): the shortest text that reads
    // back to the same double.
    TJsonWriter& DayCount(TDateTime v);
    // A date-time as ISO 8601 local time, 2026-03-01T08:30:00.
    TJsonWriter& DateTime(TDateTime v);
    // A stored date-time text (2026-03-01 08:30, 2026-03-01 09:30:00 +01:00) in ISO 8601 form; empty as null.
    TJsonWriter& DateTimeText(std::string_view stored);
    TJsonWriter& Bool(bool v);
    TJsonWriter& Null();
    const std::string& Str() const { return out_; }

private:
    void Separate();
    std::string out_;
    bool needComma_ = false;
};
