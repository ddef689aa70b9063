#include "kn4/fileidentity.h"

#include <sys/stat.h>

namespace kn4 {

namespace {

FileIdentity fromStat(const struct stat &st)
{
    FileIdentity id;
    id.exists = true;
    id.device = st.st_dev;
    id.inode = st.st_ino;
    id.size = st.st_size;
    id.modifiedSeconds = st.st_mtim.tv_sec;
    id.modifiedNanoseconds = st.st_mtim.tv_nsec;
    return id;
}

} // namespace

FileIdentity FileIdentity::ofStatus(const struct stat &status)
{
    return fromStat(status);
}

FileIdentity FileIdentity::ofPath(const char *path)
{
    struct stat st;
    if (!path || ::stat(path, &st) != 0)
        return {};
    return fromStat(st);
}

FileIdentity FileIdentity::ofDescriptor(int fd)
{
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0)
        return {};
    return fromStat(st);
}

} // namespace kn4
