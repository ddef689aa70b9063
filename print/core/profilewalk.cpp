#include "profilewalk.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace kn4 {

namespace {

constexpr int kBorderStep = 400;
constexpr int kBorderStripe = 200;

int clampToPage(double value)
{
    return int(std::clamp(value, -1.0e9, 1.0e9));
}

bool isSymmetric(std::string_view setupText)
{
    const std::size_t first = setupText.find_first_not_of(' ');
    const std::size_t last = setupText.find_last_not_of(' ');
    return first != std::string_view::npos && setupText.substr(first, last - first + 1) == "1";
}

} // namespace

ProfileWalk::ProfileWalk(const PanelHeaderValues &header, ProfileDrawing &drawing)
    : m_drawing(drawing), m_symmetric(isSymmetric(header.setupText))
{
}

int ProfileWalk::x(double needles) const
{
    return clampToPage(ProfileDrawing::kCentreX + needles * m_drawing.scale);
}

int ProfileWalk::y(std::int64_t course) const
{
    return clampToPage(ProfileDrawing::kBaseY - double(course) * m_drawing.scale);
}

void ProfileWalk::drawBorder(std::int64_t borderCourses)
{
    const int left = x(-m_drawing.ribLeft);
    const int right = x(m_drawing.ribRight);
    const int top = y(borderCourses);
    const int base = y(0);
    for (int stripe = left; stripe < right; stripe += kBorderStep)
        page::add(m_drawing.items,
                  page::Box{stripe + kBorderStripe, top, std::min(stripe + kBorderStep, right), base, page::kGrey});
    page::add(m_drawing.items, page::Line{left, base, left, top, page::kBlack});
    page::add(m_drawing.items, page::Line{right, base, right, top, page::kBlack});
}

ProfileDrawing ProfileWalk::walk(const PanelHeaderValues &header, std::string_view codeBlock)
{
    ProfileDrawing drawing;
    drawing.scale = ProfileDrawing::scaleFor(header.ribLeft, header.ribRight, header.courseCount);
    drawing.ribRight = header.ribRight;
    drawing.ribLeft = header.ribLeft;
    drawing.necklineRight = header.necklineRight;
    drawing.necklineLeft = header.necklineLeft;

    ProfileWalk walker(header, drawing);
    // With the three measures the count starts above the border, which is
    // drawn as grey rib stripes; otherwise at course 1.
    std::int64_t start = 1;
    if (header.borderHeight != 0 && header.needlesPerCm != 0 && header.coursesPerCm != 0) {
        start = std::int64_t(std::floor(std::clamp(header.coursesPerCm * header.borderHeight, -1.0e6, 1.0e6)));
        walker.drawBorder(start);
    }
    walker.m_courseOffset = start - 1;
    walker.m_previousCourse = start;
    walker.m_previousRight = header.ribRight;
    walker.m_previousLeft = walker.m_symmetric ? header.ribRight : header.ribLeft;
    drawing.widestRight = walker.m_previousRight;
    drawing.widestLeft = walker.m_previousLeft;

    KnitEngine engine;
    KnitStartValues values;
    values.setup = header.setupValue;
    values.ribRight = header.ribRight;
    values.ribLeft = header.ribLeft;
    values.necklineRight = header.necklineRight;
    values.necklineLeft = header.necklineLeft;
    values.borderHeight = header.borderHeight;
    values.coursesPerCm = header.coursesPerCm;
    engine.setPanel(values, std::string(codeBlock));
    engine.setRecording(false);
    engine.setObserver(&walker);
    engine.maglia();

    const KnitState &state = engine.state();
    drawing.finalRight = state.rightEdge;
    drawing.finalLeft = walker.m_symmetric ? state.rightEdge : state.leftEdge;
    drawing.outer = state.outer;
    drawing.inner = walker.m_symmetric ? state.outer : state.inner;
    drawing.courses = walker.m_previousCourse;
    return drawing;
}

void ProfileWalk::stepDecoded(const KnitStep &step, const KnitState &state)
{
    const double right = state.rightEdge;
    const double left = m_symmetric ? state.rightEdge : state.leftEdge;
    m_drawing.widestRight = std::max(m_drawing.widestRight, right);
    m_drawing.widestLeft = std::max(m_drawing.widestLeft, left);

    // The set-up codes only select colour 1 on paper: the courses the
    // engine counts for them are not the piece's.
    if (step.command >= 157 && step.command <= 159)
        m_courseOffset -= state.course - m_engineCourse;
    m_engineCourse = state.course;
    const std::int64_t course = state.course + m_courseOffset;
    if (course != m_previousCourse) {
        const int from = y(m_previousCourse), to = y(course);
        page::add(m_drawing.items, page::Line{x(-m_previousLeft), from, x(-left), to, page::kBlack});
        page::add(m_drawing.items, page::Line{x(m_previousRight), from, x(right), to, page::kBlack});
        m_previousCourse = course;
        m_previousRight = right;
        m_previousLeft = left;
    }
    const int at = y(course);
    if (step.command == 156)
        page::add(m_drawing.items, page::Box{x(-left), at + 10, x(right), at + 20, page::kBlack});
    else if (step.command == 160 || step.command == 161)
        page::add(m_drawing.items, page::Box{x(-left), at + 30, x(right), at + 50, page::kWhite});
}

} // namespace kn4
