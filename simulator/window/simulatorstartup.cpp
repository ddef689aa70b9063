#include "simulatorstartup.h"

#include "labelslots.h"

#include "kn4/cp1252.h"

namespace kn4::simulator {

namespace {

const char kTitle[] = "Simulatore";
// The message of a missing simulatore.sav. Its Italian words hold a comma,
// which a column of the label file cannot: Italian keeps this text.
const char kDefaultSettingsMessage[] = "File di inizializzazione non trovato, assumo impostazioni di default";

// The texts of the slots a label file of an older version lacks, in the
// three columns of the shipped files (Italian, English, Spanish).
struct LaterSlot
{
    int slot;
    const char *texts[3];
};
const LaterSlot kLaterSlots[] = {
    {kLabelPartHasErrors, {"Questa parte contiene errori", "This part contains errors", "Esta pieza contiene errores"}},
    {kLabelStopChecking, {"Interrompi controllo", "Stop checking", "Detener el control"}},
    {kLabelStripeErrorList, {"Errori di rigato", "Stripe errors", "Errores de rayado"}},
    {kLabelStripeErrorListTip,
     {"Clic su un errore per mostrarne il rango", "Click an error to show its course",
      "Clic en un error para mostrar su pasada"}},
    {kLabelPrinting, {"Stampa in corso...", "Printing...", "Imprimiendo..."}},
    {kLabelRow, {"riga", "row", "fila"}},
    {kLabelOpenInEditor, {"Apri nell'editor", "Open in the editor", "Abrir en el editor"}},
    {kLabelOpenInEditorTip,
     {"Apre il pannello nell'editor su questa riga (attraverso il gestore degli archivi)",
      "Opens the panel in the editor at this row (through the archive manager)",
      "Abre el panel en el editor en esta fila (a trav\xE9s del gestor de archivos)"}},
    {kLabelManagerNotStarted,
     {"Il gestore degli archivi non si \xE8 potuto avviare:", "The archive manager could not be started:",
      "No se ha podido iniciar el gestor de archivos:"}},
    {kLabelDefaultSettings,
     {kDefaultSettingsMessage, "Settings file not found: the default settings are used",
      "No se encontr\xF3 el archivo de configuraci\xF3n: se usan los valores predeterminados"}},
    {kLabelIgnoredSettings,
     {"valori non validi ignorati (per essi si usano i valori di default):",
      "values not valid ignored (the default values are used for them):",
      "valores no v\xE1lidos ignorados (para ellos se usan los valores predeterminados):"}},
};

void fillLaterSlots(SimLabels &labels)
{
    const int column = labels.column() >= 0 && labels.column() <= 2 ? labels.column() : 0;
    for (const LaterSlot &later : kLaterSlots)
        if (labels.text(later.slot).empty())
            labels.setText(later.slot, later.texts[column]);
}

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
        std::error_code ec;
        if (!std::filesystem::is_regular_file(s.arguments.panelPath, ec))
            // Neither side of the first comma names what it should: the
            // panel's own path held a comma. Say which panel is missing.
            s.fatalMessage = "Impossibile aprire il pannello " + s.arguments.panelPath +
                             "\n(argomento ricevuto: \"" + std::string(commandLine) + "\")";
        else
            s.fatalMessage = "File " + s.arguments.settingsDir + SimLabels::kFileName +
                             " non trovato. Contattare l'assistenza tecnica.\n" + s.labels.reason();
        return s;
    }
    fillLaterSlots(s.labels);
    s.rows = CourseRows::load(s.arguments.panelPath, s.arguments.settingsDir);

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
        s.messages.push_back(std::string(SimSettingsFile::kFileName) + ": " +
                             cp1252ToUtf8(s.labels.text(kLabelIgnoredSettings)) + " " + ignored);
        break;
    }
    case SimSettingsFile::Status::Missing:
    case SimSettingsFile::Status::Unreadable:
        s.messages.push_back((s.labels.column() == 0 ? std::string(kDefaultSettingsMessage)
                                                     : cp1252ToUtf8(s.labels.text(kLabelDefaultSettings))) +
                             "\n" + s.settings.reason);
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
    case PanelHead::Error::NoCode:
        // Compiled with grave errors: the manager flags it with the same words.
        s.fatalTitle = "ERR...";
        s.fatalMessage = cp1252ToUtf8(s.labels.text(kLabelPartHasErrors)) + "\n" + path;
        break;
    }
    return s;
}

} // namespace kn4::simulator
