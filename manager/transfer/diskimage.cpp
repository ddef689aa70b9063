#include "transfer/diskimage.h"

#include "kn4/cp1252.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <set>

namespace kn4::transfer::image {

namespace {

constexpr std::uint16_t kCrcStart = 0xE295;
constexpr std::uint16_t kCrcPolynomial = 0x1021;
// Entries the FAT's 1536 bytes hold.
constexpr unsigned kFatEntries = kFatBytes * 2 / 3;
// Problems of one kind listed one by one before the rest is only counted.
constexpr std::size_t kListedProblems = 8;

std::uint16_t readLe16(const std::uint8_t *p)
{
    return std::uint16_t(p[0] | (p[1] << 8));
}

std::uint32_t readLe32(const std::uint8_t *p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16)
           | (std::uint32_t(p[3]) << 24);
}

void writeLe16(std::uint8_t *p, std::uint16_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}

void writeLe32(std::uint8_t *p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(v >> (8 * i));
}

const std::uint8_t *bytesOf(std::string_view s)
{
    return reinterpret_cast<const std::uint8_t *>(s.data());
}

// Appends one sector and its CRC, high byte first.
void appendSector(std::string &out, const std::uint8_t *sector)
{
    out.append(reinterpret_cast<const char *>(sector), kSectorBytes);
    const std::uint16_t crc = sectorCrc(sector, kSectorBytes);
    out.push_back(char(crc >> 8));
    out.push_back(char(crc & 0xFF));
}

// Overwrites stored sector n of the image (its data and its CRC).
void putSector(std::string &image, std::size_t n, const std::uint8_t *sector)
{
    std::string stored;
    appendSector(stored, sector);
    image.replace(n * kStoredSectorBytes, kStoredSectorBytes, stored);
}

unsigned clustersCounted(std::uint64_t size)
{
    const std::uint64_t n = size / kClusterBytes + 1;
    return n > kFatEntries ? kFatEntries : unsigned(n);
}

// Clusters a file's data really takes: one at least, so an empty file still
// has a cluster of its own.
std::uint64_t clustersTaken(std::uint64_t size)
{
    return std::max<std::uint64_t>(1, (size + kClusterBytes - 1) / kClusterBytes);
}

bool fatNameCharacter(unsigned char c)
{
    if (c >= 0x80)
        return true; // the code page's own letters
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return std::strchr("!#$%&'()-@^_`{}~", c) != nullptr && c != 0;
}

void addProblem(CheckReport &report, std::size_t &countOfKind, const std::string &text)
{
    if (++countOfKind <= kListedProblems)
        report.problems.push_back(text);
}

void addOverflow(CheckReport &report, std::size_t countOfKind, const char *kind)
{
    if (countOfKind > kListedProblems)
        report.problems.push_back("... and " + std::to_string(countOfKind - kListedProblems)
                                  + " more " + kind);
}

std::string hexBytes(const std::uint8_t *p, std::size_t n)
{
    std::string text;
    for (std::size_t i = 0; i < n; ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%s%02X", i ? " " : "", p[i]);
        text += byte;
    }
    return text;
}

// Bytes as a message can show them: anything but plain ASCII as "\xNN".
std::string printable(const std::uint8_t *p, std::size_t n)
{
    std::string text;
    for (std::size_t i = 0; i < n; ++i) {
        if (p[i] >= 0x20 && p[i] < 0x7F) {
            text += char(p[i]);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", p[i]);
            text += escaped;
        }
    }
    return text;
}

// Whether one part of a directory name (8 or 3 bytes) is as directoryName
// writes it: characters a FAT name holds, blanks only as the fill at its
// end; the name part never empty and 05 allowed first (for E5).
bool builtNamePart(const std::uint8_t *p, std::size_t n, bool isBase)
{
    std::size_t length = n;
    while (length > 0 && p[length - 1] == ' ')
        --length;
    if (isBase && length == 0)
        return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (isBase && i == 0 && p[i] == 0x05)
            continue;
        if (!fatNameCharacter(p[i]) || (isBase && i == 0 && p[i] == 0xE5))
            return false;
    }
    return true;
}

// The data bytes of stored sector n.
const std::uint8_t *sectorData(std::string_view image, std::size_t n)
{
    return bytesOf(image) + n * kStoredSectorBytes;
}

