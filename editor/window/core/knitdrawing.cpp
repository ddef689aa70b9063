#include "window/core/knitdrawing.h"

#include "kn4/twips.h"

#include "document/languagetable.h"
#include "window/core/measures.h"
#include "window/core/runningtotals.h"

#include <kn4/number.h>

#include <algorithm>
#include <climits>
#include <cmath>

namespace kn4::editor {

namespace {

using Kind = DrawingPrimitive::Kind;

// The Italian texts 25..36, for a language file that lacks them.
constexpr std::array<std::string_view, FinalValuesSource::kTexts> kBuiltInTexts{
    "Bordo", "Costina", "Scollo", "Aghi", "Ranghi", "cm", "Lato destro", "Lato sinistro",
    "Larghezza massima", "Altezza totale", "Predisposizione", "Aumenti",
};

enum Text { Bordo, Costina, Scollo, Aghi, Ranghi, Cm, LatoDestro, LatoSinistro,
            LarghezzaMassima, AltezzaTotale, Predisposizione, Aumenti };

// Whole needles of a header width, as the replay starts the carriages from.
std::int64_t needlesOf(std::string_view field)
{
    const double value = Measures::ParseMeasure(field);
    return std::isfinite(value) ? std::llround(std::clamp(value, -1e9, 1e9)) : 0;
}

// To the nearest whole number, halves to the even neighbour (as the
// drawing's original environment rounds).
double roundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0))
        return floor + 1.0;
    return floor;
}

// Builds the primitives of one redraw.
class PictureBuilder
{
public:
    PictureBuilder(const ShapeSteps &steps, const DrawingSettings &settings)
        : m_steps(steps), m_settings(settings),
          m_symmetric(KnitDrawing::drawnSymmetric(settings.setupMode, settings.setupOptions))
    {
        // A two-sided piece is scaled by its wider side, so that neither end
        // leaves the drawing area.
        const int widest = m_symmetric ? steps.widestOuterRight
                                       : std::max(steps.widestOuterRight, steps.widestOuterLeft);
        m_picture.scale = KnitDrawing::scaleFor(widest, steps.programSteps);
    }

    KnitPicture run()
    {
        const int n = std::min<int>(m_steps.programSteps, int(m_steps.outerRight.size()));
        Colour colour = m_settings.swatches[KnitDrawing::kFirstSwatch];
        int lastY = INT_MIN;  // no course drawn yet
        std::size_t event = 0;
        for (int s = 0; s < n; ++s) {
            const int y = courseY(s);
            const int left = leftEnd(s);
            const int right = rightEnd(s);
            // Courses that fall on a pixel row already drawn are skipped: the
            // first course of each row shows.
            if (y != lastY) {
                horizontal(Kind::Course, s, left, right, y, colour);
                lastY = y;
            }
            while (event < m_steps.events.size() && m_steps.events[event].step < s)
                ++event;
            for (; event < m_steps.events.size() && m_steps.events[event].step == s; ++event) {
                const int code = m_steps.events[event].code;
                if (code >= 1 && code <= 8) {
                    // Yarn change: the following courses take that swatch.
                    colour = m_settings.swatches[std::size_t(code - 1)];
                } else if (code == 10) {
                    horizontal(Kind::Crossing, s, left, right, y, KnitDrawing::inverseColour(colour));
                } else if (code == 11) {
                    dashes(s, left, right, y, KnitDrawing::inverseColour(colour));
                } else if (code == 20 && s >= 1) {
                    // Decrease on the right: the fashioning mark stands 7
                    // needles' pixels inside the edge the course had before.
                    const double r = scaled(outerRight(s - 1));
                    tick(s, KnitDrawing::toPixel(KnitDrawing::kCentreX - 1 + r - 7), y);
                    if (m_symmetric)
                        tick(s, KnitDrawing::toPixel(KnitDrawing::kCentreX - r + 6), y);
                } else if (code == 21 && s >= 1 && !m_symmetric) {
                    const double l = scaled(outerLeft(s - 1));
                    tick(s, KnitDrawing::toPixel(KnitDrawing::kCentreX - l + 7), y);
                } else if (code == 30) {
                    necklineMark(s, y);
                }
                // The comb states (40-43) and the other marks draw nothing.
            }
        }
        if (m_settings.finalValues)
            finalValues();
        return std::move(m_picture);
    }

private:
    double scaled(int value) const { return double(value) * m_picture.scale; }

