#pragma once

#include "kn4/colour.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kn4 {

// The fixed palette of 48 yarn colours (the "tavolozza") and its one-letter
// codes. Panel files write a colour as the code of its cell, so the table
// is part of the file vocabulary of every program of the suite: cell i has
// the code character 70 + i ("F" for cell 0 up to "u" for cell 47).
//
// Besides the table, an object keeps the state of one interactive pick: the
// cell the selection frame surrounds and the choice the user clicked. The
// palette window drives it; it has no widget of its own.
class ColourPalette
{
public:
    static constexpr int kCellCount = 48;
    static constexpr int kRows = 6;
    static constexpr int kColumns = 8;
    static constexpr int kFirstCode = 70;  // code of cell 0, "F"

    // The modes of TestColore.
    static constexpr std::uint8_t kModePick = 0;
    static constexpr std::uint8_t kModeColourToCode = 1;
    static constexpr std::uint8_t kModeCodeToColour = 2;

    static bool isCell(int cell) { return cell >= 0 && cell < kCellCount; }

    // Colour, grid position and code of a cell; cell must satisfy isCell.
    static Colour cellColour(int cell);
    static int cellRow(int cell);
    static int cellColumn(int cell);
    static char cellCode(int cell);

    // The cell whose colour equals the given colour; when several share it
    // (11 and 21; 35, 43 and 44) the highest index wins. -1 when none does.
    static int lastCellOfColour(Colour colour);

    // The cell that the first character of code names, -1 when the code is
    // empty or names no cell.
    static int cellOfCode(std::string_view code);

    // The non-interactive modes of TestColore:
    //  1  code := the code of lastCellOfColour(colour); unchanged when none;
    //  2  colour := the colour of cellOfCode(code); unchanged when none;
    //  any other mode (the pick, 0, included) changes nothing.
    // Returns true when an output was written. The pick needs the palette
    // window (PaletteWindow::TestColore).
    static bool TestColore(std::uint8_t mode, Colour &colour, std::string &code);

    // The pick. markColour moves the selection frame to the cell of the
    // given colour (the last matching cell keeps it); when no cell matches,
    // the frame stays where it was. Returns the frame's cell, -1 before any
    // cell was ever framed.
    int markColour(Colour colour);
    int frameCell() const { return m_frameCell; }

    // Records the clicked cell as the choice. Indices outside the palette
    // are ignored.
    void Label1_Click(int cell);
    bool hasChoice() const { return m_chosenCell >= 0; }

    // Hands out the recorded choice (its colour and its one-character code)
    // and clears it, ready for the next pick. False, outputs unchanged, when
    // nothing was chosen.
    bool takeChoice(Colour &colour, std::string &code);
    void clearChoice() { m_chosenCell = -1; }

private:
    int m_frameCell = -1;
    int m_chosenCell = -1;
};

} // namespace kn4
