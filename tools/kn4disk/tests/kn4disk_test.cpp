// kn4disk against the real FAT tools: every image it builds, stripped of its
// CRCs and padded to a whole diskette, must pass fsck.fat and give its files
// back through mtools byte for byte.
#include "diskcommand.h"
#include "transfer/diskimage.h"
#include "transfer/mediafiles.h"

#include "transfertesting.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>

namespace fs = std::filesystem;
using kn4::disk::DiskCommand;
using kn4::testing::pattern;
using kn4::testing::readFile;

namespace {

struct Output
{
    int status = -1;
    std::string text;
};

Output shell(const std::string &command)
{
    Output out;
    FILE *pipe = ::popen(("MTOOLS_SKIP_CHECK=1 " + command + " 2>&1").c_str(), "r");
    if (!pipe)
        return out;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.text.append(buffer, n);
    const int status = ::pclose(pipe);
    out.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

std::string quoted(const fs::path &p)
{
    return "'" + p.string() + "'";
}

class Kn4DiskTest : public kn4::testing::TransferTest
{
protected:
    int run(std::vector<std::string> args)
    {
        std::ostringstream out, err;
        const int code = DiskCommand::run(args, out, err);
        m_out = out.str();
        m_err = err.str();
        return code;
    }

    // Builds NAME.vlp from the files, checks it, converts it and validates
    // the sector image with fsck.fat and mtools.
    // Patterns are no panels: only --force puts them in an image.
    void buildAndValidate(const fs::path &plc, const std::vector<fs::path> &panels, bool fsckClean = true,
                          bool force = true)
    {
        const fs::path vlp = m_dir / "DISCO.vlp", img = m_dir / "DISCO.img";
        std::vector<std::string> args = {"build", "--plc", plc.string(), "-o", vlp.string()};
        if (force)
            args.push_back("--force");
        for (const fs::path &p : panels)
            args.push_back(p.string());
        ASSERT_EQ(run(args), DiskCommand::kOk) << m_err;
        ASSERT_EQ(run({"check", vlp.string()}), DiskCommand::kOk) << m_out;
        ASSERT_EQ(run({"raw", vlp.string(), "-o", img.string()}), DiskCommand::kOk) << m_err;
        EXPECT_EQ(fs::file_size(img), 737280u);

        const Output fsck = shell("fsck.fat -n " + quoted(img));
        if (fsckClean) {
            EXPECT_EQ(fsck.status, 0) << fsck.text;
        }
        const Output dir = shell("mdir -b -i " + quoted(img) + " ::");
        ASSERT_EQ(dir.status, 0) << dir.text;
        std::vector<fs::path> files = {plc};
        files.insert(files.end(), panels.begin(), panels.end());
        const fs::path back = m_dir / "back", unpacked = m_dir / "unpacked";
        fs::create_directories(back);
        ASSERT_EQ(run({"extract", vlp.string(), unpacked.string()}), DiskCommand::kOk) << m_err;
        for (const fs::path &file : files) {
            const std::string name = kn4::transfer::upperCase(file.filename().string());
            EXPECT_NE(dir.text.find("::/" + name), std::string::npos) << name << "\n" << dir.text;
            const Output copy = shell("mcopy -n -i " + quoted(img) + " ::/" + name + " " + quoted(back / name));
            ASSERT_EQ(copy.status, 0) << copy.text;
            EXPECT_EQ(readFile(back / name), readFile(file)) << name;
            EXPECT_EQ(readFile(unpacked / name), readFile(file)) << name;
        }
    }

    std::string m_out, m_err;
};

TEST_F(Kn4DiskTest, SizeExampleRoundTrips)
{
    buildAndValidate(put("PLC1.EXE", pattern(30000, 1)),
                     {put("A.KN4", pattern(2000, 2)), put("B.KN4", pattern(1024, 3))});
    EXPECT_EQ(fs::file_size(m_dir / "DISCO.vlp"), 7196u + 1028u * 33u);
}

TEST_F(Kn4DiskTest, SamplePanelsRoundTrip)
{
    std::vector<fs::path> panels;
    for (const char *name : {"DAVANTI.KN4", "DIETRO.KN4", "MANICA.KN4"})
        panels.push_back(fs::path(KN4_PROGRAM_DIR) / "archivi/DEMO" / name); // compiled by the build
    buildAndValidate(put("PLC1.EXE", pattern(25000, 1)), panels, true, false);
}

TEST_F(Kn4DiskTest, BuildRefusesWhatGivesTheMachineNoProgram)
{
    const fs::path demo = fs::path(KN4_PROGRAM_DIR) / "archivi/DEMO";
    const std::string davanti = readFile(demo / "DAVANTI.KN4");
    const std::size_t marker = davanti.find("SORGENTE.KN4");
    ASSERT_NE(marker, std::string::npos);
    const fs::path plc = put("PLC1.EXE", pattern(1000, 1)), vlp = m_dir / "DISCO.vlp";
    const std::vector<fs::path> refused = {put("SORGENTE.KN4", davanti.substr(marker)), put("DATI.KN4", "abc")};
    for (const fs::path &panel : refused) {
        EXPECT_EQ(run({"build", "--plc", plc.string(), "-o", vlp.string(), (demo / "DIETRO.KN4").string(),
                       panel.string()}),
                  DiskCommand::kRefused)
            << panel;
        EXPECT_NE(m_err.find(panel.string()), std::string::npos) << m_err;
        EXPECT_FALSE(fs::exists(vlp));
        EXPECT_EQ(run({"build", "--plc", plc.string(), "-o", vlp.string(), panel.string(), "--force"}),
                  DiskCommand::kOk)
            << m_err;
        fs::remove(vlp);
    }
}

TEST_F(Kn4DiskTest, FullDiskRoundTrips)
{
    // 106 panels and 710 counted clusters: the largest image there is.
    std::vector<fs::path> panels;
    for (int i = 0; i < 106; ++i)
        panels.push_back(put("P" + std::to_string(i) + ".KN4", pattern(5000, unsigned(i))));
    buildAndValidate(put("PLC1.EXE", pattern(1024 * 179, 7)), panels); // 180 + 106 x 5 counted
}

TEST_F(Kn4DiskTest, EmptyPanelReadsBackEmpty)
{
    // The controller wants a cluster for an empty file too; fsck.fat would
    // only shorten that chain, mtools reads the file as empty.
    buildAndValidate(put("PLC1.EXE", pattern(100, 1)), {put("VUOTO.KN4", "")}, false);
    const Output fsck = shell("fsck.fat -n " + quoted(m_dir / "DISCO.img"));
    EXPECT_NE(fsck.text.find("VUOTO.KN4\n  File size is 0 bytes, cluster chain length is > 0 bytes."),
              std::string::npos) << fsck.text;
}

TEST_F(Kn4DiskTest, RefusedBuildLeavesTheOldImage)
{
    const fs::path vlp = put("DISCO.vlp", "old image");
    std::vector<std::string> args = {"build", "--plc", put("PLC1.EXE", pattern(710 * 1024, 1)).string(), "-o",
                                     vlp.string()};
    EXPECT_EQ(run(args), DiskCommand::kRefused);
    EXPECT_NE(m_err.find("711 cluster"), std::string::npos) << m_err;
    EXPECT_EQ(readFile(vlp), "old image");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 2);
}

// Bytes of an image's sector changed and its CRC made right again.
void patchSector(std::string &image, std::size_t sector, std::size_t at, std::string_view with)
{
    image.replace(sector * 514 + at, with.size(), with);
    const auto crc = kn4::transfer::image::sectorCrc(reinterpret_cast<const std::uint8_t *>(&image[sector * 514]), 512);
    image[sector * 514 + 512] = char(crc >> 8);
    image[sector * 514 + 513] = char(crc);
}

TEST_F(Kn4DiskTest, ExtractKeepsNamesInsideTheFolder)
{
    const fs::path vlp = m_dir / "D.vlp";
    ASSERT_EQ(run({"build", "--plc", put("PLC1.EXE", "p").string(), "-o", vlp.string(),
                   put("A.KN4", "a").string(), "--force"}),
              DiskCommand::kOk);
    // Give the panel the name "../../X" straight in the directory sector:
    // no name the builder writes, so refused; forced, it stays inside.
    std::string image = readFile(vlp);
    patchSector(image, 7, 32, "../../X    ");
    kn4::testing::writeFile(vlp, image);
    EXPECT_EQ(run({"extract", vlp.string(), (m_dir / "out").string()}), DiskCommand::kRefused);
    EXPECT_FALSE(fs::exists(m_dir / "out"));
    ASSERT_EQ(run({"extract", vlp.string(), (m_dir / "out").string(), "--force"}), DiskCommand::kOk) << m_err;
    EXPECT_EQ(readFile(m_dir / "out" / ".._.._X"), "a");
    EXPECT_FALSE(fs::exists(m_dir / "X"));
}

// A damaged image or a file that is no image gives nothing: exit 1, the
// problem named, no folder and no raw image written.
TEST_F(Kn4DiskTest, ExtractAndRawRefuseWhatIsNotASoundImage)
{
    const fs::path vlp = m_dir / "D.vlp";
    ASSERT_EQ(run({"build", "--plc", put("PLC1.EXE", pattern(3000, 1)).string(), "-o", vlp.string(),
                   put("A.KN4", pattern(1500, 2)).string(), "--force"}),
              DiskCommand::kOk);
    const std::string sound = readFile(vlp);
    std::string flipped = sound;
    flipped[20 * 514 + 7] ^= 0x04; // one bit of the panel's data
    std::string pastTheEnd = sound;
    patchSector(pastTheEnd, 7, 32 + 26, "\x40\x00"); // the panel's first cluster: 64
    const struct
    {
        const char *what;
        std::string bytes;
        const char *problem;
    } cases[] = {
        {"flipped bit", flipped, "sector 20: CRC"},
        {"entry past the image", pastTheEnd, "cluster 64 of its chain is not in the image"},
        {"empty file", "", "shorter than"},
        {"one sector of garbage", pattern(514, 3), "shorter than"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path bad = put("bad.vlp", c.bytes);
        EXPECT_EQ(run({"extract", bad.string(), (m_dir / "out").string()}), DiskCommand::kRefused);
        EXPECT_NE(m_err.find(c.problem), std::string::npos) << m_err;
        EXPECT_FALSE(fs::exists(m_dir / "out"));
        EXPECT_EQ(run({"raw", bad.string(), "-o", (m_dir / "bad.img").string()}), DiskCommand::kRefused);
        EXPECT_FALSE(fs::exists(m_dir / "bad.img"));
    }
    const fs::path bad = put("bad.vlp", flipped);
    EXPECT_EQ(run({"raw", bad.string(), "-o", (m_dir / "bad.img").string(), "--force"}), DiskCommand::kOk);
    EXPECT_EQ(fs::file_size(m_dir / "bad.img"), 737280u);
}

TEST_F(Kn4DiskTest, CheckAndUsageExitCodes)
{
    EXPECT_EQ(run({"check", put("bad.vlp", std::string(7196, '\0')).string()}), DiskCommand::kRefused);
    EXPECT_EQ(run({"check", (m_dir / "missing.vlp").string()}), DiskCommand::kUsage);
    EXPECT_EQ(run({"extract", (m_dir / "missing.vlp").string(), (m_dir / "out").string()}), DiskCommand::kUsage);
    EXPECT_EQ(run({"build", "--plc", put("P.EXE", "p").string(), "-o", (m_dir / "x.vlp").string(),
                   (m_dir / "missing.KN4").string()}),
              DiskCommand::kUsage);
    EXPECT_EQ(run({"list"}), DiskCommand::kUsage);
    EXPECT_EQ(run({"build", "-o", "x.vlp"}), DiskCommand::kUsage);
}

} // namespace
