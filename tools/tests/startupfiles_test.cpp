// Every start-up file of every program, with a folder in its place (and a
// FIFO as the panel): the program started as a process ends within seconds
// with its status and a message that names the trouble, never an abort
// (status 134) and never a hang.

#include "kn4/tempfolder.h"
#include "kn4/testfiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

const fs::path kProgramDir = KN4_PROGRAM_DIR;
#ifdef KN4_MESSAGEBOX_SHIM
const std::string kShim = KN4_MESSAGEBOX_SHIM;
#else
const std::string kShim;
#endif

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
    std::string output;
};

// Runs program from folder with at most 20 seconds: `timeout` ends a hang
// with status 124. A Qt program gets the message box library preloaded (the
// program alone, not `timeout`).
ProgramRun run(const fs::path &folder, const fs::path &program, bool qt, const std::vector<std::string> &args)
{
    std::string command = "cd " + quoted(folder.string()) + " && QT_QPA_PLATFORM=offscreen timeout -k 2 20";
    if (qt)
        command += " env LD_PRELOAD=" + quoted(kShim) + " ASAN_OPTIONS=verify_asan_link_order=0:${ASAN_OPTIONS}";
    command += " " + quoted(program.string());
    for (const std::string &arg : args)
        command += " " + quoted(arg);
    command += " </dev/null 2>&1";
    ProgramRun result;
    FILE *pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, n);
    const int wait = ::pclose(pipe);
    result.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : 128 + WTERMSIG(wait);
    return result;
}

// A program directory of the test's own: the language folder, a compiled
// panel, the manager's files, a diskette image and a controller program.
class StartupFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::copy(kProgramDir / "italiano", dir("italiano"), fs::copy_options::recursive);
        fs::copy_file(kProgramDir / "archivi" / "DEMO" / "DAVANTI.KN4", dir("DAVANTI.KN4"));
        fs::create_directories(dir("programma/archivi/DEMO"));
        fs::copy(kProgramDir / "italiano", dir("programma/italiano"), fs::copy_options::recursive);
        for (const char *file : {"kn4manager.ini", "lingua.ini"})
            fs::copy_file(kProgramDir / file, dir("programma") / file);
        kn4::testing::writeFile(dir("programma/kn4manager.sav"), " 1\r\n");
        kn4::testing::writeFile(dir("MOTORE.EXE"), std::string(3000, 'x'));
    }
    fs::path dir(const std::string &name) const { return m_temp.path() / name; }

    kn4::testing::TempFolder m_temp{"kn4startup"};
};

void toFolder(const fs::path &file)
{
    fs::remove(file);
    fs::create_directories(file);
}

void toFifo(const fs::path &file)
{
    fs::remove(file);
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
}

