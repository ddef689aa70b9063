#include "kn4/filereader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kn4 {

namespace {

FileReader::ReadFunction g_read = nullptr;

// Reads in blocks of this size when the file does not tell its size.
constexpr std::size_t kBlock = 65536;

FileContent failure(int errorNumber, std::string reason)
{
    FileContent content;
    content.errorNumber = errorNumber;
    content.reason = std::move(reason);
    return content;
}

FileContent systemFailure(int errorNumber)
{
    return failure(errorNumber, std::strerror(errorNumber));
}

class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

std::string FileContent::message(const std::filesystem::path &path) const
{
    return path.string() + ": " + (reason.empty() ? std::string("letto") : reason);
}

void FileReader::setReadFunctionForTesting(ReadFunction function)
{
    g_read = function;
}

ssize_t FileReader::readSome(int fd, void *buffer, std::size_t size)
{
    for (;;) {
        const ssize_t got = g_read ? g_read(fd, buffer, size) : ::read(fd, buffer, size);
        if (got < 0 && errno == EINTR)
            continue;
        return got;
    }
}

FileContent FileReader::read(const std::filesystem::path &path, std::size_t maxBytes)
{
    maxBytes = std::min(maxBytes, std::size_t(SIZE_MAX / 2));
    // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused
    // below like every file that is not a regular one.
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0)
        return systemFailure(errno);
    struct stat st;
    if (::fstat(fd.get(), &st) != 0)
        return systemFailure(errno);
    if (S_ISDIR(st.st_mode))
        return systemFailure(EISDIR);
    if (!S_ISREG(st.st_mode))
        return failure(ENODEV, "non è un file regolare");
    const std::string tooLong = "più di " + std::to_string(maxBytes) + " byte";
    if (st.st_size > 0 && std::uint64_t(st.st_size) > maxBytes)
        return failure(EFBIG, tooLong);

    FileContent content;
    content.identity = FileIdentity::ofDescriptor(fd.get());
    std::string &bytes = content.bytes;
    // The size the file reports is only a first guess: read until the end,
    // one byte beyond the bound at most, to see whether it is longer.
    bytes.resize(std::size_t(st.st_size) + 1);
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size()) {
            if (used > maxBytes)
                return failure(EFBIG, tooLong);
            bytes.resize(std::min(used + kBlock, maxBytes + 1));
        }
        const ssize_t got = readSome(fd.get(), bytes.data() + used, bytes.size() - used);
        if (got < 0)
            return systemFailure(errno);
        if (got == 0)
            break;
        used += std::size_t(got);
    }
    if (used > maxBytes)
        return failure(EFBIG, tooLong);
    bytes.resize(used);
    return content;
}

} // namespace kn4
