#include "kn4/filelookup.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class FileLookup : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("kn4lookup" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
        std::ofstream(m_dir / "Vuzudo.key") << "x";
        fs::create_directories(m_dir / "ARCHIVI");
    }
    void TearDown() override { fs::remove_all(m_dir); }
    fs::path m_dir;
};

TEST_F(FileLookup, FindsAFileWhateverItsLetterCase)
{
    for (const char *name : {"VUZUDO.KEY", "vuzudo.key", "Vuzudo.key"}) {
        auto found = kn4::findFileIgnoringCase(m_dir, name);
        ASSERT_TRUE(found) << name;
        EXPECT_EQ(found->filename(), "Vuzudo.key");

        char out[4096];
        ASSERT_TRUE(kn4::findFileIgnoringCase(m_dir.c_str(), name, out, sizeof out)) << name;
        EXPECT_EQ(fs::path(out).filename(), "Vuzudo.key");
    }
}

TEST_F(FileLookup, IgnoresFoldersAndMissingNames)
{
    EXPECT_FALSE(kn4::findFileIgnoringCase(m_dir, "archivi"));
    EXPECT_FALSE(kn4::findFileIgnoringCase(m_dir, "KN4EDIT.123"));
    EXPECT_FALSE(kn4::findFileIgnoringCase(m_dir / "missing", "VUZUDO.KEY"));
    char out[4096];
    EXPECT_FALSE(kn4::findFileIgnoringCase(m_dir.c_str(), "archivi", out, sizeof out));
}

TEST_F(FileLookup, NeverWritesPastTheOutputBuffer)
{
    char out[8];
    std::memset(out, 'x', sizeof out);
    EXPECT_FALSE(kn4::findFileIgnoringCase(m_dir.c_str(), "VUZUDO.KEY", out, 4));
    EXPECT_EQ(out[0], '\0');
    EXPECT_EQ(out[4], 'x');
}

TEST(EqualsIgnoringCase, ComparesAsciiLettersOnly)
{
    EXPECT_TRUE(kn4::equalsIgnoringCase("Liscio", "LISCIO"));
    EXPECT_FALSE(kn4::equalsIgnoringCase("LISCIO", "LISCI"));
    EXPECT_FALSE(kn4::equalsIgnoringCase("\xE0", "\xC0"));
}

} // namespace
