// The editing watch end to end: working copy, a stand-in editor that runs
// on it, copy back, and what happens when the copy back fails.
#include "core/editingwatch.h"
#include "core/launchcommand.h"
#include "managertestdir.h"

#include <gtest/gtest.h>

#include <kn4/atomicfile.h>

#include <cerrno>
#include <cstdlib>
#include <unistd.h>

namespace kn4::manager {
namespace {

namespace fs = std::filesystem;
using kn4::testing::readFile;
using kn4::testing::writeFile;
using testing::TemporaryProgramDirectory;
using End = EditingWatch::EndResult::Outcome;
using Begin = EditingWatch::BeginResult::Outcome;

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
    fs::path lock() const { return m_dir.archive() / "DAVANTI.KN4.lock"; }
    static fs::path record(const fs::path &workingCopy) { return workingCopy.string() + ".kn4edit"; }

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
    ASSERT_EQ(begun.outcome, Begin::Started) << begun.error;
    EXPECT_EQ(begun.workingCopy, m_dir.path() / "DAVANTI.KN4");
    m_watch.editorStarted(begun.id);
    EXPECT_TRUE(m_watch.isBeingEdited(panel()));
    EXPECT_TRUE(m_watch.isBeingEdited(m_dir.archive() / "davanti.kn4"));
    // Marked on disk for other managers, with a record beside the copy.
    EXPECT_NE(readFile(lock()).find("pid=" + std::to_string(::getpid())), std::string::npos);
    EXPECT_TRUE(fs::exists(record(begun.workingCopy)));
    runEditor("Kn4Edit2", begun.workingCopy);

