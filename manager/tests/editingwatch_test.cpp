// The editing watch end to end: working copy, a stand-in editor that runs
// on it, copy back, and what happens when the copy back fails.
#include "core/editingwatch.h"
#include "core/launchcommand.h"
#include "managertestdir.h"

#include <gtest/gtest.h>

#include <kn4/atomicfile.h>

#include <cerrno>
#include <cstdlib>

namespace kn4::manager {
namespace {

namespace fs = std::filesystem;
using kn4::testing::readFile;
using kn4::testing::writeFile;
using testing::TemporaryProgramDirectory;
using End = EditingWatch::EndResult::Outcome;

class EditingWatchTest : public ::testing::Test
{
protected:
    EditingWatchTest() : m_watch(m_dir.path())
    {
        writeFile(panel(), "SORGENTE.KN4\r\nold\r\n");
        // A panel of the same name left in the program directory by someone
        // else: no edit may touch it.
        writeFile(m_dir.path() / "ALTRO.KN4", "not ours");
        m_dir.writeScript("Kn4Edit2", "panel=${1%%,*}\nprintf 'SORGENTE.KN4\\r\\nnew\\r\\n' > \"$panel\"\n");
        m_dir.writeScript("Unchanged", "exit 0\n");
    }

    fs::path panel() const { return m_dir.archive() / "DAVANTI.KN4"; }

    // Runs a stand-in editor the way the manager does: in the program
    // directory, with the one-argument command line.
    void runEditor(const std::string &program, const fs::path &workingCopy)
    {
        ManagerSettings settings;
        const std::string command = "cd '" + m_dir.path().string() + "' && ./" + program + " '" +
                                    launchArgument(Program::Editor, workingCopy, m_dir.path(), settings) + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    TemporaryProgramDirectory m_dir{"watch"};
    EditingWatch m_watch;
};

TEST_F(EditingWatchTest, ChangedWorkingCopyComesBackAndOnlyItIsDeleted)
{
    const auto begun = m_watch.begin(panel());
    ASSERT_EQ(begun.outcome, EditingWatch::BeginResult::Outcome::Started) << begun.error;
    EXPECT_EQ(begun.workingCopy, m_dir.path() / "DAVANTI.KN4");
    m_watch.editorStarted(begun.id);
    EXPECT_TRUE(m_watch.isBeingEdited(panel()));
    runEditor("Kn4Edit2", begun.workingCopy);

    const auto ended = m_watch.editorEnded(begun.id);
    EXPECT_EQ(ended.outcome, End::CopiedBack) << ended.error;
    EXPECT_EQ(readFile(panel()), "SORGENTE.KN4\r\nnew\r\n");
    EXPECT_FALSE(fs::exists(begun.workingCopy));
    EXPECT_EQ(readFile(m_dir.path() / "ALTRO.KN4"), "not ours");
    m_watch.listsRefreshed(begun.id);
    EXPECT_TRUE(m_watch.edits().empty());
}

TEST_F(EditingWatchTest, UnchangedWorkingCopyLeavesThePanelAlone)
{
    const auto begun = m_watch.begin(panel());
    m_watch.editorStarted(begun.id);
    const auto before = fs::last_write_time(panel());
    runEditor("Unchanged", begun.workingCopy);
    EXPECT_EQ(m_watch.editorEnded(begun.id).outcome, End::Unchanged);
    EXPECT_EQ(fs::last_write_time(panel()), before);
    EXPECT_FALSE(fs::exists(begun.workingCopy));
}

TEST_F(EditingWatchTest, SecondEditOfOnePanelIsRefusedOthersGetTheirOwnCopy)
{
    const auto first = m_watch.begin(panel());
    m_watch.editorStarted(first.id);
    EXPECT_EQ(m_watch.begin(m_dir.archive() / "." / "DAVANTI.KN4").outcome,
              EditingWatch::BeginResult::Outcome::AlreadyEditing);

    // The same name in another archive: its own working copy.
    fs::create_directories(m_dir.archive("ALTRO"));
    writeFile(m_dir.archive("ALTRO") / "DAVANTI.KN4", "second");
    const auto second = m_watch.begin(m_dir.archive("ALTRO") / "DAVANTI.KN4");
    ASSERT_EQ(second.outcome, EditingWatch::BeginResult::Outcome::Started);
    EXPECT_EQ(second.workingCopy, m_dir.path() / "DAVANTI_2.KN4");
    m_watch.editorStarted(second.id);

    runEditor("Kn4Edit2", first.workingCopy);
    EXPECT_EQ(m_watch.editorEnded(first.id).outcome, End::CopiedBack);
    EXPECT_EQ(readFile(second.workingCopy), "second");
    EXPECT_TRUE(m_watch.hasRunningEdits());
}

TEST_F(EditingWatchTest, FailedCopyBackKeepsWorkingCopyAndPanel)
{
    const auto begun = m_watch.begin(panel());
    m_watch.editorStarted(begun.id);
    runEditor("Kn4Edit2", begun.workingCopy);
    // The archive's disk is full: no byte can be written.
    AtomicFileWriter::setWriteFunctionForTesting([](int, const void *, std::size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    });
    const auto ended = m_watch.editorEnded(begun.id);
    AtomicFileWriter::setWriteFunctionForTesting(nullptr);

    EXPECT_EQ(ended.outcome, End::Failed);
    EXPECT_EQ(ended.workingCopy, begun.workingCopy);
    EXPECT_FALSE(ended.error.empty());
    EXPECT_EQ(readFile(panel()), "SORGENTE.KN4\r\nold\r\n");
    EXPECT_EQ(readFile(begun.workingCopy), "SORGENTE.KN4\r\nnew\r\n");
    m_watch.listsRefreshed(begun.id);
    EXPECT_FALSE(m_watch.isBeingEdited(panel()));
}

TEST_F(EditingWatchTest, EditorThatCannotStartRemovesTheWorkingCopy)
{
    const auto begun = m_watch.begin(panel());
    m_watch.editorFailedToStart(begun.id);
    EXPECT_FALSE(fs::exists(begun.workingCopy));
    EXPECT_FALSE(m_watch.isBeingEdited(panel()));
}

} // namespace
} // namespace kn4::manager
