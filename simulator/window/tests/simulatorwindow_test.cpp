// The main window of the simulator on a compiled sample panel: zoom, pan,
// the course under the pointer in the history window, closing.

#include "historywindow.h"
#include "pictureview.h"
#include "simulatorwindow.h"
#include "windowtestsupport.h"

#include "panelsimulation.h"

#include "kn4/atomicfile.h"
#include "kn4/testfiles.h"

#include <QFrame>
#include <QPrinter>
#include <QCoreApplication>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cmath>
#include <memory>

namespace {

using kn4::DrawingView;
using kn4::testing::SimulatorFolder;
using kn4::simulator::SimulatorWindow;

// The standard output of a shell command.
std::string output(const std::string &command)
{
    std::string out;
    FILE *pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    std::size_t n = 0;
    while (pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    if (pipe)
        ::pclose(pipe);
    return out;
}

class SimulatorWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_startup = m_folder.start();
        ASSERT_FALSE(m_startup.ended()) << m_startup.fatalMessage;
        m_window = std::make_unique<SimulatorWindow>(m_startup);
        m_window->setMessageHandler([this](const QString &, const QString &text) { m_messages << text; });
    }

    DrawingView &view() { return m_window->engine().drawingView(); }
    int scale() { return m_window->engine().settings().scale; }

    SimulatorFolder m_folder;
    kn4::simulator::SimulatorStartup m_startup;
    std::unique_ptr<SimulatorWindow> m_window;
    QStringList m_messages;
};

TEST_F(SimulatorWindowTest, ZoomStepsByTwoBetweenTwoAndFortyAndAlwaysReruns)
{
    const struct
    {
        int from;
        Qt::MouseButton button;
        int to;
    } steps[] = {{10, Qt::LeftButton, 12}, {10, Qt::RightButton, 8}, {40, Qt::LeftButton, 40},
                 {2, Qt::RightButton, 2},  {3, Qt::RightButton, 3}};
    for (const auto &step : steps) {
        m_window->engine().settings().scale = std::int16_t(step.from);
        const int runs = m_window->runCount();
        m_window->Picture1_MouseUp(step.button, {4000, 4000});
        EXPECT_EQ(scale(), step.to) << step.from;
        EXPECT_EQ(m_window->runCount(), runs + 1);
    }
    // A release outside the square 500..7500 is no zoom.
    const int runs = m_window->runCount();
    m_window->Picture1_MouseUp(Qt::LeftButton, {400, 4000});
    EXPECT_EQ(m_window->runCount(), runs);
}

TEST_F(SimulatorWindowTest, APressInACornerPansBothWaysAndThePieceStopsAtItsBaseLine)
{
    const int runs = m_window->runCount();
    m_window->Picture1_MouseDown(Qt::LeftButton, {50, 50});
    EXPECT_EQ(view().centreX, 5000);
    EXPECT_EQ(view().baseY, 9000);
    EXPECT_EQ(m_window->runCount(), runs + 2);

    m_window->Picture1_MouseDown(Qt::LeftButton, {7950, 7950});
    EXPECT_EQ(view().centreX, 4000);
    EXPECT_EQ(view().baseY, 8000);
    m_window->Picture1_MouseDown(Qt::LeftButton, {4000, 7950});
    EXPECT_EQ(view().baseY, 8000);
    EXPECT_EQ(m_window->runCount(), runs + 4);

    // The picture follows the origin: the first course lies 1000 units higher.
    m_window->Picture1_MouseDown(Qt::LeftButton, {4000, 50});
    EXPECT_EQ(m_window->engine().yOfCourse(0), 9000);
}

