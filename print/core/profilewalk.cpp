#include "profilewalk.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace kn4 {

namespace {

bool isSymmetric(std::string_view setupText)
{
    const std::size_t first = setupText.find_first_not_of(' ');
    const std::size_t last = setupText.find_last_not_of(' ');
    return first != std::string_view::npos && setupText.substr(first, last - first + 1) == "1";
}

bool withinBed(double needles)
{
    return std::abs(needles) <= ProfileLimits::kMaxNeedles;
}

} // namespace

ProfileWalk::ProfileWalk(const PanelHeaderValues &header, ProfileTrace &trace, ProfileDrawing &drawing)
    : m_trace(trace), m_drawing(drawing), m_symmetric(isSymmetric(header.setupText))
{
}

ProfileWalk::Result ProfileWalk::walk(const PanelHeaderValues &header, std::string_view codeBlock)
{
    Result result;
    ProfileDrawing &drawing = result.drawing;
    drawing.ribRight = header.ribRight;
    drawing.ribLeft = header.ribLeft;
    drawing.necklineRight = header.necklineRight;
    drawing.necklineLeft = header.necklineLeft;

    // With the three measures the count starts above the border, which is
    // drawn as grey rib stripes; otherwise at course 1. A measure that is
    // not a positive number is no measure.
    const bool border = header.borderHeight > 0 && header.needlesPerCm > 0 && header.coursesPerCm > 0;
    const double borderCourses = border ? std::floor(header.coursesPerCm * header.borderHeight) : 1;

    if (!withinBed(header.ribRight) || !withinBed(header.ribLeft) || !withinBed(header.necklineRight) ||
        !withinBed(header.necklineLeft) || codeBlock.size() > ProfileLimits::kMaxCodeBytes ||
        !(borderCourses <= double(ProfileLimits::kMaxCourses))) {
        result.damaged = true;
        return result;
    }

    ProfileTrace trace;
    ProfileWalk walker(header, trace, drawing);
    const std::int64_t start = std::int64_t(borderCourses);
    trace.border = border;
    trace.startCourse = start;
    trace.ribRight = header.ribRight;
    trace.ribLeft = walker.m_symmetric ? header.ribRight : header.ribLeft;
    walker.m_courseOffset = start - 1;
    walker.m_previousCourse = start;
    walker.m_startOuter = header.necklineRight;
    walker.m_startInner = walker.m_symmetric ? header.necklineRight : header.necklineLeft;
    trace.outline.push_back({start, trace.ribRight, trace.ribLeft});
    drawing.widestRight = trace.ribRight;
    drawing.widestLeft = trace.ribLeft;

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

    if (walker.m_beyondLimits) {
        result.damaged = true;
        return result;
    }

    const KnitState &state = engine.state();
    drawing.finalRight = state.rightEdge;
    drawing.finalLeft = walker.m_symmetric ? state.rightEdge : state.leftEdge;
    drawing.outer = state.outer;
    drawing.inner = walker.m_symmetric ? state.outer : state.inner;
    drawing.courses = walker.m_previousCourse;
    drawing.startCourse = start;
    drawing.border = border;
    ProfileDrawing::layOut(trace, header.needlesPerCm, header.coursesPerCm, drawing);
    return result;
}

void ProfileWalk::addCourse(std::int64_t course, double right, double left, double outer, double inner)
{
    m_trace.outline.push_back({course, right, left});
    // The inner edges of the neckline stay within the piece.
    const double neckRight = std::clamp(outer, -left, right);
    const double neckLeft = std::clamp(inner, -right, left);
    if (m_trace.neckline.empty()) {
        if (outer == double(m_startOuter) && inner == double(m_startInner))
            return;
        // The carriages moved for the first time: the neckline opens at the
        // previous course, across its width from the header.
        const ProfileTrace::Point &base = m_trace.outline[m_trace.outline.size() - 2];
        m_trace.neckline.push_back({m_previousCourse, std::clamp(double(m_startOuter), -base.left, base.right),
                                    std::clamp(double(m_startInner), -base.right, base.left)});
    }
    m_trace.neckline.push_back({course, neckRight, neckLeft});
}

void ProfileWalk::stepDecoded(const KnitStep &step, const KnitState &state)
{
    if (m_beyondLimits)
        return;
    const double right = state.rightEdge;
    const double left = m_symmetric ? state.rightEdge : state.leftEdge;
    const double outer = double(state.outer);
    const double inner = m_symmetric ? double(state.outer) : double(state.inner);

    // The set-up codes only select colour 1 on paper: the courses the
    // engine counts for them are not the piece's.
    if (step.command >= 157 && step.command <= 159)
        m_courseOffset -= state.course - m_engineCourse;
    m_engineCourse = state.course;
    const std::int64_t course = state.course + m_courseOffset;

    // Beyond any needle bed or any legal code: the panel is damaged, and
    // the walk draws nothing more.
    if (!withinBed(right) || !withinBed(left) || !withinBed(outer) || !withinBed(inner) ||
        course > ProfileLimits::kMaxCourses * 2 || course < -ProfileLimits::kMaxCourses) {
        m_beyondLimits = true;
        return;
    }

    m_drawing.widestRight = std::max(m_drawing.widestRight, right);
    m_drawing.widestLeft = std::max(m_drawing.widestLeft, left);
    if (course != m_previousCourse) {
        addCourse(course, right, left, outer, inner);
        m_previousCourse = course;
    }
    if (step.command == 156)
        m_trace.marks.push_back({course, right, left, ProfileTrace::Mark::Kind::End});
    else if (step.command == 160 || step.command == 161)
        m_trace.marks.push_back({course, right, left, ProfileTrace::Mark::Kind::Marker});
}

} // namespace kn4
