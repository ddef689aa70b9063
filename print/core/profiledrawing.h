#pragma once

#include "printpage.h"

#include <cstdint>
#include <vector>

namespace kn4 {

// The piece as the walk through its code leaves it, in needles (right of the
// centre on the right side, left of it on the left side) and courses.
struct ProfileTrace
{
    // The outer edges once a course is reached; the first point is the base
    // of the piece (its first course) with the rib.
    struct Point
    {
        std::int64_t course = 0;
        double right = 0, left = 0;
    };
    // A mark across the piece below a course: the end code, or the codes 160
    // and 161.
    struct Mark
    {
        enum class Kind { End, Marker };
        std::int64_t course = 0;
        double right = 0, left = 0;
        Kind kind = Kind::End;
    };

    std::vector<Point> outline;
    // The inner edges of the neckline (the carriage positions, kept within
    // the outer edges) from the course where they first move: the first
    // point is the bottom of the neckline.
    std::vector<Point> neckline;
    std::vector<Mark> marks;
    // The course the piece starts on: above the border (welt) when the
    // panel gives its three measures, which is then drawn from course 0;
    // course 1 otherwise.
    std::int64_t startCourse = 1;
    bool border = false;
    double ribRight = 0, ribLeft = 0;
};

// The outline of the piece on page 1 and the key values beside it.
struct ProfileDrawing
{
    // The box the outline is fitted into: right of the header, below the
    // program's name, above the value block.
    static constexpr int kBoxLeft = 21500;
    static constexpr int kBoxRight = 39500;
    static constexpr int kBoxTop = 1000;
    static constexpr int kBoxBottom = 23800;

    // The inner edges of the neckline are drawn lighter than the outline.
    static constexpr std::uint32_t kNecklineGrey = 0x909090;

    std::vector<page::Primitive> items;
    // Page units per needle and per course. With needles and courses per cm
    // both known they keep the piece's true proportions; otherwise a needle
    // and a course are drawn the same size.
    double needleScale = 1, courseScale = 1;
    double ribRight = 0, ribLeft = 0;
    double widestRight = 0, widestLeft = 0;
    double finalRight = 0, finalLeft = 0;
    double necklineRight = 0, necklineLeft = 0;
    std::int64_t outer = 0, inner = 0; // carriage positions at the end
    std::int64_t courses = 0;          // the last course reached, border included
    std::int64_t startCourse = 1;      // the piece's first course (above the border)
    bool border = false;

    // The courses of the border (welt) and those of the piece above it,
    // which the listing counts.
    std::int64_t borderCourses() const { return border ? startCourse : 0; }
    std::int64_t pieceCourses() const { return courses - startCourse; }

    // Fits the trace into the box: the widest edges and every course, the
    // border included, with the scales above; the piece centred across the
    // box, its base on the box's bottom.
    static void layOut(const ProfileTrace &trace, double needlesPerCm, double coursesPerCm, ProfileDrawing &drawing);
};

} // namespace kn4
