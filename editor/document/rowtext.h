#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kn4::editor {

// The row text: the editor's fixed-column form of one program row. Every row
// of the row store is one such text of 80 characters, shown in a fixed-pitch
// font; columns are counted from 0.
//
//   0-14   field 0  command text: the command name in lower case, followed by
//                   its parameters P1 and P2 at the columns the library gives
//                   for the command (GetPosizioneParametri). A definition
//                   row's P1 (12-30) and P2 (43-62) reach beyond this field.
//   15     ","
//   16     interval marker: blank, or "-" when the command line's marker
//          mode is not 1; cleared on save unless column 17 holds 1-9
//   17-20  field 1  interval (intervallo, inner cycle), left-aligned
//   21     ","
//   22     "-" when the row belongs to a cycle of cycles, else blank
//   23-26  field 2  repetition (ripetizione, outer cycle), left-aligned
//   27     blank
//   28     field 3  cycle-of-cycles mark: "C" when marked, "." otherwise
//   29     blank
//   30-33  field 4  running total of courses, right-aligned
//   34     blank
//   35-37  field 5  outer carriage position in needles, right-aligned
//   38     blank
//   39-41  field 6  inner carriage position in needles, right-aligned
//   42     blank
//   43-63  field 7  message area of the running totals
//   55-60  field 8  shaping mark (modellatura), inside the message area
//   62     field 9  flag mark, inside the message area
//   64-65  blanks (end of the 66 visible columns)
//   66-68  blanks
//   69-73  function code of the command in the library, decimal, left-aligned
//          and blank-padded (-1 for the header words of entries 11-21)
//   74     blank
//   75-79  index of the command's entry in the command list, decimal,
//          left-aligned and blank-padded
//
// The row store keeps the texts as plain std::string; the functions here
// read and build them. Every reader treats columns past the end of a shorter
// text as blanks, so no function ever reads beyond a text.

// First and last column of one field of the row text.
struct FieldSpan
{
    int first = 0;
    int last = 0;
    constexpr int width() const { return last - first + 1; }
};

// The ten editable or computed fields, numbered as the hint keys and the
// click handling number them.
class FieldTable
{
public:
    static constexpr int kFieldCount = 10;

    static constexpr FieldSpan field(int number) { return kFields[std::size_t(number)]; }

private:
    static constexpr std::array<FieldSpan, kFieldCount> kFields{{
        {0, 14},  // 0 command text
        {17, 20}, // 1 interval
        {23, 26}, // 2 repetition
        {28, 28}, // 3 cycle-of-cycles mark
        {30, 33}, // 4 running total of courses
        {35, 37}, // 5 outer carriage
        {39, 41}, // 6 inner carriage
        {43, 63}, // 7 message area
        {55, 60}, // 8 shaping mark
        {62, 62}, // 9 flag mark
    }};
};

// Where a command's parameters stand in the row text, as the library's
// GetPosizioneParametri gives them; -1 where the command has no such field.
struct ParameterPositions
{
    std::int32_t p1First = -1;
    std::int32_t p1Last = -1;
    std::int32_t p2First = -1;
    std::int32_t p2Last = -1;

    bool hasP1() const { return p1First >= 0 && p1Last >= p1First; }
    bool hasP2() const { return p2First >= 0 && p2Last >= p2First; }
    int p1Width() const { return hasP1() ? p1Last - p1First + 1 : 0; }
    int p2Width() const { return hasP2() ? p2Last - p2First + 1 : 0; }
};

// The texts a new row of a command starts with, as the library's GetDefault
// gives them (" 1" for P1/P2 values, "1" for the cycle fields).
struct DefaultTexts
{
    std::string p1;
    std::string p2;
    std::string interval;
    std::string repetition;
};

class RowText
{
public:
    static constexpr int kLength = 80;         // whole row text
    static constexpr int kVisibleLength = 66;  // what the row labels show
    static constexpr int kCommandFirst = 0;
    static constexpr int kCommandLast = 14;
    static constexpr int kIntervalComma = 15;
    static constexpr int kIntervalMarker = 16;
    static constexpr int kRepetitionComma = 21;
    static constexpr int kCycleOfCyclesDash = 22;
    static constexpr int kCycleOfCyclesMark = 28;
    static constexpr int kShapingMarkLast = 60;
    static constexpr int kFlagMark = 62;
    static constexpr int kFunctionCodeColumn = 69;
    static constexpr int kEntryIndexColumn = 75;
    static constexpr int kNumberWidth = 5;

