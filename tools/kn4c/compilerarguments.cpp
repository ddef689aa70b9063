#include "compilerarguments.h"

namespace kn4 {

CompilerArguments CompilerArguments::parse(const std::vector<std::string> &args)
{
    CompilerArguments result;
    bool keywordsGiven = false;
    bool optionsEnded = false;

    auto setKeywordDir = [&](const std::string &dir) {
        if (keywordsGiven) {
            result.error = "--keywords given more than once";
            return;
        }
        if (dir.empty()) {
            result.error = "--keywords needs a folder";
            return;
        }
        keywordsGiven = true;
        result.keywordDir = dir;
    };

    for (std::size_t i = 0; i < args.size() && result.error.empty(); ++i) {
        const std::string &arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            result.panels.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            result.help = true;
        } else if (arg == "--check") {
            result.check = true;
        } else if (arg == "--keywords") {
            if (i + 1 >= args.size())
                result.error = "--keywords needs a folder";
            else
                setKeywordDir(args[++i]);
        } else if (arg.rfind("--keywords=", 0) == 0) {
            setKeywordDir(arg.substr(11));
        } else {
            result.error = "unknown option " + arg;
        }
    }
    if (result.error.empty() && !result.help && result.panels.empty())
        result.error = "no panel given";
    return result;
}

} // namespace kn4
