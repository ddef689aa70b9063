// The preview values of sample panels, compiled and in source form, and
// the keyword check of the settings window.
#include "core/keywordfilecheck.h"
#include "core/panelpreview.h"
#include "managertestdir.h"

#include <kn4/filelookup.h>
#include <kn4/libraryclient.h>

#include <kn4/testfiles.h>

#include <gtest/gtest.h>

#include <filesystem>

namespace kn4::manager {
namespace {

namespace fs = std::filesystem;

std::string samplePanel(const char *name)
{
    return kn4::testing::readFile(fs::path(KN4_SOURCE_DIR) / "data/archivi/DEMO" / name);
}

// The sample source with a compiled block in front, as the library writes it.
std::string compiled(const std::string &source, const std::string &header, const std::string &code)
{
    return header + '\x1a' + code + "\r\n" + source;
}

TEST(PanelPreview, SourcePanelShowsItsSourceValuesAndIsFlagged)
{
    const PanelPreview preview = PanelPreview::fromBytes(samplePanel("DAVANTI.KN4"));
    EXPECT_TRUE(preview.isPanel);
    EXPECT_FALSE(preview.compiled);
    EXPECT_FALSE(preview.hasHeader);
    EXPECT_EQ(preview.header.part, "DAVANTI");
    EXPECT_EQ(preview.header.width, 200);
    EXPECT_EQ(preview.header.density, "13.5");
    EXPECT_EQ(preview.header.borderRight, 80);
    EXPECT_EQ(preview.header.setUp, 1);
    EXPECT_EQ(preview.borderHeight, "6");
    EXPECT_EQ(preview.needlesPerCm, "3");
    EXPECT_EQ(preview.coursesPerCm, "4.5");
    EXPECT_EQ(preview.exitValue, "1");
    EXPECT_EQ(preview.colourCodes, "lG^_jYnK");
    for (int i = 0; i < PanelPreview::kColourCount; ++i)
        EXPECT_EQ(preview.colours[i], ColourPalette::cellColour(preview.colourCodes[i] - 70)) << i;
}

TEST(PanelPreview, CompiledPanelShowsItsHeaderValues)
{
    const PanelPreview preview = PanelPreview::fromBytes(
        compiled(samplePanel("DAVANTI.KN4"), "GIROC 48 DAVANTI---,200D,13.5----,1,80D 80S,1D 1S,532,500",
                 std::string("\x94\x05\x9c\x1a\r\n", 5)));
    EXPECT_TRUE(preview.compiled);
    EXPECT_EQ(preview.header.part, "DAVANTI---");
    EXPECT_EQ(preview.header.width, 200);
    EXPECT_EQ(preview.header.density, "13.5----");
    EXPECT_EQ(preview.header.borderRight, 80);
    EXPECT_EQ(preview.header.borderLeft, 80);
    EXPECT_EQ(preview.header.totalSteps, 532);
    EXPECT_EQ(preview.header.courses, 500);
    EXPECT_EQ(preview.borderHeight, "6");
}

TEST(PanelPreview, PanelCompiledByTheLibraryShowsItsHeader)
{
    testing::TemporaryProgramDirectory dir("compiled");
    fs::copy_file(fs::path(KN4_SOURCE_DIR) / "data/archivi/DEMO/MANICA.KN4", dir.archive() / "MANICA.KN4");
    LibraryClient library;
    ASSERT_TRUE(library.load(KN4_PROGRAM_DIR)) << library.errorMessage();
    ASSERT_EQ(library.Compilazione((dir.archive() / "MANICA.KN4").string(),
                                   std::string(KN4_PROGRAM_DIR) + "/italiano/").code, KN4_COMPILED);

    const PanelPreview preview = PanelPreview::fromBytes(kn4::testing::readFile(dir.archive() / "MANICA.KN4"));
    EXPECT_TRUE(preview.compiled);
    EXPECT_EQ(preview.header.type, "GIROC");
    EXPECT_EQ(preview.header.part, "MANICA----");
    EXPECT_EQ(preview.header.width, 200);
    EXPECT_EQ(preview.header.borderRight, 30);
    EXPECT_GT(preview.header.courses, 0);
    EXPECT_EQ(preview.borderHeight, "6");
    EXPECT_EQ(preview.colourCodes.size(), 8u);
}

TEST(PanelPreview, PanelWithGraveErrorsHasAHeaderButNoCode)
{
    const PanelPreview preview =
        PanelPreview::fromBytes(compiled(samplePanel("RIGHE.KN4"), "MARIN 44 DAVANTI---,200D,13.5----,1,72D 72S,1D 1S,0,0", ""));
    EXPECT_TRUE(preview.hasHeader);
    EXPECT_FALSE(preview.compiled);
}

// Only panels the machine can knit go onto its media: one without code is
// refused; one whose edges cross (here a sleeve decreased far past its
// width, which the library compiles without a word) is flagged with the
// course where they cross.
TEST(MachineCheck, NoCodeIsRefusedCrossingEdgesAreFound)
{
    EXPECT_EQ(MachineCheck::ofBytes("just text").verdict, MachineCheck::Verdict::NotAPanel);
    EXPECT_EQ(MachineCheck::ofBytes(samplePanel("MANICA.KN4")).verdict, MachineCheck::Verdict::NoCode);
    EXPECT_EQ(MachineCheck::ofBytes(compiled(samplePanel("RIGHE.KN4"), "MARIN 44 DAVANTI---,200D,13.5----,1,72D 72S,1D 1S,0,0", ""))
                  .verdict,
              MachineCheck::Verdict::NoCode);
    EXPECT_TRUE(MachineCheck::ofBytes(samplePanel("MANICA.KN4")).refused());

    testing::TemporaryProgramDirectory dir("crossing");
    std::string source = samplePanel("MANICA.KN4");
    const std::string decrease = "calato        2, 2   , 6   ;";
    ASSERT_NE(source.find(decrease), std::string::npos);
    source.replace(source.find(decrease), decrease.size(), "calato        2, 2   , 60  ;");
    kn4::testing::writeFile(dir.archive() / "MANICA.KN4", source);
    for (const char *name : {"DAVANTI.KN4", "DIETRO.KN4", "MANICA.KN4", "RIGHE.KN4"})
        fs::copy_file(fs::path(KN4_PROGRAM_DIR) / "archivi/DEMO" / name, dir.path() / name);
    LibraryClient library;
    ASSERT_TRUE(library.load(KN4_PROGRAM_DIR)) << library.errorMessage();
    ASSERT_EQ(library.Compilazione((dir.archive() / "MANICA.KN4").string(),
                                   std::string(KN4_PROGRAM_DIR) + "/italiano/").code, KN4_COMPILED);

    const MachineCheck crossing = MachineCheck::ofFile(dir.archive() / "MANICA.KN4");
    EXPECT_EQ(crossing.verdict, MachineCheck::Verdict::EdgesCross);
    // 242 courses up to the decrease, then 2 needles every 2 courses from
    // 37: no width left at course 280.
    EXPECT_EQ(crossing.crossing, MachineCheck::Crossing::Width);
    EXPECT_EQ(crossing.course, 280);
    EXPECT_FALSE(crossing.refused());
    EXPECT_EQ(PanelPreview::fromBytes(kn4::testing::readFile(dir.archive() / "MANICA.KN4")).machine.course, 280);
    // The sample panels as the build compiled them are all sound.
    for (const char *name : {"DAVANTI.KN4", "DIETRO.KN4", "MANICA.KN4", "RIGHE.KN4"})
        EXPECT_EQ(MachineCheck::ofFile(dir.path() / name).verdict, MachineCheck::Verdict::Sound) << name;
}

// The neckline edges move with the neckline commands alone; a punch jump
// moves the engine's carriage, not the neckline.
TEST(MachineCheck, NecklineEdgesFollowTheNecklineCommandsOnly)
{
    const std::string source = "SORGENTE.KN4\r\n";
    const auto check = [&](const char *header, std::string code) {
        return MachineCheck::ofBytes(compiled(source, header, code + "\x94\x9c"));
    };
    const char *twoSided = "AB--- 44 DAVANTI---,120D,12------,2,5D 5S,2D 2S,9,9";
    EXPECT_EQ(check(twoSided, "\x94\x9b\xfe\x64\x94").verdict, MachineCheck::Verdict::Sound);
    const MachineCheck right = check(twoSided, "\x94\x80\x02\x94"); // right neckline 2 + 1 + 3
    EXPECT_EQ(right.crossing, MachineCheck::Crossing::RightNeckline);
    EXPECT_EQ(right.course, 2);
    EXPECT_EQ(check(twoSided, "\x94\x94\x83\x83").crossing, MachineCheck::Crossing::LeftNeckline);
    EXPECT_EQ(check(twoSided, "\x94\x91\x04").crossing, MachineCheck::Crossing::LeftNeckline); // left edge -1
    // Both edges at the centre, no neckline: no width left.
    EXPECT_EQ(check("AB--- 44 DAVANTI---,120D,12------,2,1D 1S,0D 0S,9,9", "\x94\x90\x91").crossing,
              MachineCheck::Crossing::Width);
}

TEST(PanelPreview, NotAPanel)
{
    EXPECT_FALSE(PanelPreview::fromBytes("just some text\r\n").isPanel);
    EXPECT_FALSE(PanelPreview::fromBytes("").isPanel);
}

TEST(KeywordFileCheck, UnknownCommandWordsAreFoundOutsideTheHeaderWords)
{
    std::string text;
    for (int line = 0; line < 60; ++line) {
        if (line == 3)
            text += "CALATTO ; typo\r\n";
        else if (line == 12)
            text += "PRODOTTO ; header word, never looked up\r\n";
        else if (line == 55)
            text += "OLTRE ; beyond the editor's 51 entries\r\n";
        else if (line == 7)
            text += "; a comment line\r\n";
        else
            text += "LISCIO ; ALIAS: maglia liscia\r\n";
    }
    const auto lookup = [](std::string_view word) { return word == "LISCIO" ? 4 : -1; };
    EXPECT_EQ(KeywordFileCheck::unknownWords(text, lookup), std::vector<std::string>{"CALATTO"});
}

// The check reads the file as the editor does: a Tab after a word is part
// of it there, so the check refuses the word too.
TEST(KeywordFileCheck, ATabTheEditorKeepsInTheWordIsRefused)
{
    const auto lookup = [](std::string_view word) { return word == "LISCIO" || word == "CALATO" ? 4 : -1; };
    EXPECT_EQ(KeywordFileCheck::unknownWords("LISCIO ; a\r\nCALATO\t; b\r\nLISCIO\t\r\n", lookup),
              (std::vector<std::string>{"CALATO\t", "LISCIO\t"}));
    EXPECT_EQ(KeywordFileCheck::unknownWords("LISCIO ; a\r\n CALATO ; b\r\n", lookup), std::vector<std::string>{});
}

TEST(KeywordFileCheck, ShippedKeywordFilesAreKnownToTheLibrary)
{
    LibraryClient library;
    ASSERT_TRUE(library.load(KN4_PROGRAM_DIR)) << library.errorMessage();
    const auto lookup = [&library](std::string_view word) { return library.CercaFunzione(word).index; };
    for (const char *language : {"italiano", "inglese", "spagnolo"}) {
        const fs::path folder = fs::path(KN4_SOURCE_DIR) / "data" / language;
        const auto file = findFileIgnoringCase(folder, KeywordFileCheck::kFileName);
        if (!file)
            continue;
        EXPECT_EQ(KeywordFileCheck::unknownWords(kn4::testing::readFile(*file), lookup), std::vector<std::string>{})
            << language;
    }
}

} // namespace
} // namespace kn4::manager
