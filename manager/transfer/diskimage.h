#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kn4::transfer {

// The diskette image a floppy emulator of the lince controller reads (.vlp):
// a 720 KB double-sided diskette with a FAT12 file system, sector by sector,
// each 512-byte sector followed by its 2-byte CRC as the diskette itself
// carries it. Only the clusters in use are stored: the image ends after the
// last cluster of the last file.
namespace image {

constexpr std::size_t kSectorBytes = 512;
constexpr std::size_t kStoredSectorBytes = kSectorBytes + 2;
constexpr std::size_t kTotalSectors = 1440;
constexpr std::size_t kSectorsPerCluster = 2;
constexpr std::size_t kClusterBytes = kSectorBytes * kSectorsPerCluster;
constexpr std::size_t kStoredClusterBytes = kStoredSectorBytes * kSectorsPerCluster;
constexpr std::size_t kFatFirstSector = 1;
constexpr std::size_t kFatSectors = 3;
constexpr std::size_t kFatBytes = kFatSectors * kSectorBytes;
constexpr std::size_t kRootFirstSector = 7;
constexpr std::size_t kRootSectors = 7;
constexpr std::size_t kRootEntries = 112;
constexpr std::size_t kEntryBytes = 32;
constexpr std::size_t kDataFirstSector = 14;
constexpr std::size_t kSystemBytes = kDataFirstSector * kStoredSectorBytes; // 7196
constexpr unsigned kFirstCluster = 2;
// Clusters the 1426 data sectors of the diskette hold.
constexpr unsigned kClustersOnDiskette = (kTotalSectors - kDataFirstSector) / kSectorsPerCluster;
// The builder's limits: the clusters its size check counts, the panels one
// image takes (the root directory holds them and the controller program),
// and the largest image its buffer holds.
constexpr unsigned kMaxCountedClusters = 710;
constexpr std::size_t kMaxPanels = 106;
constexpr std::size_t kMaxImageBytes = 800000;
// The plain sector image without CRCs that other emulators and mtools read.
constexpr std::size_t kRawImageBytes = kTotalSectors * kSectorBytes; // 737280

constexpr std::uint16_t kFatMedia = 0xFF9;
constexpr std::uint16_t kFatEnd = 0xFFF;
constexpr std::uint8_t kAttributeArchive = 0x20;

// CRC-16 of a diskette sector: polynomial 0x1021, most significant bit
// first, started from 0xE295, the value the CCITT CRC started from 0xFFFF
// has after the sync bytes A1 A1 A1 and the data mark FB.
std::uint16_t sectorCrc(const std::uint8_t *data, std::size_t size);

// 12-bit FAT entries, two packed into three bytes.
std::uint16_t fatEntry(const std::uint8_t *fat, unsigned index);
void setFatEntry(std::uint8_t *fat, unsigned index, std::uint16_t value);

// The boot sector: diskette parameters and a boot program that says the
// diskette does not start a computer and restarts on a key.
std::array<std::uint8_t, kSectorBytes> bootSector();

// The 11-byte directory name of a file name: upper case, before and after
// the last dot, cut to 8 and 3 characters, characters a FAT name cannot
// hold replaced by "_". Empty when nothing is left before the dot.
std::optional<std::array<char, 11>> directoryName(std::string_view fileName);
// "NAME.EXT" (or "NAME") from the 11 bytes of a directory entry, in the
// diskette's Windows-1252 bytes.
std::string displayName(const std::uint8_t *entryName);

// A file name of this system (UTF-8) as the diskette holds it: Windows-1252
// upper case, each character the code page cannot hold (or that has no
// place in a file name) replaced by "_". directoryName then cuts it to 8 + 3.
std::string diskFileName(std::string_view utf8Name);

// The size check before anything is built: every file counts its size
// divided by 1024 (rounded down) plus one clusters, so a file of exactly
// 1024 bytes counts two; more than 710 counted clusters or more than 106
// panels are refused.
struct SizeCheck
{
    unsigned countedClusters = 0;
    std::size_t panels = 0;
    bool tooManyClusters = false;
    bool tooManyPanels = false;
    bool fits() const { return !tooManyClusters && !tooManyPanels; }
    // The message for the user when the image does not fit.
    std::string message() const;
};
SizeCheck checkSizes(std::uint64_t controllerProgramSize, const std::vector<std::uint64_t> &panelSizes);

struct SourceFile
{
    std::string name;  // file name for the diskette, Windows-1252 (see diskFileName)
    std::string bytes;
    std::string shownName = {};  // the file's own name (UTF-8), for the summary; empty: name
};

struct BuildResult
{
    bool ok = false;
    std::string error;                 // the message for the user when !ok
    std::string image;                 // the .vlp bytes
    // The lines the window shows while building (UTF-8): each file under
    // the name the diskette holds, then a summary of the names on the disk,
    // saying which of them differ from the files' own names.
    std::vector<std::string> progress;
};

// Builds the image of a disk named diskName: the controller program first,
// then the panels in list order, each from a new cluster; every sector,
// system and data alike, carries its CRC.
BuildResult build(std::string_view diskName, const SourceFile &controllerProgram,
                  const std::vector<SourceFile> &panels);

// One file of an image as its directory tells it.
struct Entry
{
    std::string name;
    std::uint32_t size = 0;
    std::uint16_t firstCluster = 0;
    std::uint8_t attribute = 0;
    std::size_t slot = 0; // index in the root directory
};

// What `kn4disk check` and the build's read-back find in an image.
struct CheckReport
{
    std::vector<std::string> problems;
    std::vector<Entry> entries;
    unsigned clustersInUse = 0;
    bool sound() const { return problems.empty(); }
};

// Checks every field the builder writes: every sector's CRC, the boot
// sector's jump bytes, OEM name and diskette values, the two FAT copies
// (equal, media entries, every chain consecutive and closed, no cluster
// used twice, left over or left out between files), every directory slot
// (names as directoryName makes them, the archive attribute, bytes 12 to 25
// zero, nothing after the last file), the entries against their chains and
// sizes, zeros after each file's end in its last cluster, and that the
// image ends after the last cluster in use. Whatever build() makes passes.
// Any bytes are safe.
CheckReport check(std::string_view image);

// The files of the root directory; empty with *error set when the image is
// too short to hold one.
std::vector<Entry> list(std::string_view image, std::string *error);
// The content of one file, following its FAT chain; nullopt with *error set
// when the chain leaves the image, loops or is shorter than the file.
std::optional<std::string> readFile(std::string_view image, const Entry &entry, std::string *error);

// The 737280-byte sector image without CRCs, padded with empty sectors.
// nullopt when the image is not a whole number of sectors or too long.
std::optional<std::string> rawImage(std::string_view image, std::string *error);

} // namespace image
} // namespace kn4::transfer
