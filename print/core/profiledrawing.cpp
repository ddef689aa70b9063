#include "profiledrawing.h"

#include <algorithm>
#include <limits>

namespace kn4 {

int ProfileDrawing::scaleFor(std::int32_t ribLeft, std::int32_t ribRight, std::int32_t courseCount)
{
    int scale = std::numeric_limits<int>::max();
    if (ribLeft > 0)
        scale = std::min(scale, 5000 / ribLeft);
    if (ribRight > 0)
        scale = std::min(scale, 5000 / ribRight);
    if (courseCount > 0)
        scale = std::min(scale, 17000 / courseCount);
    if (scale == std::numeric_limits<int>::max())
        return 1;
    return std::max(scale, 1);
}

} // namespace kn4
