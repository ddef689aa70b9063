#pragma once

#include <kn4/fileidentity.h>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kn4::manager {

// A panel of an archive or a disk as the lists show it: the file name
// without its extension, in upper case, and the file itself.
struct PanelEntry
{
    std::string name;
    std::filesystem::path path;
};

// An archive or disk folder: its name in upper case and the folder itself
// (whose own name may be in any letter case).
struct FolderEntry
{
    std::string name;
    std::filesystem::path path;
};

// The files of a folder with an extension (such as ".kn4", compared
// ignoring letter case), by upper-case name without the extension, sorted.
// A missing folder has none.
std::vector<PanelEntry> listFiles(const std::filesystem::path &folder, std::string_view extension);
// The panels (*.kn4) of a folder.
std::vector<PanelEntry> listPanels(const std::filesystem::path &folder);
// The sub-folders of a folder, sorted by name.
std::vector<FolderEntry> listFolders(const std::filesystem::path &root);

std::string upperCase(std::string_view text);

// A name the user typed for an archive, a disk folder or a panel: upper
// case, trimmed and, when maxLength is not 0, cut to maxLength characters.
std::string normalisedName(std::string_view typed, std::size_t maxLength = 0);
// True for a name that is one plain file name, also on the machine's FAT
// disks: not empty, no path separator or drive colon, none of the
// characters FAT refuses, no control characters, not "." or "..", and no
// comma (the programs' one argument splits panel and folder at it).
bool isValidName(std::string_view name);

// What writeFileVerified may also do or ask.
struct VerifiedWrite
{
    // Run on the bytes read back before they take the target's name; the
    // problem found, or "" when they are sound.
    std::function<std::string(std::string_view readBack)> check;
    // The date the new file gets (a copy on the machine's media keeps its
    // source's: dates tell the current version of a controller program).
    std::optional<std::filesystem::file_time_type> modified;
    // The target must still be this file (as read, or missing) when it is
    // replaced; set *changed when it was not, so nobody's work is lost.
    std::optional<FileIdentity> expected;
    bool *changed = nullptr;
};

// Writes a file so that the target is never lost or half-written: the
// bytes go to an exclusive temporary file beside the target (the suite's
// atomic writer), are flushed, read back from the medium and compared, and
// only then does the temporary file take the target's name. When anything
// fails the target keeps its old content.
bool writeFileVerified(const std::filesystem::path &target, std::string_view bytes, std::string &error,
                       const VerifiedWrite &options = {});
// The same for a file's content.
bool copyFileSafely(const std::filesystem::path &source, const std::filesystem::path &target,
                    std::string &error);
// A panel read whole (at most the suite's panel size); false with the
// reason naming the file.
bool readFileBytes(const std::filesystem::path &file, std::string &bytes, std::string &error);

// Asked with the list name of a panel that already exists at the target;
// true replaces it.
using ReplaceQuestion = std::function<bool(const std::string &panelName)>;

struct CopyResult
{
    enum class Outcome { Copied, Kept, Failed };
    Outcome outcome = Outcome::Failed;
    std::filesystem::path target;
    std::string error;
    bool copied() const { return outcome == Outcome::Copied; }
};

// Copies a panel into a folder under its own file name. A panel of that
// name (in any letter case) already there is replaced only when the
// question answers yes; it keeps its file name.
CopyResult copyPanel(const std::filesystem::path &panel, const std::filesystem::path &targetFolder,
                     const ReplaceQuestion &askReplace);
// Copies a panel beside itself under a new name (given without extension,
// already normalised), with the same replace question.
CopyResult duplicatePanel(const std::filesystem::path &panel, std::string_view newName,
                          const ReplaceQuestion &askReplace);
bool deletePanel(const std::filesystem::path &panel, std::string &error);

// The archives (under archivi/) or the local disks (under dischi/): folders
// of one root, created, renamed and deleted by name.
class FolderStore
{
public:
    enum class Outcome { Done, Exists, InvalidName, Missing, Failed };
    struct Result
    {
        Outcome outcome = Outcome::Failed;
        std::string name;   // the normalised name the operation used
        std::string error;  // the system's reason when Failed
        bool done() const { return outcome == Outcome::Done; }
    };

    // maxNameLength 0 leaves names uncut.
    explicit FolderStore(std::filesystem::path root, std::size_t maxNameLength = 0);

    const std::filesystem::path &root() const { return m_root; }
    std::vector<FolderEntry> folders() const { return listFolders(m_root); }
    // The folder of a listed name, found ignoring letter case; empty when
    // there is none.
    std::filesystem::path find(std::string_view name) const;
    // The listed name of the folder that holds a file directly (the same
    // folder however the path reaches it); empty when none of them does.
    std::string holderOf(const std::filesystem::path &file) const;

    Result create(std::string_view typedName) const;
    Result rename(std::string_view name, std::string_view typedNewName) const;
    // Deletes every file of the folder and the folder itself.
    Result remove(std::string_view name) const;

private:
    std::filesystem::path m_root;
    std::size_t m_maxNameLength;
};

} // namespace kn4::manager
