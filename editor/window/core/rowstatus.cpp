#include "window/core/rowstatus.h"

#include "document/rowtext.h"

namespace kn4::editor {

namespace {

constexpr int kMessageField = 7;
// A definition's kind stands in columns 12-29 of its row as shown.
constexpr int kKindFirst = 12;
constexpr int kKindLast = 29;
// What the writer keeps of a row: columns 0-26.
constexpr int kWrittenLast = 26;

// Words of a row as shown, separated by single blanks.
std::string words(std::string_view text)
{
    std::string result;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = text.find_first_not_of(" ,", pos);
        if (start == std::string_view::npos)
            break;
        const std::size_t end = std::min(text.find_first_of(" ,", start), text.size());
        if (!result.empty())
            result += ' ';
        result += text.substr(start, end - start);
        pos = end;
    }
    return result;
}

std::string rowWord(const LanguageTable &language, int sourceLine)
{
    std::string word = language.text(LanguageTable::Riga);
    return (word.empty() ? std::string("Riga") : word) + " " + std::to_string(sourceLine);
}

} // namespace

int RowStatus::messageLine(std::string_view rowText, const LanguageTable &language)
{
    if (RowText::entryIndex(rowText) == RowText::kDefinitionEntry)
        return -1;  // a definition's P2 stands where the messages go
    const std::string shown(trimBlanks(RowText::field(rowText, kMessageField)));
    if (shown.empty())
        return -1;
    auto matches = [&](int line) {
        const std::string text(trimBlanks(language.text(line)));
        return !text.empty() && text == shown;
    };
    for (int line = LanguageTable::FirstRowMessage; line <= LanguageTable::LastRowMessage; ++line)
        if (matches(line))
            return line;
    return matches(LanguageTable::BordiIncrociati) ? LanguageTable::BordiIncrociati : -1;
}

std::string RowStatus::describe(std::string_view rowText, int sourceLine, const LanguageTable &language,
                                const std::vector<std::string> &compileErrors)
{
    std::string text = rowWord(language, sourceLine);
    const int line = messageLine(rowText, language);
    if (line >= 0) {
        const std::string hint = language.text(LanguageTable::hintOf(line));
        text += ": " + (hint.empty() ? std::string(trimBlanks(language.text(line))) : hint);
    }
    if (!compileErrors.empty()) {
        std::string words = language.text(LanguageTable::ErroreCompilazione);
        text += (line >= 0 ? "  " : ": ") + (words.empty() ? std::string("Errore di compilazione") : words) + ": ";
        for (std::size_t i = 0; i < compileErrors.size(); ++i)
            text += (i ? "; " : "") + compileErrors[i];
    }
    return text;
}

std::string RowStatus::courseText(int step, const CourseMap &map, const std::vector<std::string> &rows,
                                  const LanguageTable &language, const CommandList &commands,
                                  bool leftSideLabelsShown)
{
    if (step < 0 || step >= map.steps())
        return {};
    std::string courses = language.text(LanguageTable::Ranghi);
    std::string text = (courses.empty() ? std::string("Ranghi:") : courses) + " " + std::to_string(step);
    for (const int r : map.rowsAtStep(step)) {
        if (r < 0 || r >= int(rows.size()))
            continue;
        const CourseMap::Row &row = map.rows()[std::size_t(r)];
        text += "  " + rowWord(language, row.sourceLine);
        if (row.definition >= 0 && row.definition < int(rows.size())) {
            const std::string definition = ModificaLabel(rows[std::size_t(row.definition)], language, commands,
                                                         leftSideLabelsShown);
            text += " (" + std::string(trimBlanks(RowText::columns(definition, kKindFirst, kKindLast))) + ")";
        }
        const std::string shown = ModificaLabel(rows[std::size_t(r)], language, commands, leftSideLabelsShown);
        text += ": " + words(RowText::columns(shown, 0, kWrittenLast));
    }
    return text;
}

} // namespace kn4::editor
