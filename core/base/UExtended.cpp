// Conversion between long double and the x87 extended image, by arithmetic; normal images are
// copied as they stand where long double is that format.
#include "UExtended.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace {
// Where long double is the x87 format itself, a normal image is the value's own bytes.
constexpr bool NativeX87 = std::numeric_limits<long double>::digits == 64 &&
                           std::numeric_limits<long double>::max_exponent == 16384 &&
                           std::endian::native == std::endian::little && sizeof(long double) >= 10;
} // namespace

TExtendedImage ExtendedToImage(long double value) {
    TExtendedImage img{};
    if constexpr (NativeX87) {
        // A normal value (integer bit set, exponent neither 0 nor all ones) is its own image, as the
        // computation below would make it; the others take that computation.
        std::memcpy(img.data(), &value, 10);
        const int exp = (img[8] | (img[9] << 8)) & 0x7FFF;
        if (exp != 0 && exp != 0x7FFF && (img[7] & 0x80) != 0) return img;
        img = {};
    }
    uint16_t signExp = 0;
    uint64_t mant = 0;
    if (std::signbit(value)) signExp = 0x8000;
    long double a = std::fabs(value);
    if (std::isnan(value)) {
        signExp |= 0x7FFF;
        mant = 0xC000000000000000ULL;
    } else if (std::isinf(value)) {
        signExp |= 0x7FFF;
        mant = 0x8000000000000000ULL;
    } else if (a != 0) {
        int e = 0;
        long double fr = std::frexp(a, &e); // a = fr * 2^e, fr in [0.5, 1)
        int biased = e - 1 + 16383;         // integer bit set: a = (2*fr) * 2^(e-1)
        if (biased <= 0) {
            // Denormal: exponent field 0 means scale 2^-16382 with no integer bit.
            mant = static_cast<uint64_t>(std::ldexp(a, 16382 + 63));
            biased = 0;
        } else {
            mant = static_cast<uint64_t>(std::ldexp(fr, 64));
        }
        signExp |= static_cast<uint16_t>(biased);
    }
    for (int i = 0; i < 8; ++i) img[i] = static_cast<uint8_t>(mant >> (8 * i));
    img[8] = static_cast<uint8_t>(signExp & 0xFF);
    img[9] = static_cast<uint8_t>(signExp >> 8);
    return img;
}

long double ImageToExtended(const uint8_t* b) {
    if constexpr (NativeX87) {
        int exp = (b[8] | (b[9] << 8)) & 0x7FFF;
        if (exp != 0 && exp != 0x7FFF && (b[7] & 0x80) != 0) {
            long double v = 0;
            std::memcpy(&v, b, 10);
            return v;
        }
    }
    uint64_t mant = 0;
    for (int i = 7; i >= 0; --i) mant = (mant << 8) | b[i];
    uint16_t signExp = static_cast<uint16_t>(b[8] | (b[9] << 8));
    bool neg = (signExp & 0x8000) != 0;
    int exp = signExp & 0x7FFF;
    long double v;
    if (exp == 0x7FFF) {
        v = (mant << 1) == 0 ? std::numeric_limits<long double>::infinity()
                             : std::numeric_limits<long double>::quiet_NaN();
    } else if (exp == 0) {
        v = std::ldexp(static_cast<long double>(mant), -16382 - 63);
    } else {
        v = std::ldexp(static_cast<long double>(mant), exp - 16383 - 63);
    }
    return neg ? -v : v;
}

long double ImageToExtended(const TExtendedImage& image) {
    return ImageToExtended(image.data());
}
