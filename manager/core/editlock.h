#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kn4::manager {

// Who edits a panel: the computer, the process of the manager that watches
// the edit, the user, and that manager's working copy.
struct EditOwner
{
    std::string host;
    long pid = 0;
    std::string user;
    std::string workingCopy;

    // This process, editing through workingCopy.
    static EditOwner thisProcess(const std::filesystem::path &workingCopy);
    // The text of a lock file ("host=...", "pid=...", "user=...",
    // "workingcopy=..." lines); parse gives nullopt for a text without a
    // host and a process.
    std::string text() const;
    static std::optional<EditOwner> parse(std::string_view text);

    bool isThisProcess() const;
    // The same manager (computer and process), whatever it edits.
    bool sameProcess(const EditOwner &other) const { return host == other.host && pid == other.pid; }
    // A manager of this computer whose process has ended: nobody watches
    // that edit any more.
    bool isStale() const;
    bool operator==(const EditOwner &) const = default;
};

// The name of this computer, as locks and edit records give it.
std::string thisHost();
// True while a process of this computer runs under that number.
bool processRuns(long pid);

// The mark on disk that a panel is being edited: a small lock file beside
// the panel ("DAVANTI.KN4.lock"), made exclusively, so that a second manager
// (on the same program directory or on another one, on this computer or on
// another that shares the archive folder) sees the edit too and never
// overwrites it.
class EditLock
{
public:
    static constexpr const char *kSuffix = ".lock";

    static std::filesystem::path pathFor(const std::filesystem::path &panel);

    struct Result
    {
        enum class Outcome {
            Acquired,
            TakenOver,  // a stale lock of this computer was replaced
            Held,       // another manager edits the panel: owner says who
            Failed,     // the lock file could not be made (error says why)
        };
        Outcome outcome = Outcome::Failed;
        // Held: who holds the lock (nullopt when its file cannot be read);
        // TakenOver: whose stale lock was replaced.
        std::optional<EditOwner> owner;
        std::string error;
        bool acquired() const { return outcome == Outcome::Acquired || outcome == Outcome::TakenOver; }
    };

    // Marks the panel as edited by me. A lock of a process of this computer
    // that has ended (or my own leftover) is taken over; any other lock is
    // left alone.
    static Result acquire(const std::filesystem::path &panel, const EditOwner &me);
    // Removes a lock the user chose to break, but only while it is still the
    // one shown to the user (owner, or an unreadable one when nullopt).
    static bool breakLock(const std::filesystem::path &panel, const std::optional<EditOwner> &owner,
                          std::string *error = nullptr);
    // Removes my lock; another's lock is never touched.
    static void release(const std::filesystem::path &panel, const EditOwner &me);
    // The live lock of another manager than me on the panel, if there is
    // one: its owner, or a lock whose file cannot be read (nullopt inside).
    static std::optional<std::optional<EditOwner>> heldByOther(const std::filesystem::path &panel,
                                                               const EditOwner &me);
};

} // namespace kn4::manager
