#include "window/core/rowstore.h"

#include "fakecommandlibrary.h"

#include <gtest/gtest.h>

namespace {

using kn4::editor::RowCommand;
using kn4::editor::RowLabelView;
using kn4::editor::RowStore;
using kn4::editor::RowText;
using kn4::editor::testing::FakeCommandLibrary;

// Command-list entries as the tests number them (entry index = the slot of
// the keyword file, function code = the fake library's).
const RowCommand kDefinition{"DEFINIZIONE", 0, 0};
const RowCommand kNeckline{"SCOLLO", 1, 1};
const RowCommand kDecrease{"CALATO", 3, 3};
const RowCommand kPlain{"LISCIO", 10, 10};
const RowCommand kCyclesEnd{"CICLI", 29, 29};

class RowStoreTest : public ::testing::Test
{
protected:
    // A definition row followed by `plainRows` plain rows, each carrying its
    // index in the interval field so the tests can tell them apart.
    void loadProgram(int plainRows)
    {
        std::vector<std::string> rows{m_store.buildRow(kDefinition, 0)};
        for (int i = 1; i <= plainRows; ++i)
            rows.push_back(numbered(kPlain, i));
        ASSERT_TRUE(m_store.load(rows));
        m_store.refresh();
    }

    std::string numbered(const RowCommand &command, int number)
    {
        std::string row = m_store.buildRow(command, 0);
        RowText::overlay(row, 17, 20, std::to_string(number));
        return row;
    }

    int numberOf(int index) const { return std::stoi(RowText::field(m_store.row(index), 1)); }
    int entryOf(int index) const { return RowText::entryIndex(m_store.row(index)); }

    void select(int index)
    {
        m_store.scrollTo(std::max(0, index - 5));
        ASSERT_EQ(m_store.pressLabel(index - m_store.topRow()), RowStore::PressResult::Selected);
        ASSERT_EQ(m_store.selectedRow(), index);
    }

