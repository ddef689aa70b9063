#pragma once

#include <cstddef>

namespace kn4::compiler {

// A stream of bytes read through a buffer, like a C stream: next() and
// peek() are inline, and only an empty buffer calls refill().
class ByteSource
{
public:
    virtual ~ByteSource() = default;
    // The next byte (0..255), or -1 at the end.
    int next() { return m_pos < m_end || refill() ? *m_pos++ : -1; }
    // The byte next() would return, without taking it.
    int peek() { return m_pos < m_end || refill() ? *m_pos : -1; }
    // The bytes read ahead and not yet taken, refilled when none are left:
    // their count (0 at the end) and where they start.
    std::size_t ahead(const unsigned char *&start)
    {
        if (m_pos >= m_end && !refill())
            return 0;
        start = m_pos;
        return std::size_t(m_end - m_pos);
    }
    // Takes count bytes of those ahead.
    void skip(std::size_t count) { m_pos += count; }

protected:
    // Makes [m_pos, m_end) non-empty; false at the end of the stream.
    virtual bool refill() = 0;

    const unsigned char *m_pos = nullptr;
    const unsigned char *m_end = nullptr;
};

class MemorySource final : public ByteSource
{
public:
    MemorySource(const void *data, std::size_t size);

private:
    bool refill() override { return false; }
};

// Reads an open file descriptor through a fixed buffer; the caller owns the
// descriptor. A read error ends the stream, and errorNumber() tells it from
// the end of the file: a reader must never take a failed read for the end.
class FileSource final : public ByteSource
{
public:
    explicit FileSource(int fd);

    // The system's error number of the read that failed; 0 while every read
    // has succeeded.
    int errorNumber() const { return m_error; }

private:
    bool refill() override;

    int m_fd;
    bool m_ended = false;
    int m_error = 0;
    unsigned char m_buffer[8192];
};

// Files are read as lines of at most 79 bytes: a piece ends after a line
// feed or when 79 bytes have been taken, so a longer line is read as several
// pieces, each counted as a line of its own.
constexpr std::size_t kLinePiece = 79;

enum class LineMode {
    Binary, // every byte counts, a CR stays in the piece
    Text,   // a CR directly before a LF is dropped, as a text-mode read does
};

// Reads the next piece into buffer (kLinePiece + 1 bytes, zero-terminated)
// and returns its length in bytes, 0 at the end of the stream. A piece may
// hold zero bytes; the reader of the language treats the first one as the
// end of the line.
std::size_t readPiece(ByteSource &source, char (&buffer)[kLinePiece + 1], LineMode mode);

} // namespace kn4::compiler
