#include "kn4/inifile.h"

#include <gtest/gtest.h>

using kn4::IniFile;

namespace {

const char *const kHelp =
    "; tempi del pannello di aiuto\r\n"
    "[Temporizzazioni]\r\n"
    "  Tempo_Esperto =  700  \r\n"
    "Tempo_Errore=\"12000\"\r\n"
    "Tempo_Esperto=1\r\n"
    "[ALTRO]\r\n"
    "Chiave=valore\r\n"
    "[TEMPORIZZAZIONI]\r\n"
    "Tempo_Lungo=5\r\n"
    "|Frontura V\r\n"
    "Numero degli aghi = 320\r\n";

} // namespace

TEST(IniFileTest, ReadsValuesAsTheProfileFunctionDoes)
{
    const IniFile ini = IniFile::fromText(kHelp);
    // Section and key ignore letter case and surrounding blanks; the first
    // key of that name wins and enclosing quotes go.
    EXPECT_EQ(ini.GetPrivateProfileStringA("TEMPORIZZAZIONI", "tempo_esperto", "x", 80), "700");
    EXPECT_EQ(ini.GetPrivateProfileStringA("TEMPORIZZAZIONI", "Tempo_Errore", "x", 80), "12000");
    EXPECT_EQ(ini.GetPrivateProfileStringA("altro", "CHIAVE", "x", 80), "valore");
    // Only the first section of a name is searched.
    EXPECT_EQ(ini.GetPrivateProfileStringA("TEMPORIZZAZIONI", "Tempo_Lungo", "nessuno", 80),
              "nessuno");
}

TEST(IniFileTest, MissingPartsGiveTheDefaultCutToTheBuffer)
{
    const IniFile ini = IniFile::fromText(kHelp);
    EXPECT_EQ(ini.GetPrivateProfileStringA("MANCA", "Tempo_Esperto", "sezione non trovata", 80),
              "sezione non trovata");
    EXPECT_EQ(ini.GetPrivateProfileStringA("ALTRO", "manca", "sezione non trovata", 8), "sezione");
    EXPECT_EQ(ini.GetPrivateProfileStringA("Temporizzazioni", "Tempo_Esperto", "", 3), "70");
    EXPECT_EQ(ini.GetPrivateProfileStringA("ALTRO", "Chiave", "d", 0), "");

    const IniFile missing = IniFile::load("/nonexistent/folder/Kn4Edit.123");
    EXPECT_FALSE(missing.exists());
    EXPECT_EQ(missing.GetPrivateProfileStringA("A", "B", "def", 80), "def");
}

TEST(IniFileTest, EmptyAndBrokenTextDoesNotMatch)
{
    const IniFile ini = IniFile::fromText("[unterminated\nkey=1\n=2\n[ ]\n\n");
    EXPECT_EQ(ini.GetPrivateProfileStringA("unterminated", "key", "d", 80), "1");
    EXPECT_EQ(ini.GetPrivateProfileStringA("", "", "d", 80), "d");
    EXPECT_EQ(IniFile::fromText("").GetPrivateProfileStringA("a", "b", "d", 80), "d");
}
