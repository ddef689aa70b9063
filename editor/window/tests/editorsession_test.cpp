// The editor window on a sample panel with the real library and language
// files: parameter clicks and their repeat, the totals that follow, the
// header fields and the help boxes.

#include "window/editorwindow.h"

#include "document/librarybinding.h"
#include "kn4/atomicfile.h"
#include "kn4/cp1252.h"
#include "kn4/modaldialoghandler.h"
#include "kn4/testfiles.h"
#include "window/compilereport.h"
#include "window/valueentry.h"
#include "document/palettecodec.h"
#include "document/panelwriter.h"

#include <QApplication>
#include <QLabel>
#include <QAction>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QListWidget>
#include <QUndoStack>

#include "kn4/testapplication.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <memory>
#include <unistd.h>

namespace {

using namespace kn4::editor;
namespace fs = std::filesystem;
using kn4::testing::readFile;

using ModalHandler = kn4::testing::ModalDialogHandler;

// What the report window showed.
struct ReportSeen
{
    QColor led;
    QString status;
    QString report;
    bool seen = false;
};

std::function<void(QWidget *)> readReportAndClose(ReportSeen &seen)
{
    return [&seen](QWidget *window) {
        auto *report = qobject_cast<frmPopUpCompilazione *>(window);
        ASSERT_NE(report, nullptr);
        seen.seen = true;
        seen.led = report->findChild<CompileLed *>(QStringLiteral("LedCompilazione"))->colour();
        seen.status = report->findChild<QLabel *>(QStringLiteral("lblStatus"))->text();
        seen.report = report->findChild<QPlainTextEdit *>(QStringLiteral("txtCompilazione"))->toPlainText();
        report->cmdChiudi_Click();
    };
}

std::function<void(QWidget *)> answer(QMessageBox::StandardButton button, QString *text = nullptr)
{
    return [button, text](QWidget *window) {
        auto *box = qobject_cast<QMessageBox *>(window);
        ASSERT_NE(box, nullptr);
        if (text != nullptr)
            *text = box->text();
        box->button(button)->click();
    };
}

ssize_t failingWrite(int, const void *, std::size_t)
{
    errno = ENOSPC;
    return -1;
}

class EditorSessionTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        kn4::testing::ensureApplication();
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

    // Opens the panel with the language folder given (the program's
    // italiano/ when empty).
    void open(const fs::path &language = {})
    {
        m_window.reset();
        EditorStartup::Input input;
        const std::string folder = language.empty() ? std::string(KN4_PROGRAM_DIR) + "/italiano" : language.string();
        input.arguments = m_panelPath.string() + "," + folder + "/";
        input.workingDirectory = m_folder;
        m_startup = EditorStartup::run(input, &m_library, m_library.errorMessage(), paletteColourCodec());
        ASSERT_FALSE(m_startup.ended()) << m_startup.fatalMessage;
        m_window = std::make_unique<EditorWindow>(EditorContext{m_library, m_startup, "01/01/2026"});
        m_window->show();
        // The window's keys (undo, save, F1...) act in the active window.
        m_window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
    }

    // The panel file the window would write now.
    std::string bytes()
    {
        m_window->syncPanel();
        return PanelWriter::sourceText(m_window->panel(), paletteColourCodec());
    }

    // Selects a row with a click on its command name.
    void select(int row)
    {
        QTest::mouseClick(riga(row), Qt::LeftButton, {}, columnPoint(0));
        ASSERT_EQ(m_window->rowStore().selectedRow(), row);
    }

    int undoSteps() { return m_window->undoStack()->index(); }

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

    // A change of the program: the right rib one needle wider.
    void widenRib()
    {
        QTest::mouseClick(control<QLabel>("Label6"), Qt::LeftButton);
        ASSERT_TRUE(m_window->isModified());
    }

    void trigger(const char *menuEntry) { control<QAction>(menuEntry)->trigger(); }

