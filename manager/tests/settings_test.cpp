// kn4manager.ini, lingua.ini, kn4manager.sav and the command lines built
// from them.
#include "core/launchcommand.h"
#include "core/managersettings.h"
#include "core/managerstartup.h"
#include "core/managertexts.h"
#include "managertestdir.h"

#include <kn4/testfiles.h>

#include <gtest/gtest.h>

#include <filesystem>

namespace kn4::manager {
namespace {

namespace fs = std::filesystem;
using kn4::testing::readFile;
using kn4::testing::writeFile;

class SettingsFiles : public ::testing::Test
{
protected:
    testing::TemporaryProgramDirectory m_temp{"settings"};
    const fs::path &m_dir = m_temp.path();
};

TEST_F(SettingsFiles, IniReadsTwelveLinesSkippingEmptyControllerNames)
{
    writeFile(m_dir / "kn4manager.ini",
              "/300/3/24/1/1\r\nLINCE40.EXE\r\n\r\nLINCE41.EXE\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n 2\r\n");
    ManagerSettings settings;
    ASSERT_TRUE(ManagerSettings::load(m_dir / "kn4manager.ini", settings));
    EXPECT_EQ(settings.editorParameters, "/300/3/24/1/1");
    EXPECT_EQ(settings.controllerPrograms, (std::vector<std::string>{"LINCE40.EXE", "LINCE41.EXE"}));
    EXPECT_EQ(settings.language, Language::Spanish);

    std::string error;
    ASSERT_TRUE(settings.save(m_dir / "copy.ini", error)) << error;
    EXPECT_EQ(readFile(m_dir / "copy.ini"),
              "/300/3/24/1/1\r\nLINCE40.EXE\r\nLINCE41.EXE\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n2\r\n");
}

TEST_F(SettingsFiles, IniThatCannotGiveALanguageIsRefused)
{
    const std::pair<const char *, std::string> cases[] = {
        {"missing", ""},
        {"short", "/320/1/30/3/0\r\n0\r\n"},
        {"language 3", "/320/1/30/3/0\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n3\r\n"},
        {"no number", "/320/1/30/3/0\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\nx\r\n"},
    };
    for (const auto &[name, text] : cases) {
        fs::remove(m_dir / "kn4manager.ini");
        if (!text.empty())
            writeFile(m_dir / "kn4manager.ini", text);
        ManagerSettings settings;
        EXPECT_FALSE(ManagerSettings::load(m_dir / "kn4manager.ini", settings)) << name;
    }
}

TEST_F(SettingsFiles, StartUpNeedsSettingsAndLanguageButNotTheSavedMode)
{
    ManagerFiles files;
    EXPECT_EQ(files.load(m_dir), "File kn4manager.ini non trovato o no valido ");
    fs::copy_file(fs::path(KN4_SOURCE_DIR) / "data/root/kn4manager.ini", m_dir / "kn4manager.ini");
    EXPECT_EQ(files.load(m_dir), "File scelta (lingua.ini)  non trovato ");
    fs::copy_file(fs::path(KN4_SOURCE_DIR) / "data/root/lingua.ini", m_dir / "lingua.ini");
    EXPECT_EQ(files.load(m_dir), "");
    EXPECT_EQ(files.mode, 0);
}

TEST_F(SettingsFiles, SavedModeIsZeroWhenMissingOrOutOfRange)
{
    EXPECT_EQ(loadSavedMode(m_dir / "kn4manager.sav"), 0);
    std::string error;
    ASSERT_TRUE(saveMode(m_dir / "kn4manager.sav", 2, error));
    EXPECT_EQ(readFile(m_dir / "kn4manager.sav"), " 2\r\n");
    EXPECT_EQ(loadSavedMode(m_dir / "kn4manager.sav"), 2);
    writeFile(m_dir / "kn4manager.sav", " 7\r\n");
    EXPECT_EQ(loadSavedMode(m_dir / "kn4manager.sav"), 0);
}

TEST(ManagerTexts, MissingTranslationsReadEmpty)
{
    ManagerTexts texts;
    texts.loadText("Archivio_Archive_Archivo\r\nSolo italiano\r\nDue_Two\r\n");
    EXPECT_EQ(texts.text(0, Language::Spanish), "Archivo");
    EXPECT_EQ(texts.text(1, Language::Italian), "Solo italiano");
    EXPECT_EQ(texts.text(1, Language::English), "");
    EXPECT_EQ(texts.text(1, Language::Spanish), "");
    EXPECT_EQ(texts.text(2, Language::Spanish), "");
    EXPECT_EQ(texts.text(3, Language::Italian), "");
    EXPECT_EQ(texts.text(-1, Language::Italian), "");
}

TEST(ManagerTexts, ShippedFileIsCompleteInThreeLanguages)
{
    ManagerTexts texts;
    ASSERT_TRUE(texts.load(fs::path(KN4_SOURCE_DIR) / "data/root/lingua.ini"));
    EXPECT_EQ(texts.lineCount(), ManagerTexts::kMaxLines);
    for (int line = 0; line < int(texts.lineCount()); ++line) {
        const bool italian = !texts.text(line, Language::Italian).empty();
        EXPECT_EQ(!texts.text(line, Language::English).empty(), italian) << "line " << line;
        EXPECT_EQ(!texts.text(line, Language::Spanish).empty(), italian) << "line " << line;
    }
    EXPECT_EQ(texts.text(text::PrintOf, Language::Italian), "Stampa  di ");
}

TEST(EditorParameters, ReadAndAssembledInTheEditorsOrder)
{
    const EditorParameters read = EditorParameters::parse("/300/3/24/1/1");
    EXPECT_EQ(read.needles, 300);
    EXPECT_EQ(read.markerMode, 3);
    EXPECT_EQ(read.combWidth, 24);
    EXPECT_EQ(read.setUpOptions, 1);
    EXPECT_EQ(read.combEditable, 1);
    EXPECT_EQ(read.text(), "/300/3/24/1/1");
    EXPECT_EQ(EditorParameters::parse("/250").text(), "/250/1/30/3/0");
    EXPECT_EQ(EditorParameters::parse("").text(), "/320/1/30/3/0");
}

TEST(LaunchCommand, OneArgumentPerProgram)
{
    ManagerSettings settings;
    settings.editorParameters = "/320/1/30/3/0";
    const fs::path panel = "/kn4/bin/DAVANTI.KN4";
    const struct
    {
        Program program;
        Language language;
        const char *file;
        const char *argument;
    } cases[] = {
        {Program::Editor, Language::Italian, "Kn4Edit2", "/kn4/bin/DAVANTI.KN4,/kn4/bin/italiano//320/1/30/3/0"},
        {Program::Simulator, Language::English, "simulatore", "/kn4/bin/DAVANTI.KN4,/kn4/bin/inglese/"},
        {Program::Print, Language::Spanish, "stampa", "/kn4/bin/DAVANTI.KN4,/kn4/bin/spagnolo/"},
    };
    for (const auto &c : cases) {
        settings.language = c.language;
        EXPECT_EQ(programFileName(c.program), c.file);
        EXPECT_EQ(launchArgument(c.program, panel, "/kn4/bin", settings), c.argument);
    }
}

} // namespace
} // namespace kn4::manager
