#pragma once

// Statistics the benchmarks add to Google Benchmark's mean, median and
// standard deviation over --benchmark_repetitions. On a machine shared with
// other work the least time is the run least disturbed, so the figures are
// read as "_min".

#include <algorithm>
#include <vector>

namespace kn4::bench {

inline double minimum(const std::vector<double> &values)
{
    return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
}

} // namespace kn4::bench
