#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string_view>

namespace kn4 {

// The programs of the suite name the same files in different letter case
// (VUZUDO.KEY, Vuzudo.key; Kn4Edit.123; *.kn4 and *.KN4). These find a file
// of a folder whatever its case: the exact name first, then the first entry
// whose name equals it ignoring ASCII letter case.

// Without allocation, for the compiler library: writes "dir/Name" into out
// (joining with one "/") and returns true when such a regular file exists;
// returns false, with out holding the name as given, when none does or the
// result does not fit into outSize bytes (out then holds "").
bool findFileIgnoringCase(const char *dir, const char *name, char *out, std::size_t outSize);

std::optional<std::filesystem::path> findFileIgnoringCase(const std::filesystem::path &dir,
                                                          std::string_view name);

// ASCII-only case-insensitive equality, as the suite compares its words.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

} // namespace kn4
