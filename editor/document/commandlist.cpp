#include "commandlist.h"

#include "document/rowtext.h"
#include "kn4/cp1252.h"
#include "kn4/filelookup.h"
#include "kn4/filereader.h"

namespace kn4::editor {

std::string CommandList::missingFileMessage()
{
    return "Il file VUZUDO.KEY è assente. Contattare l'assistenza tecnica.";
}

CommandList::LoadResult CommandList::load(const std::filesystem::path &folder,
                                          const CommandLibrary &library)
{
    LoadResult result;
    const std::filesystem::path where = folder.empty() ? "." : folder;
    const auto file = findFileIgnoringCase(where, kKeywordFileName);
    if (!file) {
        // Why there is no file to read: none at all, or a folder of that name.
        const std::filesystem::path exact = where / "VUZUDO.KEY";
        result.fatalMessage = missingFileMessage() + "\n"
                              + FileReader::read(exact, FileReader::kTextFileLimit).message(exact);
        return result;
    }
    const FileContent content = FileReader::read(*file, FileReader::kTextFileLimit);
    if (!content) {
        result.fatalMessage = missingFileMessage() + "\n" + content.message(*file);
        return result;
    }
    return fromText(content.bytes, library);
}

CommandList::LoadResult CommandList::fromText(std::string_view text, const CommandLibrary &library)
{
    LoadResult result;
    std::string content(text);
    if (const std::size_t nul = content.find('\0'); nul != std::string::npos) {
        content.resize(nul);
        content += "\r\n";
    }

    CommandList list;
    std::size_t pos = 0;
    while (list.count() < kMaxEntries) {
        const std::size_t end = content.find("\r\n", pos);
        if (end == std::string::npos)
            break;  // a last line without CR LF is not an entry
        std::string_view line = std::string_view(content).substr(pos, end - pos);
        pos = end + 2;

        CommandEntry entry;
        if (const std::size_t alias = line.find("ALIAS:"); alias != std::string_view::npos)
            entry.alias = toLowerAscii(trimBlanks(line.substr(alias + 6)));
        if (const std::size_t semicolon = line.find(';'); semicolon != std::string_view::npos)
            line = trimBlanks(line.substr(0, semicolon));
        // A line that begins with a blank or a digit may be unknown to the
        // library (it is then never listed); blanks around the word never
        // belong to it, comment or not.
        const bool mustBeKnown = !line.empty() && static_cast<unsigned char>(line.front()) >= 'A';
        entry.displayName = std::string(trimBlanks(line));

        const int index = list.count();
        if (index < kFirstHeaderWordEntry || index > kLastHeaderWordEntry) {
            const CommandLibrary::Lookup found = library.CercaFunzione(entry.displayName);
            if (found.index == -1 && mustBeKnown) {
                result.fatalMessage = "La funzione '" +
                                      cp1252ToUtf8(toUpperAscii(entry.displayName)) +
                                      "' non è definita nel file libkn4edit2.so. "
                                      "Contattare l'assistenza tecnica.";
                return result;
            }
            entry.libraryName = found.name;
            entry.functionCode = found.index;
        }
        list.m_entries.push_back(std::move(entry));
    }
    list.buildOrder();
    result.list = std::move(list);
    return result;
}

std::vector<std::string> CommandList::displayNamesFromText(std::string_view text)
{
    // As fromText reads it: a NUL cuts the text and ends its last line; a
    // last line without CR LF is not an entry.
    std::string content(text.substr(0, text.find('\0')));
    if (content.size() != text.size())
        content += "\r\n";
    std::vector<std::string> names;
    std::size_t pos = 0;
    while (names.size() < std::size_t(kMaxEntries)) {
        const std::size_t end = content.find("\r\n", pos);
        if (end == std::string::npos)
            break;
        const std::string_view line = std::string_view(content).substr(pos, end - pos);
        pos = end + 2;
        names.emplace_back(trimBlanks(line.substr(0, line.find(';'))));
    }
    return names;
}

void CommandList::buildOrder()
{
    m_order.clear();
    std::int32_t last = -1;
    while (true) {
        int picked = -1;
        for (int i = 0; i < count(); ++i) {
            const std::int32_t code = m_entries[std::size_t(i)].functionCode;
            if (code > last && (picked < 0 || code < m_entries[std::size_t(picked)].functionCode))
                picked = i;
        }
        if (picked < 0)
            break;
        last = m_entries[std::size_t(picked)].functionCode;
        bool sameName = false;
        for (int shown : m_order)
            if (m_entries[std::size_t(shown)].libraryName == m_entries[std::size_t(picked)].libraryName)
                sameName = true;
        if (!sameName)
            m_order.push_back(picked);
    }
}

std::vector<CommandList::ListItem> CommandList::listItems() const
{
    std::vector<ListItem> items;
    for (int index : m_order) {
        const CommandEntry &e = entry(index);
        if (e.libraryName.empty() || static_cast<unsigned char>(toUpperAscii(e.libraryName)[0]) < 'A')
            continue;
        items.push_back({toLowerAscii(e.alias.empty() ? e.libraryName : e.alias), index});
    }
    return items;
}

int CommandList::findByDisplayName(std::string_view word) const
{
    for (int i = 0; i < count(); ++i)
        if (equalsIgnoringCase(m_entries[std::size_t(i)].displayName, word))
            return i;
    return -1;
}

} // namespace kn4::editor
