#pragma once

#include "window/core/knitdrawing.h"

class QPainter;

namespace kn4::editor {

// Paints a knit drawing in pixels of the drawing area (1 unit = 1 pixel).
// The painter first clears its whole window to white: every redraw starts
// from an empty picture. Lines, dashes and marks are drawn with 1-pixel
// pens and no antialiasing, both ends included; texts in Liberation Sans
// with their top-left corner at the given point. The painter's state is
// restored afterwards.
void paintKnitDrawing(QPainter &painter, const KnitPicture &picture);

} // namespace kn4::editor
