#include "compilertesting.h"
#include "kn4edit2.h"

#include "kn4/atomicfile.h"
#include "kn4/testfiles.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace kn4::compiler;
using kn4::compiler::testing::lines;
using kn4::compiler::testing::source;
using kn4::testing::readFile;
using kn4::testing::writeFile;

namespace {

class CompiledPanelFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("kn4compile" + std::to_string(::getpid()) + "_"
                                             + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir / "italiano");
        m_panel = m_dir / "DAVANTI.KN4";
    }
    void TearDown() override
    {
        kn4::AtomicFileWriter::setWriteFunctionForTesting(nullptr);
        kn4::AtomicFileWriter::setSyncFunctionForTesting(nullptr);
        std::error_code ec;
        fs::permissions(m_dir / "italiano", fs::perms::owner_all, ec);
        fs::remove_all(m_dir, ec);
    }

    Result compile(const fs::path &panel)
    {
        return m_compiler.compile(panel.c_str(), (m_dir / "italiano").c_str(), m_report);
    }

    fs::path m_dir;
    fs::path m_panel;
    Compiler m_compiler;
    char m_report[KN4_REPORT_SIZE];
};

TEST_F(CompiledPanelFile, AFileWithoutMarkerIsLeftAlone)
{
    const std::string text = "tipo A, taglia 4,parte D\r\nliscio 1 1\r\n";
    writeFile(m_panel, text);
    EXPECT_EQ(compile(m_panel), kNotASource);
    EXPECT_STREQ(m_report, "VUZUDO v4.4\r\nparte non presente in forma sorgente\r\n");
    EXPECT_EQ(readFile(m_panel), text);
    EXPECT_FALSE(fs::exists(m_dir / "italiano" / "VUZUDO.TMP"));
}

TEST_F(CompiledPanelFile, AMissingFileOrAFolderIsNotASource)
{
    EXPECT_EQ(compile(m_dir / "MISSING.KN4"), kNotASource);
    fs::create_directories(m_dir / "FOLDER.KN4");
    EXPECT_EQ(compile(m_dir / "FOLDER.KN4"), kNotASource);
    EXPECT_TRUE(fs::is_directory(m_dir / "FOLDER.KN4"));
}

TEST_F(CompiledPanelFile, RewritesThePanelWithHeaderCodeMarkerAndSource)
{
    const std::string body = source({"LISCIO 5 1"}, "1", "1");
    writeFile(m_panel, "SORGENTE.KN4\r\n" + body);
    EXPECT_EQ(compile(m_panel), kCompiled);
    EXPECT_EQ(readFile(m_panel), std::string("AB--- 44 DAVANTI---,120D,12------,1,5D 5S,20D 20S,7,5\x1a"
                                             "\x9D\x94\x03\x9C\r\nSORGENTE.KN4\r\n")
                                     + body);
    EXPECT_FALSE(fs::exists(m_dir / "italiano" / "VUZUDO.TMP"));
}

TEST_F(CompiledPanelFile, CompilingTwiceGivesTheSameFile)
{
    writeFile(m_panel, "old header\x1a\x01\x02\r\nSORGENTE.KN4\r\n" + source({"RIGATO 2 1 5"}));
    ASSERT_EQ(compile(m_panel), kCompiled);
    const std::string once = readFile(m_panel);
    ASSERT_EQ(compile(m_panel), kCompiled);
    EXPECT_EQ(readFile(m_panel), once);
}

TEST_F(CompiledPanelFile, NonGraveErrorsGiveResultSix)
{
    writeFile(m_panel, "SORGENTE.KN4\r\n" + source({"LISCIO 5 1"}, ""));
    EXPECT_EQ(compile(m_panel), kCompiledWithWarnings);
    EXPECT_EQ(readFile(m_panel).substr(0, 51), "AB--- 44 DAVANTI---,120D,12------,0,5D 5S,20D 20S,6");
}

