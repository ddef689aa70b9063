// The keyword file of every language folder: the compiler takes each line's
// first word into the keyword slot of the line's number, the editor builds
// its command list from the same lines and shows the aliases over the start
// of a row.

#include "datafiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace kn4::testing {
namespace {

constexpr int kSlots = 46;
constexpr int kFirstHeaderWord = 11;
constexpr int kLastHeaderWord = 21;
constexpr int kCommandTextWidth = 15;  // columns 0-14 of a row

struct KeywordLine
{
    std::string token;  // first word, as the compiler reads it
    std::string alias;  // lower-case text after "ALIAS:", trimmed, as the editor reads it
    std::string line;
};

std::string trimmed(const std::string &s)
{
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

std::vector<KeywordLine> keywordLines(const char *folder, bool *wellEnded)
{
    std::vector<KeywordLine> result;
    for (const std::string &line : crlfLines(readFile(kDataDir / folder / "VUZUDO.KEY"), wellEnded)) {
        KeywordLine k;
        k.line = line;
        const std::size_t start = line.find_first_not_of(" ,\t");
        if (start != std::string::npos)
            k.token = line.substr(start, line.find_first_of(" ,\t", start) - start);
        const std::size_t alias = line.find("ALIAS:");
        if (alias != std::string::npos) {
            k.alias = trimmed(line.substr(alias + 6));
            std::transform(k.alias.begin(), k.alias.end(), k.alias.begin(),
                           [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; });
        }
        result.push_back(k);
    }
    return result;
}

class KeywordFileTest : public ::testing::TestWithParam<const char *>
{
protected:
    void SetUp() override
    {
        m_lines = keywordLines(GetParam(), &m_wellEnded);
        ASSERT_EQ(m_lines.size(), std::size_t(kSlots));
    }
    bool isHeaderWord(int line) const { return line >= kFirstHeaderWord && line <= kLastHeaderWord; }

    std::vector<KeywordLine> m_lines;
    bool m_wellEnded = false;
};

TEST_P(KeywordFileTest, OneWordPerSlotOnCrLfLinesTheCompilerReadsWhole)
{
    EXPECT_TRUE(m_wellEnded);
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const KeywordLine &k = m_lines[i];
        // longer lines would be read in pieces, each taking a slot
        EXPECT_LT(k.line.size(), 79u) << "line " << i;
        EXPECT_FALSE(k.token.empty()) << "line " << i << ": an empty line ends the reading";
        EXPECT_LE(k.token.size(), 20u) << "line " << i;
        EXPECT_EQ(k.token.find(';'), std::string::npos) << "line " << i << ": a comment glued to the word";
        EXPECT_TRUE(std::none_of(k.token.begin(), k.token.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
            << "line " << i;
    }
}

TEST_P(KeywordFileTest, TheLinesTheEditorNamesByNumberHoldTheirCommands)
{
    const std::array<std::pair<int, const char *>, 15> fixed{{
        {0, "DEFINIZIONE"}, {1, "SCOLLO"}, {2, "RIENTRO"}, {3, "CALATO"}, {6, "AUMENTAZIONE"},
        {11, "PRODUCO"}, {12, "NONPRODUCO"}, {13, "USCITA"}, {14, "PREDISPOSIZIONE"}, {15, "SCOLLO"},
        {16, "COSTINA"}, {17, "DENSITA"}, {18, "FRONTURA"}, {19, "PARTE"}, {20, "TAGLIA"},
    }};
    for (const auto &[line, word] : fixed)
        EXPECT_EQ(m_lines[std::size_t(line)].token, word) << "line " << line;
    EXPECT_EQ(m_lines[21].token, "TIPO");
    // entry 29 closes a cycle of cycles in the editor
    EXPECT_EQ(m_lines[29].token, "RIPETO");
}

TEST_P(KeywordFileTest, HeaderWordsCarryNoAlias)
{
    // The editor's alias pass also looks at the header entries: an alias
    // there would overwrite the caption of every row holding the word.
    for (int i = kFirstHeaderWord; i <= kLastHeaderWord; ++i)
        EXPECT_EQ(m_lines[std::size_t(i)].line.find("ALIAS:"), std::string::npos) << "line " << i;
    // The definition word's alias (the folder's word for "definizione")
    // takes no more columns than the word, so the kind after it stays put.
    EXPECT_LE(m_lines[0].alias.size(), std::string("definizione").size());
}

class KeywordFileLibraryTest : public KeywordFileTest
{
protected:
    void SetUp() override
    {
        KeywordFileTest::SetUp();
        ASSERT_TRUE(m_catalogue.loaded()) << "libkn4edit2.so in " << KN4_PROGRAM_DIR;
    }
    Catalogue m_catalogue;
};

TEST_P(KeywordFileLibraryTest, EveryCommandIsKnownToTheLibrary)
{
    for (int i = 0; i < kSlots; ++i) {
        if (!isHeaderWord(i)) {
            EXPECT_GE(m_catalogue.lookup(m_lines[std::size_t(i)].token).second, 0)
                << "line " << i << " " << m_lines[std::size_t(i)].token;
        }
    }
}

TEST_P(KeywordFileLibraryTest, AliasesEndBeforeTheFirstParameter)
{
    for (int i = 0; i < kSlots; ++i) {
        const KeywordLine &k = m_lines[std::size_t(i)];
        if (k.alias.empty() || isHeaderWord(i))
            continue;
        const int p1 = m_catalogue.p1First(m_catalogue.lookup(k.token).second);
        int limit = p1 < 0 ? kCommandTextWidth : p1;
        // the side commands may carry the left-side mark, which moves P1
        // one column to the left
        if (i == 1 || i == 2 || i == 3 || i == 6)
            limit = std::min(limit, p1 - 1);
        EXPECT_LE(int(k.alias.size()), limit) << "line " << i << " alias \"" << k.alias << "\"";
    }
}

TEST_P(KeywordFileLibraryTest, CommandsOfAFamilyCarryAnAlias)
{
    // The command list shows a family's shared word (PETTINI_?, TRECCIA_?,
    // AUMENTA) unless the entry has an alias.
    for (int i = 0; i < kSlots; ++i) {
        if (isHeaderWord(i))
            continue;
        const KeywordLine &k = m_lines[std::size_t(i)];
        if (m_catalogue.lookup(k.token).first != k.token) {
            EXPECT_FALSE(k.alias.empty()) << "line " << i << " " << k.token;
        }
    }
}

TEST_P(KeywordFileLibraryTest, AliasesAreDistinct)
{
    // Two commands under one alias could not be told apart in the command list.
    std::vector<std::string> seen;
    for (const KeywordLine &k : m_lines) {
        if (k.alias.empty())
            continue;
        EXPECT_EQ(std::find(seen.begin(), seen.end(), k.alias), seen.end()) << k.alias;
        seen.push_back(k.alias);
    }
}

INSTANTIATE_TEST_SUITE_P(LanguageFolders, KeywordFileTest, ::testing::Values("italiano", "inglese", "spagnolo"));
INSTANTIATE_TEST_SUITE_P(LanguageFolders, KeywordFileLibraryTest,
                         ::testing::Values("italiano", "inglese", "spagnolo"));

} // namespace
} // namespace kn4::testing
