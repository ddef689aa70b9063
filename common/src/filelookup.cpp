#include "kn4/filelookup.h"

#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

namespace kn4 {

namespace {

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool isRegularFile(const char *path)
{
    struct stat st;
    return ::stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

bool join(const char *dir, const char *name, char *out, std::size_t outSize)
{
    const std::size_t d = std::strlen(dir);
    const std::size_t n = std::strlen(name);
    if (d + 1 + n + 1 > outSize)
        return false;
    std::memcpy(out, dir, d);
    out[d] = '/';
    std::memcpy(out + d + 1, name, n + 1);
    return true;
}

} // namespace

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    }
    return true;
}

bool findFileIgnoringCase(const char *dir, const char *name, char *out, std::size_t outSize)
{
    if (outSize == 0)
        return false;
    if (!join(dir, name, out, outSize)) {
        out[0] = '\0';
        return false;
    }
    if (isRegularFile(out))
        return true;

    DIR *d = ::opendir(dir[0] ? dir : ".");
    if (!d)
        return false;
    bool found = false;
    while (dirent *entry = ::readdir(d)) {
        if (!equalsIgnoringCase(entry->d_name, name))
            continue;
        char candidate[4096];
        if (join(dir, entry->d_name, candidate, sizeof candidate) && isRegularFile(candidate)
            && std::strlen(candidate) < outSize) {
            std::memcpy(out, candidate, std::strlen(candidate) + 1);
            found = true;
            break;
        }
    }
    ::closedir(d);
    return found;
}

std::optional<std::filesystem::path> findFileIgnoringCase(const std::filesystem::path &dir,
                                                          std::string_view name)
{
    std::error_code ec;
    const std::filesystem::path exact = dir / std::filesystem::path(std::string(name));
    if (std::filesystem::is_regular_file(exact, ec))
        return exact;
    const std::filesystem::path folder = dir.empty() ? std::filesystem::path(".") : dir;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (equalsIgnoringCase(it->path().filename().string(), name) && it->is_regular_file(ec))
            return dir.empty() ? it->path().filename() : dir / it->path().filename();
    }
    return std::nullopt;
}

} // namespace kn4
