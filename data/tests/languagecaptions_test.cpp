// The editor started in each language folder: its menu, labels and button
// take the folder's texts, each caption fits the control it stands in, and
// the command list shows the folder's aliases.

#include "window/compilereport.h"
#include "window/editorwindow.h"

#include "datafiles.h"
#include "strayitalian.h"
#include "document/librarybinding.h"
#include "document/palettecodec.h"
#include "document/rowtext.h"
#include "kn4/cp1252.h"
#include "kn4/qtlanguage.h"
#include "kn4/modaldialoghandler.h"
#include "kn4/testapplication.h"

#include <QAction>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <unistd.h>

namespace {

using namespace kn4::editor;
namespace fs = std::filesystem;

QString fromBytes(const std::string &bytes)
{
    return QString::fromStdString(kn4::cp1252ToUtf8(bytes));
}

// The controls that show one text of kn4edit.ini each.
struct Caption
{
    const char *control;
    int line;
};

const Caption kLabels[] = {
    {"Label1", 5}, {"Label2", 6}, {"Label3", 7}, {"Label4", 8}, {"Label8", 9}, {"Label5", 10},
    {"Label6", 11}, {"CDx", 12}, {"SDx", 12}, {"CSx", 13}, {"SSx", 13}, {"Label7", 14},
    {"Label12", 15}, {"Label13", 16}, {"Label14", 17}, {"Label10", 18}, {"Label15", 19},
    {"Label11", 20}, {"Label17", 21}, {"Label16", 22}, {"Label18", 23},
};
const Caption kMenu[] = {
    {"InserisciRiga", 0}, {"EliminaRiga", 1}, {"Salva", 2}, {"Esci", 3}, {"Informazioni", 4},
};

class LanguageCaptionsTest : public ::testing::TestWithParam<const char *>
{
protected:
    void SetUp() override
    {
        kn4::testing::ensureApplication();
        ASSERT_TRUE(m_library.load(KN4_PROGRAM_DIR)) << m_library.errorMessage();
        m_folder = fs::temp_directory_path() / ("kn4-captions-" + std::to_string(::getpid()) + "-" + GetParam());
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
        const fs::path panel = m_folder / "DAVANTI.KN4";
        fs::copy_file(fs::path(KN4_PROGRAM_DIR) / "archivi" / "DEMO" / "DAVANTI.KN4", panel);

        EditorStartup::Input input;
        input.arguments = panel.string() + "," + KN4_PROGRAM_DIR + "/" + GetParam() + "/";
        input.workingDirectory = m_folder;
        m_startup = EditorStartup::run(input, &m_library, m_library.errorMessage(), paletteColourCodec());
        ASSERT_FALSE(m_startup.ended()) << m_startup.fatalMessage;
        ASSERT_TRUE(m_startup.messages.empty()) << m_startup.messages.front();
        // Qt's own texts in the folder's language, as the program does.
        kn4::QtLanguage::install(QString::fromStdString(m_startup.languageFolder.string()));
        m_window = std::make_unique<EditorWindow>(EditorContext{m_library, m_startup, "01/01/2026"});
        m_window->show();

        bool wellEnded = false;
        for (const std::string &line : kn4::testing::crlfLines(
                 kn4::testing::readFile(fs::path(KN4_PROGRAM_DIR) / GetParam() / "kn4edit.ini"), &wellEnded))
            m_texts.push_back(fromBytes(line));
        ASSERT_GE(m_texts.size(), 25u);
    }

    void TearDown() override
    {
        m_window.reset();
        fs::remove_all(m_folder);
    }

    LibraryBinding m_library;
    StartupResult m_startup;
    std::unique_ptr<EditorWindow> m_window;
    fs::path m_folder;
    std::vector<QString> m_texts;
};

TEST_P(LanguageCaptionsTest, LabelsShowTheFolderTextsAndFitTheirControls)
{
    for (const Caption &caption : kLabels) {
        SCOPED_TRACE(caption.control);
        auto *label = m_window->findChild<QLabel *>(QString::fromLatin1(caption.control));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), m_texts[std::size_t(caption.line)]);
        EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(label->text()), label->width())
            << label->text().toStdString();
    }
    auto *reset = m_window->findChild<QPushButton *>(QStringLiteral("Reset"));
    EXPECT_EQ(reset->text(), m_texts[24]);
    EXPECT_LE(QFontMetrics(reset->font()).horizontalAdvance(reset->text()), reset->width() - 8);
}

