#include "panelbackup.h"

#include "kn4/atomicfile.h"
#include "kn4/filereader.h"

namespace kn4::editor {

std::filesystem::path PanelBackup::backupPathFor(const std::filesystem::path &panel)
{
    std::error_code ec;
    for (int n = 1;; ++n) {
        std::filesystem::path candidate = panel;
        candidate += n == 1 ? std::string(".bak") : ".bak" + std::to_string(n);
        if (!std::filesystem::exists(candidate, ec))
            return candidate;
    }
}

PanelBackup::Result PanelBackup::keepOriginal(const std::filesystem::path &panel)
{
    Result result;
    std::error_code ec;
    if (!std::filesystem::exists(panel, ec)) {
        result.kept = true;
        return result;
    }
    const std::string name = panel.filename().string();
    const FileContent file = FileReader::read(panel, FileReader::kPanelLimit);
    if (!file) {
        result.message = "Impossibile leggere il file " + name +
                         " per conservarne una copia (" + file.reason + "): il pannello non è stato salvato.";
        return result;
    }
    const std::string &content = file.bytes;
    result.backupPath = backupPathFor(panel);
    std::string error;
    if (!writeFileAtomically(result.backupPath, content, &error)) {
        result.message = "Impossibile conservare una copia del file " + name +
                         ": il pannello non è stato salvato.";
        return result;
    }
    result.kept = true;
    result.message = "Il file originale " + name + " è stato conservato come " +
                     result.backupPath.filename().string() + ".";
    return result;
}

} // namespace kn4::editor
