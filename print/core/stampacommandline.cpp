#include "stampacommandline.h"

namespace kn4 {

const char *StampaCommandLine::usage()
{
    return "Usage: stampa [--pdf OUT.pdf | --listing] \"PANEL,DIR/\"\n"
           "\n"
           "Prints a compiled panel: its header, its program listing with the running\n"
           "course counts and the outline of the piece. DIR/ is the language folder\n"
           "holding stampa.ini and VUZUDO.KEY.\n"
           "\n"
           "  --pdf OUT.pdf  write the print-out into OUT.pdf, without the print dialog\n"
           "  --listing      write the listing lines (UTF-8) on standard output\n"
           "  -h, --help     show this help\n";
}

StampaCommandLine StampaCommandLine::parse(const std::vector<std::string> &args)
{
    StampaCommandLine line;
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (options && arg == "--") {
            options = false;
        } else if (options && (arg == "-h" || arg == "--help")) {
            line.mode = Mode::Help;
            return line;
        } else if (options && (arg == "--pdf" || arg.rfind("--pdf=", 0) == 0)) {
            if (line.mode != Mode::Print) {
                line.error = "--pdf and --listing exclude each other";
                return line;
            }
            line.mode = Mode::Pdf;
            if (arg == "--pdf") {
                if (++i == args.size()) {
                    line.error = "--pdf needs the name of the PDF file";
                    return line;
                }
                line.pdfPath = args[i];
            } else {
                line.pdfPath = arg.substr(6);
            }
            if (line.pdfPath.empty()) {
                line.error = "--pdf needs the name of the PDF file";
                return line;
            }
        } else if (options && arg == "--listing") {
            if (line.mode != Mode::Print) {
                line.error = "--pdf and --listing exclude each other";
                return line;
            }
            line.mode = Mode::Listing;
        } else if (options && arg.size() > 1 && arg[0] == '-' && arg.find(',') == std::string::npos) {
            line.error = "unknown option " + arg;
            return line;
        } else {
            if (!line.argumentString.empty())
                line.argumentString += ' ';
            line.argumentString += arg;
        }
    }
    if (line.argumentString.empty())
        line.error = "no panel given: stampa \"PANEL,DIR/\"";
    return line;
}

} // namespace kn4
