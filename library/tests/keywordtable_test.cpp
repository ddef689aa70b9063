#include "keywordtable.h"

#include <gtest/gtest.h>

#include <string>

using kn4::compiler::KeywordTable;
using kn4::compiler::MemorySource;

namespace {

int readText(KeywordTable &table, const std::string &text)
{
    MemorySource source(text.data(), text.size());
    return table.read(source);
}

std::string numberedLines(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "W" + std::to_string(i) + " ;ALIAS: parola\r\n";
    return text;
}

TEST(KeywordTable, StartsWithTheBuiltInWords)
{
    KeywordTable table;
    EXPECT_STREQ(table.word(0), "DEFINIZIONE");
    EXPECT_STREQ(table.word(1), "SCOLLO");
    EXPECT_STREQ(table.word(15), "SCOLLO");
    EXPECT_STREQ(table.word(8), "PUNZONATO");
    EXPECT_STREQ(table.word(29), "PRODUCO_8");
    EXPECT_STREQ(table.word(45), "NONPRODUCO_11");
    EXPECT_STREQ(table.word(46), "");
    EXPECT_STREQ(table.word(-1), "");
    EXPECT_STREQ(table.lowerWord(14), "predisposizione");
}

TEST(KeywordTable, FillsSlotsInLineOrderUpToTheFirstLineWithoutToken)
{
    KeywordTable table;
    EXPECT_EQ(readText(table, "ALFA\r\n  ,\tbeta gamma\r\n\r\nDELTA\r\n"), 2);
    EXPECT_STREQ(table.word(0), "ALFA");
    EXPECT_STREQ(table.word(1), "BETA");
    EXPECT_STREQ(table.word(2), "RIENTRO"); // untouched
}

TEST(KeywordTable, IgnoresLinesBeyondTheLastSlot)
{
    KeywordTable table;
    EXPECT_EQ(readText(table, numberedLines(50)), 46);
    EXPECT_STREQ(table.word(45), "W45");
}

TEST(KeywordTable, StopsAtATokenLongerThanTwentyCharacters)
{
    KeywordTable table;
    EXPECT_EQ(readText(table, "UNO\r\nDUE\r\nABCDEFGHIJKLMNOPQRSTU\r\nQUATTRO\r\n"), 2);
    EXPECT_STREQ(table.word(2), "RIENTRO");
    EXPECT_EQ(readText(table, "ABCDEFGHIJKLMNOPQRST\r\n"), 1); // exactly twenty
    EXPECT_STREQ(table.word(0), "ABCDEFGHIJKLMNOPQRST");
}

TEST(KeywordTable, UpperCasesTheTokenAndIgnoresTheComment)
{
    KeywordTable table;
    readText(table, "treccia_des ;ALIAS: treccia dx\r\n");
    EXPECT_STREQ(table.word(0), "TRECCIA_DES");
}

TEST(KeywordTable, KeepsWordsBetweenReadings)
{
    KeywordTable table;
    readText(table, "ALFA\r\nBETA\r\n");
    readText(table, "GAMMA\r\n");
    EXPECT_STREQ(table.word(0), "GAMMA");
    EXPECT_STREQ(table.word(1), "BETA");
    table.resetToBuiltIn();
    EXPECT_STREQ(table.word(1), "SCOLLO");
}

TEST(KeywordTable, AnOverlongLineIsReadAsSeveralLines)
{
    // 79 bytes make a piece: the rest of the line is a line of its own.
    KeywordTable table;
    const std::string longLine = "UNO" + std::string(76, ' ') + "DUE\r\n";
    EXPECT_EQ(readText(table, longLine + "TRE\r\n"), 3);
    EXPECT_STREQ(table.word(1), "DUE");
    EXPECT_STREQ(table.word(2), "TRE");
}

TEST(KeywordTable, ReadsGarbageWithoutOverrunningASlot)
{
    KeywordTable table;
    std::string garbage;
    for (int i = 0; i < 5000; ++i)
        garbage += char((i * 37) % 256);
    readText(table, garbage);
    for (int slot = 0; slot < KeywordTable::kSlots; ++slot)
        EXPECT_LE(std::string(table.word(slot)).size(), KeywordTable::kWordLength);
}

} // namespace
