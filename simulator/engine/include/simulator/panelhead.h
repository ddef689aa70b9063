#pragma once

#include "kn4/colourpalette.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kn4 {

// What the simulator takes from a compiled panel file: the head text (the
// compiled header line, the byte 26, the code block, the marker line and the
// source header up to the first definition), the values of the compiled
// header line and of the source header, the colour codes and, for intarsia,
// the R and F lists of the notes.
class PanelHead
{
public:
    enum class Error {
        None,
        CannotOpen,   // the file cannot be opened or read
        NoSeparator,  // no byte 26: not a compiled panel
        NoMarker,     // the compiled block is not followed by the "SORGENTE.KN4" line
        NoCode,       // compiled with grave errors: a header line but no code
    };

    static constexpr std::size_t kTailLength = 125;
    static constexpr std::size_t kMaxIntarsiaF = 4;

    // Reads the head of a panel file and parses its values. error() tells
    // whether it can be simulated.
    static PanelHead load(const std::filesystem::path &path);
    // The same from the file's bytes; panelPath is only recorded.
    static PanelHead fromBytes(std::string_view fileBytes, std::string panelPath = {});

    // The head text of a file: its bytes from the first one up to and
    // including the first "defin" that follows the source's program marker
    // line ("; --- Inizio programma"), however long the code block is; the
    // whole file when there is no such "defin".
    static std::string headTextOf(std::string_view fileBytes);

    // The code block of a head text: the bytes after the first byte 26 up to
    // the CR LF "SORGENTE.KN4" CR LF marker line (to the end when the marker
    // is missing).
    static std::string_view codeBlockOf(std::string_view headText);

    Error error() const { return m_error; }
    bool ok() const { return m_error == Error::None; }
    // A one-line English description of error(), for the shell tool.
    std::string errorText() const;
    // With CannotOpen, why the file could not be read ("Is a directory").
    const std::string &readError() const { return m_readError; }

    const std::string &panelPath() const { return m_panelPath; }
    const std::string &headText() const { return m_headText; }
    std::string_view codeBlock() const;
    // The compiled header line: the head text before the byte 26.
    std::string_view headerLine() const;

    // Values of the compiled header line.
    std::int32_t setup() const { return m_setup; }
    const std::string &density() const { return m_density; }
    std::int32_t ribRight() const { return m_ribRight; }
    std::int32_t ribLeft() const { return m_ribLeft; }
    std::int32_t necklineRight() const { return m_necklineRight; }
    std::int32_t necklineLeft() const { return m_necklineLeft; }
    std::int32_t steps() const { return m_steps; }
    std::int32_t courses() const { return m_courses; }

    // Values of the source header's measures line ("Alt.bordo", "Ag.cm",
    // "Ran.cm"); 0 when absent.
    double borderHeight() const { return m_borderHeight; }
    double needlesPerCm() const { return m_needlesPerCm; }
    double coursesPerCm() const { return m_coursesPerCm; }
    // "Visualizzazione in aghi" needs all three measures.
    bool hasMeasures() const { return m_borderHeight != 0 && m_needlesPerCm != 0 && m_coursesPerCm != 0; }

    // The notes: 125 characters from the first ";" after the "uscita" line's start.
    const std::string &tail() const { return m_tail; }
    // The colour codes of the program marker line, trimmed; empty when absent.
    const std::string &colourCodes() const { return m_colourCodes; }

    // With at least 8 colour codes, codes 1..8 looked up in the palette
    // replace colours 1..8 (a code naming no palette cell leaves its colour).
    // Returns false, the colours unchanged, with fewer than 8 codes.
    bool applyColourCodes(std::array<Colour, 8> &colours) const;

    // The intarsia lists of the notes: the values after "(R," and after
    // "(F," (at most 4) up to their ")". Only stripe mode 2 reads them.
    void InizioIntarsio();
    const std::vector<std::int32_t> &intarsiaR() const { return m_intarsiaR; }
    const std::vector<std::int32_t> &intarsiaF() const { return m_intarsiaF; }

private:
    void parseValues();

    Error m_error = Error::None;
    std::string m_readError;
    std::string m_panelPath;
    std::string m_headText;
    std::size_t m_separator = std::string::npos;  // offset of the byte 26
    std::size_t m_codeOffset = 0;
    std::size_t m_codeLength = 0;

    std::int32_t m_setup = 0;
    std::string m_density;
    std::int32_t m_ribRight = 0;
    std::int32_t m_ribLeft = 0;
    std::int32_t m_necklineRight = 0;
    std::int32_t m_necklineLeft = 0;
    std::int32_t m_steps = 0;
    std::int32_t m_courses = 0;
    double m_borderHeight = 0;
    double m_needlesPerCm = 0;
    double m_coursesPerCm = 0;
    std::string m_tail;
    std::string m_colourCodes;
    std::vector<std::int32_t> m_intarsiaR;
    std::vector<std::int32_t> m_intarsiaF;
};

} // namespace kn4
