#include "stampacommandline.h"

#include <algorithm>

namespace kn4 {

const char *StampaCommandLine::usage()
{
    return "Usage: stampa [--pdf OUT.pdf | --listing] [--landscape] \"PANEL,DIR/\" [\"PANEL,DIR/\" ...]\n"
           "\n"
           "Prints compiled panels: the header, the program listing with the running\n"
           "course counts and the outline of the piece. DIR/ is the language folder\n"
           "holding stampa.ini and VUZUDO.KEY. Several panels share one print dialog.\n"
           "\n"
           "  --pdf OUT.pdf  write the print-out into OUT.pdf, without the print dialog;\n"
           "                 with several panels OUT names a folder that gets one\n"
           "                 PDF per panel, named after it\n"
           "  --landscape    A4 across instead of upright\n"
           "  --listing      write the listing lines (UTF-8) on standard output\n"
           "  -h, --help     show this help\n";
}

StampaCommandLine StampaCommandLine::parse(const std::vector<std::string> &args)
{
    StampaCommandLine line;
    std::vector<std::string> words;
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
        } else if (options && arg == "--landscape") {
            line.landscape = true;
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
            words.push_back(arg);
        }
    }
    if (words.empty()) {
        line.error = "no panel given: stampa \"PANEL,DIR/\"";
        return line;
    }
    const bool eachHasComma =
        std::all_of(words.begin(), words.end(), [](const std::string &w) { return w.find(',') != std::string::npos; });
    if (words.size() > 1 && eachHasComma) {
        line.argumentStrings = words;
    } else {
        std::string joined;
        for (const std::string &word : words)
            joined += (joined.empty() ? "" : " ") + word;
        line.argumentStrings = {joined};
    }
    return line;
}

} // namespace kn4
