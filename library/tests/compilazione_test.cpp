#include "compilertesting.h"
#include "kn4edit2.h"

#include "kn4/atomicfile.h"
#include "kn4/filereader.h"
#include "kn4/testfiles.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <cstring>
#include <sys/stat.h>
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
        writeFile(m_dir / "italiano" / "VUZUDO.KEY", builtInKeywordFile());
        m_panel = m_dir / "DAVANTI.KN4";
    }
    void TearDown() override
    {
        kn4::AtomicFileWriter::setWriteFunctionForTesting(nullptr);
        kn4::AtomicFileWriter::setSyncFunctionForTesting(nullptr);
        kn4::FileReader::setReadFunctionForTesting(nullptr);
        std::error_code ec;
        fs::permissions(m_dir, fs::perms::owner_all, ec);
        fs::remove_all(m_dir, ec);
    }
    // The keyword file of the built-in words, one per line.
    static std::string builtInKeywordFile()
    {
        const KeywordTable table;
        std::string text;
        for (int slot = 0; slot < KeywordTable::kSlots; ++slot)
            text += std::string(table.word(slot)) + "\r\n";
        return text;
    }
    // Every file of the test's folders besides the panel and the keyword
    // file: what a compilation left behind.
    std::vector<std::string> leftOvers() const
    {
        std::vector<std::string> found;
        for (const auto &entry : fs::recursive_directory_iterator(m_dir))
            if (entry.is_regular_file() && entry.path() != m_panel && entry.path().filename() != "VUZUDO.KEY")
                found.push_back(entry.path().string());
        return found;
    }

    Result compile(const fs::path &panel)
    {
        return m_compiler.compile(panel.c_str(), (m_dir / "italiano").c_str(), m_report);
    }
    // A compilation by a compiler of its own, which reads the keyword file
    // (a compiler keeps an unchanged keyword file it has read): the same
    // reads in the same order every time.
    Result compileAfresh(const fs::path &panel)
    {
        const auto compiler = std::make_unique<Compiler>();
        return compiler->compile(panel.c_str(), (m_dir / "italiano").c_str(), m_report);
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
    EXPECT_TRUE(leftOvers().empty());
}

