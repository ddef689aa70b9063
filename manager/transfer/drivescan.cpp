#include "transfer/drivescan.h"

#include "transfer/mediafiles.h"

#include "kn4/filereader.h"

#include <algorithm>
#include <sstream>

namespace fs = std::filesystem;

namespace kn4::transfer {

namespace {

// mountinfo writes blanks, tabs, newlines and backslashes of a path as
// three octal digits after a backslash.
std::string unescapeMountField(std::string_view field)
{
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string_view digits = field.substr(i + 1, 3);
            if (digits.size() == 3
                && std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '7'; })) {
                out += char((digits[0] - '0') * 64 + (digits[1] - '0') * 8 + (digits[2] - '0'));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

std::vector<std::string_view> splitBlanks(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ')
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ')
            ++i;
        if (i > start)
            fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

bool isSystemFolder(const std::string &root)
{
    if (startsWith(root, "/run/media/"))
        return false;
    for (const char *system : {"/proc", "/sys", "/dev", "/run", "/snap", "/boot"})
        if (root == system || startsWith(root, std::string(system) + "/"))
            return true;
    return false;
}

bool isNetworkShare(std::string_view fsType)
{
    for (const char *network : {"cifs", "smb3", "nfs", "nfs4", "fuse.sshfs", "9p"})
        if (fsType == network)
            return true;
    return false;
}

std::string trim(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

bool sameRoot(const Drive &a, const Drive &b)
{
    return a.root == b.root;
}

} // namespace

std::vector<Drive> mountedVolumes(std::string_view mountinfo)
{
    std::vector<Drive> drives;
    std::size_t start = 0;
    while (start < mountinfo.size()) {
        std::size_t end = mountinfo.find('\n', start);
        if (end == std::string_view::npos)
            end = mountinfo.size();
        const auto fields = splitBlanks(mountinfo.substr(start, end - start));
        start = end + 1;
        // id parent major:minor root mount-point options [optional...] - type source super-options
        const auto dash = std::find(fields.begin(), fields.end(), std::string_view("-"));
        if (fields.size() < 5 || dash == fields.end() || fields.end() - dash < 3)
            continue;
        Drive drive;
        drive.root = unescapeMountField(fields[4]);
        drive.fsType = std::string(dash[1]);
        const std::string source = unescapeMountField(dash[2]);
        const bool blockDevice = startsWith(source, "/dev/") && !startsWith(source, "/dev/loop");
        if (!blockDevice && !isNetworkShare(drive.fsType))
            continue;
        if (isSystemFolder(drive.root.string()))
            continue;
        if (blockDevice)
            drive.device = source;
        // A volume mounted twice (bind mounts) counts once.
        if (std::none_of(drives.begin(), drives.end(), [&](const Drive &d) { return sameRoot(d, drive); }))
            drives.push_back(drive);
    }
    return drives;
}

std::vector<Drive> mountedVolumes()
{
    const FileContent table = FileReader::read("/proc/self/mountinfo", FileReader::kSystemTableLimit);
    return mountedVolumes(table.bytes);
}

DriveSettings DriveSettings::parse(std::string_view text)
{
    DriveSettings settings;
    std::istringstream lines{std::string(text)};
    std::string line;
    while (std::getline(lines, line)) {
        const std::string trimmed = trim(line);
        if (trimmed.empty() || trimmed[0] == ';')
            continue;
        const auto equals = trimmed.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string key = upperCase(trim(trimmed.substr(0, equals)));
        const std::string value = trim(trimmed.substr(equals + 1));
        if (value.empty())
            continue;
        if (key == "UNITA")
            settings.drives.emplace_back(value);
        else if (key == "FLOPPY")
            settings.floppy = fs::path(value);
    }
    return settings;
}

DriveSettings DriveSettings::load(const fs::path &programDirectory)
{
    const auto path = findEntryIgnoringCase(programDirectory, kFileName);
    if (!path)
        return {};
    const auto text = readWholeFile(*path, nullptr);
    return text ? parse(*text) : DriveSettings{};
}

std::vector<Drive> currentDrives(const std::vector<Drive> &volumes, const DriveSettings &settings)
{
    std::vector<Drive> drives = volumes;
    for (const fs::path &folder : settings.drives) {
        std::error_code ec;
        if (!fs::is_directory(folder, ec))
            continue;
        Drive drive;
        drive.root = folder;
        drive.listed = true;
        if (std::none_of(drives.begin(), drives.end(), [&](const Drive &d) { return sameRoot(d, drive); }))
            drives.push_back(drive);
    }
    return drives;
}

std::optional<fs::path> modeFolderOn(const Drive &drive, Mode mode)
{
    const std::string_view folder = modeFolder(mode);
    if (folder.empty())
        return std::nullopt;
    auto found = findEntryIgnoringCase(drive.root, folder);
    std::error_code ec;
    if (!found || !fs::is_directory(*found, ec))
        return std::nullopt;
    return found;
}

bool DriveScanner::scan(const std::vector<Drive> &drives, Mode mode)
{
    const std::optional<Drive> before = m_modeDrive;
    if (m_modeDrive
        && std::none_of(drives.begin(), drives.end(), [&](const Drive &d) { return sameRoot(d, *m_modeDrive); }))
        m_modeDrive.reset();
    for (const Drive &drive : drives) {
        const bool known = std::any_of(m_known.begin(), m_known.end(),
                                       [&](const Drive &d) { return sameRoot(d, drive); });
        if (!known && modeFolderOn(drive, mode)) {
            m_modeDrive = drive;
            break;
        }
    }
    m_known = drives;
    return before != m_modeDrive;
}

void DriveScanner::reset()
{
    m_known.clear();
    m_modeDrive.reset();
}

std::uint64_t volumeCapacity(const fs::path &root)
{
    std::error_code ec;
    const auto space = fs::space(root, ec);
    return ec ? 0 : space.capacity;
}

std::optional<Drive> findFloppy(const std::vector<Drive> &drives, const DriveSettings &settings,
                                const std::function<std::uint64_t(const fs::path &)> &capacityOf)
{
    if (settings.floppy) {
        std::error_code ec;
        if (!fs::is_directory(*settings.floppy, ec))
            return std::nullopt;
        for (const Drive &drive : drives)
            if (drive.root == *settings.floppy)
                return drive;
        Drive drive;
        drive.root = *settings.floppy;
        drive.listed = true;
        return drive;
    }
    for (const Drive &drive : drives) {
        if (drive.fsType != "vfat" && drive.fsType != "msdos")
            continue;
        const std::uint64_t capacity = capacityOf(drive.root);
        if (capacity > 0 && capacity <= 737280)
            return drive;
    }
    return std::nullopt;
}

} // namespace kn4::transfer
