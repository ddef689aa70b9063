// stampa: prints a compiled panel (header, listing with course counts, the
// outline of the piece) through the print dialog, or into a PDF file, or
// writes its listing on standard output.

#include "printloader.h"
#include "printoutput.h"
#include "stampacommandline.h"

#include "kn4/outputcheck.h"

#include <QApplication>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <iostream>

namespace {

int report(bool window, const kn4::PrintLoader::Failure &failure)
{
    if (window)
        QMessageBox::critical(nullptr, QString::fromStdString(failure.title), QString::fromStdString(failure.text));
    else
        std::cerr << "stampa: " << failure.title << ": " << failure.text << "\n";
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    const kn4::StampaCommandLine line = kn4::StampaCommandLine::parse(args);
    if (line.mode == kn4::StampaCommandLine::Mode::Help) {
        std::cout << kn4::StampaCommandLine::usage();
        return 0;
    }
    if (!line.error.empty()) {
        std::cerr << "stampa: " << line.error << "\n" << kn4::StampaCommandLine::usage();
        return 2;
    }

    kn4::PrintLoader loader;
    loader.setProgramName("stampa " KN4_VERSION);
    const bool ok = loader.loadFiles(line.argumentString) && loader.loadPanel();

    if (line.mode == kn4::StampaCommandLine::Mode::Listing) {
        if (!ok)
            return report(false, *loader.failure());
        std::cout << loader.listingText();
        return std::cout.good() ? 0 : 1;
    }

    // The PDF needs fonts but no screen.
    if (line.mode == kn4::StampaCommandLine::Mode::Pdf && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")
        && !qEnvironmentVariableIsSet("DISPLAY") && !qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool window = line.mode == kn4::StampaCommandLine::Mode::Print;
    if (!ok)
        return report(window, *loader.failure());

    const std::filesystem::path panelPath(loader.arguments().panelPath);
    const QString title = QString::fromStdString(loader.label(37) + " " + panelPath.filename().string());
    if (line.mode == kn4::StampaCommandLine::Mode::Pdf) {
        const std::string refusal = kn4::outputRefusal(
            line.pdfPath, {panelPath, loader.arguments().languageFile(kn4::PrintLoader::kLabelFile),
                           loader.arguments().languageFile(kn4::PrintLoader::kKeywordFile)});
        if (!refusal.empty()) {
            std::cerr << "stampa: --pdf " << line.pdfPath << " " << refusal << ": nothing written\n";
            return 2;
        }
        QString error;
        if (!kn4::PrintOutput::writePdf(QString::fromStdString(line.pdfPath), title, loader.pages(), &error)) {
            std::cerr << "stampa: " << line.pdfPath << ": " << error.toStdString() << "\n";
            return 1;
        }
        return 0;
    }

    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    // Printing to a file stays hidden where a printer is installed; with no
    // printer it is the only way to print, into a PDF beside the panel.
    const bool noPrinter = QPrinterInfo::availablePrinters().isEmpty();
    if (noPrinter)
        printer.setOutputFileName(
            QString::fromStdString(std::filesystem::path(panelPath).replace_extension(".pdf").string()));
    QPrintDialog dialog(&printer);
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    dialog.setOption(QAbstractPrintDialog::PrintToFile, noPrinter);
    if (dialog.exec() != QDialog::Accepted)
        return 0;
    if (!kn4::PrintOutput::print(printer, loader.pages()))
        return report(true, {loader.arguments().panelPath, loader.label(38)});
    return 0;
}
