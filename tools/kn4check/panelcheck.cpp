#include "panelcheck.h"

#include "document/editorstartup.h"
#include "document/rowtext.h"
#include "document/palettecodec.h"
#include "window/core/runningtotals.h"

#include <kn4/number.h>

#include <algorithm>

namespace kn4::check {

namespace {

bool isNumber(const std::string &text)
{
    std::size_t i = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    return i < text.size() && std::all_of(text.begin() + std::ptrdiff_t(i), text.end(),
                                          [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

std::optional<CheckArguments> CheckArguments::parse(const std::vector<std::string> &arguments,
                                                    std::string &error)
{
    static const std::vector<std::string> numberOptions{"--needles", "--marker", "--comb",
                                                        "--setup-options"};
    CheckArguments result;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        const auto option = std::find(numberOptions.begin(), numberOptions.end(), argument);
        if (argument == "--lang" || option != numberOptions.end()) {
            if (i + 1 >= arguments.size()) {
                error = argument + " needs a value";
                return std::nullopt;
            }
            const std::string &value = arguments[++i];
            if (argument == "--lang") {
                result.folder = value;
            } else if (!isNumber(value)) {
                error = argument + " needs a number, not " + value;
                return std::nullopt;
            } else {
                result.numbers[std::size_t(option - numberOptions.begin())] = value;
            }
        } else if (argument.size() > 2 && argument.rfind("--", 0) == 0) {
            error = "unknown option " + argument;
            return std::nullopt;
        } else {
            result.panels.push_back(argument);
        }
    }
    if (result.panels.empty()) {
        error = "no panel given";
        return std::nullopt;
    }
    return result;
}

PanelCheck::PanelCheck(const editor::CommandLibrary &library, std::filesystem::path programDirectory,
                       std::filesystem::path workingDirectory)
    : m_library(library),
      m_programDirectory(std::move(programDirectory)),
      m_workingDirectory(std::move(workingDirectory))
{
}

const char *PanelCheck::usage()
{
    return "usage: kn4check [--lang DIR] [--needles N] [--marker N] [--comb N] "
           "[--setup-options N] PANEL...\n";
}

int PanelCheck::run(const CheckArguments &arguments, std::ostream &out, std::ostream &err) const
{
    int status = kClean;
    for (const std::string &panel : arguments.panels)
        status = std::max(status, checkPanel(arguments, panel, out, err));
    return status;
}

int PanelCheck::checkPanel(const CheckArguments &arguments, const std::string &panel,
                           std::ostream &out, std::ostream &err) const
{
    using namespace kn4::editor;
    std::string folder = arguments.folder.empty() ? (m_programDirectory / "italiano").string()
                                                  : arguments.folder;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    // The editor's own command line: panel "," folder, then the numbers.
    EditorStartup::Input input;
    input.arguments = panel + "," + folder;
    for (const std::string &number : arguments.numbers)
        input.arguments += "/" + number;
    input.arguments += "/0";
    input.workingDirectory = m_workingDirectory;

    const StartupResult startup =
        EditorStartup::run(input, &m_library, std::string(), paletteColourCodec());
    if (startup.ended()) {
        err << panel << ": " << startup.fatalMessage << "\n";
        return PanelCheck::kCannotOpen;
    }
    for (const std::string &message : startup.messages)
        err << panel << ": " << message << "\n";
    if (!startup.panelReadError.empty())
        return PanelCheck::kCannotOpen;
    // A panel the editor opens as invalid (its message is printed above) or
    // starts anew for want of a "SORGENTE.KN4" line is checked as the editor
    // holds it. Only a file that is not there at all is refused: the editor
    // would start a new panel, but here the name was most likely mistyped.
    if (!startup.panelFromFile && !startup.panelInvalid) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(startup.panelPath, ec)) {
            err << panel << ": no such file\n";
            return PanelCheck::kCannotOpen;
        }
        err << panel << ": no \"SORGENTE.KN4\" line: the editor starts a new panel\n";
    }

    RunningTotals totals(m_library);
    totals.setMessageTexts(startup.language);
    std::vector<std::string> rows = startup.panel.rows;
    totals.recompute(rows.data(), int(rows.size()),
                     TotalsSettings::fromHeader(startup.panel.header, startup.commandLine.setupOptions));

    out << panel << "\n";
    for (const std::string &row : rows)
        out << RowText::columns(row, 0, RowText::kVisibleLength - 1) << "\n";
    out << panel << ": avviso " << totals.warningCode() << ", passi programma "
        << totals.programSteps() << ", passi totali " << totals.totalSteps()
        << ", carro esterno massimo " << totals.widestOuterRight() << "D "
        << totals.widestOuterLeft() << "S\n";
    // Crossing edges compile, but the piece cannot be knitted: a warning
    // of its own, on a line of its own.
    if (totals.crossedCourses() > 0)
        out << panel << ": bordi incrociati in " << totals.crossedCourses() << " ranghi, dal passo "
            << totals.firstCrossedStep() << "\n";
    const bool warned = totals.warningCode() != RunningTotals::NoWarning || totals.crossedCourses() > 0;
    return warned ? PanelCheck::kCarriageWarning : PanelCheck::kClean;
}

} // namespace kn4::check
