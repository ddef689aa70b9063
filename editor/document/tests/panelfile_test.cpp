#include "documenttesting.h"

#include "document/commandlist.h"
#include "document/panelreader.h"
#include "document/panelwriter.h"
#include "document/rowtext.h"
#include "kn4/cp1252.h"
#include "kn4/filelookup.h"

using namespace kn4::editor;
using namespace kn4::editor::testing;
namespace fs = std::filesystem;

namespace {

const CommandList &italianCommands()
{
    static const CommandList list = [] {
        CommandList::LoadResult loaded = CommandList::load(programDir() / "italiano", library());
        EXPECT_TRUE(loaded.list) << loaded.fatalMessage;
        return loaded.list.value_or(CommandList());
    }();
    return list;
}

PanelReader reader(bool dash = false, std::int32_t needles = 320)
{
    return PanelReader(italianCommands(), library(), paletteColourCodec(), needles, dash);
}

// A new row of a command-list entry, as the window inserts it.
std::string newRow(int entry)
{
    const CommandEntry &e = italianCommands().entry(entry);
    return RowText::buildNew(e.displayName, e.functionCode, entry,
                             library().GetPosizioneParametri(e.functionCode),
                             library().GetDefault(e.functionCode));
}

PanelModel samplePanel()
{
    PanelModel panel;
    panel.header.tipo = "GIROC";
    panel.header.taglia = "48";
    panel.header.parte = "DAVANTI";
    panel.header.frontura = "200";
    panel.header.densita = "13.5";
    panel.header.costinaDx = "80";
    panel.header.scolloDx = "1";
    panel.header.altezzaBordo = "6";
    panel.header.aghiCm = "3";
    panel.header.ranghiCm = "4.5";
    panel.header.predisposizione = "1";
    panel.header.uscita = "2";
    panel.header.note = {"Prima nota", "", "Terza nota, citt\xE0"};
    panel.rows = {newRow(0), newRow(4), newRow(3)};
    return panel;
}

PanelReader::Result readText(const std::string &text, PanelModel &panel, bool dash = false)
{
    return reader(dash).read(text, panel);
}

// The header block of a panel file with set-up line as given.
std::string headerWithSetup(const std::string &setupLine)
{
    return crlf({"SORGENTE.KN4", "tipo GIROC, taglia 48,parte DAVANTI---  ",
                 "frontura 200, densita 13.5----          ", "costina 80", "scollo    1",
                 ";Alt.bordo 6----Ag.cm 3----Ran.cm 4.5-- ", setupLine, "uscita 1",
                 ";nota uno", ";", ";", "; --- Inizio programma ;FGHIJKLM"});
}

} // namespace

TEST(PanelWriterTest, HeaderTemplatesAndFills)
{
    PanelHeader h;
    h.tipo = "AB";
    h.taglia = "123";
    h.parte = "-A-";
    EXPECT_EQ(PanelWriter::typeLine(h), "tipo AB---, taglia 12,parte -A--------  ");
    h.frontura = "80";
    h.densita = "13.5";
    EXPECT_EQ(PanelWriter::needleBedLine(h), "frontura 80 , densita 13.5----          ");
    h.costinaDx = "1234";
    h.costinaSx = "7";
    EXPECT_EQ(PanelWriter::ribLine(h, true), "costina ---D    7S                       ");
    EXPECT_EQ(PanelWriter::ribLine(h, false), "costina 123                             ");
    h.scolloDx = "12";
    h.scolloSx = "";
    EXPECT_EQ(PanelWriter::necklineLine(h, true), "scollo   12D     S                       ");
    EXPECT_EQ(PanelWriter::necklineLine(h, false), "scollo   12                             ");
    h.altezzaBordo = "6";
    h.aghiCm = "3.25";
    h.ranghiCm = "123456";
    EXPECT_EQ(PanelWriter::measuresLine(h), ";Alt.bordo 6----Ag.cm 3.25-Ran.cm 12345 ");
    h.predisposizione = "2";
    h.uscita = "";
    EXPECT_EQ(PanelWriter::setupLine(h), "predisposizione 2                       ");
    EXPECT_EQ(PanelWriter::exitLine(h), "uscita                                  ");
    EXPECT_EQ(PanelWriter::noteLine(std::string(50, 'n')), ";" + std::string(39, 'n'));
    for (const std::string &line : {PanelWriter::typeLine(h), PanelWriter::needleBedLine(h),
                                    PanelWriter::ribLine(h, false), PanelWriter::measuresLine(h)})
        EXPECT_EQ(line.size(), 40u);
}

