#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kn4 {

class AliasTable;
class LabelFile;

// One printed line of the program listing (Windows-1252 text).
struct ListingLine
{
    int number = 0;   // 0 for the first definition row
    std::string text; // "|   12| " + row text + count column
    bool bold = false;
};

// Turns the program rows of a compiled panel into the printed listing: each
// row line is 42 bytes (40 characters and CR LF) and only its first 27
// characters are printed, with the command word shown by its alias, the
// definition kinds by the language's words, and the running course count.
class ListingBuilder
{
public:
    static constexpr std::size_t kRowLine = 42;
    static constexpr std::size_t kPrintedColumns = 27;

    ListingBuilder(const AliasTable &aliases, const LabelFile &labels, std::int32_t setupValue);

    // programText starts at the first definition row.
    std::vector<ListingLine> build(std::string_view programText) const;

    // The alias of the row's command word laid over the start of the row:
    // as many characters as the longer of keyword and alias, never
    // lengthening the row and never reaching the parameters or the comma
    // before the interval (a longer alias is cut there).
    std::string withAlias(std::string row) const;
    // The definition kind words (ALTRO, LATO, SCOLLO, RIGATURA, else
    // PROFILO) overwritten by the language's words, 16 characters.
    std::string withLabels(std::string row) const;

private:
    const AliasTable &m_aliases;
    const LabelFile &m_labels;
    std::int32_t m_setupValue;
};

} // namespace kn4
