#include "simtoolarguments.h"

namespace kn4 {

SimToolArguments SimToolArguments::parse(const std::vector<std::string> &args)
{
    SimToolArguments result;
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (!options || arg.empty() || arg[0] != '-' || arg == "-") {
            result.panels.push_back(arg);
            continue;
        }
        if (arg == "--") {
            options = false;
        } else if (arg == "-h" || arg == "--help") {
            result.help = true;
        } else if (arg == "--json") {
            result.json = true;
        } else if (arg == "--rows") {
            result.rows = true;
        } else if (arg == "--settings" || arg == "--png") {
            if (i + 1 >= args.size()) {
                result.error = arg + " needs a file name";
                return result;
            }
            (arg == "--png" ? result.pngPath : result.settingsFile) = args[++i];
        } else if (arg.rfind("--settings=", 0) == 0) {
            result.settingsFile = arg.substr(11);
        } else if (arg.rfind("--png=", 0) == 0) {
            result.pngPath = arg.substr(6);
        } else {
            result.error = "unknown option " + arg;
            return result;
        }
    }
    if (result.help)
        return result;
    if (result.panels.empty())
        result.error = "no panel given";
    else if (!result.pngPath.empty() && result.panels.size() > 1)
        result.error = "--png draws one panel, " + std::to_string(result.panels.size()) + " given";
    return result;
}

} // namespace kn4
