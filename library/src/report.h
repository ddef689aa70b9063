#pragma once

#include <cstddef>

namespace kn4::compiler {

// The compile report: a text of at most 8191 characters, emptied at the
// start of every compilation. Text that would go beyond the limit is cut
// there without notice.
class Report
{
public:
    static constexpr std::size_t kCapacity = 8191;

    void clear();
    void append(const char *text);
    void appendf(const char *format, ...) __attribute__((format(printf, 2, 3)));
    // Appends a line that must be read whatever came before: a full report
    // gives up its last characters to make room for it.
    void appendClosing(const char *text);

    const char *text() const { return m_text; }
    std::size_t size() const { return m_size; }

    // Copies the report with its terminating zero into a caller buffer of
    // kCapacity + 1 bytes; nothing is written when out is null.
    void copyTo(char *out) const;

private:
    char m_text[kCapacity + 1] = {};
    std::size_t m_size = 0;
};

} // namespace kn4::compiler
