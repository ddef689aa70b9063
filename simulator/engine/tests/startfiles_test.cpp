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
    EXPECT_EQ(full.text(110), "riga 110");
    EXPECT_EQ(full.text(111), "");
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

    EXPECT_EQ(SimSettingsFile::fromText("32896,255,0\r\n").status, SimSettingsFile::Status::Unreadable);
    // A carrier side beyond a byte.
    std::string text = SimSettingsFile::toText(SimSettings());
    text.replace(text.find("\r\n1\r\n"), 5, "\r\n300\r\n");
    EXPECT_EQ(SimSettingsFile::fromText(text).status, SimSettingsFile::Status::Unreadable);
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
