#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace kn4 {

// Replaces a file so that it is never lost or half-written: the new content
// goes into a temporary file, every write is checked (a full disk gives short
// writes without an error code), the temporary file is flushed to disk and
// only then renamed over the target, and the target's folder is synced.
// When anything fails the temporary file is removed and the target keeps its
// old content byte for byte.
//
// No allocation: paths live in fixed buffers, so the compiler library can
// use it while compiling.
class AtomicFileWriter
{
public:
    static constexpr std::size_t kMaxPath = 4096;

    AtomicFileWriter() = default;
    AtomicFileWriter(const AtomicFileWriter &) = delete;
    AtomicFileWriter &operator=(const AtomicFileWriter &) = delete;
    ~AtomicFileWriter();

    // Creates (or truncates) tempPath, which will replace targetPath.
    bool open(const char *tempPath, const char *targetPath);
    // Writes all bytes or fails; after a failure every later call fails too.
    bool write(const void *data, std::size_t size);
    // Syncs, closes and renames the temporary file over the target. When the
    // two lie on different file systems the content is first copied into a
    // temporary file beside the target. Returns false (and removes every
    // temporary file) when the target was not replaced.
    bool commit();
    // Closes and removes the temporary file; the target is untouched.
    void abandon();

    bool isOpen() const { return m_fd >= 0; }

    using WriteFunction = ssize_t (*)(int fd, const void *data, std::size_t size);
    // Tests replace the system write to inject failures; nullptr restores it.
    static void setWriteFunctionForTesting(WriteFunction function);
    using SyncFunction = int (*)(int fd);
    // Tests replace the flush of the temporary file to disk (fsync) to inject
    // failures; nullptr restores it.
    static void setSyncFunctionForTesting(SyncFunction function);

private:
    bool copyBesideTargetAndRename();

    int m_fd = -1;
    bool m_failed = false;
    char m_temp[kMaxPath] = {};
    char m_target[kMaxPath] = {};
};

// Writes data to path through AtomicFileWriter, with the temporary file
// beside the target. On failure returns false and describes it in *error.
bool writeFileAtomically(const std::filesystem::path &path, std::string_view data,
                         std::string *error = nullptr);

} // namespace kn4
