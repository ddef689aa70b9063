#include "compiler.h"

#include "compiledpanel.h"

#include "kn4/atomicfile.h"
#include "kn4/filereader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace kn4::compiler {

Compiler::Compiler()
    : m_reader(m_keywords)
{
}

namespace {

// The panel opened for one compilation, regular files only (a folder or a
// FIFO is refused at once, never waited on), with the identity and the mode
// it had when it was opened; closed at the end of the compilation.
struct OpenPanel
{
    OpenPanel() = default;
    ~OpenPanel()
    {
        if (fd >= 0)
            ::close(fd);
    }
    OpenPanel(const OpenPanel &) = delete;
    OpenPanel &operator=(const OpenPanel &) = delete;

    // With noLink, a path whose last name is a symbolic link is not opened
    // (error ELOOP).
    bool open(const char *path, bool noLink)
    {
        fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | (noLink ? O_NOFOLLOW : 0));
        if (fd < 0) {
            error = errno;
            return false;
        }
        struct stat st = {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            error = S_ISDIR(st.st_mode) ? EISDIR : ENODEV;
            ::close(fd);
            fd = -1;
            return false;
        }
        identity = FileIdentity::ofStatus(st);
        size = st.st_size;
        mode = int(st.st_mode & 07777);
        return true;
    }

    int fd = -1;
    int error = 0;
    long long size = 0;
    int mode = 0;
    FileIdentity identity;
};

} // namespace

int Compiler::readWhole(int fd, long long size)
{
    constexpr std::size_t kLimit = FileReader::kPanelLimit;
    constexpr std::size_t kRoom = panelfile::kHeadRoom;
    if (size < 0 || std::uint64_t(size) > kLimit)
        return 0;
    // One byte more than the file holds, so that a read that ends short
    // shows the end; a file that grows meanwhile is read on. The bytes are
    // kept after room for the rewritten panel's head.
    std::size_t wanted = std::size_t(size) + 1;
    m_byteCount = 0;
    for (;;) {
        if (m_capacity < wanted) {
            std::unique_ptr<char[]> larger(new (std::nothrow) char[kRoom + wanted]);
            if (!larger)
                break;
            if (m_byteCount > 0)
                std::memcpy(larger.get() + kRoom, m_bytes.get() + kRoom, m_byteCount);
            m_bytes = std::move(larger);
            m_capacity = wanted;
        }
        char *const bytes = m_bytes.get() + kRoom;
        const std::size_t asked = m_capacity - m_byteCount;
        const ssize_t got = FileReader::readSome(fd, bytes + m_byteCount, asked);
        if (got < 0) {
            if (errno == 0)
                errno = EIO;
            return -1;
        }
        if (got == 0)
            return 1;
        m_byteCount += std::size_t(got);
        // A read that stops short at the size the file had when it was
        // opened has met its end (a file written meanwhile is refused before
        // the rename, by its identity).
        if (std::size_t(got) < asked && m_byteCount == std::size_t(size))
            return 1;
        if (m_byteCount == m_capacity) {
            if (m_capacity > kLimit)
                break;
            wanted = std::min(m_capacity * 2, kLimit + 1);
        }
    }
    // Too large to hold: read again from the start, as a stream.
    m_byteCount = 0;
    if (::lseek(fd, 0, SEEK_SET) < 0)
        return -1;
    return 0;
}

Compiler &sharedCompiler()
{
    static Compiler compiler;
    return compiler;
}

Result Compiler::runStages(ByteSource &source)
{
    m_reader.read(source, m_report);
    int grave = m_reader.graveErrors();
    bool generated = false;

    if (grave == 0) {
        generated = m_machine.generate(m_reader.commands(), m_reader.header(), m_report);
        if (!generated)
            ++grave;
        m_report.appendf("\r\nfine compilazione al passo %d+%d", m_machine.steps(), m_machine.extraSteps());
        m_report.append(", ");
        m_report.appendf("parte di maglia di %d righe\r\n", m_machine.courses());
        m_report.appendf("occupazione memoria comandi %d/%d", m_reader.commands().fill, CommandMemory::kIntegers);
        m_report.append(", ");
        m_report.appendf("memoria telaio virtuale %d/%d\r\n\r\n", m_machine.codeLength(), KnittingMachine::kCodeSize);
    }

    if (generated) {
        if (!m_simulator.run(m_machine.code(), m_machine.codeLength(), m_reader.header(), m_report))
            ++grave;
        const CodeSimulator &s = m_simulator;
        m_report.appendf("\r\nfine simulazione alla riga %d\r\n", s.courses());
        m_report.appendf("bordo %dD %dS", s.outerRight(), s.outerLeft());
        m_report.append(", ");
        m_report.appendf("%s %dD %dS\r\n", m_keywords.lowerWord(kScollo), s.necklineRight(), s.necklineLeft());
        m_report.appendf("massimo bordo %dD %dS", s.maxRight(), s.maxLeft());
        m_report.append(", ");
        m_report.appendf("minimo tra bordo e %s %dD %dS\r\n\r\n", m_keywords.lowerWord(kScollo), s.minGapRight(),
                         s.minGapLeft());
    }

    // The header counts are those reached: 0,0 when the reader stopped the
    // compilation before generation.
    const bool ran = m_reader.graveErrors() == 0;
    panelfile::formatHeader(m_headerText, sizeof m_headerText, m_reader.header(),
                            ran ? m_machine.steps() + m_machine.extraSteps() : 0, ran ? m_machine.courses() : 0);
    m_writtenCodeLength = grave == 0 ? m_machine.codeLength() : 0;

    if (grave > 0)
        return kGraveErrors;
    return m_reader.nonGraveErrors() > 0 ? kCompiledWithWarnings : kCompiled;
}

