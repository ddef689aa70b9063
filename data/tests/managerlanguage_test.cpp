// The manager started in each language: its window caption and menus take
// that language's texts of lingua.ini.

#include "window/managerwindow.h"

#include "datafiles.h"
#include "kn4/cp1252.h"
#include "kn4/testapplication.h"

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

INSTANTIATE_TEST_SUITE_P(Languages, ManagerLanguageTest, ::testing::Values(0, 1, 2));

} // namespace
