#include "simulator/simarguments.h"
#include "simulator/simlabels.h"
#include "simulator/simsettings.h"

#include "kn4/testfiles.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace kn4;

TEST(SimArguments, SplitsAtTheFirstCommaWithoutQuotes)
{
    struct Case
    {
        const char *line, *panel, *dir;
        bool ok;
    };
    const Case cases[] = {
        {"\"/a/DAVANTI.KN4,/prog/italiano/\"", "/a/DAVANTI.KN4", "/prog/italiano/", true},
        {"p\"an\"el.kn4,dir/,more", "panel.kn4", "dir/,more", true},
        {"panel.kn4", "panel.kn4", "", false},
        {",dir/", "", "dir/", false},
    };
    for (const Case &c : cases) {
        const SimArguments args = SimArguments::parse(c.line);
        EXPECT_EQ(args.panelPath, c.panel) << c.line;
        EXPECT_EQ(args.settingsDir, c.dir) << c.line;
        EXPECT_EQ(args.ok(), c.ok) << c.line;
    }
}

TEST(SimLabels, FirstDigitChoosesTheColumn)
{
    const std::string file = "1\r\nDati,Data,Datos\r\nsolo italiano\r\n,,terzo\r\n";
    const SimLabels labels = SimLabels::fromText(file);
    EXPECT_EQ(labels.text(1), "Data");
    EXPECT_EQ(labels.text(2), "");  // fewer columns than the language's
    EXPECT_EQ(labels.text(3), "");
    EXPECT_EQ(SimLabels::fromText("0\r\nDati,Data\r\n").text(1), "Dati");
    EXPECT_EQ(SimLabels::fromText("2\r\nDati,Data\r\n,,terzo\r\n").text(2), "terzo");

    std::string many = "0\r\n";
    for (int k = 1; k <= 115; ++k)
        many += "riga " + std::to_string(k) + "\r\n";
    const SimLabels full = SimLabels::fromText(many);
    EXPECT_EQ(full.text(111), "riga 111");
    EXPECT_EQ(full.text(112), "");
    EXPECT_EQ(full.text(0), "");
    EXPECT_FALSE(SimLabels::load("/nonexistent/dir/").loaded());
}

TEST(SimSettingsFile, MissingOrShortFilesGiveTheDefaults)
{
    const auto missing = SimSettingsFile::load("/nonexistent/simulatore.sav");
    EXPECT_EQ(missing.status, SimSettingsFile::Status::Missing);
    EXPECT_EQ(SimSettingsFile::toText(missing.settings), SimSettingsFile::toText(SimSettings()));
    EXPECT_EQ(missing.settings.background, 32896);
    EXPECT_EQ(missing.settings.colours[7], 16711680);
    EXPECT_EQ(missing.settings.scale, 10);
    EXPECT_EQ(missing.settings.resolution, "1");

    const auto folder = SimSettingsFile::load("/");
    EXPECT_EQ(folder.status, SimSettingsFile::Status::Unreadable);
    EXPECT_EQ(folder.reason, "/: Is a directory");
    EXPECT_EQ(SimSettingsFile::fromText("").status, SimSettingsFile::Status::Unreadable);
}

