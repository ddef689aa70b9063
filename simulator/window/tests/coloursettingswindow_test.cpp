// The colour settings window: the stripe modes, the carrier sides and the
// palette pick, each change rerunning the simulation.

#include "coloursettingswindow.h"
#include "simulatorwindow.h"
#include "windowtestsupport.h"

#include <QLabel>

#include <gtest/gtest.h>

namespace {

using kn4::testing::SimulatorFolder;
using namespace kn4::simulator;

QString modeText(const ColourSettingsWindow &window)
{
    return window.findChild<QLabel *>(QStringLiteral("Modo"))->text();
}

TEST(ColourSettingsWindowTest, StripeModesCycleAndTheEmptyCourseMachineRepeatsCarriersOneToFour)
{
    SimulatorFolder folder;
    kn4::SimSettings settings;
    settings.colours = {1, 2, 3, 4, 5, 6, 7, 8};
    settings.carrierSides = {2, 0, 1, 1, 1, 1, 1, 1};
    QStringList labels;
    for (int slot = 0; slot <= 110; ++slot)
        labels << QStringLiteral("L%1").arg(slot);
    ColourSettingsWindow window(settings, LabelTexts(labels), nullptr);
    EXPECT_EQ(modeText(window), "L75");

    window.SetModo(1);
    EXPECT_EQ(settings.stripeMode, 1);
    EXPECT_EQ(modeText(window), "L76");
    EXPECT_EQ(settings.colours, (std::array<kn4::Colour, 8>{1, 2, 3, 1, 2, 3, 7, 8}));
    EXPECT_EQ(settings.carrierSides, (std::array<std::uint8_t, 8>{2, 0, 1, 1, 2, 0, 1, 1}));

    window.SetModo(1);
    EXPECT_EQ(modeText(window), "L79");
    QStringList captions;
    for (const QLabel *caption : window.findChildren<QLabel *>(QStringLiteral("Guidafilo")))
        captions << caption->text();
    EXPECT_EQ(captions.join(' '), "C.B R.1 R.2 Fil --- --- --- ---");

    window.SetModo(1);
    EXPECT_EQ(settings.stripeMode, 0);
    EXPECT_EQ(modeText(window), "L75");
}

TEST(ColourSettingsWindowTest, EachChangeRerunsTheSimulationWithTheNewSettings)
{
    SimulatorFolder folder;
    auto startup = folder.start();
    ASSERT_FALSE(startup.ended());
    SimulatorWindow window(startup);
    ColourSettingsWindow *colours = window.colourSettingsWindow();
    const kn4::SimSettings &settings = window.engine().settings();

    int runs = window.runCount();
    colours->Lato_Click(1);
    EXPECT_EQ(settings.carrierSides[0], 2);
    colours->Lato_Click(1);
    colours->Lato_Click(1);
    EXPECT_EQ(settings.carrierSides[0], 1);  // 1 -> 2 -> 0 -> 1
    colours->InizioConteggio_Click();
    EXPECT_EQ(settings.countStart, 1);
    EXPECT_EQ(window.runCount(), runs + 4);

    // With course-count start 1 an odd course ends on side 2: course 1's
    // record shows it.
    const kn4::CourseRecord *first = window.engine().record(1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->sides[std::size_t(first->carrier - 1)], 2);
}

} // namespace
