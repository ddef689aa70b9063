#include "printloader.h"
#include "printtesting.h"
#include "profilewalk.h"

#include "kn4/labelfile.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace kn4::testing;

// Every line and box of the outline lies within the profile's box.
void expectInsideTheBox(const kn4::ProfileDrawing &p, const std::string &name)
{
    ASSERT_FALSE(p.items.empty()) << name;
    for (const auto &item : p.items) {
        std::visit(
            [&](const auto &shape) {
                if constexpr (requires { shape.x1; }) {
                    EXPECT_GE(std::min(shape.x1, shape.x2), kn4::ProfileDrawing::kBoxLeft) << name;
                    EXPECT_LE(std::max(shape.x1, shape.x2), kn4::ProfileDrawing::kBoxRight) << name;
                    EXPECT_GE(std::min(shape.y1, shape.y2), kn4::ProfileDrawing::kBoxTop) << name;
                    EXPECT_LE(std::max(shape.y1, shape.y2), kn4::ProfileDrawing::kBoxBottom) << name;
                } else {
                    ADD_FAILURE() << name << ": the outline holds no text";
                }
            },
            item);
    }
}

kn4::PanelHeaderValues header(int ribRight, int ribLeft, double border, double needlesPerCm, double coursesPerCm)
{
    kn4::PanelHeaderValues h;
    h.setupText = "1";
    h.ribRight = ribRight;
    h.ribLeft = ribLeft;
    h.necklineRight = h.necklineLeft = 0;
    h.borderHeight = border;
    h.needlesPerCm = needlesPerCm;
    h.coursesPerCm = coursesPerCm;
    return h;
}

// The front of the sample archive: rib 80 on each side, 282 courses above a
// border of 6 cm at 4.5 courses per cm; symmetric (set-up 1), so the left
// side follows the right one, which the compiler's own simulation ends at 51.
TEST(ProfileWalk, ValuesAndNecklineOfASamplePanel)
{
    kn4::PrintLoader loader;
    ASSERT_TRUE(loader.loadFiles((kGoldenBuild / "DAVANTI" / "DAVANTI.KN4").string() + "," + kItalian.string() + "/"));
    ASSERT_TRUE(loader.loadPanel());
    const kn4::ProfileDrawing &p = loader.content().profile;
    EXPECT_EQ(p.widestRight, 80);
    EXPECT_EQ(p.widestLeft, 80);
    EXPECT_EQ(p.finalRight, 51);
    EXPECT_EQ(p.finalLeft, 51);
    EXPECT_EQ(p.courses, 27 + 282);
    EXPECT_EQ(p.borderCourses(), 27);
    EXPECT_EQ(p.pieceCourses(), 282) << "what the listing counts";
    // 3 needles and 4.5 courses per cm: a course is drawn 2/3 of a needle.
    EXPECT_NEAR(p.courseScale / p.needleScale, 3 / 4.5, 1e-9);
    const auto necklineLines = std::count_if(p.items.begin(), p.items.end(), [](const auto &item) {
        const auto *line = std::get_if<kn4::page::Line>(&item);
        return line && line->rgb == kn4::ProfileDrawing::kNecklineGrey;
    });
    EXPECT_GT(necklineLines, 3) << "the front shows its neckline";
    expectInsideTheBox(p, "DAVANTI");
}

// The outline is scaled from the walk's own extent: the welt's courses on
// top of the code's, and edges that grow wider than the rib.
TEST(ProfileWalk, OutlineStaysInsideItsBox)
{
    struct Case
    {
        const char *name;
        kn4::PanelHeaderValues header;
        std::string code;
        double widest;
        std::int64_t courses;
    } cases[] = {
        // Rib 10 and a welt of 20 cm at 5 courses per cm under 109 courses.
        {"narrow rib, deep welt", header(10, 10, 20, 3, 5), "\x9d\x94\x6b\x9c", 10, 100 + 109},
        // 40 needles widening to 108.5 (half a needle a course).
        {"widening sleeve", header(40, 40, 3, 3, 4), "\x9d\x94\x09\x98\x7f\x98\x06\x94\x13\x9c", 108.5, 12 + 169},
        {"no measures", header(10, 10, 0, 0, 0), "\x9d\x94\x7f\x94\x7f\x9c", 10, 1 + 258},
        {"a single course", header(50, 50, 0, 0, 0), "\x94", 50, 2},
    };
    for (const Case &c : cases) {
        const auto result = kn4::ProfileWalk::walk(c.header, c.code);
        ASSERT_FALSE(result.damaged) << c.name;
        EXPECT_EQ(result.drawing.widestRight, c.widest) << c.name;
        EXPECT_EQ(result.drawing.courses, c.courses) << c.name;
        expectInsideTheBox(result.drawing, c.name);
    }
}

TEST(ProfileWalk, SetUpCodesAddNoCourse)
{
    for (const char setup : {'\x9d', '\x9e', '\x9f'}) {
        const auto result = kn4::ProfileWalk::walk(header(10, 10, 0, 0, 0), std::string{setup, '\x94', '\x94'});
        EXPECT_EQ(result.drawing.courses, 3) << int(static_cast<unsigned char>(setup));
    }
}

// Beyond a needle bed or a legal code the panel is refused, at once.
TEST(ProfileWalk, DamagedPanelsAreRefused)
{
    kn4::PanelHeaderValues hugeRib = header(10, 10, 0, 0, 0);
    hugeRib.ribRight = 2147483647;
    kn4::PanelHeaderValues hugeWelt = header(10, 10, 99999, 3, 99999);
    struct Case
    {
        const char *name;
        kn4::PanelHeaderValues header;
        std::string code;
    } cases[] = {
        {"a rib wider than any needle bed", hugeRib, "\x94\x9c"},
        {"a welt higher than any code", hugeWelt, "\x94\x9c"},
        {"a code longer than the compiler writes", header(10, 10, 0, 0, 0), std::string(10001, '\x94')},
        // 10 bytes of widening by 128 needles on each side.
        {"edges beyond the needle bed", header(10, 10, 0, 0, 0), "\xbf\x7f\xbf\x7f\xbf\x7f\xbf\x7f\xbf\x7f\xbf\x7f\xbf\x7f\xbf\x7f"},
    };
    for (const Case &c : cases) {
        const auto result = kn4::ProfileWalk::walk(c.header, c.code);
        EXPECT_TRUE(result.damaged) << c.name;
        EXPECT_TRUE(result.drawing.items.empty()) << c.name;
    }
}

} // namespace
