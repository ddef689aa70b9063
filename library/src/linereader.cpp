#include "linereader.h"

#include "kn4/filereader.h"

#include <cerrno>

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