Result Compiler::compileSource(const void *source, std::size_t size)
{
    m_report.clear();
    m_report.append("VUZUDO v4.4\r\n");
    m_writeFailed = false;
    MemorySource memory(source, size);
    return runStages(memory);
}

Result Compiler::notCompiled(const char *line, int errorNumber, char *reportOut)
{
    char text[512];
    std::snprintf(text, sizeof text, line, std::strerror(errorNumber));
    m_report.appendClosing(text);
    m_report.copyTo(reportOut);
    m_writtenCodeLength = 0;
    return kNotASource;
}

Result Compiler::compile(const char *panelPath, const char *folder, char *reportOut)
{
    if (!panelPath)
        panelPath = "";
    if (!folder)
        folder = "";
    m_report.clear();
    m_report.append("VUZUDO v4.4\r\n");
    m_writeFailed = false;
    m_writtenCodeLength = 0;

    if (const int error = m_keywords.readFolder(folder); error != 0)
        return notCompiled(error == ENOENT ? kNoKeywordsLine : kKeywordsUnreadableFormat, error, reportOut);

    // A panel reached through a symbolic link is compiled where it lies:
    // the rename replaces the panel and the link keeps pointing at it.
    std::snprintf(m_panelPath, sizeof m_panelPath, "%s", panelPath);
    OpenPanel panel;
    if (!panel.open(m_panelPath, true) && panel.error == ELOOP) {
        if (!resolveFinalLink(panelPath, m_panelPath, sizeof m_panelPath))
            std::snprintf(m_panelPath, sizeof m_panelPath, "%s", panelPath);
        panel.open(m_panelPath, false);
    }
    if (panel.fd < 0) {
        char text[512];
        std::snprintf(text, sizeof text, kOpenFailedFormat, std::strerror(panel.error));
        m_report.append(text);
        m_report.append("parte non presente in forma sorgente\r\n");
        m_report.copyTo(reportOut);
        return kNotASource;
    }

    // A panel is read once and its source part written from memory; only a
    // file too large for a panel is read as a stream, twice.
    const int whole = readWhole(panel.fd, panel.size);
    if (whole < 0)
        return notCompiled(kReadFailedFormat, errno, reportOut);
    char *const bytes = m_bytes ? m_bytes.get() + panelfile::kHeadRoom : nullptr;
    MemorySource memory(bytes, whole > 0 ? m_byteCount : 0);
    FileSource stream(panel.fd);
    ByteSource &source = whole > 0 ? static_cast<ByteSource &>(memory) : stream;
    const long long sourceStart = panelfile::findSourceStart(source);
    if (stream.errorNumber() != 0)
        return notCompiled(kReadFailedFormat, stream.errorNumber(), reportOut);
    if (sourceStart < 0) {
        m_report.append("parte non presente in forma sorgente\r\n");
        m_report.copyTo(reportOut);
        return kNotASource;
    }
    Result result = runStages(source);
    // A read that failed in the middle is not the end of the source: the
    // rows after it would be lost.
    if (stream.errorNumber() != 0)
        return notCompiled(kReadFailedFormat, stream.errorNumber(), reportOut);

    panelfile::SourcePart part;
    if (whole > 0) {
        part.bytes = bytes + sourceStart;
        part.size = m_byteCount - std::size_t(sourceStart);
        part.headRoom = panelfile::kHeadRoom + std::size_t(sourceStart);
    } else {
        part.fd = panel.fd;
        part.start = sourceStart;
    }
    int error = 0;
    const panelfile::WriteResult written = panelfile::write(part, panel.identity, panel.mode, m_panelPath,
                                                            m_headerText, m_machine.code(), m_writtenCodeLength,
                                                            &error);
    switch (written) {
    case panelfile::WriteResult::Written:
        break;
    case panelfile::WriteResult::ReadFailed:
        return notCompiled(kReadFailedFormat, error, reportOut);
    case panelfile::WriteResult::Changed:
        return notCompiled(kChangedLine, 0, reportOut);
    case panelfile::WriteResult::Failed:
        // The panel still holds its old bytes, without this compilation's
        // code: saying "compiled" would report a failure as success.
        m_writeFailed = true;
        result = notCompiled(kNotWrittenLine, error, reportOut);
        break;
    }
    m_report.copyTo(reportOut);
    return result;
}

} // namespace kn4::compiler
