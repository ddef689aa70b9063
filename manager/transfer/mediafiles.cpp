#include "transfer/mediafiles.h"

#include "kn4/filelookup.h"
#include "kn4/filereader.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace kn4::transfer {

namespace {

std::string systemError(const std::string &what, const fs::path &path)
{
    return what + " " + path.string() + ": " + std::strerror(errno);
}

bool writeAndSync(const fs::path &path, std::string_view bytes, std::string *error)
{
    // Created exclusively: a file or a link already at that name is never
    // opened, truncated or followed.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        const int number = errno;
        if (error)
            *error = systemError("cannot create", path);
        errno = number;
        return false;
    }
    const char *p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            if (error)
                *error = systemError("cannot write", path);
            ::close(fd);
            ::unlink(path.c_str());
            return false;
        }
        p += n;
        left -= std::size_t(n);
    }
    if (::fsync(fd) != 0 && errno != EINVAL) {
        if (error)
            *error = systemError("cannot write", path);
        ::close(fd);
        ::unlink(path.c_str());
        return false;
    }
    // Drop the written pages from the cache so that reading the file back
    // reads the medium, not memory.
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    if (::close(fd) != 0) {
        if (error)
            *error = systemError("cannot write", path);
        ::unlink(path.c_str());
        return false;
    }
    return true;
}

void syncFolder(const fs::path &folder)
{
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

std::string upperCase(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return out;
}

std::optional<fs::path> findEntryIgnoringCase(const fs::path &dir, std::string_view name)
{
    // One plain name only: never a path, never the folder itself or its parent.
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string_view::npos)
        return std::nullopt;
    std::error_code ec;
    const fs::path exact = dir / std::string(name);
    if (fs::exists(fs::symlink_status(exact, ec)))
        return exact;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        if (equalsIgnoringCase(it->path().filename().string(), name))
            return it->path();
    return std::nullopt;
}

std::vector<std::string> listFileNames(const fs::path &dir, std::string_view extension)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError))
            continue;
        const fs::path &p = it->path();
        if (equalsIgnoringCase(p.extension().string(), extension))
            names.push_back(upperCase(p.stem().string()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> listFolderNames(const fs::path &dir)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError))
            names.push_back(upperCase(it->path().filename().string()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::string> readWholeFile(const fs::path &path, std::string *error, std::size_t maxBytes)
{
    FileContent content = FileReader::read(path, maxBytes);
    if (!content) {
        if (error)
            *error = "cannot read " + content.message(path);
        return std::nullopt;
    }
    return std::move(content.bytes);
}

bool replaceFileVerified(const fs::path &target, std::string_view bytes, const ContentCheck &check,
                         std::string *error, std::optional<fs::file_time_type> modified)
{
    // A short temporary name that FAT volumes without long names hold too;
    // a name already taken (another copy running, a left-over) is passed
    // over, never reused.
    fs::path temp;
    for (int attempt = 0;; ++attempt) {
        temp = target.parent_path() / ("KN4" + std::to_string((::getpid() + attempt) % 100000) + ".TMP");
        if (writeAndSync(temp, bytes, error))
            break;
        if (errno != EEXIST || attempt == 99)
            return false;
    }
    std::error_code ec;
    auto fail = [&](const std::string &text) {
        fs::remove(temp, ec);
        if (error)
            *error = text;
        return false;
    };
    std::string readError;
    const auto readBack = readWholeFile(temp, &readError);
    if (!readBack)
        return fail(readError);
    if (*readBack != bytes)
        return fail("the copy written to " + target.parent_path().string()
                    + " does not read back as it was written");
    if (check) {
        const std::string problem = check(*readBack);
        if (!problem.empty())
            return fail(problem);
    }
    if (modified) {
        fs::last_write_time(temp, *modified, ec);
        if (ec)
            return fail("cannot set the date of " + temp.string() + ": " + ec.message());
    }
    fs::rename(temp, target, ec);
    if (ec)
        return fail("cannot rename " + temp.string() + " to " + target.string() + ": " + ec.message());
    syncFolder(target.parent_path());
    return true;
}

bool copyFileVerified(const fs::path &source, const fs::path &target, std::string *error)
{
    const auto bytes = readWholeFile(source, error);
    if (!bytes)
        return false;
    std::error_code ec;
    const auto date = fs::last_write_time(source, ec);
    return replaceFileVerified(target, *bytes, {}, error, ec ? std::nullopt : std::optional(date));
}

bool sameFileDate(const fs::path &a, const fs::path &b)
{
    std::error_code ea, eb;
    const auto ta = fs::last_write_time(a, ea);
    const auto tb = fs::last_write_time(b, eb);
    if (ea || eb)
        return false;
    const auto difference = ta > tb ? ta - tb : tb - ta;
    return difference <= std::chrono::seconds(2);
}

std::string fileDateText(const fs::path &path)
{
    std::error_code ec;
    const auto t = fs::last_write_time(path, ec);
    if (ec)
        return {};
    const auto system = std::chrono::file_clock::to_sys(t);
    const std::time_t seconds = std::chrono::system_clock::to_time_t(system);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::strftime(text, sizeof text, "%d/%m/%Y %H:%M:%S", &local);
    return text;
}

std::string shellQuote(std::string_view text)
{
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

std::optional<fs::path> findProgram(std::string_view name)
{
    const char *path = std::getenv("PATH");
    std::string_view rest = path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        const std::size_t colon = rest.find(':');
        const std::string_view dir = rest.substr(0, colon);
        if (!dir.empty()) {
            const fs::path candidate = fs::path(std::string(dir)) / std::string(name);
            if (::access(candidate.c_str(), X_OK) == 0)
                return candidate;
        }
        if (colon == std::string_view::npos)
            return std::nullopt;
        rest.remove_prefix(colon + 1);
    }
}

} // namespace kn4::transfer
