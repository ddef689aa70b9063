#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace kn4 {

// A small reader of INI profile files that answers as the Windows profile
// function GetPrivateProfileStringA does for one value:
//  - "[section]" lines open a section; section and key names compare
//    ignoring ASCII letter case, blanks around them are ignored;
//  - only the first section of a name is searched, and in it the first line
//    "key=value" of that key; lines without "=" and lines beginning with ";"
//    are skipped;
//  - the value is the text after the first "=", without surrounding blanks
//    and tabs; one pair of enclosing double (or single) quotes is removed;
//  - a missing file, section or key gives the default text;
//  - the result holds at most bufferSize - 1 characters, as the caller's
//    buffer of bufferSize bytes would.
// Lines end with CR LF, LF or CR; bytes are kept as they are.
class IniFile
{
public:
    // Reads the file; a missing or unreadable file reads as empty.
    static IniFile load(const std::filesystem::path &path);
    static IniFile fromText(std::string text);

    bool exists() const { return m_exists; }
    // Why the file could not be read: "PATH: reason"; empty when it was.
    const std::string &reason() const { return m_reason; }

    std::string GetPrivateProfileStringA(std::string_view section, std::string_view key,
                                         std::string_view defaultText,
                                         std::size_t bufferSize) const;

private:
    std::string m_text;
    std::string m_reason;
    bool m_exists = false;
};

} // namespace kn4
