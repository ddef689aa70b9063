#pragma once

#include "document/commandlibrary.h"
#include "document/commandline.h"
#include "document/commandlist.h"
#include "document/helptable.h"
#include "document/languagetable.h"
#include "document/panelmodel.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kn4::editor {

// Everything the editor knows after starting: the command line, language
// and help texts, the command list checked against the library, and the
// opened panel (or a new one). Messages are UTF-8.
struct StartupResult
{
    // Set when the program must end after showing it (error icon): library
    // or keyword file missing, a command unknown to the library or to the
    // keyword file. The other members then hold what was read so far.
    std::string fatalMessage;
    bool ended() const { return !fatalMessage.empty(); }

    // Messages to show, in order (error icon), before the window opens:
    // the language file error, the invalid panel.
    std::vector<std::string> messages;

    CommandLine commandLine;
    LanguageTable language;  // loaded() false: keep the built-in captions
    std::optional<CommandList> commands;
    std::vector<CommandList::ListItem> listItems;  // the ListaComandi box

    PanelModel panel;
    std::string panelName;          // as on the command line; the window caption
    std::filesystem::path panelPath;  // where the panel is read and saved
    bool panelFromFile = false;     // the panel came from the file
    bool panelInvalid = false;      // the file was not a valid panel
    // The panel file is there but could not be read ("PATH: reason"); it
    // then counts as invalid and is kept before the first save.
    std::string panelReadError;
    // The file on disk is not what the editor shows: keep it with
    // PanelBackup::keepOriginal before the first save replaces it.
    bool backupBeforeSave = false;

    HelpTable help;
    bool helpMissing = false;  // help mode 2 and the default delays
    // The folder of the language, keyword and help files (the help file is
    // read again from here on request).
    std::filesystem::path languageFolder;
};

// The start-up of the editor, without its window: checks the library,
// reads the command line, the language file and the keyword file, opens
// the panel and loads the help file.
class EditorStartup
{
public:
    struct Input
    {
        std::string arguments;                   // the joined argument string
        std::filesystem::path workingDirectory;  // relative panel names start here
    };

    // library is nullptr when it could not be loaded; libraryError then is
    // the message that ends the program. A blank-row template with the marker
    // and the new-panel definition row come from the library's defaults.
    static StartupResult run(const Input &input, const CommandLibrary *library,
                             const std::string &libraryError, const ColourCodec &codec);

    // "Il file DAVANTI.KN4 non è un pannello valido." for the panel name as
    // the command line gives it (only its file name counts).
    static std::string invalidPanelMessage(const std::string &panelName);

    // The header a new panel starts with: set-up 1 and exit 1, the values
    // of an ordinary piece, so that it compiles as soon as its rib and
    // neckline are given, and the needle bed of the command line. The
    // other fields are the piece's own (type, size, widths, measures) and
    // start empty: a guessed width would compile into a wrong garment.
    static PanelHeader newPanelHeader(std::int32_t needles);

    // The definition row a new (or unreadable) panel starts with.
    static std::string newDefinitionRow(const CommandList &commands, const CommandLibrary &library,
                                        bool intervalMarkerDash);
};

} // namespace kn4::editor
