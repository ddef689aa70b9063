#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kn4 {

// A label (language) file: one display text per line, line k giving text k.
// Every program keeps its captions and messages in one; the texts stay
// Windows-1252 bytes, converted only to be shown.
class LabelFile
{
public:
    enum class Status {
        Loaded,
        Missing,       // no such file, or it cannot be read
        TooManyLines,  // more lines than the program's table holds
    };

    // Reads at most maxLines lines. Lines end with CR LF (a lone LF or CR
    // is accepted too); a last line without an end counts, a final line end
    // does not start a further empty line. A file with more than maxLines
    // lines gives TooManyLines and keeps its first maxLines lines.
    static LabelFile load(const std::filesystem::path &path, std::size_t maxLines);
    static LabelFile fromText(std::string_view text, std::size_t maxLines);

    Status status() const { return m_status; }
    bool loaded() const { return m_status == Status::Loaded; }
    std::size_t lineCount() const { return m_lines.size(); }
    const std::vector<std::string> &lines() const { return m_lines; }
    // Text of line k; the empty text for a line the file does not have.
    std::string text(std::size_t line) const;
    // Why a Missing file could not be read: "PATH: reason".
    const std::string &reason() const { return m_reason; }

private:
    Status m_status = Status::Missing;
    std::string m_reason;
    std::vector<std::string> m_lines;
};

} // namespace kn4
