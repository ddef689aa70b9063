#pragma once

#include "kn4/colour.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kn4::editor {

// The suite's colour, also for code that uses the editor's namespace.
using kn4::Colour;
using kn4::rgb;

// The palette codes of the panel file: a colour box is written as one
// character and read back from it. The palette module owns the table
// (TestColore modes 1 and 2); the panel reader and writer only need these
// two conversions.
struct ColourCodec
{
    // The code character of a colour; leave the character unchanged (return
    // false) when no palette cell has that colour.
    std::function<bool(Colour colour, char &code)> toCode;
    // The colour of a code character; false, colour unchanged, when the
    // character names no cell.
    std::function<bool(char code, Colour &colour)> toColour;
};

// The header of a panel, as the texts of the editor's header fields; each
// text is kept exactly as typed (Windows-1252 bytes). The panel file keeps
// only as many characters of each as its columns hold.
struct PanelHeader
{
    std::string tipo;             // garment type, 5 characters in the file
    std::string taglia;           // size, 2
    std::string parte;            // garment part, 10
    std::string frontura;         // needles of the needle bed, 3
    std::string densita;          // density, 8
    std::string costinaDx;        // rib, right side (the only one when one-sided), 3
    std::string costinaSx;        // rib, left side, 3
    std::string scolloDx;         // neckline, right side, 3
    std::string scolloSx;         // neckline, left side, 3
    std::string altezzaBordo;     // border height, 5
    std::string aghiCm;           // needles per cm, 5
    std::string ranghiCm;         // courses per cm, 5
    std::string ingombroPettini;  // comb width: never stored, from the command line
    std::string predisposizione;  // set-up value, 1; "2" is a two-sided piece
    std::string uscita;           // exit value, 1
    std::array<std::string, 3> note;  // three free notes, 39 each

    bool operator==(const PanelHeader &) const = default;
};

// The panel the editor holds: header, colour boxes and program rows.
struct PanelModel
{
    static constexpr int kColourBoxes = 8;
    // The row store has 501 slots; the slot after the last row is the empty
    // line the window appends to, so a program holds at most 500 rows.
    static constexpr int kMaxRows = 500;

    // Default colours of the eight boxes (also the Reset button's): magenta,
    // cyan, white, yellow, red, green, grey, blue.
    static constexpr std::array<Colour, kColourBoxes> kDefaultColours{
        rgb(255, 0, 255), rgb(0, 255, 255), rgb(255, 255, 255), rgb(255, 255, 0),
        rgb(255, 0, 0),   rgb(0, 255, 0),   rgb(128, 128, 128), rgb(0, 0, 255),
    };

    PanelHeader header;
    std::array<Colour, kColourBoxes> colours = kDefaultColours;
    std::vector<std::string> rows;  // row texts (RowText), rows 0..count-1

    // Numeric value of the set-up field, taken when the panel is opened and
    // kept up to date by the header editing.
    std::int16_t predisposizioneValue = 0;

    // The set-up value that makes a piece two-sided (left and right rib and
    // neckline).
    static constexpr int kTwoSided = 2;
    bool isTwoSided() const;

    void resetColours() { colours = kDefaultColours; }
};

} // namespace kn4::editor
