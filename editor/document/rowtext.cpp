#include "rowtext.h"

#include "kn4/number.h"

#include <algorithm>

namespace kn4::editor {

std::string toLowerAscii(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return out;
}

std::string toUpperAscii(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return out;
}

std::string_view trimBlanks(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && text[begin] == ' ')
        ++begin;
    while (end > begin && text[end - 1] == ' ')
        --end;
    return text.substr(begin, end - begin);
}

std::string RowText::emptyTemplate(bool intervalMarkerDash)
{
    std::string row(kVisibleLength, ' ');
    row[kIntervalComma] = ',';
    row[kRepetitionComma] = ',';
    row[kCycleOfCyclesMark] = '.';
    row[kShapingMarkLast] = '.';
    row[kFlagMark] = '.';
    if (intervalMarkerDash)
        row[kIntervalMarker] = '-';
    return row;
}

char RowText::at(std::string_view row, int column)
{
    if (column < 0 || std::size_t(column) >= row.size())
        return ' ';
    return row[std::size_t(column)];
}

std::string RowText::columns(std::string_view row, int first, int last)
{
    if (first < 0 || last < first)
        return {};
    // Blanks past the end of a shorter row.
    std::string out(std::size_t(last - first) + 1, ' ');
    if (std::size_t(first) < row.size())
        row.substr(std::size_t(first)).copy(out.data(), out.size());
    return out;
}

std::string RowText::field(std::string_view row, int number)
{
    if (number < 0 || number >= FieldTable::kFieldCount)
        return {};
    const FieldSpan span = FieldTable::field(number);
    return columns(row, span.first, span.last);
}

void RowText::overlay(std::string &row, int first, int last, std::string_view text, char fill)
{
    if (first < 0 || last < first)
        return;
    if (row.size() <= std::size_t(last))
        row.resize(std::size_t(last) + 1, ' ');
    const std::size_t width = std::size_t(last - first + 1);
    for (std::size_t i = 0; i < width; ++i)
        row[std::size_t(first) + i] = i < text.size() ? text[i] : fill;
}

void RowText::overlayRight(std::string &row, int first, int last, std::string_view text)
{
    if (first < 0 || last < first)
        return;
    const std::size_t width = std::size_t(last - first + 1);
    if (text.size() > width)
        text = text.substr(0, width);
    std::string padded(width - text.size(), ' ');
    padded += text;
    overlay(row, first, last, padded);
}

std::string RowText::withCodes(std::string_view visible, std::int32_t functionCode, int entryIndex)
{
    std::string row = columns(visible, 0, kVisibleLength - 1);
    row += "   ";
    std::string code = std::to_string(functionCode);
    std::string entry = std::to_string(entryIndex);
    code.resize(kNumberWidth, ' ');
    entry.resize(kNumberWidth, ' ');
    row += code;
    row += ' ';
    row += entry;
    return row;
}

std::int32_t RowText::functionCode(std::string_view row)
{
    return leadingInteger(columns(row, kFunctionCodeColumn, kFunctionCodeColumn + kNumberWidth - 1));
}

int RowText::entryIndex(std::string_view row)
{
    return leadingInteger(columns(row, kEntryIndexColumn, kEntryIndexColumn + kNumberWidth - 1));
}

namespace {

// The first blank- or comma-delimited word in columns first..last, as the
// compiler's reader cuts it out of the saved row, read as a number.
int cycleToken(std::string_view row, int first, int last)
{
    const std::string text = RowText::columns(row, first, last);
    const std::size_t start = text.find_first_not_of(" ,");
    if (start == std::string::npos)
        return 0;
    const std::size_t end = text.find_first_of(" ,", start);
    return leadingInteger(std::string_view(text).substr(start, end - start));
}

} // namespace

int RowText::signedInterval(std::string_view row)
{
    const FieldSpan span = FieldTable::field(1);
    const char first = at(row, span.first);
    const int value = cycleToken(row, span.first, span.last);
    if (at(row, kIntervalMarker) == '-' && first >= '1' && first <= '9')
        return -value;
    return value;
}

int RowText::signedRepetition(std::string_view row)
{
    return cycleToken(row, kCycleOfCyclesDash, FieldTable::field(2).last);
}

int RowText::nameEnd(std::string_view row)
{
    const std::size_t blank = row.find(' ');
    if (blank == std::string_view::npos || blank + 1 > std::size_t(kCommandWidth))
        return kCommandWidth;
    return int(blank) + 1;
}

std::string RowText::buildNew(std::string_view commandName, std::int32_t functionCode,
                              int entryIndex, const ParameterPositions &positions,
                              const DefaultTexts &defaults, bool intervalMarkerDash)
{
    std::string row = emptyTemplate(intervalMarkerDash);
    const FieldSpan command = FieldTable::field(0);
    const FieldSpan interval = FieldTable::field(1);
    const FieldSpan repetition = FieldTable::field(2);
    overlay(row, command.first, command.last, toLowerAscii(commandName));
    overlay(row, interval.first, interval.last, defaults.interval);
    overlay(row, repetition.first, repetition.last, defaults.repetition);
    for (int totalsField = 4; totalsField <= 6; ++totalsField) {
        const FieldSpan span = FieldTable::field(totalsField);
        overlayRight(row, span.first, span.last, "0");
    }
    const FieldSpan message = FieldTable::field(7);
    overlay(row, message.first, message.last, "");
    // The library's columns are trusted only inside the visible row.
    if (!defaults.p1.empty() && positions.hasP1() && positions.p1Last < kVisibleLength)
        overlay(row, positions.p1First, positions.p1Last, defaults.p1);
    if (!defaults.p2.empty() && positions.hasP2() && positions.p2Last < kVisibleLength)
        overlay(row, positions.p2First, positions.p2Last, defaults.p2);
    return withCodes(row, functionCode, entryIndex);
}

bool RowText::wantsLeftSideMark(int setupOptions, int entryIndex,
                                const std::vector<std::string> &rowsAbove)
{
    const bool decreaseSide = (setupOptions & 2) == 0 &&
                              (entryIndex == kDecreaseEntry || entryIndex == kIncreaseEntry);
    const bool necklineSide = (setupOptions & 1) == 0 &&
                              (entryIndex == kNecklineEntry || entryIndex == kReturnEntry);
    if (!decreaseSide && !necklineSide)
        return false;
    return std::any_of(rowsAbove.rbegin(), rowsAbove.rend(), [](const std::string &row) {
        return RowText::entryIndex(row) == kDefinitionEntry &&
               toLowerAscii(row).find("sin") != std::string::npos;
    });
}

void RowText::addLeftSideMark(std::string &row, const ParameterPositions &positions)
{
    if (!positions.hasP1() || positions.p1First < 1 || positions.p1Last >= kVisibleLength)
        return;
    std::string marked = columns(row, positions.p1First, positions.p1Last);
    marked += 's';
    overlay(row, positions.p1First - 1, positions.p1Last, marked);
}

bool RowText::hasLeftSideMark(std::string_view row, const ParameterPositions &positions)
{
    if (!positions.hasP1())
        return false;
    const std::string p1 = toLowerAscii(columns(row, positions.p1First, positions.p1Last));
    return p1.find('s') != std::string::npos;
}

} // namespace kn4::editor
