#include "printloader.h"
#include "printtesting.h"

#include "kn4/testfiles.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;
using namespace kn4::testing;

std::string argumentString(const fs::path &panel, const fs::path &folder = kItalian)
{
    return panel.string() + "," + folder.string() + "/";
}

// Each golden folder holds a panel and the listing printed from it.
TEST(PrintLoader, GoldenListings)
{
    int cases = 0;
    for (const auto &entry : fs::directory_iterator(kGoldenSource)) {
        if (!entry.is_directory())
            continue;
        const std::string name = entry.path().filename().string();
        kn4::PrintLoader loader;
        ASSERT_TRUE(loader.loadFiles(argumentString(kGoldenBuild / name / (name + ".KN4"))));
        ASSERT_TRUE(loader.loadPanel()) << name << ": " << loader.failure()->text;
        EXPECT_EQ(loader.listingText(), readFile(entry.path() / "listing.txt")) << name;
        ++cases;
    }
    EXPECT_GE(cases, 5);
}

// Many rows and a code block of 10000 bytes make a file beyond 32767 bytes:
// it is read whole and its last row is listed.
TEST(PrintLoader, ReadsALongPanelWhole)
{
    const fs::path panel = fs::temp_directory_path() / "kn4_print_long.KN4";
    std::vector<std::string> source = sourceHeader();
    source.push_back("definizione PROFILO ESTERNO             ");
    for (int i = 0; i < 600; ++i)
        source.push_back(rowLine("liscio", "  2", " 1"));
    writeFile(panel, compiledPanel(source, "AB--- 44 DAVANTI---,120D,12------,1,5D 5S,20D 20S,532,500",
                                   "\x9d" + std::string(9998, '\x94') + "\x9c"));
    ASSERT_GT(fs::file_size(panel), 32767u);
    kn4::PrintLoader loader;
    ASSERT_TRUE(loader.loadFiles(argumentString(panel)));
    ASSERT_TRUE(loader.loadPanel());
    ASSERT_EQ(loader.content().listing.size(), 601u);
    EXPECT_EQ(loader.content().listing.back().number, 600);
    EXPECT_EQ(loader.content().profile.courses, 11 + 9998) << "above a border of 2.5 cm at 4.5 courses per cm";
    fs::remove(panel);
}

TEST(PrintLoader, FailuresGiveTheirMessages)
{
    const fs::path dir = fs::temp_directory_path() / "kn4_print_loader_test";
    fs::remove_all(dir);
    fs::create_directories(dir / "lingua");
    writeFile(dir / "lingua" / "Stampa.INI", readFile(kItalian / "stampa.ini"));
    writeFile(dir / "source.KN4", "SORGENTE.KN4\r\ntipo\r\n");
    writeFile(dir / "nomarker.KN4", "AB--- 44 DAVANTI---,120D,12------,1,5D 5S,20D 20S,532,500\x1a\x94\x9c");

    struct Case
    {
        std::string arguments;
        std::string title, text;
    } cases[] = {
        {"no comma here", "ERROR....", ""},
        {argumentString(dir / "source.KN4", dir), "ERROR....", "File stampa.ini non trovato"},
        {argumentString(dir / "source.KN4", dir / "lingua"), "ERROR....", "File VUZUDO.KEY non trovato"},
        // A folder named with a comma: the message names the panel it could not open.
        {argumentString(dir / "ROSSI, MARIO" / "source.KN4", dir / "lingua"), "ERROR....",
         "stampa: impossibile aprire il pannello " + (dir / "ROSSI").string() + " (argomento: \"" +
             argumentString(dir / "ROSSI, MARIO" / "source.KN4", dir / "lingua") + "\")"},
    };
    for (const Case &c : cases) {
        kn4::PrintLoader loader;
        EXPECT_FALSE(loader.loadFiles(c.arguments)) << c.arguments;
        ASSERT_TRUE(loader.failure());
        EXPECT_EQ(loader.failure()->title, c.title);
        EXPECT_EQ(loader.failure()->usage, c.text.empty()) << "only the malformed argument string";
        if (!c.text.empty()) {
            // A missing file is its own message alone; a reason follows only
            // for a file that is there but cannot be read (below).
            EXPECT_EQ(loader.failure()->text, c.text);
        }
    }

    // A folder where the label or the keyword file should be is a message.
    for (const char *name : {"stampa.ini", "VUZUDO.KEY"}) {
        fs::create_directories(dir / "cartelle" / name);
        kn4::PrintLoader loader;
        EXPECT_FALSE(loader.loadFiles(argumentString(dir / "source.KN4", dir / "cartelle"))) << name;
        ASSERT_TRUE(loader.failure());
        EXPECT_EQ(loader.failure()->text.rfind("File " + std::string(name) + " non trovato\n", 0), 0u)
            << loader.failure()->text;
        fs::remove_all(dir / "cartelle" / "stampa.ini");
        writeFile(dir / "cartelle" / "stampa.ini", readFile(kItalian / "stampa.ini"));
    }

    writeFile(dir / "lingua" / "vuzudo.key", readFile(kItalian / "VUZUDO.KEY"));
    kn4::PrintLoader loader;
    ASSERT_TRUE(loader.loadFiles(argumentString(dir / "source.KN4", dir / "lingua"))) << "names found ignoring case";
    EXPECT_FALSE(loader.loadPanel());
    EXPECT_EQ(loader.failure()->title, "ERR...");
    EXPECT_EQ(loader.failure()->text, loader.label(36) + "\n" + (dir / "source.KN4").string());
    ASSERT_TRUE(loader.loadFiles(argumentString(dir / "lingua", dir / "lingua"))) << "a folder as the panel";
    EXPECT_FALSE(loader.loadPanel());
    EXPECT_EQ(loader.failure()->title, "ERR...");

    ASSERT_TRUE(loader.loadFiles(argumentString(dir / "nomarker.KN4", dir / "lingua")));
    EXPECT_FALSE(loader.loadPanel());
    EXPECT_EQ(loader.failure()->text, loader.label(29)) << "the label's text, not its number";
    EXPECT_FALSE(loader.label(29).empty());

    // A rib of 20 digits in a small panel is refused, not drawn.
    writeFile(dir / "damaged.KN4",
              compiledPanel(sourceHeader(), "AB--- 44 DAVANTI---,120D,12------,1,99999999999999999999D 5S,20D 20S,2,1"));
    ASSERT_TRUE(loader.loadFiles(argumentString(dir / "damaged.KN4", dir / "lingua")));
    EXPECT_FALSE(loader.loadPanel());
    EXPECT_EQ(loader.failure()->title, (dir / "damaged.KN4").string());
    EXPECT_EQ(loader.failure()->text, loader.label(kn4::PrintLoader::kDamagedLabel));
    EXPECT_FALSE(loader.failure()->text.empty());
    fs::remove_all(dir);
}

} // namespace
