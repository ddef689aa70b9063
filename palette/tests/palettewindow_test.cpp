#include "kn4/palettewindow.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include "kn4/testapplication.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using kn4::Colour;
using kn4::PaletteWindow;
using kn4::rgb;

class PaletteWindowTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        kn4::testing::ensureApplication();
    }

    QLabel *cell(int index)
    {
        for (QLabel *label : m_window.findChildren<QLabel *>(QStringLiteral("Label1"))) {
            if (label->property("index").toInt() == index)
                return label;
        }
        return nullptr;
    }

    // Runs `whilePicking` once the pick waits for the user.
    void duringPick(std::function<void()> whilePicking)
    {
        QObject::connect(&m_window, &PaletteWindow::pickStarted, &m_window,
                         [whilePicking] { QTimer::singleShot(0, whilePicking); },
                         Qt::SingleShotConnection);
    }

    PaletteWindow m_window;
};

TEST_F(PaletteWindowTest, ClickingACellEndsThePickWithItsColourAndCode)
{
    ASSERT_EQ(m_window.objectName(), "tavolozza");
    ASSERT_EQ(m_window.findChildren<QLabel *>(QStringLiteral("Label1")).size(), 48);

    QPoint framePosition;
    bool frameShown = false;
    duringPick([&] {
        auto *frame = m_window.findChild<QFrame *>(QStringLiteral("Shape1"));
        frameShown = frame->isVisible();
        framePosition = frame->pos();
        QTest::mouseClick(cell(17), Qt::LeftButton);
    });

    Colour colour = rgb(0, 0, 255);
    std::string code;
    EXPECT_TRUE(m_window.TestColore(0, colour, code));
    EXPECT_EQ(colour, rgb(255, 0, 0));
    EXPECT_EQ(code, "W");
    EXPECT_FALSE(m_window.isVisible());
    EXPECT_FALSE(m_window.isPicking());

    // The frame stood around cell 22 (row 2, column 6), 4 pixels out.
    EXPECT_TRUE(frameShown);
    EXPECT_EQ(framePosition, cell(22)->pos() - QPoint(4, 4));
}

TEST_F(PaletteWindowTest, NearBlackCellGivesItsOwnCode)
{
    duringPick([&] { QTest::mouseClick(cell(40), Qt::LeftButton); });
    Colour colour = rgb(255, 255, 255);
    std::string code;
    EXPECT_TRUE(m_window.TestColore(0, colour, code));
    EXPECT_EQ(colour, rgb(1, 0, 0));
    EXPECT_EQ(code, "n");
}

TEST_F(PaletteWindowTest, ClosingTheWindowEndsThePickWithoutAChoice)
{
    duringPick([&] { m_window.close(); });
    Colour colour = rgb(0, 255, 0);
    std::string code = "Z";
    EXPECT_FALSE(m_window.TestColore(0, colour, code));
    EXPECT_EQ(colour, rgb(0, 255, 0));
    EXPECT_EQ(code, "Z");
    EXPECT_FALSE(m_window.isPicking());
}

TEST_F(PaletteWindowTest, SecondPickWhileWaitingIsRefused)
{
    bool nestedResult = true;
    duringPick([&] {
        Colour colour = 0;
        std::string code;
        nestedResult = m_window.TestColore(0, colour, code);
        QTest::mouseClick(cell(0), Qt::LeftButton);
    });
    Colour colour = 0;
    std::string code;
    EXPECT_TRUE(m_window.TestColore(0, colour, code));
    EXPECT_FALSE(nestedResult);
    EXPECT_EQ(code, "F");
}

TEST_F(PaletteWindowTest, TranslationModesNeverShowTheWindow)
{
    Colour colour = rgb(64, 64, 0);
    std::string code;
    EXPECT_TRUE(m_window.TestColore(1, colour, code));
    EXPECT_EQ(code, "r");
    EXPECT_FALSE(m_window.isVisible());
}

} // namespace
