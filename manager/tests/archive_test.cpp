// Archives and local disks (folders), and the panel operations between them.
#include "core/panelfiles.h"
#include "managertestdir.h"

#include <kn4/atomicfile.h>

#include <cerrno>

#include <gtest/gtest.h>

namespace kn4::manager {
namespace {

namespace fs = std::filesystem;
using kn4::testing::readFile;
using kn4::testing::writeFile;
using testing::TemporaryProgramDirectory;
using Outcome = FolderStore::Outcome;

std::vector<std::string> names(const std::vector<FolderEntry> &folders)
{
    std::vector<std::string> result;
    for (const FolderEntry &f : folders)
        result.push_back(f.name);
    return result;
}

TEST(FolderStore, ArchivesAreCreatedRenamedAndDeletedByUpperCaseName)
{
    TemporaryProgramDirectory dir("folders");
    const FolderStore archives(dir.path() / "archivi");
    writeFile(dir.archive() / "A.KN4", "x");

    EXPECT_EQ(archives.create(" maglie ").outcome, Outcome::Done);
    EXPECT_TRUE(fs::is_directory(dir.archive("MAGLIE")));
    EXPECT_EQ(archives.create("Maglie").outcome, Outcome::Exists);
    EXPECT_EQ(archives.rename("MAGLIE", "demo").outcome, Outcome::Exists);
    EXPECT_EQ(archives.rename("MAGLIE", "inverno").outcome, Outcome::Done);
    EXPECT_EQ(names(archives.folders()), (std::vector<std::string>{"DEMO", "INVERNO"}));

    EXPECT_EQ(archives.remove("DEMO").outcome, Outcome::Done);
    EXPECT_FALSE(fs::exists(dir.archive()));
    EXPECT_EQ(names(archives.folders()), (std::vector<std::string>{"INVERNO"}));
    EXPECT_EQ(archives.remove("DEMO").outcome, Outcome::Missing);
}

TEST(FolderStore, NamesThatAreNotOneFolderAreRefused)
{
    TemporaryProgramDirectory dir("names");
    const FolderStore archives(dir.path() / "archivi");
    // A comma would split the programs' one argument in the wrong place.
    for (const char *typed : {"", "  ", "..", "../FUORI", "A/B", "C:", "A*B", "X\tY", "ROSSI, MARIO"})
        EXPECT_EQ(archives.create(typed).outcome, Outcome::InvalidName) << typed;
    EXPECT_FALSE(fs::exists(dir.path() / "FUORI"));
    EXPECT_EQ(archives.rename("DEMO", "../X").outcome, Outcome::InvalidName);
    EXPECT_TRUE(fs::is_directory(dir.archive()));
}

TEST(FolderStore, DiskNamesAreCutToEightCharacters)
{
    TemporaryProgramDirectory dir("disks");
    const FolderStore disks(dir.path() / "dischi", 8);
    const auto created = disks.create("primavera2027");
    EXPECT_EQ(created.outcome, Outcome::Done);
    EXPECT_EQ(created.name, "PRIMAVER");
    EXPECT_TRUE(fs::is_directory(dir.path() / "dischi" / "PRIMAVER"));
}

TEST(PanelFiles, ListsShowKn4FilesOfAnyCaseByUpperCaseName)
{
    TemporaryProgramDirectory dir("list");
    for (const char *file : {"dietro.kn4", "DAVANTI.KN4", "Manica.Kn4", "NOTE.TXT", "X.KN4.kn4tmp"})
        writeFile(dir.archive() / file, "x");
    std::vector<std::string> listed;
    for (const PanelEntry &p : listPanels(dir.archive()))
        listed.push_back(p.name);
    EXPECT_EQ(listed, (std::vector<std::string>{"DAVANTI", "DIETRO", "MANICA"}));
    EXPECT_TRUE(listPanels(dir.path() / "nowhere").empty());
}

TEST(PanelFiles, ReplaceQuestionDecidesAndKeepsTheTargetsName)
{
    TemporaryProgramDirectory dir("replace");
    writeFile(dir.archive() / "DAVANTI.KN4", "new");
    writeFile(dir.path() / "dischi" / "davanti.kn4", "old");
    std::vector<std::string> asked;
    for (const bool answer : {false, true}) {
        const CopyResult result = copyPanel(dir.archive() / "DAVANTI.KN4", dir.path() / "dischi",
                                            [&](const std::string &name) {
                                                asked.push_back(name);
                                                return answer;
                                            });
        EXPECT_EQ(result.copied(), answer);
        EXPECT_EQ(readFile(dir.path() / "dischi" / "davanti.kn4"), answer ? "new" : "old");
    }
    EXPECT_EQ(asked, (std::vector<std::string>{"DAVANTI", "DAVANTI"}));
    EXPECT_EQ(listPanels(dir.path() / "dischi").size(), 1u);

    // A panel that is not there yet is copied without a question.
    writeFile(dir.archive() / "MANICA.KN4", "m");
    EXPECT_TRUE(copyPanel(dir.archive() / "MANICA.KN4", dir.path() / "dischi", nullptr).copied());
    EXPECT_EQ(readFile(dir.path() / "dischi" / "MANICA.KN4"), "m");
}

TEST(PanelFiles, FailedReplaceKeepsTheOldPanel)
{
    TemporaryProgramDirectory dir("failedcopy");
    writeFile(dir.path() / "dischi" / "DAVANTI.KN4", "old");
    // The source cannot be read: nothing at the target may change.
    const CopyResult result = copyPanel(dir.archive() / "DAVANTI.KN4", dir.path() / "dischi",
                                        [](const std::string &) { return true; });
    EXPECT_EQ(result.outcome, CopyResult::Outcome::Failed);
    EXPECT_FALSE(result.error.empty());
    EXPECT_EQ(readFile(dir.path() / "dischi" / "DAVANTI.KN4"), "old");

    // A disk that takes no more bytes leaves the old panel and no other file.
    writeFile(dir.archive() / "DAVANTI.KN4", "new");
    AtomicFileWriter::setWriteFunctionForTesting([](int, const void *, std::size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    });
    const CopyResult full = copyPanel(dir.archive() / "DAVANTI.KN4", dir.path() / "dischi",
                                      [](const std::string &) { return true; });
    AtomicFileWriter::setWriteFunctionForTesting(nullptr);
    EXPECT_EQ(full.outcome, CopyResult::Outcome::Failed);
    EXPECT_EQ(readFile(dir.path() / "dischi" / "DAVANTI.KN4"), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "dischi"), fs::directory_iterator()), 1);
}

TEST(PanelFiles, DuplicateCopiesBesideUnderTheNewName)
{
    TemporaryProgramDirectory dir("duplicate");
    writeFile(dir.archive() / "DAVANTI.KN4", "panel");
    const CopyResult copy = duplicatePanel(dir.archive() / "DAVANTI.KN4", "DAVANTI2", nullptr);
    ASSERT_TRUE(copy.copied()) << copy.error;
    EXPECT_EQ(copy.target, dir.archive() / "DAVANTI2.KN4");
    EXPECT_EQ(readFile(copy.target), "panel");
    EXPECT_FALSE(duplicatePanel(dir.archive() / "DAVANTI.KN4", "../X", nullptr).copied());
    EXPECT_FALSE(duplicatePanel(dir.archive() / "DAVANTI.KN4", "DAVANTI, BIS", nullptr).copied());
    // Onto itself: nothing happens, nothing is asked.
    EXPECT_EQ(duplicatePanel(dir.archive() / "DAVANTI.KN4", "DAVANTI",
                             [](const std::string &) -> bool { ADD_FAILURE(); return true; }).outcome,
              CopyResult::Outcome::Kept);
}

} // namespace
} // namespace kn4::manager
