#include "panelcheck.h"

#include "document/librarybinding.h"
#include "kn4/programdirectory.h"
#include "kn4/userdirectory.h"

#include <filesystem>
#include <iostream>
#include <unistd.h>

int main(int argc, char *argv[])
{
    using namespace kn4;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string error;
    const auto parsed = check::CheckArguments::parse(arguments, error);
    if (!parsed) {
        std::cerr << "kn4check: " << error << "\n" << check::PanelCheck::usage();
        return check::PanelCheck::kCannotOpen;
    }
    const std::filesystem::path directory = programDirectory(argv[0]);
    editor::LibraryBinding library;
    if (!library.load(directory)) {
        std::cerr << "kn4check: " << library.errorMessage() << "\n";
        return check::PanelCheck::kCannotOpen;
    }
    const check::PanelCheck checker(library, UserDirectory::dataDirectory(directory), std::filesystem::current_path());
    return checker.run(*parsed, std::cout, std::cerr);
}
