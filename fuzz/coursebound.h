#pragma once

// The bound on the work of one input for the targets that run the
// simulator's engine: a code block is cut where it could pass kCourseBound
// courses. The engine's work grows with the courses a code knits (a carrier
// record for every course up to 10000, a band for every half-needle
// widening), so a campaign that cuts its codes runs thousands of inputs a
// second and spends them on the decoding; fuzz_simulator_long replays
// whole codes.

#include <cstdint>
#include <string>
#include <string_view>

namespace kn4::fuzzing {

// More courses than any code cut at this bound can knit: every count byte
// n counts n + 1, every other byte 1 (parameter bytes included, so the
// bound only ever overestimates).
constexpr std::int64_t kCourseBound = 2000;

inline std::string cutAtCourseBound(std::string_view code)
{
    std::int64_t courses = 0;
    std::size_t end = 0;
    for (; end < code.size(); ++end) {
        const int byte = std::uint8_t(code[end]);
        const int value = byte < 192 ? byte : byte - 64;
        courses += value < 128 ? value + 1 : 1;
        if (courses > kCourseBound)
            break;
    }
    return std::string(code.substr(0, end));
}

} // namespace kn4::fuzzing
