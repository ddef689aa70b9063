#include "window/core/experthelp.h"

#include "fakeclock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace kn4::editor;
using kn4::editor::testing::FakeClock;

std::string crlf(std::initializer_list<const char *> lines)
{
    std::string text;
    for (const char *line : lines)
        text += std::string(line) + "\r\n";
    return text;
}

HelpTable sampleTable()
{
    HelpTable table;
    table.loadText(crlf({"[TEMPORIZZAZIONI]", "Tempo_Esperto=500", "Tempo_Errore=10000",
                         "|Tipo Verde", "Tipo di capo.", "Il tipo del capo, scritto in testata.",
                         "|Taglia Giallo", "Taglia.",
                         "|Errore_Parametro1_Sx Rosso", "Lato sinistro in uso.",
                         "|Errore_Cancellato Verde", "Errore superato.",
                         "|0", "Scegliere un comando o una riga."}));
    return table;
}

class ExpertHelpTest : public ::testing::Test
{
protected:
    void advance(std::int64_t ms)
    {
        m_clock.advance(ms, [this]() -> const WindowTimer & { return m_help.timer(); },
                        [this] { m_help.Timer2_Timer(); });
    }

    FakeClock m_clock;
    ExpertHelp m_help{sampleTable(), true, m_clock.clock()};
};

TEST_F(ExpertHelpTest, OpensReducedWithEighteenRows)
{
    EXPECT_EQ(m_help.mode(), ExpertHelp::Mode::Reduced);
    EXPECT_EQ(m_help.visibleRows(), 18);
    EXPECT_EQ(m_help.rowListHeight(), 4395);
    EXPECT_FALSE(m_help.view().largeVisible);
    EXPECT_TRUE(m_help.view().smallVisible);
    EXPECT_FALSE(m_help.timer().isRunning());
}

TEST_F(ExpertHelpTest, HintAppearsAfterTheDelayAndOnlyTheLastOfAQuickSweep)
{
    m_help.Esperto123("Taglia");
    advance(300);
    m_help.Esperto123("Tipo");  // restarts the delay
    advance(499);
    EXPECT_EQ(m_help.currentKey(), "");
    EXPECT_EQ(m_help.view().smallText, "");
    advance(1);
    EXPECT_EQ(m_help.currentKey(), "Tipo");
    EXPECT_EQ(m_help.view().smallText, "Tipo di capo.");
    EXPECT_EQ(m_help.view().lamp, HelpTable::kGreen);
    EXPECT_FALSE(m_help.timer().isRunning());

    // The same key again asks for nothing.
    m_help.Esperto123("Tipo");
    EXPECT_FALSE(m_help.timer().isRunning());
    EXPECT_EQ(m_help.takeBeeps(), 0);
}

TEST_F(ExpertHelpTest, OffCancelsAPendingHint)
{
    m_help.Esperto123("Tipo");
    advance(200);
    m_help.Esperto123Off();
    advance(1000);
    EXPECT_EQ(m_help.currentKey(), "");
    // After the cancel the same control asks again.
    m_help.Esperto123("Tipo");
    advance(500);
    EXPECT_EQ(m_help.currentKey(), "Tipo");
}

TEST_F(ExpertHelpTest, ExpandedModeShowsTheLongTextAndTwelveRows)
{
    m_help.helpButtonReleased(1, false);
    EXPECT_EQ(m_help.mode(), ExpertHelp::Mode::Expanded);
    EXPECT_EQ(m_help.visibleRows(), 12);
    EXPECT_EQ(m_help.rowListHeight(), 2925);
    EXPECT_TRUE(m_help.view().largeVisible);
    EXPECT_FALSE(m_help.view().smallVisible);
    m_help.Esperto123("Tipo");
    advance(500);
    EXPECT_EQ(m_help.view().largeText, "Il tipo del capo, scritto in testata.");
    // Without a long text the short one fills the large box.
    m_help.Esperto123("Taglia");
    advance(500);
    EXPECT_EQ(m_help.view().largeText, "Taglia.");
    EXPECT_EQ(m_help.view().lamp, HelpTable::kYellow);
}

