#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace kn4::transfer {

// Disk folders of the volpe and orsa families ({drive}/maglie/NAME,
// {drive}/orsa/NAME) and the local disks ({program directory}/dischi/NAME):
// each holds panel files (*.kn4) as the controller reads them.

constexpr std::size_t kDiskNameLength = 8;

// The folder name for what the user typed: blanks around it dropped, upper
// case, cut to 8 characters. Empty when nothing usable is left (nothing
// typed, or a name with "/", or "." and "..").
std::string diskFolderName(std::string_view typed);

struct FolderResult
{
    bool ok = false;
    std::string error; // message for the user when !ok
    std::string name;  // the folder's name as made
};

// USBadd: creates parent/NAME; an existing disk of that name is refused.
FolderResult USBadd(const std::filesystem::path &parent, std::string_view typed);
// USBdel (after the user's confirmation): deletes every file of the disk
// folder and removes it.
FolderResult USBdel(const std::filesystem::path &parent, std::string_view name);
// usbren: renames the disk folder to the edited name (cut as for USBadd).
FolderResult usbren(const std::filesystem::path &parent, std::string_view oldName, std::string_view typed);

// Copying one panel onto a disk folder.
enum class CopyOutcome { Copied, Kept, Failed };
struct CopyResult
{
    CopyOutcome outcome = CopyOutcome::Failed;
    std::string error;
};
// Asked when the disk already holds a panel of that name (ignoring letter
// case); true replaces it.
using ReplaceQuestion = std::function<bool(const std::string &panelFileName)>;

// Copies the panel file unchanged into folder: when a panel of that name is
// there the user is asked first; the copy goes to a temporary file, is read
// back and compared with the source and only then takes the panel's name, so
// a failure leaves the disk's old panel as it was.
CopyResult copyPanelToDisk(const std::filesystem::path &panel, const std::filesystem::path &folder,
                           const ReplaceQuestion &askReplace);

} // namespace kn4::transfer
