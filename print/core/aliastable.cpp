#include "aliastable.h"

#include "kn4/filelookup.h"
#include "kn4/textlines.h"

namespace kn4 {

namespace {

std::string_view trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

} // namespace

std::optional<AliasTable> AliasTable::load(const std::filesystem::path &path, FileContent *failure)
{
    FileContent content = FileReader::read(path, FileReader::kTextFileLimit);
    if (!content) {
        if (failure)
            *failure = std::move(content);
        return std::nullopt;
    }
    return fromText(content.bytes);
}

AliasTable AliasTable::fromText(std::string_view text)
{
    AliasTable table;
    for (const std::string_view line : TextLines(text)) {
        if (table.m_entries.size() >= kMaxLines)
            break;
        Entry entry;
        entry.keyword = std::string(trimmed(line.substr(0, line.find(';'))));
        const std::size_t marker = line.find("ALIAS:");
        if (marker != std::string_view::npos) {
            const std::string_view alias = trimmed(line.substr(marker + 6));
            if (!alias.empty())
                entry.alias = std::string(alias) + " ";
        }
        table.m_entries.push_back(std::move(entry));
    }
    return table;
}

const AliasTable::Entry *AliasTable::aliasFor(std::string_view row) const
{
    const std::string_view word = row.substr(0, row.find_first_of(" ,"));
    if (word.empty())
        return nullptr;
    for (const Entry &entry : m_entries) {
        if (!entry.alias.empty() && !entry.keyword.empty() && equalsIgnoringCase(entry.keyword, word))
            return &entry;
    }
    return nullptr;
}

} // namespace kn4