TEST_F(ExpertHelpTest, RedErrorBeepsOnceAndHoldsHintsForTheErrorTime)
{
    m_help.Esperto123Errore("Errore_Parametro1_Sx");
    EXPECT_EQ(m_help.takeBeeps(), 1);
    EXPECT_EQ(m_help.view().lamp, HelpTable::kRed);
    EXPECT_EQ(m_help.view().smallText, "Lato sinistro in uso.");
    EXPECT_TRUE(m_help.errorShowing());

    // A hint during the error is queued, not shown.
    m_help.Esperto123("Tipo");
    advance(9000);
    EXPECT_EQ(m_help.currentKey(), "Errore_Parametro1_Sx");
    advance(1000);
    EXPECT_FALSE(m_help.errorShowing());
    EXPECT_EQ(m_help.view().smallText, "Lato sinistro in uso.");  // stays until the next hint
    EXPECT_EQ(m_help.timer().interval(), 500);

    m_help.Esperto123("Taglia");
    advance(500);
    EXPECT_EQ(m_help.view().smallText, "Taglia.");

    // The red key asked as a hover hint does not beep.
    m_help.Esperto123("Errore_Parametro1_Sx");
    advance(500);
    EXPECT_EQ(m_help.view().lamp, HelpTable::kRed);
    EXPECT_EQ(m_help.takeBeeps(), 0);
}

TEST_F(ExpertHelpTest, CancellingAnErrorShowsTheClearedText)
{
    m_help.Esperto123CancellaErrore();  // nothing showing: nothing happens
    EXPECT_EQ(m_help.currentKey(), "");

    m_help.Esperto123Errore("Errore_Parametro1_Sx");
    m_help.Esperto123CancellaErrore();
    EXPECT_FALSE(m_help.errorShowing());
    EXPECT_EQ(m_help.currentKey(), "Errore_Cancellato");
    EXPECT_EQ(m_help.view().lamp, HelpTable::kGreen);
    EXPECT_FALSE(m_help.timer().isRunning());
    EXPECT_EQ(m_help.timer().interval(), 500);
}

TEST_F(ExpertHelpTest, HiddenModeShowsTheSmallBoxOnlyForErrors)
{
    m_help.helpButtonReleased(3, false);
    EXPECT_FALSE(m_help.view().largeVisible);
    EXPECT_FALSE(m_help.view().smallVisible);
    EXPECT_EQ(m_help.visibleRows(), 18);

    m_help.Esperto123Errore("Errore_Parametro1_Sx");
    EXPECT_TRUE(m_help.view().smallVisible);
    EXPECT_FALSE(m_help.view().largeVisible);
    advance(10000);
    EXPECT_TRUE(m_help.view().smallVisible);  // the error text stays

    m_help.Esperto123("Tipo");
    advance(500);
    EXPECT_FALSE(m_help.view().smallVisible);
}

TEST_F(ExpertHelpTest, MissingKeyAndMissingFile)
{
    m_help.Esperto123Immediato("Sconosciuto");
    EXPECT_EQ(m_help.view().largeText,
              "ATTENZIONE: <Sconosciuto> mancante. Consultare l'assistenza tecnica.");
    EXPECT_EQ(m_help.view().smallText, m_help.view().largeText);
    EXPECT_EQ(m_help.view().lamp, HelpTable::kLightGrey);

    FakeClock clock;
    ExpertHelp none(HelpTable(), false, clock.clock());
    none.Esperto123Errore("Errore_Parametro1_Sx");
    EXPECT_EQ(none.view().smallText, "Aiuto non disponibile.");
    EXPECT_EQ(none.view().largeText, "Aiuto non disponibile.");
    EXPECT_EQ(none.view().lamp, HelpTable::kLightGrey);
    EXPECT_EQ(none.takeBeeps(), 0);
}

TEST(ExpertHelp, EqualDelaysStillShowHints)
{
    // A help file without its timing section gives 0 for both delays; a hint
    // must still not be taken for an error display.
    HelpTable table;
    table.loadText(crlf({"|Tipo", "Tipo di capo."}));
    FakeClock clock;
    ExpertHelp help(table, true, clock.clock());
    help.Esperto123("Tipo");
    clock.advance(0, [&]() -> const WindowTimer & { return help.timer(); },
                  [&] { help.Timer2_Timer(); });
    EXPECT_EQ(help.view().smallText, "Tipo di capo.");
}

