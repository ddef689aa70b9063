#include "documenttesting.h"

#include "document/editorstartup.h"
#include "document/panelbackup.h"
#include "document/rowtext.h"
#include "kn4/filereader.h"

#include <cerrno>

using namespace kn4::editor;
using namespace kn4::editor::testing;
namespace fs = std::filesystem;

namespace {

class EditorStartupTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        m_language = m_dir / "lingua con spazi" / "italiano";
        fs::create_directories(m_language);
        for (const char *name : {"kn4edit.ini", "Kn4Edit.123"})
            fs::copy_file(programDir() / "italiano" / name, m_language / name);
        // The keyword file under another letter case.
        fs::copy_file(programDir() / "italiano" / "VUZUDO.KEY", m_language / "Vuzudo.key");
        m_archive = m_dir / "archivi" / "DEMO";
        fs::create_directories(m_archive);
    }

    StartupResult start(const std::string &arguments)
    {
        return EditorStartup::run({arguments, m_dir}, &library(), "", paletteColourCodec());
    }

    std::string folderArgument() const { return m_language.string() + "/"; }

    fs::path m_language;
    fs::path m_archive;
};

} // namespace

TEST_F(EditorStartupTest, MissingLibraryEndsTheProgram)
{
    LibraryBinding binding;
    EXPECT_FALSE(binding.load(m_dir));
    EXPECT_EQ(binding.errorMessage(),
              "Il file libkn4edit2.so è assente. Contattare l'assistenza tecnica.");
    const StartupResult result =
        EditorStartup::run({"", m_dir}, nullptr, binding.errorMessage(), paletteColourCodec());
    EXPECT_TRUE(result.ended());
    EXPECT_EQ(result.fatalMessage, binding.errorMessage());
}

TEST_F(EditorStartupTest, LibraryFromTheProgramDirectory)
{
    LibraryBinding binding;
    ASSERT_TRUE(binding.load(programDir())) << binding.errorMessage();
    EXPECT_FALSE(binding.fileDate().empty());
    EXPECT_EQ(binding.CercaFunzione("aumentazione").name, "AUMENTA");
    EXPECT_EQ(binding.CercaFunzione("aumentazione").index, 2);
    EXPECT_EQ(binding.CercaFunzione("").index, -1);
    EXPECT_EQ(binding.ClickSxP1(1, " 2"), " 1");
    EXPECT_EQ(binding.GetDefault(18).p2, std::string(20, '-'));
}

TEST_F(EditorStartupTest, KeywordFileProblemsEndTheProgram)
{
    fs::remove(m_language / "Vuzudo.key");
    StartupResult result = start("P.KN4," + folderArgument());
    EXPECT_EQ(result.fatalMessage, "Il file VUZUDO.KEY è assente. Contattare l'assistenza tecnica.\n"
                                       + (m_language / "VUZUDO.KEY").string() + ": No such file or directory");

    writeFile(m_language / "VUZUDO.KEY", crlf({"DEFINIZIONE", "SCOLLO", "punto_nuovo ; ALIAS: nuovo"}));
    result = start("P.KN4," + folderArgument());
    EXPECT_EQ(result.fatalMessage, "La funzione 'PUNTO_NUOVO' non è definita nel file libkn4edit2.so. "
                                   "Contattare l'assistenza tecnica.");

    writeFile(m_language / "VUZUDO.KEY", "");
    EXPECT_TRUE(start("P.KN4," + folderArgument()).ended());
}

TEST_F(EditorStartupTest, WithoutCommandLineANewPanel)
{
    fs::copy_file(programDir() / "italiano" / "VUZUDO.KEY", m_dir / "vuzudo.KEY");
    const StartupResult result = start("");
    ASSERT_FALSE(result.ended()) << result.fatalMessage;
    EXPECT_EQ(result.panelName, "NUOVO");
    EXPECT_FALSE(result.language.loaded());
    EXPECT_TRUE(result.messages.empty());
    EXPECT_TRUE(result.helpMissing);
    EXPECT_EQ(result.help.expertDelay(), 500);
    EXPECT_FALSE(result.panelFromFile);
    EXPECT_FALSE(result.backupBeforeSave);
    EXPECT_EQ(result.panel.header.frontura, "320");
    EXPECT_EQ(result.panel.header.ingombroPettini, "30");
    // One definition row with the library's defaults.
    ASSERT_EQ(result.panel.rows.size(), 1u);
    const std::string &row = result.panel.rows[0];
    EXPECT_EQ(row.substr(0, 17), "definizione ALTRO");
    EXPECT_EQ(row.substr(43, 20), std::string(20, '-'));
    EXPECT_EQ(RowText::entryIndex(row), 0);
    EXPECT_EQ(RowText::functionCode(row), 18);
    EXPECT_FALSE(result.listItems.empty());
}