TEST(PanelWriterTest, RowLines)
{
    // A new CALATO row: "calato", eight blanks, "2, 1", "   , 1", "   ;", 12 blanks.
    std::string calato = newRow(3);
    std::vector<std::string> rows{calato};
    PanelWriter::clearIdleIntervalMarkers(rows);
    EXPECT_EQ(PanelWriter::rowLine(rows[0]),
              "calato        2, 1   , 1   ;" + std::string(12, ' '));

    std::string definition = newRow(0);
    RowText::overlay(definition, 12, 30, "PROFILO ESTERNO");
    EXPECT_EQ(PanelWriter::rowLine(definition),
              "definizione PROFILO ESTERNO" + std::string(13, ' '));

    // A four-digit repetition keeps its last digit before the ";".
    std::string repeat = newRow(29);
    RowText::overlay(repeat, 23, 26, "1999");
    EXPECT_EQ(PanelWriter::rowLine(repeat).substr(21, 7), ", 1999;");
}

TEST(PanelWriterTest, IntervalMarkerIsClearedUnlessTheIntervalStartsWithOneToNine)
{
    std::string marked = newRow(4);
    marked[16] = '-';
    std::string zero = marked;
    RowText::overlay(zero, 17, 20, "0");
    std::string definition = newRow(0);
    definition[16] = '-';
    std::vector<std::string> rows{marked, zero, definition};
    PanelWriter::clearIdleIntervalMarkers(rows);
    EXPECT_EQ(rows[0][16], '-');
    EXPECT_EQ(rows[1][16], ' ');
    EXPECT_EQ(rows[2][16], '-');
}

TEST(PanelWriterTest, ColoursAreAlwaysEightCodes)
{
    PanelModel panel;
    EXPECT_EQ(PanelWriter::programMarkerLine(panel, paletteColourCodec()).size(), 32u);
    panel.colours[3] = rgb(1, 2, 3);  // not a palette colour: box 3's default code
    const std::string line = PanelWriter::programMarkerLine(panel, paletteColourCodec());
    ASSERT_EQ(line.size(), 32u);
    EXPECT_EQ(line, PanelWriter::programMarkerLine(PanelModel(), paletteColourCodec()));
}

TEST(PanelFileTest, WrittenPanelReadsBackTheSame)
{
    const PanelModel written = samplePanel();
    const std::string text = PanelWriter::sourceText(written, paletteColourCodec());
    EXPECT_EQ(text.substr(0, 14), "SORGENTE.KN4\r\n");
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");

    PanelModel read;
    ASSERT_EQ(readText(text, read).outcome, PanelReader::Outcome::Read);
    EXPECT_EQ(read.header, written.header);
    EXPECT_EQ(read.colours, written.colours);
    ASSERT_EQ(read.rows.size(), 3u);
    // Commands, cycles and codes come back; the computed columns are blank
    // until the totals run again.
    for (std::size_t i = 0; i < read.rows.size(); ++i) {
        EXPECT_EQ(read.rows[i].substr(0, 27), written.rows[i].substr(0, 27)) << i;
        EXPECT_EQ(RowText::functionCode(read.rows[i]), RowText::functionCode(written.rows[i]));
        EXPECT_EQ(RowText::entryIndex(read.rows[i]), RowText::entryIndex(written.rows[i]));
        EXPECT_EQ(read.rows[i].size(), 80u);
    }
    // Written again, the file is byte for byte the same.
    EXPECT_EQ(PanelWriter::sourceText(read, paletteColourCodec()), text);
}

