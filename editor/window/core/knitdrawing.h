#pragma once

#include "document/panelmodel.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kn4::editor {

class LanguageTable;
class RunningTotals;

// What the knit drawing reads from one replay of the program: per step of
// the program part the outer and inner carriages of both sides, and the
// marks the commands left there.
struct ShapeSteps
{
    struct Event
    {
        int step = 0;
        int code = 0;  // the library's mark: 1-8 yarn, 10/11 crossing, 20/21 decrease, 30 neckline, 40-43 combs
    };

    int programSteps = 0;  // courses of the program part
    int widestOuterRight = 0;
    int widestOuterLeft = 0;
    std::int64_t increases = 0;  // passes of AUMENTAZIONE
    // Indexed by step, 0..programSteps-1.
    std::vector<int> outerRight;
    std::vector<int> outerLeft;
    std::vector<int> innerRight;
    std::vector<int> innerLeft;
    // Ordered by step; within a step in the order the replay met them.
    std::vector<Event> events;

    // Copies what the drawing needs after a replay.
    static ShapeSteps fromTotals(const RunningTotals &totals);
};

// The header fields and texts the final values are written from.
struct FinalValuesSource
{
    static constexpr int kTexts = 12;  // language texts 25..36

    PanelHeader header;  // Predisposizione, AltezzaBordo, CostinaDx/Sx, ScolloDx/Sx, AghiCm, RanghiCm
    // Language texts 25..36 (Bordo, Costina, Scollo, Aghi, Ranghi, cm, Lato
    // destro, Lato sinistro, Larghezza massima, Altezza totale,
    // Predisposizione, Aumenti); an empty text falls back to the Italian one.
    std::array<std::string, kTexts> texts;
    char separator = '.';  // the system's decimal separator

    void setTexts(const LanguageTable &language);
};

// How the piece is drawn: the yarn colours of the eight swatches, the sides
// the set-up allows and whether the final values are printed on it.
struct DrawingSettings
{
    std::array<Colour, PanelModel::kColourBoxes> swatches = PanelModel::kDefaultColours;
    int setupMode = 0;      // numeric value of Predisposizione
    int setupOptions = 3;   // set-up options of the command line, bit values 1 and 2
    bool finalValues = false;  // ValoriFinali ticked
    FinalValuesSource finalSource;  // read only with finalValues
};

// One thing to paint, in pixels of the drawing area. Lines and marks name
// their pixels with both ends included.
struct DrawingPrimitive
{
    enum class Kind {
        Course,     // a course across the piece, y1 == y2
        Crossing,   // a course drawn again in the inverse colour (mark 10), y1 == y2
        Dash,       // one dash of a dashed course (mark 11), y1 == y2
        WhiteMark,  // a decrease or neckline mark (20, 21, 30): a short segment
        Text,       // a final value: top-left corner at (x1, y1)
    };

    Kind kind = Kind::Course;
    int step = -1;  // the step that drew it; -1 for texts
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    Colour colour = 0;
    std::string text;  // Windows-1252 bytes
    bool bold = false;
    int pointSize = 0;
};

struct KnitPicture
{
    double scale = 1.0;  // DrawScale: pixels per needle and per course
    std::vector<DrawingPrimitive> primitives;  // in painting order
};

// The knitted piece as the program makes it: every course a horizontal line
// whose ends are the outer carriages, centred on x = 160 and growing upwards
// from y = 381, coloured by the yarn the stripes select, with the marks of
// the commands on it. GUI-free: the window paints the primitives.
class KnitDrawing
{
public:
    static constexpr int kCentreX = 160;     // centre line of the piece
    static constexpr int kBaseY = 381;       // the first course
    static constexpr int kHalfWidth = 155;   // pixels to each side at most
    static constexpr Colour kWhite = rgb(255, 255, 255);
    static constexpr Colour kFinalValuesGrey = rgb(120, 120, 120);
    static constexpr int kFinalValuesPointSize = 8;
    // Courses before any yarn change are knitted with the yarn of swatch 0.
    static constexpr int kFirstSwatch = 0;
    static constexpr std::array<Colour, PanelModel::kColourBoxes> kDefaultSwatches =
        PanelModel::kDefaultColours;

    // The piece is drawn symmetric from the right-hand carriages unless the
    // set-up is two-sided (mode 2) and the set-up options lack the right
    // side (bit value 2); then the left end follows the left-hand carriages.
    static bool drawnSymmetric(int setupMode, int setupOptions);

    // Pixels per needle and per course: the smallest of 155 / widest
    // carriage, 381 / courses and 1 (never enlarged); a factor whose divisor
    // is below 1 counts as 1.
    static double scaleFor(int widestCarriage, int programSteps);

    static KnitPicture draw(const ShapeSteps &steps, const DrawingSettings &settings);

    // The colour that stands out on a yarn: each of red, green and blue
    // taken from 255.
    static Colour inverseColour(Colour colour);

    // The pointer readout over the drawing: courses and needles under the
    // pointer (x, y in pixels), each right-aligned in 4 characters ("----"
    // when longer), two blanks, the value in cm and " cm".
    struct Readout
    {
        std::string courses;  // lblRanghi
        std::string needles;  // lblAghi
    };
    static Readout pointerReadout(double x, double y, double scale, std::string_view needlesPerCm,
                                  std::string_view coursesPerCm, char separator);

    // To the nearest whole number, halves to the even neighbour; values
    // beyond the drawing's reach are held at +-32767 pixels.
    static int toPixel(double value);
};

} // namespace kn4::editor