TEST_F(SimulatorWindowTest, TheCourseUnderThePointerAndTheHistoryButtons)
{
    m_window->historyWindow()->show();
    std::int64_t riga = 0;
    m_window->DatiRighe(riga);
    EXPECT_EQ(riga, 1);
    EXPECT_EQ(m_window->historyWindow()->courseText(), "1");
    const kn4::CourseRecord *first = m_window->engine().record(1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(m_window->historyWindow()->arrowTwips(), 360 * first->carrier);
    EXPECT_EQ(m_window->historyWindow()->checkText(), first->mark == 'E' ? "ERR" : "<---->");

    m_window->Avanti_Click();
    m_window->Avanti_Click();
    EXPECT_EQ(m_window->historyWindow()->courseText(), "3");
    EXPECT_EQ(m_window->historyPosition(), -2);
    const QFrame *marker = m_window->picture()->horizontalMarker();
    EXPECT_EQ(marker->y(), int(m_window->picture()->toPixels({0, 8000.0 - 2 * scale()}).y()));
    m_window->indietro_Click();
    EXPECT_EQ(m_window->historyWindow()->courseText(), "2");

    // Half a course above the base line is course 1; far above the piece
    // and below the base line no record is read, and nothing breaks.
    m_window->Picture1_MouseMove({4000 + 3.0 * scale(), 8000 - scale() / 2.0});
    EXPECT_EQ(m_window->historyWindow()->courseText(), "1");
    EXPECT_EQ(m_window->needleReadout(), "3 = aghi");
    m_window->engine().settings().scale = 2;
    m_window->rerun();
    for (double y : {0.0, 7999.0}) {
        std::int64_t far = y < 1 ? -100000000 : 100000000;
        m_window->DatiRighe(far);
        EXPECT_TRUE(m_window->historyWindow()->checkText().isEmpty());
    }
}

TEST_F(SimulatorWindowTest, TheViewInCentimetresDrawsTheWeltAndReadsCentimetres)
{
    const kn4::PanelHead &head = m_window->head();
    ASSERT_TRUE(head.hasMeasures());
    const std::int64_t courses = m_window->measures().courses;
    m_window->Visualizzazione_Click();
    EXPECT_EQ(view().view, 1);
    EXPECT_EQ(m_window->findChild<QPushButton *>("Visualizzazione")->text().replace('\n', ' '),
              "Visualizzazione in centimetri");
    // The welt's courses come before the piece's.
    EXPECT_EQ(m_window->measures().courses,
              courses + std::llround(head.borderHeight() * head.coursesPerCm()) - 1);
    // 30 needles right of the centre and 9 courses above the base line.
    m_window->Picture1_MouseMove({4000 + 30.0 * scale(), 8000 - 9.0 * scale()});
    EXPECT_EQ(m_window->needleReadout(), QString::number(30 / head.needlesPerCm(), 'f', 1) + " cm");
    EXPECT_EQ(m_window->courseReadout(), QString::number(-9 / head.coursesPerCm(), 'f', 1) + " cm");
}

TEST_F(SimulatorWindowTest, ClosingWritesTheSettingsAndAFailedWriteKeepsTheOldFile)
{
    m_window->engine().settings().scale = 14;
    m_window->Anteprima_Click();  // the preview's resolution is never stored
    m_window->close();
    const auto saved = kn4::SimSettingsFile::load(m_folder.settingsFile());
    ASSERT_EQ(saved.status, kn4::SimSettingsFile::Status::Loaded);
    EXPECT_EQ(saved.settings.scale, 14);
    EXPECT_EQ(saved.settings.resolution, "1");

    const std::string before = kn4::testing::readFile(m_folder.settingsFile());
    m_window->engine().settings().scale = 20;
    kn4::AtomicFileWriter::setWriteFunctionForTesting([](int, const void *, std::size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    });
    const bool written = m_window->saveSettings();
    kn4::AtomicFileWriter::setWriteFunctionForTesting(nullptr);
    EXPECT_FALSE(written);
    EXPECT_EQ(kn4::testing::readFile(m_folder.settingsFile()), before);
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_TRUE(m_messages[0].startsWith("Impossibile salvare le impostazioni")) << m_messages[0].toStdString();
}

// The page goes to paper as shapes and text: a small PDF whose words can be
// searched, with no picture of the page in it.
TEST_F(SimulatorWindowTest, ThePrintPreviewPrintsAVectorPdf)
{
    m_window->Anteprima_Click();
    EXPECT_TRUE(m_window->inPrintPreview());
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const auto pdf = m_folder.dir() / "pagina.pdf";
    printer.setOutputFileName(QString::fromStdString(pdf.string()));
    ASSERT_TRUE(m_window->printPage(printer));
    const std::string bytes = kn4::testing::readFile(pdf);
    EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
    EXPECT_LT(bytes.size(), 200u * 1024);
    EXPECT_EQ(bytes.find("/Subtype /Image"), std::string::npos);
    const std::string text = output("pdftotext -layout '" + pdf.string() + "' -");
    for (const char *expected : {"DAVANTI.KN4", "Tipo prodotto", "Densit\xC3\xA0", "B.1 ="})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
}

// The read-out keeps its minus sign above the base line; its number is the
// course the history window shows, in the middle of a band and at its edges.
// Both name the row that knitted the course; the set-up course has none.
TEST_F(SimulatorWindowTest, TheCourseReadOutAndTheHistoryAgree)
{
    for (const double courses : {4.5, 4.01, 4.99, 0.5}) {
        m_window->Picture1_MouseMove({4000, 8000 - courses * scale()});
        const QString shown = m_window->historyWindow()->courseText();
        const QString row = m_window->historyWindow()->rowText();
        EXPECT_EQ(m_window->courseReadout(), "-" + shown + " = ranghi" + (row.isEmpty() ? "" : "   " + row))
            << courses;
        EXPECT_EQ(shown, QString::number(int(courses) + 1)) << courses;
        EXPECT_EQ(row.isEmpty(), shown == "1") << courses;
        EXPECT_EQ(m_window->historyWindow()->openInEditor()->isEnabled(), !row.isEmpty());
    }
    EXPECT_EQ(m_window->rowText(2), "riga 13: giri lenti 2 1");
    EXPECT_EQ(m_window->rowText(4), "riga 14: maglia liscia 148 1");
}

// The preview's page is taller than a small screen: the window stays on the
// screen and scrolls; the pointer's marker lines stay off the page.
TEST_F(SimulatorWindowTest, ThePreviewFitsTheScreenWithoutTheMarkerLines)
{
    m_window->show();
    m_window->Anteprima_Click();
    QCoreApplication::processEvents();
    m_window->Picture1_MouseMove({4000, 7000});
    EXPECT_FALSE(m_window->picture()->horizontalMarker()->isVisibleTo(m_window->picture()));
    EXPECT_FALSE(m_window->picture()->verticalMarker()->isVisibleTo(m_window->picture()));
    const QRect screen = m_window->screen()->availableGeometry();
    EXPECT_LE(m_window->height(), screen.height());
    EXPECT_LE(m_window->findChild<QWidget *>("Form")->height() - m_window->height(),
              m_window->findChild<QScrollArea *>("Scorrimento")->verticalScrollBar()->maximum() + 1);

    m_window->Anteprima_Click();
    m_window->Picture1_MouseMove({4000, 7000});
    EXPECT_TRUE(m_window->picture()->horizontalMarker()->isVisibleTo(m_window->picture()));
}

// kn4sim makes a panel ready as the window does: in stripe mode 1 both take
// the panel's colours 1..3 for 4..6 and the same stripe check.
TEST(SimulatorAndKn4sim, AgreeOnColoursAndStripesInStripeMode1)
{
    SimulatorFolder folder;
    kn4::SimSettings settings;
    settings.stripeMode = 1;
    settings.carrierSides = {1, 2, 1, 1, 2, 2, 2, 2};
    ASSERT_TRUE(kn4::SimSettingsFile::save(folder.settingsFile(), settings));
    auto startup = folder.start();
    ASSERT_FALSE(startup.ended()) << startup.fatalMessage;
    SimulatorWindow window(startup);
    const kn4::PanelSimulation shell = kn4::PanelSimulation::run(folder.panel().string(), settings, false);
    ASSERT_TRUE(shell.error.empty()) << shell.error;
    const auto &colours = window.engine().settings().colours;
    EXPECT_EQ(shell.colours, colours);
    for (std::size_t k = 0; k < 3; ++k)
        EXPECT_EQ(colours[k + 3], colours[k]) << k;
    EXPECT_EQ(shell.stripeErrors, window.engine().stripeCheck());
}

} // namespace
