#pragma once

#include <QString>

#include <filesystem>
#include <string>

namespace kn4::simulator {

// Opens the editor on the simulated panel at a row, always through the
// archive manager of the program directory: only the manager edits a panel
// of its archives (on a working copy, under its editing watch and its
// locks). A running manager gets the request on its local socket; when
// none answers, the manager is started with the panel and the row and
// opens the editor itself.
class EditorHandover
{
public:
    enum class Outcome { Handed, ManagerStarted, Failed };
    struct Result
    {
        Outcome outcome = Outcome::Failed;
        QString error;  // why the manager could not be started
    };

    // The program directory of the language folder the manager passes
    // ("DIR/inglese/" is in DIR).
    static std::filesystem::path programDirectoryOf(const std::string &languageFolder);

    // The manager program is taken from binaryDirectory (where the
    // simulator lies) and started in the program directory.
    static Result request(const std::filesystem::path &programDirectory, const std::filesystem::path &binaryDirectory,
                          const std::string &panel, int row);
};

} // namespace kn4::simulator