TEST_F(EditorStartupTest, OpensThePanelOfTheManagerCommandLine)
{
    fs::copy_file(programDir() / "archivi" / "DEMO" / "DAVANTI.KN4", m_archive / "davanti.kn4");
    const StartupResult result =
        start((m_archive / "DAVANTI.KN4").string() + "," + folderArgument() + "/400/0/24/3/1");
    ASSERT_FALSE(result.ended()) << result.fatalMessage;
    EXPECT_TRUE(result.messages.empty());
    EXPECT_TRUE(result.language.loaded());
    EXPECT_FALSE(result.helpMissing);
    EXPECT_EQ(result.help.expertDelay(), 800);
    EXPECT_TRUE(result.panelFromFile);
    EXPECT_EQ(result.panelPath.filename(), "davanti.kn4");
    EXPECT_EQ(result.panel.header.tipo, "GIROC");
    EXPECT_EQ(result.panel.header.frontura, "200");  // the panel's own
    EXPECT_EQ(result.panel.header.ingombroPettini, "24");  // always the command line's
    EXPECT_EQ(result.panel.predisposizioneValue, 1);
    EXPECT_TRUE(result.commandLine.combWidthIsEditable());
    ASSERT_GT(result.panel.rows.size(), 5u);
    // Marker mode 0: every command row carries "-" at column 16 (a
    // definition's kind runs over it).
    for (const std::string &row : result.panel.rows) {
        if (RowText::entryIndex(row) != RowText::kDefinitionEntry) {
            EXPECT_EQ(row[16], '-') << row;
        }
    }
}

TEST_F(EditorStartupTest, PanelWithoutMarkerIsANewPanelWithoutMessage)
{
    writeFile(m_archive / "VUOTO.KN4", "testo qualsiasi\r\n");
    const StartupResult result =
        start((m_archive / "VUOTO.KN4").string() + "," + folderArgument() + "/280/1/30/3/0");
    ASSERT_FALSE(result.ended());
    EXPECT_TRUE(result.messages.empty());
    EXPECT_FALSE(result.backupBeforeSave);
    EXPECT_EQ(result.panel.rows.size(), 1u);
    EXPECT_EQ(result.panel.header.frontura, "280");
}

TEST_F(EditorStartupTest, InvalidPanelIsReportedAndKeptBeforeSaving)
{
    const fs::path panel = m_archive / "Rotto.kn4";
    writeFile(panel, crlf({"SORGENTE.KN4", "tipo ROTTO, taglia 40,parte DIETRO----  ", "frontura 180"}));
    const StartupResult result = start("archivi/DEMO/Rotto.kn4," + folderArgument() + "/250/1/30/3/0");
    ASSERT_FALSE(result.ended());
    ASSERT_EQ(result.messages.size(), 1u);
    EXPECT_EQ(result.messages[0].substr(0, result.messages[0].find('\n')),
              "Il file ROTTO.KN4 non è un pannello valido.");
    EXPECT_NE(result.messages[0].find("Rotto.kn4.bak"), std::string::npos);
    EXPECT_TRUE(result.panelInvalid);
    EXPECT_TRUE(result.backupBeforeSave);
    EXPECT_EQ(result.panel.header.frontura, "250");
    EXPECT_EQ(result.panel.rows.size(), 1u);

    const std::string original = readFile(panel);
    const PanelBackup::Result kept = PanelBackup::keepOriginal(result.panelPath);
    ASSERT_TRUE(kept.kept);
    EXPECT_EQ(kept.backupPath.filename(), "Rotto.kn4.bak");
    EXPECT_EQ(readFile(kept.backupPath), original);
    EXPECT_EQ(kept.message, "Il file originale Rotto.kn4 è stato conservato come Rotto.kn4.bak.");
    // A second backup never replaces the first.
    EXPECT_EQ(PanelBackup::keepOriginal(result.panelPath).backupPath.filename(), "Rotto.kn4.bak2");
    EXPECT_EQ(readFile(kept.backupPath), original);
}

