// The manager started in each language: its window caption and menus take
// that language's texts of lingua.ini.

#include "window/managerwindow.h"
#include "window/settingswindow.h"

#include "datafiles.h"
#include "strayitalian.h"
#include "kn4/cp1252.h"
#include "kn4/testapplication.h"

#include <QApplication>
#include <QMenuBar>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using kn4::manager::ManagerContext;
using kn4::manager::ManagerWindow;

// The text of language `language` on line `line` of lingua.ini.
QString managerText(const std::vector<std::string> &lines, std::size_t line, int language)
{
    std::string rest = lines.at(line) + "_____";
    for (int i = 0; i < language; ++i)
        rest = rest.substr(rest.find('_') + 1);
    return QString::fromStdString(kn4::cp1252ToUtf8(rest.substr(0, rest.find('_'))));
}

class ManagerLanguageTest : public ::testing::TestWithParam<int>
{
protected:
    void SetUp() override
    {
        kn4::testing::ensureApplication();
        m_dir = fs::temp_directory_path() / ("kn4-managerlanguage-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        for (const char *folder : {"archivi/DEMO", "dischi", "italiano", "inglese", "spagnolo"})
            fs::create_directories(m_dir / folder);
        const fs::path root = kn4::testing::kDataDir / "root";
        fs::copy_file(root / "lingua.ini", m_dir / "lingua.ini");
        bool wellEnded = false;
        std::vector<std::string> settings =
            kn4::testing::crlfLines(kn4::testing::readFile(root / "kn4manager.ini"), &wellEnded);
        settings.resize(12);
        settings[11] = std::to_string(GetParam());
        std::string text;
        for (const std::string &line : settings)
            text += line + "\r\n";
        kn4::testing::writeFile(m_dir / "kn4manager.ini", text);
        m_texts = kn4::testing::crlfLines(kn4::testing::readFile(m_dir / "lingua.ini"), &wellEnded);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path m_dir;
    std::vector<std::string> m_texts;
};

TEST_P(ManagerLanguageTest, CaptionAndMenusSpeakTheChosenLanguage)
{
    ManagerContext context;
    context.programDirectory = m_dir;
    ASSERT_EQ(context.files.load(m_dir), "");
    ManagerWindow window(std::move(context));
    EXPECT_EQ(window.windowTitle(), managerText(m_texts, 0, GetParam()));
    const QList<QAction *> menus = window.menuBar()->actions();
    ASSERT_FALSE(menus.isEmpty());
    EXPECT_EQ(menus.front()->text(), managerText(m_texts, 1, GetParam()));
    for (QAction *menu : menus)
        EXPECT_FALSE(menu->text().isEmpty());
}

TEST_P(ManagerLanguageTest, ShowsNoWordOfAnotherLanguage)
{
    using namespace kn4::testing;
    if (GetParam() == 0)
        GTEST_SKIP() << "Italian is the suite's own language";
    ASSERT_TRUE(ownWordsAreSound());
    kn4::testing::writeFile(m_dir / "archivi" / "DEMO" / "DAVANTI.KN4",
                            kn4::testing::readFile(kArchiveDir / "DAVANTI.KN4"));
    ManagerContext context;
    context.programDirectory = m_dir;
    ASSERT_EQ(context.files.load(m_dir), "");
    ManagerWindow window(std::move(context));
    window.show();
    kn4::manager::SettingsWindow settings(window.context(), &window);
    settings.show();
    // The archive's and the disks' names and the panels' values are theirs.
    const QStringList content{QStringLiteral("Combo1"), QStringLiteral("List1"), QStringLiteral("List2"),
                              QStringLiteral("List3")};
    std::vector<ShownText> texts;
    for (QWidget *top : QApplication::topLevelWidgets())
        for (const ShownText &shown : shownTexts(top, content))
            texts.push_back(shown);
    ASSERT_GT(texts.size(), 20u);
    for (int other = 0; other < 3; ++other) {
        if (other == GetParam())
            continue;
        const QStringList stray = strayWords(texts, ownWords(other));
        EXPECT_TRUE(stray.isEmpty()) << kLanguageFolders[other] << " in " << kLanguageFolders[GetParam()] << ":\n"
                                     << stray.join('\n').toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, ManagerLanguageTest, ::testing::Values(0, 1, 2));

} // namespace
