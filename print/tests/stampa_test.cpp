// The program as a technician runs it from the shell.

#include "pagepainter.h"
#include "printtesting.h"

#include "kn4/testapplication.h"

#include "kn4/testfiles.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

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
