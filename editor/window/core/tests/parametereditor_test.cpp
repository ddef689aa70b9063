#include "window/core/parametereditor.h"

#include "document/librarybinding.h"
#include "fakeclock.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace kn4::editor;
using kn4::editor::testing::FakeClock;

constexpr int L = ParameterEditor::kLeftButton;
constexpr int R = ParameterEditor::kRightButton;

// X in twips at the middle of a column.
double xOf(int column)
{
    return column * ParameterEditor::kTwipsPerColumn + 50.0;
}

TEST(ParameterEditorHit, FieldsByColumn)
{
    CurrentRow row;
    row.text = "calato       2 ,1    ,1    .";
    row.nameEnd = RowText::nameEnd(row.text);
    row.positions = {13, 14, -1, -1};
    const std::pair<int, int> cases[] = {
        {0, 0}, {6, 0}, {7, -1}, {13, 10}, {14, 10}, {15, -1}, {16, -1}, {17, 1}, {20, 1},
        {21, -1}, {23, 2}, {27, -1}, {28, 3}, {30, 4}, {37, 5}, {41, 6}, {43, 7}, {54, 7},
        {55, 8}, {60, 8}, {61, -1}, {62, 9}, {63, -1}, {64, -1}, {79, -1}, {-1, -1},
    };
    for (const auto &[column, field] : cases)
        EXPECT_EQ(ParameterEditor::hitFieldAt(column, row), field) << column;

    // P1 inside the command field wins over the name; P2 beyond field 0 too.
    row.text = "punz_d  0  0  ,1    ,1    .";
    row.nameEnd = RowText::nameEnd(row.text);
    row.positions = {7, 8, 10, 13};
    EXPECT_EQ(ParameterEditor::hitFieldAt(7, row), ParameterEditor::kP1Field);
    EXPECT_EQ(ParameterEditor::hitFieldAt(12, row), ParameterEditor::kP2Field);
    row.positions = {12, 30, 43, 62};
    EXPECT_EQ(ParameterEditor::hitFieldAt(28, row), ParameterEditor::kP1Field);
    EXPECT_EQ(ParameterEditor::hitFieldAt(61, row), ParameterEditor::kP2Field);
}

TEST(ParameterEditorHit, ColumnFromTwips)
{
    EXPECT_EQ(ParameterEditor::columnAt(0), 0);
    EXPECT_EQ(ParameterEditor::columnAt(104.4), 0);
    EXPECT_EQ(ParameterEditor::columnAt(104.6), 1);  // the nearest whole twip first
    EXPECT_EQ(ParameterEditor::columnAt(16 * 105), 16);
    EXPECT_EQ(ParameterEditor::columnAt(-3), -1);
    EXPECT_EQ(ParameterEditor::columnAt(1e12), RowText::kLength);
}

// The real library and keyword file, with a row store to edit.
class ParameterEditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_library.load(KN4_PROGRAM_DIR)) << m_library.errorMessage();
        auto loaded = CommandList::load(std::filesystem::path(KN4_SOURCE_DIR) / "data" / "italiano",
                                        m_library);
        ASSERT_TRUE(loaded.list) << loaded.fatalMessage;
        m_commands = std::make_unique<CommandList>(*loaded.list);
        m_rows = std::make_unique<RowStore>(m_library);
        m_editor = std::make_unique<ParameterEditor>(*m_rows, m_library, *m_commands, m_clock.clock());
        setSetup(3, 1);
    }

    void setSetup(int options, int mode)
    {
        RowSettings settings;
        settings.setupOptions = options;
        settings.setupMode = mode;
        m_rows->setSettings(settings);
    }

    int entryOf(const char *name) const { return m_commands->findByDisplayName(name); }

    // Appends a row of the command (nothing selected) and returns its index.
    int append(const char *name)
    {
        m_rows->selectRow(-1);
        const int entry = entryOf(name);
        const CommandEntry &e = m_commands->entry(entry);
        EXPECT_EQ(m_rows->insertCommand({e.displayName, e.functionCode, entry}),
                  RowStore::EditResult::Done);
        return m_rows->rowCount() - 1;
    }

    // A short click on a column of a row that is selected and highlighted.
    ParameterEditor::Outcome click(int row, int column, int button)
    {
        m_rows->selectRow(row);
        m_editor->Riga_MouseDown(true, button, xOf(column));
        return m_editor->Riga_MouseUp();
    }

    std::string field(int row, int first, int last) const
    {
        return std::string(trimBlanks(RowText::columns(m_rows->row(row), first, last)));
    }

    void advance(std::int64_t ms, int &steps, int &bursts)
    {
        m_clock.advance(ms, [this]() -> const WindowTimer & { return m_editor->timer(); },
                        [&] {
                            const auto outcome = m_editor->Timer1_Timer();
                            steps += outcome.steps;
                            bursts += outcome.changed ? 1 : 0;
                        });
    }

    LibraryBinding m_library;
    FakeClock m_clock;
    std::unique_ptr<CommandList> m_commands;
    std::unique_ptr<RowStore> m_rows;
    std::unique_ptr<ParameterEditor> m_editor;
};

