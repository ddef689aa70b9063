#include "kn4/colourpalette.h"

#include <array>

namespace kn4 {

namespace {

struct Cell
{
    Colour colour;
    int row;
    int column;
};

// Cells 0 and 1 swap their grid places: white sits in the top-left corner.
// Cell 40 is near-black (1, 0, 0): a choice of colour 0 would read as "no
// choice" in the programs that keep the choice as a colour value.
constexpr std::array<Cell, ColourPalette::kCellCount> kCells = {{
    {rgb(255, 192, 192), 0, 1}, {rgb(255, 255, 255), 0, 0},
    {rgb(255, 224, 192), 0, 2}, {rgb(255, 255, 192), 0, 3},
    {rgb(192, 255, 192), 0, 4}, {rgb(192, 255, 255), 0, 5},
    {rgb(192, 192, 255), 0, 6}, {rgb(255, 192, 255), 0, 7},
    {rgb(224, 224, 224), 1, 0}, {rgb(255, 128, 128), 1, 1},
    {rgb(255, 192, 128), 1, 2}, {rgb(0, 255, 255), 1, 3},
    {rgb(128, 255, 128), 1, 4}, {rgb(128, 255, 255), 1, 5},
    {rgb(128, 128, 255), 1, 6}, {rgb(255, 128, 255), 1, 7},
    {rgb(192, 192, 192), 2, 0}, {rgb(255, 0, 0), 2, 1},
    {rgb(255, 128, 0), 2, 2},   {rgb(255, 255, 0), 2, 3},
    {rgb(0, 255, 0), 2, 4},     {rgb(0, 255, 255), 2, 5},
    {rgb(0, 0, 255), 2, 6},     {rgb(255, 0, 255), 2, 7},
    {rgb(128, 128, 128), 3, 0}, {rgb(192, 0, 0), 3, 1},
    {rgb(192, 64, 0), 3, 2},    {rgb(192, 192, 0), 3, 3},
    {rgb(0, 192, 0), 3, 4},     {rgb(0, 192, 192), 3, 5},
    {rgb(0, 0, 192), 3, 6},     {rgb(192, 0, 192), 3, 7},
    {rgb(64, 64, 64), 4, 0},    {rgb(128, 0, 0), 4, 1},
    {rgb(128, 64, 0), 4, 2},    {rgb(64, 64, 0), 4, 3},
    {rgb(0, 128, 0), 4, 4},     {rgb(0, 128, 128), 4, 5},
    {rgb(0, 0, 128), 4, 6},     {rgb(128, 0, 128), 4, 7},
    {rgb(1, 0, 0), 5, 0},       {rgb(64, 0, 0), 5, 1},
    {rgb(128, 64, 64), 5, 2},   {rgb(64, 64, 0), 5, 3},
    {rgb(64, 64, 0), 5, 4},     {rgb(0, 64, 64), 5, 5},
    {rgb(0, 0, 64), 5, 6},      {rgb(64, 0, 64), 5, 7},
}};

} // namespace

Colour ColourPalette::cellColour(int cell) { return kCells[std::size_t(cell)].colour; }
int ColourPalette::cellRow(int cell) { return kCells[std::size_t(cell)].row; }
int ColourPalette::cellColumn(int cell) { return kCells[std::size_t(cell)].column; }
char ColourPalette::cellCode(int cell) { return char(kFirstCode + cell); }

int ColourPalette::lastCellOfColour(Colour colour)
{
    for (int cell = kCellCount - 1; cell >= 0; --cell) {
        if (kCells[std::size_t(cell)].colour == colour)
            return cell;
    }
    return -1;
}

int ColourPalette::cellOfCode(std::string_view code)
{
    if (code.empty())
        return -1;
    const int cell = int(static_cast<unsigned char>(code.front())) - kFirstCode;
    return isCell(cell) ? cell : -1;
}

bool ColourPalette::TestColore(std::uint8_t mode, Colour &colour, std::string &code)
{
    if (mode == kModeColourToCode) {
        const int cell = lastCellOfColour(colour);
        if (cell < 0)
            return false;
        code = std::string(1, cellCode(cell));
        return true;
    }
    if (mode == kModeCodeToColour) {
        const int cell = cellOfCode(code);
        if (cell < 0)
            return false;
        colour = cellColour(cell);
        return true;
    }
    return false;
}

int ColourPalette::markColour(Colour colour)
{
    const int cell = lastCellOfColour(colour);
    if (cell >= 0)
        m_frameCell = cell;
    return m_frameCell;
}

void ColourPalette::Label1_Click(int cell)
{
    if (isCell(cell))
        m_chosenCell = cell;
}

bool ColourPalette::takeChoice(Colour &colour, std::string &code)
{
    if (!hasChoice())
        return false;
    colour = cellColour(m_chosenCell);
    code = std::string(1, cellCode(m_chosenCell));
    m_chosenCell = -1;
    return true;
}

} // namespace kn4
