#include "report.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace kn4::compiler {

void Report::clear()
{
    m_size = 0;
    m_text[0] = '\0';
}

void Report::append(const char *text)
{
    if (!text)
        return;
    std::size_t n = std::strlen(text);
    if (n > kCapacity - m_size)
        n = kCapacity - m_size;
    std::memcpy(m_text + m_size, text, n);
    m_size += n;
    m_text[m_size] = '\0';
}

void Report::appendClosing(const char *text)
{
    if (!text)
        return;
    const std::size_t n = std::strlen(text);
    if (n <= kCapacity && n > kCapacity - m_size)
        m_size = kCapacity - n;
    append(text);
}

void Report::appendf(const char *format, ...)
{
    // One message never needs more: its words are keyword slots (20
    // characters) or tokens of one line piece (79 characters).
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    append(line);
}

void Report::copyTo(char *out) const
{
    if (out)
        std::memcpy(out, m_text, m_size + 1);
}

} // namespace kn4::compiler
