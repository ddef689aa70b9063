#pragma once

// The panels the benchmarks measure, shared with the tests that keep the
// results of the measured code the same byte for byte.

#include <string>

namespace kn4::bench {

// The longest legal code block of the simulator's benchmarks: 15-byte units
// of long count-byte repeats (plain courses, carrier changes, half-needle
// widenings and edge decreases, each run repeated 128 times) until the code
// would pass 9997 bytes, then the exit byte.
inline std::string longestCode()
{
    const std::string unit = {char(0x95), char(0x94), char(127), char(127), char(0x98), char(127),
                              char(0x90), char(63),   char(0x96), char(0x94), char(127), char(0x99),
                              char(127),  char(0x91), char(63)};
    std::string code(1, char(0x9D));
    while (code.size() + unit.size() < 9997)
        code += unit;
    code += char(0x9C);
    return code;
}

} // namespace kn4::bench
