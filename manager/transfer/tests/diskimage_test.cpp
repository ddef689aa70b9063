#include "transfer/diskimage.h"

#include "transfertesting.h"

#include <functional>
#include <gtest/gtest.h>

using namespace kn4::transfer::image;
using kn4::testing::pattern;

namespace {

const std::uint8_t *bytes(const std::string &s)
{
    return reinterpret_cast<const std::uint8_t *>(s.data());
}

std::size_t sectorOffset(std::size_t n)
{
    return n * kStoredSectorBytes;
}

BuildResult buildOf(std::size_t plcSize, std::vector<std::size_t> panelSizes)
{
    std::vector<SourceFile> panels;
    for (std::size_t i = 0; i < panelSizes.size(); ++i)
        panels.push_back({"P" + std::to_string(i) + ".KN4", pattern(panelSizes[i], unsigned(i + 1))});
    return build("PROVA", {"PLC1.EXE", pattern(plcSize, 99)}, panels);
}

TEST(SectorCrc, ZeroSectorAndStartValue)
{
    const std::string zeros(kSectorBytes, '\0');
    EXPECT_EQ(sectorCrc(bytes(zeros), zeros.size()), 0xDA6E);
    // The start value is the CCITT CRC from FFFF over the sync bytes and the
    // data mark, so a whole-sector CRC computed that way, bit by bit, must
    // agree for any sector.
    const auto bitByBit = [](const std::string &data) {
        const std::string marked = std::string("\xA1\xA1\xA1\xFB", 4) + data;
        std::uint16_t crc = 0xFFFF;
        for (unsigned char c : marked) {
            crc ^= std::uint16_t(c << 8);
            for (int b = 0; b < 8; ++b)
                crc = (crc & 0x8000) ? std::uint16_t((crc << 1) ^ 0x1021) : std::uint16_t(crc << 1);
        }
        return crc;
    };
    EXPECT_EQ(bitByBit(zeros), 0xDA6E);
    std::string everyByte;
    for (std::size_t i = 0; i < kSectorBytes; ++i)
        everyByte += char(i * 37 % 256);
    EXPECT_EQ(sectorCrc(bytes(everyByte), everyByte.size()), bitByBit(everyByte));
}

TEST(Fat, PacksTwoEntriesIntoThreeBytes)
{
    std::uint8_t fat[6] = {};
    setFatEntry(fat, 0, 0xFF9);
    setFatEntry(fat, 1, 0xFFF);
    setFatEntry(fat, 2, 0x003);
    setFatEntry(fat, 3, 0xABC);
    const std::uint8_t expected[6] = {0xF9, 0xFF, 0xFF, 0x03, 0xC0, 0xAB};
    EXPECT_TRUE(std::equal(fat, fat + 6, expected));
    const std::uint16_t entries[4] = {0xFF9, 0xFFF, 0x003, 0xABC};
    for (unsigned i = 0; i < 4; ++i)
        EXPECT_EQ(fatEntry(fat, i), entries[i]);
}

TEST(SizeCheck, CountsAsTheBuilderCounts)
{
    struct Case { std::uint64_t plc; std::vector<std::uint64_t> panels; unsigned counted; bool fits; };
    const Case cases[] = {
        {30000, {2000, 1024}, 34, true},                            // 30 + 2 + 2
        {0, {}, 1, true},
        {1023, {}, 1, true},
        {1024, {}, 2, true},
        {709 * 1024 - 1, {}, 709, true},
        {709 * 1024, {}, 710, true},                                // at the limit
        {710 * 1024, {}, 711, false},                               // one past it
        {0, std::vector<std::uint64_t>(106, 0), 107, true},         // 106 panels
        {0, std::vector<std::uint64_t>(107, 0), 108, false},        // 107 panels
    };
    for (const Case &c : cases) {
        const SizeCheck check = checkSizes(c.plc, c.panels);
        EXPECT_EQ(check.countedClusters, c.counted) << c.plc << " + " << c.panels.size();
        EXPECT_EQ(check.fits(), c.fits) << c.plc << " + " << c.panels.size();
        EXPECT_EQ(check.message().empty(), c.fits);
    }
}

TEST(Build, SizeExampleOfThreeFiles)
{
    const BuildResult r = buildOf(30000, {2000, 1024});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.image.size(), 7196u + 1028u * 33u);
    const CheckReport report = check(r.image);
    EXPECT_TRUE(report.sound()) << report.problems.front();
    ASSERT_EQ(report.entries.size(), 3u);
    const std::uint16_t firstClusters[] = {2, 32, 34};
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(report.entries[i].firstCluster, firstClusters[i]);
    EXPECT_EQ(r.progress.front(), "Disk PROVA");
    EXPECT_EQ(r.progress[2], "File = PLC1.EXE  Cluster = 2 Byte buffer = 38036");
    EXPECT_EQ(r.progress[6], "Byte  = 41120");
    // The controller program's last 304 bytes fill part of the first sector
    // of its 30th cluster; the second sector lies beyond its end: zeros,
    // with their CRC.
    const std::size_t lastSector = 14 + 2 * 29 + 1;
    EXPECT_EQ(r.image.substr(sectorOffset(lastSector), kSectorBytes), std::string(kSectorBytes, '\0'));
    EXPECT_EQ(r.image.substr(sectorOffset(lastSector) + kSectorBytes, 2), "\xDA\x6E");
}

