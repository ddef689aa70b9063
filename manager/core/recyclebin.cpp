#include "core/recyclebin.h"

#include <kn4/filelookup.h>
#include <kn4/fileidentity.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <stdio.h>

namespace kn4::manager {

namespace fs = std::filesystem;

bool renameWithoutReplacing(const fs::path &from, const fs::path &to)
{
    // renameat2 with RENAME_NOREPLACE refuses a target that exists, in one
    // step; where the file system cannot (EINVAL), a link-free check first.
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
#endif
    std::error_code ec;
    if (fs::exists(fs::symlink_status(to, ec))) {
        errno = EEXIST;
        return false;
    }
    return std::rename(from.c_str(), to.c_str()) == 0;
}

namespace {

// "20250312-101502-1": the time of a deletion, and a number that keeps two
// deletions of the same second apart.
std::string stampNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

// "dd/mm/yyyy hh:mm" from a deletion's folder name; "" when it is not one.
std::string shownDate(const std::string &stamp)
{
    if (stamp.size() < 15 || stamp[8] != '-')
        return {};
    return stamp.substr(6, 2) + "/" + stamp.substr(4, 2) + "/" + stamp.substr(0, 4) + " " + stamp.substr(9, 2) + ":"
           + stamp.substr(11, 2);
}

} // namespace

fs::path RecycleBin::of(const fs::path &folder)
{
    return folder / kFolderName;
}

bool RecycleBin::isBinName(std::string_view name)
{
    return equalsIgnoringCase(name, kFolderName);
}

bool RecycleBin::recycle(const fs::path &entry, std::string &error)
{
    const fs::path home = entry.parent_path();
    const fs::path bin = of(home);
    std::error_code ec;
    fs::create_directories(bin, ec);
    if (ec) {
        error = bin.string() + ": " + ec.message();
        return false;
    }
    const std::string stamp = stampNow();
    for (int n = 1; n < 1000; ++n) {
        const fs::path slot = bin / (stamp + "-" + std::to_string(n));
        if (!fs::create_directory(slot, ec)) {
            if (ec) {
                error = slot.string() + ": " + ec.message();
                return false;
            }
            continue;  // that slot is taken: the next number
        }
        if (renameWithoutReplacing(entry, slot / entry.filename()))
            return true;
        const int reason = errno;
        fs::remove(slot, ec);
        error = entry.string() + ": " + std::generic_category().message(reason);
        return false;
    }
    error = bin.string() + ": too many deletions in one second";
    return false;
}

std::vector<RecycleBin::Item> RecycleBin::items(const fs::path &folder)
{
    std::vector<Item> found;
    std::vector<fs::path> slots;
    std::error_code ec;
    for (fs::directory_iterator it(of(folder), ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError))
            slots.push_back(it->path());
    }
    // The latest deletion first: the names sort by time.
    std::sort(slots.begin(), slots.end(), [](const fs::path &a, const fs::path &b) {
        const std::string x = a.filename().string(), y = b.filename().string();
        return x.size() != y.size() ? x.size() > y.size() : x > y;
    });
    for (const fs::path &slot : slots) {
        std::error_code slotError;
        for (fs::directory_iterator it(slot, slotError), end; !slotError && it != end; it.increment(slotError)) {
            std::error_code typeError;
            Item item;
            item.path = it->path();
            item.home = folder;
            item.folder = it->is_directory(typeError);
            item.name = upperCase(item.folder ? it->path().filename().string() : it->path().stem().string());
            item.deleted = shownDate(slot.filename().string());
            found.push_back(std::move(item));
        }
    }
    return found;
}

RecycleBin::Result RecycleBin::restore(const Item &item, const ReplaceQuestion &askReplace)
{
    Result result;
    result.restored = item.home / item.path.filename();
    std::error_code ec;
    fs::create_directories(item.home, ec);
    if (item.folder) {
        // A folder of the same name there (in any letter case) is never
        // merged with the deleted one.
        for (const FolderEntry &existing : listFolders(item.home)) {
            if (equalsIgnoringCase(existing.name, item.path.filename().string())) {
                result.outcome = Outcome::Exists;
                return result;
            }
        }
        if (!renameWithoutReplacing(item.path, result.restored)) {
            result.outcome = errno == EEXIST ? Outcome::Exists : Outcome::Failed;
            result.error = result.restored.string() + ": " + std::generic_category().message(errno);
            return result;
        }
    } else if (const auto existing = findFileIgnoringCase(item.home, item.path.filename().string())) {
        // A panel of that name came in meanwhile: replaced only after the
        // question, and only while it is the file the question was about.
        const FileIdentity asked = FileIdentity::ofPath(existing->c_str());
        if (!askReplace || !askReplace(upperCase(existing->stem().string()))) {
            result.outcome = Outcome::Kept;
            return result;
        }
        if (FileIdentity::ofPath(existing->c_str()) != asked) {
            result.outcome = Outcome::Failed;
            result.error = existing->string() + " changed while the question was open";
            return result;
        }
        result.restored = *existing;
        // The panel that is replaced goes to the bin in its turn, so nothing
        // is lost by the restore either.
        std::string error;
        if (!recycle(*existing, error)) {
            result.error = error;
            return result;
        }
        if (!renameWithoutReplacing(item.path, result.restored)) {
            result.error = result.restored.string() + ": " + std::generic_category().message(errno);
            return result;
        }
    } else if (!renameWithoutReplacing(item.path, result.restored)) {
        result.outcome = errno == EEXIST ? Outcome::Exists : Outcome::Failed;
        result.error = result.restored.string() + ": " + std::generic_category().message(errno);
        return result;
    }
    // The deletion's own folder goes once it is empty.
    fs::remove(item.path.parent_path(), ec);
    result.outcome = Outcome::Restored;
    return result;
}

bool RecycleBin::empty(const fs::path &folder, std::string &error)
{
    std::error_code ec;
    fs::remove_all(of(folder), ec);
    if (ec) {
        error = of(folder).string() + ": " + ec.message();
        return false;
    }
    return true;
}

} // namespace kn4::manager
