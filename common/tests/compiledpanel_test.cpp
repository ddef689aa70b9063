#include "kn4/compiledpanel.h"

#include "kn4/testfiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

using kn4::CompiledPanel;
using namespace std::string_literals;

const std::string kMarker = "\r\nSORGENTE.KN4\r\n";

struct LayoutCase
{
    const char *name;
    std::string bytes;
    std::string header;
    bool separator;
    std::string code;
    bool marker;
    std::string source;
};

TEST(CompiledPanel, SplitsTheFileAtTheSeparatorAndTheMarker)
{
    const LayoutCase cases[] = {
        {"compiled", "H,1\x1a\x01\x02" + kMarker + "SRC\r\n", "H,1", true, "\x01\x02", true, "SRC\r\n"},
        {"code holding 26, CR LF and half a marker",
         "H\x1a\x1a\r\n\r\nSORGENTE\x1a" + kMarker + "S", "H", true, "\x1a\r\n\r\nSORGENTE\x1a", true, "S"},
        {"empty code", "H\x1a" + kMarker + "S", "H", true, "", true, "S"},
        {"empty source", "H\x1a\x05" + kMarker, "H", true, "\x05", true, ""},
        {"no marker", "H\x1a\x05\x06", "H", true, "\x05\x06", false, ""},
        {"cut inside the marker", "H\x1a\x05\r\nSORGENTE.K", "H", true, "\x05\r\nSORGENTE.K", false, ""},
        {"only the separator", "\x1a", "", true, "", false, ""},
        {"empty file", "", "", false, "", false, ""},
        {"source form", "SORGENTE.KN4\r\nA\r\n", "", false, "", true, "A\r\n"},
        {"source form after other lines", "x\r\nSORGENTE.KN4\r\nA", "", false, "", true, "A"},
        {"source form, marker not at a line start", "xSORGENTE.KN4\r\nA", "", false, "", false, ""},
        {"source form, marker line without CR LF", "SORGENTE.KN4", "", false, "", false, ""},
    };
    for (const auto &c : cases) {
        const CompiledPanel panel(c.bytes);
        EXPECT_EQ(panel.headerText(), c.header) << c.name;
        EXPECT_EQ(panel.hasSeparator(), c.separator) << c.name;
        EXPECT_EQ(panel.code(), c.code) << c.name;
        EXPECT_EQ(panel.hasMarker(), c.marker) << c.name;
        EXPECT_EQ(panel.source(), c.source) << c.name;
        EXPECT_EQ(panel.sourceOffset() + panel.source().size(), c.bytes.size()) << c.name;
    }
}

TEST(CompiledPanel, ViewsFollowACopy)
{
    CompiledPanel copy;
    {
        const CompiledPanel original("H\x1a\x07" + kMarker + "SRC");
        copy = original;
    }
    EXPECT_EQ(copy.code(), "\x07");
    EXPECT_EQ(copy.source(), "SRC");
}

struct HeaderCase
{
    const char *text;
    kn4::CompiledHeader expected;
};

TEST(CompiledHeader, ReadsEveryFieldWhereItStands)
{
    const HeaderCase cases[] = {
        {"AB--- 44 DAVANTI---,120D,12------,1,5D 5S,20D 20S,532,500",
         {"AB---", "44", "DAVANTI---", 120, "12------", 1, 5, 5, 20, 20, 532, 500}},
        {"  ,0D,,0,0D 0S,0D 0S,0,0", {"", "", "", 0, "", 0, 0, 0, 0, 0, 0, 0}},
        {"A B C,-3D,1,2,3,-7D -8S,-1D 4S,9,10", {"A", "B", "C", -3, "1,2", 3, -7, -8, -1, 4, 9, 10}},
        {"A B C,120D,12", {"A", "B", "C", 120, "12", 0, 0, 0, 0, 0, 0, 0}},
        {"A B C,120D,12,1,5D 5S,20D 20S,532", {"A", "B", "C", 120, "12", 1, 5, 5, 20, 20, 532, 0}},
        {"", {}},
        {"xx,yyD,zz,ww,aaD bbS,ccD ddS,ee,ff", {"xx", "", "", 0, "zz", 0, 0, 0, 0, 0, 0, 0}},
        {"A B C,99999999999D,d,1,5D,20D 20S,1,2", {"A", "B", "C", 2147483647, "d", 1, 5, 0, 20, 20, 1, 2}},
    };
    for (const auto &c : cases) {
        const kn4::CompiledHeader h = kn4::parseCompiledHeader(c.text);
        const kn4::CompiledHeader &e = c.expected;
        EXPECT_EQ(h.type, e.type) << c.text;
        EXPECT_EQ(h.size, e.size) << c.text;
        EXPECT_EQ(h.part, e.part) << c.text;
        EXPECT_EQ(h.width, e.width) << c.text;
        EXPECT_EQ(h.density, e.density) << c.text;
        EXPECT_EQ(h.setUp, e.setUp) << c.text;
        EXPECT_EQ(h.borderRight, e.borderRight) << c.text;
        EXPECT_EQ(h.borderLeft, e.borderLeft) << c.text;
        EXPECT_EQ(h.necklineRight, e.necklineRight) << c.text;
        EXPECT_EQ(h.necklineLeft, e.necklineLeft) << c.text;
        EXPECT_EQ(h.totalSteps, e.totalSteps) << c.text;
        EXPECT_EQ(h.courses, e.courses) << c.text;
    }
}

TEST(CompiledPanel, ReadsAWholeFileOfAnySizeAndNamesAFileItCannotRead)
{
    const auto folder = std::filesystem::temp_directory_path() / ("kn4_compiledpanel_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string big = "H\x1a" + std::string(100000, '\x1a') + kMarker + std::string(70000, 'x');
    kn4::testing::writeFile(folder / "BIG.KN4", big);

    CompiledPanel panel;
    std::string error;
    ASSERT_TRUE(kn4::readCompiledPanel(folder / "BIG.KN4", panel, error)) << error;
    EXPECT_EQ(panel.code().size(), 100000u);
    EXPECT_EQ(panel.source().size(), 70000u);

    for (const auto &path : {folder / "MISSING.KN4", folder}) {
        EXPECT_FALSE(kn4::readCompiledPanel(path, panel, error));
        EXPECT_NE(error.find(path.string()), std::string::npos) << error;
    }
    std::filesystem::remove_all(folder);
}

} // namespace
