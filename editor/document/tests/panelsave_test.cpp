#include "documenttesting.h"

#include "document/commandlist.h"
#include "document/compilereportview.h"
#include "document/editorstartup.h"
#include "document/panelreader.h"
#include "document/panelsave.h"
#include "document/panelwriter.h"
#include "kn4/atomicfile.h"
#include "kn4/cp1252.h"

#include <cerrno>
#include <unistd.h>

using namespace kn4::editor;
using namespace kn4::editor::testing;
namespace fs = std::filesystem;

namespace {

// A library whose compilation answers what the test sets, and counts how
// often it was asked.
class ScriptedLibrary : public CommandLibrary
{
public:
    Lookup CercaFunzione(std::string_view) const override { return {}; }
    ParameterPositions GetPosizioneParametri(std::int32_t) const override { return {}; }
    DefaultTexts GetDefault(std::int32_t) const override { return {}; }
    std::string click(Click, std::int32_t, std::string_view) const override { return {}; }
    void SimulaFunzione(std::int32_t, Kn4Simulazione &) const override {}
    CompileResult Compilazione(const std::string &panelPath, const std::string &folder) const override
    {
        ++calls;
        lastPanel = panelPath;
        lastFolder = folder;
        return next;
    }

    CompileResult next{KN4_COMPILED, "Compilazione riuscita\r\n"};
    mutable int calls = 0;
    mutable std::string lastPanel;
    mutable std::string lastFolder;
};

// A literal with its NULs.
template <std::size_t N>
std::string bytes(const char (&text)[N])
{
    return std::string(text, N - 1);
}

PanelModel panelWithNote(const std::string &note)
{
    PanelModel panel;
    panel.header.tipo = "GIROC";
    panel.header.taglia = "48";
    panel.header.parte = "DAVANTI";
    panel.header.frontura = "200";
    panel.header.predisposizione = "1";
    panel.header.uscita = "2";
    panel.header.note[0] = note;
    return panel;
}

// Write failures for the atomic writer: every write fails, or the first one
// goes through (the backup copy) and the later ones fail.
ssize_t failEveryWrite(int, const void *, std::size_t)
{
    errno = ENOSPC;
    return -1;
}

int g_writesLeft = 0;
ssize_t failAfterFirstWrite(int fd, const void *data, std::size_t size)
{
    if (g_writesLeft-- > 0)
        return ::write(fd, data, size);
    errno = EIO;
    return -1;
}

class PanelSaveTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        m_panelPath = m_dir / "DAVANTI.KN4";
    }
    void TearDown() override
    {
        kn4::AtomicFileWriter::setWriteFunctionForTesting(nullptr);
        TempDirTest::TearDown();
    }

    PanelSave::Outcome save(const PanelModel &panel, std::int16_t carriageCheck)
    {
        return m_save.save(panel, paletteColourCodec(), m_panelPath, m_dir, carriageCheck, m_backup);
    }

    bool noTemporaryFilesLeft() const
    {
        for (const auto &entry : fs::directory_iterator(m_dir))
            if (entry.path().extension() == ".kn4tmp")
                return false;
        return true;
    }

    ScriptedLibrary m_library;
    PanelSave m_save{m_library};
    fs::path m_panelPath;
    bool m_backup = false;
};

TEST_F(PanelSaveTest, ACleanCompilationKeepsItsReportAndAsksForTheHint)
{
    EXPECT_EQ(m_save.compileResult(), 0);
    EXPECT_EQ(m_save.compileReport(), "");

    m_library.next = {KN4_COMPILED, bytes("Nessun errore\r\n\0resto del buffer")};
    const PanelModel panel = panelWithNote("prima");
    const PanelSave::Outcome outcome = save(panel, 0);

    EXPECT_TRUE(outcome.written);
    EXPECT_EQ(outcome.errorMessage, "");
    EXPECT_TRUE(outcome.compiled);
    EXPECT_TRUE(outcome.showSavedHint);
    EXPECT_EQ(outcome.compileResult, KN4_COMPILED);
    EXPECT_EQ(m_save.compileReport(), "Nessun errore\r\n");
    // The library compiles the very file that was written.
    EXPECT_EQ(m_library.calls, 1);
    EXPECT_EQ(m_library.lastPanel, m_panelPath.string());
    EXPECT_EQ(m_library.lastFolder, m_dir.string());
    EXPECT_EQ(readFile(m_panelPath), PanelWriter::sourceText(panel, paletteColourCodec()));
    EXPECT_TRUE(noTemporaryFilesLeft());
}