// A panel whose read fails (a disk error, no permission) is neither taken
// for a new panel nor the end of the program: it is kept before the first
// save and the message says why it could not be read.
TEST_F(EditorStartupTest, UnreadablePanelIsNotTakenForANewOne)
{
    const fs::path panel = m_archive / "CHIUSO.KN4";
    writeFile(panel, readFile(programDir() / "archivi" / "DEMO" / "DAVANTI.KN4"));
    const struct
    {
        const char *reason;
        void (*arrange)(const fs::path &);
        void (*restore)(const fs::path &);
    } cases[] = {
        {"Input/output error",
         [](const fs::path &) {
             // Only the panel's reads fail; the language folder's succeed.
             kn4::FileReader::setReadFunctionForTesting([](int fd, void *buffer, std::size_t size) -> ssize_t {
                 const fs::path file = fs::read_symlink("/proc/self/fd/" + std::to_string(fd));
                 if (file.filename() != "CHIUSO.KN4")
                     return ::read(fd, buffer, size);
                 errno = EIO;
                 return -1;
             });
         },
         [](const fs::path &) { kn4::FileReader::setReadFunctionForTesting(nullptr); }},
        {"Permission denied", [](const fs::path &p) { fs::permissions(p, fs::perms::none); },
         [](const fs::path &p) { fs::permissions(p, fs::perms::owner_all); }},
    };
    for (const auto &c : cases) {
        if (std::string(c.reason) == "Permission denied" && ::geteuid() == 0)
            continue; // the superuser reads every file
        c.arrange(panel);
        const StartupResult result = start(panel.string() + "," + folderArgument());
        c.restore(panel);
        ASSERT_FALSE(result.ended()) << c.reason;
        EXPECT_TRUE(result.panelInvalid);
        EXPECT_TRUE(result.backupBeforeSave);
        EXPECT_EQ(result.panelReadError, panel.string() + ": " + c.reason);
        ASSERT_EQ(result.messages.size(), 1u);
        EXPECT_NE(result.messages[0].find(result.panelReadError), std::string::npos) << result.messages[0];
    }
}

TEST_F(EditorStartupTest, FullInvalidPanelGetsNoRowPastTheStore)
{
    std::string text = crlf({"SORGENTE.KN4", "tipo", "frontura", "costina", "scollo", ";", "predisposizione 1",
                             "uscita 1", ";", ";", ";", "; --- Inizio programma ;FGHIJKLM"});
    for (int i = 0; i <= PanelModel::kMaxRows; ++i)
        text += "liscio         , 1   , 1   ;\r\n";
    writeFile(m_archive / "LUNGO.KN4", text);
    const StartupResult result = start((m_archive / "LUNGO.KN4").string() + "," + folderArgument());
    ASSERT_FALSE(result.ended());
    EXPECT_TRUE(result.panelInvalid);
    EXPECT_EQ(result.panel.rows.size(), std::size_t(PanelModel::kMaxRows));
}

TEST_F(EditorStartupTest, UnknownPanelCommandEndsTheProgram)
{
    std::string text = readFile(programDir() / "archivi" / "DEMO" / "DAVANTI.KN4");
    text += "maglia_inglese , 1   , 1   ;\r\n";
    writeFile(m_archive / "X.KN4", text);
    const StartupResult result = start((m_archive / "X.KN4").string() + "," + folderArgument());
    EXPECT_EQ(result.fatalMessage, "La funzione 'MAGLIA_INGLESE' non compare nel file VUZUDO.KEY. "
                                   "Contattare l'assistenza tecnica.");
}

TEST_F(EditorStartupTest, MissingLanguageFileIsReportedAndStartGoesOn)
{
    fs::remove(m_language / "kn4edit.ini");
    const StartupResult result = start("NUOVO.KN4," + folderArgument());
    ASSERT_FALSE(result.ended());
    ASSERT_EQ(result.messages.size(), 1u);
    EXPECT_EQ(result.messages[0],
              "file ini non trovato\n" + (m_language / "kn4edit.ini").string() + ": No such file or directory");
    EXPECT_FALSE(result.language.loaded());
}

TEST_F(EditorStartupTest, NoCommandLineShapeStopsTheStart)
{
    for (const char *arguments : {",", "/", "//////", ",,,,", "a,b,c/1/2", "\xFF\xFE,/x/", "/1/2/3/4/5/6",
                                  "P.KN4,/nonexistent/folder/"}) {
        const StartupResult result = start(arguments);
        // Either a clean start or the keyword-file message: never anything else.
        if (result.ended()) {
            EXPECT_EQ(result.fatalMessage.rfind(CommandList::missingFileMessage() + "\n", 0), 0u) << arguments;
        }
    }
}
