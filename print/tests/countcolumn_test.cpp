#include "countcolumn.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Row
{
    const char *text;
    bool bold;
};

// Runs rows through one count column and returns the total at the end.
std::int64_t totalAfter(const std::vector<Row> &rows, std::string *lastColumn = nullptr)
{
    kn4::CountColumn count;
    std::string column;
    for (const Row &row : rows)
        column = count.next(row.text, row.bold, "| cc");
    if (lastColumn)
        *lastColumn = column;
    return count.total();
}

TEST(CountColumn, RowsAddRepetitionTimesInterval)
{
    struct Case
    {
        const char *name;
        std::vector<Row> rows;
        std::int64_t total;
    } cases[] = {
        {"C=3 R=0 adds C", {{"liscio         ,  0  , 3", false}}, 3},
        {"C=3 R=2 adds C x R", {{"liscio         ,  2  , 3", false}}, 6},
        {"bold rows gather, the next row multiplies",
         {{"rigato        1,  0  , 2", true}, {"rigato        2,  0  , 4", true}, {"ripeto         ,  0  , 5", false}},
         30},
        {"a definition restarts the count",
         {{"liscio         , 10  , 1", false}, {"definizione SCOLLO", false}, {"liscio         ,  4  , 1", false}},
         4},
    };
    for (const Case &c : cases)
        EXPECT_EQ(totalAfter(c.rows), c.total) << c.name;
}

TEST(CountColumn, ColumnTextsAreElevenCharactersAndABar)
{
    kn4::CountColumn count;
    EXPECT_EQ(count.next("definizione PROFILO ESTERNO", false, "| cc"), "|  0 ******|");
    EXPECT_EQ(count.next("liscio         , 148 , 1", false, "| cc"), "|  148     |");
    EXPECT_EQ(count.next("rigato        2, 4   , 1", true, "| cc"), "| cc  4    |");
}

// A value too long for its column is never cut to a wrong number.
TEST(CountColumn, ValuesBeyondTheColumnAreMarkedNotCut)
{
    struct Case
    {
        const char *prefix;
        std::int64_t value;
        const char *column;
    } cases[] = {
        {"| ", 99999999, "|  99999999|"},
        {"| ", 199960002, "| 199960002|"},
        {"| ", 1999600020, "| >99999999|"},
        {"| ", -12345678, "| -12345678|"},
        {"| ", -123456789, "| <-9999999|"},
        {"| cc ", 123456, "| cc 123456|"},
        {"| cc ", 1234567, "| cc >99999|"},
        {"| ", INT64_MAX, "| >99999999|"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(kn4::CountColumn::column(c.prefix, c.value), c.column) << c.value;
}

TEST(CountColumn, LongPiecesDoNotWrapAt16Bits)
{
    std::vector<Row> rows(40, Row{"liscio         ,1999 ,999", false});
    std::string column;
    EXPECT_EQ(totalAfter(rows, &column), 40LL * 1999 * 999);
    EXPECT_EQ(column, "|  79880040|");

    // Cycles of huge repetitions stop at the largest count, never wrap.
    std::vector<Row> huge(6, Row{"rigato        1,99999,99999999", true});
    huge.push_back({"ripeto         ,  0  ,99999999", false});
    huge.push_back({"ripeto         ,  0  ,99999999", false});
    EXPECT_EQ(totalAfter(huge, &column), INT64_MAX);
    EXPECT_EQ(column, "| >99999999|");
}

} // namespace