TEST_F(PanelSaveTest, ACarriageWarningWritesWithoutCompilingAndKeepsThePreviousReport)
{
    m_library.next = {KN4_COMPILED_WARNINGS, "Resoconto precedente\r\n"};
    ASSERT_TRUE(save(panelWithNote("prima"), 0).compiled);

    const PanelModel changed = panelWithNote("seconda");
    PanelSave::Outcome outcome = save(changed, -1);
    EXPECT_TRUE(outcome.written);
    EXPECT_FALSE(outcome.compiled);
    EXPECT_FALSE(outcome.showSavedHint);
    EXPECT_EQ(outcome.compileResult, -1);
    EXPECT_EQ(m_library.calls, 1);
    EXPECT_EQ(m_save.compileReport(), "Resoconto precedente\r\n");
    EXPECT_EQ(readFile(m_panelPath), PanelWriter::sourceText(changed, paletteColourCodec()));

    // A later warning replaces an earlier one.
    EXPECT_EQ(save(changed, -3).compileResult, -3);
    // A clean compilation afterwards clears it.
    m_library.next = {KN4_COMPILED, "ok\r\n"};
    outcome = save(changed, 0);
    EXPECT_EQ(outcome.compileResult, 0);
    EXPECT_TRUE(outcome.showSavedHint);
}

TEST_F(PanelSaveTest, AWarningOnTheFirstSaveShowsAnEmptyReport)
{
    const PanelSave::Outcome outcome = save(panelWithNote("x"), -2);
    EXPECT_TRUE(outcome.written);
    EXPECT_EQ(outcome.compileResult, -2);
    EXPECT_EQ(m_save.compileReport(), "");
    EXPECT_EQ(m_library.calls, 0);
}

TEST_F(PanelSaveTest, GraveErrorsStayShownThroughALaterCarriageWarning)
{
    m_library.next = {KN4_GRAVE_ERRORS, "Errori gravi\r\n"};
    save(panelWithNote("a"), 0);
    for (std::int16_t check : {-1, -2, -3}) {
        const PanelSave::Outcome outcome = save(panelWithNote("b"), check);
        EXPECT_FALSE(outcome.compiled);
        EXPECT_EQ(outcome.compileResult, KN4_GRAVE_ERRORS) << check;
    }
    EXPECT_EQ(m_save.compileReport(), "Errori gravi\r\n");
}

TEST_F(PanelSaveTest, AFailedWriteKeepsTheOldPanelAndDoesNotCompile)
{
    m_library.next = {KN4_COMPILED_WARNINGS, "Resoconto\r\n"};
    save(panelWithNote("salvato"), 0);
    // The compiled panel on disk, with its code block, must survive as is.
    const std::string old = bytes("intestazione\r\n\x1A\x80\x94\x00\x9C") +
                            PanelWriter::sourceText(panelWithNote("salvato"), paletteColourCodec());
    writeFile(m_panelPath, old);

    kn4::AtomicFileWriter::setWriteFunctionForTesting(failEveryWrite);
    m_library.next = {KN4_COMPILED, "mai visto\r\n"};
    const PanelSave::Outcome outcome = save(panelWithNote("perso?"), 0);
    kn4::AtomicFileWriter::setWriteFunctionForTesting(nullptr);

    EXPECT_FALSE(outcome.written);
    EXPECT_FALSE(outcome.compiled);
    EXPECT_FALSE(outcome.showSavedHint);
    EXPECT_NE(outcome.errorMessage.find("DAVANTI.KN4"), std::string::npos) << outcome.errorMessage;
    EXPECT_NE(outcome.errorMessage.find("non è stato salvato"), std::string::npos);
    EXPECT_EQ(m_library.calls, 1);
    EXPECT_EQ(readFile(m_panelPath), old);
    EXPECT_TRUE(noTemporaryFilesLeft());
    // The result and report of the last real compilation stay.
    EXPECT_EQ(outcome.compileResult, KN4_COMPILED_WARNINGS);
    EXPECT_EQ(m_save.compileReport(), "Resoconto\r\n");

    // Once the disk takes writes again the same save goes through.
    EXPECT_TRUE(save(panelWithNote("perso?"), 0).written);
    EXPECT_EQ(m_save.compileResult(), KN4_COMPILED);
}

