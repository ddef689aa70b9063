#pragma once

#include "printedpanel.h"
#include "profiledrawing.h"

#include "simulator/knitengine.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kn4 {

// What a needle bed and a legal code can hold. A panel beyond them is
// damaged: its outline is not drawn (drawing it would cost time and paper
// out of all proportion to the file).
struct ProfileLimits
{
    // A width, rib or neckline field holds three digits: no rib, neckline or
    // edge lies more than 999 needles from the centre on either side.
    static constexpr double kMaxNeedles = 999;
    // The compiler's code buffer holds 10000 bytes; a count byte repeats a
    // step at most 128 times, so no legal code knits more courses than
    // 10000 x 128, and no border is higher than that either.
    static constexpr std::size_t kMaxCodeBytes = 10000;
    static constexpr std::int64_t kMaxCourses = std::int64_t(kMaxCodeBytes) * 128;
};

// Draws the outline of the piece by following the simulator's engine
// through the panel's code block: the same edges, carriages, courses, count
// bytes and course flags the simulator replays. Each new course adds the
// two sides from the previous course; the end code and the codes 160 and
// 161 leave their marks across the piece; the carriage positions, once they
// move, are the inner edges of the neckline. With set-up "1" the piece is
// symmetric: the left side follows the right one. The set-up codes 157 to
// 159 only select colour 1 here and add no course.
class ProfileWalk : public KnitObserver
{
public:
    struct Result
    {
        ProfileDrawing drawing;
        bool damaged = false; // beyond ProfileLimits: nothing is drawn
    };

    static Result walk(const PanelHeaderValues &header, std::string_view codeBlock);

    void stepDecoded(const KnitStep &step, const KnitState &state) override;

private:
    ProfileWalk(const PanelHeaderValues &header, ProfileTrace &trace, ProfileDrawing &drawing);

    void addCourse(std::int64_t course, double right, double left, double outer, double inner);

    ProfileTrace &m_trace;
    ProfileDrawing &m_drawing;
    bool m_symmetric = false;
    bool m_beyondLimits = false;
    std::int64_t m_courseOffset = 0; // printed course = engine course + offset
    std::int64_t m_engineCourse = 1;  // the engine's course after the last step
    std::int64_t m_previousCourse = 0;
    std::int64_t m_startOuter = 0, m_startInner = 0; // the carriages before they first move
};

} // namespace kn4
