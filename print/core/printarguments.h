#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kn4 {

// The argument string of the print program, as the manager builds it: the
// panel path, a comma, and the prefix of the language folder where the
// label file stampa.ini and the keyword file VUZUDO.KEY lie ("DIR/").
struct PrintArguments
{
    // The comma must stand within the first kMaxCommaPosition characters.
    static constexpr std::size_t kMaxCommaPosition = 255;

    std::string panelPath;
    std::string prefix;
    std::string error; // empty when the string splits

    static PrintArguments parse(std::string_view argumentString);

    // prefix + name, found in its folder ignoring letter case; the path as
    // written when no such file exists.
    std::filesystem::path languageFile(std::string_view name) const;
};

} // namespace kn4