TEST_F(PanelSaveTest, AnInvalidPanelIsKeptBeforeItsFirstSave)
{
    writeFile(m_panelPath, bytes("SORGENTE.KN4\r\nnon un pannello\r\n\xFF\x00\x01"));
    const std::string before = readFile(m_panelPath);
    m_backup = true;

    PanelSave::Outcome outcome = save(panelWithNote("nuovo"), 0);
    EXPECT_TRUE(outcome.written);
    EXPECT_FALSE(m_backup);
    EXPECT_NE(outcome.backupMessage.find("DAVANTI.KN4.bak"), std::string::npos) << outcome.backupMessage;
    EXPECT_EQ(readFile(m_dir / "DAVANTI.KN4.bak"), before);

    // Later saves keep no further copies.
    outcome = save(panelWithNote("ancora"), 0);
    EXPECT_TRUE(outcome.written);
    EXPECT_EQ(outcome.backupMessage, "");
    EXPECT_FALSE(fs::exists(m_dir / "DAVANTI.KN4.bak2"));
    EXPECT_EQ(readFile(m_dir / "DAVANTI.KN4.bak"), before);
}

TEST_F(PanelSaveTest, WithoutItsBackupAnInvalidPanelIsNotOverwritten)
{
    const std::string before = "non un pannello\r\n";
    writeFile(m_panelPath, before);
    m_backup = true;

    kn4::AtomicFileWriter::setWriteFunctionForTesting(failEveryWrite);
    PanelSave::Outcome outcome = save(panelWithNote("nuovo"), 0);
    kn4::AtomicFileWriter::setWriteFunctionForTesting(nullptr);

    EXPECT_FALSE(outcome.written);
    EXPECT_FALSE(outcome.compiled);
    EXPECT_NE(outcome.errorMessage, "");
    EXPECT_TRUE(m_backup);  // asked again at the next save
    EXPECT_EQ(readFile(m_panelPath), before);
    EXPECT_FALSE(fs::exists(m_dir / "DAVANTI.KN4.bak"));
    EXPECT_EQ(m_library.calls, 0);

    // The backup went through but the panel could not be written: the copy
    // exists, so it is not made again.
    g_writesLeft = 1;
    kn4::AtomicFileWriter::setWriteFunctionForTesting(failAfterFirstWrite);
    outcome = save(panelWithNote("nuovo"), 0);
    kn4::AtomicFileWriter::setWriteFunctionForTesting(nullptr);
    EXPECT_FALSE(outcome.written);
    EXPECT_FALSE(m_backup);
    EXPECT_EQ(readFile(m_dir / "DAVANTI.KN4.bak"), before);
    EXPECT_EQ(readFile(m_panelPath), before);
    EXPECT_EQ(m_library.calls, 0);
}

// The whole road with the real library: a sample panel read, saved and
// compiled in place.
class PanelSaveLibraryTest : public TempDirTest
{
};

TEST_F(PanelSaveLibraryTest, ASamplePanelCompilesWithoutErrors)
{
    auto loaded = CommandList::load(programDir() / "italiano", library());
    ASSERT_TRUE(loaded.list) << loaded.fatalMessage;
    const PanelReader reader(*loaded.list, library(), paletteColourCodec(), 320, false);
    PanelModel panel;
    ASSERT_EQ(reader.read(readFile(programDir() / "archivi" / "DEMO" / "DAVANTI.KN4"), panel).outcome,
              PanelReader::Outcome::Read);

    PanelSave save(library());
    bool backup = false;
    const fs::path path = m_dir / "DAVANTI.KN4";
    const PanelSave::Outcome outcome =
        save.save(panel, paletteColourCodec(), path, programDir() / "italiano", 0, backup);
    EXPECT_TRUE(outcome.written);
    EXPECT_TRUE(outcome.compiled);
    EXPECT_EQ(outcome.compileResult, KN4_COMPILED) << kn4::cp1252ToUtf8(save.compileReport());
    EXPECT_TRUE(outcome.showSavedHint);
    EXPECT_NE(save.compileReport(), "");
    // The library put the code block in front of the source.
    const std::string compiled = readFile(path);
    EXPECT_NE(compiled.rfind("SORGENTE.KN4", 0), 0u);
    EXPECT_NE(compiled.find(PanelWriter::sourceText(panel, paletteColourCodec())), std::string::npos);
}

