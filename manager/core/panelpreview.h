#pragma once

#include "core/machinecheck.h"

#include <kn4/colourpalette.h>
#include <kn4/compiledpanel.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace kn4::manager {

// The key values of a panel that the main window's preview (MascAnteprima)
// shows: the compiled header, the source header's measures and exit value,
// and the eight yarn colours.
struct PanelPreview
{
    static constexpr int kColourCount = 8;

    // False when the file is not a panel at all (no "SORGENTE.KN4" marker).
    bool isPanel = false;
    // True when the file carries compiled code. A panel without it (never
    // compiled, or compiled with grave errors) is flagged to the user.
    bool compiled = false;
    // Whether the machine can take it; a piece whose edges cross is flagged
    // too ("cannot be knitted").
    MachineCheck machine;
    // From the compiled header text. A panel never compiled has none: its
    // type, size, part, bed, density, rib, neckline and set-up are then read
    // from its source header (steps and courses stay 0).
    bool hasHeader = false;
    CompiledHeader header;
    // From the source header: the measures line and the exit line.
    std::string borderHeight;   // "Alt.bordo"
    std::string needlesPerCm;   // "Ag.cm"
    std::string coursesPerCm;   // "Ran.cm"
    std::string exitValue;      // "uscita"
    // The colour codes after the "Inizio programma" line, and the colour
    // of each (none for a code the palette does not know).
    std::string colourCodes;
    std::array<std::optional<Colour>, kColourCount> colours;

    static PanelPreview fromBytes(std::string bytes);
};

} // namespace kn4::manager
