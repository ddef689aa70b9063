#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kn4::editor {

// What the archive manager tells the editor when it starts it: the panel
// file, the language folder and five numbers of the machine. The argument
// string is
//     panel "," folder ["/" needles "/" marker mode "/" comb width
//                       "/" set-up options "/" comb width editable]
// for example
//     /home/user/kn4/archivi/DEMO/DAVANTI.KN4,/home/user/kn4/italiano//320/1/30/3/1
// Paths hold "/" themselves, so the numbers are the trailing run of at most
// five "/"-separated fields that are made of digits (an optional sign
// first); the leftmost of the run is the needles, the others follow in the
// order above, and the missing ones keep their defaults. Everything before
// the run is the head: panel name, ",", folder.
struct CommandLine
{
    static constexpr const char *kNewPanelName = "NUOVO";
    static constexpr int kMaxNumbers = 5;

    std::string panelName = kNewPanelName;  // as given, relative to the working directory
    std::string folder;                     // language folder, with its trailing "/"
    std::int32_t needles = 320;             // needle count when the panel gives none
    std::int32_t intervalMarkerMode = 1;    // 1: blank at column 16, else "-"
    std::int16_t combWidth = 30;            // always shown as the comb width
    std::int16_t setupOptions = 3;          // bits 1 and 2: sides the machine sets up itself
    std::int16_t combWidthEditable = 0;     // 1: the comb width field can be edited
    bool given = false;                     // a non-empty argument string was given

    // Rows carry "-" at column 16 unless the marker mode is 1.
    bool intervalMarkerDash() const { return intervalMarkerMode != 1; }
    bool combWidthIsEditable() const { return combWidthEditable == 1; }

    // Reads an argument string. Any text is accepted: what cannot be read
    // keeps its default, numbers beyond a 16-bit value are held at its edge.
    static CommandLine parse(std::string_view arguments);
    // Joins the program's arguments (without the program name) with single
    // blanks, as they are written on the manager's command line, and parses
    // them.
    static CommandLine fromArguments(const std::vector<std::string> &arguments);

    // The editor's own option beside the manager's argument string:
    // "--row N" (or "--row=N") opens the panel with the row of the
    // compiler's line number N selected (the number the compile report and
    // the simulator show). Takes the option out of the arguments; nothing
    // when it is not there or N is not a number above 0 (the option is
    // taken out all the same).
    static std::optional<int> takeRowOption(std::vector<std::string> &arguments);
};

} // namespace kn4::editor