// A new panel starts with the set-up and exit values an ordinary piece
// has: once its rib and neckline are given it compiles cleanly.
TEST_F(PanelSaveLibraryTest, ANewPanelCompilesCleanlyOnceItsRibAndNecklineAreGiven)
{
    fs::copy_file(programDir() / "italiano" / "VUZUDO.KEY", m_dir / "VUZUDO.KEY");
    StartupResult started =
        EditorStartup::run({"NUOVO.KN4," + m_dir.string() + "/200/1/30/3/1", m_dir}, &library(), "",
                           paletteColourCodec());
    ASSERT_FALSE(started.ended()) << started.fatalMessage;
    EXPECT_EQ(started.panel.predisposizioneValue, 1);
    started.panel.header.costinaDx = "80";
    started.panel.header.scolloDx = "1";

    PanelSave save(library());
    const PanelSave::Outcome outcome =
        save.save(started.panel, paletteColourCodec(), started.panelPath, m_dir, 0, started.backupBeforeSave);
    EXPECT_TRUE(outcome.written) << outcome.errorMessage;
    EXPECT_EQ(outcome.compileResult, KN4_COMPILED) << kn4::cp1252ToUtf8(save.compileReport());
}

// The report window's texts and sizes, by compile result.
class CompileReportViewTest : public ::testing::Test
{
protected:
    static LanguageTable italian()
    {
        std::string text;
        for (int line = 0; line <= LanguageTable::ExitQuestion; ++line) {
            switch (line) {
            case LanguageTable::ChiudiReport: text += "Chiudi"; break;
            case LanguageTable::CarriageCheck1: text += "carro esterno oltre la frontura"; break;
            case LanguageTable::CarriageCheck2: text += "carro interno arrivato a 0"; break;
            case LanguageTable::CarriageCheck3: text += "carro esterno contro il carro interno"; break;
            case LanguageTable::NoErrors: text += "Il pannello \xE8 senza errori"; break;
            case LanguageTable::ReportCaption: text += "Risultato"; break;
            default: text += "riga " + std::to_string(line); break;
            }
            text += "\r\n";
        }
        return LanguageTable::fromText(text);
    }
    using View = CompileReportView;
};

TEST_F(CompileReportViewTest, ACleanCompilationIsGreenAndSilent)
{
    const View::Opening view = View::opening(0, "Nessun errore in citt\xE0\r\n");
    EXPECT_EQ(view.indicator, View::kGreen);
    EXPECT_EQ(view.status, "Il pannello non contiene errori");
    EXPECT_EQ(view.report, "Nessun errore in citt\xC3\xA0\r\n");
    EXPECT_FALSE(view.beep);

    const View::Layout compact = View::ResocontoCompilazione(0, 0, italian());
    EXPECT_EQ(compact.label1Text, "Il pannello \xC3\xA8 senza errori");
    EXPECT_EQ(compact.label1Colour, View::kBlack);
    EXPECT_EQ(compact.caption, "Risultato");
    EXPECT_EQ(compact.closeCaption, "Chiudi");
}

// Results other than 0 and the carriage warnings: red, a beep, and the
// status text also in the compact view (never the control's "Label1").
TEST_F(CompileReportViewTest, OtherResultsShowTheirStatusInBothViews)
{
    const std::string grave = "Il pannello contiene alcuni errori gravi";
    const struct { std::int32_t result; std::string status; } cases[] = {
        {5, grave}, {6, grave}, {40, grave}, {3, "Il pannello non \xC3\xA8 stato compilato"},
        {1, ""}, {4, ""}, {-4, ""}, {-100, ""},
    };
    for (const auto &c : cases) {
        const View::Opening view = View::opening(c.result, "Errori\r\n");
        EXPECT_EQ(view.indicator, View::kRed) << c.result;
        EXPECT_EQ(view.status, c.status) << c.result;
        EXPECT_EQ(view.report, "Errori\r\n");
        EXPECT_TRUE(view.beep);
        const View::Layout compact = View::ResocontoCompilazione(0, c.result, italian());
        EXPECT_EQ(compact.label1Text, c.status) << c.result;
        EXPECT_EQ(compact.label1Colour, View::kRed) << c.result;
    }
}

