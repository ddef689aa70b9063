#include "window/core/runningtotals.h"

#include "document/commandlist.h"
#include "document/languagetable.h"
#include "document/panelreader.h"
#include "document/tests/documenttesting.h"
#include "document/palettecodec.h"
#include "window/core/rowstore.h"

#include <gtest/gtest.h>
#include <limits>

#include <regex>

namespace {

using kn4::editor::CommandList;
using kn4::editor::LanguageTable;
using kn4::editor::PanelModel;
using kn4::editor::PanelReader;
using kn4::editor::RowStore;
using kn4::editor::RowText;
using kn4::editor::RunningTotals;
using kn4::editor::TotalsSettings;
using kn4::editor::trimBlanks;
namespace t = kn4::editor::testing;

// A program row as a panel file holds it: command and P1 in columns 0-14,
// the interval after the "," at 15, the repetition after the "," at 21 (a
// leading "-" of the repetition goes to column 22, the cycle-of-cycles
// marker).
std::string line(std::string_view command, std::string_view p1, std::string_view interval,
                 std::string_view repetition)
{
    std::string text(15, ' ');
    text.replace(0, command.size(), command);
    text.replace(15 - p1.size(), p1.size(), p1);
    std::string cycle(interval);
    cycle.resize(4, ' ');
    text += ", " + cycle + ",";
    std::string outer(repetition);
    if (!outer.empty() && outer.front() == '-')
        text += "-" + outer.substr(1);
    else
        text += " " + outer;
    text.resize(27, ' ');
    return text + ";";
}

class RunningTotalsTest : public ::testing::Test
{
protected:
    static const CommandList &commands()
    {
        static const auto load = CommandList::load(t::programDir() / "italiano", t::library());
        EXPECT_TRUE(load.list) << load.fatalMessage;
        return *load.list;
    }

    RunningTotalsTest()
    {
        m_totals.setMessageTexts(LanguageTable::CaricoLingua(t::programDir() / "italiano"));
        m_settings.frontura = "200";
        m_settings.ingombroPettini = "30";
        m_settings.costinaDx = "60";
        m_settings.costinaSx = "50";
        m_settings.scolloDx = "1";
        m_settings.scolloSx = "2";
        m_settings.setupMode = 1;
        m_settings.setupOptions = 3;
    }

    std::string row(std::string_view source, bool markerDash = false) const
    {
        const kn4::editor::ColourCodec &codec = kn4::editor::paletteColourCodec();
        PanelReader reader(commands(), t::library(), codec, 320, markerDash);
        std::string unknown;
        const auto converted = reader.convertRow(source, &unknown);
        EXPECT_TRUE(converted) << source << " unknown " << unknown;
        return converted.value_or(std::string());
    }

    void run(const std::vector<std::string> &sources, bool markerDash = false)
    {
        m_rows.clear();
        for (const std::string &source : sources)
            m_rows.push_back(row(source, markerDash));
        m_totals.recompute(m_rows.data(), int(m_rows.size()), m_settings);
    }

    std::string field(int r, int number) const
    {
        return std::string(trimBlanks(RowText::field(m_rows[std::size_t(r)], number)));
    }

    // Course total, outer and inner carriage of a row, as shown.
    std::vector<std::string> totals(int r) const
    {
        return {field(r, 4), field(r, 5), field(r, 6)};
    }

