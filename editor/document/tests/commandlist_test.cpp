#include "documenttesting.h"

#include "document/commandlist.h"

using namespace kn4::editor;
using namespace kn4::editor::testing;

namespace {

// The first 22 lines of a keyword file in slot order: entry 0 the
// definition, 11-21 the header words.
std::string headOfKeywordFile()
{
    return crlf({"DEFINIZIONE     ; inizio di una definizione",
                 "SCOLLO", "RIENTRO", "CALATO",
                 "LISCIO ;ALIAS: Vuzudo liscia ",
                 "RIGATO", "AUMENTAZIONE ; ALIAS: aumento", "SEGNACENTRO", "PUNZ_D", "STOP",
                 "GIROLENTE", "PRODUCO", "NONPRODUCO", "USCITA", "PREDISPOSIZIONE", "SCOLLO",
                 "COSTINA", "DENSITA", "FRONTURA", "PARTE", "TAGLIA", "TIPO"});
}

CommandList mustLoad(const std::string &text)
{
    CommandList::LoadResult loaded = CommandList::fromText(text, library());
    EXPECT_EQ(loaded.fatalMessage, "");
    return loaded.list.value_or(CommandList());
}

} // namespace

TEST(CommandListTest, EntriesTakeNameAliasAndLibraryCode)
{
    const CommandList list = mustLoad(headOfKeywordFile());
    ASSERT_EQ(list.count(), 22);
    EXPECT_EQ(list.entry(0).displayName, "DEFINIZIONE");
    EXPECT_EQ(list.entry(0).functionCode, 18);
    // The alias is the trimmed lower-case text after "ALIAS:".
    EXPECT_EQ(list.entry(4).displayName, "LISCIO");
    EXPECT_EQ(list.entry(4).alias, "vuzudo liscia");
    EXPECT_EQ(list.entry(4).libraryName, "LISCIO");
    EXPECT_EQ(list.entry(4).functionCode, 0);
    EXPECT_EQ(list.entry(6).libraryName, "AUMENTA");
    EXPECT_EQ(list.entry(6).functionCode, 2);
    // Header words are never looked up, even when the library knows them.
    for (int i = 11; i <= 21; ++i) {
        EXPECT_EQ(list.entry(i).libraryName, "") << i;
        EXPECT_EQ(list.entry(i).functionCode, -1) << i;
    }
    EXPECT_EQ(list.findByDisplayName("liscio"), 4);
    EXPECT_EQ(list.findByDisplayName("scollo"), 1);
    EXPECT_EQ(list.findByDisplayName("MAGLIA"), -1);
}

TEST(CommandListTest, OrderFollowsCodesAndShowsEachLibraryNameOnce)
{
    // AUMENTA and AUM_PUNZONI share the family word AUMENTA with entry 6;
    // TRECCIA_SIN and TRECCIA_DES share TRECCIA_?.
    const CommandList list = mustLoad(headOfKeywordFile() +
                                      crlf({"TRECCIA_SIN ;ALIAS: treccia sx", "AUMENTA",
                                            "TRECCIA_DES", "AUM_PUNZONI", "1PROVA", " vuoto"}));
    std::vector<int> expected = {4,  // LISCIO 0
                                 3,  // CALATO 1
                                 6,  // AUMENTAZIONE 2 (AUMENTA 3 and AUM_PUNZONI 4 hidden)
                                 1,  // SCOLLO 5
                                 2,  // RIENTRO 6
                                 8,  // PUNZ_D 7
                                 7,  // SEGNACENTRO 12
                                 5,  // RIGATO 13
                                 9,  // STOP 14
                                 10, // GIROLENTE 15
                                 0,  // DEFINIZIONE 18
                                 24, // TRECCIA_DES 53 (TRECCIA_SIN 55 hidden)
    };
    EXPECT_EQ(list.order(), expected);
    // Unknown lines that do not begin with a letter are kept, code -1,
    // never listed.
    EXPECT_EQ(list.entry(26).functionCode, -1);
    EXPECT_EQ(list.entry(27).displayName, "vuoto");

    const std::vector<CommandList::ListItem> items = list.listItems();
    ASSERT_EQ(items.size(), expected.size());
    EXPECT_EQ(items[0].text, "vuzudo liscia");
    EXPECT_EQ(items[0].entryIndex, 4);
    EXPECT_EQ(items[1].text, "calato");
    EXPECT_EQ(items[2].text, "aumento");
    // TRECCIA_DES shows its library name (the family word), not its alias.
    EXPECT_EQ(items.back().text, "treccia_?");
}

TEST(CommandListTest, EqualCodesPickTheLowestIndex)
{
    const CommandList list = mustLoad(headOfKeywordFile() + crlf({"CALATO ;ALIAS: doppio"}));
    const std::vector<int> &order = list.order();
    EXPECT_NE(std::find(order.begin(), order.end(), 3), order.end());
    EXPECT_EQ(std::find(order.begin(), order.end(), 22), order.end());
}

TEST(CommandListTest, CommandUnknownToTheLibraryEndsTheProgram)
{
    const CommandList::LoadResult loaded =
        CommandList::fromText(headOfKeywordFile() + crlf({"maglia_nuova ; ALIAS: x"}), library());
    EXPECT_FALSE(loaded.list);
    EXPECT_EQ(loaded.fatalMessage,
              "La funzione 'MAGLIA_NUOVA' non è definita nel file libkn4edit2.so. "
              "Contattare l'assistenza tecnica.");
}

TEST(CommandListTest, TableLimitsAndOddText)
{
    // 60 lines: only the first 51 become entries.
    std::string text = headOfKeywordFile();
    for (int i = 22; i < 60; ++i)
        text += "LISCIO\r\n";
    EXPECT_EQ(mustLoad(text).count(), CommandList::kMaxEntries);

    // A NUL ends the text; a last line without CR LF is no entry.
    EXPECT_EQ(mustLoad(crlf({"DEFINIZIONE", "SCOLLO"}) + "RIENTRO").count(), 2);
    EXPECT_EQ(mustLoad(std::string("DEFINIZIONE\r\nSCOLLO\0\r\nCALATO\r\n", 29)).count(), 2);
    EXPECT_EQ(mustLoad("").count(), 0);
}

TEST(CommandListTest, MissingKeywordFile)
{
    const CommandList::LoadResult loaded =
        CommandList::load("/nonexistent/kn4/italiano/", library());
    EXPECT_FALSE(loaded.list);
    EXPECT_EQ(loaded.fatalMessage, "Il file VUZUDO.KEY è assente. Contattare l'assistenza tecnica.\n"
                                   "/nonexistent/kn4/italiano/VUZUDO.KEY: No such file or directory");
}

TEST(CommandListTest, ItalianKeywordFileIsAcceptedByTheLibrary)
{
    const CommandList::LoadResult loaded =
        CommandList::load(programDir() / "italiano", library());
    ASSERT_TRUE(loaded.list) << loaded.fatalMessage;
    EXPECT_EQ(loaded.list->entry(0).displayName, "DEFINIZIONE");
    EXPECT_EQ(loaded.list->entry(6).displayName, "AUMENTAZIONE");
    EXPECT_FALSE(loaded.list->listItems().empty());
}
