// The replay of the running totals, as it runs after every click: a panel of
// 500 rows that unrolls past the 9999-step limit, with the real library. Its
// rib is the argument: 300 needles keep the edges apart, 100 make them
// cross after a hundred decreases (the crossing rows are then looked up
// course by course).
#include "benchpanels.h"

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

void BM_RunningTotalsFullPanel(benchmark::State &state)
{
    LibraryBinding library;
    if (!library.load(KN4_PROGRAM_DIR)) {
        state.SkipWithError(library.errorMessage().c_str());
        return;
    }
    const auto commands = CommandList::load(std::string(KN4_PROGRAM_DIR) + "/italiano", library);
    if (!commands.list) {
        state.SkipWithError(commands.fatalMessage.c_str());
        return;
    }
    const ColourCodec codec = paletteColourCodec();
    const PanelReader reader(*commands.list, library, codec, 320, false);

    std::vector<std::string> rows;
    for (const std::string &line : kn4::bench::fullPanelRows())
        rows.push_back(*reader.convertRow(line, nullptr));
    TotalsSettings settings;
    settings.frontura = "320";
    settings.ingombroPettini = "30";
    settings.costinaDx = settings.costinaSx = std::to_string(state.range(0));
    settings.scolloDx = settings.scolloSx = "1";

    RunningTotals totals(library);
    for (auto _ : state) {
        totals.recompute(rows.data(), int(rows.size()), settings);
        benchmark::DoNotOptimize(totals.programSteps());
    }
    if (totals.programSteps() != RunningTotals::kStepLimit)
        state.SkipWithError("the panel does not reach the step limit");
    if ((totals.crossedCourses() > 0) != (state.range(0) < 250))
        state.SkipWithError("the edges cross where they should not, or the other way round");
}
BENCHMARK(BM_RunningTotalsFullPanel)->Arg(300)->Arg(100)->Unit(benchmark::kMicrosecond);

} // namespace
