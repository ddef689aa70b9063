// The striped sample panel: the stripe check, the carrier-side swatches of
// the print preview, its page texts and the panel data window.

#include "coloursettingswindow.h"
#include "historywindow.h"
#include "paneldatawindow.h"
#include "simulatorwindow.h"
#include "stripeerrorswindow.h"
#include "windowtestsupport.h"

#include "kn4/libraryclient.h"
#include "kn4/testfiles.h"

#include <QLabel>
#include <QListWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

using kn4::testing::SimulatorFolder;
using namespace kn4::simulator;

class StripedPanelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_startup = m_folder.start();
        ASSERT_FALSE(m_startup.ended()) << m_startup.fatalMessage;
        m_window = std::make_unique<SimulatorWindow>(m_startup);
        m_window->setMessageHandler([this](const QString &, const QString &text) {
            m_messages << text + " @" + m_window->historyWindow()->courseText();
        });
    }

    QLabel *swatch(const char *side, int carrier)
    {
        for (QLabel *label : m_window->findChildren<QLabel *>(QString::fromLatin1(side)))
            if (label->property("index").toInt() == carrier)
                return label;
        return nullptr;
    }

    SimulatorFolder m_folder{"RIGHE.KN4"};
    SimulatorStartup m_startup;
    std::unique_ptr<SimulatorWindow> m_window;
    QStringList m_messages;
};

TEST_F(StripedPanelTest, TheStripeCheckTellsEachWrongTakeUpAtItsCourse)
{
    m_window->ControlloRigati_Click();
    EXPECT_EQ(m_messages, QStringList{"Nessun errore nei rigati @" + m_window->historyWindow()->courseText()});

    // Carrier 2 now starts from the other side: every take-up of it is wrong.
    m_messages.clear();
    m_window->colourSettingsWindow()->Lato_Click(2);
    const std::vector<std::int64_t> errors = m_window->engine().stripeCheck();
    ASSERT_FALSE(errors.empty());
    m_window->ControlloRigati_Click();
    ASSERT_EQ(m_messages.size(), qsizetype(errors.size()));
    EXPECT_EQ(m_messages[0], QStringLiteral("Errore di rigato al rango %1 @%1").arg(errors[0]));
    EXPECT_EQ(m_window->historyWindow()->checkText(), "ERR");
}

// The striped sample with stripes of 3 courses instead of 4, compiled by the
// library: carrier 2 is taken up on the wrong side again and again.
std::string oddStripes(const SimulatorFolder &folder)
{
    namespace fs = std::filesystem;
    std::string source = kn4::testing::readFile(fs::path(KN4_SOURCE_DIR) / "data/archivi/DEMO/RIGHE.KN4");
    const std::string four = "rigato        2, 4   ,-1";
    source.replace(source.find(four), four.size(), "rigato        2, 3   ,-1");
    const fs::path panel = folder.dir() / "RIGHE3.KN4";
    kn4::testing::writeFile(panel, source);
    fs::copy_file(SimulatorFolder::programDir() / "italiano" / "VUZUDO.KEY", folder.dir() / "VUZUDO.KEY");
    kn4::LibraryClient library;
    if (!library.load(SimulatorFolder::programDir()) ||
        library.Compilazione(panel.string(), folder.dir().string()).code != KN4_COMPILED)
        return {};
    return panel.string() + "," + (SimulatorFolder::programDir() / "italiano").string() + "/";
}

// The first box offers to stop; the list window holds every error, and a
// click on one shows its course in the history window.
TEST_F(StripedPanelTest, TheStripeCheckCanBeStoppedAndListsEveryError)
{
    const std::string arguments = oddStripes(m_folder);
    ASSERT_FALSE(arguments.empty());
    SimulatorStartup startup = m_folder.start(arguments);
    ASSERT_FALSE(startup.ended()) << startup.fatalMessage;
    m_window = std::make_unique<SimulatorWindow>(startup);
    const std::vector<std::int64_t> errors = m_window->engine().stripeCheck();
    ASSERT_GE(errors.size(), 2u);
    int boxes = 0;
    m_window->setStripeErrorHandler([&](const QString &, const QString &) { return ++boxes < 1; });
    m_window->ControlloRigati_Click();
    EXPECT_EQ(boxes, 1);
    QListWidget *list = m_window->stripeErrorsWindow()->list();
    ASSERT_EQ(list->count(), int(errors.size()));
    EXPECT_EQ(list->item(1)->text(), QStringLiteral("Errore di rigato al rango %1").arg(errors[1]));
    m_window->stripeErrorsWindow()->courseChosen(errors[1]);
    EXPECT_EQ(m_window->historyWindow()->courseText(), QString::number(errors[1]));
    EXPECT_EQ(m_window->historyWindow()->checkText(), "ERR");
}

