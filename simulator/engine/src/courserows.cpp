#include "simulator/courserows.h"

#include "kn4/filelookup.h"
#include "kn4/filereader.h"

#include <unordered_map>

namespace kn4 {

namespace {

// Entry 0 of every keyword file: the slot order is fixed, so a missing file
// still tells definition rows from the others.
constexpr std::string_view kDefinitionOnly = "DEFINIZIONE\r\n";

std::string upper(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return out;
}

std::string_view trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The folder's words for the commands: for every keyword of the keyword
// file (upper case), the "ALIAS:" of the first line that names it, in lower
// case as the editor's row list shows it; empty where that line has none.
// Read once for a panel, not once for every row.
std::unordered_map<std::string, std::string> aliasesOf(std::string_view keywordText)
{
    std::unordered_map<std::string, std::string> aliases;
    std::size_t pos = 0;
    while (pos < keywordText.size()) {
        std::size_t end = keywordText.find('\n', pos);
        if (end == std::string_view::npos)
            end = keywordText.size();
        std::string_view line = keywordText.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const auto [slot, added] = aliases.try_emplace(upper(trimmed(line.substr(0, line.find(';')))));
        const std::size_t marker = line.find("ALIAS:");
        if (!added || marker == std::string_view::npos)
            continue;
        std::string &alias = slot->second;
        alias = trimmed(line.substr(marker + 6));
        for (char &c : alias)
            if (c >= 'A' && c <= 'Z')
                c = char(c - 'A' + 'a');
    }
    return aliases;
}

} // namespace

CourseRows CourseRows::fromText(std::string_view panelText, std::string_view keywordText)
{
    CourseRows rows;
    rows.m_map = editor::CourseMap::fromPanelText(panelText, keywordText.empty() ? kDefinitionOnly : keywordText);
    rows.m_rows.reserve(rows.m_map.rows().size());
    const std::unordered_map<std::string, std::string> aliases = aliasesOf(keywordText);
    for (const editor::CourseMap::Row &row : rows.m_map.rows()) {
        std::string shown = row.text;
        const std::size_t wordEnd = std::min(shown.find(' '), shown.size());
        if (const auto alias = aliases.find(upper(std::string_view(shown).substr(0, wordEnd)));
            alias != aliases.end() && !alias->second.empty())
            shown.replace(0, wordEnd, alias->second);
        rows.m_rows.push_back(Row{row.sourceLine, row.text, std::move(shown)});
    }
    return rows;
}

CourseRows CourseRows::load(const std::filesystem::path &panel, const std::filesystem::path &languageFolder)
{
    const FileContent panelText = FileReader::read(panel, FileReader::kPanelLimit);
    if (!panelText)
        return {};
    std::string keywords;
    if (const auto keywordFile = findFileIgnoringCase(languageFolder.empty() ? "." : languageFolder, kKeywordFile))
        if (FileContent content = FileReader::read(*keywordFile, FileReader::kTextFileLimit))
            keywords = std::move(content.bytes);
    return fromText(panelText.bytes, keywords);
}

const CourseRows::Row *CourseRows::rowOfCourse(std::int64_t course) const
{
    if (course < first() || course > last())
        return nullptr;
    const int row = m_map.rowAtCourse(int(course));
    return row >= 0 && row < int(m_rows.size()) ? &m_rows[std::size_t(row)] : nullptr;
}

std::string CourseRows::describe(std::int64_t course, std::string_view rowWord) const
{
    const Row *row = rowOfCourse(course);
    if (row == nullptr)
        return {};
    return std::string(rowWord) + " " + std::to_string(row->line) + ": " + row->shown;
}

} // namespace kn4
