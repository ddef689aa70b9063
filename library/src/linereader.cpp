#include "linereader.h"

#include <cerrno>
#include <unistd.h>

namespace kn4::compiler {

MemorySource::MemorySource(const void *data, std::size_t size)
    : m_data(static_cast<const unsigned char *>(data))
    , m_size(data ? size : 0)
{
}

int MemorySource::next()
{
    return m_pos < m_size ? m_data[m_pos++] : -1;
}

int MemorySource::peek()
{
    return m_pos < m_size ? m_data[m_pos] : -1;
}

FileSource::FileSource(int fd)
    : m_fd(fd)
{
}

bool FileSource::fill()
{
    if (m_pos < m_length)
        return true;
    if (m_end)
        return false;
    for (;;) {
        const ssize_t got = ::read(m_fd, m_buffer, sizeof m_buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            m_end = true;
            return false;
        }
        m_pos = 0;
        m_length = std::size_t(got);
        return true;
    }
}

int FileSource::next()
{
    if (!fill())
        return -1;
    ++m_offset;
    return m_buffer[m_pos++];
}

int FileSource::peek()
{
    return fill() ? m_buffer[m_pos] : -1;
}

std::size_t readPiece(ByteSource &source, char (&buffer)[kLinePiece + 1], LineMode mode)
{
    std::size_t length = 0;
    while (length < kLinePiece) {
        int c = source.next();
        if (c < 0)
            break;
        if (mode == LineMode::Text && c == '\r' && source.peek() == '\n')
            c = source.next();
        buffer[length++] = char(c);
        if (c == '\n')
            break;
    }
    buffer[length] = '\0';
    return length;
}

} // namespace kn4::compiler
