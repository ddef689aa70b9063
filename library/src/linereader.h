#pragma once

#include <cstddef>

namespace kn4::compiler {

// A stream of bytes: a file read through a fixed buffer, or memory.
class ByteSource
{
public:
    virtual ~ByteSource() = default;
    // The next byte (0..255), or -1 at the end.
    virtual int next() = 0;
    // The byte next() would return, without taking it.
    virtual int peek() = 0;
};

class MemorySource final : public ByteSource
{
public:
    MemorySource(const void *data, std::size_t size);
    int next() override;
    int peek() override;

private:
    const unsigned char *m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// Reads an open file descriptor through a fixed buffer; the caller owns the
// descriptor. A read error ends the stream as the end of file would.
class FileSource final : public ByteSource
{
public:
    explicit FileSource(int fd);
    int next() override;
    int peek() override;
    // Bytes taken by next() so far.
    long long offset() const { return m_offset; }

private:
    bool fill();

    int m_fd;
    unsigned char m_buffer[4096];
    std::size_t m_pos = 0;
    std::size_t m_length = 0;
    bool m_end = false;
    long long m_offset = 0;
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
