#include "core/managerstartup.h"

#include "core/panelfiles.h"

#include "kn4/number.h"

#include <algorithm>

namespace kn4::manager {

std::string ManagerFiles::load(const std::filesystem::path &programDirectory)
{
    if (!ManagerSettings::load(programDirectory / ManagerSettings::kFileName, settings))
        return "File kn4manager.ini non trovato o no valido ";
    if (!texts.load(programDirectory / ManagerTexts::kFileName))
        return "File scelta (lingua.ini)  non trovato ";
    saved = SavedState::load(programDirectory / kStateFileName);
    mode = saved.mode;
    return {};
}

StartArguments StartArguments::parse(const std::vector<std::string> &arguments)
{
    StartArguments result;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        if (argument == "--row" || argument.starts_with("--row=")) {
            const std::string number = argument == "--row" ? (i + 1 < arguments.size() ? arguments[++i] : "")
                                                           : argument.substr(6);
            result.row = std::max(0, leadingInteger(number));
            continue;
        }
        if (argument.empty())
            continue;
        const std::filesystem::path path(argument);
        std::error_code ec;
        const bool isPanel = std::filesystem::is_regular_file(path, ec) || upperCase(path.extension().string()) == ".KN4";
        std::filesystem::path &slot = isPanel ? result.panel : result.programDirectory;
        if (slot.empty())
            slot = path;
    }
    return result;
}

} // namespace kn4::manager