TEST_F(ExpertHelpTest, SituationHelpUnlessTheLampIsRed)
{
    EXPECT_EQ(ExpertHelp::situationKey(false, false), "0");
    EXPECT_EQ(ExpertHelp::situationKey(true, false), "1");
    EXPECT_EQ(ExpertHelp::situationKey(false, true), "2");
    EXPECT_EQ(ExpertHelp::situationKey(true, true), "3");

    m_help.Esperto_Click(false, false);
    EXPECT_EQ(m_help.view().smallText, "Scegliere un comando o una riga.");

    m_help.Esperto123Errore("Errore_Parametro1_Sx");
    m_help.Esperto_Click(true, true);
    m_help.Esperto_2_MouseMove(true, true);
    EXPECT_EQ(m_help.currentKey(), "Errore_Parametro1_Sx");
    EXPECT_EQ(m_help.pendingKey(), "");
}

TEST(ExpertHelp, ShiftReleaseReloadsTheTextsWithoutChangingTheMode)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "kn4-experthelp-reload";
    std::filesystem::create_directories(folder);
    auto write = [&](const char *text) {
        std::ofstream(folder / HelpTable::kFileName, std::ios::binary)
            << crlf({"[TEMPORIZZAZIONI]", "Tempo_Esperto=500", "Tempo_Errore=10000", "|Tipo", text});
    };
    write("Prima.");
    HelpTable table;
    ASSERT_EQ(table.load(folder), 0);
    FakeClock clock;
    ExpertHelp help(table, true, clock.clock());
    help.setHelpFolder(folder);
    help.Esperto123Immediato("Tipo");
    EXPECT_EQ(help.view().smallText, "Prima.");

    write("Dopo.");
    help.helpButtonReleased(1, true);
    EXPECT_EQ(help.mode(), ExpertHelp::Mode::Reduced);
    EXPECT_EQ(help.view().smallText, "Dopo.");

    std::filesystem::remove_all(folder);
    help.helpButtonReleased(2, true);
    EXPECT_FALSE(help.helpLoaded());
    EXPECT_EQ(help.view().smallText, "Aiuto non disponibile.");
}

TEST(ExpertHelp, ControlKeys)
{
    const std::pair<const char *, const char *> cases[] = {
        {"CostinaSx", "Costina_SX"}, {"Label6", "CostinaDx_Label"}, {"Label8", "IngombroPettini_Label"},
        {"Predisposizione_2", "Predisposizione"}, {"Note3", "Note"}, {"lblRanghi", "Ranghi_Disegno"},
        {"Label18", "Visualizza_Dati_Finali"}, {"Label9", "Azienda_Produttrice"},
        {"Label4", ""}, {"Righe", ""}, {"Esperto1", ""},
    };
    for (const auto &[control, key] : cases)
        EXPECT_EQ(ExpertHelp::controlKey(control), key) << control;
}

TEST(ExpertHelp, RowKeysFollowTheFieldUnderThePointer)
{
    std::string row = RowText::emptyTemplate();
    RowText::overlay(row, 0, 14, "calato");
    RowText::overlay(row, 13, 14, " 2");
    RowText::overlay(row, 17, 20, "1");
    RowText::overlay(row, 23, 26, "3");
    const ParameterPositions p1Only{13, 14, -1, -1};
    const std::pair<int, const char *> cases[] = {
        {0, "Funzione:CALATO"}, {6, "Funzione:CALATO"}, {7, ""}, {13, "Parametro1"},
        {16, ""}, {17, "Intervallo"}, {23, "Ripetizione"}, {28, "Ciclo_di_Cicli"},
        {31, "Totale_Ranghi"}, {36, "Carro_Esterno"}, {40, "Carro_Interno"},
        {50, "Messaggio"}, {57, "Messaggio"}, {63, "Messaggio"}, {64, ""}, {-1, ""},
    };
    for (const auto &[column, key] : cases)
        EXPECT_EQ(ExpertHelp::rowKey(row, column, p1Only), key) << column;

    // A definition's P2 lies over the message area.
    const ParameterPositions definition{12, 30, 43, 62};
    EXPECT_EQ(ExpertHelp::rowKey(row, 20, definition), "Parametro1");
    EXPECT_EQ(ExpertHelp::rowKey(row, 50, definition), "Parametro2");

    EXPECT_EQ(ExpertHelp::rowKey("", 3, p1Only), "Lista_Pannello");
    EXPECT_EQ(ExpertHelp::rowKey(std::string(80, ' '), 3, p1Only), "Lista_Pannello");
}

} // namespace