    const auto ended = m_watch.editorEnded(begun.id);
    EXPECT_EQ(ended.outcome, End::CopiedBack) << ended.error;
    EXPECT_EQ(readFile(panel()), "SORGENTE.KN4\r\nnew\r\n");
    EXPECT_FALSE(fs::exists(begun.workingCopy));
    EXPECT_FALSE(fs::exists(record(begun.workingCopy)));
    EXPECT_FALSE(fs::exists(lock()));
    EXPECT_EQ(readFile(m_dir.path() / "ALTRO.KN4"), "not ours");
    m_watch.listsRefreshed(begun.id);
    EXPECT_TRUE(m_watch.edits().empty());
}

// Two managers on one program directory edit one panel: the second is told
// who edits it, breaks the lock after the warning, and when both editors
// have saved, both versions are there: the first over the panel, the second
// beside it. Nothing is overwritten.
TEST_F(EditingWatchTest, TwoManagersOnOnePanelKeepBothVersions)
{
    EditOwner other = EditOwner::thisProcess({});
    other.pid = long(::getppid()); // a process that runs: another manager
    other.user = "rossi";
    EditingWatch second(m_dir.path(), other);

    const auto first = m_watch.begin(panel());
    ASSERT_EQ(first.outcome, Begin::Started);
    EXPECT_TRUE(second.isBeingEdited(panel()));
    const auto refused = second.begin(panel());
    ASSERT_EQ(refused.outcome, Begin::EditedElsewhere);
    ASSERT_TRUE(refused.owner);
    EXPECT_EQ(refused.owner->pid, long(::getpid()));
    const auto broke = second.begin(panel(), refused.owner);
    ASSERT_EQ(broke.outcome, Begin::Started) << broke.error;
    EXPECT_EQ(broke.workingCopy, m_dir.path() / "DAVANTI_2.KN4");
    EXPECT_TRUE(m_watch.isBeingEdited(panel())); // its own edit, and the other's lock

    writeFile(first.workingCopy, "SORGENTE.KN4\r\nfirst\r\n");
    writeFile(broke.workingCopy, "SORGENTE.KN4\r\nsecond\r\n");
    EXPECT_EQ(m_watch.editorEnded(first.id).outcome, End::CopiedBack);
    const auto ended = second.editorEnded(broke.id);
    EXPECT_EQ(ended.outcome, End::KeptBeside);
    EXPECT_EQ(ended.keptAs, m_dir.archive() / "DAVANTI_modificato.KN4");
    EXPECT_EQ(readFile(panel()), "SORGENTE.KN4\r\nfirst\r\n");
    EXPECT_EQ(readFile(ended.keptAs), "SORGENTE.KN4\r\nsecond\r\n");
    EXPECT_FALSE(fs::exists(lock()));
}

// A panel replaced while it was edited (a duplicate or a copy onto it, a
// change made elsewhere) is never overwritten by the copy back.
TEST_F(EditingWatchTest, PanelChangedMeanwhileIsNeverOverwritten)
{
    writeFile(m_dir.archive() / "DAVANTI_modificato.KN4", "an earlier one");
    const auto begun = m_watch.begin(panel());
    writeFile(begun.workingCopy, "SORGENTE.KN4\r\nedited\r\n");
    writeFile(panel(), "SORGENTE.KN4\r\nreplaced\r\n");
    const auto ended = m_watch.editorEnded(begun.id);
    EXPECT_EQ(ended.outcome, End::KeptBeside);
    EXPECT_EQ(ended.keptAs, m_dir.archive() / "DAVANTI_modificato_2.KN4");
    EXPECT_EQ(readFile(panel()), "SORGENTE.KN4\r\nreplaced\r\n");
    EXPECT_EQ(readFile(ended.keptAs), "SORGENTE.KN4\r\nedited\r\n");
    EXPECT_EQ(readFile(m_dir.archive() / "DAVANTI_modificato.KN4"), "an earlier one");
}

// The lock of a manager of this computer that has ended is taken over; a
// lock of another computer stands until the user breaks it.
TEST_F(EditingWatchTest, StaleLockIsTakenOverOthersStand)
{
    EditOwner dead = EditOwner::thisProcess(m_dir.path() / "DAVANTI.KN4");
    dead.pid = 2147483000; // no process runs under this number
    writeFile(lock(), dead.text());
    EXPECT_FALSE(m_watch.isBeingEdited(panel()));
    const auto begun = m_watch.begin(panel());
    ASSERT_EQ(begun.outcome, Begin::Started) << begun.error;
    EXPECT_EQ(EditOwner::parse(readFile(lock()))->pid, long(::getpid()));
    m_watch.editorFailedToStart(begun.id);

    EditOwner elsewhere = dead;
    elsewhere.host = "magazzino";
    writeFile(lock(), elsewhere.text());
    EXPECT_TRUE(m_watch.isBeingEdited(panel()));
    const auto refused = m_watch.begin(panel());
    EXPECT_EQ(refused.outcome, Begin::EditedElsewhere);
    EXPECT_EQ(refused.owner, elsewhere);
    EXPECT_EQ(m_watch.begin(panel(), refused.owner).outcome, Begin::Started);
}

// A manager killed during an edit leaves its working copy and its record:
// the next start offers it; brought back, it goes through the same compare.
TEST_F(EditingWatchTest, LeftoverWorkingCopiesAreOfferedAtStartUp)
{
    EditOwner dead = EditOwner::thisProcess({});
    dead.pid = 2147483000;
    writeFile(m_dir.archive() / "DIETRO.KN4", "SORGENTE.KN4\r\nback\r\n");
    {
        EditingWatch killed(m_dir.path(), dead);
        writeFile(killed.begin(panel()).workingCopy, "SORGENTE.KN4\r\nsaved before the crash\r\n");
        writeFile(killed.begin(m_dir.archive() / "DIETRO.KN4").workingCopy, "SORGENTE.KN4\r\nback, edited\r\n");
    }
    // A running manager's edit is no orphan.
    EditOwner running = dead;
    running.pid = long(::getppid());
    writeFile(m_dir.archive() / "MANICA.KN4", "SORGENTE.KN4\r\nsleeve\r\n");
    ASSERT_EQ(EditingWatch(m_dir.path(), running).begin(m_dir.archive() / "MANICA.KN4").outcome, Begin::Started);
    writeFile(panel(), "SORGENTE.KN4\r\nchanged since\r\n");

    EditingWatch restarted(m_dir.path());
    const auto orphans = restarted.orphans();
    ASSERT_EQ(orphans.size(), 2u);
    EXPECT_EQ(orphans[0].workingCopy, m_dir.path() / "DAVANTI.KN4");
    EXPECT_EQ(orphans[0].panel, panel());
    const auto kept = restarted.bringBack(orphans[0]);
    EXPECT_EQ(kept.outcome, End::KeptBeside);
    EXPECT_EQ(readFile(panel()), "SORGENTE.KN4\r\nchanged since\r\n");
    EXPECT_EQ(readFile(kept.keptAs), "SORGENTE.KN4\r\nsaved before the crash\r\n");
    ASSERT_TRUE(restarted.discard(orphans[1]));
    EXPECT_EQ(readFile(m_dir.archive() / "DIETRO.KN4"), "SORGENTE.KN4\r\nback\r\n");
    EXPECT_TRUE(restarted.orphans().empty());
    EXPECT_FALSE(fs::exists(m_dir.path() / "DAVANTI.KN4"));
    EXPECT_FALSE(fs::exists(record(m_dir.path() / "DAVANTI.KN4")));
}

// A working copy deleted by hand: nothing comes back, and the result says
// so (never that the changes are in a file that is gone).
TEST_F(EditingWatchTest, WorkingCopyDeletedByHandIsReportedAsGone)
{
    const auto begun = m_watch.begin(panel());
    fs::remove(begun.workingCopy);
    const auto ended = m_watch.editorEnded(begun.id);
    EXPECT_EQ(ended.outcome, End::WorkingCopyMissing);
    EXPECT_EQ(readFile(panel()), "SORGENTE.KN4\r\nold\r\n");
    EXPECT_FALSE(fs::exists(lock()));
    EXPECT_TRUE(m_watch.orphans().empty());
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
    EXPECT_EQ(m_watch.begin(m_dir.archive() / "." / "DAVANTI.KN4").outcome, Begin::AlreadyEditing);

    // The same name in another archive: its own working copy.
    fs::create_directories(m_dir.archive("ALTRO"));
    writeFile(m_dir.archive("ALTRO") / "DAVANTI.KN4", "second");
    const auto second = m_watch.begin(m_dir.archive("ALTRO") / "DAVANTI.KN4");
    ASSERT_EQ(second.outcome, Begin::Started);
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
    // The copy and its record stay for the next start.
    EXPECT_TRUE(fs::exists(record(begun.workingCopy)));
}

TEST_F(EditingWatchTest, EditorThatCannotStartRemovesTheWorkingCopy)
{
    const auto begun = m_watch.begin(panel());
    m_watch.editorFailedToStart(begun.id);
    EXPECT_FALSE(fs::exists(begun.workingCopy));
    EXPECT_FALSE(fs::exists(record(begun.workingCopy)));
    EXPECT_FALSE(fs::exists(lock()));
    EXPECT_FALSE(m_watch.isBeingEdited(panel()));
}

} // namespace
} // namespace kn4::manager
