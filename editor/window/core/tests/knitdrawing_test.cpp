#include "window/core/knitdrawing.h"

#include "document/commandlist.h"
#include "document/languagetable.h"
#include "document/panelreader.h"
#include "document/tests/documenttesting.h"
#include "document/palettecodec.h"
#include "window/core/runningtotals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

using kn4::Colour;
using kn4::editor::DrawingPrimitive;
using kn4::editor::DrawingSettings;
using kn4::editor::KnitDrawing;
using kn4::editor::KnitPicture;
using kn4::editor::LanguageTable;
using kn4::editor::PanelModel;
using kn4::rgb;
using kn4::editor::ShapeSteps;
using Kind = DrawingPrimitive::Kind;
namespace t = kn4::editor::testing;

// A piece of `courses` courses whose outer carriages stay at `right` and
// `left` needles, with the neckline at 1.
ShapeSteps straightPiece(int courses, int right, int left)
{
    ShapeSteps steps;
    steps.programSteps = courses;
    steps.widestOuterRight = right;
    steps.widestOuterLeft = left;
    steps.outerRight.assign(std::size_t(courses), right);
    steps.outerLeft.assign(std::size_t(courses), left);
    steps.innerRight.assign(std::size_t(courses), 1);
    steps.innerLeft.assign(std::size_t(courses), 1);
    return steps;
}

std::vector<DrawingPrimitive> ofKind(const KnitPicture &picture, Kind kind)
{
    std::vector<DrawingPrimitive> found;
    for (const DrawingPrimitive &item : picture.primitives)
        if (item.kind == kind)
            found.push_back(item);
    return found;
}

// Swatch colours that tell every index apart.
DrawingSettings numberedSwatches()
{
    DrawingSettings settings;
    for (int i = 0; i < PanelModel::kColourBoxes; ++i)
        settings.swatches[std::size_t(i)] = rgb(10 * (i + 1), 0, 0);
    return settings;
}

struct Span
{
    int x1;
    int x2;
    int y;
    bool operator==(const Span &) const = default;
};

std::vector<Span> spans(const std::vector<DrawingPrimitive> &items)
{
    std::vector<Span> result;
    for (const DrawingPrimitive &item : items)
        result.push_back({item.x1, item.x2, item.y1});
    return result;
}

TEST(KnitDrawingTest, ScaleFitsThePieceAndNeverEnlarges)
{
    EXPECT_EQ(KnitDrawing::scaleFor(0, 0), 1.0);
    EXPECT_EQ(KnitDrawing::scaleFor(-20, 0), 1.0);
    EXPECT_EQ(KnitDrawing::scaleFor(100, 300), 1.0);
    EXPECT_EQ(KnitDrawing::scaleFor(310, 762), 0.5);
    EXPECT_EQ(KnitDrawing::scaleFor(620, 100), 0.25);
    EXPECT_EQ(KnitDrawing::scaleFor(10, 1524), 0.25);

    const KnitPicture empty = KnitDrawing::draw(ShapeSteps{}, DrawingSettings{});
    EXPECT_EQ(empty.scale, 1.0);
    EXPECT_TRUE(empty.primitives.empty());
}

TEST(KnitDrawingTest, CoursesSpanBothHalvesAroundTheCentreLine)
{
    const KnitPicture picture = KnitDrawing::draw(straightPiece(3, 20, 20), DrawingSettings{});
    EXPECT_EQ(spans(ofKind(picture, Kind::Course)),
              (std::vector<Span>{{140, 179, 381}, {140, 179, 380}, {140, 179, 379}}));
    for (const DrawingPrimitive &course : picture.primitives)
        EXPECT_EQ(course.colour, PanelModel::kDefaultColours[KnitDrawing::kFirstSwatch]);

    // A course without needles (or with crossed ends) shows nothing.
    ShapeSteps steps = straightPiece(3, 20, 20);
    steps.outerRight[1] = 0;
    steps.outerRight[2] = -4;
    EXPECT_EQ(ofKind(KnitDrawing::draw(steps, DrawingSettings{}), Kind::Course).size(), 1u);
}

