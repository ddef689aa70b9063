#include "panelcompiler.h"

#include "kn4/cp1252.h"
#include "kn4/filelookup.h"
#include "kn4edit2.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <ostream>
#include <sys/stat.h>
#include <unistd.h>
#include <system_error>

namespace kn4 {

namespace {

int rank(int result)
{
    switch (result) {
    case kStatusCompiled: return 0;
    case kStatusWarnings: return 1;
    case kStatusGraveErrors: return 2;
    case kStatusNotCompiled: return 3;
    default: return 4;
    }
}

// A folder made for one --check compilation and removed with everything in it.
class TemporaryFolder
{
public:
    TemporaryFolder()
    {
        std::error_code ec;
        std::string pattern = (std::filesystem::temp_directory_path(ec) / "kn4c.XXXXXX").string();
        if (ec)
            pattern = "/tmp/kn4c.XXXXXX";
        if (::mkdtemp(pattern.data()))
            m_path = pattern;
        else
            m_error = std::strerror(errno);
    }
    ~TemporaryFolder()
    {
        if (!m_path.empty()) {
            std::error_code ec;
            std::filesystem::remove_all(m_path, ec);
        }
    }
    TemporaryFolder(const TemporaryFolder &) = delete;
    TemporaryFolder &operator=(const TemporaryFolder &) = delete;

