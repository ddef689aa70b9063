#include "panelcompiler.h"
#include "kn4/testfiles.h"

#include "kn4edit2.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;
using kn4::PanelCompiler;

namespace {

using kn4::testing::readFile;
using kn4::testing::writeFile;

// A stand-in for Compilazione: records what it was given, rewrites the panel
// it was handed (as the real library does) and answers with a result chosen
// by the panel's file name.
struct FakeCompiler
{
    static inline int calls = 0;
    static inline std::string panel;
    static inline std::string workDir;
    static inline bool keywordFileBeside = false;
    static inline std::string keywordFileContent;
    static inline std::map<std::string, int> results;
    static inline bool rewrite = true;
    static inline std::string report = "VUZUDO v4.4\r\nparte di maglia di 10 righe\r\n";

    static void reset()
    {
        calls = 0;
        panel.clear();
        workDir.clear();
        keywordFileBeside = false;
        keywordFileContent.clear();
        results.clear();
        rewrite = true;
    }

    static std::int32_t compile(const char *p, const char *dir, char *out)
    {
        ++calls;
        panel = p;
        workDir = dir;
        const fs::path key = fs::path(dir) / "VUZUDO.KEY";
        keywordFileBeside = fs::exists(key);
        if (keywordFileBeside)
            keywordFileContent = readFile(key);
        // the library renames a new file over the panel
        if (rewrite) {
            writeFile(std::string(p) + ".new", "compiled\x1a");
            fs::rename(std::string(p) + ".new", p);
        }
        std::snprintf(out, KN4_REPORT_SIZE, "%s", report.c_str());
        const auto found = results.find(fs::path(p).filename().string());
        return found == results.end() ? 0 : found->second;
    }
};

class PanelCompilerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        FakeCompiler::reset();
        char pattern[] = "/tmp/kn4c_test.XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_dir = pattern;
        fs::create_directory(m_dir / "italiano");
        writeFile(m_dir / "italiano" / "Vuzudo.key", "LISCIO ;ALIAS: maglia liscia\r\n");
        writeFile(m_dir / "A.KN4", "SORGENTE.KN4\r\ntipo A\r\n");
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path m_dir;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST(PanelCompilerResults, WorstResultWins)
{
    // 0 < 6 < 5 < 3 < 4, whatever the order the panels come in
    EXPECT_EQ(PanelCompiler::worseResult(0, 6), 6);
    EXPECT_EQ(PanelCompiler::worseResult(6, 0), 6);
    EXPECT_EQ(PanelCompiler::worseResult(6, 5), 5);
    EXPECT_EQ(PanelCompiler::worseResult(5, 6), 5);
    EXPECT_EQ(PanelCompiler::worseResult(5, 3), 3);
    EXPECT_EQ(PanelCompiler::worseResult(3, 5), 3);
    EXPECT_EQ(PanelCompiler::worseResult(3, 4), 4);
    EXPECT_EQ(PanelCompiler::worseResult(0, 0), 0);
}

TEST(PanelCompilerResults, EachResultHasItsOwnText)
{
    EXPECT_NE(PanelCompiler::resultText(0).find("no errors"), std::string::npos);
    EXPECT_NE(PanelCompiler::resultText(6).find("non-grave"), std::string::npos);
    EXPECT_NE(PanelCompiler::resultText(5).find("grave errors"), std::string::npos);
    EXPECT_NE(PanelCompiler::resultText(3).find("SORGENTE.KN4"), std::string::npos);
    EXPECT_NE(PanelCompiler::resultText(42).find("42"), std::string::npos);
}

TEST(PanelCompilerReport, WindowsTextBecomesUtf8WithLinefeeds)
{
    const char report[] = "VUZUDO v4.4\r\nattes\xE8\r\nfine";
    EXPECT_EQ(PanelCompiler::reportText(report, sizeof report), "VUZUDO v4.4\nattes\xC3\xA8\nfine");
}

TEST(PanelCompilerReport, StopsAtTheTerminatorOrTheBufferSize)
{
    const char withZero[] = "ab\r\n\0cd";
    EXPECT_EQ(PanelCompiler::reportText(withZero, sizeof withZero), "ab\n");
    const char noZero[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(PanelCompiler::reportText(noZero, 3), "abc");
    EXPECT_EQ(PanelCompiler::reportText(nullptr, 10), "");
}

TEST(PanelCompilerReport, LoneCarriageReturnsAndLinefeedsStay)
{
    const char report[] = "a\rb\nc\r";
    EXPECT_EQ(PanelCompiler::reportText(report, sizeof report), "a\rb\nc\r");
}

TEST_F(PanelCompilerTest, InPlaceHandsThePanelAndTheKeywordFolderToTheLibrary)
{
    const PanelCompiler compiler(&FakeCompiler::compile, m_dir / "italiano", false);
    const std::string panel = (m_dir / "A.KN4").string();
    EXPECT_EQ(compiler.compilePanel(panel, m_out, m_err), 0);
    EXPECT_EQ(FakeCompiler::panel, panel);
    EXPECT_EQ(FakeCompiler::workDir, (m_dir / "italiano").string());
    EXPECT_EQ(readFile(panel), "compiled\x1a");
    EXPECT_EQ(m_out.str(), "=== " + panel + " ===\nVUZUDO v4.4\nparte di maglia di 10 righe\n"
                               "result 0: compiled, no errors\n\n");
    EXPECT_EQ(m_err.str(), "");
}

TEST_F(PanelCompilerTest, CheckCompilesACopyBesideACopyOfTheKeywordFile)
{
    const PanelCompiler compiler(&FakeCompiler::compile, m_dir / "italiano", true);
    const std::string panel = (m_dir / "A.KN4").string();
    FakeCompiler::results["A.KN4"] = 6;
    EXPECT_EQ(compiler.compilePanel(panel, m_out, m_err), 6);

    EXPECT_EQ(FakeCompiler::calls, 1);
    EXPECT_NE(FakeCompiler::panel, panel);
    EXPECT_EQ(fs::path(FakeCompiler::panel).filename(), "A.KN4");
    EXPECT_EQ(fs::path(FakeCompiler::panel).parent_path().string(), FakeCompiler::workDir);
    EXPECT_TRUE(FakeCompiler::keywordFileBeside);
    EXPECT_EQ(FakeCompiler::keywordFileContent, "LISCIO ;ALIAS: maglia liscia\r\n");

    // the panel and the keyword folder are untouched, the copy is gone
    EXPECT_EQ(readFile(panel), "SORGENTE.KN4\r\ntipo A\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir / "italiano"), fs::directory_iterator()), 1);
    EXPECT_FALSE(fs::exists(FakeCompiler::workDir));
    EXPECT_NE(m_out.str().find("result 6"), std::string::npos);
}

TEST_F(PanelCompilerTest, CheckWithoutKeywordFileStillCompiles)
{
    fs::remove(m_dir / "italiano" / "Vuzudo.key");
    const PanelCompiler compiler(&FakeCompiler::compile, m_dir / "italiano", true);
    EXPECT_EQ(compiler.compilePanel((m_dir / "A.KN4").string(), m_out, m_err), 0);
    EXPECT_EQ(FakeCompiler::calls, 1);
    EXPECT_FALSE(FakeCompiler::keywordFileBeside);
}

TEST_F(PanelCompilerTest, PanelsThatCannotBeReadAreReportedAndTheRunGoesOn)
{
    fs::create_directory(m_dir / "CARTELLA.KN4");
    const PanelCompiler compiler(&FakeCompiler::compile, m_dir / "italiano", true);
    const std::string missing = (m_dir / "MANCA.KN4").string();
    const std::string folder = (m_dir / "CARTELLA.KN4").string();
    const std::string good = (m_dir / "A.KN4").string();

    EXPECT_EQ(compiler.compileAll({missing, folder, good}, m_out, m_err), 3);
    EXPECT_EQ(FakeCompiler::calls, 1);
    EXPECT_NE(m_err.str().find(missing + ": no such file"), std::string::npos);
    EXPECT_NE(m_err.str().find(folder + ": is a folder"), std::string::npos);
    EXPECT_NE(m_out.str().find("=== " + good), std::string::npos);
    EXPECT_NE(m_out.str().find("result 0"), std::string::npos);
}

TEST_F(PanelCompilerTest, AnUnreadablePanelIsNotCompiled)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "file permissions do not bind the super-user";
    const fs::path panel = m_dir / "A.KN4";
    fs::permissions(panel, fs::perms::none);
    const PanelCompiler compiler(&FakeCompiler::compile, m_dir / "italiano", false);
    EXPECT_EQ(compiler.compilePanel(panel.string(), m_out, m_err), 3);
    EXPECT_EQ(FakeCompiler::calls, 0);
    EXPECT_NE(m_err.str().find("cannot be read"), std::string::npos);
    fs::permissions(panel, fs::perms::owner_all);
}

TEST_F(PanelCompilerTest, TheWorstResultIsTheExitStatus)
{
    for (const char *name : {"B.KN4", "C.KN4", "D.KN4"})
        writeFile(m_dir / name, "SORGENTE.KN4\r\n");
    FakeCompiler::results = {{"B.KN4", 6}, {"C.KN4", 5}, {"D.KN4", 0}};
    const PanelCompiler compiler(&FakeCompiler::compile, m_dir / "italiano", true);
    const auto path = [&](const char *name) { return (m_dir / name).string(); };

    EXPECT_EQ(compiler.compileAll({path("A.KN4"), path("D.KN4")}, m_out, m_err), 0);
    EXPECT_EQ(compiler.compileAll({path("B.KN4"), path("A.KN4")}, m_out, m_err), 6);
    EXPECT_EQ(compiler.compileAll({path("C.KN4"), path("B.KN4")}, m_out, m_err), 5);
    EXPECT_EQ(compiler.compileAll({path("C.KN4"), path("MANCA.KN4")}, m_out, m_err), 3);
}

TEST_F(PanelCompilerTest, ACompiledPanelThatWasNotRewrittenIsNotReportedAsCompiled)
{
    // the panel folder not writable, or a full disk: the library keeps
    // the old panel and still answers with the compilation's result
    FakeCompiler::rewrite = false;
    const fs::path panel = m_dir / "A.KN4";
    for (int result : {0, 6, 5}) {
        FakeCompiler::results["A.KN4"] = result;
        const PanelCompiler compiler(&FakeCompiler::compile, m_dir / "italiano", false);
        m_err.str("");
        EXPECT_EQ(compiler.compilePanel(panel.string(), m_out, m_err), 3) << result;
        EXPECT_NE(m_err.str().find("could not be written"), std::string::npos) << m_err.str();
        EXPECT_NE(m_err.str().find("is its folder writable"), std::string::npos) << m_err.str();
    }
    // a panel without marker is never rewritten, and that is its result
    FakeCompiler::results["A.KN4"] = 3;
    m_err.str("");
    const PanelCompiler compiler(&FakeCompiler::compile, m_dir / "italiano", true);
    EXPECT_EQ(compiler.compilePanel(panel.string(), m_out, m_err), 3);
    EXPECT_EQ(m_err.str(), "");
}

TEST_F(PanelCompilerTest, AResultTheLibraryDoesNotDocumentIsItsOwnStatus)
{
    FakeCompiler::results["A.KN4"] = 42;
    const PanelCompiler compiler(&FakeCompiler::compile, m_dir / "italiano", true);
    EXPECT_EQ(compiler.compilePanel((m_dir / "A.KN4").string(), m_out, m_err), kn4::kStatusUnexpected);
    EXPECT_NE(m_out.str().find("result 42"), std::string::npos);
}

TEST_F(PanelCompilerTest, AReportWithoutTerminatorIsCutAtTheBufferEnd)
{
    FakeCompiler::report = std::string(KN4_REPORT_SIZE + 100, 'x');
    const PanelCompiler compiler(&FakeCompiler::compile, m_dir / "italiano", true);
    compiler.compilePanel((m_dir / "A.KN4").string(), m_out, m_err);
    FakeCompiler::report = "VUZUDO v4.4\r\n";
    EXPECT_NE(m_out.str().find(std::string(KN4_REPORT_SIZE - 1, 'x') + "\nresult 0"), std::string::npos);
}

} // namespace
