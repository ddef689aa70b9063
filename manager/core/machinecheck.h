#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace kn4::manager {

// Whether a panel may go onto a medium of the machine. A panel without
// compiled code (never compiled, or compiled with grave errors) would give
// the controller no program at all: it is refused. A panel whose edges
// cross cannot be knitted as drawn: it is only warned about, and the user
// decides.
//
// The edges are found by replaying the compiled code on the simulator's
// engine, as the machine receives it: they cross at the first course where
// the width of the piece (right edge plus left edge) falls below one needle,
// or where a neckline edge (a carriage position the neckline starts from)
// passes the outer edge on its side.
struct MachineCheck
{
    enum class Verdict {
        Sound,
        NotAPanel,   // no "SORGENTE.KN4" marker: no panel at all
        NoCode,      // "Questa parte contiene errori": no compiled code
        EdgesCross,  // compiled, but the piece cannot be knitted
    };
    enum class Crossing { None, Width, RightNeckline, LeftNeckline };

    Verdict verdict = Verdict::NotAPanel;
    Crossing crossing = Crossing::None;
    std::int64_t course = 0;  // the first course where the edges cross

    // True for a panel a medium must never receive.
    bool refused() const { return verdict == Verdict::NotAPanel || verdict == Verdict::NoCode; }

    static MachineCheck ofBytes(std::string_view bytes);
    // A file that cannot be read counts as no panel (error says why).
    static MachineCheck ofFile(const std::filesystem::path &panel, std::string *error = nullptr);
};

} // namespace kn4::manager