TEST(Build, SystemSectors)
{
    const BuildResult r = buildOf(100, {});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.image.substr(0, 11), "\xEB\x3E\x90PC Tools");
    const std::uint8_t *fat = bytes(r.image) + sectorOffset(1);
    EXPECT_EQ(fatEntry(fat, 0), 0xFF9);
    EXPECT_EQ(fatEntry(fat, 1), 0xFFF);
    EXPECT_EQ(fatEntry(fat, 2), 0xFFF);
    EXPECT_EQ(r.image.substr(sectorOffset(4), kSectorBytes), r.image.substr(sectorOffset(1), kSectorBytes));
    const std::string entry = r.image.substr(sectorOffset(7), 32);
    EXPECT_EQ(entry.substr(0, 12), "PLC1    EXE\x20");
    EXPECT_EQ(entry.substr(12, 14), std::string(14, '\0'));
    EXPECT_EQ(entry.substr(26, 6), std::string("\x02\x00\x64\x00\x00\x00", 6));
    EXPECT_NE(r.image.find("This is not a bootable diskette"), std::string::npos);
    EXPECT_NE(r.image.find("Replace and press any key when ready"), std::string::npos);
}

TEST(Build, EmptyPanelHasEntryAndOneCluster)
{
    const BuildResult r = buildOf(10, {0, 5});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.image.size(), 7196u + 1028u * 3u);
    const CheckReport report = check(r.image);
    EXPECT_TRUE(report.sound());
    ASSERT_EQ(report.entries.size(), 3u);
    EXPECT_EQ(report.entries[1].size, 0u);
    EXPECT_EQ(report.entries[1].firstCluster, 3);
    EXPECT_EQ(report.entries[2].firstCluster, 4);
}

TEST(Build, RefusesWhatDoesNotFitOrCannotBeNamed)
{
    EXPECT_FALSE(buildOf(710 * 1024, {}).ok);
    EXPECT_FALSE(buildOf(0, std::vector<std::size_t>(107, 1)).ok);
    EXPECT_TRUE(buildOf(0, std::vector<std::size_t>(106, 1)).ok);
    // Names that give the same directory name would hide one panel.
    EXPECT_FALSE(build("X", {"PLC.EXE", "p"}, {{"davanti1.kn4", "a"}, {"DAVANTI12.KN4", "b"}}).ok);
    EXPECT_FALSE(build("X", {"PLC.EXE", "p"}, {{".kn4", "a"}}).ok);
}

