#include "window/core/measures.h"

#include "document/rowtext.h"

#include <gtest/gtest.h>

namespace {

using kn4::editor::Measures;
using kn4::editor::RowText;

TEST(Measures, ParseReadsCommaOrPointAsTheDecimalPoint)
{
    struct Case { const char *text; double value; };
    const Case cases[] = {
        {"12,5", 12.5}, {"12.5", 12.5}, {" 1 2 , 5 ", 12.5}, {",5", 0.0}, {"", 0.0},
        {"abc", 0.0}, {"3cm", 3.0}, {"-2,25", -2.25}, {"4,5,6", 4.5},
    };
    for (const auto &c : cases)
        EXPECT_NEAR(Measures::ParseMeasure(c.text), c.value, 1e-9) << c.text;
}

TEST(Measures, FormatKeepsTheLeadingZeroAndTheSeparator)
{
    EXPECT_EQ(Measures::FormatMeasure(0.5, 2, ','), "0,50");
    EXPECT_EQ(Measures::FormatMeasure(-0.5, 2, ','), "-0,50");
    EXPECT_EQ(Measures::FormatMeasure(1234.5), "1234.50");  // no grouping
    EXPECT_EQ(Measures::FormatMeasure(0.0), "0.00");
}

TEST(Measures, ConversionsNeedAPositiveMeasure)
{
    EXPECT_EQ(Measures::needlesToCm(60, "3"), "20.00");
    EXPECT_EQ(Measures::coursesToCm(9, "4,5", ','), "2,00");
    EXPECT_EQ(Measures::needlesToCm(60, "0"), "0");
    EXPECT_EQ(Measures::needlesToCm(60, ""), "0");
    EXPECT_EQ(Measures::coursesToCm(60, "-3"), "0");
}

TEST(Measures, RowToolTipShowsTotalsInCentimetresOverTheirColumns)
{
    std::string row = RowText::emptyTemplate();
    RowText::overlayRight(row, 30, 33, "90");
    RowText::overlayRight(row, 35, 37, "120");
    RowText::overlayRight(row, 39, 41, "30");

    EXPECT_EQ(Measures::rowToolTip(row, 30, "3", "4.5", "no"), "20.00 cm  40.00 cm  10.00 cm");
    EXPECT_EQ(Measures::rowToolTip(row, 41, "3", "4.5", "no"), "20.00 cm  40.00 cm  10.00 cm");
    EXPECT_EQ(Measures::rowToolTip(row, 29, "3", "4.5", "no"), "");
    EXPECT_EQ(Measures::rowToolTip(row, 42, "3", "4.5", "no"), "");
    EXPECT_EQ(Measures::rowToolTip(row, 35, "0", "4.5", "no"), "no");
    EXPECT_EQ(Measures::rowToolTip(row, 35, "3", "", "no"), "no");

    // A row that is not replayed carries "v": it reads as 0 courses.
    RowText::overlayRight(row, 30, 33, "v");
    EXPECT_EQ(Measures::rowToolTip(row, 31, "3", "4.5", "no"), "0.00 cm  40.00 cm  10.00 cm");
}

} // namespace
