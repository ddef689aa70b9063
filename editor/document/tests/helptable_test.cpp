#include "documenttesting.h"

#include "document/commandlist.h"
#include "document/helptable.h"

using namespace kn4::editor;
using namespace kn4::editor::testing;

TEST(HelpTableTest, DelaysComeFromTheSection)
{
    HelpTable help;
    help.loadText(crlf({"[TEMPORIZZAZIONI]", "Tempo_Esperto=750", "Tempo_Errore = 9000"}));
    EXPECT_EQ(help.expertDelay(), 750);
    EXPECT_EQ(help.errorDelay(), 9000);
    EXPECT_EQ(help.count(), 0);

    // A missing section or key gives 0 (its default text is not a number).
    help.loadText(crlf({"[ALTRO]", "Tempo_Esperto=750", "|Tipo", "testo"}));
    EXPECT_EQ(help.expertDelay(), 0);
    EXPECT_EQ(help.errorDelay(), 0);
    EXPECT_EQ(help.count(), 1);
}

TEST(HelpTableTest, EntriesWithColoursShortAndLongTexts)
{
    HelpTable help;
    help.loadText(crlf({"|Tipo Verde", "  Tipo di capo.  ", "Riga lunga uno", "Riga lunga due",
                        "|Taglia", "Solo breve", "|Parte rosso", "Breve", "c.s.", "Dopo come sopra",
                        "|Vuoto giallo", "|Grigio  ", "Testo"}));
    ASSERT_EQ(help.count(), 5);
    const HelpEntry &tipo = help.entries()[0];
    EXPECT_EQ(tipo.key, "Tipo");
    EXPECT_EQ(tipo.colour, HelpTable::kGreen);
    EXPECT_EQ(tipo.shortText, "Tipo di capo.");
    EXPECT_EQ(tipo.longText, "Riga lunga uno\r\nRiga lunga due");
    EXPECT_EQ(help.entries()[1].colour, HelpTable::kLightGrey);
    EXPECT_EQ(help.entries()[1].longText, "Solo breve");
    EXPECT_EQ(help.entries()[2].colour, HelpTable::kRed);
    EXPECT_EQ(help.entries()[2].longText, "Breve\r\nDopo come sopra");
    // An entry without text takes the next one's text and colour.
    EXPECT_EQ(help.entries()[3].key, "Vuoto");
    EXPECT_EQ(help.entries()[3].shortText, "Testo");
    EXPECT_EQ(help.entries()[3].colour, HelpTable::kLightGrey);
    EXPECT_EQ(help.find("Grigio")->shortText, "Testo");
    EXPECT_EQ(help.find("grigio"), nullptr);
}

TEST(HelpTableTest, ConsecutiveKeysShareTheFollowingText)
{
    HelpTable help;
    help.loadText(crlf({"|A", "|B", "|C V", "Breve di C", "Lungo di C", "|D", "Altro"}));
    ASSERT_EQ(help.count(), 4);
    for (const char *key : {"A", "B", "C"}) {
        const HelpEntry *entry = help.find(key);
        ASSERT_NE(entry, nullptr) << key;
        EXPECT_EQ(entry->shortText, "Breve di C") << key;
        EXPECT_EQ(entry->longText, "Lungo di C") << key;
        EXPECT_EQ(entry->colour, HelpTable::kGreen) << key;
    }
    EXPECT_EQ(help.find("D")->shortText, "Altro");
}

TEST(HelpTableTest, TableStopsAtThreeHundredEntries)
{
    std::string text;
    for (int i = 0; i < 305; ++i)
        text += "|K" + std::to_string(i) + "\r\ntesto\r\n";
    HelpTable help;
    help.loadText(text);
    EXPECT_EQ(help.count(), HelpTable::kMaxEntries);
    EXPECT_TRUE(help.truncated());
    EXPECT_NE(help.find("K299"), nullptr);
    EXPECT_EQ(help.find("K300"), nullptr);
}

TEST(HelpTableTest, MissingFileGivesDefaults)
{
    HelpTable help;
    EXPECT_EQ(help.load("/nonexistent/italiano/"), -1);
    EXPECT_EQ(help.expertDelay(), 500);
    EXPECT_EQ(help.errorDelay(), 10000);
    EXPECT_EQ(help.count(), 0);
}

// The help file of every language folder.
class HelpFileTest : public ::testing::TestWithParam<const char *>
{
};

TEST_P(HelpFileTest, CoversEveryKeyAndCommand)
{
    HelpTable help;
    ASSERT_EQ(help.load(programDir() / (std::string(GetParam()) + "/")), 0);
    EXPECT_GT(help.expertDelay(), 0);
    EXPECT_GT(help.errorDelay(), help.expertDelay());
    for (const char *key :
         {"Aghi_cm", "Altezza_Bordo", "Cambio_Colore", "Costina_DX", "Costina_SX", "CostinaDx_Label",
          "CostinaSx_Label", "Densita", "Errore_Parametro1_Sx", "Frontura", "Ingombro_Pettini",
          "IngombroPettini_Label", "Scollo_DX", "Scollo_SX", "ScolloDx_Label", "ScolloSx_Label",
          "Azienda_Produttrice", "Visualizza_Dati_Finali", "Aghi_Disegno", "Ranghi_Disegno",
          "Elenco_Funzioni", "Note", "Parte", "Disegno_Maglia", "Errore_Predisposizione",
          "Predisposizione", "Ranghi_cm", "Ripristina_Colori", "Lista_Pannello", "Parametro1",
          "Parametro2", "Intervallo", "Ripetizione", "Ciclo_di_Cicli", "Totale_Ranghi",
          "Carro_Esterno", "Carro_Interno", "Messaggio", "Modellatura", "Flag", "Taglia", "Tipo",
          "Uscita", "Errore_Cancellato", "Salvataggio_Completato", "0", "1", "2", "3"}) {
        const HelpEntry *entry = help.find(key);
        ASSERT_NE(entry, nullptr) << key;
        EXPECT_FALSE(entry->shortText.empty()) << key;
    }
    EXPECT_EQ(help.find("Errore_Parametro1_Sx")->colour, HelpTable::kRed);
    EXPECT_EQ(help.find("Errore_Predisposizione")->colour, HelpTable::kRed);

    const CommandList::LoadResult keywords = CommandList::load(programDir() / GetParam(), library());
    ASSERT_TRUE(keywords.list);
    for (int i = 0; i < keywords.list->count(); ++i) {
        if (i >= 13 && i <= CommandList::kLastHeaderWordEntry)
            continue;  // header words are not commands
        const std::string key = "Funzione:" + keywords.list->entry(i).displayName;
        EXPECT_NE(help.find(key), nullptr) << key;
    }
}

INSTANTIATE_TEST_SUITE_P(LanguageFolders, HelpFileTest, ::testing::Values("italiano", "inglese", "spagnolo"));
