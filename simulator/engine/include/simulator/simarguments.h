#pragma once

#include <string>
#include <string_view>

namespace kn4 {

// The one argument string simulatore (and the print program) is started
// with: "PANEL,DIRECTORY". Every double quote is removed first; the text
// before the first comma is the panel path, the text after it a directory
// prefix put as it stands in front of the label file name (so it ends with
// a path separator, as the manager writes it).
struct SimArguments
{
    std::string panelPath;
    std::string settingsDir;
    // Empty when the string was understood; otherwise what is wrong with it
    // (no comma, no panel path), for a message box.
    std::string error;

    bool ok() const { return error.empty(); }

    static SimArguments parse(std::string_view commandLine);
};

} // namespace kn4
