#pragma once

#include "printpage.h"

#include <cstdint>
#include <vector>

namespace kn4 {

// The outline of the piece on page 1 and the key values beside it.
struct ProfileDrawing
{
    // Where the piece stands on page 1: needle 0 at kCentreX, course 0 on
    // kBaseY, courses growing upwards, in the free space right of the header.
    static constexpr int kCentreX = 30500;
    static constexpr int kBaseY = 23800;

    std::vector<page::Primitive> items;
    int scale = 1; // page units per needle and per course
    double ribRight = 0, ribLeft = 0;
    double widestRight = 0, widestLeft = 0;
    double finalRight = 0, finalLeft = 0;
    double necklineRight = 0, necklineLeft = 0;
    std::int64_t outer = 0, inner = 0; // carriage positions at the end
    std::int64_t courses = 0;          // the last course reached, border included

    // Page units per needle and per course: the largest that keeps the rib
    // within 5000 units on each side and the courses within 17000, each an
    // integer division. A zero rib side or a panel without courses has no
    // say (instead of dividing by zero); at least 1.
    static int scaleFor(std::int32_t ribLeft, std::int32_t ribRight, std::int32_t courseCount);
};

} // namespace kn4
