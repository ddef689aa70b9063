// The striped sample panel: the stripe check, the carrier-side swatches of
// the print preview, its page texts and the panel data window.

#include "coloursettingswindow.h"
#include "historywindow.h"
#include "paneldatawindow.h"
#include "simulatorwindow.h"
#include "windowtestsupport.h"

#include <QLabel>

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