TEST_P(LanguageCaptionsTest, ExpertHelpButtonsShowTheFolderTextsAndFitTheirButtons)
{
    ASSERT_GE(m_texts.size(), 63u) << "the folder lacks the help buttons' lines 61-63";
    for (int i = 0; i < 3; ++i) {
        auto *button = m_window->findChild<QPushButton *>(QStringLiteral("Esperto%1").arg(i + 1));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), m_texts[std::size_t(60 + i)]);
        EXPECT_LE(QFontMetrics(button->font()).horizontalAdvance(button->text()), button->width() - 8);
    }
}

TEST_P(LanguageCaptionsTest, MenuShowsTheFolderTexts)
{
    for (const Caption &caption : kMenu) {
        auto *action = m_window->findChild<QAction *>(QString::fromLatin1(caption.control));
        ASSERT_NE(action, nullptr) << caption.control;
        EXPECT_EQ(action->text(), m_texts[std::size_t(caption.line)]) << caption.control;
    }
}

TEST_P(LanguageCaptionsTest, CommandListShowsTheFolderAliases)
{
    auto *list = m_window->findChild<QListWidget *>(QStringLiteral("ListaComandi"));
    ASSERT_NE(list, nullptr);
    QStringList shown;
    for (int i = 0; i < list->count(); ++i)
        shown << list->item(i)->text();
    // The commands that are their own family show their alias when they
    // have one (a family shows one of its members).
    int aliases = 0;
    for (const CommandEntry &entry : m_startup.commands->entries()) {
        if (entry.alias.empty() || entry.functionCode < 0 ||
            toLowerAscii(entry.libraryName) != toLowerAscii(entry.displayName))
            continue;
        EXPECT_TRUE(shown.contains(fromBytes(entry.alias))) << entry.alias;
        ++aliases;
    }
    EXPECT_GT(aliases, 0);
}

TEST_P(LanguageCaptionsTest, ShowsNoWordOfAnotherLanguage)
{
    const int language = int(std::find_if(std::begin(kn4::testing::kLanguageFolders),
                                           std::end(kn4::testing::kLanguageFolders),
                                           [](const char *f) { return std::string(f) == GetParam(); }) -
                             std::begin(kn4::testing::kLanguageFolders));
    if (language == 0)
        GTEST_SKIP() << "Italian is the suite's own language";
    ASSERT_TRUE(kn4::testing::ownWordsAreSound());
    std::vector<kn4::testing::ShownText> texts = kn4::testing::shownTexts(m_window.get());
    // The report window after a carriage warning, and Qt's own buttons.
    frmPopUpCompilazione report(-2, "", m_startup.language, m_window.get());
    report.Form_Load();
    for (const auto &shown : kn4::testing::shownTexts(&report))
        texts.push_back(shown);
    // The question on leaving a modified panel, answered Cancel.
    QTest::mouseClick(m_window->findChild<QLabel *>(QStringLiteral("Label6")), Qt::LeftButton);
    ASSERT_TRUE(m_window->isModified());
    {
        kn4::testing::ModalDialogHandler handler([&texts](QWidget *modal) {
            for (const auto &shown : kn4::testing::shownTexts(modal))
                texts.push_back(shown);
            if (auto *question = qobject_cast<QMessageBox *>(modal))
                question->button(QMessageBox::Cancel)->click();
            else
                modal->close();
        });
        m_window->findChild<QAction *>(QStringLiteral("Esci"))->trigger();
        ASSERT_EQ(handler.handled(), 1);
    }
    QMessageBox box(QMessageBox::Question, QStringLiteral("?"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::Ok);
    for (const auto &shown : kn4::testing::shownTexts(&box))
        texts.push_back(shown);
    ASSERT_GT(texts.size(), 40u);
    for (int other = 0; other < 3; ++other) {
        if (other == language)
            continue;
        const QStringList stray = kn4::testing::strayWords(texts, kn4::testing::ownWords(other));
        EXPECT_TRUE(stray.isEmpty()) << kn4::testing::kLanguageFolders[other] << " in "
                                     << GetParam() << ":\n" << stray.join('\n').toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(LanguageFolders, LanguageCaptionsTest, ::testing::Values("italiano", "inglese", "spagnolo"));

} // namespace
