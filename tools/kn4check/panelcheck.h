#pragma once

#include "document/commandlibrary.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace kn4::check {

// What kn4check is told: the language folder, the machine numbers of the
// editor's command line, and the panels.
struct CheckArguments
{
    std::string folder;            // language folder; "" = program dir's italiano/
    std::vector<std::string> numbers{"320", "1", "30", "3"};  // needles, marker, comb, set-up
    std::vector<std::string> panels;

    // Reads "[--lang DIR] [--needles N] [--marker N] [--comb N]
    // [--setup-options N] PANEL...". Nothing when the arguments are wrong
    // (error then says why).
    static std::optional<CheckArguments> parse(const std::vector<std::string> &arguments,
                                               std::string &error);
};

// kn4check's work on the panels: each is opened as the editor opens it
// (the keyword file checked against the library, the rows converted), its
// running totals are replayed, and the rows (66 visible columns) and a
// summary line are printed. A panel the editor opens as invalid, or starts
// anew because it has no "SORGENTE.KN4" line, is printed as the editor then
// holds it, with a note on the error stream. A panel whose edges cross gets a
// line "PANEL: bordi incrociati in N ranghi, dal passo S" after its summary.
// Returns the exit status: 0 when no panel has a carriage warning or
// crossing edges, 1 when one has, 2 when a panel cannot be
// opened at all (no such file, a command the keyword file lacks, no keyword
// file).
class PanelCheck
{
public:
    static constexpr int kClean = 0;
    static constexpr int kCarriageWarning = 1;
    static constexpr int kCannotOpen = 2;

    PanelCheck(const editor::CommandLibrary &library, std::filesystem::path programDirectory,
               std::filesystem::path workingDirectory);

    int run(const CheckArguments &arguments, std::ostream &out, std::ostream &err) const;

    static const char *usage();

private:
    int checkPanel(const CheckArguments &arguments, const std::string &panel, std::ostream &out,
                   std::ostream &err) const;

    const editor::CommandLibrary &m_library;
    std::filesystem::path m_programDirectory;
    std::filesystem::path m_workingDirectory;
};

} // namespace kn4::check
