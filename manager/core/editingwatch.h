#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kn4::manager {

// Follows the edits under way. For each edit the panel is copied to a
// working copy of its own in the program directory, the editor works on the
// copy, and when the editor's process has ended the copy goes back over the
// panel and the lists are refreshed:
//
//   WorkingCopyMade -> EditorRunning -> CopiedBack -> (lists refreshed, gone)
//                                    \-> CopyBackFailed (working copy kept)
//
// The archive's panel is replaced only by a complete copy that reads back
// equal; only this edit's working copy is ever deleted, and only after that.
class EditingWatch
{
public:
    enum class State { WorkingCopyMade, EditorRunning, CopiedBack, CopyBackFailed };

    struct Edit
    {
        int id = 0;
        std::filesystem::path panel;
        std::filesystem::path workingCopy;
        std::string original;  // the panel's bytes when the edit began
        State state = State::WorkingCopyMade;
    };

    struct BeginResult
    {
        enum class Outcome { Started, AlreadyEditing, Failed };
        Outcome outcome = Outcome::Failed;
        int id = 0;
        std::filesystem::path workingCopy;
        std::string error;
    };

    struct EndResult
    {
        enum class Outcome { Unchanged, CopiedBack, Failed, UnknownEdit };
        Outcome outcome = Outcome::UnknownEdit;
        std::filesystem::path panel;
        std::filesystem::path workingCopy;  // where the edited panel stays on failure
        std::string error;
    };

    explicit EditingWatch(std::filesystem::path programDirectory);

    // Makes the working copy of a panel. A panel already being edited is
    // refused: two editors on one panel would overwrite each other's work.
    BeginResult begin(const std::filesystem::path &panel);
    // The editor is running on the edit's working copy.
    void editorStarted(int id);
    // The editor could not be started: the working copy goes, the panel
    // was never touched.
    void editorFailedToStart(int id);
    // The editor's process has ended: the working copy goes back over the
    // panel when it changed, then it is deleted. On failure the working
    // copy stays and the panel keeps its content.
    EndResult editorEnded(int id);
    // The lists show the result: the edit is over.
    void listsRefreshed(int id);

    bool isBeingEdited(const std::filesystem::path &panel) const;
    const std::vector<Edit> &edits() const { return m_edits; }
    // True while an editor works on a copy that has not come back yet.
    bool hasRunningEdits() const;
    const Edit *find(int id) const;

private:
    Edit *findEdit(int id);
    std::filesystem::path freeWorkingCopyName(const std::filesystem::path &panel) const;

    std::filesystem::path m_programDirectory;
    std::vector<Edit> m_edits;
    int m_nextId = 1;
};

} // namespace kn4::manager
