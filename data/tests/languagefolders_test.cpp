// The language folders: every file of inglese/ and spagnolo/ holds what the
// Italian one holds, in the same order, as Windows-1252 text with CR LF line
// ends, and no text is wider than the place the program shows it in. One row
// of kFiles per language file; the Italian files meet the same limits. The
// manager's lingua.ini holds the three languages side by side on each line.
// A row whose Italian file is not part of the suite yet is skipped.

#include "datafiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace kn4::testing {
namespace {

const char *const kFolders[] = {"italiano", "inglese", "spagnolo"};

// Widths the programs give a range of lines: [first, last] at most `width`
// characters.
struct LineWidth
{
    int first;
    int last;
    std::size_t width;
};

// The editor's texts: the drawing's annotations, the row messages (the
// message area of a row, columns 43-63), the definition kinds (written over
// the 18 columns of a definition's kind), the compact report texts (behind
// "ERRORE ! : " in a window 400 pixels wide), the three buttons of the
// expert help (a third of the row list's width each), the crossing edges'
// row message, the row messages in words (one line of the status bar). The captions of the
// window are measured in pixels by the editor's own language test.
const std::vector<LineWidth> kEditorWidths = {
    {25, 36, 18}, {37, 44, 21}, {45, 50, 18}, {52, 55, 50}, {60, 62, 24}, {63, 63, 21},
    {72, 80, 125},
};

// The print program's definition kinds (labels 30-35), written over 16
// columns of a listed row.
const std::vector<LineWidth> kPrintWidths = {{30, 35, 16}};

enum class Shape {
    Lines,        // one text per line, the line number is the text's number
    HelpEntries,  // "|key colour" entries with a short and a long text
    KeywordWords, // VUZUDO.KEY: the first word of each line is a keyword slot
    LabelColumns, // a column of comma-separated texts per language; the
                  // first line's digit chooses the folder's column
};

struct LanguageFile
{
    const char *name;
    Shape shape;
    const std::vector<LineWidth> *widths;
};

const LanguageFile kFiles[] = {
    {"kn4edit.ini", Shape::Lines, &kEditorWidths},
    {"Kn4Edit.123", Shape::HelpEntries, nullptr},
    {"VUZUDO.KEY", Shape::KeywordWords, nullptr},
    {"simulatore.ini", Shape::LabelColumns, nullptr},
    {"stampa.ini", Shape::Lines, &kPrintWidths},
};

// Files of the program directory's root holding every language on one
// line: the texts separated by `separator`, Italian first.
struct SharedLanguageFile
{
    const char *path;  // under data/
    char separator;
};

const SharedLanguageFile kSharedFiles[] = {
    {"root/lingua.ini", '_'},
};

// The fields of a line read as the programs read them: the separator is
// appended until every language has a field, so a missing one is empty.
std::vector<std::string> fields(const std::string &line, char separator, std::size_t count)
{
    std::vector<std::string> result;
    std::size_t start = 0;
    while (result.size() < count) {
        const std::size_t end = line.find(separator, start);
        result.push_back(line.substr(std::min(start, line.size()),
                                     end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            start = line.size();
        else
            start = end + 1;
    }
    return result;
}

// One help entry as the editor reads it: key, colour word, short text,
// whether its long text continues a "C.S." (as above) line, whether it has text.
struct HelpEntry
{
    std::string key;
    std::string colour;
    std::string shortText;
    bool asAbove = false;
    bool hasText = false;
};

std::string firstWord(const std::string &line, const char *separators)
{
    const std::size_t start = line.find_first_not_of(separators);
    if (start == std::string::npos)
        return {};
    return line.substr(start, line.find_first_of(separators, start) - start);
}

std::vector<HelpEntry> helpEntries(const std::vector<std::string> &lines)
{
    std::vector<HelpEntry> entries;
    for (const std::string &line : lines) {
        if (!line.empty() && line[0] == '|') {
            HelpEntry entry;
            entry.key = firstWord(line.substr(1), " ");
            const std::size_t blank = line.find(' ');
            if (blank != std::string::npos)
                entry.colour = firstWord(line.substr(blank), " ");
            entries.push_back(entry);
            continue;
        }
        if (entries.empty() || line.empty())
            continue;
        HelpEntry &entry = entries.back();
        if (!entry.hasText)
            entry.shortText = line;
        entry.hasText = true;
        if (line == "C.S.")
            entry.asAbove = true;
    }
    return entries;
}

// The value of `key=` in the file's lines, empty when it has none.
std::string iniValue(const std::vector<std::string> &lines, const std::string &key)
{
    for (const std::string &line : lines)
        if (line.rfind(key + "=", 0) == 0)
            return line.substr(key.size() + 1);
    return {};
}

// Windows-1252 letters and signs of Italian and Spanish texts; a UTF-8
// sequence (Ã, Â...) or an undefined byte shows as anything else.
bool isTextByte(unsigned char c)
{
    static const std::string kAccented = "\xE0\xE8\xE9\xEC\xF2\xF9\xE1\xED\xF3\xFA\xF1\xD1\xBF\xA1\xFC"
                                         "\xC0\xC8\xC9\xCC\xD2\xD9\xC1\xCD\xD3\xDA\xDC\xB0\xAA\xBA";
    return (c >= 0x20 && c < 0x7F) || c == '\t' || kAccented.find(char(c)) != std::string::npos;
}

void PrintTo(const LanguageFile &file, std::ostream *os)
{
    *os << file.name;
}

class LanguageFileTest : public ::testing::TestWithParam<std::tuple<const char *, LanguageFile>>
{
protected:
    void SetUp() override
    {
        m_folder = std::get<0>(GetParam());
        m_file = std::get<1>(GetParam());
        if (!std::filesystem::exists(kDataDir / "italiano" / m_file.name))
            GTEST_SKIP() << m_file.name << " is not part of the suite yet";
        const std::filesystem::path path = kDataDir / m_folder / m_file.name;
        ASSERT_TRUE(std::filesystem::exists(path)) << path;
        m_text = readFile(path);
        m_lines = crlfLines(m_text, &m_wellEnded);
        m_italian = crlfLines(readFile(kDataDir / "italiano" / m_file.name), &m_italianWellEnded);
    }

    std::string m_folder;
    LanguageFile m_file{};
    std::string m_text;
    std::vector<std::string> m_lines;
    std::vector<std::string> m_italian;
    bool m_wellEnded = false;
    bool m_italianWellEnded = false;
};

TEST_P(LanguageFileTest, IsWindows1252TextWithCrLfLines)
{
    EXPECT_TRUE(m_wellEnded);
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const std::string &line = m_lines[i];
        const auto bad = std::find_if(line.begin(), line.end(), [](char c) { return !isTextByte((unsigned char)c); });
        EXPECT_EQ(bad, line.end()) << "line " << i + 1 << ": " << line;
    }
}

TEST_P(LanguageFileTest, HoldsEveryTextOfTheItalianFile)
{
    switch (m_file.shape) {
    case Shape::Lines:
        ASSERT_EQ(m_lines.size(), m_italian.size());
        for (std::size_t i = 0; i < m_lines.size(); ++i)
            EXPECT_EQ(m_lines[i].empty(), m_italian[i].empty()) << "text " << i;
        break;
    case Shape::KeywordWords:
        // The compiler, the editor, the panels and the machine rely on the
        // words; only comments and aliases are the language's own.
        ASSERT_EQ(m_lines.size(), m_italian.size());
        for (std::size_t i = 0; i < m_lines.size(); ++i)
            EXPECT_EQ(firstWord(m_lines[i], " ,\t"), firstWord(m_italian[i], " ,\t")) << "line " << i + 1;
        break;
    case Shape::LabelColumns: {
        ASSERT_EQ(m_lines.size(), m_italian.size());
        ASSERT_FALSE(m_lines.empty());
        const auto folder = std::find(std::begin(kFolders), std::end(kFolders), m_folder);
        const std::size_t column = std::size_t(folder - std::begin(kFolders));
        EXPECT_EQ(m_lines[0].substr(0, 1), std::to_string(column)) << "the first line chooses the column";
        for (std::size_t i = 1; i < m_lines.size(); ++i) {
            const std::vector<std::string> own = fields(m_lines[i], ',', column + 1);
            EXPECT_EQ(own[column].empty(), fields(m_italian[i], ',', 1)[0].empty()) << "line " << i + 1;
        }
        break;
    }
    case Shape::HelpEntries: {
        for (const char *key : {"Tempo_Esperto", "Tempo_Errore"})
            EXPECT_EQ(iniValue(m_lines, key), iniValue(m_italian, key)) << key;
        EXPECT_NE(std::find(m_lines.begin(), m_lines.end(), "[TEMPORIZZAZIONI]"), m_lines.end());
        const std::vector<HelpEntry> own = helpEntries(m_lines);
        const std::vector<HelpEntry> italian = helpEntries(m_italian);
        ASSERT_EQ(own.size(), italian.size());
        for (std::size_t i = 0; i < own.size(); ++i) {
            SCOPED_TRACE(italian[i].key);
            EXPECT_EQ(own[i].key, italian[i].key);
            // the colour is told by the word's first letter: V, G, R
            EXPECT_EQ(own[i].colour, italian[i].colour);
            EXPECT_EQ(own[i].hasText, italian[i].hasText);
            EXPECT_EQ(own[i].asAbove, italian[i].asAbove);
        }
        break;
    }
    }
}

TEST_P(LanguageFileTest, NoTextIsWiderThanItsPlace)
{
    if (m_file.shape == Shape::Lines && m_file.widths) {
        for (const LineWidth &range : *m_file.widths)
            for (int i = range.first; i <= range.last && i < int(m_lines.size()); ++i)
                EXPECT_LE(m_lines[std::size_t(i)].size(), range.width) << "text " << i << ": " << m_lines[std::size_t(i)];
    }
    if (m_file.shape == Shape::HelpEntries) {
        // the short text is the one line of the small help box
        for (const HelpEntry &entry : helpEntries(m_lines))
            EXPECT_LE(entry.shortText.size(), 70u) << entry.key << ": " << entry.shortText;
    }
    if (m_file.shape == Shape::KeywordWords) {
        // longer lines are read by the compiler as two lines
        for (std::size_t i = 0; i < m_lines.size(); ++i)
            EXPECT_LT(m_lines[i].size(), 79u) << "line " << i + 1;
    }
}

std::string rowName(const ::testing::TestParamInfo<LanguageFileTest::ParamType> &info)
{
    std::string name = std::string(std::get<0>(info.param)) + "_" + std::get<1>(info.param).name;
    std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum((unsigned char)c); }, '_');
    return name;
}

