#include "keywordtable.h"

#include "kn4/filelookup.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kn4::compiler {

namespace {

constexpr const char *kBuiltIn[KeywordTable::kSlots] = {
    "DEFINIZIONE", "SCOLLO", "RIENTRO", "CALATO", "LISCIO", "RIGATO", "AUMENTAZIONE",
    "SEGNACENTRO", "PUNZONATO", "STOP", "GIROLENTE", "PRODUCO", "NONPRODUCO", "USCITA",
    "PREDISPOSIZIONE", "SCOLLO", "COSTINA", "DENSITA", "FRONTURA", "PARTE", "TAGLIA", "TIPO",
    "PRODUCO_1", "PRODUCO_2", "PRODUCO_3", "PRODUCO_4", "PRODUCO_5", "PRODUCO_6", "PRODUCO_7",
    "PRODUCO_8", "NONPRODUCO_1", "NONPRODUCO_2", "NONPRODUCO_3", "NONPRODUCO_4", "NONPRODUCO_5",
    "NONPRODUCO_6", "NONPRODUCO_7", "NONPRODUCO_8", "PUNZONATOS", "TUK", "PRODUCO_9",
    "PRODUCO_10", "PRODUCO_11", "NONPRODUCO_9", "NONPRODUCO_10", "NONPRODUCO_11",
};

bool isKeywordSeparator(char c)
{
    return c == ' ' || c == ',' || c == '\t' || c == '\r' || c == '\n';
}

char upperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

// Whether a path names the file "VUZUDO.KEY" itself, in that letter case.
bool isExactName(const char *path)
{
    const char *slash = std::strrchr(path, '/');
    return std::strcmp(slash ? slash + 1 : path, "VUZUDO.KEY") == 0;
}

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

} // namespace

KeywordTable::KeywordTable()
{
    resetToBuiltIn();
}

void KeywordTable::forgetFile()
{
    m_filePath[0] = '\0';
    m_fileFolder[0] = '\0';
    m_fileIdentity = FileIdentity();
}

void KeywordTable::resetToBuiltIn()
{
    forgetFile();
    for (int i = 0; i < kSlots; ++i) {
        std::memset(m_words[i], 0, sizeof m_words[i]);
        std::memcpy(m_words[i], kBuiltIn[i], std::strlen(kBuiltIn[i]));
    }
}

int KeywordTable::read(ByteSource &source)
{
    forgetFile();
    char line[kLinePiece + 1];
    int slot = 0;
    while (slot < kSlots && readPiece(source, line, LineMode::Text) > 0) {
        const char *p = line;
        while (*p && isKeywordSeparator(*p))
            ++p;
        const char *end = p;
        while (*end && !isKeywordSeparator(*end))
            ++end;
        const std::size_t length = std::size_t(end - p);
        if (length == 0 || length > kWordLength)
            break;
        for (std::size_t i = 0; i < length; ++i)
            m_words[slot][i] = upperAscii(p[i]);
        m_words[slot][length] = '\0';
        ++slot;
    }
    return slot;
}

int KeywordTable::readFolder(const char *folder)
{
    if (!folder)
        folder = "";
    // The file under its own name is the one the lookup finds first: while
    // it is the file read last, unchanged, it is not looked for again.
    if (m_fileIdentity.exists && std::strcmp(folder, m_fileFolder) == 0 && isExactName(m_filePath)
        && FileIdentity::ofPath(m_filePath) == m_fileIdentity)
        return 0;
    char path[4096];
    if (!kn4::findFileIgnoringCase(folder, "VUZUDO.KEY", path, sizeof path))
        return ENOENT;
    if (m_fileIdentity.exists && std::strcmp(path, m_filePath) == 0 && FileIdentity::ofPath(path) == m_fileIdentity)
        return 0;
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno;
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : ENODEV;
        ::close(fd);
        return error;
    }
    char kept[kSlots][kWordLength + 1];
    std::memcpy(kept, m_words, sizeof kept);
    FileSource source(fd);
    read(source);
    ::close(fd);
    if (source.errorNumber() != 0) {
        std::memcpy(m_words, kept, sizeof kept);
        return source.errorNumber();
    }
    if (std::strlen(path) < sizeof m_filePath && std::strlen(folder) < sizeof m_fileFolder) {
        std::strcpy(m_filePath, path);
        std::strcpy(m_fileFolder, folder);
        m_fileIdentity = FileIdentity::ofStatus(st);
    }
    return 0;
}

const char *KeywordTable::lowerWord(int slot, int which) const
{
    char *out = m_lower[which & 3];
    const char *w = word(slot);
    std::size_t i = 0;
    for (; w[i] && i < kWordLength; ++i)
        out[i] = lowerAscii(w[i]);
    out[i] = '\0';
    return out;
}

} // namespace kn4::compiler