std::vector<std::uint8_t> fatCopy(std::string_view image, std::size_t firstSector)
{
    std::vector<std::uint8_t> fat(kFatBytes);
    for (std::size_t s = 0; s < kFatSectors; ++s)
        std::memcpy(fat.data() + s * kSectorBytes, sectorData(image, firstSector + s), kSectorBytes);
    return fat;
}

} // namespace

// The CRC-16 of each byte value, most significant bit first: one look-up a
// byte instead of eight shifts.
constexpr std::array<std::uint16_t, 256> kCrcTable = [] {
    std::array<std::uint16_t, 256> table{};
    for (unsigned value = 0; value < 256; ++value) {
        std::uint16_t crc = std::uint16_t(value << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? std::uint16_t((crc << 1) ^ kCrcPolynomial) : std::uint16_t(crc << 1);
        table[value] = crc;
    }
    return table;
}();

std::uint16_t sectorCrc(const std::uint8_t *data, std::size_t size)
{
    std::uint16_t crc = kCrcStart;
    for (std::size_t i = 0; i < size; ++i)
        crc = std::uint16_t((crc << 8) ^ kCrcTable[(crc >> 8) ^ data[i]]);
    return crc;
}

std::uint16_t fatEntry(const std::uint8_t *fat, unsigned index)
{
    const std::uint8_t *p = fat + (index / 2) * 3;
    if (index % 2 == 0)
        return std::uint16_t(p[0] | ((p[1] & 0x0F) << 8));
    return std::uint16_t((p[1] >> 4) | (p[2] << 4));
}

void setFatEntry(std::uint8_t *fat, unsigned index, std::uint16_t value)
{
    std::uint8_t *p = fat + (index / 2) * 3;
    value &= 0xFFF;
    if (index % 2 == 0) {
        p[0] = std::uint8_t(value & 0xFF);
        p[1] = std::uint8_t((p[1] & 0xF0) | (value >> 8));
    } else {
        p[1] = std::uint8_t((p[1] & 0x0F) | ((value & 0x0F) << 4));
        p[2] = std::uint8_t(value >> 4);
    }
}

std::array<std::uint8_t, kSectorBytes> bootSector()
{
    std::array<std::uint8_t, kSectorBytes> s{};
    // Jump over the parameters to the boot program at 0x40.
    s[0] = 0xEB;
    s[1] = 0x3E;
    s[2] = 0x90;
    std::memcpy(&s[3], "PC Tools", 8);
    writeLe16(&s[0x0B], kSectorBytes);
    s[0x0D] = kSectorsPerCluster;
    writeLe16(&s[0x0E], 1); // reserved sectors: the boot sector
    s[0x10] = 2;            // FAT copies
    writeLe16(&s[0x11], kRootEntries);
    writeLe16(&s[0x13], kTotalSectors);
    s[0x15] = 0xF9;         // media: 720 KB double-sided
    writeLe16(&s[0x16], kFatSectors);
    writeLe16(&s[0x18], 9); // sectors per track
    writeLe16(&s[0x1A], 2); // heads
    // Extended parameters, which the jump to 0x40 leaves room for: without
    // a volume label, FAT12.
    s[0x26] = 0x29;
    std::memcpy(&s[0x2B], "NO NAME    FAT12   ", 19);

    // Real-mode program loaded at 0000:7C00: print the text at 0x62 through
    // the BIOS teletype, wait for a key, restart the boot.
    static const std::uint8_t program[] = {
        0xFA,             // cli
        0x31, 0xC0,       // xor ax,ax
        0x8E, 0xD8,       // mov ds,ax
        0x8E, 0xD0,       // mov ss,ax
        0xBC, 0x00, 0x7C, // mov sp,7C00h
        0xFB,             // sti
        0xBE, 0x62, 0x7C, // mov si,7C62h
        0xAC,             // next: lodsb
        0x08, 0xC0,       // or al,al
        0x74, 0x09,       // jz key
        0xB4, 0x0E,       // mov ah,0Eh
        0xBB, 0x07, 0x00, // mov bx,7
        0xCD, 0x10,       // int 10h
        0xEB, 0xF2,       // jmp next
        0x31, 0xC0,       // key: xor ax,ax
        0xCD, 0x16,       // int 16h
        0xCD, 0x19,       // int 19h
    };
    static_assert(0x40 + sizeof(program) == 0x62);
    std::memcpy(&s[0x40], program, sizeof(program));
    static const char text[] = "\r\nThis is not a bootable diskette\r\n"
                               "Replace and press any key when ready\r\n";
    std::memcpy(&s[0x62], text, sizeof(text)); // with its terminating zero
    s[0x1FE] = 0x55;
    s[0x1FF] = 0xAA;
    return s;
}

std::optional<std::array<char, 11>> directoryName(std::string_view fileName)
{
    const std::size_t dot = fileName.rfind('.');
    std::string_view base = fileName.substr(0, dot);
    std::string_view extension = dot == std::string_view::npos ? std::string_view() : fileName.substr(dot + 1);
    while (!base.empty() && base.front() == ' ')
        base.remove_prefix(1);
    if (base.empty())
        return std::nullopt;
    std::array<char, 11> name;
    name.fill(' ');
    auto put = [](std::string_view from, char *to, std::size_t width) {
        std::size_t j = 0;
        for (std::size_t i = 0; i < from.size() && j < width; ++i) {
            unsigned char c = static_cast<unsigned char>(from[i]);
            if (c == ' ')
                continue;
            if (c >= 'a' && c <= 'z')
                c = static_cast<unsigned char>(c - 'a' + 'A');
            to[j++] = fatNameCharacter(c) ? char(c) : '_';
        }
    };
    put(base, name.data(), 8);
    put(extension, name.data() + 8, 3);
    if (static_cast<unsigned char>(name[0]) == 0xE5)
        name[0] = 0x05; // FAT's stand-in for a first byte that marks deleted entries
    return name;
}

std::string displayName(const std::uint8_t *entryName)
{
    auto trimmed = [](const std::uint8_t *p, std::size_t n) {
        std::string s(reinterpret_cast<const char *>(p), n);
        while (!s.empty() && s.back() == ' ')
            s.pop_back();
        return s;
    };
    std::string name = trimmed(entryName, 8);
    if (!name.empty() && name[0] == 0x05)
        name[0] = char(0xE5);
    const std::string extension = trimmed(entryName + 8, 3);
    return extension.empty() ? name : name + "." + extension;
}

std::string diskFileName(std::string_view utf8Name)
{
    std::string name = utf8ToCp1252(utf8Name, '_');
    for (char &c : name) {
        auto b = static_cast<unsigned char>(c);
        if (b >= 'a' && b <= 'z')
            b = static_cast<unsigned char>(b - 'a' + 'A');
        else if (b >= 0xE0 && b <= 0xFE && b != 0xF7) // à..þ, not ÷
            b = static_cast<unsigned char>(b - 0x20);
        else if (b == 0x9A || b == 0x9C || b == 0x9E) // š œ ž
            b = static_cast<unsigned char>(b - 0x10);
        else if (b == 0xFF) // ÿ
            b = 0x9F;
        // The bytes the code page leaves undefined stand for no character.
        if (b < 0x20 || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D)
            b = '_';
        c = char(b);
    }
    return name;
}

std::string SizeCheck::message() const
{
    if (tooManyPanels)
        return "Troppi pannelli per un disco: " + std::to_string(panels) + " (al massimo "
               + std::to_string(kMaxPanels) + ")";
    if (tooManyClusters)
        return "I file non stanno nel disco: " + std::to_string(countedClusters)
               + " cluster (al massimo " + std::to_string(kMaxCountedClusters) + ")";
    return {};
}

SizeCheck checkSizes(std::uint64_t controllerProgramSize, const std::vector<std::uint64_t> &panelSizes)
{
    SizeCheck result;
    result.panels = panelSizes.size();
    std::uint64_t clusters = clustersCounted(controllerProgramSize);
    for (std::uint64_t size : panelSizes)
        clusters += clustersCounted(size);
    result.countedClusters = unsigned(std::min<std::uint64_t>(clusters, 0xFFFFFFFFu));
    result.tooManyClusters = clusters > kMaxCountedClusters;
    result.tooManyPanels = panelSizes.size() > kMaxPanels;
    return result;
}

BuildResult build(std::string_view diskName, const SourceFile &controllerProgram,
                  const std::vector<SourceFile> &panels)
{
    BuildResult result;
    std::vector<const SourceFile *> files;
    files.push_back(&controllerProgram);
    std::vector<std::uint64_t> panelSizes;
    for (const SourceFile &panel : panels) {
        files.push_back(&panel);
        panelSizes.push_back(panel.bytes.size());
    }
    const SizeCheck sizes = checkSizes(controllerProgram.bytes.size(), panelSizes);
    if (!sizes.fits()) {
        result.error = sizes.message();
        return result;
    }
    // Two files whose names give the same directory name would leave the
    // controller only the first one.
    std::vector<std::array<char, 11>> names;
    for (const SourceFile *file : files) {
        const auto name = directoryName(file->name);
        if (!name) {
            result.error = "Nome di file non valido per il disco: \"" + file->name + "\"";
            return result;
        }
        if (std::find(names.begin(), names.end(), *name) != names.end()) {
            result.error = "Due file con lo stesso nome nel disco: "
                           + displayName(reinterpret_cast<const std::uint8_t *>(name->data()));
            return result;
        }
        names.push_back(*name);
    }

    const auto written = [&](std::size_t f) {
        return cp1252ToUtf8(displayName(reinterpret_cast<const std::uint8_t *>(names[f].data())));
    };
    result.progress.push_back("Disk " + std::string(diskName));
    result.progress.push_back("PLC = " + written(0));

    std::string &out = result.image;
    out.reserve(kSystemBytes + kStoredClusterBytes * sizes.countedClusters);
    out.assign(kSystemBytes, '\0');
    const auto boot = bootSector();
    putSector(out, 0, boot.data());

    std::vector<std::uint8_t> fat(kFatBytes, 0);
    setFatEntry(fat.data(), 0, kFatMedia);
    setFatEntry(fat.data(), 1, kFatEnd);
    std::vector<std::uint8_t> root(kRootSectors * kSectorBytes, 0);

    unsigned nextCluster = kFirstCluster;
    for (std::size_t f = 0; f < files.size(); ++f) {
        const std::string &bytes = files[f]->bytes;
        const unsigned first = nextCluster;
        const auto clusters = unsigned(clustersTaken(bytes.size()));
        std::array<std::uint8_t, kSectorBytes> sector;
        for (unsigned c = 0; c < clusters; ++c) {
            for (std::size_t s = 0; s < kSectorsPerCluster; ++s) {
                const std::size_t from = (std::size_t(c) * kSectorsPerCluster + s) * kSectorBytes;
                sector.fill(0);
                if (from < bytes.size())
                    std::memcpy(sector.data(), bytes.data() + from, std::min(kSectorBytes, bytes.size() - from));
                appendSector(out, sector.data());
            }
            setFatEntry(fat.data(), first + c, c + 1 < clusters ? std::uint16_t(first + c + 1) : kFatEnd);
        }
        nextCluster += clusters;

        std::uint8_t *entry = root.data() + f * kEntryBytes;
        std::memcpy(entry, names[f].data(), 11);
        entry[11] = kAttributeArchive;
        writeLe16(entry + 26, std::uint16_t(first));
        writeLe32(entry + 28, std::uint32_t(bytes.size()));
        result.progress.push_back("File = " + written(f) + "  Cluster = " + std::to_string(first)
                                  + " Byte buffer = " + std::to_string(out.size()));
    }

    for (std::size_t s = 0; s < kFatSectors; ++s) {
        putSector(out, kFatFirstSector + s, fat.data() + s * kSectorBytes);
        putSector(out, kFatFirstSector + kFatSectors + s, fat.data() + s * kSectorBytes);
    }
    for (std::size_t s = 0; s < kRootSectors; ++s)
        putSector(out, kRootFirstSector + s, root.data() + s * kSectorBytes);
    result.progress.push_back("FAT - DIR - BOOT - OK");
    result.progress.push_back("Byte  = " + std::to_string(out.size()));
    // The names as the controller will list them; a name the diskette had
    // to shorten or change is shown beside the file's own.
    result.progress.push_back("Nomi nel disco: ");
    for (std::size_t f = 0; f < files.size(); ++f) {
        const std::string own = files[f]->shownName.empty() ? cp1252ToUtf8(files[f]->name) : files[f]->shownName;
        std::string line = "  " + written(f);
        if (own != written(f))
            line += "  <- " + own;
        result.progress.push_back(line);
    }
    result.ok = true;
    return result;
}

std::vector<Entry> list(std::string_view image, std::string *error)
{
    std::vector<Entry> entries;
    if (image.size() < kSystemBytes) {
        if (error)
            *error = "the image is " + std::to_string(image.size()) + " bytes long, shorter than its "
                     + std::to_string(kSystemBytes) + " bytes of boot sector, FATs and directory";
        return entries;
    }
    for (std::size_t slot = 0; slot < kRootEntries; ++slot) {
        const std::size_t offset = slot * kEntryBytes;
        const std::uint8_t *e = sectorData(image, kRootFirstSector + offset / kSectorBytes) + offset % kSectorBytes;
        if (e[0] == 0x00)
            break; // no entries after the first never used
        if (e[0] == 0xE5)
            continue; // deleted
        if (e[11] == 0x0F || (e[11] & 0x08))
            continue; // long-name part or volume label
        Entry entry;
        entry.name = displayName(e);
        entry.attribute = e[11];
        entry.firstCluster = readLe16(e + 26);
        entry.size = readLe32(e + 28);
        entry.slot = slot;
        entries.push_back(entry);
    }
    return entries;
}

std::optional<std::string> readFile(std::string_view image, const Entry &entry, std::string *error)
{
    auto fail = [&](const std::string &text) -> std::optional<std::string> {
        if (error)
            *error = entry.name + ": " + text;
        return std::nullopt;
    };
    if (image.size() < kSystemBytes)
        return fail("the image is too short");
    if (entry.size == 0)
        return std::string();
    const auto fat = fatCopy(image, kFatFirstSector);
    const std::size_t clustersPresent = (image.size() - kSystemBytes) / kStoredClusterBytes;
    std::string data;
    std::vector<bool> visited(kFatEntries, false);
    unsigned cluster = entry.firstCluster;
    while (data.size() < entry.size) {
        if (cluster < kFirstCluster || cluster >= kFatEntries)
            return fail("its chain reaches cluster " + std::to_string(cluster)
                        + ", which does not exist, before its " + std::to_string(entry.size) + " bytes");
        if (cluster - kFirstCluster >= clustersPresent)
            return fail("its chain reaches cluster " + std::to_string(cluster) + " beyond the end of the image");
        if (visited[cluster])
            return fail("its chain runs in a loop at cluster " + std::to_string(cluster));
        visited[cluster] = true;
        const std::size_t firstSector = kDataFirstSector + (cluster - kFirstCluster) * kSectorsPerCluster;
        for (std::size_t s = 0; s < kSectorsPerCluster; ++s)
            data.append(reinterpret_cast<const char *>(sectorData(image, firstSector + s)), kSectorBytes);
        cluster = fatEntry(fat.data(), cluster);
    }
    data.resize(entry.size);
    return data;
}

CheckReport check(std::string_view image)
{
    CheckReport report;
    std::string error;
    if (image.size() < kSystemBytes) {
        list(image, &error);
        report.problems.push_back(error);
        return report;
    }
    std::size_t sectors = image.size() / kStoredSectorBytes;
    if (image.size() % kStoredSectorBytes != 0)
        report.problems.push_back("the image length " + std::to_string(image.size())
                                  + " is not a whole number of 514-byte sectors");
    if (sectors > kTotalSectors) {
        report.problems.push_back("the image holds " + std::to_string(sectors) + " sectors, more than the "
                                  + std::to_string(kTotalSectors) + " of a 720 KB diskette");
        sectors = kTotalSectors;
    }
    if ((sectors - kDataFirstSector) % kSectorsPerCluster != 0)
        report.problems.push_back("the image ends in the middle of a cluster");
    const std::size_t clustersPresent = (sectors - kDataFirstSector) / kSectorsPerCluster;

    std::size_t crcProblems = 0;
    for (std::size_t n = 0; n < sectors; ++n) {
        const std::uint8_t *s = sectorData(image, n);
        const std::uint16_t stored = std::uint16_t((s[kSectorBytes] << 8) | s[kSectorBytes + 1]);
        const std::uint16_t computed = sectorCrc(s, kSectorBytes);
        if (stored != computed) {
            char text[96];
            std::snprintf(text, sizeof text, "sector %zu: CRC %04X stored, %04X computed", n, stored, computed);
            addProblem(report, crcProblems, text);
        }
    }
    addOverflow(report, crcProblems, "sectors with a wrong CRC");

    const std::uint8_t *boot = sectorData(image, 0);
    struct BootValue { std::size_t offset; int bytes; unsigned expected; const char *what; };
    static const BootValue bootValues[] = {
        {0x0B, 2, kSectorBytes, "bytes per sector"}, {0x0D, 1, kSectorsPerCluster, "sectors per cluster"},
        {0x0E, 2, 1, "reserved sectors"},             {0x10, 1, 2, "FAT copies"},
        {0x11, 2, kRootEntries, "root entries"},      {0x13, 2, kTotalSectors, "sectors in all"},
        {0x15, 1, 0xF9, "media byte"},                {0x16, 2, kFatSectors, "sectors per FAT"},
        {0x18, 2, 9, "sectors per track"},            {0x1A, 2, 2, "heads"},
        {0x1FE, 2, 0xAA55, "boot signature"},
    };
    for (const BootValue &v : bootValues) {
        const unsigned value = v.bytes == 1 ? boot[v.offset] : readLe16(boot + v.offset);
        if (value != v.expected)
            report.problems.push_back(std::string("boot sector: ") + v.what + " " + std::to_string(value)
                                      + ", expected " + std::to_string(v.expected));
    }
    const auto built = bootSector();
    if (std::memcmp(boot, built.data(), 3) != 0)
        report.problems.push_back("boot sector: jump bytes " + hexBytes(boot, 3) + ", expected EB 3E 90");
    if (std::memcmp(boot + 3, built.data() + 3, 8) != 0)
        report.problems.push_back("boot sector: OEM name \"" + printable(boot + 3, 8) + "\", expected \"PC Tools\"");

    const auto fat = fatCopy(image, kFatFirstSector);
    if (fat != fatCopy(image, kFatFirstSector + kFatSectors))
        report.problems.push_back("the two FAT copies differ");
    if (fatEntry(fat.data(), 0) != kFatMedia || fatEntry(fat.data(), 1) != kFatEnd)
        report.problems.push_back("FAT entries 0 and 1 are not FF9 and FFF");

    // Every slot of the directory as the builder writes it: files with the
    // archive attribute, names as directoryName makes them, bytes 12 to 25
    // zero, and nothing but zeros after the last file.
    std::size_t slotProblems = 0;
    bool ended = false;
    for (std::size_t slot = 0; slot < kRootEntries; ++slot) {
        const std::size_t offset = slot * kEntryBytes;
        const std::uint8_t *e = sectorData(image, kRootFirstSector + offset / kSectorBytes) + offset % kSectorBytes;
        // The slot's words are only put together for a problem.
        const auto where = [slot] { return "directory slot " + std::to_string(slot); };
        const auto who = [&] { return where() + " \"" + printable(e, 11) + "\""; };
        if (ended || e[0] == 0x00) {
            ended = true;
            if (std::any_of(e, e + kEntryBytes, [](std::uint8_t b) { return b != 0; }))
                addProblem(report, slotProblems, where() + " after the last file is not empty");
            continue;
        }
        if (e[0] == 0xE5) {
            addProblem(report, slotProblems, who() + ": a deleted entry, which the builder never writes");
            continue;
        }
        if (!builtNamePart(e, 8, true) || !builtNamePart(e + 8, 3, false))
            addProblem(report, slotProblems, who() + ": not a name a diskette file can have");
        if (e[11] != kAttributeArchive)
            addProblem(report, slotProblems, who() + ": attribute " + hexBytes(e + 11, 1) + ", expected 20");
        if (std::any_of(e + 12, e + 26, [](std::uint8_t b) { return b != 0; }))
            addProblem(report, slotProblems, who() + ": bytes 12 to 25 are not zero");
    }
    addOverflow(report, slotProblems, "directory problems");

    // Every directory entry's chain: consecutive clusters from its first,
    // closed by FFF after exactly the clusters its size takes.
    std::vector<std::size_t> owner(kFatEntries, 0); // slot + 1 of the file using a cluster
    std::size_t chainProblems = 0;
    report.entries = list(image, nullptr);
    std::set<std::string> seen;
    for (const Entry &entry : report.entries) {
        const std::string who = "\"" + entry.name + "\"";
        if (!seen.insert(entry.name).second)
            addProblem(report, chainProblems, who + " stands twice in the directory");
        if (entry.attribute & 0x10) {
            addProblem(report, chainProblems, who + " is a folder; the controller reads files only");
            continue;
        }
        const std::uint64_t expected = clustersTaken(entry.size);
        unsigned cluster = entry.firstCluster;
        std::uint64_t length = 0;
        bool closed = false;
        while (true) {
            if (cluster < kFirstCluster || cluster - kFirstCluster >= clustersPresent) {
                addProblem(report, chainProblems, who + ": cluster " + std::to_string(cluster)
                                                      + " of its chain is not in the image");
                break;
            }
            if (owner[cluster]) {
                addProblem(report, chainProblems, who + ": cluster " + std::to_string(cluster)
                                                      + " belongs to another chain too");
                break;
            }
            owner[cluster] = entry.slot + 1;
            ++length;
            const unsigned next = fatEntry(fat.data(), cluster);
            if (next == kFatEnd) {
                closed = true;
                break;
            }
            if (next != cluster + 1) {
                addProblem(report, chainProblems, who + ": cluster " + std::to_string(cluster) + " is followed by "
                                                      + std::to_string(next) + ", not by the next cluster");
                break;
            }
            if (length > expected) {
                addProblem(report, chainProblems, who + ": its chain runs on past its "
                                                      + std::to_string(expected) + " clusters");
                break;
            }
            cluster = next;
        }
        if (closed && length != expected)
            addProblem(report, chainProblems, who + ": " + std::to_string(entry.size) + " bytes take "
                                                  + std::to_string(expected) + " clusters, its chain has "
                                                  + std::to_string(length));
        if (closed && length == expected) {
            // The rest of the last cluster after the file's end is zero.
            const std::size_t lastCluster = entry.firstCluster + expected - 1;
            const std::size_t used = entry.size - (expected - 1) * kClusterBytes;
            const std::size_t firstSector = kDataFirstSector + (lastCluster - kFirstCluster) * kSectorsPerCluster;
            for (std::size_t i = used; i < kClusterBytes; ++i) {
                if (sectorData(image, firstSector + i / kSectorBytes)[i % kSectorBytes] != 0) {
                    addProblem(report, chainProblems, who + ": byte " + std::to_string(i - used)
                                                          + " after its end is not zero");
                    break;
                }
            }
        }
    }
    unsigned lastInUse = 0;
    for (unsigned c = kFirstCluster; c < kFatEntries; ++c) {
        if (owner[c])
            lastInUse = c;
        else if (fatEntry(fat.data(), c) != 0)
            addProblem(report, chainProblems, "cluster " + std::to_string(c) + " is marked in use but no file owns it");
        if (owner[c])
            ++report.clustersInUse;
    }
    // Files follow one another from cluster 2: no cluster left out between.
    for (unsigned c = kFirstCluster; c < lastInUse; ++c) {
        if (!owner[c] && fatEntry(fat.data(), c) == 0)
            addProblem(report, chainProblems, "cluster " + std::to_string(c) + " lies unused between files");
    }
    addOverflow(report, chainProblems, "chain problems");
    const std::size_t clustersNeeded = lastInUse ? lastInUse - kFirstCluster + 1 : 0;
    if (clustersPresent > clustersNeeded)
        report.problems.push_back("the image runs on for " + std::to_string(clustersPresent - clustersNeeded)
                                  + " clusters after the last one in use");
    return report;
}

std::optional<std::string> rawImage(std::string_view image, std::string *error)
{
    if (image.size() % kStoredSectorBytes != 0 || image.size() / kStoredSectorBytes > kTotalSectors) {
        if (error)
            *error = "the image is not a whole number of 514-byte sectors of a 720 KB diskette";
        return std::nullopt;
    }
    std::string raw(kRawImageBytes, '\0');
    for (std::size_t n = 0; n < image.size() / kStoredSectorBytes; ++n)
        std::memcpy(raw.data() + n * kSectorBytes, sectorData(image, n), kSectorBytes);
    return raw;
}

} // namespace kn4::transfer::image