// The words that begin the header's lines, typed into every header field
// and note, read back as typed and hide neither the notes nor the program.
TEST(PanelFileTest, LineWordsTypedIntoTheHeaderReadBackAsTyped)
{
    PanelModel written = samplePanel();
    PanelHeader &h = written.header;
    h.tipo = "uscit";
    h.taglia = "Ag";
    h.parte = "Inizio pro";
    h.frontura = "Ag.";
    h.densita = "Alt.bord";
    h.costinaDx = "Ran";
    h.scolloDx = "bor";
    h.altezzaBordo = "Ag.cm";
    h.aghiCm = "uscit";
    h.ranghiCm = "Ran.c";
    h.note = {"uscita Alt.bordo Ag.cm Ran.cm", "Inizio programma ;ABCDEFGH predisposiz.",
              "bordo Ag. Ran. uscita 3"};
    const std::string text = PanelWriter::sourceText(written, paletteColourCodec());

    PanelModel read;
    read.header.uscita = written.header.uscita;
    ASSERT_EQ(readText(text, read).outcome, PanelReader::Outcome::Read);
    for (std::string PanelHeader::*field :
         {&PanelHeader::tipo, &PanelHeader::taglia, &PanelHeader::parte, &PanelHeader::frontura,
          &PanelHeader::densita, &PanelHeader::costinaDx, &PanelHeader::scolloDx, &PanelHeader::altezzaBordo,
          &PanelHeader::aghiCm, &PanelHeader::ranghiCm, &PanelHeader::predisposizione, &PanelHeader::uscita})
        EXPECT_EQ(read.header.*field, written.header.*field);
    EXPECT_EQ(read.header.note, written.header.note);
    EXPECT_EQ(read.colours, written.colours);
    EXPECT_EQ(PanelWriter::sourceText(read, paletteColourCodec()), text);

    // A note that would begin its line as the program marker line does is
    // the one text changed: the program stays found.
    written.header.note[0] = " --- Inizio programma ;ABCDEFGH";
    PanelModel marker;
    ASSERT_EQ(readText(PanelWriter::sourceText(written, paletteColourCodec()), marker).outcome,
              PanelReader::Outcome::Read);
    EXPECT_EQ(marker.header.note[0], " --- Inizio-programma ;ABCDEFGH");
    EXPECT_EQ(marker.colours, written.colours);
    EXPECT_EQ(marker.rows.size(), written.rows.size());
}

TEST(PanelFileTest, TwoSidedPanelKeepsBothSides)
{
    PanelModel written = samplePanel();
    written.header.predisposizione = "2";
    written.header.costinaSx = "70";
    written.header.scolloSx = "-2";
    PanelModel read;
    ASSERT_EQ(readText(PanelWriter::sourceText(written, paletteColourCodec()), read).outcome,
              PanelReader::Outcome::Read);
    EXPECT_EQ(read.header, written.header);
    EXPECT_TRUE(read.isTwoSided());

    // One-sided, the left values are not written.
    written.header.predisposizione = "1";
    PanelModel oneSided;
    readText(PanelWriter::sourceText(written, paletteColourCodec()), oneSided);
    EXPECT_EQ(oneSided.header.costinaSx, "");
    EXPECT_EQ(oneSided.header.scolloSx, "");
}

TEST(PanelFileTest, ColourStringShorterThanEightKeepsDefaults)
{
    std::string text = headerWithSetup("predisposizione 1");
    text.replace(text.find(";FGHIJKLM"), 9, ";FGHIJKL");
    PanelModel panel;
    panel.colours.fill(0);
    panel.resetColours();
    ASSERT_EQ(readText(text, panel).outcome, PanelReader::Outcome::Read);
    EXPECT_EQ(panel.colours, PanelModel::kDefaultColours);

    PanelModel coded;
    readText(headerWithSetup("predisposizione 1"), coded);
    EXPECT_NE(coded.colours, PanelModel::kDefaultColours);
}

TEST(PanelFileTest, EmptyOrDotSetupValueStillReadsTheRows)
{
    for (const std::string &setup : {std::string("predisposizione  "), std::string("predisposizione ."),
                                     std::string("predisposizione")}) {
        PanelModel panel;
        const std::string text = headerWithSetup(setup) + crlf({"definizione ALTRO", "liscio         , 10  , 1   ;"});
        const PanelReader::Result result = readText(text, panel);
        EXPECT_EQ(result.outcome, PanelReader::Outcome::Read) << setup << result.reason;
        EXPECT_EQ(panel.header.predisposizione, "") << setup;
        EXPECT_EQ(panel.rows.size(), 2u) << setup;
    }
}

