#include "compiledpanel.h"

#include "kn4/atomicfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
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

namespace {

// Opens a regular file for reading; a folder or anything else is refused.
int openRegular(const char *path)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool joinPath(char *out, std::size_t size, const char *folder, const char *name)
{
    const int n = std::snprintf(out, size, "%s/%s", folder, name);
    return n > 0 && std::size_t(n) < size;
}

} // namespace

WriteResult write(const char *panelPath, const char *folder, const char *headerText,
                  const std::uint8_t *code, int codeLength)
{
    const int fd = openRegular(panelPath);
    if (fd < 0)
        return WriteResult::NoMarker;
    FileSource source(fd);
    const long long sourceStart = findSourceStart(source);
    if (sourceStart < 0 || ::lseek(fd, off_t(sourceStart), SEEK_SET) < 0) {
        ::close(fd);
        return WriteResult::NoMarker;
    }

    char tempPath[AtomicFileWriter::kMaxPath];
    AtomicFileWriter writer;
    if (!joinPath(tempPath, sizeof tempPath, folder, "VUZUDO.TMP") || !writer.open(tempPath, panelPath)) {
        ::close(fd);
        return WriteResult::Failed;
    }
    const std::uint8_t headerEnd = kHeaderEnd;
    bool ok = writer.write(headerText, std::strlen(headerText)) && writer.write(&headerEnd, 1)
              && writer.write(code, std::size_t(codeLength > 0 ? codeLength : 0))
              && writer.write(kMarker, kMarkerLength);
    char block[4096];
    while (ok) {
        const ssize_t got = ::read(fd, block, sizeof block);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            ok = false;
        if (got <= 0)
            break;
        ok = writer.write(block, std::size_t(got));
    }
    ::close(fd);
    if (!ok) {
        writer.abandon();
        return WriteResult::Failed;
    }
    return writer.commit() ? WriteResult::Written : WriteResult::Failed;
}

} // namespace kn4::compiler::panelfile
