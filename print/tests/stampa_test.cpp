// The program as a technician runs it from the shell.

#include "printtesting.h"

#include "kn4/testfiles.h"

#include <gtest/gtest.h>

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
    const std::string missing = run(std::string(KN4_STAMPA) + " --listing /nonexistent.KN4," + kItalian.string() + "/ 2>&1", &status);
    EXPECT_NE(status, 0);
    EXPECT_NE(missing.find("/nonexistent.KN4"), std::string::npos) << missing;
}

} // namespace
