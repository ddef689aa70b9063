#pragma once

// The panels the benchmarks measure, shared with the tests that keep the
// results of the measured code the same byte for byte.

#include <string>
#include <vector>

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

// The running totals' benchmark panel, as a panel file holds its 500 rows:
// a definition row, then plain courses and decreases taking turns. 250 x 40
// courses run past the 9999-step limit, so the last rows sit at step 9999.
inline std::vector<std::string> fullPanelRows()
{
    std::vector<std::string> rows{"definizione PROFILO ESTERNO"};
    for (int i = 1; i < 500; ++i)
        rows.push_back(i % 2 ? "liscio         , 40  , 1   ;" : "calato        1, 1   , 1   ;");
    return rows;
}

} // namespace kn4::bench
