#include "documenttesting.h"

#include "document/languagetable.h"

using namespace kn4::editor;
using namespace kn4::editor::testing;

namespace {

// Language texts with the display words of lines 45-50.
LanguageTable englishKinds()
{
    std::string text;
    for (int i = 0; i < 45; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    text += crlf({"SIDE", "OTHER", "NECK", "STRIPES", "OUTLINE", "RIGHT OUTLINE"});
    return LanguageTable::fromText(text);
}

CommandList keywordList(const std::string &text)
{
    CommandList::LoadResult loaded = CommandList::fromText(text, library());
    EXPECT_EQ(loaded.fatalMessage, "");
    return loaded.list.value_or(CommandList());
}

const std::string kKeywords = crlf({"DEFINIZIONE", "SCOLLO", "RIENTRO", "CALATO",
                                    "LISCIO ;ALIAS: maglia liscia", "RIGATO",
                                    "AUMENTAZIONE ;ALIAS: aumento"});

std::string definitionRow(const std::string &kind)
{
    std::string row = "definizione " + kind;
    row.resize(66, ' ');
    return row;
}

} // namespace

TEST(LanguageTableTest, ThirtyLinesLeaveTheLaterTextsEmpty)
{
    std::string text;
    for (int i = 0; i < 30; ++i)
        text += "testo " + std::to_string(i) + "\r\n";
    const LanguageTable table = LanguageTable::fromText(text);
    EXPECT_TRUE(table.loaded());
    EXPECT_EQ(table.text(LanguageTable::Ripristina), "testo 24");
    EXPECT_EQ(table.text(37), "");
    EXPECT_EQ(table.text(59), "");
    EXPECT_EQ(table.text(-1), "");
    EXPECT_EQ(table.text(5000), "");
}

TEST(LanguageTableTest, TooLongOrMissingFileIsNotLoaded)
{
    std::string text;
    for (int i = 0; i < LanguageTable::kMaxLines; ++i)
        text += "x\r\n";
    EXPECT_TRUE(LanguageTable::fromText(text).loaded());
    const LanguageTable tooLong = LanguageTable::fromText(text + "x\r\n");
    EXPECT_FALSE(tooLong.loaded());
    EXPECT_EQ(tooLong.text(0), "");
    EXPECT_FALSE(LanguageTable::CaricoLingua("/nonexistent/italiano/").loaded());
}

TEST(LanguageTableTest, ItalianFileHasEveryLine)
{
    const LanguageTable table = LanguageTable::CaricoLingua(programDir() / "italiano/");
    ASSERT_TRUE(table.loaded());
    EXPECT_EQ(table.lineCount(), LanguageTable::LastLine + 1);
    EXPECT_EQ(table.text(LanguageTable::InserisciRiga), "Inserisci riga");
    EXPECT_EQ(table.text(LanguageTable::Densita), "Densit\xE0");  // Windows-1252 bytes
    for (int line = 0; line < table.lineCount(); ++line)
        EXPECT_FALSE(table.text(line).empty()) << line;
    for (int line = LanguageTable::FirstRowMessage; line <= LanguageTable::LastRowMessage; ++line)
        EXPECT_LE(table.text(line).size(), 21u) << line;  // the row message area
    EXPECT_LE(table.text(LanguageTable::BordiIncrociati).size(), 21u);
}

TEST(ModificaLabelTest, DefinitionKindsShowTheirLanguageWords)
{
    const LanguageTable table = englishKinds();
    const CommandList commands = keywordList(kKeywords);
    const std::string shown = ModificaLabel(definitionRow("ALTRO"), table, commands, false);
    EXPECT_EQ(shown.substr(0, 30), "definizione OTHER" + std::string(13, ' '));
    EXPECT_EQ(shown.size(), 66u);
    EXPECT_EQ(ModificaLabel(definitionRow("LATO SINISTRO"), table, commands, false).substr(12, 18),
              "SIDE" + std::string(14, ' '));
    EXPECT_EQ(ModificaLabel(definitionRow("PROFILO ESTERNO"), table, commands, false).substr(12, 18),
              "OUTLINE" + std::string(11, ' '));
    EXPECT_EQ(ModificaLabel(definitionRow("PROFILO ESTERNO"), table, commands, true).substr(12, 18),
              "RIGHT OUTLINE" + std::string(5, ' '));
    // Near the end of the caption the word is overwritten without growing it.
    EXPECT_EQ(ModificaLabel("definizione RIGATURA", table, commands, false),
              "definizione STRIPES ");
}

TEST(ModificaLabelTest, WithoutLanguageFileKindsStay)
{
    const CommandList commands = keywordList(kKeywords);
    EXPECT_EQ(ModificaLabel(definitionRow("SCOLLO"), LanguageTable(), commands, false),
              definitionRow("SCOLLO"));
}

TEST(ModificaLabelTest, AliasesReplaceCommandNames)
{
    const CommandList commands = keywordList(kKeywords);
    const LanguageTable none;
    EXPECT_EQ(ModificaLabel("liscio         , 150 , 1", none, commands, false),
              "maglia liscia  , 150 , 1");
    // The alias is longer than the name: it runs over the blanks after it.
    EXPECT_EQ(ModificaLabel("aumentazione  1, 2   , 1", none, commands, false),
              "aumento       1, 2   , 1");
    // Commands without alias and blank captions are left alone.
    EXPECT_EQ(ModificaLabel("calato        2, 1   , 1", none, commands, false),
              "calato        2, 1   , 1");
    EXPECT_EQ(ModificaLabel("   ", none, commands, false), "   ");
    EXPECT_EQ(ModificaLabel("", none, commands, false), "");
}

TEST(ModificaLabelTest, FullKeywordTableIsWalkedToItsLastEntryOnly)
{
    std::string text = kKeywords;
    for (int i = 7; i < 60; ++i)
        text += i == 50 ? "RIGATO ;ALIAS: ultima\r\n" : " vuota\r\n";
    const CommandList commands = keywordList(text);
    ASSERT_EQ(commands.count(), 51);
    // "rigato " is matched by entry 5 first (no alias): nothing changes.
    EXPECT_EQ(ModificaLabel("rigato        3, 1", LanguageTable(), commands, false),
              "rigato        3, 1");
    EXPECT_EQ(ModificaLabel("sconosciuto    , 1", LanguageTable(), commands, false),
              "sconosciuto    , 1");
}
