#include "kn4/atomicfile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string readAll(const fs::path &p)
{
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class AtomicFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("kn4atomic" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
        m_target = m_dir / "DAVANTI.KN4";
        std::ofstream(m_target, std::ios::binary) << "old content";
    }
    void TearDown() override
    {
        kn4::AtomicFileWriter::setWriteFunctionForTesting(nullptr);
        kn4::AtomicFileWriter::setSyncFunctionForTesting(nullptr);
        fs::remove_all(m_dir);
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
    EXPECT_EQ(readAll(m_target), "new content\r\n");
    EXPECT_FALSE(fs::exists(m_target.string() + ".kn4tmp"));
}

TEST_F(AtomicFile, AFullDiskKeepsTheOldContent)
{
    kn4::AtomicFileWriter::setWriteFunctionForTesting(shortThenNothing);
    std::string error;
    EXPECT_FALSE(kn4::writeFileAtomically(m_target, std::string(1000, 'n'), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readAll(m_target), "old content");
    EXPECT_FALSE(fs::exists(m_target.string() + ".kn4tmp"));
}

TEST_F(AtomicFile, AWriteErrorKeepsTheOldContent)
{
    kn4::AtomicFileWriter::setWriteFunctionForTesting(failingWrite);
    kn4::AtomicFileWriter writer;
    const std::string temp = (m_dir / "VUZUDO.TMP").string();
    ASSERT_TRUE(writer.open(temp.c_str(), m_target.c_str()));
    EXPECT_FALSE(writer.write("abc", 3));
    EXPECT_FALSE(writer.write("def", 3)); // stays failed
    EXPECT_FALSE(writer.commit());
    EXPECT_EQ(readAll(m_target), "old content");
    EXPECT_FALSE(fs::exists(temp));
}

// Written whole but not on disk: a crash could still lose the new content,
// so the target is not replaced.
TEST_F(AtomicFile, AFailedFlushToDiskKeepsTheOldContent)
{
    kn4::AtomicFileWriter::setSyncFunctionForTesting([](int) {
        errno = EIO;
        return -1;
    });
    std::string error;
    EXPECT_FALSE(kn4::writeFileAtomically(m_target, "new content", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readAll(m_target), "old content");
    EXPECT_FALSE(fs::exists(m_target.string() + ".kn4tmp"));
}

TEST_F(AtomicFile, AnUnwritableFolderKeepsTheOldContent)
{
    kn4::AtomicFileWriter writer;
    const std::string temp = (m_dir / "missing" / "VUZUDO.TMP").string();
    EXPECT_FALSE(writer.open(temp.c_str(), m_target.c_str()));
    EXPECT_FALSE(writer.commit());
    EXPECT_EQ(readAll(m_target), "old content");
}

TEST_F(AtomicFile, AbandonLeavesNoTrace)
{
    {
        kn4::AtomicFileWriter writer;
        const std::string temp = (m_dir / "VUZUDO.TMP").string();
        ASSERT_TRUE(writer.open(temp.c_str(), m_target.c_str()));
        ASSERT_TRUE(writer.write("half", 4));
    } // destroyed without commit
    EXPECT_FALSE(fs::exists(m_dir / "VUZUDO.TMP"));
    EXPECT_EQ(readAll(m_target), "old content");
}

} // namespace
