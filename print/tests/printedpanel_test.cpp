#include "printedpanel.h"
#include "printtesting.h"

#include "kn4/labelfile.h"

#include <gtest/gtest.h>

namespace {

using namespace kn4::testing;

const kn4::LabelFile kLabels = kn4::LabelFile::fromText(std::string(15, '\n') + "dx\r\nsx\r\n", 50);

TEST(PrintedPanel, HeaderValuesFromTheCompiledLineAndTheSourceHeader)
{
    const auto panel = kn4::PrintedPanel::fromBytes(compiledPanel(sourceHeader()));
    const auto v = kn4::PanelHeaderValues::read(panel, kLabels);
    EXPECT_EQ(v.type, "AB") << "without the padding";
    EXPECT_EQ(v.size, "44");
    EXPECT_EQ(v.part, "DAVANTI");
    EXPECT_EQ(v.needleBedWidth, "120");
    EXPECT_EQ(v.density, "12");
    EXPECT_EQ(v.setupText, "1");
    EXPECT_EQ(v.ribText, "5dx 5sx");
    EXPECT_EQ(v.necklineText, "20dx 20sx");
    EXPECT_EQ(v.ribRight, 5);
    EXPECT_EQ(v.necklineLeft, 20);
    EXPECT_EQ(v.totalSteps, 532);
    EXPECT_EQ(v.courseCount, 500);
    EXPECT_DOUBLE_EQ(v.borderHeight, 2.5) << "a decimal comma";
    EXPECT_DOUBLE_EQ(v.needlesPerCm, 3);
    EXPECT_DOUBLE_EQ(v.coursesPerCm, 4.5);
    EXPECT_EQ(v.setupValue, 1);
    EXPECT_EQ(v.notes[0], "nota uno");
    EXPECT_EQ(v.notes[2], "nota tre");
}

TEST(PrintedPanel, WordsAndCommasInNotesAndFieldsDoNotShiftTheValues)
{
    std::vector<std::string> source = sourceHeader();
    source[0] = "tipo uscit, taglia 44,parte bordo Ag.  ";
    source[7] = ";uscita bordo Ag. Ran. predisposizione 2";
    const auto panel = kn4::PrintedPanel::fromBytes(
        compiledPanel(source, "uscit 44 bordo Ag.-,120D,13,5----,1,5D 5S,20D 20S,532,500", "\x9d,77\x9c"));
    const auto v = kn4::PanelHeaderValues::read(panel, kLabels);
    EXPECT_DOUBLE_EQ(v.borderHeight, 2.5);
    EXPECT_DOUBLE_EQ(v.coursesPerCm, 4.5);
    EXPECT_EQ(v.setupValue, 1);
    EXPECT_EQ(v.notes[0], "uscita bordo Ag. Ran. predisposizione 2");
    EXPECT_EQ(v.notes[1], "nota due");
    EXPECT_EQ(v.courseCount, 500) << "commas and digits in the code are not the header's";
    EXPECT_EQ(v.density, "13,5") << "a decimal comma in the density shifts no field";
    EXPECT_EQ(v.ribText, "5dx 5sx");
    EXPECT_EQ(v.setupText, "1");
}

TEST(PrintedPanel, MissingSetupLineReadsAsOne)
{
    std::vector<std::string> source = sourceHeader();
    source.erase(source.begin() + 5);
    const auto v = kn4::PanelHeaderValues::read(kn4::PrintedPanel::fromBytes(compiledPanel(source)), kLabels);
    EXPECT_EQ(v.setupValue, 1);
}

TEST(PrintedPanel, PartsOfTheFile)
{
    std::vector<std::string> source = sourceHeader();
    source.push_back("definizione PROFILO ESTERNO             ");
    for (int i = 0; i < 900; ++i) // far beyond 32767 bytes
        source.push_back(rowLine("liscio", "  2", " 1"));
    const std::string bytes = compiledPanel(source, "AB--- 44 DAVANTI---,120D,12------,1,5D 5S,20D 20S,532,500",
                                            std::string(9000, '\x94'));
    const auto panel = kn4::PrintedPanel::fromBytes(bytes);
    EXPECT_TRUE(panel.hasCodeBlock());
    EXPECT_EQ(panel.codeBlock().size(), 9000u);
    EXPECT_EQ(panel.programText().size(), 901u * 42);

    EXPECT_FALSE(kn4::PrintedPanel::fromBytes("SORGENTE.KN4\r\ntipo").hasByte26());
    EXPECT_FALSE(kn4::PrintedPanel::fromBytes("AB\x1a\x94\x9c").hasCodeBlock()) << "no marker after the code";
}

} // namespace
