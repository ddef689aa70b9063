#pragma once

#include "core/editlock.h"

#include <kn4/fileidentity.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kn4::manager {

// Follows the edits under way. For each edit the panel is marked as being
// edited (a lock file beside it), copied to a working copy of its own in
// the program directory with a record of the edit beside that copy, the
// editor works on the copy, and when the editor's process has ended the
// copy goes back over the panel and the lists are refreshed:
//
//   WorkingCopyMade -> EditorRunning -> CopiedBack -> (lists refreshed, gone)
//                                    \-> CopyBackFailed (working copy kept)
//
// The archive's panel is replaced only by a complete copy that reads back
// equal, and only while it is still what it was when the edit began (its
// identity on disk and the hash of its bytes): a panel someone else changed
// meanwhile (another manager, a copy, a duplicate) is never overwritten; the
// edited panel is then kept beside it as NAME_modificato.KN4. Only this
// edit's working copy is ever deleted, and only after that.
//
// A manager that ended without bringing an edit back (killed, or a failed
// copy back) leaves its working copy and record: the next start finds them
// as orphans and offers to bring each back through the same compare, or to
// delete it.
class EditingWatch
{
public:
    enum class State { WorkingCopyMade, EditorRunning, CopiedBack, CopyBackFailed };

    // The edit record beside a working copy ("DAVANTI.KN4.kn4edit").
    static constexpr const char *kRecordSuffix = ".kn4edit";
    // The name a changed panel's edit is kept under beside it.
    static constexpr const char *kKeptSuffix = "_modificato";

    struct Edit
    {
        int id = 0;
        std::filesystem::path panel;
        std::filesystem::path workingCopy;
        std::string original;       // the panel's bytes when the edit began
        FileIdentity identity;      // the panel on disk when the edit began
        EditOwner owner;            // this manager, as its lock names it
        State state = State::WorkingCopyMade;
        bool isNew = false;         // a new panel: nothing in the archive yet
    };

    struct BeginResult
    {
        enum class Outcome {
            Started,
            AlreadyEditing,   // by this manager
            EditedElsewhere,  // another manager's lock: owner says who
            Failed,
        };
        Outcome outcome = Outcome::Failed;
        int id = 0;
        std::filesystem::path workingCopy;
        std::string error;
        // EditedElsewhere: who holds the lock (nullopt: a lock file that
        // cannot be read). Pass it back to begin to break that lock.
        std::optional<EditOwner> owner;
    };

    struct EndResult
    {
        enum class Outcome {
            Unchanged,
            CopiedBack,
            // The panel changed while it was edited: it was left alone and
            // the edited panel kept beside it (keptAs).
            KeptBeside,
            // The working copy is gone (deleted by hand): nothing came back
            // and nothing holds the changes.
            WorkingCopyMissing,
            Failed,
            UnknownEdit,
        };
        Outcome outcome = Outcome::UnknownEdit;
        std::filesystem::path panel;
        std::filesystem::path workingCopy;  // where the edited panel stays on failure
        std::filesystem::path keptAs;
        std::string error;
    };

    // self is the manager as its locks and records name it: this process,
    // unless a test stands in for another manager.
    explicit EditingWatch(std::filesystem::path programDirectory,
                          const EditOwner &self = EditOwner::thisProcess({}));
    // Leaves nothing marked: the locks of the edits still listed go.
    ~EditingWatch();
    EditingWatch(const EditingWatch &) = delete;
    EditingWatch &operator=(const EditingWatch &) = delete;

    // Marks the panel as being edited and makes its working copy. A panel
    // already being edited, here or by another manager, is refused; with
    // breakLockOf (the owner a refusal named, after the user agreed) that
    // other manager's lock is removed first.
    BeginResult begin(const std::filesystem::path &panel,
                      const std::optional<std::optional<EditOwner>> &breakLockOf = std::nullopt);
    // A new panel of an archive: marked as being edited like any other, but
    // with no working copy (the editor starts a new panel under that name).
    // When the editor ends, the panel it saved goes into the archive, as
    // long as no panel of that name appeared there meanwhile (else it is
    // kept beside it). A name already taken is refused (Failed).
    BeginResult beginNew(const std::filesystem::path &panel);
    // The editor is running on the edit's working copy.
    void editorStarted(int id);
    // The editor could not be started: the working copy, its record and the
    // lock go; the panel was never touched.
    void editorFailedToStart(int id);
    // The editor's process has ended: the working copy goes back over the
    // panel when it changed and the panel did not, then it is deleted. On
    // failure the working copy stays and the panel keeps its content.
    EndResult editorEnded(int id);
    // The lists show the result: the edit is over.
    void listsRefreshed(int id);

    // True when this manager edits the panel, or another manager's lock
    // marks it (a panel named in any letter case).
    bool isBeingEdited(const std::filesystem::path &panel) const;
    // Another manager's lock on the panel, and whose.
    std::optional<std::optional<EditOwner>> editedElsewhere(const std::filesystem::path &panel) const;
    // True when a panel of the folder is being edited, here or elsewhere:
    // the folder must then be neither renamed nor deleted.
    bool folderHasEdits(const std::filesystem::path &folder) const;
    const std::vector<Edit> &edits() const { return m_edits; }
    // True while an editor works on a copy that has not come back yet.
    bool hasRunningEdits() const;
    const Edit *find(int id) const;

    // A working copy of the program directory that no running edit owns.
    struct Orphan
    {
        std::filesystem::path workingCopy;
        std::filesystem::path record;
        std::filesystem::path panel;       // empty when the record names none
        std::string originalHash;          // of the panel's bytes when that edit began
        EditOwner owner;                   // the manager that made it
    };
    std::vector<Orphan> orphans() const;
    // Brings an orphan back over its panel through the same compare as a
    // copy back (a changed or missing panel: kept beside it instead), then
    // deletes it with its record and its stale lock.
    EndResult bringBack(const Orphan &orphan);
    // Deletes an orphan, its record and its stale lock.
    bool discard(const Orphan &orphan, std::string *error = nullptr);

    // FNV-1a 64 of the bytes, as 16 hex digits: what an edit record keeps
    // of the panel it began from.
    static std::string hashOf(std::string_view bytes);

private:
    Edit *findEdit(int id);
    std::filesystem::path freeWorkingCopyName(const std::filesystem::path &panel) const;
    // Back over the panel, or beside it when it changed since it was
    // hashed (originalHash), or it is gone.
    EndResult copyBack(const std::filesystem::path &panel, const std::filesystem::path &workingCopy,
                       const std::string &originalHash, const FileIdentity &identityAtStart, bool isNew);
    void forget(const Edit &edit);
    // Makes sure no edit of this watch holds the panel, breaks the named
    // lock when asked, and marks the panel on disk for edit (its working
    // copy's name and owner set). False, with result telling why, when the
    // edit cannot begin.
    bool claim(const std::filesystem::path &panel, const std::optional<std::optional<EditOwner>> &breakLockOf,
               Edit &edit, BeginResult &result);

    std::filesystem::path m_programDirectory;
    EditOwner m_self;
    std::vector<Edit> m_edits;
    int m_nextId = 1;
};

} // namespace kn4::manager