TEST_F(ParameterEditorTest, ShortClickStepsOnceOnRelease)
{
    append("DEFINIZIONE");
    const int row = append("SCOLLO");
    EXPECT_EQ(field(row, 13, 14), "1");

    m_rows->selectRow(row);
    m_editor->Riga_MouseDown(true, L, xOf(13));
    EXPECT_TRUE(m_editor->armed());
    EXPECT_EQ(m_editor->hitField(), ParameterEditor::kP1Field);
    EXPECT_EQ(field(row, 13, 14), "1");  // nothing on press
    const auto outcome = m_editor->Riga_MouseUp();
    EXPECT_EQ(outcome.steps, 1);
    EXPECT_TRUE(outcome.changed);
    EXPECT_EQ(field(row, 13, 14), "2");
    EXPECT_EQ(m_rows->currentRow().text, m_rows->row(row));

    click(row, 13, R);
    click(row, 13, R);
    EXPECT_EQ(field(row, 13, 14), m_library.ClickDxP1(m_library.CercaFunzione("SCOLLO").index, "1"));

    // Interval and repetition go through the library too.
    click(row, 23, L);
    EXPECT_EQ(field(row, 23, 26), "2");
    click(row, 17, L);
    EXPECT_EQ(field(row, 17, 20), m_library.ClickSxIntervallo(m_library.CercaFunzione("SCOLLO").index, "1"));
}

TEST_F(ParameterEditorTest, PressOnAnotherRowOnlySelects)
{
    const int row = append("SCOLLO");
    m_rows->selectRow(row);
    m_editor->Riga_MouseDown(false, L, xOf(13));
    EXPECT_FALSE(m_editor->armed());
    EXPECT_FALSE(m_editor->timer().isRunning());
    EXPECT_EQ(m_editor->Riga_MouseUp().steps, 0);
    EXPECT_EQ(field(row, 13, 14), "1");
}

TEST_F(ParameterEditorTest, HoldingRepeatsInBurstsAndReleaseAddsNothing)
{
    const int row = append("SCOLLO");
    const std::int32_t code = m_library.CercaFunzione("SCOLLO").index;
    m_rows->selectRow(row);
    m_editor->Riga_MouseDown(true, L, xOf(24));
    int steps = 0, bursts = 0;
    advance(750, steps, bursts);
    EXPECT_EQ(steps, 15);   // at 500, 600 and 700 ms
    EXPECT_EQ(bursts, 3);   // the totals follow each burst
    EXPECT_EQ(m_editor->Riga_MouseUp().steps, 0);
    EXPECT_FALSE(m_editor->timer().isRunning());

    std::string expected = "1";
    for (int i = 0; i < 15; ++i)
        expected = m_library.ClickSxRipetizione(code, expected);
    EXPECT_EQ(field(row, 23, 26), expected);

    // Held back down with the right button the value returns.
    m_editor->Riga_MouseDown(true, R, xOf(24));
    advance(750, steps, bursts);
    m_editor->Riga_MouseUp();
    EXPECT_EQ(field(row, 23, 26), "1");
}

