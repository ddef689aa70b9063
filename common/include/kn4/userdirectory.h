#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kn4 {

// Where the programs of the suite find their files.
//
// A build runs from its program directory: the programs, the library, the
// language folders, the settings and the archives side by side, all
// writable. An installed suite keeps the programs and the library in a
// folder of its own (<prefix>/lib/kn4) and the data it ships in
// <prefix>/share/kn4, neither writable by the user; each user then works on
// a program directory of their own, $XDG_DATA_HOME/kn4 (by default
// ~/.local/share/kn4), seeded from the installed data on the first start.
struct ProgramLocations
{
    std::filesystem::path binaryDirectory;   // the programs and libkn4edit2.so
    std::filesystem::path programDirectory;  // language folders, settings, archives, working copies
    std::filesystem::path installedData;     // the shipped data; empty for a build run in place
    bool perUser() const { return !installedData.empty(); }
};

// A newer installed language file than the one in the user's directory.
// The user decides: take it (acceptOffer) or keep their own (declineOffer);
// either way it is not offered again until the installed file changes.
struct LanguageFileOffer
{
    std::filesystem::path relativePath;  // for example "inglese/kn4edit.ini"
    bool changedByUser = false;          // the user's copy differs from the one installed before
};

struct SeedReport
{
    bool firstStart = false;
    std::vector<std::filesystem::path> copied;  // relative paths copied from the installed data
    std::vector<LanguageFileOffer> offers;
    std::string error;  // empty when the directory is ready
    bool ok() const { return error.empty(); }
};

class UserDirectory
{
public:
    // The record, in the user's directory, of the installed language files
    // the user has been given or has been offered.
    static constexpr const char *kRecordFile = ".kn4-installati";

    // The user's program directory: $XDG_DATA_HOME/kn4 when that variable is
    // an absolute path, else $HOME/.local/share/kn4; nullopt without either.
    static std::optional<std::filesystem::path> location(const char *xdgDataHome, const char *home);

    // The installed data beside a program directory without language
    // folders: <binaryDirectory>/../../share/kn4 (programs in lib/kn4) or
    // <binaryDirectory>/../share/kn4 (programs in bin); nullopt when
    // binaryDirectory holds the language folders itself (a build) or no
    // installed data is found.
    static std::optional<std::filesystem::path> installedDataFor(const std::filesystem::path &binaryDirectory);

    // The locations for a program in binaryDirectory, with the environment of
    // the process (XDG_DATA_HOME, HOME). For an installed suite the user's
    // directory is not created here: seed() does that.
    static ProgramLocations locate(const std::filesystem::path &binaryDirectory);
    static ProgramLocations locate(const std::filesystem::path &binaryDirectory, const char *xdgDataHome,
                                   const char *home);

    // Where a command-line tool in binaryDirectory finds the language
    // folders: the build's program directory; for an installed suite the
    // user's directory once the manager has seeded it (so that compiling
    // can write beside the keyword file), else the installed data.
    static std::filesystem::path dataDirectory(const std::filesystem::path &binaryDirectory);

    // Brings the user's directory up from the installed data.
    // First start (no record yet): every installed file and folder the user
    // does not have is copied or created; nothing the user has is replaced.
    // Later starts: missing folders and settings files come back, a missing
    // language file is copied, a changed installed language file becomes an
    // offer; the archives are left as the user keeps them.
    // Every file is written through a temporary file and a rename.
    static SeedReport seed(const std::filesystem::path &installedData, const std::filesystem::path &userDirectory);

    // The user takes the installed file of an offer (it replaces theirs).
    static bool acceptOffer(const std::filesystem::path &installedData, const std::filesystem::path &userDirectory,
                            const LanguageFileOffer &offer, std::string *error = nullptr);
    // The user keeps their own file.
    static bool declineOffer(const std::filesystem::path &installedData, const std::filesystem::path &userDirectory,
                             const LanguageFileOffer &offer, std::string *error = nullptr);

    // Language files: everything in a language folder (italiano, inglese,
    // spagnolo, any letter case) and the manager's lingua.ini.
    static bool isLanguageFile(const std::filesystem::path &relativePath);
};

} // namespace kn4