// A setting changed while the centimetre view shows rebuilds the records:
// their courses stay the piece's own, so back in the needle view the check
// and the history read as before.
TEST_F(StripedPanelTest, ASettingChangedInTheCentimetreViewMovesNoCourse)
{
    m_window->colourSettingsWindow()->Lato_Click(2);
    const std::vector<std::int64_t> errors = m_window->engine().stripeCheck();
    ASSERT_FALSE(errors.empty());
    m_window->Visualizzazione_Click();
    m_window->colourSettingsWindow()->InizioConteggio_Click();
    m_window->colourSettingsWindow()->InizioConteggio_Click();
    EXPECT_EQ(m_window->engine().stripeCheck(), errors);
    m_window->showStripeError(errors[0]);
    EXPECT_EQ(m_window->historyWindow()->courseText(), QString::number(errors[0]));
    EXPECT_EQ(m_window->historyWindow()->checkText(), "ERR");
    m_window->Visualizzazione_Click();
    EXPECT_EQ(m_window->engine().stripeCheck(), errors);
}

TEST_F(StripedPanelTest, ThePreviewShowsTheCarrierSidesAndListsTheColoursThatKnit)
{
    m_window->Anteprima_Click();
    ASSERT_TRUE(swatch("LatoSinistro", 1)->isVisibleTo(m_window.get()));
    std::int64_t riga = -9;  // course 10
    m_window->DatiRighe(riga);
    const kn4::CourseRecord *record = m_window->engine().record(10);
    ASSERT_NE(record, nullptr);
    const kn4::SimSettings &settings = m_window->engine().settings();
    for (int k = 1; k <= 8; ++k) {
        const QColor colour = toQColor(settings.colours[std::size_t(k - 1)]);
        const std::uint8_t side = record->sides[std::size_t(k - 1)];
        EXPECT_EQ(swatch("LatoSinistro", k)->palette().color(QPalette::Window),
                  side == 1 ? colour : QColor(Qt::white)) << k;
        EXPECT_EQ(swatch("LatoDestro", k)->palette().color(QPalette::Window),
                  side == 2 ? colour : QColor(Qt::white)) << k;
    }

    // Carriers 1 and 2 knit this panel: only their weight lines show.
    const QString page = m_window->findChild<QLabel *>(QStringLiteral("TestoPagina"))->text();
    EXPECT_TRUE(page.contains("\n B.1 =")) << page.toStdString();
    EXPECT_TRUE(page.contains("\n  B.2 =")) << page.toStdString();
    EXPECT_FALSE(page.contains("B.3")) << page.toStdString();
    EXPECT_TRUE(m_window->findChild<QLabel *>(QStringLiteral("NomeFile"))->text().endsWith("RIGHE.KN4"));

    m_window->Anteprima_Click();
    EXPECT_FALSE(swatch("LatoSinistro", 1)->isVisibleTo(m_window.get()));
}

TEST_F(StripedPanelTest, ThePanelDataWindowReadsTheHeaderLine)
{
    m_window->DatiTelo_Click();
    const PanelDataWindow *data = m_window->panelDataWindow();
    EXPECT_EQ(data->value(kLabelType), "MARIN");
    EXPECT_EQ(data->value(kLabelSize), "44");
    EXPECT_EQ(data->value(kLabelPart), "DAVANTI---");
    EXPECT_EQ(data->value(kLabelSetUp), "1 = lavoro simmetrico");
    EXPECT_EQ(data->value(kLabelStepsWithoutCourse),
              QString::number(m_window->head().steps() - m_window->head().courses()));
    EXPECT_EQ(data->value(kLabelMaximumWidth), "144 aghi");
}

} // namespace