TEST(PanelFileTest, ShortAndOddLinesReadAsBlanks)
{
    const std::string text = crlf({"junk before", "SORGENTE.KN4", "tipo X", "frontura", "costina", "scollo",
                                   ";", "predisposizione 2", "uscita 3", ";n", "; --- Inizio programma ;FGHIJKLM",
                                   "calato", "", "liscio,5", "   ", "aumentazione 1s", "tuk     1  2   , 1   , 1   ;  A5"}) +
                             "liscio , 1 , 1   ;";  // no CR LF: not a row
    PanelModel panel;
    panel.header.uscita = "1";
    const PanelReader::Result result = readText(text, panel);
    ASSERT_EQ(result.outcome, PanelReader::Outcome::Read) << result.reason;
    EXPECT_EQ(panel.header.tipo, "X");
    EXPECT_EQ(panel.header.frontura, "320");  // from the command line
    EXPECT_EQ(panel.header.costinaDx, "");
    EXPECT_EQ(panel.header.predisposizione, "2");
    EXPECT_EQ(panel.header.uscita, "3");
    EXPECT_EQ(panel.header.note[0], "n");
    EXPECT_EQ(panel.header.note[1], "");
    ASSERT_EQ(panel.rows.size(), 4u);
    EXPECT_EQ(panel.rows[0].substr(0, 15), "calato         ");
    EXPECT_EQ(RowText::entryIndex(panel.rows[0]), 3);
    EXPECT_EQ(panel.rows[1].substr(0, 15), "liscio         ");
    // The increase keeps its left-side mark, or gets "1".
    EXPECT_EQ(panel.rows[2].substr(0, 15), "aumentazione 1s");
    // Part letter and mark digit of an older panel.
    EXPECT_EQ(panel.rows[3].substr(55, 8), "Avvit. L");
    EXPECT_EQ(RowText::functionCode(panel.rows[3]), 62);
}

TEST(PanelFileTest, RowConversionRules)
{
    const PanelReader plain = reader();
    std::string unknown;
    const auto increase = plain.convertRow("aumentazione   , 6   , 24  ;", &unknown);
    ASSERT_TRUE(increase);
    EXPECT_EQ(increase->substr(0, 15), "aumentazione  1");

    // A "-" from column 21 on marks a cycle of cycles; not in a definition.
    const auto cycled = plain.convertRow("rigato        2, 4   ,-1   ;", &unknown);
    ASSERT_TRUE(cycled);
    EXPECT_EQ(cycled->at(28), 'C');
    EXPECT_EQ(cycled->at(22), '-');
    const auto definition = plain.convertRow("definizione ;PROFILO", &unknown);
    ASSERT_TRUE(definition);
    EXPECT_EQ(definition->substr(12, 19), "PROFILO ESTERNO    ");
    EXPECT_EQ(definition->substr(43, 20), std::string(20, '-'));
    EXPECT_EQ(definition->at(28), ' ');
    EXPECT_EQ(RowText::entryIndex(*definition), 0);

    const auto leftSide = plain.convertRow("definizione ASIM. sinistro", &unknown);
    ASSERT_TRUE(leftSide);
    EXPECT_EQ(leftSide->substr(12, 13), "LATO SINISTRO");

    // The marker mode decides column 16 whatever the file holds.
    EXPECT_EQ(reader(true).convertRow("liscio         , 10  , 1   ;", &unknown)->at(16), '-');
    EXPECT_EQ(plain.convertRow("liscio        -, 10  , 1   ;", &unknown)->at(16), ' ');

    EXPECT_FALSE(plain.convertRow("maglia_rasata  , 10  , 1   ;", &unknown));
    EXPECT_EQ(unknown, "maglia_rasata");
}

TEST(PanelFileTest, UnknownCommandEndsTheProgram)
{
    PanelModel panel;
    const PanelReader::Result result =
        readText(headerWithSetup("predisposizione 1") + crlf({"definizione ALTRO", "Treccia_X      , 1   , 1   ;"}), panel);
    EXPECT_EQ(result.outcome, PanelReader::Outcome::UnknownCommand);
    EXPECT_EQ(result.fatalMessage, "La funzione 'TRECCIA_X' non compare nel file VUZUDO.KEY. "
                                   "Contattare l'assistenza tecnica.");
}

