#pragma once

#include "core/managersettings.h"

#include <filesystem>
#include <string>

namespace kn4::manager {

// The programs the manager starts on a panel, all from its own program
// directory.
enum class Program { Editor, Simulator, Print };

// The program file's name in the program directory.
std::string programFileName(Program program);

// The one argument a program is started with: the panel's full path, a
// comma, the program directory and the language folder (ending in "/", as
// the programs join file names to it directly); the editor's parameter
// string follows for the editor only.
std::string launchArgument(Program program, const std::filesystem::path &panel,
                           const std::filesystem::path &programDirectory,
                           const ManagerSettings &settings);

// False when a panel's path holds a comma: the programs split their one
// argument at its first comma, so they would look for a panel that does not
// exist and for their files in a folder made of the rest.
bool panelPathFitsArgument(const std::filesystem::path &panel);

// The language folder as the programs receive it: program directory,
// folder name, "/".
std::string languageFolderPath(const std::filesystem::path &programDirectory, Language language);

} // namespace kn4::manager
