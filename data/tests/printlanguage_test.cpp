// The print program's listing in each language: a sample panel, compiled
// with the folder's keyword file, lists its definition kinds by the
// folder's stampa.ini and its commands by the folder's aliases.

#include "datafiles.h"
#include "kn4/cp1252.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace kn4::testing;

std::string run(const std::string &command, int *status)
{
    std::string out;
    FILE *pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return out;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    *status = ::pclose(pipe);
    return out;
}

std::string lineOf(const fs::path &file, std::size_t line)
{
    bool wellEnded = false;
    return crlfLines(readFile(file), &wellEnded).at(line);
}

class PrintLanguageTest : public ::testing::TestWithParam<const char *>
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("kn4-printlanguage-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        fs::copy_file(kArchiveDir / "DAVANTI.KN4", m_dir / "DAVANTI.KN4");
    }
    void TearDown() override { fs::remove_all(m_dir); }
    fs::path m_dir;
};

TEST_P(PrintLanguageTest, ListingSpeaksTheFolderLanguage)
{
    const fs::path folder = fs::path(KN4_PROGRAM_DIR) / GetParam();
    int status = -1;
    run(std::string("'") + KN4C + "' --keywords '" + folder.string() + "' '" + (m_dir / "DAVANTI.KN4").string() + "'",
        &status);
    ASSERT_EQ(status, 0);
    const std::string listing = run(std::string("'") + KN4_STAMPA + "' --listing '" + (m_dir / "DAVANTI.KN4").string() +
                                        "," + folder.string() + "/'",
                                    &status);
    ASSERT_EQ(status, 0) << listing;

    // The piece is one-sided: its outer profile shows label 34.
    EXPECT_NE(listing.find(kn4::cp1252ToUtf8(lineOf(folder / "stampa.ini", 34))), std::string::npos) << listing;
    // The decreases show the alias of CALATO (line 4 of the keyword file).
    const std::string keyword = lineOf(folder / "VUZUDO.KEY", 3);
    const std::size_t alias = keyword.find("ALIAS:");
    const std::string shown = alias == std::string::npos ? "calato" : keyword.substr(alias + 7);
    EXPECT_NE(listing.find(kn4::cp1252ToUtf8(shown)), std::string::npos) << shown << "\n" << listing;
}

INSTANTIATE_TEST_SUITE_P(LanguageFolders, PrintLanguageTest, ::testing::Values("italiano", "inglese", "spagnolo"));

} // namespace