TEST(PanelFileTest, InvalidPanels)
{
    PanelModel panel;
    EXPECT_EQ(readText("nessun segno", panel).outcome, PanelReader::Outcome::NoSource);
    EXPECT_EQ(readText("", panel).outcome, PanelReader::Outcome::NoSource);
    // A header cut short: the lines that exist are read.
    EXPECT_EQ(readText(crlf({"SORGENTE.KN4", "tipo A", "frontura 1", "costina 80", "scollo   12"}), panel).outcome,
              PanelReader::Outcome::Invalid);
    EXPECT_EQ(panel.header.tipo, "A");
    EXPECT_EQ(panel.header.scolloDx, "12");
    // A set-up value that is not a number: read up to it.
    PanelModel setUp;
    EXPECT_EQ(readText(headerWithSetup("predisposizione x") + "liscio         , 1   , 1   ;\r\n", setUp).outcome,
              PanelReader::Outcome::Invalid);
    EXPECT_EQ(setUp.header.altezzaBordo, "6");
    EXPECT_EQ(setUp.header.predisposizione, "");
    EXPECT_TRUE(setUp.rows.empty());
    std::string noProgram = headerWithSetup("predisposizione 1");
    noProgram.replace(noProgram.find("Inizio"), 6, "Inicio");
    EXPECT_EQ(readText(noProgram, panel).outcome, PanelReader::Outcome::Invalid);
    EXPECT_EQ(panel.header.tipo, "GIROC");  // the header read so far stays

    // 500 rows fit; the 501st makes the panel invalid with 500 rows kept.
    std::string rows;
    for (int i = 0; i < PanelModel::kMaxRows; ++i)
        rows += "liscio         , 1   , 1   ;\r\n";
    PanelModel full;
    EXPECT_EQ(readText(headerWithSetup("predisposizione 1") + rows, full).outcome,
              PanelReader::Outcome::Read);
    EXPECT_EQ(full.rows.size(), 500u);
    PanelModel overfull;
    EXPECT_EQ(readText(headerWithSetup("predisposizione 1") + rows + "stop           , 1   , 1   ;\r\n",
                       overfull).outcome,
              PanelReader::Outcome::Invalid);
    EXPECT_EQ(overfull.rows.size(), 500u);
}

TEST(PanelFileTest, SampleArchivePanelsRoundTrip)
{
    int panels = 0;
    for (const auto &file : fs::directory_iterator(programDir() / "archivi" / "DEMO")) {
        if (!kn4::equalsIgnoringCase(file.path().extension().string(), ".kn4"))
            continue;
        ++panels;
        SCOPED_TRACE(file.path().filename().string());
        const std::string original = readFile(file.path());
        PanelModel first;
        const PanelReader::Result result = readText(original, first);
        ASSERT_EQ(result.outcome, PanelReader::Outcome::Read) << result.reason << result.fatalMessage;
        EXPECT_GT(first.rows.size(), 1u);

        const std::string written = PanelWriter::sourceText(first, paletteColourCodec());
        // A source panel written by the editor comes back byte for byte.
        if (original.rfind("SORGENTE.KN4", 0) == 0) {
            EXPECT_EQ(written, original);
        }
        PanelModel second;
        ASSERT_EQ(readText(written, second).outcome, PanelReader::Outcome::Read);
        EXPECT_EQ(second.header, first.header);
        EXPECT_EQ(second.colours, first.colours);
        EXPECT_EQ(second.rows, first.rows);
        EXPECT_EQ(PanelWriter::sourceText(second, paletteColourCodec()), written);
    }
    EXPECT_GE(panels, 1);
}

class CompiledPanelTest : public TempDirTest
{
};

TEST_F(CompiledPanelTest, CompiledPanelReadsAsItsSource)
{
    fs::copy_file(programDir() / "italiano" / "VUZUDO.KEY", m_dir / "VUZUDO.KEY");
    int compiled = 0;
    for (const auto &file : fs::directory_iterator(programDir() / "archivi" / "DEMO")) {
        if (!kn4::equalsIgnoringCase(file.path().extension().string(), ".kn4"))
            continue;
        SCOPED_TRACE(file.path().filename().string());
        const fs::path panelPath = m_dir / file.path().filename();
        PanelModel source;
        ASSERT_EQ(readText(readFile(file.path()), source).outcome, PanelReader::Outcome::Read);
        ASSERT_TRUE(PanelWriter::write(panelPath, source, paletteColourCodec()));

        const CommandLibrary::CompileResult result =
            library().Compilazione(panelPath.string(), m_dir.string() + "/");
        // What the editor writes for every sample panel compiles without errors.
        EXPECT_EQ(result.code, KN4_COMPILED) << kn4::cp1252ToUtf8(result.report);
        if (result.code != KN4_COMPILED && result.code != KN4_COMPILED_WARNINGS)
            continue;  // a panel with grave errors has no code to look past
        ++compiled;
        const std::string compiledText = readFile(panelPath);
        ASSERT_NE(compiledText.substr(0, 12), "SORGENTE.KN4");  // the code block comes first

        PanelModel read;
        ASSERT_EQ(readText(compiledText, read).outcome, PanelReader::Outcome::Read);
        EXPECT_EQ(read.header, source.header);
        EXPECT_EQ(read.colours, source.colours);
        EXPECT_EQ(read.rows, source.rows);
    }
    EXPECT_GE(compiled, 1);
}
