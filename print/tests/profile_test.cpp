#include "printloader.h"
#include "printtesting.h"
#include "profiledrawing.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace kn4::testing;

TEST(ProfileDrawing, ScaleLeavesOutZeroRibsAndMissingCourses)
{
    struct Case
    {
        std::int32_t ribLeft, ribRight, courses;
        int scale;
    } cases[] = {
        {80, 80, 282, 60}, {0, 80, 282, 60}, {80, 0, 0, 62}, {0, 0, 0, 1}, {6000, 0, 0, 1}, {30, 54, 256, 66},
    };
    for (const Case &c : cases)
        EXPECT_EQ(kn4::ProfileDrawing::scaleFor(c.ribLeft, c.ribRight, c.courses), c.scale)
            << c.ribLeft << " " << c.ribRight << " " << c.courses;
}

// The front of the sample archive: rib 80 on each side, 282 courses above a
// border of 6 cm at 4.5 courses per cm; symmetric (set-up 1), so the left
// side follows the right one, which the compiler's own simulation ends at 51.
TEST(ProfileWalk, WidestAndFinalValuesOfASamplePanel)
{
    kn4::PrintLoader loader;
    ASSERT_TRUE(loader.loadFiles((kGoldenBuild / "DAVANTI" / "DAVANTI.KN4").string() + "," + kItalian.string() + "/"));
    ASSERT_TRUE(loader.loadPanel());
    const kn4::ProfileDrawing &p = loader.content().profile;
    EXPECT_EQ(p.scale, 60);
    EXPECT_EQ(p.widestRight, 80);
    EXPECT_EQ(p.widestLeft, 80);
    EXPECT_EQ(p.finalRight, 51);
    EXPECT_EQ(p.finalLeft, 51);
    EXPECT_EQ(p.courses, 27 + 282);

    // The outline stays on page 1, right of the listing and above the values.
    for (const auto &item : p.items) {
        std::visit(
            [](const auto &shape) {
                if constexpr (requires { shape.x1; }) {
                EXPECT_GE(std::min(shape.x1, shape.x2), 21000);
                EXPECT_LE(std::max(shape.x1, shape.x2), 40000);
                EXPECT_GE(std::min(shape.y1, shape.y2), 1000);
                EXPECT_LE(std::max(shape.y1, shape.y2), 24500);
                } else {
                    ADD_FAILURE() << "the outline holds no text";
                }
            },
            item);
    }
}

} // namespace
