#include "core/panelpreview.h"

#include <kn4/number.h>
#include <kn4/textlines.h>

#include <vector>

namespace kn4::manager {

namespace {

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Trimmed, then the "-" fill removed at both ends, as the editor reads
// its header fields.
std::string field(std::string_view line, std::size_t first, std::size_t last)
{
    if (first >= line.size())
        return {};
    std::string_view value = trimmed(line.substr(first, last - first + 1));
    const auto start = value.find_first_not_of('-');
    if (start == std::string_view::npos)
        return {};
    value = value.substr(start, value.find_last_not_of('-') - start + 1);
    return std::string(value);
}

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

} // namespace

PanelPreview PanelPreview::fromBytes(std::string bytes)
{
    PanelPreview preview;
    preview.machine = MachineCheck::ofBytes(bytes);
    const CompiledPanel panel(std::move(bytes));
    if (!panel.hasMarker())
        return preview;
    preview.isPanel = true;
    preview.hasHeader = panel.hasSeparator();
    preview.compiled = panel.hasSeparator() && !panel.code().empty();
    if (preview.hasHeader)
        preview.header = panel.header();

    // The source header: each value is found on its own line, by the word
    // that begins the line, so a note holding the same word cannot move it.
    for (const std::string_view line : TextLines(panel.source())) {
        if (!preview.hasHeader && startsWith(line, "tipo ")) {
            preview.header.type = field(line, 5, 9);
            preview.header.size = field(line, 19, 20);
            preview.header.part = field(line, 28, 37);
        } else if (!preview.hasHeader && startsWith(line, "frontura")) {
            preview.header.width = leadingInteger(field(line, 9, 11));
            preview.header.density = field(line, 22, 29);
        } else if (!preview.hasHeader && startsWith(line, "costina")) {
            preview.header.borderRight = leadingInteger(field(line, 8, 10));
            preview.header.borderLeft = leadingInteger(field(line, 14, 16));
        } else if (!preview.hasHeader && startsWith(line, "scollo")) {
            preview.header.necklineRight = leadingInteger(field(line, 8, 10));
            preview.header.necklineLeft = leadingInteger(field(line, 14, 16));
        } else if (!preview.hasHeader && startsWith(line, "predisposizione")) {
            preview.header.setUp = leadingInteger(field(line, 16, 16));
        } else if (startsWith(line, ";Alt.bordo")) {
            preview.borderHeight = field(line, 11, 15);
            preview.needlesPerCm = field(line, 22, 26);
            preview.coursesPerCm = field(line, 34, 38);
        } else if (startsWith(line, "uscita")) {
            preview.exitValue = std::string(trimmed(line.substr(6)));
        } else if (line.find("Inizio programma") != std::string_view::npos) {
            const std::string_view rest = line.substr(line.find("Inizio programma"));
            const auto semicolon = rest.find(';');
            if (semicolon != std::string_view::npos)
                preview.colourCodes = std::string(trimmed(rest.substr(semicolon + 1)));
            for (std::size_t i = 0; i < std::size_t(kColourCount) && i < preview.colourCodes.size(); ++i) {
                const int cell = ColourPalette::cellOfCode(std::string_view(preview.colourCodes).substr(i, 1));
                if (cell >= 0)
                    preview.colours[i] = ColourPalette::cellColour(cell);
            }
            break;  // the rows follow; the header is behind us
        }
    }
    return preview;
}

} // namespace kn4::manager
