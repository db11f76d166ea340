// A small JSON writer for the command-line companion: one object, UTF-8, fixed key order.
#pragma once

#include <string>
#include <string_view>

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
    // Reals with 17 significant digits; non-finite values as null.
    TJsonWriter& Real(long double v);
    TJsonWriter& Bool(bool v);
    TJsonWriter& Null();
    const std::string& Str() const { return out_; }

private:
    void Separate();
    std::string out_;
    bool needComma_ = false;
};
