#include "kn4/userdirectory.h"

#include "kn4/atomicfile.h"
#include "kn4/filelookup.h"
#include "kn4/filereader.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <map>
#include <sstream>
#include <system_error>

namespace kn4 {

namespace fs = std::filesystem;

namespace {

const char *const kLanguageFolders[] = {"italiano", "inglese", "spagnolo"};
constexpr const char *kArchives = "archivi";
constexpr const char *kManagerTexts = "lingua.ini";

// The installed files are language, settings and panel files and the
// record: text files of the suite, all far below the panel bound.
bool readWhole(const fs::path &path, std::string *bytes, std::string *reason = nullptr)
{
    FileContent content = FileReader::read(path, FileReader::kPanelLimit);
    if (!content) {
        if (reason)
            *reason = content.reason;
        return false;
    }
    *bytes = std::move(content.bytes);
    return true;
}

// FNV-1a: the same content gives the same number on every start.
std::uint64_t contentHash(const std::string &bytes)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

bool hasLanguageFolders(const fs::path &directory)
{
    std::error_code ec;
    for (const char *folder : kLanguageFolders)
        for (const fs::directory_entry &entry : fs::directory_iterator(directory, ec))
            if (entry.is_directory(ec) && equalsIgnoringCase(entry.path().filename().string(), folder))
                return true;
    return false;
}

bool isArchiveContent(const fs::path &relative)
{
    auto part = relative.begin();
    return part != relative.end() && equalsIgnoringCase(part->string(), kArchives) && std::next(part) != relative.end();
}

// The record: one line per installed language file, the hash of the
// installed content the user was given or offered, a tab, the relative path.
using Record = std::map<std::string, std::uint64_t>;

Record readRecord(const fs::path &file)
{
    Record record;
    std::string text;
    if (!readWhole(file, &text))
        return record;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos || tab == 0)
            continue;
        record[line.substr(tab + 1)] = std::strtoull(line.substr(0, tab).c_str(), nullptr, 16);
    }
    return record;
}

bool writeRecord(const fs::path &file, const Record &record, std::string *error)
{
    std::ostringstream text;
    for (const auto &[path, hash] : record)
        text << std::hex << hash << '\t' << path << '\n';
    return writeFileAtomically(file, text.str(), error);
}

std::string key(const fs::path &relative)
{
    return relative.generic_string();
}

bool copyFile(const fs::path &from, const fs::path &to, std::string *error)
{
    std::string bytes;
    std::string reason;
    if (!readWhole(from, &bytes, &reason)) {
        *error = "cannot read " + from.string() + ": " + reason;
        return false;
    }
    std::error_code ec;
    fs::create_directories(to.parent_path(), ec);
    if (ec) {
        *error = "cannot create " + to.parent_path().string() + ": " + ec.message();
        return false;
    }
    return writeFileAtomically(to, bytes, error);
}

} // namespace

std::optional<fs::path> UserDirectory::location(const char *xdgDataHome, const char *home)
{
    if (xdgDataHome && *xdgDataHome && fs::path(xdgDataHome).is_absolute())
        return fs::path(xdgDataHome) / "kn4";
    if (home && *home)
        return fs::path(home) / ".local" / "share" / "kn4";
    return std::nullopt;
}

std::optional<fs::path> UserDirectory::installedDataFor(const fs::path &binaryDirectory)
{
    if (hasLanguageFolders(binaryDirectory))
        return std::nullopt;
    for (const fs::path &candidate : {binaryDirectory / ".." / ".." / "share" / "kn4",
                                      binaryDirectory / ".." / "share" / "kn4"}) {
        std::error_code ec;
        if (fs::is_directory(candidate, ec) && hasLanguageFolders(candidate))
            return fs::weakly_canonical(candidate, ec);
    }
    return std::nullopt;
}

