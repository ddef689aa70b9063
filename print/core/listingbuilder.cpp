#include "listingbuilder.h"

#include "aliastable.h"
#include "countcolumn.h"

#include "kn4/labelfile.h"

#include <algorithm>
#include <cctype>

namespace kn4 {

namespace {

// Overwrites text from pos with value padded to width, as far as the text
// reaches: the text keeps its length.
void overwrite(std::string &text, std::size_t pos, std::string value, std::size_t width)
{
    value.resize(width, ' ');
    for (std::size_t i = 0; i < width && pos + i < text.size(); ++i)
        text[pos + i] = value[i];
}

std::size_t findIgnoringCase(std::string_view text, std::string_view word, std::size_t from)
{
    auto it = std::search(text.begin() + std::min(from, text.size()), text.end(), word.begin(), word.end(),
                          [](char a, char b) {
                              return std::toupper(static_cast<unsigned char>(a)) ==
                                     std::toupper(static_cast<unsigned char>(b));
                          });
    return it == text.end() ? std::string_view::npos : std::size_t(it - text.begin());
}

// Line ends and other control bytes of a short or damaged row print as blanks.
std::string printable(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        if (static_cast<unsigned char>(c) < ' ')
            c = ' ';
    return out;
}

// "|" + the row number with its leading blank, cut or padded to 5 + "| ".
std::string numberField(int number)
{
    std::string field = " " + std::to_string(number);
    field.resize(5, ' ');
    return "| " + field + "| ";
}

} // namespace

ListingBuilder::ListingBuilder(const AliasTable &aliases, const LabelFile &labels, std::int32_t setupValue)
    : m_aliases(aliases), m_labels(labels), m_setupValue(setupValue)
{
}

std::string ListingBuilder::withAlias(std::string row) const
{
    const AliasTable::Entry *entry = m_aliases.aliasFor(row);
    if (!entry)
        return row;
    // The parameters begin at the first character after the command word
    // that is not a blank; neither they nor the comma before the interval
    // are ever covered: a longer alias is cut, keeping a blank before them.
    const std::size_t wordEnd = std::min(row.find_first_of(" ,"), row.size());
    const std::size_t limit = std::min({row.find_first_not_of(' ', wordEnd), row.find(','), row.size()});
    std::string alias = entry->alias;
    std::size_t width = std::max(entry->keyword.size(), alias.size());
    if (width > limit) {
        width = limit;
        alias.resize(limit);
        if (limit > 0 && limit < row.size())
            alias.back() = ' ';
    }
    overwrite(row, 0, alias, width);
    return row;
}

std::string ListingBuilder::withLabels(std::string row) const
{
    static constexpr struct
    {
        std::string_view word;
        int label;
    } kKinds[] = {{"ALTRO", 31}, {"LATO", 30}, {"SCOLLO", 32}, {"RIGATURA", 33}};
    constexpr std::size_t kLabelWidth = 16;
    for (const auto &kind : kKinds) {
        const std::size_t pos = findIgnoringCase(row, kind.word, 10);
        if (pos != std::string::npos) {
            overwrite(row, pos, m_labels.text(kind.label), kLabelWidth);
            return row;
        }
    }
    const std::size_t pos = findIgnoringCase(row, "PROFILO", 0);
    if (pos != std::string::npos)
        overwrite(row, pos, m_labels.text(m_setupValue == 2 ? 35 : 34), kLabelWidth);
    return row;
}

std::vector<ListingLine> ListingBuilder::build(std::string_view programText) const
{
    std::vector<ListingLine> lines;
    if (programText.empty())
        return lines; // no definition row: nothing to list
    CountColumn count;
    const std::string first = printable(programText.substr(0, kPrintedColumns));
    // Its kind word is replaced within the row's own 27 columns, so that
    // "PROFILO ESTERNO" does not cover the count column's "|".
    lines.push_back({0, numberField(0) + withLabels(withAlias(first)) + std::string(CountColumn::kRestart), false});
    if (programText.size() <= 44)
        return lines;

    // Every row that starts within the text is listed, the last one also
    // when the file ends without its line break; a trailing fragment of
    // blanks and line ends is no row.
    for (std::size_t r = 0; kRowLine + kRowLine * r < programText.size(); ++r) {
        std::string row = printable(programText.substr(kRowLine + kRowLine * r, kPrintedColumns));
        if (row.find_first_not_of(' ') == std::string::npos && kRowLine * (r + 2) > programText.size())
            break;
        // The interval marker and the cycle-of-cycles marker are not
        // printed; the latter prints its row in bold.
        for (std::size_t c = 16; c < 20 && c < row.size(); ++c) {
            if (row[c] == '-') {
                row[c] = ' ';
                break;
            }
        }
        bool bold = false;
        for (std::size_t c = 20; c < row.size(); ++c) {
            if (row[c] == '-') {
                row[c] = ' ';
                bold = true;
                break;
            }
        }
        // The count reads the row before the alias: a long alias may cover
        // the comma that opens the interval.
        const std::string column = count.next(row, bold, m_labels.text(28));
        std::string shown = withAlias(row);
        if (row.find(',') == std::string::npos)
            shown = withLabels(shown);
        lines.push_back({int(r + 1), numberField(int(r + 1)) + shown + column, bold});
    }
    return lines;
}

} // namespace kn4