    int outerRight(int s) const { return m_steps.outerRight[std::size_t(s)]; }
    int outerLeft(int s) const
    {
        return std::size_t(s) < m_steps.outerLeft.size() ? m_steps.outerLeft[std::size_t(s)] : 0;
    }
    int innerRight(int s) const
    {
        return std::size_t(s) < m_steps.innerRight.size() ? m_steps.innerRight[std::size_t(s)] : 0;
    }

    int courseY(int s) const { return KnitDrawing::toPixel(KnitDrawing::kBaseY - double(s) * m_picture.scale); }

    // The needles of the right half take the pixels from the centre line on,
    // those of the left half the pixels before it.
    int leftEnd(int s) const
    {
        const int carriage = m_symmetric ? outerRight(s) : outerLeft(s);
        return KnitDrawing::toPixel(KnitDrawing::kCentreX - scaled(carriage));
    }
    int rightEnd(int s) const
    {
        return KnitDrawing::toPixel(KnitDrawing::kCentreX - 1 + scaled(outerRight(s)));
    }

    // A piece with no needles on a course (ends crossed) has nothing to show.
    void horizontal(Kind kind, int step, int x1, int x2, int y, Colour colour)
    {
        if (x2 < x1)
            return;
        DrawingPrimitive line;
        line.kind = kind;
        line.step = step;
        line.x1 = x1;
        line.x2 = x2;
        line.y1 = line.y2 = y;
        line.colour = colour;
        m_picture.primitives.push_back(std::move(line));
    }

    // Dashes of 5 pixels every 10, from each end towards the centre line:
    // from the left end while a dash starts left of the centre, from the
    // right end while it starts right of the centre's first pixel.
    void dashes(int step, int left, int right, int y, Colour colour)
    {
        for (int x = left; x < KnitDrawing::kCentreX; x += 10)
            horizontal(Kind::Dash, step, x, x + 4, y, colour);
        for (int x = right; x >= KnitDrawing::kCentreX + 1; x -= 10)
            horizontal(Kind::Dash, step, x - 4, x, y, colour);
    }

    void segment(int step, int x1, int y1, int x2, int y2)
    {
        DrawingPrimitive mark;
        mark.kind = Kind::WhiteMark;
        mark.step = step;
        mark.x1 = x1;
        mark.y1 = y1;
        mark.x2 = x2;
        mark.y2 = y2;
        mark.colour = KnitDrawing::kWhite;
        m_picture.primitives.push_back(std::move(mark));
    }

    // A decrease mark: a white stitch 3 pixels tall standing on the course
    // and the two pixel rows below it (courses already drawn, which later
    // courses do not cover), but never below the first course.
    void tick(int step, int x, int y)
    {
        segment(step, x, y, x, std::min(y + 2, KnitDrawing::kBaseY));
    }

    // A neckline step (mark 30, the right-hand neckline): a white line along
    // the inner carriage from the previous course to this one; mirrored on
    // the left of a symmetric piece. At the first course it is a single dot.
    void necklineMark(int s, int y)
    {
        const int previous = s >= 1 ? s - 1 : s;
        const double from = scaled(innerRight(previous));
        const double to = scaled(innerRight(s));
        const int fromY = courseY(previous);
        segment(s, KnitDrawing::toPixel(KnitDrawing::kCentreX - 1 + from), fromY,
                KnitDrawing::toPixel(KnitDrawing::kCentreX - 1 + to), y);
        if (m_symmetric)
            segment(s, KnitDrawing::toPixel(KnitDrawing::kCentreX - from), fromY,
                    KnitDrawing::toPixel(KnitDrawing::kCentreX - to), y);
    }

