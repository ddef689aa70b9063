// Runs the built kn4c the way a person or a script runs it: from the program
// directory, on the sample archive and on broken panels, reading its exit
// status and its output.

#include "kn4edit2.h"
#include "kn4/testfiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const fs::path kProgramDir = KN4_PROGRAM_DIR;
const fs::path kKn4c = kProgramDir / "kn4c";
// The samples in their source form, as the repository keeps them (the
// program directory's copies are compiled by the build).
const fs::path kArchive = fs::path(KN4_SOURCE_DIR) / "data" / "archivi" / "DEMO";
const char *const kSamples[] = {"DAVANTI.KN4", "DIETRO.KN4", "MANICA.KN4", "RIGHE.KN4"};

using kn4::testing::readFile;
using kn4::testing::writeFile;

std::string quoted(const std::string &arg)
{
    std::string q = "'";
    for (char c : arg)
        q += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

struct ProgramRun
{
    int status = -1;
    std::string output; // standard output and standard error together
};

ProgramRun run(const fs::path &program, const std::vector<std::string> &args)
{
    std::string command = quoted(program.string());
    for (const std::string &arg : args)
        command += " " + quoted(arg);
    command += " 2>&1";
    ProgramRun result;
    FILE *pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, n);
    const int wait = ::pclose(pipe);
    result.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
    return result;
}

class Kn4cProgramTest : public testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/kn4c_program_test.XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path m_dir;
};

TEST_F(Kn4cProgramTest, TheSampleArchiveCompilesWithoutErrorsAndStaysUntouched)
{
    std::vector<std::string> panels;
    std::vector<std::string> before;
    for (const char *name : kSamples) {
        panels.push_back((kArchive / name).string());
        before.push_back(readFile(kArchive / name));
        ASSERT_FALSE(before.back().empty()) << name;
    }
    std::vector<std::string> args = {"--check"};
    args.insert(args.end(), panels.begin(), panels.end());

    const ProgramRun r = run(kKn4c, args);
    EXPECT_EQ(r.status, 0) << r.output;
    for (std::size_t i = 0; i < panels.size(); ++i) {
        EXPECT_NE(r.output.find("=== " + panels[i]), std::string::npos) << panels[i];
        EXPECT_EQ(readFile(panels[i]), before[i]) << panels[i];
    }
    EXPECT_EQ(r.output.find("\r"), std::string::npos);
    EXPECT_NE(r.output.find("     0 errori gravi\n"), std::string::npos);
}

TEST_F(Kn4cProgramTest, InPlaceTheCompiledCodeGoesInFrontOfTheUnchangedSource)
{
    const std::string source = readFile(kArchive / "DAVANTI.KN4");
    const fs::path panel = m_dir / "DAVANTI.KN4";
    writeFile(panel, source);
    // a working folder whose keyword file has another letter case
    const fs::path work = m_dir / "lingua";
    fs::create_directory(work);
    fs::copy_file(kProgramDir / "italiano" / "VUZUDO.KEY", work / "vuzudo.key");

    const ProgramRun r = run(kKn4c, {"--keywords", work.string(), panel.string()});
    EXPECT_EQ(r.status, 0) << r.output;
    const std::string compiled = readFile(panel);
    EXPECT_EQ(compiled.rfind("GIROC 48 DAVANTI---,200D,13.5----,1,80D 80S,1D 1S,", 0), 0u) << compiled;
    const std::string marker = "\r\nSORGENTE.KN4\r\n";
    const std::size_t at = compiled.find(marker);
    ASSERT_NE(at, std::string::npos);
    EXPECT_NE(compiled.find('\x1a'), std::string::npos);
    EXPECT_EQ(compiled.substr(at + marker.size()), source.substr(std::string("SORGENTE.KN4\r\n").size()));

    // a compiled panel compiles again to the same bytes
    const ProgramRun again = run(kKn4c, {"--keywords", work.string(), panel.string()});
    EXPECT_EQ(again.status, 0) << again.output;
    EXPECT_EQ(readFile(panel), compiled);
}

