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
