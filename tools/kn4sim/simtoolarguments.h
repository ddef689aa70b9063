#pragma once

#include <string>
#include <vector>

namespace kn4 {

// The command line of kn4sim:  kn4sim [--settings FILE] [--json] [--rows] [--png OUT.png] PANEL...
// Parsing never exits and never prints.
struct SimToolArguments
{
    bool help = false;
    bool json = false;
    bool rows = false;         // the source row of every course
    std::string settingsFile;  // empty: simulatore.sav in the current directory
    std::string pngPath;       // empty: no picture
    std::vector<std::string> panels;
    std::string error;         // a usage error, or empty

    // args are the arguments after the program name. "--opt=VALUE" is
    // accepted as well as "--opt VALUE"; "--" ends the options. --png takes
    // the picture of one panel, so it allows only one.
    static SimToolArguments parse(const std::vector<std::string> &args);
};

} // namespace kn4