TEST_F(Kn4cProgramTest, APanelThatCannotBeRewrittenIsNotReportedAsCompiled)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into a read-only folder";
    // A read-only panel folder: the library cannot write the compiled panel
    // and keeps the old one.
    const std::string source = readFile(kArchive / "RIGHE.KN4");
    const fs::path folder = m_dir / "solalettura";
    fs::create_directories(folder);
    const fs::path panel = folder / "RIGHE.KN4";
    writeFile(panel, source);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);

    const ProgramRun r = run(kKn4c, {"--keywords", (kProgramDir / "italiano").string(), panel.string()});
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_EQ(r.status, 3) << r.output;
    EXPECT_NE(r.output.find("impossibile scrivere il pannello compilato: pannello invariato\nresult 3: not compiled"),
              std::string::npos)
        << r.output;
    EXPECT_EQ(readFile(panel), source);
}

// Compiles the sample archive copied count times into folder, every panel
// by a kn4c of its own, jobs at once (xargs -P); returns xargs' status.
int compileAtOnce(const fs::path &folder, int count, int jobs)
{
    fs::create_directories(folder);
    for (int i = 0; i < count; ++i)
        for (const char *name : kSamples)
            fs::copy_file(kArchive / name, folder / (std::to_string(i) + name));
    const std::string command = "cd " + quoted(folder.string()) + " && ls | xargs -P" + std::to_string(jobs)
                                + " -n1 " + quoted(kKn4c.string()) + " --keywords "
                                + quoted((kProgramDir / "italiano").string()) + " >/dev/null 2>&1";
    return std::system(command.c_str());
}

// Compilations at once never meet: each panel ends equal to the panel
// compiled on its own, and no temporary file is left.
TEST_F(Kn4cProgramTest, CompilationsAtOnceEachKeepTheirOwnPanel)
{
    ASSERT_EQ(compileAtOnce(m_dir / "alone", 1, 1), 0);
    ASSERT_EQ(compileAtOnce(m_dir / "together", 20, 4), 0);
    int panels = 0;
    for (const auto &entry : fs::directory_iterator(m_dir / "together")) {
        const std::string name = entry.path().filename().string();
        const std::string sample = name.substr(name.find_first_not_of("0123456789"));
        EXPECT_EQ(readFile(entry.path()), readFile(m_dir / "alone" / ("0" + sample))) << name;
        ++panels;
    }
    EXPECT_EQ(panels, 80);
}

// Two compilations of one panel at once leave one whole compiled panel;
// the one that comes second either compiles the first's result again or
// finds the panel changed under it and writes nothing.
TEST_F(Kn4cProgramTest, TwoCompilationsOfOnePanelLeaveOneWholePanel)
{
    ASSERT_EQ(compileAtOnce(m_dir / "alone", 1, 1), 0);
    const std::string expected = readFile(m_dir / "alone" / "0MANICA.KN4");
    const fs::path panel = m_dir / "MANICA.KN4";
    const std::string keywords = quoted((kProgramDir / "italiano").string());
    for (int trial = 0; trial < 10; ++trial) {
        fs::copy_file(kArchive / "MANICA.KN4", panel, fs::copy_options::overwrite_existing);
        const std::string one = quoted(kKn4c.string()) + " --keywords " + keywords + " " + quoted(panel.string());
        const std::string command = one + " >" + quoted((m_dir / "a.txt").string()) + " 2>&1 & " + one + " >"
                                    + quoted((m_dir / "b.txt").string()) + " 2>&1; wait";
        std::system(command.c_str());
        EXPECT_EQ(readFile(panel), expected) << trial;
        for (const char *out : {"a.txt", "b.txt"}) {
            const std::string text = readFile(m_dir / out);
            EXPECT_TRUE(text.find("result 0:") != std::string::npos
                        || text.find("pannello modificato durante la compilazione\nresult 3:") != std::string::npos)
                << text;
        }
    }
    fs::remove(m_dir / "a.txt");
    fs::remove(m_dir / "b.txt");
    fs::remove(panel);
    fs::remove_all(m_dir / "alone");
    EXPECT_TRUE(fs::is_empty(m_dir));
}

