#include "aliastable.h"
#include "listingbuilder.h"
#include "printtesting.h"

#include "kn4/labelfile.h"

#include <gtest/gtest.h>

namespace {

using kn4::testing::rowLine;

const kn4::LabelFile &labels()
{
    static const kn4::LabelFile file = kn4::LabelFile::load(kn4::testing::kItalian / "stampa.ini", 50);
    return file;
}

// The rows after the definition, with their line ends.
std::string program(const std::vector<std::string> &rows, const std::string &definition = "definizione PROFILO ESTERNO")
{
    std::string text = definition;
    text.resize(40, ' ');
    text += "\r\n";
    for (const std::string &row : rows)
        text += row + "\r\n";
    return text;
}

TEST(AliasTable, KeywordsMatchTheCommandWordWithoutPaddingOrCase)
{
    const kn4::AliasTable table = kn4::AliasTable::fromText("LISCIO          ; ALIAS: maglia liscia\r\n"
                                                            "CALATO          ; calato 1/2 D/S\r\n"
                                                            "; ALIAS: mai\r\n"
                                                            "SCOLLO          ; ALIAS: scollo tondo\r\n");
    ASSERT_EQ(table.entries().size(), 4u);
    EXPECT_EQ(table.entries()[0].keyword, "LISCIO");
    EXPECT_EQ(table.entries()[0].alias, "maglia liscia ") << "starting where a plain row starts";
    ASSERT_NE(table.aliasFor("liscio         , 2"), nullptr);
    EXPECT_EQ(table.aliasFor("calato        2, 2"), nullptr) << "a line without ALIAS: leaves the word";
    EXPECT_EQ(table.aliasFor(" mai"), nullptr) << "an empty keyword never matches";
    EXPECT_EQ(table.aliasFor("definizione SCOLLO"), nullptr) << "only the command word is matched";
}

TEST(AliasTable, ReadsAtMost61Lines)
{
    std::string text;
    for (int i = 0; i < 70; ++i)
        text += "W" + std::to_string(i) + " ; ALIAS: a\r\n";
    EXPECT_EQ(kn4::AliasTable::fromText(text).entries().size(), kn4::AliasTable::kMaxLines);
}

TEST(ListingBuilder, AliasReplacesTheCommandAndTheCountReadsTheRowBeforeIt)
{
    const kn4::AliasTable aliases = kn4::AliasTable::fromText("PETTINI_DENTRO  ; ALIAS: pettini dentro\r\n");
    const auto lines = kn4::ListingBuilder(aliases, labels(), 1)
                           .build(program({rowLine("pettini_dentro", "  2", "  3")}));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].text, "|  1   | pettini dentro ,  2  ,  3  |  6       |");
}

// An alias covers the command word only: never a parameter, never the
// comma before the interval; a longer one is cut, a blank before them.
TEST(ListingBuilder, AliasesNeverCoverParametersOrTheComma)
{
    const kn4::AliasTable aliases = kn4::AliasTable::fromText("RIENTRO ; ALIAS: retorno del escote\r\n"
                                                              "GIROLENTE ; ALIAS: pasadas muy lentas\r\n"
                                                              "CALATO ; ALIAS: c\r\n");
    const kn4::ListingBuilder builder(aliases, labels(), 1);
    struct Case
    {
        const char *row, *shown;
    } cases[] = {
        {"rientro      -1,  4  , 3", "retorno del  -1,  4  , 3"},
        {"girolente      ,  2  , 1", "pasadas muy le ,  2  , 1"},
        {"calato        2,  2  , 3", "c             2,  2  , 3"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(builder.withAlias(c.row), c.shown) << c.row;
}

TEST(ListingBuilder, KindWordsOfDefinitionsTakeTheLanguagesWords)
{
    const kn4::AliasTable none;
    struct Case
    {
        const char *definition;
        int setup;
        const char *shown;
    } cases[] = {
        {"definizione PROFILO ESTERNO", 1, "definizione PROFILO ESTERNO"},
        {"definizione PROFILO ESTERNO", 2, "definizione LATO DESTRO    "},
        {"definizione ALTRO", 1, "definizione ALTRO          "},
        {"definizione LATO SINISTRO", 2, "definizione LATO SINISTRO  "},
        {"definizione rigatura", 1, "definizione RIGATURA       "},
    };
    for (const Case &c : cases) {
        const auto lines = kn4::ListingBuilder(none, labels(), c.setup).build(program({}, c.definition));
        EXPECT_EQ(lines[0].text, std::string("|  0   | ") + c.shown + "|  0 ******|") << c.definition;
    }
}

TEST(ListingBuilder, MarkersAreBlankedAndTheCycleOfCyclesIsBold)
{
    const kn4::AliasTable none;
    const auto lines = kn4::ListingBuilder(none, labels(), 1)
                           .build(program({rowLine("rigato        2", "- 4", "-1"),
                                           rowLine("rientro      -1", "  4", " 3")}));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(lines[1].bold);
    EXPECT_EQ(lines[1].text, "|  1   | rigato        2,  4  , 1   | cc  4    |");
    EXPECT_FALSE(lines[2].bold) << "the minus of a parameter is no marker";
    EXPECT_EQ(lines[2].text, "|  2   | rientro      -1,  4  , 3   |  48      |");
}

TEST(ListingBuilder, RowsAreNeverLost)
{
    const kn4::AliasTable none;
    const kn4::ListingBuilder builder(none, labels(), 1);
    EXPECT_EQ(builder.build("definizione PROFILO ESTERNO\r\nliscio").size(), 1u)
        << "44 characters or less: the definition alone";

    std::vector<std::string> rows(500, rowLine("liscio", "  2", " 1"));
    std::string text = program(rows);
    EXPECT_EQ(builder.build(text).size(), 501u);
    text.resize(text.size() - 2); // the last row without its line break
    const auto lines = builder.build(text);
    ASSERT_EQ(lines.size(), 501u);
    EXPECT_EQ(lines.back().text, "|  500 | liscio         ,  2  , 1   |  1000    |");
    EXPECT_EQ(builder.build(text + "\r\n\r\n").size(), 501u) << "a trailing blank line is no row";
}

} // namespace
