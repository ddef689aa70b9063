// Arbitrary bytes as each of the editor's other text inputs in turn: the
// keyword file VUZUDO.KEY checked against the real library, the help file
// Kn4Edit.123 with its [TEMPORIZZAZIONI] section, the language file
// kn4edit.ini and the argument string the manager starts the editor with.
// Every reader takes the whole input, so a saved input is a file as it
// would lie in the language folder. A keyword list that reads is then used
// as the editor uses it: for the command list box, for the row captions
// with the language texts of the same input, and to read a panel.
#include "editorfuzzing.h"

#include "document/commandline.h"
#include "document/helptable.h"
#include "document/panelreader.h"
#include "document/rowtext.h"

#include <cstdint>
#include <string_view>

using namespace kn4::editor;
using kn4::editor::fuzzing::require;

// Loads the library before the first input, so libFuzzer counts its
// coverage from the start.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzing::italianCommands();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);

    HelpTable help;
    help.loadText(text);
    require(help.count() <= HelpTable::kMaxEntries, "more help entries than the table holds");
    for (const HelpEntry &entry : help.entries())
        require(help.find(entry.key) != nullptr, "a help entry cannot be found by its key");

    const LanguageTable language = LanguageTable::fromText(text);
    require(language.lineCount() <= LanguageTable::kMaxLines, "more language lines than the table holds");

    const CommandLine line = CommandLine::parse(text);
    require(!line.panelName.empty(), "a command line without a panel name");

    const CommandList::LoadResult keywords = CommandList::fromText(text, fuzzing::library());
    require(keywords.list.has_value() != !keywords.fatalMessage.empty(),
            "a keyword file neither read nor refused");
    if (!keywords.list)
        return 0;
    const CommandList &commands = *keywords.list;
    require(commands.count() <= CommandList::kMaxEntries, "more keyword entries than the list holds");
    for (const CommandList::ListItem &item : commands.listItems())
        require(item.entryIndex >= 0 && item.entryIndex < commands.count(),
                "a list box item names no entry");

    const std::string caption = ModificaLabel(std::string(text), language, commands, true);
    require(caption.size() == text.size(), "a row caption changed its length");

    const PanelReader reader(commands, fuzzing::library(), paletteColourCodec(), line.needles,
                             line.intervalMarkerDash());
    PanelModel panel;
    reader.read(text, panel);
    require(panel.rows.size() <= std::size_t(PanelModel::kMaxRows), "more rows than the store holds");
    for (const std::string &row : panel.rows)
        require(row.size() == std::size_t(RowText::kLength), "a row text of the wrong length");
    return 0;
}