TEST_F(CompileReportViewTest, CarriageWarningsFollowTheReportDirectly)
{
    const struct { std::int32_t result; const char *sentence; const char *shortText; } cases[] = {
        {-1, "ATTENZIONE: carro esterno oltre la frontura.", "ERRORE ! : carro esterno oltre la frontura"},
        {-2, "ATTENZIONE: carro interno arrivato a 0.", "ERRORE ! : carro interno arrivato a 0"},
        {-3, "ATTENZIONE: carro esterno contro il carro interno.",
         "ERRORE ! : carro esterno contro il carro interno"},
    };
    for (const auto &c : cases) {
        const View::Opening view = View::opening(c.result, "Resoconto\r\n");
        EXPECT_EQ(view.indicator, View::kRed);
        EXPECT_EQ(view.status, "Il pannello contiene alcuni errori potenzialmente gravi");
        EXPECT_EQ(view.report, std::string("Resoconto\r\n") + c.sentence);
        EXPECT_TRUE(view.beep);
        const View::Layout compact = View::ResocontoCompilazione(0, c.result, italian());
        EXPECT_EQ(compact.label1Text, c.shortText);
        EXPECT_EQ(compact.label1Colour, View::kRed);
    }
    EXPECT_EQ(View::opening(-1, "").report, "ATTENZIONE: carro esterno oltre la frontura.");
}

TEST_F(CompileReportViewTest, TheTwoViewsHaveTheirSizes)
{
    const View::Layout compact = View::ResocontoCompilazione(0, 6, italian());
    EXPECT_EQ(compact.viewMode, View::kCompact);
    EXPECT_EQ(compact.widthTwips, 6000);
    EXPECT_EQ(compact.heightTwips, 1400);
    EXPECT_EQ(compact.widthPixels(), 400);
    EXPECT_EQ(compact.heightPixels(), 93);  // 93.3 pixels
    EXPECT_TRUE(compact.label1Visible);
    EXPECT_FALSE(compact.reportVisible);

    const View::Layout detailed = View::ResocontoCompilazione(1, 6, italian());
    EXPECT_EQ(detailed.viewMode, View::kDetailed);
    EXPECT_EQ(detailed.widthPixels(), 639);
    EXPECT_EQ(detailed.heightPixels(), 473);
    EXPECT_FALSE(detailed.label1Visible);
    EXPECT_TRUE(detailed.reportVisible);
    // The detailed view changes no text.
    EXPECT_FALSE(detailed.caption || detailed.closeCaption || detailed.label1Text);
    EXPECT_FALSE(View::ResocontoCompilazione(1, -1, italian()).label1Text.has_value());

    // Any value but 1 is the compact view.
    EXPECT_EQ(View::ResocontoCompilazione(2, 0, italian()).viewMode, View::kCompact);
    EXPECT_EQ(View::ResocontoCompilazione(-1, 0, italian()).viewMode, View::kCompact);
}

TEST_F(CompileReportViewTest, MissingLanguageLinesKeepTheBuiltInCaptions)
{
    const View::Layout none = View::ResocontoCompilazione(0, -2, LanguageTable());
    EXPECT_FALSE(none.caption.has_value());
    EXPECT_FALSE(none.closeCaption.has_value());
    EXPECT_EQ(none.label1Text, "ERRORE ! : ");

    // A file that ends before line 56 replaces line 51 only.
    std::string text;
    for (int line = 0; line <= LanguageTable::ChiudiReport; ++line)
        text += (line == LanguageTable::ChiudiReport ? "Close" : "x") + std::string("\r\n");
    const View::Layout shortFile = View::ResocontoCompilazione(0, 0, LanguageTable::fromText(text));
    EXPECT_EQ(shortFile.closeCaption, "Close");
    EXPECT_FALSE(shortFile.caption.has_value());
    EXPECT_EQ(shortFile.label1Text, "");
}

} // namespace