    // The longest command text (field 0): names are cut to it.
    static constexpr int kCommandWidth = kCommandLast - kCommandFirst + 1;

    // The empty row template of 66 columns: blanks, "," at 15 and 21, "." at
    // 28, 60 and 62. With intervalMarkerDash it carries "-" at column 16, so
    // every new row has the marker (command-line marker mode other than 1).
    static std::string emptyTemplate(bool intervalMarkerDash = false);

    // The character at a column, a blank past the end of the text.
    static char at(std::string_view row, int column);
    // Columns first..last (a blank for each column past the end).
    static std::string columns(std::string_view row, int first, int last);
    static std::string field(std::string_view row, int number);

    // Writes text left-aligned into columns first..last, padded with fill and
    // cut to the width; the row is first extended with blanks when shorter.
    static void overlay(std::string &row, int first, int last, std::string_view text,
                        char fill = ' ');
    // Writes text right-aligned into first..last (cut to the width).
    static void overlayRight(std::string &row, int first, int last, std::string_view text);

    // Cuts the row to its 66 visible columns (blank-padded) and appends three
    // blanks, the function code in 5 columns, a blank and the entry index in
    // 5 columns: the 80-character row text.
    static std::string withCodes(std::string_view visible, std::int32_t functionCode,
                                 int entryIndex);
    // The stored function code and entry index (plain decimal reading of the
    // 5 columns; 0 when they are blank or missing).
    static std::int32_t functionCode(std::string_view row);
    static int entryIndex(std::string_view row);

    // The interval and the repetition as the compiler reads them from a row
    // line or a row text: the first word of columns 17-20 (23-26), negative
    // when the interval marker "-" at column 16 stands before a digit 1-9
    // (the writer keeps it only there) or when the cycle-of-cycles "-"
    // stands at column 22; 0 when there is no number.
    static int signedInterval(std::string_view row);
    static int signedRepetition(std::string_view row);

    // The 1-based position of the first blank of the row, capped at 15: the
    // end of the command name.
    static int nameEnd(std::string_view row);

    // A new row for a command-list entry: the empty template (with the
    // marker when asked), the name in lower case in field 0, the default
    // interval and repetition, "0" in the three totals, a blank message area,
    // then P1 and P2 left-aligned into their columns, and the codes appended.
    static std::string buildNew(std::string_view commandName, std::int32_t functionCode,
                                int entryIndex, const ParameterPositions &positions,
                                const DefaultTexts &defaults, bool intervalMarkerDash = false);

    // Whether a new row of this entry gets the left-side mark. The set-up
    // options of the command line decide which sides ask for it (bit 2 for
    // entries 3 and 6, bit 1 for entries 1 and 2); the mark is due when a
    // definition row (entry 0) above the insertion point speaks of the left
    // side ("sin", any case). rowsAbove are the rows from row 0 to the row
    // just above the insertion point.
    static bool wantsLeftSideMark(int setupOptions, int entryIndex,
                                  const std::vector<std::string> &rowsAbove);
    // Adds the left-side mark: the P1 text moves one column to the left and
    // "s" takes P1's last column. Does nothing for a command without P1 or
    // with P1 at column 0.
    static void addLeftSideMark(std::string &row, const ParameterPositions &positions);
    // True when P1's columns hold the mark "s" (either case).
    static bool hasLeftSideMark(std::string_view row, const ParameterPositions &positions);

    // Command-list entries the row logic names by index.
    static constexpr int kDefinitionEntry = 0;     // DEFINIZIONE
    static constexpr int kNecklineEntry = 1;       // SCOLLO
    static constexpr int kReturnEntry = 2;         // RIENTRO
    static constexpr int kDecreaseEntry = 3;       // CALATO
    static constexpr int kIncreaseEntry = 6;       // AUMENTAZIONE
    static constexpr int kCycleOfCyclesEndEntry = 29;
};

// ASCII lower and upper case of a text; other bytes stay as they are.
std::string toLowerAscii(std::string_view text);
std::string toUpperAscii(std::string_view text);
// Removes blanks at both ends.
std::string_view trimBlanks(std::string_view text);

} // namespace kn4::editor
