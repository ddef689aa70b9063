#include "simulator/simarguments.h"

namespace kn4 {

SimArguments SimArguments::parse(std::string_view commandLine)
{
    std::string text;
    text.reserve(commandLine.size());
    for (const char c : commandLine)
        if (c != '"')
            text += c;

    SimArguments args;
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) {
        args.panelPath = text;
        args.error = "the argument string has no comma: expected PANEL,DIRECTORY";
        return args;
    }
    args.panelPath = text.substr(0, comma);
    args.settingsDir = text.substr(comma + 1);
    if (args.panelPath.empty())
        args.error = "the argument string names no panel before its comma";
    return args;
}

} // namespace kn4
