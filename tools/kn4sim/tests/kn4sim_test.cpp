// Runs the built kn4sim the way a person or a script runs it, on sample
// panels compiled by the real library.
#include "kn4/libraryclient.h"
#include "kn4/testfiles.h"
#include "panelsimulation.h"
#include "simulator/drawingraster.h"
#include "simulator/simsettings.h"
#include "kn4/colourpalette.h"
#include "kn4/compiledpanel.h"
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

// Standard output, and the error stream too when asked.
ToolRun runKn4sim(const fs::path &dir, const std::string &arguments, bool errors = false)
{
    const std::string command =
        "cd '" + dir.string() + "' && '" KN4SIM_PROGRAM "' " + arguments + (errors ? " 2>&1" : " 2>/dev/null");
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

// The panel's own colour codes ("lG^_jYnK" in RIGHE) replace the settings'
// colours in the text, the JSON and the picture.
TEST_F(Kn4sim, ThePanelsColourCodesColourTextJsonAndPicture)
{
    std::array<Colour, 8> expected{};
    const std::string codes = "lG^_jYnK";
    for (std::size_t k = 0; k < 8; ++k)
        expected[k] = ColourPalette::cellColour(codes[k] - ColourPalette::kFirstCode);
    ASSERT_NE(expected[1], SimSettings().colours[1]);

    const ToolRun text = runKn4sim(m_dir, "--settings missing.sav RIGHE.KN4");
    char hex[16];
    std::snprintf(hex, sizeof hex, "#%02x%02x%02x", redOf(expected[1]), greenOf(expected[1]), blueOf(expected[1]));
    EXPECT_NE(text.out.find(hex), std::string::npos) << hex << "\n" << text.out;
    const ToolRun json = runKn4sim(m_dir, "--json --settings missing.sav RIGHE.KN4");
    std::string list = "\"colours\": [";
    for (std::size_t k = 0; k < 8; ++k)
        list += (k ? ", " : "") + std::to_string(expected[k]);
    EXPECT_NE(json.out.find(list + "]"), std::string::npos) << list << "\n" << json.out;

    // The picture: carrier 2's stripes in the panel's colour 2.
    const PanelSimulation result = PanelSimulation::run((m_dir / "RIGHE.KN4").string(), SimSettings(), true);
    DrawingRaster raster(800, 800);
    raster.paint(result.drawing);
    int colour2 = 0, settingsColour2 = 0;
    for (int y = 0; y < 800; ++y) {
        colour2 += raster.pixel(400, y) == expected[1];
        settingsColour2 += raster.pixel(400, y) == SimSettings().colours[1];
    }
    EXPECT_GT(colour2, 0);
    EXPECT_EQ(settingsColour2, 0);
    EXPECT_EQ(result.png(800), raster.png());
}

// --png draws at the settings' scale, as the window does.
TEST_F(Kn4sim, ThePictureFollowsTheSettingsScale)
{
    auto top = [&](int scale) {
        SimSettings settings;
        settings.scale = std::int16_t(scale);
        const PanelSimulation result = PanelSimulation::run((m_dir / "DAVANTI.KN4").string(), settings, true);
        std::int32_t y = kDrawingAreaSize;
        for (const DrawPrimitive &p : result.drawing)
            if (p.kind == DrawPrimitive::Kind::Box)
                y = std::min({y, p.y1, p.y2});
        return kDrawingAreaSize - y;
    };
    EXPECT_GT(top(2), 0);
    EXPECT_EQ(top(6), 3 * top(2));

    SimSettings large;
    large.scale = 20;
    ASSERT_TRUE(SimSettingsFile::save(m_dir / "grande.sav", large));
    EXPECT_EQ(runKn4sim(m_dir, "--png piccolo.png DAVANTI.KN4").status, 0);
    EXPECT_EQ(runKn4sim(m_dir, "--settings grande.sav --png grande.png DAVANTI.KN4").status, 0);
    EXPECT_NE(kn4::testing::readFile(m_dir / "piccolo.png"), kn4::testing::readFile(m_dir / "grande.png"));
}

// A panel compiled with grave errors holds a header line but no code: it is
// refused with the manager's words, on the error stream, exit status 1.
TEST_F(Kn4sim, APanelWithGraveErrorsIsRefused)
{
    const CompiledPanel davanti(kn4::testing::readFile(m_dir / "DAVANTI.KN4"));
    kn4::testing::writeFile(m_dir / "GRAVE.KN4", std::string(davanti.headerText()) + '\x1a' +
                                                    std::string(CompiledPanel::kMarker) +
                                                    std::string(davanti.source()));
    for (const char *options : {"", "--json "}) {
        const ToolRun run = runKn4sim(m_dir, std::string(options) + "GRAVE.KN4", true);
        EXPECT_EQ(run.status, 1) << options;
        EXPECT_NE(run.out.find("kn4sim: GRAVE.KN4: this part contains errors"), std::string::npos) << run.out;
    }
}

// Paths are the file system's bytes, shown as the UTF-8 they are.
TEST_F(Kn4sim, APathIsShownAsItsOwnText)
{
    const std::string name = "MANIC\xC3\x80.KN4";
    fs::copy_file(m_dir / "RIGHE.KN4", m_dir / name);
    EXPECT_NE(runKn4sim(m_dir, "'" + name + "'").out.find("=== " + name + " ==="), std::string::npos);
    EXPECT_NE(runKn4sim(m_dir, "--json '" + name + "'").out.find("{\"panel\": \"" + name + "\""),
              std::string::npos);
    EXPECT_EQ(pathText("a\xC0\xE0" "b"), "a\xEF\xBF\xBD\xEF\xBF\xBD" "b");
}
