#include "transfer/machinefiles.h"

#include "core/managertexts.h"
#include "kn4/filelookup.h"
#include "transfer/mediafiles.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace kn4::transfer {

namespace {

// The lince floppy's machine files in the order of the check, with the
// names the check writes.
const char *const kLinceFiles[] = {"Motore.exe", "avvio.exe", "scrivo.exe", "maglia.key", "scrivo.key"};

std::string presenceLine(const std::string &name, bool present)
{
    return name + (present ? " OK" : "  ");
}

bool isFile(const std::optional<fs::path> &path)
{
    std::error_code ec;
    return path && fs::is_regular_file(*path, ec);
}

std::optional<fs::path> findFile(const fs::path &dir, const std::string &name)
{
    auto found = findEntryIgnoringCase(dir, name);
    return isFile(found) ? found : std::nullopt;
}

bool isMachineProgram(const std::string &name)
{
    for (const char *own : {"motore.exe", "avvio.exe", "scrivo.exe", kVolpePortal})
        if (equalsIgnoringCase(name, own))
            return true;
    return false;
}

// A family's folder of the program directory, whatever its letter case.
fs::path familyFolder(const fs::path &programDirectory, const char *name)
{
    return findEntryIgnoringCase(programDirectory, name).value_or(programDirectory / name);
}

// Copies name from the family folder onto the medium and removes the
// medium's other controller program; shared by cambio and cambioVolpe.
ChangeResult changePlc(const fs::path &disk, const fs::path &folder, const std::string &chosen,
                       const std::optional<std::string> &present)
{
    ChangeResult result;
    if (chosen.empty()) {
        result.error = "Scegliere un PLC";
        return result;
    }
    const auto source = findFile(folder, chosen);
    if (!source) {
        result.error = "PLC " + chosen + " non trovato in " + folder.string();
        return result;
    }
    fs::path target = disk / upperCase(chosen);
    if (auto existing = findEntryIgnoringCase(disk, chosen))
        target = *existing;
    if (!copyFileVerified(*source, target, &result.error))
        return result;
    if (present && !equalsIgnoringCase(*present, chosen)) {
        std::error_code ec;
        if (const auto old = findFile(disk, *present))
            fs::remove(*old, ec);
        if (ec) {
            result.error = "Impossibile cancellare " + *present + ": " + ec.message();
            return result;
        }
    }
    result.ok = true;
    return result;
}

// A file of the medium against the program directory's copy (none: only
// whether it is there).
FileState stateOf(const std::string &name, const std::optional<fs::path> &onMedium,
                  const std::optional<fs::path> &master)
{
    FileState state;
    state.name = name;
    if (!onMedium)
        return state;
    state.date = fileDateText(*onMedium);
    state.status = FileStatus::Present;
    if (master && !sameFileDate(*onMedium, *master)) {
        std::error_code a, b;
        state.status = fs::last_write_time(*onMedium, a) < fs::last_write_time(*master, b) ? FileStatus::Older
                                                                                           : FileStatus::Newer;
    }
    return state;
}

} // namespace

std::vector<std::string> checkInWords(const std::vector<FileState> &files, bool plcFound,
                                      const std::function<std::string(int line)> &text)
{
    std::vector<std::string> lines;
    bool complete = plcFound;
    for (const FileState &file : files) {
        switch (file.status) {
        case FileStatus::Present:
            lines.push_back("[OK] " + manager::fillIn(text(manager::text::CheckPresent), {file.name}));
            break;
        case FileStatus::Missing:
            lines.push_back("[--] " + manager::fillIn(text(manager::text::CheckMissing), {file.name}));
            complete = false;
            break;
        case FileStatus::Older:
            lines.push_back("[!!] " + manager::fillIn(text(manager::text::CheckOlder), {file.name, file.date}));
            complete = false;
            break;
        case FileStatus::Newer:
            lines.push_back("[!!] " + manager::fillIn(text(manager::text::CheckNewer), {file.name, file.date}));
            break;
        }
    }
    if (!plcFound)
        lines.push_back("[--] " + text(manager::text::CheckNoPlc));
    lines.push_back(text(complete ? manager::text::CheckAllThere : manager::text::CheckSomeMissing));
    return lines;
}

