#include "transfer/floppyformat.h"

#include "transfer/machinefiles.h"
#include "transfer/mediafiles.h"

namespace fs = std::filesystem;

#include <cerrno>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace kn4::transfer {

DeviceState probeDevice(const Drive &floppy)
{
    DeviceState state;
    struct stat info {};
    if (floppy.device.empty() || ::stat(floppy.device.c_str(), &info) != 0 || !S_ISBLK(info.st_mode))
        return state;
    state.present = true;
    // The kernel's read-only flag of the block device (a diskette's
    // write-protect tab sets it), or a volume mounted read-only.
    const std::string name = fs::path(floppy.device).filename().string();
    std::ifstream flag("/sys/class/block/" + name + "/ro");
    int ro = 0;
    if (flag >> ro && ro != 0)
        state.readOnly = true;
    if (::access(floppy.root.c_str(), W_OK) != 0 && errno == EROFS)
        state.readOnly = true;
    return state;
}

FormatReadiness formatReadiness(const Drive &floppy, const std::function<DeviceState(const Drive &)> &probe)
{
    if (floppy.device.empty())
        return FormatReadiness::NotADevice;
    const DeviceState state = probe(floppy);
    if (!state.present)
        return FormatReadiness::NoFloppy;
    if (state.readOnly)
        return FormatReadiness::WriteProtected;
    return FormatReadiness::Ready;
}

std::string formatQuestion(const Drive &floppy)
{
    std::string where = floppy.root.string();
    if (!floppy.device.empty())
        where += " (" + floppy.device + ")";
    return "Formattare il dischetto in " + where + "  ??";
}

FormatScript formatScript(const FormatRequest &request)
{
    FormatScript script;
    if (request.floppy.device.empty()) {
        script.error = "Il dischetto in " + request.floppy.root.string()
                       + " non è un dispositivo che si possa formattare";
        return script;
    }
    if (request.plcName.empty()) {
        script.error = "Scegliere un PLC";
        return script;
    }
    const std::string device = shellQuote(request.floppy.device);
    const std::string mountPoint = shellQuote(request.floppy.root.string());
    const fs::path plcFolder = findEntryIgnoringCase(request.programDirectory, kLincePlcFolder)
                                   .value_or(request.programDirectory / kLincePlcFolder);
    const fs::path contentFolder = findEntryIgnoringCase(request.programDirectory, kFloppyContentFolder)
                                       .value_or(request.programDirectory / kFloppyContentFolder);
    const fs::path plc = findEntryIgnoringCase(plcFolder, request.plcName).value_or(plcFolder / request.plcName);

    std::string &t = script.text;
    t += "#!/bin/sh\n";
    t += "# Formats the lince floppy as a 720 KB FAT12 diskette and copies the\n";
    t += "# machine's files and the controller program onto it.\n";
    t += "dev=" + device + "\n";
    t += "fine() { echo; printf 'Premere Invio per chiudere '; read risposta; exit \"$1\"; }\n";
    t += "echo \"Formattazione del dischetto $dev\"\n";
    // The volume must not be mounted while it is formatted.
    t += "if mountpoint -q " + mountPoint + "; then\n";
    t += "  udisksctl unmount -b \"$dev\" || umount " + mountPoint + " || fine 1\n";
    t += "fi\n";
    if (!request.quick) {
        t += "case \"$dev\" in /dev/fd*) fdformat \"$dev\" || fine 1 ;; esac\n";
    }
    t += "mformat -i \"$dev\" -f 720 -v KN4 :: || fine 1\n";
    if (!request.quick)
        t += "mbadblocks -i \"$dev\" :: || fine 1\n";
    t += "for f in " + shellQuote(contentFolder.string()) + "/*; do\n";
    t += "  [ -f \"$f\" ] && { mcopy -m -o -i \"$dev\" \"$f\" ::/ || fine 1; }\n";
    t += "done\n";
    t += "mcopy -m -o -i \"$dev\" " + shellQuote(plc.string()) + " ::/ || fine 1\n";
    t += "mdir -i \"$dev\" ::/\n";
    t += "udisksctl mount -b \"$dev\" >/dev/null 2>&1\n";
    t += "fine 0\n";
    return script;
}

std::vector<std::string> terminalCommand(const fs::path &script)
{
    for (const char *terminal : {"x-terminal-emulator", "xterm", "konsole", "gnome-terminal", "xfce4-terminal"}) {
        if (!findProgram(terminal))
            continue;
        if (std::string(terminal) == "gnome-terminal")
            return {terminal, "--", "sh", script.string()};
        return {terminal, "-e", "sh", script.string()};
    }
    return {};
}

} // namespace kn4::transfer
