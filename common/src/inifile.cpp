#include "kn4/inifile.h"

#include "kn4/filelookup.h"
#include "kn4/filereader.h"

namespace kn4 {

namespace {

std::string_view trimmed(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t'))
        ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    return text.substr(begin, end - begin);
}

std::string limited(std::string_view text, std::size_t bufferSize)
{
    if (bufferSize == 0)
        return {};
    return std::string(text.substr(0, bufferSize - 1));
}

} // namespace

IniFile IniFile::load(const std::filesystem::path &path)
{
    IniFile ini;
    FileContent content = FileReader::read(path, FileReader::kTextFileLimit);
    if (!content) {
        ini.m_reason = content.message(path);
        return ini;
    }
    ini.m_text = std::move(content.bytes);
    ini.m_exists = true;
    return ini;
}

IniFile IniFile::fromText(std::string text)
{
    IniFile ini;
    ini.m_text = std::move(text);
    ini.m_exists = true;
    return ini;
}

std::string IniFile::GetPrivateProfileStringA(std::string_view section, std::string_view key,
                                              std::string_view defaultText,
                                              std::size_t bufferSize) const
{
    const std::string_view text = m_text;
    const std::string_view wantedSection = trimmed(section);
    const std::string_view wantedKey = trimmed(key);
    enum class State { BeforeSection, InSection };
    State state = State::BeforeSection;
    bool sectionSeen = false;

    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = trimmed(text.substr(pos, end - pos));
        pos = end;
        if (pos < text.size() && text[pos] == '\r')
            ++pos;
        if (pos < text.size() && text[pos] == '\n')
            ++pos;

        if (!line.empty() && line.front() == '[') {
            if (state == State::InSection)
                break;  // the first section of that name has ended
            const std::size_t close = line.find(']');
            const std::string_view name =
                trimmed(line.substr(1, close == std::string_view::npos ? std::string_view::npos
                                                                       : close - 1));
            if (!sectionSeen && equalsIgnoringCase(name, wantedSection)) {
                state = State::InSection;
                sectionSeen = true;
            }
            continue;
        }
        if (state != State::InSection || line.empty() || line.front() == ';')
            continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        if (!equalsIgnoringCase(trimmed(line.substr(0, equals)), wantedKey))
            continue;
        std::string_view value = trimmed(line.substr(equals + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return limited(value, bufferSize);
    }
    return limited(defaultText, bufferSize);
}

} // namespace kn4
