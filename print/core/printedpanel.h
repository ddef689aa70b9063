#pragma once

#include "kn4/compiledpanel.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kn4 {

class LabelFile;

// A compiled panel as the print-out reads it: the compiled header line in
// front of the byte 26, the code block after it, and the source part after
// the "SORGENTE.KN4" marker line with its header lines, notes and rows.
// Texts stay Windows-1252 bytes.
class PrintedPanel
{
public:
    // The whole file is read, however long: a panel of 500 rows with a full
    // code block is far beyond the 32767 bytes of old readers.
    // nullopt when the file cannot be read (a folder, a FIFO, a failed read,
    // more than FileReader::kPanelLimit bytes); *reason then says why.
    static std::optional<PrintedPanel> load(const std::filesystem::path &path, std::string *reason = nullptr);
    static PrintedPanel fromBytes(std::string bytes);

    const std::string &fileText() const { return m_file.bytes(); }
    bool hasByte26() const { return m_file.hasSeparator(); }
    // Both the byte 26 and the marker after the code are present.
    bool hasCodeBlock() const { return m_file.hasSeparator() && m_file.hasMarker(); }

    // The text in front of the byte 26.
    std::string_view headerLine() const { return m_file.headerText(); }
    // The bytes after the byte 26 up to the CR LF that opens the marker line.
    std::string_view codeBlock() const { return hasCodeBlock() ? m_file.code() : std::string_view(); }
    // Everything after the marker line ("SORGENTE.KN4" and its line end).
    std::string_view sourcePart() const { return m_file.source(); }
    const CompiledPanel &file() const { return m_file; }
    // The program rows: from the first "defin" after the program marker
    // line "Inizio programma" (after the source header when that line is
    // missing) to the end of the file, 42 bytes to a row line.
    std::string_view programText() const;

    // A source header line beginning with word (ignoring letter case), found
    // among the lines of the source part in front of the program marker:
    // a note or a field that holds the word cannot be taken for it.
    std::optional<std::string_view> sourceHeaderLine(std::string_view word) const;

private:
    CompiledPanel m_file;
};

// The values the header of the print-out shows and the profile starts from.
struct PanelHeaderValues
{
    // The 5, 2 and 10 characters of the compiled header line and the
    // density, each without the "-" that pads it to its width.
    std::string type, size, part;
    std::string needleBedWidth;            // without its "D"
    std::string density;
    std::string setupText;
    std::string ribText, necklineText;     // "80D 80S" with D and S in the language's words
    std::int32_t ribRight = 0, ribLeft = 0;
    std::int32_t necklineRight = 0, necklineLeft = 0;
    std::int32_t totalSteps = 0;
    std::int32_t courseCount = 0;
    double borderHeight = 0, needlesPerCm = 0, coursesPerCm = 0;
    std::int32_t setupValue = 1;           // 1 when the panel has no set-up line
    std::array<std::string, 3> notes;      // the note texts, without their ";" and trailing blanks

    // labels: the print-out's label file (texts 15 and 16 name the sides).
    static PanelHeaderValues read(const PrintedPanel &panel, const LabelFile &labels);
};

} // namespace kn4
