#pragma once

// What the simulator's two fuzz targets run on their input: arbitrary bytes
// as a panel file (head text, header values, colour codes, intarsia lists
// and fields, the whole simulation in both views and every stripe mode, the
// stripe check and the picture), as a bare code block, as simulatore.sav
// (which must write back what it read) and as simulatore.ini.
// fuzz_simulator cuts every code block at the course bound of
// coursebound.h; fuzz_simulator_long replays whole codes, up to the longest
// legal panel, and leaves the text files to the short target.
#include "coursebound.h"

#include "simulator/drawingraster.h"
#include "simulator/knitengine.h"
#include "simulator/panelhead.h"
#include "simulator/simarguments.h"
#include "simulator/simlabels.h"
#include "simulator/simsettings.h"
#include "simulator/simulationsetup.h"
#include "simulator/weightcalculator.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace kn4::fuzzing {

inline void require(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "simulator fuzz: %s\n", what);
        std::abort();
    }
}

inline void checkRun(KnitEngine &engine)
{
    engine.maglia();
    require(engine.finished(), "a run that does not finish");
    std::int64_t previous = 0;
    for (const std::int64_t course : engine.stripeCheck()) {
        require(course > previous && course <= KnitEngine::kMaxCourseRecords, "stripe check out of order");
        require(engine.record(course) != nullptr, "an error course without a record");
        previous = course;
    }
    require(engine.record(-1) == nullptr && engine.record(KnitEngine::kMaxCourseRecords + 1) == nullptr,
            "a record past the table");
    const StitchTotals &totals = engine.stitches();
    double sum = 0;
    for (const double carrier : totals.carriers)
        sum += carrier;
    require(sum == totals.total || std::abs(sum - totals.total) <= 1e-6 * std::abs(totals.total),
            "carrier totals that do not add up");
    const IntarsiaAreas &areas = engine.intarsiaAreas();
    require(areas.area2 >= 0 && areas.area3 >= 0, "a negative intarsia field");
    require(engine.settings().stripeMode == 2 || (areas.area2 == 0 && areas.area3 == 0),
            "intarsia fields outside stripe mode 2");
}

// One input; whole codes when `wholeCodes`, else cut at kCourseBound.
inline void runInput(const std::uint8_t *data, std::size_t size, bool wholeCodes)
{
    auto bounded = [&](std::string_view code) { return wholeCodes ? std::string(code) : cutAtCourseBound(code); };
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const std::uint8_t selector = size > 0 ? data[0] : 0;

    const PanelHead head = PanelHead::fromBytes(bytes, "fuzz.kn4");
    require(!head.ok() || !head.codeBlock().empty(), "a panel without code taken for simulation");
    // One engine and one raster for every input, made as new each time:
    // every run starts from the start values, the settings and the view,
    // and the finished flag cleared lets the records be rebuilt; only the
    // tables' memory is kept, which saves most of an input's allocations.
    static KnitEngine engine;
    static DrawingRaster raster(64, 64);
    engine.settings() = SimSettings();
    engine.drawingView() = DrawingView();
    engine.clearFinished();
    engine.settings().stripeMode = std::uint8_t((selector >> 1) % 3);
    engine.settings().countStart = std::uint8_t((selector >> 3) & 1);
    engine.drawingView().view = selector & 1;
    engine.settings().scale = std::int16_t(2 + 2 * ((selector >> 4) % 8));
    engine.drawingView().scale = engine.settings().scale;
    if (head.ok()) {
        PanelHead withLists = head;
        const SimSettings settings = engine.settings();
        SimulationSetup::prepare(engine, withLists, settings);
        require(withLists.intarsiaF().size() <= PanelHead::kMaxIntarsiaF, "too long an F list");
        engine.setPanel(KnitStartValues(engine.startValues()), bounded(engine.codeBlock()));
        checkRun(engine);
        checkRun(engine);  // a rerun after the first one
        raster.paint(engine.drawing());  // begins with the clearing of the whole picture
        WeightCalculator weight;
        engine.settings().referenceWeight = 300;
        engine.settings().referenceStitches = std::int32_t(size);
        weight.Aggiorno_peso(engine.settings(), engine.stitches(), SimLabels());
    }

    // The same bytes as a code block, with start values from the selector.
    KnitStartValues values;
    values.setup = selector & 3;
    values.ribRight = selector;
    values.ribLeft = selector / 2;
    values.borderHeight = selector % 7;
    values.coursesPerCm = 2.5;
    values.intarsiaR = {1, selector, 3, 300, selector / 3, 2};
    values.intarsiaF = {-(selector % 50), selector % 70, 0, 20};
    engine.setPanel(values, bounded(bytes));
    engine.clearFinished();
    checkRun(engine);

    // The text files are read line by line, whatever the length of the
    // text: the short target reads them, the long one spends its inputs on
    // whole codes.
    if (wholeCodes)
        return;
    const SimSettingsFile::Result settings = SimSettingsFile::fromText(bytes);
    // A file read whole or in part writes back as a file read whole.
    if (settings.status == SimSettingsFile::Status::Loaded || settings.status == SimSettingsFile::Status::Partial) {
        const std::string written = SimSettingsFile::toText(settings.settings);
        const SimSettingsFile::Result again = SimSettingsFile::fromText(written);
        require(again.status == SimSettingsFile::Status::Loaded, "written settings that do not read");
        require(SimSettingsFile::toText(again.settings) == written, "settings that change when written");
        require(settings.settings.scale >= SimSettings::kMinScale, "a scale below its least value");
    }
    const SimLabels labels = SimLabels::fromText(bytes);
    require(labels.text(0).empty() && labels.text(SimLabels::kSlotCount + 1).empty(), "a slot past the table");
    SimArguments::parse(bytes);
}

} // namespace kn4::fuzzing
