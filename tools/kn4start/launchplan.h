#pragma once

#include "kn4/userdirectory.h"

#include <filesystem>
#include <string>

namespace kn4 {

// How kn4start starts one program of the suite, as the manager would: in
// the program directory, with the one argument string the program reads
// (panel, a comma, the language folder; the editor's parameter string
// after it), the language and the editor's parameters taken from the
// manager's settings file kn4manager.ini.
struct LaunchPlan
{
    std::filesystem::path executable;
    std::string argument;  // empty: the program is started without one
    std::filesystem::path workingDirectory;
    std::string note;   // why the plan differs from what was asked
    std::string error;  // the program cannot be started
};

class Launcher
{
public:
    static constexpr const char *kEditor = "Kn4Edit2";
    static constexpr const char *kSimulator = "simulatore";
    static constexpr const char *kPrint = "stampa";
    static constexpr const char *kManager = "kn4manager";
    static constexpr const char *kNewPanel = "NUOVO.KN4";

    // The language folder of kn4manager.ini's line 12 (0 italiano,
    // 1 inglese, 2 spagnolo; anything else or no file: italiano) and the
    // editor's parameter string of its line 1.
    static std::string languageFolder(const std::string &managerSettings);
    static std::string editorParameters(const std::string &managerSettings);

    // program: one of the four names above; panel: empty when none was given.
    // The manager is given the program directory.
    static LaunchPlan plan(const ProgramLocations &locations, const std::string &program,
                           const std::filesystem::path &panel);
};

} // namespace kn4
