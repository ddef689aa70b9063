#include "transfer/diskfolders.h"

#include "transfer/mediafiles.h"

namespace fs = std::filesystem;

namespace kn4::transfer {

namespace {

FolderResult failure(const std::string &text)
{
    FolderResult result;
    result.error = text;
    return result;
}

} // namespace

std::string diskFolderName(std::string_view typed)
{
    while (!typed.empty() && (typed.front() == ' ' || typed.front() == '\t'))
        typed.remove_prefix(1);
    while (!typed.empty() && (typed.back() == ' ' || typed.back() == '\t'))
        typed.remove_suffix(1);
    std::string name = upperCase(typed.substr(0, kDiskNameLength));
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    if (name.find('/') != std::string::npos || name.find('\\') != std::string::npos
        || name.find('\0') != std::string::npos || name == "." || name == "..")
        return {};
    return name;
}

FolderResult USBadd(const fs::path &parent, std::string_view typed)
{
    const std::string name = diskFolderName(typed);
    if (name.empty())
        return failure("Nome del disco non valido");
    if (findEntryIgnoringCase(parent, name))
        return failure("Il disco " + name + " esiste già");
    std::error_code ec;
    fs::create_directories(parent / name, ec);
    if (ec)
        return failure("Impossibile creare il disco " + name + ": " + ec.message());
    FolderResult result;
    result.ok = true;
    result.name = name;
    return result;
}

FolderResult USBdel(const fs::path &parent, std::string_view name)
{
    const auto folder = findEntryIgnoringCase(parent, name);
    std::error_code ec;
    if (name.empty() || !folder || !fs::is_directory(*folder, ec))
        return failure("Il disco " + std::string(name) + " non esiste");
    for (fs::directory_iterator it(*folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError))
            continue;
        std::error_code removeError;
        fs::remove(it->path(), removeError);
        if (removeError)
            return failure("Impossibile cancellare " + it->path().filename().string() + ": "
                           + removeError.message());
    }
    fs::remove(*folder, ec);
    if (ec)
        return failure("Impossibile eliminare il disco " + std::string(name) + ": " + ec.message());
    FolderResult result;
    result.ok = true;
    result.name = std::string(name);
    return result;
}

FolderResult usbren(const fs::path &parent, std::string_view oldName, std::string_view typed)
{
    const auto folder = findEntryIgnoringCase(parent, oldName);
    if (oldName.empty() || !folder)
        return failure("Il disco " + std::string(oldName) + " non esiste");
    const std::string name = diskFolderName(typed);
    if (name.empty())
        return failure("Nome del disco non valido");
    const auto existing = findEntryIgnoringCase(parent, name);
    if (existing && *existing != *folder)
        return failure("Il disco " + name + " esiste già");
    std::error_code ec;
    fs::rename(*folder, parent / name, ec);
    if (ec)
        return failure("Impossibile rinominare il disco " + std::string(oldName) + ": " + ec.message());
    FolderResult result;
    result.ok = true;
    result.name = name;
    return result;
}

CopyResult copyPanelToDisk(const fs::path &panel, const fs::path &folder, const ReplaceQuestion &askReplace)
{
    CopyResult result;
    const std::string fileName = panel.filename().string();
    fs::path target = folder / fileName;
    if (const auto existing = findEntryIgnoringCase(folder, fileName)) {
        if (!askReplace || !askReplace(fileName)) {
            result.outcome = CopyOutcome::Kept;
            return result;
        }
        target = *existing; // the disk's panel keeps the name it has there
    }
    std::string error;
    if (!copyFileVerified(panel, target, &error)) {
        result.error = "Copia di " + fileName + " non riuscita: " + error;
        return result;
    }
    result.outcome = CopyOutcome::Copied;
    return result;
}

} // namespace kn4::transfer
