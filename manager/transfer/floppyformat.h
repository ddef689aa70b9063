#pragma once

#include "transfer/drivescan.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kn4::transfer {

// Formatting a lince floppy (menu entries format and formatv): a shell
// script formats the floppy as a 720 KB FAT12 diskette with mtools, copies
// F_DISCO/ and the chosen controller program onto it, lists it and waits for
// Enter; it runs in a terminal window and the manager does not wait for it.

struct FormatRequest
{
    Drive floppy;                         // its device is what gets formatted
    std::filesystem::path programDirectory;
    std::string plcName;                  // Combo3's choice
    bool quick = false;                   // formatv; format also scans the surface
};

struct FormatScript
{
    std::string text;  // empty when the request cannot be formatted
    std::string error; // then the message for the user
};

// Whether the floppy can be formatted, checked before the user is asked.
enum class FormatReadiness {
    Ready,
    NotADevice,      // a folder standing in for the floppy: nothing to format
    NoFloppy,        // the device is gone (no diskette in the drive)
    WriteProtected,  // the diskette's tab is set, or the volume is read-only
};
// What the system says about a floppy's device.
struct DeviceState
{
    bool present = false;
    bool readOnly = false;
};
DeviceState probeDevice(const Drive &floppy);
FormatReadiness formatReadiness(const Drive &floppy,
                                const std::function<DeviceState(const Drive &)> &probe = probeDevice);

// The confirmation the user answers before formatting.
std::string formatQuestion(const Drive &floppy);

FormatScript formatScript(const FormatRequest &request);

// The name the script is written under in the program directory.
constexpr const char *kFormatScriptName = "F.sh";

// The command line that opens a terminal window running the script: the
// first terminal program found among the usual ones; empty when there is none.
std::vector<std::string> terminalCommand(const std::filesystem::path &script);

} // namespace kn4::transfer
