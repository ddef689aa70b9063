// The replay of the running totals, as it runs after every click: a panel of
// 500 rows that unrolls past the 9999-step limit, with the real library. Its
// rib is the argument: 300 needles keep the edges apart, 100 make them
// cross after a hundred decreases (the crossing rows are then looked up
// course by course).
#include "benchpanels.h"
#include "benchstatistics.h"

#include "document/commandlist.h"
#include "document/librarybinding.h"
#include "document/panelreader.h"
#include "document/palettecodec.h"
#include "window/core/runningtotals.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace kn4::editor;

// The full panel with its rib from the benchmark's argument, and the same
// panel with the decrease of row 2 stepped from 1 to 2 needles.
struct FullPanel
{
    LibraryBinding library;
    std::vector<std::string> rows;
    std::string stepped;  // row 2 after the click
    TotalsSettings settings;
    std::string error;

    explicit FullPanel(std::int64_t rib)
    {
        if (!library.load(KN4_PROGRAM_DIR)) {
            error = library.errorMessage();
            return;
        }
        const auto commands = CommandList::load(std::string(KN4_PROGRAM_DIR) + "/italiano", library);
        if (!commands.list) {
            error = commands.fatalMessage;
            return;
        }
        const ColourCodec codec = paletteColourCodec();
        const PanelReader reader(*commands.list, library, codec, 320, false);
        for (const std::string &line : kn4::bench::fullPanelRows())
            rows.push_back(*reader.convertRow(line, nullptr));
        stepped = *reader.convertRow("calato        2, 1   , 1   ;", nullptr);
        settings.frontura = "320";
        settings.ingombroPettini = "30";
        settings.costinaDx = settings.costinaSx = std::to_string(rib);
        settings.scolloDx = settings.scolloSx = "1";
    }

    // The replay the benchmarks time (apart, so a profiler can count what
    // the timed replays alone cost).
    [[gnu::noinline]] void replay(RunningTotals &totals) { totals.recompute(rows.data(), int(rows.size()), settings); }

    void check(benchmark::State &state, const RunningTotals &totals) const
    {
        if (totals.programSteps() != RunningTotals::kStepLimit)
            state.SkipWithError("the panel does not reach the step limit");
        if ((totals.crossedCourses() > 0) != (state.range(0) < 250))
            state.SkipWithError("the edges cross where they should not, or the other way round");
    }
};

// The replay of an unchanged panel, as after a click that changed nothing
// (the replay has run when the panel was opened and after earlier clicks).
void BM_RunningTotalsFullPanel(benchmark::State &state)
{
    FullPanel panel(state.range(0));
    if (!panel.error.empty()) {
        state.SkipWithError(panel.error.c_str());
        return;
    }
    RunningTotals totals(panel.library);
    for (int i = 0; i < 2; ++i)
        totals.recompute(panel.rows.data(), int(panel.rows.size()), panel.settings);
    for (auto _ : state) {
        panel.replay(totals);
        benchmark::DoNotOptimize(totals.programSteps());
    }
    panel.check(state, totals);
}
BENCHMARK(BM_RunningTotalsFullPanel)->Arg(300)->Arg(100)->Unit(benchmark::kMicrosecond)
    ->ComputeStatistics("min", kn4::bench::minimum);

// A click on P1 of row 2 before every replay: the decrease steps between 1
// and 2 needles, and every course after it moves.
void BM_RunningTotalsAfterClick(benchmark::State &state)
{
    FullPanel panel(state.range(0));
    if (!panel.error.empty()) {
        state.SkipWithError(panel.error.c_str());
        return;
    }
    RunningTotals totals(panel.library);
    for (int i = 0; i < 2; ++i)
        totals.recompute(panel.rows.data(), int(panel.rows.size()), panel.settings);
    for (auto _ : state) {
        std::swap(panel.rows[2], panel.stepped);
        panel.replay(totals);
        benchmark::DoNotOptimize(totals.programSteps());
    }
    panel.check(state, totals);
}
BENCHMARK(BM_RunningTotalsAfterClick)->Arg(300)->Arg(100)->Unit(benchmark::kMicrosecond)
    ->ComputeStatistics("min", kn4::bench::minimum);

} // namespace
