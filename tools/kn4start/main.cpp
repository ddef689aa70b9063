// kn4start: starts a program of the suite the way the manager does, from
// the desktop menu or a file manager. For an installed suite it first
// brings the user's program directory up from the installed data.
//
//   kn4start kn4manager [PANEL]
//   kn4start Kn4Edit2 [PANEL]       (no panel: a new panel NUOVO.KN4)
//   kn4start simulatore|stampa PANEL
//   kn4start --print PROGRAM [PANEL]  prepares the directory and prints
//                                     what it would start, one item a line

#include "launchplan.h"

#include "kn4/programdirectory.h"
#include "kn4/userdirectory.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <unistd.h>

int main(int argc, char *argv[])
{
    const char *self = argv[0];
    const bool printOnly = argc > 1 && std::string(argv[1]) == "--print";
    if (printOnly) {
        --argc;
        ++argv;
    }
    if (argc < 2 || argc > 3 || std::string(argv[1]) == "--help") {
        std::cerr << "usage: kn4start [--print] kn4manager|Kn4Edit2|simulatore|stampa [PANEL]\n";
        return 2;
    }
    const kn4::ProgramLocations locations = kn4::UserDirectory::locate(kn4::programDirectory(self));
    if (locations.perUser()) {
        const kn4::SeedReport report = kn4::UserDirectory::seed(locations.installedData, locations.programDirectory);
        if (!report.ok()) {
            std::cerr << "kn4start: " << report.error << "\n";
            return 1;
        }
        if (!report.offers.empty())
            std::cerr << "kn4start: newer language files are installed; the manager offers them\n";
    }
    const kn4::LaunchPlan plan = kn4::Launcher::plan(locations, argv[1], argc == 3 ? argv[2] : "");
    if (!plan.error.empty()) {
        std::cerr << "kn4start: " << plan.error << "\n";
        return 1;
    }
    if (!plan.note.empty())
        std::cerr << "kn4start: " << plan.note << "\n";
    if (printOnly) {
        std::cout << plan.executable.string() << "\n" << plan.workingDirectory.string() << "\n" << plan.argument << "\n";
        return 0;
    }
    if (::chdir(plan.workingDirectory.c_str()) != 0) {
        std::cerr << "kn4start: " << plan.workingDirectory.string() << ": " << std::strerror(errno) << "\n";
        return 1;
    }
    const std::string executable = plan.executable.string();
    std::string argument = plan.argument;
    char *arguments[] = {const_cast<char *>(executable.c_str()), argument.empty() ? nullptr : argument.data(), nullptr};
    ::execv(executable.c_str(), arguments);
    std::cerr << "kn4start: " << executable << ": " << std::strerror(errno) << "\n";
    return 1;
}
