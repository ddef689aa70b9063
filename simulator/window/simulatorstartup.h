#pragma once

#include "simulator/courserows.h"
#include "simulator/panelhead.h"
#include "simulator/simarguments.h"
#include "simulator/simlabels.h"
#include "simulator/simsettings.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kn4::simulator {

// Everything the simulator reads before its window shows: the argument
// string, the label table, the settings and the head of the panel. A
// condition that makes the panel impossible to show ends the start-up with
// a message (UTF-8) and nothing is opened; a missing settings file only
// brings a message and the defaults.
struct SimulatorStartup
{
    SimArguments arguments;
    SimLabels labels;
    SimSettingsFile::Result settings;
    PanelHead head;
    CourseRows rows;  // the source row of each course
    std::filesystem::path settingsPath;  // simulatore.sav in the working folder

    std::string fatalTitle;
    std::string fatalMessage;              // non-empty: the program ends after showing it
    std::vector<std::string> messages;     // shown, then start-up goes on

    bool ended() const { return !fatalMessage.empty(); }

    static SimulatorStartup run(std::string_view commandLine, const std::filesystem::path &workingDirectory);
};

} // namespace kn4::simulator
