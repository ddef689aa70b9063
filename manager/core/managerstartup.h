#pragma once

#include "core/managersettings.h"
#include "core/managertexts.h"

#include <filesystem>
#include <string>

namespace kn4::manager {

// What the manager reads when it starts, from its program directory:
// kn4manager.ini, lingua.ini and kn4manager.sav.
struct ManagerFiles
{
    ManagerSettings settings;
    ManagerTexts texts;
    int mode = 0;

    static constexpr const char *kStateFileName = "kn4manager.sav";

    // Reads the three files. Without the settings or the language file the
    // manager cannot start: the result is then the message naming the
    // file (empty when everything was read). A missing state file only
    // means the mode was never saved: mode 0, no message.
    std::string load(const std::filesystem::path &programDirectory);
};

} // namespace kn4::manager
