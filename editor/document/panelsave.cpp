#include "panelsave.h"

#include "document/panelbackup.h"
#include "document/panelwriter.h"

namespace kn4::editor {

std::string PanelSave::keptReport(std::string report)
{
    const std::size_t nul = report.find('\0');
    if (nul != std::string::npos)
        report.resize(nul);
    if (report.size() > kMaxReport)
        report.resize(kMaxReport);
    return report;
}

PanelSave::Outcome PanelSave::save(const PanelModel &panel, const ColourCodec &codec,
                                   const std::filesystem::path &panelPath,
                                   const std::filesystem::path &folder, std::int16_t carriageCheck,
                                   bool &backupBeforeSave)
{
    Outcome outcome;
    outcome.compileResult = m_result;
    const std::string name = panelPath.filename().string();

    if (backupBeforeSave) {
        const PanelBackup::Result backup = PanelBackup::keepOriginal(panelPath);
        if (!backup.kept) {
            // Writing now would replace the only copy of a file the editor
            // could not read whole; the flag stays so the next save tries
            // again.
            outcome.errorMessage = backup.message;
            return outcome;
        }
        backupBeforeSave = false;
        outcome.backupMessage = backup.message;
    }

    std::string detail;
    if (!PanelWriter::write(panelPath, panel, codec, &detail)) {
        outcome.errorMessage = "Il pannello " + name +
                               " non è stato salvato: impossibile scrivere il file (disco pieno o "
                               "errore di scrittura). Il file sul disco è rimasto com'era.";
        if (!detail.empty())
            outcome.errorMessage += "\n\n" + detail;
        return outcome;
    }
    outcome.written = true;

    if (carriageCheck == NoWarning) {
        // The same file that was just written, whatever the working
        // directory of the process is now.
        CommandLibrary::CompileResult compiled =
            m_library.Compilazione(panelPath.string(), folder.string());
        m_result = compiled.code;
        m_report = keptReport(std::move(compiled.report));
        outcome.compiled = true;
    } else if (m_result != KN4_GRAVE_ERRORS && carriageCheck < 0) {
        m_result = carriageCheck;
    }

    outcome.compileResult = m_result;
    outcome.showSavedHint = m_result == KN4_COMPILED;
    return outcome;
}

} // namespace kn4::editor
