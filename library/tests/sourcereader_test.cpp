#include "compilertesting.h"
#include "sourcereader.h"

#include "kn4/number.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace kn4::compiler;
using namespace std::string_literals;
using kn4::compiler::testing::lines;
using kn4::compiler::testing::source;

namespace {

struct Read
{
    KeywordTable keywords;
    Report report;
    SourceReader reader{keywords};

    explicit Read(const std::string &text)
    {
        MemorySource input(text.data(), text.size());
        reader.read(input, report);
    }

    std::string messages() const
    {
        std::string text;
        for (const char *p = report.text(); *p; ++p) {
            if (*p != '\r')
                text += *p;
        }
        // The summary begins with an empty line before "linee processate".
        return text.substr(0, text.rfind('\n', text.find(" linee processate")));
    }

    std::vector<int> commands() const
    {
        const CommandMemory &m = reader.commands();
        return {m.values, m.values + m.fill};
    }
};

// One command row under the standard header: what it stores and reports.
struct RowCase
{
    const char *row;
    std::vector<int> stored;
    int grave;
    int nonGrave;
    const char *message; // the report's messages, "" for none
};

TEST(SourceReader, StoresEachCommandRowWithItsCode)
{
    const RowCase cases[] = {
        {"SCOLLO -2S 4 1", {7, 4, 1}, 0, 0, ""},
        {"scollo 3 4 1", {0, 4, 1}, 0, 1, "-    8 parametro errato 3\n       assunto 1D\n"},
        {"SCOLLO, 4 1", {0, 4, 1}, 0, 0, ""},
        {"scollo        2, 1   , 1   ;", {2, 1, 1}, 0, 0, ""},
        {"rientro      -1s,-3   ,-2   ;", {13, -3, -2}, 0, 0, ""},
        {"calato        2, 1   , 1   ;", {18, 1, 1}, 0, 0, ""},
        {"calato 1S 5 -2", {17, 5, -2}, 0, 0, ""},
        {"calato -1 5 1", {16, 5, 1}, 0, 1, "-    8 parametro errato -1\n       assunto 1D\n"},
        {"liscio         , 5   , 1   ;", {20, 5, 1}, 0, 0, ""},
        {"RIGATO 4 10 1", {35, 10, 1}, 0, 0, ""},
        {"RIGATO 9 10 1", {21, 10, 1}, 0, 1, "-    8 parametro errato 9\n       assunto 1\n"},
        {"rigato, 3 1", {21, 3, 1}, 0, 0, ""},
        {"PRODUCO 8 1 1", {55, 1, 1}, 0, 0, ""},
        {"NONPRODUCO 3 0 1", {58, 0, 1}, 0, 0, ""},
        {"PRODUCO_4 2 1", {51, 2, 1}, 0, 0, ""},
        {"NONPRODUCO_8 1 1", {63, 1, 1}, 0, 0, ""},
        {"PRODUCO_10 1 1", {43, 1, 1}, 0, 0, ""},
        {"NONPRODUCO_9 1 1", {45, 1, 1}, 0, 0, ""},
        {"SEGNACENTRO 1 1", {26, 1, 1}, 0, 0, ""},
        {"STOP 1 1", {32, 1, 1}, 0, 0, ""},
        {"GIROLENTE 2 1", {33, 2, 1}, 0, 0, ""},
        {"PUNZONATO -2 100 1 1", {4708, 1, 1}, 0, 0, ""},
        {"PUNZONATO -2 -1 1 1", {4863, 1, 1}, 0, 0, ""},
        {"PUNZONATOS 4 -128 1 1", {8192 + 8 * 256 + 128, 1, 1}, 0, 0, ""},
        {"TUK 0 3 1 1", {12288 + 4 * 256 + 3, 1, 1}, 0, 0, ""},
        {"PRODUCO_11 1 2 1 1", {16384 + 5 * 256 + 2, 1, 1}, 0, 0, ""},
        {"NONPRODUCO_11 0 10 3 1", {20480 + 4 * 256 + 10, 3, 1}, 0, 0, ""},
        {"AUMENTAZIONE 1S 4 3", {25, 1, -1, 25, 3, 3}, 0, 0, ""},
        {"AUMENTAZIONE 1 -3 1", {24, -2, -1, 24, -1, 1}, 0, 0, ""},
        {"aumentazione  1, 2   , 1   ;", {24, 1, -1, 24, 1, 1}, 0, 0, ""},
        {"AUMENTAZIONE 2 4 1", {24, 1, -1, 24, 3, 1}, 0, 1, "-    8 parametro errato 2\n       assunto 1D\n"},
    };
    for (const RowCase &c : cases) {
        Read r(source({c.row}));
        EXPECT_EQ(r.commands(), c.stored) << c.row;
        EXPECT_EQ(r.reader.graveErrors(), c.grave) << c.row;
        EXPECT_EQ(r.reader.nonGraveErrors(), c.nonGrave) << c.row;
        EXPECT_EQ(r.messages(), c.message) << c.row;
    }
}

TEST(SourceReader, ReportsGraveRowErrors)
{
    const RowCase cases[] = {
        {"AUMENTAZIONE 1 1 1", {}, 1, 0, "-    8 ciclo interno errato 1\n"},
        {"AUMENTAZIONE 1 0 -2", {}, 2, 0, "-    8 ciclo interno errato 0\n-    8 ciclo esterno errato -2\n"},
        {"LISCIO 00 1", {}, 1, 0, "-    8 ciclo interno errato 00\n"},
        {"LISCIO 0 1", {20, 0, 1}, 0, 0, ""},
        {"LISCIO 5 0", {}, 1, 0, "-    8 ciclo esterno errato 0\n"},
        {"LISCIO;5 1", {}, 1, 0, "-    8 comando errato LISCIO;5\n"},
        {"LISCIO", {}, 1, 0, "-    8 comando senza cicli\n"},
        {"LISCIO 5", {}, 1, 0, "-    8 comando senza ciclo esterno\n"},
        {"MAGLIA 5 1", {}, 1, 0, "-    8 comando errato MAGLIA\n"},
        // Only a to z change case, whatever stands beside them.
        {"maglia`az{@AZ[\x7f\xe0\xfa\xe9 5 1", {}, 1, 0,
         "-    8 comando errato MAGLIA`AZ{@AZ[\x7f\xe0\xfa\xe9\n"},
        {"PUNZONATO 1", {}, 1, 0, "-    8 PUNZONATO senza salto\n"},
        {"PUNZONATO 5", {}, 2, 0, "-    8 salto PUNZONATO errato 5\n-    8 PUNZONATO senza salto\n"},
        {"PUNZONATO 5 1", {}, 2, 0, "-    8 salto PUNZONATO errato 5\n-    8 comando senza cicli\n"},
        {"PUNZONATO, 5 1", {}, 1, 0, "-    8 PUNZONATO senza parametri\n"},
        {"PUNZONATO", {}, 1, 0, "-    8 PUNZONATO senza parametri\n"},
        {"PUNZONATO 5 1 1 1", {}, 1, 0, "-    8 salto PUNZONATO errato 5\n"},
        {"TUK 0 300 1 1", {}, 1, 0, "-    8 ago TUK errato 300\n"},
    };
    for (const RowCase &c : cases) {
        Read r(source({c.row}));
        if (!c.stored.empty()) {
            EXPECT_EQ(r.commands(), c.stored) << c.row;
        }
        EXPECT_EQ(r.reader.graveErrors(), c.grave) << c.row;
        EXPECT_EQ(r.reader.nonGraveErrors(), c.nonGrave) << c.row;
        EXPECT_EQ(r.messages(), c.message) << c.row;
    }
}

TEST(SourceReader, ReadsTheHeader)
{
    Read r(lines({"tipo abcdefg, taglia 44,parte davanti", "frontura 120, densita 12------", "costina 3D 3S",
                  "scollo 20D 25S", "predisposizione 2", "uscita 3", "definizione"}));
    const PanelHeader &h = r.reader.header();
    EXPECT_STREQ(h.type, "ABCDE");
    EXPECT_STREQ(h.size, "44");
    EXPECT_STREQ(h.part, "DAVANTI");
    EXPECT_EQ(h.needleBed, 120);
    EXPECT_STREQ(h.density, "12------");
    EXPECT_EQ(h.borderRight, 3);
    EXPECT_EQ(h.borderLeft, 3);
    EXPECT_EQ(h.necklineRight, 20);
    EXPECT_EQ(h.necklineLeft, 25);
    EXPECT_EQ(h.setUp, 2);
    EXPECT_EQ(h.exit, 3);
    EXPECT_EQ(r.reader.nonGraveErrors(), 1);
    EXPECT_EQ(r.messages(), "-    1 TIPO troppo lungo ABCDEFG\n       troncato a 5 caratteri\n");
    EXPECT_EQ(r.reader.commands().definitionCount(), 1);
}

TEST(SourceReader, HeaderErrors)
{
    struct HeaderCase
    {
        std::vector<std::string> header;
        int grave;
        int nonGrave;
        const char *message;
    };
    const std::string type = "tipo AB---, taglia 44,parte DAVANTI---";
    const std::string bed = "frontura 120, densita 12------";
    const HeaderCase cases[] = {
        {{type, bed, "costina 0D", "scollo 5", "predisposizione 1", "uscita 1"}, 1, 0,
         "-    3 COSTINA destro errato 0D\n"},
        {{type, bed, "costina 5D 200S", "scollo 5", "predisposizione 1", "uscita 1"}, 0, 1,
         "-    3 COSTINA sinistro errato 200S\n       assunto uguale al destro\n"},
        {{type, bed, "costina", "scollo 121", "predisposizione 1", "uscita 1"}, 2, 0,
         "-    3 COSTINA senza parametri\n-    4 SCOLLO destro errato 121\n"},
        {{type, "frontura 95, densita 1", "costina 5", "scollo 5", "predisposizione 1", "uscita 1"}, 1, 0,
         "-    2 FRONTURA errato 95\n"},
        {{type, "frontura 120", "costina 5", "scollo 5", "predisposizione 1", "uscita 1"}, 1, 0,
         "-    2 atteso DENSITA\n"},
        {{"tipo AB---, taglia 44", bed, "costina 5", "scollo 5", "predisposizione 1", "uscita 1"}, 1, 0,
         "-    1 atteso PARTE\n"},
        {{"tipo", bed, "costina 5", "scollo 5", "predisposizione 1", "uscita 1"}, 1, 0,
         "-    1 TIPO senza parametro\n"},
        {{"tipo AB, taglia", bed, "costina 5", "scollo 5", "predisposizione 1", "uscita 1"}, 1, 0,
         "-    1 TAGLIA senza parametro\n"},
        {{type, "frontura", "costina 5", "scollo 5", "predisposizione 1", "uscita 1"}, 1, 0,
         "-    2 FRONTURA senza parametro\n"},
        {{type, bed, "costina 5", "scollo 5", "predisposizione", "uscita 4"}, 1, 1,
         "-    5 PREDISPOSIZIONE assente\n-    6 USCITA errato 4\n"},
        {{type, bed, "costina 5", "scollo 5", "predisposizione .", "uscita 1"}, 1, 0,
         "-    5 PREDISPOSIZIONE errato .\n"},
    };
    for (const HeaderCase &c : cases) {
        std::vector<std::string> all = c.header;
        all.push_back("definizione");
        all.push_back("liscio 1 1");
        Read r(lines(all));
        EXPECT_EQ(r.reader.graveErrors(), c.grave) << c.message;
        EXPECT_EQ(r.reader.nonGraveErrors(), c.nonGrave) << c.message;
        EXPECT_EQ(r.messages(), c.message);
    }
}

TEST(SourceReader, AMisplacedHeaderLineShiftsTheStatesDown)
{
    Read r(lines({"frontura 120, densita 12", "costina 5", "scollo 5", "predisposizione 1", "uscita 1",
                  "definizione", "liscio 1 1"}));
    EXPECT_EQ(r.messages(), "-    1 atteso TIPO invece di FRONTURA\n"
                            "-    2 atteso FRONTURA invece di COSTINA\n"
                            "-    3 atteso COSTINA invece di SCOLLO\n"
                            "-    4 atteso SCOLLO invece di PREDISPOSIZIONE\n"
                            "-    5 atteso PREDISPOSIZIONE invece di USCITA\n"
                            "-    6 atteso USCITA invece di DEFINIZIONE\n"
                            "-    7 atteso DEFINIZIONE invece di LISCIO\n");
    EXPECT_EQ(r.reader.graveErrors(), 7);
    EXPECT_EQ(r.reader.commands().definitionCount(), 0);
}

TEST(SourceReader, CommentsAndBlankLinesCountAsLinesOnly)
{
    Read r(lines({"; a comment", "", "tipo AB---, taglia 44,parte X", "   ", "frontura 120, densita 1",
                  "costina 5", "scollo 5", "predisposizione 1", "uscita 1", "definizione", "; --- ;FGHIJKLM",
                  "MAGLIA 1 1"}));
    EXPECT_EQ(r.messages(), "-   12 comando errato MAGLIA\n");
    EXPECT_EQ(r.reader.linesRead(), 12u);
}

TEST(SourceReader, AnElevenththDefinitionReplacesTheTenth)
{
    std::vector<std::string> rows;
    for (int d = 1; d <= 10; ++d) {
        rows.push_back("liscio " + std::to_string(d) + " 1");
        rows.push_back("definizione");
    }
    rows.push_back("liscio 99 1");
    Read r(source(rows));
    const CommandMemory &m = r.reader.commands();
    EXPECT_EQ(m.definitionCount(), 10);
    EXPECT_EQ(r.reader.nonGraveErrors(), 1);
    EXPECT_NE(r.messages().find("troppe definizioni, massimo 10\n       eliminata definizione precedente\n"),
              std::string::npos);
    // The tenth definition holds the commands written under the eleventh.
    EXPECT_EQ(m.definitionEnd(9) - m.definitionStart[9], 3);
    EXPECT_EQ(m.values[m.definitionStart[9] + 1], 99);
    EXPECT_EQ(m.values[m.definitionStart[8] + 1], 9);
}

TEST(SourceReader, RefusesCommandsBeyondTheCommandMemory)
{
    std::vector<std::string> rows(1000, "liscio 1 1");
    Read r(source(rows));
    EXPECT_EQ(r.reader.commands().fill, CommandMemory::kStoreLimit);
    EXPECT_EQ(r.reader.graveErrors(), 1);
    EXPECT_EQ(r.messages(), "- 1007 memoria comandi esaurita\n");

    std::vector<std::string> exactly(999, "liscio 1 1");
    Read full(source(exactly));
    EXPECT_EQ(full.reader.graveErrors(), 0);
    EXPECT_EQ(full.reader.commands().fill, 2997);
}

TEST(SourceReader, ReadsAnOverlongLineInPieces)
{
    // 79 bytes make a line: the second piece is read as a row of its own.
    const std::string row = "liscio 1 1" + std::string(69, ' ') + "liscio 2 1";
    Read r(source({row}));
    EXPECT_EQ((std::vector<int>{20, 1, 1, 20, 2, 1}), r.commands());
    EXPECT_EQ(r.reader.linesRead(), 9u);
}

TEST(SourceReader, FindsTheTokensAfterBlankRunsOfAnyLength)
{
    // Blank runs of every length, up to the end of a line's 80 bytes.
    for (std::size_t before = 0; before <= 40; ++before) {
        for (std::size_t after = 0; after + before <= 60; after += 3) {
            const std::string row = "liscio" + std::string(before, ' ') + ",5" + std::string(after, ' ') + " 1"
                                    + std::string(80 - 10 - before - after, ' ');
            Read r(source({row}));
            EXPECT_EQ((std::vector<int>{20, 5, 1}), r.commands()) << before << " " << after;
        }
        // Nothing after the blanks: the row lacks its outer cycle.
        Read r(source({"liscio ,5" + std::string(before + 30, ' ')}));
        EXPECT_EQ(r.messages(), "-    8 comando senza ciclo esterno\n") << before;
    }
}

TEST(SourceReader, ReadsCyclesAsNumbersAreReadEverywhere)
{
    for (const char *cycle : {"5", "+5", "-0", "007", "999999999", "-999999999", "1234567890", "2147483648",
                              "-2147483649", "99999999999", "5X", "-", "+", "X5", "1-2"}) {
        Read r(source({"liscio " + std::string(cycle) + " " + cycle}));
        const std::int32_t expected = kn4::leadingInteger(cycle);
        EXPECT_EQ((std::vector<int>{20, expected, expected}), r.commands()) << cycle;
    }
}

TEST(SourceReader, MakesOnlyTheLettersAToZUpperCaseWhereverTheyStand)
{
    // The bytes either side of 'a' and 'z', and a Windows-1252 letter, stay.
    for (std::size_t indent = 0; indent <= 70; ++indent) {
        Read r(source({std::string(indent, ' ') + "li`{\xe9z@"}));
        EXPECT_EQ(r.messages(), "-    8 comando errato LI`{\xe9Z@\n") << indent;
    }
}

TEST(SourceReader, UsesTheWordsOfTheKeywordTable)
{
    KeywordTable keywords;
    const std::string words = "DEFINIZIONE\r\nSCOLLO\r\nRIENTRO\r\nCALATO\r\nMAGLIA\r\n";
    MemorySource file(words.data(), words.size());
    keywords.read(file);
    Report report;
    SourceReader reader(keywords);
    const std::string text = source({"maglia 3 1", "liscio 1 1"});
    MemorySource input(text.data(), text.size());
    reader.read(input, report);
    EXPECT_EQ(reader.graveErrors(), 1);
    EXPECT_NE(std::string(report.text()).find("comando errato LISCIO"), std::string::npos);
    EXPECT_EQ(reader.commands().values[0], 20);
}

TEST(SourceReader, WritesTheSummary)
{
    Read r(source({"liscio 1 1"}, "2", "1"));
    const std::string report = r.report.text();
    EXPECT_NE(report.find("\r\n     8 linee processate\r\n     0 errori non gravi\r\n     0 errori gravi\r\n\r\n"
                          "tipo AB---, taglia 44, parte DAVANTI--- composta da 1 definizioni\r\n"
                          "frontura 120D, densita 12------\r\n"
                          "predisposizione 2, uscita 1\r\n"
                          "costina (bordo) 5D 5S, scollo 20D 20S\r\n\r\n"),
              std::string::npos)
        << report;
}

TEST(SourceReader, SurvivesAnyBytes)
{
    std::string garbage;
    unsigned state = 12345;
    for (int i = 0; i < 200000; ++i) {
        state = state * 1103515245u + 12345u;
        garbage += char(state >> 24);
    }
    Read r(source({garbage}));
    EXPECT_LE(r.reader.commands().fill, CommandMemory::kStoreLimit);
    EXPECT_LE(r.report.size(), Report::kCapacity);
}

} // namespace