TEST(KnitDrawingTest, LongProgramDrawsTheFirstCourseOfEachPixelRow)
{
    ShapeSteps steps = straightPiece(762, 310, 310);
    for (int s = 0; s < 762; ++s)
        steps.outerRight[std::size_t(s)] = 310 - s % 7;  // widest stays 310
    const KnitPicture picture = KnitDrawing::draw(steps, DrawingSettings{});
    EXPECT_EQ(picture.scale, 0.5);

    const auto courses = ofKind(picture, Kind::Course);
    // y = 381 - s / 2 to the nearest pixel, halves to even: 381, 380, 380,
    // 380, 379, 378, 378, 378, 377, 376 ...
    ASSERT_GE(courses.size(), 6u);
    std::vector<int> first;
    for (std::size_t i = 0; i < 6; ++i)
        first.push_back(courses[i].step);
    EXPECT_EQ(first, (std::vector<int>{0, 1, 4, 5, 8, 9}));
    EXPECT_EQ(courses[2].y1, 379);

    std::set<int> rows;
    for (const DrawingPrimitive &course : courses) {
        EXPECT_TRUE(rows.insert(course.y1).second) << "row " << course.y1 << " drawn twice";
        EXPECT_GE(course.x1, 5);
        EXPECT_LE(course.x2, 314);
    }
    EXPECT_EQ(rows.size(), 382u);  // rows 0..381
    EXPECT_EQ(*rows.begin(), 0);
    // Widest course: 155 pixels each side.
    EXPECT_EQ(courses[0].x1, 5);
    EXPECT_EQ(courses[0].x2, 314);
}

TEST(KnitDrawingTest, YarnChangesColourTheFollowingCourses)
{
    ShapeSteps steps = straightPiece(6, 10, 10);
    steps.events = {{2, 3}, {4, 8}, {5, 9}};
    const DrawingSettings settings = numberedSwatches();
    const auto courses = ofKind(KnitDrawing::draw(steps, settings), Kind::Course);
    ASSERT_EQ(courses.size(), 6u);
    std::vector<Colour> colours;
    for (const DrawingPrimitive &course : courses)
        colours.push_back(course.colour);
    const auto &swatch = settings.swatches;
    // The course of the event still has the old yarn; code 9 is no yarn.
    EXPECT_EQ(colours, (std::vector<Colour>{swatch[0], swatch[0], swatch[0], swatch[2], swatch[2], swatch[7]}));
}

TEST(KnitDrawingTest, InverseColourTakesEachChannelFrom255)
{
    EXPECT_EQ(KnitDrawing::inverseColour(rgb(255, 255, 255)), rgb(0, 0, 0));
    EXPECT_EQ(KnitDrawing::inverseColour(rgb(0, 0, 0)), rgb(255, 255, 255));
    EXPECT_EQ(KnitDrawing::inverseColour(rgb(255, 0, 255)), rgb(0, 255, 0));
    EXPECT_EQ(KnitDrawing::inverseColour(rgb(255, 255, 0)), rgb(0, 0, 255));
    // A red of 128 or more must not carry into green and blue.
    EXPECT_EQ(KnitDrawing::inverseColour(rgb(128, 255, 255)), rgb(127, 0, 0));
    EXPECT_EQ(KnitDrawing::inverseColour(rgb(200, 255, 0)), rgb(55, 0, 255));
    EXPECT_EQ(KnitDrawing::inverseColour(rgb(128, 128, 128)), rgb(127, 127, 127));
}

