// Course to row: the course map read from a compiled sample panel and its
// keyword file agrees with the simulator's engine replaying the panel's
// code (the same number of courses; on RIGHE the yarn carrier of every
// course record is the one the stripe row at that course names) and with
// the editor's running totals (every row starts at the step the totals
// write into it).

#include "document/coursemap.h"
#include "document/editorstartup.h"
#include "document/librarybinding.h"
#include "document/palettecodec.h"
#include "document/rowtext.h"
#include "window/core/runningtotals.h"

#include "simulator/knitengine.h"
#include "simulator/panelhead.h"

#include "kn4/testfiles.h"
#include "kn4/number.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kn4::editor {
namespace {

namespace fs = std::filesystem;

const fs::path kDemo = fs::path(KN4_PROGRAM_DIR) / "archivi" / "DEMO";
const fs::path kKeywords = fs::path(KN4_PROGRAM_DIR) / "italiano" / "VUZUDO.KEY";

CourseMap mapOf(const char *panel)
{
    return CourseMap::fromPanelText(kn4::testing::readFile(kDemo / panel), kn4::testing::readFile(kKeywords));
}

TEST(CourseMap, EveryCourseOfTheEngineHasItsRow)
{
    struct Case
    {
        const char *panel;
        int courses;          // knitted courses (the compiled header's)
        bool stripes;         // the second strand names the yarn carrier
    };
    const Case cases[] = {{"DAVANTI.KN4", 282, false}, {"RIGHE.KN4", 212, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.panel);
        const CourseMap map = mapOf(c.panel);
        const PanelHead head = PanelHead::load(kDemo / c.panel);
        ASSERT_TRUE(head.ok());
        KnitEngine engine;
        engine.setHead(head);
        engine.maglia();

        EXPECT_EQ(map.steps(), c.courses);
        EXPECT_EQ(head.courses(), c.courses);
        // The engine ends one course past the last knitted one.
        const std::int64_t last = engine.state().course - 1;
        EXPECT_EQ(last, map.steps() - 1 + CourseMap::kFirstCourse);
        EXPECT_LT(map.rowAtCourse(CourseMap::kFirstCourse - 1), 0);
        EXPECT_LT(map.rowAtCourse(int(last) + 1), 0);
        int checked = 0;
        for (int course = CourseMap::kFirstCourse; course <= last; ++course) {
            const int row = map.rowAtCourse(course);
            ASSERT_GE(row, 0) << "course " << course;
            EXPECT_NE(map.rows()[std::size_t(row)].entry, RowText::kDefinitionEntry);
            const CourseRecord *record = engine.record(course);
            if (!c.stripes || record == nullptr || !record->present)
                continue;
            // A yarn change acts from the course after the one where its
            // row starts (the drawing changes colour there too): the carrier
            // of a course is the one the stripe row of the course before
            // names; the first course is knitted with carrier 1.
            const std::vector<int> rows = map.rowsAtStep(course - 1 - CourseMap::kFirstCourse);
            if (course == CourseMap::kFirstCourse) {
                EXPECT_EQ(record->carrier, 1);
                continue;
            }
            ASSERT_EQ(rows.size(), 2u);
            const std::string &stripe = map.rows()[std::size_t(rows[1])].text;  // "RIGATO 2 4 -1"
            EXPECT_EQ(int(record->carrier), leadingInteger(stripe.substr(stripe.find(' ') + 1)))
                << "course " << course << ": " << stripe;
            ++checked;
        }
        EXPECT_EQ(checked, c.stripes ? c.courses - 1 : 0);
    }
}

TEST(CourseMap, RowsStartWhereTheRunningTotalsStartThem)
{
    LibraryBinding library;
    ASSERT_TRUE(library.load(KN4_PROGRAM_DIR)) << library.errorMessage();
    for (const char *panel : {"DAVANTI.KN4", "DIETRO.KN4", "MANICA.KN4", "RIGHE.KN4"}) {
        SCOPED_TRACE(panel);
        EditorStartup::Input input;
        input.arguments = (kDemo / panel).string() + "," + kKeywords.parent_path().string() + "/";
        StartupResult startup = EditorStartup::run(input, &library, {}, paletteColourCodec());
        ASSERT_TRUE(startup.panelFromFile);
        std::vector<std::string> rows = startup.panel.rows;
        RunningTotals totals(library);
        totals.recompute(rows.data(), int(rows.size()), TotalsSettings::fromHeader(startup.panel.header, 3));

        const CourseMap fromRows = CourseMap::fromRowTexts(rows);
        const CourseMap fromFile = mapOf(panel);
        EXPECT_EQ(fromRows.steps(), totals.programSteps());
        EXPECT_EQ(fromFile.steps(), totals.programSteps());
        ASSERT_EQ(fromRows.rows().size(), rows.size());
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const CourseMap::Row &row = fromRows.rows()[r];
            EXPECT_EQ(row.text, fromFile.rows()[r].text);
            EXPECT_EQ(row.sourceLine, fromFile.rows()[r].sourceLine);
            EXPECT_EQ(fromFile.rowOfSourceLine(row.sourceLine), int(r));
            if (row.entry == RowText::kDefinitionEntry)
                continue;
            const std::string total(trimBlanks(RowText::columns(rows[r], 30, 33)));
            if (total == "v")
                EXPECT_EQ(row.startStep, -1);
            else
                EXPECT_EQ(row.startStep, leadingInteger(total)) << row.text;
        }
    }
}

TEST(CourseMap, DisplayTextAndLinesOfAHandWrittenPanel)
{
    // A blank line in the program holds no row but has its line number; a
    // command the keyword file lacks still counts its cycles.
    const std::string panel =
        "SORGENTE.KN4\r\n"
        "tipo ----- ...\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"
        "; --- Inizio programma ;FFFFFFFF\r\n"
        "definizione PROFILO ESTERNO\r\n"
        "liscio         , 10  , 1   ;\r\n"
        "\r\n"
        "calato        2, 2   , 3   ; a note\r\n"
        "nonso          , 5   , 1   ;\r\n";
    const CourseMap map = CourseMap::fromPanelText(panel, kn4::testing::readFile(kKeywords));
    ASSERT_EQ(map.rows().size(), 4u);
    EXPECT_EQ(map.rows()[0].text, "DEFINIZIONE PROFILO ESTERNO");
    EXPECT_EQ(map.rows()[2].text, "CALATO 2 2 3");
    EXPECT_EQ(map.rows()[2].sourceLine, 15);
    EXPECT_EQ(map.rowOfSourceLine(14), -1);
    EXPECT_EQ(map.rows()[3].entry, -1);
    EXPECT_EQ(map.steps(), 10 + 6 + 5);
    EXPECT_EQ(map.rowAtStep(9), 1);
    EXPECT_EQ(map.rowAtStep(10), 2);
    EXPECT_EQ(map.rows()[2].definition, 0);
    EXPECT_TRUE(CourseMap::fromPanelText("no marker", {}).rows().empty());
}

} // namespace
} // namespace kn4::editor
