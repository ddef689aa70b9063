#pragma once

#include "kn4/fileidentity.h"

#include <cerrno>
#include <cstddef>
#include <filesystem>
#include <string>
#include <sys/types.h>

namespace kn4 {

// What a whole-file read gives: the bytes, or why there are none.
struct FileContent
{
    std::string bytes;
    // 0 when the file was read; else the system's error number (ENOENT for a
    // missing file, EISDIR for a folder, EIO for a failed read...), EFBIG
    // for a file longer than the caller's bound and ENODEV for anything that
    // is not a regular file (a FIFO, a device, a socket).
    int errorNumber = 0;
    // The reason in words ("No such file or directory", "non è un file
    // regolare", "più di 1048576 byte"); empty when the file was read.
    std::string reason;
    // The file as it was when it was read, for a later check that it has
    // not changed (see AtomicFileWriter::expectIdentity).
    FileIdentity identity;

    bool ok() const { return errorNumber == 0; }
    explicit operator bool() const { return ok(); }
    // No file at that path (or a folder on the way is missing).
    bool missing() const { return errorNumber == ENOENT || errorNumber == ENOTDIR; }
    // "PATH: reason", for messages that name the file.
    std::string message(const std::filesystem::path &path) const;
};

// The one way the suite reads a whole file. Only regular files are read: a
// folder, a FIFO or a device is an error at once, never a hang (a FIFO is
// opened without waiting for a writer). The file is read with plain system
// reads until its end (never trusting the size it reports: files of /proc
// report 0), interrupted reads are retried, and a file longer than the
// caller's bound is an error naming the bound, so /dev/zero or a huge file
// can never eat the memory. Nothing throws: every failure is a value.
class FileReader
{
public:
    // Bounds of the suite's formats, in bytes: far beyond any real file,
    // small enough to refuse a wrong file quickly.
    static constexpr std::size_t kPanelLimit = 1u << 20;        // a panel, source or compiled
    static constexpr std::size_t kTextFileLimit = 1u << 20;     // settings, label, language, keyword, help files
    static constexpr std::size_t kDiskImageLimit = 4u << 20;    // a diskette image (.vlp, .img)
    static constexpr std::size_t kMediaFileLimit = 64u << 20;   // a file copied to the machine's media
    static constexpr std::size_t kSystemTableLimit = 16u << 20; // a table of the system (/proc/self/mountinfo)

    // Reads the whole file at path, at most maxBytes of it.
    static FileContent read(const std::filesystem::path &path, std::size_t maxBytes);

    // One read(2) through the seam below, with interrupted reads retried:
    // the compiler library reads its files through it too, so tests can make
    // any read of a compilation fail.
    static ssize_t readSome(int fd, void *buffer, std::size_t size);

    using ReadFunction = ssize_t (*)(int fd, void *buffer, std::size_t size);
    // Tests replace the system read to inject failures; nullptr restores it.
    static void setReadFunctionForTesting(ReadFunction function);
};

} // namespace kn4
