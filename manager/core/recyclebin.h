#pragma once

#include "core/panelfiles.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kn4::manager {

// The recycle folder of an archive, a local disk or the folder of the
// archives: a deleted panel (or a deleted archive or disk) is moved into
// it, whole and unchanged, and can be brought back until the folder is
// emptied. The folder lies beside what it holds (".cestino"), on the same
// volume, so putting a file in and taking it out are renames; the lists of
// the manager never show it.
//
// Each deletion gets a folder of its own inside it, named by the time of
// the deletion ("20250312-101502-1"), that holds the deleted file or folder
// under its own name: the same panel deleted twice is kept twice, and it
// comes back under the very name it had.
class RecycleBin
{
public:
    static constexpr const char *kFolderName = ".cestino";

    // The recycle folder of a folder (it may not exist yet).
    static std::filesystem::path of(const std::filesystem::path &folder);
    // True for the name of a recycle folder, in any letter case.
    static bool isBinName(std::string_view name);

    struct Item
    {
        std::string name;              // the list name: file name without extension, or folder name, upper case
        std::filesystem::path path;    // the deleted file or folder inside the recycle folder
        std::filesystem::path home;    // the folder it goes back into
        bool folder = false;           // a deleted archive or disk
        std::string deleted;           // "dd/mm/yyyy hh:mm", from the deletion's folder name
    };

    // Moves a file or a folder into the recycle folder of the folder that
    // holds it. False, with the reason, when it could not be moved: it then
    // stays where it was.
    static bool recycle(const std::filesystem::path &entry, std::string &error);
    // What the recycle folder of a folder holds, the latest deletion first.
    static std::vector<Item> items(const std::filesystem::path &folder);

    enum class Outcome {
        Restored,
        Kept,     // a panel of that name is there and the user kept it
        Exists,   // a folder of that name is there: a folder is never merged
        Failed,
    };
    struct Result
    {
        Outcome outcome = Outcome::Failed;
        std::filesystem::path restored;  // where it is now
        std::string error;
    };
    // Brings an item back into its folder byte for byte. A panel of the same
    // name there (in any letter case) is replaced only when the question
    // answers yes, and only while it is the file the question was about.
    static Result restore(const Item &item, const ReplaceQuestion &askReplace);
    // Deletes for good everything the recycle folder of a folder holds.
    static bool empty(const std::filesystem::path &folder, std::string &error);
};

// Renames from to to, never over something that is already at to (errno
// EEXIST then); false with errno set on failure.
bool renameWithoutReplacing(const std::filesystem::path &from, const std::filesystem::path &to);

} // namespace kn4::manager
