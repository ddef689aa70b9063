#pragma once

#include "core/managersettings.h"
#include "core/managertexts.h"

#include <filesystem>
#include <string>
#include <vector>

namespace kn4::manager {

// What the manager reads when it starts, from its program directory:
// kn4manager.ini, lingua.ini and kn4manager.sav.
struct ManagerFiles
{
    ManagerSettings settings;
    ManagerTexts texts;
    int mode = 0;
    // The last archive, disk and window place of the previous session.
    SavedState saved;

    static constexpr const char *kStateFileName = "kn4manager.sav";

    // Reads the three files. Without the settings or the language file the
    // manager cannot start: the result is then the message naming the
    // file (empty when everything was read). A missing state file only
    // means the mode was never saved: mode 0, no message.
    std::string load(const std::filesystem::path &programDirectory);
};

// The manager's command line: kn4manager [PROGRAM_DIRECTORY] [PANEL], or
// kn4manager PANEL. An argument naming a panel (an existing file, or a name
// ending in .kn4 in any letter case) is the panel to show; the first other
// one is the program directory. Further arguments are ignored. With
// "--row N" (or "--row=N") the panel is edited at once, the editor opening
// at row N.
struct StartArguments
{
    std::filesystem::path programDirectory;  // empty: the default one
    std::filesystem::path panel;             // empty: none was given
    int row = 0;                             // above 0: edit the panel at this row

    static StartArguments parse(const std::vector<std::string> &arguments);
};

} // namespace kn4::manager
