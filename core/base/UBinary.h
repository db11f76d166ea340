// Bounds-checked little-endian readers and writers for the program's binary files.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "UQcError.h"

// Thrown when a file ends before its contents say it should.
class ETruncated : public EQcError {
public:
    ETruncated() : EQcError("Unexpected end of file") {}
};

// Reads from a byte buffer; every read checks the bytes that remain.
class TByteReader {
public:
    explicit TByteReader(std::string_view bytes) : data_(bytes) {}

    size_t Position() const { return pos_; }
    size_t Size() const { return data_.size(); }
    size_t Remaining() const { return data_.size() - pos_; }
    bool AtEnd() const { return pos_ >= data_.size(); }
    void Skip(size_t n) {
        Need(n);
        pos_ += n;
    }
    std::string_view Bytes(size_t n) {
        Need(n);
        std::string_view v = data_.substr(pos_, n);
        pos_ += n;
        return v;
    }
    uint8_t U8() { return static_cast<uint8_t>(Bytes(1)[0]); }
    int32_t I32() {
        uint32_t v = 0;
        std::string_view b = Bytes(4);
        for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(b[i]);
        return static_cast<int32_t>(v);
    }
    float Single() {
        uint32_t bits = static_cast<uint32_t>(I32());
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    double Double() {
        std::string_view b = Bytes(8);
        uint64_t v = 0;
        for (int i = 7; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(b[i]);
        double d;
        std::memcpy(&d, &v, 8);
        return d;
    }
    // Short string [room]: a length byte and room character bytes; a length beyond room is cut to room.
    std::string ShortString(size_t room) {
        std::string_view b = Bytes(room + 1);
        size_t len = static_cast<uint8_t>(b[0]);
        if (len > room) len = room;
        return std::string(b.substr(1, len));
    }
    // Long text: an int32 byte count, then the bytes; the count is checked before anything is allocated.
    std::string LongText() {
        int32_t len = I32();
        if (len < 0 || static_cast<size_t>(len) > Remaining()) throw ETruncated();
        return std::string(Bytes(static_cast<size_t>(len)));
    }
    // A count of records of recordSize bytes that must fit in what remains.
    size_t Count(size_t recordSize) {
        int32_t n = I32();
        if (n < 0 || (recordSize > 0 && static_cast<size_t>(n) > Remaining() / recordSize))
            throw ETruncated();
        return static_cast<size_t>(n);
    }

private:
    void Need(size_t n) const {
        if (n > Remaining()) throw ETruncated();
    }
    std::string_view data_;
    size_t pos_ = 0;
};

// Appends little-endian values to a byte buffer.
class TByteWriter {
public:
    std::string& Data() { return data_; }
    const std::string& Data() const { return data_; }
    void Bytes(std::string_view b) { data_.append(b); }
    void Zeros(size_t n) { data_.append(n, '\0'); }
    void U8(uint8_t v) { data_.push_back(static_cast<char>(v)); }
    void I32(int32_t v) {
        uint32_t u = static_cast<uint32_t>(v);
        for (int i = 0; i < 4; ++i) data_.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
    }
    void Single(float f) {
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        I32(static_cast<int32_t>(bits));
    }
    void Double(double d) {
        uint64_t v;
        std::memcpy(&v, &d, 8);
        for (int i = 0; i < 8; ++i) data_.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
    // Short string [room]: text cut to room characters, unused room written as zero.
    void ShortString(std::string_view s, size_t room) {
        size_t len = s.size() < room ? s.size() : room;
        U8(static_cast<uint8_t>(len));
        data_.append(s.substr(0, len));
        Zeros(room - len);
    }
    void LongText(std::string_view s) {
        I32(static_cast<int32_t>(s.size()));
        data_.append(s);
    }

private:
    std::string data_;
};