    RunningTotals m_totals{t::library()};
    TotalsSettings m_settings;
    std::vector<std::string> m_rows;
};

const std::string kDefinition = "definizione PROFILO ESTERNO";

TEST_F(RunningTotalsTest, CountsCoursesAndMovesTheOuterCarriage)
{
    run({kDefinition, line("girolente", "", "2", "1"), line("liscio", "", "148", "1"),
         line("calato_4", "", "2", "1"), line("calato", "2", "2", "3"), line("liscio", "", "10", "1")});
    EXPECT_EQ(totals(0), (std::vector<std::string>{"0", "60", "1"}));
    EXPECT_EQ(totals(1), (std::vector<std::string>{"0", "60", "1"}));
    EXPECT_EQ(totals(2), (std::vector<std::string>{"2", "60", "1"}));
    // CALATO_4 takes 4 needles at its step, CALATO 2 every 2 courses.
    EXPECT_EQ(totals(3), (std::vector<std::string>{"150", "56", "1"}));
    EXPECT_EQ(totals(4), (std::vector<std::string>{"152", "54", "1"}));
    EXPECT_EQ(totals(5), (std::vector<std::string>{"158", "50", "1"}));
    EXPECT_EQ(m_totals.programSteps(), 168);
    EXPECT_EQ(m_totals.widestOuterRight(), 60);
    EXPECT_EQ(m_totals.outer(0, 167), 50);
    EXPECT_EQ(m_totals.warningCode(), RunningTotals::NoWarning);
    // The decreases are zero-time commands with an interval: their steps are
    // marked; no interval-0 command counts a zero-time step.
    EXPECT_TRUE(m_totals.holdsZeroTime(150));
    EXPECT_FALSE(m_totals.holdsZeroTime(151));
    EXPECT_EQ(m_totals.totalSteps(), 168 + 2);
}

TEST_F(RunningTotalsTest, ZeroIntervalRowShowsTheCarriageAfterItOnce)
{
    run({kDefinition, line("liscio", "", "10", "1"), line("calato", "1", "0", "1"),
         line("calato", "2", "0", "3"), line("liscio", "", "5", "1"), line("calato", "1", "0", "1")});
    // The rib of 60 loses one needle: 59, not 58.
    EXPECT_EQ(totals(2), (std::vector<std::string>{"10", "59", "1"}));
    // A second zero-time row at the same step adds its own three passes.
    EXPECT_EQ(totals(3), (std::vector<std::string>{"10", "53", "1"}));
    EXPECT_EQ(totals(4), (std::vector<std::string>{"10", "53", "1"}));
    EXPECT_EQ(totals(5), (std::vector<std::string>{"15", "52", "1"}));
    EXPECT_EQ(m_totals.programSteps(), 15);
    EXPECT_EQ(m_totals.zeroTimeCount(10), 4);
    EXPECT_EQ(m_totals.totalSteps(), 15 + 5 + 2);
}

TEST_F(RunningTotalsTest, ZeroIntervalRowAtTheFirstStepStartsFromTheRib)
{
    run({kDefinition, line("calato", "1", "0", "1"), line("liscio", "", "4", "1")});
    EXPECT_EQ(totals(1), (std::vector<std::string>{"0", "59", "1"}));
    EXPECT_EQ(totals(2), (std::vector<std::string>{"0", "59", "1"}));
}

TEST_F(RunningTotalsTest, BlocksOfCyclesReplayAndLaterStrandsRunOutOfTheProgram)
{
    run({kDefinition, line("liscio", "", "100", "1"), "definizione RIGATURA",
         line("rigato", "1", "20", "1"), line("rigato", "2", "4", "-1"), line("rigato", "1", "6", "-2"),
         line("ripeto", "", "0", "5"), line("rigato", "1", "30", "1")});
    EXPECT_EQ(field(3, 4), "0");
    EXPECT_EQ(field(4, 4), "20");
    EXPECT_EQ(field(5, 4), "24");
    EXPECT_EQ(field(6, 4), "36");
    // Five replays of 4 + 2 x 6 courses.
    EXPECT_EQ(field(7, 4), "100");
    EXPECT_EQ(field(7, 7), "");
    EXPECT_EQ(m_totals.programSteps(), 100);

    run({kDefinition, line("liscio", "", "50", "1"), "definizione RIGATURA",
         line("rigato", "1", "40", "1"), line("rigato", "2", "20", "1")});
    EXPECT_EQ(field(4, 4), "40");
    EXPECT_EQ(field(4, 7), "");
    run({kDefinition, line("liscio", "", "50", "1"), "definizione RIGATURA",
         line("rigato", "1", "60", "1"), line("rigato", "2", "20", "1")});
    EXPECT_EQ(field(4, 4), "60");
    EXPECT_EQ(field(4, 7), "Fuori programma");
    EXPECT_EQ(field(4, 5), "");
}

TEST_F(RunningTotalsTest, RowsThatNeverRunShowVAndTheirOwnSums)
{
    run({kDefinition, line("liscio", "", "10", "1"), line("calato", "1", "2", "-3"),
         line("ripeto", "", "0", "0"), line("liscio", "", "5", "1")});
    // Phase 1 marks them "v"; the shown total is then the sum of the courses
    // these rows would have made.
    EXPECT_EQ(totals(2), (std::vector<std::string>{"6", "-3", "0"}));
    EXPECT_EQ(totals(3), (std::vector<std::string>{"6", "-3", "0"}));
    EXPECT_EQ(field(2, 7), "Riga non eseguita");
    EXPECT_EQ(field(3, 7), "Riga non eseguita");
    EXPECT_EQ(totals(4), (std::vector<std::string>{"10", "60", "1"}));
    EXPECT_EQ(m_totals.programSteps(), 15);
}

// A row that never runs still has its mark: a comb command sets the comb
// state the later rows are checked against, a neckline command its message.
TEST_F(RunningTotalsTest, RowsThatNeverRunStillTakeTheirMark)
{
    m_settings.costinaDx = "31";
    m_settings.scolloDx = "1";
    m_settings.ingombroPettini = "30";
    run({kDefinition, line("pet_destro", "", "0", "0"), line("liscio", "", "2", "1")});
    EXPECT_EQ(field(1, 7), "Riga non eseguita");
    EXPECT_EQ(field(2, 7), "Carri troppo vicini");
    EXPECT_EQ(m_totals.warningCode(), RunningTotals::OuterAgainstInner);

    run({kDefinition, line("scollo", "2", "1", "0"), line("liscio", "", "2", "1")});
    EXPECT_EQ(field(1, 7), "Pettini assenti");
}

TEST_F(RunningTotalsTest, MarkedBlockCutShortRunsOnce)
{
    run({kDefinition, line("liscio", "", "3", "-2"), "definizione SCOLLO", line("liscio", "", "1", "1")});
    EXPECT_EQ(m_totals.programSteps(), 6);
}

TEST_F(RunningTotalsTest, CarriageChecksAtTheirEdges)
{
    m_settings.frontura = "60";
    run({kDefinition, line("liscio", "", "2", "1")});
    EXPECT_EQ(m_totals.warningCode(), RunningTotals::NoWarning);
    m_settings.frontura = "59";
    run({kDefinition, line("liscio", "", "2", "1")});
    EXPECT_EQ(m_totals.warningCode(), RunningTotals::OuterBeyondNeedleBed);
    EXPECT_EQ(field(1, 7), "Carro est. > frontura");
    m_settings.frontura = "";
    run({kDefinition, line("liscio", "", "2", "1")});
    EXPECT_EQ(m_totals.warningCode(), RunningTotals::OuterBeyondNeedleBed);

    m_settings.frontura = "200";
    m_settings.scolloDx = "2";
    run({kDefinition, line("rientro", "1", "1", "1"), line("rientro", "1", "1", "1")});
    EXPECT_EQ(field(1, 6), "1");
    EXPECT_EQ(field(1, 7), "");
    EXPECT_EQ(field(2, 6), "0");
    EXPECT_EQ(field(2, 7), "Carro interno a 0");
    EXPECT_EQ(m_totals.warningCode(), RunningTotals::InnerAtZero);
}

TEST_F(RunningTotalsTest, CombsInsertedCheckTheCarriageDistance)
{
    m_settings.costinaDx = "31";
    m_settings.scolloDx = "1";
    m_settings.ingombroPettini = "30";
    run({kDefinition, line("pet_destro", "", "0", "1"), line("liscio", "", "2", "1")});
    EXPECT_EQ(field(2, 7), "Carri troppo vicini");
    EXPECT_EQ(m_totals.warningCode(), RunningTotals::OuterAgainstInner);
    m_settings.ingombroPettini = "31";
    run({kDefinition, line("pet_destro", "", "0", "1"), line("liscio", "", "2", "1")});
    EXPECT_EQ(field(2, 7), "Pettini inseriti");
    EXPECT_EQ(m_totals.warningCode(), RunningTotals::NoWarning);
    // Combs out again: no check.
    run({kDefinition, line("pet_destro", "", "0", "1"), line("pettini_fuori", "", "0", "1"),
         line("liscio", "", "2", "1")});
    EXPECT_EQ(field(3, 7), "");
}

TEST_F(RunningTotalsTest, NecklineWithoutCombsIsReportedAndTheLastWarningWins)
{
    m_settings.frontura = "60";
    m_settings.scolloDx = "1";
    run({kDefinition, line("aumentazione", "", "2", "1"), line("calato", "1", "1", "1"),
         line("rientro", "1", "1", "1"), line("scollo", "2", "1", "1")});
    EXPECT_EQ(field(1, 5), "61");
    EXPECT_EQ(field(1, 7), "Carro est. > frontura");
    EXPECT_EQ(field(3, 7), "Carro interno a 0");
    EXPECT_EQ(m_totals.warningCode(), RunningTotals::InnerAtZero);
    // SCOLLO marks the row when no comb holds the right side.
    EXPECT_EQ(field(4, 6), "2");
    EXPECT_EQ(field(4, 7), "Pettini assenti");
    const int step = 4;
    ASSERT_GE(m_totals.firstEvent(step), 0);
    EXPECT_EQ(m_totals.event(m_totals.firstEvent(step)).code, 30);
    EXPECT_EQ(m_totals.event(m_totals.firstEvent(step)).inner, 2);
}

TEST_F(RunningTotalsTest, DefinitionRowsAloneShowTheirSideStart)
{
    run({kDefinition, "definizione SCOLLO SIN"});
    EXPECT_EQ(totals(0), (std::vector<std::string>{"0", "60", "1"}));
    EXPECT_EQ(totals(1), (std::vector<std::string>{"0", "50", "2"}));
    EXPECT_EQ(m_totals.warningCode(), RunningTotals::NoWarning);
    EXPECT_EQ(m_totals.programSteps(), 0);
}

TEST_F(RunningTotalsTest, LeftSideStrandMovesTheLeftTables)
{
    run({"definizione SCOLLO SIN", line("liscio", "", "4", "1"), line("calato", "1", "1", "2")});
    EXPECT_EQ(field(2, 5), "49");
    EXPECT_EQ(m_totals.outer(1, 5), 48);
    EXPECT_EQ(m_totals.outer(0, 5), 60);
    // Set-up option 2: the widest left carriage follows the right one.
    EXPECT_EQ(m_totals.widestOuterLeft(), m_totals.widestOuterRight());
    m_settings.setupOptions = 1;
    run({"definizione SCOLLO SIN", line("liscio", "", "4", "1")});
    EXPECT_EQ(m_totals.widestOuterLeft(), 50);
}

TEST_F(RunningTotalsTest, IntervalsAndRepetitionsAreSignedAsTheCompilerReadsThem)
{
    struct Case { std::string interval; std::string repetition; bool dash; int signedInterval; int signedRepetition; };
    const std::vector<Case> cases{
        {"4", "3", false, 4, 3},   {"4", "-3", false, 4, -3}, {"4", "3", true, -4, 3},
        {"0", "1", true, 0, 1},    {"-2", "1", false, -2, 1}, {"", "", false, 0, 0},
    };
    for (const Case &c : cases) {
        const std::string text = row(line("liscio", "", c.interval, c.repetition), c.dash);
        EXPECT_EQ(RunningTotals::signedInterval(text), c.signedInterval) << c.interval;
        EXPECT_EQ(RunningTotals::signedRepetition(text), c.signedRepetition) << c.repetition;
    }
    // Negative intervals: the count runs on first, the command acts after.
    run({kDefinition, line("liscio", "", "10", "1"), line("calato", "1", "2", "1"),
         line("liscio", "", "1", "1")},
        true);
    EXPECT_EQ(field(2, 4), "10");
    EXPECT_EQ(field(3, 4), "12");
    EXPECT_EQ(m_totals.outer(0, 12), 59);
    EXPECT_EQ(m_totals.outer(0, 11), 60);
    EXPECT_EQ(m_totals.programSteps(), 13);
}

TEST_F(RunningTotalsTest, StepLimitEndsTheTables)
{
    run({kDefinition, line("liscio", "", "1999", "4"), line("liscio", "", "1999", "1"),
         line("calato", "1", "1", "1")});
    EXPECT_EQ(field(2, 4), "7996");
    EXPECT_EQ(field(3, 4), "9995");
    EXPECT_EQ(field(3, 7), "");
    EXPECT_EQ(m_totals.programSteps(), 9996);

    run({kDefinition, line("liscio", "", "2000", "5"), line("calato", "1", "1", "1")});
    EXPECT_EQ(field(2, 4), "9999");
    EXPECT_EQ(field(2, 7), "Oltre 9999 passi");
    EXPECT_EQ(m_totals.programSteps(), 9999);
    EXPECT_EQ(m_totals.totalSteps(), 9999);
}

TEST_F(RunningTotalsTest, HugeCountsReplayInBoundedTime)
{
    // 9999 replays of 9999 passes of a 999-course row, and as many passes
    // that never move the step on: both end at once.
    run({kDefinition, line("liscio", "", "999", "-999"), line("calato", "1", "0", "-999"),
         line("ripeto", "", "0", "999"), line("calato", "1", "0", "999")});
    EXPECT_EQ(m_totals.programSteps(), 9999);
    EXPECT_EQ(field(4, 4), "9999");
    EXPECT_EQ(m_totals.zeroTimeCount(0), 0);
}

TEST_F(RunningTotalsTest, PositionsStopAtTheEdgeOf32Bits)
{
    // A rib close to the least 32-bit value, then 9900 needles decreased:
    // the carriage stops at the edge, it never wraps round to the other.
    m_settings.costinaDx = "-2147480000";
    std::vector<std::string> rows{kDefinition};
    rows.insert(rows.end(), 100, line("calato", "99", "1", "1"));
    run(rows);
    EXPECT_EQ(m_totals.outer(0, 0), -2147480099);
    EXPECT_EQ(m_totals.outer(0, 35), -2147483564);
    EXPECT_EQ(m_totals.outer(0, 36), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(m_totals.outer(0, m_totals.programSteps() - 1), std::numeric_limits<std::int32_t>::min());
}

TEST_F(RunningTotalsTest, ReplayWritesBackIntoTheRowStore)
{
    RowStore store(t::library());
    ASSERT_TRUE(store.load({row(kDefinition), row(line("liscio", "", "7", "1")),
                            row(line("calato", "1", "1", "1"))}));
    m_totals.recompute(store, m_settings);
    EXPECT_EQ(std::string(trimBlanks(RowText::field(store.row(2), 4))), "7");
    EXPECT_EQ(std::string(trimBlanks(RowText::field(store.row(2), 5))), "59");
    EXPECT_EQ(RowText::entryIndex(store.row(2)), 3);
}

// The program part of every sample panel is as long as the compiler knits it.
TEST_F(RunningTotalsTest, SamplePanelsAgreeWithTheCompiler)
{
    const auto folder = t::programDir() / "archivi" / "DEMO";
    int panels = 0;
    for (const auto &item : std::filesystem::directory_iterator(folder)) {
        if (item.path().extension() != ".KN4")
            continue;
        ++panels;
        const std::string text = t::readFile(item.path());
        PanelModel panel;
        const kn4::editor::ColourCodec &codec = kn4::editor::paletteColourCodec();
        PanelReader reader(commands(), t::library(), codec, 320, false);
        ASSERT_EQ(reader.read(text, panel).outcome, PanelReader::Outcome::Read) << item.path();
        panel.header.ingombroPettini = "30";
        m_totals.recompute(panel.rows.data(), int(panel.rows.size()),
                           TotalsSettings::fromHeader(panel.header, 3));

        const auto copy = std::filesystem::temp_directory_path() /
                          ("kn4totals_" + std::to_string(::getpid()) + ".KN4");
        t::writeFile(copy, text);
        const auto result = t::library().Compilazione(copy.string(), (t::programDir() / "italiano").string());
        std::filesystem::remove(copy);
        std::smatch match;
        ASSERT_TRUE(std::regex_search(result.report, match, std::regex("parte di maglia di (\\d+) righe")))
            << result.report;
        EXPECT_EQ(m_totals.programSteps(), std::stoi(match[1])) << item.path();
        EXPECT_EQ(m_totals.warningCode(), RunningTotals::NoWarning) << item.path();
    }
    EXPECT_GE(panels, 4);
}

} // namespace

// Crossing edges: a course narrower than one needle, or a neckline past its
// outer edge, marks the rows that move an edge there; it is not a carriage
// warning (the panel still compiles).
TEST_F(RunningTotalsTest, CrossingEdgesMarkTheRowsThatMoveTheEdge)
{
    const std::string kNeckline = "definizione SCOLLO";
    const struct
    {
        const char *name;
        std::vector<std::string> program;
        int crossed;      // courses
        int firstStep;
        int markedRow;    // -1: none
    } cases[] = {
        {"clean", {kDefinition, line("liscio", "", "10", "1"), line("calato", "2", "2", "3")}, 0, -1, -1},
        // 60 needles a side, 2 a side every 2 courses: 0 after 60 courses.
        {"narrowed to nothing",
         {kDefinition, line("liscio", "", "10", "1"), line("calato", "2", "2", "40")}, 22, 68, 2},
        // The neckline opens every 2 courses from step 10 and passes the
        // 60 needles of the edge at step 68, up to the end of the program
        // part at 100.
        {"neckline past the edge",
         {kDefinition, line("liscio", "", "100", "1"), kNeckline, line("liscio", "", "10", "1"),
          line("scollo", "2", "2", "40")},
         32, 68, 4},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        run(c.program);
        EXPECT_EQ(m_totals.warningCode(), RunningTotals::NoWarning);
        EXPECT_EQ(m_totals.crossedCourses(), c.crossed);
        EXPECT_EQ(m_totals.firstCrossedStep(), c.firstStep);
        for (int r = 0; r < int(m_rows.size()); ++r) {
            EXPECT_EQ(m_totals.crossesAt(r), r == c.markedRow) << r;
            EXPECT_EQ(field(r, 7) == "Bordi incrociati", r == c.markedRow) << r;
        }
    }
}
