#include "kn4/atomicfile.h"

#include "kn4/filereader.h"
#include "kn4/testfiles.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using kn4::AtomicFileWriter;
using kn4::testing::readFile;
using kn4::testing::writeFile;

namespace {

class AtomicFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("kn4atomic" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
        m_target = m_dir / "DAVANTI.KN4";
        writeFile(m_target, "old content");
    }
    void TearDown() override
    {
        AtomicFileWriter::setWriteFunctionForTesting(nullptr);
        AtomicFileWriter::setSyncFunctionForTesting(nullptr);
        fs::remove_all(m_dir);
    }
    // Every file of the folder but the target: left-over temporary files.
    std::vector<std::string> others() const
    {
        std::vector<std::string> names;
        for (const auto &entry : fs::directory_iterator(m_dir))
            if (entry.path() != m_target)
                names.push_back(entry.path().filename().string());
        return names;
    }
    fs::path m_dir;
    fs::path m_target;
};

// A full disk: the first write is cut short, the next returns 0 without errno.
ssize_t shortThenNothing(int, const void *, std::size_t size)
{
    static int calls = 0;
    return ++calls == 1 ? ssize_t(size / 2) : 0;
}

ssize_t failingWrite(int, const void *, std::size_t)
{
    errno = EIO;
    return -1;
}

TEST_F(AtomicFile, ReplacesTheTargetWhole)
{
    std::string error;
    ASSERT_TRUE(kn4::writeFileAtomically(m_target, "new content\r\n", &error)) << error;
    EXPECT_EQ(readFile(m_target), "new content\r\n");
    EXPECT_TRUE(others().empty());
}

TEST_F(AtomicFile, AFullDiskKeepsTheOldContent)
{
    AtomicFileWriter::setWriteFunctionForTesting(shortThenNothing);
    std::string error;
    EXPECT_FALSE(kn4::writeFileAtomically(m_target, std::string(1000, 'n'), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readFile(m_target), "old content");
    EXPECT_TRUE(others().empty());
}

TEST_F(AtomicFile, AWriteErrorKeepsTheOldContent)
{
    AtomicFileWriter::setWriteFunctionForTesting(failingWrite);
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.open(m_target.c_str()));
    EXPECT_FALSE(writer.write("abc", 3));
    EXPECT_FALSE(writer.write("def", 3)); // stays failed
    EXPECT_FALSE(writer.commit());
    EXPECT_EQ(writer.failure(), AtomicFileWriter::Failure::Write);
    EXPECT_EQ(writer.errorNumber(), EIO);
    EXPECT_EQ(readFile(m_target), "old content");
    EXPECT_TRUE(others().empty());
}

