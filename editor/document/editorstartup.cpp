#include "editorstartup.h"

#include "document/panelbackup.h"
#include "document/panelreader.h"
#include "document/rowtext.h"
#include "kn4/filelookup.h"
#include "kn4/filereader.h"
#include "kn4/number.h"


namespace kn4::editor {

namespace {

std::filesystem::path resolvePanel(const std::filesystem::path &workingDirectory,
                                   const std::string &panelName)
{
    std::filesystem::path path(panelName);
    if (path.is_relative())
        path = workingDirectory / path;
    std::error_code ec;
    if (std::filesystem::exists(path, ec))
        return path;
    // Panels travel as DAVANTI.KN4 or davanti.kn4: find either.
    if (auto found = findFileIgnoringCase(path.parent_path(), path.filename().string()))
        return *found;
    return path;
}

std::filesystem::path folderPath(const std::string &folder,
                                 const std::filesystem::path &workingDirectory)
{
    if (folder.empty())
        return workingDirectory;
    std::filesystem::path path(folder);
    return path.is_relative() ? workingDirectory / path : path;
}

} // namespace

std::string EditorStartup::invalidPanelMessage(const std::string &panelName)
{
    const std::string stem = std::filesystem::path(panelName).stem().string();
    return "Il file " + toUpperAscii(stem) + ".KN4 non è un pannello valido.";
}

std::string EditorStartup::newDefinitionRow(const CommandList &commands,
                                            const CommandLibrary &library, bool intervalMarkerDash)
{
    const CommandEntry &definition = commands.entry(RowText::kDefinitionEntry);
    return RowText::buildNew(definition.displayName, definition.functionCode,
                             RowText::kDefinitionEntry,
                             library.GetPosizioneParametri(definition.functionCode),
                             library.GetDefault(definition.functionCode), intervalMarkerDash);
}

PanelHeader EditorStartup::newPanelHeader(std::int32_t needles)
{
    PanelHeader header;
    header.frontura = std::to_string(needles);
    header.predisposizione = "1";
    header.uscita = "1";
    return header;
}

StartupResult EditorStartup::run(const Input &input, const CommandLibrary *library,
                                 const std::string &libraryError, const ColourCodec &codec)
{
    StartupResult result;
    if (library == nullptr) {
        result.fatalMessage = libraryError;
        return result;
    }

    result.commandLine = CommandLine::parse(input.arguments);
    const CommandLine &line = result.commandLine;
    result.panelName = line.panelName;
    const std::filesystem::path folder = folderPath(line.folder, input.workingDirectory);
    result.languageFolder = folder;
    if (line.given) {
        result.language = LanguageTable::CaricoLingua(folder);
        if (!result.language.loaded())
            result.messages.push_back(std::string(LanguageTable::kErrorMessage)
                                      + (result.language.reason().empty() ? "" : "\n" + result.language.reason()));
    }

    CommandList::LoadResult keywords = CommandList::load(folder, *library);
    if (!keywords.list || keywords.list->count() == 0) {
        // A keyword file without a single line offers no command at all.
        result.fatalMessage = keywords.fatalMessage.empty() ? CommandList::missingFileMessage()
                                                            : keywords.fatalMessage;
        return result;
    }
    result.commands = std::move(keywords.list);
    const CommandList &commands = *result.commands;
    result.listItems = commands.listItems();

    result.panelPath = resolvePanel(input.workingDirectory, line.panelName);
    bool needsNewPanel = true;
    std::error_code ec;
    // Whatever stands at the panel's path is read: a folder or a FIFO is a
    // panel that cannot be read, never a new one that a save would put in
    // its place.
    if (std::filesystem::exists(result.panelPath, ec)) {
        const FileContent file = FileReader::read(result.panelPath, FileReader::kPanelLimit);
        const PanelReader reader(commands, *library, codec, line.needles, line.intervalMarkerDash());
        PanelReader::Result read = reader.read(file.bytes, result.panel);
        // A panel that exists but cannot be read is not a new panel: saving
        // over it unannounced would lose it.
        if (!file) {
            read.outcome = PanelReader::Outcome::Invalid;
            result.panelReadError = file.message(result.panelPath);
        }
        switch (read.outcome) {
        case PanelReader::Outcome::NoSource:
            break;
        case PanelReader::Outcome::UnknownCommand:
            result.fatalMessage = read.fatalMessage;
            return result;
        case PanelReader::Outcome::Invalid:
            result.panelInvalid = true;
            result.backupBeforeSave = true;
            result.messages.push_back(
                invalidPanelMessage(line.panelName) + (file ? "" : "\n" + file.message(result.panelPath)) +
                "\nAl primo salvataggio il file originale sarà conservato come " +
                PanelBackup::backupPathFor(result.panelPath).filename().string() + ".");
            break;
        case PanelReader::Outcome::Read:
            result.panelFromFile = true;
            needsNewPanel = false;
            break;
        }
    }
    if (needsNewPanel) {
        // What a new panel gets: one definition row (when the row store has
        // room after an unreadable file's rows) and the command line's needles;
        // a panel read as invalid keeps the header fields it gave.
        if (!result.panelInvalid)
            result.panel.header = newPanelHeader(line.needles);
        if (result.panel.rows.size() < std::size_t(PanelModel::kMaxRows))
            result.panel.rows.push_back(
                newDefinitionRow(commands, *library, line.intervalMarkerDash()));
        result.panel.header.frontura = std::to_string(line.needles);
    }
    result.panel.header.ingombroPettini = std::to_string(line.combWidth);
    result.panel.predisposizioneValue = std::int16_t(
        std::clamp<std::int32_t>(leadingInteger(result.panel.header.predisposizione), -32768, 32767));

    result.helpMissing = result.help.load(folder) != 0;
    return result;
}

} // namespace kn4::editor
