#include "core/launchcommand.h"

namespace kn4::manager {

std::string programFileName(Program program)
{
    switch (program) {
    case Program::Simulator: return "simulatore";
    case Program::Print: return "stampa";
    case Program::Editor: break;
    }
    return "Kn4Edit2";
}

std::string languageFolderPath(const std::filesystem::path &programDirectory, Language language)
{
    std::string directory = programDirectory.string();
    if (directory.empty() || directory.back() != '/')
        directory += '/';
    return directory + languageFolderName(language) + "/";
}

bool panelPathFitsArgument(const std::filesystem::path &panel)
{
    return panel.string().find(',') == std::string::npos;
}

std::string launchArgument(Program program, const std::filesystem::path &panel,
                           const std::filesystem::path &programDirectory, const ManagerSettings &settings)
{
    std::string argument = panel.string() + "," + languageFolderPath(programDirectory, settings.language);
    if (program == Program::Editor)
        argument += settings.editorParameters;
    return argument;
}

} // namespace kn4::manager
