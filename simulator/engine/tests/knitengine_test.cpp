#include "simulator/knitengine.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kn4;

namespace {

std::string code(std::initializer_list<int> bytes)
{
    std::string out;
    for (const int b : bytes)
        out += char(b);
    return out;
}

KnitEngine runCode(const std::string &bytes, KnitStartValues values = {})
{
    KnitEngine engine;
    engine.setPanel(values, bytes);
    engine.maglia();
    return engine;
}

} // namespace

// What each code does to course, carriages and edges (start values 0, no
// symmetric copying).
TEST(KnitEngine, DecodesEveryCodeOfTheTable)
{
    struct Case
    {
        const char *name;
        std::string bytes;
        std::int64_t course, outer, inner;
        double right, left;
    };
    const Case cases[] = {
        {"advance and widen, then a count byte", code({140, 3}), 6, 5, 0, 0, 0},
        {"the 0x40 flag does not advance", code({204}), 1, 1, 0, 0, 0},
        {"carriage moves are consumed: no course from the count", code({128, 3}), 1, 5, 0, 0, 0},
        {"inner carriage, double steps", code({131, 139, 143}), 3, 0, 2, 0, 0},
        {"plain courses with several count bytes", code({148, 127, 5}), 136, 0, 0, 0, 0},
        {"right half needles repeat with their courses", code({152, 2}), 5, 0, 0, 2, 0},
        {"left half needles repeat with their courses", code({153, 2}), 5, 0, 0, 0, 2},
        {"edge decreases", code({144, 147, 189, 190}), 1, 0, 0, -8, -2},
        {"both edges widen, repeated", code({191, 1}), 1, 0, 0, 3, 3},
        {"jump and needle on the outer carriage", code({155, 0xFE, 100}), 1, 98, 0, 0, 0},
        {"jump and needle on the inner carriage", code({168, 4, 0xFF}), 1, 0, 3, 0, 0},
        {"parameter bytes skipped", code({169, 148, 148, 175, 148, 148}), 3, 0, 0, 0, 0},
        {"set-up byte advances", code({157}), 2, 0, 0, 0, 0},
        {"the exit byte stops decoding", code({148, 156, 148}), 2, 0, 0, 0, 0},
        {"unknown codes do nothing", code({162, 184}), 1, 0, 0, 0, 0},
        {"a parameter cut off by the end of the code", code({155, 5}), 1, 5, 0, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const KnitEngine engine = runCode(c.bytes);
        EXPECT_EQ(engine.state().course, c.course);
        EXPECT_EQ(engine.state().outer, c.outer);
        EXPECT_EQ(engine.state().inner, c.inner);
        EXPECT_EQ(engine.state().rightEdge, c.right);
        EXPECT_EQ(engine.state().leftEdge, c.left);
    }
}

TEST(KnitEngine, CoursesAndPositionsDoNotWrapAt16Bits)
{
    std::string bytes = code({148});
    bytes += std::string(300, char(127));
    KnitStartValues values;
    values.ribRight = 100;
    values.ribLeft = 100;
    const KnitEngine engine = runCode(bytes, values);
    EXPECT_EQ(engine.state().course, 2 + 300 * 128);
    EXPECT_EQ(engine.stitches().total, 200.0 * engine.state().course);
    EXPECT_EQ(engine.record(KnitEngine::kMaxCourseRecords + 1), nullptr);
}

// Carrier 1 knits courses up to 3, carrier 2 takes over on course 3 and hands
// back to carrier 1 on course 4, which stopped on the other side: "E".
TEST(KnitEngine, StripeCheckMarksACarrierTakenUpOnTheWrongSide)
{
    const KnitEngine engine = runCode(code({148, 150, 149, 150}));
    EXPECT_EQ(engine.stripeCheck(), std::vector<std::int64_t>{4});
    ASSERT_NE(engine.record(4), nullptr);
    EXPECT_EQ(engine.record(4)->text(), " 1E 2 2 1 1 1 1 1 1 4");
    EXPECT_EQ(engine.record(3)->text(), " 2* 1 1 1 1 1 1 1 1 3");
}

TEST(KnitEngine, CourseCountStartChoosesTheSideOfEachParity)
{
    for (const int start : {0, 1}) {
        KnitEngine engine;
        engine.settings().countStart = std::uint8_t(start);
        engine.setPanel({}, code({148, 150}));
        engine.maglia();
        ASSERT_NE(engine.record(1), nullptr);
        EXPECT_EQ(engine.record(1)->sides[0], start == 1 ? 2 : 1) << "count start " << start;
    }
}

TEST(KnitEngine, StitchesGoToTheWorkingCarrier)
{
    KnitStartValues values;
    values.ribRight = 10;
    values.ribLeft = 10;
    // Course 1 counted at the start, 2 plain courses, carrier 2 for 3 courses.
    const KnitEngine engine = runCode(code({148, 148, 150, 148, 148}), values);
    EXPECT_EQ(engine.stitches().carriers[0], 20 * 3);
    EXPECT_EQ(engine.stitches().carriers[1], 20 * 3);
    EXPECT_EQ(engine.stitches().total, 20 * 6);
}

// A rerun (zoom, pan) starts with carrier 1 and the bookkeeping from the
// settings, so it gives the stitches and records of the first run.
TEST(KnitEngine, RunsAreRepeatable)
{
    KnitStartValues values;
    values.ribRight = 10;
    values.ribLeft = 10;
    KnitEngine engine;
    engine.setPanel(values, code({148, 148, 150, 148, 149, 148, 150, 148}));
    engine.maglia();
    const StitchTotals first = engine.stitches();
    const std::vector<std::int64_t> errors = engine.stripeCheck();
    const std::string record = engine.record(5)->text();
    engine.maglia();
    EXPECT_EQ(engine.stitches().carriers, first.carriers);
    engine.clearFinished();
    engine.maglia();
    EXPECT_EQ(engine.stitches().carriers, first.carriers);
    EXPECT_EQ(engine.stripeCheck(), errors);
    EXPECT_EQ(engine.record(5)->text(), record);
}

TEST(KnitEngine, RigatoNeverIndexesTheSideTableWithAnUnknownCarrier)
{
    KnitEngine engine;
    engine.rigato(0, 0, 1);  // carrier 0 becomes the working one
    engine.rigato(3, 1, 1);  // its courses carry no record
    EXPECT_EQ(engine.record(2), nullptr);
    engine.rigato(5, 2, 1);
    ASSERT_NE(engine.record(4), nullptr);
    EXPECT_EQ(engine.record(4)->carrier, 1);
    engine.rigato(3'000'000'000LL, 3, 1);  // far past the table, at once
    EXPECT_NE(engine.record(KnitEngine::kMaxCourseRecords), nullptr);
    EXPECT_EQ(engine.record(KnitEngine::kMaxCourseRecords + 1), nullptr);
}

TEST(KnitEngine, FollowersSeeEveryDecodedByte)
{
    struct Follower : KnitObserver
    {
        std::vector<KnitStep> steps;
        std::vector<std::int64_t> courses;
        int drawn = 0;
        void stepDecoded(const KnitStep &step, const KnitState &state) override
        {
            steps.push_back(step);
            courses.push_back(state.course);
        }
        void courseDrawn(const DrawCall &, const KnitState &) override { ++drawn; }
    } follower;
    KnitEngine engine;
    engine.setObserver(&follower);
    engine.setRecording(false);
    engine.setPanel({}, code({140, 3, 152, 1}));
    engine.maglia();
    ASSERT_EQ(follower.steps.size(), 4u);
    EXPECT_EQ(follower.steps[1].command, 140);
    EXPECT_EQ(follower.steps[1].count, 4);
    EXPECT_EQ(follower.courses, (std::vector<std::int64_t>{2, 6, 7, 9}));
    EXPECT_EQ(follower.drawn, 5);
    EXPECT_TRUE(engine.drawing().empty());
}

// The primitives of each drawing kind, in drawing units (scale 10, centre
// 4000, base line 8000; right edge 10, left edge 5).
TEST(KnitEngine, DrawCourseRecordsEachKind)
{
    using K = DrawPrimitive::Kind;
    const Colour c1 = SimSettings().colours[0];
    const Colour w = KnitEngine::kWhite;
    struct Case
    {
        const char *name;
        std::string bytes;
        int setup;
        std::vector<DrawPrimitive> expected;  // after the clearing
    };
    const Case cases[] = {
        {"a band of the new courses", code({148}), 0, {{K::Box, true, 3950, 7980, 4100, 8000, c1}}},
        {"symmetric work copies the right side", code({148}), 1, {{K::Box, true, 3900, 7980, 4100, 8000, c1}}},
        {"edge marks", code({148, 144}), 0, {{K::Box, true, 3950, 7980, 4100, 8000, c1}, {K::Point, false, 4020, 8000, 4020, 8000, w}}},
        {"nothing wholly off the area", code({144}), 0, {}},
        {"carriage marks",
         code({178, 129}),
         0,
         {{K::Box, true, 3950, 7980, 4100, 8000, c1},
          {K::Box, true, 3950, 7980, 4100, 7980, c1},
          {K::Point, false, 3990, 8000, 3990, 8000, w},
          {K::Point, false, 4000, 8000, 4000, 8000, w}}},
        {"a marker box", code({160}), 0, {{K::Box, false, 3950, 7982, 4100, 8000, w}}},
        {"the end", code({156}), 0, {}},
    };
    KnitStartValues values;
    values.ribRight = 10;
    values.ribLeft = 5;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        values.setup = c.setup;
        const KnitEngine engine = runCode(c.bytes, values);
        ASSERT_FALSE(engine.drawing().empty());
        EXPECT_EQ(engine.drawing().front().kind, K::Clear);
        EXPECT_EQ(DrawingList(engine.drawing().begin() + 1, engine.drawing().end()), c.expected);
    }
}

TEST(KnitEngine, BorderViewDrawsStripesAndStartsAtTheBorderCourse)
{
    KnitEngine engine;
    KnitStartValues values;
    values.ribRight = 2;
    values.ribLeft = 2;
    values.borderHeight = 1;
    values.coursesPerCm = 2.5;  // 2.5 courses round to 2
    engine.setPanel(values, code({148}));
    engine.drawingView().view = 1;
    engine.maglia();
    EXPECT_EQ(engine.state().borderOffset, 1);
    EXPECT_EQ(engine.state().course, 3);
    // x from 3980 to 4020 in steps of 4: 11 stripes, each a colour and a grey box.
    std::size_t grey = 0;
    for (const DrawPrimitive &p : engine.drawing())
        grey += p.colour == KnitEngine::kGrey;
    EXPECT_EQ(grey, 11u);
}

// Each carrier code draws its band in its own carrier's colour, carrier 8
// included, never a neighbour's and never past the colour table.
TEST(KnitEngine, EachCarrierDrawsInItsOwnColour)
{
    const int codes[8] = {149, 150, 151, 163, 164, 165, 166, 167};
    for (int k = 1; k <= 8; ++k) {
        SCOPED_TRACE(k);
        KnitEngine engine;
        for (std::size_t c = 0; c < 8; ++c)
            engine.settings().colours[c] = Colour(0x10 * (c + 1));
        KnitStartValues values;
        values.ribRight = 10;
        values.ribLeft = 10;
        engine.setPanel(values, code({codes[k - 1]}));
        engine.maglia();
        ASSERT_EQ(engine.drawing().size(), 2u);
        EXPECT_EQ(engine.drawing()[1].colour, Colour(0x10 * k));
        EXPECT_EQ(engine.state().currentCarrier, k);
    }
}

// The course records count the piece's own courses in both views: a welt of
// an odd number of courses drawn first in view 1 moves neither the stripe
// errors nor the sides recorded.
TEST(KnitEngine, CourseRecordsAreTheSameInBothViews)
{
    KnitStartValues values;
    values.ribRight = 10;
    values.ribLeft = 10;
    values.borderHeight = 2;
    values.coursesPerCm = 2.5;  // a welt of 5 courses: offset 4 -- and 3 for 1.5 cm
    KnitEngine engine;
    engine.setPanel(values, code({157, 148, 150, 149, 150, 148, 149, 148, 148, 150, 148}));
    engine.maglia();
    const std::vector<std::int64_t> errors = engine.stripeCheck();
    ASSERT_FALSE(errors.empty());
    std::vector<std::string> records;
    for (std::int64_t r = 0; r <= engine.state().course; ++r)
        records.push_back(engine.record(r) ? engine.record(r)->text() : "");

    for (const double border : {2.0, 1.2}) {
        SCOPED_TRACE(border);
        values.borderHeight = border;
        engine.setPanel(values, engine.codeBlock().data());
        engine.drawingView().view = 1;
        // A change of the carrier settings rebuilds the records in view 1.
        engine.clearFinished();
        engine.rigato(0, 1, 100);
        engine.maglia();
        ASSERT_GT(engine.state().borderOffset, 0);
        EXPECT_EQ(engine.stripeCheck(), errors);
        for (std::int64_t r = 0; r < std::int64_t(records.size()); ++r)
            EXPECT_EQ(engine.record(r) ? engine.record(r)->text() : "", records[std::size_t(r)]) << r;
        EXPECT_EQ(engine.recordCourse(engine.drawnCourse(7)), 7);
    }
}

// Intarsia: the R pairs give the courses and the F pairs the needles of
// field 1 (carrier 2) and field 2 (carrier 3), cut to the fabric; where
// both knit, field 2 does. The base carrier 1 knits the rest.
TEST(KnitEngine, IntarsiaFieldsTakeTheirCarriersColoursAndStitches)
{
    struct Case
    {
        const char *name;
        std::vector<std::int32_t> r, f;
        double area2, area3;
    };
    // Eleven courses on a fabric from needle -10 to 10 (20 stitches a course).
    const Case cases[] = {
        {"two fields apart", {3, 5, 6, 8}, {-5, 5, 0, 10}, 30, 30},
        {"overlapping fields: field 2 on top", {3, 5, 4, 6}, {-5, 5, 0, 10}, 20, 30},
        {"a field wider than the fabric, given backwards", {5, 4}, {50, -50}, 40, 0},
        {"a further R pair is field 1 again", {1, 1, 9, 9, 10, 10}, {0, 2, 0, 4}, 4, 4},
        {"no F pair: no field", {3, 5}, {7}, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        KnitStartValues values;
        values.ribRight = 10;
        values.ribLeft = 10;
        values.intarsiaR = c.r;
        values.intarsiaF = c.f;
        KnitEngine engine;
        engine.settings().stripeMode = 2;
        engine.setPanel(values, code({148, 8}));
        engine.maglia();
        EXPECT_EQ(engine.state().course, 11);
        EXPECT_EQ(engine.intarsiaAreas().area2, c.area2);
        EXPECT_EQ(engine.intarsiaAreas().area3, c.area3);
        const StitchTotals perColour = engine.stitchesPerColour();
        EXPECT_EQ(perColour.total, 220);  // courses 1 to 11
        EXPECT_EQ(perColour.carriers[0], 220 - c.area2 - c.area3);
        EXPECT_EQ(perColour.carriers[1], c.area2);
        std::size_t colour2 = 0, colour3 = 0;
        for (const DrawPrimitive &p : engine.drawing()) {
            colour2 += p.kind == DrawPrimitive::Kind::Box && p.colour == engine.settings().colours[1];
            colour3 += p.kind == DrawPrimitive::Kind::Box && p.colour == engine.settings().colours[2];
        }
        EXPECT_EQ(colour2 > 0, c.area2 > 0);
        EXPECT_EQ(colour3 > 0, c.area3 > 0);
    }
}