TEST_F(StartupFiles, AFolderOrAFifoInPlaceOfAFileGivesAMessageNeverAnAbort)
{
    const std::string panel = dir("DAVANTI.KN4").string();
    const std::string language = dir("italiano").string() + "/";
    const std::string line = panel + "," + language;
    const bool gui = !kShim.empty();
    const struct Case
    {
        const char *file;       // turned into a folder, or a FIFO with "fifo:"
        const char *program;
        std::vector<std::string> args;
        std::vector<int> statuses; // any of these
        const char *message;       // a text the output must hold; "" for none
        bool needsGui;
    } cases[] = {
        // kn4c: the panel and the keyword file
        {"DAVANTI.KN4", "kn4c", {"--keywords", language, panel}, {3}, "is a folder", false},
        {"fifo:DAVANTI.KN4", "kn4c", {"--keywords", language, panel}, {3}, "is not a regular file", false},
        {"italiano/VUZUDO.KEY", "kn4c", {"--keywords", language, panel}, {3}, "VUZUDO.KEY non trovato", false},
        // kn4check: the panel, the keyword, language and help files
        {"DAVANTI.KN4", "kn4check", {"--lang", language, panel}, {2}, "DAVANTI.KN4: Is a directory", false},
        {"fifo:DAVANTI.KN4", "kn4check", {"--lang", language, panel}, {2}, "DAVANTI.KN4: non è un file regolare",
         false},
        {"italiano/VUZUDO.KEY", "kn4check", {"--lang", language, panel}, {2}, "VUZUDO.KEY: Is a directory", false},
        {"italiano/kn4edit.ini", "kn4check", {"--lang", language, panel}, {0, 1}, "kn4edit.ini: Is a directory",
         false},
        {"italiano/Kn4Edit.123", "kn4check", {"--lang", language, panel}, {0, 1}, "", false},
        // kn4sim: the panel and the settings
        {"DAVANTI.KN4", "kn4sim", {panel}, {1}, "Is a directory", false},
        {"fifo:DAVANTI.KN4", "kn4sim", {panel}, {1}, "non è un file regolare", false},
        {"simulatore.sav", "kn4sim", {panel}, {0}, "simulatore.sav: Is a directory", false},
        {"simulatore.sav", "kn4sim", {"--settings", dir("simulatore.sav").string(), panel}, {0},
         "simulatore.sav: Is a directory", false},
        // kn4disk: the image, the controller program and the panels
        {"IMG.vlp", "kn4disk", {"check", dir("IMG.vlp").string()}, {2}, "Is a directory", false},
        {"fifo:IMG.vlp", "kn4disk", {"list", dir("IMG.vlp").string()}, {2}, "non è un file regolare", false},
        {"IMG.vlp", "kn4disk", {"extract", dir("IMG.vlp").string(), dir("fuori").string()}, {2},
         "Is a directory", false},
        {"MOTORE.EXE", "kn4disk", {"build", "--plc", dir("MOTORE.EXE").string(), "-o", dir("N.vlp").string(), panel},
         {1, 2}, "MOTORE.EXE", false},
        {"DAVANTI.KN4", "kn4disk", {"build", "--plc", dir("MOTORE.EXE").string(), "-o", dir("N.vlp").string(), panel},
         {1, 2}, "DAVANTI.KN4", false},
        // kn4start: the manager's settings
        {"programma/kn4manager.ini", "kn4start", {"--print", "Kn4Edit2"}, {0}, "kn4manager.ini: Is a directory",
         false},
        // stampa: the panel, its labels and the keyword file
        {"DAVANTI.KN4", "stampa", {"--listing", line}, {1}, "Is a directory", true},
        {"fifo:DAVANTI.KN4", "stampa", {"--listing", line}, {1}, "non è un file regolare", true},
        {"italiano/stampa.ini", "stampa", {"--listing", line}, {1}, "File stampa.ini non trovato", true},
        {"italiano/VUZUDO.KEY", "stampa", {"--listing", line}, {1}, "File VUZUDO.KEY non trovato", true},
        {"DAVANTI.KN4", "stampa", {line}, {1}, "kn4-message critical", true},
        // the editor: the panel, the keyword, language and help files
        {"italiano/VUZUDO.KEY", "Kn4Edit2", {line}, {1}, "kn4-message critical: Kn4Edit: Il file VUZUDO.KEY", true},
        {"italiano/kn4edit.ini", "Kn4Edit2", {line}, {0}, "kn4edit.ini: Is a directory", true},
        {"italiano/Kn4Edit.123", "Kn4Edit2", {line}, {0}, "kn4-window", true},
        {"DAVANTI.KN4", "Kn4Edit2", {line}, {0}, "DAVANTI.KN4: Is a directory", true},
        {"fifo:DAVANTI.KN4", "Kn4Edit2", {line}, {0}, "DAVANTI.KN4: non è un file regolare", true},
        // the simulator: the panel, its labels and its settings
        {"DAVANTI.KN4", "simulatore", {line}, {1}, "Is a directory", true},
        {"fifo:DAVANTI.KN4", "simulatore", {line}, {1}, "non è un file regolare", true},
        {"italiano/simulatore.ini", "simulatore", {line}, {1}, "simulatore.ini: Is a directory", true},
        {"simulatore.sav", "simulatore", {line}, {0}, "simulatore.sav: Is a directory", true},
        // the manager: its settings, texts and state
        {"programma/kn4manager.ini", "kn4manager", {dir("programma").string()}, {1}, "kn4manager.ini", true},
        {"programma/lingua.ini", "kn4manager", {dir("programma").string()}, {1}, "lingua.ini", true},
        {"programma/kn4manager.sav", "kn4manager", {dir("programma").string()}, {0}, "kn4-window", true},
    };
    for (const Case &c : cases) {
        // Only the programs this build makes.
        if ((c.needsGui && !gui) || !fs::exists(kProgramDir / c.program))
            continue;
        std::string file = c.file;
        const bool fifo = file.rfind("fifo:", 0) == 0;
        if (fifo)
            file = file.substr(5);
        const fs::path target = dir(file);
        const fs::path kept = target.string() + ".kept";
        if (fs::exists(target))
            fs::rename(target, kept);
        if (fifo)
            toFifo(target);
        else
            toFolder(target);

        fs::path program = kProgramDir / c.program;
        if (std::string(c.program) == "kn4start") {
            // kn4start works in the program directory it lies in, beside
            // the programs it starts.
            fs::copy_file(program, dir("programma/kn4start"), fs::copy_options::overwrite_existing);
            kn4::testing::writeFile(dir("programma/Kn4Edit2"), "#!/bin/sh\n");
            fs::permissions(dir("programma/Kn4Edit2"), fs::perms::owner_all);
            program = dir("programma/kn4start");
        }
        const ProgramRun r = run(m_temp.path(), program, c.needsGui, c.args);
        const std::string what = std::string(c.program) + " with " + c.file + (fifo ? "" : " a folder");
        EXPECT_NE(r.status, 134) << what << "\n" << r.output;
        EXPECT_NE(r.status, 124) << what << " hangs\n" << r.output;
        EXPECT_NE(std::find(c.statuses.begin(), c.statuses.end(), r.status), c.statuses.end())
            << what << ": status " << r.status << "\n" << r.output;
        EXPECT_NE(r.output.find(c.message), std::string::npos) << what << "\n" << r.output;

        fs::remove_all(target);
        if (fs::exists(kept))
            fs::rename(kept, target);
    }
}

} // namespace
