#pragma once

#include "document/commandlibrary.h"
#include "document/rowtext.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kn4::editor {

// The working copy of the selected row: what the click steps and the hints
// read without parsing the row again.
struct CurrentRow
{
    std::string text;
    std::int32_t functionCode = -1;
    std::int32_t entryIndex = -1;
    ParameterPositions positions;  // P1/P2 columns, -1 when absent
    int p1Width = 0;
    int p2Width = 0;
    int nameEnd = 0;  // 1-based position of the first blank, at most 15
};

// What the settings of the machine and the panel say about new rows.
struct RowSettings
{
    int setupOptions = 3;             // command line: bit values 1 and 2
    int setupMode = 1;                // numeric value of Predisposizione
    bool intervalMarkerDash = false;  // command-line marker mode other than 1
    std::string definitionName = "definizione";  // lower-case name of entry 0
};

// The command a new row is built for.
struct RowCommand
{
    std::string name;  // display name; written in lower case
    std::int32_t functionCode = -1;
    int entryIndex = -1;
};

// How one row label is to be shown.
struct RowLabelView
{
    enum class Colour { White, Definition, CycleOfCycles };

    std::string caption;  // the row text, or "" below the empty slot
    Colour colour = Colour::White;
    bool highlighted = false;
};

// The program of the panel as the row list edits it: up to 500 rows of
// fixed-column row texts, plus one slot more for the empty line below the
// last row, which is the target of an append and always empty. Besides the
// rows it keeps the list's view state: the top row (the row shown in label
// 0), the visible row count (12 or 18 labels), the selected row and the
// highlighted label. The selection is a row index, the highlight a label
// index: scrolling the selected row out of view removes the highlight and
// scrolling back restores it.
//
// Operations that the user can be refused (insert, delete) report it; the
// window beeps. No operation reads or writes outside the 501 slots.
class RowStore
{
public:
    static constexpr int kSlotCount = 501;
    static constexpr int kMaxRows = kSlotCount - 1;
    static constexpr int kLabelCount = 18;
    static constexpr int kVisibleRowsExpandedHelp = 12;

    enum class EditResult {
        Done,
        Refused,              // the window beeps
        LeftSideDependency,   // the window shows the hint "Errore_Parametro1_Sx"
    };

    // The outcome of a press on a row label (selection part).
    enum class PressResult {
        Selected,             // another row became the selected one
        Deselected,           // a blank label: nothing is selected now
        PressedHighlighted,   // the press hit the highlighted row (parameter edit)
    };

    explicit RowStore(const CommandLibrary &library);

    void setSettings(const RowSettings &settings) { m_settings = settings; }
    const RowSettings &settings() const { return m_settings; }

    // Rows.
    int rowCount() const { return m_count; }
    // Text of slot index (0..500); "" outside.
    const std::string &row(int index) const;
    // Rewrites row index (0..count-1) in place; false outside. Keeps the
    // current row in step when it is the selected row.
    bool setRow(int index, std::string text);
    std::vector<std::string> rows() const;
    // Replaces the whole program (panel reading); clears the view state.
    // More than 500 rows: false, and the store keeps the first 500.
    bool load(const std::vector<std::string> &rows);
    // Appends one row as read from a panel, without touching the view.
    // False when the store is full.
    bool appendLoaded(std::string text);

    // View state.
    int topRow() const { return m_topRow; }
    int selectedRow() const { return m_selectedRow; }
    int highlightedLabel() const { return m_highlightedLabel; }
    int visibleRows() const { return m_visibleRows; }
    int lastLabel() const { return m_visibleRows - 1; }
    // 12 (expanded help) or 18 rows; any other value counts as 18.
    void setVisibleRows(int rows);
    // VScroll maximum: row count - last label, not below 0.
    int scrollMaximum() const;

    // Shows the rows from the top row on: clamps the top row to the scroll
    // range, re-applies the highlight to the selected row when it is on
    // screen (else no label is highlighted) and returns what every visible
    // label shows.
    std::vector<RowLabelView> refresh();

    // VScroll_Change and VScroll_Scroll: top row := value, then refresh.
    void scrollTo(int topRow);

    // The selection part of Riga_MouseDown for label `label` (0..17).
    PressResult pressLabel(int label);
    // Selects row index (or -1 for none) and scrolls it into view.
    void selectRow(int index);
    const CurrentRow &currentRow() const { return m_current; }

    // Builds the row of the command with the library's defaults (and the
    // left-side mark where the set-up asks for it) and places it: before
    // the selected row, or after the last row when nothing is selected or
    // the selection is scrolled out of view. Refused with row 0 selected
    // (nothing goes before the first row) and with 500 rows.
    EditResult insertCommand(const RowCommand &command);

    // EliminaRiga: deletes the selected row. Refused with no rows or no
    // highlighted row; refused with LeftSideDependency when the row is a
    // left-side definition that later left-marked rows depend on (set-up 2).
    EditResult deleteSelectedRow();

    // Cycle-of-cycles mark ("C" at column 28 and "-" at column 22).
    static bool isMarked(std::string_view row);
    static void setMarked(std::string &row, bool marked);

    // The row a command gets when it is placed at insertionPoint: the
    // library's defaults and, where the set-up asks for it, the left-side
    // mark. insertCommand places it; switching a row to another variant of
    // its command rebuilds the row the same way in place.
    std::string buildRow(const RowCommand &command, int insertionPoint) const;

private:
    void loadCurrentRow();
    void clearCurrentRow();
    int entryOf(int index) const;
    void keepEmptySlotEmpty();

    const CommandLibrary &m_library;
    RowSettings m_settings;
    std::array<std::string, kSlotCount> m_rows;
    int m_count = 0;
    int m_topRow = 0;
    int m_visibleRows = kLabelCount;
    int m_selectedRow = -1;
    int m_highlightedLabel = -1;
    CurrentRow m_current;
};

} // namespace kn4::editor
