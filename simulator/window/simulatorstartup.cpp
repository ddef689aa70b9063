#include "simulatorstartup.h"

#include "labelslots.h"

#include "kn4/cp1252.h"

namespace kn4::simulator {

namespace {

const char kTitle[] = "Simulatore";

} // namespace

SimulatorStartup SimulatorStartup::run(std::string_view commandLine, const std::filesystem::path &workingDirectory)
{
    SimulatorStartup s;
    s.arguments = SimArguments::parse(commandLine);
    if (!s.arguments.ok()) {
        // Without the comma there is no language folder, so no label table:
        // the text is the program's own.
        s.fatalTitle = kTitle;
        s.fatalMessage = "Il simulatore va avviato con  PANNELLO,CARTELLA DELLA LINGUA\n"
                         "(per esempio  archivi/DEMO/DAVANTI.KN4,/opt/kn4/italiano/ ).\n"
                         "Argomento ricevuto: \"" + std::string(commandLine) + "\"";
        return s;
    }

    s.labels = SimLabels::load(s.arguments.settingsDir);
    if (!s.labels.loaded()) {
        s.fatalTitle = kTitle;
        s.fatalMessage = "File " + s.arguments.settingsDir + SimLabels::kFileName +
                         " non trovato. Contattare l'assistenza tecnica.\n" + s.labels.reason();
        return s;
    }

    s.settingsPath = workingDirectory / SimSettingsFile::kFileName;
    s.settings = SimSettingsFile::load(s.settingsPath);
    switch (s.settings.status) {
    case SimSettingsFile::Status::Loaded:
        break;
    case SimSettingsFile::Status::Partial: {
        // Only the values named fall back; the rest of the file stands and
        // is written back as it was when the window closes.
        std::string ignored;
        for (const std::string &value : s.settings.ignored)
            ignored += (ignored.empty() ? "" : ", ") + value;
        s.messages.push_back("File di inizializzazione " + std::string(SimSettingsFile::kFileName)
                             + ": valori non validi ignorati, assumo per essi i valori di default: " + ignored);
        break;
    }
    case SimSettingsFile::Status::Missing:
    case SimSettingsFile::Status::Unreadable:
        s.messages.push_back("File di inizializzazione non trovato, assumo impostazioni di default\n"
                             + s.settings.reason);
        break;
    }

    s.head = PanelHead::load(s.arguments.panelPath);
    // Paths are the file system's own (UTF-8) text; only file contents are Windows-1252.
    const std::string &path = s.arguments.panelPath;
    switch (s.head.error()) {
    case PanelHead::Error::None:
        break;
    case PanelHead::Error::CannotOpen:
        s.fatalTitle = "ERR...";
        s.fatalMessage = cp1252ToUtf8(s.labels.text(kLabelPanelNotOpened)) + "\n" + path + "\n" + s.head.readError();
        break;
    case PanelHead::Error::NoSeparator:
    case PanelHead::Error::NoMarker:
        s.fatalTitle = "ERR...";
        s.fatalMessage = cp1252ToUtf8(s.labels.text(kLabelNotCompiled)) + "\n" + path;
        break;
    }
    return s;
}

} // namespace kn4::simulator