// One value that cannot be read falls back alone; the rest of the file
// stands, so the file written back on closing keeps it.
TEST(SimSettingsFile, AValueThatCannotBeReadFallsBackAlone)
{
    SimSettings saved;
    saved.background = 111;
    saved.colours = {1, 2, 3, 4, 5, 6, 7, 8};
    saved.carrierSides = {2, 2, 2, 2, 0, 0, 0, 0};
    saved.referencePath = "archivi/DEMO/DAVANTI.KN4";
    saved.referenceStitches = 41840;
    saved.referenceWeight = 300;
    const std::string good = SimSettingsFile::toText(saved);
    const auto nthLine = [&](std::string text, int line, const std::string &value) {
        std::size_t at = 0;
        for (int i = 0; i < line; ++i)
            at = text.find("\r\n", at) + 2;
        text.replace(at, text.find("\r\n", at) - at, value);
        return text;
    };
    const struct
    {
        std::string text;
        std::string ignored;
        void (*fallBack)(SimSettings &);
    } cases[] = {
        {nthLine(good, 11, "300"), "guidafilo 3 = 300", [](SimSettings &s) { s.carrierSides[2] = 1; }},
        {nthLine(good, 0, "-5"), "colore di fondo = -5", [](SimSettings &s) { s.background = 32896; }},
        {nthLine(good, 22, "99999"), "peso di riferimento = 99999", [](SimSettings &s) { s.referenceWeight = 0; }},
        {good.substr(0, good.find("\"archivi")), "valori mancanti da pannello di riferimento in poi",
         [](SimSettings &s) {
             s.referencePath.clear();
             s.referenceStitches = 0;
             s.referenceWeight = 0;
         }},
    };
    for (const auto &c : cases) {
        const auto read = SimSettingsFile::fromText(c.text);
        EXPECT_EQ(read.status, SimSettingsFile::Status::Partial) << c.ignored;
        EXPECT_EQ(read.ignored, std::vector<std::string>{c.ignored});
        SimSettings expected = saved;
        c.fallBack(expected);
        EXPECT_EQ(SimSettingsFile::toText(read.settings), SimSettingsFile::toText(expected)) << c.ignored;
    }
}

TEST(SimSettingsFile, ReadsCommaSeparatedValuesInThePartOrder)
{
    const auto read = SimSettingsFile::fromText(
        "1,2,3,4,5,6,7,8,9\r\n2,1,0,1,2,1,1,1,1\r\n0,1,\"C:\\archivi\\A,B.KN4\",4500,300,\"0\"\r\n");
    ASSERT_EQ(read.status, SimSettingsFile::Status::Loaded);
    const SimSettings &s = read.settings;
    EXPECT_EQ(s.background, 1);
    EXPECT_EQ(s.colours[7], 9);
    EXPECT_EQ(s.carrierSides[0], 2);
    EXPECT_EQ(s.countStart, 1);
    EXPECT_EQ(s.scale, 2);  // 0 is raised to 2, the copy too
    EXPECT_EQ(s.savedScale, 2);
    EXPECT_EQ(s.stripeMode, 1);
    EXPECT_EQ(s.referencePath, "C:\\archivi\\A,B.KN4");
    EXPECT_EQ(s.referenceStitches, 4500);
    EXPECT_EQ(s.referenceWeight, 300);
    EXPECT_EQ(s.resolution, "0");
    EXPECT_EQ(s.savedResolution, "0");
}

TEST(SimSettingsFile, WritesOneValuePerLineAndReadsItBack)
{
    SimSettings s;
    s.colours[2] = 12345;
    s.carrierSides[7] = 0;
    s.referencePath = "archivi/DEMO/DAVANTI.KN4";
    s.referenceStitches = 41840;
    s.referenceWeight = 300;
    s.resolution = "3";  // the print preview's value is never stored
    s.savedResolution = "0";
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "kn4_simsettings_test";
    std::filesystem::create_directories(dir);
    ASSERT_TRUE(SimSettingsFile::save(dir / "simulatore.sav", s));
    EXPECT_EQ(kn4::testing::readFile(dir / "simulatore.sav"),
              "32896\r\n255\r\n16776960\r\n12345\r\n255\r\n16776960\r\n0\r\n12632256\r\n16711680\r\n"
              "1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n10\r\n0\r\n\"archivi/DEMO/DAVANTI.KN4\"\r\n"
              "41840\r\n300\r\n\"0\"\r\n");
    const auto read = SimSettingsFile::load(dir / "simulatore.sav");
    ASSERT_EQ(read.status, SimSettingsFile::Status::Loaded);
    EXPECT_EQ(read.settings.referencePath, s.referencePath);
    EXPECT_EQ(read.settings.colours, s.colours);
    EXPECT_EQ(read.settings.resolution, "0");
    // A folder in the file's place: the save fails and says so.
    std::filesystem::create_directories(dir / "blocked.sav");
    std::string error;
    EXPECT_FALSE(SimSettingsFile::save(dir / "blocked.sav", s, &error));
    EXPECT_FALSE(error.empty());
    std::filesystem::remove_all(dir);
}
