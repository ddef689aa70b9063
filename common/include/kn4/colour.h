#pragma once

#include <cstdint>

namespace kn4 {

// A colour as every file and program of the suite stores it: 24-bit RGB
// as red + 256 x green + 65536 x blue.
using Colour = std::int32_t;

constexpr Colour rgb(int red, int green, int blue)
{
    return Colour(red & 0xFF) | Colour(green & 0xFF) << 8 | Colour(blue & 0xFF) << 16;
}
constexpr int redOf(Colour colour) { return colour & 0xFF; }
constexpr int greenOf(Colour colour) { return (colour >> 8) & 0xFF; }
constexpr int blueOf(Colour colour) { return (colour >> 16) & 0xFF; }

} // namespace kn4
