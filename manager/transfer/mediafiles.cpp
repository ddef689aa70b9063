#include "transfer/mediafiles.h"

#include "core/panelfiles.h"
#include "kn4/filelookup.h"
#include "kn4/filereader.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <unistd.h>

namespace fs = std::filesystem;

namespace kn4::transfer {

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
    manager::VerifiedWrite options;
    options.check = check;
    options.modified = modified;
    std::string problem;
    if (manager::writeFileVerified(target, bytes, problem, options))
        return true;
    if (error)
        *error = problem;
    return false;
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
