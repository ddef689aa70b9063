#pragma once

// Shared by the tests of the files the suite ships: reading them, splitting
// them into CR LF lines, and the compiler library loaded from the program
// directory the way every program loads it.

#include "kn4edit2.h"
#include "kn4/libraryclient.h"
#include "kn4/testfiles.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kn4::testing {

inline const std::filesystem::path kDataDir = std::filesystem::path(KN4_SOURCE_DIR) / "data";
inline const std::filesystem::path kArchiveDir = kDataDir / "archivi" / "DEMO";

// The lines of a text whose every line, the last included, ends with CR LF.
// A lone CR or LF, or a last line without CR LF, sets *wellEnded to false.
inline std::vector<std::string> crlfLines(const std::string &text, bool *wellEnded)
{
    std::vector<std::string> lines;
    *wellEnded = true;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            *wellEnded = false;
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    for (const std::string &line : lines)
        if (line.find_first_of("\r\n") != std::string::npos)
            *wellEnded = false;
    return lines;
}

// The catalogue operations of libkn4edit2.so in the program directory.
class Catalogue
{
public:
    Catalogue() { m_library.load(KN4_PROGRAM_DIR); }

    bool loaded() const { return m_library.isLoaded(); }

    // The family word or name, and the index (-1 when unknown).
    std::pair<std::string, int> lookup(const std::string &word) const
    {
        const LibraryClient::Lookup found = m_library.CercaFunzione(word);
        return {found.name, found.index};
    }

    // The first column of P1, -1 when the command has none.
    int p1First(int index) const { return m_library.GetPosizioneParametri(index).p1First; }

private:
    LibraryClient m_library;
};

} // namespace kn4::testing
