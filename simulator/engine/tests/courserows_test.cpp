// Course to row: the simulator's answer (the course map of the compiled
// panel's source part) and the editor's (the map of the rows it opened)
// name the same row for every course the engine knits of the samples; the
// set-up course and a course past the piece have none.
#include "simulator/courserows.h"
#include "simulator/knitengine.h"
#include "simulator/panelhead.h"

#include "document/coursemap.h"
#include "document/editorstartup.h"
#include "document/librarybinding.h"
#include "document/palettecodec.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kn4 {
namespace {

namespace fs = std::filesystem;

const fs::path kDemo = fs::path(KN4_PROGRAM_DIR) / "archivi" / "DEMO";
const fs::path kItalian = fs::path(KN4_PROGRAM_DIR) / "italiano";

TEST(CourseRows, SimulatorAndEditorNameTheSameRowForEveryCourse)
{
    editor::LibraryBinding library;
    ASSERT_TRUE(library.load(KN4_PROGRAM_DIR)) << library.errorMessage();
    for (const char *name : {"DAVANTI.KN4", "RIGHE.KN4"}) {
        SCOPED_TRACE(name);
        const CourseRows rows = CourseRows::load(kDemo / name, kItalian);

        editor::EditorStartup::Input input;
        input.arguments = (kDemo / name).string() + "," + kItalian.string() + "/";
        const editor::StartupResult startup =
            editor::EditorStartup::run(input, &library, {}, editor::paletteColourCodec());
        ASSERT_TRUE(startup.panelFromFile);
        const editor::CourseMap editorMap = editor::CourseMap::fromRowTexts(startup.panel.rows);

        const PanelHead head = PanelHead::load(kDemo / name);
        ASSERT_TRUE(head.ok());
        KnitEngine engine;
        engine.setHead(head);
        engine.maglia();
        const std::int64_t last = engine.state().course - 1;
        ASSERT_EQ(rows.last(), last);

        EXPECT_EQ(rows.rowOfCourse(1), nullptr);
        EXPECT_EQ(rows.rowOfCourse(last + 1), nullptr);
        for (std::int64_t course = rows.first(); course <= last; ++course) {
            const CourseRows::Row *row = rows.rowOfCourse(course);
            ASSERT_NE(row, nullptr) << "course " << course;
            const int editorRow = editorMap.rowAtStep(int(course) - editor::CourseMap::kFirstCourse);
            ASSERT_GE(editorRow, 0) << "course " << course;
            EXPECT_EQ(row->line, editor::CourseMap::kFirstRowLine + editorRow) << "course " << course;
            EXPECT_EQ(row->text, editorMap.rows()[std::size_t(editorRow)].text) << "course " << course;
            // The command as the editor's row list names it: its alias.
            std::string shown = editorMap.rows()[std::size_t(editorRow)].text;
            const std::string word = shown.substr(0, shown.find(' '));
            for (const editor::CommandEntry &entry : startup.commands->entries())
                if (!entry.alias.empty() && entry.displayName == word) {
                    shown = entry.alias + shown.substr(word.size());
                    break;
                }
            EXPECT_EQ(row->shown, shown) << "course " << course;
        }
    }
}

TEST(CourseRows, DescribesARowInTheLanguagesWordAndKnowsDefinitionsWithoutAKeywordFile)
{
    const std::string panel = "SORGENTE.KN4\r\n"
                              "tipo\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"
                              "; --- Inizio programma ;FFFFFFFF\r\n"
                              "definizione PROFILO ESTERNO\r\n"
                              "liscio         , 3   , 1   ;\r\n"
                              "calato        2, 1   , 4   ;\r\n"
                              "definizione RIGATURA\r\n"
                              "rigato        2, 4   ,-1   ;\r\n";
    const CourseRows rows = CourseRows::fromText(panel, {});
    EXPECT_EQ(rows.last(), CourseRows().first() + 3 + 4 - 1);
    EXPECT_EQ(rows.describe(2, "riga"), "riga 13: LISCIO 3 1");
    EXPECT_EQ(rows.describe(5, "row"), "row 14: CALATO 2 1 4");
    EXPECT_EQ(rows.describe(1, "riga"), "");
    EXPECT_EQ(CourseRows::load(kDemo / "NESSUNO.KN4", kItalian).rowOfCourse(2), nullptr);
    // With a keyword file, the command goes by its alias as in the editor;
    // the first line naming a command decides, with or without an alias.
    const CourseRows english = CourseRows::fromText(panel, "DEFINIZIONE ; start\r\n"
                                                           "CALATO ; decrease ; ALIAS: decrease\r\n"
                                                           "LISCIO ; plain\r\n"
                                                           " calato ; ALIAS: lower\r\n"
                                                           "liscio ; ALIAS: plain\r\n");
    EXPECT_EQ(english.describe(5, "row"), "row 14: decrease 2 1 4");
    EXPECT_EQ(english.describe(2, "row"), "row 13: LISCIO 3 1");
}

} // namespace
} // namespace kn4
