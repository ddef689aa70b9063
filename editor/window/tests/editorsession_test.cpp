// The editor window on a sample panel with the real library and language
// files: parameter clicks and their repeat, the totals that follow, the
// header fields and the help boxes.

#include "window/editorwindow.h"

#include "document/librarybinding.h"
#include "kn4/testfiles.h"
#include "window/palettecodec.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <unistd.h>

namespace {

using namespace kn4::editor;
namespace fs = std::filesystem;

class EditorSessionTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "editor_session_tests";
        static char *argv[] = {name, nullptr};
        if (!qApp)
            new QApplication(argc, argv);
    }

    void SetUp() override
    {
        ASSERT_TRUE(m_library.load(KN4_PROGRAM_DIR)) << m_library.errorMessage();
        m_folder = fs::temp_directory_path() /
                   ("kn4-session-" + std::to_string(::getpid()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
        m_panelPath = m_folder / "DAVANTI.KN4";
        fs::copy_file(fs::path(KN4_PROGRAM_DIR) / "archivi" / "DEMO" / "DAVANTI.KN4", m_panelPath);
        open();
    }

    void TearDown() override
    {
        m_window.reset();
        fs::remove_all(m_folder);
    }

    void open()
    {
        m_window.reset();
        EditorStartup::Input input;
        input.arguments = m_panelPath.string() + "," + KN4_PROGRAM_DIR + "/italiano/";
        input.workingDirectory = m_folder;
        m_startup = EditorStartup::run(input, &m_library, m_library.errorMessage(), paletteColourCodec());
        ASSERT_FALSE(m_startup.ended()) << m_startup.fatalMessage;
        m_window = std::make_unique<EditorWindow>(EditorContext{m_library, m_startup, "01/01/2026"});
        m_window->show();
    }

    QLabel *riga(int index)
    {
        for (QLabel *label : m_window->findChildren<QLabel *>(QStringLiteral("Riga")))
            if (label->property("index").toInt() == index)
                return label;
        return nullptr;
    }

    template <typename T>
    T *control(const char *name)
    {
        return m_window->findChild<T *>(QString::fromLatin1(name));
    }

    // The first row whose command is `entry` (a row of the first screen).
    int rowOfEntry(int entry)
    {
        const RowStore &rows = m_window->rowStore();
        for (int i = 0; i < rows.rowCount() && i < RowStore::kLabelCount; ++i)
            if (RowText::entryIndex(rows.row(i)) == entry)
                return i;
        return -1;
    }

    static QPoint columnPoint(int column) { return QPoint(column * EditorWindow::kColumnWidth + 3, 8); }

    std::string columns(int row, int first, int last)
    {
        return std::string(trimBlanks(RowText::columns(m_window->rowStore().row(row), first, last)));
    }

    // The number of steps from `from` to `to` by a library click operation,
    // -1 when the steps never reach it.
    int stepsBetween(CommandLibrary::Click operation, std::int32_t code, std::string from,
                     const std::string &to)
    {
        for (int steps = 0; steps <= 200; ++steps) {
            if (from == to)
                return steps;
            from = std::string(trimBlanks(m_library.click(operation, code, from)));
            if (from.empty())
                return -1;
        }
        return -1;
    }

    LibraryBinding m_library;
    fs::path m_folder;
    fs::path m_panelPath;
    StartupResult m_startup;
    std::unique_ptr<EditorWindow> m_window;
};

TEST_F(EditorSessionTest, OpenedPanelShowsItsTotalsAndIsNotModified)
{
    EXPECT_FALSE(m_window->isModified());
    EXPECT_EQ(m_window->totals().warningCode(), RunningTotals::NoWarning);
    EXPECT_GT(m_window->totals().programSteps(), 0);
    // The last row of the first definition carries the course total the
    // program has reached there.
    EXPECT_FALSE(columns(1, 30, 33).empty());
}

TEST_F(EditorSessionTest, ShortClickOnP1OfTheHighlightedRowAppliesOneStep)
{
    const int row = rowOfEntry(3);  // calato: a decrease with P1
    ASSERT_GE(row, 0);
    QTest::mouseClick(riga(row), Qt::LeftButton, {}, columnPoint(0));
    ASSERT_EQ(m_window->rowStore().selectedRow(), row);
    m_window->setModified(false);

    const std::string text = m_window->rowStore().row(row);
    const std::int32_t code = RowText::functionCode(text);
    const ParameterPositions positions = m_library.GetPosizioneParametri(code);
    ASSERT_TRUE(positions.hasP1());
    const std::string before = columns(row, positions.p1First, positions.p1Last);
    const std::string expected(trimBlanks(m_library.ClickSxP1(code, before)));
    ASSERT_FALSE(expected.empty());

    QTest::mouseClick(riga(row), Qt::LeftButton, {}, columnPoint(positions.p1First));
    EXPECT_EQ(columns(row, positions.p1First, positions.p1Last), expected);
    EXPECT_TRUE(m_window->isModified());

    // The right button takes the step back.
    QTest::mouseClick(riga(row), Qt::RightButton, {}, columnPoint(positions.p1First));
    EXPECT_EQ(columns(row, positions.p1First, positions.p1Last), before);
}

TEST_F(EditorSessionTest, HoldingTheButtonRepeatsInBurstsOfFiveAndTheTotalsFollow)
{
    const int row = rowOfEntry(10);  // maglia liscia: plain courses
    ASSERT_GE(row, 0);
    QTest::mouseClick(riga(row), Qt::LeftButton, {}, columnPoint(0));
    const std::int32_t code = RowText::functionCode(m_window->rowStore().row(row));
    const std::string interval = columns(row, 17, 20);
    const std::string totalBelow = columns(row + 1, 30, 33);

    QTest::mousePress(riga(row), Qt::LeftButton, {}, columnPoint(18));
    // No step before the first repeat delay is over.
    EXPECT_EQ(columns(row, 17, 20), interval);
    QTRY_VERIFY_WITH_TIMEOUT(columns(row, 17, 20) != interval, 5000);
    QTest::mouseRelease(riga(row), Qt::LeftButton, {}, columnPoint(18));

    // Only whole bursts: the release after a repeat adds no step.
    const int steps = stepsBetween(CommandLibrary::Click::SxIntervallo, code, interval, columns(row, 17, 20));
    EXPECT_GE(steps, 5);
    EXPECT_EQ(steps % 5, 0);
    EXPECT_NE(columns(row + 1, 30, 33), totalBelow);

    // Released, nothing repeats any more.
    const std::string after = columns(row, 17, 20);
    QTest::qWait(700);
    EXPECT_EQ(columns(row, 17, 20), after);
}

TEST_F(EditorSessionTest, LeavingTheRowWhileHoldingStopsTheRepeat)
{
    const int row = rowOfEntry(10);
    ASSERT_GE(row, 0);
    QTest::mouseClick(riga(row), Qt::LeftButton, {}, columnPoint(0));
    const std::string before = m_window->rowStore().row(row);

    QTest::mousePress(riga(row), Qt::LeftButton, {}, columnPoint(18));
    QTest::mouseMove(riga(row), QPoint(columnPoint(18).x(), -6));
    QTest::qWait(700);
    QTest::mouseRelease(riga(row), Qt::LeftButton, {}, QPoint(columnPoint(18).x(), -6));
    EXPECT_EQ(m_window->rowStore().row(row), before);
}

TEST_F(EditorSessionTest, HeaderFieldsFilterTheirKeys)
{
    QSignalSpy beeps(m_window.get(), &EditorWindow::beeped);
    auto *rib = control<QLineEdit>("CostinaDx");
    const QString ribText = rib->text();
    QTest::keyClick(rib, Qt::Key_A, {}, 0);
    EXPECT_EQ(rib->text(), ribText);
    EXPECT_EQ(beeps.count(), 1);

    auto *type = control<QLineEdit>("Tipo");
    type->setCursorPosition(int(type->text().size()));
    const QString typeText = type->text();
    QTest::keyClicks(type, QStringLiteral(" "));
    EXPECT_EQ(type->text(), typeText + QStringLiteral("-"));
    EXPECT_TRUE(m_window->isModified());

    auto *measure = control<QLineEdit>("AghiCm");
    measure->clear();
    QTest::keyClicks(measure, QStringLiteral("12,5"));
    EXPECT_EQ(measure->text(), QStringLiteral("12,5"));
    QTest::keyClicks(measure, QStringLiteral(","));
    EXPECT_EQ(measure->text(), QStringLiteral("12,5"));
    EXPECT_EQ(beeps.count(), 2);
}

TEST_F(EditorSessionTest, SpinnerLabelStepsTheRibAndTheDefinitionRowFollows)
{
    auto *rib = control<QLineEdit>("CostinaDx");
    const int value = rib->text().toInt();
    QTest::mouseClick(control<QLabel>("Label6"), Qt::LeftButton);
    EXPECT_EQ(rib->text().toInt(), value + 1);
    // The definition row starts the outer carriage at the rib.
    EXPECT_EQ(columns(0, 35, 37), std::to_string(value + 1));
    EXPECT_TRUE(m_window->isModified());
    QTest::mouseClick(control<QLabel>("Label6"), Qt::RightButton);
    EXPECT_EQ(rib->text().toInt(), value);
}

TEST_F(EditorSessionTest, PointerOverAFieldShowsItsHintAfterTheDelay)
{
    auto *small = control<QPlainTextEdit>("Esperto_2");
    auto *type = control<QLineEdit>("Tipo");
    const QString shown = small->toPlainText();
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QCoreApplication::sendEvent(type, &enter);
    EXPECT_EQ(small->toPlainText(), shown);
    QTRY_VERIFY_WITH_TIMEOUT(small->toPlainText() != shown, 3000);
    EXPECT_FALSE(small->toPlainText().startsWith(QStringLiteral("ATTENZIONE")));

    // The expanded help gives the rows up to the large box.
    QTest::mouseClick(control<QPushButton>("Esperto1"), Qt::LeftButton);
    EXPECT_TRUE(control<QPlainTextEdit>("Esperto")->isVisible());
    EXPECT_FALSE(small->isVisible());
    EXPECT_EQ(m_window->rowStore().visibleRows(), 12);
    QTest::mouseClick(control<QPushButton>("Esperto3"), Qt::LeftButton);
    EXPECT_FALSE(control<QPlainTextEdit>("Esperto")->isVisible());
    EXPECT_EQ(m_window->rowStore().visibleRows(), 18);
}

} // namespace
