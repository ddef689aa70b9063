#include "panelsimulation.h"

#include "simulator/courserows.h"

#include "simulator/drawingraster.h"
#include "simulator/simlabels.h"
#include "simulator/simulationsetup.h"
#include "simulator/weightcalculator.h"

#include "kn4/cp1252.h"

#include <cmath>
#include <cstdio>

namespace kn4 {

namespace {

std::string number(double value)
{
    if (!std::isfinite(value))
        return "null";
    if (value == 0)
        value = 0;
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

template <typename Array>
std::string numberList(const Array &values)
{
    std::string out = "[";
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            out += ", ";
        out += number(double(values[i]));
    }
    return out + "]";
}

} // namespace

std::string pathText(const std::string &bytes)
{
    // Well-formed UTF-8 sequences pass; any other byte becomes U+FFFD.
    std::string out;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = lead < 0x80          ? 1
                                   : (lead >> 5) == 0x06 ? 2
                                   : (lead >> 4) == 0x0E ? 3
                                   : (lead >> 3) == 0x1E ? 4
                                                         : 0;
        bool wellFormed = length > 0 && i + length <= bytes.size();
        for (std::size_t k = 1; wellFormed && k < length; ++k)
            wellFormed = (static_cast<unsigned char>(bytes[i + k]) & 0xC0) == 0x80;
        if (wellFormed && length > 1) {
            // No overlong forms, surrogates or values past U+10FFFF.
            const unsigned char second = static_cast<unsigned char>(bytes[i + 1]);
            wellFormed = !(lead == 0xC0 || lead == 0xC1 || (lead == 0xE0 && second < 0xA0) ||
                           (lead == 0xED && second >= 0xA0) || (lead == 0xF0 && second < 0x90) ||
                           (lead == 0xF4 && second >= 0x90) || lead > 0xF4);
        }
        if (wellFormed) {
            out.append(bytes, i, length);
            i += length;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}

std::string jsonString(const std::string &bytes)
{
    return jsonText(cp1252ToUtf8(bytes));
}

std::string jsonText(const std::string &utf8)
{
    std::string out = "\"";
    for (const char c : utf8) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", u);
            out += buffer;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

PanelSimulation PanelSimulation::run(const std::string &panel, const SimSettings &settings, bool picture,
                                     const std::optional<std::filesystem::path> &rowsFolder)
{
    PanelSimulation result;
    result.panel = panel;
    PanelHead head = PanelHead::load(panel);
    if (!head.ok()) {
        result.error = head.errorText();
        return result;
    }

    // The window's own start: colour codes, stripe mode, scale.
    KnitEngine engine;
    SimulationSetup::prepare(engine, head, settings);
    engine.setRecording(picture);
    engine.maglia();

    result.setup = head.setup();
    result.density = head.density();
    result.ribRight = head.ribRight();
    result.ribLeft = head.ribLeft();
    result.necklineRight = head.necklineRight();
    result.necklineLeft = head.necklineLeft();
    result.steps = head.steps();
    result.headerCourses = head.courses();
    result.borderHeight = head.borderHeight();
    result.needlesPerCm = head.needlesPerCm();
    result.coursesPerCm = head.coursesPerCm();
    result.colours = engine.settings().colours;
    result.finalState = engine.state();
    result.stitches = engine.stitchesPerColour();
    result.stripeErrors = engine.stripeCheck();

    WeightCalculator calculator;
    const IntarsiaAreas &areas = engine.intarsiaAreas();
    const WeightReport weight =
        calculator.Aggiorno_peso(engine.settings(), engine.stitches(), SimLabels(), areas.area2, areas.area3);
    if (weight.hasReference) {
        result.weightTotal = weight.total;
        result.weights = weight.colours;
    }
    if (picture)
        result.drawing = engine.drawing();
    if (rowsFolder) {
        const CourseRows courseRows = CourseRows::load(panel, *rowsFolder);
        result.rows.emplace();
        for (std::int64_t course = 1; course < result.finalState.course; ++course) {
            const CourseRows::Row *row = courseRows.rowOfCourse(course);
            result.rows->push_back(row ? CourseRow{course, row->line, row->text} : CourseRow{course, 0, {}});
        }
    }
    return result;
}

std::string PanelSimulation::png(int size) const
{
    DrawingRaster raster(size, size);
    raster.paint(drawing);
    return raster.png();
}

std::string PanelSimulation::json() const
{
    std::string out = "{\"panel\": " + jsonText(pathText(panel));
    if (!error.empty())
        return out + ", \"error\": " + jsonString(error) + "}";
    auto field = [&](const char *key, const std::string &value) {
        out += ", \"";
        out += key;
        out += "\": ";
        out += value;
    };
    field("setup", number(setup));
    field("density", jsonString(density));
    field("rib_right", number(ribRight));
    field("rib_left", number(ribLeft));
    field("neckline_right", number(necklineRight));
    field("neckline_left", number(necklineLeft));
    field("steps", number(steps));
    field("header_courses", number(headerCourses));
    field("border_height", number(borderHeight));
    field("needles_per_cm", number(needlesPerCm));
    field("courses_per_cm", number(coursesPerCm));
    field("colours", numberList(colours));
    field("courses", number(double(finalState.course)));
    field("right_edge", number(finalState.rightEdge));
    field("left_edge", number(finalState.leftEdge));
    field("outer", number(double(finalState.outer)));
    field("inner", number(double(finalState.inner)));
    field("stitches_total", number(stitches.total));
    field("stitches", numberList(stitches.carriers));
    field("stripe_errors", numberList(stripeErrors));
    field("weight_total", weightTotal ? number(*weightTotal) : "null");
    field("weights", weightTotal ? numberList(weights) : "null");
    if (rows) {
        std::string list = "[";
        for (const CourseRow &row : *rows) {
            list += (list.size() > 1 ? ", " : "") + std::string("{\"course\": ") + number(double(row.course)) +
                    ", \"row\": " + (row.line > 0 ? number(row.line) : "null") +
                    ", \"text\": " + (row.line > 0 ? jsonString(row.text) : "null") + "}";
        }
        field("rows", list + "]");
    }
    return out + "}";
}

std::string PanelSimulation::text() const
{
    std::string out = "=== " + pathText(panel) + " ===\n";
    if (!error.empty())
        return out + "error: " + error + "\n";
    out += "set-up " + number(setup) + ", density " + cp1252ToUtf8(density) + ", rib " + number(ribRight) +
           "D " + number(ribLeft) + "S, neckline " + number(necklineRight) + "D " + number(necklineLeft) + "S\n";
    out += "header: " + number(steps) + " steps, " + number(headerCourses) + " courses; border height " +
           number(borderHeight) + ", " + number(needlesPerCm) + " needles/cm, " + number(coursesPerCm) +
           " courses/cm\n";
    out += "colours:";
    for (const Colour colour : colours) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, " #%02x%02x%02x", redOf(colour), greenOf(colour), blueOf(colour));
        out += buffer;
    }
    out += "\nend: course " + number(double(finalState.course)) + ", edges " + number(finalState.rightEdge) +
           "D " + number(finalState.leftEdge) + "S, outer carriage " + number(double(finalState.outer)) +
           ", inner carriage " + number(double(finalState.inner)) + "\n";
    out += "stitches: " + number(stitches.total) + " in all;";
    for (std::size_t k = 0; k < stitches.carriers.size(); ++k)
        out += " " + std::to_string(k + 1) + ": " + number(stitches.carriers[k]);
    out += "\nstripe check: ";
    if (stripeErrors.empty()) {
        out += "no carrier taken up on the wrong side\n";
    } else {
        out += "carrier taken up on the wrong side at course";
        for (const std::int64_t course : stripeErrors)
            out += " " + std::to_string(course);
        out += "\n";
    }
    if (!weightTotal) {
        out += "weight: no weight reference set\n";
    } else {
        out += "weight: " + number(*weightTotal) + " g in all;";
        for (std::size_t k = 0; k < weights.size(); ++k)
            out += " " + std::to_string(k + 1) + ": " + number(weights[k]) + " g";
        out += "\n";
    }
    if (rows) {
        for (const CourseRow &row : *rows)
            if (row.line > 0)
                out += "course " + std::to_string(row.course) + ": row " + std::to_string(row.line) + ": " +
                       cp1252ToUtf8(row.text) + "\n";
    }
    return out;
}

} // namespace kn4