ProgramLocations UserDirectory::locate(const fs::path &binaryDirectory)
{
    return locate(binaryDirectory, std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

ProgramLocations UserDirectory::locate(const fs::path &binaryDirectory, const char *xdgDataHome, const char *home)
{
    ProgramLocations locations;
    locations.binaryDirectory = binaryDirectory;
    locations.programDirectory = binaryDirectory;
    const std::optional<fs::path> installed = installedDataFor(binaryDirectory);
    const std::optional<fs::path> user = location(xdgDataHome, home);
    if (installed && user) {
        locations.installedData = *installed;
        locations.programDirectory = *user;
    }
    return locations;
}

fs::path UserDirectory::dataDirectory(const fs::path &binaryDirectory)
{
    const ProgramLocations locations = locate(binaryDirectory);
    if (locations.perUser() && !hasLanguageFolders(locations.programDirectory))
        return locations.installedData;
    return locations.programDirectory;
}

bool UserDirectory::isLanguageFile(const fs::path &relativePath)
{
    auto first = relativePath.begin();
    if (first == relativePath.end())
        return false;
    if (std::next(first) == relativePath.end())
        return equalsIgnoringCase(first->string(), kManagerTexts);
    return std::any_of(std::begin(kLanguageFolders), std::end(kLanguageFolders),
                       [&](const char *folder) { return equalsIgnoringCase(first->string(), folder); });
}

SeedReport UserDirectory::seed(const fs::path &installedData, const fs::path &userDirectory)
{
    SeedReport report;
    std::error_code ec;
    if (!fs::is_directory(installedData, ec)) {
        report.error = "the installed data " + installedData.string() + " is missing";
        return report;
    }
    fs::create_directories(userDirectory, ec);
    if (ec || !fs::is_directory(userDirectory, ec)) {
        report.error = "cannot create " + userDirectory.string() + (ec ? ": " + ec.message() : "");
        return report;
    }
    const fs::path recordFile = userDirectory / kRecordFile;
    report.firstStart = !fs::exists(recordFile, ec);
    Record record = readRecord(recordFile);
    bool recordChanged = report.firstStart;

    // Sorted, so that folders come before their files and the report reads
    // the same on every machine.
    std::vector<fs::directory_entry> entries;
    for (auto it = fs::recursive_directory_iterator(installedData, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        entries.push_back(*it);
    if (ec) {
        report.error = "cannot read " + installedData.string() + ": " + ec.message();
        return report;
    }
    std::sort(entries.begin(), entries.end(),
              [](const fs::directory_entry &a, const fs::directory_entry &b) { return a.path() < b.path(); });

    for (const fs::directory_entry &entry : entries) {
        const fs::path relative = entry.path().lexically_relative(installedData);
        const fs::path target = userDirectory / relative;
        const bool archive = isArchiveContent(relative);
        if (archive && !report.firstStart)
            continue;  // the user's archives are theirs, deleted samples stay deleted
        if (entry.is_directory(ec)) {
            fs::create_directories(target, ec);
            if (ec) {
                report.error = "cannot create " + target.string() + ": " + ec.message();
                return report;
            }
            continue;
        }
        if (!entry.is_regular_file(ec))
            continue;

        const bool exists = fs::exists(target, ec);
        if (!isLanguageFile(relative)) {
            if (!exists) {
                if (!copyFile(entry.path(), target, &report.error))
                    return report;
                report.copied.push_back(relative);
            }
            continue;
        }

        std::string installedBytes;
        if (!readWhole(entry.path(), &installedBytes)) {
            report.error = "cannot read " + entry.path().string();
            return report;
        }
        const std::uint64_t installedHash = contentHash(installedBytes);
        const auto known = record.find(key(relative));
        if (!exists) {
            if (!copyFile(entry.path(), target, &report.error))
                return report;
            report.copied.push_back(relative);
        } else if (known == record.end() || known->second != installedHash) {
            std::string userBytes;
            readWhole(target, &userBytes);
            if (userBytes != installedBytes) {
                LanguageFileOffer offer;
                offer.relativePath = relative;
                // Without an earlier record (a directory made by hand, or the
                // first start on an existing one) the user's copy counts as
                // their own.
                offer.changedByUser = known == record.end() || contentHash(userBytes) != known->second;
                report.offers.push_back(offer);
                continue;  // recorded when the user answers
            }
        } else {
            continue;
        }
        record[key(relative)] = installedHash;
        recordChanged = true;
    }

    if (recordChanged && !writeRecord(recordFile, record, &report.error))
        return report;
    return report;
}

bool UserDirectory::acceptOffer(const fs::path &installedData, const fs::path &userDirectory,
                                const LanguageFileOffer &offer, std::string *error)
{
    std::string message;
    if (!copyFile(installedData / offer.relativePath, userDirectory / offer.relativePath, &message) ||
        !declineOffer(installedData, userDirectory, offer, &message)) {
        if (error)
            *error = message;
        return false;
    }
    return true;
}

bool UserDirectory::declineOffer(const fs::path &installedData, const fs::path &userDirectory,
                                 const LanguageFileOffer &offer, std::string *error)
{
    std::string bytes;
    if (!readWhole(installedData / offer.relativePath, &bytes)) {
        if (error)
            *error = "cannot read " + (installedData / offer.relativePath).string();
        return false;
    }
    const fs::path recordFile = userDirectory / kRecordFile;
    Record record = readRecord(recordFile);
    record[key(offer.relativePath)] = contentHash(bytes);
    return writeRecord(recordFile, record, error);
}

} // namespace kn4
