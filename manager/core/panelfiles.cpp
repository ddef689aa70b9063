#include "core/panelfiles.h"

#include <kn4/atomicfile.h>
#include <kn4/filelookup.h>
#include <kn4/filereader.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace kn4::manager {

namespace fs = std::filesystem;

namespace {

template<typename Entry>
void sortByName(std::vector<Entry> &entries)
{
    std::sort(entries.begin(), entries.end(),
              [](const Entry &a, const Entry &b) { return a.name < b.name; });
}

} // namespace

std::string upperCase(std::string_view text)
{
    std::string result(text);
    for (char &c : result) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    return result;
}

std::vector<PanelEntry> listPanels(const fs::path &folder)
{
    return listFiles(folder, ".kn4");
}

std::vector<PanelEntry> listFiles(const fs::path &folder, std::string_view extension)
{
    std::vector<PanelEntry> panels;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError) && equalsIgnoringCase(it->path().extension().string(), extension))
            panels.push_back({upperCase(it->path().stem().string()), it->path()});
    }
    sortByName(panels);
    return panels;
}

std::vector<FolderEntry> listFolders(const fs::path &root)
{
    std::vector<FolderEntry> folders;
    std::error_code ec;
    for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError))
            folders.push_back({upperCase(it->path().filename().string()), it->path()});
    }
    sortByName(folders);
    return folders;
}

std::string normalisedName(std::string_view typed, std::size_t maxLength)
{
    const auto first = typed.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = typed.find_last_not_of(" \t");
    std::string name = upperCase(typed.substr(first, last - first + 1));
    if (maxLength != 0 && name.size() > maxLength) {
        name.resize(maxLength);
        // Never cut a UTF-8 character in half.
        while (!name.empty() && (static_cast<unsigned char>(name.back()) & 0xC0) == 0x80)
            name.pop_back();
        if (!name.empty() && (static_cast<unsigned char>(name.back()) & 0x80) != 0)
            name.pop_back();
        while (!name.empty() && name.back() == ' ')
            name.pop_back();
    }
    return name;
}

bool isValidName(std::string_view name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    // The comma also separates the panel from the folder in the one argument
    // the programs are started with: a panel or a folder named with one
    // could never be opened by them.
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 32 || std::strchr("/\\:*?\"<>|,", c) != nullptr)
            return false;
    }
    return true;
}

bool readFileBytes(const fs::path &file, std::string &bytes, std::string &error)
{
    FileContent content = FileReader::read(file, FileReader::kPanelLimit);
    if (!content) {
        error = content.message(file);
        return false;
    }
    bytes = std::move(content.bytes);
    return true;
}

namespace {

// Flushes a written file to its medium and drops it from the cache, so
// that reading it back reads what the medium holds, not memory.
bool flushToMedium(const char *path)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
    return synced;
}

} // namespace

bool writeFileVerified(const fs::path &target, std::string_view bytes, std::string &error,
                       const VerifiedWrite &options)
{
    const std::string path = target.string();
    AtomicFileWriter writer;
    const auto fail = [&](const std::string &text) {
        writer.abandon();
        error = text;
        return false;
    };
    if (!writer.open(path.c_str()))
        return fail("cannot create a temporary file beside " + path + ": " + std::strerror(writer.errorNumber()));
    if (options.expected)
        writer.expectIdentity(*options.expected);
    if (!writer.write(bytes.data(), bytes.size()))
        return fail("cannot write " + path + ": " + std::strerror(writer.errorNumber()));
    const std::string temp = writer.tempPath();
    if (!flushToMedium(temp.c_str()))
        return fail("cannot write " + path + ": " + std::strerror(errno));
    const FileContent readBack = FileReader::read(temp, bytes.size());
    if (!readBack)
        return fail(readBack.message(temp));
    if (readBack.bytes != bytes)
        return fail("the copy written to " + target.parent_path().string() + " does not read back as it was written");
    if (options.check) {
        const std::string problem = options.check(readBack.bytes);
        if (!problem.empty())
            return fail(problem);
    }
    if (options.modified) {
        std::error_code ec;
        fs::last_write_time(temp, *options.modified, ec);
        if (ec)
            return fail("cannot set the date of " + temp + ": " + ec.message());
    }
    if (writer.commit())
        return true;
    if (writer.failure() == AtomicFileWriter::Failure::Changed) {
        if (options.changed)
            *options.changed = true;
        error = path + " changed since it was read: it was not overwritten";
        return false;
    }
    error = "cannot replace " + path + ": " + std::strerror(writer.errorNumber());
    return false;
}

bool copyFileSafely(const fs::path &source, const fs::path &target, std::string &error)
{
    std::string bytes;
    return readFileBytes(source, bytes, error) && writeFileVerified(target, bytes, error);
}

