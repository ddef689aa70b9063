// Runs the built kn4sim the way a person or a script runs it, on sample
// panels compiled by the real library.
#include "kn4/libraryclient.h"
#include "kn4/testfiles.h"
#include "simulator/simsettings.h"
#include "simtoolarguments.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <sys/wait.h>

using namespace kn4;
namespace fs = std::filesystem;

namespace {

struct ToolRun
{
    int status = -1;
    std::string out;
};

ToolRun runKn4sim(const fs::path &dir, const std::string &arguments)
{
    const std::string command = "cd '" + dir.string() + "' && '" KN4SIM_PROGRAM "' " + arguments + " 2>/dev/null";
    ToolRun run;
    FILE *pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe))
        run.out += buffer;
    const int status = pipe ? ::pclose(pipe) : -1;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class Kn4sim : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("kn4sim_test_" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
        fs::copy_file(fs::path(KN4_PROGRAM_DIR) / "italiano" / "VUZUDO.KEY", m_dir / "VUZUDO.KEY");
        LibraryClient library;
        ASSERT_TRUE(library.load(KN4_PROGRAM_DIR)) << library.errorMessage();
        for (const char *name : {"DAVANTI.KN4", "RIGHE.KN4"}) {
            fs::copy_file(fs::path(KN4_SOURCE_DIR) / "data/archivi/DEMO" / name, m_dir / name);
            ASSERT_EQ(library.Compilazione((m_dir / name).string(), m_dir.string()).code, KN4_COMPILED);
        }
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path m_dir;
};

} // namespace

TEST(SimToolArguments, ParsesTheCommandLine)
{
    const SimToolArguments args = SimToolArguments::parse({"--json", "--settings=s.sav", "--", "-p.kn4"});
    EXPECT_TRUE(args.json);
    EXPECT_EQ(args.settingsFile, "s.sav");
    EXPECT_EQ(args.panels, std::vector<std::string>{"-p.kn4"});
    EXPECT_FALSE(SimToolArguments::parse({"--png", "a.png", "a.kn4", "b.kn4"}).error.empty());
    EXPECT_FALSE(SimToolArguments::parse({"--settings"}).error.empty());
    EXPECT_FALSE(SimToolArguments::parse({}).error.empty());
}

TEST_F(Kn4sim, JsonHasOneObjectPerPanelWithTheDocumentedKeys)
{
    SimSettings settings;
    settings.referenceWeight = 300;
    settings.referenceStitches = 41840;  // DAVANTI's own stitches
    ASSERT_TRUE(SimSettingsFile::save(m_dir / "peso.sav", settings));
    const ToolRun run = runKn4sim(m_dir, "--json --settings peso.sav DAVANTI.KN4 NESSUNO.KN4");
    EXPECT_EQ(run.status, 1);  // one panel cannot be simulated

    std::vector<std::string> keys;
    const std::regex key("\"([a-z_]+)\": ");
    for (auto it = std::sregex_iterator(run.out.begin(), run.out.end(), key); it != std::sregex_iterator(); ++it)
        keys.push_back((*it)[1]);
    const std::vector<std::string> expected = {
        "panel", "setup", "density", "rib_right", "rib_left", "neckline_right", "neckline_left", "steps",
        "header_courses", "border_height", "needles_per_cm", "courses_per_cm", "colours", "courses",
        "right_edge", "left_edge", "outer", "inner", "stitches_total", "stitches", "stripe_errors",
        "weight_total", "weights", "panel", "error"};
    EXPECT_EQ(keys, expected);
    EXPECT_TRUE(run.out.starts_with("[\n {\"panel\": \"DAVANTI.KN4\", \"setup\": 1, \"density\": \"13.5----\""))
        << run.out;
    EXPECT_NE(run.out.find("\"courses\": 284, "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"stitches_total\": 41840, "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"weight_total\": 300, "), std::string::npos) << run.out;
    EXPECT_TRUE(run.out.ends_with("\"error\": \"the panel file cannot be opened: No such file or directory\"}\n]\n"))
        << run.out;
}

TEST_F(Kn4sim, PrintsTextAndWritesThePicture)
{
    const ToolRun text = runKn4sim(m_dir, "--settings missing.sav RIGHE.KN4");
    EXPECT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("stitches: 30648 in all; 1: 23736 2: 6912"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("weight: no weight reference set"), std::string::npos) << text.out;

    const ToolRun picture = runKn4sim(m_dir, "--png righe.png RIGHE.KN4");
    EXPECT_EQ(picture.status, 0);
    EXPECT_TRUE(kn4::testing::readFile(m_dir / "righe.png").starts_with("\x89PNG\r\n\x1a\n"));
    EXPECT_EQ(runKn4sim(m_dir, "--png a.png RIGHE.KN4 DAVANTI.KN4").status, 2);
}
