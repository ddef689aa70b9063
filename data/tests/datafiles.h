#pragma once

// Shared by the tests of the files the suite ships: reading them, splitting
// them into CR LF lines, and the compiler library loaded from the program
// directory the way every program loads it.

#include "kn4edit2.h"
#include "kn4/testfiles.h"

#include <dlfcn.h>
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
    Catalogue()
    {
        const std::string file = std::string(KN4_PROGRAM_DIR) + "/libkn4edit2.so";
        m_handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!m_handle)
            return;
        m_lookup = reinterpret_cast<decltype(m_lookup)>(::dlsym(m_handle, "CercaFunzione"));
        m_positions = reinterpret_cast<decltype(m_positions)>(::dlsym(m_handle, "GetPosizioneParametri"));
    }
    ~Catalogue()
    {
        if (m_handle)
            ::dlclose(m_handle);
    }
    Catalogue(const Catalogue &) = delete;
    Catalogue &operator=(const Catalogue &) = delete;

    bool loaded() const { return m_lookup && m_positions; }

    // The family word or name, and the index (-1 when unknown).
    std::pair<std::string, int> lookup(const std::string &word) const
    {
        char name[KN4_TEXT_SIZE] = {};
        int32_t index = -1;
        m_lookup(word.c_str(), name, &index);
        return {name, index};
    }

    // The first column of P1, -1 when the command has none.
    int p1First(int index) const
    {
        int32_t p1First = -1, p1Last = -1, p2First = -1, p2Last = -1;
        m_positions(index, &p1First, &p1Last, &p2First, &p2Last);
        return p1First;
    }

private:
    void *m_handle = nullptr;
    void (*m_lookup)(const char *, char *, int32_t *) = nullptr;
    void (*m_positions)(int32_t, int32_t *, int32_t *, int32_t *, int32_t *) = nullptr;
};

} // namespace kn4::testing