// Written whole but not on disk: a crash could still lose the new content,
// so the target is not replaced.
TEST_F(AtomicFile, AFailedFlushToDiskKeepsTheOldContent)
{
    AtomicFileWriter::setSyncFunctionForTesting([](int) {
        errno = EIO;
        return -1;
    });
    std::string error;
    EXPECT_FALSE(kn4::writeFileAtomically(m_target, "new content", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readFile(m_target), "old content");
    EXPECT_TRUE(others().empty());
}

TEST_F(AtomicFile, AMissingFolderIsAFailureToCreate)
{
    AtomicFileWriter writer;
    EXPECT_FALSE(writer.open((m_dir / "missing" / "X.KN4").c_str()));
    EXPECT_EQ(writer.failure(), AtomicFileWriter::Failure::Create);
    EXPECT_EQ(writer.errorNumber(), ENOENT);
    EXPECT_FALSE(writer.commit());
}

TEST_F(AtomicFile, AbandonLeavesNoTrace)
{
    {
        AtomicFileWriter writer;
        ASSERT_TRUE(writer.open(m_target.c_str()));
        ASSERT_TRUE(writer.write("half", 4));
        EXPECT_EQ(fs::path(writer.tempPath()).parent_path(), m_dir);
    } // destroyed without commit
    EXPECT_TRUE(others().empty());
    EXPECT_EQ(readFile(m_target), "old content");
}

// A link planted where the temporary file used to be made is never
// followed, and two writers of one file never share a temporary file.
TEST_F(AtomicFile, TemporaryFilesAreOwnAndNeverFollowALink)
{
    const fs::path outside = m_dir / "outside";
    fs::create_directories(outside);
    writeFile(outside / "victim", "victim");
    fs::create_symlink(outside / "victim", m_dir / "DAVANTI.KN4.kn4tmp");

    AtomicFileWriter first;
    AtomicFileWriter second;
    ASSERT_TRUE(first.open(m_target.c_str()));
    ASSERT_TRUE(second.open(m_target.c_str()));
    EXPECT_STRNE(first.tempPath(), second.tempPath());
    struct stat st;
    ASSERT_EQ(::lstat(first.tempPath(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    ASSERT_TRUE(first.write("first", 5));
    ASSERT_TRUE(second.write("second", 6));
    ASSERT_TRUE(first.commit());
    ASSERT_TRUE(second.commit());
    EXPECT_EQ(readFile(m_target), "second");
    EXPECT_EQ(readFile(outside / "victim"), "victim");
    fs::remove(m_dir / "DAVANTI.KN4.kn4tmp");
    fs::remove_all(outside);
    EXPECT_TRUE(others().empty());
}

TEST_F(AtomicFile, TheNewFileKeepsTheOldMode)
{
    fs::permissions(m_target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(kn4::writeFileAtomically(m_target, "new"));
    EXPECT_EQ(fs::status(m_target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    const mode_t mask = ::umask(022);
    ASSERT_TRUE(kn4::writeFileAtomically(m_dir / "NEW.KN4", "new"));
    ::umask(mask);
    EXPECT_EQ(fs::status(m_dir / "NEW.KN4").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
}

// A file someone changed or replaced since it was read keeps their content.
TEST_F(AtomicFile, AnExpectedIdentityRefusesAChangedFile)
{
    const struct
    {
        const char *name;
        void (*change)(const fs::path &);
        bool replaced;
    } cases[] = {
        {"unchanged", [](const fs::path &) {}, true},
        {"replaced by a rename", [](const fs::path &p) { ASSERT_TRUE(kn4::writeFileAtomically(p, "theirs")); }, false},
        {"written in place", [](const fs::path &p) { writeFile(p, "theirs, longer"); }, false},
        {"deleted", [](const fs::path &p) { fs::remove(p); }, false},
    };
    for (const auto &c : cases) {
        writeFile(m_target, "old content");
        const kn4::FileContent read = kn4::FileReader::read(m_target, 1000);
        c.change(m_target);
        const std::string before = fs::exists(m_target) ? readFile(m_target) : "";
        std::string error;
        EXPECT_EQ(kn4::writeFileAtomically(m_target, "mine", read.identity, &error), c.replaced) << c.name;
        if (c.replaced) {
            EXPECT_EQ(readFile(m_target), "mine") << c.name;
        } else {
            EXPECT_EQ(fs::exists(m_target) ? readFile(m_target) : "", before) << c.name;
            EXPECT_NE(error.find("changed since it was read"), std::string::npos) << error;
        }
        EXPECT_TRUE(others().empty()) << c.name;
    }
    // A new file: nobody may have made it meanwhile.
    const fs::path fresh = m_dir / "NEW.KN4";
    const kn4::FileIdentity none = kn4::FileReader::read(fresh, 1000).identity;
    writeFile(fresh, "theirs");
    EXPECT_FALSE(kn4::writeFileAtomically(fresh, "mine", none));
    EXPECT_EQ(readFile(fresh), "theirs");
}

TEST_F(AtomicFile, ResolvesTheLinksOfTheLastComponent)
{
    fs::create_directories(m_dir / "archivio");
    fs::create_symlink("archivio/DAVANTI.KN4", m_dir / "link1");
    fs::create_symlink(m_dir / "link1", m_dir / "link2");
    fs::create_symlink("loop", m_dir / "loop");
    char out[AtomicFileWriter::kMaxPath];
    ASSERT_TRUE(kn4::resolveFinalLink((m_dir / "link2").c_str(), out, sizeof out));
    EXPECT_EQ(fs::path(out), m_dir / "archivio/DAVANTI.KN4");
    ASSERT_TRUE(kn4::resolveFinalLink(m_target.c_str(), out, sizeof out));
    EXPECT_EQ(fs::path(out), m_target);
    EXPECT_FALSE(kn4::resolveFinalLink((m_dir / "loop").c_str(), out, sizeof out));
    EXPECT_FALSE(kn4::resolveFinalLink(m_target.c_str(), out, 4));
}

} // namespace
