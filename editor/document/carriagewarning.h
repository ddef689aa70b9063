#pragma once

#include <cstdint>

namespace kn4::editor {

// The carriage warnings the running totals raise while replaying a panel.
// Saving passes the warning on in place of a compile result, so a panel
// with a warning is written but not compiled, and the report window shows
// the warning's sentence.
enum CarriageWarning : std::int16_t {
    NoWarning = 0,
    OuterBeyondNeedleBed = -1, // an outer carriage went past the needle bed
    InnerAtZero = -2,          // an inner carriage reached 0
    OuterAgainstInner = -3,    // an outer carriage met the inner one
};

} // namespace kn4::editor
