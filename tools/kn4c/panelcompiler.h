#pragma once

#include "kn4/libraryclient.h"

#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace kn4 {

// The library's compile entry point, as kn4edit2.h declares it.
using CompileFunction = LibraryClient::CompileFunction;

// Exit statuses of kn4c. The four compile results keep the library's own
// numbers, so a script reads the status as it would read Compilazione's
// result; with several panels the worst result wins, in the order
// 0 < 6 < 5 < 3 < 4 (a panel that could not be compiled at all outranks one
// with grave errors).
enum Kn4cStatus : int {
    kStatusCompiled = 0,        // every panel compiled without errors
    kStatusUsage = 2,           // bad command line, or the library cannot be loaded
    kStatusNotCompiled = 3,     // a panel without "SORGENTE.KN4", missing, a folder, unreadable,
                                // or compiled but not rewritten
    kStatusUnexpected = 4,      // the library gave a result it does not document
    kStatusGraveErrors = 5,     // a panel with grave errors
    kStatusWarnings = 6,        // a panel with non-grave errors only
};

// Compiles panels through the library's Compilazione and prints, per panel,
// a title line, the compile report as UTF-8 text with LF line ends, and a
// result line. Problems with a panel file (missing, a folder, unreadable)
// are reported on the error stream and the run goes on with the next panel.
class PanelCompiler
{
public:
    // keywordDir is the working directory handed to Compilazione: its
    // VUZUDO.KEY is the keyword file. With check set, each panel is copied
    // with the keyword file into a fresh temporary folder and the copy is
    // compiled there, so neither the panel nor keywordDir is written.
    PanelCompiler(CompileFunction compile, std::filesystem::path keywordDir, bool check);

    // Compiles one panel; returns its result (0, 6, 5, 3, or 4 for a result
    // the library does not document). A compilation whose result says the
    // panel was rewritten (0, 6, 5) while the file is still the old one (the
    // panel folder not writable, a full disk) gives 3: the panel keeps
    // its old content, and saying "compiled" would be a failure reported as
    // success.
    int compilePanel(const std::string &panel, std::ostream &out, std::ostream &err) const;

    // Compiles every panel in turn; returns the exit status (the worst result).
    int compileAll(const std::vector<std::string> &panels, std::ostream &out, std::ostream &err) const;

    // The worse of two results in the order 0 < 6 < 5 < 3 < 4.
    static int worseResult(int a, int b);

    // The report as it is shown: Windows-1252 turned into UTF-8 and CR LF
    // into LF. Reads at most size bytes, stopping at the first zero byte.
    static std::string reportText(const char *report, std::size_t size);

    // A one-line description of a result.
    static std::string resultText(int result);

private:
    struct Outcome
    {
        int result = kStatusNotCompiled;  // Compilazione's result as it came
        bool rewritten = false;           // the panel file was replaced
        bool compiled = false;            // Compilazione was called
    };
    Outcome compileFile(const std::filesystem::path &panel, const std::filesystem::path &workDir,
                        std::ostream &out) const;
    Outcome compileCopy(const std::string &panel, std::ostream &out, std::ostream &err) const;

    CompileFunction m_compile;
    std::filesystem::path m_keywordDir;
    bool m_check;
};

} // namespace kn4
