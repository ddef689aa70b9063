#include "linereader.h"

#include "kn4/filereader.h"

#include <cerrno>
#include <cstring>

namespace kn4::compiler {

MemorySource::MemorySource(const void *data, std::size_t size)
{
    m_pos = static_cast<const unsigned char *>(data);
    m_end = data ? m_pos + size : m_pos;
}

FileSource::FileSource(int fd)
    : m_fd(fd)
{
}

bool FileSource::refill()
{
    if (m_ended)
        return false;
    const ssize_t got = FileReader::readSome(m_fd, m_buffer, sizeof m_buffer);
    if (got <= 0) {
        if (got < 0)
            m_error = errno != 0 ? errno : EIO;
        m_ended = true;
        return false;
    }
    m_pos = m_buffer;
    m_end = m_buffer + got;
    return true;
}

std::size_t readPiece(ByteSource &source, char (&buffer)[kLinePiece + 1], LineMode mode)
{
    std::size_t length = 0;
    while (length < kLinePiece) {
        const unsigned char *start = nullptr;
        const std::size_t available = source.ahead(start);
        if (available == 0)
            break;
        const std::size_t room = kLinePiece - length;
        // A line feed among the next room bytes ends the piece; in a text
        // read one more byte is looked at, for a CR LF whose CR is dropped.
        const std::size_t looked = available < room + 1 ? available : room + 1;
        const auto *feed = static_cast<const unsigned char *>(std::memchr(start, '\n', looked));
        if (feed) {
            const std::size_t at = std::size_t(feed - start);
            const bool dropCr = mode == LineMode::Text && at > 0 && start[at - 1] == '\r';
            if (at < room || dropCr) {
                const std::size_t kept = dropCr ? at - 1 : at;
                std::memcpy(buffer + length, start, kept);
                length += kept;
                buffer[length++] = '\n';
                source.skip(at + 1);
                break;
            }
        }
        std::size_t taken = available < room ? available : room;
        // A CR last in the buffer may stand before a line feed not read yet.
        if (mode == LineMode::Text && taken == available && start[taken - 1] == '\r')
            --taken;
        if (taken == 0) {
            // That CR alone: decided by the byte after it.
            int c = source.next();
            if (source.peek() == '\n')
                c = source.next();
            buffer[length++] = char(c);
            if (c == '\n')
                break;
            continue;
        }
        std::memcpy(buffer + length, start, taken);
        length += taken;
        source.skip(taken);
    }
    buffer[length] = '\0';
    return length;
}

} // namespace kn4::compiler
