// The program as a technician runs it from the shell.

#include "pagepainter.h"
#include "printloader.h"
#include "printoutput.h"
#include "printtesting.h"

#include "kn4/tempfolder.h"
#include "kn4/testapplication.h"
#include "kn4/testfiles.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPrinter>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;
using namespace kn4::testing;

// Runs a shell command and returns its standard output.
std::string run(const std::string &command, int *status = nullptr)
{
    std::string out;
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        return out;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    const int rc = pclose(pipe);
    if (status)
        *status = rc;
    return out;
}

std::string panelArgument(const std::string &name)
{
    return "'" + (kGoldenBuild / name / (name + ".KN4")).string() + "," + kItalian.string() + "/'";
}

TEST(Stampa, PdfHoldsTheHeaderAndTheListing)
{
    const fs::path pdf = fs::temp_directory_path() / "kn4_stampa_test.pdf";
    fs::remove(pdf);
    int status = -1;
    run(std::string(KN4_STAMPA) + " --pdf '" + pdf.string() + "' " + panelArgument("TRECCE") + " 2>&1", &status);
    ASSERT_EQ(status, 0);
    const std::string text = run("pdftotext -layout '" + pdf.string() + "' -");
    for (const char *expected : {"STAMPA PANNELLO", "TRECCE.KN4", "Tipo TRECC", "Frontura 200", "Trecce centrali",
                                 "definizione LATO DESTRO", "pettini dentro", "173", "Zoom"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    fs::remove(pdf);
}

TEST(Stampa, ListingOnStandardOutputAndFailures)
{
    int status = -1;
    EXPECT_EQ(run(std::string(KN4_STAMPA) + " --listing " + panelArgument("RIGHE"), &status),
              readFile(kGoldenSource / "RIGHE" / "listing.txt"));
    EXPECT_EQ(status, 0);
    const std::string missing =
        run(std::string(KN4_STAMPA) + " --listing /nonexistent.KN4," + kItalian.string() + "/ 2>&1", &status);
    EXPECT_NE(status, 0);
    EXPECT_NE(missing.find("/nonexistent.KN4"), std::string::npos) << missing;
}

// A panel of 420 rows: a listing of four pages.
fs::path longPanel(const fs::path &dir)
{
    std::vector<std::string> source = sourceHeader();
    source.push_back("definizione PROFILO ESTERNO             ");
    for (int i = 0; i < 420; ++i)
        source.push_back(rowLine("liscio", "  2", " 1"));
    const fs::path panel = dir / "LUNGO.KN4";
    writeFile(panel, compiledPanel(source));
    return panel;
}

// The pages of a PDF as grey pictures at 72 dots per inch (a point a dot).
std::vector<QImage> rendered(const fs::path &pdf)
{
    const fs::path prefix = pdf.parent_path() / "page";
    run("pdftoppm -r 72 -gray '" + pdf.string() + "' '" + prefix.string() + "'");
    std::vector<QImage> pages;
    for (int n = 1; fs::exists(prefix.string() + "-" + std::to_string(n) + ".pgm"); ++n)
        pages.emplace_back(QString::fromStdString(prefix.string() + "-" + std::to_string(n) + ".pgm"));
    return pages;
}

// No ink within 5 mm of the paper's edges, upright or across; the page
// keeps its proportions, so across it stands centred with room on its sides.
TEST(Stampa, PdfKeepsFiveMillimetresFreeOnEveryPaper)
{
    const kn4::testing::TempFolder dir("stampa-margins");
    for (const char *orientation : {"", "--landscape "}) {
        const fs::path pdf = dir.path() / "out.pdf";
        int status = -1;
        run(std::string(KN4_STAMPA) + " --pdf '" + pdf.string() + "' " + orientation + "'" +
                longPanel(dir.path()).string() + "," + kItalian.string() + "/'",
            &status);
        ASSERT_EQ(status, 0) << orientation;
        const auto pages = rendered(pdf);
        ASSERT_EQ(pages.size(), 4u) << orientation;
        for (const QImage &image : pages) {
            const int margin = 14; // 5 mm at 72 dots per inch
            int inkedNearEdge = 0, inkedLeftHalf = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const bool ink = qGray(image.pixel(x, y)) < 200;
                    inkedNearEdge += ink && (x < margin || y < margin || x >= image.width() - margin ||
                                             y >= image.height() - margin);
                    inkedLeftHalf += ink && x < image.width() / 2;
                }
            EXPECT_EQ(inkedNearEdge, 0) << orientation;
            EXPECT_GT(inkedLeftHalf, 0) << orientation;
        }
        if (*orientation) {
            // Across: 595 points high, so the page is about 390 wide, centred.
            int leftmost = pages[1].width();
            for (int y = 0; y < pages[1].height(); ++y)
                for (int x = 0; x < leftmost; ++x)
                    if (qGray(pages[1].pixel(x, y)) < 200)
                        leftmost = x;
            EXPECT_GT(leftmost, 200) << "centred, not stretched";
        }
    }
}

// Pages 2-3 of a four-page listing: those two and no others.
TEST(PrintOutput, PrintsThePageRangeChosen)
{
    kn4::testing::ensureApplication();
    const kn4::testing::TempFolder dir("stampa-range");
    kn4::PrintLoader loader;
    ASSERT_TRUE(loader.loadFiles(longPanel(dir.path()).string() + "," + kItalian.string() + "/"));
    ASSERT_TRUE(loader.loadPanel());
    ASSERT_EQ(loader.pages().size(), 4u);
    QPrinter printer(QPrinter::HighResolution);
    const fs::path pdf = dir.path() / "range.pdf";
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf.string()));
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 3);
    ASSERT_TRUE(kn4::PrintOutput::print(printer, loader.pages()));
    const std::string text = run("pdftotext -layout '" + pdf.string() + "' -");
    EXPECT_NE(text.find("Pagina 2 di 4"), std::string::npos) << text;
    EXPECT_NE(text.find("Pagina 3 di 4"), std::string::npos);
    EXPECT_EQ(text.find("Pagina 1 di 4"), std::string::npos);
    EXPECT_EQ(text.find("Pagina 4 di 4"), std::string::npos);
}

