#include "simulator/courserows.h"

#include "kn4/filelookup.h"
#include "kn4/filereader.h"

namespace kn4 {

namespace {

// Entry 0 of every keyword file: the slot order is fixed, so a missing file
// still tells definition rows from the others.
constexpr std::string_view kDefinitionOnly = "DEFINIZIONE\r\n";

} // namespace

CourseRows CourseRows::fromText(std::string_view panelText, std::string_view keywordText)
{
    CourseRows rows;
    rows.m_map = editor::CourseMap::fromPanelText(panelText, keywordText.empty() ? kDefinitionOnly : keywordText);
    rows.m_rows.reserve(rows.m_map.rows().size());
    for (const editor::CourseMap::Row &row : rows.m_map.rows())
        rows.m_rows.push_back(Row{row.sourceLine, row.text});
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
    return std::string(rowWord) + " " + std::to_string(row->line) + ": " + row->text;
}

} // namespace kn4
