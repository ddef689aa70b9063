#pragma once

#include <string>
#include <vector>

namespace kn4 {

// The command line of stampa:
//   stampa "PANEL,DIR/"                 print through the print dialog
//   stampa --pdf OUT.pdf "PANEL,DIR/"   the same print-out into a PDF file
//   stampa --listing "PANEL,DIR/"       the listing lines on standard output
//   stampa "P1,DIR/" "P2,DIR/" ...      several panels: one print dialog for
//                                       all, --pdf then names a folder that
//                                       gets one PDF per panel
// Several words that each hold a comma are one argument string each.
// Otherwise the words are joined with blanks into the one argument string,
// so a panel path with blanks may also arrive unquoted.
struct StampaCommandLine
{
    enum class Mode { Print, Pdf, Listing, Help };

    Mode mode = Mode::Print;
    std::string pdfPath;
    bool landscape = false; // the paper across (the print dialog can change it)
    std::vector<std::string> argumentStrings; // one per panel, at least one
    std::string error; // a usage error, or empty

    static StampaCommandLine parse(const std::vector<std::string> &args);
    static const char *usage();
};

} // namespace kn4
