#pragma once

#include <string>
#include <vector>

namespace kn4 {

// The command line of kn4c:  kn4c [--keywords DIR] [--check] PANEL...
// Parsing never exits and never prints: the program decides what to do with
// a usage error.
struct CompilerArguments
{
    bool help = false;            // --help or -h: print the usage and stop
    bool check = false;           // --check: compile a copy, leave the panel untouched
    std::string keywordDir;       // --keywords DIR; empty: the default folder
    std::vector<std::string> panels;
    std::string error;            // a usage error, or empty

    // args are the arguments after the program name. "--keywords=DIR" is
    // accepted as well as "--keywords DIR"; "--" ends the options, so a panel
    // whose name begins with "-" can still be given. Without --help, a
    // command line without panels is a usage error.
    static CompilerArguments parse(const std::vector<std::string> &args);
};

} // namespace kn4