    static bool compiled(const std::string &bytes) { return bytes.rfind("SORGENTE.KN4", 0) != 0; }

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

TEST_F(EditorSessionTest, DrawingFollowsTheTotalsAndThePointerReadsItOut)
{
    const KnitPicture &picture = m_window->knitPicture();
    ASSERT_FALSE(picture.primitives.empty());
    EXPECT_LE(picture.scale, 1.0);
    const auto courses = [&picture] {
        int count = 0;
        for (const DrawingPrimitive &primitive : picture.primitives)
            count += primitive.kind == DrawingPrimitive::Kind::Course ? 1 : 0;
        return count;
    };
    const int before = courses();
    // A longer program draws more courses.
    const int row = rowOfEntry(10);
    QTest::mouseClick(riga(row), Qt::LeftButton, {}, columnPoint(0));
    for (int i = 0; i < 5; ++i)
        QTest::mouseClick(riga(row), Qt::LeftButton, {}, columnPoint(18));
    EXPECT_GT(courses(), before);

    // The centre of the first course is course 0, needle 0.
    QWidget *drawing = control<QWidget>("Picture1");
    QMouseEvent move(QEvent::MouseMove, QPointF(160, 381), drawing->mapToGlobal(QPointF(160, 381)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(drawing, &move);
    const QString courseText = control<QLabel>("lblRanghi")->text();
    const QString needleText = control<QLabel>("lblAghi")->text();
    EXPECT_TRUE(courseText.startsWith(QStringLiteral("   0  0"))) << courseText.toStdString();
    EXPECT_TRUE(courseText.endsWith(QStringLiteral(" cm"))) << courseText.toStdString();
    EXPECT_TRUE(needleText.startsWith(QStringLiteral("   0  0"))) << needleText.toStdString();
}

TEST_F(EditorSessionTest, SaveCompilesAndShowsTheGreenReport)
{
    widenRib();
    const int rib = control<QLineEdit>("CostinaDx")->text().toInt();
    ReportSeen seen;
    ModalHandler handler(readReportAndClose(seen));
    trigger("Salva");
    ASSERT_TRUE(seen.seen);
    EXPECT_EQ(seen.led, QColor(0, 255, 0));
    EXPECT_EQ(seen.status, QStringLiteral("Il pannello non contiene errori"));
    EXPECT_FALSE(m_window->isModified());
    EXPECT_EQ(m_window->saveState().compileResult(), 0);
    EXPECT_EQ(m_window->help().currentKey(), PanelSave::kSavedHintKey);
    EXPECT_TRUE(compiled(readFile(m_panelPath)));

    // Reopened, the panel is what was saved.
    const std::vector<std::string> rows = m_window->rowStore().rows();
    open();
    EXPECT_EQ(control<QLineEdit>("CostinaDx")->text().toInt(), rib);
    EXPECT_EQ(m_window->rowStore().rows(), rows);
    EXPECT_FALSE(m_window->isModified());
}

TEST_F(EditorSessionTest, SaveWithACarriageWarningShowsTheRedReportWithoutCompiling)
{
    control<QLineEdit>("CostinaDx")->setText(QStringLiteral("250"));  // wider than the needle bed
    m_window->recomputeTotals();
    ASSERT_EQ(m_window->totals().warningCode(), RunningTotals::OuterBeyondNeedleBed);

    QSignalSpy beeps(m_window.get(), &EditorWindow::beeped);
    ReportSeen seen;
    ModalHandler handler(readReportAndClose(seen));
    trigger("Salva");
    ASSERT_TRUE(seen.seen);
    EXPECT_EQ(seen.led, QColor(255, 0, 0));
    EXPECT_EQ(seen.status, QStringLiteral("Il pannello contiene alcuni errori potenzialmente gravi"));
    EXPECT_TRUE(seen.report.endsWith(QStringLiteral("ATTENZIONE: carro esterno oltre la frontura.")));
    EXPECT_EQ(m_window->saveState().compileResult(), -1);
    // Written as source only: the compiler was not asked.
    const std::string bytes = readFile(m_panelPath);
    EXPECT_FALSE(compiled(bytes));
    EXPECT_NE(bytes.find("250"), std::string::npos);
    EXPECT_FALSE(m_window->isModified());
}

// A compilation that cannot finish (the keyword file of the language
// folder became a folder after the editor started): the panel keeps its
// source, and the report says it was not compiled.
TEST_F(EditorSessionTest, SaveThatCannotCompileShowsTheRedReport)
{
    const fs::path language = m_folder / "italiano";
    fs::create_directories(language);
    for (const char *name : {"VUZUDO.KEY", "Kn4Edit.123", "kn4edit.ini"})
        fs::copy_file(fs::path(KN4_PROGRAM_DIR) / "italiano" / name, language / name);
    open(language);
    fs::remove(language / "VUZUDO.KEY");
    fs::create_directories(language / "VUZUDO.KEY");
    widenRib();
    ReportSeen seen;
    ModalHandler handler(readReportAndClose(seen));
    trigger("Salva");
    ASSERT_TRUE(seen.seen);
    EXPECT_EQ(seen.led, QColor(255, 0, 0));
    EXPECT_EQ(seen.status, QString::fromUtf8("Il pannello non \u00E8 stato compilato"));
    EXPECT_TRUE(seen.report.endsWith(QStringLiteral("pannello invariato\n"))) << seen.report.toStdString();
    EXPECT_EQ(m_window->saveState().compileResult(), KN4_NOT_A_SOURCE);
    EXPECT_NE(m_window->help().currentKey(), PanelSave::kSavedHintKey);
    EXPECT_FALSE(compiled(readFile(m_panelPath)));
}

TEST_F(EditorSessionTest, SaveThatCannotWriteKeepsThePanelAndStaysModified)
{
    const std::string before = readFile(m_panelPath);
    widenRib();
    QString message;
    ModalHandler handler(answer(QMessageBox::Ok, &message));
    kn4::AtomicFileWriter::setWriteFunctionForTesting(failingWrite);
    trigger("Salva");
    kn4::AtomicFileWriter::setWriteFunctionForTesting(nullptr);
    EXPECT_EQ(handler.handled(), 1);  // the message, no report window
    EXPECT_FALSE(message.isEmpty());
    EXPECT_EQ(readFile(m_panelPath), before);
    EXPECT_TRUE(m_window->isModified());
    EXPECT_EQ(m_window->exitState(), EditorWindow::ExitNone);
    std::vector<fs::path> left;
    for (const auto &entry : fs::directory_iterator(m_folder))
        left.push_back(entry.path().filename());
    EXPECT_EQ(left, std::vector<fs::path>{"DAVANTI.KN4"});
}

TEST_F(EditorSessionTest, CancelAtTheExitQuestionKeepsTheEditorOpenAndModified)
{
    const std::string before = readFile(m_panelPath);
    widenRib();
    QString question;
    {
        ModalHandler handler(answer(QMessageBox::Cancel, &question));
        trigger("Esci");
        EXPECT_EQ(handler.handled(), 1);
    }
    EXPECT_EQ(question.toStdString(), kn4::cp1252ToUtf8(m_startup.language.text(LanguageTable::ExitQuestion)));
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_TRUE(m_window->isModified());
    EXPECT_EQ(readFile(m_panelPath), before);

    // Closing the window afterwards asks again; No leaves without saving.
    {
        ModalHandler handler(answer(QMessageBox::No));
        EXPECT_TRUE(m_window->close());
        EXPECT_EQ(handler.handled(), 1);
    }
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_EQ(readFile(m_panelPath), before);
}

TEST_F(EditorSessionTest, WithoutItsLanguageLineTheExitQuestionIsAskedInItalian)
{
    // A language file that ends before the exit question.
    const fs::path language = m_folder / "italiano";
    fs::create_directories(language);
    fs::copy_file(fs::path(KN4_PROGRAM_DIR) / "italiano" / "VUZUDO.KEY", language / "VUZUDO.KEY");
    const std::string full = readFile(fs::path(KN4_PROGRAM_DIR) / "italiano" / "kn4edit.ini");
    std::size_t cut = 0;
    for (int line = 0; line < LanguageTable::ExitQuestion; ++line)
        cut = full.find("\r\n", cut) + 2;
    kn4::testing::writeFile(language / "kn4edit.ini", full.substr(0, cut));
    open(language);
    ASSERT_TRUE(m_startup.language.loaded());
    widenRib();
    QString question;
    ModalHandler handler(answer(QMessageBox::Cancel, &question));
    trigger("Esci");
    EXPECT_EQ(question.toStdString(), kn4::cp1252ToUtf8(EditorWindow::kExitQuestion));
}

TEST_F(EditorSessionTest, YesAtTheExitQuestionSavesAndCloses)
{
    widenRib();
    ReportSeen seen;
    std::unique_ptr<ModalHandler> report;
    ModalHandler question([&](QWidget *window) {
        // The report window follows the answer.
        report = std::make_unique<ModalHandler>(readReportAndClose(seen));
        answer(QMessageBox::Yes)(window);
    });
    m_window->close();
    EXPECT_EQ(question.handled(), 1);
    EXPECT_TRUE(seen.seen);
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_FALSE(m_window->isModified());
    EXPECT_TRUE(compiled(readFile(m_panelPath)));
}

// --- undo, typed values, keys, report lines, courses ---------------------------

// Every kind of edit is one undo step: undone, the panel is byte for byte
// what it was and no longer modified; redone, it is the edited panel again.
TEST_F(EditorSessionTest, EveryEditIsOneUndoStepThatRestoresThePanel)
{
    auto *part = control<QLineEdit>("Parte");
    const struct
    {
        const char *name;
        std::function<void()> edit;
    } cases[] = {
        {"insert row",
         [&] {
             select(2);
             control<QListWidget>("ListaComandi")->setCurrentRow(1);
             trigger("InserisciRiga");
         }},
        {"delete row", [&] { select(3); trigger("EliminaRiga"); }},
        {"parameter click",
         [&] {
             select(4);
             QTest::mouseClick(riga(4), Qt::RightButton, {}, columnPoint(14));
         }},
        {"held button",
         [&] {
             select(2);
             QTest::mousePress(riga(2), Qt::LeftButton, {}, columnPoint(18));
             QTest::qWait(750);
             QTest::mouseRelease(riga(2), Qt::LeftButton, {}, columnPoint(18));
         }},
        {"typed value",
         [&] {
             // The click that selects the row names the field to type into.
             m_window->rowStore().selectRow(-1);
             m_window->refreshRows();
             QTest::mouseClick(riga(6), Qt::LeftButton, {}, columnPoint(18));
             m_window->openValueEntry();
             ASSERT_TRUE(m_window->acceptValue(QStringLiteral("90")));
         }},
        {"header field",
         [&] {
             part->setCursorPosition(int(part->text().size()));
             QTest::keyClicks(part, QStringLiteral("AB"));
         }},
        {"note", [&] { QTest::keyClicks(control<QLineEdit>("Note2"), QStringLiteral(" e rosso")); }},
        {"spinner", [&] { QTest::mouseClick(control<QLabel>("Label6"), Qt::LeftButton); }},
        {"set-up",
         [&] {
             auto *setup = control<QLineEdit>("Predisposizione");
             setup->selectAll();
             QTest::keyClicks(setup, QStringLiteral("2"));
             QTest::mouseClick(control<QPushButton>("Predisposizione_2"), Qt::LeftButton);
         }},
        {"colours", [&] { m_window->Reset_Click(); }},
    };
    const std::string original = bytes();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const int steps = undoSteps();
        c.edit();
        EXPECT_EQ(undoSteps(), steps + 1);
        const std::string edited = bytes();
        EXPECT_NE(edited, original);
        EXPECT_TRUE(m_window->isModified());
        trigger("Annulla");
        EXPECT_EQ(bytes(), original);
        EXPECT_FALSE(m_window->isModified());
        trigger("Ripeti");
        EXPECT_EQ(bytes(), edited);
        EXPECT_TRUE(m_window->isModified());
        trigger("Annulla");
    }
    // The totals follow the undone edits.
    EXPECT_EQ(m_window->totals().programSteps(), 282);
    EXPECT_EQ(control<QLineEdit>("Predisposizione")->text(), QStringLiteral("1"));
}

// Saving keeps the steps: undoing after a save modifies the panel again,
// and redoing back to the saved state clears the flag.
TEST_F(EditorSessionTest, SavingKeepsTheUndoSteps)
{
    widenRib();
    ReportSeen seen;
    {
        ModalHandler handler(readReportAndClose(seen));
        QTest::keyClick(m_window.get(), Qt::Key_S, Qt::ControlModifier);  // Ctrl+S saves as Salva does
    }
    ASSERT_TRUE(seen.seen);
    EXPECT_FALSE(m_window->isModified());
    EXPECT_EQ(undoSteps(), 1);
    m_window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
    QTest::keyClick(m_window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(m_window->isModified());
    QTest::keyClick(m_window.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_FALSE(m_window->isModified());
    QTest::keyClick(m_window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);  // nothing to redo
    EXPECT_FALSE(m_window->isModified());
}

// A typed value the library's clicks cannot reach turns the entry red with
// the allowed values in its tip; a reachable one is one undo step.
TEST_F(EditorSessionTest, TypedValueOutOfRangeIsRefused)
{
    select(4);  // calato 2: P1 is 1 or 2
    QTest::keyClick(control<QFrame>("Righe"), Qt::Key_Return);
    ValueEntry *entry = m_window->valueEntry();
    ASSERT_TRUE(entry->isVisible());
    EXPECT_EQ(entry->text(), QStringLiteral("2"));
    const std::string before = m_window->rowStore().row(4);
    QSignalSpy beeps(m_window.get(), &EditorWindow::beeped);
    entry->setText(QStringLiteral("7"));
    QTest::keyClick(entry, Qt::Key_Return);
    EXPECT_TRUE(entry->isVisible());
    EXPECT_TRUE(entry->refused());
    EXPECT_EQ(entry->toolTip(), QStringLiteral("Valori ammessi: 1, 2"));
    EXPECT_EQ(beeps.count(), 1);
    EXPECT_EQ(m_window->rowStore().row(4), before);
    EXPECT_EQ(undoSteps(), 0);

    entry->setText(QStringLiteral("1"));
    QTest::keyClick(entry, Qt::Key_Return);
    EXPECT_FALSE(entry->isVisible());
    EXPECT_EQ(columns(4, 13, 14), "1");
    EXPECT_EQ(undoSteps(), 1);
}

// The keys of the row list and the window.
TEST_F(EditorSessionTest, KeysMoveEditSaveAndHelp)
{
    select(2);
    QWidget *rows = control<QFrame>("Righe");
    ASSERT_TRUE(rows->hasFocus());
    QTest::keyClick(rows, Qt::Key_Down);
    EXPECT_EQ(m_window->rowStore().selectedRow(), 3);
    QTest::keyClick(rows, Qt::Key_Up);
    QTest::keyClick(rows, Qt::Key_Up);
    EXPECT_EQ(m_window->rowStore().selectedRow(), 1);

    // Enter and F2 open the entry, Esc closes it.
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_F2}) {
        QTest::keyClick(rows, key);
        ASSERT_TRUE(m_window->valueEntry()->isVisible()) << key;
        QTest::keyClick(m_window->valueEntry(), Qt::Key_Escape);
        EXPECT_FALSE(m_window->valueEntry()->isVisible());
    }

    // Insert takes the list's command, Delete takes the row away.
    const int count = m_window->rowStore().rowCount();
    control<QListWidget>("ListaComandi")->setCurrentRow(0);
    QTest::keyClick(rows, Qt::Key_Insert);
    EXPECT_EQ(m_window->rowStore().rowCount(), count + 1);
    select(2);
    QTest::keyClick(rows, Qt::Key_Delete);
    EXPECT_EQ(m_window->rowStore().rowCount(), count);
    // Refused as by the menu: nothing selected, a beep.
    QSignalSpy beeps(m_window.get(), &EditorWindow::beeped);
    m_window->rowStore().selectRow(-1);
    m_window->refreshRows();
    QTest::keyClick(rows, Qt::Key_Delete);
    EXPECT_EQ(beeps.count(), 1);
    EXPECT_EQ(m_window->rowStore().rowCount(), count);

    // F1 expands the help and back; Esc closes it too.
    QTest::keyClick(rows, Qt::Key_F1);
    EXPECT_EQ(m_window->help().mode(), ExpertHelp::Mode::Expanded);
    QTest::keyClick(rows, Qt::Key_F1);
    EXPECT_EQ(m_window->help().mode(), ExpertHelp::Mode::Reduced);
    QTest::keyClick(rows, Qt::Key_F1);
    QTest::keyClick(rows, Qt::Key_Escape);
    EXPECT_EQ(m_window->help().mode(), ExpertHelp::Mode::Reduced);

    // The menu names the keys.
    EXPECT_EQ(control<QAction>("Annulla")->shortcut(), QKeySequence(QKeySequence::Undo));
    EXPECT_TRUE(control<QAction>("InserisciRiga")->toolTip().contains(QStringLiteral("(")));
}

// A report message leads to its row: a source line to the row written on
// that line, a code step to the row that knits the course it names; a
// header line to its field.
TEST_F(EditorSessionTest, ReportMessagesLeadToTheirRow)
{
    const struct
    {
        CompileReportLine line;
        int row;
    } cases[] = {
        {{CompileReportLine::Kind::SourceLine, 16, -1, "comando errato"}, 4},
        {{CompileReportLine::Kind::SourceLine, 25, -1, "parametro errato"}, 13},
        {{CompileReportLine::Kind::Step, 170, 160, "comandi incompatibili"}, 5},  // calato 1, 4, 3: 158-169
        {{CompileReportLine::Kind::Step, 3, -1, "memoria"}, 2},  // code steps 1, 2: girolente's courses
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line.number);
        m_window->goToReportLine(c.line);
        EXPECT_EQ(m_window->rowStore().selectedRow(), c.row);
        EXPECT_GE(m_window->rowStore().highlightedLabel(), 0);
    }
    m_window->goToReportLine({CompileReportLine::Kind::SourceLine, 3, -1, "costina errata"});
    EXPECT_TRUE(control<QLineEdit>("CostinaDx")->hasFocus());
    // The command line's --row lands on the same rows.
    EXPECT_TRUE(m_window->selectSourceLine(19));
    EXPECT_EQ(m_window->rowStore().selectedRow(), 7);
    EXPECT_TRUE(m_window->statusText().startsWith(QStringLiteral("Riga 19")));
    EXPECT_FALSE(m_window->selectSourceLine(5));
}

// End to end: a second strand that decreases where the outline does
// compiles to ".  154 comandi incompatibili ... alla riga 152"; choosing it
// in the report selects the outline's row at course 152 (calato 2, 2, 3),
// and the code step alone leads there too.
TEST_F(EditorSessionTest, ACodeStepOfTheReportLeadsToItsRow)
{
    std::string text = readFile(m_panelPath);
    const std::string strand = "definizione SCOLLO                      \r\n";
    text.insert(text.find(strand) + strand.size(),
                "liscio         , 152 , 1   ;            \r\ncalato        2, 2   , 3   ;            \r\n");
    kn4::testing::writeFile(m_panelPath, text);
    open();
    bool chosen = false;
    ModalHandler handler([&chosen](QWidget *window) {
        auto *report = qobject_cast<frmPopUpCompilazione *>(window);
        ASSERT_NE(report, nullptr);
        const QStringList lines = report->findChild<QPlainTextEdit *>(QStringLiteral("txtCompilazione"))
                                      ->toPlainText()
                                      .split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size(); ++i)
            if (lines[i].startsWith(QStringLiteral(".  154 comandi incompatibili"))) {
                report->lineChosen(i + 1, true);  // its continuation line
                chosen = true;
            }
        if (!chosen)
            report->cmdChiudi_Click();
    });
    m_window->save();
    ASSERT_TRUE(chosen);
    EXPECT_EQ(m_window->rowStore().selectedRow(), 4);
    m_window->rowStore().selectRow(-1);
    m_window->goToReportLine({CompileReportLine::Kind::Step, 154, -1, "comandi incompatibili"});
    EXPECT_EQ(m_window->rowStore().selectedRow(), 4);
}

