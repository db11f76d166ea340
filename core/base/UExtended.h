// The 10-byte x87 extended-real image used by the data file, independent of the compiler's layout.
#pragma once

#include <array>
#include <cstdint>

using TExtendedImage = std::array<uint8_t, 10>;

// Little-endian: 64-bit mantissa with explicit integer bit, then 15-bit exponent and the sign bit.
TExtendedImage ExtendedToImage(long double value);
long double ImageToExtended(const TExtendedImage& image);
long double ImageToExtended(const uint8_t* bytes);