// Names as the diskette holds them: Windows-1252 upper case, cut to 8 + 3,
// shown so in the progress and in the summary beside the file's own name.
TEST(Build, NamesOnTheDiskAreShownAsWritten)
{
    EXPECT_EQ(diskFileName("\xC3\xA8lite.kn4"), "\xC8LITE.KN4");                 // èlite: È
    EXPECT_EQ(diskFileName("\xC5\x93uvre \xE2\x82\xAC.kn4"), "\x8CUVRE \x80.KN4"); // œuvre €
    EXPECT_EQ(diskFileName("\xE4\xB8\xAD.kn4"), "_.KN4");                       // no place in the code page
    const BuildResult r = build("X", {"PLC1.EXE", "p"},
                                {{diskFileName("MANICA BIMBO.KN4"), "a", "MANICA BIMBO.KN4"},
                                 {diskFileName("\xC3\xA8lite.kn4"), "b", "\xC3\xA8lite.kn4"}});
    ASSERT_TRUE(r.ok) << r.error;
    const std::vector<std::string> tail(r.progress.end() - 4, r.progress.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"Nomi nel disco: ", "  PLC1.EXE", "  MANICABI.KN4  <- MANICA BIMBO.KN4",
                                              "  \xC3\x88LITE.KN4  <- \xC3\xA8lite.kn4"}));
    EXPECT_EQ(r.progress[3], "File = MANICABI.KN4  Cluster = 3 Byte buffer = 9252");
    EXPECT_EQ(list(r.image, nullptr)[2].name, "\xC8LITE.KN4");

    // A first byte E5 would mark the entry deleted: it is written as 05, the
    // image stays sound and the panel is listed under its own name.
    const BuildResult e5 = build("X", {"PLC1.EXE", "p"}, {{"\xE5LITE.KN4", "c"}});
    ASSERT_TRUE(e5.ok);
    EXPECT_EQ(std::uint8_t(e5.image[sectorOffset(7) + 32]), 0x05);
    EXPECT_TRUE(check(e5.image).sound());
    EXPECT_EQ(list(e5.image, nullptr).at(1).name, "\xE5LITE.KN4");
}

TEST(DirectoryName, FatRules)
{
    const std::pair<const char *, const char *> cases[] = {
        {"davanti.kn4", "DAVANTI KN4"}, {"MANICA", "MANICA     "},     {"lunghissimo.kn4", "LUNGHISSKN4"},
        {"a b.c d", "AB      CD "},     {"x+y.kn4", "X_Y     KN4"}, {"v1.2.kn4", "V1_2    KN4"},
    };
    for (const auto &[file, expected] : cases) {
        const auto name = directoryName(file);
        ASSERT_TRUE(name) << file;
        EXPECT_EQ(std::string(name->data(), 11), expected) << file;
    }
}

