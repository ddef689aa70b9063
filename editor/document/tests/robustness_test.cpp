#include "documenttesting.h"

#include "document/commandline.h"
#include "document/commandlist.h"
#include "document/helptable.h"
#include "document/languagetable.h"
#include "document/panelreader.h"
#include "document/panelwriter.h"

#include <random>

using namespace kn4::editor;
using namespace kn4::editor::testing;

namespace {

// Texts stitched together from the pieces the readers look for, with stray
// bytes between them: every reader must take them without overrunning a
// table or reading past a line.
std::string randomText(std::mt19937 &random)
{
    static const std::vector<std::string> pieces = {
        "SORGENTE.KN4", "\r\n", "\r\n", "\r\n", "\r", "\n", "; --- Inizio programma ;", "Inizio programma",
        ";", ",", "-", "/", " ", "   ", "uscita", "predisposizione 2", "definizione", "liscio", "calato",
        "aumentazione", "rigato        2, 4   ,-1   ;", "LISCIO ;ALIAS: x", "DEFINIZIONE", "|", "|K V",
        "[TEMPORIZZAZIONI]", "Tempo_Esperto=", "C.S.", "ALIAS:", "12", "-99999999999", std::string(1, '\0'),
        "\xE0\xFF", "defin ALTRO LATO PROFILO", "FGHIJKLMN"};
    std::string text;
    const int count = int(random() % 60);
    for (int i = 0; i < count; ++i) {
        if (random() % 5 == 0)
            text += char(random() % 256);
        else
            text += pieces[random() % pieces.size()];
    }
    return text;
}

} // namespace

TEST(RobustnessTest, ReadersTakeAnyTextWithinTheirLimits)
{
    const CommandList::LoadResult keywords = CommandList::load(programDir() / "italiano", library());
    ASSERT_TRUE(keywords.list);
    const ColourCodec codec = paletteColourCodec();
    const PanelReader reader(*keywords.list, library(), codec, 320, true);
    std::mt19937 random(4711);
    for (int round = 0; round < 3000; ++round) {
        const std::string text = randomText(random);

        PanelModel panel;
        const PanelReader::Result read = reader.read(text, panel);
        ASSERT_LE(panel.rows.size(), std::size_t(PanelModel::kMaxRows));
        for (const std::string &row : panel.rows)
            ASSERT_EQ(row.size(), std::size_t(RowText::kLength));
        if (read.outcome == PanelReader::Outcome::Read) {
            PanelModel again;
            ASSERT_EQ(reader.read(PanelWriter::sourceText(panel, codec), again).outcome,
                      PanelReader::Outcome::Read);
        }

        HelpTable help;
        help.loadText(text);
        ASSERT_LE(help.count(), HelpTable::kMaxEntries);

        const CommandList::LoadResult list = CommandList::fromText(text, library());
        if (list.list) {
            ASSERT_LE(list.list->count(), CommandList::kMaxEntries);
            const std::string caption = ModificaLabel(text, LanguageTable::fromText(text), *list.list, true);
            ASSERT_EQ(caption.size(), text.size());
        }

        const CommandLine line = CommandLine::parse(text);
        ASSERT_FALSE(line.panelName.empty());
    }
}