    const std::filesystem::path &path() const { return m_path; }
    const std::string &error() const { return m_error; }

private:
    std::filesystem::path m_path;
    std::string m_error;
};

// Why a panel file cannot be compiled, or empty when it can be read.
std::string unreadableReason(const std::filesystem::path &panel)
{
    std::error_code ec;
    const auto status = std::filesystem::status(panel, ec);
    if (!std::filesystem::exists(status))
        return "no such file";
    if (std::filesystem::is_directory(status))
        return "is a folder, not a panel";
    if (!std::filesystem::is_regular_file(status))
        return "is not a regular file";
    const int fd = ::open(panel.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::string("cannot be read: ") + std::strerror(errno);
    ::close(fd);
    return {};
}

// The library replaces a panel by renaming a new file over it, so a panel
// that was rewritten is a different file afterwards.
struct FileIdentity
{
    dev_t device = 0;
    ino_t inode = 0;
    bool known = false;

    static FileIdentity of(const std::filesystem::path &path)
    {
        struct stat st;
        FileIdentity id;
        if (::stat(path.c_str(), &st) == 0) {
            id.device = st.st_dev;
            id.inode = st.st_ino;
            id.known = true;
        }
        return id;
    }
    bool sameFileAs(const FileIdentity &other) const
    {
        return known && other.known && device == other.device && inode == other.inode;
    }
};

bool rewritesThePanel(int result)
{
    return result == KN4_COMPILED || result == KN4_COMPILED_WARNINGS || result == KN4_GRAVE_ERRORS;
}

} // namespace

PanelCompiler::PanelCompiler(CompileFunction compile, std::filesystem::path keywordDir, bool check)
    : m_compile(compile), m_keywordDir(std::move(keywordDir)), m_check(check)
{
}

int PanelCompiler::worseResult(int a, int b)
{
    return rank(b) > rank(a) ? b : a;
}

std::string PanelCompiler::reportText(const char *report, std::size_t size)
{
    if (!report)
        return {};
    const std::size_t length = ::strnlen(report, size);
    const std::string utf8 = cp1252ToUtf8(std::string_view(report, length));
    std::string text;
    text.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n')
            continue;
        text += utf8[i];
    }
    return text;
}

std::string PanelCompiler::resultText(int result)
{
    switch (result) {
    case KN4_COMPILED: return "result 0: compiled, no errors";
    case KN4_COMPILED_WARNINGS: return "result 6: compiled, non-grave errors only";
    case KN4_GRAVE_ERRORS: return "result 5: grave errors, no code generated";
    case KN4_NOT_A_SOURCE:
        return "result 3: not compiled, the panel is unchanged by the compilation (no \"SORGENTE.KN4\" line, the "
               "panel cannot be opened or read, no keyword file, the panel changed while it was compiled, or the "
               "compiled panel could not be written)";
    default: return "result " + std::to_string(result) + ": not a result the compiler library documents";
    }
}

PanelCompiler::Outcome PanelCompiler::compileFile(const std::filesystem::path &panel,
                                                  const std::filesystem::path &workDir,
                                                  std::ostream &out) const
{
    const FileIdentity before = FileIdentity::of(panel);
    // Zero-filled, and the last byte forced to zero afterwards: the report is
    // read as text even from a library that would forget its terminator.
    char report[KN4_REPORT_SIZE] = {};
    Outcome outcome;
    outcome.compiled = true;
    outcome.result = m_compile(panel.c_str(), workDir.c_str(), report);
    outcome.rewritten = !before.sameFileAs(FileIdentity::of(panel));
    report[KN4_REPORT_SIZE - 1] = '\0';

    std::string text = reportText(report, sizeof report);
    if (!text.empty() && text.back() != '\n')
        text += '\n';
    out << text;
    return outcome;
}

PanelCompiler::Outcome PanelCompiler::compileCopy(const std::string &panel, std::ostream &out,
                                                  std::ostream &err) const
{
    TemporaryFolder folder;
    if (folder.path().empty()) {
        err << "kn4c: " << panel << ": cannot make a temporary folder: " << folder.error() << '\n';
        return {};
    }
    const std::filesystem::path source(panel);
    const std::filesystem::path copy = folder.path() / source.filename();
    std::error_code ec;
    std::filesystem::copy_file(source, copy, ec);
    if (ec) {
        err << "kn4c: " << panel << ": cannot copy it into " << folder.path().string() << ": "
            << ec.message() << '\n';
        return {};
    }
    // The keyword file travels with the copy: the temporary folder is the
    // whole compilation's working folder, and nothing outside it is touched.
    if (const auto keywords = findFileIgnoringCase(m_keywordDir, "VUZUDO.KEY")) {
        std::filesystem::copy_file(*keywords, folder.path() / "VUZUDO.KEY", ec);
        if (ec) {
            err << "kn4c: " << panel << ": cannot copy the keyword file " << keywords->string() << ": "
                << ec.message() << '\n';
            return {};
        }
    }
    return compileFile(copy, folder.path(), out);
}

int PanelCompiler::compilePanel(const std::string &panel, std::ostream &out, std::ostream &err) const
{
    out << "=== " << panel << (m_check ? " (check: a copy is compiled)" : "") << " ===\n";
    Outcome outcome;
    const std::string reason = unreadableReason(panel);
    if (!reason.empty()) {
        err << "kn4c: " << panel << ": " << reason << '\n';
    } else if (!m_compile) {
        err << "kn4c: " << panel << ": no compiler loaded\n";
    } else if (m_check) {
        outcome = compileCopy(panel, out, err);
    } else {
        outcome = compileFile(panel, m_keywordDir, out);
    }
    out << resultText(outcome.result) << "\n\n";
    out.flush();
    if (outcome.compiled && rewritesThePanel(outcome.result) && !outcome.rewritten) {
        err << "kn4c: " << panel << ": the compiled panel could not be written (is "
            << (m_check ? std::string("the temporary folder") : std::string("its folder"))
            << " writable, is the disk full?); "
            << (m_check ? "the check failed" : "the panel keeps its old content") << '\n';
        return kStatusNotCompiled;
    }
    const int result = outcome.result;
    switch (result) {
    case KN4_COMPILED:
    case KN4_COMPILED_WARNINGS:
    case KN4_GRAVE_ERRORS:
    case KN4_NOT_A_SOURCE:
        return result;
    default:
        return kStatusUnexpected;
    }
}

int PanelCompiler::compileAll(const std::vector<std::string> &panels, std::ostream &out,
                              std::ostream &err) const
{
    int status = kStatusCompiled;
    for (const std::string &panel : panels)
        status = worseResult(status, compilePanel(panel, out, err));
    return status;
}

} // namespace kn4