// The knit drawing: the pointer over a course names the row of every strand
// that knits it; a click selects the program part's row.
TEST_F(EditorSessionTest, CourseInTheDrawingLeadsToItsRow)
{
    QWidget *drawing = control<QWidget>("Picture1");
    const double scale = m_window->knitPicture().scale;
    const QPointF course240(160, KnitDrawing::kBaseY - 240 * scale);
    QMouseEvent move(QEvent::MouseMove, course240, drawing->mapToGlobal(course240), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(drawing, &move);
    // liscio 96 (row 6, line 18) knits it in the outline, scollo 2 2 3
    // (row 11, line 23) in the neckline.
    const QString text = m_window->statusText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Ranghi: 240"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Riga 18 (PROFILO ESTERNO): maglia liscia 96 1"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Riga 23 (SCOLLO): scollo 2 2 3"))) << text.toStdString();
    QTest::mouseClick(drawing, Qt::LeftButton, {}, course240.toPoint());
    EXPECT_EQ(m_window->rowStore().selectedRow(), 6);
}

// Crossing edges: the rows that cross stand out in yellow and the status
// bar says what it means.
TEST_F(EditorSessionTest, CrossingEdgesAreYellowWithTheirMessageInWords)
{
    std::string text = readFile(m_panelPath);
    text.replace(text.find("calato        2, 2   , 8   ;"), 28, "calato        2, 2   , 40  ;");
    kn4::testing::writeFile(m_panelPath, text);
    open();
    ASSERT_GT(m_window->totals().crossedCourses(), 0);
    EXPECT_EQ(riga(7)->palette().color(QPalette::WindowText), QColor(255, 255, 0));
    EXPECT_EQ(riga(6)->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    select(7);
    const QString status = m_window->statusText();

    EXPECT_TRUE(status.startsWith(QStringLiteral("Riga 19: Bordi incrociati: un rango più stretto di un ago"))) << status.toStdString();
}

} // namespace
