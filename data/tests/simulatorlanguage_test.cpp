// The simulator started in each language folder: its menus take that
// folder's column of simulatore.ini.

#include "simulatorstartup.h"
#include "simulatorwindow.h"

#include "datafiles.h"
#include "strayitalian.h"
#include "kn4/cp1252.h"
#include "kn4/qtlanguage.h"
#include "kn4/testapplication.h"
#include "historywindow.h"

#include <QApplication>
#include <QMenu>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace kn4::testing;

constexpr std::size_t kSettingsMenuSlot = 10;

class SimulatorLanguageTest : public ::testing::TestWithParam<int>
{
protected:
    void SetUp() override
    {
        ensureApplication();
        m_dir = fs::temp_directory_path() / ("kn4-simlanguage-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        // the sample as the build compiles it in the program directory
        fs::copy_file(fs::path(KN4_PROGRAM_DIR) / "archivi" / "DEMO" / "DAVANTI.KN4", m_dir / "DAVANTI.KN4");
        fs::copy_file(fs::path(KN4_PROGRAM_DIR) / "simulatore.sav", m_dir / "simulatore.sav");
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path folder() const
    {
        static const char *const folders[] = {"italiano", "inglese", "spagnolo"};
        return fs::path(KN4_PROGRAM_DIR) / folders[GetParam()];
    }
    // The folder's text of a label slot: its column of the slot's line.
    std::string label(std::size_t slot) const
    {
        bool wellEnded = false;
        std::string line = crlfLines(readFile(folder() / "simulatore.ini"), &wellEnded).at(slot) + ",,,,,,,,";
        for (int i = 0; i < GetParam(); ++i)
            line = line.substr(line.find(',') + 1);
        return line.substr(0, line.find(','));
    }

    fs::path m_dir;
};

TEST_P(SimulatorLanguageTest, MenusSpeakTheFolderLanguage)
{
    kn4::simulator::SimulatorStartup startup = kn4::simulator::SimulatorStartup::run(
        (m_dir / "DAVANTI.KN4").string() + "," + folder().string() + "/", m_dir);
    ASSERT_FALSE(startup.ended()) << startup.fatalMessage;
    kn4::simulator::SimulatorWindow window(startup);
    auto *settings = window.findChild<QMenu *>(QStringLiteral("Settaggio"));
    ASSERT_NE(settings, nullptr);
    EXPECT_FALSE(label(kSettingsMenuSlot).empty());
    EXPECT_EQ(settings->title(), QString::fromStdString(kn4::cp1252ToUtf8(label(kSettingsMenuSlot))));
}

TEST_P(SimulatorLanguageTest, ShowsNoWordOfAnotherLanguage)
{
    if (GetParam() == 0)
        GTEST_SKIP() << "Italian is the suite's own language";
    ASSERT_TRUE(ownWordsAreSound());
    kn4::QtLanguage::install(QString::fromStdString(folder().string()));
    kn4::simulator::SimulatorStartup startup = kn4::simulator::SimulatorStartup::run(
        (m_dir / "DAVANTI.KN4").string() + "," + folder().string() + "/", m_dir);
    ASSERT_FALSE(startup.ended()) << startup.fatalMessage;
    kn4::simulator::SimulatorWindow window(startup);
    window.show();
    // The history at a knitted course names its row in the folder's words.
    std::int64_t riga = -4;
    window.DatiRighe(riga);
    ASSERT_FALSE(window.historyWindow()->rowText().isEmpty());
    // Every window of the simulator, the panel's own notes and values left out.
    std::vector<ShownText> texts;
    for (QWidget *top : QApplication::topLevelWidgets())
        for (const ShownText &shown : shownTexts(top, {QStringLiteral("Note")}))
            texts.push_back(shown);
    ASSERT_GT(texts.size(), 40u);
    for (int other = 0; other < 3; ++other) {
        if (other == GetParam())
            continue;
        const QStringList stray = strayWords(texts, ownWords(other));
        EXPECT_TRUE(stray.isEmpty()) << kLanguageFolders[other] << " in " << kLanguageFolders[GetParam()] << ":\n"
                                     << stray.join('\n').toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(LanguageFolders, SimulatorLanguageTest, ::testing::Values(0, 1, 2));

} // namespace
