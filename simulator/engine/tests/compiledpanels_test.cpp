// Sample panels compiled with the real compiler library, then read and
// simulated as the simulator does.
#include "simulator/knitengine.h"
#include "simulator/panelhead.h"

#include "kn4/libraryclient.h"
#include "kn4/testfiles.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace kn4;
namespace fs = std::filesystem;

namespace {

class CompiledPanels : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("kn4_simpanels_" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
        fs::copy_file(fs::path(KN4_PROGRAM_DIR) / "italiano" / "VUZUDO.KEY", m_dir / "VUZUDO.KEY");
        ASSERT_TRUE(m_library.load(KN4_PROGRAM_DIR)) << m_library.errorMessage();
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // Compiles a copy of the source and reads its head.
    PanelHead compile(const std::string &name, const std::string &source)
    {
        const fs::path panel = m_dir / name;
        kn4::testing::writeFile(panel, source);
        const auto result = m_library.Compilazione(panel.string(), m_dir.string());
        EXPECT_EQ(result.code, KN4_COMPILED) << result.report;
        return PanelHead::load(panel);
    }

    fs::path m_dir;
    LibraryClient m_library;
};

} // namespace

TEST_F(CompiledPanels, SamplePanelsGiveTheirHeadValues)
{
    struct Case
    {
        const char *name;
        std::int32_t ribRight, steps, courses;
    };
    const Case cases[] = {
        {"DAVANTI.KN4", 80, 311, 282},
        {"DIETRO.KN4", 80, 314, 282},
        {"MANICA.KN4", 30, 280, 256},
        {"RIGHE.KN4", 72, 220, 212},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const PanelHead head =
            compile(c.name, kn4::testing::readFile(fs::path(KN4_SOURCE_DIR) / "data/archivi/DEMO" / c.name));
        ASSERT_TRUE(head.ok());
        EXPECT_EQ(head.setup(), 1);
        EXPECT_EQ(head.density(), "13.5----");
        EXPECT_EQ(head.ribRight(), c.ribRight);
        EXPECT_EQ(head.ribLeft(), c.ribRight);
        EXPECT_EQ(head.necklineRight(), 1);
        EXPECT_EQ(head.steps(), c.steps);
        EXPECT_EQ(head.courses(), c.courses);
        EXPECT_EQ(head.borderHeight(), 6);
        EXPECT_EQ(head.needlesPerCm(), 3);
        EXPECT_EQ(head.coursesPerCm(), 4.5);
        KnitEngine engine;
        engine.setHead(head);
        engine.maglia();
        // The set-up byte's course, then every course of the panel.
        EXPECT_EQ(engine.state().course, c.courses + 2);
    }
}

// 2000 alternating stripe pairs: one code byte per course, 4000 bytes of
// code, and a note holding "defin" before the program.
TEST_F(CompiledPanels, APanelWithMoreThan3000BytesOfCodeIsSimulatedWhole)
{
    const std::string source =
        "SORGENTE.KN4\r\n"
        "tipo LUNGO, taglia 44,parte DAVANTI---  \r\n"
        "frontura 200, densita 12------          \r\n"
        "costina 50                              \r\n"
        "scollo    1                             \r\n"
        ";Alt.bordo 2----Ag.cm 3----Ran.cm 4---- \r\n"
        "predisposizione 1                       \r\n"
        "uscita 1                                \r\n"
        ";una definizione lunga                  \r\n"
        ";                                       \r\n"
        ";                                       \r\n"
        "; --- Inizio programma ;lGFjYnKM\r\n"
        "definizione PROFILO ESTERNO             \r\n"
        "liscio         , 4000, 1  ;            \r\n"
        "definizione RIGATURA                    \r\n"
        "rigato        1, 1   ,-1   ;            \r\n"
        "rigato        2, 1   , 2000;            \r\n";
    const PanelHead head = compile("LUNGO.KN4", source);
    ASSERT_TRUE(head.ok());
    EXPECT_GT(head.codeBlock().size(), 3000u);
    EXPECT_EQ(head.courses(), 4000);
    KnitEngine engine;
    engine.setHead(head);
    engine.maglia();
    EXPECT_EQ(engine.state().course, 4002);
    EXPECT_EQ(engine.stitches().total, 100.0 * 4002);
    EXPECT_NEAR(engine.stitches().carriers[0], engine.stitches().carriers[1], 200);
}
