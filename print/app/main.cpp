// stampa: prints compiled panels (header, listing with course counts, the
// outline of the piece) through one print dialog, or into PDF files, or
// writes their listings on standard output.

#include "printloader.h"
#include "printoutput.h"
#include "stampacommandline.h"

#include "kn4/outputcheck.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSettings>
#include <QStandardPaths>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>

namespace {

using kn4::PrintLoader;
using kn4::StampaCommandLine;

// The label that titles the print dialog, "%1" standing for the panels.
constexpr std::size_t kDialogTitleLabel = 41;

void report(bool window, const PrintLoader::Failure &failure)
{
    if (window)
        QMessageBox::critical(nullptr, QString::fromStdString(failure.title), QString::fromStdString(failure.text));
    else
        std::cerr << "stampa: " << failure.title << ": " << failure.text << "\n";
}

QString fileName(const PrintLoader &loader)
{
    return QString::fromStdString(std::filesystem::path(loader.arguments().panelPath).filename().string());
}

QString documentTitle(const PrintLoader &loader)
{
    return QString::fromStdString(loader.label(37)) + " " + fileName(loader);
}

// The PDF beside the others of a folder: the panel's name with ".pdf".
QString pdfIn(const QString &folder, const PrintLoader &loader)
{
    return QDir(folder).filePath(QFileInfo(fileName(loader)).completeBaseName() + QStringLiteral(".pdf"));
}

// Where PDFs are offered when no printer is installed: the folder chosen
// last time, else the user's documents folder.
QString pdfFolder()
{
    const QString last = QSettings().value(QStringLiteral("pdfFolder")).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

bool writePdf(const PrintLoader &loader, const QString &path, const QPageLayout &layout,
              const std::vector<std::size_t> &order = {})
{
    QString error;
    if (kn4::PrintOutput::writePdf(path, documentTitle(loader), loader.pages(), &error, layout, order))
        return true;
    std::cerr << "stampa: " << path.toStdString() << ": " << error.toStdString() << "\n";
    return false;
}

// The files stampa reads: every panel and its label and keyword files.
std::vector<std::filesystem::path> inputsOf(const std::vector<std::unique_ptr<PrintLoader>> &panels)
{
    std::vector<std::filesystem::path> inputs;
    for (const auto &panel : panels) {
        inputs.emplace_back(panel->arguments().panelPath);
        inputs.push_back(panel->arguments().languageFile(PrintLoader::kLabelFile));
        inputs.push_back(panel->arguments().languageFile(PrintLoader::kKeywordFile));
    }
    return inputs;
}

// A PDF that would replace one of the files read or another panel is not
// written: "stampa --pdf DAVANTI.KN4 ..." is an easy slip.
bool refused(const QString &path, const std::vector<std::filesystem::path> &inputs)
{
    const std::string refusal = kn4::outputRefusal(path.toStdString(), inputs);
    if (refusal.empty())
        return false;
    std::cerr << "stampa: --pdf " << path.toStdString() << " " << refusal << ": nothing written\n";
    return true;
}

int printThroughDialog(const std::vector<std::unique_ptr<PrintLoader>> &panels, bool landscape)
{
    const PrintLoader &first = *panels.front();
    QStringList names;
    for (const auto &panel : panels)
        names.append(fileName(*panel));
    QString title = QString::fromStdString(first.label(kDialogTitleLabel));
    title = title.contains(QStringLiteral("%1")) ? title.arg(names.join(QStringLiteral(", ")))
                                                 : names.join(QStringLiteral(", "));

    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(documentTitle(first));
    printer.setPageLayout(kn4::PrintOutput::defaultLayout(landscape ? QPageLayout::Landscape : QPageLayout::Portrait));
    // Printing to a file stays hidden where a printer is installed; with no
    // printer it is the only way to print, into PDFs offered in the user's
    // documents folder (or the folder chosen last).
    const bool noPrinter = QPrinterInfo::availablePrinters().isEmpty();
    if (noPrinter)
        printer.setOutputFileName(pdfIn(pdfFolder(), first));
    QPrintDialog dialog(&printer);
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    dialog.setWindowTitle(title);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, noPrinter);
    // A range of pages belongs to one print-out.
    const bool single = panels.size() == 1;
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, single);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
    if (single)
        dialog.setMinMax(1, int(first.pages().size()));
    if (dialog.exec() != QDialog::Accepted)
        return 0;

