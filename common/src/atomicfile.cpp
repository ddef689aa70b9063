#include "kn4/atomicfile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace kn4 {

namespace {

AtomicFileWriter::WriteFunction g_write = nullptr;
AtomicFileWriter::SyncFunction g_sync = nullptr;

ssize_t doWrite(int fd, const void *data, std::size_t size)
{
    return g_write ? g_write(fd, data, size) : ::write(fd, data, size);
}

int doSync(int fd)
{
    return g_sync ? g_sync(fd) : ::fsync(fd);
}

bool writeAll(int fd, const void *data, std::size_t size)
{
    const char *p = static_cast<const char *>(data);
    while (size > 0) {
        const ssize_t n = doWrite(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        size -= std::size_t(n);
    }
    return true;
}

bool copyPath(char *dst, const char *src)
{
    const std::size_t n = std::strlen(src);
    if (n >= AtomicFileWriter::kMaxPath)
        return false;
    std::memcpy(dst, src, n + 1);
    return true;
}

// Syncs the folder that holds path, so that a rename into it survives a crash.
void syncParentFolder(const char *path)
{
    char folder[AtomicFileWriter::kMaxPath];
    if (!copyPath(folder, path))
        return;
    char *slash = std::strrchr(folder, '/');
    if (!slash)
        std::strcpy(folder, ".");
    else if (slash == folder)
        folder[1] = '\0';
    else
        *slash = '\0';
    const int fd = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

void AtomicFileWriter::setWriteFunctionForTesting(WriteFunction function)
{
    g_write = function;
}

void AtomicFileWriter::setSyncFunctionForTesting(SyncFunction function)
{
    g_sync = function;
}

AtomicFileWriter::~AtomicFileWriter()
{
    if (m_fd >= 0)
        abandon();
}

bool AtomicFileWriter::open(const char *tempPath, const char *targetPath)
{
    if (m_fd >= 0)
        abandon();
    m_failed = false;
    if (!copyPath(m_temp, tempPath) || !copyPath(m_target, targetPath))
        return false;
    m_fd = ::open(m_temp, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    return m_fd >= 0;
}

bool AtomicFileWriter::write(const void *data, std::size_t size)
{
    if (m_fd < 0 || m_failed)
        return false;
    if (!writeAll(m_fd, data, size))
        m_failed = true;
    return !m_failed;
}

bool AtomicFileWriter::commit()
{
    if (m_fd < 0)
        return false;
    if (m_failed || doSync(m_fd) != 0) {
        abandon();
        return false;
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        ::unlink(m_temp);
        return false;
    }
    if (::rename(m_temp, m_target) != 0) {
        const bool crossDevice = errno == EXDEV;
        const bool ok = crossDevice && copyBesideTargetAndRename();
        ::unlink(m_temp);
        return ok;
    }
    syncParentFolder(m_target);
    return true;
}

bool AtomicFileWriter::copyBesideTargetAndRename()
{
    char beside[kMaxPath];
    const std::size_t n = std::strlen(m_target);
    static constexpr char kSuffix[] = ".kn4tmp";
    if (n + sizeof kSuffix > kMaxPath)
        return false;
    std::memcpy(beside, m_target, n);
    std::memcpy(beside + n, kSuffix, sizeof kSuffix);

    const int in = ::open(m_temp, O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    const int out = ::open(beside, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0) {
        ::close(in);
        return false;
    }
    bool ok = true;
    char block[8192];
    for (;;) {
        const ssize_t got = ::read(in, block, sizeof block);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            ok = false;
            break;
        }
        if (got == 0)
            break;
        if (!writeAll(out, block, std::size_t(got))) {
            ok = false;
            break;
        }
    }
    ::close(in);
    ok = doSync(out) == 0 && ok;
    ok = ::close(out) == 0 && ok;
    if (ok && ::rename(beside, m_target) == 0) {
        syncParentFolder(m_target);
        return true;
    }
    ::unlink(beside);
    return false;
}

void AtomicFileWriter::abandon()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
        ::unlink(m_temp);
    }
    m_failed = false;
}

bool writeFileAtomically(const std::filesystem::path &path, std::string_view data, std::string *error)
{
    const std::string target = path.string();
    const std::string temp = target + ".kn4tmp";
    AtomicFileWriter writer;
    if (!writer.open(temp.c_str(), target.c_str())) {
        if (error)
            *error = "cannot create " + temp + ": " + std::strerror(errno);
        return false;
    }
    if (!writer.write(data.data(), data.size())) {
        if (error)
            *error = "cannot write " + temp + " (disk full or I/O error)";
        writer.abandon();
        return false;
    }
    if (!writer.commit()) {
        if (error)
            *error = "cannot replace " + target + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace kn4