// No such file, a folder or a FIFO (never waited on): not a source, and
// the report says why.
TEST_F(CompiledPanelFile, AMissingFileAFolderOrAFifoIsNotASource)
{
    fs::create_directories(m_dir / "FOLDER.KN4");
    ASSERT_EQ(::mkfifo((m_dir / "FIFO.KN4").c_str(), 0600), 0);
    const struct
    {
        const char *name;
        const char *reason;
    } cases[] = {
        {"MISSING.KN4", "No such file or directory"},
        {"FOLDER.KN4", "Is a directory"},
        {"FIFO.KN4", "No such device"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(compile(m_dir / c.name), kNotASource) << c.name;
        EXPECT_EQ(std::string(m_report), std::string("VUZUDO v4.4\r\nimpossibile aprire il pannello (") + c.reason
                                             + ")\r\nparte non presente in forma sorgente\r\n");
    }
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
    EXPECT_TRUE(leftOvers().empty());
}

TEST_F(CompiledPanelFile, CompilingTwiceGivesTheSameFile)
{
    writeFile(m_panel, "old header\x1a\x01\x02\r\nSORGENTE.KN4\r\n" + source({"RIGATO 2 1 5"}));
    ASSERT_EQ(compile(m_panel), kCompiled);
    const std::string once = readFile(m_panel);
    ASSERT_EQ(compile(m_panel), kCompiled);
    EXPECT_EQ(readFile(m_panel), once);
}

// A file larger than any panel (here a megabyte of comment rows) is not
// held in memory: it is read as a stream, and compiles to the same code with
// the whole source part copied.
TEST_F(CompiledPanelFile, AFileTooLargeToHoldIsCompiledAsAStream)
{
    const std::string body = source({"RIGATO 2 1 5", "LISCIO 3 1"});
    writeFile(m_panel, "SORGENTE.KN4\r\n" + body);
    ASSERT_EQ(compile(m_panel), kCompiled) << m_report;
    const std::string small = readFile(m_panel);
    const std::string code = small.substr(small.find('\x1a'), small.find("\r\nSORGENTE.KN4\r\n") - small.find('\x1a'));

    std::string comments;
    while (comments.size() <= kn4::FileReader::kPanelLimit)
        comments += ";" + std::string(40, '-') + "\r\n";
    writeFile(m_panel, "SORGENTE.KN4\r\n" + body + comments);
    ASSERT_EQ(compile(m_panel), kCompiled) << m_report;
    const std::string large = readFile(m_panel);
    EXPECT_EQ(large.substr(large.find('\x1a'), code.size()), code);
    EXPECT_TRUE(large.ends_with("\r\nSORGENTE.KN4\r\n" + body + comments));
    EXPECT_TRUE(leftOvers().empty());
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
    const fs::path readOnly = m_dir / "readonly";
    const struct
    {
        const char *name;
        std::function<void()> arrange;
        bool skip;
    } cases[] = {
        {"a full disk", [] { kn4::AtomicFileWriter::setWriteFunctionForTesting(diskFullAfterAFewBytes); }, false},
        {"a failed flush to disk", [] { kn4::AtomicFileWriter::setSyncFunctionForTesting(syncFails); }, false},
        {"a read-only panel folder",
         [&] { fs::permissions(m_dir, fs::perms::owner_read | fs::perms::owner_exec); }, root},
    };
    const std::string original = "SORGENTE.KN4\r\n" + source({"LISCIO 5 1"});
    for (const auto &c : cases) {
        if (c.skip)
            continue;
        writeFile(m_panel, original);
        c.arrange();
        const Result result = compile(m_panel);
        kn4::AtomicFileWriter::setWriteFunctionForTesting(nullptr);
        kn4::AtomicFileWriter::setSyncFunctionForTesting(nullptr);
        fs::permissions(m_dir, fs::perms::owner_all);
        EXPECT_EQ(result, kNotASource) << c.name;
        EXPECT_TRUE(m_compiler.lastWriteFailed()) << c.name;
        const std::string report = m_report;
        EXPECT_TRUE(report.ends_with("\r\n\r\nimpossibile scrivere il pannello compilato: pannello invariato\r\n"))
            << c.name << "\n" << report;
        EXPECT_EQ(readFile(m_panel), original) << c.name;
        EXPECT_TRUE(leftOvers().empty()) << c.name;
    }
}

// Compiling with other words than the panel's would turn good rows into
// errors and strip the panel of its code: no keyword file, no compilation.
TEST_F(CompiledPanelFile, AMissingOrUnreadableKeywordFileLeavesThePanel)
{
    fs::create_directories(m_dir / "empty");
    fs::create_directories(m_dir / "folderkey" / "VUZUDO.KEY");
    const struct
    {
        const char *folder;
        const char *line;
    } cases[] = {
        {"empty", "file VUZUDO.KEY non trovato: pannello invariato\r\n"},
        {"nowhere", "file VUZUDO.KEY non trovato: pannello invariato\r\n"},
        {"folderkey", "file VUZUDO.KEY non trovato: pannello invariato\r\n"},
    };
    const std::string original = "old\x1a\x9d\x94\x03\x9c\r\nSORGENTE.KN4\r\n" + source({"LISCIO 5 1"});
    for (const auto &c : cases) {
        writeFile(m_panel, original);
        EXPECT_EQ(m_compiler.compile(m_panel.c_str(), (m_dir / c.folder).c_str(), m_report), kNotASource);
        EXPECT_EQ(std::string(m_report), std::string("VUZUDO v4.4\r\n") + c.line);
        EXPECT_EQ(readFile(m_panel), original) << c.folder;
    }
}

int g_reads = 0;
int g_failAt = 0;
ssize_t countedRead(int fd, void *buffer, std::size_t size)
{
    if (++g_reads == g_failAt) {
        errno = EIO;
        return -1;
    }
    // Small reads, so that a long panel takes many.
    return ::read(fd, buffer, size < 4096 ? size : 4096);
}

// A failed read is never the end of the panel: at whichever read it comes
// (keyword file: "impossibile leggere il file VUZUDO.KEY (...)", marker
// search, source, the copy of the source part: "errore di lettura del
// pannello (...)") the
// compilation stops with the panel as it was and a line that says why.
TEST_F(CompiledPanelFile, AFailedReadAtAnyPointLeavesThePanel)
{
    std::vector<std::string> rows;
    for (int i = 0; i < 450; ++i)
        rows.push_back(i % 2 ? "LISCIO 2 1                                         ; riga " + std::to_string(i)
                             : "RIGATO 1 1 1                                       ; riga " + std::to_string(i));
    const std::string original = "SORGENTE.KN4\r\n" + source(rows);
    ASSERT_GT(original.size(), 20000u);
    writeFile(m_panel, original);
    kn4::FileReader::setReadFunctionForTesting(countedRead);
    g_reads = 0;
    g_failAt = 0;
    ASSERT_EQ(compileAfresh(m_panel), kCompiled) << m_report;
    const std::string compiled = readFile(m_panel);
    const int reads = g_reads;
    // The keyword file and the panel.
    ASSERT_GE(reads, 2);
    for (int at = 1; at <= reads; ++at) {
        writeFile(m_panel, original);
        g_reads = 0;
        g_failAt = at;
        EXPECT_EQ(compileAfresh(m_panel), kNotASource) << "read " << at;
        EXPECT_EQ(readFile(m_panel), original) << "read " << at;
        const std::string report = m_report;
        EXPECT_TRUE(report.ends_with(" (Input/output error): pannello invariato\r\n")) << "read " << at << report;
        EXPECT_TRUE(leftOvers().empty());
    }
    g_failAt = 0;
    EXPECT_EQ(compileAfresh(m_panel), kCompiled);
    EXPECT_EQ(readFile(m_panel), compiled);
}

fs::path g_changed;
int g_changeAt = 0;
bool g_inPlace = false;
ssize_t readThenSave(int fd, void *buffer, std::size_t size)
{
    if (++g_reads == g_changeAt) {
        if (g_inPlace)
            writeFile(g_changed, "saved in place\r\nSORGENTE.KN4\r\n");
        else
            kn4::writeFileAtomically(g_changed, "saved by the editor\r\nSORGENTE.KN4\r\n");
    }
    return ::read(fd, buffer, size);
}

// The editor saves the panel while it is being compiled: the save stays,
// the compilation writes nothing and says so.
TEST_F(CompiledPanelFile, ASaveDuringTheCompilationIsKept)
{
    const std::string original = "SORGENTE.KN4\r\n" + source({"LISCIO 5 1"});
    kn4::FileReader::setReadFunctionForTesting(readThenSave);
    g_changed = m_panel;
    writeFile(m_panel, original);
    g_reads = 0;
    g_changeAt = 0;
    ASSERT_EQ(compileAfresh(m_panel), kCompiled) << m_report;
    const int reads = g_reads;
    for (const bool inPlace : {false, true}) {
        // Read 1 is the keyword file, every later one reads the panel.
        for (int at = 2; at <= reads; ++at) {
            writeFile(m_panel, original);
            g_reads = 0;
            g_changeAt = at;
            g_inPlace = inPlace;
            EXPECT_EQ(compileAfresh(m_panel), kNotASource) << at;
            EXPECT_TRUE(std::string(m_report).ends_with("\r\npannello modificato durante la compilazione\r\n"))
                << m_report;
            EXPECT_EQ(readFile(m_panel), inPlace ? "saved in place\r\nSORGENTE.KN4\r\n"
                                                 : "saved by the editor\r\nSORGENTE.KN4\r\n")
                << at;
            EXPECT_TRUE(leftOvers().empty());
        }
    }
}

// A panel reached through a symbolic link is compiled where it lies; the
// link stays a link.
TEST_F(CompiledPanelFile, ALinkedPanelIsCompiledInItsPlace)
{
    fs::create_directories(m_dir / "archivio");
    const fs::path target = m_dir / "archivio" / "DIETRO.KN4";
    const std::string body = source({"LISCIO 5 1"});
    writeFile(target, "SORGENTE.KN4\r\n" + body);
    fs::create_symlink("archivio/DIETRO.KN4", m_panel);
    EXPECT_EQ(compile(m_panel), kCompiled) << m_report;
    EXPECT_TRUE(fs::is_symlink(m_panel));
    EXPECT_EQ(readFile(target).substr(0, 10), "AB--- 44 D");
    EXPECT_TRUE(readFile(target).ends_with("\r\nSORGENTE.KN4\r\n" + body));
}

TEST_F(CompiledPanelFile, ReadsTheKeywordFileWhateverItsLetterCase)
{
    fs::remove(m_dir / "italiano" / "VUZUDO.KEY");
    writeFile(m_dir / "italiano" / "Vuzudo.key", "DEFINIZIONE\r\nSCOLLO\r\nRIENTRO\r\nCALATO\r\nMAGLIA\r\n");
    writeFile(m_panel, "SORGENTE.KN4\r\n" + source({"maglia 5 1"}));
    EXPECT_EQ(compile(m_panel), kCompiled) << m_report;
}

// The keyword file is read again whenever it changed since the compiler
// read it: rewritten in place, or replaced by another file of the same size.
TEST_F(CompiledPanelFile, AKeywordFileChangedSinceTheLastCompilationIsReadAgain)
{
    const fs::path keywords = m_dir / "italiano" / "VUZUDO.KEY";
    const std::string head = "DEFINIZIONE\r\nSCOLLO\r\nRIENTRO\r\nCALATO\r\n";
    writeFile(keywords, head + "MAGLIA\r\n");
    writeFile(m_panel, "SORGENTE.KN4\r\n" + source({"maglia 5 1"}));
    ASSERT_EQ(compile(m_panel), kCompiled) << m_report;
    ASSERT_EQ(compile(m_panel), kCompiled) << m_report;

    writeFile(keywords, head + "MAGLIETTA\r\n");
    EXPECT_EQ(compile(m_panel), kGraveErrors) << m_report;
    EXPECT_NE(std::string(m_report).find("comando errato MAGLIA"), std::string::npos) << m_report;

    writeFile(keywords, head + "MAGLIA\r\n");
    ASSERT_EQ(compile(m_panel), kCompiled) << m_report;
    kn4::writeFileAtomically(keywords, head + "FILATO\r\n");
    EXPECT_EQ(compile(m_panel), kGraveErrors) << m_report;
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
    kn4::AtomicFileWriter::setSyncFunctionForTesting(syncFails);
    EXPECT_EQ(m_compiler.compile(m_panel.c_str(), (m_dir / "italiano").c_str(), report), kNotASource);
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
