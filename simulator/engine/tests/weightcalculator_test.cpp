#include "simulator/weightcalculator.h"

#include <gtest/gtest.h>

using namespace kn4;

namespace {

StitchTotals totals(double total, std::array<double, 8> carriers)
{
    return StitchTotals{total, carriers};
}

} // namespace

TEST(WeightCalculator, WithoutAReferenceKeepsTheLastGramsPerStitch)
{
    WeightCalculator calculator;
    SimSettings settings;
    settings.referenceWeight = 300;
    settings.referenceStitches = 0;  // never divides by zero
    const WeightReport none = calculator.Aggiorno_peso(settings, totals(1000, {1000}), SimLabels());
    EXPECT_FALSE(none.hasReference);
    EXPECT_EQ(none.referenceWeightLine, "?????");
    EXPECT_EQ(none.gramsPerStitchLine, "?????");
    EXPECT_EQ(none.total, 0);
    EXPECT_EQ(none.colourLines[1], " 0 g");

    settings.referenceStitches = 3000;
    calculator.Aggiorno_peso(settings, totals(0, {}), SimLabels());
    settings.referenceWeight = 0;
    const WeightReport kept = calculator.Aggiorno_peso(settings, totals(1000, {1000}), SimLabels());
    EXPECT_EQ(kept.gramsPerStitch, 0.1);
    EXPECT_EQ(kept.total, 100);
}

TEST(WeightCalculator, CutsGramsDownToOneDecimal)
{
    SimLabels labels;
    labels.setText(46, "Riferimento");
    labels.setText(47, "Peso");
    labels.setText(48, "Grammi per maglia");
    SimSettings settings;
    settings.referenceWeight = 100;
    settings.referenceStitches = 3;
    settings.referencePath = "/archivi/DEMO/MANIC\xC3\x80.KN4";
    WeightCalculator calculator;
    const WeightReport report = calculator.Aggiorno_peso(settings, totals(2, {1, 1}), labels);
    EXPECT_EQ(report.total, 66.6);
    EXPECT_EQ(report.colours[0], 33.3);
    EXPECT_EQ(report.totalLine, " 66.6 g");
    EXPECT_EQ(report.referenceWeightLine, "Peso  100 g");
    EXPECT_EQ(report.referencePanelLine, "Riferimento=....");
    EXPECT_EQ(report.referencePanelPath, "O/MANIC\xC3\x80.KN4");  // 12 characters, the path's own text
    EXPECT_EQ(report.gramsPerStitchLine, "Grammi per maglia 33.3333333333333");
}

TEST(WeightCalculator, APanelTakenAsReferenceWeighsWhatWasTypedIn)
{
    for (const double stitches : {41840.0, 3.0, 999999.0, 123457.0}) {
        SimSettings settings;
        WeightCalculator::takeReference(settings, 299, "p.kn4", stitches);
        WeightCalculator calculator;
        EXPECT_EQ(calculator.Aggiorno_peso(settings, totals(stitches, {stitches}), SimLabels()).total, 299)
            << stitches;
    }
}

TEST(WeightCalculator, IntarsiaTakesCarriersOneToThreeFromTheAreas)
{
    SimSettings settings;
    settings.stripeMode = 2;
    settings.referenceWeight = 10;
    settings.referenceStitches = 10;
    WeightCalculator calculator;
    const WeightReport report = calculator.Aggiorno_peso(settings, totals(100, {100}), SimLabels(), 30, 20);
    EXPECT_EQ(report.colours[0], 50);
    EXPECT_EQ(report.colours[1], 30);
    EXPECT_EQ(report.colours[2], 20);
}

TEST(WeightCalculator, WeightEntryTakesOneToThreeDigitsAndRefusesZero)
{
    EXPECT_EQ(WeightCalculator::limitEntry("123"), "123");
    EXPECT_EQ(WeightCalculator::limitEntry("1234"), "");
    for (const char *refused : {"", "0", "abc", "0.4", "-5"})
        EXPECT_FALSE(WeightCalculator::entryWeight(refused)) << refused;
    EXPECT_EQ(WeightCalculator::entryWeight("250g"), 250);
    EXPECT_EQ(WeightCalculator::entryWeight("2.5"), 2);
}