TEST_F(ParameterEditorTest, LeavingTheRowCancelsTheRepeat)
{
    const int row = append("SCOLLO");
    m_rows->selectRow(row);
    m_editor->Riga_MouseDown(true, L, xOf(24));
    m_editor->Riga_MouseMove(120);  // still inside: nothing
    EXPECT_TRUE(m_editor->armed());
    m_editor->Riga_MouseMove(-10);
    EXPECT_FALSE(m_editor->armed());
    EXPECT_FALSE(m_editor->timer().isRunning());
    int steps = 0, bursts = 0;
    advance(1000, steps, bursts);
    EXPECT_EQ(m_editor->Riga_MouseUp().steps, 0);
    EXPECT_EQ(steps, 0);
    EXPECT_EQ(field(row, 23, 26), "1");
}

TEST_F(ParameterEditorTest, DoubleClickAppliesOneStep)
{
    const int row = append("SCOLLO");
    click(row, 24, L);  // the first click of the pair
    EXPECT_EQ(field(row, 23, 26), "2");
    m_editor->Riga_DblClick(true);
    EXPECT_EQ(m_editor->Riga_MouseUp().steps, 1);
    EXPECT_EQ(field(row, 23, 26), "3");
}

TEST_F(ParameterEditorTest, FieldsWithoutActionChangeNothing)
{
    const int row = append("LISCIO");
    const std::string before = m_rows->row(row);
    for (int column : {16, 31, 36, 40, 45, 61, 63, 70}) {
        const auto outcome = click(row, column, L);
        EXPECT_FALSE(outcome.changed) << column;
    }
    EXPECT_EQ(m_rows->row(row), before);
}

TEST_F(ParameterEditorTest, CommandNameStepsThroughTheVariants)
{
    const int row = append("TRECCIA_DES");
    auto nameOf = [&] { return field(row, 0, 14); };
    const std::vector<std::string> up = {"treccia_5des", "treccia_sin", "treccia_5sin", "treccia_des"};
    for (const std::string &name : up) {
        EXPECT_TRUE(click(row, 0, L).changed);
        EXPECT_EQ(nameOf(), name);
        EXPECT_EQ(RowText::functionCode(m_rows->row(row)), m_library.CercaFunzione(name).index);
        EXPECT_EQ(RowText::entryIndex(m_rows->row(row)), entryOf(name.c_str()));
    }
    click(row, 0, R);
    EXPECT_EQ(nameOf(), "treccia_5sin");

    // A command without variants stays as it is.
    const int plain = append("LISCIO");
    EXPECT_FALSE(click(plain, 0, L).changed);
    EXPECT_EQ(field(plain, 0, 14), "liscio");
}

TEST_F(ParameterEditorTest, DefinitionSkipsTheLeftSideWithoutALeftSideSetup)
{
    const int row = append("DEFINIZIONE");
    const std::int32_t code = m_library.CercaFunzione("DEFINIZIONE").index;
    const std::string leftSide = m_library.ClickSxP1(code, "ALTRO");
    ASSERT_NE(toLowerAscii(leftSide).find("sin"), std::string::npos);

    click(row, 14, L);
    EXPECT_EQ(field(row, 12, 30), m_library.ClickSxP1(code, leftSide));

    // Set-up 2 with a left side (options without bit 2 or 1): the left side stays.
    setSetup(0, 2);
    m_rows->setRow(row, [&] {
        std::string text = m_rows->row(row);
        RowText::overlay(text, 12, 30, "ALTRO");
        return text;
    }());
    click(row, 14, L);
    EXPECT_EQ(field(row, 12, 30), leftSide);
}

