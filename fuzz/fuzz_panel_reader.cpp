// Arbitrary bytes as a panel file opened by the editor: the source part
// after "SORGENTE.KN4" read into the panel model (header columns, colour
// codes, rows converted against the Italian keyword list and the real
// library), the row captions the window shows, and the save of a panel that
// read: it must read back with its sides, its colours and every row.
#include "editorfuzzing.h"

#include "document/panelreader.h"
#include "document/panelwriter.h"
#include "document/rowtext.h"

#include <cstdint>
#include <string_view>
#include <vector>

using namespace kn4::editor;
using kn4::editor::fuzzing::require;

namespace {

// The lines of a saved panel from the program marker line on: the writer
// puts them after the marker line "SORGENTE.KN4", seven header lines and
// three note lines.
std::vector<std::string_view> programLines(std::string_view saved)
{
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    for (int line = 0; pos < saved.size(); ++line) {
        const std::size_t end = saved.find("\r\n", pos);
        if (end == std::string_view::npos)
            break;
        if (line >= 11)
            lines.push_back(saved.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

} // namespace

// Loads the library before the first input, so libFuzzer counts its
// coverage from the start.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzing::italianCommands();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const CommandList &commands = fuzzing::italianCommands();
    const ColourCodec &codec = paletteColourCodec();
    // The manager's defaults: 320 needles, marker mode 1.
    static const PanelReader reader(commands, fuzzing::library(), codec, 320, false);

    const std::string_view text(reinterpret_cast<const char *>(data), size);
    PanelModel panel;
    const PanelReader::Result read = reader.read(text, panel);

    require(panel.rows.size() <= std::size_t(PanelModel::kMaxRows), "more rows than the store holds");
    for (const std::string &row : panel.rows) {
        require(row.size() == std::size_t(RowText::kLength), "a row text of the wrong length");
        const std::string caption =
            ModificaLabel(row, fuzzing::italianLanguage(), commands, panel.isTwoSided());
        require(caption.size() == row.size(), "a row caption changed its length");
    }
    if (read.outcome == PanelReader::Outcome::UnknownCommand)
        require(!read.fatalMessage.empty(), "an unknown command without its message");
    if (read.outcome != PanelReader::Outcome::Read)
        return 0;

    const std::string saved = PanelWriter::sourceText(panel, codec);
    PanelModel reopened;
    require(reader.read(saved, reopened).outcome == PanelReader::Outcome::Read,
            "a saved panel does not read back");
    require(reopened.rows.size() == panel.rows.size(), "a saved panel lost rows");
    require(reopened.isTwoSided() == panel.isTwoSided(), "a saved panel changed its sides");
    // Header values may settle over several saves (blanks and "-" around a
    // value come off a step at a time), and a definition row's kind is
    // classified again from its saved line, which is padded with blanks (a
    // short line's blank kind reads back as ALTRO). Every other line of the
    // program part - the colour codes and each command row - must come back
    // byte for byte.
    const std::string resaved = PanelWriter::sourceText(reopened, codec);
    const std::vector<std::string_view> before = programLines(saved);
    const std::vector<std::string_view> after = programLines(resaved);
    require(before.size() == panel.rows.size() + 1 && after.size() == before.size(),
            "a saved panel has another number of program lines");
    require(after[0] == before[0], "a saved panel reads back with other colours");
    for (std::size_t i = 0; i < panel.rows.size(); ++i) {
        const int entry = RowText::entryIndex(panel.rows[i]);
        require(RowText::entryIndex(reopened.rows[i]) == entry, "a saved row reads back as another command");
        if (entry != RowText::kDefinitionEntry)
            require(after[i + 1] == before[i + 1], "a saved row reads back changed");
    }
    return 0;
}
