// Building and checking the largest emulator image there is: a controller
// program and 106 panels in 710 counted clusters, every sector with its CRC.
#include "transfer/diskimage.h"

#include <benchmark/benchmark.h>

namespace {

using namespace kn4::transfer::image;

std::vector<SourceFile> fullDiskPanels()
{
    std::vector<SourceFile> panels;
    for (int i = 0; i < 106; ++i)
        panels.push_back({"P" + std::to_string(i) + ".KN4", std::string(5000, char('a' + i % 26))});
    return panels;
}

void BM_BuildFullImage(benchmark::State &state)
{
    const SourceFile plc{"PLC1.EXE", std::string(179 * 1024, 'p')};
    const auto panels = fullDiskPanels();
    for (auto _ : state)
        benchmark::DoNotOptimize(build("DISCO", plc, panels));
}
BENCHMARK(BM_BuildFullImage)->Unit(benchmark::kMillisecond);

void BM_CheckFullImage(benchmark::State &state)
{
    const std::string image = build("DISCO", {"PLC1.EXE", std::string(179 * 1024, 'p')}, fullDiskPanels()).image;
    for (auto _ : state)
        benchmark::DoNotOptimize(check(image));
}
BENCHMARK(BM_CheckFullImage)->Unit(benchmark::kMillisecond);

} // namespace
