#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kn4::manager {

// The keyword file VUZUDO.KEY of a language folder, as the settings
// window edits it. The editor refuses to start when a command of the file
// is unknown to the compiler library, so the manager checks the words
// before it saves the file.
struct KeywordFileCheck
{
    static constexpr const char *kFileName = "VUZUDO.KEY";
    // The editor reads at most 51 lines; lines 11 to 21 are header words
    // that it never looks up in the library.
    static constexpr int kMaxEntries = 51;
    static constexpr int kFirstHeaderWord = 11;
    static constexpr int kLastHeaderWord = 21;

    // The library's CercaFunzione: the catalogue index of a word, -1 when
    // the library does not know it.
    using Lookup = std::function<std::int32_t(std::string_view word)>;

    // The command words of the file (its text, Windows-1252) that make the
    // editor refuse it, in file order, exactly as the editor's own reader of
    // the keyword file takes them (a Tab it does not trim stays part of the
    // word): the check can never pass a file the editor refuses.
    static std::vector<std::string> unknownWords(std::string_view text, const Lookup &lookup);
};

} // namespace kn4::manager