    FakeCommandLibrary m_library;
    RowStore m_store{m_library};
};

TEST_F(RowStoreTest, AppendWithNothingSelectedShowsTheNewRowAtTheEnd)
{
    loadProgram(19);  // 20 rows
    ASSERT_EQ(m_store.insertCommand(kDecrease), RowStore::EditResult::Done);
    EXPECT_EQ(m_store.rowCount(), 21);
    EXPECT_EQ(entryOf(20), 3);
    EXPECT_EQ(m_store.topRow(), 21 - 17);
    EXPECT_EQ(m_store.selectedRow(), -1);

    const auto views = m_store.refresh();
    ASSERT_EQ(views.size(), 18u);
    EXPECT_EQ(views[16].caption, m_store.row(20));
    EXPECT_EQ(views[17].caption, "");  // the empty slot
}

TEST_F(RowStoreTest, AppendToAShortListDoesNotScroll)
{
    loadProgram(3);
    ASSERT_EQ(m_store.insertCommand(kPlain), RowStore::EditResult::Done);
    EXPECT_EQ(m_store.rowCount(), 5);
    EXPECT_EQ(m_store.topRow(), 0);
}

TEST_F(RowStoreTest, InsertGoesBeforeTheSelectedRowWhichStaysSelected)
{
    loadProgram(9);
    select(5);
    ASSERT_EQ(m_store.insertCommand(kDecrease), RowStore::EditResult::Done);
    EXPECT_EQ(m_store.rowCount(), 11);
    EXPECT_EQ(entryOf(5), 3);
    EXPECT_EQ(numberOf(6), 5);
    EXPECT_EQ(numberOf(10), 9);
    EXPECT_EQ(m_store.selectedRow(), 6);
    EXPECT_EQ(m_store.highlightedLabel(), 6 - m_store.topRow());
    EXPECT_EQ(m_store.currentRow().text, m_store.row(6));
    EXPECT_EQ(m_store.row(11), "");
}

TEST_F(RowStoreTest, InsertOnTheLastLabelScrollsByOne)
{
    loadProgram(30);
    m_store.scrollTo(0);
    ASSERT_EQ(m_store.pressLabel(17), RowStore::PressResult::Selected);
    ASSERT_EQ(m_store.insertCommand(kPlain), RowStore::EditResult::Done);
    EXPECT_EQ(m_store.topRow(), 1);
    EXPECT_EQ(m_store.selectedRow(), 18);
    EXPECT_EQ(m_store.highlightedLabel(), 17);
}

TEST_F(RowStoreTest, SelectionOutOfViewMakesTheInsertAnAppend)
{
    loadProgram(40);
    select(3);
    m_store.scrollTo(20);
    EXPECT_EQ(m_store.highlightedLabel(), -1);
    ASSERT_EQ(m_store.insertCommand(kDecrease), RowStore::EditResult::Done);
    EXPECT_EQ(entryOf(41), 3);
    EXPECT_EQ(numberOf(3), 3);
    EXPECT_EQ(m_store.selectedRow(), -1);
    EXPECT_EQ(m_store.topRow(), 42 - 17);
}

TEST_F(RowStoreTest, NothingGoesBeforeTheFirstRow)
{
    loadProgram(3);
    select(0);
    EXPECT_EQ(m_store.insertCommand(kPlain), RowStore::EditResult::Refused);
    EXPECT_EQ(m_store.rowCount(), 4);
    EXPECT_EQ(m_store.selectedRow(), 0);
}

TEST_F(RowStoreTest, FiveHundredRowsIsTheLimit)
{
    loadProgram(498);  // 499 rows
    EXPECT_EQ(m_store.insertCommand(kPlain), RowStore::EditResult::Done);
    EXPECT_EQ(m_store.rowCount(), 500);
    EXPECT_EQ(m_store.row(500), "");

    EXPECT_EQ(m_store.insertCommand(kPlain), RowStore::EditResult::Refused);
    select(250);
    EXPECT_EQ(m_store.insertCommand(kPlain), RowStore::EditResult::Refused);
    EXPECT_EQ(m_store.rowCount(), 500);
    EXPECT_EQ(numberOf(250), 250);

    // The last row can still be deleted, and the slot it leaves is empty.
    select(499);
    EXPECT_EQ(m_store.deleteSelectedRow(), RowStore::EditResult::Done);
    EXPECT_EQ(m_store.rowCount(), 499);
    EXPECT_EQ(m_store.row(499), "");
    EXPECT_EQ(m_store.selectedRow(), -1);
}

TEST_F(RowStoreTest, LoadingMoreThanTheStoreHoldsKeepsTheFirstFiveHundred)
{
    std::vector<std::string> rows(501, m_store.buildRow(kPlain, 0));
    EXPECT_FALSE(m_store.load(rows));
    EXPECT_EQ(m_store.rowCount(), 500);
    EXPECT_EQ(m_store.row(500), "");
    EXPECT_EQ(m_store.row(501), "");
    EXPECT_EQ(m_store.row(-1), "");
    EXPECT_FALSE(m_store.appendLoaded("x"));
    EXPECT_TRUE(m_store.load({}));
    EXPECT_EQ(m_store.rowCount(), 0);
}

TEST_F(RowStoreTest, SelectionSurvivesScrolling)
{
    loadProgram(40);
    m_store.scrollTo(0);
    ASSERT_EQ(m_store.pressLabel(3), RowStore::PressResult::Selected);
    EXPECT_EQ(m_store.highlightedLabel(), 3);

    m_store.scrollTo(10);
    EXPECT_EQ(m_store.highlightedLabel(), -1);
    EXPECT_EQ(m_store.selectedRow(), 3);
    for (const auto &view : m_store.refresh())
        EXPECT_FALSE(view.highlighted);

    m_store.scrollTo(2);
    EXPECT_EQ(m_store.highlightedLabel(), 1);
    EXPECT_TRUE(m_store.refresh()[1].highlighted);
}

TEST_F(RowStoreTest, ScrollRangeFollowsTheVisibleRows)
{
    loadProgram(11);  // 12 rows
    m_store.setVisibleRows(12);
    EXPECT_EQ(m_store.scrollMaximum(), 1);
    auto views = m_store.refresh();
    ASSERT_EQ(views.size(), 12u);
    EXPECT_EQ(views[11].caption, m_store.row(11));  // the empty slot is below

    m_store.scrollTo(99);
    EXPECT_EQ(m_store.topRow(), 1);
    views = m_store.refresh();
    EXPECT_EQ(views[11].caption, "");

    m_store.setVisibleRows(18);
    m_store.scrollTo(1);
    EXPECT_EQ(m_store.scrollMaximum(), 0);
    EXPECT_EQ(m_store.topRow(), 0);
    EXPECT_EQ(m_store.refresh().size(), 18u);
}

TEST_F(RowStoreTest, PressOnBlankLabelClearsTheSelection)
{
    loadProgram(3);
    ASSERT_EQ(m_store.pressLabel(2), RowStore::PressResult::Selected);
    EXPECT_EQ(m_store.pressLabel(2), RowStore::PressResult::PressedHighlighted);
    EXPECT_EQ(m_store.selectedRow(), 2);
    EXPECT_EQ(m_store.pressLabel(4), RowStore::PressResult::Deselected);  // the empty slot
    EXPECT_EQ(m_store.selectedRow(), -1);
    EXPECT_EQ(m_store.highlightedLabel(), -1);
    EXPECT_EQ(m_store.pressLabel(17), RowStore::PressResult::Deselected);
    EXPECT_EQ(m_store.currentRow().entryIndex, -1);
}

TEST_F(RowStoreTest, CurrentRowCarriesTheParameterColumns)
{
    loadProgram(1);
    ASSERT_EQ(m_store.insertCommand(kDecrease), RowStore::EditResult::Done);
    select(2);
    const auto &current = m_store.currentRow();
    EXPECT_EQ(current.entryIndex, 3);
    EXPECT_EQ(current.functionCode, 3);
    EXPECT_EQ(current.positions.p1First, 13);
    EXPECT_EQ(current.p1Width, 2);
    EXPECT_EQ(current.positions.p2First, -1);
    EXPECT_EQ(current.nameEnd, 7);  // "calato" then a blank
}

TEST_F(RowStoreTest, RowColoursFavourTheCycleMark)
{
    loadProgram(2);
    std::string definitionInCycle = m_store.row(0);
    RowStore::setMarked(definitionInCycle, true);
    std::string marked = m_store.row(2);
    RowStore::setMarked(marked, true);
    ASSERT_TRUE(m_store.load({m_store.row(0), m_store.row(1), marked, definitionInCycle}));
    const auto views = m_store.refresh();
    EXPECT_EQ(views[0].colour, RowLabelView::Colour::Definition);
    EXPECT_EQ(views[1].colour, RowLabelView::Colour::White);
    EXPECT_EQ(views[2].colour, RowLabelView::Colour::CycleOfCycles);
    EXPECT_EQ(views[3].colour, RowLabelView::Colour::CycleOfCycles);
    EXPECT_EQ(views[4].caption, "");
}

TEST_F(RowStoreTest, DeleteMovesTheRowsUpAndKeepsTheSelectionIndex)
{
    loadProgram(5);
    select(2);
    ASSERT_EQ(m_store.deleteSelectedRow(), RowStore::EditResult::Done);
    EXPECT_EQ(m_store.rowCount(), 5);
    EXPECT_EQ(numberOf(2), 3);
    EXPECT_EQ(m_store.selectedRow(), 2);
    EXPECT_EQ(m_store.currentRow().text, m_store.row(2));
    EXPECT_EQ(m_store.row(5), "");
}

TEST_F(RowStoreTest, DeleteNeedsAHighlightedRow)
{
    EXPECT_EQ(m_store.deleteSelectedRow(), RowStore::EditResult::Refused);  // no rows
    loadProgram(40);
    EXPECT_EQ(m_store.deleteSelectedRow(), RowStore::EditResult::Refused);  // none selected
    select(3);
    m_store.scrollTo(20);
    EXPECT_EQ(m_store.deleteSelectedRow(), RowStore::EditResult::Refused);  // out of view
    EXPECT_EQ(m_store.rowCount(), 41);
}

TEST_F(RowStoreTest, DeleteNearTheEndPullsTheTopRowBack)
{
    loadProgram(30);
    m_store.scrollTo(m_store.scrollMaximum());
    const int top = m_store.topRow();
    ASSERT_EQ(m_store.pressLabel(16), RowStore::PressResult::Selected);  // the last row
    ASSERT_EQ(m_store.deleteSelectedRow(), RowStore::EditResult::Done);
    EXPECT_EQ(m_store.topRow(), top - 1);
    EXPECT_EQ(m_store.selectedRow(), -1);
}

// Rows: 0 definition, 1 plain, 2-3 marked, 4 closing (29), 5-6 marked, 7 closing.
class CycleOfCyclesTest : public RowStoreTest
{
protected:
    void SetUp() override
    {
        std::vector<std::string> rows{m_store.buildRow(kDefinition, 0), numbered(kPlain, 1)};
        for (int block = 0; block < 2; ++block) {
            for (int i = 0; i < 2; ++i) {
                rows.push_back(numbered(kPlain, int(rows.size())));
                RowStore::setMarked(rows.back(), true);
            }
            rows.push_back(numbered(kCyclesEnd, int(rows.size())));
        }
        ASSERT_TRUE(m_store.load(rows));
        m_store.refresh();
    }