TEST(KnitDrawingTest, CrossingAndDashedCoursesUseTheInverseColour)
{
    ShapeSteps steps = straightPiece(4, 20, 20);
    steps.events = {{1, 10}, {2, 11}};
    const KnitPicture picture = KnitDrawing::draw(steps, DrawingSettings{});
    const Colour inverse = KnitDrawing::inverseColour(PanelModel::kDefaultColours[0]);

    const auto crossings = ofKind(picture, Kind::Crossing);
    ASSERT_EQ(crossings.size(), 1u);
    EXPECT_EQ(spans(crossings), (std::vector<Span>{{140, 179, 380}}));
    EXPECT_EQ(crossings[0].colour, inverse);

    // Ends at 140 and 179: dashes of 5 pixels every 10 towards the centre.
    const auto dashes = ofKind(picture, Kind::Dash);
    EXPECT_EQ(spans(dashes),
              (std::vector<Span>{{140, 144, 379}, {150, 154, 379}, {175, 179, 379}, {165, 169, 379}}));
    for (const DrawingPrimitive &dash : dashes)
        EXPECT_EQ(dash.colour, inverse);

    // Drawn on top of the course: it comes after the course in painting order.
    const auto it = std::find_if(picture.primitives.begin(), picture.primitives.end(),
                                 [](const DrawingPrimitive &p) { return p.kind == Kind::Crossing; });
    ASSERT_NE(it, picture.primitives.begin());
    EXPECT_EQ(std::prev(it)->kind, Kind::Course);
    EXPECT_EQ(std::prev(it)->step, 1);
}

TEST(KnitDrawingTest, TwoSidedPieceTakesItsLeftEndFromTheLeftCarriage)
{
    const ShapeSteps steps = straightPiece(1, 30, 10);
    DrawingSettings settings;
    // Symmetric unless the set-up is two-sided without the right side.
    for (const auto &[mode, options] : std::vector<std::pair<int, int>>{{1, 0}, {3, 1}, {2, 2}, {2, 3}}) {
        settings.setupMode = mode;
        settings.setupOptions = options;
        EXPECT_EQ(spans(ofKind(KnitDrawing::draw(steps, settings), Kind::Course)),
                  (std::vector<Span>{{130, 189, 381}}))
            << mode << "/" << options;
    }
    settings.setupMode = 2;
    for (int options : {0, 1}) {
        settings.setupOptions = options;
        EXPECT_EQ(spans(ofKind(KnitDrawing::draw(steps, settings), Kind::Course)),
                  (std::vector<Span>{{150, 189, 381}}));
    }

    // A left side wider than the right one is scaled to fit as well.
    const KnitPicture wide = KnitDrawing::draw(straightPiece(10, 100, 310), settings);
    EXPECT_EQ(wide.scale, 0.5);
    EXPECT_EQ(ofKind(wide, Kind::Course).front().x1, 5);
    EXPECT_EQ(ofKind(wide, Kind::Course).front().x2, 209);
}

TEST(KnitDrawingTest, DecreaseAndNecklineMarksAreWhiteInsideTheEdges)
{
    ShapeSteps steps = straightPiece(5, 20, 15);
    steps.outerRight[3] = 19;
    steps.innerRight[2] = 5;
    steps.innerRight[3] = 7;
    steps.events = {{0, 20}, {0, 21}, {3, 20}, {3, 21}, {3, 30}};
    DrawingSettings settings;

    const auto symmetric = ofKind(KnitDrawing::draw(steps, settings), Kind::WhiteMark);
    // Nothing at the first course; 20 on both sides of a symmetric piece,
    // from the carriage of the course before; 21 only on two-sided pieces.
    struct Mark { int x1, y1, x2, y2; bool operator==(const Mark &) const = default; };
    auto marks = [](const std::vector<DrawingPrimitive> &items) {
        std::vector<Mark> result;
        for (const DrawingPrimitive &item : items) {
            EXPECT_EQ(item.colour, KnitDrawing::kWhite);
            EXPECT_EQ(item.step, 3);
            result.push_back({item.x1, item.y1, item.x2, item.y2});
        }
        return result;
    };
    EXPECT_EQ(marks(symmetric), (std::vector<Mark>{{172, 378, 172, 380},
                                                   {146, 378, 146, 380},
                                                   {164, 379, 166, 378},
                                                   {155, 379, 153, 378}}));

    settings.setupMode = 2;
    settings.setupOptions = 1;
    const auto twoSided = ofKind(KnitDrawing::draw(steps, settings), Kind::WhiteMark);
    EXPECT_EQ(marks(twoSided), (std::vector<Mark>{{172, 378, 172, 380}, {152, 378, 152, 380}, {164, 379, 166, 378}}));

    // Marks near the first course do not reach below it.
    steps.events = {{1, 20}};
    const auto low = ofKind(KnitDrawing::draw(steps, DrawingSettings{}), Kind::WhiteMark);
    ASSERT_EQ(low.size(), 2u);
    EXPECT_EQ(low[0].y1, 380);
    EXPECT_EQ(low[0].y2, 381);
}

