#pragma once

#include "kn4/colour.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kn4 {

// The program-wide settings of the simulator, kept in simulatore.sav in the
// current directory and written back when the main window closes.
struct SimSettings
{
    static constexpr int kCarriers = 8;
    static constexpr int kMinScale = 2;

    Colour background = 32896;
    // Colour of yarn carrier 1..8 (index 0..7).
    std::array<Colour, kCarriers> colours{255, 16776960, 0, 255, 16776960, 0, 12632256, 16711680};
    // Start side of carrier 1..8: 1 "<----", 2 "---->", 0 not used ("NO").
    std::array<std::uint8_t, kCarriers> carrierSides{1, 1, 1, 1, 1, 1, 1, 1};
    // "Inizio conteggio": which course parity runs towards which side.
    std::uint8_t countStart = 0;
    // Drawing units per needle and per course, and the value "Grandezza e
    // posizione iniziale" returns to.
    std::int16_t scale = 10;
    std::int16_t savedScale = 10;
    // 0 normal stripes up to 8 colours, 1 machine with an empty course
    // (colours 4/5/6 are the yarns of 1/2/3), 2 intarsia.
    std::uint8_t stripeMode = 0;
    // The weight reference: the panel whose weighed weight (grams, border
    // excluded) and stitch count give the grams per stitch.
    std::string referencePath;
    std::int32_t referenceStitches = 0;
    std::int16_t referenceWeight = 0;
    // "1" high, "0" low; "3" while the print preview shows, with the value to
    // return to in savedResolution.
    std::string resolution = "1";
    std::string savedResolution = "1";

    // Raises the scale (and its copy) to the least the drawing allows.
    void raiseScale();
};

// Reading and writing simulatore.sav: nine colour numbers, the nine bytes of
// the carrier-side array (sides 1..8, then the course-count start), scale,
// stripe mode, reference panel path (quoted), reference stitch count,
// reference weight, resolution (quoted) -- separated by commas or line
// ends, one value per line when written.
class SimSettingsFile
{
public:
    static constexpr const char *kFileName = "simulatore.sav";

    enum class Status {
        Loaded,      // every value read
        Partial,     // some values missing or out of their field's range: those keep
                     // their defaults (ignored names them), the others are read
        Missing,     // no such file
        Unreadable,  // the file cannot be read (a folder, a failed read), or not one
                     // of its values could be used
    };

    struct Result
    {
        Status status = Status::Missing;
        // The values read, each value that could not be read at its default.
        // The copies of scale and resolution equal the values read, and the
        // scale is raised to its least value.
        SimSettings settings;
        // With Partial, the values left at their defaults: "guidafilo 3 = 300",
        // or "valori mancanti da scala in poi" for a file cut short.
        std::vector<std::string> ignored;
        // With Missing and Unreadable: "PATH: reason".
        std::string reason;
    };

    static Result load(const std::filesystem::path &path);
    static Result fromText(std::string_view bytes);

    // The file's text, CR LF line ends, in the order above.
    static std::string toText(const SimSettings &settings);
    // Writes through a temporary file beside the target and a rename: a
    // failed write keeps the old file. On failure *error says why.
    static bool save(const std::filesystem::path &path, const SimSettings &settings,
                     std::string *error = nullptr);
};

} // namespace kn4