TEST(Stampa, SeveralPanelsAndMalformedArguments)
{
    const kn4::testing::TempFolder dir("stampa-several");
    int status = -1;
    const fs::path folder = dir.path() / "pdf";
    run(std::string(KN4_STAMPA) + " --pdf '" + folder.string() + "' " + panelArgument("RIGHE") + " " +
            panelArgument("MANICA"),
        &status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(fs::is_regular_file(folder / "RIGHE.pdf"));
    EXPECT_TRUE(fs::is_regular_file(folder / "MANICA.pdf"));

    const std::string listings =
        run(std::string(KN4_STAMPA) + " --listing " + panelArgument("RIGHE") + " " + panelArgument("MANICA"), &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(listings, readFile(kGoldenSource / "RIGHE" / "listing.txt") +
                            readFile(kGoldenSource / "MANICA" / "listing.txt"));

    const std::string malformed = run(std::string(KN4_STAMPA) + " --listing no-comma-here 2>&1", &status);
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_EQ(malformed.rfind("stampa: ", 0), 0u) << malformed;
    EXPECT_EQ(malformed.find("stampa: ", 1), std::string::npos) << "one prefix\n" << malformed;
}

// Page units map onto the device: a picture of 400 x 600 pixels has 100
// units to a pixel; text is inked below its cell's top.
TEST(PagePainter, PrimitivesLandWhereTheirUnitsSay)
{
    kn4::testing::ensureApplication();
    kn4::PrintPage page;
    kn4::page::add(page.items, kn4::page::Box{10000, 10000, 20000, 20000, kn4::page::kGrey});
    kn4::page::add(page.items, kn4::page::Line{30000, 10000, 30000, 50000, kn4::page::kBlack});
    kn4::page::add(page.items, kn4::page::Text{500, 55000, kn4::page::Face::Mono, 30, true, "MMMM"});
    QImage image(400, 600, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    kn4::PagePainter::paint(painter, page, QRectF(0, 0, 400, 600));
    painter.end();

    EXPECT_EQ(image.pixelColor(150, 150), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(image.pixelColor(250, 150), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(300, 300), QColor(Qt::black));
    int inked = 0;
    for (int y = 550; y < 600; ++y)
        for (int x = 5; x < 120; ++x)
            inked += image.pixelColor(x, y).lightness() < 128;
    EXPECT_GT(inked, 50);
    EXPECT_EQ(image.pixelColor(200, 560), QColor(Qt::white)) << "the text stays where it was put";
}

} // namespace
