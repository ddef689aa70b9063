// The sample archive: every panel in the exact source form the editor
// writes, so the editor, the compiler and the other programs read it as
// they read a saved panel.

#include "datafiles.h"

#include <gtest/gtest.h>

#include <set>

namespace kn4::testing {
namespace {

constexpr std::size_t kLineWidth = 40;
constexpr std::size_t kHeaderLines = 10;

// A header template and its value columns; every other column must hold
// the template's own character.
struct Template
{
    std::string text;
    std::vector<std::pair<std::size_t, std::size_t>> fields;
};

const Template kTypeLine{"tipo -----, taglia --,parte ----------  ", {{5, 9}, {19, 20}, {28, 37}}};
const Template kNeedleBedLine{"frontura    , densita --------          ", {{9, 11}, {22, 29}}};
const Template kRibOneSided{"costina                                 ", {{8, 10}}};
const Template kNecklineOneSided{"scollo                                  ", {{8, 10}}};
const Template kRibTwoSided{"costina    D     S                       ", {{8, 10}, {14, 16}}};
const Template kNecklineTwoSided{"scollo     D     S                       ", {{8, 10}, {14, 16}}};
const Template kMeasuresLine{";Alt.bordo      Ag.cm      Ran.cm       ", {{11, 15}, {22, 26}, {34, 38}}};
const Template kSetupLine{"predisposizione                         ", {{16, 16}}};
const Template kExitLine{"uscita                                  ", {{7, 7}}};
const Template kNoteLine{";                                       ", {{1, 39}}};

bool inField(const Template &t, std::size_t column)
{
    for (const auto &[first, last] : t.fields)
        if (column >= first && column <= last)
            return true;
    return false;
}

void expectTemplate(const std::string &line, const Template &t, const std::string &where)
{
    ASSERT_EQ(line.size(), t.text.size()) << where << ": \"" << line << "\"";
    for (std::size_t c = 0; c < line.size(); ++c) {
        if (!inField(t, c)) {
            EXPECT_EQ(line[c], t.text[c]) << where << " column " << c << ": \"" << line << "\"";
        }
    }
}

std::set<std::string> keywordWords()
{
    bool wellEnded = false;
    std::set<std::string> words;
    for (const std::string &line : crlfLines(readFile(kDataDir / "italiano" / "VUZUDO.KEY"), &wellEnded)) {
        std::string word = line.substr(0, line.find_first_of(" ;"));
        for (char &c : word)
            c = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
        words.insert(word);
    }
    return words;
}

std::vector<std::filesystem::path> samplePanels()
{
    std::vector<std::filesystem::path> panels;
    for (const auto &entry : std::filesystem::directory_iterator(kArchiveDir))
        if (entry.path().extension() == ".KN4")
            panels.push_back(entry.path());
    return panels;
}

TEST(SampleArchive, HoldsFourToSixPanels)
{
    const std::size_t n = samplePanels().size();
    EXPECT_GE(n, 4u);
    EXPECT_LE(n, 6u);
}

class SamplePanelTest : public ::testing::TestWithParam<std::filesystem::path>
{
};

TEST_P(SamplePanelTest, IsInTheEditorsSourceForm)
{
    const std::string where = GetParam().filename().string();
    bool wellEnded = false;
    const std::vector<std::string> lines = crlfLines(readFile(GetParam()), &wellEnded);
    EXPECT_TRUE(wellEnded) << where << ": every line ends with CR LF, the last included";
    ASSERT_GT(lines.size(), kHeaderLines + 3) << where;

    EXPECT_EQ(lines[0], "SORGENTE.KN4");
    expectTemplate(lines[1], kTypeLine, where);
    expectTemplate(lines[2], kNeedleBedLine, where);
    const bool twoSided = lines[6].size() > 16 && lines[6][16] == '2';
    expectTemplate(lines[3], twoSided ? kRibTwoSided : kRibOneSided, where);
    expectTemplate(lines[4], twoSided ? kNecklineTwoSided : kNecklineOneSided, where);
    expectTemplate(lines[5], kMeasuresLine, where);
    expectTemplate(lines[6], kSetupLine, where);
    expectTemplate(lines[7], kExitLine, where);
    for (std::size_t i = 8; i <= kHeaderLines; ++i)
        expectTemplate(lines[i], kNoteLine, where);

    const std::string marker = "; --- Inizio programma ;";
    const std::string &program = lines[kHeaderLines + 1];
    ASSERT_EQ(program.size(), marker.size() + 8) << where;
    EXPECT_EQ(program.substr(0, marker.size()), marker);
    for (std::size_t i = marker.size(); i < program.size(); ++i)
        EXPECT_TRUE(program[i] >= 'F' && program[i] <= 'u') << where << ": palette code " << program[i];
}

TEST_P(SamplePanelTest, RowsStandInTheirColumns)
{
    const std::string where = GetParam().filename().string();
    const std::set<std::string> words = keywordWords();
    bool wellEnded = false;
    const std::vector<std::string> lines = crlfLines(readFile(GetParam()), &wellEnded);
    ASSERT_GT(lines.size(), kHeaderLines + 2);
    EXPECT_EQ(lines[kHeaderLines + 2].rfind("definizione ", 0), 0u) << where << ": the program starts with a definition";

    for (std::size_t i = kHeaderLines + 2; i < lines.size(); ++i) {
        const std::string &row = lines[i];
        const std::string at = where + " line " + std::to_string(i) + ": \"" + row + "\"";
        ASSERT_EQ(row.size(), kLineWidth) << at;
        const std::string name = row.substr(0, row.find_first_of(" ,"));
        EXPECT_TRUE(words.count(name)) << at << ": the command is not in the keyword file";
        if (name == "definizione") {
            EXPECT_EQ(row.find_first_not_of(' ', 27), std::string::npos) << at;
            continue;
        }
        EXPECT_EQ(row[15], ',') << at;
        EXPECT_TRUE(row[16] == ' ' || (row[16] == '-' && row[17] >= '1' && row[17] <= '9')) << at;
        EXPECT_EQ(row[21], ',') << at;
        EXPECT_TRUE(row[22] == ' ' || row[22] == '-') << at;
        EXPECT_EQ(row[26], ' ') << at;
        EXPECT_EQ(row[27], ';') << at;
        EXPECT_EQ(row.find_first_not_of(' ', 28), std::string::npos) << at;
        for (std::size_t c = 0; c < 15; ++c)
            EXPECT_FALSE(row[c] >= 'A' && row[c] <= 'Z') << at << ": the command text is lower case";
    }
}

INSTANTIATE_TEST_SUITE_P(Demo, SamplePanelTest, ::testing::ValuesIn(samplePanels()),
                         [](const auto &info) { return info.param.stem().string(); });

} // namespace
} // namespace kn4::testing