class SharedLanguageFileTest : public ::testing::TestWithParam<SharedLanguageFile>
{
};

TEST_P(SharedLanguageFileTest, EveryLineHoldsEveryLanguage)
{
    const std::filesystem::path path = kDataDir / GetParam().path;
    if (!std::filesystem::exists(path))
        GTEST_SKIP() << GetParam().path << " is not part of the suite yet";
    bool wellEnded = false;
    const std::vector<std::string> lines = crlfLines(readFile(path), &wellEnded);
    EXPECT_TRUE(wellEnded);
    const std::size_t languages = std::size(kFolders);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::vector<std::string> texts = fields(lines[i], GetParam().separator, languages);
        for (std::size_t language = 1; language < languages; ++language)
            EXPECT_EQ(texts[language].empty(), texts[0].empty())
                << kFolders[language] << ", line " << i + 1 << ": " << lines[i];
        const auto bad = std::find_if(lines[i].begin(), lines[i].end(), [](char c) { return !isTextByte((unsigned char)c); });
        EXPECT_EQ(bad, lines[i].end()) << "line " << i + 1 << ": " << lines[i];
    }
}

void PrintTo(const SharedLanguageFile &file, std::ostream *os)
{
    *os << file.path;
}

INSTANTIATE_TEST_SUITE_P(ProgramDirectory, SharedLanguageFileTest, ::testing::ValuesIn(kSharedFiles),
                         [](const auto &info) { return std::string(info.param.path).substr(5, 6); });

INSTANTIATE_TEST_SUITE_P(LanguageFolders, LanguageFileTest,
                         ::testing::Combine(::testing::ValuesIn(kFolders), ::testing::ValuesIn(kFiles)), rowName);

} // namespace
} // namespace kn4::testing