TEST_F(ParameterEditorTest, LeftSideMarkAndItsDependency)
{
    setSetup(0, 2);
    const int definition = append("DEFINIZIONE");
    click(definition, 14, L);
    ASSERT_NE(toLowerAscii(field(definition, 12, 30)).find("sin"), std::string::npos);
    const int neckline = append("SCOLLO");
    ASSERT_EQ(RowText::columns(m_rows->row(neckline), 12, 14), " 1s");

    // The marked value steps one column left of P1, the mark stays.
    click(neckline, 14, L);
    EXPECT_EQ(RowText::columns(m_rows->row(neckline), 12, 14), " 2s");

    // The definition's left side may not change while the row depends on it.
    const std::string before = m_rows->row(definition);
    const auto outcome = click(definition, 14, L);
    EXPECT_EQ(outcome.errorKey, "Errore_Parametro1_Sx");
    EXPECT_FALSE(outcome.changed);
    EXPECT_EQ(m_rows->row(definition), before);

    // A hold gives the error once and stops repeating.
    m_rows->selectRow(definition);
    m_editor->Riga_MouseDown(true, L, xOf(14));
    int steps = 0, bursts = 0;
    advance(1000, steps, bursts);
    EXPECT_EQ(steps, 1);
    EXPECT_FALSE(m_editor->timer().isRunning());
    EXPECT_EQ(m_rows->row(definition), before);

    // A definition after the marked row ends the dependency.
    setSetup(0, 2);
    std::string unmarked = m_rows->row(neckline);
    RowText::overlay(unmarked, 12, 14, "  2");
    m_rows->setRow(neckline, unmarked);
    EXPECT_TRUE(click(definition, 14, L).changed);
}

TEST_F(ParameterEditorTest, CycleOfCyclesMarksABlockAndClearsItFromTheTop)
{
    append("DEFINIZIONE");
    const int first = append("LISCIO");
    append("SCOLLO");
    append("LISCIO");
    const int closing = append("RIPETO");
    const int after = append("LISCIO");
    ASSERT_EQ(RowText::entryIndex(m_rows->row(closing)), RowText::kCycleOfCyclesEndEntry);
    auto marked = [&](int i) { return RowStore::isMarked(m_rows->row(i)); };

    EXPECT_TRUE(click(first, 28, L).changed);
    for (int i = first; i < closing; ++i) {
        EXPECT_TRUE(marked(i)) << i;
        EXPECT_EQ(RowText::at(m_rows->row(i), 22), '-') << i;
    }
    EXPECT_FALSE(marked(closing));

    // Inside the block nothing is cleared; from its first row all of it is.
    EXPECT_FALSE(click(first + 1, 28, L).changed);
    EXPECT_TRUE(marked(first + 1));
    EXPECT_TRUE(click(first, 28, L).changed);
    for (int i = first; i <= closing; ++i)
        EXPECT_FALSE(marked(i)) << i;

    // The closing row itself takes no mark; a row with no closing row below marks alone.
    EXPECT_FALSE(click(closing, 28, L).changed);
    EXPECT_TRUE(click(after, 28, L).changed);
    EXPECT_TRUE(marked(after));
    EXPECT_TRUE(click(after, 28, L).changed);
    EXPECT_FALSE(marked(after));

    // A definition before the closing row limits the mark to the row.
    const int second = append("DEFINIZIONE");
    const int last = append("LISCIO");
    append("RIPETO");
    EXPECT_TRUE(click(after, 28, L).changed);
    EXPECT_TRUE(marked(after));
    EXPECT_FALSE(marked(second));
    EXPECT_FALSE(marked(last));
}

TEST_F(ParameterEditorTest, VariantKeepsTheRowInItsCycleOfCycles)
{
    const int row = append("TRECCIA_DES");
    append("RIPETO");
    click(row, 28, L);
    ASSERT_TRUE(RowStore::isMarked(m_rows->row(row)));
    click(row, 0, L);
    EXPECT_EQ(field(row, 0, 14), "treccia_5des");
    EXPECT_TRUE(RowStore::isMarked(m_rows->row(row)));
}

