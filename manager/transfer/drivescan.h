#pragma once

#include "transfer/transfermode.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kn4::transfer {

// A drive the transfer can use: a mounted volume, or a folder the drive
// settings list (a network share, a stand-in for a stick).
struct Drive
{
    std::filesystem::path root;
    std::string device; // block device of a mounted volume, e.g. /dev/sdb1; "" for a listed folder
    std::string fsType;
    bool listed = false; // from the drive settings
    bool operator==(const Drive &) const = default;
};

// The volumes of /proc/self/mountinfo text that can carry the machine's
// media: volumes of block devices and network shares, without the system's
// own pseudo file systems, loop images and the folders of the system below
// /proc, /sys, /dev and /run (but /run/media, where sticks appear).
std::vector<Drive> mountedVolumes(std::string_view mountinfo);
std::vector<Drive> mountedVolumes(); // of this system

// unita.ini in the program directory: lines "unita=FOLDER" name folders
// that count as drives, a line "floppy=FOLDER" the lince floppy's mount
// point; ";" starts a comment line.
struct DriveSettings
{
    std::vector<std::filesystem::path> drives;
    std::optional<std::filesystem::path> floppy;

    static DriveSettings parse(std::string_view text);
    static DriveSettings load(const std::filesystem::path &programDirectory);
    static constexpr const char *kFileName = "unita.ini";
};

// The drives as the scan sees them: the volumes, then the listed folders
// that exist.
std::vector<Drive> currentDrives(const std::vector<Drive> &volumes, const DriveSettings &settings);

// The folder a drive holds for a mode ("immagini", "maglie", "orsa"),
// found ignoring letter case; nullopt when the drive has none.
std::optional<std::filesystem::path> modeFolderOn(const Drive &drive, Mode mode);

// Finds the drive of the current mode as Timer1 does: a drive that was not
// there at the previous scan and holds the mode's folder becomes the mode's
// drive; a mode's drive that disappears is forgotten, and the drive that
// was the mode's before it, when still plugged in, is the mode's again
// (stick A in use, B plugged in and pulled out again: A's disks come back).
class DriveScanner
{
public:
    // Returns true when the mode's drive changed.
    bool scan(const std::vector<Drive> &drives, Mode mode);
    // Forgets the drives seen, so that the next scan examines every drive
    // again (after a change of mode).
    void reset();
    const std::optional<Drive> &modeDrive() const { return m_modeDrive; }
    const std::vector<Drive> &knownDrives() const { return m_known; }

private:
    std::vector<Drive> m_known;
    std::optional<Drive> m_modeDrive;
    std::vector<Drive> m_chosen;  // the drives that became the mode's, oldest first
};

// The lince floppy: the folder the settings name, or else the first FAT
// volume of at most 720 KB (capacityOf gives a volume's size in bytes).
std::optional<Drive> findFloppy(const std::vector<Drive> &drives, const DriveSettings &settings,
                                const std::function<std::uint64_t(const std::filesystem::path &)> &capacityOf);
std::uint64_t volumeCapacity(const std::filesystem::path &root);

} // namespace kn4::transfer
