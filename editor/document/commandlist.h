#pragma once

#include "document/commandlibrary.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kn4::editor {

// One line of the keyword file VUZUDO.KEY as the editor holds it. Its index
// in the list is the line's number from 0, which for the first 46 lines is
// also the compiler's keyword slot: the editor names commands by it (0 the
// definition, 1-3 the side commands, 6 the increase, 11-21 header words).
struct CommandEntry
{
    std::string displayName;  // the line before its ";", trimmed
    std::string alias;        // lower-case text after "ALIAS:", trimmed; may be empty
    std::string libraryName;  // what CercaFunzione gives; empty for entries 11-21
    std::int32_t functionCode = -1;  // catalogue index, -1 when unknown
};

struct CommandListLoad;

// The command list: the entries of the keyword file, checked against the
// library, and the order in which the command list box shows them.
class CommandList
{
public:
    static constexpr int kMaxEntries = 51;
    static constexpr int kFirstHeaderWordEntry = 11;
    static constexpr int kLastHeaderWordEntry = 21;
    static constexpr const char *kKeywordFileName = "Vuzudo.key";

    using LoadResult = CommandListLoad;

    // Reads folder + "Vuzudo.key" (the name found ignoring case; an empty
    // folder is the working directory) and checks every command against the
    // library. A missing file or a command the library does not know ends
    // the program; lines beyond the 51st are ignored.
    static LoadResult load(const std::filesystem::path &folder, const CommandLibrary &library);
    static LoadResult fromText(std::string_view text, const CommandLibrary &library);

    static std::string missingFileMessage();

    // The display names of a keyword file's lines as fromText reads them
    // (the line before its ";", trimmed), without asking the library: the
    // entry index of a command is its position. At most kMaxEntries.
    static std::vector<std::string> displayNamesFromText(std::string_view text);

    const std::vector<CommandEntry> &entries() const { return m_entries; }
    int count() const { return int(m_entries.size()); }
    const CommandEntry &entry(int index) const { return m_entries[std::size_t(index)]; }

    // Entry indices in the order of the command list box: by rising
    // function code, each library name once.
    const std::vector<int> &order() const { return m_order; }

    struct ListItem
    {
        std::string text;  // what the list box shows (lower case)
        int entryIndex;
    };
    // The items of the command list box: entries in order whose library name
    // begins with a letter (character at or above "A"), shown by alias or
    // else by library name, in lower case.
    std::vector<ListItem> listItems() const;

    // The first entry whose display name equals the word ignoring case; -1
    // when none does.
    int findByDisplayName(std::string_view word) const;

private:
    void buildOrder();

    std::vector<CommandEntry> m_entries;
    std::vector<int> m_order;
};

// What reading the keyword file gives: the list, or the message that ends
// the program.
struct CommandListLoad
{
    std::optional<CommandList> list;
    std::string fatalMessage;  // UTF-8; set when the program must end
};

} // namespace kn4::editor