std::optional<std::string> plcOnDisk(const fs::path &disk, const std::vector<std::string> &plcNames)
{
    for (const std::string &name : plcNames)
        if (!name.empty())
            if (const auto found = findFile(disk, name))
                return found->filename().string();
    std::vector<std::string> others;
    std::error_code ec;
    for (fs::directory_iterator it(disk, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (it->is_regular_file(typeError) && equalsIgnoringCase(it->path().extension().string(), ".exe")
            && !isMachineProgram(name))
            others.push_back(name);
    }
    if (others.empty())
        return std::nullopt;
    return *std::min_element(others.begin(), others.end());
}

FloppyCheck FSel(const fs::path &floppy, const fs::path &programDirectory, const std::string &chosenPlc,
                 const std::vector<std::string> &plcNames, const std::string &heading)
{
    FloppyCheck check;
    check.lines.push_back(heading);
    for (const char *name : kLinceFiles) {
        const auto found = findFile(floppy, name);
        check.lines.push_back(presenceLine(name, found.has_value()));
        check.files.push_back(stateOf(name, found, std::nullopt));
    }
    check.plcOnDisk = plcOnDisk(floppy, plcNames);
    if (check.plcOnDisk) {
        check.lines.push_back("PLC nel disco = " + *check.plcOnDisk);
        check.lines.push_back("Dati PLC = " + fileDateText(floppy / *check.plcOnDisk));
    }
    if (!chosenPlc.empty()) {
        const auto onDisk = findFile(floppy, chosenPlc);
        const auto master = findFile(familyFolder(programDirectory, kLincePlcFolder), chosenPlc);
        check.plcCurrent = onDisk && master && sameFileDate(*onDisk, *master);
        check.files.push_back(stateOf(chosenPlc, onDisk, master));
        if (check.plcCurrent)
            check.lines.push_back("PLC OK");
        else if (onDisk)
            check.lines.push_back("PLC " + chosenPlc + " non aggiornato");
        else
            check.lines.push_back(presenceLine(chosenPlc, false));
    }
    return check;
}

ChangeResult cambio(const fs::path &floppy, const fs::path &programDirectory, const std::string &chosenPlc,
                    const std::vector<std::string> &plcNames)
{
    return changePlc(floppy, familyFolder(programDirectory, kLincePlcFolder), chosenPlc, plcOnDisk(floppy, plcNames));
}

std::vector<std::string> volpeControllerPrograms(const fs::path &programDirectory)
{
    const fs::path folder = familyFolder(programDirectory, kVolpePlcFolder);
    std::vector<std::string> names;
    for (const std::string &stem : listFileNames(folder, ".exe"))
        if (!equalsIgnoringCase(stem + ".EXE", kVolpePortal))
            names.push_back(stem + ".EXE");
    return names;
}

VolpeCheck TestplcVolpe(const fs::path &drive, const fs::path &programDirectory,
                        const std::vector<std::string> &volpePlcNames)
{
    VolpeCheck check;
    const auto portal = findFile(drive, kVolpePortal);
    check.lines.push_back(presenceLine(kVolpePortal, portal.has_value()));
    const fs::path folder = familyFolder(programDirectory, kVolpePlcFolder);
    check.files.push_back(stateOf(kVolpePortal, portal, findFile(folder, kVolpePortal)));
    for (std::size_t i = 0; i < volpePlcNames.size(); ++i) {
        const auto onDrive = findFile(drive, volpePlcNames[i]);
        if (!onDrive)
            continue;
        check.selected = int(i);
        const auto master = findFile(folder, volpePlcNames[i]);
        const bool current = master && sameFileDate(*onDrive, *master);
        check.lines.push_back("PLC = " + volpePlcNames[i] + (current ? " OK" : " non aggiornato")
                              + "  " + fileDateText(*onDrive));
        check.files.push_back(stateOf(volpePlcNames[i], onDrive, master));
        check.plcFound = true;
        return check;
    }
    check.lines.push_back("PLC  ");
    return check;
}

ChangeResult cambioVolpe(const fs::path &drive, const fs::path &programDirectory, const std::string &chosenPlc,
                         const std::vector<std::string> &volpePlcNames)
{
    const fs::path folder = familyFolder(programDirectory, kVolpePlcFolder);
    std::optional<std::string> present;
    for (const std::string &name : volpePlcNames)
        if (const auto found = findFile(drive, name)) {
            present = found->filename().string();
            break;
        }
    if (!findFile(drive, kVolpePortal)) {
        ChangeResult portal = changePlc(drive, folder, kVolpePortal, std::nullopt);
        if (!portal.ok)
            return portal;
    }
    return changePlc(drive, folder, chosenPlc, present);
}

} // namespace kn4::transfer