TEST(KnitDrawingTest, PointerReadoutInCoursesNeedlesAndCentimetres)
{
    auto readout = KnitDrawing::pointerReadout(160, 381, 1.0, "3", "4,5", ',');
    EXPECT_EQ(readout.courses, "   0  0,00 cm");
    EXPECT_EQ(readout.needles, "   0  0,00 cm");

    readout = KnitDrawing::pointerReadout(60, 281, 0.5, "3", "4.5", '.');
    EXPECT_EQ(readout.courses, " 200  44.44 cm");
    EXPECT_EQ(readout.needles, " 200  66.67 cm");

    // Halves go to the even count.
    EXPECT_EQ(KnitDrawing::pointerReadout(162.5, 380.5, 1.0, "", "", '.').needles, "   2  0 cm");
    EXPECT_EQ(KnitDrawing::pointerReadout(162.5, 380.5, 1.0, "", "", '.').courses, "   0  0 cm");
    EXPECT_EQ(KnitDrawing::pointerReadout(163.5, 381, 1.0, "", "", '.').needles, "   4  0 cm");

    // Counts of more than 4 digits show as dashes, however far they reach.
    readout = KnitDrawing::pointerReadout(320, 0, 0.001, "10", "10", ',');
    EXPECT_EQ(readout.courses, "----  38100,00 cm");
    EXPECT_EQ(readout.needles, "----  16000,00 cm");
    EXPECT_EQ(KnitDrawing::pointerReadout(320, 0, 1e-300, "", "", '.').needles.substr(0, 4), "----");
}

TEST(KnitDrawingTest, FinalValuesSumBothSidesAndTheHeight)
{
    ShapeSteps steps = straightPiece(168, 80, 80);
    steps.increases = 24;
    DrawingSettings settings;
    settings.finalSource.header.predisposizione = "1";
    settings.finalSource.header.costinaDx = "80";
    settings.finalSource.header.costinaSx = "70";
    settings.finalSource.header.scolloDx = "1";
    settings.finalSource.header.scolloSx = "2";
    settings.finalSource.header.altezzaBordo = "6";
    settings.finalSource.header.aghiCm = "3";
    settings.finalSource.header.ranghiCm = "4.5";
    settings.finalSource.separator = ',';

    EXPECT_TRUE(ofKind(KnitDrawing::draw(steps, settings), Kind::Text).empty());

    settings.finalValues = true;
    auto texts = [&] {
        std::vector<std::string> lines;
        for (const DrawingPrimitive &text : ofKind(KnitDrawing::draw(steps, settings), Kind::Text)) {
            EXPECT_EQ(text.colour, rgb(120, 120, 120));
            EXPECT_TRUE(text.bold);
            EXPECT_EQ(text.pointSize, 8);
            EXPECT_GE(text.y1, 1500 / 15);
            EXPECT_LE(text.y1, 5400 / 15);
            lines.push_back(text.text);
        }
        return lines;
    };
    EXPECT_EQ(texts(), (std::vector<std::string>{
                           "Predisposizione 1", "Lato sinistro + Lato destro",
                           "Costina", "80 + 80 = 160 Aghi", "26,67 + 26,67 = 53,33 cm",
                           "Scollo", "1 + 1 = 2 Aghi", "0,33 + 0,33 = 0,67 cm",
                           "Larghezza massima", "80 + 80 = 160 Aghi", "26,67 + 26,67 = 53,33 cm",
                           "Bordo 27 Ranghi  6,00 cm",
                           "Altezza totale", "27 + 168 = 195 Ranghi", "6,00 + 37,33 = 43,33 cm",
                           "Aumenti 24"}));

    // Two-sided: the left rib, neckline and carriage; texts of the language
    // file; no measures give 0 cm.
    settings.setupMode = 2;
    settings.setupOptions = 1;
    settings.finalSource.header.predisposizione = "2";
    settings.finalSource.header.aghiCm = "";
    settings.finalSource.header.ranghiCm = "0";
    steps.widestOuterLeft = 75;
    std::string language;
    for (int line = 0; line < 37; ++line)
        language += (line >= 25 ? "T" + std::to_string(line) : std::string("x")) + "\r\n";
    settings.finalSource.setTexts(LanguageTable::fromText(language));
    const auto lines = texts();
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[0], "T35 2");
    EXPECT_EQ(lines[1], "T32 + T31");
    EXPECT_EQ(lines[3], "70 + 80 = 150 T28");
    EXPECT_EQ(lines[4], "0 + 0 = 0 T30");
    EXPECT_EQ(lines[6], "2 + 1 = 3 T28");
    EXPECT_EQ(lines[9], "75 + 80 = 155 T28");
    EXPECT_EQ(lines[11], "T25 0 T29  6,00 T30");
    EXPECT_EQ(lines[13], "0 + 168 = 168 T29");
    EXPECT_EQ(lines[14], "6,00 + 0 = 6,00 T30");
}

