#include "compilertesting.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kn4::compiler;
using kn4::compiler::testing::codeOf;
using kn4::compiler::testing::reportText;
using kn4::compiler::testing::source;
using Bytes = std::vector<unsigned char>;

namespace {

struct Compiled
{
    Compiler compiler;
    Result result;

    explicit Compiled(const std::string &text)
        : result(compiler.compileSource(text.data(), text.size()))
    {
    }
    Bytes code() const { return codeOf(compiler); }
    int steps() const { return compiler.machine().steps(); }
    int courses() const { return compiler.machine().courses(); }
    int extra() const { return compiler.machine().extraSteps(); }
};

// A source split into definitions: each inner vector is one definition.
std::string definitions(const std::vector<std::vector<std::string>> &defs, const std::string &setUp = "1",
                        const std::string &exit = "")
{
    std::vector<std::string> rows;
    for (std::size_t d = 0; d < defs.size(); ++d) {
        if (d > 0)
            rows.push_back("definizione ALTRO");
        rows.insert(rows.end(), defs[d].begin(), defs[d].end());
    }
    return source(rows, setUp, exit);
}

// Two compilations that must agree on their result, code and counts.
void expectSameCode(const Compiled &a, const Compiled &b, const std::string &name)
{
    EXPECT_EQ(a.result, b.result) << name;
    EXPECT_EQ(a.code(), b.code()) << name;
    EXPECT_EQ(a.steps(), b.steps()) << name;
    EXPECT_EQ(a.courses(), b.courses()) << name;
}

struct CodeCase
{
    const char *name;
    std::vector<std::vector<std::string>> defs;
    const char *setUp;
    const char *exit;
    Bytes code;
    int steps;
    int courses;
};

TEST(KnittingMachine, WritesAndCompressesSteps)
{
    const CodeCase cases[] = {
        {"plain courses", {{"LISCIO 5 1"}}, "1", "", {0x9D, 0x94, 0x03}, 5, 5},
        {"plain courses without set-up", {{"LISCIO 5 1"}}, "", "", {0x94, 0x94, 0x02}, 5, 5},
        {"set-up 2 and an exit", {{"LISCIO 1 1"}}, "2", "1", {0x9E, 0x94, 0x9C}, 1, 1},
        {"a decrease then plain courses", {{"CALATO 1 3 1"}}, "1", "", {0x9D, 0x90, 0x94, 0x01}, 4, 3},
        {"repeated stripe course", {{"RIGATO 2 1 5"}}, "1", "", {0x9D, 0x96, 0x03}, 5, 5},
        {"a jump-and-needle command", {{"PUNZONATO -2 100 1 1"}}, "1", "", {0x9D, 0x9B, 0xFE, 0x64, 0x94}, 2, 1},
        {"a thousand plain courses",
         {{"LISCIO 1000 1"}},
         "1",
         "",
         {0x9D, 0x94, 127, 127, 127, 127, 127, 127, 127, 102},
         1000,
         1000},
        {"a block closed by a positive outer cycle",
         {{"LISCIO 2 -1", "RIGATO 1 1 3"}},
         "1",
         "",
         {0x9D, 0x94, 0x00, 0x95, 0x94, 0x00, 0x95, 0x94, 0x00, 0x95},
         9,
         9},
        {"a delayed course command", {{"RIGATO 1 -3 1"}}, "1", "", {0x9D, 0x94, 0x00, 0x95}, 3, 3},
        {"a zero-time command after a delay", {{"CALATO 1 -2 1", "LISCIO 1 1"}}, "1", "",
         {0x9D, 0x94, 0x00, 0x90, 0x94}, 4, 3},
        {"a zero-time command without course", {{"CALATO 2 0 -3", "LISCIO 1 1"}}, "1", "",
         {0x9D, 0x92, 0x01, 0x94}, 4, 1},
        {"a course command with inner cycle 0 makes nothing", {{"RIGATO 1 0 1", "LISCIO 1 1"}}, "1", "",
         {0x9D, 0x94}, 1, 1},
        {"an increase takes two courses", {{"AUMENTAZIONE 1 2 1"}}, "1", "", {0x9D, 0x98, 0x00}, 2, 2},
        {"two definitions share a step",
         {{"RIGATO 2 1 1"}, {"PRODUCO 1 1 1"}},
         "1",
         "",
         {0x9D, 0xD6, 0xB0},
         1,
         1},
        {"a jump-and-needle command shares a step", {{"TUK 1 5 1 1"}, {"RIGATO 2 1 1"}}, "1", "",
         {0x9D, 0xE9, 0x01, 0x05, 0x96}, 1, 1},
        {"a longer second definition is cut off", {{"LISCIO 2 1"}, {"LISCIO 1 1", "RIGATO 3 1 5"}}, "1", "",
         {0x9D, 0x94, 0x97}, 2, 2},
    };
    for (const CodeCase &c : cases) {
        Compiled r(definitions(c.defs, c.setUp, c.exit));
        EXPECT_NE(r.result, kGraveErrors) << c.name << "\n" << reportText(r.compiler);
        EXPECT_EQ(r.code(), c.code) << c.name;
        EXPECT_EQ(r.steps(), c.steps) << c.name;
        EXPECT_EQ(r.courses(), c.courses) << c.name;
    }
}

TEST(KnittingMachine, CountsSetUpAndExitAsExtraSteps)
{
    EXPECT_EQ(Compiled(definitions({{"LISCIO 5 1"}}, "1", "")).extra(), 1);
    EXPECT_EQ(Compiled(definitions({{"LISCIO 5 1"}}, "1", "2")).extra(), 2);
    EXPECT_EQ(Compiled(definitions({{"LISCIO 5 1"}}, "", "")).extra(), 0);
}

// Without a set-up byte the first step leaves no previous step to compare
// with: the second step must be written whole.
TEST(KnittingMachine, TheSecondStepWithoutSetUpIsNeverCompressedAgainstItself)
{
    // A two-command second step: its first byte must stay a command byte.
    Compiled twoBytes(definitions({{"LISCIO 1 1", "RIGATO 2 1 1"}, {"LISCIO 1 1", "PRODUCO 1 1 1"}}, ""));
    EXPECT_EQ(twoBytes.code(), (Bytes{0x94, 0xD6, 0xB0}));

    // A jump-and-needle second step with a jump of 0..4 must not be dropped.
    Compiled threeBytes(definitions({{"LISCIO 1 1", "PUNZONATO 2 7 1 1"}}, ""));
    EXPECT_EQ(threeBytes.code(), (Bytes{0x94, 0x9B, 0x02, 0x07, 0x94}));
    EXPECT_EQ(threeBytes.steps(), 3);

    // The same after a first command step.
    Compiled afterCommand(definitions({{"RIGATO 3 1 1", "PUNZONATO 0 1 0 1"}}, ""));
    EXPECT_EQ(afterCommand.code(), (Bytes{0x97, 0x9B, 0x00, 0x01}));

    // And identical one-byte steps still compress once a run has begun.
    Compiled run(definitions({{"LISCIO 1 1", "RIGATO 2 1 3"}}, ""));
    EXPECT_EQ(run.code(), (Bytes{0x94, 0x96, 0x01}));
}

TEST(KnittingMachine, RefusesIncompatibleCommandsInOneStep)
{
    Compiled r(definitions({{"RIGATO 1 1 1"}, {"RIGATO 2 1 1"}}));
    EXPECT_EQ(r.result, kGraveErrors);
    EXPECT_NE(reportText(r.compiler).find(".    1 comandi incompatibili sullo stesso passo 0020 0020\n"
                                          "       alla riga 0\n"),
              std::string::npos)
        << reportText(r.compiler);
    EXPECT_EQ(r.compiler.writtenCodeLength(), 0);
}

TEST(KnittingMachine, TheCompatibilityTestIsOneSided)
{
    // STOP, whose mask is 0, may join a stripe; a stripe may not join STOP.
    EXPECT_NE(Compiled(definitions({{"RIGATO 1 1 1"}, {"STOP 1 1"}})).result, kGraveErrors);
    EXPECT_EQ(Compiled(definitions({{"STOP 1 1"}, {"RIGATO 1 1 1"}})).result, kGraveErrors);
}

TEST(KnittingMachine, ReportsAPanelWithoutDefinition)
{
    Compiler compiler;
    const std::string text = kn4::compiler::testing::lines(
        {"tipo A, taglia 4,parte D", "frontura 120, densita 1", "costina 5", "scollo 5", "predisposizione 1",
         "uscita 1"});
    EXPECT_EQ(compiler.compileSource(text.data(), text.size()), kGraveErrors);
    EXPECT_NE(reportText(compiler).find(".    0 nessuna definizione da compilare\n"), std::string::npos);
}

TEST(KnittingMachine, StopsAtTheEndOfTheCodeMemory)
{
    // Alternating stripes never compress: two bytes a pair of courses.
    Compiled r(definitions({{"RIGATO 1 1 -1", "RIGATO 2 1 6000"}}));
    EXPECT_EQ(r.result, kGraveErrors);
    EXPECT_EQ(r.compiler.machine().codeLength(), KnittingMachine::kWriteLimit);
    EXPECT_NE(reportText(r.compiler).find(". 9997 memoria telaio virtuale esaurita\n"), std::string::npos)
        << reportText(r.compiler).substr(0, 2000);
}

TEST(KnittingMachine, ABlockRepeatedCompilesAsItsPassesWrittenOut)
{
    // The block's rows with the last one's outer cycle left out (-1).
    const std::vector<std::vector<std::string>> blocks = {
        {"RIGATO 1 1 -1", "RIGATO 2 1 "},
        {"RIGATO 1 3 -1", "LISCIO 2 "},
        {"LISCIO 1 -1", "RIGATO 3 2 -2", "LISCIO 1 "},
        {"RIGATO 1 1 "},
        {"RIGATO 5 1 -1", "RIGATO 5 1 "},
        {"RIGATO 1 1 -1", "RIGATO 2 1 -1", "RIGATO 1 1 "}, // each pass's first step repeats the last
        {"PRODUCO 2 1 -1", "NONPRODUCO 1 1 -1", "RIGATO 2 130 "},
    };
    for (const auto &block : blocks) {
        for (const int passes : {2, 3, 50, 300}) {
            // Another definition runs beside the first for a few steps.
            std::vector<std::string> repeated = {"LISCIO 3 1"};
            std::vector<std::string> writtenOut = repeated;
            for (const std::string &row : block)
                repeated.push_back(row.back() == ' ' ? row + std::to_string(passes) : row);
            for (int pass = 0; pass < passes; ++pass) {
                for (const std::string &row : block)
                    writtenOut.push_back(row.back() == ' ' ? row + "-1" : row);
            }
            repeated.push_back("RIGATO 4 2 1");
            writtenOut.push_back("RIGATO 4 2 1");
            Compiled a(definitions({repeated, {"LISCIO 7 1"}}));
            Compiled b(definitions({writtenOut, {"LISCIO 7 1"}}));
            expectSameCode(a, b, block.front() + " x" + std::to_string(passes));
        }
    }
}

TEST(KnittingMachine, ADefinitionThatOnlyKnitsPlainChangesNoStep)
{
    // A second definition of plain courses writes nothing: the first one's
    // code is the same whether it runs beside it for a while, all along,
    // or alone from the start.
    const std::vector<std::vector<std::string>> firsts = {
        {"RIGATO 1 2 -1", "CALATO 1 1 -3", "RIGATO 2 3 40"},
        {"SCOLLO 1 2 1", "LISCIO 4 -2", "STOP 1 1", "RIGATO 3 1 25"},
        {"LISCIO -3 1", "CALATO 2S -2 2", "PUNZONATO 1 5 1 -4", "RIGATO 1 1 -1", "RIGATO 1 1 -1", "RIGATO 2 2 9"},
        {"AUMENTAZIONE 1 4 3", "GIROLENTE 2 -2", "NONPRODUCO 6 1 1", "RIGATO 1 1 -1", "RIGATO 2 1 300"},
    };
    for (const auto &first : firsts) {
        Compiled alone(definitions({first}));
        EXPECT_NE(alone.result, kGraveErrors) << first.front() << reportText(alone.compiler);
        for (const int plain : {1, 7, 100, 5000}) {
            Compiled beside(definitions({first, {"LISCIO " + std::to_string(plain) + " 1"}}));
            expectSameCode(beside, alone, first.front() + " beside " + std::to_string(plain));
        }
    }
}

TEST(KnittingMachine, ParameterBytesFitAfterTheLastCommandByte)
{
    // Fill the code to just below the limit with alternating stripes, then a
    // jump-and-needle command: its two parameter bytes still fit the buffer.
    for (int pairs = 4990; pairs < 4999; ++pairs) {
        Compiled r(definitions({{"RIGATO 1 1 -1", "RIGATO 2 1 " + std::to_string(pairs),
                                 "PUNZONATO 1 1 1 -3"}}));
        EXPECT_LE(r.compiler.machine().codeLength(), KnittingMachine::kCodeSize);
    }
}

TEST(KnittingMachine, FinishesInBoundedTimeOnEmptyRepetitions)
{
    // Course commands with inner cycle 0 make nothing, however often.
    Compiled r(definitions({{"RIGATO 1 0 -2000000000", "LISCIO 0 2000000000", "LISCIO 1 1"}}));
    EXPECT_NE(r.result, kGraveErrors);
    EXPECT_EQ(r.courses(), 1);
}

TEST(CodeSimulation, FollowsTheEdgesOfThePiece)
{
    // Rib 5, neckline 20: two decreases right and one left, a neckline step,
    // an increase on each side.
    Compiled r(source({"CALATO 1 1 -2", "CALATO 1S 1 1", "SCOLLO 2 1 1", "AUMENTAZIONE 1 2 1",
                       "AUMENTAZIONE 1S 2 1"},
                      "2"));
    ASSERT_EQ(r.result, kCompiled) << reportText(r.compiler);
    const CodeSimulator &s = r.compiler.simulator();
    EXPECT_EQ(s.outerRight(), 5 - 2 + 1);
    EXPECT_EQ(s.outerLeft(), 5 - 1 + 1);
    EXPECT_EQ(s.necklineRight(), 22);
    EXPECT_EQ(s.necklineLeft(), 20);
    EXPECT_EQ(s.maxRight(), 5);
    EXPECT_EQ(s.maxLeft(), 5);
    EXPECT_EQ(s.minGapRight(), 3 - 22);
    EXPECT_EQ(s.minGapLeft(), 4 - 20);
    EXPECT_EQ(s.courses(), r.courses());
    const std::string report = reportText(r.compiler);
    EXPECT_NE(report.find("\nfine simulazione alla riga 8\nbordo 4D 5S, scollo 22D 20S\n"
                          "massimo bordo 5D 5S, minimo tra bordo e scollo -19D -16S\n\n"),
              std::string::npos)
        << report;
}

TEST(CodeSimulation, AppliesTheShapingFunctionsOfBothEdges)
{
    // NONPRODUCO 6, 7, 8 narrow by 4 and 3 and widen by 1 on both edges.
    Compiled r(source({"NONPRODUCO 6 1 1", "NONPRODUCO 7 1 1", "NONPRODUCO 8 1 1"}));
    ASSERT_EQ(r.result, kCompiled) << reportText(r.compiler);
    EXPECT_EQ(r.compiler.simulator().outerRight(), 5 - 4 - 3 + 1);
    EXPECT_EQ(r.compiler.simulator().outerLeft(), 5 - 4 - 3 + 1);
}

TEST(CodeSimulation, CountsEveryStepOfARunOfCommandsAndRepeats)
{
    // RIGATO 1 and its count 3 (5 courses); NONPRODUCO 3 sharing the step
    // with the RIGATO 1 after it, and count 2 (4 courses); NONPRODUCO 1 and
    // count 1, SEGNACENTRO (4 steps, no course); CALATO 1D and count 1 (3
    // steps narrowing by one each, no course).
    CodeSimulator simulator;
    Report report;
    PanelHeader header;
    header.borderRight = 5;
    header.necklineRight = 2;
    const unsigned char code[] = {0x95, 0x03, 0xFA, 0x95, 0x02, 0xB8, 0x01, 0x9A, 0x90, 0x01};
    ASSERT_TRUE(simulator.run(code, sizeof code, header, report));
    EXPECT_EQ(simulator.steps(), 5 + 4 + 4 + 3);
    EXPECT_EQ(simulator.courses(), 5 + 4);
    EXPECT_EQ(simulator.outerRight(), 2);
    EXPECT_EQ(simulator.maxRight(), 5);
    EXPECT_EQ(simulator.minGapRight(), 0);
}

TEST(CodeSimulation, FailsOnAnUnknownCommand)
{
    CodeSimulator simulator;
    Report report;
    PanelHeader header;
    const unsigned char code[] = {0x9D, 0x94, 0x02, 0xA2};
    EXPECT_FALSE(simulator.run(code, sizeof code, header, report));
    EXPECT_STREQ(report.text(), ".    6 comando non riconosciuto\r\n       alla riga 4\r\n");
}

} // namespace
