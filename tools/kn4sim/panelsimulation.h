#pragma once

#include "simulator/drawinglist.h"
#include "simulator/knitengine.h"
#include "simulator/panelhead.h"
#include "simulator/simsettings.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace kn4 {

// One compiled panel run through the simulator's head reading and engine,
// view 0, with the given settings (the panel's colour codes replace the
// colours as the simulator does at start-up): what kn4sim prints.
struct PanelSimulation
{
    std::string panel;  // the path as given
    std::string error;  // why it cannot be simulated; empty when it ran

    std::int32_t setup = 0;
    std::string density;
    std::int32_t ribRight = 0;
    std::int32_t ribLeft = 0;
    std::int32_t necklineRight = 0;
    std::int32_t necklineLeft = 0;
    std::int32_t steps = 0;
    std::int32_t headerCourses = 0;
    double borderHeight = 0;
    double needlesPerCm = 0;
    double coursesPerCm = 0;
    std::array<Colour, SimSettings::kCarriers> colours{};

    KnitState finalState;
    StitchTotals stitches;
    std::vector<std::int64_t> stripeErrors;
    // Grams, as the weight window cuts them; nothing without a reference.
    std::optional<double> weightTotal;
    std::array<double, SimSettings::kCarriers> weights{};

    // The picture, when asked for.
    DrawingList drawing;

    static PanelSimulation run(const std::string &panel, const SimSettings &settings, bool picture);

    // One JSON object with the keys kn4sim documents.
    std::string json() const;
    // The same for a person to read.
    std::string text() const;
};

// JSON string literal of Windows-1252 bytes.
std::string jsonString(const std::string &bytes);

} // namespace kn4
