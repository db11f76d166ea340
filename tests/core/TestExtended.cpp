// The 10-byte extended-real image: known byte images and round trips.
#include <cfloat>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <random>

#include "UExtended.h"

namespace {
TExtendedImage Bytes(std::initializer_list<int> b) {
    TExtendedImage img{};
    int i = 0;
    for (int v : b) img[i++] = static_cast<uint8_t>(v);
    return img;
}
} // namespace

TEST(Extended, KnownImages) {
    struct Case {
        long double value;
        TExtendedImage image;
    };
    const Case cases[] = {
        {1.0L, Bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F})},
        {-2.5L, Bytes({0, 0, 0, 0, 0, 0, 0, 0xA0, 0x00, 0xC0})},
        {0.0L, Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
        {LDBL_MAX, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0x7F})},
        // 2^-1000: integer bit set, exponent 16383 - 1000 = 15383 = 0x3C17.
        {std::ldexp(1.0L, -1000), Bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0x17, 0x3C})},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExtendedToImage(c.value), c.image) << static_cast<double>(c.value);
        EXPECT_EQ(ImageToExtended(c.image), c.value);
    }
    EXPECT_TRUE(std::signbit(ImageToExtended(Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80}))));
}

TEST(Extended, RoundTripsRandomValuesAndMatchesTheNativeLayout) {
    std::mt19937_64 rng(42);
    std::uniform_int_distribution<int> exp(-4000, 4000);
    std::uniform_real_distribution<double> mant(-1.0, 1.0);
    for (int i = 0; i < 20000; ++i) {
        long double v = std::ldexp(static_cast<long double>(mant(rng)) + mant(rng) * 1e-17L, exp(rng));
        TExtendedImage img = ExtendedToImage(v);
        ASSERT_EQ(ImageToExtended(img), v);
        // On x86-64 long double is the x87 format: the first 10 bytes of its storage are the image.
        uint8_t native[sizeof(long double)] = {};
        std::memcpy(native, &v, sizeof v);
        ASSERT_EQ(0, std::memcmp(native, img.data(), 10));
    }
}

TEST(Extended, NonFiniteImagesDecode) {
    EXPECT_TRUE(std::isinf(ImageToExtended(Bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}))));
    EXPECT_TRUE(std::isnan(ImageToExtended(Bytes({0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F}))));
}
