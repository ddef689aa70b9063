// The weight windows: the entry field's three characters, a refused weight,
// and the reference taken from the panel on screen.

#include "simulatorwindow.h"
#include "weightentrywindow.h"
#include "weightwindow.h"
#include "windowtestsupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using kn4::testing::SimulatorFolder;
using namespace kn4::simulator;

class WeightWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_startup = m_folder.start();
        ASSERT_FALSE(m_startup.ended()) << m_startup.fatalMessage;
        m_window = std::make_unique<SimulatorWindow>(m_startup);
        m_window->CalcoloPeso_Click();
        ASSERT_NE(m_window->weightWindow(), nullptr);
    }

    SimulatorFolder m_folder;
    SimulatorStartup m_startup;
    std::unique_ptr<SimulatorWindow> m_window;
};

TEST_F(WeightWindowTest, TheEntryKeepsThreeCharactersAndRefusesAWeightOfZero)
{
    WeightWindow *weights = m_window->weightWindow();
    weights->Sostituisci_Click();
    WeightEntryWindow *entry = weights->entryWindow();
    ASSERT_NE(entry, nullptr);
    QTest::keyClicks(entry->field(), QStringLiteral("123"));
    EXPECT_EQ(entry->field()->text(), "123");
    QTest::keyClicks(entry->field(), QStringLiteral("4"));
    EXPECT_EQ(entry->field()->text(), "");

    int refused = 0;
    QObject::connect(entry, &WeightEntryWindow::weightRefused, entry, [&refused] {
        ++refused;
        QTimer::singleShot(0, [] {
            if (QWidget *box = QApplication::activeModalWidget())
                box->close();
        });
    });
    for (const char *text : {"0", "", "x", "-5"}) {
        entry->field()->setText(QString::fromLatin1(text));
        entry->OK_Click();
    }
    EXPECT_EQ(refused, 4);
    EXPECT_EQ(weights->entryWindow(), entry);  // still open
}

TEST_F(WeightWindowTest, WithoutAReferenceTheLinesReadQuestionMarksAndTakingOneGivesTheTypedWeight)
{
    WeightWindow *weights = m_window->weightWindow();
    EXPECT_EQ(weights->referenceWeightText(), "?????");
    EXPECT_EQ(weights->totalText(), " 0 g");

    weights->Sostituisci_Click();
    weights->entryWindow()->field()->setText(QStringLiteral("250"));
    weights->entryWindow()->OK_Click();
    EXPECT_EQ(weights->entryWindow(), nullptr);
    const kn4::SimSettings &settings = m_window->engine().settings();
    EXPECT_EQ(settings.referenceWeight, 250);
    EXPECT_EQ(settings.referencePath, m_folder.panel().string());
    EXPECT_EQ(weights->totalText(), " 250 g");
    EXPECT_TRUE(weights->referenceWeightText().endsWith(" 250 g"));
}

} // namespace
