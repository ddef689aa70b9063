#include "labelslots.h"
#include "windowtestsupport.h"

#include "kn4/compiledpanel.h"
#include "kn4/testfiles.h"

#include <gtest/gtest.h>

namespace {

using kn4::testing::SimulatorFolder;
namespace fs = std::filesystem;

TEST(SimulatorStartupTest, ConditionsThatEndTheStartWithAMessage)
{
    SimulatorFolder folder;
    kn4::testing::writeFile(folder.dir() / "SOURCE.KN4", "SORGENTE.KN4\r\ntipo -----\r\n");
    // Compiled with grave errors: the header line, no code.
    kn4::CompiledPanel davanti(kn4::testing::readFile(folder.panel()));
    kn4::testing::writeFile(folder.dir() / "GRAVE.KN4", std::string(davanti.headerText()) + '\x1a' +
                                                           std::string(kn4::CompiledPanel::kMarker) +
                                                           std::string(davanti.source()));
    const std::string italiano = (SimulatorFolder::programDir() / "italiano").string() + "/";
    struct Case
    {
        std::string arguments;
        std::string title;
        std::string messageStart;
    };
    const Case cases[] = {
        {folder.panel().string(), "Simulatore", "Il simulatore va avviato con"},
        {folder.panel().string() + "," + folder.dir().string() + "/", "Simulatore", "File "},
        {(folder.dir() / "NESSUNO.KN4").string() + "," + italiano, "ERR...", "Impossibile aprire il pannello\n"},
        {(folder.dir() / "SOURCE.KN4").string() + "," + italiano, "ERR...",
         "Il file non contiene un pannello compilato"},
        {(folder.dir() / "GRAVE.KN4").string() + "," + italiano, "ERR...", "Questa parte contiene errori\n"},
        // A folder named with a comma: the panel it could not open is named.
        {(folder.dir() / "ROSSI, MARIO" / "DAVANTI.KN4").string() + "," + italiano, "Simulatore",
         "Impossibile aprire il pannello " + (folder.dir() / "ROSSI").string() + "\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments);
        const auto startup = folder.start(c.arguments);
        EXPECT_TRUE(startup.ended());
        EXPECT_EQ(startup.fatalTitle, c.title);
        EXPECT_EQ(startup.fatalMessage.rfind(c.messageStart, 0), 0u) << startup.fatalMessage;
    }
}

TEST(SimulatorStartupTest, QuotedArgumentsAndAMissingSettingsFileStillStart)
{
    SimulatorFolder folder;
    const auto startup = folder.start("\"" + folder.arguments() + "\"");
    ASSERT_FALSE(startup.ended()) << startup.fatalMessage;
    ASSERT_EQ(startup.messages.size(), 1u);
    EXPECT_EQ(startup.messages[0], "File di inizializzazione non trovato, assumo impostazioni di default\n"
                                       + folder.settingsFile().string() + ": No such file or directory");
    EXPECT_EQ(startup.labels.text(1), "Dati  del telo");
    EXPECT_TRUE(startup.head.ok());

    fs::copy_file(SimulatorFolder::programDir() / "simulatore.sav", folder.settingsFile());
    EXPECT_TRUE(folder.start().messages.empty());
}

// A settings file with one value out of range: that value alone falls back,
// the message names it, and the file written back on closing keeps the rest.
TEST(SimulatorStartupTest, ASettingsFileWithOneBadValueKeepsTheOthers)
{
    SimulatorFolder folder;
    kn4::SimSettings saved;
    saved.colours = {1, 2, 3, 4, 5, 6, 7, 8};
    saved.referenceWeight = 300;
    std::string text = kn4::SimSettingsFile::toText(saved);
    text.replace(text.find("\r\n1\r\n1\r\n1\r\n"), 3, "\r\n4000");
    kn4::testing::writeFile(folder.settingsFile(), text);

    const auto startup = folder.start();
    ASSERT_FALSE(startup.ended()) << startup.fatalMessage;
    ASSERT_EQ(startup.messages.size(), 1u);
    EXPECT_NE(startup.messages[0].find("valori non validi ignorati"), std::string::npos) << startup.messages[0];
    EXPECT_NE(startup.messages[0].find("guidafilo 1 = 4000"), std::string::npos) << startup.messages[0];
    EXPECT_EQ(startup.settings.settings.colours, saved.colours);
    EXPECT_EQ(startup.settings.settings.referenceWeight, 300);
    ASSERT_TRUE(kn4::SimSettingsFile::save(folder.settingsFile(), startup.settings.settings));
    EXPECT_EQ(kn4::testing::readFile(folder.settingsFile()), kn4::SimSettingsFile::toText(saved));
}

TEST(SimulatorStartupTest, EverySamplePanelOfTheProgramDirectoryOpens)
{
    int panels = 0;
    for (const auto &entry : fs::directory_iterator(SimulatorFolder::programDir() / "archivi" / "DEMO")) {
        SimulatorFolder folder(entry.path().filename().string());
        const auto startup = folder.start();
        EXPECT_FALSE(startup.ended()) << entry.path() << ": " << startup.fatalMessage;
        ++panels;
    }
    EXPECT_GE(panels, 4);
}

} // namespace

namespace {

TEST(SimulatorLabelFileTest, EachLanguageFolderFillsEverySlotFromItsOwnColumn)
{
    const struct
    {
        const char *folder;
        int column;
        const char *firstLabel;
    } languages[] = {{"italiano", 0, "Dati  del telo"}, {"inglese", 1, "Panel data"}, {"spagnolo", 2, "Datos del pa\xF1o"}};
    for (const auto &language : languages) {
        SCOPED_TRACE(language.folder);
        const kn4::SimLabels labels =
            kn4::SimLabels::load((SimulatorFolder::programDir() / language.folder).string() + "/");
        ASSERT_TRUE(labels.loaded());
        EXPECT_EQ(labels.column(), language.column);
        EXPECT_EQ(labels.text(1), language.firstLabel);
        for (int slot = 1; slot <= kn4::simulator::kLabelLast; ++slot)
            EXPECT_FALSE(labels.text(slot).empty()) << "slot " << slot;
    }
}

// A label file of an older version ends at slot 100: the later slots speak
// its language all the same.
TEST(SimulatorLabelFileTest, AnOlderLabelFileGetsTheLaterTextsInItsLanguage)
{
    SimulatorFolder folder;
    const std::string shipped = kn4::testing::readFile(SimulatorFolder::programDir() / "inglese" / "simulatore.ini");
    std::size_t end = 0;
    for (int line = 0; line <= 100; ++line)
        end = shipped.find("\r\n", end) + 2;
    fs::create_directory(folder.dir() / "vecchio");
    kn4::testing::writeFile(folder.dir() / "vecchio" / "simulatore.ini", shipped.substr(0, end));
    const auto startup = folder.start(folder.panel().string() + "," + (folder.dir() / "vecchio").string() + "/");
    ASSERT_FALSE(startup.ended()) << startup.fatalMessage;
    EXPECT_EQ(startup.labels.text(kn4::simulator::kLabelError), "Error");
    EXPECT_EQ(startup.labels.text(kn4::simulator::kLabelPartHasErrors), "This part contains errors");
}

} // namespace