namespace {

// Hands its bytes over a few at a time, as a file read in short reads would.
class TrickleSource final : public ByteSource
{
public:
    TrickleSource(const std::string &bytes, std::size_t step)
        : m_bytes(bytes), m_step(step)
    {
    }

private:
    bool refill() override
    {
        if (m_given >= m_bytes.size())
            return false;
        const std::size_t n = std::min(m_step, m_bytes.size() - m_given);
        m_pos = reinterpret_cast<const unsigned char *>(m_bytes.data()) + m_given;
        m_end = m_pos + n;
        m_given += n;
        return true;
    }

    const std::string &m_bytes;
    std::size_t m_step;
    std::size_t m_given = 0;
};

// A line read as the C library reads one with fgets into 80 bytes: at most
// 79 bytes, up to and with the line feed; a text read drops the CR of a
// CR LF. Byte by byte, the way the rule is stated.
std::vector<std::string> piecesByTheRule(const std::string &bytes, LineMode mode)
{
    std::vector<std::string> pieces;
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::string piece;
        while (piece.size() < kLinePiece && at < bytes.size()) {
            char c = bytes[at++];
            if (mode == LineMode::Text && c == '\r' && at < bytes.size() && bytes[at] == '\n')
                c = bytes[at++];
            piece += c;
            if (c == '\n')
                break;
        }
        pieces.push_back(piece);
    }
    return pieces;
}

} // namespace

// However the bytes arrive, the pieces are those of the rule: line feeds and
// CRs on each side of the 79th byte, a CR LF split between two reads, a lone
// CR, a zero byte.
TEST(LineReader, PiecesFollowTheRuleHoweverTheBytesArrive)
{
    std::string bytes;
    for (std::size_t length = 74; length <= 82; ++length) {
        bytes += std::string(length, 'a') + "\r\n";
        bytes += std::string(length, 'b') + "\n";
        bytes += std::string(length, 'c') + "\r";
    }
    bytes += "\r\r\n\n\r x\0y\r\n"s + std::string(200, 'z') + "\r";
    for (const LineMode mode : {LineMode::Binary, LineMode::Text}) {
        const std::vector<std::string> expected = piecesByTheRule(bytes, mode);
        for (const std::size_t step : {1u, 2u, 3u, 7u, 79u, 80u, 81u, 8192u}) {
            TrickleSource source(bytes, step);
            std::vector<std::string> pieces;
            char buffer[kLinePiece + 1];
            while (const std::size_t length = readPiece(source, buffer, mode))
                pieces.emplace_back(buffer, length);
            EXPECT_EQ(pieces, expected) << "step " << step << (mode == LineMode::Text ? " text" : " binary");
        }
    }
}
