#include "kn4/filereader.h"

#include "kn4/tempfolder.h"
#include "kn4/testfiles.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using kn4::FileContent;
using kn4::FileReader;

namespace {

class FileReaderTest : public ::testing::Test
{
protected:
    void TearDown() override { FileReader::setReadFunctionForTesting(nullptr); }
    kn4::testing::TempFolder m_dir{"kn4reader"};
};

TEST_F(FileReaderTest, ReadsTheBytesAsTheyStand)
{
    const std::string bytes = std::string("SORGENTE.KN4\r\n\x1a\x00\xff", 17) + std::string(200000, 'x');
    kn4::testing::writeFile(m_dir / "P.KN4", bytes);
    const FileContent content = FileReader::read(m_dir / "P.KN4", FileReader::kPanelLimit);
    ASSERT_TRUE(content.ok()) << content.reason;
    EXPECT_EQ(content.bytes, bytes);
    EXPECT_TRUE(content.identity.exists);
    EXPECT_EQ(content.identity.size, std::int64_t(bytes.size()));
}

// Whatever stands at the path, the answer comes at once, as a value.
TEST_F(FileReaderTest, AnythingButARegularFileIsAnErrorNamingWhy)
{
    fs::create_directories(m_dir / "FOLDER");
    ASSERT_EQ(::mkfifo((m_dir / "FIFO").c_str(), 0600), 0);
    kn4::testing::writeFile(m_dir / "LONG", std::string(1001, 'a'));
    const struct
    {
        fs::path path;
        int errorNumber;
        const char *reason;
    } cases[] = {
        {m_dir / "MISSING", ENOENT, "No such file or directory"},
        {m_dir / "MISSING" / "X", ENOENT, "No such file or directory"},
        {m_dir / "FOLDER", EISDIR, "Is a directory"},
        {m_dir / "FIFO", ENODEV, "non è un file regolare"},
        {"/dev/zero", ENODEV, "non è un file regolare"},
        {m_dir / "LONG", EFBIG, "più di 1000 byte"},
    };
    for (const auto &c : cases) {
        const FileContent content = FileReader::read(c.path, 1000);
        EXPECT_FALSE(content.ok()) << c.path;
        EXPECT_EQ(content.errorNumber, c.errorNumber) << c.path;
        EXPECT_EQ(content.reason, c.reason) << c.path;
        EXPECT_EQ(content.message(c.path), c.path.string() + ": " + c.reason);
        EXPECT_TRUE(content.bytes.empty());
    }
    EXPECT_TRUE(FileReader::read(m_dir / "MISSING", 1000).missing());
    EXPECT_FALSE(FileReader::read(m_dir / "FOLDER", 1000).missing());
    EXPECT_EQ(FileReader::read(m_dir / "LONG", 1001).bytes.size(), 1001u);
}

// Files of /proc report the size 0 and still have content.
TEST_F(FileReaderTest, ReadsToTheEndWhateverSizeTheFileReports)
{
    const FileContent content = FileReader::read("/proc/self/mountinfo", FileReader::kSystemTableLimit);
    ASSERT_TRUE(content.ok()) << content.reason;
    EXPECT_NE(content.bytes.find(" / "), std::string::npos);
}

int g_calls = 0;

TEST_F(FileReaderTest, AFailedReadIsAnErrorNeverTheEnd)
{
    kn4::testing::writeFile(m_dir / "P.KN4", std::string(300000, 'x'));
    FileReader::setReadFunctionForTesting([](int fd, void *buffer, std::size_t size) -> ssize_t {
        if (++g_calls == 2) {
            errno = EIO;
            return -1;
        }
        return ::read(fd, buffer, size < 1000 ? size : 1000);
    });
    const FileContent content = FileReader::read(m_dir / "P.KN4", FileReader::kPanelLimit);
    EXPECT_EQ(content.errorNumber, EIO);
    EXPECT_EQ(content.reason, "Input/output error");
    EXPECT_TRUE(content.bytes.empty());

    // An interrupted read is tried again.
    g_calls = 0;
    FileReader::setReadFunctionForTesting([](int fd, void *buffer, std::size_t size) -> ssize_t {
        if (++g_calls % 2 == 1) {
            errno = EINTR;
            return -1;
        }
        return ::read(fd, buffer, size);
    });
    EXPECT_EQ(FileReader::read(m_dir / "P.KN4", FileReader::kPanelLimit).bytes.size(), 300000u);
}

} // namespace