// Each case spoils one thing of a sound image; check must name it.
TEST(Check, FindsEveryKindOfDamage)
{
    const std::string sound = buildOf(3000, {1500, 10}).image;
    ASSERT_TRUE(check(sound).sound());
    struct Case { const char *what; std::function<void(std::string &)> spoil; const char *problem; };
    auto setFat = [](std::string &img, unsigned index, std::uint16_t v, bool bothCopies) {
        for (std::size_t copy = 0; copy < (bothCopies ? 2u : 1u); ++copy) {
            const std::size_t sector = 1 + copy * 3;
            auto *fat = reinterpret_cast<std::uint8_t *>(img.data() + sectorOffset(sector));
            setFatEntry(fat, index, v);
            const auto crc = sectorCrc(fat, kSectorBytes);
            img[sectorOffset(sector) + 512] = char(crc >> 8);
            img[sectorOffset(sector) + 513] = char(crc);
        }
    };
    // Bytes of a sector changed, its CRC made right again: only the field
    // itself is wrong.
    auto patch = [](std::string &img, std::size_t sector, std::size_t at, std::string_view with) {
        img.replace(sectorOffset(sector) + at, with.size(), with);
        const auto crc = sectorCrc(bytes(img) + sectorOffset(sector), kSectorBytes);
        img[sectorOffset(sector) + 512] = char(crc >> 8);
        img[sectorOffset(sector) + 513] = char(crc);
    };
    const std::size_t panel = 32; // the first panel's directory entry, in sector 7
    const Case cases[] = {
        {"jump bytes", [&](std::string &i) { patch(i, 0, 0, "\xE9\x3E\x90"); }, "jump bytes E9 3E 90"},
        {"OEM name", [&](std::string &i) { patch(i, 0, 3, "MSDOS5.0"); }, "OEM name \"MSDOS5.0\""},
        {"attribute", [&](std::string &i) { patch(i, 7, panel + 11, "\x21"); }, "attribute 21"},
        {"reserved", [&](std::string &i) { patch(i, 7, panel + 22, "\x01"); }, "bytes 12 to 25"},
        {"dot in name", [&](std::string &i) { patch(i, 7, panel, "P.0"); }, "not a name"},
        {"slash in name", [&](std::string &i) { patch(i, 7, panel + 1, "/"); }, "not a name"},
        {"NUL in name", [&](std::string &i) { patch(i, 7, panel + 8, std::string_view("\0", 1)); }, "not a name"},
        {"lower case", [&](std::string &i) { patch(i, 7, panel, "p"); }, "not a name"},
        {"deleted entry", [&](std::string &i) { patch(i, 7, 3 * 32, "\xE5X"); }, "deleted entry"},
        {"after the end", [&](std::string &i) { patch(i, 8, 5, "X"); }, "after the last file is not empty"},
        // The controller program of 3000 bytes ends 952 bytes into its
        // third cluster: at byte 440 of sector 19.
        {"after a file's end", [&](std::string &i) { patch(i, 19, 500, "X"); }, "after its end is not zero"},
        {"data byte", [](std::string &i) { i[sectorOffset(20)] ^= 1; }, "sector 20: CRC"},
        {"CRC byte", [](std::string &i) { i[sectorOffset(0) + 513] ^= 1; }, "sector 0: CRC"},
        {"short", [](std::string &i) { i.resize(7000); }, "shorter than"},
        {"half sector", [](std::string &i) { i.resize(i.size() - 100); }, "whole number"},
        {"extra cluster", [](std::string &i) { i += i.substr(i.size() - 1028); }, "runs on for 1 clusters"},
        {"FAT copies", [&](std::string &i) { setFat(i, 200, 0xFFF, false); }, "FAT copies differ"},
        {"lost cluster", [&](std::string &i) { setFat(i, 9, 0xFFF, true); }, "no file owns it"},
        {"open chain", [&](std::string &i) { setFat(i, 4, 0, true); }, "followed by 0"},
        {"jump", [&](std::string &i) { setFat(i, 2, 4, true); }, "not by the next cluster"},
        {"short chain", [&](std::string &i) { setFat(i, 3, 0xFFF, true); }, "take 3 clusters, its chain has 2"},
    };
    for (const Case &c : cases) {
        std::string image = sound;
        c.spoil(image);
        const CheckReport report = check(image);
        ASSERT_FALSE(report.sound()) << c.what;
        bool named = false;
        for (const std::string &p : report.problems)
            named = named || p.find(c.problem) != std::string::npos;
        EXPECT_TRUE(named) << c.what << ": " << report.problems.front();
    }
}

TEST(ReadBack, FilesAndRawImage)
{
    const std::string plc = pattern(3000, 99);
    const BuildResult r = build("X", {"PLC1.EXE", plc}, {{"A.KN4", pattern(1500, 1)}, {"B.KN4", ""}});
    std::string error;
    const auto entries = list(r.image, &error);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(readFile(r.image, entries[0], &error), plc);
    EXPECT_EQ(readFile(r.image, entries[1], &error), pattern(1500, 1));
    EXPECT_EQ(readFile(r.image, entries[2], &error), "");
    const auto raw = rawImage(r.image, &error);
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->size(), kRawImageBytes);
    EXPECT_EQ(raw->substr(14 * 512, 3000), plc);
    EXPECT_FALSE(rawImage(r.image + "x", &error));
}

} // namespace