TEST_F(Kn4cProgramTest, APanelWithoutMarkerIsResultThreeAndUntouched)
{
    const fs::path panel = m_dir / "TESTO.KN4";
    const std::string text = "tipo AB---, taglia 44,parte DAVANTI---\r\n";
    writeFile(panel, text);
    for (bool check : {true, false}) {
        std::vector<std::string> args;
        if (check)
            args.push_back("--check");
        args.push_back(panel.string());
        const ProgramRun r = run(kKn4c, args);
        EXPECT_EQ(r.status, 3) << r.output;
        EXPECT_NE(r.output.find("parte non presente in forma sorgente"), std::string::npos) << r.output;
        EXPECT_EQ(readFile(panel), text);
    }
}

TEST_F(Kn4cProgramTest, BadPanelsAreReportedOneByOneAndTheRunGoesOn)
{
    const fs::path good = m_dir / "RIGHE.KN4";
    writeFile(good, readFile(kArchive / "RIGHE.KN4"));
    const ProgramRun r = run(kKn4c, {"--check", (m_dir / "MANCA.KN4").string(), m_dir.string(), good.string()});
    EXPECT_EQ(r.status, 3) << r.output;
    EXPECT_NE(r.output.find("MANCA.KN4: no such file"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find(m_dir.string() + ": is a folder"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("result 0: compiled, no errors"), std::string::npos) << r.output;
}

TEST_F(Kn4cProgramTest, GraveErrorsOutrankWarnings)
{
    std::string source = readFile(kArchive / "RIGHE.KN4");
    const fs::path warning = m_dir / "AVVISO.KN4";
    const fs::path grave = m_dir / "GRAVE.KN4";
    // a missing exit value is a non-grave error, an unknown command a grave one
    std::string noExit = source;
    noExit.replace(noExit.find("uscita 1"), 8, "uscita  ");
    writeFile(warning, noExit);
    std::string unknown = source;
    unknown.replace(unknown.find("ripeto"), 6, "ripeti");
    writeFile(grave, unknown);

    EXPECT_EQ(run(kKn4c, {"--check", warning.string()}).status, 6);
    EXPECT_EQ(run(kKn4c, {"--check", grave.string()}).status, 5);
    EXPECT_EQ(run(kKn4c, {"--check", grave.string(), warning.string()}).status, 5);
}

TEST_F(Kn4cProgramTest, WithoutTheKeywordFileNothingIsCompiled)
{
    // With other words than the panel's the good rows would turn into
    // errors and the panel would lose its code.
    const fs::path panel = m_dir / "DAVANTI.KN4";
    fs::copy_file(kProgramDir / "archivi" / "DEMO" / "DAVANTI.KN4", panel);
    const std::string compiled = readFile(panel);
    fs::create_directory(m_dir / "vuota");
    const ProgramRun r = run(kKn4c, {"--keywords", (m_dir / "vuota").string(), panel.string()});
    EXPECT_EQ(r.status, 3) << r.output;
    EXPECT_NE(r.output.find("no VUZUDO.KEY"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("file VUZUDO.KEY non trovato: pannello invariato"), std::string::npos) << r.output;
    EXPECT_EQ(readFile(panel), compiled);
}

TEST_F(Kn4cProgramTest, UsageErrorsAndHelp)
{
    const ProgramRun help = run(kKn4c, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("Exit status"), std::string::npos);

    EXPECT_EQ(run(kKn4c, {}).status, 2);
    EXPECT_EQ(run(kKn4c, {"--verbose", "A.KN4"}).status, 2);
    const ProgramRun badDir = run(kKn4c, {"--keywords", (m_dir / "nessuna").string(), "A.KN4"});
    EXPECT_EQ(badDir.status, 2);
    EXPECT_NE(badDir.output.find("is not a folder"), std::string::npos);
}

TEST_F(Kn4cProgramTest, AMissingLibraryIsNamedByItsRealPath)
{
    const fs::path copy = m_dir / "kn4c";
    fs::copy_file(kKn4c, copy);
    const ProgramRun r = run(copy, {"--check", (kArchive / "RIGHE.KN4").string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.output.find((m_dir / "libkn4edit2.so").string()), std::string::npos) << r.output;
}

} // namespace