    bool ok = true;
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        // One PDF per panel, written whole or not at all: with several
        // panels into the folder of the file named in the dialog.
        const QString chosen = printer.outputFileName();
        const QString folder = QFileInfo(chosen).absolutePath();
        QSettings().setValue(QStringLiteral("pdfFolder"), folder);
        const QPageLayout layout = printer.pageLayout();
        for (const auto &panel : panels) {
            const auto pages = panel->pages();
            const auto order = kn4::pageSequence(pages.size(), kn4::PrintOutput::selection(printer));
            if (!writePdf(*panel, single ? chosen : pdfIn(folder, *panel), layout, order)) {
                report(true, {panel->arguments().panelPath, panel->label(38)});
                ok = false;
            }
        }
        return ok ? 0 : 1;
    }
    for (const auto &panel : panels) {
        printer.setDocName(documentTitle(*panel));
        if (!kn4::PrintOutput::print(printer, panel->pages())) {
            report(true, {panel->arguments().panelPath, panel->label(38)});
            ok = false;
        }
    }
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    const StampaCommandLine line = StampaCommandLine::parse(args);
    if (line.mode == StampaCommandLine::Mode::Help) {
        std::cout << StampaCommandLine::usage();
        return 0;
    }
    if (!line.error.empty()) {
        std::cerr << "stampa: " << line.error << "\n" << StampaCommandLine::usage();
        return 2;
    }

    // Every panel is read before anything is printed; a malformed argument
    // string is a usage error, the others leave that panel out.
    std::vector<std::unique_ptr<PrintLoader>> panels;
    std::vector<PrintLoader::Failure> failures;
    for (const std::string &argument : line.argumentStrings) {
        auto loader = std::make_unique<PrintLoader>();
        loader->setProgramName("stampa " KN4_VERSION);
        if (loader->loadFiles(argument) && loader->loadPanel()) {
            panels.push_back(std::move(loader));
            continue;
        }
        if (loader->failure()->usage) {
            std::cerr << "stampa: " << loader->failure()->text << "\n" << StampaCommandLine::usage();
            return 2;
        }
        failures.push_back(*loader->failure());
    }

    if (line.mode == StampaCommandLine::Mode::Listing) {
        for (const auto &failure : failures)
            report(false, failure);
        for (const auto &panel : panels)
            std::cout << panel->listingText();
        return failures.empty() && std::cout.good() ? 0 : 1;
    }

    // The PDF needs fonts but no screen.
    if (line.mode != StampaCommandLine::Mode::Print && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")
        && !qEnvironmentVariableIsSet("DISPLAY") && !qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("kn4"));
    QApplication::setApplicationName(QStringLiteral("stampa"));
    const bool window = line.mode == StampaCommandLine::Mode::Print;
    for (const auto &failure : failures)
        report(window, failure);
    if (panels.empty())
        return 1;

    if (line.mode == StampaCommandLine::Mode::Pdf) {
        const QPageLayout layout = kn4::PrintOutput::defaultLayout(
            line.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
        const QString target = QString::fromStdString(line.pdfPath);
        bool ok = failures.empty();
        const std::vector<std::filesystem::path> inputs = inputsOf(panels);
        if (line.argumentStrings.size() == 1) {
            if (refused(target, inputs))
                return 2;
            ok = writePdf(*panels.front(), target, layout) && ok;
        } else {
            // Several panels: the target is a folder, made when missing.
            if (!QDir().mkpath(target)) {
                std::cerr << "stampa: " << line.pdfPath << ": the folder cannot be made\n";
                return 1;
            }
            for (const auto &panel : panels)
                ok = !refused(pdfIn(target, *panel), inputs) && writePdf(*panel, pdfIn(target, *panel), layout) && ok;
        }
        return ok ? 0 : 1;
    }

    const int status = printThroughDialog(panels, line.landscape);
    return failures.empty() ? status : 1;
}
