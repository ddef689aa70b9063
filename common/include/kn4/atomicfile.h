#pragma once

#include "kn4/fileidentity.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace kn4 {

// Replaces a file so that it is never lost or half-written: the new content
// goes into a temporary file of its own, every write is checked (a full disk
// gives short writes without an error code), the temporary file is flushed
// to disk and only then renamed over the target, and the target's folder is
// synced. When anything fails the temporary file is removed and the target
// keeps its old content byte for byte.
//
// The temporary file lies beside the target (so the rename is atomic), with
// a name of its own, "NAME.XXXXXX.kn4tmp" (six random letters and digits),
// created exclusively: nothing already there is ever opened, truncated or
// followed, a symbolic link planted under that name included, and two
// writers of one folder never share a temporary file. It gets the mode of
// the file it replaces (0644 less the umask for a new file).
//
// With expectIdentity the target is only replaced while it is still the
// file that was read: a file someone else changed or replaced meanwhile
// keeps their content and the commit fails with Failure::Changed.
//
// No allocation: paths live in fixed buffers, so the compiler library can
// use it while compiling.
class AtomicFileWriter
{
public:
    static constexpr std::size_t kMaxPath = 4096;

    enum class Failure {
        None,
        Create,  // the temporary file could not be made (errorNumber says why)
        Write,   // a write failed or came back short (a full disk)
        Sync,    // the flush to disk or the close failed
        Changed, // the target is no longer the file that was read
        Replace, // the rename over the target failed
    };

    AtomicFileWriter() = default;
    AtomicFileWriter(const AtomicFileWriter &) = delete;
    AtomicFileWriter &operator=(const AtomicFileWriter &) = delete;
    ~AtomicFileWriter();

    // Creates the temporary file that will replace targetPath, in the
    // target's folder. False (with failure() Create) when it cannot be made.
    // targetMode, when the caller knows it, is the mode of the regular file
    // being replaced (else it is looked up).
    bool open(const char *targetPath, int targetMode = -1);
    // The target must still be this file when commit() replaces it. An
    // identity that does not exist means the target must still be missing.
    void expectIdentity(const FileIdentity &identity);
    // Writes all bytes or fails; after a failure every later call fails too.
    bool write(const void *data, std::size_t size);
    // Syncs, closes and renames the temporary file over the target. Returns
    // false (and removes every temporary file) when the target was not
    // replaced; failure() and errorNumber() then say why.
    bool commit();
    // Closes and removes the temporary file; the target is untouched.
    void abandon();

    bool isOpen() const { return m_fd >= 0; }
    // The temporary file's path while the writer is open.
    const char *tempPath() const { return m_temp; }
    Failure failure() const { return m_failure; }
    int errorNumber() const { return m_errorNumber; }

    using WriteFunction = ssize_t (*)(int fd, const void *data, std::size_t size);
    // Tests replace the system write to inject failures; nullptr restores it.
    static void setWriteFunctionForTesting(WriteFunction function);
    using SyncFunction = int (*)(int fd);
    // Tests replace the flush of the temporary file to disk (fsync) to inject
    // failures; nullptr restores it.
    static void setSyncFunctionForTesting(SyncFunction function);

private:
    bool fail(Failure failure, int errorNumber);
    bool copyBesideTargetAndRename();

    int m_fd = -1;
    bool m_failed = false;
    bool m_checkIdentity = false;
    FileIdentity m_expected;
    Failure m_failure = Failure::None;
    int m_errorNumber = 0;
    char m_temp[kMaxPath] = {};
    char m_target[kMaxPath] = {};
};

// Writes data to path through AtomicFileWriter, with the temporary file
// beside the target. On failure returns false and describes it in *error.
bool writeFileAtomically(const std::filesystem::path &path, std::string_view data,
                         std::string *error = nullptr);
// The same, replacing the file only while it is still the one described by
// expected (as FileContent::identity gave it when the file was read).
bool writeFileAtomically(const std::filesystem::path &path, std::string_view data, const FileIdentity &expected,
                         std::string *error = nullptr);

// The file a path finally names when its last component is a symbolic link
// (a chain of them followed, relative links taken from the link's folder),
// written into out; the path itself when it is no link. Replacing a panel
// through a link so replaces the panel and keeps the link. False when the
// result does not fit or the links loop.
bool resolveFinalLink(const char *path, char *out, std::size_t size);

} // namespace kn4
