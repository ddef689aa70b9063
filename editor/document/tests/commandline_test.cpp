#include "document/commandline.h"

#include <gtest/gtest.h>

using kn4::editor::CommandLine;

TEST(CommandLineTest, EmptyLineKeepsEveryDefault)
{
    for (const char *text : {"", "   "}) {
        const CommandLine line = CommandLine::parse(text);
        EXPECT_FALSE(line.given);
        EXPECT_EQ(line.panelName, "NUOVO");
        EXPECT_EQ(line.folder, "");
        EXPECT_EQ(line.needles, 320);
        EXPECT_EQ(line.intervalMarkerMode, 1);
        EXPECT_EQ(line.combWidth, 30);
        EXPECT_EQ(line.setupOptions, 3);
        EXPECT_EQ(line.combWidthEditable, 0);
    }
}

TEST(CommandLineTest, ManagerLineWithAllNumbers)
{
    const CommandLine line = CommandLine::parse(
        "/home/user/kn4/archivi/DEMO/DAVANTI.KN4,/home/user/kn4/italiano//400/0/24/1/1");
    EXPECT_TRUE(line.given);
    EXPECT_EQ(line.panelName, "/home/user/kn4/archivi/DEMO/DAVANTI.KN4");
    EXPECT_EQ(line.folder, "/home/user/kn4/italiano/");
    EXPECT_EQ(line.needles, 400);
    EXPECT_EQ(line.intervalMarkerMode, 0);
    EXPECT_TRUE(line.intervalMarkerDash());
    EXPECT_EQ(line.combWidth, 24);
    EXPECT_EQ(line.setupOptions, 1);
    EXPECT_TRUE(line.combWidthIsEditable());
}

TEST(CommandLineTest, NoNumbersKeepsNumericDefaults)
{
    const CommandLine line = CommandLine::parse("X.KN4,/dati/italiano/");
    EXPECT_EQ(line.panelName, "X.KN4");
    EXPECT_EQ(line.folder, "/dati/italiano/");
    EXPECT_EQ(line.needles, 320);
    EXPECT_EQ(line.combWidth, 30);
}

TEST(CommandLineTest, FewerNumbersFillFromTheNeedlesOn)
{
    const CommandLine line = CommandLine::parse("P.KN4,/it//250/-1");
    EXPECT_EQ(line.folder, "/it/");
    EXPECT_EQ(line.needles, 250);
    EXPECT_EQ(line.intervalMarkerMode, -1);
    EXPECT_EQ(line.combWidth, 30);
    EXPECT_EQ(line.setupOptions, 3);
}

TEST(CommandLineTest, OnlyTheLastFiveNumberFieldsAreNumbers)
{
    // A folder whose last part is a number, passed without trailing "/".
    const CommandLine line = CommandLine::parse("P.KN4,/dati/2024/300/1/30/3/0");
    EXPECT_EQ(line.folder, "/dati/2024");
    EXPECT_EQ(line.needles, 300);
    EXPECT_EQ(line.combWidthEditable, 0);
}

TEST(CommandLineTest, BlanksInPathsAndArgumentsJoinedWithBlanks)
{
    const CommandLine line = CommandLine::fromArguments(
        {"/home/user/i miei pannelli/DAVANTI", "BLU.KN4,/home/user/kn4", "lingua/italiano//320/1/30/3/1"});
    EXPECT_EQ(line.panelName, "/home/user/i miei pannelli/DAVANTI BLU.KN4");
    EXPECT_EQ(line.folder, "/home/user/kn4 lingua/italiano/");
    EXPECT_EQ(line.needles, 320);

    const CommandLine spaced = CommandLine::parse("  A.KN4 , /it/ ");
    EXPECT_EQ(spaced.panelName, "A.KN4");
    EXPECT_EQ(spaced.folder, "/it/");
}

TEST(CommandLineTest, OddLinesNeverFail)
{
    // No comma: the whole head is the panel; numbers out of the 16-bit range
    // are held at its edge; signs and empty fields.
    const CommandLine noComma = CommandLine::parse("PANNELLO.KN4");
    EXPECT_EQ(noComma.panelName, "PANNELLO.KN4");
    EXPECT_EQ(noComma.folder, "");

    const CommandLine huge = CommandLine::parse("A,/b/99999999999/1/99999/-99999/+7");
    EXPECT_EQ(huge.needles, 2147483647);
    EXPECT_EQ(huge.combWidth, 32767);
    EXPECT_EQ(huge.setupOptions, -32768);
    EXPECT_EQ(huge.combWidthEditable, 7);

    for (const char *text : {"/", "//////", ",", ",,,/1", "/1/2/3/4/5/6/7", "-", "+/-", "1"}) {
        const CommandLine line = CommandLine::parse(text);
        EXPECT_FALSE(line.panelName.empty()) << text;
    }
    EXPECT_EQ(CommandLine::parse("/1/2/3/4/5/6/7").needles, 3);
    EXPECT_EQ(CommandLine::parse(",/x/").panelName, "NUOVO");
}

// "--row N" beside the manager's argument string: taken out, the rest reads
// as before.
TEST(CommandLineTest, RowOptionIsTakenOutOfTheArguments)
{
    const struct
    {
        std::vector<std::string> arguments;
        std::optional<int> row;
        std::vector<std::string> rest;
    } cases[] = {
        {{"P.KN4,/it//320/1/30/3/0", "--row", "14"}, 14, {"P.KN4,/it//320/1/30/3/0"}},
        {{"--row=3", "P.KN4,/it/"}, 3, {"P.KN4,/it/"}},
        {{"P.KN4,/it/"}, std::nullopt, {"P.KN4,/it/"}},
        {{"P.KN4,/it/", "--row", "x"}, std::nullopt, {"P.KN4,/it/"}},
        {{"P.KN4,/it/", "--row", "0"}, std::nullopt, {"P.KN4,/it/"}},
        {{"P.KN4,/it/", "--row"}, std::nullopt, {"P.KN4,/it/"}},
    };
    for (const auto &c : cases) {
        std::vector<std::string> arguments = c.arguments;
        EXPECT_EQ(CommandLine::takeRowOption(arguments), c.row);
        EXPECT_EQ(arguments, c.rest);
    }
    std::vector<std::string> arguments{"P.KN4,/it//320/1/30/3/1", "--row", "12"};
    CommandLine::takeRowOption(arguments);
    EXPECT_EQ(CommandLine::fromArguments(arguments).combWidthEditable, 1);
}