    std::string text(int which) const
    {
        const std::string &own = m_settings.finalSource.texts[std::size_t(which)];
        return own.empty() ? std::string(kBuiltInTexts[std::size_t(which)]) : own;
    }

    void label(int yTwips, std::string line)
    {
        DrawingPrimitive text;
        text.kind = Kind::Text;
        text.x1 = text.x2 = kFinalValuesXTwips / kTwipsPerPixel;
        text.y1 = text.y2 = yTwips / kTwipsPerPixel;
        text.colour = KnitDrawing::kFinalValuesGrey;
        text.text = std::move(line);
        text.bold = true;
        text.pointSize = KnitDrawing::kFinalValuesPointSize;
        m_picture.primitives.push_back(std::move(text));
    }

    // "left + right = sum", with the sum of the whole numbers.
    static std::string sum(std::int64_t left, std::int64_t right)
    {
        return std::to_string(left) + " + " + std::to_string(right) + " = " + std::to_string(left + right);
    }

    // A width in needles and in cm, left side first as the piece is drawn.
    void widthGroup(int yTwips, int title, std::int64_t left, std::int64_t right)
    {
        const FinalValuesSource &source = m_settings.finalSource;
        const std::string &perCm = source.header.aghiCm;
        const char sep = source.separator;
        label(yTwips, text(title));
        label(yTwips + kLineTwips, sum(left, right) + " " + text(Aghi));
        label(yTwips + 2 * kLineTwips,
              Measures::needlesToCm(double(left), perCm, sep) + " + " +
                  Measures::needlesToCm(double(right), perCm, sep) + " = " +
                  Measures::needlesToCm(double(left + right), perCm, sep) + " " + text(Cm));
    }

    // The final values, in grey over the piece: the set-up, rib, neckline
    // and widest widths as left + right, the border, and the total height
    // as border + program courses, each in needles or courses and in cm.
    void finalValues()
    {
        const FinalValuesSource &source = m_settings.finalSource;
        const PanelHeader &header = source.header;
        const char sep = source.separator;

        label(1500, text(Predisposizione) + " " + std::to_string(kn4::leadingInteger(header.predisposizione)));
        label(1740, text(LatoSinistro) + " + " + text(LatoDestro));

        const std::int64_t ribRight = needlesOf(header.costinaDx);
        const std::int64_t necklineRight = needlesOf(header.scolloDx);
        widthGroup(2010, Costina, m_symmetric ? ribRight : needlesOf(header.costinaSx), ribRight);
        widthGroup(2670, Scollo, m_symmetric ? necklineRight : needlesOf(header.scolloSx), necklineRight);
        widthGroup(3330, LarghezzaMassima,
                   m_symmetric ? m_steps.widestOuterRight : m_steps.widestOuterLeft, m_steps.widestOuterRight);

        // The border (rib) is knitted before the program: its height is given
        // in cm; in courses it counts whole courses, as the print-out does.
        double borderCm = Measures::ParseMeasure(header.altezzaBordo);
        if (!std::isfinite(borderCm))
            borderCm = 0.0;
        const double coursesPerCm = Measures::ParseMeasure(header.ranghiCm);
        const bool measured = coursesPerCm > 0.0 && std::isfinite(coursesPerCm);
        const std::int64_t borderCourses =
            measured ? std::int64_t(std::clamp(std::floor(borderCm * coursesPerCm), 0.0, 1e9)) : 0;
        const std::string borderText = Measures::FormatMeasure(borderCm, 2, sep);
        label(3990, text(Bordo) + " " + std::to_string(borderCourses) + " " + text(Ranghi) + "  " + borderText +
                        " " + text(Cm));

        const int courses = m_steps.programSteps;
        label(4260, text(AltezzaTotale));
        label(4260 + kLineTwips, sum(borderCourses, courses) + " " + text(Ranghi));
        const double programCm = measured ? double(courses) / coursesPerCm : 0.0;
        label(4260 + 2 * kLineTwips, borderText + " + " + Measures::coursesToCm(courses, header.ranghiCm, sep) +
                                         " = " + Measures::FormatMeasure(borderCm + programCm, 2, sep) + " " +
                                         text(Cm));

        label(4920, text(Aumenti) + " " + std::to_string(m_steps.increases));
    }

