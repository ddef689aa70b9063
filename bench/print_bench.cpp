// The print program's speed: the outline follows the whole code before the
// print dialog shows, so walking the longest legal code (close to 10000
// bytes of count-byte repeats, edges moving every run) and laying out its
// pages must take a blink; a damaged header must be refused at once.
#include "printjobbuilder.h"
#include "profilewalk.h"

#include "benchpanels.h"

#include "kn4/labelfile.h"

#include <benchmark/benchmark.h>

#include <limits>
#include <string>

using namespace kn4;

namespace {

using bench::longestCode;

PanelHeaderValues header()
{
    PanelHeaderValues h;
    h.setupText = "2";
    h.setupValue = 2;
    h.ribRight = h.ribLeft = 120;
    h.necklineRight = h.necklineLeft = 20;
    h.borderHeight = 6;
    h.needlesPerCm = 3;
    h.coursesPerCm = 4.5;
    return h;
}

void BM_ProfileWalk(benchmark::State &state)
{
    const std::string code = longestCode();
    const PanelHeaderValues h = header();
    std::size_t items = 0;
    for (auto _ : state) {
        const ProfileWalk::Result result = ProfileWalk::walk(h, code);
        items = result.drawing.items.size();
        benchmark::DoNotOptimize(items);
    }
    state.counters["primitives"] = double(items);
}
BENCHMARK(BM_ProfileWalk)->Unit(benchmark::kMillisecond);

void BM_DamagedHeaderRefused(benchmark::State &state)
{
    const std::string code = longestCode();
    PanelHeaderValues h = header();
    h.ribRight = std::numeric_limits<std::int32_t>::max();
    for (auto _ : state)
        benchmark::DoNotOptimize(ProfileWalk::walk(h, code).damaged);
}
BENCHMARK(BM_DamagedHeaderRefused)->Unit(benchmark::kMicrosecond);

// The pages of a panel of 500 rows with the outline of the longest code.
void BM_PrintPages(benchmark::State &state)
{
    const LabelFile labels = LabelFile::fromText("", 50);
    PrintContent content;
    content.panelPath = "/home/maglieria/archivi/DEMO/DAVANTI.KN4";
    content.profile = ProfileWalk::walk(header(), longestCode()).drawing;
    for (int n = 0; n < 501; ++n)
        content.listing.push_back({n, "|  " + std::to_string(n) + " | liscio         , 2   , 1   |  2       |", false});
    for (auto _ : state)
        benchmark::DoNotOptimize(PrintJobBuilder(labels).build(content).size());
}
BENCHMARK(BM_PrintPages)->Unit(benchmark::kMillisecond);

} // namespace
