#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace kn4 {

// The values of a compiled panel's header text, read as the library writes
// them: "%s %s %s," (type, size, part) "%dD,%s,%d," (needle-bed width,
// density, set-up) "%dD %dS,%dD %dS," (border right and left, neckline
// right and left) "%d,%d" (total steps, courses). Every number is read as a
// whole number where it stands; a field that is missing or holds no digits
// reads as 0 (or empty text), so a damaged header never fails to parse.
struct CompiledHeader
{
    std::string type;
    std::string size;
    std::string part;
    std::int32_t width = 0;
    std::string density;
    std::int32_t setUp = 0;
    std::int32_t borderRight = 0;
    std::int32_t borderLeft = 0;
    std::int32_t necklineRight = 0;
    std::int32_t necklineLeft = 0;
    std::int32_t totalSteps = 0;
    std::int32_t courses = 0;
};

CompiledHeader parseCompiledHeader(std::string_view headerText);

// The layout of a compiled panel file: header text, the byte 26, the
// virtual machine code, the 16-byte marker CR LF "SORGENTE.KN4" CR LF, then
// the source part. The code may hold any byte (26, CR and LF included); it
// ends where the first whole marker after the byte 26 begins.
//
// A panel in source form (never compiled) has no byte 26: its header text
// and code are empty and its source part follows the first line that is
// exactly "SORGENTE.KN4", as every reader of the suite finds it.
//
// The object owns the file's bytes; the views it hands out stay valid while
// it lives and are taken afresh from offsets after a copy or move.
class CompiledPanel
{
public:
    static constexpr char kSeparator = 26;
    static constexpr std::string_view kMarker{"\r\nSORGENTE.KN4\r\n", 16};
    static constexpr std::string_view kMarkerLine{"SORGENTE.KN4\r\n", 14};

    CompiledPanel() = default;
    explicit CompiledPanel(std::string bytes);

    const std::string &bytes() const { return m_bytes; }

    // Bytes before the first byte 26 (empty for a panel in source form).
    std::string_view headerText() const { return view(0, m_headerLength); }
    bool hasSeparator() const { return m_hasSeparator; }
    // Bytes after the byte 26 up to the marker (to the end of the file when
    // the marker is missing).
    std::string_view code() const { return view(m_codeOffset, m_codeLength); }
    std::size_t codeOffset() const { return m_codeOffset; }
    bool hasMarker() const { return m_hasMarker; }
    // Offset of the first byte after the marker; the file's size when the
    // marker is missing.
    std::size_t sourceOffset() const { return m_sourceOffset; }
    std::string_view source() const { return view(m_sourceOffset, m_bytes.size() - m_sourceOffset); }

    CompiledHeader header() const { return parseCompiledHeader(headerText()); }

private:
    std::string_view view(std::size_t offset, std::size_t length) const
    {
        return std::string_view(m_bytes).substr(offset, length);
    }

    std::string m_bytes;
    std::size_t m_headerLength = 0;
    bool m_hasSeparator = false;
    std::size_t m_codeOffset = 0;
    std::size_t m_codeLength = 0;
    bool m_hasMarker = false;
    std::size_t m_sourceOffset = 0;
};

// Reads a whole panel file through FileReader (regular files only, at most
// FileReader::kPanelLimit bytes). Returns false with the message
// "Impossibile leggere il file PATH: reason" when it cannot be read.
bool readWholeFile(const std::filesystem::path &path, std::string &bytes, std::string &error);

// Reads a panel file and splits it; false with readWholeFile's message when
// the file cannot be read.
bool readCompiledPanel(const std::filesystem::path &path, CompiledPanel &panel, std::string &error);

} // namespace kn4
