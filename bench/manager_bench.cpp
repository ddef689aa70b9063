// The manager's check that a panel can go to the machine replays its whole
// code on the simulator's engine; the preview runs it on every click, so it
// must take no noticeable time even for the longest legal code (close to
// 10000 bytes of long count-byte repeats).
#include "core/machinecheck.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string longestPanel()
{
    const std::string unit = {char(0x95), char(0x94), char(127), char(127), char(0x98), char(127),
                              char(0x90), char(63),   char(0x96), char(0x94), char(127), char(0x99),
                              char(127),  char(0x91), char(63)};
    std::string code(1, char(0x9D));
    while (code.size() + unit.size() < 9997)
        code += unit;
    code += char(0x9C);
    return "AB--- 44 DAVANTI---,240D,12------,2,120D 120S,0D 0S,9999,9999\x1a" + code +
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