// The sample panels through the real replay: every course of the program is
// drawn inside the drawing area.
TEST(KnitDrawingTest, SamplePanelsDrawInsideTheArea)
{
    using kn4::editor::CommandList;
    using kn4::editor::PanelReader;
    using kn4::editor::RunningTotals;
    using kn4::editor::TotalsSettings;
    const auto load = CommandList::load(t::programDir() / "italiano", t::library());
    ASSERT_TRUE(load.list) << load.fatalMessage;
    const kn4::editor::ColourCodec codec = kn4::editor::paletteColourCodec();
    RunningTotals totals(t::library());

    int panels = 0;
    for (const auto &item : std::filesystem::directory_iterator(t::programDir() / "archivi" / "DEMO")) {
        if (item.path().extension() != ".KN4")
            continue;
        ++panels;
        PanelModel panel;
        PanelReader reader(*load.list, t::library(), codec, 320, false);
        ASSERT_EQ(reader.read(t::readFile(item.path()), panel).outcome, PanelReader::Outcome::Read);
        const TotalsSettings totalsSettings = TotalsSettings::fromHeader(panel.header, 3);
        totals.recompute(panel.rows.data(), int(panel.rows.size()), totalsSettings);

        const ShapeSteps steps = ShapeSteps::fromTotals(totals);
        ASSERT_EQ(steps.programSteps, totals.programSteps());
        ASSERT_GT(steps.programSteps, 0) << item.path();
        EXPECT_EQ(steps.outerRight.back(), totals.outer(0, steps.programSteps - 1));

        DrawingSettings settings;
        settings.swatches = panel.colours;
        settings.setupMode = totalsSettings.setupMode;
        settings.finalValues = true;
        settings.finalSource.header = panel.header;
        const KnitPicture picture = KnitDrawing::draw(steps, settings);

        const auto courses = ofKind(picture, Kind::Course);
        EXPECT_GT(courses.size(), 100u) << item.path();
        std::set<Colour> colours;
        for (const DrawingPrimitive &course : courses) {
            EXPECT_GE(course.x1, 0);
            EXPECT_LE(course.x2, 320);
            EXPECT_LE(course.x1, course.x2);
            EXPECT_GE(course.y1, 0);
            EXPECT_LE(course.y1, 381);
            colours.insert(course.colour);
        }
        EXPECT_EQ(ofKind(picture, Kind::Text).size(), 16u);
        const std::string name = item.path().filename().string();
        if (name == "RIGHE.KN4") {
            // Stripes of carrier 1 and 2.
            EXPECT_EQ(colours, (std::set<Colour>{panel.colours[0], panel.colours[1]}));
        }
        if (name == "DAVANTI.KN4") {
            EXPECT_EQ(picture.scale, 1.0);
            EXPECT_EQ(int(courses.size()), steps.programSteps);
            EXPECT_FALSE(ofKind(picture, Kind::WhiteMark).empty());  // decreases
        }
    }
    EXPECT_GE(panels, 4);
}

} // namespace
