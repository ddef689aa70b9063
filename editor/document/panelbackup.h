#pragma once

#include <filesystem>
#include <string>

namespace kn4::editor {

// A panel that opened as invalid is not silently overwritten: before the
// first save replaces it, the original file is kept beside it under a
// backup name ("DAVANTI.KN4.bak", then ".bak2", ".bak3", ... so an earlier
// backup is never replaced).
class PanelBackup
{
public:
    struct Result
    {
        bool kept = false;
        std::filesystem::path backupPath;
        std::string message;  // UTF-8, to show the user
    };

    // The name the backup of panel will take: the first free one.
    static std::filesystem::path backupPathFor(const std::filesystem::path &panel);

    // Copies the panel file to its backup name (written whole or not at all).
    // When the panel file no longer exists there is nothing to keep and the
    // result is kept with an empty message. On failure the caller must not
    // save over the panel.
    static Result keepOriginal(const std::filesystem::path &panel);
};

} // namespace kn4::editor
