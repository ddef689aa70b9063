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

std::string fillIn(std::string_view text, const std::vector<std::string> &values)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9'
            && std::size_t(text[i + 1] - '1') < values.size()) {
            result += values[std::size_t(text[i + 1] - '1')];
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

std::string panelNamesText(const std::vector<std::string> &names, const ManagerTexts &texts, Language language)
{
    // A few names, then how many more: the question stays readable for a
    // whole disk and still tells which panels go. The count of the others
    // is always two or more, so "altri" never names a single panel.
    constexpr std::size_t kNamesShown = 3;
    if (names.empty())
        return {};
    if (names.size() == 1)
        return names.front();
    const auto joined = [&](std::size_t count) {
        std::string list = names.front();
        for (std::size_t i = 1; i < count; ++i)
            list += ", " + names[i];
        return list;
    };
    if (names.size() > kNamesShown)
        return fillIn(texts.text(text::NamesAndMore, language),
                      {joined(kNamesShown - 1), std::to_string(names.size() - (kNamesShown - 1))});
    return joined(names.size() - 1) + texts.text(text::NamesAnd, language) + names.back();
}

std::string deleteQuestion(const std::vector<std::string> &names, std::string_view folder,
                           const ManagerTexts &texts, Language language)
{
    const int line = names.size() == 1 ? text::AskDeleteOnePanel : text::AskDeletePanels;
    return fillIn(texts.text(line, language), {panelNamesText(names, texts, language), std::string(folder)});
}

} // namespace kn4::manager
