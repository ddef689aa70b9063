#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kn4::transfer {

// The machine's own program files that a medium must carry, and the
// controller programs ("PLC"), kept in the program directory under
// p_lince/ (lince floppies and images) and P_VOLPE/ (volpe sticks). The
// suite only copies them, compares their dates and tests their presence.

constexpr const char *kLincePlcFolder = "p_lince";
constexpr const char *kVolpePlcFolder = "P_VOLPE";
constexpr const char *kFloppyContentFolder = "F_DISCO";
constexpr const char *kVolpePortal = "PORTALE.EXE";

// What a check found of one file on a medium.
enum class FileStatus {
    Present,
    Missing,
    Older,  // on the medium, older than the program directory's copy
    Newer,  // on the medium, newer than the program directory's copy
};
struct FileState
{
    std::string name;
    FileStatus status = FileStatus::Missing;
    std::string date;  // the medium's copy, "dd/mm/yyyy hh:mm:ss"; "" when missing
};

// The result lines of a check, as Text1 shows them.
struct FloppyCheck
{
    std::vector<std::string> lines;
    // The machine files and the chosen PLC, in the order of the lines.
    std::vector<FileState> files;
    std::optional<std::string> plcOnDisk; // the controller program found on the floppy
    bool plcCurrent = false;              // the chosen one is there with the date of p_lince's copy
};

// FSel: the machine files of a lince floppy, one line each (" OK" after the
// name when present, two blanks when missing), the controller program found
// on it with its date, and "PLC OK" when the program chosen (Combo3) is there
// in the version of p_lince/. plcNames are Combo3's names.
FloppyCheck FSel(const std::filesystem::path &floppy, const std::filesystem::path &programDirectory,
                 const std::string &chosenPlc, const std::vector<std::string> &plcNames,
                 const std::string &heading);

// The controller program found on a medium: the first of plcNames there,
// else any other program file (.EXE) that is not one of the machine's own.
std::optional<std::string> plcOnDisk(const std::filesystem::path &disk, const std::vector<std::string> &plcNames);

struct ChangeResult
{
    bool ok = false;
    std::string error;
};

// cambio: copies the chosen PLC from p_lince/ onto the floppy (verified,
// keeping its date) and, when the floppy held a PLC of another name,
// deletes that one.
ChangeResult cambio(const std::filesystem::path &floppy, const std::filesystem::path &programDirectory,
                    const std::string &chosenPlc, const std::vector<std::string> &plcNames);

// The volpe controller programs of P_VOLPE/ for Combo4: its .EXE files
// without PORTALE.EXE, upper case, sorted.
std::vector<std::string> volpeControllerPrograms(const std::filesystem::path &programDirectory);

struct VolpeCheck
{
    std::vector<std::string> lines;
    // PORTALE.EXE and the PLC found (none: the drive holds no volpe PLC).
    std::vector<FileState> files;
    bool plcFound = false;
    int selected = -1; // index in the list of the PLC found on the drive
};

// TestplcVolpe: PORTALE.EXE on the drive, then the first of the volpe PLC
// names found there, its date compared with P_VOLPE/'s copy.
VolpeCheck TestplcVolpe(const std::filesystem::path &drive, const std::filesystem::path &programDirectory,
                        const std::vector<std::string> &volpePlcNames);

// cambioVolpe: copies the chosen volpe PLC (and PORTALE.EXE when missing)
// from P_VOLPE/ onto the drive and deletes another volpe PLC found there.
ChangeResult cambioVolpe(const std::filesystem::path &drive, const std::filesystem::path &programDirectory,
                         const std::string &chosenPlc, const std::vector<std::string> &volpePlcNames);

// A check's findings in sentences: each file with a mark ("[OK]" present
// and current, "[--]" missing, "[!!]" of another date) and the words of the
// language ("presente", "mancante", "più vecchio"...), then a last line that
// says whether the medium holds all the machine needs. text gives a line of
// lingua.ini in the chosen language (Windows-1252 bytes).
std::vector<std::string> checkInWords(const std::vector<FileState> &files, bool plcFound,
                                      const std::function<std::string(int line)> &text);

} // namespace kn4::transfer
