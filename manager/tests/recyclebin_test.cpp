// Deleted panels and folders go to the recycle folder and come back byte
// for byte; the delete question names the panels in each language.
#include "core/managertexts.h"
#include "core/recyclebin.h"
#include "managertestdir.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace kn4::manager {
namespace {

namespace fs = std::filesystem;
using kn4::testing::readFile;
using kn4::testing::writeFile;
using testing::TemporaryProgramDirectory;

TEST(RecycleBin, DeletedPanelIsHiddenAndRestoredByteForByte)
{
    TemporaryProgramDirectory dir("bin");
    const fs::path panel = dir.archive() / "DAVANTI.KN4";
    const std::string bytes = std::string("SORGENTE.KN4\r\n\x1a\x80\xff", 17) + "\r\n";
    writeFile(panel, bytes);
    std::string error;
    ASSERT_TRUE(deletePanel(panel, error)) << error;
    EXPECT_FALSE(fs::exists(panel));
    EXPECT_TRUE(listPanels(dir.archive()).empty());
    ASSERT_TRUE(deletePanel(dir.archive() / "DAVANTI.KN4", error) == false);

    auto items = RecycleBin::items(dir.archive());
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].name, "DAVANTI");
    EXPECT_FALSE(items[0].folder);
    EXPECT_EQ(items[0].deleted.size(), 16u);  // dd/mm/yyyy hh:mm
    EXPECT_EQ(RecycleBin::restore(items[0], {}).outcome, RecycleBin::Outcome::Restored);
    EXPECT_EQ(readFile(panel), bytes);
    EXPECT_TRUE(RecycleBin::items(dir.archive()).empty());

    // A panel of that name made meanwhile is replaced only after Yes, and
    // goes to the bin in its turn.
    ASSERT_TRUE(deletePanel(panel, error));
    writeFile(dir.archive() / "davanti.kn4", "new");
    items = RecycleBin::items(dir.archive());
    std::string asked;
    EXPECT_EQ(RecycleBin::restore(items[0], [&](const std::string &name) { asked = name; return false; }).outcome,
              RecycleBin::Outcome::Kept);
    EXPECT_EQ(asked, "DAVANTI");
    EXPECT_EQ(readFile(dir.archive() / "davanti.kn4"), "new");
    EXPECT_EQ(RecycleBin::restore(items[0], [](const std::string &) { return true; }).outcome,
              RecycleBin::Outcome::Restored);
    EXPECT_EQ(readFile(dir.archive() / "davanti.kn4"), bytes);
    ASSERT_EQ(RecycleBin::items(dir.archive()).size(), 1u);

    ASSERT_TRUE(RecycleBin::empty(dir.archive(), error)) << error;
    EXPECT_FALSE(fs::exists(RecycleBin::of(dir.archive())));
}

TEST(RecycleBin, DeletedArchiveComesBackWholeButIsNeverMerged)
{
    TemporaryProgramDirectory dir("binfolder");
    writeFile(dir.archive() / "DIETRO.KN4", "dietro");
    FolderStore archives(dir.path() / "archivi");
    ASSERT_TRUE(archives.remove("DEMO").done());
    EXPECT_TRUE(archives.folders().empty());  // the recycle folder is no archive
    auto items = RecycleBin::items(archives.root());
    ASSERT_EQ(items.size(), 1u);
    EXPECT_TRUE(items[0].folder);
    ASSERT_TRUE(archives.create("demo").done());
    EXPECT_EQ(RecycleBin::restore(items[0], {}).outcome, RecycleBin::Outcome::Exists);
    ASSERT_TRUE(archives.remove("DEMO").done());  // the empty one
    items = RecycleBin::items(archives.root());
    ASSERT_EQ(items.size(), 2u);
    // The latest deletion first: the empty archive; the older one holds the panel.
    const auto full = std::find_if(items.begin(), items.end(),
                                   [](const RecycleBin::Item &i) { return fs::exists(i.path / "DIETRO.KN4"); });
    ASSERT_NE(full, items.end());
    EXPECT_EQ(RecycleBin::restore(*full, {}).outcome, RecycleBin::Outcome::Restored);
    EXPECT_EQ(readFile(dir.archive() / "DIETRO.KN4"), "dietro");
}

// The delete question in the three languages: one panel, two, three, and
// "and N more" for five.
TEST(DeleteQuestion, NamesThePanelsWithTheRightNumberInEachLanguage)
{
    ManagerTexts texts;
    ASSERT_TRUE(texts.load(fs::path(KN4_SOURCE_DIR) / "data/root/lingua.ini"));
    const std::vector<std::string> five = {"DAVANTI", "DIETRO", "MANICA", "GONNA", "POLSO"};
    const struct
    {
        Language language;
        std::size_t count;
        const char *question;
    } cases[] = {
        {Language::Italian, 1, "Eliminare il pannello DAVANTI da DEMO?"},
        {Language::Italian, 2, "Eliminare DAVANTI e DIETRO da DEMO?"},
        {Language::Italian, 3, "Eliminare DAVANTI, DIETRO e MANICA da DEMO?"},
        {Language::Italian, 5, "Eliminare DAVANTI, DIETRO e altri 3 da DEMO?"},
        {Language::English, 1, "Delete the panel DAVANTI from DEMO?"},
        {Language::English, 2, "Delete DAVANTI and DIETRO from DEMO?"},
        {Language::English, 5, "Delete DAVANTI, DIETRO and 3 more from DEMO?"},
        {Language::Spanish, 1, "\xBF" "Eliminar el panel DAVANTI de DEMO?"},
        {Language::Spanish, 2, "\xBF" "Eliminar DAVANTI y DIETRO de DEMO?"},
        {Language::Spanish, 5, "\xBF" "Eliminar DAVANTI, DIETRO y otros 3 de DEMO?"},
    };
    for (const auto &c : cases) {
        const std::vector<std::string> names(five.begin(), five.begin() + long(c.count));
        EXPECT_EQ(deleteQuestion(names, "DEMO", texts, c.language), c.question) << c.count;
    }
    EXPECT_EQ(fillIn("%1 e %2", {"%2", "B"}), "%2 e B");
}

} // namespace
} // namespace kn4::manager