TEST_F(ParameterEditorTest, MarkFieldsCycleThroughTheirValues)
{
    const int row = append("LISCIO");
    auto shaping = [&] { return RowText::columns(m_rows->row(row), 55, 60); };
    // A blank value is not in the list: left takes the first, right the last.
    ASSERT_EQ(shaping(), "      ");
    click(row, 57, L);
    EXPECT_EQ(shaping(), "     .");
    click(row, 57, L);
    EXPECT_EQ(shaping(), "Avvit.");
    click(row, 57, R);
    click(row, 57, R);
    EXPECT_EQ(shaping(), "Manica");

    // A new row's message area is blank.
    EXPECT_EQ(RowText::at(m_rows->row(row), 62), ' ');
    click(row, 62, R);
    EXPECT_EQ(RowText::at(m_rows->row(row), 62), 'B');
    click(row, 62, L);
    EXPECT_EQ(RowText::at(m_rows->row(row), 62), '.');
}

} // namespace

namespace {

// A typed value is taken only when the library's clicks reach it, and is
// written exactly as those clicks would write it; anything else is refused
// with the values the clicks reach.
TEST_F(ParameterEditorTest, TypedValuesAreThoseTheClicksReach)
{
    const int row = append("CALATO");
    const int plain = append("LISCIO");
    const struct
    {
        int row;
        int field;
        int column;          // where a click steps the field
        const char *typed;
        int leftClicks;      // -1: refused
    } cases[] = {
        {row, ParameterEditor::kP1Field, 14, "1", -2},  // found by stepping either way
        {row, ParameterEditor::kP1Field, 14, "7", -1},
        {row, ParameterEditor::kP1Field, 14, "sin", -1},
        {plain, ParameterEditor::kIntervalField, 17, "12", 11},
        {plain, ParameterEditor::kIntervalField, 17, "  012 ", 11},
        {row, ParameterEditor::kRepetitionField, 23, "3", 2},
        {plain, ParameterEditor::kRepetitionField, 23, "3", -1},  // a plain row repeats once only
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        m_rows->selectRow(c.row);
        const std::string before = m_rows->row(c.row);
        const ParameterEditor::TypedOutcome typed = m_editor->typeValue(c.field, c.typed);
        const std::string written = m_rows->row(c.row);
        if (c.leftClicks == -1) {
            EXPECT_TRUE(typed.refused);
            EXPECT_FALSE(typed.changed);
            EXPECT_EQ(written, before);
            EXPECT_FALSE(typed.allowed.empty());
            continue;
        }
        EXPECT_TRUE(typed.changed);
        // The same row as clicking there: forward, or back for -2.
        m_rows->setRow(c.row, before);
        if (c.leftClicks == -2) {
            std::string byClicks;
            for (int button : {L, R}) {
                m_rows->setRow(c.row, before);
                click(c.row, c.column, button);
                if (m_rows->row(c.row) == written)
                    byClicks = written;
            }
            EXPECT_EQ(byClicks, written);
        } else {
            for (int i = 0; i < c.leftClicks; ++i)
                click(c.row, c.column, L);
            EXPECT_EQ(m_rows->row(c.row), written);
        }
        m_rows->setRow(c.row, before);
    }
    // The refusal names the range.
    m_rows->selectRow(plain);
    const ParameterEditor::TypedOutcome refused = m_editor->typeValue(ParameterEditor::kIntervalField, "x");
    EXPECT_TRUE(refused.refused);
    EXPECT_EQ(ParameterEditor::describeValues(refused.allowed).find("1 ... "), 0u)
        << ParameterEditor::describeValues(refused.allowed);
}

TEST(ParameterEditorValues, DescribedInShort)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{" 1", " 2"}, "1, 2"},
        {{"3", "1", "2", "4", "5", "6", "7", "8", "9"}, "1 ... 9"},
        {{"2", "4", "6", "8", "10", "12", "14", "16", "18"}, "2, 4 ... 18"},
        {{"1", "2", "4", "8", "16", "32", "64", "128", "256"}, "1 ... 256"},
        {{"ALTRO", "LATO", "SCOLLO"}, "ALTRO, LATO, SCOLLO"},
    };
    for (const auto &[values, text] : cases)
        EXPECT_EQ(ParameterEditor::describeValues(values), text);
}

} // namespace
