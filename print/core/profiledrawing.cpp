#include "profiledrawing.h"

#include <algorithm>
#include <cmath>

namespace kn4 {

namespace {

constexpr int kBorderStep = 400;
constexpr int kBorderStripe = 200;
// The marks lie up to 50 units below their course: the lowest course stands
// that far above the box's bottom.
constexpr int kMarkDepth = 50;

struct PagePoint
{
    int x = 0, y = 0;
};

// Lines through the points, in order: repeated points are dropped and a run
// along one vertical (a stretch of plain courses) is one line.
void addPolyline(std::vector<page::Primitive> &items, const std::vector<PagePoint> &points, std::uint32_t rgb)
{
    std::vector<PagePoint> kept;
    for (const PagePoint &p : points) {
        if (!kept.empty() && kept.back().x == p.x && kept.back().y == p.y)
            continue;
        if (kept.size() >= 2 && kept[kept.size() - 2].x == p.x && kept.back().x == p.x) {
            kept.back() = p;
            continue;
        }
        kept.push_back(p);
    }
    for (std::size_t i = 1; i < kept.size(); ++i)
        page::add(items, page::Line{kept[i - 1].x, kept[i - 1].y, kept[i].x, kept[i].y, rgb});
}

} // namespace

void ProfileDrawing::layOut(const ProfileTrace &trace, double needlesPerCm, double coursesPerCm,
                            ProfileDrawing &drawing)
{
    drawing.items.clear();
    if (trace.outline.empty())
        return;

    // The extent of the piece: its widest edges on either side and every
    // course from the base of the border (or the first course) to the last.
    double rightMost = trace.ribRight, leftMost = trace.ribLeft;
    std::int64_t lowest = trace.border ? 0 : trace.outline.front().course;
    std::int64_t highest = lowest;
    for (const ProfileTrace::Point &p : trace.outline) {
        // An edge may cross the centre: each side reaches as far as either.
        rightMost = std::max({rightMost, p.right, -p.left});
        leftMost = std::max({leftMost, p.left, -p.right});
        lowest = std::min(lowest, p.course);
        highest = std::max(highest, p.course);
    }
    const double width = rightMost + leftMost;
    const double height = double(highest - lowest);

    // A needle is 1/needlesPerCm cm wide and a course 1/coursesPerCm cm
    // high; without those measures both count the same.
    const bool measured = needlesPerCm > 0 && coursesPerCm > 0;
    const double needleSize = measured ? 1 / needlesPerCm : 1;
    const double courseSize = measured ? 1 / coursesPerCm : 1;
    const double boxWidth = kBoxRight - kBoxLeft;
    const double boxHeight = kBoxBottom - kMarkDepth - kBoxTop;
    double factor = 0;
    if (width > 0)
        factor = boxWidth / (width * needleSize);
    if (height > 0)
        factor = factor > 0 ? std::min(factor, boxHeight / (height * courseSize)) : boxHeight / (height * courseSize);
    if (!(factor > 0) || !std::isfinite(factor))
        factor = 1 / needleSize;
    drawing.needleScale = factor * needleSize;
    drawing.courseScale = factor * courseSize;

    const double sx = drawing.needleScale, sy = drawing.courseScale;
    const double centreX = width > 0 ? kBoxLeft + (boxWidth - width * sx) / 2 + leftMost * sx
                                     : (kBoxLeft + kBoxRight) / 2.0;
    const double baseY = kBoxBottom - kMarkDepth + double(lowest) * sy;
    auto x = [&](double needles) { return int(std::lround(centreX + needles * sx)); };
    auto y = [&](std::int64_t course) { return int(std::lround(baseY - double(course) * sy)); };

    std::vector<page::Primitive> &items = drawing.items;
    if (trace.border) {
        const int left = x(-trace.ribLeft), right = x(trace.ribRight);
        const int top = y(trace.startCourse), base = y(0);
        for (int stripe = left; stripe < right; stripe += kBorderStep)
            page::add(items, page::Box{stripe + kBorderStripe, top, std::min(stripe + kBorderStep, right), base,
                                       page::kGrey});
        page::add(items, page::Line{left, base, left, top, page::kBlack});
        page::add(items, page::Line{right, base, right, top, page::kBlack});
    }

    std::vector<PagePoint> rightSide, leftSide;
    for (const ProfileTrace::Point &p : trace.outline) {
        rightSide.push_back({x(p.right), y(p.course)});
        leftSide.push_back({x(-p.left), y(p.course)});
    }
    addPolyline(items, leftSide, page::kBlack);
    addPolyline(items, rightSide, page::kBlack);

    if (!trace.neckline.empty()) {
        const ProfileTrace::Point &bottom = trace.neckline.front();
        std::vector<PagePoint> rightEdge, leftEdge;
        for (const ProfileTrace::Point &p : trace.neckline) {
            rightEdge.push_back({x(p.right), y(p.course)});
            leftEdge.push_back({x(-p.left), y(p.course)});
        }
        addPolyline(items, {{x(-bottom.left), y(bottom.course)}, {x(bottom.right), y(bottom.course)}},
                    kNecklineGrey);
        addPolyline(items, leftEdge, kNecklineGrey);
        addPolyline(items, rightEdge, kNecklineGrey);
    }

    for (const ProfileTrace::Mark &mark : trace.marks) {
        const int at = y(mark.course);
        if (mark.kind == ProfileTrace::Mark::Kind::End)
            page::add(items, page::Box{x(-mark.left), at + 10, x(mark.right), at + 20, page::kBlack});
        else
            page::add(items, page::Box{x(-mark.left), at + 30, x(mark.right), at + 50, page::kWhite});
    }
}

} // namespace kn4
