#pragma once

#include "kn4/colour.h"

#include <cstdint>
#include <vector>

namespace kn4 {

// One thing to draw on the simulator's picture, in drawing units of its
// 8000 x 8000 area (x to the right, y downwards). The screen, the printer,
// the PNG export of kn4sim and the tests all draw from the same list.
struct DrawPrimitive
{
    enum class Kind : std::uint8_t {
        Clear,  // the whole area in colour (x and y unused)
        Box,    // rectangle with corners (x1, y1) and (x2, y2), in any order;
                // filled or outlined as `filled` says
        Line,   // line from (x1, y1) to (x2, y2), both ends included
        Point,  // one point at (x1, y1)
    };

    Kind kind = Kind::Point;
    bool filled = false;
    std::int32_t x1 = 0;
    std::int32_t y1 = 0;
    std::int32_t x2 = 0;
    std::int32_t y2 = 0;
    Colour colour = 0;

    bool operator==(const DrawPrimitive &) const = default;
};

using DrawingList = std::vector<DrawPrimitive>;

// The picture's area in drawing units.
constexpr std::int32_t kDrawingAreaSize = 8000;

} // namespace kn4
