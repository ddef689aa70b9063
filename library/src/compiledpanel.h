#pragma once

#include "knittingmachine.h"
#include "linereader.h"
#include "sourcereader.h"

#include "kn4/fileidentity.h"

#include <cstddef>
#include <cstdint>

namespace kn4::compiler {

// The compiled panel file: header text, the byte 26, the virtual machine
// code, the 16-byte marker (CR LF "SORGENTE.KN4" CR LF) and then the source
// part unchanged.
namespace panelfile {

constexpr char kMarkerLine[] = "SORGENTE.KN4\r\n"; // 14 bytes
constexpr std::size_t kMarkerLineLength = 14;
constexpr char kMarker[] = "\r\nSORGENTE.KN4\r\n"; // 16 bytes
constexpr std::size_t kMarkerLength = 16;
constexpr std::uint8_t kHeaderEnd = 26;
// Room for the header text with its terminating zero.
constexpr std::size_t kHeaderTextSize = 256;
constexpr int kCodeSize = KnittingMachine::kCodeSize;

// Reads the stream as lines of at most 79 bytes up to the first line that
// begins with the marker line, and returns the offset of the byte after it,
// or -1 when there is none. The source is then positioned at that byte.
long long findSourceStart(ByteSource &source);

// Formats the header text: "%s %s %s,%dD,%s,%d,%dD %dS,%dD %dS,%d,%d" with
// type, size, part, width, density, set-up, border and neckline widths,
// total steps and courses. Returns its length (always below size).
int formatHeader(char *out, std::size_t size, const PanelHeader &header, int totalSteps, int courses);

enum class WriteResult {
    Written,
    ReadFailed, // the source part could not be read again: the panel is unchanged
    Changed,    // the panel is no longer the file that was compiled: nothing written
    Failed,     // the new content could not be written whole: the panel is unchanged
};

// The room a rewritten panel's header text, byte 26, code and marker take
// at most: held in memory right before the source part, the whole panel
// goes out in one write.
constexpr std::size_t kHeadRoom = kHeaderTextSize + 1 + std::size_t(kCodeSize) + kMarkerLength;

// Where the source part of the rewritten panel comes from: the panel's
// bytes held in memory (with headRoom bytes free before them, which the
// rewrite may use), or, for a file too large to hold, the descriptor the
// compilation read, from start on.
struct SourcePart
{
    char *bytes = nullptr;
    std::size_t size = 0;
    std::size_t headRoom = 0;
    int fd = -1;
    long long start = 0;
};

// Rewrites the panel: header text, byte 26, code and marker, then the source
// part go into a temporary file of their own beside panelPath, which
// replaces the panel by one atomic rename once it is complete and on disk,
// and only while the panel is still the file described by read (the
// identity it had when the compilation opened it). *errorNumber receives
// the system's reason of a failure.
// panelMode is the mode of the panel being replaced, which the new one
// keeps.
WriteResult write(const SourcePart &source, const FileIdentity &read, int panelMode, const char *panelPath,
                  const char *headerText, const std::uint8_t *code, int codeLength, int *errorNumber);

} // namespace panelfile
} // namespace kn4::compiler
