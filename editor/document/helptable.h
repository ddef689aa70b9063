#pragma once

#include "document/panelmodel.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kn4::editor {

// One text of the help panel (the expert help).
struct HelpEntry
{
    std::string key;         // e.g. "Frontura", "Funzione:CALATO"
    Colour colour = 0;       // background of the help panel
    std::string shortText;   // shown first
    std::string longText;    // shown after the expert delay (lines end with CR LF)
};

// The help file "Kn4Edit.123" of the language folder: two delays in the
// INI section [TEMPORIZZAZIONI], then entries, each beginning with a line
//     "|" key [blank colour word]
// followed by a short text line and optional long text lines. The colour
// word's first letter picks the colour: V green, G yellow, R red; none
// gives light grey. A long text holding a line "C.S." ("come sopra") repeats
// the short text before the lines after it. Consecutive keys without text
// share the text of the next entry that has one.
class HelpTable
{
public:
    static constexpr int kMaxEntries = 300;
    static constexpr const char *kFileName = "Kn4Edit.123";
    static constexpr std::int32_t kDefaultExpertDelay = 500;
    static constexpr std::int32_t kDefaultErrorDelay = 10000;
    static constexpr Colour kLightGrey = rgb(224, 224, 224);
    static constexpr Colour kGreen = rgb(0, 255, 0);
    static constexpr Colour kYellow = rgb(255, 255, 0);
    static constexpr Colour kRed = rgb(255, 0, 0);

    // Loads folder + "Kn4Edit.123" (found ignoring case; an empty folder is
    // the working directory). Returns 0, or -1 when the file is missing: the
    // delays then are 500 and 10000 ms and the table is empty. Entries past
    // the 300th are ignored (truncated() tells).
    int load(const std::filesystem::path &folder);
    // The same from the file's text (which must hold the INI section too).
    void loadText(std::string_view text);

    std::int32_t expertDelay() const { return m_expertDelay; }
    std::int32_t errorDelay() const { return m_errorDelay; }
    int count() const { return int(m_entries.size()); }
    const std::vector<HelpEntry> &entries() const { return m_entries; }
    bool truncated() const { return m_truncated; }

    // The entry of a key (compared exactly, as the window looks keys up);
    // nullptr when there is none.
    const HelpEntry *find(std::string_view key) const;

private:
    std::int32_t m_expertDelay = kDefaultExpertDelay;
    std::int32_t m_errorDelay = kDefaultErrorDelay;
    std::vector<HelpEntry> m_entries;
    bool m_truncated = false;
};

} // namespace kn4::editor
