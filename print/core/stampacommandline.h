#pragma once

#include <string>
#include <vector>

namespace kn4 {

// The command line of stampa:
//   stampa "PANEL,DIR/"                 print through the print dialog
//   stampa --pdf OUT.pdf "PANEL,DIR/"   the same print-out into a PDF file
//   stampa --listing "PANEL,DIR/"       the listing lines on standard output
// The words after the options are joined with blanks into the one argument
// string, so a panel path with blanks may also arrive unquoted.
struct StampaCommandLine
{
    enum class Mode { Print, Pdf, Listing, Help };

    Mode mode = Mode::Print;
    std::string pdfPath;
    std::string argumentString;
    std::string error; // a usage error, or empty

    static StampaCommandLine parse(const std::vector<std::string> &args);
    static const char *usage();
};

} // namespace kn4
