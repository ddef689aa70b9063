#pragma once

#include "kn4/filereader.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kn4 {

// The display aliases of the command words, from the language folder's
// keyword file: a line "WORD   ; comment ALIAS: text" gives the keyword
// WORD and the alias "text " (the text after "ALIAS:" without the blanks
// before it, so that an aliased row starts in the same column as a plain
// one, and with one blank appended, as the listing lays it over the row's
// command field).
class AliasTable
{
public:
    static constexpr std::size_t kMaxLines = 61;

    struct Entry
    {
        std::string keyword; // without its padding blanks; empty never matches
        std::string alias;   // empty when the line has no "ALIAS:"
    };

    // Nothing when the file cannot be read (missing, a folder, a read
    // error), with the reason in failure.
    static std::optional<AliasTable> load(const std::filesystem::path &path, FileContent *failure = nullptr);
    static AliasTable fromText(std::string_view text);

    const std::vector<Entry> &entries() const { return m_entries; }

    // The first entry with an alias whose keyword is the row's command word
    // (the text before the first blank or comma), ignoring letter case.
    const Entry *aliasFor(std::string_view row) const;

private:
    std::vector<Entry> m_entries;
};

} // namespace kn4
