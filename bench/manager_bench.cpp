// The manager's check that a panel can go to the machine replays its whole
// code on the simulator's engine; the preview runs it on every click, so it
// must take no noticeable time even for the longest legal code (close to
// 10000 bytes of long count-byte repeats).
#include "core/machinecheck.h"

#include "benchpanels.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string longestPanel()
{
    return "AB--- 44 DAVANTI---,240D,12------,2,120D 120S,0D 0S,9999,9999\x1a" + kn4::bench::longestCode() +
           "\r\nSORGENTE.KN4\r\ntipo AB---\r\n";
}

void machineCheckOfTheLongestPanel(benchmark::State &state)
{
    const std::string panel = longestPanel();
    for (auto _ : state)
        benchmark::DoNotOptimize(kn4::manager::MachineCheck::ofBytes(panel));
}
BENCHMARK(machineCheckOfTheLongestPanel)->Unit(benchmark::kMillisecond);

} // namespace