    static constexpr int kFinalValuesXTwips = 1500;
    static constexpr int kLineTwips = 195;  // 13 pixels between the lines of a group

    const ShapeSteps &m_steps;
    const DrawingSettings &m_settings;
    const bool m_symmetric;
    KnitPicture m_picture;
};

} // namespace

ShapeSteps ShapeSteps::fromTotals(const RunningTotals &totals)
{
    ShapeSteps steps;
    const int n = std::clamp(totals.programSteps(), 0, RunningTotals::kStepLimit);
    steps.programSteps = n;
    steps.widestOuterRight = totals.widestOuterRight();
    steps.widestOuterLeft = totals.widestOuterLeft();
    steps.increases = totals.increaseCount();
    steps.outerRight.resize(std::size_t(n));
    steps.outerLeft.resize(std::size_t(n));
    steps.innerRight.resize(std::size_t(n));
    steps.innerLeft.resize(std::size_t(n));
    for (int s = 0; s < n; ++s) {
        const std::size_t i = std::size_t(s);
        steps.outerRight[i] = totals.outer(0, s);
        steps.outerLeft[i] = totals.outer(1, s);
        steps.innerRight[i] = totals.inner(0, s);
        steps.innerLeft[i] = totals.inner(1, s);
        // The events of a step are a chain; the guard stops a chain that
        // would loop.
        int guard = totals.eventCount();
        for (int e = totals.firstEvent(s); e >= 0 && e < totals.eventCount() && guard-- > 0;
             e = totals.event(e).next)
            steps.events.push_back({s, totals.event(e).code});
    }
    return steps;
}

void FinalValuesSource::setTexts(const LanguageTable &language)
{
    for (int i = 0; i < kTexts; ++i)
        texts[std::size_t(i)] = language.text(LanguageTable::FirstDrawingText + i);
}

bool KnitDrawing::drawnSymmetric(int setupMode, int setupOptions)
{
    return setupMode != PanelModel::kTwoSided || (setupOptions & 2) != 0;
}

double KnitDrawing::scaleFor(int widestCarriage, int programSteps)
{
    double scale = 1.0;
    if (widestCarriage >= 1)
        scale = std::min(scale, double(kHalfWidth) / widestCarriage);
    if (programSteps >= 1)
        scale = std::min(scale, double(kBaseY) / programSteps);
    return scale;
}

KnitPicture KnitDrawing::draw(const ShapeSteps &steps, const DrawingSettings &settings)
{
    return PictureBuilder(steps, settings).run();
}

Colour KnitDrawing::inverseColour(Colour colour)
{
    return ~colour & 0xFFFFFF;
}

int KnitDrawing::toPixel(double value)
{
    if (!(value == value))
        return 0;
    return int(roundHalfEven(std::clamp(value, -32767.0, 32767.0)));
}

KnitDrawing::Readout KnitDrawing::pointerReadout(double x, double y, double scale, std::string_view needlesPerCm,
                                                 std::string_view coursesPerCm, char separator)
{
    if (!(scale > 0.0))
        scale = 1.0;
    // Counts are whole numbers to the nearest, halves to even; one that does
    // not fit the 4 columns shows as dashes (the value in cm still shows).
    auto count = [scale](double distance) {
        const double value = std::fabs(distance) / scale;
        if (!std::isfinite(value) || value >= 1e9)
            return 1e9;
        return roundHalfEven(value);
    };
    auto column = [](double value) {
        std::string digits = std::to_string(std::int64_t(value));
        if (digits.size() > 4)
            return std::string("----");
        return std::string(4 - digits.size(), ' ') + digits;
    };
    const double courses = count(y - kBaseY);
    const double needles = count(x - kCentreX);
    Readout readout;
    readout.courses = column(courses) + "  " + Measures::coursesToCm(courses, coursesPerCm, separator) + " cm";
    readout.needles = column(needles) + "  " + Measures::needlesToCm(needles, needlesPerCm, separator) + " cm";
    return readout;
}

} // namespace kn4::editor
