// kn4c: compiles panels from the command line through the compiler library,
// the way the panel editor compiles them when it saves.

#include "compilerarguments.h"
#include "panelcompiler.h"

#include "kn4/filelookup.h"
#include "kn4/programdirectory.h"
#include "kn4/userdirectory.h"

#include <filesystem>
#include <iostream>
#include <system_error>

namespace {

const char kUsage[] =
    "Usage: kn4c [--keywords DIR] [--check] PANEL...\n"
    "\n"
    "Compiles each panel (.KN4) with the compiler library libkn4edit2.so, loaded\n"
    "from the folder of this program, and prints each compile report.\n"
    "\n"
    "  --keywords DIR  working folder of the compilation: its VUZUDO.KEY is the\n"
    "                  keyword file (default: the italiano folder beside kn4c)\n"
    "  --check         compile a copy in a temporary folder; the panel and DIR\n"
    "                  are left untouched\n"
    "  -h, --help      show this help\n"
    "\n"
    "Without --check each panel is compiled in place: the library rewrites it with\n"
    "its compiled code in front of the unchanged source.\n"
    "\n"
    "Exit status; with several panels the worst, in the order 0 < 6 < 5 < 3 < 4:\n"
    "  0  every panel compiled without errors\n"
    "  6  compiled, with non-grave errors only\n"
    "  5  grave errors: the panel (with --check, its copy) now holds no code\n"
    "  3  a panel was not compiled: no \"SORGENTE.KN4\" line, missing, a folder,\n"
    "     unreadable, no VUZUDO.KEY, changed by someone else while it was\n"
    "     compiled, or compiled but not written back (panel folder not\n"
    "     writable, disk full): the panel keeps its content\n"
    "  4  the library gave a result it does not document\n"
    "  2  usage error, or the compiler library cannot be loaded\n";

int usageError(const std::string &message)
{
    std::cerr << "kn4c: " << message << "\nTry 'kn4c --help'.\n";
    return kn4::kStatusUsage;
}

} // namespace

int main(int argc, char **argv)
{
    const kn4::CompilerArguments args =
        kn4::CompilerArguments::parse(std::vector<std::string>(argv + 1, argv + argc));
    if (args.help) {
        std::cout << kUsage;
        return kn4::kStatusCompiled;
    }
    if (!args.error.empty())
        return usageError(args.error);

    const std::filesystem::path dir = kn4::programDirectory(argc > 0 ? argv[0] : nullptr);
    const std::filesystem::path keywordDir =
        args.keywordDir.empty() ? kn4::UserDirectory::dataDirectory(dir) / "italiano"
                                : std::filesystem::path(args.keywordDir);
    std::error_code ec;
    if (!args.keywordDir.empty() && !std::filesystem::is_directory(keywordDir, ec))
        return usageError("--keywords: " + keywordDir.string() + " is not a folder");
    if (!kn4::findFileIgnoringCase(keywordDir, "VUZUDO.KEY"))
        std::cerr << "kn4c: warning: no VUZUDO.KEY in " << keywordDir.string()
                  << "; the library compiles nothing without it (result 3, the panels stay as they are)\n";

    kn4::LibraryClient library;
    if (!library.load(dir)) {
        std::cerr << "kn4c: " << library.errorMessage() << '\n';
        return kn4::kStatusUsage;
    }

    const kn4::PanelCompiler compiler(library.compileFunction(), keywordDir, args.check);
    return compiler.compileAll(args.panels, std::cout, std::cerr);
}
