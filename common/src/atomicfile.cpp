#include "kn4/atomicfile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kn4 {

namespace {

AtomicFileWriter::WriteFunction g_write = nullptr;
AtomicFileWriter::SyncFunction g_sync = nullptr;

// How much of the target's name the temporary name keeps: with the random
// part and ".kn4tmp" it stays within the 255 bytes a file name may have.
constexpr std::size_t kNameKept = 200;
constexpr int kCreateAttempts = 100;

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
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
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

// Six letters and digits from a generator of the thread's own, seeded once
// from the system's random source (or, should it fail, from the time, the
// process and the thread): unpredictable enough that a name cannot be
// planted in advance, and unique enough that the exclusive creation rarely
// has to try again.
void randomPart(char (&out)[7])
{
    static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::uint64_t state = 0;
    thread_local bool seeded = false;
    if (!seeded) {
        if (::getrandom(&state, sizeof state, GRND_NONBLOCK) != ssize_t(sizeof state)) {
            struct timespec now = {};
            ::clock_gettime(CLOCK_MONOTONIC, &now);
            state = std::uint64_t(now.tv_nsec) ^ (std::uint64_t(now.tv_sec) << 30)
                    ^ (std::uint64_t(::getpid()) << 40) ^ std::uint64_t(reinterpret_cast<std::uintptr_t>(&state));
        }
        seeded = true;
    }
    // splitmix64
    std::uint64_t x = (state += 0x9E3779B97F4A7C15ull);
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    x ^= x >> 31;
    for (int i = 0; i < 6; ++i) {
        out[i] = kChars[(x & 0xFF) % (sizeof kChars - 1)];
        x >>= 8;
    }
    out[6] = '\0';
}

// Creates "FOLDER/NAME.XXXXXX.kn4tmp" beside target, exclusively and
// without following a link, trying other names while one is taken. The
// mode is the old target's when there is one. Returns the descriptor (path
// in temp) or -1 with errno set.
int createBeside(const char *target, int targetMode, char (&temp)[AtomicFileWriter::kMaxPath])
{
    const char *slash = std::strrchr(target, '/');
    const std::size_t folderLength = slash ? std::size_t(slash - target) + 1 : 0;
    const char *name = target + folderLength;
    const std::size_t nameLength = std::min(std::strlen(name), kNameKept);

    mode_t mode = mode_t(targetMode);
    bool replacing = targetMode >= 0;
    if (!replacing) {
        struct stat old;
        replacing = ::stat(target, &old) == 0 && S_ISREG(old.st_mode);
        mode = old.st_mode;
    }

    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        char random[7];
        randomPart(random);
        const int n = std::snprintf(temp, sizeof temp, "%.*s%.*s.%s.kn4tmp", int(folderLength), target,
                                    int(nameLength), name, random);
        if (n < 0 || std::size_t(n) >= sizeof temp) {
            errno = ENAMETOOLONG;
            return -1;
        }
        const int fd = ::open(temp, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd >= 0 && replacing)
            ::fchmod(fd, mode & 07777);
        return fd;
    }
    errno = EEXIST;
    return -1;
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

bool AtomicFileWriter::fail(Failure failure, int errorNumber)
{
    m_failure = failure;
    m_errorNumber = errorNumber;
    return false;
}

bool AtomicFileWriter::open(const char *targetPath, int targetMode)
{
    if (m_fd >= 0)
        abandon();
    m_failed = false;
    m_checkIdentity = false;
    m_failure = Failure::None;
    m_errorNumber = 0;
    m_temp[0] = '\0';
    if (!targetPath || !copyPath(m_target, targetPath))
        return fail(Failure::Create, ENAMETOOLONG);
    m_fd = createBeside(m_target, targetMode, m_temp);
    if (m_fd < 0) {
        m_temp[0] = '\0';
        return fail(Failure::Create, errno);
    }
    return true;
}

void AtomicFileWriter::expectIdentity(const FileIdentity &identity)
{
    m_expected = identity;
    m_checkIdentity = true;
}

bool AtomicFileWriter::write(const void *data, std::size_t size)
{
    if (m_fd < 0 || m_failed)
        return false;
    if (!writeAll(m_fd, data, size)) {
        m_failed = true;
        fail(Failure::Write, errno);
    }
    return !m_failed;
}

bool AtomicFileWriter::commit()
{
    if (m_fd < 0)
        return m_failure == Failure::None ? fail(Failure::Create, EBADF) : false;
    if (m_failed) {
        const Failure failure = m_failure;
        const int number = m_errorNumber;
        abandon();
        return fail(failure, number);
    }
    if (doSync(m_fd) != 0) {
        const int number = errno;
        abandon();
        return fail(Failure::Sync, number);
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        const int number = errno;
        ::unlink(m_temp);
        return fail(Failure::Sync, number);
    }
    // Checked as late as can be, right before the rename: whoever wrote the
    // target since it was read keeps their content.
    if (m_checkIdentity && !(FileIdentity::ofPath(m_target) == m_expected)) {
        ::unlink(m_temp);
        return fail(Failure::Changed, ESTALE);
    }
    if (::rename(m_temp, m_target) != 0) {
        const int number = errno;
        const bool ok = number == EXDEV && copyBesideTargetAndRename();
        ::unlink(m_temp);
        return ok || fail(Failure::Replace, number);
    }
    syncParentFolder(m_target);
    return true;
}

// A rename the file system refuses across devices (a folder that is a mount
// of its own): the content is copied into a second temporary file made the
// same exclusive way beside the target, and that one is renamed.
bool AtomicFileWriter::copyBesideTargetAndRename()
{
    char beside[kMaxPath];
    const int in = ::open(m_temp, O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (in < 0)
        return false;
    const int out = createBeside(m_target, -1, beside);
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
    if (ok && m_checkIdentity && !(FileIdentity::ofPath(m_target) == m_expected)) {
        ::unlink(beside);
        errno = EXDEV;
        return false;
    }
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

namespace {

bool writeWhole(const std::filesystem::path &path, std::string_view data, const FileIdentity *expected,
                std::string *error)
{
    const std::string target = path.string();
    AtomicFileWriter writer;
    const auto describe = [&](const std::string &what) {
        if (error)
            *error = what + ": " + std::strerror(writer.errorNumber());
        return false;
    };
    if (!writer.open(target.c_str()))
        return describe("cannot create a temporary file beside " + target);
    if (expected)
        writer.expectIdentity(*expected);
    if (!writer.write(data.data(), data.size())) {
        writer.abandon();
        return describe("cannot write the new content of " + target + " (disk full or I/O error)");
    }
    if (writer.commit())
        return true;
    if (writer.failure() == AtomicFileWriter::Failure::Changed) {
        if (error)
            *error = target + " changed since it was read: it was not overwritten";
        return false;
    }
    return describe("cannot replace " + target);
}

} // namespace

bool writeFileAtomically(const std::filesystem::path &path, std::string_view data, std::string *error)
{
    return writeWhole(path, data, nullptr, error);
}

bool writeFileAtomically(const std::filesystem::path &path, std::string_view data, const FileIdentity &expected,
                         std::string *error)
{
    return writeWhole(path, data, &expected, error);
}

bool resolveFinalLink(const char *path, char *out, std::size_t size)
{
    if (!path || !out || size == 0)
        return false;
    const std::size_t length = std::strlen(path);
    if (length >= size)
        return false;
    std::memcpy(out, path, length + 1);
    // As many links as the system itself follows before giving up (ELOOP).
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(out, &st) != 0 || !S_ISLNK(st.st_mode))
            return true;
        char link[AtomicFileWriter::kMaxPath];
        const ssize_t n = ::readlink(out, link, sizeof link - 1);
        if (n < 0)
            return true;
        link[n] = '\0';
        if (link[0] == '/') {
            if (std::size_t(n) >= size)
                return false;
            std::memcpy(out, link, std::size_t(n) + 1);
            continue;
        }
        // A relative link counts from the folder that holds it.
        char *slash = std::strrchr(out, '/');
        const std::size_t folderLength = slash ? std::size_t(slash - out) + 1 : 0;
        if (folderLength + std::size_t(n) >= size)
            return false;
        std::memcpy(out + folderLength, link, std::size_t(n) + 1);
    }
    return false;
}

} // namespace kn4