TEST_F(CompiledPanelFile, GraveReaderErrorsLeaveAnEmptyCode)
{
    const std::string body = lines({"frontura 120, densita 12", "liscio 1 1"});
    writeFile(m_panel, "SORGENTE.KN4\r\n" + body);
    EXPECT_EQ(compile(m_panel), kGraveErrors);
    EXPECT_EQ(readFile(m_panel), std::string("  ,96D,,0,1D 1S,1D 1S,0,0\x1a\r\nSORGENTE.KN4\r\n") + body);
    EXPECT_EQ(std::string(m_report).find("fine compilazione"), std::string::npos);
}

TEST_F(CompiledPanelFile, GenerationErrorsKeepTheCountsReached)
{
    writeFile(m_panel, "SORGENTE.KN4\r\n" + source({"LISCIO 3 1", "RIGATO 1 1 1"}, "1") +
                           "definizione\r\nLISCIO 3 1\r\nRIGATO 2 1 1\r\n");
    EXPECT_EQ(compile(m_panel), kGraveErrors);
    const std::string file = readFile(m_panel);
    EXPECT_EQ(file.substr(0, file.find('\x1a')), "AB--- 44 DAVANTI---,120D,12------,1,5D 5S,20D 20S,5,3");
    EXPECT_EQ(file[file.find('\x1a') + 1], '\r'); // no code
    const std::string report = m_report;
    EXPECT_NE(report.find("\r\nfine compilazione al passo 3+2, parte di maglia di 3 righe\r\n"
                          "occupazione memoria comandi 12/3000, memoria telaio virtuale 4/10000\r\n\r\n"),
              std::string::npos)
        << report;
    EXPECT_EQ(report.find("fine simulazione"), std::string::npos);
}

TEST_F(CompiledPanelFile, CopiesASourceEndingWithoutLineEnd)
{
    const std::string body = source({"LISCIO 5 1"}) + "; last line without end";
    writeFile(m_panel, "SORGENTE.KN4\r\n" + body);
    EXPECT_EQ(compile(m_panel), kCompiled);
    const std::string file = readFile(m_panel);
    EXPECT_EQ(file.substr(file.size() - body.size()), body);
}

ssize_t diskFullAfterAFewBytes(int, const void *, std::size_t size)
{
    static int calls = 0;
    return ++calls % 2 == 1 ? ssize_t(size > 3 ? 3 : size) : 0;
}

int syncFails(int)
{
    errno = EIO;
    return -1;
}

// Whatever keeps the compiled panel from being written, the panel keeps its
// old bytes, the report says so in its last line and the result is 3.
TEST_F(CompiledPanelFile, ACompiledPanelThatCannotBeWrittenIsNotCompiled)
{
    const bool root = ::geteuid() == 0; // root writes anywhere
    const struct
    {
        const char *name;
        std::function<void()> arrange;
        std::string folder;
    } cases[] = {
        {"a full disk", [] { kn4::AtomicFileWriter::setWriteFunctionForTesting(diskFullAfterAFewBytes); },
         "italiano"},
        {"a failed flush to disk", [] { kn4::AtomicFileWriter::setSyncFunctionForTesting(syncFails); },
         "italiano"},
        {"a missing working folder", [] {}, "nowhere"},
        {"a VUZUDO.TMP that is a folder", [this] { fs::create_directories(m_dir / "busy" / "VUZUDO.TMP"); },
         "busy"},
        {"a read-only working folder",
         [this] { fs::permissions(m_dir / "italiano", fs::perms::owner_read | fs::perms::owner_exec); },
         root ? "" : "italiano"},
    };
    const std::string original = "SORGENTE.KN4\r\n" + source({"LISCIO 5 1"});
    for (const auto &c : cases) {
        if (c.folder.empty())
            continue;
        writeFile(m_panel, original);
        c.arrange();
        const Result result = m_compiler.compile(m_panel.c_str(), (m_dir / c.folder).c_str(), m_report);
        kn4::AtomicFileWriter::setWriteFunctionForTesting(nullptr);
        kn4::AtomicFileWriter::setSyncFunctionForTesting(nullptr);
        fs::permissions(m_dir / "italiano", fs::perms::owner_all);
        EXPECT_EQ(result, kNotASource) << c.name;
        EXPECT_TRUE(m_compiler.lastWriteFailed()) << c.name;
        const std::string report = m_report;
        EXPECT_TRUE(report.ends_with("\r\n\r\nimpossibile scrivere il pannello compilato: pannello invariato\r\n"))
            << c.name << "\n" << report;
        EXPECT_EQ(readFile(m_panel), original) << c.name;
        EXPECT_FALSE(fs::is_regular_file(m_dir / c.folder / "VUZUDO.TMP")) << c.name;
    }
}

