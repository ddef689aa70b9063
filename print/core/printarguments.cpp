#include "printarguments.h"

#include "kn4/filelookup.h"

namespace kn4 {

PrintArguments PrintArguments::parse(std::string_view argumentString)
{
    PrintArguments args;
    const std::size_t comma = argumentString.find(',');
    if (comma == std::string_view::npos || comma >= kMaxCommaPosition) {
        args.error = "the argument string must be PANEL,DIR/ with the comma within the first 255 characters";
        return args;
    }
    args.panelPath = std::string(argumentString.substr(0, comma));
    args.prefix = std::string(argumentString.substr(comma + 1));
    if (args.panelPath.empty())
        args.error = "no panel named before the comma";
    return args;
}

std::filesystem::path PrintArguments::languageFile(std::string_view name) const
{
    // The prefix is usually a folder with its "/", but it is a prefix: a
    // prefix without "/" puts its last part in front of the file name.
    const std::filesystem::path written(prefix + std::string(name));
    std::filesystem::path dir = written.parent_path();
    if (dir.empty())
        dir = ".";
    if (auto found = findFileIgnoringCase(dir, written.filename().string()))
        return *found;
    return written;
}

} // namespace kn4
