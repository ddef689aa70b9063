#include "kn4/colourpalette.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace {

using kn4::ColourPalette;
using kn4::Colour;
using kn4::rgb;

TEST(ColourPalette, CodesRunFromFToLowercaseU)
{
    EXPECT_EQ(ColourPalette::cellCode(0), 'F');
    EXPECT_EQ(ColourPalette::cellCode(22), '\\');
    EXPECT_EQ(ColourPalette::cellCode(26), '`');
    EXPECT_EQ(ColourPalette::cellCode(40), 'n');
    EXPECT_EQ(ColourPalette::cellCode(47), 'u');
}

TEST(ColourPalette, ColourValuesKeepRedInTheLowByte)
{
    EXPECT_EQ(rgb(255, 0, 0), 0x0000FF);
    EXPECT_EQ(rgb(0, 0, 255), 0xFF0000);
    EXPECT_EQ(ColourPalette::cellColour(0), rgb(255, 192, 192));
    EXPECT_EQ(ColourPalette::cellColour(40), rgb(1, 0, 0));
}

TEST(ColourPalette, CellsFillTheSixByEightGridOnce)
{
    std::set<std::pair<int, int>> places;
    for (int cell = 0; cell < ColourPalette::kCellCount; ++cell)
        places.insert({ColourPalette::cellRow(cell), ColourPalette::cellColumn(cell)});
    EXPECT_EQ(places.size(), 48u);
    // White and the first pink swap places: white is in the corner.
    EXPECT_EQ(ColourPalette::cellColumn(1), 0);
    EXPECT_EQ(ColourPalette::cellColumn(0), 1);
    EXPECT_EQ(ColourPalette::cellRow(47), 5);
    EXPECT_EQ(ColourPalette::cellColumn(47), 7);
}

TEST(ColourPalette, ColourToCodeTakesTheLastOfEqualCells)
{
    struct Case { Colour colour; const char *code; };
    const Case cases[] = {
        {rgb(64, 64, 0), "r"},     // cells 35, 43, 44
        {rgb(0, 255, 255), "["},   // cells 11, 21
        {rgb(255, 192, 192), "F"},
        {rgb(0, 0, 255), "\\"},
        {rgb(1, 0, 0), "n"},
    };
    for (const auto &c : cases) {
        Colour colour = c.colour;
        std::string code = "?";
        EXPECT_TRUE(ColourPalette::TestColore(1, colour, code));
        EXPECT_EQ(code, c.code);
        EXPECT_EQ(colour, c.colour);
    }
}

TEST(ColourPalette, ColourOutsideThePaletteLeavesTheCodeAlone)
{
    Colour colour = rgb(0, 0, 0);  // true black is not a cell
    std::string code = "W";
    EXPECT_FALSE(ColourPalette::TestColore(1, colour, code));
    EXPECT_EQ(code, "W");
    colour = -1;
    EXPECT_FALSE(ColourPalette::TestColore(1, colour, code));
    EXPECT_EQ(code, "W");
}

TEST(ColourPalette, CodeToColourReadsTheFirstCharacter)
{
    Colour colour = 12345;
    std::string code = "F";
    EXPECT_TRUE(ColourPalette::TestColore(2, colour, code));
    EXPECT_EQ(colour, rgb(255, 192, 192));
    code = "uXYZ";
    EXPECT_TRUE(ColourPalette::TestColore(2, colour, code));
    EXPECT_EQ(colour, rgb(64, 0, 64));
    EXPECT_EQ(code, "uXYZ");
}

TEST(ColourPalette, CodesOutsideThePaletteLeaveTheColourAlone)
{
    for (const std::string &code : {std::string("E"), std::string("v"), std::string(), std::string(" "),
                                   std::string("\xE0"), std::string("\x80"), std::string(1, '\0')}) {
        Colour colour = 777;
        std::string given = code;
        EXPECT_FALSE(ColourPalette::TestColore(2, colour, given)) << int(code.empty() ? -1 : code[0]);
        EXPECT_EQ(colour, 777);
    }
}

TEST(ColourPalette, OtherModesChangeNothing)
{
    for (std::uint8_t mode : {std::uint8_t(0), std::uint8_t(3), std::uint8_t(255)}) {
        Colour colour = rgb(255, 0, 0);
        std::string code = "F";
        EXPECT_FALSE(ColourPalette::TestColore(mode, colour, code));
        EXPECT_EQ(colour, rgb(255, 0, 0));
        EXPECT_EQ(code, "F");
    }
}

TEST(ColourPalette, EveryCodeRoundTripsToAnEqualColour)
{
    for (int cell = 0; cell < ColourPalette::kCellCount; ++cell) {
        Colour colour = 0;
        std::string code(1, ColourPalette::cellCode(cell));
        ASSERT_TRUE(ColourPalette::TestColore(2, colour, code));
        std::string back;
        ASSERT_TRUE(ColourPalette::TestColore(1, colour, back));
        EXPECT_EQ(ColourPalette::cellColour(ColourPalette::cellOfCode(back)), colour) << cell;
    }
}

TEST(ColourPalettePick, FrameGoesToTheLastCellOfTheColourAndStaysOnAMiss)
{
    ColourPalette palette;
    EXPECT_EQ(palette.frameCell(), -1);
    EXPECT_EQ(palette.markColour(rgb(0, 0, 255)), 22);
    EXPECT_EQ(palette.markColour(rgb(64, 64, 0)), 44);
    EXPECT_EQ(palette.markColour(rgb(3, 3, 3)), 44);
}

TEST(ColourPalettePick, ChoiceIsHandedOutOnceAndIgnoresForeignCells)
{
    ColourPalette palette;
    Colour colour = 5;
    std::string code = "x";
    EXPECT_FALSE(palette.takeChoice(colour, code));
    palette.Label1_Click(48);
    palette.Label1_Click(-1);
    EXPECT_FALSE(palette.hasChoice());

    palette.Label1_Click(40);
    ASSERT_TRUE(palette.takeChoice(colour, code));
    EXPECT_EQ(colour, rgb(1, 0, 0));
    EXPECT_EQ(code, "n");
    EXPECT_FALSE(palette.hasChoice());
    EXPECT_FALSE(palette.takeChoice(colour, code));
}

} // namespace
