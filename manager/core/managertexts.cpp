#include "core/managertexts.h"

#include <kn4/labelfile.h>

namespace kn4::manager {

namespace {

// Each line is read with five "_" appended, so a line with fewer
// translations gives empty texts for the languages it lacks.
std::vector<std::array<std::string, kLanguageCount>> splitLanguages(const LabelFile &lines)
{
    std::vector<std::array<std::string, kLanguageCount>> result;
    for (const std::string &line : lines.lines()) {
        const std::string padded = line + "_____";
        std::array<std::string, kLanguageCount> texts;
        std::size_t start = 0;
        for (std::string &language : texts) {
            const std::size_t end = padded.find('_', start);
            language = padded.substr(start, end - start);
            start = end + 1;
        }
        result.push_back(std::move(texts));
    }
    return result;
}

} // namespace

bool ManagerTexts::load(const std::filesystem::path &file)
{
    const LabelFile lines = LabelFile::load(file, kMaxLines);
    if (lines.status() == LabelFile::Status::Missing)
        return false;
    m_lines = splitLanguages(lines);
    return true;
}

void ManagerTexts::loadText(std::string_view text)
{
    m_lines = splitLanguages(LabelFile::fromText(text, kMaxLines));
}

std::string ManagerTexts::text(int line, Language language) const
{
    if (line < 0 || std::size_t(line) >= m_lines.size())
        return {};
    return m_lines[std::size_t(line)][std::size_t(language)];
}

} // namespace kn4::manager
