#include "document/rowtext.h"

#include <gtest/gtest.h>

using namespace kn4::editor;

namespace {

const ParameterPositions kDefinitionColumns{12, 30, 43, 62};
const DefaultTexts kDefinitionDefaults{"ALTRO", "--------------------", "0", "0"};
const ParameterPositions kSideColumns{13, 14, -1, -1};

} // namespace

TEST(RowTextTest, TemplateHasItsFixedMarks)
{
    const std::string row = RowText::emptyTemplate();
    ASSERT_EQ(row.size(), 66u);
    EXPECT_EQ(row[15], ',');
    EXPECT_EQ(row[21], ',');
    EXPECT_EQ(row[28], '.');
    EXPECT_EQ(row[60], '.');
    EXPECT_EQ(row[62], '.');
    EXPECT_EQ(row[16], ' ');
    EXPECT_EQ(RowText::emptyTemplate(true)[16], '-');
}

TEST(RowTextTest, NewDecreaseRowHasDefaultsTotalsAndCodes)
{
    const std::string row =
        RowText::buildNew("CALATO", 1, 3, kSideColumns, {" 2", "", "1", "1"});
    ASSERT_EQ(row.size(), 80u);
    EXPECT_EQ(row.substr(0, 29), "calato        2, 1   , 1    .");
    EXPECT_EQ(RowText::field(row, 4), "   0");
    EXPECT_EQ(RowText::field(row, 5), "  0");
    EXPECT_EQ(RowText::field(row, 6), "  0");
    // The message area, shaping mark and flag included, starts blank.
    EXPECT_EQ(RowText::field(row, 7), std::string(21, ' '));
    EXPECT_EQ(row.substr(66), "   1     3    ");
    EXPECT_EQ(RowText::functionCode(row), 1);
    EXPECT_EQ(RowText::entryIndex(row), 3);
    EXPECT_EQ(RowText::nameEnd(row), 7);
}

TEST(RowTextTest, NewDefinitionRowCarriesKindAndProfileLine)
{
    const std::string row = RowText::buildNew("DEFINIZIONE", 18, 0, kDefinitionColumns,
                                              kDefinitionDefaults, true);
    EXPECT_EQ(row.substr(0, 31), "definizione ALTRO" + std::string(14, ' '));
    EXPECT_EQ(row.substr(43, 20), std::string(20, '-'));
    EXPECT_EQ(RowText::functionCode(row), 18);
    EXPECT_EQ(RowText::entryIndex(row), 0);
    EXPECT_EQ(RowText::nameEnd(row), 12);
}

TEST(RowTextTest, NegativeCodeAndShortRowsReadSafely)
{
    const std::string row = RowText::withCodes("tipo", -1, 21);
    EXPECT_EQ(row.size(), 80u);
    EXPECT_EQ(RowText::functionCode(row), -1);
    EXPECT_EQ(RowText::entryIndex(row), 21);
    EXPECT_EQ(RowText::functionCode("short"), 0);
    EXPECT_EQ(RowText::field("abc", 2), "    ");
    EXPECT_EQ(RowText::at("abc", 500), ' ');
    EXPECT_EQ(RowText::nameEnd("averyveryverylongname"), 15);
}

TEST(RowTextTest, OverlayPadsCutsAndExtends)
{
    std::string row = "abc";
    RowText::overlay(row, 5, 7, "12345", '-');
    EXPECT_EQ(row, "abc  123");
    RowText::overlay(row, 0, 2, "x", '-');
    EXPECT_EQ(row, "x--  123");
    RowText::overlayRight(row, 0, 3, "7");
    EXPECT_EQ(row, "   7 123");
}

TEST(RowTextTest, LeftSideMarkFollowsSetupOptionsAndLeftDefinition)
{
    const std::string left = RowText::buildNew("DEFINIZIONE", 18, 0, kDefinitionColumns,
                                               {"LATO SINISTRO", "", "0", "0"});
    const std::string other = RowText::buildNew("DEFINIZIONE", 18, 0, kDefinitionColumns,
                                                kDefinitionDefaults);
    const std::vector<std::string> aboveLeft{other, left};
    const std::vector<std::string> aboveOther{other};

    // Options 3: both sides are set up by the machine, no mark.
    EXPECT_FALSE(RowText::wantsLeftSideMark(3, 3, aboveLeft));
    // Without bit 2 decreases and increases are marked, not necklines.
    EXPECT_TRUE(RowText::wantsLeftSideMark(1, 3, aboveLeft));
    EXPECT_TRUE(RowText::wantsLeftSideMark(1, 6, aboveLeft));
    EXPECT_FALSE(RowText::wantsLeftSideMark(1, 1, aboveLeft));
    // Without bit 1 necklines and returns are marked.
    EXPECT_TRUE(RowText::wantsLeftSideMark(2, 1, aboveLeft));
    EXPECT_TRUE(RowText::wantsLeftSideMark(2, 2, aboveLeft));
    EXPECT_FALSE(RowText::wantsLeftSideMark(0, 4, aboveLeft));
    EXPECT_FALSE(RowText::wantsLeftSideMark(0, 3, aboveOther));
    EXPECT_FALSE(RowText::wantsLeftSideMark(0, 3, {}));

    std::string row = RowText::buildNew("CALATO", 1, 3, kSideColumns, {" 2", "", "1", "1"});
    EXPECT_FALSE(RowText::hasLeftSideMark(row, kSideColumns));
    RowText::addLeftSideMark(row, kSideColumns);
    EXPECT_EQ(row.substr(0, 16), "calato       2s,");
    EXPECT_TRUE(RowText::hasLeftSideMark(row, kSideColumns));
    EXPECT_EQ(row.size(), 80u);
}
