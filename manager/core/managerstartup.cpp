#include "core/managerstartup.h"

namespace kn4::manager {

std::string ManagerFiles::load(const std::filesystem::path &programDirectory)
{
    if (!ManagerSettings::load(programDirectory / ManagerSettings::kFileName, settings))
        return "File kn4manager.ini non trovato o no valido ";
    if (!texts.load(programDirectory / ManagerTexts::kFileName))
        return "File scelta (lingua.ini)  non trovato ";
    mode = loadSavedMode(programDirectory / kStateFileName);
    return {};
}

} // namespace kn4::manager
