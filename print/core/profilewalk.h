#pragma once

#include "printedpanel.h"
#include "profiledrawing.h"

#include "simulator/knitengine.h"

#include <string_view>

namespace kn4 {

// Draws the outline of the piece by following the simulator's engine
// through the panel's code block: the same edges, carriages, courses, count
// bytes and course flags the simulator replays. Each new course adds the
// two sides from the previous course; the end code and the codes 160 and
// 161 leave their marks across the piece. With set-up "1" the piece is
// symmetric: the left side follows the right one. The set-up codes 157 to
// 159 only select colour 1 here and add no course.
class ProfileWalk : public KnitObserver
{
public:
    static ProfileDrawing walk(const PanelHeaderValues &header, std::string_view codeBlock);

    void stepDecoded(const KnitStep &step, const KnitState &state) override;

private:
    ProfileWalk(const PanelHeaderValues &header, ProfileDrawing &drawing);

    int x(double needles) const;
    int y(std::int64_t course) const;
    void drawBorder(std::int64_t borderCourses);

    ProfileDrawing &m_drawing;
    bool m_symmetric = false;
    std::int64_t m_courseOffset = 0; // printed course = engine course + offset
    std::int64_t m_engineCourse = 1;  // the engine's course after the last step
    std::int64_t m_previousCourse = 0;
    double m_previousRight = 0;
    double m_previousLeft = 0;
};

} // namespace kn4
