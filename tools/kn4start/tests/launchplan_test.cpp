#include "launchplan.h"

#include "kn4/testfiles.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace fs = std::filesystem;
using kn4::Launcher;

namespace {

TEST(LaunchSettings, LanguageAndEditorParametersComeFromTheManagerSettings)
{
    const std::string twelve = "/320/1/30/3/0\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n";
    struct Case { std::string settings; const char *folder; const char *parameters; };
    const Case cases[] = {
        {twelve + "1\r\n", "inglese", "/320/1/30/3/0"},
        {twelve + "2\r\n", "spagnolo", "/320/1/30/3/0"},
        {twelve + "0\r\n", "italiano", "/320/1/30/3/0"},
        {twelve + "7\r\n", "italiano", "/320/1/30/3/0"},
        {"200/1/30/3/1\n", "italiano", "/200/1/30/3/1"},  // no language line
        {"", "italiano", ""},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Launcher::languageFolder(c.settings), c.folder) << c.settings;
        EXPECT_EQ(Launcher::editorParameters(c.settings), c.parameters) << c.settings;
    }
}

class LaunchPlanTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_root = fs::temp_directory_path() / ("kn4start-" + std::to_string(::getpid()));
        fs::create_directories(m_root / "bin");
        fs::create_directories(m_root / "user");
        for (const char *program : {"Kn4Edit2", "simulatore", "stampa", "kn4manager"})
            kn4::testing::writeFile(m_root / "bin" / program, "");
        kn4::testing::writeFile(m_root / "user" / "kn4manager.ini",
                                "/320/1/30/3/0\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n2\r\n");
        m_locations.binaryDirectory = m_root / "bin";
        m_locations.programDirectory = m_root / "user";
        m_locations.installedData = m_root / "share";
    }
    void TearDown() override { fs::remove_all(m_root); }

    fs::path m_root;
    kn4::ProgramLocations m_locations;
};

TEST_F(LaunchPlanTest, ProgramsStartInTheProgramDirectoryWithTheManagersArgumentStrings)
{
    const std::string user = (m_root / "user").string();
    struct Case { const char *program; const char *panel; std::string executable; std::string argument; };
    const Case cases[] = {
        {"Kn4Edit2", "/a/DAVANTI.KN4", "Kn4Edit2", "/a/DAVANTI.KN4," + user + "/spagnolo//320/1/30/3/0"},
        {"Kn4Edit2", "", "Kn4Edit2", user + "/NUOVO.KN4," + user + "/spagnolo//320/1/30/3/0"},
        {"simulatore", "/a/DAVANTI.KN4", "simulatore", "/a/DAVANTI.KN4," + user + "/spagnolo/"},
        {"stampa", "/a/DAVANTI.KN4", "stampa", "/a/DAVANTI.KN4," + user + "/spagnolo/"},
        // the manager works in the program directory; a panel is chosen in it
        {"kn4manager", "/a/DAVANTI.KN4", "kn4manager", user},
        {"simulatore", "", "kn4manager", user},
    };
    for (const Case &c : cases) {
        const kn4::LaunchPlan plan = Launcher::plan(m_locations, c.program, c.panel);
        EXPECT_TRUE(plan.error.empty()) << plan.error;
        EXPECT_EQ(plan.executable, m_root / "bin" / c.executable);
        EXPECT_EQ(plan.argument, c.argument) << c.program;
        EXPECT_EQ(plan.workingDirectory, m_root / "user");
    }
}

TEST_F(LaunchPlanTest, UnknownOrMissingProgramsAreRefused)
{
    EXPECT_FALSE(Launcher::plan(m_locations, "rm", "").error.empty());
    fs::remove(m_root / "bin" / "stampa");
    EXPECT_NE(Launcher::plan(m_locations, "stampa", "/a/X.KN4").error.find("not installed"), std::string::npos);
}

} // namespace
