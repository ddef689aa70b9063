// Arbitrary bytes through the simulator's readers: as a panel file (head
// text, header values, colour codes, intarsia lists and fields, the whole
// simulation in both views and every stripe mode, the stripe check and the
// picture), as
// a bare code block, as simulatore.sav (which must write back what it read)
// and as simulatore.ini.
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
#include <string_view>

using namespace kn4;

namespace {

void require(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "simulator fuzz: %s\n", what);
        std::abort();
    }
}

void checkRun(KnitEngine &engine)
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const std::uint8_t selector = size > 0 ? data[0] : 0;

    const PanelHead head = PanelHead::fromBytes(bytes, "fuzz.kn4");
    require(!head.ok() || !head.codeBlock().empty(), "a panel without code taken for simulation");
    KnitEngine engine;
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
        checkRun(engine);
        checkRun(engine);  // a rerun after the first one
        DrawingRaster raster(64, 64);
        raster.paint(engine.drawing());
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
    engine.setPanel(values, std::string(bytes));
    engine.clearFinished();
    checkRun(engine);

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
    return 0;
}
