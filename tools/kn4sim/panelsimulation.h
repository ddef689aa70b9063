#pragma once

#include "simulator/drawinglist.h"
#include "simulator/knitengine.h"
#include "simulator/panelhead.h"
#include "simulator/simsettings.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kn4 {

// One compiled panel run through the simulator's head reading and engine,
// view 0, with the given settings made ready as the simulator's window makes
// them (the panel's colour codes, the stripe mode's colours and sides, the
// scale): what kn4sim prints.
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
    // Per colour: in intarsia carriers 1..3 knit the base and the two fields.
    StitchTotals stitches;
    std::vector<std::int64_t> stripeErrors;
    // Grams, as the weight window cuts them; nothing without a reference.
    std::optional<double> weightTotal;
    std::array<double, SimSettings::kCarriers> weights{};

    // The picture, when asked for, and it as a PNG file of size x size
    // pixels for the 8000 x 8000 drawing units.
    DrawingList drawing;
    std::string png(int size) const;

    // The source row of every course the engine knitted, when asked for:
    // line 0 where none knitted it (the set-up course).
    struct CourseRow
    {
        std::int64_t course = 0;
        int line = 0;
        std::string text;  // Windows-1252, "CALATO 2 1 4"
    };
    std::optional<std::vector<CourseRow>> rows;

    // rowsFolder: when given, the rows are read with the keyword file of
    // that language folder.
    static PanelSimulation run(const std::string &panel, const SimSettings &settings, bool picture,
                               const std::optional<std::filesystem::path> &rowsFolder = std::nullopt);

    // One JSON object with the keys kn4sim documents.
    std::string json() const;
    // The same for a person to read.
    std::string text() const;
};

// JSON string literal of Windows-1252 bytes (texts of the panel).
std::string jsonString(const std::string &bytes);
// JSON string literal of UTF-8 text.
std::string jsonText(const std::string &utf8);
// A path as the file system holds it (UTF-8 on this system), shown as it is:
// never read as Windows-1252; a byte that is no part of a UTF-8 character
// becomes U+FFFD.
std::string pathText(const std::string &bytes);

} // namespace kn4