namespace {

CopyResult copyTo(const fs::path &panel, const fs::path &folder, const std::string &fileName,
                  const ReplaceQuestion &askReplace)
{
    CopyResult result;
    result.target = folder / fileName;
    // What the user's answer is about: a panel that appears or changes
    // while the question is open is not replaced unasked.
    FileIdentity asked;
    if (const auto existing = findFileIgnoringCase(folder, fileName)) {
        asked = FileIdentity::ofPath(existing->c_str());
        std::error_code ec;
        if (fs::equivalent(*existing, panel, ec)) {
            result.outcome = CopyResult::Outcome::Kept;
            return result;
        }
        result.target = *existing;
        if (!askReplace || !askReplace(upperCase(existing->stem().string()))) {
            result.outcome = CopyResult::Outcome::Kept;
            return result;
        }
    }
    std::string bytes;
    VerifiedWrite options;
    options.expected = asked;
    result.outcome = readFileBytes(panel, bytes, result.error) && writeFileVerified(result.target, bytes, result.error, options)
                         ? CopyResult::Outcome::Copied
                         : CopyResult::Outcome::Failed;
    return result;
}

} // namespace

CopyResult copyPanel(const fs::path &panel, const fs::path &targetFolder, const ReplaceQuestion &askReplace)
{
    return copyTo(panel, targetFolder, panel.filename().string(), askReplace);
}

CopyResult duplicatePanel(const fs::path &panel, std::string_view newName, const ReplaceQuestion &askReplace)
{
    if (!isValidName(newName)) {
        CopyResult result;
        result.error = "invalid name";
        return result;
    }
    return copyTo(panel, panel.parent_path(), std::string(newName) + panel.extension().string(), askReplace);
}

bool deletePanel(const fs::path &panel, std::string &error)
{
    std::error_code ec;
    if (!fs::remove(panel, ec)) {
        error = panel.string() + ": " + (ec ? ec.message() : std::string("no such file"));
        return false;
    }
    return true;
}

FolderStore::FolderStore(fs::path root, std::size_t maxNameLength)
    : m_root(std::move(root)), m_maxNameLength(maxNameLength)
{
}

fs::path FolderStore::find(std::string_view name) const
{
    for (const FolderEntry &folder : folders()) {
        if (equalsIgnoringCase(folder.name, name))
            return folder.path;
    }
    return {};
}

std::string FolderStore::holderOf(const fs::path &file) const
{
    const fs::path parent = fs::absolute(file).parent_path();
    for (const FolderEntry &folder : folders()) {
        std::error_code ec;
        if (fs::equivalent(folder.path, parent, ec))
            return folder.name;
    }
    return {};
}

FolderStore::Result FolderStore::create(std::string_view typedName) const
{
    Result result;
    result.name = normalisedName(typedName, m_maxNameLength);
    if (!isValidName(result.name)) {
        result.outcome = Outcome::InvalidName;
        return result;
    }
    if (!find(result.name).empty()) {
        result.outcome = Outcome::Exists;
        return result;
    }
    std::error_code ec;
    fs::create_directories(m_root, ec);
    if (!ec)
        fs::create_directory(m_root / result.name, ec);
    if (ec) {
        result.error = (m_root / result.name).string() + ": " + ec.message();
        return result;
    }
    result.outcome = Outcome::Done;
    return result;
}

FolderStore::Result FolderStore::rename(std::string_view name, std::string_view typedNewName) const
{
    Result result;
    result.name = normalisedName(typedNewName, m_maxNameLength);
    const fs::path folder = find(name);
    if (folder.empty()) {
        result.outcome = Outcome::Missing;
        return result;
    }
    if (!isValidName(result.name)) {
        result.outcome = Outcome::InvalidName;
        return result;
    }
    const fs::path other = find(result.name);
    if (!other.empty() && other != folder) {
        result.outcome = Outcome::Exists;
        return result;
    }
    std::error_code ec;
    fs::rename(folder, m_root / result.name, ec);
    if (ec) {
        result.error = folder.string() + ": " + ec.message();
        return result;
    }
    result.outcome = Outcome::Done;
    return result;
}

FolderStore::Result FolderStore::remove(std::string_view name) const
{
    Result result;
    result.name = std::string(name);
    const fs::path folder = find(name);
    if (folder.empty()) {
        result.outcome = Outcome::Missing;
        return result;
    }
    std::error_code ec;
    fs::remove_all(folder, ec);
    if (ec) {
        result.error = folder.string() + ": " + ec.message();
        return result;
    }
    result.outcome = Outcome::Done;
    return result;
}

} // namespace kn4::manager
