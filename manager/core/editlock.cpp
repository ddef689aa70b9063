#include "core/editlock.h"

#include <kn4/filelookup.h>
#include <kn4/filereader.h>
#include <kn4/textlines.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

namespace kn4::manager {

namespace fs = std::filesystem;

namespace {

// A lock file is a few lines; anything longer is no lock of ours.
constexpr std::size_t kMaxLockBytes = 4096;

std::string value(std::string_view text, std::string_view key)
{
    for (const std::string_view line : TextLines(text)) {
        if (line.size() > key.size() && line.substr(0, key.size()) == key && line[key.size()] == '=')
            return std::string(line.substr(key.size() + 1));
    }
    return {};
}

// The owner a lock file names; nullopt inside when the file is there but
// cannot be read or names nobody; nullopt outside when there is no file.
std::optional<std::optional<EditOwner>> readLock(const fs::path &lock)
{
    const FileContent content = FileReader::read(lock, kMaxLockBytes);
    if (content.missing())
        return std::nullopt;
    if (!content)
        return std::optional<EditOwner>();
    return EditOwner::parse(content.bytes);
}

// Writes my lock exclusively: never over a lock someone made meanwhile.
EditLock::Result create(const fs::path &lock, const EditOwner &me)
{
    EditLock::Result result;
    const int fd = ::open(lock.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (errno == EEXIST) {
            result.outcome = EditLock::Result::Outcome::Held;
            return result;
        }
        result.error = lock.string() + ": " + std::strerror(errno);
        return result;
    }
    const std::string text = me.text();
    const bool written = ::write(fd, text.data(), text.size()) == ssize_t(text.size());
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        result.error = lock.string() + ": " + std::strerror(errno);
        ::unlink(lock.c_str());
        return result;
    }
    result.outcome = EditLock::Result::Outcome::Acquired;
    return result;
}

// Removes the lock file while it still names owner: it is first moved
// aside under a name of this process (a rename is atomic), looked at there,
// and put back when someone else's lock had taken its place meanwhile.
bool removeIfStill(const fs::path &lock, const std::optional<EditOwner> &owner)
{
    const fs::path aside = lock.string() + "." + std::to_string(::getpid()) + ".old";
    if (::rename(lock.c_str(), aside.c_str()) != 0)
        return errno == ENOENT;
    const auto moved = readLock(aside);
    const bool same = moved && *moved == owner;
    // Someone's fresh lock goes back where it was (unless yet another lock
    // is there by now, which then stands alone).
    if (!same)
        (void)::link(aside.c_str(), lock.c_str());
    ::unlink(aside.c_str());
    return same;
}

} // namespace

std::string thisHost()
{
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0')
        return "localhost";
    return name;
}

bool processRuns(long pid)
{
    if (pid <= 0 || pid > long(INT_MAX))
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

EditOwner EditOwner::thisProcess(const fs::path &workingCopy)
{
    EditOwner owner;
    owner.host = thisHost();
    owner.pid = long(::getpid());
    if (const passwd *entry = ::getpwuid(::geteuid()); entry != nullptr && entry->pw_name != nullptr)
        owner.user = entry->pw_name;
    else if (const char *user = std::getenv("USER"))
        owner.user = user;
    owner.workingCopy = workingCopy.string();
    return owner;
}

std::string EditOwner::text() const
{
    return "host=" + host + "\npid=" + std::to_string(pid) + "\nuser=" + user + "\nworkingcopy=" + workingCopy + "\n";
}

std::optional<EditOwner> EditOwner::parse(std::string_view text)
{
    EditOwner owner;
    owner.host = value(text, "host");
    owner.pid = std::strtol(value(text, "pid").c_str(), nullptr, 10);
    owner.user = value(text, "user");
    owner.workingCopy = value(text, "workingcopy");
    if (owner.host.empty() || owner.pid <= 0)
        return std::nullopt;
    return owner;
}

bool EditOwner::isThisProcess() const
{
    return sameProcess(thisProcess({}));
}

bool EditOwner::isStale() const
{
    return host == thisHost() && !processRuns(pid);
}

fs::path EditLock::pathFor(const fs::path &panel)
{
    // Found ignoring letter case, as the panel itself may be named in any.
    const std::string name = panel.filename().string() + kSuffix;
    if (const auto found = findFileIgnoringCase(panel.parent_path(), name))
        return *found;
    return panel.parent_path() / name;
}

EditLock::Result EditLock::acquire(const fs::path &panel, const EditOwner &me)
{
    const fs::path lock = pathFor(panel);
    Result result = create(lock, me);
    if (result.outcome != Result::Outcome::Held)
        return result;
    const auto present = readLock(lock);
    if (!present)  // gone meanwhile: try once more
        return create(lock, me);
    result.owner = *present;
    // A lock of a manager of this computer that has ended (killed, or
    // crashed) watches nothing any more; my own leftover neither.
    const bool stale = *present && ((*present)->isStale() || (*present)->sameProcess(me));
    if (!stale)
        return result;
    if (!removeIfStill(lock, *present))
        return result;
    Result taken = create(lock, me);
    if (taken.outcome == Result::Outcome::Acquired) {
        taken.outcome = Result::Outcome::TakenOver;
        taken.owner = *present;
    }
    return taken;
}

bool EditLock::breakLock(const fs::path &panel, const std::optional<EditOwner> &owner, std::string *error)
{
    const fs::path lock = pathFor(panel);
    if (removeIfStill(lock, owner))
        return true;
    if (error)
        *error = lock.string() + ": the lock has changed meanwhile";
    return false;
}

void EditLock::release(const fs::path &panel, const EditOwner &me)
{
    removeIfStill(pathFor(panel), me);
}

std::optional<std::optional<EditOwner>> EditLock::heldByOther(const fs::path &panel, const EditOwner &me)
{
    const auto present = readLock(pathFor(panel));
    if (!present)
        return std::nullopt;
    if (*present && ((*present)->sameProcess(me) || (*present)->isStale()))
        return std::nullopt;
    return present;
}

} // namespace kn4::manager
