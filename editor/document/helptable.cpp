#include "helptable.h"

#include "document/rowtext.h"
#include "kn4/filelookup.h"
#include "kn4/filereader.h"
#include "kn4/inifile.h"
#include "kn4/number.h"


namespace kn4::editor {

namespace {

constexpr const char *kSection = "TEMPORIZZAZIONI";
constexpr const char *kNotFound = "sezione non trovata";
constexpr std::size_t kProfileBuffer = 80;

// Blanks, tabs and line ends at both ends.
std::string_view trimSpace(std::string_view text)
{
    const char *const space = " \t\r\n";
    const std::size_t begin = text.find_first_not_of(space);
    if (begin == std::string_view::npos)
        return {};
    const std::size_t end = text.find_last_not_of(space);
    return text.substr(begin, end - begin + 1);
}

// Splits off the first line (up to CR LF) of text; text keeps the rest.
// Returns false when text holds no further line.
bool takeLine(std::string_view &text, std::string_view &line)
{
    if (text.empty())
        return false;
    const std::size_t end = text.find("\r\n");
    if (end == std::string_view::npos) {
        line = text;
        text = {};
    } else {
        line = text.substr(0, end);
        text.remove_prefix(end + 2);
    }
    return true;
}

} // namespace

int HelpTable::load(const std::filesystem::path &folder)
{
    *this = HelpTable();
    const auto file = findFileIgnoringCase(folder.empty() ? "." : folder, kFileName);
    if (!file)
        return -1;
    const FileContent content = FileReader::read(*file, FileReader::kTextFileLimit);
    if (!content)
        return -1;
    loadText(content.bytes);
    return 0;
}

void HelpTable::loadText(std::string_view text)
{
    *this = HelpTable();
    const IniFile ini = IniFile::fromText(std::string(text));
    m_expertDelay = leadingInteger(ini.GetPrivateProfileStringA(kSection, "Tempo_Esperto", kNotFound,
                                                                kProfileBuffer));
    m_errorDelay = leadingInteger(ini.GetPrivateProfileStringA(kSection, "Tempo_Errore", kNotFound,
                                                               kProfileBuffer));

    Colour colour = kLightGrey;
    std::size_t start = text.find('|');
    while (start != std::string_view::npos) {
        if (count() == kMaxEntries) {
            m_truncated = true;
            break;
        }
        const std::size_t next = text.find('|', start + 1);
        std::string_view body = text.substr(start + 1, next == std::string_view::npos
                                                           ? std::string_view::npos
                                                           : next - start - 1);
        start = next;
        while (!body.empty() && (body.back() == '\r' || body.back() == '\n'))
            body.remove_suffix(1);
        const std::string withEnd = std::string(body) + "\r\n";
        std::string_view rest = withEnd;

        HelpEntry entry;
        std::string_view header;
        takeLine(rest, header);
        const std::size_t blank = header.find(' ');
        entry.key = std::string(trimBlanks(header.substr(0, blank)));
        const std::string_view word =
            blank == std::string_view::npos ? std::string_view() : trimBlanks(header.substr(blank + 1));
        if (word.empty()) {
            colour = kLightGrey;
        } else {
            switch (toUpperAscii(word.substr(0, 1))[0]) {
            case 'V': colour = kGreen; break;
            case 'G': colour = kYellow; break;
            case 'R': colour = kRed; break;
            default: break;  // an unknown colour word keeps the colour in use
            }
        }
        entry.colour = colour;

        std::string_view shortLine;
        if (takeLine(rest, shortLine))
            entry.shortText = std::string(trimSpace(shortLine));
        // The entry ends with exactly one CR LF, so rest is empty when there
        // is no third line.
        if (rest.empty()) {
            entry.longText = entry.shortText;
        } else {
            const std::string upper = toUpperAscii(rest);
            const std::size_t same = upper.find("C.S.");
            if (same != std::string::npos) {
                const std::size_t lineEnd = rest.find("\r\n", same);
                const std::string_view after =
                    lineEnd == std::string_view::npos ? std::string_view() : rest.substr(lineEnd + 2);
                entry.longText = entry.shortText + "\r\n" + std::string(trimSpace(after));
            } else {
                entry.longText = std::string(trimSpace(rest));
            }
        }

        // Keys listed one after another without text share this entry's.
        for (auto earlier = m_entries.rbegin();
             earlier != m_entries.rend() && earlier->longText.empty(); ++earlier) {
            earlier->longText = entry.longText;
            earlier->shortText = entry.shortText;
            earlier->colour = entry.colour;
        }
        m_entries.push_back(std::move(entry));
    }
}

const HelpEntry *HelpTable::find(std::string_view key) const
{
    for (const HelpEntry &entry : m_entries)
        if (entry.key == key)
            return &entry;
    return nullptr;
}

} // namespace kn4::editor
