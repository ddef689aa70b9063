#pragma once

#include "document/panelmodel.h"

namespace kn4::editor {

// The colour codes of the panel files as the palette gives them (TestColore
// modes 1 and 2): the codec every reader and writer of panels is given.
// It holds no state; one instance serves the whole program.
const ColourCodec &paletteColourCodec();

} // namespace kn4::editor