    std::string marks() const
    {
        std::string result;
        for (int i = 0; i < m_store.rowCount(); ++i)
            result += RowStore::isMarked(m_store.row(i)) ? 'C' : '.';
        return result;
    }
};

TEST_F(CycleOfCyclesTest, RowInsertedAboveTheClosingRowJoinsTheBlock)
{
    select(4);
    ASSERT_EQ(m_store.insertCommand(kDecrease), RowStore::EditResult::Done);
    EXPECT_EQ(marks(), "..CCC.CC.");
    EXPECT_EQ(RowText::at(m_store.row(4), 22), '-');
}

TEST_F(CycleOfCyclesTest, RowInsertedInsideABlockJoinsIt)
{
    select(3);
    ASSERT_EQ(m_store.insertCommand(kPlain), RowStore::EditResult::Done);
    EXPECT_EQ(marks(), "..CCC.CC.");
}

TEST_F(CycleOfCyclesTest, RowInsertedBeforeABlockStaysOutside)
{
    select(2);
    ASSERT_EQ(m_store.insertCommand(kPlain), RowStore::EditResult::Done);
    EXPECT_EQ(marks(), "...CC.CC.");
    select(6);  // between the first closing row and the second block
    ASSERT_EQ(m_store.insertCommand(kPlain), RowStore::EditResult::Done);
    EXPECT_EQ(marks(), "...CC..CC.");
}

TEST_F(CycleOfCyclesTest, DefinitionInsertedInsideABlockStaysOutside)
{
    select(3);
    ASSERT_EQ(m_store.insertCommand(kDefinition), RowStore::EditResult::Done);
    EXPECT_EQ(marks(), "..C.C.CC.");
}

TEST_F(CycleOfCyclesTest, BlockWithoutClosingRowTakesNoNewRow)
{
    // Unclose the second block: its marked rows now run to the end.
    ASSERT_TRUE(m_store.setRow(7, numbered(kPlain, 7)));
    select(6);
    ASSERT_EQ(m_store.insertCommand(kPlain), RowStore::EditResult::Done);
    EXPECT_EQ(marks(), "..CC.C.C.");
}

TEST_F(CycleOfCyclesTest, DeletingTheClosingRowClearsItsBlockOnly)
{
    select(7);
    ASSERT_EQ(m_store.deleteSelectedRow(), RowStore::EditResult::Done);
    EXPECT_EQ(marks(), "..CC...");
    select(4);
    ASSERT_EQ(m_store.deleteSelectedRow(), RowStore::EditResult::Done);
    EXPECT_EQ(marks(), "......");
    EXPECT_EQ(RowText::at(m_store.row(2), 22), ' ');
}

TEST_F(CycleOfCyclesTest, AppendedRowIsNeverMarked)
{
    ASSERT_EQ(m_store.insertCommand(kPlain), RowStore::EditResult::Done);
    EXPECT_EQ(marks(), "..CC.CC..");
}

class LeftSideTest : public RowStoreTest
{
protected:
    void loadLeftSide()
    {
        std::string right = m_store.buildRow(kDefinition, 0);
        RowText::overlay(right, 12, 30, " PROFILO DES");
        std::string left = right;
        RowText::overlay(left, 12, 30, " PROFILO SIN");
        ASSERT_TRUE(m_store.load({right, numbered(kPlain, 1), left, numbered(kPlain, 3)}));
        m_store.refresh();
    }
};

TEST_F(LeftSideTest, SideCommandsAfterALeftDefinitionGetTheMark)
{
    loadLeftSide();
    m_store.setSettings({0, 2, false, "definizione"});
    ASSERT_EQ(m_store.insertCommand(kDecrease), RowStore::EditResult::Done);
    EXPECT_EQ(RowText::columns(m_store.row(4), 12, 14), " 2s");

    // Inserted above the left definition: no mark.
    select(2);
    ASSERT_EQ(m_store.insertCommand(kNeckline), RowStore::EditResult::Done);
    EXPECT_EQ(RowText::columns(m_store.row(2), 12, 14), "  1");
}

TEST_F(LeftSideTest, SetupOptionsDecideWhichCommandsAreMarked)
{
    loadLeftSide();
    m_store.setSettings({1, 2, false, "definizione"});  // bit 1: necklines are not marked
    ASSERT_EQ(m_store.insertCommand(kNeckline), RowStore::EditResult::Done);
    ASSERT_EQ(m_store.insertCommand(kDecrease), RowStore::EditResult::Done);
    EXPECT_EQ(RowText::columns(m_store.row(4), 12, 14), "  1");
    EXPECT_EQ(RowText::columns(m_store.row(5), 12, 14), " 2s");
}

TEST_F(LeftSideTest, LeftDefinitionCannotGoWhileMarkedRowsNeedIt)
{
    loadLeftSide();
    m_store.setSettings({0, 2, false, "definizione"});
    ASSERT_EQ(m_store.insertCommand(kDecrease), RowStore::EditResult::Done);
    select(2);
    EXPECT_EQ(m_store.deleteSelectedRow(), RowStore::EditResult::LeftSideDependency);
    EXPECT_EQ(m_store.rowCount(), 5);

    // With a one-sided set-up the same row may go.
    m_store.setSettings({0, 1, false, "definizione"});
    EXPECT_EQ(m_store.deleteSelectedRow(), RowStore::EditResult::Done);
    EXPECT_EQ(m_store.rowCount(), 4);
}

TEST_F(LeftSideTest, MarkedRowsBeyondTheNextDefinitionDoNotCount)
{
    std::string left = m_store.buildRow(kDefinition, 0);
    RowText::overlay(left, 12, 30, " PROFILO SIN");
    std::string right = m_store.buildRow(kDefinition, 0);
    RowText::overlay(right, 12, 30, " PROFILO DES");
    std::string marked = m_store.buildRow(kDecrease, 0);
    RowText::addLeftSideMark(marked, m_library.GetPosizioneParametri(3));
    ASSERT_TRUE(m_store.load({left, numbered(kPlain, 1), right, marked}));
    m_store.setSettings({0, 2, false, "definizione"});
    select(0);
    EXPECT_EQ(m_store.deleteSelectedRow(), RowStore::EditResult::Done);
    EXPECT_EQ(m_store.rowCount(), 3);
}

} // namespace
