#pragma once

#include "kn4/filereader.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kn4::transfer {

// File services of the transfer. Media are often FAT volumes, where letter
// case does not tell names apart, and the machine's files are named in any
// case: every lookup here ignores ASCII letter case.

// The entry of dir named name ignoring case (file or folder), exact name first.
std::optional<std::filesystem::path> findEntryIgnoringCase(const std::filesystem::path &dir,
                                                           std::string_view name);

// Names (without the extension, upper case, sorted) of the regular files of
// dir whose extension equals extension ignoring case (".kn4", ".vlp").
std::vector<std::string> listFileNames(const std::filesystem::path &dir, std::string_view extension);
// Names (upper case, sorted) of the folders of dir.
std::vector<std::string> listFolderNames(const std::filesystem::path &dir);

std::string upperCase(std::string_view text);

// A check run on what was read back from a temporary file before it takes
// the final name; returns the problem, or "" when the content is sound.
using ContentCheck = std::function<std::string(std::string_view readBack)>;

// Writes bytes to a temporary file beside target, reads it back and compares
// it byte for byte (and runs check on it), gives it modified (when set) and
// only then renames it over target. On any failure the temporary file is
// removed, target keeps what it held, and *error says what went wrong.
bool replaceFileVerified(const std::filesystem::path &target, std::string_view bytes,
                         const ContentCheck &check, std::string *error,
                         std::optional<std::filesystem::file_time_type> modified = std::nullopt);

// Copies source to target through replaceFileVerified, keeping the source's
// modification date as a copy on the machine's media must (dates tell the
// current version of a controller program).
bool copyFileVerified(const std::filesystem::path &source, const std::filesystem::path &target,
                      std::string *error);

// Reads a whole regular file of at most maxBytes bytes; nullopt (and
// *error, "cannot read PATH: reason") when it cannot be read.
std::optional<std::string> readWholeFile(const std::filesystem::path &path, std::string *error,
                                         std::size_t maxBytes = FileReader::kMediaFileLimit);

// Modification dates of two copies of a file, equal within the two seconds
// a FAT volume rounds them to.
bool sameFileDate(const std::filesystem::path &a, const std::filesystem::path &b);
// "dd/mm/yyyy hh:mm:ss" in local time; "" when the file has no date.
std::string fileDateText(const std::filesystem::path &path);

// Quotes a text for a POSIX shell command line.
std::string shellQuote(std::string_view text);
// The full path of a program found on PATH; nullopt when there is none.
std::optional<std::filesystem::path> findProgram(std::string_view name);

} // namespace kn4::transfer
