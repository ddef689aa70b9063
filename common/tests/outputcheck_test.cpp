#include "kn4/outputcheck.h"

#include "kn4/tempfolder.h"
#include "kn4/testfiles.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// An output that would destroy what the program reads, or a panel, is
// refused; any other name, new or old, is not.
TEST(OutputCheck, RefusesAnInputAPanelOrAnythingButAFile)
{
    const kn4::testing::TempFolder dir("kn4output");
    kn4::testing::writeFile(dir / "DAVANTI.KN4", "SORGENTE.KN4\r\n");
    kn4::testing::writeFile(dir / "DIETRO.KN4", "x");
    kn4::testing::writeFile(dir / "panel.txt", "AB,1,2\x1a\x94\r\nSORGENTE.KN4\r\ntipo\r\n");
    kn4::testing::writeFile(dir / "old.png", "png");
    kn4::testing::writeFile(dir / "settings.sav", "1");
    fs::create_symlink("settings.sav", dir / "link.png");
    fs::create_directories(dir / "folder.png");
    const std::vector<fs::path> inputs = {dir / "DAVANTI.KN4", dir / "settings.sav"};
    const struct
    {
        fs::path output;
        std::string refusal;
    } cases[] = {
        {dir / "new.png", ""},
        {dir / "old.png", ""},
        {dir.path() / "." / "DAVANTI.KN4", "is " + (dir / "DAVANTI.KN4").string() + ", one of the files read"},
        {dir / "link.png", "is " + (dir / "settings.sav").string() + ", one of the files read"},
        {dir / "DIETRO.KN4", "is an existing panel"},
        {dir / "panel.txt", "is an existing panel"},
        {dir / "folder.png", "exists and is not a regular file"},
        {"/dev/null", "exists and is not a regular file"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(kn4::outputRefusal(c.output, inputs), c.refusal) << c.output;
}

} // namespace
