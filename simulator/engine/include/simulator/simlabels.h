#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace kn4 {

// The label table of the simulator: 111 slots numbered 1..111 holding every
// caption, tool tip and message of the program in one language, read from
// simulatore.ini. The file's first character is the language column L (a
// digit); line k (k = 1..111) fills slot k with its L-th comma-separated
// column (a file of an older version ends at slot 100). Texts stay
// Windows-1252 bytes; they are converted only to be shown.
class SimLabels
{
public:
    static constexpr int kSlotCount = 111;
    static constexpr int kFileSlots = 111;
    static constexpr const char *kFileName = "simulatore.ini";

    // Reads dir + "simulatore.ini" (dir is the prefix from the argument
    // string, used as it stands). A missing or unreadable file gives a table
    // of empty slots with loaded() false: the program stops with a message.
    static SimLabels load(const std::string &dirPrefix);
    static SimLabels fromText(std::string_view bytes);

    bool loaded() const { return m_loaded; }
    // Why the file could not be read ("PATH: reason"); empty when it was.
    const std::string &reason() const { return m_reason; }
    int column() const { return m_column; }
    // Slot n (1..110); the empty text for any other n.
    const std::string &text(int slot) const;
    void setText(int slot, std::string text);

private:
    bool m_loaded = false;
    int m_column = 0;
    std::string m_reason;
    std::array<std::string, kSlotCount + 1> m_slots{};
};

} // namespace kn4
