#pragma once

#include <cstdint>
#include <sys/stat.h>
#include <sys/types.h>

namespace kn4 {

// Which file a path names, and in which state: device, inode, size and the
// time of the last change with its nanoseconds. A file replaced by a rename
// gets another inode; a file written in place changes its size or its time.
// Two identities taken before and after are equal only when nobody has
// written the file in between, which is how the suite makes sure it never
// overwrites a file that changed since it was read.
//
// No allocation, so the compiler library can use it while compiling.
struct FileIdentity
{
    bool exists = false; // false: there was no file (or it could not be looked at)
    dev_t device = 0;
    ino_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    long modifiedNanoseconds = 0;

    // The file a path names now, following symbolic links.
    static FileIdentity ofPath(const char *path);
    // The file an open descriptor refers to.
    static FileIdentity ofDescriptor(int fd);
    // The file a status already taken describes.
    static FileIdentity ofStatus(const struct stat &status);

    bool operator==(const FileIdentity &other) const = default;
};

} // namespace kn4
