#include "simulator/knitengine.h"

#include "simulator/panelhead.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kn4 {

namespace {

// Course numbers and positions are kept far inside 64 bits whatever the code
// holds: a value this large is already far off every picture.
constexpr double kLimit = 1e15;

// The integer part towards minus infinity, saturated at 32 bits (0 for NaN).
// It runs for every course drawn: inside 32 bits the truncation, less one
// for a negative fraction, gives the floor without a call of std::floor.
std::int32_t saturatedInt(double value)
{
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    if (value > lo && value < hi) {
        const auto truncated = std::int32_t(value);
        return double(truncated) > value ? truncated - 1 : truncated;
    }
    if (!(value == value))
        return 0;
    return value < 0 ? std::numeric_limits<std::int32_t>::min() : std::numeric_limits<std::int32_t>::max();
}

// A drawing position moved by some units, saturated at 32 bits.
std::int32_t shifted(std::int32_t position, std::int32_t units)
{
    return std::int32_t(std::clamp<std::int64_t>(std::int64_t(position) + units,
                                                 std::numeric_limits<std::int32_t>::min(),
                                                 std::numeric_limits<std::int32_t>::max()));
}

// Rounds to the nearest integer, halves to the even neighbour.
double roundHalfEven(double value)
{
    return std::nearbyint(value);
}

std::string numberWithBlank(std::int64_t value)
{
    return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

bool isCarrier(int carrier)
{
    return carrier >= 1 && carrier <= SimSettings::kCarriers;
}

} // namespace

std::string CourseRecord::text() const
{
    std::string text = numberWithBlank(carrier);
    text += mark;
    for (const std::uint8_t side : sides)
        text += numberWithBlank(side);
    text += numberWithBlank(course);
    return text;
}

bool IntarsiaField::knitsCourse(std::int64_t course) const
{
    return std::any_of(courses.begin(), courses.end(),
                       [&](const auto &range) { return course >= range.first && course <= range.second; });
}

std::vector<IntarsiaField> IntarsiaField::fromLists(const std::vector<std::int32_t> &r,
                                                    const std::vector<std::int32_t> &f)
{
    std::vector<IntarsiaField> fields;
    for (std::size_t i = 0; i + 1 < f.size() && fields.size() < 2; i += 2) {
        IntarsiaField field;
        field.carrier = 2 + int(fields.size());
        field.left = std::min(f[i], f[i + 1]);
        field.right = std::max(f[i], f[i + 1]);
        fields.push_back(field);
    }
    if (fields.empty())
        return fields;
    for (std::size_t pair = 0; 2 * pair + 1 < r.size(); ++pair) {
        const std::int64_t from = r[2 * pair];
        const std::int64_t to = r[2 * pair + 1];
        const std::size_t field = pair % 2;
        if (field < fields.size())
            fields[field].courses.emplace_back(std::min(from, to), std::max(from, to));
    }
    return fields;
}

KnitEngine::KnitEngine() = default;

void KnitEngine::setHead(const PanelHead &head)
{
    KnitStartValues values;
    values.setup = head.setup();
    values.ribRight = head.ribRight();
    values.ribLeft = head.ribLeft();
    values.necklineRight = head.necklineRight();
    values.necklineLeft = head.necklineLeft();
    values.borderHeight = head.borderHeight();
    values.coursesPerCm = head.coursesPerCm();
    values.intarsiaR = head.intarsiaR();
    values.intarsiaF = head.intarsiaF();
    setPanel(values, std::string(head.codeBlock()));
}

void KnitEngine::setPanel(const KnitStartValues &values, std::string codeBlock)
{
    m_start = values;
    m_code = std::move(codeBlock);
    m_intarsiaFields = IntarsiaField::fromLists(values.intarsiaR, values.intarsiaF);
}

void KnitEngine::resetToStart()
{
    m_state.inner = m_start.necklineLeft;
    m_state.outer = m_start.necklineRight;
    m_state.leftEdge = m_start.ribLeft;
    m_state.rightEdge = m_start.ribRight;
    m_state.lastLeftEdge = m_start.ribLeft;
    m_state.lastRightEdge = m_start.ribRight;
    m_state.currentLine = m_view.baseY;
    m_state.currentColour = m_settings.colours[0];
}

void KnitEngine::maglia()
{
    // Every run starts from the head values and the settings alone: the
    // working carrier is carrier 1 (the current colour starts as colour 1),
    // and the carrier bookkeeping starts again whenever it is to be rebuilt.
    resetToStart();
    m_state.course = 1;
    m_state.currentCarrier = 1;
    m_state.borderOffset = 0;
    m_state.innerMark = false;
    m_state.outerMark = false;
    m_state.firstShapingMark = '0';
    m_state.secondShapingMark = '0';
    if (!finished()) {
        m_carriers = CarrierState();
        m_carriers.sides = m_settings.carrierSides;
        m_records.clear();
    }

    m_drawing.clear();
    DrawPrimitive clear;
    clear.kind = DrawPrimitive::Kind::Clear;
    clear.colour = m_view.printPreview ? kWhite : m_settings.background;
    addPrimitive(clear);

    m_consumed = false;
    m_position = 0;
    m_stop = false;
    if (m_observer)
        m_observer->started(*this);

    CountStitches(1);
    m_intarsiaAreas = IntarsiaAreas();
    m_intarsiaPrevious = 0;
    if (m_view.view == 1) {
        const double border = std::clamp(roundHalfEven(m_start.borderHeight * m_start.coursesPerCm),
                                         -kLimit, kLimit);
        const std::int64_t course = border == border ? std::int64_t(border) : 0;
        DrawCourse(course, kKindBorder, false, false, false, false);
        m_state.borderOffset = course - 1;
        m_state.firstShapingMark = '0';
        m_state.secondShapingMark = '0';
        m_state.course = course;
    }

    decode();

    m_finished = kFinishedFlag;
    Intarsio(recordCourse(m_state.course));
    if (m_observer)
        m_observer->finished(*this);
}

void KnitEngine::decode()
{
    int last = 0;
    const std::size_t size = m_code.size();
    while (m_position < size && !m_stop) {
        KnitStep step;
        step.offset = m_position;
        step.byte = std::uint8_t(m_code[m_position++]);
        step.courseFlag = step.byte < 192;
        step.code = step.courseFlag ? step.byte : step.byte - 64;
        const std::int64_t courseBefore = m_state.course;
        const bool previousConsumed = m_consumed;
        m_consumed = false;

        if (step.code < 128) {
            // A count byte repeats the last step (count) more times. The
            // half-needle widenings count their own courses, one per
            // repeat; any other unconsumed step first advances the course
            // by the byte's value.
            step.count = step.code + 1;
            step.command = last;
            if (!previousConsumed && last != 152 && last != 153)
                m_state.course += step.code;
            execute(last, step.count, step.courseFlag);
        } else {
            last = step.code;
            step.command = last;
            execute(last, 1, step.courseFlag);
        }
        if (m_state.course > std::int64_t(kLimit))
            m_state.course = std::int64_t(kLimit);

        CountStitches(m_state.course);
        Intarsio(recordCourse(m_state.course));
        if (m_state.course != courseBefore) {
            m_state.firstShapingMark = '0';
            m_state.secondShapingMark = '0';
        }
        if (m_observer)
            m_observer->stepDecoded(step, m_state);
    }
}

void KnitEngine::execute(int code, int n, bool courseFlag)
{
    KnitState &s = m_state;
    auto parameter = [&]() -> int {
        if (m_position >= m_code.size())
            return 0;
        const int value = std::uint8_t(m_code[m_position++]);
        return value > 127 ? value - 256 : value;
    };
    auto skipParameters = [&] { m_position = std::min(m_position + 2, m_code.size()); };

    switch (code) {
    case 128: s.outer += n; m_consumed = true; draw(kKindBand, true); break;
    case 129: s.inner += n; m_consumed = true; draw(kKindBand, true); break;
    case 130: s.outer += 2 * n; m_consumed = true; draw(kKindBand, true); break;
    case 131: s.inner += 2 * n; m_consumed = true; draw(kKindBand, true); break;
    case 132: s.outer -= n; m_consumed = true; draw(kKindBand, true); break;
    case 133: s.inner -= n; m_consumed = true; draw(kKindBand, true); break;
    case 134: s.outer -= 2 * n; m_consumed = true; draw(kKindBand, true); break;
    case 135: s.inner -= 2 * n; m_consumed = true; draw(kKindBand, true); break;
    case 136: advance(courseFlag); s.outer -= n; draw(); break;
    case 137: advance(courseFlag); s.inner -= n; draw(); break;
    case 138: advance(courseFlag); s.outer -= 2 * n; draw(); break;
    case 139: advance(courseFlag); s.inner -= 2 * n; draw(); break;
    case 140: advance(courseFlag); s.outer += n; draw(); break;
    case 141: advance(courseFlag); s.inner += n; draw(); break;
    case 142: advance(courseFlag); s.outer += 2 * n; draw(); break;
    case 143: advance(courseFlag); s.inner += 2 * n; draw(); break;
    case 144: s.rightEdge -= n; m_consumed = true; draw(kKindEdgeMarks, false, true, false); break;
    case 145: s.leftEdge -= n; m_consumed = true; draw(kKindEdgeMarks, false, false, true); break;
    case 146: s.rightEdge -= 2 * n; m_consumed = true; draw(kKindEdgeMarks, false, true, false); break;
    case 147: s.leftEdge -= 2 * n; m_consumed = true; draw(kKindEdgeMarks, false, false, true); break;
    case 148:
    case 183: advance(courseFlag); draw(); break;
    case 149: case 150: case 151: takeCarrier(code - 148, courseFlag); break;
    case 163: case 164: case 165: case 166: case 167: takeCarrier(code - 159, courseFlag); break;
    case 152:
        for (int i = 0; i < n; ++i) {
            advance(courseFlag);
            s.rightEdge += 0.5;
            s.lastRightEdge = s.rightEdge;
            draw();
        }
        break;
    case 153:
        // As 152 on the left: a count byte repeats the widening with its
        // course n times.
        for (int i = 0; i < n; ++i) {
            advance(courseFlag);
            s.leftEdge += 0.5;
            s.lastLeftEdge = s.leftEdge;
            draw();
        }
        break;
    case 154: m_consumed = true; draw(kKindBand, true); break;
    case 155: {
        const int jump = parameter();
        const int needle = parameter();
        s.outer += jump + needle;
        m_consumed = true;
        draw();
        break;
    }
    case 156:
        draw(kKindEnd);
        rigato(recordCourse(s.course), s.currentCarrier, courseFlag ? 1 : 0);
        m_stop = true;
        break;
    case 157: case 158: case 159:
        advance(courseFlag);
        s.lastLeftEdge = m_start.ribLeft;
        s.lastRightEdge = m_start.ribRight;
        rigato(0, 1, courseFlag ? 1 : 0);
        break;
    case 160: case 161: advance(courseFlag); draw(kKindMarker); break;
    case 168: {
        const int jump = parameter();
        const int needle = parameter();
        s.inner += jump + needle;
        m_consumed = true;
        draw();
        break;
    }
    case 169: case 172: advance(courseFlag); draw(); skipParameters(); break;
    case 175: advance(courseFlag); m_consumed = true; draw(); skipParameters(); break;
    case 170: advance(courseFlag); draw(); s.secondShapingMark = '-'; break;
    case 171: advance(courseFlag); draw(); break;
    case 173: case 174: advance(courseFlag); m_consumed = true; draw(); break;
    case 176: advance(courseFlag); s.innerMark = true; s.outerMark = false; draw(); break;
    case 177: advance(courseFlag); s.innerMark = false; s.outerMark = true; draw(); break;
    case 178: advance(courseFlag); s.innerMark = true; s.outerMark = true; draw(); break;
    case 179: advance(courseFlag); s.innerMark = false; s.outerMark = false; draw(); break;
    case 180: advance(courseFlag); draw(); s.firstShapingMark = '+'; break;
    case 181: advance(courseFlag); draw(); s.firstShapingMark = '-'; break;
    case 182: advance(courseFlag); draw(); s.secondShapingMark = '+'; break;
    case 185: case 186: case 187: case 188: m_consumed = true; draw(kKindBand, true); break;
    case 189: s.rightEdge -= 4 * n; m_consumed = true; draw(kKindEdgeMarks, false, true, false); break;
    case 190: s.rightEdge -= 3 * n; m_consumed = true; draw(kKindEdgeMarks, false, true, false); break;
    case 191:
        s.rightEdge += n;
        s.leftEdge += n;
        s.lastRightEdge = s.rightEdge;
        s.lastLeftEdge = s.leftEdge;
        m_consumed = true;
        draw(kKindEdgeMarks, false, true, true);
        break;
    default:
        // 162, 184 and no command at all do nothing.
        break;
    }
    // Positions stay finite whatever the code holds.
    s.outer = std::clamp<std::int64_t>(s.outer, -std::int64_t(kLimit), std::int64_t(kLimit));
    s.inner = std::clamp<std::int64_t>(s.inner, -std::int64_t(kLimit), std::int64_t(kLimit));
    s.rightEdge = std::clamp(s.rightEdge, -kLimit, kLimit);
    s.leftEdge = std::clamp(s.leftEdge, -kLimit, kLimit);
}

void KnitEngine::takeCarrier(int carrier, bool courseFlag)
{
    advance(courseFlag);
    m_state.currentCarrier = carrier;
    // The records count the piece's own courses, never the welt drawn
    // before them in view 1, so the stripe check reads the same in both.
    rigato(recordCourse(m_state.course), carrier, courseFlag ? 1 : 0);
    m_state.currentColour = m_settings.colours[std::size_t(carrier - 1)];
    draw();
}

void KnitEngine::draw(int kind, bool carriageMarks, bool rightMark, bool leftMark)
{
    DrawCourse(m_state.course, kind, carriageMarks && m_state.innerMark, carriageMarks && m_state.outerMark,
               rightMark, leftMark);
}

std::int32_t KnitEngine::xLeft(double position) const
{
    return saturatedInt(m_view.centreX - double(m_view.scale) * position);
}

std::int32_t KnitEngine::xRight(double position) const
{
    return saturatedInt(m_view.centreX + double(m_view.scale) * position);
}

std::int32_t KnitEngine::yOfCourse(std::int64_t course) const
{
    return saturatedInt(m_view.baseY - double(m_view.scale) * double(course));
}

void KnitEngine::addPrimitive(DrawPrimitive primitive)
{
    // What lies wholly off the area is never seen: a long piece at a large
    // scale would otherwise record hundreds of thousands of primitives
    // above the picture on every zoom and pan.
    const bool off = primitive.kind != DrawPrimitive::Kind::Clear &&
                     ((primitive.x1 < 0 && primitive.x2 < 0) || (primitive.y1 < 0 && primitive.y2 < 0) ||
                      (primitive.x1 > kDrawingAreaSize && primitive.x2 > kDrawingAreaSize) ||
                      (primitive.y1 > kDrawingAreaSize && primitive.y2 > kDrawingAreaSize));
    if (m_recording && !off)
        m_drawing.push_back(primitive);
}

void KnitEngine::DrawCourse(std::int64_t course, int kind, bool innerMark, bool outerMark,
                            bool rightEdgeMark, bool leftEdgeMark)
{
    KnitState &s = m_state;
    if (m_settings.stripeMode == 2)
        s.currentColour = m_settings.colours[0];
    // Symmetric work: the left side is the mirror of the right one.
    if (m_start.setup == 1) {
        s.leftEdge = s.rightEdge;
        s.inner = s.outer;
        leftEdgeMark = rightEdgeMark;
    }

    const std::int32_t y = yOfCourse(course);
    if (m_recording) {
        const std::int32_t previous = saturatedInt(s.currentLine);
        const std::int32_t yMark = shifted(y, 20);
        // A course whose band, lines and marks all lie above the area (or
        // all below it) records nothing: addPrimitive would leave every
        // primitive out. Most courses of a long piece at a large scale lie
        // above the picture, so they are passed over here without building
        // them. Only the fill up to the top line reaches into the area from
        // anywhere.
        const bool offArea = kind != kKindFillToTop && ((yMark < 0 && previous < 0) ||
                                                        (y > kDrawingAreaSize && previous > kDrawingAreaSize));
        if (!offArea)
            recordCourse(y, previous, yMark, kind, innerMark, outerMark, rightEdgeMark, leftEdgeMark);
    }
    s.currentLine = double(y);

    if (m_observer) {
        const DrawCall call{course, kind, innerMark, outerMark, rightEdgeMark, leftEdgeMark};
        m_observer->courseDrawn(call, s);
    }
}

void KnitEngine::recordCourse(std::int32_t y, std::int32_t previous, std::int32_t yMark, int kind, bool innerMark,
                              bool outerMark, bool rightEdgeMark, bool leftEdgeMark)
{
    const KnitState &s = m_state;
    const std::int32_t xl = xLeft(s.leftEdge);
    const std::int32_t xr = xRight(s.rightEdge);
    auto box = [&](std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, Colour colour,
                   bool filled) {
        addPrimitive(DrawPrimitive{DrawPrimitive::Kind::Box, filled, x1, y1, x2, y2, colour});
    };
    auto line = [&](std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
        addPrimitive(DrawPrimitive{DrawPrimitive::Kind::Line, false, x1, y1, x2, y2, s.currentColour});
    };
    auto point = [&](std::int32_t x, std::int32_t y0) {
        addPrimitive(DrawPrimitive{DrawPrimitive::Kind::Point, false, x, y0, x, y0, kWhite});
    };

    switch (kind) {
    case kKindBand:
        box(xl, y, xr, previous, s.currentColour, true);
        break;
    case kKindBorder: {
        // Stripes 2 units wide every 4 units; only those that can fall on
        // the area are recorded.
        std::int64_t x = xl;
        if (x < -4)
            x += ((-4 - x) / 4) * 4;
        const std::int64_t end = std::min<std::int64_t>(xr, kDrawingAreaSize + 4);
        for (; x <= end; x += 4) {
            box(std::int32_t(x), y, std::int32_t(x + 2), previous, s.currentColour, true);
            box(std::int32_t(x + 2), y, std::int32_t(x + 4), previous, kGrey, true);
        }
        break;
    }
    case kKindSides:
        line(xl, y, xl, previous);
        line(xr, y, xr, previous);
        break;
    case kKindFillToTop:
        // A line at every unit from y up to 470: the same as a filled box.
        if (y <= 470)
            box(xl, std::max(y, -1), xr, 470, s.currentColour, true);
        break;
    case kKindTopLine:
        line(xl, y, xr, y);
        break;
    default:
        if (kind >= 6 && kind <= 16)
            box(xl, shifted(y, 2), xr, yMark, kWhite, false);
        break;
    }
    if (innerMark)
        point(xLeft(double(s.inner)), yMark);
    if (outerMark)
        point(xRight(double(s.outer)), yMark);
    if (kind == kKindEdgeMarks) {
        if (leftEdgeMark)
            point(shifted(xl, 70), yMark);
        if (rightEdgeMark)
            point(shifted(xr, -70), yMark);
    }
}

void KnitEngine::CountStitches(std::int64_t course)
{
    StitchTotals &t = m_stitches;
    if (course < 2) {
        t = StitchTotals();
        m_stitchPreviousCourse = 0;
    }
    const double added = roundHalfEven((m_state.rightEdge + m_state.leftEdge) *
                                       double(course - m_stitchPreviousCourse));
    m_stitchPreviousCourse = course;
    t.total += added;
    const int carrier = m_settings.stripeMode == 2 ? 1 : m_state.currentCarrier;
    if (isCarrier(carrier))
        t.carriers[std::size_t(carrier - 1)] += added;
}

void KnitEngine::rigato(std::int64_t riga, int guidafilo, int modo)
{
    if (m_settings.stripeMode == 2 || finished())
        return;
    CarrierState &c = m_carriers;
    if (modo == 100) {
        c.sides = m_settings.carrierSides;
        return;
    }
    riga = std::clamp<std::int64_t>(riga, -std::int64_t(kLimit), std::int64_t(kLimit));
    const std::int64_t end = modo == 0 ? riga + 1 : riga;
    // A carrier outside 1..8 never reaches the side table: nothing is
    // recorded in this call, and the carrier given takes over.
    const bool known = isCarrier(c.current);
    for (std::int64_t r = c.lastCourse; known && r <= end; ++r) {
        std::uint8_t side = 1;
        if ((m_settings.countStart == 1 && r % 2 != 0) || (m_settings.countStart == 0 && r % 2 == 0))
            side = 2;
        char mark = '*';
        if (c.current != c.previous && isCarrier(c.previous) &&
            c.sides[std::size_t(c.current - 1)] != c.sides[std::size_t(c.previous - 1)])
            mark = 'E';  // taken up on the wrong side of the machine
        c.sides[std::size_t(c.current - 1)] = side;
        c.previous = c.current;
        if (r >= 0 && r <= kMaxCourseRecords) {
            // The table grows with the courses recorded, up to its limit.
            if (std::size_t(r) >= m_records.size())
                m_records.resize(std::size_t(r) + 1);
            CourseRecord &record = m_records[std::size_t(r)];
            record.present = true;
            record.carrier = std::uint8_t(c.current);
            record.mark = mark;
            record.sides = c.sides;
            record.course = r;
        }
        // Outside the table only the last course's side still matters: the
        // courses in between carry no record.
        if (r >= kMaxCourseRecords && r < end - 1)
            r = end - 1;
        else if (r < -1 && r < end - 1)
            r = std::min<std::int64_t>(end - 1, -2);
    }
    c.lastCourse = riga;
    c.current = guidafilo;
}

void KnitEngine::Intarsio(std::int64_t course)
{
    if (m_settings.stripeMode != 2 || m_intarsiaFields.empty())
        return;
    // Every run starts the fields at course 1 (maglia resets the areas).
    if (course <= m_intarsiaPrevious)
        return;
    const std::int64_t first = m_intarsiaPrevious + 1;
    m_intarsiaPrevious = course;

    // The courses first..course are cut where a field starts or ends, so
    // the fields knitting are the same over each piece. Edges stay as they
    // are over the courses of one byte, as the stitch counter takes them.
    std::vector<std::int64_t> &cuts = m_intarsiaCuts;
    cuts.assign({first, course + 1});
    for (const IntarsiaField &field : m_intarsiaFields) {
        for (const auto &[from, to] : field.courses) {
            if (from > first && from <= course)
                cuts.push_back(from);
            if (to + 1 > first && to + 1 <= course)
                cuts.push_back(to + 1);
        }
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());

    const double fabricLeft = -m_state.leftEdge;
    const double fabricRight = m_state.rightEdge;
    struct Span
    {
        double left = 0;
        double right = 0;
        double width() const { return std::max(0.0, right - left); }
    };
    for (std::size_t c = 0; c + 1 < cuts.size(); ++c) {
        const std::int64_t from = cuts[c];
        const std::int64_t to = cuts[c + 1] - 1;
        const double courses = double(to - from + 1);
        std::array<Span, 2> spans{};
        std::array<bool, 2> knitting{};
        for (std::size_t k = 0; k < m_intarsiaFields.size(); ++k) {
            const IntarsiaField &field = m_intarsiaFields[k];
            knitting[k] = field.knitsCourse(from);
            spans[k] = {std::max(field.left, fabricLeft), std::min(field.right, fabricRight)};
        }
        if (!knitting[0] && !knitting[1])
            continue;
        double both = 0;
        if (knitting[0] && knitting[1])
            both = Span{std::max(spans[0].left, spans[1].left), std::min(spans[0].right, spans[1].right)}.width();
        if (knitting[0])
            m_intarsiaAreas.area2 += (spans[0].width() - both) * courses;
        if (knitting[1])
            m_intarsiaAreas.area3 += spans[1].width() * courses;

        if (!m_recording)
            continue;
        const std::int32_t yTop = yOfCourse(drawnCourse(to));
        const std::int32_t yBottom = yOfCourse(drawnCourse(from - 1));
        for (std::size_t k = 0; k < 2; ++k) {
            if (knitting[k] && spans[k].width() > 0)
                addPrimitive(DrawPrimitive{DrawPrimitive::Kind::Box, true, xRight(spans[k].left), yTop,
                                           xRight(spans[k].right), yBottom,
                                           m_settings.colours[std::size_t(m_intarsiaFields[k].carrier - 1)]});
        }
    }
}

StitchTotals KnitEngine::stitchesPerColour() const
{
    StitchTotals totals = m_stitches;
    if (m_settings.stripeMode == 2) {
        totals.carriers[0] = std::nearbyint(totals.total - m_intarsiaAreas.area2 - m_intarsiaAreas.area3);
        totals.carriers[1] = m_intarsiaAreas.area2;
        totals.carriers[2] = m_intarsiaAreas.area3;
    }
    return totals;
}

std::vector<std::int64_t> KnitEngine::stripeCheck() const
{
    std::vector<std::int64_t> courses;
    for (std::size_t r = 1; r < m_records.size(); ++r) {
        const CourseRecord &record = m_records[r];
        if (record.present && record.mark == 'E')
            courses.push_back(std::int64_t(r));
    }
    return courses;
}

const CourseRecord *KnitEngine::record(std::int64_t course) const
{
    if (course < 0 || course >= std::int64_t(m_records.size()))
        return nullptr;
    const CourseRecord &record = m_records[std::size_t(course)];
    return record.present ? &record : nullptr;
}

} // namespace kn4
