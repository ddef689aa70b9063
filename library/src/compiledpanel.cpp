#include "compiledpanel.h"

#include "kn4/atomicfile.h"
#include "kn4/filereader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace kn4::compiler::panelfile {

long long findSourceStart(ByteSource &source)
{
    char piece[kLinePiece + 1];
    long long offset = 0;
    for (;;) {
        const std::size_t length = readPiece(source, piece, LineMode::Binary);
        if (length == 0)
            return -1;
        offset += static_cast<long long>(length);
        if (length >= kMarkerLineLength && std::memcmp(piece, kMarkerLine, kMarkerLineLength) == 0)
            return offset;
    }
}

int formatHeader(char *out, std::size_t size, const PanelHeader &h, int totalSteps, int courses)
{
    const int n = std::snprintf(out, size, "%s %s %s,%dD,%s,%d,%dD %dS,%dD %dS,%d,%d", h.type, h.size, h.part,
                                h.needleBed, h.density, h.setUp, h.borderRight, h.borderLeft, h.necklineRight,
                                h.necklineLeft, totalSteps, courses);
    if (n < 0)
        return 0;
    return std::size_t(n) < size ? n : int(size - 1);
}

WriteResult write(const SourcePart &source, const FileIdentity &read, int panelMode, const char *panelPath,
                  const char *headerText, const std::uint8_t *code, int codeLength, int *errorNumber)
{
    int unused = 0;
    int &error = errorNumber ? *errorNumber : unused;
    error = 0;
    if (!source.bytes && ::lseek(source.fd, off_t(source.start), SEEK_SET) < 0) {
        error = errno;
        return WriteResult::ReadFailed;
    }
    AtomicFileWriter writer;
    if (!writer.open(panelPath, panelMode)) {
        error = writer.errorNumber();
        return WriteResult::Failed;
    }
    writer.expectIdentity(read);
    // Header, byte 26, code and marker: the header text is shorter than its
    // buffer and the code never longer than its memory. They are put right
    // before the source part when there is room, so that one write takes
    // the whole panel.
    const std::size_t headerLength = std::min(std::strlen(headerText), kHeaderTextSize - 1);
    const std::size_t codeBytes = std::size_t(std::clamp(codeLength, 0, kCodeSize));
    const std::size_t headLength = headerLength + 1 + codeBytes + kMarkerLength;
    char buffer[kHeadRoom];
    const bool inPlace = source.bytes && source.headRoom >= headLength;
    char *head = inPlace ? source.bytes - headLength : buffer;
    char *at = head;
    at = std::copy_n(headerText, headerLength, at);
    *at++ = char(kHeaderEnd);
    at = std::copy_n(reinterpret_cast<const char *>(code), codeBytes, at);
    at = std::copy_n(kMarker, kMarkerLength, at);
    bool ok;
    if (inPlace) {
        ok = writer.write(head, headLength + source.size);
    } else if (source.bytes) {
        ok = writer.write(head, headLength) && writer.write(source.bytes, source.size);
    } else {
        ok = writer.write(head, headLength);
        char block[8192];
        while (ok) {
            const ssize_t got = FileReader::readSome(source.fd, block, sizeof block);
            if (got < 0) {
                error = errno != 0 ? errno : EIO;
                writer.abandon();
                return WriteResult::ReadFailed;
            }
            if (got == 0)
                break;
            ok = writer.write(block, std::size_t(got));
        }
    }
    if (!ok) {
        error = writer.errorNumber();
        writer.abandon();
        return WriteResult::Failed;
    }
    if (writer.commit())
        return WriteResult::Written;
    error = writer.errorNumber();
    return writer.failure() == AtomicFileWriter::Failure::Changed ? WriteResult::Changed : WriteResult::Failed;
}

} // namespace kn4::compiler::panelfile