TEST_F(CompiledPanelFile, ReadsTheKeywordFileWhateverItsLetterCase)
{
    writeFile(m_dir / "italiano" / "Vuzudo.key", "DEFINIZIONE\r\nSCOLLO\r\nRIENTRO\r\nCALATO\r\nMAGLIA\r\n");
    writeFile(m_panel, "SORGENTE.KN4\r\n" + source({"maglia 5 1"}));
    EXPECT_EQ(compile(m_panel), kCompiled) << m_report;
    // The keyword table survives: a panel compiled from a folder without
    // keyword file still reads MAGLIA.
    fs::create_directories(m_dir / "elsewhere");
    Compiler &same = m_compiler;
    EXPECT_EQ(same.compile(m_panel.c_str(), (m_dir / "elsewhere").c_str(), m_report), kCompiled);
}

TEST_F(CompiledPanelFile, CutsAnOverlongReportAt8191Characters)
{
    std::vector<std::string> rows(600, "SCONOSCIUTO_COMANDO_LUNGO 1 1");
    writeFile(m_panel, "SORGENTE.KN4\r\n" + source(rows));
    char report[KN4_REPORT_SIZE + 16];
    std::memset(report, 'x', sizeof report);
    EXPECT_EQ(m_compiler.compile(m_panel.c_str(), (m_dir / "italiano").c_str(), report), kGraveErrors);
    EXPECT_EQ(std::strlen(report), std::size_t(KN4_REPORT_SIZE - 1));
    EXPECT_EQ(report[KN4_REPORT_SIZE], 'x');

    // A full report still ends with the line that says the panel was not
    // written.
    EXPECT_EQ(m_compiler.compile(m_panel.c_str(), (m_dir / "nowhere").c_str(), report), kNotASource);
    EXPECT_EQ(std::strlen(report), std::size_t(KN4_REPORT_SIZE - 1));
    EXPECT_TRUE(std::string(report).ends_with("impossibile scrivere il pannello compilato: pannello invariato\r\n"));
}

// The whole compiled file of a realistic two-definition panel, worked out by
// hand: stripes in a block closed by a positive outer cycle, an increase, a
// jump-and-needle command and a neckline in the second definition.
TEST(CompilazioneEndToEnd, MatchesTheHandWorkedFile)
{
    const fs::path golden = fs::path(KN4_SOURCE_DIR) / "library/tests/golden/two-definitions";
    const fs::path dir = fs::temp_directory_path() / ("kn4golden" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path panel = dir / "DAVANTI.KN4";
    fs::copy_file(golden / "panel.KN4", panel, fs::copy_options::overwrite_existing);

    char report[KN4_REPORT_SIZE];
    const fs::path keywords = fs::path(KN4_SOURCE_DIR) / "data/italiano";
    EXPECT_EQ(Compilazione(panel.c_str(), (keywords.string() + "/").c_str(), report), KN4_COMPILED) << report;
    EXPECT_EQ(readFile(panel), readFile(golden / "expected.KN4"));
    const std::string text = report;
    EXPECT_NE(text.find("fine compilazione al passo 24+2, parte di maglia di 21 righe\r\n"
                        "occupazione memoria comandi 27/3000, memoria telaio virtuale 24/10000\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("fine simulazione alla riga 21\r\nbordo 51D 50S, scollo 12D 10S\r\n"
                        "massimo bordo 51D 50S, minimo tra bordo e scollo 38D 40S\r\n"),
              std::string::npos)
        << text;
    fs::remove_all(dir);
}

} // namespace
